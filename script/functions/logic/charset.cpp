#include "functions/logic/charset.h"

#include <array>
#include <atomic>

namespace tarn::fn {
namespace {

std::array<std::atomic<bool>, 256>& leadTable() {
    static std::array<std::atomic<bool>, 256> table{};
    return table;
}

std::atomic<bool>& anyLead() {
    static std::atomic<bool> any{false};
    return any;
}

}  // namespace

bool isLeadByte(unsigned char b) { return leadTable()[b].load(std::memory_order_relaxed); }

void setLeadByteRanges(const std::vector<std::pair<unsigned char, unsigned char>>& ranges) {
    auto& t = leadTable();
    for (auto& e : t) e = false;
    for (auto [lo, hi] : ranges)
        for (int b = lo; b <= hi; ++b) t[b] = true;
    anyLead().store(!ranges.empty(), std::memory_order_relaxed);
}

bool hasLeadBytes() { return anyLead().load(std::memory_order_relaxed); }

std::vector<std::size_t> charStarts(std::string_view s) {
    std::vector<std::size_t> out;
    out.reserve(s.size() + 1);
    for (std::size_t i = 0; i < s.size(); i += charLen(s, i)) out.push_back(i);
    out.push_back(s.size());
    return out;
}

std::size_t charCount(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += charLen(s, i)) ++n;
    return n;
}

// Latin-1: a-z and 0xE0-0xFE except 0xF7 (division sign) have upper-case
// partners 0x20 below; 0xDF and 0xFF have none in the code page.
unsigned char upperByte(unsigned char b) {
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) return b - 0x20;
    return b;
}

unsigned char lowerByte(unsigned char b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return b + 0x20;
    return b;
}

static std::string mapCase(std::string_view s, unsigned char (*f)(unsigned char)) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t n = charLen(out, i);
        if (n == 1) out[i] = static_cast<char>(f(static_cast<unsigned char>(out[i])));
        i += n;
    }
    return out;
}

std::string toUpper(std::string_view s) { return mapCase(s, upperByte); }
std::string toLower(std::string_view s) { return mapCase(s, lowerByte); }

}  // namespace tarn::fn
