// The Qt provider's dialogs driven by key presses and clicks, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "form_dialog.h"
#include "qt_ui.h"

namespace tarn::qtui {
namespace {

// Runs `act` on the modal dialog once it is shown.
void WhenShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        act(d);
    });
}

FormControl Control(ControlKind k, std::string variable, std::string text, int value = 0) {
    FormControl c;
    c.kind = k;
    c.x = 8, c.y = 8, c.width = 60, c.height = 12;
    c.variable = std::move(variable);
    c.text = std::move(text);
    c.value = value;
    return c;
}

Form Sample() {
    Form f;
    f.caption = "Order";
    f.x = 10, f.y = 10, f.width = 200, f.height = 120;
    f.controls = {Control(ControlKind::EditBox, "name", ""), Control(ControlKind::CheckBox, "opt", "Tick", 2),
                  Control(ControlKind::PushButton, "", "&Go", 7), Control(ControlKind::ItemBox, "fruit", "")};
    f.controls[0].edit = "x";
    f.controls[3].items = {"apple", "pear", "fig"};
    return f;
}

TEST(FormDialog, KeysClicksAndItemsChangeTheFormOnlyWhenNotCancelled) {
    {  // typing, a tick, an item, Enter in the edit box: 1
        Form f = Sample();
        FormDialog d(f);
        WhenShown([&d](QWidget*) {
            auto* edit = static_cast<QLineEdit*>(d.ControlWidget(0));
            edit->selectAll();
            QTest::keyClicks(edit, "Ravi");
            QTest::keyClick(d.ControlWidget(1), Qt::Key_Space);
            auto* list = static_cast<QListWidget*>(d.ControlWidget(3));
            list->item(1)->setSelected(true);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        EXPECT_EQ(d.Run(), 1);
        EXPECT_EQ(f.controls[0].edit, "Ravi");
        EXPECT_TRUE(f.controls[1].checked);
        EXPECT_EQ(f.controls[3].selected, std::vector<int>{1});
    }
    {  // Enter with the focus on a push button: its value
        Form f = Sample();
        FormDialog d(f);
        WhenShown([&d](QWidget*) {
            d.ControlWidget(2)->setFocus();
            QTest::keyClick(d.ControlWidget(2), Qt::Key_Return);
        });
        EXPECT_EQ(d.Run(), 7);
    }
    {  // a click on the push button
        Form f = Sample();
        FormDialog d(f);
        WhenShown([&d](QWidget*) { QTest::mouseClick(d.ControlWidget(2), Qt::LeftButton); });
        EXPECT_EQ(d.Run(), 7);
    }
    {  // Escape after typing: 0 and the form as it was
        Form f = Sample();
        FormDialog d(f);
        WhenShown([&d](QWidget* w) {
            QTest::keyClicks(d.ControlWidget(0), "zzz");
            QTest::keyClick(w, Qt::Key_Escape);
        });
        EXPECT_EQ(d.Run(), 0);
        EXPECT_EQ(f.controls[0].edit, "x");
    }
}

TEST(FormDialog, FileListBoxEntersDirectoriesAndSizesInDialogUnits) {
    Form f;
    f.caption = "Files";
    f.x = -1, f.y = -1, f.width = 100, f.height = 80;
    f.controls = {Control(ControlKind::FileListBox, "file", "*.*")};
    std::string where = "top";
    f.list_files = [&where](const std::string&) {
        return where == "top" ? std::vector<std::string>{"[sub]", "a.txt"} : std::vector<std::string>{"[..]", "b.txt"};
    };
    f.enter_directory = [&where](const std::string& e) {
        where = e == "[sub]" ? "sub" : "top";
        return true;
    };
    f.RefreshFiles(0);
    FormDialog d(f);
    WhenShown([&d](QWidget*) {
        auto* list = static_cast<QListWidget*>(d.ControlWidget(0));
        list->setFocus();
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);  // "[sub]": enters it, the dialog stays
        ASSERT_EQ(list->item(1)->text(), "b.txt");
        list->setCurrentRow(1);
        list->item(1)->setSelected(true);
        QTest::keyClick(list, Qt::Key_Return);
    });
    const QSize inside = d.size();
    EXPECT_EQ(d.Run(), 1);
    EXPECT_EQ(where, "sub");
    ASSERT_EQ(f.controls[0].selected, std::vector<int>{1});
    EXPECT_EQ(f.controls[0].items[1], "b.txt");
    // 100 by 80 dialog units of the dialog font: 25 and 10 base units.
    const QFontMetrics m(d.font());
    EXPECT_NEAR(inside.width(), 25 * m.averageCharWidth(), 25 * 2);
    EXPECT_EQ(inside.height(), 10 * m.height());
}

TEST(QtUi, FixedDialogsAnswerFromKeysInTheProgramsApplication) {
    QCoreApplication* before = QApplication::instance();
    std::unique_ptr<Ui> ui = MakeQtUi();
    EXPECT_EQ(QApplication::instance(), before);  // no second application
    WhenShown([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("entry");
        QTest::keyClicks(edit, "secret");
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(ui->AskText("T", "Password", "", true, "&Yes please", "&No"), std::optional<std::string>("secret"));
    WhenShown([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ui->AskLine("T", "Name", "dflt", false), std::nullopt);

    ListRequest r;
    r.title = "Fruit";
    r.items = {"apple", "pear", "fig"};
    r.multiple = true;
    WhenShown([](QWidget* w) {
        auto* list = w->findChild<QListWidget*>("list");
        list->item(0)->setSelected(true);
        list->item(2)->setSelected(true);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(ui->ChooseList(r), (std::optional<std::vector<int>>(std::vector<int>{0, 2})));

    WhenShown([](QWidget* w) {
        const auto buttons = w->findChildren<QPushButton*>();
        for (QPushButton* b : buttons)
            if (b->text() == "&Skip") QTest::mouseClick(b, Qt::LeftButton);
    });
    EXPECT_EQ(ui->ChooseButton("Confirm File Replace", "Replace?", {"O&verwrite", "&Skip", "&Cancel"}), 1);
}

}  // namespace
}  // namespace tarn::qtui

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
