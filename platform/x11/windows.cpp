// Top-level windows through Xlib and EWMH. Requests that the window manager
// carries out (activation, states, placement) are followed by a short wait
// until the change shows, so that the next question sees it.
#include "x11/windows.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>

#include "x11/session.h"

namespace vrayu::x11 {
namespace {

constexpr int kSettleMs = 1500;   // longest wait for the window manager
constexpr long kSourcePager = 2;  // requests on the user's behalf (EWMH)

// Polls `done` until it holds or the settle time passes.
bool Await(Session& s, const std::function<bool()>& done, int ms = kSettleMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        XSync(s.dpy(), False);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        Pause(5);
    }
}

bool Attributes(Session& s, ::Window w, XWindowAttributes* a) {
    if (!w) return false;
    s.TakeErrors();
    const Status ok = XGetWindowAttributes(s.dpy(), w, a);
    return s.TakeErrors() == 0 && ok;
}

// UTF-8 as ISO-8859-1; false when a character does not fit (or the text is
// not UTF-8), with '?' in its place.
bool Utf8ToLatin1(const std::string& in, std::string* out) {
    bool fits = true;
    out->clear();
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        unsigned cp = 0;
        int extra = 0;
        if (b < 0x80) cp = b;
        else if ((b & 0xE0) == 0xC0) cp = b & 0x1F, extra = 1;
        else if ((b & 0xF0) == 0xE0) cp = b & 0x0F, extra = 2;
        else if ((b & 0xF8) == 0xF0) cp = b & 0x07, extra = 3;
        else extra = -1;
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= in.size() || (static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
                extra = -1;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
        }
        if (extra < 0 || cp > 0xFF) {
            fits = false;
            out->push_back('?');
        } else {
            out->push_back(static_cast<char>(cp));
        }
    }
    return fits;
}

std::string Latin1ToUtf8(std::string_view in) {
    std::string out;
    for (char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> TitleOf(Session& s, ::Window w) {
    const Atom utf8 = s.atom("UTF8_STRING");
    std::string fallback;
    bool haveFallback = false;
    if (auto name = s.Bytes(w, "_NET_WM_NAME", utf8)) {
        if (Utf8ToLatin1(*name, &fallback)) return fallback;
        haveFallback = true;
    }
    if (auto plain = s.Bytes(w, "WM_NAME", XA_STRING)) return *plain;
    if (auto u = s.Bytes(w, "WM_NAME", utf8)) {
        Utf8ToLatin1(*u, &fallback);
        return fallback;
    }
    if (haveFallback) return fallback;
    return std::nullopt;
}

// The client window of a root child: itself when it carries WM_STATE, else
// the first descendant (two levels down: window manager frames) that does.
::Window ClientOf(Session& s, ::Window w, int depth = 2) {
    const Atom wmState = s.atom("WM_STATE");
    if (s.Cardinals(w, "WM_STATE", wmState)) return w;
    if (depth == 0) return 0;
    ::Window rootRet = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(s.dpy(), w, &rootRet, &parent, &kids, &n)) return 0;
    ::Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i) found = ClientOf(s, kids[i], depth - 1);
    if (kids) XFree(kids);
    return found;
}

std::vector<::Window> RootChildrenTopFirst(Session& s) {
    ::Window rootRet = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    std::vector<::Window> out;
    if (!XQueryTree(s.dpy(), s.root(), &rootRet, &parent, &kids, &n)) return out;
    for (unsigned i = n; i-- > 0;) out.push_back(kids[i]);
    if (kids) XFree(kids);
    return out;
}

std::vector<::Window> ManagedTopFirst(Session& s) {
    auto list = s.Cardinals(s.root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!list) list = s.Cardinals(s.root(), "_NET_CLIENT_LIST", XA_WINDOW);
    std::vector<::Window> out;
    if (list)
        for (auto it = list->rbegin(); it != list->rend(); ++it) out.push_back(static_cast<::Window>(*it));
    return out;
}

