// Compares the ink of two renderings of the same word: a reference (Unicode
// Telugu in Noto Sans Telugu) and a candidate (glyph codes in Vrayu).
#pragma once

#include <QImage>

namespace vrayu::fonttest {

struct InkComparison {
    double similarity = 0;  // 0 (nothing alike) to 1 (same ink)
    QImage overlay;         // reference ink red, candidate ink blue, both black
};

// Both images are rendered on canvases of one size with one baseline. The
// candidate's ink is scaled horizontally to the reference's ink width (the
// two fonts' advances differ a little), shifted by up to `maxShift` pixels to
// the best fit, and every ink pixel counts as matched when the other image has
// ink within `tolerance` pixels. The similarity is the smaller of the matched
// fractions of the two images, so both a missing and an extra stroke lower it.
InkComparison CompareInk(const QImage& reference, const QImage& candidate, int tolerance = 2, int maxShift = 4);

}  // namespace vrayu::fonttest
