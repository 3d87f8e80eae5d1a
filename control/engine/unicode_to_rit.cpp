#include "unicode_to_rit.h"

#include <cstdint>
#include <vector>

#include "syllable_scan.h"
#include "unicode.h"

namespace vrayu {
namespace {

enum class Kind : std::uint8_t { Consonant, Vowel, Sign, Anusvara, Visarga, Raw };

// Each Telugu character this form can type and its spelling. Consonants are
// spelled as a reader of RIT expects ("kh", "Th", "Sh"); the syllable rules
// merge the "h" back. A vowel and its sign share the spelling.
struct Spelling {
    char32_t c;
    Kind kind;
    std::string_view rit;
};
constexpr Spelling kSpellings[] = {
    {U'\u0C15', Kind::Consonant, "k"},  {U'\u0C16', Kind::Consonant, "kh"}, {U'\u0C17', Kind::Consonant, "g"},
    {U'\u0C18', Kind::Consonant, "gh"}, {U'\u0C19', Kind::Consonant, "~m"}, {U'\u0C1A', Kind::Consonant, "c"},
    {U'\u0C1B', Kind::Consonant, "C"},  {U'\u0C1C', Kind::Consonant, "j"},  {U'\u0C1D', Kind::Consonant, "jh"},
    {U'\u0C1E', Kind::Consonant, "~n"}, {U'\u0C1F', Kind::Consonant, "T"},  {U'\u0C20', Kind::Consonant, "Th"},
    {U'\u0C21', Kind::Consonant, "D"},  {U'\u0C22', Kind::Consonant, "Dh"}, {U'\u0C23', Kind::Consonant, "N"},
    {U'\u0C24', Kind::Consonant, "t"},  {U'\u0C25', Kind::Consonant, "th"}, {U'\u0C26', Kind::Consonant, "d"},
    {U'\u0C27', Kind::Consonant, "dh"}, {U'\u0C28', Kind::Consonant, "n"},  {U'\u0C2A', Kind::Consonant, "p"},
    {U'\u0C2B', Kind::Consonant, "ph"}, {U'\u0C2C', Kind::Consonant, "b"},  {U'\u0C2D', Kind::Consonant, "bh"},
    {U'\u0C2E', Kind::Consonant, "m"},  {U'\u0C2F', Kind::Consonant, "y"},  {U'\u0C30', Kind::Consonant, "r"},
    {U'\u0C31', Kind::Consonant, "~r"}, {U'\u0C32', Kind::Consonant, "l"},  {U'\u0C33', Kind::Consonant, "L"},
    {U'\u0C35', Kind::Consonant, "v"},  {U'\u0C36', Kind::Consonant, "S"},  {U'\u0C37', Kind::Consonant, "Sh"},
    {U'\u0C38', Kind::Consonant, "s"},  {U'\u0C39', Kind::Consonant, "h"},  {U'\u0C05', Kind::Vowel, "a"},
    {U'\u0C06', Kind::Vowel, "A"},      {U'\u0C07', Kind::Vowel, "i"},      {U'\u0C08', Kind::Vowel, "I"},
    {U'\u0C09', Kind::Vowel, "u"},      {U'\u0C0A', Kind::Vowel, "U"},      {U'\u0C0B', Kind::Vowel, "R"},
    {U'\u0C60', Kind::Vowel, "RU"},     {U'\u0C0C', Kind::Vowel, "~l"},     {U'\u0C61', Kind::Vowel, "~L"},
    {U'\u0C0E', Kind::Vowel, "e"},      {U'\u0C0F', Kind::Vowel, "E"},      {U'\u0C10', Kind::Vowel, "ai"},
    {U'\u0C12', Kind::Vowel, "o"},      {U'\u0C13', Kind::Vowel, "O"},      {U'\u0C14', Kind::Vowel, "au"},
    {U'\u0C3E', Kind::Sign, "A"},       {U'\u0C3F', Kind::Sign, "i"},       {U'\u0C40', Kind::Sign, "I"},
    {U'\u0C41', Kind::Sign, "u"},       {U'\u0C42', Kind::Sign, "U"},       {U'\u0C43', Kind::Sign, "R"},
    {U'\u0C44', Kind::Sign, "RU"},      {U'\u0C62', Kind::Sign, "~l"},      {U'\u0C63', Kind::Sign, "~L"},
    {U'\u0C46', Kind::Sign, "e"},       {U'\u0C47', Kind::Sign, "E"},       {U'\u0C48', Kind::Sign, "ai"},
    {U'\u0C4A', Kind::Sign, "o"},       {U'\u0C4B', Kind::Sign, "O"},       {U'\u0C4C', Kind::Sign, "au"},
    {U'\u0C02', Kind::Anusvara, "M"},   {U'\u0C03', Kind::Visarga, "@h"},   {U'\u0C01', Kind::Raw, "@M"},
    {U'\u0C5D', Kind::Raw, "@N"},       {U'\u0C3D', Kind::Raw, "@2"},
};

const Spelling* Find(char32_t c) {
    for (const Spelling& s : kSpellings)
        if (s.c == c) return &s;
    return nullptr;
}

constexpr char32_t kZwnj = U'\u200C', kZwj = U'\u200D';

bool IsTelugu(char32_t c) { return c >= 0x0C00 && c <= 0x0C7F; }

std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<std::uint8_t>(s[i]);
        const std::size_t extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
        char32_t c = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : b & 0x1Fu;
        bool ok = extra > 0 && i + extra < s.size();
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            const auto t = static_cast<std::uint8_t>(s[i + k]);
            if ((t & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (t & 0x3Fu);
        }
        const char32_t least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;
        if (ok && (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            out.push_back(b);  // ASCII, or a stray byte read as ISO-8859-1
            ++i;
        } else {
            out.push_back(c);
            i += extra + 1;
        }
    }
    return out;
}

// The last letters of consonant spellings after which a typed "h" merges into
// an aspirate instead of standing as its own consonant.
constexpr std::string_view kMergesWithH = "kKgGcCjJTDtdpPbBsS";

// ASCII that the romanization would read: letters and the marks of its
// replacement rules.
bool IsRitSignificant(char32_t c) {
    return c < 0x80 &&
           (IsLetter(static_cast<std::uint8_t>(c)) || c == '^' || c == '\'' || c == '&' || c == '~' || c == '@');
}

// What the syllable scan holds after the text written so far.
enum class After : std::uint8_t {
    Nothing,    // start, or a non-letter: a new syllable begins
    Vowel,      // a syllable ending in a vowel or the visarga
    Consonant,  // a consonant without vowel, still open for more consonants
    Nasal,      // the anusvara written as a lone "M"
};

class Writer {
public:
    explicit Writer(const std::u32string& in) : in_(in) {}

