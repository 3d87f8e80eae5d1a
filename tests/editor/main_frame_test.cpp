// The main frame: saved place, document counter, menus, placeholders and the
// options box; the document window's formatting commands and toolbar.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSet>
#include <QTabWidget>

#include "action_set.h"
#include "editor_fixture.h"
#include "frame_settings.h"
#include "menu_tables.h"
#include "options_dialog.h"

namespace vrayu {
namespace {

using FrameFlow = EditorFixture;

int Px(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel())); }

TEST_F(FrameFlow, FirstRunPlacesFrameAtDefaultsAndCloseSavesPlace) {
    MainFrame& f = Frame();
    EXPECT_EQ(f.pos(), QPoint(Px(1000), Px(1000)));
    EXPECT_EQ(f.size(), QSize(Px(6500), Px(6500)));
    f.resize(f.width(), Px(6000));
    ASSERT_TRUE(f.close());
    // Edges not moved keep their twips exactly (1000 is no whole pixel count).
    const FrameTwips unmoved = ReadFrameSettings(*settings);
    EXPECT_EQ(unmoved.left, 1000);
    EXPECT_EQ(unmoved.top, 1000);
    EXPECT_EQ(unmoved.width, 6500);
    EXPECT_EQ(unmoved.height, 6000);
    f.show();
    f.move(Px(1500), Px(2250));
    f.resize(Px(7500), Px(6000));
    ASSERT_TRUE(f.close());
    const FrameTwips saved = ReadFrameSettings(*settings);
    EXPECT_EQ(saved.left, 1500);
    EXPECT_EQ(saved.top, 2250);
    EXPECT_EQ(saved.width, 7500);
    EXPECT_EQ(saved.height, 6000);

    // Next run starts there; closing while minimized writes nothing.
    frame.reset();
    MainFrame& again = Frame();
    EXPECT_EQ(again.pos(), QPoint(Px(1500), Px(2250)));
    again.move(0, 0);
    again.showMinimized();
    ASSERT_TRUE(again.close());
    EXPECT_EQ(ReadFrameSettings(*settings).left, 1500);
}

TEST_F(FrameFlow, DocumentNumbersNeverRepeat) {
    MainFrame& f = Frame();
    EXPECT_EQ(Doc().windowTitle(), "New Document 1");
    f.LoadNewDoc();
    for (DocumentWindow* d : f.Documents()) d->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.Documents().isEmpty());
    f.Actions().ToolButton("New")->trigger();
    EXPECT_EQ(f.Documents().size(), 1);
    EXPECT_EQ(f.Documents()[0]->windowTitle(), "New Document 3");
    EXPECT_EQ(f.DocumentCount(), 3);
    Trigger(*f.Documents()[0], "mnuFileNew");
    EXPECT_EQ(f.Documents().back()->windowTitle(), "New Document 4");
}

