#include "rtf_reader.h"

#include <algorithm>

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "rich_text_format.h"
#include "rtf_writer.h"

namespace vrayu {
namespace {

// Bounds for values from outside: sizes and indents a page can hold.
constexpr double kMaxPoints = 1638;
constexpr int kMaxIndent = 31680;  // 22 inches

enum class Destination { Text, FontTable, FontEntry, ColorTable, Skip, Bullet };

struct CharState {
    int font = -1;  // index into the font table; -1: the default font
    double size = 12;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0;  // 0: automatic
};

struct GroupState {
    CharState chars;
    Destination dest = Destination::Text;
    int uc = 1;  // characters to skip after \uN
};

struct ParaState {
    int alignment = 0;
    int left = 0, first = 0, right = 0;  // twips
    bool bullet = false;
    bool set = false;  // a \pard was seen
};

class Reader {
public:
    Reader(QTextCursor& cursor, const QString& rtf) : cursor_(cursor), rtf_(rtf) {}

    void Run() {
        GroupState state;
        QList<GroupState> stack;
        int skipChars = 0;
        qsizetype i = 0;
        const qsizetype n = rtf_.size();
        while (i < n) {
            const QChar c = rtf_[i];
            if (c == QLatin1Char('{')) {
                Flush(state);
                stack.push_back(state);
                if (state.dest == Destination::FontTable) state.dest = Destination::FontEntry;
                ++i;
                continue;
            }
            if (c == QLatin1Char('}')) {
                Flush(state);
                if (state.dest == Destination::FontEntry && !stack.isEmpty() &&
                    stack.back().dest == Destination::FontTable)
                    EndFontEntry();
                if (stack.isEmpty()) break;
                state = stack.takeLast();
                ++i;
                continue;
            }
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++i;
                continue;
            }
            if (c != QLatin1Char('\\')) {
                if (skipChars > 0) {
                    --skipChars;
                } else {
                    Text(state, c);
                }
                ++i;
                continue;
            }
            // A control symbol or word.
            ++i;
            if (i >= n) break;
            const QChar s = rtf_[i];
            if (!s.isLetter() || s.unicode() > 127) {
                ++i;
                if (s == QLatin1Char('\'')) {
                    // Exactly two hex digits; a cut escape is dropped.
                    bool ok = i + 2 <= n && rtf_[i].isLetterOrNumber() && rtf_[i + 1].isLetterOrNumber();
                    const int code = ok ? rtf_.mid(i, 2).toInt(&ok, 16) : 0;
                    i += 2;
                    if (!ok) continue;
                    if (skipChars > 0) {
                        --skipChars;
                        continue;
                    }
                    // An escaped ";" is part of a font's name, not its end.
                    if (state.dest == Destination::FontEntry || state.dest == Destination::FontTable)
                        fontName_ += QChar(static_cast<char16_t>(code));
                    else Text(state, QChar(static_cast<char16_t>(code)));
                } else if (s == QLatin1Char('*')) {
                    // An optional destination: dropped unless known (\pn).
                    if (state.dest == Destination::Text) state.dest = Destination::Skip;
                } else if (s == QLatin1Char('~')) {
                    Text(state, QChar(0xA0));
                } else if (s == QLatin1Char('-')) {
                    Text(state, QChar(0xAD));
                } else if (s == QLatin1Char('_')) {
                    Text(state, QChar(0x2011));
                } else if (s == QLatin1Char('\r') || s == QLatin1Char('\n')) {
                    EndParagraph(state);
                } else {
                    Text(state, s);  // \\ \{ \}
                }
                continue;
            }
            qsizetype j = i;
            while (j < n && rtf_[j].isLetter() && rtf_[j].unicode() < 128) ++j;
            const QString word = rtf_.mid(i, j - i);
            bool hasParam = false;
            int param = 0;
            qsizetype k = j;
            if (k < n && (rtf_[k] == QLatin1Char('-') || rtf_[k].isDigit())) {
                ++k;
                while (k < n && rtf_[k].isDigit()) ++k;
                param = rtf_.mid(j, k - j).toInt(&hasParam);
            }
            i = k;
            if (i < n && rtf_[i] == QLatin1Char(' ')) ++i;  // the delimiter
            Word(state, word, hasParam, param, skipChars);
        }
        Flush(state);
        if (para_.set) ApplyParagraph();
    }

private:
    void Word(GroupState& st, const QString& w, bool hasParam, int param, int& skipChars) {
        const bool on = !hasParam || param != 0;
        // Destinations first: they decide what the group's text is.
        if (w == QLatin1String("fonttbl")) {
            st.dest = Destination::FontTable;
            return;
        }
        if (w == QLatin1String("colortbl")) {
            st.dest = Destination::ColorTable;
            return;
        }
        if (w == QLatin1String("pn") || w == QLatin1String("pntext")) {
            if (w == QLatin1String("pn")) para_.bullet = true;
            st.dest = Destination::Skip;
            return;
        }
        static const QStringList kSkipped = {"stylesheet",   "info",      "pict",      "object",
                                             "header",       "footer",    "listtable", "listoverridetable",
                                             "themedata",    "generator", "xmlnstbl",  "fldinst",
                                             "latentstyles", "rsidtbl",   "mmathPr",   "colorschememapping"};
        if (kSkipped.contains(w)) {
            st.dest = Destination::Skip;
            return;
        }
        if (st.dest == Destination::Skip) return;
        if (st.dest == Destination::ColorTable) {
            if (w == QLatin1String("red")) color_.setRed(param);
            else if (w == QLatin1String("green")) color_.setGreen(param);
            else if (w == QLatin1String("blue")) color_.setBlue(param);
            else return;
            colorHasValue_ = true;
            return;
        }
        if (st.dest == Destination::FontEntry || st.dest == Destination::FontTable) {
            if (w == QLatin1String("f") && hasParam) {
                fontIndex_ = param;
                fontName_.clear();
            } else if (w == QLatin1String("u") && hasParam) {
                fontName_ += QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param));
                skipChars = st.uc;
            }
            return;
        }
        CharState& ch = st.chars;
        if (w == QLatin1String("par")) {
            Flush(st);
            EndParagraph(st);
        } else if (w == QLatin1String("line")) {
            Text(st, QChar(0x2028));
        } else if (w == QLatin1String("tab")) {
            Text(st, QLatin1Char('\t'));
        } else if (w == QLatin1String("u") && hasParam) {
            Text(st, QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param)));
            skipChars = st.uc;
        } else if (w == QLatin1String("uc")) {
            st.uc = hasParam ? param : 1;
        } else if (w == QLatin1String("pard")) {
            Flush(st);
            para_ = ParaState();
            para_.set = true;
        } else if (w == QLatin1String("ql") || w == QLatin1String("qj")) {
            para_.alignment = 0;
            para_.set = true;
        } else if (w == QLatin1String("qr")) {
            para_.alignment = 1;
            para_.set = true;
        } else if (w == QLatin1String("qc")) {
            para_.alignment = 2;
            para_.set = true;
        } else if (w == QLatin1String("li")) {
            para_.left = std::clamp(param, -kMaxIndent, kMaxIndent);
            para_.set = true;
        } else if (w == QLatin1String("fi")) {
            para_.first = std::clamp(param, -kMaxIndent, kMaxIndent);
            para_.set = true;
        } else if (w == QLatin1String("ri")) {
            para_.right = std::clamp(param, -kMaxIndent, kMaxIndent);
            para_.set = true;
        } else if (w == QLatin1String("plain")) {
            ch = CharState();
        } else if (w == QLatin1String("f") && hasParam) {
            ch.font = param;
        } else if (w == QLatin1String("fs") && hasParam) {
            ch.size = std::clamp(param / 2.0, 1.0, kMaxPoints);
        } else if (w == QLatin1String("b")) {
            ch.bold = on;
        } else if (w == QLatin1String("i")) {
            ch.italic = on;
        } else if (w == QLatin1String("ul")) {
            ch.underline = on;
        } else if (w == QLatin1String("ulnone")) {
            ch.underline = false;
        } else if (w == QLatin1String("strike")) {
            ch.strike = on;
        } else if (w == QLatin1String("cf")) {
            ch.color = hasParam ? param : 0;
        }
    }

    void Text(GroupState& st, QChar c) {
        switch (st.dest) {
            case Destination::Text:
                if (!pending_.isEmpty() && !SameChars(pendingChars_, st.chars)) Flush(st);
                pendingChars_ = st.chars;
                pending_ += c;
                break;
            case Destination::FontEntry:
            case Destination::FontTable:
                if (c == QLatin1Char(';')) EndFontEntry();
                else fontName_ += c;
                break;
            case Destination::ColorTable:
                if (c == QLatin1Char(';')) {
                    colors_ << (colorHasValue_ ? color_ : QColor());
                    color_ = QColor(0, 0, 0);
                    colorHasValue_ = false;
                }
                break;
            default: break;
        }
    }

    void EndFontEntry() {
        if (fontIndex_ >= 0) fonts_.insert(fontIndex_, fontName_.trimmed());
        fontIndex_ = -1;
        fontName_.clear();
    }

    static bool SameChars(const CharState& a, const CharState& b) {
        return a.font == b.font && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
               a.underline == b.underline && a.strike == b.strike && a.color == b.color;
    }

    void Flush(const GroupState&) {
        if (pending_.isEmpty()) return;
        cursor_.insertText(pending_, CharFormat(pendingChars_));
        pending_.clear();
    }

    QTextCharFormat CharFormat(const CharState& ch) const {
        QTextCharFormat f;
        const QString face = fonts_.value(ch.font, fonts_.value(0));
        if (!face.isEmpty()) f.setFontFamilies({face});
        f.setFontPointSize(ch.size);
        f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(ch.italic);
        f.setFontUnderline(ch.underline);
        f.setFontStrikeOut(ch.strike);
        // The colour table's first entry (index 0) is the automatic colour.
        if (ch.color > 0 && ch.color < colors_.size() && colors_[ch.color].isValid())
            f.setForeground(colors_[ch.color]);
        return f;
    }

    void EndParagraph(const GroupState& st) {
        Flush(st);
        ApplyParagraph();
        KeepEmptyParagraphFormat(st.chars);
        cursor_.insertBlock();
    }

    // An empty paragraph has no text to carry the size and font it was
    // written with (they set its height): they go to the paragraph itself,
    // where writing an empty paragraph takes them from.
    void KeepEmptyParagraphFormat(const CharState& chars) {
        if (cursor_.block().length() != 1) return;
        const QTextCharFormat f = CharFormat(chars);
        cursor_.setBlockCharFormat(f);
        cursor_.setCharFormat(f);
    }

    void ApplyParagraph() {
        if (!para_.set) return;
        QTextBlockFormat bf = cursor_.blockFormat();
        bf.setAlignment(QtAlignment(para_.alignment));
        // Rich-text indents: first line at left + first, the others at left.
        bf.setLeftMargin(static_cast<double>(para_.left) / kTwipsPerDocUnit);
        bf.setTextIndent(static_cast<double>(para_.first) / kTwipsPerDocUnit);
        bf.setRightMargin(static_cast<double>(para_.right) / kTwipsPerDocUnit);
        cursor_.setBlockFormat(bf);
        if (para_.bullet && !cursor_.currentList()) cursor_.createList(QTextListFormat::ListDisc);
        if (!para_.bullet && cursor_.currentList()) cursor_.currentList()->remove(cursor_.block());
    }

    QTextCursor& cursor_;
    const QString& rtf_;
    QHash<int, QString> fonts_;
    QList<QColor> colors_;
    QColor color_{0, 0, 0};
    bool colorHasValue_ = false;
    int fontIndex_ = -1;
    QString fontName_;
    ParaState para_;
    QString pending_;
    CharState pendingChars_;
};

}  // namespace

void InsertRtf(QTextCursor& cursor, const QString& rtf) {
    cursor.beginEditBlock();
    if (cursor.hasSelection()) cursor.removeSelectedText();
    if (!rtf.trimmed().startsWith(QLatin1String("{\\rtf"))) {
        QString text = rtf;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        cursor.insertText(text);
    } else {
        Reader(cursor, rtf).Run();
    }
    cursor.endEditBlock();
}

}  // namespace vrayu
