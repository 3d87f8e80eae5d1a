#include "user_dirs.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrayu::userdirs {
namespace {

bool Absolute(const char* p) { return p && p[0] == '/'; }

}  // namespace

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); Absolute(home)) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return "";
    return Absolute(found->pw_dir) ? found->pw_dir : "";
}

namespace {

std::string XdgHome(const char* variable, const char* underHome) {
    if (const char* dir = std::getenv(variable); Absolute(dir)) return dir;
    const std::string home = HomeDirectory();
    return home.empty() ? "" : home + underHome;
}

}  // namespace

std::string ConfigHome() { return XdgHome("XDG_CONFIG_HOME", "/.config"); }
std::string CacheHome() { return XdgHome("XDG_CACHE_HOME", "/.cache"); }
std::string DataHome() { return XdgHome("XDG_DATA_HOME", "/.local/share"); }

bool MakeFolders(const std::string& path) {
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (at == std::string::npos) return true;
    }
}

bool EnsurePrivateFolder(const std::string& path, std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = path + ": " + reason;
        return false;
    };
    if (path.empty()) return fail("no folder (no home folder is known)");
    if (!MakeFolders(path)) return fail(std::strerror(errno));
    // A link is followed: what counts is who owns the folder it reaches.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return fail("not a folder");
    if (st.st_uid != geteuid()) return fail("owned by another user");
    return true;
}

bool OwnedOrMissing(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

}  // namespace vrayu::userdirs
