#include "program_topic.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace vrayu::conversation {

bool ProgramTopic::Execute(std::string_view command) { return Run("execute", command, {}).has_value(); }

std::optional<std::string> ProgramTopic::Request(std::string_view item) { return Run("request", item, {}); }

bool ProgramTopic::Poke(std::string_view item, std::string_view data) { return Run("poke", item, data).has_value(); }

std::optional<std::string> ProgramTopic::Run(const char* verb, std::string_view arg, std::string_view input) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return std::nullopt;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::string verb_arg(verb), item(arg), topic_env = "TARN_DDE_TOPIC=" + topic_;
    std::vector<char*> argv = {program_.data(), verb_arg.data(), item.data(), nullptr};
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).substr(0, 15) != "TARN_DDE_TOPIC=") envp.push_back(*e);
    envp.push_back(topic_env.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program_.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        return std::nullopt;
    }
    // Feed the input and collect the output together, so that neither pipe
    // can fill up while the other is waited on.
    std::string output;
    int to_child = in[1];
    if (input.empty()) {
        ::close(to_child);
        to_child = -1;
    } else {
        ::fcntl(to_child, F_SETFL, O_NONBLOCK);
    }
    for (;;) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {to_child, POLLOUT, 0}};
        if (::poll(fds, to_child >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (to_child >= 0 && fds[1].revents) {
            const ssize_t n = ::write(to_child, input.data(), input.size());
            if (n > 0) input.remove_prefix(static_cast<std::size_t>(n));
            if (n < 0 || input.empty()) {
                ::close(to_child);
                to_child = -1;
            }
        }
        if (fds[0].revents) {
            char buf[4096];
            const ssize_t n = ::read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            output.append(buf, static_cast<std::size_t>(n));
        }
    }
    if (to_child >= 0) ::close(to_child);
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return output;
}

}  // namespace vrayu::conversation
