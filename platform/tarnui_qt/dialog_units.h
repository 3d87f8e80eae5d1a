// Dialog units of the dialog font: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>

namespace tarn::qtui {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int units) const { return (units * base_width_ + 2) / 4; }
    int Y(int units) const { return (units * base_height_ + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const { return {X(x), Y(y), X(width), Y(height)}; }
    int BaseWidth() const { return base_width_; }
    int BaseHeight() const { return base_height_; }

private:
    int base_width_;
    int base_height_;
};

// `r` moved (and shrunk when it must be) so that it lies inside `screen`.
QRect KeptOnScreen(QRect r, const QRect& screen);

}  // namespace tarn::qtui
