// The check of the RTF fuzzer, shared with the test that replays its
// findings: any input read as RTF, then written, read and written again;
// the two writings must be the same text and the two documents the same
// plain text.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include "rtf_reader.h"
#include "rtf_writer.h"

namespace vrayu::test {

inline QString WholeRtf(const QTextDocument& doc) { return WriteRtf(doc, 0, doc.characterCount() - 1); }

inline void ReadRtfInto(QTextDocument& doc, const QString& rtf) {
    doc.setDefaultFont(QFont("Vrayu", 16));
    QTextCursor cursor(&doc);
    InsertRtf(cursor, rtf);
}

// "" when stable, else what changed with both versions.
inline QString RtfDrift(const QByteArray& bytes) {
    QString input = QString::fromLatin1(bytes);
    if (!input.startsWith(QLatin1String("{\\rtf"))) input.prepend(QLatin1String("{\\rtf1 "));
    QTextDocument source;
    ReadRtfInto(source, input);
    const QString first = WholeRtf(source);
    QTextDocument copy;
    ReadRtfInto(copy, first);
    if (copy.toPlainText() != source.toPlainText())
        return "text changed\n" + source.toPlainText() + "\n---\n" + copy.toPlainText();
    const QString second = WholeRtf(copy);
    if (second != first) return "RTF changed\n" + first + "\n---\n" + second;
    return {};
}

}  // namespace vrayu::test
