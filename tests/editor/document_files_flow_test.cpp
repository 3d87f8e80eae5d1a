// Save, Save As, Open, Clear, the save question and the exports, driven
// through the document window's menu actions with scripted answers.
#include <QFileInfo>

#include "document_files.h"
#include "editor_fixture.h"

namespace vrayu {
namespace {

using FileFlow = EditorFixture;

TEST_F(FileFlow, StartShowsWelcomeThenInstructionsUnchanged) {
    FakeTel1& t = Tel();
    EXPECT_EQ(t.Get(dispid::TextEnglish).toString(), kInstructionText);
    EXPECT_FALSE(t.EnglishChanged());
    EXPECT_TRUE(t.AutoConvert());
    EXPECT_EQ(Doc().PictureQuality(), 95);
    EXPECT_TRUE(Doc().FileName().isEmpty());
    // The welcome is converted before the instructions replace it.
    const QStringList expected = {"put TextEnglish=" + WelcomeText(CurrentVersion()),
                                  "ConvertNow",
                                  "put Auto_Convert=false",
                                  QString("put TextEnglish=") + kInstructionText,
                                  "put Auto_Convert=true",
                                  "put ib_English_changed=false"};
    EXPECT_EQ(t.log, expected);
    EXPECT_FALSE(t.Telugu().toPlainText().isEmpty());
}

TEST_F(FileFlow, SaveAsksOnceThenWritesSilentlyByName) {
    DocumentWindow& d = Doc();
    const QString path = Path("docs/a.txt");
    d.Control()->SetTextEnglish("svAgatam");
    dialogs.QueueSaveFile(path);
    Trigger(d, "mnuFileSave");
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    EXPECT_EQ(dialogs.Questions()[0].title, "Save in English");
    EXPECT_EQ(dialogs.Questions()[0].filter, "Text Files (*.txt)|*.txt|");
    EXPECT_EQ(Bytes(path), "svAgatam\r\n");
    EXPECT_EQ(d.windowTitle(), "Vrayu Editor - " + path);
    EXPECT_EQ(d.FileName(), path);
    EXPECT_FALSE(d.Control()->EnglishChanged());

    d.Control()->SetTextEnglish("rendu");
    d.Actions().ToolButton("Save")->trigger();
    EXPECT_EQ(dialogs.Questions().size(), 1u);  // no dialog for a named window
    EXPECT_EQ(Bytes(path), "rendu\r\n");
}

TEST_F(FileFlow, SaveOverAnExistingFileAsksAndNoKeepsItAndForgetsTheName) {
    DocumentWindow& d = Doc();
    const QString path = Path("docs/old.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "old\r\n"));
    d.Control()->SetTextEnglish("new");
    dialogs.QueueSaveFile(path);
    dialogs.QueueMsgBox(kNo);
    Trigger(d, "mnuFileSave");
    ASSERT_EQ(dialogs.Questions().size(), 2u);
    EXPECT_EQ(dialogs.Questions()[1].prompt, "File " + path + " Already Exists.\r\nDo you want to overwrite it?");
    EXPECT_EQ(dialogs.Questions()[1].title, "File Exists");
    EXPECT_EQ(dialogs.Questions()[1].style, kYesNo);
    EXPECT_EQ(Bytes(path), "old\r\n");
    EXPECT_TRUE(d.FileName().isEmpty());
    EXPECT_TRUE(d.Control()->EnglishChanged());

    dialogs.QueueSaveFile(path);
    dialogs.QueueMsgBox(kYes);
    Trigger(d, "mnuFileSave");
    EXPECT_EQ(Bytes(path), "new\r\n");
}

TEST_F(FileFlow, SaveAsAlwaysAsksForANameAndNeverAboutOverwriting) {
    DocumentWindow& d = Doc();
    const QString path = Path("docs/b.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "old\r\n"));
    d.Control()->SetTextEnglish("x");
    dialogs.QueueSaveFile(path);
    Trigger(d, "mnuFileSaveAs");
    dialogs.QueueSaveFile(path);
    Trigger(d, "mnuFileSaveAs");
    EXPECT_EQ(dialogs.Questions().size(), 2u);
    for (const auto& q : dialogs.Questions()) EXPECT_EQ(q.kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(Bytes(path), "x\r\n");

    // Cancel, and a place that cannot be written: nothing changes.
    dialogs.QueueSaveFile(std::nullopt);
    Trigger(d, "mnuFileSaveAs");
    d.Control()->SetTextEnglish("y");
    dialogs.QueueSaveFile(Path("docs/no/such/dir.txt"));
    Trigger(d, "mnuFileSaveAs");
    EXPECT_EQ(d.windowTitle(), "Vrayu Editor - " + path);
    EXPECT_EQ(d.FileName(), path);
    EXPECT_TRUE(d.Control()->EnglishChanged());
    EXPECT_EQ(Bytes(path), "x\r\n");
}

TEST_F(FileFlow, OpenThenSaveGivesTheSameBytesForEveryLineEndAndEncoding) {
    DocumentWindow& d = Doc();
    const QString path = Path("docs/t.txt");
    const struct {
        QByteArray file;
        QString english;
    } cases[] = {
        {"svAgatam\r\nline two\r\n", "svAgatam\r\nline two"},
        {"one\ntwo\n\nthree\n", "one\r\ntwo\r\n\r\nthree"},  // Linux line ends are line ends
        {"old\rmac\r", "old\r\nmac"},
        {"no end", "no end"},
        {"", ""},
        {"latin \xE9\r\n", QString::fromLatin1("latin \xE9")},
        {"utf-8 \xC3\xA9 \xE2\x82\xAC\n", QString::fromUtf8("utf-8 \xC3\xA9 \xE2\x82\xAC")},  // not mojibake
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(path, c.file));
        dialogs.QueueOpenFile(path);
        Tel().log.clear();
        Trigger(d, "mnuFileOpen");
        EXPECT_EQ(d.Control()->TextEnglish(), c.english) << c.file.toStdString();
        EXPECT_FALSE(d.Control()->EnglishChanged());
        EXPECT_EQ(Tel().log.back(), "ConvertNow");
        Trigger(d, "mnuFileSave");
        EXPECT_EQ(Bytes(path), c.file) << "saved back differently";
    }
    EXPECT_EQ(dialogs.Questions().at(0).title, "Open");
    EXPECT_EQ(dialogs.Questions().at(0).filter, "All Files (*.*)|*.*|");
    EXPECT_EQ(d.windowTitle(), "Vrayu Editor - " + path);
    // Unicode Telugu in a UTF-8 file comes in romanized; it converts back.
    ASSERT_TRUE(WriteFileAtomically(path, QString("స్వాగతం “తెలుగు”\n").toUtf8()));
    dialogs.QueueOpenFile(path);
    Trigger(d, "mnuFileOpen");
    EXPECT_EQ(d.Control()->TextEnglish(), "svAgataM \"telugu\"");
    dialogs.QueueOpenFile(Path("docs/missing.txt"));
    Trigger(d, "mnuFileOpen");
    EXPECT_EQ(d.FileName(), path);  // an unreadable file changes nothing
}

// Text that 8-bit files cannot hold is never dropped without a question:
// Cancel keeps the document unsaved, No writes "?", Yes keeps it as UTF-8.
TEST_F(FileFlow, ALossySaveAsksFirst) {
    DocumentWindow& d = Doc();
    const QString path = Path("docs/l.txt");
    d.Control()->SetTextEnglish(QString::fromUtf8("price \xE2\x82\xAC 5 \xE2\x82\xAC \xE0\xA4\x95 \xC3\xA9"));
    dialogs.QueueSaveFile(path);
    dialogs.QueueMsgBox(kCancel);
    Trigger(d, "mnuFileSave");
    EXPECT_EQ(dialogs.Questions().back().title, kUnsavableTitle);
    EXPECT_TRUE(
        LastPrompt().startsWith(QString::fromUtf8("3 character(s) of this text cannot be saved as 8-bit "
                                                  "text: \xE2\x82\xAC \xE0\xA4\x95\r\n")))
        << LastPrompt().toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(d.Control()->EnglishChanged());
    dialogs.QueueSaveFile(path);
    dialogs.QueueMsgBox(kNo);
    Trigger(d, "mnuFileSave");
    EXPECT_EQ(Bytes(path), QByteArray("price ? 5 ? ? \xE9\r\n"));
    dialogs.QueueMsgBox(kYes);
    Trigger(d, "mnuFileSave");
    EXPECT_EQ(Bytes(path), QString::fromUtf8("price \xE2\x82\xAC 5 \xE2\x82\xAC \xE0\xA4\x95 \xC3\xA9\r\n").toUtf8());
    EXPECT_FALSE(d.Control()->EnglishChanged());
}

TEST_F(FileFlow, SaveDialogsAddTheExtension) {
    DocumentWindow& d = Doc();
    d.Control()->SetTextEnglish("ka");
    dialogs.QueueSaveFile(Path("docs/plain"));
    Trigger(d, "mnuFileSaveAs");
    EXPECT_EQ(d.FileName(), Path("docs/plain.txt"));
    dialogs.QueueSaveFile(Path("docs/named.text"));
    Trigger(d, "mnuFileSaveAs");
    EXPECT_EQ(d.FileName(), Path("docs/named.text"));  // an extension of its own stays
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/page"));
    Trigger(d, "mnuFileSaveHTML");
    EXPECT_TRUE(QFileInfo::exists(Path("docs/page.htm")));
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/glyphs"));
    Trigger(d, "mnuFileSaveTelugu");
    EXPECT_TRUE(QFileInfo::exists(Path("docs/glyphs.tel")));
}

TEST_F(FileFlow, SaveQuestionYesNoCancel) {
    DocumentWindow& d = Doc();
    d.Control()->SetTextEnglish("typed");
    // Cancel: Clear is abandoned.
    dialogs.QueueMsgBox(kCancel);
    Trigger(d, "mnuFileClear");
    EXPECT_EQ(dialogs.Questions().back().prompt, "Would You Like to Save Text in English?");
    EXPECT_EQ(dialogs.Questions().back().title, "Save Text");
    EXPECT_EQ(dialogs.Questions().back().style, kYesNoCancel | kQuestion);
    EXPECT_EQ(d.Control()->TextEnglish(), "typed");
    // Yes, then cancel the file dialog: still abandoned.
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(std::nullopt);
    Trigger(d, "mnuFileClear");
    EXPECT_EQ(d.Control()->TextEnglish(), "typed");
    // Yes with a name: saved, then cleared.
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/q.txt"));
    Trigger(d, "mnuFileClear");
    EXPECT_EQ(Bytes(Path("docs/q.txt")), "typed\r\n");
    EXPECT_EQ(d.Control()->TextEnglish(), "");
    EXPECT_EQ(d.windowTitle(), "Vrayu Editor - Untitled");
    EXPECT_TRUE(d.FileName().isEmpty());
    // Unchanged: clears without asking.
    const size_t asked = dialogs.Questions().size();
    Trigger(d, "mnuFileClear");
    EXPECT_EQ(dialogs.Questions().size(), asked);
    // No discards the change flag, so closing does not ask again.
    d.Control()->SetTextEnglish("more");
    dialogs.QueueMsgBox(kNo);
    Trigger(d, "mnuFileClear");
    EXPECT_FALSE(d.Control()->EnglishChanged());
    EXPECT_EQ(dialogs.PendingCount(), 0);
}

TEST_F(FileFlow, ClosingAsksAndCancelKeepsWindowAndFrame) {
    MainFrame& f = Frame();
    Doc().Control()->SetTextEnglish("unsaved");
    dialogs.QueueMsgBox(kCancel);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(f.Documents().size(), 1);
    EXPECT_FALSE(settings->contains("Settings/MainLeft"));
    dialogs.QueueMsgBox(kCancel);
    Trigger(Doc(), "mnuFileClose");
    EXPECT_EQ(f.Documents().size(), 1);
    dialogs.QueueMsgBox(kNo);
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(settings->contains("Settings/MainLeft"));
}

TEST_F(FileFlow, ExportsAreByteExactAndLeaveTheDocumentAlone) {
    DocumentWindow& d = Doc();
    d.Control()->SetTextTelugu(QString::fromLatin1("\xB3\xC2\xED\x8F\xC1\x9C"));
    d.Control()->SetEnglishChanged(true);
    // No to the export question: nothing asked further.
    dialogs.QueueMsgBox(kNo);
    Trigger(d, "mnuFileSaveTelugu");
    EXPECT_EQ(dialogs.Questions().back().title, "You are Exporting Text.");
    EXPECT_EQ(dialogs.Questions().back().prompt,
              "Note: This is only an export feature. If you want to work on this file at later time for more "
              "editing you should use menu cammand File|Save instead.\r\nDo you want to continue?");
    EXPECT_EQ(dialogs.Questions().back().style, kYesNo);
    EXPECT_EQ(dialogs.Questions().size(), 1u);

    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/x.tel"));
    Trigger(d, "mnuFileSaveTelugu");
    EXPECT_EQ(dialogs.Questions().back().title, "Save in Telugu");
    EXPECT_EQ(dialogs.Questions().back().filter, "Telugu Files (*.tel)|*.tel|");
    EXPECT_EQ(Bytes(Path("docs/x.tel")),
              QByteArray("The following text must be viewed using Vrayu font\r\n\r\n\r\n\xB3\xC2\xED\x8F\xC1\x9C\r\n"));

    Tel().log.clear();
    dialogs.QueueMsgBox(kYes);
    dialogs.QueueSaveFile(Path("docs/x.htm"));
    Trigger(d, "mnuFileSaveHTML");
    EXPECT_EQ(Tel().log.value(0), "Convert2HTML");  // built before the question
    EXPECT_EQ(dialogs.Questions().back().title, "Save As HTML");
    EXPECT_EQ(dialogs.Questions().back().filter, "Text Files (*.htm)|*.htm|");
    EXPECT_EQ(Bytes(Path("docs/x.htm")), QByteArray("<HTML>\xB3\xC2\xED\x8F\xC1\x9C</HTML>\r\n"));

    EXPECT_TRUE(d.FileName().isEmpty());
    EXPECT_TRUE(d.Control()->EnglishChanged());
    EXPECT_TRUE(d.windowTitle().startsWith("New Document"));
}

}  // namespace
}  // namespace vrayu
