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

namespace {

// A property's data as XGetWindowProperty gives it, freed with XFree.
struct PropertyData {
    unsigned char* data = nullptr;
    unsigned long count = 0;
    PropertyData() = default;
    PropertyData(const PropertyData&) = delete;
    PropertyData& operator=(const PropertyData&) = delete;
    ~PropertyData() {
        if (data) XFree(data);
    }
};

// Reads a property of the given type and format (8 or 32) of at most
// `length` 32-bit units; false when it is missing or of another kind.
bool ReadProperty(Display* dpy, ::Window w, Atom name, Atom type, int format, long length, PropertyData& out) {
    Atom actual = 0;
    int actualFormat = 0;
    unsigned long after = 0;
    return XGetWindowProperty(dpy, w, name, 0, length, False, type, &actual, &actualFormat, &out.count, &after,
                              &out.data) == Success &&
           actual == type && actualFormat == format;
}

}  // namespace

std::optional<std::vector<unsigned long>> Session::Cardinals(::Window w, const char* name, Atom type) const {
    PropertyData p;
    if (!ReadProperty(dpy_, w, atom(name), type, 32, 1 << 20, p)) return std::nullopt;
    // Format 32 properties come as longs, whatever their size.
    const auto* values = reinterpret_cast<const unsigned long*>(p.data);
    return std::vector<unsigned long>(values, values + p.count);
}

std::optional<std::string> Session::Bytes(::Window w, const char* name, Atom type) const {
    PropertyData p;
    if (!ReadProperty(dpy_, w, atom(name), type, 8, 1 << 16, p)) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(p.data), p.count);
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
