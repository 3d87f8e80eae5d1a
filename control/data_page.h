// The property page "Data": the three texts of the first selected control in
// three boxes; an edit marks the page changed (which enables Apply), and
// Apply writes the boxes back by property name.
#pragma once

#include <QDialog>
#include <QList>

#include "served_object.h"
#include "transliterate_control.h"

class QPlainTextEdit;
class QPushButton;

namespace vrayu {

class DataPage : public QDialog, public PropertyPage {
    Q_OBJECT
public:
    explicit DataPage(QWidget* parent = nullptr);

    // The container hands the page its selected controls; the page shows the
    // first one's TextHTML, TextTelugu and TextEnglish, in that order.
    void SetSelectedObjects(const QList<Dispatch*>& objects);
    bool Changed() const { return changed_; }
    // Writes TextHTML, TextTelugu, TextEnglish to the first selected control.
    void Apply() override;

    // PropertyPage
    QDialog* Dialog() override { return this; }
    void SetObjects(const QList<Dispatch*>& objects) override { SetSelectedObjects(objects); }
    bool IsPageDirty() const override { return changed_; }

private:
    void MarkChanged();

    QList<Dispatch*> objects_;
    QPlainTextEdit* txtTextHTML_;
    QPlainTextEdit* txtTextTelugu_;
    QPlainTextEdit* txtTextEnglish_;
    QPushButton* apply_;
    bool changed_ = false;
    bool loading_ = false;
    ServedObject served_;  // keeps the library loaded while the page lives
};

}  // namespace vrayu
