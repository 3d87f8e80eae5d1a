#include "unicode_text.h"

#include <string>

#include "document_files.h"
#include "glyph_decoder.h"

namespace vrayu {

QString UnicodeFromGlyphText(const QString& glyphs) {
    QString out;
    out.reserve(glyphs.size() * 2);
    qsizetype i = 0;
    while (i < glyphs.size()) {
        qsizetype end = i;
        const bool glyphRun = glyphs[i].unicode() <= 0xFF;
        while (end < glyphs.size() && (glyphs[end].unicode() <= 0xFF) == glyphRun) ++end;
        const QString run = glyphs.mid(i, end - i);
        if (glyphRun) {
            const QByteArray codes = run.toLatin1();
            out += QString::fromStdString(DecodeVrayuGlyphs(std::string_view(codes.constData(), codes.size())));
        } else {
            out += run;
        }
        i = end;
    }
    return out;
}

QString UnicodeClipboardText(const QString& unicode) {
    QString text = unicode;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QByteArray UnicodeExportBytes(const QString& unicode) { return unicode.toUtf8() + kCrLf; }

}  // namespace vrayu
