// The small window of tarn-menu: the menu file's menu as its menu bar, what
// was loaded and what ran last, and the same menu in a tray icon when the
// desktop has a tray. Keys typed in it go through the menu's hot keys.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>

namespace tarnmenu {

class GlobalHotKeys;
class MenuSession;

class MenuWindow : public QMainWindow {
    Q_OBJECT
public:
    MenuWindow(MenuSession* session, GlobalHotKeys* hotkeys, bool tray);
    QSystemTrayIcon* Tray() const { return tray_; }
    QString Status() const { return status_->text(); }

    // The virtual key of a Qt key (0 for none).
    static unsigned VirtualKey(int qt_key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Rebuild();
    void ShowRun(const QString& title, bool ok, const QString& message);

    MenuSession* session_;
    GlobalHotKeys* hotkeys_;
    QLabel* info_;
    QLabel* status_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu tray_menu_;
};

}  // namespace tarnmenu
