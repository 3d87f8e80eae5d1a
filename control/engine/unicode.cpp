#include "unicode.h"

#include <array>

#include "convert.h"
#include "glyph_tables.h"
#include "replacement_rules.h"
#include "syllable.h"
#include "syllable_scan.h"
#include "word_runs.h"

namespace vrayu {
namespace {

// Syllable codes and what they stand for. Choices where the romanization
// leaves room:
//   "V"          s (U+0C38): both fonts draw "V" with the glyphs of s, so the
//                Unicode text reads as the Telugu pane does.
//   "x"          the cluster k + virama + ss (U+0C15 U+0C4D U+0C37).
//   219          h; only the glyph step for hA produces it, never typed.
//   220, 221     the u and U signs (the alternative shapes after p, ph, v).
//   226, 227     vocalic l and ll (U+0C0C, U+0C61; signs U+0C62, U+0C63),
//                although "Vrayu" draws them with the vocalic r glyphs.
//   228          anusvara U+0C02; 229 visarga U+0C03; 230 virama U+0C4D.
//   233 to 236   the alternative base forms of p, ph, s, ss: the letters.
//   "a"          the inherent vowel: no sign after a consonant.
// ORDER: vocalic r before vocalic l, so that a shared glyph decodes as r.
constexpr UnicodeLetterRow kRows[] = {
    {'A', false, U"\u0C06", U"\u0C3E"},
    {'B', true, U"\u0C2D", U""},
    {'C', true, U"\u0C1B", U""},
    {'D', true, U"\u0C21", U""},
    {'E', false, U"\u0C0F", U"\u0C47"},
    {'F', true, U"\u0C2B", U""},
    {'G', true, U"\u0C18", U""},
    {'H', true, U"\u0C39", U""},
    {'I', false, U"\u0C08", U"\u0C40"},
    {'J', true, U"\u0C1D", U""},
    {'K', true, U"\u0C16", U""},
    {'L', true, U"\u0C33", U""},
    {'M', true, U"\u0C2E", U""},
    {'N', true, U"\u0C23", U""},
    {'O', false, U"\u0C13", U"\u0C4B"},
    {'P', true, U"\u0C2B", U""},
    {'Q', true, U"\u0C25", U""},
    {'R', true, U"\u0C31", U""},
    {'S', true, U"\u0C36", U""},
    {'T', true, U"\u0C1F", U""},
    {'U', false, U"\u0C0A", U"\u0C42"},
    {'V', true, U"\u0C38", U""},
    {'W', true, U"\u0C35", U""},
    {'X', true, U"\u0C37", U""},
    {'Y', true, U"\u0C2F", U""},
    {'Z', true, U"\u0C22", U""},
    {'a', false, U"\u0C05", U""},
    {'b', true, U"\u0C2C", U""},
    {'c', true, U"\u0C1A", U""},
    {'d', true, U"\u0C26", U""},
    {'e', false, U"\u0C0E", U"\u0C46"},
    {'f', true, U"\u0C2B", U""},
    {'g', true, U"\u0C17", U""},
    {'h', true, U"\u0C39", U""},
    {'i', false, U"\u0C07", U"\u0C3F"},
    {'j', true, U"\u0C1C", U""},
    {'k', true, U"\u0C15", U""},
    {'l', true, U"\u0C32", U""},
    {'m', true, U"\u0C2E", U""},
    {'n', true, U"\u0C28", U""},
    {'o', false, U"\u0C12", U"\u0C4A"},
    {'p', true, U"\u0C2A", U""},
    {'q', true, U"\u0C20", U""},
    {'r', true, U"\u0C30", U""},
    {'s', true, U"\u0C38", U""},
    {'t', true, U"\u0C24", U""},
    {'u', false, U"\u0C09", U"\u0C41"},
    {'v', true, U"\u0C35", U""},
    {'w', true, U"\u0C35", U""},
    {'x', true, U"\u0C15\u0C4D\u0C37", U""},
    {'y', true, U"\u0C2F", U""},
    {'z', true, U"\u0C27", U""},
    {code::kHA, true, U"\u0C39", U""},
    {code::kAltU, false, U"\u0C09", U"\u0C41"},
    {code::kAltUU, false, U"\u0C0A", U"\u0C42"},
    {code::kAi, false, U"\u0C10", U"\u0C48"},
    {code::kAu, false, U"\u0C14", U"\u0C4C"},
    {code::kVocalicR, false, U"\u0C0B", U"\u0C43"},
    {code::kVocalicRR, false, U"\u0C60", U"\u0C44"},
    {code::kVocalicL, false, U"\u0C0C", U"\u0C62"},
    {code::kVocalicLL, false, U"\u0C61", U"\u0C63"},
    {code::kAnusvara, false, U"\u0C02", U"\u0C02"},
    {code::kVisarga, false, U"\u0C03", U"\u0C03"},
    {code::kVirama, false, U"\u0C4D", U"\u0C4D"},
    {code::kNga, true, U"\u0C19", U""},
    {code::kNya, true, U"\u0C1E", U""},
    {code::kAltP, true, U"\u0C2A", U""},
    {code::kAltPh, true, U"\u0C2B", U""},
    {code::kAltS, true, U"\u0C38", U""},
    {code::kAltSh, true, U"\u0C37", U""},
};

// Glyph codes that replacement steps 38 to 43 write into the output, and the
// letters they stand for:
//   "m'"        165 247  m with virama (U+0C2E U+0C4D), two glyphs
//   "@M", "@m"  191      arasunna, candrabindu U+0C01
//   "@N", "@n"  189      nakara pollu U+0C5D (a dead n)
//   "@2"        190      avagraha U+0C3D
constexpr RawGlyphRow kRawGlyphs[] = {
    {165, U"\u0C2E"}, {247, U"\u0C4D"}, {189, U"\u0C5D"}, {190, U"\u0C3D"}, {191, U"\u0C01"},
};

struct RowIndex {
    std::array<const UnicodeLetterRow*, 256> byCode{};
    constexpr RowIndex() {
        for (const UnicodeLetterRow& row : kRows) byCode[row.code] = &row;
    }
};
constexpr RowIndex kIndex;

const UnicodeLetterRow* Row(std::uint8_t c) { return kIndex.byCode[c]; }

// A code with no Telugu meaning keeps its ISO-8859-1 character.
void AppendLetter(std::string& out, std::uint8_t c) {
    if (const UnicodeLetterRow* row = Row(c)) AppendUtf8(out, row->letter);
    else AppendUtf8(out, static_cast<char32_t>(c));
}

void AppendSign(std::string& out, std::uint8_t c) {
    const UnicodeLetterRow* row = Row(c);
    if (row && !row->consonant) AppendUtf8(out, row->sign);
    else AppendUtf8(out, static_cast<char32_t>(c));
}

void AppendLiteral(std::string& out, std::uint8_t c) {
    for (const RawGlyphRow& raw : kRawGlyphs) {
        if (raw.glyph == c) {
            AppendUtf8(out, raw.text);
            return;
        }
    }
    AppendUtf8(out, static_cast<char32_t>(c));
}

struct UnicodeSink {
    std::string& out;
    void Syllable(std::string_view s) { out += UnicodeSyllable(s); }
    void Literal(char c) { AppendLiteral(out, static_cast<std::uint8_t>(c)); }
    void Anusvara() { AppendSign(out, code::kAnusvara); }
};

}  // namespace

// The Unicode form of ConvertByWords, with its word cache.
struct UnicodeConverter::State {
    WordCache words;
    void ConvertWord(std::string_view word, std::string& out) {
        UnicodeSink sink{out};
        ScanSyllables(ApplyReplacementRules(word, kVrayuFace), sink);
    }
    static void Separators(std::string_view run, std::string& out) {
        for (char c : run) AppendLiteral(out, static_cast<std::uint8_t>(c));
    }
};

UnicodeConverter::UnicodeConverter() : state_(std::make_unique<State>()) {}
UnicodeConverter::~UnicodeConverter() = default;

void UnicodeConverter::Append(std::string_view text, std::string& out) {
    ConvertByWords(text, *state_, state_->words, out);
}

std::span<const UnicodeLetterRow> UnicodeLetterRows() { return kRows; }
std::span<const RawGlyphRow> RawGlyphRows() { return kRawGlyphs; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf8(std::string& out, std::u32string_view text) {
    for (char32_t c : text) AppendUtf8(out, c);
}

void AppendLatin1AsUtf8(std::string& out, std::string_view latin1) {
    for (char c : latin1) AppendUtf8(out, static_cast<char32_t>(static_cast<std::uint8_t>(c)));
}

// Unicode order within a syllable: head consonant, virama + consonant for each
// subjoined one, the vowel signs as keyed, the vocalic r sign that a key adds,
// and last the anusvara or visarga typed at the end of the vowels.
std::string UnicodeSyllable(std::string_view syllable) {
    const std::string_view s = TrimSpaces(syllable);
    std::string out;
    if (s.empty()) return out;
    if (s == "m" || s == "M") {
        AppendSign(out, code::kAnusvara);
        return out;
    }
    if (s.size() == 1 &&
        (static_cast<std::uint8_t>(s[0]) == code::kVocalicR || static_cast<std::uint8_t>(s[0]) == code::kVocalicRR)) {
        AppendLetter(out, static_cast<std::uint8_t>(s[0]));
        return out;
    }

    SyllableAnalysis a = AnalyzeSyllable(s);
    std::string& vowels = a.vowels;
    std::uint8_t trailing = 0;
    if (!vowels.empty()) {
        const auto last = static_cast<std::uint8_t>(vowels.back());
        if (last == code::kAnusvara || last == code::kVisarga) {
            trailing = last;
            vowels.pop_back();
        }
    }

    if (a.consonants[0] < 1) {
        // Independent vowel: the vowel the glyph form shows (the last one
        // typed); a key that stands for vocalic r gives the vocalic r letter.
        if (a.extraSign) AppendLetter(out, a.extraSign);
        else if (!vowels.empty()) AppendLetter(out, static_cast<std::uint8_t>(vowels.back()));
    } else {
        AppendLetter(out, static_cast<std::uint8_t>(a.consonants[0]));
        for (int j = 1; j < kMaxConsonants; ++j) {
            if (a.consonants[j] <= 0) continue;
            AppendUtf8(out, kTeluguVirama);
            AppendLetter(out, static_cast<std::uint8_t>(a.consonants[j]));
        }
        for (char v : vowels) {
            if (v != ' ') AppendSign(out, static_cast<std::uint8_t>(v));
        }
        if (a.extraSign) AppendSign(out, a.extraSign);
    }
    if (trailing) AppendSign(out, trailing);
    return out;
}

std::string ConvertStringUnicode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    UnicodeConverter().Append(text, out);
    return out;
}

std::string ConvertEnglishPaneUnicode(std::string_view english) {
    std::string out;
    out.reserve(english.size() * 3);
    UnicodeConverter converter;
    AppendWithLiteralRuns(
        english, out, [&](std::string& o, std::string_view run) { converter.Append(run, o); },
        [](std::string& o, std::string_view run) { AppendLatin1AsUtf8(o, run); });
    return out;
}

}  // namespace vrayu
