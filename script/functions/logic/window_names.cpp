#include "functions/logic/window_names.h"

#include <cstdio>

namespace tarn::fn {

std::string windowIdText(std::uint32_t handle) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%s%08X", kWindowIdPrefix.data(), handle);
    return buf;
}

std::optional<std::uint32_t> parseWindowId(std::string_view name) {
    if (name.size() != kWindowIdPrefix.size() + 8 || !name.starts_with(kWindowIdPrefix)) return std::nullopt;
    std::uint32_t v = 0;
    for (char ch : name.substr(kWindowIdPrefix.size())) {
        unsigned d;
        if (ch >= '0' && ch <= '9') d = static_cast<unsigned>(ch - '0');
        else if (ch >= 'A' && ch <= 'F') d = static_cast<unsigned>(ch - 'A' + 10);
        else if (ch >= 'a' && ch <= 'f') d = static_cast<unsigned>(ch - 'a' + 10);
        else return std::nullopt;
        v = v << 4 | d;
    }
    return v;
}

bool titleMatches(std::string_view name, std::string_view title) {
    if (title.empty() || title == "WinOldAp" || name.empty()) return false;
    if (name.size() >= 2 && name.front() == '~') {
        std::string_view rest = name.substr(1);
        if (rest.back() == '~') return title.ends_with(rest.substr(0, rest.size() - 1));
        return title.find(rest) != std::string_view::npos;
    }
    if (name.size() >= 2 && name.back() == '~') return title == name.substr(0, name.size() - 1);
    return title.starts_with(name);
}

}  // namespace tarn::fn
