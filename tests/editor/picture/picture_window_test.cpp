// The picture window: export from a document window, sizing, the print
// primitive, text items, styles and drops.
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>

#include "picture_fixture.h"
#include "picture_units.h"

namespace vrayu {
namespace {

using PictureWindowTest = PictureFixture;

TEST_F(PictureWindowTest, StartsWithItsControlsAndMenus) {
    PictureWindow& w = PictureWindow::Instance();
    EXPECT_EQ(w.windowTitle(), "Telugu Picture Generator");
    EXPECT_EQ(w.txtWidth().text(), "350");
    EXPECT_EQ(w.txtHeight().text(), "200");
    EXPECT_EQ(w.hscrPic().value(), 350);
    EXPECT_EQ(w.vscrPic().value(), 200);
    EXPECT_EQ(w.Picture1().Image().size(), QSize(336, 192));
    EXPECT_EQ(w.PicTextCount(), 1);
    EXPECT_EQ(w.txtPicText(0)->font().pointSizeF(), 14.25);
    EXPECT_TRUE(w.txtPicText(0)->font().bold());
    EXPECT_EQ(w.Picture1().CanvasFont().pointSizeF(), 15.75);
    EXPECT_EQ(w.AddedTextCount(), 0);
    QStringList captions;
    for (QMenu* menu : w.Actions().Menus()) {
        captions << menu->title();
        for (QAction* a : menu->actions()) captions << (a->isSeparator() ? "-" : a->text());
    }
    EXPECT_EQ(captions.join('|'),
              "&File|&New|&Open|&Save|-|&Close|Fo&rmat|&Font|&Bold|&Italics|&UnderLine|"
              "Fore &Color|&Back Color");
}

TEST_F(PictureWindowTest, ExportCopiesTheSelectionSizesTheCanvasAndClearsTheSelection) {
    EXPECT_TRUE(Doc().Actions().Action("mnuFileSaveBMP")->isEnabled());
    Tel().SetTextTelugu("abc\ndefgh");
    // No selection: all of the text, selection cleared afterwards.
    Export();
    PictureWindow& w = Pic();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.SourceText(), "abc\r\ndefgh");
    EXPECT_EQ(w.lblText().text(), "abc\r\ndefgh");
    EXPECT_EQ(w.PictureQuality(), 95);
    const QSizeF extent = w.LabelTwips();
    EXPECT_GT(extent.width(), 0);
    const int width = RoundedSizeUnits(extent.width(), 100), height = RoundedSizeUnits(extent.height(), 50);
    EXPECT_EQ(w.hscrPic().value(), width);
    EXPECT_EQ(w.txtWidth().text(), QString::number(width));
    EXPECT_EQ(w.txtHeight().text(), QString::number(height));
    EXPECT_EQ(w.Picture1().Image().width(), PictureCanvas::PixelsFor(width * 14.4));
    EXPECT_EQ(w.Picture1().Image().height(), PictureCanvas::PixelsFor(height * 14.4));
    EXPECT_EQ(Tel().Get(dispid::SelStart).toInt(), 0);
    EXPECT_EQ(Tel().Get(dispid::SelLength).toInt(), 0);
    // Two lines were printed: the drawing position is below the second.
    EXPECT_GT(w.Picture1().Position().y(), 0);

