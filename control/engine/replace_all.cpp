#include "replace_all.h"

#include <string.h>

namespace vrayu {
namespace {

// glibc's memmem has fast paths for short needles; string_view::find stops at
// every occurrence of the first byte, which for "a..." patterns is often.
std::size_t Find(std::string_view text, std::string_view find, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    const void* hit = memmem(text.data() + from, text.size() - from, find.data(), find.size());
    return hit ? static_cast<const char*>(hit) - text.data() : std::string_view::npos;
}

}  // namespace

bool ReplaceAllInto(std::string_view text, std::string_view find, std::string_view replacement, std::string& out) {
    if (find.empty()) return false;
    std::size_t hit = Find(text, find, 0);
    if (hit == std::string_view::npos) return false;
    out.clear();
    out.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 4 : 0));
    std::size_t from = 0;
    while (hit != std::string_view::npos) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
        hit = Find(text, find, from);
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
