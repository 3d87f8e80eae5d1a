// The mouse through XTest.
#include "x11/pointer.h"

#include <X11/extensions/XTest.h>

#include "x11/session.h"

namespace vrayu::x11 {

std::optional<Point> PointerPosition() {
    Session s;
    if (!s) return std::nullopt;
    ::Window rootRet = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(s.dpy(), s.root(), &rootRet, &child, &rx, &ry, &wx, &wy, &mask)) return std::nullopt;
    return Point{rx, ry};
}

bool MovePointer(Point to) {
    Session s;
    if (!s) return false;
    XTestFakeMotionEvent(s.dpy(), DefaultScreen(s.dpy()), to.x, to.y, CurrentTime);
    XSync(s.dpy(), False);
    return true;
}

bool PressButton(Button b, bool down) {
    Session s;
    if (!s) return false;
    XTestFakeButtonEvent(s.dpy(), static_cast<unsigned>(b), down ? True : False, CurrentTime);
    XSync(s.dpy(), False);
    return true;
}

unsigned ButtonsHeld() {
    Session s;
    if (!s) return 0;
    ::Window rootRet = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(s.dpy(), s.root(), &rootRet, &child, &rx, &ry, &wx, &wy, &mask);
    return ((mask & Button1Mask) ? 1u : 0u) | ((mask & Button3Mask) ? 2u : 0u) | ((mask & Button2Mask) ? 4u : 0u);
}

WindowId WindowUnderPointer() {
    Session s;
    if (!s) return 0;
    ::Window w = s.root(), found = 0;
    for (int depth = 0; depth < 32; ++depth) {
        ::Window rootRet = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        if (!XQueryPointer(s.dpy(), w, &rootRet, &child, &rx, &ry, &wx, &wy, &mask) || !child) break;
        found = w = child;
    }
    return static_cast<WindowId>(found);
}

}  // namespace vrayu::x11
