// Cutting rewritten romanized text into syllables: a run of consonant letters
// followed by a run of vowel letters. Shared by every output form of the
// engine, so glyph codes and Unicode agree on where syllables fall.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrayu {

// Internal syllable codes that the replacement rules and syllable rules use
// beside the letters of the romanization.
namespace code {
inline constexpr std::uint8_t kHA = 219;  // h with long A, special base form
inline constexpr std::uint8_t kAltU = 220;
inline constexpr std::uint8_t kAltUU = 221;
inline constexpr std::uint8_t kAi = 222;
inline constexpr std::uint8_t kAu = 223;
inline constexpr std::uint8_t kVocalicR = 224;
inline constexpr std::uint8_t kVocalicRR = 225;
inline constexpr std::uint8_t kVocalicL = 226;
inline constexpr std::uint8_t kVocalicLL = 227;
inline constexpr std::uint8_t kAnusvara = 228;
inline constexpr std::uint8_t kVisarga = 229;
inline constexpr std::uint8_t kVirama = 230;
inline constexpr std::uint8_t kNga = 231;  // typed "~m"
inline constexpr std::uint8_t kNya = 232;  // typed "~n"
inline constexpr std::uint8_t kAltP = 233;
inline constexpr std::uint8_t kAltPh = 234;
inline constexpr std::uint8_t kAltS = 235;
inline constexpr std::uint8_t kAltSh = 236;
}  // namespace code

// What the scan asks of a byte, one table lookup per question.
namespace letter_class {
inline constexpr std::uint8_t kLetter = 1, kVowel = 2, kNasal = 4, kAnusvaraConsonant = 8;

inline constexpr std::array<std::uint8_t, 256> kTable = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 219 && c <= 236)) t[c] |= kLetter;
        if (std::string_view("aAiIuUeEoO").find(static_cast<char>(c)) != std::string_view::npos ||
            (c >= 219 && c <= 230))
            t[c] |= kVowel;
        if (std::string_view("nNmM").find(static_cast<char>(c)) != std::string_view::npos) t[c] |= kNasal;
        // The consonants before which a lone nasal becomes the anusvara.
        if (std::string_view("kKgGcCjJTDtdpfFbBlLsSHhvxX").find(static_cast<char>(c)) != std::string_view::npos)
            t[c] |= kAnusvaraConsonant;
    }
    return t;
}();
}  // namespace letter_class

constexpr bool IsVowelLetter(std::uint8_t c) { return letter_class::kTable[c] & letter_class::kVowel; }
constexpr bool IsLetter(std::uint8_t c) { return letter_class::kTable[c] & letter_class::kLetter; }
constexpr bool IsNasalLetter(std::uint8_t c) { return letter_class::kTable[c] & letter_class::kNasal; }
constexpr bool IsAnusvaraConsonant(std::uint8_t c) {
    return letter_class::kTable[c] & letter_class::kAnusvaraConsonant;
}

// Text with leading and trailing spaces (only spaces) removed.
constexpr std::string_view TrimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Scans rewritten text and reports to `sink`:
//   sink.Syllable(pending)  a syllable for the syllable rules (may hold spaces)
//   sink.Literal(c)         a non-letter copied through
//   sink.Anusvara()         a lone nasal before an anusvara consonant
template <class Sink>
void ScanSyllables(std::string_view text, Sink& sink) {
    std::string pending;
    bool vowelSeen = false;
    for (char ch : text) {
        auto c = static_cast<std::uint8_t>(ch);
        if (IsVowelLetter(c)) {
            vowelSeen = true;
        } else {
            if (vowelSeen || !IsLetter(c)) {
                if (pending.size() == 1 && c == '&') {
                    if (IsNasalLetter(static_cast<std::uint8_t>(pending[0]))) vowelSeen = false;
                } else {
                    sink.Syllable(std::string_view(pending));
                    vowelSeen = false;
                    pending.clear();
                    if (!IsLetter(c)) {
                        sink.Literal(static_cast<char>(c));
                        continue;
                    }
                }
            }
            if (pending.size() == 1 && IsNasalLetter(static_cast<std::uint8_t>(pending[0]))) {
                if (IsAnusvaraConsonant(c)) {
                    sink.Anusvara();
                    pending.clear();
                } else if (c == '&') {
                    c = ' ';
                }
            }
        }
        // Only a nasal's "&" puts a space into a syllable; it is dropped here.
        if (!pending.empty() && (pending.back() == ' ' || pending.front() == ' '))
            pending = std::string(TrimSpaces(pending));
        pending.push_back(static_cast<char>(c));
    }
    if (!TrimSpaces(pending).empty()) sink.Syllable(std::string_view(pending));
}

}  // namespace vrayu
