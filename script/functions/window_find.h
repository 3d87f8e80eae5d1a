// Finding the window a script names, shared by the window, keystroke and
// mouse families and intcontrol: the empty name is the owner window (the
// window a host handed over; the tarn host has none), a window id names its
// window while it exists, any other name is matched against the titles of
// the top-level windows, topmost first.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "builtins.h"
#include "x11/windows.h"

namespace tarn::fn {

using vrayu::x11::WindowId;

// The owner window, when the host handed over one that exists.
std::optional<WindowId> ownerWindow(Call& c);
// One search, no waiting. The empty name gives the owner window.
std::optional<WindowId> findWindowOnce(Call& c, std::string_view name);
// A search repeated after each one-second sleep, as often as the window
// wait setting says (intcontrol 46); a termination request ends it.
std::optional<WindowId> findWindow(Call& c, std::string_view name);
// A named child window of a parent (title rules), nothing when none.
std::optional<WindowId> findChild(WindowId parent, std::string_view name);

// Sleeps in slices, false when a termination request came.
bool pauseScript(Call& c, int ms);

}  // namespace tarn::fn
