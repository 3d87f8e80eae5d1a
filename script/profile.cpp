#include "profile.h"

#include <cstdlib>
#include <fstream>

namespace tarn {
namespace {

std::string Trim(std::string s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::string WindowsDirectory() {
    if (const char* d = std::getenv("TARN_WINDOWS_DIR"); d && *d) return d;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/vrayu/windows";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "/tmp") + "/.config/vrayu/windows";
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const auto close = line.find(']');
            inSection = close != std::string::npos && SameNoCase(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (SameNoCase(Trim(line.substr(0, eq)), key)) return Trim(line.substr(eq + 1));
    }
    return std::string(fallback);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int fallback) {
    const std::string v = ReadProfileString(path, section, key, "");
    if (v.empty()) return fallback;
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    return end == v.c_str() ? fallback : static_cast<int>(n);
}

}  // namespace tarn