std::optional<ShowState> StateOf(Session& s, ::Window w) {
    XWindowAttributes a{};
    if (!Attributes(s, w, &a)) return std::nullopt;
    const auto wmState = s.Cardinals(w, "WM_STATE", s.atom("WM_STATE"));
    if ((wmState && !wmState->empty() && (*wmState)[0] == IconicState) || s.HasState(w, "_NET_WM_STATE_HIDDEN"))
        return ShowState::Minimised;
    // Under a window manager a window is hidden once withdrawn (WM_STATE
    // gone or Withdrawn): one it has just taken on may not be mapped yet.
    if (s.Managed() ? !wmState || wmState->empty() || (*wmState)[0] == WithdrawnState : a.map_state != IsViewable)
        return ShowState::Hidden;
    if (s.HasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") && s.HasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ"))
        return ShowState::Maximised;
    return ShowState::Normal;
}

::Window ActiveOf(Session& s) {
    if (auto a = s.Cardinals(s.root(), "_NET_ACTIVE_WINDOW", XA_WINDOW); a && !a->empty() && (*a)[0])
        return static_cast<::Window>((*a)[0]);
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(s.dpy(), &focus, &revert);
    return focus > PointerRoot ? focus : 0;
}

::Window OwnerOf(Session& s, ::Window w) {
    ::Window owner = 0;
    s.TakeErrors();
    if (!XGetTransientForHint(s.dpy(), w, &owner) || s.TakeErrors()) return 0;
    return owner == s.root() ? 0 : owner;
}

std::array<long, 4> Extents(Session& s, ::Window w) {
    std::array<long, 4> e{0, 0, 0, 0};  // left, right, top, bottom
    if (auto v = s.Cardinals(w, "_NET_FRAME_EXTENTS", XA_CARDINAL); v && v->size() == 4)
        for (int i = 0; i < 4; ++i) e[i] = static_cast<long>((*v)[i]);
    return e;
}

std::optional<Rect> FrameOf(Session& s, ::Window w) {
    XWindowAttributes a{};
    if (!Attributes(s, w, &a)) return std::nullopt;
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(s.dpy(), w, s.root(), 0, 0, &x, &y, &child);
    const auto e = Extents(s, w);
    return Rect{x - static_cast<int>(e[0]), y - static_cast<int>(e[2]), a.width + static_cast<int>(e[0] + e[1]),
                a.height + static_cast<int>(e[2] + e[3])};
}

