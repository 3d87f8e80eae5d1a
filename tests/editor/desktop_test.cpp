// The editor with the real control on a real X server under a window manager
// (run by desktop_test.sh): the clipboard of a fresh display, and the layout a
// person sees after the first start, Tile, Cascade and un-maximising.
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextEdit>

#include "editor_fixture.h"

namespace vrayu {
namespace {

class Desktop : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display (desktop_test.sh)";
        SetTel1Factory({});
        const QString built = QCoreApplication::applicationDirPath();
        for (const char* name : {"libVrayu.so", "frmEditor.tel1.state", "glyfa.ttf"})
            QFile::copy(built + "/" + name, Path(QString("bin/") + name));
        ASSERT_TRUE(QFileInfo::exists(Path("bin/libVrayu.so")));
    }
    MainFrame& Shown() {
        MainFrame& f = Frame();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        QTest::qWait(200);
        return f;
    }
    QTextEdit* Pane(DocumentWindow& d, const char* name) { return d.findChild<QTextEdit*>(name); }

    // Both panes of `d` shown at a useful size; `inside`: within the visible area.
    void ExpectBothPanes(DocumentWindow& d, const char* when, bool inside) {
        QCoreApplication::processEvents();
        const QWidget* viewport = Frame().MdiArea().viewport();
        for (const char* name : {"txtEnglish", "txtTelugu"}) {
            QTextEdit* pane = Pane(d, name);
            ASSERT_NE(pane, nullptr);
            EXPECT_TRUE(pane->isVisible()) << when << " " << name;
            EXPECT_GE(pane->height(), 60) << when << " " << name;
            EXPECT_GE(pane->width(), 150) << when << " " << name;
            if (inside) {
                const QRect r(pane->mapTo(viewport, QPoint(0, 0)), pane->size());
                EXPECT_TRUE(viewport->rect().contains(r))
                    << when << " " << name << ": " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height()
                    << " in " << viewport->width() << "x" << viewport->height();
            }
        }
    }
};

TEST_F(Desktop, PasteWithNothingOnTheClipboardDoesNothing) {
    DocumentWindow& d = Doc();
    Shown();
    QTextEdit* english = Pane(d, "txtEnglish");
    ASSERT_NE(english, nullptr);
    english->setFocus();
    const QString before = d.Control()->TextEnglish();
    english->paste();  // the toolkit's own paste path
    QTest::keyClick(english, Qt::Key_V, Qt::ControlModifier);
    Trigger(d, "mnuEditPaste");
    QCoreApplication::processEvents();
    EXPECT_EQ(d.Control()->TextEnglish(), before);
}

TEST_F(Desktop, BothPanesStayVisibleAfterStartTileCascadeAndRestore) {
    MainFrame& f = Shown();
    ExpectBothPanes(Doc(), "first start", true);
    DocumentWindow* second = f.LoadNewDoc();
    QTest::qWait(100);
    ExpectBothPanes(*second, "new window", true);
    for (const char* id : {"mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowCascade"}) {
        Trigger(Doc(), id);
        QTest::qWait(100);
        for (DocumentWindow* d : f.Documents()) ExpectBothPanes(*d, id, false);
    }
    QMdiSubWindow* sub = f.MdiArea().activeSubWindow();
    sub->showMaximized();
    QTest::qWait(100);
    sub->showNormal();
    QTest::qWait(100);
    ExpectBothPanes(*qobject_cast<DocumentWindow*>(sub->widget()), "restore", false);
}

}  // namespace
}  // namespace vrayu
