#include "functions/logic/window_place.h"

#include <algorithm>

namespace tarn::fn {

namespace {

int toPixels(int v, int screen) {
    v = std::clamp(v, -1000, 2000);
    return static_cast<int>(static_cast<long long>(v) * screen / 1000);  // truncated toward zero
}

}  // namespace

PixelRect placeRect(int x1, int y1, int x2, int y2, const PlaceInputs& in) {
    PixelRect r;
    r.left = std::min(toPixels(x1, in.screenWidth), in.screenWidth - in.minWidth);
    r.top = std::min(toPixels(y1, in.screenHeight), in.screenHeight - in.minHeight);
    if (x2 == 0) {
        r.width = in.currentWidth;
    } else {
        r.width = std::max(in.minWidth, toPixels(x2, in.screenWidth)) - r.left;
        r.width = std::clamp(r.width, in.minWidth, std::max(in.minWidth, in.screenWidth));
    }
    if (y2 == 0) {
        r.height = in.currentHeight;
    } else if (y2 == kAboveIcons) {
        // Never below the smallest window, even when the top lies lower.
        r.height = std::max(in.minHeight, in.aboveIconsBottom - r.top);
    } else {
        r.height = std::max(in.minHeight, toPixels(y2, in.screenHeight)) - r.top;
        r.height = std::clamp(r.height, in.minHeight, std::max(in.minHeight, in.screenHeight));
    }
    r.left = std::max(r.left, in.minWidth - r.width);
    r.top = std::max(r.top, in.minHeight - r.height);
    return r;
}

int toVirtual(int pixels, int screenPixels) {
    if (screenPixels <= 0) return 0;
    // Away from zero, so that the units give the same pixel back.
    const long long n = static_cast<long long>(pixels) * 1000;
    long long v = n / screenPixels;
    if (n % screenPixels != 0) v += n > 0 ? 1 : -1;
    return static_cast<int>(v);
}

}  // namespace tarn::fn
