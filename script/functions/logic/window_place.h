// The arithmetic of "winplace": four numbers in virtual screen units (the
// screen counts 1000 across and 1000 down) become a window rectangle in
// pixels. No interpreter or X types.
#pragma once

namespace tarn::fn {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PlaceInputs {
    int screenWidth = 0, screenHeight = 0;
    int minWidth = 0, minHeight = 0;          // the system's smallest window
    int currentWidth = 0, currentHeight = 0;  // kept when x2 / y2 is 0
    int aboveIconsBottom = 0;                 // lower edge for y2 = @aboveicons
};

inline constexpr int kAboveIcons = 1;

// x1, y1: the top-left corner; x2, y2: the bottom-right corner (0 keeps the
// current width or height; y2 = @aboveicons reaches down to the area above
// the icons).
PixelRect placeRect(int x1, int y1, int x2, int y2, const PlaceInputs& in);

// A pixel position as virtual units: the units nearest to zero that give
// the same pixel back through placeRect's conversion.
int toVirtual(int pixels, int screenPixels);

}  // namespace tarn::fn