TEST_F(FrameFlow, MenuBarFollowsTheActiveWindowWithExactCaptions) {
    MainFrame& f = Frame();
    auto titles = [&] {
        QStringList out;
        for (QAction* a : f.menuBar()->actions()) out << a->text();
        return out;
    };
    EXPECT_EQ(titles(), (QStringList{"&File", "&Edit", "&View", "&Convert", "&Format", "&Window", "&Help"}));
    // The frame's toolbar goes with its menus: hidden while a document is active.
    EXPECT_TRUE(f.Actions().ToolBar()->isHidden());
    Doc().parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(titles(), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
    EXPECT_FALSE(f.Actions().ToolBar()->isHidden());
    // File > Open of the frame opens the chosen file in a new document window.
    ASSERT_TRUE(WriteFileAtomically(Path("docs/o.txt"), "svAgatam\r\n"));
    dialogs.QueueOpenFile(Path("docs/o.txt"));
    f.Actions().Action("mnuFileOpen")->trigger();
    ASSERT_EQ(f.Documents().size(), 1);
    EXPECT_EQ(f.Documents()[0]->FileName(), Path("docs/o.txt"));
    EXPECT_EQ(f.Documents()[0]->Control()->TextEnglish(), "svAgatam");
}

// The tables hold together: ids once per window, toolbar buttons run items
// that exist, access keys and shortcuts distinct, every live item bound.
TEST_F(FrameFlow, MenuTablesHoldTogether) {
    MainFrame& f = Frame();
    // The document window's menus have always read so; any other clash is a mistake.
    const QSet<QString> inherited = {"C&lear|Save A&ll", "Export As &Picture|&Print...", "&Bold|&Back Color"};
    auto accessKey = [](const QString& caption) {
        const qsizetype mark = caption.indexOf('&');
        return mark < 0 ? QChar() : caption.at(mark + 1).toLower();
    };
    auto check = [&](std::span<const MenuRow> menus, std::span<const ToolButtonRow> buttons, const char* window) {
        QSet<QString> ids, shortcuts;
        QHash<QString, QHash<QChar, QString>> keys;  // menu -> access key -> caption
        for (const MenuRow& row : menus) {
            if (!row.id) continue;
            EXPECT_FALSE(ids.contains(row.id)) << window << " " << row.id;
            ids.insert(row.id);
            if (row.shortcut) {
                EXPECT_FALSE(QKeySequence(QLatin1String(row.shortcut)).isEmpty()) << row.shortcut;
                EXPECT_FALSE(shortcuts.contains(row.shortcut)) << window << " " << row.shortcut;
                shortcuts.insert(row.shortcut);
            }
            const QChar key = accessKey(row.caption);
            if (key.isNull()) continue;
            const QString other = keys[row.menu].value(key);
            EXPECT_TRUE(other.isEmpty() || inherited.contains(other + "|" + row.caption))
                << window << ": " << row.caption << " and " << other.toStdString();
            keys[row.menu].insert(key, row.caption);
        }
        for (const ToolButtonRow& row : buttons)
            EXPECT_TRUE(!row.target || ids.contains(row.target)) << window << " " << row.key;
    };
    check(FrameMenuTable(), FrameToolbarTable(), "frame");
    check(DocumentMenuTable(), DocumentToolbarTable(), "document");

    EXPECT_EQ(f.Actions().Unbound(), QStringList());
    // Items other parts plug in are off without them; these four do nothing.
    QStringList idle;
    for (const QString& id : Doc().Actions().Unbound())
        if (Doc().Actions().Action(id)->isEnabled()) idle << id;
    EXPECT_EQ(idle, (QStringList{"mnuEditPasteSpecial", "mnuFileSaveAsOld", "mnuViewOptions", "mnuWindowNewWindow"}));
}

// Exit asks every window before closing any: Cancel on a later one keeps all.
TEST_F(FrameFlow, ExitCancelKeepsEveryWindow) {
    MainFrame& f = Frame();
    DocumentWindow& first = Doc();
    DocumentWindow* second = f.LoadNewDoc();
    first.Control()->SetTextEnglish("one");
    second->Control()->SetTextEnglish("two");
    dialogs.QueueMsgBox(kNo);
    dialogs.QueueMsgBox(kCancel);
    Trigger(*second, "mnuFileExit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialogs.Questions().size(), 2u);
    EXPECT_EQ(f.Documents().size(), 2);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(second->Control()->TextEnglish(), "two");
}

// Unsaved work is copied after a few idle seconds and offered back after a
// crash; a saved document leaves no copy behind.
TEST_F(FrameFlow, RecoveryCopiesSurviveACrashAndComeBack) {
    MainFrame& f = Frame();
    DocumentWindow& d = Doc();
    d.Control()->SetTextEnglish("unsaved work");
    d.WriteRecoveryCopy();  // sees the change
    d.WriteRecoveryCopy();  // still the same a moment later: written
    const QDir folder(Path("state/vrayu/recovery"));
    ASSERT_EQ(folder.entryList(QDir::Files).size(), 1);
    DocumentWindow* saved = f.LoadNewDoc();
    saved->Control()->SetTextEnglish("kept");
    saved->WriteRecoveryCopy();
    saved->WriteRecoveryCopy();
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 2);
    dialogs.QueueSaveFile(Path("docs/kept.txt"));
    Trigger(*saved, "mnuFileSave");
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 1);

    // A process that is gone left the copy (a finished child's id stands in).
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForFinished());
    const QString copy = folder.filePath(folder.entryList(QDir::Files)[0]);
    ASSERT_TRUE(QFile::rename(copy, folder.filePath(QString("%1-1.txt").arg(gone.processId()))));
    d.Control()->SetEnglishChanged(false);
    saved->Control()->SetEnglishChanged(false);
    frame.reset();
    dialogs.QueueMsgBox(kYes);
    MainFrame& again = Frame();
    EXPECT_EQ(dialogs.Questions().back().title, kRecoveryTitle);
    ASSERT_EQ(again.Documents().size(), 2);
    DocumentWindow* back = again.Documents()[1];
    EXPECT_EQ(back->Control()->TextEnglish(), "unsaved work");
    EXPECT_TRUE(back->Control()->EnglishChanged());
    EXPECT_TRUE(folder.entryList(QDir::Files).isEmpty());
}

