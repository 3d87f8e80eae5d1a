// What the editor hands to other programs: the browser (preview, product
// site, help, update check), the word processor, the printer, and the font
// installation with fontconfig and the registry store.
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "browser_launch.h"
#include "document_files.h"
#include "editor_fixture.h"
#include "font_install.h"
#include "registry_access.h"
#include "update_check.h"

namespace vrayu {
namespace {

using Launches = EditorFixture;

registry::RootFlags Root(bool classes, bool machine) {
    registry::RootFlags f;
    f.classesRoot = classes;
    f.localMachine = machine;
    return f;
}

QString ReadValue(const char* key, const char* name, bool classes, bool machine) {
    return QString::fromStdString(registry::ReadStringValue(key, name, Root(classes, machine)));
}

TEST_F(Launches, BrowserCommandIsSeededAndSplitWithTheAddressWhole) {
    EXPECT_EQ(ReadValue(kBrowserCommandKey, "", true, false), "");
    EXPECT_EQ(BrowserCommand(), "xdg-open");
    EXPECT_EQ(ReadValue(kBrowserCommandKey, "", true, false), "xdg-open");
    registry::WriteStringValue(kBrowserCommandKey, "", "\"/opt/my browser/run\" --new-tab", Root(true, false));
    EXPECT_EQ(BrowserCommand(), "\"/opt/my browser/run\" --new-tab");
    EXPECT_EQ(BrowserLaunchLine(BrowserCommand(), "file:///tmp/a b.htm"),
              (QStringList{"/opt/my browser/run", "--new-tab", "file:///tmp/a b.htm"}));
    EXPECT_TRUE(BrowserLaunchLine("", "x").isEmpty());
}

TEST_F(Launches, PreviewWritesTempHtmAndStartsTheRegisteredCommand) {
    WriteRecorder(Path("bin/browser"), "browser");
    registry::WriteStringValue(kBrowserCommandKey, "", Path("bin/browser").toStdString() + " --flag",
                               Root(true, false));
    DocumentWindow& d = Doc();
    d.Control()->SetTextTelugu(QString::fromLatin1("\xB3\xC2"));
    Trigger(d, "mnuFilePreviewHTML");
    EXPECT_EQ(Bytes(Path("bin/temp.htm")), QByteArray("<HTML>\xB3\xC2</HTML>\r\n"));
    EXPECT_EQ(Calls(), QStringList{"browser [--flag] [file://" + Path("bin/temp.htm") + "]"});
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(Launches, PreviewFallsBackToTheCacheWhenTheProgramDirectoryIsReadOnly) {
    WriteRecorder(Path("bin/browser"), "browser");
    registry::WriteStringValue(kBrowserCommandKey, "", Path("bin/browser").toStdString(), Root(true, false));
    DocumentWindow& d = Doc();
    SetProgramDirectory(Path("no-such-program-dir"));
    Trigger(d, "mnuFilePreviewHTML");
    EXPECT_TRUE(QFileInfo::exists(Path("cache/vrayu/temp.htm")));
    EXPECT_EQ(Calls(), QStringList{"browser [file://" + Path("cache/vrayu/temp.htm") + "]"});
}

TEST_F(Launches, SiteHelpAndUpdateCheckOpenInTheBrowser) {
    WriteRecorder(Path("bin/browser"), "browser");
    registry::WriteStringValue(kBrowserCommandKey, "", Path("bin/browser").toStdString(), Root(true, false));
    DocumentWindow& d = Doc();
    Trigger(d, "mnuViewWebBrowser");
    ASSERT_EQ(Calls(1).size(), 1);
    Trigger(d, "mnuHelpContents");
    ASSERT_EQ(Calls(2).size(), 2);
    Trigger(d, "mnuHelpCheckUpdates");
    ASSERT_EQ(Calls(3).size(), 3);
    Frame().Actions().Action("mnuHelpSearch")->trigger();
    const QStringList calls = Calls(4);
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(calls, (QStringList{
                         "browser [" + ProductSiteAddress() + "]",
                         "browser [file://" + Path("bin/VrayuHelp.htm") + "]",
                         "browser [" + ProductSiteAddress() + "checkupdates.asp?major=4&minor=0&revision=2&exename=" +
                             exe + "&glyfafontmajor=4&glyfafontminor=2]",
                         "browser [file://" + Path("bin/VrayuHelp.htm") + "]",
                     }));
}

TEST_F(Launches, WordProcessorExportWithAndWithoutSelection) {
    DocumentWindow& d = Doc();
    d.Control()->SetTextTelugu("abcdef");
    d.Control()->Put(dispid::SelStart, 3);
    Trigger(d, "mnuFormatWordProcessor");
    EXPECT_EQ(dialogs.Questions().back().prompt,
              "This Action will try to open a word processor on your machine with the selected Telugu Text.\r\n"
              "You should use this only to format the final document.  You still have to save the Document in "
              "Vrayu Editor for future editing.");
    EXPECT_EQ(dialogs.Questions().back().style, kOKOnly);
    // Nothing selected: everything is selected, and stays selected.
    EXPECT_EQ(Bytes(Path("bin/temp.rtf")), "{\\rtf1 sel}[abcdef]\r\n");
    EXPECT_EQ(d.Control()->Get(dispid::SelStart).toInt(), 0);
    EXPECT_EQ(d.Control()->Get(dispid::SelLength).toInt(), 6);
    EXPECT_EQ(Calls(), QStringList{"xdg-open [" + Path("bin/temp.rtf") + "]"});

    d.Control()->Put(dispid::SelStart, 1);
    d.Control()->Put(dispid::SelLength, 2);
    Trigger(d, "mnuFormatWordProcessor");
    EXPECT_EQ(Bytes(Path("bin/temp.rtf")), "{\\rtf1 sel}[bc]\r\n");
    EXPECT_EQ(Calls(2).size(), 2);
}

TEST_F(Launches, PrintToPdfAndNoPrinterMessage) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    DocumentWindow& d = Doc();
    d.Control()->SetTextTelugu("Printed by the Vrayu editor test");
    const QString pdf = Path("docs/out.pdf");
    dialogs.QueuePrinter(pdf);
    d.Actions().ToolButton("Print")->trigger();
    QProcess pdftotext;
    pdftotext.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains("Printed by the Vrayu editor test"));
    EXPECT_EQ(dialogs.Questions().size(), 1u);

