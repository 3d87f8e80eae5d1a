#include "functions/logic/system_actions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "functions/logic/launch.h"

namespace tarn::fn {
namespace {

// CTest marks the environment of every test it runs. A test that reaches
// the machine's actions there (having forgotten to replace them) is refused
// and told so, so the test suite never changes the machine it runs on.
bool RefusedUnderTests(const char* what) {
    if (!std::getenv("CTEST_INTERACTIVE_DEBUG_MODE")) return false;
    std::fprintf(stderr, "tarn: %s refused under the test runner\n", what);
    return true;
}

// The machine's own: the clock by clock_settime, the session through
// systemd-logind's tools (loginctl, systemctl) found on PATH.
class MachineActions : public SystemActions {
public:
    int SetClock(std::time_t when) override {
        if (RefusedUnderTests("setting the clock")) return EPERM;
        const timespec ts{when, 0};
        return clock_settime(CLOCK_REALTIME, &ts) == 0 ? 0 : errno;
    }

    int EndSession(SessionEnd what, bool forced) override {
        if (RefusedUnderTests("ending the session")) return EPERM;
        std::vector<std::string> argv;
        if (what == SessionEnd::LogOff) {
            argv = {"loginctl", "terminate-session"};
            if (const char* id = std::getenv("XDG_SESSION_ID"); id && *id) argv.push_back(id);
        } else {
            argv = {"systemctl", what == SessionEnd::Restart ? "reboot" : "poweroff"};
            if (forced) argv.push_back("--ignore-inhibitors");
        }
        const char* path = std::getenv("PATH");
        const std::string program = launch::SearchPath(argv[0], path ? path : "");
        if (program.empty()) return ENOENT;
        argv[0] = program;
        pid_t pid = 0;
        if (const int rc = launch::Spawn(argv, "", "", &pid)) return rc;
        const int status = launch::Wait(pid, nullptr);
        return status == 0 ? 0 : EPERM;
    }
};

std::string_view sessionEndWord(SessionEnd what) {
    switch (what) {
        case SessionEnd::LogOff: return "logoff";
        case SessionEnd::Restart: return "restart";
        case SessionEnd::PowerOff: return "poweroff";
    }
    return "";
}

// Appends what would have been done to a file; reports success.
class RecordedActions : public SystemActions {
public:
    explicit RecordedActions(std::string file) : file_(std::move(file)) {}

    int SetClock(std::time_t when) override {
        std::tm tm{};
        localtime_r(&when, &tm);
        char line[64];
        std::snprintf(line, sizeof line, "clock %04d:%02d:%02d:%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
        return Append(line);
    }

    int EndSession(SessionEnd what, bool forced) override {
        return Append(std::string(sessionEndWord(what)) + (forced ? " forced" : ""));
    }

private:
    int Append(const std::string& line) {
        FILE* f = std::fopen(file_.c_str(), "a");
        if (!f) return errno;
        std::fprintf(f, "%s\n", line.c_str());
        return std::fclose(f) == 0 ? 0 : EIO;
    }
    std::string file_;
};

class RefusedActions : public SystemActions {
public:
    int SetClock(std::time_t) override { return EPERM; }
    int EndSession(SessionEnd, bool) override { return EPERM; }
};

std::mutex g_mutex;
std::unique_ptr<SystemActions> g_actions;

std::unique_ptr<SystemActions> FromEnvironment() {
    const char* v = std::getenv("TARN_SYSTEM_ACTIONS");
    if (!v || !*v) return std::make_unique<MachineActions>();
    if (std::strncmp(v, "record:", 7) == 0 && v[7]) return std::make_unique<RecordedActions>(v + 7);
    return std::make_unique<RefusedActions>();
}

}  // namespace

SystemActions& systemActions() {
    std::lock_guard lock(g_mutex);
    if (!g_actions) g_actions = FromEnvironment();
    return *g_actions;
}

void setSystemActions(std::unique_ptr<SystemActions> actions) {
    std::lock_guard lock(g_mutex);
    g_actions = std::move(actions);
}

}  // namespace tarn::fn
