// Throughput of the transliteration engine: the whole English pane converted
// (as on every key release) and the HTML page of a converted text.
#include <benchmark/benchmark.h>

#include "convert.h"
#include "glyph_tables.h"
#include "html_page.h"
#include "replace_all.h"
#include "replacement_rules.h"
#include "romanized_prose.h"

namespace {

void BM_ConvertEnglishPane(benchmark::State& state) {
    vrayu::GlyphTables tables;
    std::string face;
    vrayu::SelectGlyphTables("Vrayu", tables, face);
    const std::string english = vrayu::bench::RomanizedProse(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        vrayu::PaneText pane = vrayu::ConvertEnglishPane(english, 0, tables, face);
        benchmark::DoNotOptimize(pane.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ConvertEnglishPane)->Arg(1 << 10)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The rewrite alone, with its shortcuts and as the plain run of every rule in
// turn, side by side (same result, checked by the engine tests).
void BM_ReplacementRules(benchmark::State& state) {
    const std::string english = vrayu::bench::RomanizedProse(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string rewritten = vrayu::ApplyReplacementRules(english, "Vrayu");
        benchmark::DoNotOptimize(rewritten.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReplacementRules)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_ReplacementRulesEveryRuleInTurn(benchmark::State& state) {
    const std::string english = vrayu::bench::RomanizedProse(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string rewritten = english;
        for (const vrayu::ReplacementRule& rule : vrayu::ReplacementRules())
            if (!rule.abTelguOnly) rewritten = vrayu::ReplaceAll(rewritten, rule.find, rule.replacement);
        benchmark::DoNotOptimize(rewritten.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReplacementRulesEveryRuleInTurn)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_BuildHTMLPage(benchmark::State& state) {
    vrayu::GlyphTables tables;
    std::string face;
    vrayu::SelectGlyphTables("Vrayu", tables, face);
    std::string telugu = vrayu::ConvertEnglishPane(vrayu::bench::RomanizedProse(200 << 10), 0, tables, face).text;
    telugu.resize(static_cast<std::size_t>(state.range(0)));
    // A formatted text as a user leaves it: a bold title, coloured words.
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
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_BuildHTMLPage)->Arg(100 << 10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
