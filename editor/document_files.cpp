#include "document_files.h"

#include <QFile>
#include <QSaveFile>

namespace vrayu {

QByteArray DocumentBytes(const QString& english) { return english.toLatin1() + kCrLf; }

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

QString DocumentTextFromBytes(const QByteArray& bytes) {
    QByteArray text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    qsizetype lineStart = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r') continue;
        text += bytes.mid(lineStart, i - lineStart);
        text += kCrLf;
        if (i + 1 < n && bytes[i + 1] == '\n') ++i;
        lineStart = i + 1;
    }
    if (lineStart < n) {
        text += bytes.mid(lineStart);
        text += kCrLf;
    }
    return QString::fromLatin1(text);
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

}  // namespace vrayu
