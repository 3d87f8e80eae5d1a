// "Vrayu" glyph-code text (the Telugu pane, a .tel export) into Unicode
// Telugu, so documents written as glyph codes convert too.
#pragma once

#include <string>
#include <string_view>

namespace vrayu {

// Decodes glyph codes of the font "Vrayu" into UTF-8. Each syllable the
// engine writes (base, vowel signs, subjoined consonants, extra sign) becomes
// its Unicode letters; the glyph-shape forms (o of m and y drawn as e + u or
// e + A, the separator 160, the y + i forms, hA, the alternative base forms)
// are undone. Codes that are no Telugu glyph stay as ISO-8859-1 characters.
//
// Glyphs that two letters share decode as one of them: vocalic l as vocalic
// r, "V" as s, "M"/"Y"/"W"/"F" as m/y/v/ph. A visarga after an independent
// vowel ("a@h") is written by the engine without the vowel, and decodes so.
std::string DecodeVrayuGlyphs(std::string_view glyphs);

}  // namespace vrayu
