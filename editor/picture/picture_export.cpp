#include "picture_export.h"

#include <QFont>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QScrollBar>

#include "document_window.h"
#include "picture_canvas.h"
#include "picture_units.h"
#include "picture_window.h"

namespace vrayu {
namespace {

// Defaults for properties that read as Null (a selection of mixed formatting).
constexpr char kDefaultFace[] = "Vrayu";
constexpr double kDefaultSize = 14;

// An OLE colour (red in the low byte; a set high bit names a system colour).
QColor ColorOfOle(const QVariant& ole, const QColor& fallback) {
    if (ole.isNull() || !ole.isValid()) return fallback;
    const auto value = static_cast<std::uint32_t>(ole.toLongLong());
    if (value & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        return (value & 0xFF) == 8 ? palette.color(QPalette::Text) : palette.color(QPalette::Base);
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace

void ExportPicture(DocumentWindow& document) {
    Tel1* tel = document.Control();
    if (!tel) return;
    // 1. Load the picture window (hidden).
    PictureWindow& picture = PictureWindow::Instance(document.window());
    picture.hide();
    // 2. No selection: select the whole Telugu text.
    if (tel->Get(dispid::SelLength).toInt() == 0) {
        tel->Put(dispid::SelStart, 0);
        tel->Put(dispid::SelLength, static_cast<int>(tel->TextTelugu().size()));
    }
    // 3. The measuring label.
    const QVariant teluguFont = tel->Get(dispid::TeluguFont);
    const QVariant size = tel->Get(dispid::SelFontSize);
    const QVariant bold = tel->Get(dispid::SelBold);
    const QVariant italic = tel->Get(dispid::SelItalic);
    QFont font(teluguFont.canConvert<QFont>() && !teluguFont.isNull() ? teluguFont.value<QFont>().family()
                                                                      : QString(kDefaultFace));
    // A size that is not a positive number is taken as the default too.
    font.setPointSizeF(size.isNull() || !(size.toDouble() > 0) ? kDefaultSize : size.toDouble());
    font.setBold(!bold.isNull() && bold.toBool());
    font.setItalic(!italic.isNull() && italic.toBool());
    const QString selText = tel->Get(dispid::SelText).toString();
    const QString caption = selText.isEmpty() ? tel->TextTelugu() : selText;
    picture.SetLabelFont(font);
    // 4. The source text (its change gives the label its caption).
    picture.SetSourceText(caption);
    // 5. The canvas style.
    PictureCanvas& canvas = picture.Picture1();
    canvas.SetForeColor(ColorOfOle(tel->Get(dispid::SelColor), Qt::black));
    canvas.SetBackColor(ColorOfOle(tel->Get(dispid::TeluguBackColor), Qt::white));
    canvas.SetCanvasFont(font);
    // 6. Size: the text's extent plus the margins.
    const QSizeF extent = picture.LabelTwips();
    const int width = RoundedSizeUnits(extent.width(), kCanvasMarginWidth);
    const int height = RoundedSizeUnits(extent.height(), kCanvasMarginHeight);
    picture.hscrPic().setValue(width);
    picture.vscrPic().setValue(height);
    picture.txtWidth().setText(QString::number(width));
    picture.txtHeight().setText(QString::number(height));
    // 7. Draw the selection.
    canvas.Cls();
    canvas.Print(selText, true);
    // 8. - 10. Quality, show, save when a file is named.
    picture.SetPictureQuality(document.PictureQuality());
    picture.show();
    picture.raise();
    picture.SaveMyPic(document.PictureFileName());
    // 11. Clear the selection.
    tel->Put(dispid::SelStart, 0);
    tel->Put(dispid::SelLength, 0);
}

void RegisterPictureExport() { DocumentWindow::RegisterCommand("mnuFileSaveBMP", ExportPicture); }

}  // namespace vrayu
