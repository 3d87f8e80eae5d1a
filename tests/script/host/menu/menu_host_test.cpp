// tarn-menu's window and session on the offscreen platform: items chosen
// from the menu and by hot key run their scripts, and the menu follows
// changes of its file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "global_hotkeys.h"
#include "menu_session.h"
#include "menu_window.h"

namespace tarnmenu {
namespace {

constexpr const char* kMenu =
    "&Tools\n"
    " &Reset\n"
    "\tcount = 0\n"
    " &Count\tCtrl+F1\n"
    "\tcount = count + 1\n"
    " -\n"
    " &Broken\n"
    "\tx = nosuch + 1\n"
    "&Letters\tCtrl+L\n"
    "\tletter = \"L\"\n";
constexpr intptr_t kReset = TARN_MENU_FIRST_ID, kCount = TARN_MENU_FIRST_ID + 1;

class MenuHost : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        // The context's settings files and system actions stay in the test.
        qputenv("TARN_WINDOWS_DIR", dir_.filePath("windows").toLocal8Bit());
        qputenv("VRAYU_REGISTRY_DIR", dir_.filePath("registry").toLocal8Bit());
        qputenv("TARN_SYSTEM_ACTIONS", "refuse");
        path_ = dir_.filePath("test.mnu");
        Write(kMenu);
        session_ = std::make_unique<MenuSession>(path_);
        ASSERT_TRUE(session_->Ready());
        session_->SetQuiet("");
        ASSERT_TRUE(session_->Load());
        window_ = std::make_unique<MenuWindow>(session_.get(), nullptr, false);
        window_->show();
    }
    void Write(const char* text) { std::ofstream(path_.toStdString(), std::ios::binary) << text; }
    QAction* Action(const QString& text) {
        for (QAction* a : session_->Menu()->findChildren<QAction*>())
            if (a->text().section('\t', 0, 0) == text) return a;
        return nullptr;
    }

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<MenuSession> session_;
    std::unique_ptr<MenuWindow> window_;
};

TEST_F(MenuHost, MenuBarAndChosenItemRuns) {
    QStringList bar, tools;
    for (QAction* a : window_->menuBar()->actions()) bar << a->text();
    EXPECT_EQ(bar, (QStringList{"&Tools", "&Letters\tCtrl+L"}));
    for (QAction* a : window_->menuBar()->actions()[0]->menu()->actions()) tools << a->text();
    EXPECT_EQ(tools, (QStringList{"&Reset", "&Count\tCtrl+F1", "", "&Broken"}));
    session_->RunCommand(kCount);  // count is not defined yet: the item stops
    EXPECT_TRUE(window_->Status().startsWith("\"Count\" stopped: 3")) << window_->Status().toStdString();
    Action("&Reset")->trigger();  // queued, as from a menu
    EXPECT_EQ(session_->Variable("count"), "");
    QCoreApplication::processEvents();
    Action("&Count")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(session_->Variable("count"), "1");
    EXPECT_EQ(window_->Status(), "\"Count\" ran to its end.");
    Action("&Broken")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_->Status().startsWith("\"Broken\" stopped:")) << window_->Status().toStdString();
}

TEST_F(MenuHost, HotKeysTypedInTheWindow) {
    session_->RunCommand(kReset);
    QTest::keyClick(window_.get(), Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_F1, Qt::ShiftModifier);  // not a hot key
    QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(session_->Variable("count"), "2");
    EXPECT_EQ(session_->Variable("letter"), "L");
}

TEST_F(MenuHost, FollowsChangesOfTheFile) {
    QTest::qWait(1100);  // the new file gets another time (seconds)
    Write("&New\n\tfresh = 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(Action("&New") != nullptr, 5000);
    EXPECT_EQ(session_->Commands(), 1);
    EXPECT_EQ(window_->menuBar()->actions().size(), 1);
    Action("&New")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(session_->Variable("fresh"), "1");
    // A broken file leaves the menu in use.
    QTest::qWait(1100);
    Write(" bad\n");
    QTest::qWait(600);
    EXPECT_NE(Action("&New"), nullptr);
}

TEST(GlobalHotKeysText, OnlyKeysThatAreNotTypingAreSystemWide) {
    EXPECT_EQ(GlobalHotKeys::Text(0x5070), "Ctrl+F1");
    EXPECT_EQ(GlobalHotKeys::Text(0x8000 | 0x2000 | 0x1000 | 34), "Shift+Alt+PGDN");
    EXPECT_TRUE(GlobalHotKeys::SystemWide(0x1000 + 116));           // F5
    EXPECT_TRUE(GlobalHotKeys::SystemWide(0x4000 + 'L'));           // Ctrl+L
    EXPECT_FALSE(GlobalHotKeys::SystemWide('L'));                   // plain typing
    EXPECT_FALSE(GlobalHotKeys::SystemWide(0x8000 | 0x1000 | 13));  // Shift+Enter
}

}  // namespace
}  // namespace tarnmenu
