// The menu's hot keys held system-wide on X11: each is grabbed on the root
// window (XGrabKey), so that it reaches tarn-menu whichever window has the
// focus; a grabbed key press goes through HotKeyCheck like a key typed in
// the menu's own window.
//
// Only keys that cannot be ordinary typing are grabbed: those with Ctrl or
// Alt, and the function keys F1 to F16. Other hot keys work while the menu
// window has the focus. Without X11 (a Wayland session) nothing is grabbed.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tarnmenu {

class MenuSession;

class GlobalHotKeys : public QAbstractNativeEventFilter {
public:
    explicit GlobalHotKeys(MenuSession* session);
    ~GlobalHotKeys() override;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    // True when the application runs on an X11 display.
    bool Available() const { return display_ != nullptr; }
    // Grabs the session's system-wide hot keys in place of the earlier ones.
    // Returns the texts of those another program holds already.
    QStringList Grab();
    int Grabbed() const { return static_cast<int>(grabs_.size()); }
    // Whether a hot-key code is held system-wide.
    static bool SystemWide(std::uint16_t code);
    // The text of a hot-key code ("Ctrl+F1").
    static QString Text(std::uint16_t code);

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    struct KeyGrab {
        unsigned keycode;
        unsigned modifiers;  // X modifier mask
        std::uint16_t code;
    };
    void Release();

    MenuSession* session_;
    void* display_ = nullptr;  // Display*
    unsigned long root_ = 0;
    std::vector<KeyGrab> grabs_;
};

}  // namespace tarnmenu