TEST_F(FrameFlow, FramePlaceholdersAndAbout) {
    MainFrame& f = Frame();
    // Every placeholder row is bound to its item and its message names it.
    auto check = [&](ActionSet& actions, std::span<const PlaceholderRow> rows, auto trigger) {
        for (const PlaceholderRow& row : rows) {
            QAction* item = actions.Action(row.id);
            ASSERT_NE(item, nullptr) << row.id;
            trigger(row.id);
            EXPECT_EQ(LastPrompt(), row.message) << row.id;
            QString name = CaptionText(item->text()).remove("...").trimmed();
            if (QString(row.id).startsWith("mnuFileMRU")) name = "MRU";
            EXPECT_EQ(QString(row.message), name + " Code goes here!") << row.id;
        }
    };
    check(f.Actions(), FramePlaceholderTable(), [&](const char* id) { f.Actions().Action(id)->trigger(); });
    f.Actions().ToolButton("Cut")->trigger();
    EXPECT_EQ(LastPrompt(), "Cut Code goes here!");

    Trigger(Doc(), "mnuHelpAbout");
    const auto& about = dialogs.Questions().back();
    EXPECT_EQ(about.title, "Vrayu Editor");
    EXPECT_TRUE(
        about.prompt.startsWith("Version 4.0.2\r\nVrayu is designed to assist in transliterating from "
                                "English to Telugu.\r\nThis software follows RIT standards for "
                                "transliteration.\r\nIt allows you to use Vrayu Fonts to write in Telugu."));
    // Document window placeholders.
    check(Doc().Actions(), DocumentPlaceholderTable(), [&](const char* id) { Trigger(Doc(), id); });
    const size_t asked = dialogs.Questions().size();
    for (const char* id : {"mnuFileSaveAsOld", "mnuEditPasteSpecial", "mnuViewOptions", "mnuWindowNewWindow"})
        Trigger(Doc(), id);
    EXPECT_EQ(dialogs.Questions().size(), asked);  // these do nothing in a document window
}

TEST_F(FrameFlow, ViewTogglesAndAutoConvert) {
    MainFrame& f = Frame();
    DocumentWindow& d = Doc();
    Trigger(d, "mnuViewStatusBar");
    EXPECT_TRUE(f.statusBar()->isHidden());
    EXPECT_FALSE(d.Actions().Action("mnuViewStatusBar")->isChecked());
    Trigger(d, "mnuViewToolbar");
    EXPECT_TRUE(d.Actions().ToolBar()->isHidden());
    Trigger(d, "mnuConvertAuto");
    EXPECT_FALSE(d.Control()->AutoConvert());
    EXPECT_FALSE(d.Actions().Action("mnuConvertAuto")->isChecked());
    Trigger(d, "mnuConvertAuto");
    EXPECT_TRUE(d.Control()->AutoConvert());
}

