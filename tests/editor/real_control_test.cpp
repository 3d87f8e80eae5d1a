// The editor with the real transliteration control: created through the
// registry store from its ProgID (the library beside the program registers
// itself on first use), typed into, saved, reopened, exported and printed.
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "document_files.h"
#include "editor_fixture.h"
#include "control_host.h"

namespace vrayu {
namespace {

class RealControl : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        SetTel1Factory({});
        const QString built = QCoreApplication::applicationDirPath();
        for (const char* name : {"libVrayu.so", "frmEditor.tel1.state", "glyfa.ttf"})
            QFile::copy(built + "/" + name, Path(QString("bin/") + name));
        if (!QFileInfo::exists(Path("bin/libVrayu.so"))) GTEST_SKIP() << "libVrayu.so not built";
    }
    QByteArray Latin1(const QString& s) { return s.toLatin1(); }
};

TEST_F(RealControl, CreatedFromTheRegistryAndStartsWithTheInstructions) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    // First run registered the library beside the program.
    const QString clsid = ClsidFromProgId("Vrayu.Transliterate");
    EXPECT_EQ(clsid.toUpper(), "{78C3BAB8-F065-11D0-A36D-444553540000}");
    EXPECT_EQ(InprocServerPath(clsid), Path("bin/libVrayu.so"));
    EXPECT_EQ(d.Control()->TextEnglish(), kInstructionText);
    EXPECT_FALSE(d.Control()->EnglishChanged());
    EXPECT_TRUE(d.Control()->AutoConvert());
    EXPECT_FALSE(d.Control()->TextTelugu().isEmpty());  // the converted welcome
}

TEST_F(RealControl, TypedRitIsConvertedSavedReopenedAndExported) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Control()->SetTextEnglish("svAgatam");
    EXPECT_TRUE(d.Control()->EnglishChanged());
    Trigger(d, "mnuConvertNow");
    const QByteArray svagatam("\xB3\xC2\xED\x8F\xC1\x9C\xC1\xCF");
    EXPECT_EQ(Latin1(d.Control()->TextTelugu()), svagatam);

    dialogs.QueueSaveFile(Path("docs/s.txt"));
    Trigger(d, "mnuFileSave");
    EXPECT_EQ(Bytes(Path("docs/s.txt")), "svAgatam\r\n");
    EXPECT_FALSE(d.Control()->EnglishChanged());

    Trigger(d, "mnuFileClear");
    EXPECT_EQ(d.Control()->TextEnglish(), "");
    dialogs.QueueOpenFile(Path("docs/s.txt"));
    Trigger(d, "mnuFileOpen");
    EXPECT_EQ(d.Control()->TextEnglish(), "svAgatam");
    EXPECT_EQ(Latin1(d.Control()->TextTelugu()), svagatam);
    EXPECT_FALSE(d.Control()->EnglishChanged());

    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/s.tel"));
    Trigger(d, "mnuFileSaveTelugu");
    EXPECT_EQ(Bytes(Path("docs/s.tel")), "The following text must be viewed using Vrayu font\r\n\r\n\r\n" +
                                             Latin1(d.Control()->TextTelugu()) + "\r\n");

    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/s.htm"));
    Trigger(d, "mnuFileSaveHTML");
    const QByteArray html = Bytes(Path("docs/s.htm"));
    EXPECT_EQ(html, Latin1(d.Control()->TextHTML()) + "\r\n");
    EXPECT_TRUE(html.contains(svagatam)) << html.toStdString();
}

