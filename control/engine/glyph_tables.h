// Glyph tables of the supported Telugu fonts: which 8-bit glyph code of the
// font draws a letter as a syllable head (BaseGlyph) or as a sign, subjoined
// consonant or mark (SignGlyph).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrayu {

// One table row: a syllable code and its glyphs in both fonts. Every code that
// has no row maps to itself in both tables of both fonts.
struct GlyphTableRow {
    std::uint8_t code;
    std::int16_t vrayuBase, vrayuSign;
    std::int16_t abTeluguBase, abTeluguSign;
};

// The whole table, in code order; shared by the loaders, the tests and the
// font generator's layout check.
std::span<const GlyphTableRow> GlyphTableRows();

// Tables of the font chosen last. Entry 256 is never written and stays 0.
struct GlyphTables {
    std::array<std::int16_t, 257> BaseGlyph{};
    std::array<std::int16_t, 257> SignGlyph{};
};

void LoadVrayuTables(GlyphTables& tables);
void LoadAbTeluguTables(GlyphTables& tables);

// Face names the Telugu pane uses for the two fonts of the font list.
inline constexpr std::string_view kVrayuFace = "Vrayu";
inline constexpr std::string_view kAbTeluguListName = "abTelugu";
inline constexpr std::string_view kAbTeluguFace = "abTelgu";

// Loads the tables named by the font list text ("Vrayu" or "abTelugu") and
// sets the face name; any other text changes nothing. Returns whether a font
// was loaded.
bool SelectGlyphTables(std::string_view fontListText, GlyphTables& tables, std::string& faceName);

}  // namespace vrayu
