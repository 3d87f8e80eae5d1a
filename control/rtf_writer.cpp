#include "rtf_writer.h"

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

#include "rich_text_format.h"

namespace vrayu {
namespace {

// A face in the font table: only character escapes (control words such as
// \tab mean nothing there), and ";", which ends an entry, escaped too.
QString FontName(const QString& face) {
    QString out;
    for (QChar ch : face) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') out += QLatin1Char('\\') + ch;
        else if (c > 0xff) out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c));
        else if (c < 0x20 || c >= 0x80 || c == ';') out += QStringLiteral("\\'%1").arg(c, 2, 16, QLatin1Char('0'));
        else out += ch;
    }
    return out;
}

// Index tables: each distinct font face and colour once, in order of use.
class Tables {
public:
    int Font(const QString& face) {
        int i = static_cast<int>(fonts_.indexOf(face));
        if (i < 0) {
            fonts_ << face;
            i = static_cast<int>(fonts_.size()) - 1;
        }
        return i;
    }
    // 0 is the automatic colour.
    int Color(const std::optional<QColor>& color) {
        if (!color) return 0;
        const QRgb rgb = color->rgb();
        int i = static_cast<int>(colors_.indexOf(rgb));
        if (i < 0) {
            colors_ << rgb;
            i = static_cast<int>(colors_.size()) - 1;
        }
        return i + 1;
    }
    QString Header() const {
        QString h = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl");
        for (int i = 0; i < fonts_.size(); ++i)
            h += QStringLiteral("{\\f%1\\fnil\\fcharset0 %2;}").arg(i).arg(FontName(fonts_[i]));
        h += QStringLiteral("}\r\n{\\colortbl ;");
        for (QRgb c : colors_)
            h += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
        return h + QStringLiteral("}\r\n");
    }

private:
    QStringList fonts_;
    QList<QRgb> colors_;
};

QString ParagraphProps(const QTextBlock& block) {
    const QTextBlockFormat f = block.blockFormat();
    QString p = QStringLiteral("\\pard");
    switch (AlignmentOf(f)) {
        case 1: p += QStringLiteral("\\qr"); break;
        case 2: p += QStringLiteral("\\qc"); break;
        default: p += QStringLiteral("\\ql"); break;
    }
    const int left = static_cast<int>(std::lround(f.leftMargin() * kTwipsPerDocUnit));
    const int first = static_cast<int>(std::lround(f.textIndent() * kTwipsPerDocUnit));
    const int right = static_cast<int>(std::lround(f.rightMargin() * kTwipsPerDocUnit));
    if (left) p += QStringLiteral("\\li%1").arg(left);
    if (first) p += QStringLiteral("\\fi%1").arg(first);
    if (right) p += QStringLiteral("\\ri%1").arg(right);
    // The bullet group ends the control words by itself: a blank after it
    // would be text.
    if (block.textList()) return p + QStringLiteral("{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'b7}}");
    return p + QLatin1Char(' ');
}

QString CharProps(const QTextCharFormat& f, const QFont& base, Tables& tables) {
    QString p =
        QStringLiteral("\\plain\\f%1\\fs%2").arg(tables.Font(FaceOf(f, base))).arg(std::lround(SizeOf(f, base) * 2));
    if (f.fontWeight() >= QFont::DemiBold) p += QStringLiteral("\\b");
    if (f.fontItalic()) p += QStringLiteral("\\i");
    if (f.fontUnderline()) p += QStringLiteral("\\ul");
    if (f.fontStrikeOut()) p += QStringLiteral("\\strike");
    if (const int c = tables.Color(ColorOf(f))) p += QStringLiteral("\\cf%1").arg(c);
    return p + QLatin1Char(' ');
}

}  // namespace

QString EscapeRtfText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += QLatin1Char('\\');
            out += ch;
        } else if (c == '\t') {
            out += QStringLiteral("\\tab ");
        } else if (c == 0x2028) {
            out += QStringLiteral("\\line ");
        } else if (c >= 0x80 && c <= 0xff) {
            out += QStringLiteral("\\'%1").arg(c, 2, 16, QLatin1Char('0'));
        } else if (c > 0xff) {
            out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c));
        } else if (c < 0x20) {
            out += QStringLiteral("\\'%1").arg(c, 2, 16, QLatin1Char('0'));
        } else {
            out += ch;
        }
    }
    return out;
}

QString WriteRtf(const QTextDocument& doc, int from, int to) {
    Tables tables;
    tables.Font(doc.defaultFont().family());
    QString body;
    const QFont base = doc.defaultFont();
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
        const int blockEnd = block.position() + block.length() - 1;  // position of the separator
        body += ParagraphProps(block);
        bool wroteText = false;
        // Neighbouring fragments whose formats write the same are one run:
        // the text reads back as one fragment.
        QString props;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int a = std::max(from, frag.position()), b = std::min(to, frag.position() + frag.length());
            if (a >= b) continue;
            if (QString p = CharProps(frag.charFormat(), base, tables); p != props) {
                body += p;
                props = std::move(p);
            }
            body += EscapeRtfText(QStringView(frag.text()).mid(a - frag.position(), b - a));
            wroteText = true;
        }
        if (!wroteText && block.length() == 1 && from <= block.position() && to > blockEnd)
            body += CharProps(block.charFormat(), base, tables);
        if (to > blockEnd && block.next().isValid()) body += QStringLiteral("\\par\r\n");
    }
    return tables.Header() + body + QStringLiteral("}");
}

}  // namespace vrayu
