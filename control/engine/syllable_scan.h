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

// A set of byte codes, asked in one lookup: the given codes and the range
// first..last.
class CodeSet {
public:
    constexpr explicit CodeSet(std::string_view codes, std::uint8_t first = 0, std::uint8_t last = 0) {
        for (char c : codes) in_[static_cast<std::uint8_t>(c)] = true;
        for (int c = first; c != 0 && c <= last; ++c) in_[c] = true;
    }
    constexpr bool Has(std::int16_t c) const { return c > 0 && c < 256 && in_[c]; }

private:
    std::array<bool, 256> in_{};
};

inline constexpr CodeSet kLetters("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 219, 236);
inline constexpr CodeSet kVowelLetters("aAiIuUeEoO", 219, 230);
inline constexpr CodeSet kNasalLetters("nNmM");
// The consonants before which a lone nasal becomes the anusvara.
inline constexpr CodeSet kAnusvaraConsonants("kKgGcCjJTDtdpfFbBlLsSHhvxX");

constexpr bool IsVowelLetter(std::uint8_t c) { return kVowelLetters.Has(c); }
constexpr bool IsLetter(std::uint8_t c) { return kLetters.Has(c); }
constexpr bool IsNasalLetter(std::uint8_t c) { return kNasalLetters.Has(c); }
constexpr bool IsAnusvaraConsonant(std::uint8_t c) { return kAnusvaraConsonants.Has(c); }

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
