// Dialogs for tests: the answers are queued in advance, one queue per kind of
// question, and every question asked is recorded. A question with no queued
// answer is recorded as unanswered and gets the cancelling answer.
#pragma once

#include <QPageLayout>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "dialogs.h"

namespace vrayu {

class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { MsgBox, InputBox, OpenFile, SaveFile, Font, Color, Printer, PageSetup };

    struct Question {
        Kind kind;
        QString prompt;  // message, input prompt
        QString title;   // caption or dialog title
        int style = 0;   // message box style
        QString filter;  // file dialogs: the filter as passed
        int filterIndex = 0;
        QString defaultText;  // input box default, file dialogs' initial path
        bool answered = true;
    };

    void QueueMsgBox(int result) { msgBoxes_.push_back(result); }
    void QueueInput(const QString& text) { inputs_.push_back(text); }
    void QueueOpenFile(std::optional<QString> path) { openFiles_.push_back(std::move(path)); }
    void QueueSaveFile(std::optional<QString> path) { saveFiles_.push_back(std::move(path)); }
    void QueueFont(std::optional<FontChoice> font) { fonts_.push_back(std::move(font)); }
    void QueueColor(std::optional<QColor> color) { colors_.push_back(std::move(color)); }
    // A printer answer: the PDF file the printer writes to, or no value for Cancel.
    void QueuePrinter(std::optional<QString> pdfPath) { printers_.push_back(std::move(pdfPath)); }
    // A page setup answer: the layout set on the printer, or no value for Cancel.
    void QueuePageSetup(std::optional<QPageLayout> layout) {
        pageSetups_.push_back({layout ? DialogStatus{} : DialogCancelled(), std::move(layout)});
    }
    // A page setup dialog that fails with `status` (and changes nothing).
    void QueuePageSetupError(DialogStatus status) { pageSetups_.push_back({std::move(status), std::nullopt}); }

    const std::vector<Question>& Questions() const { return questions_; }
    int UnansweredCount() const;
    // Answers still queued (a test expects them all to be used).
    int PendingCount() const;
    void Clear();

    int MsgBox(QWidget* parent, const QString& prompt, int style, const QString& title) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter, int filterIndex,
                                    const QString& initialPath) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter, int filterIndex,
                                    const QString& initialPath) override;
    std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
    DialogStatus PageSetup(QWidget* parent, QPrinter& printer) override;

    // The answer a message box of `style` gets when nothing is queued.
    static int CancellingAnswer(int style);

private:
    std::deque<int> msgBoxes_;
    std::deque<QString> inputs_;
    std::deque<std::optional<QString>> openFiles_, saveFiles_;
    std::deque<std::optional<FontChoice>> fonts_;
    std::deque<std::optional<QColor>> colors_;
    std::deque<std::optional<QString>> printers_;
    struct PageSetupAnswer {
        DialogStatus status;
        std::optional<QPageLayout> layout;
    };
    std::deque<PageSetupAnswer> pageSetups_;
    std::vector<Question> questions_;
};

}  // namespace vrayu