    dialogs.QueuePrinter(QString());  // a dialog that leaves no printer
    Trigger(d, "mnuFilePrint");
    EXPECT_EQ(LastPrompt(), "Printer Not Selelcted.");
    dialogs.QueuePrinter(std::nullopt);  // cancel: silent
    const size_t asked = dialogs.Questions().size();
    Trigger(d, "mnuFilePrint");
    EXPECT_EQ(dialogs.Questions().size(), asked + 1);
    EXPECT_EQ(dialogs.Questions().back().kind, ScriptedDialogs::Kind::Printer);
}

// The "Page size:" line of `pdfinfo`, in points: {width, height}.
std::pair<double, double> PdfPageSize(const QString& pdf) {
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {pdf});
    if (!pdfinfo.waitForFinished(30000)) return {};
    for (const QString& line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n')) {
        if (!line.startsWith("Page size:")) continue;
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);  // Page size: W x H pts
        if (words.size() >= 5) return {words[2].toDouble(), words[4].toDouble()};
    }
    return {};
}

TEST_F(Launches, PageSetupIsItsOwnDialogAndItsChoiceStaysForPrinting) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "pdfinfo (poppler-utils) missing";
    DocumentWindow& d = Doc();
    d.Control()->SetTextTelugu("Page setup check");
    const QPageLayout a5Landscape(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(20, 20, 20, 20),
                                  QPageLayout::Millimeter);
    dialogs.QueuePageSetup(a5Landscape);
    Trigger(d, "mnuFilePageSetup");
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    EXPECT_EQ(dialogs.Questions().back().kind, ScriptedDialogs::Kind::PageSetup);

    // Cancelling a later page setup keeps the earlier choice.
    Trigger(d, "mnuFilePageSetup");
    EXPECT_EQ(dialogs.Questions().size(), 2u);  // cancel: no message
    dialogs.QueuePrinter(Path("docs/a5.pdf"));
    Trigger(d, "mnuFilePrint");
    const auto [w, h] = PdfPageSize(Path("docs/a5.pdf"));
    EXPECT_NEAR(w, 595.3, 1.0);  // A5 across: 210 mm
    EXPECT_NEAR(h, 419.5, 1.0);  // 148 mm

    // The choice belongs to the run: another window prints with it, and the
    // frame's own Page Setup item changes it for every window.
    DocumentWindow* other = Frame().LoadNewDoc();
    other->Control()->SetTextTelugu("Second window");
    dialogs.QueuePrinter(Path("docs/other.pdf"));
    Trigger(*other, "mnuFilePrint");
    EXPECT_NEAR(PdfPageSize(Path("docs/other.pdf")).first, 595.3, 1.0);
    dialogs.QueuePageSetup(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    Frame().Actions().Action("mnuFilePageSetup")->trigger();
    dialogs.QueuePrinter(Path("docs/a4.pdf"));
    Trigger(*other, "mnuFilePrint");
    const auto [w4, h4] = PdfPageSize(Path("docs/a4.pdf"));
    EXPECT_NEAR(w4, 595.3, 1.0);
    EXPECT_NEAR(h4, 841.9, 1.0);
    EXPECT_EQ(dialogs.PendingCount(), 0);
}

