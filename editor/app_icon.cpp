#include "app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vrayu {
namespace {

// One size of the icon; coordinates are those of the 64-unit SVG.
QPixmap Draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8e, 0x3a, 0x63));
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 10, 10);
    p.setBrush(QColor(0xfd, 0xf6, 0xec));
    p.drawRoundedRect(QRectF(12, 12, 40, 40), 4, 4);
    QPen ink(QColor(0x8e, 0x3a, 0x63), 4, Qt::SolidLine, Qt::RoundCap);
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);
    QPainterPath wave(QPointF(20, 26));
    wave.quadTo(26, 16, 32, 26);
    wave.quadTo(38, 36, 44, 26);
    p.drawPath(wave);
    p.drawEllipse(QPointF(32, 38), 6, 6);
    p.setPen(QPen(QColor(0xd0, 0x8a, 0x2e), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 46), QPointF(42, 46));
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Draw(size));
    return icon;
}

}  // namespace vrayu
