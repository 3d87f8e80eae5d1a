#include "document_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "english_entry.h"
#include "glyph_decoder.h"

namespace vrayu {

QByteArray DocumentBytes(const QString& english, const DocumentFormat& format) {
    QString text = english;
    if (format.lineEnd != kCrLf) text.replace(QLatin1String(kCrLf), QString::fromLatin1(format.lineEnd));
    QByteArray bytes = format.utf8 ? text.toUtf8() : text.toLatin1();
    if (format.finalLineEnd) bytes += format.lineEnd;
    return bytes;
}

QString UnsavableCharacters(const QString& text) {
    QString out;
    for (QChar c : text)
        if (c.unicode() > 0xff && !out.contains(c)) out += c;
    return out;
}

QByteArray TeluguExportBytes(const QString& telugu) {
    QByteArray bytes(kTeluguExportHeader);
    bytes += kCrLf;
    bytes += kCrLf;
    bytes += kCrLf;
    bytes += telugu.toLatin1();
    bytes += kCrLf;
    return bytes;
}

QByteArray HtmlExportBytes(const QString& html) { return html.toLatin1() + kCrLf; }

QByteArray RtfExportBytes(const QString& rtf) { return rtf.toLatin1() + kCrLf; }

DocumentText DocumentTextFromBytes(const QByteArray& bytes) {
    DocumentText doc;
    QString raw;
    bool ascii = true;
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) ascii = false;
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(bytes);
        if (!utf8.hasError()) {
            doc.format.utf8 = true;
            int inexact = 0;
            raw = QString::fromStdString(EnglishEntryText(decoded.toStdString(), &inexact));
            doc.inexactTelugu = inexact;
        }
    }
    if (!doc.format.utf8) raw = QString::fromLatin1(bytes);

    QString text;
    text.reserve(raw.size() + raw.size() / 16);
    bool firstEnd = true;
    qsizetype lineStart = 0;
    const qsizetype n = raw.size();
    doc.format.finalLineEnd = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        const bool crLf = c == QLatin1Char('\r') && i + 1 < n && raw[i + 1] == QLatin1Char('\n');
        if (firstEnd) {
            doc.format.lineEnd = crLf ? QByteArray(kCrLf) : QByteArray(1, static_cast<char>(c.unicode()));
            firstEnd = false;
        }
        text += QStringView(raw).mid(lineStart, i - lineStart);
        if (crLf) ++i;
        lineStart = i + 1;
        if (lineStart == n) {
            doc.format.finalLineEnd = true;  // the save writes this one again
            break;
        }
        text += QLatin1String(kCrLf);
    }
    if (lineStart < n) text += QStringView(raw).mid(lineStart);
    doc.text = text;
    return doc;
}

QString WithFilterExtension(const QString& name, const QString& filter) {
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0) return name;
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
    const QString extension = filter.mid(star + 1, end - star - 1);  // ".txt"
    return extension.size() > 1 ? name + extension : name;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QByteArray> ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

DocumentText DocumentTextFromTeluguExport(const QByteArray& bytes) {
    QByteArray glyphs = bytes;
    const QByteArray header = QByteArray(kTeluguExportHeader) + kCrLf + kCrLf + kCrLf;
    if (glyphs.startsWith(header)) glyphs.remove(0, header.size());
    if (glyphs.endsWith(kCrLf)) glyphs.chop(2);
    // Glyph codes -> Unicode Telugu (UTF-8) -> the pane's entry rules, which
    // romanize Telugu as a UTF-8 document would be.
    const std::string unicode = DecodeVrayuGlyphs(std::string_view(glyphs.constData(), size_t(glyphs.size())));
    return DocumentTextFromBytes(QByteArray::fromStdString(unicode));
}

}  // namespace vrayu
