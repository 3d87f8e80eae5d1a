#include "converter_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>

namespace vrayu::converter {

std::optional<Arguments> ParseArguments(int argc, char** argv, const char* program, bool acceptsQuality) {
    Arguments args;
    bool haveInput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (acceptsQuality && arg == "-quality" && i + 1 < argc) {
            const std::string value = argv[++i];
            int q = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), q);
            if (ec != std::errc() || end != value.data() + value.size()) {
                Fail(program, "quality must be a whole number, not \"" + value + "\"");
                return std::nullopt;
            }
            args.quality = q;
        } else if (!arg.empty() && arg[0] != '-' && !haveInput) {
            args.input = arg;
            haveInput = true;
        } else {
            haveInput = false;
            break;
        }
    }
    if (!haveInput) {
        std::fprintf(stderr, "usage: %s %sINPUT\n", program, acceptsQuality ? "[-quality N] " : "");
        return std::nullopt;
    }
    return args;
}

void Fail(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) return std::nullopt;
    return bytes;
}

std::optional<std::string> WriteAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return "cannot create a file beside " + path + ": " + std::strerror(errno);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = std::strerror(errno);
            close(fd);
            unlink(temp.c_str());
            return "cannot write " + path + ": " + reason;
        }
        done += static_cast<size_t>(n);
    }
    // The picture is readable by everyone, as a file the user saved would be.
    fchmod(fd, 0644);
    const bool synced = fsync(fd) == 0;
    const int syncErrno = errno;
    if (close(fd) != 0 || !synced) {
        const std::string reason = std::strerror(synced ? errno : syncErrno);
        unlink(temp.c_str());
        return "cannot write " + path + ": " + reason;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        unlink(temp.c_str());
        return "cannot rename to " + path + ": " + reason;
    }
    return std::nullopt;
}

}  // namespace vrayu::converter
