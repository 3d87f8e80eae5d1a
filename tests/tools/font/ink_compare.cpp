#include "ink_compare.h"

#include <algorithm>
#include <vector>

namespace vrayu::fonttest {
namespace {

struct Mask {
    int w = 0, h = 0;
    std::vector<unsigned char> ink;
    bool at(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && ink[y * w + x]; }
};

Mask InkOf(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    Mask m{gray.width(), gray.height(), std::vector<unsigned char>(gray.width() * gray.height())};
    for (int y = 0; y < m.h; ++y) {
        const uchar* row = gray.constScanLine(y);
        for (int x = 0; x < m.w; ++x) m.ink[y * m.w + x] = row[x] < 128;
    }
    return m;
}

// Columns holding ink, as [first, last]; first > last when there is none.
std::pair<int, int> InkColumns(const Mask& m) {
    int first = m.w, last = -1;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.ink[y * m.w + x]) first = std::min(first, x), last = std::max(last, x);
    return {first, last};
}

Mask Dilate(const Mask& m, int r) {
    Mask out{m.w, m.h, std::vector<unsigned char>(m.ink.size())};
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            if (!m.ink[y * m.w + x]) continue;
            for (int yy = std::max(0, y - r); yy <= std::min(m.h - 1, y + r); ++yy)
                for (int xx = std::max(0, x - r); xx <= std::min(m.w - 1, x + r); ++xx) out.ink[yy * m.w + xx] = 1;
        }
    return out;
}

long Count(const Mask& m) { return std::count(m.ink.begin(), m.ink.end(), 1); }

}  // namespace

InkComparison CompareInk(const QImage& reference, const QImage& candidate, int tolerance, int maxShift) {
    const Mask ref = InkOf(reference);
    const Mask rawCand = InkOf(candidate);
    const auto [r0, r1] = InkColumns(ref);
    const auto [c0, c1] = InkColumns(rawCand);
    InkComparison result;
    if (r0 > r1 || c0 > c1) {
        result.similarity = (r0 > r1 && c0 > c1) ? 1.0 : 0.0;
        return result;
    }

    // The candidate's ink columns stretched onto the reference's.
    const QImage strip = candidate.convertToFormat(QImage::Format_Grayscale8)
                             .copy(c0, 0, c1 - c0 + 1, candidate.height())
                             .scaled(r1 - r0 + 1, candidate.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage placed(reference.size(), QImage::Format_Grayscale8);
    placed.fill(255);
    for (int y = 0; y < std::min(strip.height(), placed.height()); ++y)
        std::copy_n(strip.constScanLine(y), std::min(strip.width(), placed.width() - r0), placed.scanLine(y) + r0);
    const Mask cand = InkOf(placed);

    const Mask nearRef = Dilate(ref, tolerance), nearCand = Dilate(cand, tolerance);
    const long refInk = Count(ref), candInk = Count(cand);
    double best = -1;
    int bestDx = 0, bestDy = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -maxShift; dx <= maxShift; ++dx) {
            long refHit = 0, candHit = 0;
            for (int y = 0; y < ref.h; ++y)
                for (int x = 0; x < ref.w; ++x) {
                    if (ref.ink[y * ref.w + x] && nearCand.at(x - dx, y - dy)) ++refHit;
                    if (cand.ink[y * cand.w + x] && nearRef.at(x + dx, y + dy)) ++candHit;
                }
            const double s = std::min(static_cast<double>(refHit) / static_cast<double>(refInk),
                                      static_cast<double>(candHit) / static_cast<double>(candInk));
            if (s > best) best = s, bestDx = dx, bestDy = dy;
        }
    result.similarity = best;

    result.overlay = QImage(reference.size(), QImage::Format_RGB32);
    for (int y = 0; y < ref.h; ++y)
        for (int x = 0; x < ref.w; ++x) {
            const bool a = ref.at(x, y), b = cand.at(x - bestDx, y - bestDy);
            result.overlay.setPixel(x, y,
                                    a && b ? qRgb(0, 0, 0)
                                    : a    ? qRgb(220, 40, 40)
                                    : b    ? qRgb(40, 90, 230)
                                           : qRgb(255, 255, 255));
        }
    return result;
}

}  // namespace vrayu::fonttest
