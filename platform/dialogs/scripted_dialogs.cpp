#include "scripted_dialogs.h"

#include <QPrinter>
#include <algorithm>

namespace vrayu {
namespace {

// Moves the next answer into `out`; false when none is queued.
template <class T>
bool Take(std::deque<T>& queue, T& out) {
    if (queue.empty()) return false;
    out = std::move(queue.front());
    queue.pop_front();
    return true;
}

}  // namespace

int ScriptedDialogs::CancellingAnswer(int style) {
    switch (style & 0x0f) {
        case kOKOnly: return kOK;
        case kYesNo: return kNo;
        case kAbortRetryIgnore: return kAbort;
        default: return kCancel;
    }
}

int ScriptedDialogs::UnansweredCount() const {
    return static_cast<int>(
        std::count_if(questions_.begin(), questions_.end(), [](const Question& q) { return !q.answered; }));
}

int ScriptedDialogs::PendingCount() const {
    return static_cast<int>(msgBoxes_.size() + inputs_.size() + openFiles_.size() + saveFiles_.size() + fonts_.size() +
                            colors_.size() + printers_.size() + pageSetups_.size());
}

void ScriptedDialogs::Clear() { *this = ScriptedDialogs(); }

int ScriptedDialogs::MsgBox(QWidget*, const QString& prompt, int style, const QString& title) {
    int answer = CancellingAnswer(style);
    const bool answered = Take(msgBoxes_, answer);
    questions_.push_back({Kind::MsgBox, prompt, title, style, {}, 0, {}, answered});
    return answer;
}

QString ScriptedDialogs::InputBox(QWidget*, const QString& prompt, const QString& title, const QString& defaultText) {
    QString answer;
    const bool answered = Take(inputs_, answer);
    questions_.push_back({Kind::InputBox, prompt, title, 0, {}, 0, defaultText, answered});
    return answer;
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString& title, const QString& filter, int filterIndex,
                                                 const QString& initialPath) {
    std::optional<QString> answer;
    const bool answered = Take(openFiles_, answer);
    questions_.push_back({Kind::OpenFile, {}, title, 0, filter, filterIndex, initialPath, answered});
    return answer;
}

std::optional<QString> ScriptedDialogs::SaveFile(QWidget*, const QString& title, const QString& filter, int filterIndex,
                                                 const QString& initialPath) {
    std::optional<QString> answer;
    const bool answered = Take(saveFiles_, answer);
    questions_.push_back({Kind::SaveFile, {}, title, 0, filter, filterIndex, initialPath, answered});
    return answer;
}

std::optional<FontChoice> ScriptedDialogs::ChooseFont(QWidget*, const FontChoice& initial) {
    std::optional<FontChoice> answer;
    const bool answered = Take(fonts_, answer);
    questions_.push_back({Kind::Font, {}, {}, 0, {}, 0, initial.name, answered});
    return answer;
}

std::optional<QColor> ScriptedDialogs::ChooseColor(QWidget*, const QColor& initial) {
    std::optional<QColor> answer;
    const bool answered = Take(colors_, answer);
    questions_.push_back({Kind::Color, {}, {}, 0, {}, 0, initial.name(), answered});
    return answer;
}

bool ScriptedDialogs::ChoosePrinter(QWidget*, QPrinter& printer) {
    std::optional<QString> answer;
    const bool answered = Take(printers_, answer);
    questions_.push_back({Kind::Printer, {}, {}, 0, {}, 0, {}, answered});
    if (!answer) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*answer);
    return true;
}

DialogStatus ScriptedDialogs::PageSetup(QWidget*, QPrinter& printer) {
    PageSetupAnswer answer{DialogCancelled(), std::nullopt};
    const bool answered = Take(pageSetups_, answer);
    questions_.push_back({Kind::PageSetup, {}, {}, 0, {}, 0, {}, answered});
    if (answer.status.Accepted() && answer.layout) printer.setPageLayout(*answer.layout);
    return answer.status;
}

}  // namespace vrayu