void ChangeMaximised(Session& s, ::Window w, bool on) {
    s.RootMessage(w, "_NET_WM_STATE", on ? 1 : 0, static_cast<long>(s.atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                  static_cast<long>(s.atom("_NET_WM_STATE_MAXIMIZED_HORZ")), kSourcePager);
}

// Maps a window without the window manager giving it the focus.
void MapQuietly(Session& s, ::Window w) {
    const long zero = 0;
    XChangeProperty(s.dpy(), w, s.atom("_NET_WM_USER_TIME"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&zero), 1);
    XMapWindow(s.dpy(), w);
}

void ActivateOne(Session& s, ::Window w) {
    if (s.Managed()) {
        s.RootMessage(w, "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime, 0);
    } else {
        XMapRaised(s.dpy(), w);
        XSync(s.dpy(), False);
        XSetInputFocus(s.dpy(), w, RevertToParent, CurrentTime);
    }
    Await(s, [&] { return ActiveOf(s) == w; });
}

// A window the manager has just taken on (WM_STATE Normal) may not be
// mapped yet: wait for it, so that its first placement does not undo a move
// or an activation made right after "winwaitexist" found it.
void SettleNew(Session& s, ::Window w) {
    XWindowAttributes a{};
    if (!s.Managed() || !Attributes(s, w, &a) || a.map_state == IsViewable) return;
    const auto st = s.Cardinals(w, "WM_STATE", s.atom("WM_STATE"));
    if (!st || st->empty() || (*st)[0] != NormalState) return;
    Await(
        s,
        [&] {
            XWindowAttributes b{};
            return Attributes(s, w, &b) && b.map_state == IsViewable;
        },
        1000);
}

void CollectChildren(Session& s, ::Window w, std::vector<WindowEntry>* out, int depth) {
    ::Window rootRet = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    if (depth > 16 || !XQueryTree(s.dpy(), w, &rootRet, &parent, &kids, &n)) return;
    for (unsigned i = 0; i < n; ++i) {
        if (auto t = TitleOf(s, kids[i])) out->push_back({static_cast<WindowId>(kids[i]), *t});
        CollectChildren(s, kids[i], out, depth + 1);
    }
    if (kids) XFree(kids);
}

}  // namespace

bool Available() { return static_cast<bool>(Session()); }

std::vector<WindowEntry> TopLevels() {
    Session s;
    std::vector<WindowEntry> out;
    if (!s) return out;
    const std::vector<::Window> managed = ManagedTopFirst(s);
    for (::Window w : managed) out.push_back({static_cast<WindowId>(w), TitleOf(s, w).value_or("")});
    ::Window check = 0;
    if (auto c = s.Cardinals(s.root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW); c && !c->empty())
        check = static_cast<::Window>((*c)[0]);
    // Without a window manager the tree is the list; with one, the tree
    // adds the withdrawn windows it no longer lists.
    for (::Window child : RootChildrenTopFirst(s)) {
        if (child == check) continue;
        XWindowAttributes a{};
        if (!Attributes(s, child, &a) || a.override_redirect || a.c_class != InputOutput) continue;
        ::Window w = managed.empty() ? ClientOf(s, child) : child;
        if (!w) w = child;
        if (std::find(managed.begin(), managed.end(), w) != managed.end()) continue;
        if (!managed.empty() && a.map_state == IsViewable) continue;
        auto title = TitleOf(s, w);
        if (!title) continue;
        if (std::none_of(out.begin(), out.end(), [&](const WindowEntry& e) { return e.id == w; }))
            out.push_back({static_cast<WindowId>(w), *title});
    }
    return out;
}

std::vector<WindowEntry> Children(WindowId parent) {
    Session s;
    std::vector<WindowEntry> out;
    XWindowAttributes a{};
    if (!s || !Attributes(s, parent, &a)) return out;
    CollectChildren(s, parent, &out, 0);
    return out;
}

bool Exists(WindowId w) {
    Session s;
    XWindowAttributes a{};
    return s && Attributes(s, w, &a);
}

std::string Title(WindowId w) {
    Session s;
    if (!s) return {};
    return TitleOf(s, w).value_or("");
}

bool SetTitle(WindowId w, std::string_view latin1) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    const std::string utf8 = Latin1ToUtf8(latin1);
    XChangeProperty(s.dpy(), w, s.atom("_NET_WM_NAME"), s.atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XChangeProperty(s.dpy(), w, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()), static_cast<int>(latin1.size()));
    return s.TakeErrors() == 0;
}

namespace {
std::pair<std::string, std::string> ClassHint(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return {};
    XClassHint hint{};
    if (!XGetClassHint(s.dpy(), w, &hint)) return {};
    std::pair<std::string, std::string> out{hint.res_name ? hint.res_name : "", hint.res_class ? hint.res_class : ""};
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return out;
}
}  // namespace

std::string ClassName(WindowId w) { return ClassHint(w).second; }
std::string InstanceName(WindowId w) { return ClassHint(w).first; }

int ProcessId(WindowId w) {
    Session s;
    if (!s) return 0;
    const auto pid = s.Cardinals(w, "_NET_WM_PID", XA_CARDINAL);
    return pid && !pid->empty() ? static_cast<int>((*pid)[0]) : 0;
}

WindowId Owner(WindowId w) {
    Session s;
    return s ? static_cast<WindowId>(OwnerOf(s, w)) : 0;
}

WindowId Active() {
    Session s;
    return s ? static_cast<WindowId>(ActiveOf(s)) : 0;
}

