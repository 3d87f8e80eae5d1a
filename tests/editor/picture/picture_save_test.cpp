// Saving and opening pictures: BMP, JPEG and GIF through the real
// converters, the name and quality rules, temporaries, the time-out and the
// user's old file.
#include <QDir>
#include <QElapsedTimer>

#include "document_files.h"

#include "picture_fixture.h"

namespace vrayu {
namespace {

class PictureSaveTest : public PictureFixture {
protected:
    // A picture window whose canvas shows black text on yellow.
    PictureWindow& Drawn() {
        PictureWindow& w = PictureWindow::Instance();
        w.Picture1().SetCanvasFont(QFont("DejaVu Sans", 20));
        w.Picture1().SetBackColor(QColor(255, 255, 0));
        w.SetSourceText("Picture\r\ntext");
        w.txtWidth().setText("150");
        w.txtHeight().setText("80");
        return w;
    }
    QStringList BinFiles() { return QDir(Path("bin")).entryList(QDir::Files, QDir::Name); }
};

TEST_F(PictureSaveTest, BmpJpegAndGifFilesDecodeToTheCanvas) {
    PictureWindow& w = Drawn();
    const QImage canvas = w.Picture1().Image();
    ASSERT_EQ(canvas.size(), QSize(144, 77));
    w.SetPictureQuality(95);
    for (const char* name : {"docs/p.bmp", "docs/p.JPG", "docs/p.gif"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(w.SaveAsJPG(Path(name)));
        const QByteArray bytes = Bytes(Path(name));
        const QImage saved = QImage::fromData(bytes);
        ASSERT_EQ(saved.size(), canvas.size());
        const QString ext = QString(name).right(3).toLower();
        if (ext == "bmp") EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), canvas);
        else EXPECT_LT(MeanDifference(saved, canvas), 6);
        EXPECT_TRUE(bytes.startsWith(ext == "bmp" ? "BM" : ext == "jpg" ? "\xFF\xD8" : "GIF8"));
    }
    // Only the program's own files remain: every temporary is gone.
    EXPECT_EQ(BinFiles(), QStringList({"cjpeg", "djpeg"}));
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(PictureSaveTest, SaveCommandAsksQualityPassesItAndReloadsTheResult) {
    PictureWindow& w = Drawn();
    // The encoder records its arguments and folder, then does the real work.
    FakeConverter("cjpeg", "echo \"$# $* $(pwd)\" >> '" + Path("calls.log") + "'\nexec '" VRAYU_CJPEG "' \"$@\"");
    dialogs.QueueSaveFile(Path("docs/q.jpg"));
    dialogs.QueueInput("75%");
    w.Actions().Action("mnuSave")->trigger();
    EXPECT_EQ(w.PictureQuality(), 75);
    EXPECT_EQ(Calls(), QStringList({"3 -quality 75 tmp1000.bmp " + Path("bin")}));
    ASSERT_EQ(dialogs.Questions().size(), 2u);
    EXPECT_EQ(dialogs.Questions()[0].title, "Save As Picture");
    EXPECT_EQ(dialogs.Questions()[0].filter,
              "JPG Files (*.jpg)|*.jpg|GIF File(*.gif)|*.gif|Bitmap Files (*.bmp)|*.BMP|");
    EXPECT_EQ(dialogs.Questions()[1].prompt, "Quality of the Picture in Percent: (95% for Best, 5% for Poor)");
    EXPECT_EQ(dialogs.Questions()[1].title, "Picture Quality");
    EXPECT_EQ(dialogs.Questions()[1].defaultText, "90");
    // The canvas now shows the stored picture.
    EXPECT_EQ(w.Picture1().Picture().size(), QSize(144, 77));

    // An empty answer is quality 0; a BMP asks too and starts no converter.
    QFile::remove(Path("calls.log"));
    dialogs.QueueSaveFile(Path("docs/q.jpg"));
    dialogs.QueueInput("");
    w.Actions().Action("mnuSave")->trigger();
    EXPECT_EQ(Calls(), QStringList({"3 -quality 0 tmp1000.bmp " + Path("bin")}));
    QFile::remove(Path("calls.log"));
    dialogs.QueueSaveFile(Path("docs/q.bmp"));
    dialogs.QueueInput("50");
    w.Actions().Action("mnuSave")->trigger();
    EXPECT_EQ(w.PictureQuality(), 50);
    EXPECT_TRUE(QFile::exists(Path("docs/q.bmp")));
    EXPECT_FALSE(QFile::exists(Path("calls.log")));
}

TEST_F(PictureSaveTest, NamesOfNoPictureTypeWriteNothingAndEmptyNamesFail) {
    PictureWindow& w = Drawn();
    WriteFileAtomically(Path("docs/keep.jpeg"), "old");
    EXPECT_TRUE(w.SaveAsJPG(Path("docs/keep.jpeg")));
    EXPECT_EQ(Bytes(Path("docs/keep.jpeg")), "old");
    EXPECT_TRUE(w.SaveAsJPG(Path("docs/new.png")));
    EXPECT_FALSE(QFile::exists(Path("docs/new.png")));
    EXPECT_FALSE(w.SaveAsJPG(""));
    // The command says so instead of pretending.
    dialogs.QueueSaveFile(Path("docs/keep.jpeg"));
    dialogs.QueueInput("90");
    w.Actions().Action("mnuSave")->trigger();
    EXPECT_EQ(LastPrompt(), kNotAPictureNameMessage);
}

TEST_F(PictureSaveTest, StaleTemporariesAreRemovedBeforeASave) {
    for (const char* name : {"bin/TMP1000.GIF", "bin/tmp1000.jpg", "bin/Tmp1000.bmp", "bin/tmp1000.jpg.a1B2c3"})
        WriteFileAtomically(Path(name), "stale");
    WriteFileAtomically(Path("bin/tmp1000.txt"), "mine");
    EXPECT_TRUE(Drawn().SaveAsJPG(Path("docs/s.bmp")));
    EXPECT_EQ(BinFiles(), QStringList({"cjpeg", "djpeg", "tmp1000.txt"}));
}

TEST_F(PictureSaveTest, ConverterThatNeverWritesTimesOutAndKeepsTheOldFile) {
    PictureWindow& w = Drawn();
    SetConverterTimeout(std::chrono::milliseconds(300));
    for (const char* name : {"docs/old.jpg", "docs/old.gif"}) {
        SCOPED_TRACE(name);
        WriteFileAtomically(Path(name), "the user's old picture");
        FakeConverter(QString(name).endsWith("jpg") ? "cjpeg" : "djpeg", "exit 0");
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(w.SaveAsJPG(Path(name)));
        EXPECT_GE(t.elapsed(), 300);
        EXPECT_LT(t.elapsed(), 5000);
        EXPECT_EQ(LastPrompt(),
                  "Save Process is taking longer than set time (30 Seconds).\r\n"
                  "File may be too big. Try again with a smaller picture.");
        EXPECT_EQ(dialogs.Questions().back().title, "Save as Picture");
        EXPECT_EQ(dialogs.Questions().back().style, kOKOnly);
        EXPECT_EQ(Bytes(Path(name)), "the user's old picture");
        InstallConverter(VRAYU_CJPEG, "cjpeg");
    }
    // A converter that cannot be run at all fails at once, with a message.
    QFile::remove(Path("bin/cjpeg"));
    EXPECT_FALSE(w.SaveAsJPG(Path("docs/old.jpg")));
    EXPECT_TRUE(LastPrompt().startsWith(kConverterMissingMessage));
    EXPECT_EQ(Bytes(Path("docs/old.jpg")), "the user's old picture");
}

TEST_F(PictureSaveTest, SaveMyPicSavesSilentlyAndUnloadsTheWindow) {
    PictureWindow& w = Drawn();
    w.SaveMyPic("");
    EXPECT_EQ(PictureWindow::Loaded(), &w);
    w.SaveMyPic(Path("docs/mail.jpg"), 80);
    EXPECT_EQ(PictureWindow::Loaded(), nullptr);
    EXPECT_EQ(QImage(Path("docs/mail.jpg")).size(), QSize(144, 77));
    EXPECT_TRUE(dialogs.Questions().empty());

    // The mail path: the document window names the file and the export saves it.
    Tel().SetTextTelugu("abc");
    Doc().SetPictureFileName(Path("docs/export.jpg"));
    Export();
    EXPECT_EQ(PictureWindow::Loaded(), nullptr);
    EXPECT_FALSE(QImage(Path("docs/export.jpg")).isNull());
    EXPECT_EQ(Tel().Get(dispid::SelLength).toInt(), 0);
}

TEST_F(PictureSaveTest, OpenAsksWhetherToFitTheCanvasToThePicture) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(Path("docs/red.bmp")));
    PictureWindow& w = PictureWindow::Instance();
    dialogs.QueueOpenFile(Path("docs/red.bmp"));
    dialogs.QueueMsgBox(kNo);
    w.Actions().Action("mnuOpen")->trigger();
    EXPECT_EQ(w.Picture1().Image().size(), QSize(336, 192));
    EXPECT_EQ(w.Picture1().Image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(w.Picture1().Image().pixel(100, 100), qRgb(255, 255, 255));
    EXPECT_EQ(dialogs.Questions()[0].title, "Open Picture");
    EXPECT_EQ(dialogs.Questions()[1].prompt, "Do you want me to resize the work area to fit the picture to the box?");
    EXPECT_EQ(dialogs.Questions()[1].title, "Fit Picture");
    EXPECT_EQ(dialogs.Questions()[1].style, kYesNo);
    dialogs.QueueOpenFile(Path("docs/red.bmp"));
    dialogs.QueueMsgBox(kYes);
    w.Actions().Action("mnuOpen")->trigger();
    EXPECT_EQ(w.Picture1().Image().size(), QSize(40, 30));
    // "&New" removes the picture.
    w.Actions().Action("mnuNew")->trigger();
    EXPECT_EQ(w.Picture1().Image().pixel(0, 0), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace vrayu
