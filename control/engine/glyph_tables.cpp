#include "glyph_tables.h"

namespace vrayu {
namespace {

// ORDER: ascending code. Columns: Vrayu base, Vrayu sign, abTelugu base,
// abTelugu sign.
constexpr GlyphTableRow kRows[] = {
    {'A', 129, 194, 72, 65},   {'B', 164, 232, 66, 182},  {'C', 251, 215, 67, 166},  {'D', 153, 221, 100, 171},
    {'E', 136, 202, 96, 69},   {'F', 162, 230, 80, 180},  {'G', 144, 212, 71, 164},  {'H', 255, 241, 81, 193},
    {'I', 131, 196, 88, 73},   {'J', 149, 217, 74, 168},  {'K', 142, 210, 75, 162},  {'L', 174, 242, 76, 190},
    {'M', 165, 233, 59, 59},   {'N', 155, 223, 78, 173},  {'O', 139, 205, 124, 79},  {'P', 162, 230, 80, 180},
    {'Q', 157, 225, 70, 175},  {'R', 176, 243, 82, 188},  {'S', 170, 238, 83, 183},  {'T', 253, 219, 116, 169},
    {'U', 133, 198, 87, 85},   {'V', 172, 240, 86, 191},  {'W', 169, 237, 118, 189}, {'X', 171, 239, 113, 192},
    {'Y', 166, 234, 121, 89},  {'Z', 154, 222, 68, 172},  {']', 137, 93, 64, 93},    {'^', 138, 94, 92, 94},
    {'a', 128, 193, 104, 97},  {'b', 163, 231, 98, 181},  {'c', 250, 214, 99, 165},  {'d', 158, 226, 122, 176},
    {'e', 135, 201, 91, 101},  {'f', 162, 230, 80, 180},  {'g', 143, 211, 103, 163}, {'h', 255, 241, 81, 193},
    {'i', 130, 195, 120, 105}, {'j', 252, 216, 106, 167}, {'k', 141, 209, 107, 37},  {'l', 168, 236, 108, 187},
    {'m', 165, 233, 109, 183}, {'n', 254, 228, 110, 178}, {'o', 138, 204, 92, 111},  {'p', 161, 229, 112, 179},
    {'q', 152, 220, 84, 170},  {'r', 167, 235, 114, 36},  {'s', 172, 240, 115, 191}, {'t', 156, 224, 102, 174},
    {'u', 132, 197, 119, 117}, {'v', 169, 237, 118, 189}, {'w', 169, 237, 118, 189}, {'x', 175, 175, 38, 38},
    {'y', 166, 234, 121, 184}, {'z', 159, 227, 90, 177},  {219, 246, 246, 194, 194}, {220, 132, 244, 119, 60},
    {221, 133, 245, 87, 62},   {222, 137, 203, 64, 93},   {223, 140, 206, 124, 94},  {224, 134, 199, 197, 185},
    {225, 248, 200, 198, 185}, {226, 134, 199, 201, 201}, {227, 248, 200, 201, 201}, {228, 207, 207, 59, 59},
    {229, 208, 208, 58, 58},   {230, 247, 247, 39, 39},   {231, 249, 213, 123, 167}, {232, 150, 218, 125, 167},
    {233, 177, 229, 91, 233},  {234, 178, 230, 35, 234},  {235, 179, 240, 86, 235},  {236, 180, 239, 126, 236},
};

enum class Font { Vrayu, AbTelugu };

void Load(GlyphTables& tables, Font font) {
    for (int code = 0; code < 256; ++code) {
        tables.BaseGlyph[code] = static_cast<std::int16_t>(code);
        tables.SignGlyph[code] = static_cast<std::int16_t>(code);
    }
    for (const GlyphTableRow& row : kRows) {
        const bool vrayu = font == Font::Vrayu;
        tables.BaseGlyph[row.code] = vrayu ? row.vrayuBase : row.abTeluguBase;
        tables.SignGlyph[row.code] = vrayu ? row.vrayuSign : row.abTeluguSign;
    }
}

}  // namespace

std::span<const GlyphTableRow> GlyphTableRows() { return kRows; }

void LoadVrayuTables(GlyphTables& tables) { Load(tables, Font::Vrayu); }

void LoadAbTeluguTables(GlyphTables& tables) { Load(tables, Font::AbTelugu); }

bool SelectGlyphTables(std::string_view fontListText, GlyphTables& tables, std::string& faceName) {
    if (fontListText == kVrayuFace) {
        LoadVrayuTables(tables);
        faceName = kVrayuFace;
        return true;
    }
    if (fontListText == kAbTeluguListName) {
        LoadAbTeluguTables(tables);
        faceName = kAbTeluguFace;
        return true;
    }
    return false;
}

}  // namespace vrayu
