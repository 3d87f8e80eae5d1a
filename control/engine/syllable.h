// The syllable rules: one syllable of syllable codes into glyph codes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "glyph_tables.h"

namespace vrayu {

// A vowel text that the syllable rules replace by a key (and maybe an extra
// sign appended after the subjoined consonants).
struct VowelKeyRule {
    std::string_view vowels;
    std::string_view key;
    std::uint8_t extraSign;  // 0, or the vocalic r code 224/225
};
std::span<const VowelKeyRule> VowelKeyRules();

// What a syllable holds once split, keyed and merged; the part of the rules
// that does not depend on glyph shapes.
struct SyllableAnalysis {
    // Consonant codes in typed order; 0 marks an empty slot (or an "h" merged
    // into the aspirate before it). Only slots 0 to 9 are ever filled.
    std::array<std::int16_t, 11> consonants{};
    int consonantCount = 0;  // letters seen, including those beyond the tenth
    std::string vowels;      // keyed vowel text with the trailing sign put back
    std::uint8_t extraSign = 0;
};

inline constexpr int kMaxConsonants = 10;

// Splits a trimmed syllable into consonants and vowel text, keys the vowel
// text, adds the virama when there is no vowel and merges aspirates.
SyllableAnalysis AnalyzeSyllable(std::string_view syllable);

// Glyph codes of one syllable in the font whose tables and face are given;
// `face` decides the separator between a and A after J, G, m and y.
std::string ConvertSyllable(std::string_view syllable, const GlyphTables& tables, std::string_view face);

}  // namespace vrayu
