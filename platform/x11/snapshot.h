// Pictures of the screen: a rectangle of the root window as a BMP file
// (24 bits per pixel, bottom-up rows).
#pragma once

#include <optional>
#include <string>

#include "x11/windows.h"

namespace vrayu::x11 {

// The BMP file bytes of the screen rectangle (clipped to the screen),
// nothing without a display or for an empty rectangle.
std::optional<std::string> CaptureBmp(Rect area);

}  // namespace vrayu::x11
