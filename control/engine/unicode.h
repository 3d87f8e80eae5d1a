// Romanized text into Unicode Telugu (UTF-8): the same analysis as the
// glyph-code conversion (replacement rules, "#" runs, syllable scan, anusvara
// and "&" rules, vowel keys, aspirate merging, ten-consonant limit) without
// the steps that only choose glyph shapes, which a Unicode renderer does.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vrayu {

// What one syllable code stands for in Unicode Telugu.
struct UnicodeLetterRow {
    std::uint8_t code;
    bool consonant;
    std::u32string_view letter;  // consonant (no virama), independent vowel or mark
    std::u32string_view sign;    // dependent vowel sign or mark; unused for consonants
};

// Every syllable code with a Telugu meaning, in code order. Where two codes
// share a glyph of "Vrayu", the decoder reads it as the row listed first.
std::span<const UnicodeLetterRow> UnicodeLetterRows();

// Raw glyph codes that replacement steps emit straight into the output.
struct RawGlyphRow {
    std::uint8_t glyph;
    std::u32string_view text;
};
std::span<const RawGlyphRow> RawGlyphRows();

inline constexpr char32_t kTeluguVirama = U'\u0C4D';

// UTF-8 helpers. Text that is not Telugu is read as ISO-8859-1 (byte b is the
// character U+00bb), the system's 8-bit code page.
void AppendUtf8(std::string& out, char32_t c);
void AppendUtf8(std::string& out, std::u32string_view text);
void AppendLatin1AsUtf8(std::string& out, std::string_view latin1);

// One syllable as the scan hands it over (it may hold spaces), in UTF-8.
std::string UnicodeSyllable(std::string_view syllable);

// Counterparts of ConvertString and ConvertEnglishPane with UTF-8 output.
// Non-letters keep their meaning as ISO-8859-1 characters, except the raw
// glyph codes of the replacement steps (RawGlyphRows).
std::string ConvertStringUnicode(std::string_view text);
std::string ConvertEnglishPaneUnicode(std::string_view english);

// ConvertStringUnicode for many runs of one conversion, keeping the words
// converted so far (see GlyphConverter).
class UnicodeConverter {
public:
    UnicodeConverter();
    ~UnicodeConverter();
    UnicodeConverter(const UnicodeConverter&) = delete;
    UnicodeConverter& operator=(const UnicodeConverter&) = delete;
    // Appends ConvertStringUnicode(text) to `out`.
    void Append(std::string_view text, std::string& out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vrayu
