// The process's connection to the X server: opened on first use (and again
// at most once a second while none can be reached), shared under one lock.
#include "x11/session.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vrayu::x11 {
namespace {

std::recursive_mutex& Lock() {
    static std::recursive_mutex m;
    return m;
}

::Display* g_dpy = nullptr;
std::chrono::steady_clock::time_point g_lastTry{};
bool g_tried = false;
int g_errors = 0;
XErrorHandler g_previous = nullptr;

// Errors on our connection are counted; those of other connections of the
// process (a host's own Xlib use) go to the handler that was there before.
int OnError(::Display* d, XErrorEvent* e) {
    if (d == g_dpy) {
        ++g_errors;
        return 0;
    }
    return g_previous ? g_previous(d, e) : 0;
}

::Display* Connect() {
    if (g_dpy) return g_dpy;
    const auto now = std::chrono::steady_clock::now();
    if (g_tried && now - g_lastTry < std::chrono::seconds(1)) return nullptr;
    g_tried = true;
    g_lastTry = now;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    g_dpy = XOpenDisplay(name);
    if (g_dpy) {
        XErrorHandler old = XSetErrorHandler(OnError);
        if (old != OnError) g_previous = old;
    }
    return g_dpy;
}

}  // namespace

Session::Session() : lock_(Lock()), dpy_(Connect()) {}

Session::~Session() {
    if (dpy_) XFlush(dpy_);
}

::Window Session::root() const { return DefaultRootWindow(dpy_); }

Atom Session::atom(const char* name) const { return XInternAtom(dpy_, name, False); }

int Session::TakeErrors() {
    XSync(dpy_, False);
    const int n = g_errors;
    g_errors = 0;
    return n;
}

std::optional<std::vector<unsigned long>> Session::Cardinals(::Window w, const char* name, Atom type) const {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, w, atom(name), 0, 1 << 20, False, type, &actual, &format, &count, &after, &data) !=
            Success ||
        actual != type || format != 32) {
        if (data) XFree(data);
        return std::nullopt;
    }
    // Format 32 properties come as longs, whatever their size.
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    std::vector<unsigned long> out(values, values + count);
    XFree(data);
    return out;
}

std::optional<std::string> Session::Bytes(::Window w, const char* name, Atom type) const {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, w, atom(name), 0, 1 << 16, False, type, &actual, &format, &count, &after, &data) !=
            Success ||
        actual != type || format != 8) {
        if (data) XFree(data);
        return std::nullopt;
    }
    std::string out(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return out;
}

bool Session::HasState(::Window w, const char* state) const {
    const auto states = Cardinals(w, "_NET_WM_STATE", XA_ATOM);
    if (!states) return false;
    const Atom a = atom(state);
    for (unsigned long s : *states)
        if (s == a) return true;
    return false;
}

void Session::RootMessage(::Window w, const char* type, long d0, long d1, long d2, long d3, long d4) const {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom(type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = d0;
    e.xclient.data.l[1] = d1;
    e.xclient.data.l[2] = d2;
    e.xclient.data.l[3] = d3;
    e.xclient.data.l[4] = d4;
    XSendEvent(dpy_, root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

bool Session::Supported(const char* name) const {
    const auto list = Cardinals(root(), "_NET_SUPPORTED", XA_ATOM);
    if (!list) return false;
    const Atom a = atom(name);
    for (unsigned long s : *list)
        if (s == a) return true;
    return false;
}

bool Session::Managed() const {
    const auto check = Cardinals(root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return check && !check->empty() && (*check)[0] != 0;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace vrayu::x11
