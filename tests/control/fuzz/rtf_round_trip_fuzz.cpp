// libFuzzer target: any input read as RTF, then written, read and written
// again; the two writings must be the same text and the two documents the
// same plain text. Built only by compilers with -fsanitize=fuzzer
// (tools/fuzz-rtf).
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "rtf_reader.h"
#include "rtf_writer.h"

namespace {

QString Written(const QTextDocument& doc) { return vrayu::WriteRtf(doc, 0, doc.characterCount() - 1); }

void Read(QTextDocument& doc, const QString& rtf) {
    doc.setDefaultFont(QFont("Vrayu", 16));
    QTextCursor cursor(&doc);
    vrayu::InsertRtf(cursor, rtf);
}

[[noreturn]] void Fail(const char* what, const QString& a, const QString& b) {
    std::fprintf(stderr, "%s\n--- first\n%s\n--- second\n%s\n", what, qPrintable(a), qPrintable(b));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_round_trip_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192) return 0;
    QString input = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!input.startsWith(QLatin1String("{\\rtf"))) input.prepend(QLatin1String("{\\rtf1 "));
    QTextDocument source;
    Read(source, input);
    const QString first = Written(source);
    QTextDocument copy;
    Read(copy, first);
    if (copy.toPlainText() != source.toPlainText()) Fail("text changed", source.toPlainText(), copy.toPlainText());
    const QString second = Written(copy);
    if (second != first) Fail("RTF changed", first, second);
    return 0;
}
