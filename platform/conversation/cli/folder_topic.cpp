#include "folder_topic.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vrayu::conversation {
namespace {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool FolderTopic::SafeItem(std::string_view item) {
    return !item.empty() && item.front() != '.' && item.find('/') == std::string_view::npos &&
           item.find('\0') == std::string_view::npos;
}

bool FolderTopic::Execute(std::string_view command) {
    if (read_only_) return false;
    const std::string path = folder_ + "/.executes";
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, std::string(command) + "\n");
    return ::close(fd) == 0 && ok;
}

std::optional<std::string> FolderTopic::Request(std::string_view item) {
    if (!SafeItem(item)) return std::nullopt;
    std::ifstream in(folder_ + "/" + std::string(item), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

bool FolderTopic::Poke(std::string_view item, std::string_view data) {
    if (read_only_ || !SafeItem(item)) return false;
    const std::string path = folder_ + "/" + std::string(item);
    std::string temp = folder_ + "/.poke.XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data) && ::fchmod(fd, 0644) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace vrayu::conversation