TEST_F(FrameFlow, ToolbarAlignmentAndFormatToggles) {
    DocumentWindow& d = Doc();
    FakeTel1& t = Tel();
    t.log.clear();
    d.Actions().ToolButton("Center")->trigger();
    d.Actions().ToolButton("Right")->trigger();
    d.Actions().ToolButton("Left")->trigger();
    EXPECT_EQ(t.log, (QStringList{"put SelAlignment=2", "put SelAlignment=1", "put SelAlignment=0"}));

    d.Control()->SetTextTelugu("abcd");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, 2);
    d.Actions().ToolButton("Bold")->trigger();
    EXPECT_EQ(d.Control()->Get(dispid::SelBold), QVariant(true));
    Trigger(d, "mnuFormatBold");
    EXPECT_EQ(d.Control()->Get(dispid::SelBold), QVariant(false));
    // A mixed selection becomes True.
    Trigger(d, "mnuFormatBold");
    d.Control()->Put(dispid::SelStart, 1);
    d.Control()->Put(dispid::SelLength, 3);
    EXPECT_TRUE(d.Control()->Get(dispid::SelBold).isNull());
    Trigger(d, "mnuFormatBold");
    EXPECT_EQ(d.Control()->Get(dispid::SelBold), QVariant(true));
    Trigger(d, "mnuFormatItalic");
    EXPECT_EQ(d.Control()->Get(dispid::SelItalic), QVariant(true));
    d.Actions().ToolButton("Underline")->trigger();
    EXPECT_EQ(d.Control()->Get(dispid::SelUnderline), QVariant(true));
}

TEST_F(FrameFlow, FontDialogPresetsFromSelectionAndAppliesInOrder) {
    DocumentWindow& d = Doc();
    FakeTel1& t = Tel();
    d.Control()->SetTextTelugu("abcd");
    d.Control()->Put(dispid::SelStart, 0);
    d.Control()->Put(dispid::SelLength, 1);
    d.Control()->Put(dispid::SelFontName, "DejaVu Sans");
    d.Control()->Put(dispid::SelFontSize, 20);
    d.Control()->Put(dispid::SelLength, 3);  // now mixed in name and size
    dialogs.QueueFont(std::nullopt);
    t.log.clear();
    Trigger(d, "mnuFormatFont");
    EXPECT_TRUE(t.log.isEmpty());  // cancel changes nothing
    FontChoice chosen;
    chosen.name = "DejaVu Serif";
    chosen.size = 18;
    chosen.bold = true;
    dialogs.QueueFont(chosen);
    Trigger(d, "mnuFormatFont");
    EXPECT_EQ(t.log, (QStringList{"put SelFontName=DejaVu Serif", "put SelFontSize=18", "put SelBold=true",
                                  "put SelItalic=false"}));
    // Colours: OLE colour with red in the low byte; cancel changes nothing.
    dialogs.QueueColor(QColor(0x12, 0x34, 0x56));
    dialogs.QueueColor(QColor(255, 0, 0));
    dialogs.QueueColor(std::nullopt);
    t.log.clear();
    Trigger(d, "mnuFormatTextColor");
    Trigger(d, "mnuFormatBackColor");
    Trigger(d, "mnuFormatBackColor");
    EXPECT_EQ(t.log, (QStringList{"put SelColor=" + QString::number(0x563412), "put TeluguBackColor=255"}));
}

TEST_F(FrameFlow, OptionsBoxCtrlTabWrapsAndButtonsSpeak) {
    OptionsDialog box;
    QTabWidget* tabs = box.Tabs();
    ASSERT_GE(tabs->count(), 2);
    auto press = [&](int key, Qt::KeyboardModifiers mods) {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(&box, &e);
    };
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), tabs->count() - 1);
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(NextTabIndex(0, 4, true), 3);
    EXPECT_EQ(NextTabIndex(3, 4, false), 0);
    for (QPushButton* b : box.findChildren<QPushButton*>()) {
        if (b->text().contains("Apply")) b->click();
    }
    EXPECT_EQ(LastPrompt(), "Apply Code goes here to set options w/o closing dialog!");
    for (QPushButton* b : box.findChildren<QPushButton*>()) {
        if (b->text().contains("OK")) b->click();
    }
    EXPECT_EQ(LastPrompt(), "Code goes here to set options and close dialog!");
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

