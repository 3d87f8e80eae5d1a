#include "private_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace vrayu::registry {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buf.data(), buf.size(), &found) != 0 || !found || !found->pw_dir ||
        !*found->pw_dir)
        return {};
    return found->pw_dir;
}

namespace {

// Makes the missing folders of a path, each 0700; folders that exist are left as they are.
bool MakeFolders(const std::filesystem::path& dir) {
    struct stat st{};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT || dir == dir.parent_path() || !MakeFolders(dir.parent_path())) return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool PrivateFolder(const std::filesystem::path& dir, bool create) {
    if (dir.empty() || (create && !MakeFolders(dir))) return false;
    struct stat st{};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return (st.st_mode & 07777) == 0700 || ::chmod(dir.c_str(), 0700) == 0;
}

}  // namespace vrayu::registry
