#include "unicode_to_rit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "unicode.h"

namespace vrayu {
namespace {

std::string Back(const RitText& rit) { return ConvertEnglishPaneUnicode(rit.text); }

TEST(RitFromUnicode, ReadableSpellingsThatConvertBack) {
    const struct {
        const char* unicode;
        const char* rit;
    } cases[] = {
        {"స్వాగతం", "svAgataM"},
        {"తెలుగు భాష", "telugu bhASha"},
        {"కృష్ణ", "kRShNa"},
        {"అంత న్త మ్య", "aMta n&ta mya"},  // "&" keeps a nasal before t in the cluster
        {"రామ్ రాం", "rAm' rAM"},           // dead m is "m'": a lone m is the anusvara
        {"అఆఇ", "aAi"},                  // inexact: vowels after a vowel join
        {"కః ఋ ౠ ఌ కౄ", "ka@h R RU ~l kRU"},
        {"ఙ ఞ ఱ్ఱ ఁ ౝ ఽ", "~ma ~na ~r~ra @M @N @2"},
    };
    for (const auto& c : cases) {
        const RitText rit = RitFromUnicode(c.unicode);
        EXPECT_EQ(rit.text, c.rit) << c.unicode;
        if (rit.inexact == 0) {
            EXPECT_EQ(Back(rit), c.unicode) << c.rit;
        }
    }
    // English stays English ("#" runs); other text passes through.
    const RitText mixed = RitFromUnicode("Vrayu తో, 12! #");
    EXPECT_EQ(mixed.text, "#Vrayu# tO, 12! ##");
    EXPECT_EQ(Back(mixed), "Vrayu తో, 12! #");
    EXPECT_EQ(RitFromUnicode("\u00E9\u20AC").text, "\u00E9\u20AC");
    EXPECT_EQ(RitFromUnicode("అఆఇ").inexact, 2);
    // A stray byte that is not UTF-8 is kept as its ISO-8859-1 character.
    EXPECT_EQ(RitFromUnicode("a\xE9"
                             "b")
                  .text,
              "#a#\u00E9#b#");
}

// Every Unicode word of the peer corpus: where nothing is reported inexact,
// the romanization converts back to the same word; nearly all words qualify.
TEST(RitFromUnicode, CorpusWordsRoundTrip) {
    std::ifstream corpus(PEER_CORPUS);
    ASSERT_TRUE(corpus) << PEER_CORPUS;
    std::string line;
    int words = 0, exact = 0;
    while (std::getline(corpus, line)) {
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        const std::string word = line.substr(tab + 1);
        const RitText rit = RitFromUnicode(word);
        ++words;
        if (rit.inexact > 0) continue;
        ++exact;
        EXPECT_EQ(Back(rit), word) << rit.text;
    }
    EXPECT_GT(words, 1000);
    EXPECT_GE(exact * 100, words * 97) << exact << " of " << words;
}

// Random text of Unicode syllables: consonant clusters with signs, vowels,
// anusvara, visarga, virama, spaces. Exact where not reported inexact, and
// the report is honest the other way too (it never counts what came back).
TEST(RitFromUnicode, RandomSyllablesRoundTrip) {
    std::vector<char32_t> consonants, vowels, signs;
    for (char32_t c = 0x0C15; c <= 0x0C39; ++c)
        if (c != 0x0C29 && c != 0x0C34) consonants.push_back(c);
    for (char32_t c : {0x0C05, 0x0C06, 0x0C07, 0x0C08, 0x0C09, 0x0C0A, 0x0C0B, 0x0C0C, 0x0C0E, 0x0C0F, 0x0C10, 0x0C12,
                       0x0C13, 0x0C14, 0x0C60, 0x0C61})
        vowels.push_back(c);
    for (char32_t c : {0x0C3E, 0x0C3F, 0x0C40, 0x0C41, 0x0C42, 0x0C43, 0x0C44, 0x0C46, 0x0C47, 0x0C48, 0x0C4A, 0x0C4B,
                       0x0C4C, 0x0C62, 0x0C63})
        signs.push_back(c);
    std::mt19937 rng(11);
    auto pick = [&](const std::vector<char32_t>& v) { return v[rng() % v.size()]; };
    int exact = 0, inexactButSame = 0;
    constexpr int kTexts = 3000;
    for (int n = 0; n < kTexts; ++n) {
        std::string text;
        const int syllables = 1 + static_cast<int>(rng() % 4);
        for (int s = 0; s < syllables; ++s) {
            const auto shape = static_cast<unsigned>(rng() % 10);
            if (shape == 0) {
                AppendUtf8(text, pick(vowels));
            } else {
                AppendUtf8(text, pick(consonants));
                for (auto k = static_cast<unsigned>(rng() % 3); k > 0; --k) {
                    AppendUtf8(text, kTeluguVirama);
                    AppendUtf8(text, pick(consonants));
                }
                if (shape == 1) AppendUtf8(text, kTeluguVirama);
                else if (shape < 7) AppendUtf8(text, pick(signs));
            }
            const unsigned mark = rng() % 8;
            if (mark == 0) AppendUtf8(text, U'\u0C02');
            if (mark == 1) AppendUtf8(text, U'\u0C03');
            if (mark == 2) text += ' ';
        }
        const RitText rit = RitFromUnicode(text);
        if (rit.inexact == 0) {
            ++exact;
            EXPECT_EQ(Back(rit), text) << rit.text;
        } else if (Back(rit) == text) {
            ++inexactButSame;
        }
    }
    EXPECT_GT(exact, kTexts / 2);
    EXPECT_LT(inexactButSame, kTexts / 50);
}

// The table of what cannot be typed stays true: each example is reported and
// does not come back the same.
TEST(RitFromUnicode, UntypeableTableHolds) {
    for (const UntypeableRow& row : UntypeableRows()) {
        if (row.example.empty()) continue;
        const RitText rit = RitFromUnicode(row.example);
        EXPECT_GT(rit.inexact, 0) << row.what;
        EXPECT_NE(Back(rit), row.example) << row.what;
        EXPECT_EQ(std::string_view(row.writtenAs).substr(0, rit.text.size()), rit.text) << row.what;
    }
}

}  // namespace
}  // namespace vrayu
