// Throughput of the transliteration engine on romanized prose: glyph codes
// (the whole English pane, as on every key release), the same prose with
// "#...#" runs, Unicode, and the HTML page as vrayu-convert --html builds it.
// bench/compare-engine runs this file against an earlier engine, side by side.
#include <benchmark/benchmark.h>

#include "convert.h"
#include "glyph_tables.h"
#include "html_page.h"
#include "replace_all.h"
#include "replacement_rules.h"
#include "romanized_prose.h"
#include "unicode.h"

namespace {

constexpr std::int64_t kMB = 1 << 20;

void Bytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_GlyphCodes(benchmark::State& state) {
    vrayu::GlyphTables tables;
    std::string face;
    vrayu::SelectGlyphTables("Vrayu", tables, face);
    const std::string english = state.range(1) ? vrayu::bench::RomanizedProseWithLiteralRuns(state.range(0))
                                               : vrayu::bench::RomanizedProse(state.range(0));
    for (auto _ : state) {
        vrayu::PaneText pane = vrayu::ConvertEnglishPane(english, 0, tables, face);
        benchmark::DoNotOptimize(pane.text.data());
    }
    Bytes(state, english.size());
}
BENCHMARK(BM_GlyphCodes)
    ->ArgNames({"bytes", "literal_runs"})
    ->ArgsProduct({{1 << 10, kMB}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_Unicode(benchmark::State& state) {
    const std::string english = vrayu::bench::RomanizedProse(state.range(0));
    for (auto _ : state) {
        std::string text = vrayu::ConvertEnglishPaneUnicode(english);
        benchmark::DoNotOptimize(text.data());
    }
    Bytes(state, english.size());
}
BENCHMARK(BM_Unicode)->Arg(kMB)->Unit(benchmark::kMillisecond);

// Romanized prose to the page, as vrayu-convert --html does it.
void BM_HtmlPage(benchmark::State& state) {
    vrayu::GlyphTables tables;
    std::string face;
    vrayu::SelectGlyphTables("Vrayu", tables, face);
    const std::string english = vrayu::bench::RomanizedProse(state.range(0));
    vrayu::CharFormat format;
    format.face = face;
    format.pointSize = 16;
    for (auto _ : state) {
        const std::string telugu = vrayu::ConvertEnglishPane(english, 0, tables, face).text;
        vrayu::InMemoryFormattedText text;
        text.Append(telugu, format);
        text.SetCaretFormat(format);
        std::string page = vrayu::BuildHTMLPage(text);
        benchmark::DoNotOptimize(page.data());
    }
    Bytes(state, english.size());
}
BENCHMARK(BM_HtmlPage)->Arg(kMB)->Unit(benchmark::kMillisecond);

// The page of a formatted text as a user leaves it: a bold title, coloured words.
void BM_HtmlPageFormatted(benchmark::State& state) {
    vrayu::GlyphTables tables;
    std::string face;
    vrayu::SelectGlyphTables("Vrayu", tables, face);
    std::string telugu = vrayu::ConvertEnglishPane(vrayu::bench::RomanizedProse(200 << 10), 0, tables, face).text;
    telugu.resize(static_cast<std::size_t>(state.range(0)));
    vrayu::InMemoryFormattedText text;
    vrayu::CharFormat format;
    format.face = face;
    format.pointSize = 16;
    for (std::size_t at = 0; at < telugu.size(); at += 500) {
        format.bold = at % 2000 == 0;
        format.color = at % 1500 == 0 ? 255 : 0;
        text.Append(std::string_view(telugu).substr(at, 500), format);
    }
    for (auto _ : state) {
        std::string page = vrayu::BuildHTMLPage(text);
        benchmark::DoNotOptimize(page.data());
    }
    Bytes(state, telugu.size());
}
BENCHMARK(BM_HtmlPageFormatted)->Arg(100 << 10)->Unit(benchmark::kMillisecond);

// The rewrite alone, with its shortcuts and as the plain run of every rule in
// turn (same result, checked by the engine tests).
void BM_ReplacementRules(benchmark::State& state) {
    const std::string english = vrayu::bench::RomanizedProse(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string rewritten = vrayu::ApplyReplacementRules(english, "Vrayu");
        benchmark::DoNotOptimize(rewritten.data());
    }
    Bytes(state, english.size());
}
BENCHMARK(BM_ReplacementRules)->Arg(kMB)->Unit(benchmark::kMillisecond);

void BM_ReplacementRulesEveryRuleInTurn(benchmark::State& state) {
    const std::string english = vrayu::bench::RomanizedProse(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string rewritten = english;
        for (const vrayu::ReplacementRule& rule : vrayu::ReplacementRules())
            if (!rule.abTelguOnly) rewritten = vrayu::ReplaceAll(rewritten, rule.find, rule.replacement);
        benchmark::DoNotOptimize(rewritten.data());
    }
    Bytes(state, english.size());
}
BENCHMARK(BM_ReplacementRulesEveryRuleInTurn)->Arg(kMB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
