// The property page "Data": the three texts of the first selected control in
// three boxes; an edit marks the page changed (which enables Apply), and
// Apply writes the boxes back by property name.
#pragma once

#include <QDialog>
#include <QList>

class QPlainTextEdit;
class QPushButton;

namespace vrayu {

class Dispatch;

class DataPage : public QDialog {
    Q_OBJECT
public:
    explicit DataPage(QWidget* parent = nullptr);

    // The container hands the page its selected controls; the page shows the
    // first one's TextHTML, TextTelugu and TextEnglish, in that order.
    void SetSelectedObjects(const QList<Dispatch*>& objects);
    bool Changed() const { return changed_; }
    // Writes TextHTML, TextTelugu, TextEnglish to the first selected control.
    void Apply();

private:
    void MarkChanged();

    QList<Dispatch*> objects_;
    QPlainTextEdit* txtTextHTML_;
    QPlainTextEdit* txtTextTelugu_;
    QPlainTextEdit* txtTextEnglish_;
    QPushButton* apply_;
    bool changed_ = false;
    bool loading_ = false;
};

}  // namespace vrayu
