// The one connection of the process to the X server, for the files of this
// folder only (it includes Xlib; the public headers do not). A Session holds
// the connection's lock for its lifetime; it is false when no display can be
// reached. X protocol errors never end the process: they are counted, and a
// request whose window vanished simply fails.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vrayu::x11 {

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    explicit operator bool() const { return dpy_ != nullptr; }
    ::Display* dpy() const { return dpy_; }
    ::Window root() const;
    Atom atom(const char* name) const;

    // Protocol errors since the last call (and the ones of requests still
    // in flight: the call syncs first).
    int TakeErrors();

    // Whole properties.
    std::optional<std::vector<unsigned long>> Cardinals(::Window w, const char* name, Atom type) const;
    std::optional<std::string> Bytes(::Window w, const char* name, Atom type) const;
    bool HasState(::Window w, const char* state) const;
    // A client message to the root window, as window managers take requests.
    void RootMessage(::Window w, const char* type, long d0, long d1 = 0, long d2 = 0, long d3 = 0, long d4 = 0) const;
    // True when the window manager says it supports the hint.
    bool Supported(const char* name) const;
    // True when a window manager runs (it names its check window).
    bool Managed() const;

private:
    std::unique_lock<std::recursive_mutex> lock_;
    ::Display* dpy_ = nullptr;
};

// Sleeps `ms` milliseconds.
void Pause(int ms);

}  // namespace vrayu::x11
