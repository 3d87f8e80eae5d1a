// Text entering the English pane (typed, pasted, dropped, opened): the pane
// holds ISO-8859-1 romanized text, so typographic punctuation becomes its
// plain form and Unicode Telugu becomes its romanization. Whatever still
// lies outside ISO-8859-1 is left for the save to report.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vrayu {

struct PunctuationRow {
    char32_t typographic;
    std::string_view plain;
};
// “ ” „ → ", ‘ ’ ‚ → ', – → -, — → --, … → ... and their kin.
std::span<const PunctuationRow> PunctuationRows();

// UTF-8 in and out. `inexact` (optional) receives the count of Telugu places
// the romanization cannot type exactly.
std::string EnglishEntryText(std::string_view utf8, int* inexact = nullptr);

}  // namespace vrayu
