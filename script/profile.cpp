#include "profile.h"

#include <cstdlib>

#include "ini_file.h"

namespace tarn {

std::string WindowsDirectory() {
    if (const char* d = std::getenv("TARN_WINDOWS_DIR"); d && *d) return d;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/vrayu/windows";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "/tmp") + "/.config/vrayu/windows";
}

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
