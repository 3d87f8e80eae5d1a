// One menu file put to use: the interpreter context that runs its items,
// the menu built from the file through the library's menu exports, its
// hot-key table, and reloading when the file changes.
#pragma once

#include <QFileSystemWatcher>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "tarnproc.h"

namespace tarnmenu {

class MenuSession : public QObject {
    Q_OBJECT
public:
    explicit MenuSession(const QString& path, QObject* parent = nullptr);
    ~MenuSession() override;
    MenuSession(const MenuSession&) = delete;
    MenuSession& operator=(const MenuSession&) = delete;

    // True when the interpreter context could be set up.
    bool Ready() const { return ctx_ != 0; }
    // Loads the file again; on failure (the library told the user why) the
    // menu in use stays.
    bool Load();
    // The menu: its actions are the menu bar's entries (null before a load).
    QMenu* Menu() const { return root_.get(); }
    QString Path() const { return QString::fromLocal8Bit(record_.path); }
    int Commands() const { return commands_; }
    // The hot-key codes of the menu, in file order.
    std::vector<std::uint16_t> HotKeys() const;
    // The title of a command id ("" when none).
    QString Title(intptr_t id) const;

    // Matches a keystroke against the hot keys (HotKeyCheck); a match runs
    // its item from the event loop. `modifiers`: TARN_HOTKEY_* bits held.
    bool CheckKey(unsigned message, uintptr_t key, unsigned modifiers);
    // Runs the item of a command id: MenuSelectProcessing, then the script.
    void RunCommand(intptr_t id);
    bool Running() const { return running_; }

    // Quiet mode of the context: message boxes are answered with Cancel
    // and appended to `log` ("" for none).
    void SetQuiet(const char* log);

    // A variable of the context as text ("" when undefined); for tests.
    QString Variable(const char* name) const;

signals:
    void Reloaded();
    // An item ran: ok = it ran to its end; message = the error that stopped it.
    void Ran(const QString& title, bool ok, const QString& message);

private:
    static intptr_t CreateBar(void* data);
    static intptr_t CreatePopup(void* data, intptr_t parent, const char* title);
    static int AppendItem(void* data, intptr_t menu, const char* title, intptr_t id, const char* hotkey);
    static int AppendSeparator(void* data, intptr_t menu);
    QMenu* MenuOf(intptr_t handle) const;
    void Watch();

    TarnHandle ctx_ = 0, vars_ = 0, heap_ = 0, hotkeys_ = 0;
    TarnMenuFileRecord record_{};
    int commands_ = 0;
    std::unique_ptr<QMenu> root_;
    std::unique_ptr<QMenu> building_;
    std::vector<QMenu*> menus_;  // handle n is menus_[n - 1] while building
    unsigned modifiers_ = 0;
    bool running_ = false;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace tarnmenu
