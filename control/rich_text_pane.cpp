#include "rich_text_pane.h"

#include <QPalette>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>
#include <algorithm>
#include <cmath>

#include "html_page.h"
#include "rich_text_format.h"
#include "rtf_reader.h"
#include "rtf_writer.h"

namespace vrayu {
namespace {

constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kLineSeparator = 0x2028;

int Twips(double docUnits) { return static_cast<int>(std::lround(docUnits * kTwipsPerDocUnit)); }
double DocUnits(int twips) { return static_cast<double>(twips) / kTwipsPerDocUnit; }

}  // namespace

QString ToDocumentBreaks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            out += QLatin1Char('\n');
        } else if (c == QLatin1Char('\n')) {
            out += QChar(kLineSeparator);
        } else {
            out += c;
        }
    }
    return out;
}

QString FromDocumentBreaks(QString raw) {
    raw.replace(QChar(kLineSeparator), QLatin1Char('\n'));
    if (!raw.contains(QChar(kParagraphSeparator))) return raw;
    return raw.replace(QChar(kParagraphSeparator), QLatin1String("\r\n"));
}

RichTextPane::RichTextPane(QTextEdit* edit) : edit_(edit), backColor_(kSystemWindowColor) {
    // Pasted text arrives plain: the pane holds only what its RTF can carry.
    edit_->setAcceptRichText(false);
}

QTextCursor RichTextPane::Cursor() const { return edit_->textCursor(); }

QString RichTextPane::Text() const { return FromDocumentBreaks(edit_->document()->toRawText()); }

int RichTextPane::TextLength() const {
    const QTextDocument* doc = edit_->document();
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

void RichTextPane::SetText(const QString& text) {
    QTextCursor c = Cursor();
    const QTextCharFormat format = c.charFormat();
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(ToDocumentBreaks(text), format);
    c.endEditBlock();
    c.movePosition(QTextCursor::Start);
    edit_->setTextCursor(c);
}

void RichTextPane::UpdateText(const QString& text) {
    const QString now = edit_->document()->toRawText();
    QString wanted = ToDocumentBreaks(text);
    wanted.replace(QLatin1Char('\n'), QChar(kParagraphSeparator));
    if (now == wanted) return;
    qsizetype prefix = 0;
    const qsizetype maxPrefix = std::min(now.size(), wanted.size());
    while (prefix < maxPrefix && now[prefix] == wanted[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < now.size() - prefix && suffix < wanted.size() - prefix &&
           now[now.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix])
        ++suffix;
    QTextCursor c(edit_->document());
    c.setPosition(static_cast<int>(prefix));
    c.setPosition(static_cast<int>(now.size() - suffix), QTextCursor::KeepAnchor);
    QString middle = wanted.mid(prefix, wanted.size() - prefix - suffix);
    middle.replace(QChar(kParagraphSeparator), QLatin1Char('\n'));
    if (now.isEmpty()) {
        // An empty pane: the new text takes the format set at the caret.
        c.insertText(middle, edit_->currentCharFormat());
    } else if (prefix == 0 && c.hasSelection()) {
        // The new text starts the pane: it takes the format of the old start.
        QTextCursor first(edit_->document());
        first.setPosition(1 <= now.size() ? 1 : 0);
        c.insertText(middle, first.charFormat());
    } else {
        c.insertText(middle);
    }
}

int RichTextPane::DocPosition(int textPos) const {
    const QTextDocument* doc = edit_->document();
    if (textPos <= 0) return 0;
    // Block k starts at text position block.position() + k; find the last
    // block that starts at or before textPos.
    int lo = 0, hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= textPos) lo = mid;
        else hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int offset = textPos - (block.position() + lo);
    return block.position() + std::min(offset, block.length() - 1);
}

int RichTextPane::TextPosition(int docPos) const {
    const QTextBlock block = edit_->document()->findBlock(docPos);
    return docPos + std::max(0, block.blockNumber());
}

int RichTextPane::SelStart() const { return TextPosition(Cursor().selectionStart()); }

void RichTextPane::SetSelStart(int start) {
    QTextCursor c = Cursor();
    c.setPosition(DocPosition(std::clamp(start, 0, TextLength())));
    edit_->setTextCursor(c);
}

int RichTextPane::SelLength() const {
    const QTextCursor c = Cursor();
    return TextPosition(c.selectionEnd()) - TextPosition(c.selectionStart());
}

void RichTextPane::SetSelLength(int length) {
    QTextCursor c = Cursor();
    const int start = TextPosition(c.selectionStart());
    const int end = std::clamp(start + std::max(0, length), start, TextLength());
    c.setPosition(c.selectionStart());
    c.setPosition(DocPosition(end), QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
}

QString RichTextPane::SelText() const { return FromDocumentBreaks(Cursor().selectedText()); }

void RichTextPane::SetSelText(const QString& text) {
    QTextCursor c = Cursor();
    c.insertText(ToDocumentBreaks(text));
    edit_->setTextCursor(c);
}

QString RichTextPane::SelRTF() const {
    const QTextCursor c = Cursor();
    return WriteRtf(*edit_->document(), c.selectionStart(), c.selectionEnd());
}

void RichTextPane::SetSelRTF(const QString& rtf) {
    QTextCursor c = Cursor();
    InsertRtf(c, rtf);
    edit_->setTextCursor(c);
}

template <class Get>
QVariant RichTextPane::CharAttribute(Get get) const {
    const QTextCursor c = Cursor();
    const QFont base = edit_->document()->defaultFont();
    if (!c.hasSelection()) return get(edit_->currentCharFormat(), base);
    const int from = c.selectionStart(), to = c.selectionEnd();
    QVariant value;
    bool first = true;
    for (QTextBlock b = edit_->document()->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to) continue;
            const QVariant v = get(f.charFormat(), base);
            if (first) {
                value = v;
                first = false;
            } else if (v != value) {
                return {};
            }
        }
    }
    return first ? get(c.charFormat(), base) : value;
}

