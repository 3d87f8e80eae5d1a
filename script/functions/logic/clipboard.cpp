#include "functions/logic/clipboard.h"

#include "functions/logic/binary_records.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarn::fn {
namespace {

constexpr int kText = 1, kBitmapInfo = 8, kOemText = 7, kUnicodeText = 13;
constexpr std::size_t kBmpHeader = 14;
constexpr int kSelectionTimeoutMs = 5000;

// Runs xclip with `args`, feeding `input` (when given) and collecting its
// standard output. Exit status, or -1 when it could not run.
int RunXclip(const std::vector<std::string>& args, const std::string* input, std::string* output) {
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC)) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    // Without an output wanted, standard output goes to /dev/null: a putting
    // xclip forks a server that must not hold our pipe open.
    const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (output || devnull < 0) posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    else posix_spawn_file_actions_adddup2(&fa, devnull, 1);
    if (devnull >= 0) posix_spawn_file_actions_adddup2(&fa, devnull, 2);
    std::vector<char*> argv;
    std::string prog = "xclip";
    argv.push_back(prog.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, "xclip", &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    if (devnull >= 0) close(devnull);
    if (rc != 0) {
        close(in[1]);
        close(out[0]);
        return -1;
    }
    // xclip reads all its input before it writes: feed, then read.
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    if (input) {
        std::size_t done = 0;
        while (done < input->size()) {
            const ssize_t n = write(in[1], input->data() + done, input->size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }
    close(in[1]);
    sigaction(SIGPIPE, &old, nullptr);
    // A selection owner that never answers must not hang the script: the
    // whole request has kSelectionTimeoutMs, then xclip is killed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSelectionTimeoutMs);
    auto left = [&] {
        return static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                   .count()));
    };
    bool timedOut = false;
    char buf[65536];
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = poll(&p, 1, left());
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            timedOut = true;
            break;
        }
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (output) output->append(buf, static_cast<std::size_t>(n));
    }
    close(out[0]);
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, timedOut ? 0 : WNOHANG);
        if (r < 0 && errno == EINTR) continue;
        if (r != 0) break;
        if (left() == 0) {
            timedOut = true;
            kill(pid, SIGKILL);
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

std::optional<std::string> ClipTarget(int format) {
    switch (format) {
        case kText:
        case kOemText: return "STRING";
        case kUnicodeText: return "UTF8_STRING";
        case kBitmapInfo: return "image/bmp";
        default: return std::nullopt;
    }
}

ClipStatus ClipGet(int format, std::string* out) {
    const auto target = ClipTarget(format);
    if (!target) return ClipStatus::BadFormat;
    if (!HaveDisplay()) return ClipStatus::NoClipboard;
    std::string targets;
    int rc = RunXclip({"-selection", "clipboard", "-o", "-t", "TARGETS"}, nullptr, &targets);
    if (rc < 0) return ClipStatus::NoClipboard;
    // No owner: the clipboard is empty.
    if (rc != 0 || targets.empty()) return ClipStatus::Empty;
    const std::string line = "\n" + targets + "\n";
    auto offered = [&](const char* t) { return line.find("\n" + std::string(t) + "\n") != std::string::npos; };
    // Text is offered under several names: take the Unicode one when there,
    // else the Latin-1 one, and convert to the layout asked for.
    std::string source = *target;
    if (format != kBitmapInfo) {
        source = offered("UTF8_STRING") ? "UTF8_STRING" : offered("STRING") ? "STRING" : offered("TEXT") ? "TEXT" : "";
    }
    if (source.empty() || !offered(source.c_str())) return ClipStatus::NoFormat;
    std::string data;
    if (RunXclip({"-selection", "clipboard", "-o", "-t", source}, nullptr, &data) != 0) return ClipStatus::Failed;
    if (format == kBitmapInfo) {
        if (data.size() < kBmpHeader || data.compare(0, 2, "BM") != 0) return ClipStatus::Failed;
        *out = data.substr(kBmpHeader);
        return ClipStatus::Ok;
    }
    const int from = source == "UTF8_STRING" ? 3 : 0;
    const int to = format == kUnicodeText ? 2 : 0;
    if (ConvertBytes(data, from, to, 65001, 0, out) != 0) return ClipStatus::Failed;
    out->append(to == 2 ? 2 : 1, '\0');
    return ClipStatus::Ok;
}

ClipStatus ClipPut(int format, std::string_view data) {
    const auto target = ClipTarget(format);
    if (!target) return ClipStatus::BadFormat;
    if (!HaveDisplay()) return ClipStatus::NoClipboard;
    std::string bytes(data);
    if (format == kUnicodeText) {
        // UTF-16LE up to its terminating NUL, as UTF-8.
        std::size_t n = 0;
        while (n + 1 < bytes.size() && (bytes[n] || bytes[n + 1])) n += 2;
        std::string utf8;
        if (ConvertBytes(bytes.substr(0, n), 2, 3, 65001, 0, &utf8) != 0) return ClipStatus::Failed;
        bytes = utf8;
    } else if (format == kBitmapInfo) {
        if (bytes.size() < 40) return ClipStatus::Failed;
        // A BMP file is the bitmap after a 14-byte header that says where
        // the pixels start: after the info header and its colour table.
        std::uint32_t infoSize, colours = 0;
        std::uint16_t bits;
        std::memcpy(&infoSize, bytes.data(), 4);
        std::memcpy(&bits, bytes.data() + 14, 2);
        std::memcpy(&colours, bytes.data() + 32, 4);
        if (!colours && bits <= 8) colours = 1u << bits;
        std::string file(kBmpHeader, '\0');
        file[0] = 'B';
        file[1] = 'M';
        Put32(file, 2, static_cast<std::uint32_t>(kBmpHeader + bytes.size()));
        Put32(file, 10, static_cast<std::uint32_t>(kBmpHeader + infoSize + 4 * colours));
        bytes = file + bytes;
    } else {
        bytes = bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
    }
    // xclip keeps serving the selection from a background process.
    const int rc = RunXclip({"-selection", "clipboard", "-i", "-t", *target}, &bytes, nullptr);
    if (rc < 0) return ClipStatus::NoClipboard;
    return rc == 0 ? ClipStatus::Ok : ClipStatus::Failed;
}

}  // namespace tarn::fn
