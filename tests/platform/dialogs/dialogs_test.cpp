#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
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
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "Text Files (*.txt);;All Files (*)"},
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", "Text Files (*.txt);;All Files (*)"},
        {"All Files (*.*)|*.*|", "All Files (*)"},
        {"Mixed|*.tel;*.*", "Mixed (*.tel *)"},
        {"Dotted|*.*.bak", "Dotted (*.*.bak)"},
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

TEST(ScriptedDialogs, PageSetupAppliesTheLayoutOnlyWhenAccepted) {
    ScriptedDialogs d;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QPageLayout portrait = printer.pageLayout();
    const QPageLayout landscape(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(5, 6, 7, 8),
                                QPageLayout::Millimeter);
    d.QueuePageSetup(std::nullopt);
    d.QueuePageSetupError({28663, "No default printer."});
    d.QueuePageSetup(landscape);
    EXPECT_EQ(d.PendingCount(), 3);

    const DialogStatus cancelled = d.PageSetup(nullptr, printer);
    EXPECT_TRUE(cancelled.Cancelled());
    EXPECT_FALSE(cancelled.Accepted());
    EXPECT_EQ(cancelled.error, 32755);
    EXPECT_EQ(cancelled.description, "Cancel was selected.");
    EXPECT_TRUE(printer.pageLayout().isEquivalentTo(portrait));
    const DialogStatus failed = d.PageSetup(nullptr, printer);
    EXPECT_FALSE(failed.Accepted() || failed.Cancelled());
    EXPECT_EQ(failed.error, 28663);
    EXPECT_TRUE(printer.pageLayout().isEquivalentTo(portrait));
    EXPECT_TRUE(d.PageSetup(nullptr, printer).Accepted());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    // Nothing queued: cancelled, recorded as unanswered.
    EXPECT_TRUE(d.PageSetup(nullptr, printer).Cancelled());
    ASSERT_EQ(d.Questions().size(), 4u);
    EXPECT_EQ(d.Questions()[0].kind, ScriptedDialogs::Kind::PageSetup);
    EXPECT_EQ(d.UnansweredCount(), 1);
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

// Runs `act` on the file dialog that opens next. A message box opening on
// top of it (an overwrite question) is noted in `asked` and answered Yes.
void OnFileDialog(std::function<void(QFileDialog&)> act, bool* asked) {
    QTimer::singleShot(0, [act, asked] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // Tied to the dialog: the check ends with it.
        QTimer::singleShot(100, dialog, [asked] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *asked = true;
                box->button(QMessageBox::Yes)->click();
            }
        });
        act(*dialog);
    });
}

TEST(QtDialogs, SaveFileNeverAsksAboutAnExistingFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.txt");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QtDialogs d;
    bool asked = false;
    QStringList filters;
    QString selectedFilter;
    OnFileDialog(
        [&](QFileDialog& dialog) {
            EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog.windowTitle(), "Save in English");
            filters = dialog.nameFilters();
            selectedFilter = dialog.selectedNameFilter();
            dialog.selectFile(existing);
            static_cast<QDialog&>(dialog).accept();  // public in QDialog, protected in QFileDialog
        },
        &asked);
    EXPECT_EQ(d.SaveFile(nullptr, "Save in English", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", 2, dir.path()),
              existing);
    EXPECT_FALSE(asked);
    EXPECT_EQ(filters, (QStringList{"Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(selectedFilter, "All Files (*)");

    OnFileDialog([](QFileDialog& dialog) { dialog.reject(); }, &asked);
    EXPECT_EQ(d.SaveFile(nullptr, "Save", "Text Files (*.txt)|*.txt|", 1, dir.path()), std::nullopt);
}

TEST(QtDialogs, OpenFileShowsFilesWithoutADotUnderAllFiles) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("README");
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QtDialogs d;
    bool asked = false;
    bool matches = false;
    OnFileDialog(
        [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
            matches = QDir::match(dialog.nameFilters().value(0).section('(', 1).chopped(1), "README");
            dialog.selectFile(plain);
            static_cast<QDialog&>(dialog).accept();  // public in QDialog, protected in QFileDialog
        },
        &asked);
    EXPECT_EQ(d.OpenFile(nullptr, "Open", "All Files (*.*)|*.*|", 1, dir.path()), plain);
    EXPECT_TRUE(matches);
    EXPECT_FALSE(asked);
}

TEST(QtDialogs, PageSetupAcceptedOrCancelled) {
    QtDialogs d;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::temp().filePath("vrayu-page-setup.pdf"));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    EXPECT_TRUE(d.PageSetup(nullptr, printer).Cancelled());
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->accept();
    });
    EXPECT_TRUE(d.PageSetup(nullptr, printer).Accepted());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

// A Telugu font offers only "Regular": the preset's bold and italic survive
// the dialog; a family with real faces takes the dialog's choice.
TEST(FontDialogStyles, KeptWhenTheFamilyCannotShowThem) {
    FontChoice preset;
    preset.bold = true;
    preset.italic = true;
    FontChoice chosen;
    chosen.name = "Vrayu";
    const FontChoice kept = KeepStylesTheFamilyLacks(preset, chosen, {"Regular"});
    EXPECT_TRUE(kept.bold);
    EXPECT_TRUE(kept.italic);
    EXPECT_EQ(kept.name, "Vrayu");
    const FontChoice taken = KeepStylesTheFamilyLacks(preset, chosen, {"Regular", "Bold", "Oblique"});
    EXPECT_FALSE(taken.bold);
    EXPECT_FALSE(taken.italic);
}

}  // namespace