    RitText Run() {
        while (i_ < in_.size()) Step();
        return {std::move(out_), inexact_};
    }

private:
    void Step() {
        const char32_t c = in_[i_];
        const Spelling* s = Find(c);
        if (!s) {
            ++i_;
            if (c == kZwnj || c == kZwj) {
                ++inexact_;  // joiners have no spelling; the shape rules decide
                return;
            }
            if (c >= U'\u0C66' && c <= U'\u0C6F') {
                ++inexact_;  // Telugu digits are typed as ASCII digits
                out_.push_back(static_cast<char>('0' + (c - U'\u0C66')));
                after_ = After::Nothing;
                return;
            }
            if (IsTelugu(c)) ++inexact_;  // no spelling: kept as it is
            after_ = After::Nothing;
            if (c == '#') {
                out_ += "##";
                return;
            }
            if (IsRitSignificant(c)) {
                // English among the Telugu stays English: a "#" run.
                out_ += '#';
                out_.push_back(static_cast<char>(c));
                while (i_ < in_.size() && IsRitSignificant(in_[i_])) out_.push_back(static_cast<char>(in_[i_++]));
                out_ += '#';
                return;
            }
            AppendUtf8(out_, c);
            return;
        }
        switch (s->kind) {
            case Kind::Consonant: Syllable(); return;
            case Kind::Vowel:
                ++i_;
                if (after_ != After::Nothing) ++inexact_;  // would join the letters before
                out_ += s->rit;
                Marks();
                after_ = After::Vowel;
                return;
            case Kind::Anusvara:
                ++i_;
                if (after_ == After::Consonant || after_ == After::Nasal) ++inexact_;
                out_ += s->rit;
                after_ = after_ == After::Consonant ? After::Consonant : After::Nasal;
                return;
            case Kind::Visarga:
                ++i_;
                if (after_ == After::Consonant || after_ == After::Nasal) ++inexact_;
                out_ += s->rit;
                after_ = After::Vowel;
                return;
            case Kind::Raw:
                ++i_;
                out_ += s->rit;
                after_ = After::Nothing;
                return;
            case Kind::Sign:
                ++i_;  // a vowel sign with no consonant: kept as it is
                ++inexact_;
                AppendUtf8(out_, c);
                after_ = After::Nothing;
                return;
        }
    }