template <class Get>
QVariant RichTextPane::BlockAttribute(Get get) const {
    const QTextCursor c = Cursor();
    const QTextDocument* doc = edit_->document();
    const QTextBlock last = doc->findBlock(c.selectionEnd());
    QVariant value;
    bool first = true;
    for (QTextBlock b = doc->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
        const QVariant v = get(b);
        if (first) {
            value = v;
            first = false;
        } else if (v != value) {
            return {};
        }
        if (b == last) break;
    }
    return value;
}

void RichTextPane::MergeChar(const QTextCharFormat& f) { edit_->mergeCurrentCharFormat(f); }

void RichTextPane::MergeBlock(const QTextBlockFormat& f) {
    QTextCursor c = Cursor();
    c.mergeBlockFormat(f);
}

QVariant RichTextPane::SelBold() const {
    return CharAttribute(
        [](const QTextCharFormat& f, const QFont&) { return QVariant(f.fontWeight() >= QFont::DemiBold); });
}
void RichTextPane::SetSelBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    MergeChar(f);
}

QVariant RichTextPane::SelItalic() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont&) { return QVariant(f.fontItalic()); });
}
void RichTextPane::SetSelItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    MergeChar(f);
}

QVariant RichTextPane::SelUnderline() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont&) { return QVariant(f.fontUnderline()); });
}
void RichTextPane::SetSelUnderline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    MergeChar(f);
}

QVariant RichTextPane::SelStrikeThru() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont&) { return QVariant(f.fontStrikeOut()); });
}
void RichTextPane::SetSelStrikeThru(bool on) {
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    MergeChar(f);
}

QVariant RichTextPane::SelColor() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont&) {
        const auto color = ColorOf(f);
        return QVariant(static_cast<qlonglong>(color ? OleFromColor(*color) : 0));
    });
}
void RichTextPane::SetSelColor(std::int64_t ole) {
    QTextCharFormat f;
    f.setForeground(ColorFromOle(ole));
    MergeChar(f);
}

QVariant RichTextPane::SelFontName() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont& base) { return QVariant(FaceOf(f, base)); });
}
void RichTextPane::SetSelFontName(const QString& name) {
    QTextCharFormat f;
    f.setFontFamilies({name});
    MergeChar(f);
}

QVariant RichTextPane::SelFontSize() const {
    return CharAttribute([](const QTextCharFormat& f, const QFont& base) { return QVariant(SizeOf(f, base)); });
}
void RichTextPane::SetSelFontSize(double points) {
    QTextCharFormat f;
    f.setFontPointSize(points);
    MergeChar(f);
}