TEST_F(RealControl, ToolbarAlignmentReachesTheTeluguPane) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Actions().ToolButton("Center")->trigger();
    EXPECT_EQ(d.Control()->Get(dispid::SelAlignment).toInt(), 2);
    d.Actions().ToolButton("Right")->trigger();
    EXPECT_EQ(d.Control()->Get(dispid::SelAlignment).toInt(), 1);
    d.Actions().ToolButton("Left")->trigger();
    EXPECT_EQ(d.Control()->Get(dispid::SelAlignment).toInt(), 0);

    // A file opened in the window does not take the last document's colour
    // and alignment.
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, static_cast<int>(d.Control()->TextTelugu().size()));
    d.Control()->Put(dispid::SelColor, 0x0000FF);
    d.Actions().ToolButton("Right")->trigger();
    d.Control()->Put(dispid::SelLength, 0);
    ASSERT_TRUE(WriteFileAtomically(Path("docs/o.txt"), "svAgatam\r\n"));
    d.Control()->SetEnglishChanged(false);
    dialogs.QueueOpenFile(Path("docs/o.txt"));
    Trigger(d, "mnuFileOpen");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, static_cast<int>(d.Control()->TextTelugu().size()));
    EXPECT_EQ(d.Control()->Get(dispid::SelColor).toLongLong(), 0);
    EXPECT_EQ(d.Control()->Get(dispid::SelAlignment).toInt(), 0);
}

TEST_F(RealControl, WordProcessorFileHoldsTheSelectionAsRichText) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Control()->SetTextTelugu("abcdef");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, 0);
    Trigger(d, "mnuFormatWordProcessor");
    EXPECT_EQ(d.Control()->Get(dispid::SelLength).toInt(), 6);
    const QByteArray whole = Bytes(Path("bin/temp.rtf"));
    EXPECT_TRUE(whole.startsWith("{\\rtf")) << whole.toStdString();
    EXPECT_TRUE(whole.endsWith("\r\n"));
    EXPECT_TRUE(whole.contains("abcdef")) << whole.toStdString();
    d.Control()->Put(dispid::SelStart, 1);
    d.Control()->Put(dispid::SelLength, 2);
    Trigger(d, "mnuFormatWordProcessor");
    const QByteArray part = Bytes(Path("bin/temp.rtf"));
    EXPECT_TRUE(part.contains("bc")) << part.toStdString();
    EXPECT_FALSE(part.contains("abcdef"));
}

TEST_F(RealControl, PrintsThePaneToPdf) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext missing";
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Control()->SetTextTelugu("Vrayu printing check");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, 0);
    dialogs.QueuePrinter(Path("docs/p.pdf"));
    Trigger(d, "mnuFilePrint");
    QProcess pdftotext;
    pdftotext.start("pdftotext", {Path("docs/p.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains("Vrayu printing check"));
}

}  // namespace
}  // namespace vrayu

namespace vrayu {
namespace {

TEST_F(RealControl, FormattingReachesTheTeluguSelection) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Control()->SetTextTelugu("abcdef");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, 3);
    Trigger(d, "mnuFormatBold");
    EXPECT_TRUE(d.Control()->Get(dispid::SelBold).toBool());
    Trigger(d, "mnuFormatBold");
    EXPECT_FALSE(d.Control()->Get(dispid::SelBold).toBool());
    // Half bold is mixed (Null) and becomes bold.
    d.Control()->Put(dispid::SelLength, 1);
    Trigger(d, "mnuFormatBold");
    d.Control()->Put(dispid::SelLength, 3);
    EXPECT_TRUE(d.Control()->Get(dispid::SelBold).isNull());
    Trigger(d, "mnuFormatBold");
    EXPECT_TRUE(d.Control()->Get(dispid::SelBold).toBool());

    FontChoice chosen;
    chosen.name = "DejaVu Serif";
    chosen.size = 20;
    chosen.italic = true;
    dialogs.QueueFont(chosen);
    Trigger(d, "mnuFormatFont");
    EXPECT_EQ(d.Control()->Get(dispid::SelFontName).toString(), "DejaVu Serif");
    EXPECT_EQ(d.Control()->Get(dispid::SelFontSize).toDouble(), 20);
    EXPECT_TRUE(d.Control()->Get(dispid::SelItalic).toBool());
    EXPECT_FALSE(d.Control()->Get(dispid::SelBold).toBool());

    dialogs.QueueColor(QColor(0x12, 0x34, 0x56));
    Trigger(d, "mnuFormatTextColor");
    EXPECT_EQ(d.Control()->Get(dispid::SelColor).toLongLong(), 0x563412);
    d.Actions().ToolButton("Italic")->trigger();
    EXPECT_FALSE(d.Control()->Get(dispid::SelItalic).toBool());
}

}  // namespace
}  // namespace vrayu