std::optional<ShowState> State(WindowId w) {
    Session s;
    if (!s) return std::nullopt;
    return StateOf(s, w);
}

WindowId ModalOf(WindowId owner) {
    Session s;
    if (!s) return 0;
    for (::Window w : ManagedTopFirst(s)) {
        if (w == owner || !s.HasState(w, "_NET_WM_STATE_MODAL") || StateOf(s, w) != ShowState::Normal) continue;
        // The owner chain leads to the owner (bounded against loops).
        ::Window up = OwnerOf(s, w);
        for (int i = 0; up && i < 16; ++i, up = OwnerOf(s, up))
            if (up == owner) return static_cast<WindowId>(w);
    }
    return 0;
}

bool Activate(WindowId w) {
    const WindowId modal = ModalOf(w);
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    SettleNew(s, w);
    if (modal) {
        ActivateOne(s, w);
        Pause(25);
        ActivateOne(s, modal);
        Pause(50);
        return true;
    }
    ActivateOne(s, w);
    Pause(50);
    if (StateOf(s, w) == ShowState::Minimised) Restore(w);
    return true;
}

bool Minimise(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    SettleNew(s, w);
    XIconifyWindow(s.dpy(), w, DefaultScreen(s.dpy()));
    return Await(s, [&] { return StateOf(s, w) == ShowState::Minimised; });
}

bool Maximise(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    SettleNew(s, w);
    if (StateOf(s, w) != ShowState::Normal) XMapWindow(s.dpy(), w);
    if (!s.Managed()) {
        XMoveResizeWindow(s.dpy(), w, 0, 0, static_cast<unsigned>(DisplayWidth(s.dpy(), DefaultScreen(s.dpy()))),
                          static_cast<unsigned>(DisplayHeight(s.dpy(), DefaultScreen(s.dpy()))));
        return s.TakeErrors() == 0;
    }
    ChangeMaximised(s, w, true);
    return Await(s, [&] { return StateOf(s, w) == ShowState::Maximised; });
}

bool Restore(WindowId w) {
    Session s;
    const auto state = s ? StateOf(s, w) : std::nullopt;
    if (!state) return false;
    switch (*state) {
        case ShowState::Minimised:
            XMapWindow(s.dpy(), w);
            return Await(s, [&] { return StateOf(s, w) != ShowState::Minimised; });
        case ShowState::Maximised:
            ChangeMaximised(s, w, false);
            return Await(s, [&] { return StateOf(s, w) == ShowState::Normal; });
        case ShowState::Hidden: MapQuietly(s, w); return Await(s, [&] { return StateOf(s, w) != ShowState::Hidden; });
        case ShowState::Normal: return true;
    }
    return true;
}

bool Hide(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    XWithdrawWindow(s.dpy(), w, DefaultScreen(s.dpy()));
    return Await(s, [&] { return StateOf(s, w) == ShowState::Hidden; });
}

bool Show(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    if (StateOf(s, w) != ShowState::Hidden) return true;
    MapQuietly(s, w);
    return Await(s, [&] { return StateOf(s, w) != ShowState::Hidden; });
}

bool Close(WindowId w) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    Atom* protocols = nullptr;
    int n = 0;
    bool deletes = false;
    const Atom del = s.atom("WM_DELETE_WINDOW");
    if (XGetWMProtocols(s.dpy(), w, &protocols, &n)) {
        deletes = std::find(protocols, protocols + n, del) != protocols + n;
        XFree(protocols);
    }
    if (deletes) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = s.atom("WM_PROTOCOLS");
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(del);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(s.dpy(), w, False, NoEventMask, &e);
    } else if (s.Managed()) {
        s.RootMessage(w, "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
    } else {
        return false;
    }
    return s.TakeErrors() == 0;
}

