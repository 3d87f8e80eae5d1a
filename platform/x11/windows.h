// Top-level windows of the X11 desktop through Xlib and the window
// manager's hints (EWMH): listing in stacking order, titles, states,
// activation, placement and closing. Every function behaves as "no such
// window" when no display can be reached. Titles are ISO-8859-1 text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrayu::x11 {

using WindowId = std::uint32_t;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

enum class ShowState { Hidden, Minimised, Normal, Maximised };

struct WindowEntry {
    WindowId id = 0;
    std::string title;
};

// True when a display can be reached.
bool Available();

// The top-level windows, topmost first: the window manager's stacking list
// (else the root window's children), then the withdrawn (hidden) windows
// that still carry a title.
std::vector<WindowEntry> TopLevels();
// Named descendants of a window (its child windows), in tree order.
std::vector<WindowEntry> Children(WindowId parent);

bool Exists(WindowId w);
// _NET_WM_NAME when every character fits ISO-8859-1, else WM_NAME.
std::string Title(WindowId w);
bool SetTitle(WindowId w, std::string_view latin1);
std::string ClassName(WindowId w);     // the class part of WM_CLASS
std::string InstanceName(WindowId w);  // its instance part
int ProcessId(WindowId w);             // _NET_WM_PID, 0 unknown
WindowId Owner(WindowId w);            // WM_TRANSIENT_FOR, 0 none
WindowId Active();                     // _NET_ACTIVE_WINDOW, else the focus
std::optional<ShowState> State(WindowId w);
// The modal window of an owner that waits on it, 0 when the owner takes input.
WindowId ModalOf(WindowId owner);

// Brings the window to the foreground with the input focus; a minimised one
// is restored. A window waiting on a modal window raises the owner, then
// gives the modal one the focus.
bool Activate(WindowId w);
bool Minimise(WindowId w);
bool Maximise(WindowId w);
// From minimised to its previous state, from maximised to normal.
bool Restore(WindowId w);
bool Hide(WindowId w);
// Maps a hidden window without activating it.
bool Show(WindowId w);
// Asks the window to close (WM_DELETE_WINDOW).
bool Close(WindowId w);
bool SetTopmost(WindowId w, bool on);
// Gives a child window the input focus.
bool FocusChild(WindowId child);
// The parent in the window tree (0 for the root's children and none).
WindowId ParentOf(WindowId w);
// The window manager's name (its check window's _NET_WM_NAME), "" none.
std::string ManagerName();

// The outer rectangle (frame included) in screen pixels.
std::optional<Rect> Frame(WindowId w);
// Moves and sizes the outer rectangle without activating the window or
// changing its stacking place.
bool Place(WindowId w, const Rect& frame);

struct ScreenSize {
    int width = 0, height = 0;
};
std::optional<ScreenSize> Screen();
// The work area (the screen less panels), else the whole screen.
std::optional<Rect> WorkArea();
// The topmost top-level window under a screen point, 0 none.
WindowId TopLevelAt(int x, int y);

}  // namespace vrayu::x11
