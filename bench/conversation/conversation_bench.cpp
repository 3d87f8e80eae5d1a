// Request round trips against tarn-dde-serve through the interpreter's
// client. Needs a session bus: run it as
//   dbus-run-session -- build/bin/conversation_bench
// It starts its own tarn-dde-serve (from the program directory) with a
// folder topic in a temporary folder.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "functions/logic/conversations.h"
#include "names.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct ServeFixture {
    pid_t pid = 0;
    fs::path dir;
    tarn::dde::Conversations conv;
    int channel = 0;

    ServeFixture() {
        dir = fs::temp_directory_path() / ("tarn-dde-bench." + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "small") << "svAgatam";
        std::ofstream(dir / "large") << std::string(60000, 'a');
        const std::string serve = (fs::read_symlink("/proc/self/exe").parent_path() / "tarn-dde-serve").string();
        std::string folder = "Bench=" + dir.string();
        const char* argv[] = {serve.c_str(), "--folder", folder.c_str(), "BenchServ", nullptr};
        if (posix_spawn(&pid, serve.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) std::exit(2);
        const auto bus = *vrayu::conversation::BusName("BenchServ");
        const auto path = *vrayu::conversation::TopicPath("Bench");
        for (int i = 0; i < 100 && !channel; ++i) {
            if (conv.Connect(1, bus, path, 3000)) channel = 1;
            else std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!channel) {
            std::fputs("no session bus or tarn-dde-serve did not start (run under dbus-run-session)\n", stderr);
            std::exit(2);
        }
    }
    ~ServeFixture() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        fs::remove_all(dir);
    }
};

ServeFixture& Serve() {
    static ServeFixture f;
    return f;
}

void BM_RequestRoundTrip(benchmark::State& state) {
    ServeFixture& f = Serve();
    const char* item = state.range(0) ? "large" : "small";
    for (auto _ : state) {
        const tarn::dde::Answer a = f.conv.Request(f.channel, item, 3000);
        if (a.outcome != tarn::dde::Outcome::Accepted) state.SkipWithError("request refused");
        benchmark::DoNotOptimize(a.text.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RequestRoundTrip)->Arg(0)->Arg(1)->ArgName("large");

void BM_PokeRoundTrip(benchmark::State& state) {
    ServeFixture& f = Serve();
    for (auto _ : state)
        if (f.conv.Poke(f.channel, "poked", "namaskAram", 3000) != tarn::dde::Outcome::Accepted)
            state.SkipWithError("poke refused");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PokeRoundTrip);

}  // namespace

BENCHMARK_MAIN();
