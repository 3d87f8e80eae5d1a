// The options box (frmOptions): tabs that switch the visible panel, Ctrl+Tab
// and Ctrl+Shift+Tab moving round them. It stores no option.
#pragma once

#include <QDialog>

class QTabWidget;

namespace vrayu {

inline constexpr char kOptionsOkMessage[] = "Code goes here to set options and close dialog!";
inline constexpr char kOptionsApplyMessage[] = "Apply Code goes here to set options w/o closing dialog!";

class OptionsDialog : public QDialog {
public:
    explicit OptionsDialog(QWidget* parent = nullptr);
    QTabWidget* Tabs() const { return tabs_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTabWidget* tabs_;
};

// Index of the next (or previous) tab, wrapping round.
int NextTabIndex(int current, int count, bool backwards);

}  // namespace vrayu
