// Screen pictures through XGetImage, written as BMP files.
#include "x11/snapshot.h"

#include <algorithm>
#include <cstdint>

#include "x11/session.h"

namespace vrayu::x11 {
namespace {

void Put(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// The position of a mask's lowest bit and its width, for pixel channels.
void Channel(unsigned long mask, int* shift, int* bits) {
    *shift = 0;
    *bits = 0;
    if (!mask) return;
    while (!(mask & 1)) mask >>= 1, ++*shift;
    while (mask & 1) mask >>= 1, ++*bits;
}

unsigned Scale(unsigned long pixel, int shift, int bits) {
    if (!bits) return 0;
    const unsigned long v = (pixel >> shift) & ((1ul << bits) - 1);
    return static_cast<unsigned>(v * 255 / ((1ul << bits) - 1));
}

}  // namespace

std::optional<std::string> CaptureBmp(Rect area) {
    Session s;
    if (!s) return std::nullopt;
    const int n = DefaultScreen(s.dpy());
    const int x0 = std::max(0, area.x), y0 = std::max(0, area.y);
    const int x1 = std::min(DisplayWidth(s.dpy(), n), area.x + area.width);
    const int y1 = std::min(DisplayHeight(s.dpy(), n), area.y + area.height);
    if (x1 <= x0 || y1 <= y0) return std::nullopt;
    const auto w = static_cast<unsigned>(x1 - x0), h = static_cast<unsigned>(y1 - y0);
    XImage* img = XGetImage(s.dpy(), s.root(), x0, y0, w, h, AllPlanes, ZPixmap);
    if (!img) return std::nullopt;
    int rs = 0, rb = 0, gs = 0, gb = 0, bs = 0, bb = 0;
    Channel(img->red_mask, &rs, &rb);
    Channel(img->green_mask, &gs, &gb);
    Channel(img->blue_mask, &bs, &bb);
    const std::size_t row = (w * 3 + 3) / 4 * 4;
    const std::size_t size = 54 + row * h;
    std::string bmp(size, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put(bmp, 2, static_cast<std::uint32_t>(size), 4);
    Put(bmp, 10, 54, 4);
    Put(bmp, 14, 40, 4);
    Put(bmp, 18, w, 4);
    Put(bmp, 22, h, 4);
    Put(bmp, 26, 1, 2);
    Put(bmp, 28, 24, 2);
    Put(bmp, 34, static_cast<std::uint32_t>(row * h), 4);
    Put(bmp, 38, 2835, 4);  // 72 dots per inch
    Put(bmp, 42, 2835, 4);
    for (unsigned y = 0; y < h; ++y) {
        std::size_t at = 54 + (h - 1 - y) * row;
        for (unsigned x = 0; x < w; ++x) {
            const unsigned long p = XGetPixel(img, static_cast<int>(x), static_cast<int>(y));
            bmp[at++] = static_cast<char>(Scale(p, bs, bb));
            bmp[at++] = static_cast<char>(Scale(p, gs, gb));
            bmp[at++] = static_cast<char>(Scale(p, rs, rb));
        }
    }
    XDestroyImage(img);
    return bmp;
}

}  // namespace vrayu::x11
