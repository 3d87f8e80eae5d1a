// The mouse through XTest: where it is, moving it, pressing its buttons.
#pragma once

#include <optional>

#include "x11/windows.h"

namespace vrayu::x11 {

struct Point {
    int x = 0, y = 0;
};

enum class Button { Left = 1, Middle = 2, Right = 3 };

std::optional<Point> PointerPosition();
bool MovePointer(Point to);
bool PressButton(Button b, bool down);
// Buttons held now: 1 left, 2 right, 4 middle.
unsigned ButtonsHeld();
// The deepest window under the pointer (a child of a top-level or the
// top-level itself), 0 when none.
WindowId WindowUnderPointer();

}  // namespace vrayu::x11
