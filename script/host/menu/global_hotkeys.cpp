#include "global_hotkeys.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "menu_session.h"
#include "tarnproc.h"

// After Qt: Xlib's macros (None, Bool, KeyPress) would clash with its names.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xproto.h>

namespace tarnmenu {
namespace {

struct VirtualKeySym {
    std::uint16_t vk;
    KeySym sym;
    const char* name;
};
// The virtual keys a menu title can name, as X key symbols.
constexpr VirtualKeySym kVirtualKeys[] = {
    {8, XK_BackSpace, "BACKSPACE"}, {9, XK_Tab, "TAB"},        {12, XK_Clear, "CLEAR"},
    {13, XK_Return, "ENTER"},       {27, XK_Escape, "ESC"},    {32, XK_space, "SPACE"},
    {33, XK_Prior, "PGUP"},         {34, XK_Next, "PGDN"},     {35, XK_End, "END"},
    {36, XK_Home, "HOME"},          {37, XK_Left, "LEFT"},     {38, XK_Up, "UP"},
    {39, XK_Right, "RIGHT"},        {40, XK_Down, "DOWN"},     {42, XK_Print, "PRTSC"},
    {45, XK_Insert, "INSERT"},      {46, XK_Delete, "DELETE"}, {47, XK_Help, "HELP"},
};
constexpr std::uint16_t kVkF1 = 112, kVkF16 = 127;

KeySym SymOf(std::uint16_t code) {
    if (!(code & TARN_HOTKEY_VIRTUAL)) return code & 0xFF;  // Latin-1 key symbols are the characters
    const std::uint16_t vk = code & 0xFF;
    if (vk >= kVkF1 && vk <= kVkF16) return XK_F1 + (vk - kVkF1);
    for (const VirtualKeySym& k : kVirtualKeys)
        if (k.vk == vk) return k.sym;
    return NoSymbol;
}

unsigned XModifiers(std::uint16_t code) {
    return ((code & TARN_HOTKEY_SHIFT) ? ShiftMask : 0u) | ((code & TARN_HOTKEY_CTRL) ? ControlMask : 0u) |
           ((code & TARN_HOTKEY_ALT) ? Mod1Mask : 0u);
}

// A grab another client holds fails with BadAccess; Xlib's default handler
// would end the program.
bool g_grab_failed = false;
int NoteError(Display*, XErrorEvent* e) {
    if (e->error_code == BadAccess) g_grab_failed = true;
    return 0;
}

// Caps Lock and Num Lock do not change what a hot key means.
constexpr unsigned kIgnoredLocks[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

}  // namespace

GlobalHotKeys::GlobalHotKeys(MenuSession* session) : session_(session) {
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        display_ = x11->display();
        if (display_) root_ = DefaultRootWindow(static_cast<Display*>(display_));
    }
    if (display_) QCoreApplication::instance()->installNativeEventFilter(this);
}

GlobalHotKeys::~GlobalHotKeys() {
    Release();
    if (display_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool GlobalHotKeys::SystemWide(std::uint16_t code) {
    const std::uint16_t vk = code & 0xFF;
    return (code & (TARN_HOTKEY_CTRL | TARN_HOTKEY_ALT)) ||
           ((code & TARN_HOTKEY_VIRTUAL) && vk >= kVkF1 && vk <= kVkF16);
}

QString GlobalHotKeys::Text(std::uint16_t code) {
    QString t;
    if (code & TARN_HOTKEY_CTRL) t += "Ctrl+";
    if (code & TARN_HOTKEY_SHIFT) t += "Shift+";
    if (code & TARN_HOTKEY_ALT) t += "Alt+";
    const std::uint16_t vk = code & 0xFF;
    if (!(code & TARN_HOTKEY_VIRTUAL)) return t + QChar(vk);
    if (vk >= kVkF1 && vk <= kVkF16) return t + QString("F%1").arg(vk - kVkF1 + 1);
    for (const VirtualKeySym& k : kVirtualKeys)
        if (k.vk == vk) return t + k.name;
    return t + QString("#%1").arg(vk);
}

void GlobalHotKeys::Release() {
    auto* dpy = static_cast<Display*>(display_);
    for (const KeyGrab& g : grabs_)
        for (unsigned lock : kIgnoredLocks) XUngrabKey(dpy, static_cast<int>(g.keycode), g.modifiers | lock, root_);
    if (dpy) XFlush(dpy);
    grabs_.clear();
}

QStringList GlobalHotKeys::Grab() {
    QStringList taken;
    Release();
    auto* dpy = static_cast<Display*>(display_);
    if (!dpy) return taken;
    for (std::uint16_t code : session_->HotKeys()) {
        if (!SystemWide(code)) continue;
        const KeySym sym = SymOf(code);
        const KeyCode keycode = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
        if (!keycode) {
            taken << Text(code) + " (no such key)";
            continue;
        }
        const KeyGrab g{keycode, XModifiers(code), code};
        g_grab_failed = false;
        XSync(dpy, False);
        XErrorHandler previous = XSetErrorHandler(NoteError);
        for (unsigned lock : kIgnoredLocks)
            XGrabKey(dpy, keycode, g.modifiers | lock, root_, False, GrabModeAsync, GrabModeAsync);
        XSync(dpy, False);
        XSetErrorHandler(previous);
        grabs_.push_back(g);  // released in full even when partly refused
        if (g_grab_failed) taken << Text(code);
    }
    return taken;
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != root_) return false;
    const unsigned held = key->state & (ShiftMask | ControlMask | Mod1Mask);
    for (const KeyGrab& g : grabs_) {
        if (g.keycode != key->detail || g.modifiers != held) continue;
        // As the menu's own window would see it: a key down for a virtual
        // key, a character (a control character for Ctrl+letter) else.
        const std::uint16_t c = g.code & 0xFF;
        unsigned msg = TARN_MSG_KEYDOWN;
        uintptr_t k = c;
        if (!(g.code & TARN_HOTKEY_VIRTUAL)) {
            msg = TARN_MSG_CHAR;
            if ((g.code & TARN_HOTKEY_CTRL) && c >= 'A' && c <= 'Z') k = static_cast<uintptr_t>(c - 'A' + 1);
        }
        session_->CheckKey(msg, k, g.code & (TARN_HOTKEY_SHIFT | TARN_HOTKEY_CTRL | TARN_HOTKEY_ALT));
        return true;
    }
    return false;
}

}  // namespace tarnmenu
