// The registry store before and after the databases, side by side in one
// run: the earlier text store (every read re-parses the root's file, every
// write rewrites and flushes it) and the SQLite store, on roots of 2,000 and
// 20,000 keys; the SQLite store also from 1,000 to 100,000 keys to show the
// cost of one operation does not grow with the store.
//   build/bin/registry_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "registry_store.h"
#include "text_store_baseline.h"

namespace fs = std::filesystem;
namespace now = vrayu::registry;
namespace old = vrayu::registry_baseline;

namespace {

constexpr const char* kParent = "Software\\Bench";
constexpr int kTreeKeys = 100;  // keys in the tree one delete removes

std::string KeyName(std::int64_t i) { return std::string(kParent) + "\\K" + std::to_string(i); }

fs::path FreshDir() {
    char tmpl[] = "/tmp/registry-bench-XXXXXX";
    return mkdtemp(tmpl);
}

// A store of `n` keys under kParent, each with one string value "v", filled
// in one edit (the same contents for both stores).
template <class Store, class Hive, class Value>
Store Filled(const fs::path& dir, std::int64_t n) {
    Store store(dir);
    store.Update(Store::Root::CurrentUser, [&](Hive& h) {
        for (std::int64_t i = 0; i < n; ++i) {
            h.CreateKey(KeyName(i));
            h.SetValue(KeyName(i), "v", Value::String("value number " + std::to_string(i)));
        }
        return decltype(h.CreateKey(""))::Ok;
    });
    return store;
}

}  // namespace

// Both stores spell their types the same way; this gives the templates one name.
namespace vrayu::registry {
struct NewStore : Store {
    using Store::Store;
    using Root = registry::Root;
};
}  // namespace vrayu::registry
namespace vrayu::registry_baseline {
struct OldStore : Store {
    using Store::Store;
    using Root = registry_baseline::Root;
};
}  // namespace vrayu::registry_baseline

namespace {

template <class S, class H, class V>
void Write(benchmark::State& state) {
    const fs::path dir = FreshDir();
    auto store = Filled<S, H, V>(dir, state.range(0));
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto n = static_cast<std::uint32_t>(i);
        benchmark::DoNotOptimize(
            store.WriteValue(S::Root::CurrentUser, KeyName(i++ % state.range(0)), "w", V::DWord(n)));
    }
    state.SetItemsProcessed(state.iterations());
    fs::remove_all(dir);
}

template <class S, class H, class V>
void Read(benchmark::State& state) {
    const fs::path dir = FreshDir();
    auto store = Filled<S, H, V>(dir, state.range(0));
    std::int64_t i = 0;
    for (auto _ : state) {
        auto v = store.ReadValue(S::Root::CurrentUser, KeyName((i++ * 7919) % state.range(0)), "v");
        if (!v) state.SkipWithError("value missing");
        benchmark::DoNotOptimize(v);
    }
    state.SetItemsProcessed(state.iterations());
    fs::remove_all(dir);
}

// Lists every subkey of the parent: one pass over all of them.
template <class S, class H, class V>
void Enumerate(benchmark::State& state) {
    const fs::path dir = FreshDir();
    auto store = Filled<S, H, V>(dir, state.range(0));
    for (auto _ : state) {
        auto names = store.SubKeys(S::Root::CurrentUser, kParent);
        if (static_cast<std::int64_t>(names.size()) != state.range(0)) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(names);
    }
    fs::remove_all(dir);
}

// Deletes a tree of kTreeKeys keys from a store of range(0) keys.
template <class S, class H, class V>
void DeleteTree(benchmark::State& state) {
    const fs::path dir = FreshDir();
    auto store = Filled<S, H, V>(dir, state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        store.Update(S::Root::CurrentUser, [&](H& h) {
            for (int k = 0; k < kTreeKeys; ++k) h.CreateKey("Software\\Tree\\Sub" + std::to_string(k) + "\\Leaf");
            return decltype(h.CreateKey(""))::Ok;
        });
        state.ResumeTiming();
        const auto status = store.DeleteTree(S::Root::CurrentUser, "Software\\Tree");
        if (status != decltype(status)::Ok) state.SkipWithError("delete failed");
    }
    fs::remove_all(dir);
}

using N = vrayu::registry::NewStore;
using O = vrayu::registry_baseline::OldStore;

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(2000)->Arg(20000)->UseRealTime()->Unit(benchmark::kMicrosecond);
}
void Flat(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

BENCHMARK(Write<O, old::Hive, old::Value>)->Name("text_store/write")->Apply(Sizes)->Iterations(30);
BENCHMARK(Write<N, now::Hive, now::Value>)->Name("sqlite_store/write")->Apply(Sizes);
BENCHMARK(Read<O, old::Hive, old::Value>)->Name("text_store/read")->Apply(Sizes)->Iterations(30);
BENCHMARK(Read<N, now::Hive, now::Value>)->Name("sqlite_store/read")->Apply(Sizes);
BENCHMARK(Enumerate<O, old::Hive, old::Value>)->Name("text_store/enumerate")->Apply(Sizes)->Iterations(10);
BENCHMARK(Enumerate<N, now::Hive, now::Value>)->Name("sqlite_store/enumerate")->Apply(Sizes);
BENCHMARK(DeleteTree<O, old::Hive, old::Value>)->Name("text_store/delete_tree")->Apply(Sizes)->Iterations(10);
BENCHMARK(DeleteTree<N, now::Hive, now::Value>)->Name("sqlite_store/delete_tree")->Apply(Sizes);
BENCHMARK(Write<N, now::Hive, now::Value>)->Name("sqlite_store/write_flat")->Apply(Flat);
BENCHMARK(Read<N, now::Hive, now::Value>)->Name("sqlite_store/read_flat")->Apply(Flat);

}  // namespace

BENCHMARK_MAIN();