namespace vrayu {
namespace {

// "Copy as Unicode" and "Export As Unicode Text...": what the user typed,
// decoded from the pane's glyph codes, byte for byte.
TEST_F(RealControl, UnicodeCopyAndExportOfSelectionOrWholeText) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    const QString welcome = QString::fromUtf8("స్వాగతం");
    const QByteArray welcomeUtf8(
        "\xE0\xB0\xB8\xE0\xB1\x8D\xE0\xB0\xB5\xE0\xB0\xBE\xE0\xB0\x97\xE0\xB0\xA4\xE0\xB0\x82");
    d.Control()->SetTextEnglish("svAgatam");
    Trigger(d, "mnuConvertNow");

    // Nothing selected: the whole pane.
    d.Control()->Put(dispid::SelStart, 0);
    QGuiApplication::clipboard()->clear();
    Trigger(d, "mnuEditCopyUnicode");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), welcome);
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/u.txt"));
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_EQ(Bytes(Path("docs/u.txt")), welcomeUtf8 + "\r\n");
    const auto& save = dialogs.Questions().back();
    EXPECT_EQ(save.kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(save.filter, "Text Files (*.txt)|*.txt|");
    EXPECT_EQ(dialogs.Questions().end()[-2].title, kExportTitle);
    // Exporting changes neither the document's file nor its changed flag.
    EXPECT_EQ(d.FileName(), "");
    EXPECT_TRUE(d.Control()->EnglishChanged());

    // Two lines; a selection of the second line's glyphs only.
    d.Control()->SetTextEnglish("svAgatam\r\ntelugu");
    Trigger(d, "mnuConvertNow");
    const QString glyphs = d.Control()->TextTelugu();
    const qsizetype second = glyphs.indexOf("\r\n") + 2;
    ASSERT_GT(second, 2);
    Trigger(d, "mnuEditCopyUnicode");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), welcome + "\n" + QString::fromUtf8("తెలుగు"));
    d.Control()->Put(dispid::SelStart, static_cast<int>(second));
    d.Control()->Put(dispid::SelLength, static_cast<int>(glyphs.size() - second));
    Trigger(d, "mnuEditCopyUnicode");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("తెలుగు"));
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/u.txt"));  // replaces the earlier export
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_EQ(Bytes(Path("docs/u.txt")),
              QByteArray("\xE0\xB0\xA4\xE0\xB1\x86\xE0\xB0\xB2\xE0\xB1\x81\xE0\xB0\x97\xE0\xB1\x81\r\n"));
    // The selection is left as it was.
    EXPECT_EQ(d.Control()->Get(dispid::SelStart).toInt(), second);
    EXPECT_EQ(d.Control()->Get(dispid::SelLength).toInt(), glyphs.size() - second);

    d.Control()->Put(dispid::SelLength, 0);
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/both.txt"));
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_EQ(QString::fromUtf8(Bytes(Path("docs/both.txt"))), welcome + "\r\n" + QString::fromUtf8("తెలుగు") + "\r\n");
}

TEST_F(RealControl, UnicodeExportCancelledWritesNothing) {
    DocumentWindow& d = Doc();
    ASSERT_NE(d.Control(), nullptr);
    d.Control()->SetTextEnglish("svAgatam");
    Trigger(d, "mnuConvertNow");
    // No to the export question: no file dialog at all.
    dialogs.QueueMsgBox(kNo);
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_EQ(dialogs.Questions().back().kind, ScriptedDialogs::Kind::MsgBox);
    // Cancelled file dialog: nothing written, an existing file untouched.
    WriteFileAtomically(Path("docs/keep.txt"), "old\r\n");
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(std::nullopt);
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_EQ(dialogs.Questions().back().kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(Bytes(Path("docs/keep.txt")), "old\r\n");
    EXPECT_EQ(QDir(Path("docs")).entryList(QDir::Files), QStringList{"keep.txt"});
    // A folder that cannot be written: no file, no half-written temporary.
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/missing/u.txt"));
    Trigger(d, "mnuFileSaveUnicode");
    EXPECT_FALSE(QFileInfo::exists(Path("docs/missing")));
    EXPECT_EQ(dialogs.PendingCount(), 0);
}

}  // namespace
}  // namespace vrayu
