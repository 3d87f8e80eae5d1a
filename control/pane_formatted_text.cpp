#include "pane_formatted_text.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "rich_text_format.h"
#include "rich_text_pane.h"

namespace vrayu {
namespace {

CharFormat Convert(const QTextCharFormat& f, const QFont& base, int alignment) {
    CharFormat c;
    c.alignment = alignment;
    const auto color = ColorOf(f);
    c.color = color ? OleFromColor(*color) : 0;
    c.face = FaceOf(f, base).toLatin1().toStdString();
    c.pointSize = SizeOf(f, base);
    c.bold = f.fontWeight() >= QFont::DemiBold;
    c.italic = f.fontItalic();
    c.underline = f.fontUnderline();
    return c;
}

bool Same(const CharFormat& a, const CharFormat& b) {
    return a.alignment == b.alignment && a.color == b.color && a.face == b.face && a.pointSize == b.pointSize &&
           a.bold == b.bold && a.italic == b.italic && a.underline == b.underline;
}

void AppendLatin1(std::string& out, const QString& s) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        out.push_back(u <= 0xff ? static_cast<char>(u) : u == 0x2028 ? '\n' : '?');
    }
}

}  // namespace

PaneFormattedText::PaneFormattedText(const RichTextPane& pane) : backColor_(pane.BackColor()) {
    const QVariant selColor = pane.SelColor();
    selectionColor_ = selColor.isValid() ? selColor.toLongLong() : 0;
    const QTextDocument* doc = pane.Edit()->document();
    const QFont base = doc->defaultFont();
    text_.reserve(static_cast<std::size_t>(doc->characterCount()) + static_cast<std::size_t>(doc->blockCount()));
    auto addRun = [&](const CharFormat& f) {
        if (runs_.empty() || !Same(runs_.back().format, f)) runs_.push_back({text_.size() + 1, f});
    };
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int alignment = AlignmentOf(block.blockFormat());
        CharFormat last = Convert(block.charFormat(), base, alignment);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            last = Convert(frag.charFormat(), base, alignment);
            addRun(last);
            AppendLatin1(text_, frag.text());
        }
        if (block.next().isValid()) {
            // The paragraph break reads as the paragraph's last character.
            addRun(last);
            text_ += "\r\n";
        }
    }
    caretFormat_ =
        Convert(pane.Edit()->currentCharFormat(), base, AlignmentOf(pane.Edit()->textCursor().blockFormat()));
}

CharFormat PaneFormattedText::FormatAt(std::size_t position) const {
    if (runs_.empty()) return caretFormat_;
    if (hint_ >= runs_.size() || runs_[hint_].first > position) hint_ = 0;
    while (hint_ + 1 < runs_.size() && runs_[hint_ + 1].first <= position) ++hint_;
    return runs_[hint_].format;
}

std::size_t PaneFormattedText::SameFormatUntil(std::size_t position) const {
    FormatAt(position);  // finds the run
    if (runs_.empty() || hint_ + 1 >= runs_.size()) return std::max(position, text_.size());
    return std::max(position, runs_[hint_ + 1].first - 1);
}

}  // namespace vrayu