QVariant RichTextPane::SelAlignment() const {
    return BlockAttribute([](const QTextBlock& b) { return QVariant(AlignmentOf(b.blockFormat())); });
}
void RichTextPane::SetSelAlignment(int alignment) {
    QTextBlockFormat f;
    f.setAlignment(QtAlignment(alignment));
    MergeBlock(f);
}

QVariant RichTextPane::SelBullet() const {
    return BlockAttribute([](const QTextBlock& b) { return QVariant(b.textList() != nullptr); });
}
void RichTextPane::SetSelBullet(bool on) {
    QTextCursor c = Cursor();
    if (on) {
        if (!c.currentList()) c.createList(QTextListFormat::ListDisc);
        return;
    }
    const QTextDocument* doc = edit_->document();
    const QTextBlock last = doc->findBlock(c.selectionEnd());
    for (QTextBlock b = doc->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
        if (QTextList* list = b.textList()) list->remove(b);
        if (b == last) break;
    }
}

// Rich-text indents: the first line starts at SelIndent, the others at
// SelIndent + SelHangingIndent; Qt's margin holds the others' start and the
// text indent the first line's offset from it.
QVariant RichTextPane::SelIndent() const {
    return BlockAttribute([](const QTextBlock& b) {
        return QVariant(Twips(b.blockFormat().leftMargin() + b.blockFormat().textIndent()));
    });
}
void RichTextPane::SetSelIndent(int twips) {
    const QVariant hanging = SelHangingIndent();
    const int h = hanging.isValid() ? hanging.toInt() : 0;
    QTextBlockFormat f;
    f.setLeftMargin(DocUnits(twips + h));
    f.setTextIndent(DocUnits(-h));
    MergeBlock(f);
}

QVariant RichTextPane::SelHangingIndent() const {
    return BlockAttribute([](const QTextBlock& b) { return QVariant(Twips(-b.blockFormat().textIndent())); });
}
void RichTextPane::SetSelHangingIndent(int twips) {
    const QVariant indent = SelIndent();
    const int i = indent.isValid() ? indent.toInt() : 0;
    QTextBlockFormat f;
    f.setLeftMargin(DocUnits(i + twips));
    f.setTextIndent(DocUnits(-twips));
    MergeBlock(f);
}

QVariant RichTextPane::SelRightIndent() const {
    return BlockAttribute([](const QTextBlock& b) { return QVariant(Twips(b.blockFormat().rightMargin())); });
}
void RichTextPane::SetSelRightIndent(int twips) {
    QTextBlockFormat f;
    f.setRightMargin(DocUnits(twips));
    MergeBlock(f);
}

QFont RichTextPane::Font() const { return edit_->document()->defaultFont(); }

void RichTextPane::SetFont(const QFont& font) {
    edit_->document()->setDefaultFont(font);
    QTextCharFormat f;
    f.setFontFamilies({font.family()});
    f.setFontPointSize(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic());
    f.setFontUnderline(font.underline());
    f.setFontStrikeOut(font.strikeOut());
    MergeEverywhere(f);
}

void RichTextPane::SetFontName(const QString& name) {
    QFont font = edit_->document()->defaultFont();
    font.setFamilies({name});
    edit_->document()->setDefaultFont(font);
    QTextCharFormat f;
    f.setFontFamilies({name});
    MergeEverywhere(f);
}

// Every character, the caret's format and the format of text typed next.
void RichTextPane::MergeEverywhere(const QTextCharFormat& f) {
    QTextCursor all(edit_->document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(f);
    QTextCursor c = Cursor();
    c.mergeCharFormat(f);  // the caret's format, for text typed next
    edit_->mergeCurrentCharFormat(f);
}

void RichTextPane::SetBackColor(std::int64_t ole) {
    backColor_ = ole;
    QPalette p = edit_->palette();
    p.setColor(QPalette::Base, ColorFromOle(ole));
    edit_->setPalette(p);
}

void RichTextPane::SelPrint(QPrinter& printer) const {
    const QTextCursor c = Cursor();
    if (!c.hasSelection()) {
        edit_->document()->print(&printer);
        return;
    }
    QTextDocument part;
    part.setDefaultFont(edit_->document()->defaultFont());
    QTextCursor(&part).insertFragment(c.selection());
    part.print(&printer);
}

}  // namespace vrayu