// The control inside a document window keeps 4400 twips each way (so it
// lays out both panes) however the window is sized: by hand, tiled, cascaded.
TEST_F(FrameFlow, DocumentWindowNeverShrinksBelowTheMinimum) {
    MainFrame& f = Frame();
    f.LoadNewDoc();
    f.LoadNewDoc();
    auto controlsFit = [&](const char* how) {
        for (DocumentWindow* d : f.Documents()) {
            EXPECT_GE(d->Control()->Widget()->width(), Px(4400)) << how;
            EXPECT_GE(d->Control()->Widget()->height(), Px(4400)) << how;
        }
    };
    QMdiSubWindow* sub = f.MdiArea().activeSubWindow();
    sub->resize(50, 50);
    QCoreApplication::processEvents();
    controlsFit("resize");
    Trigger(Doc(), "mnuWindowTileHorizontal");
    QCoreApplication::processEvents();
    controlsFit("tile");
    Trigger(Doc(), "mnuWindowCascade");
    QCoreApplication::processEvents();
    controlsFit("cascade");
    sub->showMaximized();
    sub->showNormal();
    QCoreApplication::processEvents();
    controlsFit("restore");
}

}  // namespace
}  // namespace vrayu

namespace vrayu {
namespace {

TEST_F(FrameFlow, EditItemsSendControlKeysToTheFocusedPane) {
    MainFrame& f = Frame();
    QApplication::setActiveWindow(&f);
    FakeTel1& t = Tel();
    t.Telugu().setPlainText("abc");
    t.Telugu().setFocus();
    t.Telugu().selectAll();
    if (QApplication::focusWidget() != &t.Telugu()) GTEST_SKIP() << "no keyboard focus on this platform";
    Trigger(Doc(), "mnuEditCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "abc");
    Trigger(Doc(), "mnuEditCut");
    EXPECT_EQ(t.Telugu().toPlainText(), "");
    Trigger(Doc(), "mnuEditPaste");
    Trigger(Doc(), "mnuEditPaste");
    EXPECT_EQ(t.Telugu().toPlainText(), "abcabc");
    Trigger(Doc(), "mnuEditUndo");
    EXPECT_EQ(t.Telugu().toPlainText(), "abc");
}

TEST_F(FrameFlow, TilingSharesTheAreaAmongChildren) {
    MainFrame& f = Frame();
    f.resize(1000, 1100);
    f.LoadNewDoc();
    QMdiArea& area = f.MdiArea();
    const QSize view = area.viewport()->size();
    Trigger(Doc(), "mnuWindowTileVertical");
    QList<QMdiSubWindow*> subs = area.subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(subs.size(), 2);
    int widths = 0;
    for (QMdiSubWindow* s : subs) {
        EXPECT_EQ(s->y(), 0);
        EXPECT_EQ(s->height(), view.height());
        widths += s->width();
    }
    EXPECT_EQ(widths, view.width());
    Trigger(Doc(), "mnuWindowTileHorizontal");
    int heights = 0;
    for (QMdiSubWindow* s : subs) {
        EXPECT_EQ(s->x(), 0);
        EXPECT_EQ(s->width(), view.width());
        heights += s->height();
    }
    EXPECT_EQ(heights, view.height());
}

}  // namespace
}  // namespace vrayu

namespace vrayu {
namespace {

TEST_F(FrameFlow, WindowMenuListsDocumentsAndStatusBarMarksAgree) {
    MainFrame& f = Frame();
    DocumentWindow* second = f.LoadNewDoc();
    QMenu* window = second->Actions().Menus()[5];
    ASSERT_EQ(window->title(), "&Window");
    emit window->aboutToShow();
    emit window->aboutToShow();  // the list is rebuilt, not appended twice
    QStringList listed;
    for (QAction* a : window->actions())
        if (a->text().startsWith("&1 ") || a->text().startsWith("&2 ")) listed << a->text();
    EXPECT_EQ(listed, (QStringList{"&1 New Document 1", "&2 New Document 2"}));
    window->actions().back()->trigger();
    EXPECT_EQ(f.ActiveDocument(), second);

    Trigger(*second, "mnuViewStatusBar");
    EXPECT_TRUE(f.statusBar()->isHidden());
    EXPECT_FALSE(f.Actions().Action("mnuViewStatusBar")->isChecked());
    EXPECT_FALSE(f.Documents()[0]->Actions().Action("mnuViewStatusBar")->isChecked());
    EXPECT_FALSE(f.LoadNewDoc()->Actions().Action("mnuViewStatusBar")->isChecked());
}

}  // namespace
}  // namespace vrayu