TEST_F(Launches, PageSetupFailureShowsErrorNumberAndDescription) {
    DocumentWindow& d = Doc();
    dialogs.QueuePageSetupError({28663, "No default printer."});
    Trigger(d, "mnuFilePageSetup");
    ASSERT_EQ(dialogs.Questions().size(), 2u);
    EXPECT_EQ(dialogs.Questions()[0].kind, ScriptedDialogs::Kind::PageSetup);
    EXPECT_EQ(LastPrompt(), "Error 28663: No default printer.");
    dialogs.QueuePageSetupError({-32768, "The dialog could not be shown."});
    Frame().Actions().Action("mnuFilePageSetup")->trigger();
    EXPECT_EQ(LastPrompt(), "Error -32768: The dialog could not be shown.");
}

// fc-cache stand-in that also notes, when it runs, whether the font is
// already linked and whether the registry already holds it.
void WriteFcCacheProbe(EditorFixture& fx, const QString& path, const QString& link, const QString& registryDir) {
    const QString probe = "if [ -e '" + link + "' ]; then printf 'linked ' >> '" + fx.Path("calls.log") +
                          "'; fi\nif grep -rqs 'Vrayu (TrueType)' '" + registryDir + "'; then printf 'recorded ' >> '" +
                          fx.Path("calls.log") + "'; fi\n";
    fx.WriteRecorder(path, "fc-cache", probe);
}

TEST_F(Launches, FontInstallRegistersNotifiesThenRecords) {
    const QString font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!QFileInfo::exists(font)) GTEST_SKIP() << "fonts-dejavu-core missing";
    ASSERT_TRUE(QFile::copy(font, Path("bin/glyfa.ttf")));
    WriteFcCacheProbe(*this, Path("fakebin/fc-cache"), Path("data/fonts/glyfa.ttf"), Path("registry"));

    // The preferred key is absent: the value goes to the second key.
    InstallMyFont();
    EXPECT_EQ(Calls(), QStringList{"linked fc-cache [" + Path("data/fonts") + "]"});
    EXPECT_EQ(QFileInfo(Path("data/fonts/glyfa.ttf")).symLinkTarget(), Path("bin/glyfa.ttf"));
    EXPECT_EQ(ReadValue(kFallbackFontsKey, "Vrayu (TrueType)", false, true), Path("bin/glyfa.ttf"));
    EXPECT_FALSE(registry::KeyExists(kPreferredFontsKey, Root(false, true)));

    // With the preferred key present the value goes there; a second install
    // replaces the old link.
    registry::WriteStringValue(kPreferredFontsKey, "Other (TrueType)", "x", Root(false, true));
    InstallMyFont();
    EXPECT_EQ(Calls(2).value(1), "linked recorded fc-cache [" + Path("data/fonts") + "]");
    EXPECT_EQ(ReadValue(kPreferredFontsKey, "Vrayu (TrueType)", false, true), Path("bin/glyfa.ttf"));
}

TEST_F(Launches, MissingFontFileIsSilentAndStillRecorded) {
    InstallMyFont();
    EXPECT_FALSE(QFileInfo::exists(Path("data/fonts/glyfa.ttf")));
    EXPECT_EQ(ReadValue(kFallbackFontsKey, "Vrayu (TrueType)", false, true), Path("bin/glyfa.ttf"));
    EXPECT_TRUE(dialogs.Questions().empty());
}

}  // namespace
}  // namespace vrayu
