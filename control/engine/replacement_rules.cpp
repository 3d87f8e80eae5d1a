#include "replacement_rules.h"

#include <array>
#include <cstdint>
#include <memory>

#include "glyph_tables.h"
#include "replace_all.h"

namespace vrayu {
namespace {

using namespace std::string_view_literals;

// ORDER matters: "RR" must hide from the vocalic r rules and come back as two
// consonant "R"s; the "~r" rule runs after the "~l"/"~L"/"~m"/"~n" rules.
constexpr ReplacementRule kRules[] = {
    {"|", "!", true},      {"^", " ", false},         {"z", "j", false},     {"Z", "J", false},
    {"a'", "aa", false},   {"i'", "ee", false},       {"u'", "uu", false},   {"oo", "U", false},
    {"ai", "\xDE", false}, {"ei", "\xDE", false},     {"ou", "\xDF", false}, {"au", "\xDF", false},
    {"ow", "\xDF", false}, {"RR", "~r~r", false},     {"Ru", "\xE0", false}, {"RU", "\xE1", false},
    {"R", "\xE0", false},  {"~l", "\xE2", false},     {"~L", "\xE3", false}, {"e'", "E", false},
    {"o'", "O", false},    {"oe", "O", false},        {"oa", "O", false},    {"~m", "\xE7", false},
    {"~n", "\xE8", false}, {"c'", "C", false},        {"t'", "T", false},    {"th'", "Th", false},
    {"d'", "D", false},    {"dh'", "Dh", false},      {"dH'", "Dh", false},  {"n'", "N", false},
    {"s'", "S", false},    {"l'", "L", false},        {"ksh", "x", false},   {"~r", "R", false},
    {"r''", "R", false},   {"m'", "\xA5\xF7", false}, {"@M", "\xBF", false}, {"@m", "\xBF", false},
    {"@N", "\xBD", false}, {"@n", "\xBD", false},     {"@2", "\xBE", false}, {"@h", "\xE5", false},
};

// Which bytes and adjacent byte pairs may occur in a text. Built once from
// the text; a replacement then only adds what it can create: its own bytes
// and pairs, and any pair that ends in its first byte or starts with its last
// byte (its new neighbours). Nothing is ever removed, so "absent" is certain.
class TextPairs {
public:
    explicit TextPairs(std::string_view text) {
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        for (std::size_t i = 0; i + 1 < text.size(); ++i) AddPair(p[i], p[i + 1]);
        for (std::size_t i = 0; i < text.size(); ++i) bytes_[p[i]] = 1;
    }

    void AddReplacement(std::string_view replacement) {
        const auto* p = reinterpret_cast<const unsigned char*>(replacement.data());
        for (std::size_t i = 0; i < replacement.size(); ++i) bytes_[p[i]] = 1;
        for (std::size_t i = 0; i + 1 < replacement.size(); ++i) AddPair(p[i], p[i + 1]);
        anyBefore_[p[0]] = 1;
        anyAfter_[p[replacement.size() - 1]] = 1;
    }

    bool MayContain(std::size_t, std::string_view find) const {
        const auto* p = reinterpret_cast<const unsigned char*>(find.data());
        for (std::size_t i = 0; i < find.size(); ++i)
            if (!bytes_[p[i]]) return false;
        for (std::size_t i = 0; i + 1 < find.size(); ++i)
            if (!HasPair(p[i], p[i + 1]) && !anyAfter_[p[i]] && !anyBefore_[p[i + 1]]) return false;
        return true;
    }

private:
    // One bit per pair: 8 KB to clear for each text rather than 64 KB.
    void AddPair(unsigned a, unsigned b) { pairs_[a << 2 | b >> 6] |= std::uint64_t{1} << (b & 63); }
    bool HasPair(unsigned a, unsigned b) const { return (pairs_[a << 2 | b >> 6] >> (b & 63)) & 1; }

    std::array<unsigned char, 256> bytes_{};
    std::array<unsigned char, 256> anyBefore_{};  // (x, b) may occur for any x
    std::array<unsigned char, 256> anyAfter_{};   // (b, x) may occur for any x
    std::array<std::uint64_t, 65536 / 64> pairs_{};
};

}  // namespace

std::span<const ReplacementRule> ReplacementRules() { return kRules; }

namespace {

// Runs the rules with `Filter` telling which rules may match; a skipped rule
// could never have matched.
template <class Filter>
std::string RunRules(std::string_view text, std::string_view face, Filter& filter) {
    // Two buffers used in turn.
    std::string current(text), next;
    const bool abTelgu = face == kAbTeluguFace;
    for (std::size_t i = 0; i < std::size(kRules); ++i) {
        const ReplacementRule& rule = kRules[i];
        if (rule.abTelguOnly && !abTelgu) continue;
        if (!filter.MayContain(i, rule.find)) continue;
        if (ReplaceAllInto(current, rule.find, rule.replacement, next)) {
            current.swap(next);
            filter.AddReplacement(rule.replacement);
        }
    }
    return current;
}

// A set of bytes, 256 bits.
struct ByteSet {
    std::array<std::uint64_t, 4> bits{};
    void Add(std::string_view s) {
        for (unsigned char c : s) bits[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    bool Holds(const ByteSet& other) const {
        return ((other.bits[0] & ~bits[0]) | (other.bits[1] & ~bits[1]) | (other.bits[2] & ~bits[2]) |
                (other.bits[3] & ~bits[3])) == 0;
    }
};

// The bytes of each rule's find text, in rule order.
const std::array<ByteSet, std::size(kRules)>& FindBytes() {
    static const auto sets = [] {
        std::array<ByteSet, std::size(kRules)> s{};
        for (std::size_t i = 0; i < std::size(kRules); ++i) s[i].Add(kRules[i].find);
        return s;
    }();
    return sets;
}

// For short texts (a word): only which bytes may occur.
class TextBytes {
public:
    explicit TextBytes(std::string_view text) { bytes_.Add(text); }
    void AddReplacement(std::string_view replacement) { bytes_.Add(replacement); }
    bool MayContain(std::size_t rule, std::string_view) const { return bytes_.Holds(FindBytes()[rule]); }

private:
    ByteSet bytes_;
};

constexpr std::size_t kShortText = 256;

}  // namespace

std::string ApplyReplacementRules(std::string_view text, std::string_view face) {
    // Most rules find nothing in ordinary text, so each is first checked
    // against the bytes (and, for long texts, the byte pairs) the text may hold.
    if (text.size() <= kShortText) {
        TextBytes bytes(text);
        return RunRules(text, face, bytes);
    }
    auto pairs = std::make_unique<TextPairs>(text);
    return RunRules(text, face, *pairs);
}

}  // namespace vrayu
