#include "picture_canvas.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "frame_settings.h"
#include "picture_units.h"

namespace vrayu {
namespace {

// Text split at its line breaks (CR LF, and a lone CR or LF as well).
QStringList Lines(const QString& text) {
    QString unified = text;
    unified.replace("\r\n", "\n").replace('\r', '\n');
    return unified.split('\n');
}

// Dots per metre of the screen: fonts given in points scale with it.
int ScreenDotsPerMeter() { return static_cast<int>(std::lround(1440.0 / TwipsPerPixel() / 0.0254)); }

}  // namespace

QFontMetricsF PictureCanvas::Metrics(const QFont& font) {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(ScreenDotsPerMeter());
        image.setDotsPerMeterY(ScreenDotsPerMeter());
        return image;
    }();
    return QFontMetricsF(font, &device);
}

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ResizeImage(0, 0);
}

double PictureCanvas::TwipsPerPixel() { return vrayu::TwipsPerPixel(); }

int PictureCanvas::PixelsFor(double twips) {
    const double pixels = std::round(twips / TwipsPerPixel());
    if (!(pixels > 0)) return 0;
    return static_cast<int>(std::min<double>(pixels, kMaxCanvasPixels));
}

double PictureCanvas::WidthTwips() const { return width_ * TwipsPerPixel(); }
double PictureCanvas::HeightTwips() const { return height_ * TwipsPerPixel(); }

void PictureCanvas::SetWidthTwips(double twips) { ResizeImage(PixelsFor(twips), height_); }
void PictureCanvas::SetHeightTwips(double twips) { ResizeImage(width_, PixelsFor(twips)); }

void PictureCanvas::ResizeImage(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_ && image_.size() == QSize(width, height)) return;
    width_ = width;
    height_ = height;
    QImage resized(width, height, QImage::Format_RGB32);
    resized.setDotsPerMeterX(ScreenDotsPerMeter());
    resized.setDotsPerMeterY(ScreenDotsPerMeter());
    if (!resized.isNull()) {
        resized.fill(backColor_);
        QPainter p(&resized);
        p.drawImage(0, 0, image_);
    }
    image_ = resized;
    setFixedSize(width, height);
    update();
}

void PictureCanvas::Cls() {
    if (!image_.isNull()) {
        image_.fill(backColor_);
        if (!picture_.isNull()) {
            QPainter p(&image_);
            p.drawImage(0, 0, picture_);
        }
    }
    position_ = {};
    update();
}

void PictureCanvas::Print(const QString& text, bool lineBreak) {
    const QFontMetricsF metrics = Metrics(font_);
    const QStringList lines = Lines(text);
    QPainter p;
    if (!image_.isNull()) {
        p.begin(&image_);
        p.setFont(font_);
        p.setPen(foreColor_);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (p.isActive() && !lines[i].isEmpty())
            p.drawText(QPointF(position_.x(), position_.y() + metrics.ascent()), lines[i]);
        if (i + 1 < lines.size() || lineBreak) position_ = {0, position_.y() + metrics.lineSpacing()};
        else position_.rx() += metrics.horizontalAdvance(lines[i]);
    }
    update();
}

void PictureCanvas::SetPicture(const QImage& picture) {
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    if (autoSize_ && !picture_.isNull())
        ResizeImage(std::min(picture_.width(), kMaxCanvasPixels), std::min(picture_.height(), kMaxCanvasPixels));
    Cls();
}

void PictureCanvas::PaintPicture(const QImage& picture, QPointF at) {
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.drawImage(at, picture);
    update();
}

void PictureCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PictureCanvas::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }
void PictureCanvas::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void PictureCanvas::dropEvent(QDropEvent* event) {
    if (onDrop) onDrop(event);
}

}  // namespace vrayu
