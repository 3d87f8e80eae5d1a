#include "syllable.h"

#include <algorithm>

#include "replace_all.h"
#include "syllable_scan.h"

namespace vrayu {
namespace {

constexpr VowelKeyRule kVowelKeys[] = {
    {"aa", "A", 0},     {"a'", "A", 0},      {"ea", "I", 0},       {"ee", "I", 0},       {"ii", "I", 0},
    {"i'", "I", 0},     {"ia", "I", 0},      {"u", "au", 0},       {"uu", "aU", 0},      {"oo", "aU", 0},
    {"u'", "aU", 0},    {"ua", "aU", 0},     {"U", "aU", 0},       {"\xE0", "a", 224},   {"\xE0u", "a", 224},
    {"\xE1", "a", 225}, {"\xE1U", "a", 225}, {"\xE1uu", "a", 225}, {"\xE1oo", "a", 225}, {"\xE1ua", "a", 225},
    {"ae", "E", 0},     {"e'", "E", 0},      {"ai", "\xDE", 0},    {"ei", "\xDE", 0},    {"oa", "O", 0},
    {"oe", "O", 0},     {"o'", "O", 0},      {"ou", "\xDF", 0},    {"au", "\xDF", 0},    {"ow", "\xDF", 0},
};

// A vowel text of up to seven bytes as one number (with its size), so the
// key lookup compares numbers; longer texts have no key.
constexpr std::uint64_t PackVowels(std::string_view v) {
    if (v.size() > 7) return 0;
    std::uint64_t packed = v.size();
    for (std::size_t i = 0; i < v.size(); ++i) packed |= std::uint64_t{static_cast<std::uint8_t>(v[i])} << (8 * i + 8);
    return packed;
}

// The vowel keys by packed vowel text, for a binary search; every vowel text
// is a key at most once, so the order of kVowelKeys does not matter.
struct PackedVowelKey {
    std::uint64_t packed;
    std::size_t rule;
    constexpr bool operator<(const PackedVowelKey& other) const { return packed < other.packed; }
};
constexpr auto kPackedVowelKeys = [] {
    std::array<PackedVowelKey, std::size(kVowelKeys)> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = {PackVowels(kVowelKeys[i].vowels), i};
    std::sort(keys.begin(), keys.end());
    return keys;
}();
static_assert(std::adjacent_find(kPackedVowelKeys.begin(), kPackedVowelKeys.end(), [](const auto& a, const auto& b) {
                  return a.packed == b.packed;
              }) == kPackedVowelKeys.end());

// o-vowels of m and y are drawn as the e-sign plus the u-sign or the A-sign.
constexpr std::pair<std::string_view, std::string_view> kMYOVowels[] = {
    {"mo", "meu"}, {"mO", "meA"}, {"yo", "yeu"}, {"yO", "yeA"},
    {"Mo", "Meu"}, {"MO", "MeA"}, {"Yo", "Yeu"}, {"YO", "YeA"},
};

constexpr CodeSet kVowelsOfSplit("aAeEiIoOuU", code::kAi, code::kVisarga);
constexpr CodeSet kMYHeads("MmyY");
constexpr CodeSet kLongAHeads("JGmy");                      // a and A stand apart after these
constexpr CodeSet kNoInherentSignHeads("bKjTNlR\xE7\xE8");  // \xE7, \xE8: "~m", "~n"
constexpr CodeSet kAltUHeads("wWfFpPvV");
static_assert(kNoInherentSignHeads.Has(code::kNga) && kNoInherentSignHeads.Has(code::kNya));

bool IsVowelOfSplit(std::uint8_t c) { return kVowelsOfSplit.Has(c); }

// The aspirate that a consonant followed by "h" merges into, or 0.
std::int16_t MergedAspirate(std::int16_t c) {
    switch (c) {
        case 'k':
        case 'K': return 'K';
        case 'g':
        case 'G': return 'G';
        case 'c':
        case 'C': return c;
        case 'j':
        case 'J': return 'J';
        case 'T': return 'q';
        case 'D': return 'Z';
        case 't': return 'Q';
        case 'd': return 'z';
        case 'p':
        case 'P': return 'P';
        case 'b':
        case 'B': return 'B';
        case 's':
        case 'S': return 'X';
        default: return 0;
    }
}

char GlyphChar(std::int16_t glyph) { return static_cast<char>(static_cast<std::uint8_t>(glyph)); }

}  // namespace

std::span<const VowelKeyRule> VowelKeyRules() { return kVowelKeys; }

SyllableAnalysis AnalyzeSyllable(std::string_view s) {
    SyllableAnalysis a;
    for (char ch : s) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (IsVowelOfSplit(c)) {
            a.vowels.push_back(ch);
        } else {
            if (a.consonantCount < kMaxConsonants) a.consonants[a.consonantCount] = c;
            ++a.consonantCount;
        }
    }

