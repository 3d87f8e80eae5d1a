#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs.h"
#include "qt_dialogs.h"
#include "scripted_dialogs.h"

using namespace vrayu;

namespace {

TEST(QtFilterFromWindows, Table) {
    const struct {
        const char* windows;
        const char* qt;
    } cases[] = {
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "Text Files (*.txt);;All Files (*.*)"},
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", "Text Files (*.txt);;All Files (*.*)"},
        {"Pictures|*.jpg;*.jpeg", "Pictures (*.jpg *.jpeg)"},
        {"Pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg", "Pictures (*.jpg *.jpeg)"},
        {"Telugu (*.tel)|*.tel", "Telugu (*.tel)"},
        {"", ""},
        {"|*.bmp", "*.bmp"},
        {"Odd", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(QtFilterFromWindows(c.windows), QString(c.qt)) << c.windows;
}

TEST(ScriptedDialogs, AnswersInOrderAndRecordsQuestions) {
    ScriptedDialogs d;
    d.QueueMsgBox(kYes);
    d.QueueMsgBox(kNo);
    d.QueueInput("7");
    d.QueueSaveFile(QStringLiteral("/tmp/out.txt"));
    d.QueueOpenFile(std::nullopt);
    d.QueueColor(QColor(Qt::red));
    FontChoice font;
    font.name = "Vrayu";
    font.size = 20;
    d.QueueFont(font);
    EXPECT_EQ(d.PendingCount(), 7);

    EXPECT_EQ(d.MsgBox(nullptr, "First?", kYesNo + kQuestion, "T1"), kYes);
    EXPECT_EQ(d.MsgBox(nullptr, "Second?", kYesNo, "T2"), kNo);
    EXPECT_EQ(d.InputBox(nullptr, "Prompt", "Title", "def"), "7");
    EXPECT_EQ(d.SaveFile(nullptr, "Save", "Text|*.txt", 1, "/tmp"), QString("/tmp/out.txt"));
    EXPECT_FALSE(d.OpenFile(nullptr, "Open", "Text|*.txt", 2, ""));
    EXPECT_EQ(d.ChooseColor(nullptr, Qt::black), QColor(Qt::red));
    EXPECT_EQ(d.ChooseFont(nullptr, {})->size, 20);
    EXPECT_EQ(d.PendingCount(), 0);
    EXPECT_EQ(d.UnansweredCount(), 0);

    const auto& q = d.Questions();
    ASSERT_EQ(q.size(), 7u);
    EXPECT_EQ(q[0].prompt, "First?");
    EXPECT_EQ(q[0].style, kYesNo + kQuestion);
    EXPECT_EQ(q[1].title, "T2");
    EXPECT_EQ(q[2].defaultText, "def");
    EXPECT_EQ(q[3].filter, "Text|*.txt");
    EXPECT_EQ(q[4].filterIndex, 2);
    EXPECT_EQ(q[4].kind, ScriptedDialogs::Kind::OpenFile);
}

TEST(ScriptedDialogs, UnansweredQuestionsGetTheCancellingAnswer) {
    ScriptedDialogs d;
    EXPECT_EQ(d.MsgBox(nullptr, "", kOKOnly, ""), kOK);
    EXPECT_EQ(d.MsgBox(nullptr, "", kYesNo, ""), kNo);
    EXPECT_EQ(d.MsgBox(nullptr, "", kYesNoCancel + kExclamation, ""), kCancel);
    EXPECT_EQ(d.MsgBox(nullptr, "", kAbortRetryIgnore, ""), kAbort);
    EXPECT_EQ(d.InputBox(nullptr, "", "", "x"), "");
    EXPECT_FALSE(d.ChooseColor(nullptr, Qt::black));
    QPrinter printer;
    EXPECT_FALSE(d.ChoosePrinter(nullptr, printer));
    EXPECT_EQ(d.UnansweredCount(), 7);
    d.Clear();
    EXPECT_TRUE(d.Questions().empty());
}

TEST(ScriptedDialogs, PrinterAnswerPrintsToPdf) {
    ScriptedDialogs d;
    d.QueuePrinter(QStringLiteral("/tmp/x.pdf"));
    QPrinter printer;
    ASSERT_TRUE(d.ChoosePrinter(nullptr, printer));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), "/tmp/x.pdf");
}

TEST(CurrentDialogs, InstalledDialogsAreUsedUntilRemoved) {
    ScriptedDialogs d;
    SetDialogs(&d);
    EXPECT_EQ(&CurrentDialogs(), &d);
    SetDialogs(nullptr);
    EXPECT_NE(dynamic_cast<QtDialogs*>(&CurrentDialogs()), nullptr);
}

// Clicks `button` on the message box that opens next.
void ClickLater(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(button)->click();
    });
}

TEST(QtDialogs, MessageBoxButtonsMapToClassicAnswers) {
    QtDialogs d;
    ClickLater(QMessageBox::No);
    EXPECT_EQ(d.MsgBox(nullptr, "Do you want to change text color also?", kYesNo, "t"), kNo);
    ClickLater(QMessageBox::Yes);
    EXPECT_EQ(d.MsgBox(nullptr, "q", kYesNoCancel + kQuestion, "t"), kYes);
    ClickLater(QMessageBox::Retry);
    EXPECT_EQ(d.MsgBox(nullptr, "q", kRetryCancel, "t"), kRetry);
    ClickLater(QMessageBox::Ok);
    EXPECT_EQ(d.MsgBox(nullptr, "line1\r\nline2", kOKOnly, "t"), kOK);
}

TEST(QtDialogs, InputBoxReturnsTextOrEmptyOnCancel) {
    QtDialogs d;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->setTextValue("12");
        dlg->accept();
    });
    EXPECT_EQ(d.InputBox(nullptr, "p", "Text Color", ""), "12");
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(d.InputBox(nullptr, "p", "Text Color", "9"), "");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
