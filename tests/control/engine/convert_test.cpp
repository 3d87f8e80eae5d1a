#include "convert.h"

#include <gtest/gtest.h>

#include <vector>

#include "replace_all.h"
#include "replacement_rules.h"
#include "syllable.h"

namespace vrayu {
namespace {

std::vector<int> Codes(std::string_view s) {
    std::vector<int> v;
    for (char c : s) v.push_back(static_cast<unsigned char>(c));
    return v;
}

class ConvertTest : public ::testing::Test {
protected:
    ConvertTest() { SelectGlyphTables("Vrayu", tables, face); }
    std::vector<int> Convert(std::string_view roman) { return Codes(ConvertString(roman, tables, face)); }
    std::vector<int> Pane(std::string_view roman) { return Codes(ConvertEnglishPane(roman, 0, tables, face).text); }
    GlyphTables tables;
    std::string face;
};

TEST(ReplaceAll, ContinuesBehindEachReplacement) {
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
    EXPECT_EQ(ReplaceAll("Aa", "a", "b"), "Ab");  // case-sensitive
    EXPECT_EQ(ReplaceAll("xyz", "", "q"), "xyz");
    EXPECT_EQ(ReplaceAll("", "a", "b"), "");
}

TEST(ReplacementRules, OrderDecidesTheLetters) {
    EXPECT_EQ(ReplacementRules().size(), 44u);
    // "RR" becomes two consonant R letters; "R" alone is vocalic r.
    EXPECT_EQ(ApplyReplacementRules("RR", "Vrayu"), "RR");
    EXPECT_EQ(ApplyReplacementRules("R", "Vrayu"), "\xE0");
    EXPECT_EQ(ApplyReplacementRules("Ru RU", "Vrayu"), "\xE0 \xE1");
    EXPECT_EQ(ApplyReplacementRules("~r r''", "Vrayu"), "R R");
    EXPECT_EQ(ApplyReplacementRules("kshaa a' zZ", "Vrayu"), "xaa aa jJ");
    EXPECT_EQ(ApplyReplacementRules("th' dH' m' @h", "Vrayu"), "Th Dh \xA5\xF7 \xE5");
    EXPECT_EQ(ApplyReplacementRules("|^", "Vrayu"), "| ");
    EXPECT_EQ(ApplyReplacementRules("|^", "abTelgu"), "! ");
}

TEST_F(ConvertTest, WorkedShapes) {
    EXPECT_EQ(Convert("svAgatam"), (std::vector<int>{179, 194, 237, 143, 193, 156, 193, 207}));
    EXPECT_EQ(Convert("ka"), (std::vector<int>{141, 193}));
    EXPECT_EQ(Convert("kaa"), (std::vector<int>{141, 194}));
    EXPECT_EQ(Convert("ku"), (std::vector<int>{141, 193, 197}));
    EXPECT_EQ(Convert("bu"), (std::vector<int>{163, 197}));
    EXPECT_EQ(Convert("pu"), (std::vector<int>{161, 193, 244}));
    EXPECT_EQ(Convert("kSha"), (std::vector<int>{141, 193, 239}));
    EXPECT_EQ(Convert("kR"), (std::vector<int>{141, 193, 199}));
    EXPECT_EQ(Convert("n"), (std::vector<int>{254, 247}));
    EXPECT_EQ(Convert("a"), (std::vector<int>{128}));
    EXPECT_EQ(Convert("m"), (std::vector<int>{207}));
    EXPECT_EQ(Convert("R"), (std::vector<int>{134}));  // independent vocalic r
    EXPECT_EQ(Convert("hA"), (std::vector<int>{246, 193}));
    EXPECT_EQ(Convert("pO"), (std::vector<int>{177, 205}));  // alternative base form of p
    EXPECT_EQ(Convert("a@h"), (std::vector<int>{208}));      // visarga only
}

TEST_F(ConvertTest, NasalsAnusvaraAndAmpersand) {
    EXPECT_EQ(Convert("anta"), (std::vector<int>{128, 207, 156, 193}));
    EXPECT_EQ(Convert("n&ta"), (std::vector<int>{254, 193, 224}));
    EXPECT_EQ(Convert("nna"), (std::vector<int>{254, 193, 228}));
    EXPECT_EQ(Convert("mya"), (std::vector<int>{165, 193, 234}));
    EXPECT_EQ(Convert("sinha"), (std::vector<int>{172, 195, 207, 255, 193}));
    EXPECT_EQ(Convert("ram"), (std::vector<int>{167, 193, 207}));
    EXPECT_EQ(Convert("van"), (std::vector<int>{169, 193, 254, 247}));
}

TEST_F(ConvertTest, AspiratesMergeIntoOneLetter) {
    // kh is one of the heads that take no inherent-vowel mark.
    EXPECT_EQ(Convert("kha"), Convert("Ka"));
    EXPECT_EQ(Convert("kha"), (std::vector<int>{142}));
    EXPECT_EQ(Convert("gha"), (std::vector<int>{144, 193}));
    EXPECT_EQ(Convert("jha"), (std::vector<int>{149, 193}));
    EXPECT_EQ(Convert("Tha"), (std::vector<int>{152, 193}));
    EXPECT_EQ(Convert("Dha"), (std::vector<int>{154, 193}));
    EXPECT_EQ(Convert("tha"), (std::vector<int>{157, 193}));
    EXPECT_EQ(Convert("dha"), (std::vector<int>{159, 193}));
    EXPECT_EQ(Convert("pha"), (std::vector<int>{162, 193}));
    EXPECT_EQ(Convert("bha"), (std::vector<int>{164, 193}));
    EXPECT_EQ(Convert("sha"), (std::vector<int>{171, 193}));
    EXPECT_EQ(Convert("Sha"), Convert("sha"));
    EXPECT_EQ(Convert("cha"), Convert("ca"));
    // Subjoined aspirate: the h after the second consonant merges too.
    EXPECT_EQ(Convert("ktha"), (std::vector<int>{141, 193, 225}));
}

TEST_F(ConvertTest, HeadSpecificVowelForms) {
    EXPECT_EQ(Convert("mo"), (std::vector<int>{165, 201, 197}));
    EXPECT_EQ(Convert("mA"), (std::vector<int>{165, 193, 160, 194}));
    EXPECT_EQ(Convert("yi"), (std::vector<int>{166}));
    EXPECT_EQ(Convert("yI"), (std::vector<int>{166, 160, 194}));
    EXPECT_EQ(Convert("vU"), (std::vector<int>{169, 193, 245}));
    EXPECT_EQ(Convert("sau"), (std::vector<int>{179, 206}));
    GlyphTables ab;
    std::string abFace;
    SelectGlyphTables("abTelugu", ab, abFace);
    EXPECT_EQ(Codes(ConvertString("mA", ab, abFace)), (std::vector<int>{109, 97, 32, 65}));
    EXPECT_EQ(Codes(ConvertString("k|", ab, abFace)), (std::vector<int>{107, 39, '!'}));
}

TEST_F(ConvertTest, ClusterKeepsTenConsonants) {
    const std::vector<int> ten = Convert("kkkkkkkkkka");
    EXPECT_EQ(ten.size(), 11u);  // base, inherent mark, nine subjoined
    EXPECT_EQ(Convert("kkkkkkkkkkkkka"), ten);
    EXPECT_EQ(AnalyzeSyllable("kkkkkkkkkkkka").consonantCount, 12);
}

TEST_F(ConvertTest, NonLettersPassThrough) {
    EXPECT_EQ(Convert("ka, 12!"), (std::vector<int>{141, 193, ',', ' ', '1', '2', '!'}));
    EXPECT_EQ(Convert("ka^ka"), (std::vector<int>{141, 193, ' ', 141, 193}));
    EXPECT_EQ(Convert("|"), (std::vector<int>{'|'}));
    EXPECT_EQ(Convert("m'"), (std::vector<int>{165, 247}));
    EXPECT_EQ(Convert(""), (std::vector<int>{}));
    EXPECT_EQ(Convert("\xC0\xFF"), (std::vector<int>{0xC0, 0xFF}));
}

TEST_F(ConvertTest, EnglishPaneLiteralRuns) {
    std::vector<int> expected = Codes("English");
    for (int c : {32, 168, 205}) expected.push_back(c);
    EXPECT_EQ(Pane("#English# lO"), expected);
    EXPECT_EQ(Pane("a##b"), (std::vector<int>{128, '#', 163, 247}));
    EXPECT_EQ(Pane("ka#"), (std::vector<int>{141, 193, '#'}));
    EXPECT_EQ(Pane("#ka"), (std::vector<int>{'#', 141, 193}));
    EXPECT_EQ(Pane("##"), (std::vector<int>{'#'}));
    EXPECT_EQ(Pane("#a#b#ka"), (std::vector<int>{'a', 163, 247, '#', 141, 193}));
    EXPECT_EQ(Pane(""), (std::vector<int>{}));

    EXPECT_EQ(ConvertEnglishPane("svAgatam", 8, tables, face).caret, 8);
    EXPECT_EQ(ConvertEnglishPane("kha kha", 7, tables, face).caret, 3);  // kept within the text
}

}  // namespace
}  // namespace vrayu

namespace vrayu {
namespace {

// The rules run with shortcuts (skipping rules that cannot match); on random
// text they must give exactly what running every rule in turn gives.
TEST(ReplacementRules, ShortcutsGiveTheSameTextAsEveryRuleInTurn) {
    const std::string_view alphabet = "aAiIuUeEoOwkKgGnNmMRr~lLhH'@2^|&# zZtTdDsScCxyY";
    std::uint32_t state = 7;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = 1 + round % 40;
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            text.push_back(alphabet[(state >> 16) % alphabet.size()]);
        }
        for (std::string_view face : {"Vrayu", "abTelgu"}) {
            std::string expected = text;
            for (const ReplacementRule& rule : ReplacementRules())
                if (!rule.abTelguOnly || face == "abTelgu")
                    expected = ReplaceAll(expected, rule.find, rule.replacement);
            ASSERT_EQ(ApplyReplacementRules(text, face), expected) << text;
        }
    }
}

}  // namespace
}  // namespace vrayu
