#include "english_entry.h"

#include <cstdint>

#include "unicode.h"
#include "unicode_to_rit.h"

namespace vrayu {
namespace {

constexpr PunctuationRow kPunctuation[] = {
    {U'\u201C', "\""}, {U'\u201D', "\""}, {U'\u201E', "\""},  {U'\u201F', "\""}, {U'\u2033', "\""},
    {U'\u2018', "'"},  {U'\u2019', "'"},  {U'\u201A', "'"},   {U'\u201B', "'"},  {U'\u2032', "'"},
    {U'\u2010', "-"},  {U'\u2011', "-"},  {U'\u2012', "-"},   {U'\u2013', "-"},  {U'\u2212', "-"},
    {U'\u2014', "--"}, {U'\u2015', "--"}, {U'\u2026', "..."}, {U'\u2022', "*"},  {U'\u2002', " "},
    {U'\u2003', " "},  {U'\u2009', " "},  {U'\u202F', " "},   {U'\u2028', "\n"}, {U'\u2029', "\r\n"},
};

// Length of the UTF-8 sequence at `i` and its character (a stray byte: 1, itself).
std::size_t Next(std::string_view s, std::size_t i, char32_t& c) {
    const auto b = static_cast<std::uint8_t>(s[i]);
    const std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    c = b;
    if (n == 1 || i + n > s.size()) return 1;
    char32_t v = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<std::uint8_t>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 1;
        v = (v << 6) | (t & 0x3F);
    }
    c = v;
    return n;
}

}  // namespace

std::span<const PunctuationRow> PunctuationRows() { return kPunctuation; }

std::string EnglishEntryText(std::string_view utf8, int* inexact) {
    std::string plain;
    plain.reserve(utf8.size());
    bool telugu = false;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = Next(utf8, i, c);
        const PunctuationRow* row = nullptr;
        if (c >= 0x2000)
            for (const PunctuationRow& r : kPunctuation)
                if (r.typographic == c) row = &r;
        if (row) plain += row->plain;
        else plain.append(utf8.substr(i, n));
        telugu = telugu || (c >= 0x0C00 && c <= 0x0C7F);
        i += n;
    }
    if (inexact) *inexact = 0;
    if (!telugu) return plain;
    RitText rit = RitFromUnicode(plain);
    if (inexact) *inexact = rit.inexact;
    return std::move(rit.text);
}

}  // namespace vrayu
