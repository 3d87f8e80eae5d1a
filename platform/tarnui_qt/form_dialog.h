// A script-defined dialog as a Qt window: each control of the Form at its
// dialog-unit place, Escape cancels (0), Enter closes with the focused push
// button's value or 1, a push button with its value. The Form gets the
// controls' state back when the window closes.
#pragma once

#include <QDialog>
#include <vector>

#include "ui_forms.h"

class QListWidget;
class QListWidgetItem;

namespace tarn::qtui {

class FormDialog : public QDialog {
    Q_OBJECT
public:
    explicit FormDialog(Form& form, QWidget* parent = nullptr);
    // Shows the dialog modally; its result, the Form updated unless it was
    // cancelled (the Form's state is then left as it was).
    int Run();
    // The widget that shows control i (tests).
    QWidget* ControlWidget(std::size_t i) const { return widgets_.at(i); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Build();
    void Place();
    void FillList(std::size_t i);
    bool EnterDirectory(std::size_t i, QListWidgetItem* item);
    void StoreState();

    Form& form_;
    std::vector<QWidget*> widgets_;
};

}  // namespace tarn::qtui