    // A consonant cluster (consonants joined by the virama), then its vowel
    // sign, the inherent vowel, or a final virama.
    void Syllable() {
        std::vector<std::string_view> cluster;
        cluster.push_back(Find(in_[i_++])->rit);
        bool dead = false;
        while (i_ < in_.size() && in_[i_] == kTeluguVirama) {
            const Spelling* next = i_ + 1 < in_.size() ? Find(in_[i_ + 1]) : nullptr;
            if (!next || next->kind != Kind::Consonant) {
                dead = true;
                ++i_;
                break;
            }
            cluster.push_back(next->rit);
            i_ += 2;
        }
        const auto first = static_cast<std::uint8_t>(cluster[0][0]);
        if (after_ == After::Consonant) ++inexact_;                             // would join the open consonants
        if (after_ == After::Nasal && !IsAnusvaraConsonant(first)) ++inexact_;  // the "M" joins them
        std::size_t letters = 0;
        for (std::size_t k = 0; k < cluster.size(); ++k) {
            if (k > 0 && cluster[k] == "h" && kMergesWithH.find(cluster[k - 1].back()) != std::string_view::npos)
                ++inexact_;  // "h" after this consonant is read as its aspirate
            letters += cluster[k][0] == '~' ? 1 : cluster[k].size();
        }
        if (letters > 10) ++inexact_;  // a syllable keeps ten consonant letters
        if (dead && cluster.size() == 1 && cluster[0] == "m") {
            out_ += "m'";  // a lone "m" is the anusvara; "m'" is the dead m
            after_ = After::Nothing;
            return;
        }
        for (std::size_t k = 0; k < cluster.size(); ++k) {
            out_ += cluster[k];
            // A lone nasal before these consonants would be the anusvara.
            if (k == 0 && cluster.size() > 1 && cluster[0].size() == 1 && IsNasalLetter(first) &&
                IsAnusvaraConsonant(static_cast<std::uint8_t>(cluster[1][0])))
                out_ += '&';
        }
        if (dead) {
            after_ = After::Consonant;
            return;
        }
        const Spelling* sign = i_ < in_.size() ? Find(in_[i_]) : nullptr;
        if (sign && sign->kind == Kind::Sign) {
            out_ += sign->rit;
            ++i_;
        } else {
            out_ += 'a';
        }
        Marks();
        after_ = After::Vowel;
    }

    // A second vowel sign after a syllable's vowel has no spelling of its own.
    void Marks() {
        while (i_ < in_.size()) {
            const Spelling* s = Find(in_[i_]);
            if (!s || s->kind != Kind::Sign) return;
            ++inexact_;
            AppendUtf8(out_, in_[i_++]);
        }
    }

    const std::u32string& in_;
    std::size_t i_ = 0;
    std::string out_;
    int inexact_ = 0;
    After after_ = After::Nothing;
};

constexpr UntypeableRow kUntypeable[] = {
    {"anusvara before y, r, ~r, m, n, N, ~m, ~n or a vowel", "\u0C38\u0C02\u0C2F\u0C4B\u0C17\u0C02",
     "saMyOgaM (reads back as \u0C38\u0C2E\u0C4D\u0C2F\u0C4B\u0C17\u0C02)"},
    {"a vowel letter straight after a syllable", "\u0C15\u0C07", "kai (reads back as \u0C15\u0C48)"},
    {"h as a second consonant after k, g, c, j, T, D, t, d, p, b, s, S", "\u0C38\u0C4D\u0C39",
     "sha (reads back as \u0C37)"},
    {"more than ten consonant letters in one syllable", "", "only the first ten are kept"},
    {"Telugu digits", "\u0C67\u0C68", "12"},
    {"zero-width joiners", "\u0C15\u0C4D\u200C", "k"},
    {"other Telugu characters (length marks, archaic letters, fractions)", "\u0C58", "\u0C58 (kept as it is)"},
};

}  // namespace

RitText RitFromUnicode(std::string_view utf8) {
    const std::u32string in = DecodeUtf8(utf8);
    return Writer(in).Run();
}

std::span<const UntypeableRow> UntypeableRows() { return kUntypeable; }

}  // namespace vrayu
