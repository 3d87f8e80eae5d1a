// Throughput of the built-in families' hot paths: item lists, wildcard
// search, line reading and listing.
#include "functions/logic/charset.h"
#include "functions/logic/itemlist.h"
#include "functions/logic/linefile.h"
#include "functions/logic/textops.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string makeList(int n) {
    std::string list;
    for (int i = 0; i < n; ++i) list += "item" + std::to_string(i) + "\t";
    return list;
}

void BM_ItemExtractLast(benchmark::State& state) {
    std::string list = makeList(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tarn::fn::itemExtract(-1, list, "\t"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(list.size()));
}
BENCHMARK(BM_ItemExtractLast)->Arg(100)->Arg(3000);

// itemcount against strlen (a character count) on the same 10,000-item text.
void BM_ItemCount(benchmark::State& state) {
    std::string list = makeList(10000);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::fn::itemCount(list, "\t"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(list.size()));
}
BENCHMARK(BM_ItemCount);

void BM_StrLenSameText(benchmark::State& state) {
    std::string list = makeList(10000);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::fn::charCount(list));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(list.size()));
}
BENCHMARK(BM_StrLenSameText);

// Every item in turn, as a script loop over itemextract does; the time per
// item shows whether the loop stays linear.
void BM_ItemExtractEach(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string list = makeList(n);
    for (auto _ : state)
        for (long i = 1; i <= n; ++i) benchmark::DoNotOptimize(tarn::fn::itemExtract(i, list, "\t"));
    state.counters["time/item"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ItemExtractEach)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ItemSort(benchmark::State& state) {
    std::string list = makeList(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tarn::fn::itemSort(list, "\t", true));
}
BENCHMARK(BM_ItemSort)->Arg(3000);

void BM_StrWild(benchmark::State& state) {
    std::string s(255, 'a');
    s.back() = 'b';
    for (auto _ : state) benchmark::DoNotOptimize(tarn::fn::strWild(s, "a*a*a*b", 1));
}
BENCHMARK(BM_StrWild);

// Reads a 4 MB file of 80-character lines through one slot.
void BM_FileRead(benchmark::State& state) {
    std::string path = (std::filesystem::temp_directory_path() / "tarn-bench-read.txt").string();
    {
        std::ofstream out(path, std::ios::binary);
        std::string line(78, 'x');
        for (int i = 0; i < 50000; ++i) out << line << "\r\n";
    }
    std::intptr_t files[tarn::fn::kSlotCount] = {};
    std::uint8_t modes[tarn::fn::kSlotCount] = {};
    tarn::fn::FileSlots slots{files, modes};
    std::string line;
    for (auto _ : state) {
        int h;
        tarn::fn::lineOpen(slots, path, "READ", 1, 0, h);
        while (tarn::fn::lineRead(slots, h, line) == 0 && line != tarn::fn::kEofMark) {
        }
        tarn::fn::lineClose(slots, h);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 50000 * 80);
    std::remove(path.c_str());
}
BENCHMARK(BM_FileRead)->Unit(benchmark::kMillisecond);

}  // namespace
