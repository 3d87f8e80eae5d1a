// Picture1, the canvas of the picture window: a raster picture whose drawing
// persists, so that what is drawn can be saved. Everything is drawn through
// one primitive, Print: text in the canvas font and foreground colour from
// the current drawing position, CR LF starting a new line, never wrapped,
// cut off at the edge. Cls fills the background and resets the position.
// Sizes are set in twips; the image has the canvas size in screen pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <functional>

namespace vrayu {

class PictureCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PictureCanvas(QWidget* parent = nullptr);

    // The persistent picture: background, loaded picture and everything printed.
    const QImage& Image() const { return image_; }

    double WidthTwips() const;
    double HeightTwips() const;
    // Resizes the canvas (negative counts as 0); what was drawn stays where
    // it fits and new area shows the background.
    void SetWidthTwips(double twips);
    void SetHeightTwips(double twips);

    QFont CanvasFont() const { return font_; }
    void SetCanvasFont(const QFont& font) { font_ = font; }
    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& c) { foreColor_ = c; }
    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& c) { backColor_ = c; }

    // Fills the canvas with the background colour (and the loaded picture)
    // and moves the drawing position to the top-left corner.
    void Cls();
    // Draws `text` at the drawing position; with `lineBreak` the position
    // then moves to the start of the next line, else it stays after the text.
    void Print(const QString& text, bool lineBreak);
    // Drawing position in pixels.
    QPointF Position() const { return position_; }

    // The loaded picture (shown under the drawing; null when none).
    const QImage& Picture() const { return picture_; }
    // Loads `picture` as the canvas picture: with automatic sizing the canvas
    // takes the picture's size, else the picture is clipped to the canvas.
    // Earlier drawing is replaced.
    void SetPicture(const QImage& picture);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on) { autoSize_ = on; }
    // Paints `picture` with its top-left corner at `at` (pixels) into the
    // persistent drawing.
    void PaintPicture(const QImage& picture, QPointF at);

    // Called when something is dropped on the canvas (set by the window).
    std::function<void(QDropEvent*)> onDrop;

    // Font measurements as the canvas draws (screen resolution), also while
    // the canvas has no pixels.
    static QFontMetricsF Metrics(const QFont& font);
    // Twips per pixel of the screen the canvas is measured on.
    static double TwipsPerPixel();
    // Pixels for a canvas size in twips (rounded, within 0 .. the maximum).
    static int PixelsFor(double twips);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ResizeImage(int width, int height);

    // The canvas size; the image is null while either side is 0.
    int width_ = 0;
    int height_ = 0;
    QImage image_;
    QImage picture_;
    QFont font_;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = Qt::white;
    QPointF position_;
    bool autoSize_ = false;
};

}  // namespace vrayu
