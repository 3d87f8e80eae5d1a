#include "glyph_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace vrayu {
namespace {

TEST(GlyphTables, LoadersFillListedEntriesAndLeaveTheRestIdentity) {
    GlyphTables vrayu, ab;
    LoadVrayuTables(vrayu);
    LoadAbTeluguTables(ab);
    EXPECT_EQ(vrayu.BaseGlyph['k'], 141);
    EXPECT_EQ(vrayu.SignGlyph['k'], 209);
    EXPECT_EQ(ab.BaseGlyph['k'], 107);
    EXPECT_EQ(ab.SignGlyph['k'], 37);
    EXPECT_EQ(vrayu.BaseGlyph[235], 179);  // alternative base form of s
    EXPECT_EQ(ab.SignGlyph[230], 39);      // virama

    std::set<int> listed;
    for (const GlyphTableRow& row : GlyphTableRows()) listed.insert(row.code);
    for (int c = 0; c < 256; ++c) {
        if (listed.count(c)) continue;
        EXPECT_EQ(vrayu.BaseGlyph[c], c) << c;
        EXPECT_EQ(ab.SignGlyph[c], c) << c;
    }
    EXPECT_EQ(vrayu.BaseGlyph[256], 0);
    EXPECT_EQ(vrayu.SignGlyph[256], 0);
    EXPECT_EQ(ab.BaseGlyph[256], 0);
    EXPECT_EQ(ab.SignGlyph[256], 0);
}

TEST(GlyphTables, VrayuLettersThatShareGlyphs) {
    GlyphTables t;
    LoadVrayuTables(t);
    const std::pair<char, char> shared[] = {{'M', 'm'}, {'Y', 'y'}, {'V', 's'}, {'W', 'v'},
                                            {'w', 'v'}, {'H', 'h'}, {'F', 'P'}, {'f', 'P'}};
    for (auto [a, b] : shared) {
        EXPECT_EQ(t.BaseGlyph[a], t.BaseGlyph[b]) << a << b;
        EXPECT_EQ(t.SignGlyph[a], t.SignGlyph[b]) << a << b;
    }
    // Vocalic l reuses the vocalic r glyphs.
    EXPECT_EQ(t.BaseGlyph[226], t.BaseGlyph[224]);
    EXPECT_EQ(t.SignGlyph[227], t.SignGlyph[225]);
    // The table is sorted and every glyph is an 8-bit code.
    int previous = -1;
    for (const GlyphTableRow& row : GlyphTableRows()) {
        EXPECT_LT(previous, row.code);
        previous = row.code;
        for (int g : {row.vrayuBase, row.vrayuSign, row.abTeluguBase, row.abTeluguSign}) {
            EXPECT_GE(g, 0);
            EXPECT_LE(g, 255);
        }
    }
}

TEST(GlyphTables, SelectionByFontListName) {
    GlyphTables t;
    std::string face = "previous";
    EXPECT_FALSE(SelectGlyphTables("Arial", t, face));
    EXPECT_EQ(face, "previous");
    EXPECT_EQ(t.BaseGlyph['k'], 0);  // nothing loaded yet

    EXPECT_TRUE(SelectGlyphTables("abTelugu", t, face));
    EXPECT_EQ(face, "abTelgu");
    EXPECT_EQ(t.BaseGlyph['k'], 107);

    EXPECT_FALSE(SelectGlyphTables("abTelgu", t, face));  // the face is not a list name
    EXPECT_FALSE(SelectGlyphTables("vrayu", t, face));    // case matters
    EXPECT_EQ(face, "abTelgu");
    EXPECT_EQ(t.BaseGlyph['k'], 107);

    EXPECT_TRUE(SelectGlyphTables("Vrayu", t, face));
    EXPECT_EQ(face, "Vrayu");
    EXPECT_EQ(t.BaseGlyph['k'], 141);
}

}  // namespace
}  // namespace vrayu
