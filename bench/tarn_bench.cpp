// In-process timings of the interpreter through its host interface: the
// statement loop on an adding loop and on a string-building loop, and the
// expression evaluator alone. Whole-command comparisons with other
// languages are in compare-languages.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "tarnproc.h"

namespace {

class Host {
public:
    explicit Host(int variables = 200) {
        ctx = GlobalAlloc(GHND, TARN_CONTEXT_SIZE);
        vars = GlobalAlloc(GHND, static_cast<std::size_t>(variables) * sizeof(VariableEntry));
        heap = GlobalAlloc(GHND, 65536);
        TarnSelectUi("quiet", nullptr);
        DoDaDllInit(0, ctx, 0, 1, 0, "bench", nullptr);
        DoDaDllInit(0, ctx, vars, 2, variables, nullptr, nullptr);
        DoDaDllInit(0, ctx, heap, 3, 65536, nullptr, nullptr);
    }
    ~Host() {
        DoDaDllInit(0, ctx, 0, 99, 0, nullptr, nullptr);
        GlobalFree(heap);
        GlobalFree(vars);
        GlobalFree(ctx);
    }
    void Run(const std::string& text) {
        const TarnHandle h = GlobalAlloc(GHND, text.size() + 1);
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        ProcessDaBatBuffer(0, ctx, h, nullptr, nullptr);
        GlobalFree(h);
    }
    TarnHandle ctx, vars, heap;
};

void BM_AddLoop(benchmark::State& state) {
    Host host;
    const std::string n = std::to_string(state.range(0));
    const std::string text = "t = 0\ni = 0\nwhile i < " + n + "\n  t = t + i\n  i = i + 1\nendwhile\n";
    for (auto _ : state) host.Run(text);
    state.counters["statements/s"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * 4 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AddLoop)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StringLoop(benchmark::State& state) {
    Host host;
    const std::string n = std::to_string(state.range(0));
    const std::string text = "s = \"\"\nx = \"x\"\ni = 0\nwhile i < " + n +
                             "\n  s = \"%s%%x%\"\n  if i mod 200 == 0 then s = \"\"\n  i = i + 1\nendwhile\n";
    for (auto _ : state) host.Run(text);
    state.counters["statements/s"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * 5 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StringLoop)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Expression(benchmark::State& state) {
    Host host;
    const std::string text = "x = (1 + 2 * 3 - 4 / 2) ** 2 mod 7 + sqrt(16.0) * @pi\n";
    for (auto _ : state) host.Run(text);
}
BENCHMARK(BM_Expression);

// A script loop that takes every item of an n-item list in turn ("a,a,...";
// the string heap of 64 KB bounds n, so the list is dropped after each
// run). Linear when the time per item stays flat as n grows.
void BM_ItemLoop(benchmark::State& state) {
    Host host;
    const std::string n = std::to_string(state.range(0));
    const std::string text = "list = strfill(\"a,\", 2 * " + n + ")\ni = 1\nwhile i <= " + n +
                             "\n  x = itemextract(i, list, \",\")\n  i = i + 1\nendwhile\ndrop(list, x)\n";
    for (auto _ : state) host.Run(text);
    state.counters["time/item"] = benchmark::Counter(static_cast<double>(state.range(0) * state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ItemLoop)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

// j jumps back to a label behind n lines of comments. A jump costs the
// same at any n when (time at j = 10000 - time at j = 1) stays flat; the
// time at j = 1 is reading the comments once.
void BM_FarJump(benchmark::State& state) {
    Host host;
    std::string text;
    for (std::int64_t i = 0; i < state.range(0); ++i) text += "; a line of filler\n";
    text += "n = 0\n:top\nn = n + 1\nif n < " + std::to_string(state.range(1)) + " then goto top\n";
    for (auto _ : state) host.Run(text);
}
BENCHMARK(BM_FarJump)
    ->ArgNames({"lines", "jumps"})
    ->ArgsProduct({{0, 10000, 100000}, {1, 10000}})
    ->Unit(benchmark::kMillisecond);

// The adding loop after n other variables were made: the same time at any
// n when finding a variable does not read the ones before it.
void BM_AddLoopAfterVariables(benchmark::State& state) {
    Host host(4000);
    std::string text;
    for (std::int64_t i = 0; i < state.range(0); ++i) text += "other" + std::to_string(i) + " = 1\n";
    text += "t = 0\ni = 0\nwhile i < 100000\n  t = t + i\n  i = i + 1\nendwhile\n";
    for (auto _ : state) host.Run(text);
}
BENCHMARK(BM_AddLoopAfterVariables)->Arg(0)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
