#include "functions/logic/launch.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

#include "registry_access.h"

extern char** environ;

namespace tarn::launch {

namespace {

constexpr std::string_view kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::mutex detached_mutex;
std::vector<pid_t> detached;

void CollectDetached() {
    std::lock_guard lock(detached_mutex);
    std::erase_if(detached, [](pid_t p) { return waitpid(p, nullptr, WNOHANG) != 0; });
}

}  // namespace

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        std::string word;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
            const char q = text[i];
            if (q == '"' || q == '\'') {
                const std::size_t close = text.find(q, i + 1);
                const std::size_t end = close == std::string_view::npos ? text.size() : close;
                word.append(text.substr(i + 1, end - i - 1));
                i = close == std::string_view::npos ? text.size() : close + 1;
            } else {
                word.push_back(text[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool LookUpAppPath(std::string_view name, AppPath* out) {
    vrayu::registry::RootFlags machine;
    machine.localMachine = true;
    for (const std::string& key :
         {std::string(kAppPaths) + std::string(name), std::string(kAppPaths) + std::string(name) + ".EXE"}) {
        if (!vrayu::registry::KeyExists(key, machine)) continue;
        std::string program = vrayu::registry::ReadStringValue(key, "", machine);
        if (program.empty()) continue;
        // The value may be written quoted, as a command line would be.
        if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
            program = program.substr(1, program.size() - 2);
        out->program = program;
        out->path = vrayu::registry::ReadStringValue(key, "Path", machine);
        return true;
    }
    return false;
}

std::string SearchPath(std::string_view name, std::string_view path_variable) {
    std::size_t start = 0;
    while (start <= path_variable.size()) {
        std::size_t end = path_variable.find(':', start);
        if (end == std::string_view::npos) end = path_variable.size();
        std::string dir(path_variable.substr(start, end - start));
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + std::string(name);
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return "";
}

std::vector<std::string> AssociatedCommand(std::string_view file, std::string_view parameters, std::string_view verb) {
    const std::size_t slash = file.find_last_of('/');
    const std::size_t dot = file.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    const std::string ext(file.substr(dot));
    vrayu::registry::RootFlags classes;
    classes.classesRoot = true;
    const std::string tail = "\\shell\\" + std::string(verb) + "\\command";
    std::string command;
    const std::string cls = vrayu::registry::ReadStringValue(ext, "", classes);
    if (!cls.empty()) command = vrayu::registry::ReadStringValue(cls + tail, "", classes);
    if (command.empty()) command = vrayu::registry::ReadStringValue(ext + tail, "", classes);
    // The command is split before the file goes in, so nothing in the
    // file's name can end a word or start another.
    std::vector<std::string> argv = SplitWords(command);
    if (argv.empty()) return {};
    bool placed = false;
    for (std::string& word : argv)
        for (std::size_t at = word.find("%1"); at != std::string::npos; at = word.find("%1", at + file.size())) {
            word.replace(at, 2, file);
            placed = true;
        }
    if (!placed) argv.emplace_back(file);
    for (std::string& w : SplitWords(parameters)) argv.push_back(std::move(w));
    return argv;
}

int Spawn(const std::vector<std::string>& argv, std::string_view directory, std::string_view path_prefix, pid_t* pid) {
    CollectDetached();
    if (argv.empty() || argv[0].empty()) return ENOENT;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // The environment of the child: ours, with PATH extended when asked.
    std::vector<std::string> env_strings;
    for (char** e = environ; e && *e; ++e) {
        std::string_view v(*e);
        if (!path_prefix.empty() && v.substr(0, 5) == "PATH=") continue;
        env_strings.emplace_back(v);
    }
    if (!path_prefix.empty()) {
        const char* old = std::getenv("PATH");
        env_strings.push_back("PATH=" + std::string(path_prefix) + (old && *old ? ":" + std::string(old) : ""));
    }
    std::vector<char*> env;
    for (std::string& e : env_strings) env.push_back(e.data());
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string dir(directory);
    if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    const int rc = posix_spawn(pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

int Wait(pid_t pid, const volatile unsigned char* stop) {
    auto pause = std::chrono::milliseconds(2);
    while (true) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            continue;
        }
        if (r < 0 && errno != EINTR) return -1;
        if (stop && *stop) {
            Detach(pid);
            return -1;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(500));
    }
}

void Detach(pid_t pid) {
    {
        std::lock_guard lock(detached_mutex);
        detached.push_back(pid);
    }
    CollectDetached();
}

}  // namespace tarn::launch
