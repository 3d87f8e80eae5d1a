// Time from a key release in the English pane to the converted Telugu pane,
// and the HTML page of formatted Telugu text. bench/compare-with-base runs
// this file against an earlier control, side by side.
#include <QApplication>
#include <QKeyEvent>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include "dialogs.h"
#include "scripted_dialogs.h"
#include "transliterate.h"

using namespace vrayu;

namespace {

// Romanized text of about `bytes` bytes, in lines of a few words.
QString RomanizedText(int bytes) {
    static const char* const kWords[] = {"svAgatam", "telugu",        "amma", "nAnna",    "ikkaDa",    "caesi",
                                         "paina",    "kanabaDutundi", "mee",  "salahAlu", "ellappuDU", "bhAsha"};
    QString text;
    int i = 0;
    while (text.size() < bytes) {
        text += QLatin1String(kWords[i % 12]);
        text += (++i % 9 == 0) ? QStringLiteral("\r\n") : QStringLiteral(" ");
    }
    return text;
}

void KeyReleaseToTelugu(benchmark::State& state) {
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    Transliterate control;
    control.resize(800, 600);
    control.show();
    control.EnglishPane().SetText(RomanizedText(static_cast<int>(state.range(0))));
    control.EnglishPane().SetSelStart(control.EnglishPane().TextLength() / 2);
    control.ConvertNow();
    auto* english = control.findChild<QTextEdit*>("txtEnglish");
    bool flip = false;
    for (auto _ : state) {
        // Type one letter in the middle of the text and release its key.
        state.PauseTiming();
        english->textCursor().insertText(flip ? "a" : "i");
        flip = !flip;
        state.ResumeTiming();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(english, &release);
        // Include the repaint (and relayout) that follows.
        if (state.range(1)) QApplication::processEvents();
    }
    state.SetLabel(std::to_string(control.TeluguPane().TextLength()) + " glyphs");
    SetDialogs(nullptr);
}
BENCHMARK(KeyReleaseToTelugu)
    ->ArgNames({"bytes", "repaint"})
    ->ArgsProduct({{100 * 1024, 1024 * 1024, 5 * 1024 * 1024}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BuildHtmlPage(benchmark::State& state) {
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    Transliterate control;
    control.EnglishPane().SetText(RomanizedText(static_cast<int>(state.range(0))));
    control.ConvertNow();
    // Formats change every few characters: bold, colour, size and alignment runs.
    RichTextPane& t = control.TeluguPane();
    const int length = t.TextLength();
    for (int at = 0; at < length; at += 37) {
        t.SetSelStart(at);
        t.SetSelLength(11);
        t.SetSelBold((at / 37) % 2 == 0);
        t.SetSelColor((at * 2654435761u) & 0xFFFFFF);
        if (at % 111 == 0) t.SetSelFontSize(20);
        if (at % 703 == 0) t.SetSelAlignment((at / 703) % 3);
    }
    for (auto _ : state) control.Convert2HTML();
    state.SetLabel(std::to_string(length) + " glyphs, page " + std::to_string(control.HtmlPane().TextLength()) +
                   " characters");
    SetDialogs(nullptr);
}
BENCHMARK(BuildHtmlPage)->Arg(20 * 1024)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
