#include "replace_all.h"

namespace vrayu {

bool ReplaceAllInto(std::string_view text, std::string_view find, std::string_view replacement,
                    std::string& out) {
    if (find.empty()) return false;
    std::size_t hit = text.find(find);
    if (hit == std::string_view::npos) return false;
    out.clear();
    out.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 4 : 0));
    std::size_t from = 0;
    while (hit != std::string_view::npos) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
        hit = text.find(find, from);
    }
    out.append(text.substr(from));
    return true;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    std::string out;
    if (!ReplaceAllInto(text, find, replacement, out)) return std::string(text);
    return out;
}

}  // namespace vrayu
