// libFuzzer target: write -> read -> write of RTF must be stable
// (rtf_stability.h). Built only by compilers with -fsanitize=fuzzer
// (tools/fuzz-rtf); its findings are replayed by rtf_round_trip_test.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "rtf_stability.h"

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
    const QString drift =
        vrayu::test::RtfDrift(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (drift.isEmpty()) return 0;
    std::fprintf(stderr, "%s\n", qPrintable(drift));
    std::abort();
}
