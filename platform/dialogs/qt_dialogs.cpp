#include "qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <algorithm>

namespace vrayu {
namespace {

struct ButtonSet {
    int style;
    std::initializer_list<std::pair<QMessageBox::StandardButton, MsgBoxResult>> buttons;
};

// ORDER MsgBoxStyle (the low nibble)
const ButtonSet kButtonSets[] = {
    {kOKOnly, {{QMessageBox::Ok, kOK}}},
    {kOKCancel, {{QMessageBox::Ok, kOK}, {QMessageBox::Cancel, kCancel}}},
    {kAbortRetryIgnore, {{QMessageBox::Abort, kAbort}, {QMessageBox::Retry, kRetry}, {QMessageBox::Ignore, kIgnore}}},
    {kYesNoCancel, {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}, {QMessageBox::Cancel, kCancel}}},
    {kYesNo, {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}}},
    {kRetryCancel, {{QMessageBox::Retry, kRetry}, {QMessageBox::Cancel, kCancel}}},
};

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
        case kCritical: return QMessageBox::Critical;
        case kQuestion: return QMessageBox::Question;
        case kExclamation: return QMessageBox::Warning;
        case kInformation: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

QString SelectedFilter(const QString& qtFilter, int filterIndex) {
    const QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (filterIndex >= 1 && filterIndex <= filters.size()) return filters[filterIndex - 1];
    return filters.value(0);
}

}  // namespace

int QtDialogs::MsgBox(QWidget* parent, const QString& prompt, int style, const QString& title) {
    const int set = style & 0x0f;
    const ButtonSet& buttons = kButtonSets[set >= 0 && set <= kRetryCancel ? set : 0];
    QMessageBox box(IconOf(style), title.isEmpty() ? QApplication::applicationName() : title,
                    QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), QMessageBox::NoButton,
                    parent);
    for (const auto& [button, result] : buttons.buttons) box.addButton(button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, result] : buttons.buttons)
        if (button == clicked) return result;
    // Closed with Escape or the window's close box: the cancelling answer.
    return set == kOKOnly ? kOK : set == kYesNo ? kNo : set == kAbortRetryIgnore ? kAbort : kCancel;
}

QString QtDialogs::InputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                              QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                           int filterIndex, const QString& initialPath) {
    const QString qtFilter = QtFilterFromWindows(filter);
    QString selected = SelectedFilter(qtFilter, filterIndex);
    const QString file = QFileDialog::getOpenFileName(parent, title, initialPath, qtFilter, &selected);
    if (file.isEmpty()) return std::nullopt;
    return file;
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                           int filterIndex, const QString& initialPath) {
    const QString qtFilter = QtFilterFromWindows(filter);
    QString selected = SelectedFilter(qtFilter, filterIndex);
    // The callers decide about overwriting (Save asks, Save As never does),
    // so the dialog must not ask a question of its own.
    const QString file = QFileDialog::getSaveFileName(parent, title, initialPath, qtFilter, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty()) return std::nullopt;
    return file;
}

FontChoice KeepStylesTheFamilyLacks(const FontChoice& preset, FontChoice chosen, const QStringList& styles) {
    auto offers = [&](const char* word) {
        return std::any_of(styles.begin(), styles.end(),
                           [word](const QString& s) { return s.contains(QLatin1String(word), Qt::CaseInsensitive); });
    };
    if (!offers("Bold")) chosen.bold = preset.bold;
    if (!offers("Italic") && !offers("Oblique")) chosen.italic = preset.italic;
    return chosen;
}

std::optional<FontChoice> QtDialogs::ChooseFont(QWidget* parent, const FontChoice& initial) {
    QFont font(initial.name);
    if (initial.size > 0) font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeout);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (!ok) return std::nullopt;
    FontChoice out;
    out.name = chosen.family();
    out.size = chosen.pointSizeF();
    out.bold = chosen.bold();
    out.italic = chosen.italic();
    out.underline = chosen.underline();
    out.strikeout = chosen.strikeOut();
    out.color = initial.color;
    return KeepStylesTheFamilyLacks(initial, out, QFontDatabase::styles(chosen.family()));
}

std::optional<QColor> QtDialogs::ChooseColor(QWidget* parent, const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid()) return std::nullopt;
    return color;
}

bool QtDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

DialogStatus QtDialogs::PageSetup(QWidget* parent, QPrinter& printer) {
    // A system printer that no longer exists has no pages to set up; output
    // to a PDF file always has.
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid())
        return {kNoPrinterError, QString::fromLatin1(kNoPrinterDescription)};
    QPageSetupDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return DialogCancelled();
    return {};
}

}  // namespace vrayu