    std::uint8_t trailing = 0;
    if (!a.vowels.empty()) {
        const auto last = static_cast<std::uint8_t>(a.vowels.back());
        if (last == code::kAnusvara || last == code::kVisarga) {
            trailing = last;
            a.vowels.pop_back();
        }
    }
    if (const std::uint64_t packed = PackVowels(a.vowels)) {
        const auto* key = std::lower_bound(kPackedVowelKeys.begin(), kPackedVowelKeys.end(), PackedVowelKey{packed, 0});
        if (key != kPackedVowelKeys.end() && key->packed == packed) {
            a.vowels = kVowelKeys[key->rule].key;
            a.extraSign = kVowelKeys[key->rule].extraSign;
        }
    }
    if (trailing) a.vowels.push_back(static_cast<char>(trailing));
    if (a.vowels.find_first_not_of(' ') == std::string::npos)
        a.vowels = std::string(1, static_cast<char>(code::kVirama));

    // Slots behind the consonants seen are empty.
    const int filled = std::min(a.consonantCount, kMaxConsonants);
    for (int j = 1; j < filled; ++j) {
        if (a.consonants[j] != 'h' && a.consonants[j] != 'H') continue;
        if (const std::int16_t merged = MergedAspirate(a.consonants[j - 1])) {
            a.consonants[j - 1] = merged;
            a.consonants[j] = 0;
        }
    }
    return a;
}

std::string ConvertSyllable(std::string_view syllable, const GlyphTables& tables, std::string_view face) {
    std::string_view s = TrimSpaces(syllable);
    if (s.empty()) return {};
    if (s == "m" || s == "M") return std::string(1, GlyphChar(tables.SignGlyph[code::kAnusvara]));
    if (s.size() == 1 && static_cast<std::uint8_t>(s[0]) == code::kVocalicR)
        return std::string(1, GlyphChar(tables.BaseGlyph[code::kVocalicR]));
    if (s.size() == 1 && static_cast<std::uint8_t>(s[0]) == code::kVocalicRR)
        return std::string(1, GlyphChar(tables.BaseGlyph[code::kVocalicRR]));
    std::string rewritten;  // the syllable with the o-vowels of m and y drawn
    if (kMYHeads.Has(static_cast<std::uint8_t>(s[0])) && s.find_first_of("oO") != std::string_view::npos) {
        rewritten = s;  // every find text ends in an o
        for (const auto& [find, replacement] : kMYOVowels) rewritten = ReplaceAll(rewritten, find, replacement);
        s = rewritten;
    }

    SyllableAnalysis a = AnalyzeSyllable(s);
    std::string& vowels = a.vowels;
    std::string out;

    if (a.consonants[0] < 1) {
        // Independent vowel.
        out.push_back(GlyphChar(tables.BaseGlyph[static_cast<std::uint8_t>(vowels.back())]));
    } else {
        std::int16_t head = a.consonants[0];
        if (kLongAHeads.Has(head)) {
            if (vowels == "A") {
                vowels = "a";
                vowels.push_back(face == kVrayuFace ? '\xA0' : ' ');
                vowels.push_back('A');
            }
        } else if (kNoInherentSignHeads.Has(head)) {
            if (!vowels.empty() && vowels[0] == 'a') vowels[0] = ' ';
        } else if (kAltUHeads.Has(head)) {
            if (auto u = vowels.find('u'); u != std::string::npos) vowels[u] = '\xDC';
            if (auto U = vowels.find('U'); U != std::string::npos) vowels[U] = '\xDD';
        }

        if (vowels == "o" || vowels == "O" || vowels == "A" || vowels == "\xDF") {
            switch (head) {
                case 's': head = code::kAltS; break;
                case 'p': head = code::kAltP; break;
                case 'P':
                case 'F':
                case 'f': head = code::kAltPh; break;
                case 'X': head = code::kAltSh; break;
                default: break;
            }
        }
        if (vowels == "A" && (head == 'H' || head == 'h')) {
            head = code::kHA;
            vowels = "a";
        }
        if (head == 'Y' || head == 'y') {
            if (vowels == "i") vowels.clear();
            else if (vowels == "I")
                vowels =
                    "\xA0"
                    "A";
        }

        out.push_back(GlyphChar(tables.BaseGlyph[head]));
        for (char v : TrimSpaces(vowels)) out.push_back(GlyphChar(tables.SignGlyph[static_cast<std::uint8_t>(v)]));
    }

    for (int j = 1; j < std::min(a.consonantCount, kMaxConsonants); ++j) {
        if (a.consonants[j] > 0) out.push_back(GlyphChar(tables.SignGlyph[a.consonants[j]]));
    }
    if (a.extraSign) out.push_back(GlyphChar(tables.SignGlyph[a.extraSign]));
    const std::string_view kept = TrimSpaces(out);
    if (kept.size() != out.size()) return std::string(kept);
    return out;
}

}  // namespace vrayu
