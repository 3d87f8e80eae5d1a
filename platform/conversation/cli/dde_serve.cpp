// tarn-dde-serve: offers conversation topics on the session bus for scripts
// (and for tests). See docs/conversations.md.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "folder_topic.h"
#include "program_topic.h"
#include "server.h"

using namespace vrayu::conversation;

namespace {

constexpr char kUsage[] =
    "usage: tarn-dde-serve [options] SERVICE\n"
    "  --folder TOPIC=DIR      items of TOPIC are the files of DIR (request reads,\n"
    "                          poke replaces, execute appends to DIR/.executes)\n"
    "  --program TOPIC=PROG    TOPIC is answered by PROG execute|request|poke ARG\n"
    "  --read-only             folder topics refuse pokes and executes\n"
    "  --delay MS              wait MS milliseconds before answering a transaction\n"
    "  --ready                 print \"ready\" once the service is offered\n";

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

// Waits before each transaction of the topic it wraps (slow servers in tests).
class DelayedTopic : public Topic {
public:
    DelayedTopic(std::shared_ptr<Topic> inner, int ms) : inner_(std::move(inner)), ms_(ms) {}
    bool Execute(std::string_view command) override { return Wait(), inner_->Execute(command); }
    std::optional<std::string> Request(std::string_view item) override { return Wait(), inner_->Request(item); }
    bool Poke(std::string_view item, std::string_view data) override { return Wait(), inner_->Poke(item, data); }

private:
    void Wait() const { std::this_thread::sleep_for(std::chrono::milliseconds(ms_)); }
    std::shared_ptr<Topic> inner_;
    int ms_;
};

struct TopicSpec {
    std::string name;
    std::shared_ptr<Topic> topic;
};

bool SplitSpec(const char* arg, std::string* name, std::string* value) {
    const char* eq = std::strchr(arg, '=');
    if (!eq || eq == arg || !eq[1]) return false;
    name->assign(arg, static_cast<std::size_t>(eq - arg));
    value->assign(eq + 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string service;
    bool read_only = false, ready = false;
    int delay = 0;
    std::vector<std::pair<std::string, std::string>> folders, programs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        std::string name, value;
        const bool has_next = i + 1 < argc;
        if (a == "--read-only") {
            read_only = true;
        } else if (a == "--ready") {
            ready = true;
        } else if (a == "--delay" && has_next) {
            delay = std::atoi(argv[++i]);
        } else if ((a == "--folder" || a == "--program") && has_next && SplitSpec(argv[++i], &name, &value)) {
            (a == "--folder" ? folders : programs).emplace_back(name, value);
        } else if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a.empty() || a[0] == '-' || !service.empty()) {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            service = a;
        }
    }
    if (service.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string error;
    std::unique_ptr<Server> server = Server::Start(service, &error);
    if (!server) {
        std::fprintf(stderr, "tarn-dde-serve: %s\n", error.c_str());
        return 1;
    }
    auto add = [&](const std::string& name, std::shared_ptr<Topic> topic) {
        if (delay > 0) topic = std::make_shared<DelayedTopic>(std::move(topic), delay);
        if (!server->AddTopic(name, std::move(topic))) {
            std::fprintf(stderr, "tarn-dde-serve: topic name \"%s\" is longer than 255 bytes\n", name.c_str());
            std::exit(2);
        }
    };
    for (const auto& [name, dir] : folders) add(name, std::make_shared<FolderTopic>(dir, read_only));
    for (const auto& [name, program] : programs) add(name, std::make_shared<ProgramTopic>(name, program));

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    if (ready) {
        std::puts("ready");
        std::fflush(stdout);
    }
    while (!g_stop)
        if (!server->Run(std::chrono::milliseconds(500))) {
            std::fputs("tarn-dde-serve: the session bus is gone\n", stderr);
            return 1;
        }
    return 0;
}