bool SetTopmost(WindowId w, bool on) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a) || !s.Managed()) return false;
    s.RootMessage(w, "_NET_WM_STATE", on ? 1 : 0, static_cast<long>(s.atom("_NET_WM_STATE_ABOVE")), 0, kSourcePager);
    return Await(s, [&] { return s.HasState(w, "_NET_WM_STATE_ABOVE") == on; });
}

bool FocusChild(WindowId child) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, child, &a) || a.map_state != IsViewable) return false;
    XSetInputFocus(s.dpy(), child, RevertToParent, CurrentTime);
    return s.TakeErrors() == 0;
}

WindowId ParentOf(WindowId w) {
    Session s;
    if (!s) return 0;
    ::Window rootRet = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    s.TakeErrors();
    if (!XQueryTree(s.dpy(), w, &rootRet, &parent, &kids, &n) || s.TakeErrors()) return 0;
    if (kids) XFree(kids);
    return parent == rootRet ? 0 : static_cast<WindowId>(parent);
}

std::string ManagerName() {
    Session s;
    if (!s) return {};
    const auto check = s.Cardinals(s.root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (!check || check->empty()) return {};
    return TitleOf(s, static_cast<::Window>((*check)[0])).value_or("");
}

std::optional<Rect> Frame(WindowId w) {
    Session s;
    if (!s) return std::nullopt;
    return FrameOf(s, w);
}

bool Place(WindowId w, const Rect& frame) {
    Session s;
    XWindowAttributes a{};
    if (!s || !Attributes(s, w, &a)) return false;
    SettleNew(s, w);
    const auto e = Extents(s, w);
    const int width = std::max(1, frame.width - static_cast<int>(e[0] + e[1]));
    const int height = std::max(1, frame.height - static_cast<int>(e[2] + e[3]));
    if (s.Managed() && s.Supported("_NET_MOVERESIZE_WINDOW")) {
        // North-west gravity: x and y place the outer frame's corner.
        const long flags = NorthWestGravity | (0xF << 8) | (kSourcePager << 12);
        s.RootMessage(w, "_NET_MOVERESIZE_WINDOW", flags, frame.x, frame.y, width, height);
    } else {
        XMoveResizeWindow(s.dpy(), w, frame.x + static_cast<int>(e[0]), frame.y + static_cast<int>(e[2]),
                          static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
    Await(
        s,
        [&] {
            const auto now = FrameOf(s, w);
            return now && now->x == frame.x && now->y == frame.y && now->width == frame.width &&
                   now->height == frame.height;
        },
        500);
    return s.TakeErrors() == 0;
}

std::optional<ScreenSize> Screen() {
    Session s;
    if (!s) return std::nullopt;
    const int n = DefaultScreen(s.dpy());
    return ScreenSize{DisplayWidth(s.dpy(), n), DisplayHeight(s.dpy(), n)};
}

std::optional<Rect> WorkArea() {
    Session s;
    if (!s) return std::nullopt;
    const int n = DefaultScreen(s.dpy());
    Rect whole{0, 0, DisplayWidth(s.dpy(), n), DisplayHeight(s.dpy(), n)};
    const auto area = s.Cardinals(s.root(), "_NET_WORKAREA", XA_CARDINAL);
    if (!area || area->size() < 4) return whole;
    std::size_t desk = 0;
    if (auto cur = s.Cardinals(s.root(), "_NET_CURRENT_DESKTOP", XA_CARDINAL); cur && !cur->empty())
        desk = static_cast<std::size_t>((*cur)[0]);
    if (area->size() < 4 * (desk + 1)) desk = 0;
    const auto* v = area->data() + 4 * desk;
    return Rect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
}

WindowId TopLevelAt(int x, int y) {
    for (const WindowEntry& e : TopLevels()) {
        if (State(e.id) == ShowState::Hidden || State(e.id) == ShowState::Minimised) continue;
        const auto r = Frame(e.id);
        if (r && x >= r->x && y >= r->y && x < r->x + r->width && y < r->y + r->height) return e.id;
    }
    return 0;
}

}  // namespace vrayu::x11
