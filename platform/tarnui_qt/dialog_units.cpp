#include "dialog_units.h"

#include <QFontMetrics>
#include <algorithm>

namespace tarn::qtui {

// The average width is measured over the 52 letters, rounded up to whole
// pixels, as dialog layouts have always been measured.
DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics m(font);
    const int letters = m.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    base_width_ = std::max(1, (letters / 26 + 1) / 2);
    base_height_ = std::max(1, m.height());
}

QRect KeptOnScreen(QRect r, const QRect& screen) {
    if (screen.isEmpty()) return r;
    r.setWidth(std::min(r.width(), screen.width()));
    r.setHeight(std::min(r.height(), screen.height()));
    if (r.right() > screen.right()) r.moveRight(screen.right());
    if (r.bottom() > screen.bottom()) r.moveBottom(screen.bottom());
    if (r.left() < screen.left()) r.moveLeft(screen.left());
    if (r.top() < screen.top()) r.moveTop(screen.top());
    return r;
}

}  // namespace tarn::qtui
