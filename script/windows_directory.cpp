#include "windows_directory.h"

#include <cstdlib>

#include "functions/logic/ini_file.h"
#include "user_dirs.h"

namespace tarn {

namespace {

// The configured folder, trusted or not.
std::string ConfiguredWindowsDirectory() {
    if (const char* d = std::getenv("TARN_WINDOWS_DIR"); d && *d) return d;
    const std::string config = vrayu::userdirs::ConfigHome();
    return config.empty() ? "" : config + "/vrayu/windows";
}

}  // namespace

std::string WindowsDirectory() {
    std::string dir = ConfiguredWindowsDirectory();
    return vrayu::userdirs::OwnedOrMissing(dir) ? dir : "";
}

std::string WindowsFile(std::string_view name) {
    const std::string dir = WindowsDirectory();
    return dir.empty() ? "" : dir + "/" + std::string(name);
}

bool PrepareWindowsDirectory() { return vrayu::userdirs::EnsurePrivateFolder(ConfiguredWindowsDirectory()); }

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback) {
    auto v = LoadIni(path).Get(section, key);
    return v ? *v : std::string(fallback);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int fallback) {
    const std::string v = ReadProfileString(path, section, key, "");
    if (v.empty()) return fallback;
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    return end == v.c_str() ? fallback : static_cast<int>(n);
}

}  // namespace tarn