    // A selection: only it, and it is cleared afterwards too.
    Select(1, 2);
    Export();
    EXPECT_EQ(&Pic(), &w);  // the same shared window
    EXPECT_EQ(w.SourceText(), "bc");
    EXPECT_EQ(Tel().Get(dispid::SelStart).toInt(), 0);
    EXPECT_EQ(Tel().Get(dispid::SelLength).toInt(), 0);
}

TEST_F(PictureWindowTest, MixedFormattingFallsBackToTheDefaults) {
    Tel().SetTextTelugu("abcd");
    Select(0, 2);
    Tel().Put(dispid::SelFontSize, 20);
    Tel().Put(dispid::SelBold, true);
    Tel().Put(dispid::TeluguBackColor, 0x0000FF);  // red
    Tel().Put(dispid::SelColor, 0xFF0000);         // blue
    Select(0, 4);                                  // sizes and boldness mixed
    Export();
    const QFont font = Pic().Picture1().CanvasFont();
    EXPECT_EQ(font.family(), "Vrayu");
    EXPECT_EQ(font.pointSizeF(), 14);
    EXPECT_FALSE(font.bold());
    EXPECT_EQ(Pic().LabelFont().pointSizeF(), 14);
    EXPECT_EQ(Pic().Picture1().BackColor(), QColor(255, 0, 0));
    EXPECT_EQ(Pic().Picture1().ForeColor(), QColor(0, 0, 255));
    EXPECT_EQ(Pic().Picture1().Image().pixel(Pic().Picture1().Image().width() - 1, 0), qRgb(255, 0, 0));
}

TEST_F(PictureWindowTest, FieldsAndScrollBarsResizeAndRefreshWritesUnroundedSizes) {
    PictureWindow& w = PictureWindow::Instance();
    w.SetSourceText("text");
    w.txtWidth().setText("100");
    EXPECT_EQ(w.Picture1().Image().width(), 96);
    w.txtWidth().setText("size");
    EXPECT_EQ(w.Picture1().Image().width(), 0);
    w.hscrPic().setValue(125);
    EXPECT_EQ(w.txtWidth().text(), "125");
    EXPECT_EQ(w.Picture1().Image().width(), 120);
    w.vscrPic().setValue(50);
    EXPECT_EQ(w.txtHeight().text(), "50");
    EXPECT_EQ(w.Picture1().Image().height(), 48);

    const QSizeF measured = w.LabelTwips();
    w.txtHeight().setText("none");  // a canvas with no pixels measures the same
    EXPECT_EQ(w.LabelTwips(), measured);
    w.cmdPicture().click();
    const QSizeF extent = w.LabelTwips();
    EXPECT_EQ(extent, measured);
    EXPECT_EQ(w.txtWidth().text(), DecimalText((extent.width() + 100) / 14.4));
    EXPECT_EQ(w.txtHeight().text(), DecimalText((extent.height() + 50) / 14.4));
    // Bold: canvas and label change together and the canvas is refitted.
    w.Actions().Action("mnuBold")->trigger();
    EXPECT_TRUE(w.Picture1().CanvasFont().bold());
    EXPECT_TRUE(w.LabelFont().bold());
    EXPECT_EQ(w.txtWidth().text(), DecimalText((w.LabelTwips().width() + 100) / 14.4));
}

TEST_F(PictureWindowTest, PrintStartsLinesAtCrLfAndCutsTextAtTheEdge) {
    PictureCanvas& c = PictureWindow::Instance().Picture1();
    c.SetWidthTwips(40 * 15);
    c.SetHeightTwips(200 * 15);
    c.Cls();
    const double line = PictureCanvas::Metrics(c.CanvasFont()).lineSpacing();
    c.Print("a\r\nb", false);
    EXPECT_EQ(c.Position().y(), line);
    EXPECT_GT(c.Position().x(), 0);
    c.Print("", true);
    EXPECT_EQ(c.Position(), QPointF(0, 2 * line));
    // A long line is not wrapped: nothing lands on the line below it.
    c.Cls();
    c.Print(QString(200, 'W'), false);
    bool belowUntouched = true;
    for (int y = static_cast<int>(line) + 2; y < c.Image().height(); ++y)
        for (int x = 0; x < c.Image().width(); ++x) belowUntouched &= c.Image().pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(belowUntouched);
    bool inkAtTheEdge = false;
    for (int y = 0; y < static_cast<int>(line); ++y)
        for (int x = c.Image().width() - 8; x < c.Image().width(); ++x)
            inkAtTheEdge |= c.Image().pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(inkAtTheEdge);
}

TEST_F(PictureWindowTest, AddTextMakesTwentyItemsAndPaintMyPictureJoinsLinesWithin240Twips) {
    PictureWindow& w = PictureWindow::Instance();
    w.txtPicText(0)->setText("first");
    for (int i = 0; i < 22; ++i) w.Command1().click();
    EXPECT_EQ(w.AddedTextCount(), 22);
    EXPECT_EQ(w.PicTextCount(), 21);
    EXPECT_EQ(w.PicTextPosition(20).y(), w.PicTextPosition(0).y() + 20 * 360);
    EXPECT_TRUE(w.txtPicText(20)->isVisibleTo(&w.Picture1()));
    EXPECT_EQ(w.txtPicText(20)->font(), w.txtPicText(0)->font());
    EXPECT_EQ(w.txtPicText(20)->text(), "first");

    PictureCanvas& c = w.Picture1();
    const double line = PictureCanvas::Metrics(c.CanvasFont()).lineSpacing();
    auto linesPrinted = [&](double top0, double top1) {
        for (int i = 0; i < w.PicTextCount(); ++i) {
            w.MovePicText(i, QPointF(0, i == 0 ? top0 : top1));
            w.txtPicText(i)->setText(i < 2 ? "x" : "");
        }
        c.Cls();
        w.PaintMyPicture();
        return c.Position().y() / line;
    };
    EXPECT_EQ(linesPrinted(0, 240), 0);
    EXPECT_EQ(linesPrinted(0, 241), 1);
    EXPECT_EQ(linesPrinted(0, 240.4), 0);  // tops are rounded to whole twips
    EXPECT_EQ(linesPrinted(300, 300), 1);  // a line holding a single space first
}

TEST_F(PictureWindowTest, DropsMoveTextItemsOnlyAndTakeTextFromOtherPrograms) {
    PictureWindow& w = PictureWindow::Instance();
    std::unique_ptr<QMimeData> item(PictureWindow::DragData(*w.txtPicText(0)));
    w.DropOnCanvas(*item, QPoint(20, 10));
    EXPECT_EQ(w.PicTextPosition(0), QPointF(300, 150));
    EXPECT_EQ(w.txtPicText(0)->pos(), QPoint(20, 10));
    std::unique_ptr<QMimeData> source(PictureWindow::DragData(w.txtBMP()));
    w.DropOnCanvas(*source, QPoint(50, 50));
    EXPECT_EQ(w.PicTextPosition(0), QPointF(300, 150));

    QMimeData text;
    text.setText("dropped");
    w.txtPicText(0)->setText("old");
    auto dropOn = [&](QWidget* target) {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    };
    dropOn(w.txtPicText(0));
    EXPECT_EQ(w.txtPicText(0)->text(), "dropped");
    w.SetSourceText("abc");
    dropOn(w.txtBMP().viewport());
    EXPECT_EQ(w.SourceText(), "abcdropped");
    EXPECT_EQ(w.lblText().text(), "abcdropped");
}

TEST_F(PictureWindowTest, CancelledDialogsChangeNothingAndChosenOnesRestyle) {
    PictureWindow& w = PictureWindow::Instance();
    w.SetSourceText("abc");
    w.Actions().Action("mnuFont")->trigger();       // cancelled
    w.Actions().Action("mnuForeColor")->trigger();  // cancelled
    EXPECT_EQ(w.Picture1().CanvasFont().pointSizeF(), 15.75);
    EXPECT_EQ(w.Picture1().ForeColor(), QColor(Qt::black));
    EXPECT_EQ(w.txtWidth().text(), "350");
    ASSERT_EQ(dialogs.Questions().size(), 2u);
    EXPECT_EQ(dialogs.Questions()[0].kind, ScriptedDialogs::Kind::Font);

    FontChoice chosen;
    chosen.name = "DejaVu Sans";
    chosen.size = 30;
    chosen.italic = true;
    dialogs.QueueFont(chosen);
    w.Actions().Action("mnuFont")->trigger();
    EXPECT_EQ(w.Picture1().CanvasFont().family(), "DejaVu Sans");
    EXPECT_TRUE(w.LabelFont().italic());
    EXPECT_EQ(w.txtWidth().text(), DecimalText((w.LabelTwips().width() + 100) / 14.4));
    dialogs.QueueColor(QColor(0, 128, 0));
    w.Actions().Action("mnuBackColor")->trigger();
    EXPECT_EQ(w.Picture1().Image().pixel(w.Picture1().Image().width() - 1, w.Picture1().Image().height() - 1),
              qRgb(0, 128, 0));
}

TEST_F(PictureWindowTest, PrintAnywherePaintsAtTheMiddleAndEndsAPrinterJob) {
    PictureWindow& w = PictureWindow::Instance();
    PictureCanvas source;
    source.SetWidthTwips(10 * 15);
    source.SetHeightTwips(10 * 15);
    source.SetBackColor(Qt::red);
    source.Cls();
    w.txtWidth().setText("125");  // 120 x 192 pixels
    w.PrintAnywhere(source, w.Picture1());
    const QImage& canvas = w.Picture1().Image();
    EXPECT_EQ(canvas.pixel(60, 96), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(69, 105), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(59, 95), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(70, 106), qRgb(255, 255, 255));
    w.PaintFromOutside("x");
    EXPECT_EQ(w.Picture1().Position().x(), 0);
    EXPECT_GT(w.Picture1().Position().y(), 0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("docs/printed.pdf"));
    w.PrintAnywhere(source, printer);
    // The job has ended: the document is complete on disk.
    EXPECT_TRUE(Bytes(Path("docs/printed.pdf")).trimmed().endsWith("%%EOF"));
}

}  // namespace
}  // namespace vrayu
