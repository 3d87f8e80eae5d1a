#include "unicode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert.h"
#include "glyph_decoder.h"
#include "glyph_tables.h"

namespace vrayu {
namespace {

struct Case {
    const char* roman;
    const char* unicode;
};

TEST(UnicodeForm, WordsAndSyllableRules) {
    const Case cases[] = {
        {"svAgatam", "స్వాగతం"},
        {"telugu", "తెలుగు"},
        {"kRShNa", "కృష్ణ"},
        {"ka kaa ku bu pu pU", "క కా కు బు పు పూ"},
        {"kSha ksha xa kxa", "క్ష క్ష క్ష క్క్ష"},
        // Vowel keys, including the RIT spellings that share a key.
        {"kaa ka' kA kee kii kea kia ki' kI", "కా కా కా కీ కీ కీ కీ కీ కీ"},
        {"kuu koo ku' kua kU", "కూ కూ కూ కూ కూ"},
        {"kae ke' kE kai kei koa koe ko' kO kau kou kow", "కే కే కే కై కై కో కో కో కో కౌ కౌ కౌ"},
        {"kR kRu kRU k~l k~L", "కృ కృ కౄ కౢ కౣ"},
        // Independent vowels, vocalic r and l alone.
        {"a A i I u U e E ai o O au", "అ ఆ ఇ ఈ ఉ ఊ ఎ ఏ ఐ ఒ ఓ ఔ"},
        {"R Ru RU ~l ~L", "ఋ ఋ ౠ ఌ ౡ"},
        // Anusvara, "&", final nasals, virama.
        {"anta n&ta nna mya sinha ram van", "అంత న్త న్న మ్య సింహ రం వన్"},
        {"m M n k", "ం ం న్ క్"},
        // Aspirates merge; ch is c; the consonants of the letter table.
        {"kha gha jha Tha Dha tha dha pha bha sha Sha cha Cha", "ఖ ఘ ఝ ఠ ఢ థ ధ ఫ భ ష ష చ ఛ"},
        {"Ka Ga Ja Ca qa Qa Pa fa Fa Ba Xa", "ఖ ఘ ఝ ఛ ఠ థ ఫ ఫ ఫ భ ష"},
        {"~ma ~na Ta Da Na La ~ra r''a RRa", "ఙ ఞ ట డ ణ ళ ఱ ఱ ఱ్ఱ"},
        {"t'a th'a d'a dh'a dH'a n'a s'a l'a c'a", "ట ఠ డ ఢ ఢ ణ శ ళ ఛ"},
        {"za Za Sa sa ha Ha va wa Wa Va ya Ya ma Ma", "జ ఝ శ స హ హ వ వ వ స య య మ మ"},
        // The glyph-shape steps do not apply: o of m and y, y + i, hA, the
        // alternative base forms.
        {"mo mO yo yO myo mA yA yi yI hA HA hvA", "మొ మో యొ యో మ్యొ మా యా యి యీ హా హా హ్వా"},
        {"sA po pho Sho sau", "సా పొ ఫొ షొ సౌ"},
        // Visarga, and the raw codes of the replacement steps.
        {"ka@h kR@h a@h", "కః కృః అః"},
        {"m' @M @m @N @n @2", "మ్ ఁ ఁ ౝ ౝ ఽ"},
        // Non-letters keep their meaning; "^" is a space; "|" stays.
        {"ka, 12! ka^ka |", "క, 12! క క |"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertStringUnicode(c.roman), c.unicode) << c.roman;
}

TEST(UnicodeForm, ClusterKeepsTenConsonants) {
    std::string ten = "క";
    for (int i = 0; i < 9; ++i) ten += "్క";
    EXPECT_EQ(ConvertStringUnicode("kkkkkkkkkka"), ten);
    EXPECT_EQ(ConvertStringUnicode("kkkkkkkkkkkkka"), ten);
}

TEST(UnicodeForm, EnglishPaneRunsAndLatin1) {
    EXPECT_EQ(ConvertEnglishPaneUnicode("#English# lO"), "English లో");
    EXPECT_EQ(ConvertEnglishPaneUnicode("a##b #ka"), "అ#బ్ #క");
    // Kept text and non-letters are ISO-8859-1: é (0xE9) kept, ¿ (0xBF) is the
    // arasunna code of "@m" and reads as such.
    EXPECT_EQ(ConvertEnglishPaneUnicode("#caf\xE9# \xA9"), "café ©");
    EXPECT_EQ(ConvertEnglishPaneUnicode("ka\r\nka"), "క\r\nక");
}

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra > s.size() - 1) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += 1 + extra;
    }
    return true;
}

TEST(UnicodeForm, Utf8Encoding) {
    std::string out;
    for (char32_t c : {U'\x41', U'\xE9', U'\u0C15', U'\U0001F600'}) AppendUtf8(out, c);
    EXPECT_EQ(out, "Aéక\xF0\x9F\x98\x80");
    EXPECT_TRUE(IsUtf8(out));
    EXPECT_FALSE(IsUtf8("\xE0\xB0"));  // cut short
    EXPECT_FALSE(IsUtf8("\xE9"));
}

TEST(GlyphDecoder, ExactGlyphRuns) {
    struct GlyphCase {
        std::vector<int> glyphs;
        const char* unicode;
    };
    const GlyphCase cases[] = {
        {{179, 194, 237, 143, 193, 156, 193, 207}, "స్వాగతం"},
        {{165, 201, 197}, "మొ"},       // mo drawn as e + u
        {{165, 201, 194}, "మో"},       // mO drawn as e + A
        {{165, 193, 160, 194}, "మా"},  // the separator
        {{166}, "యి"},                 // bare y is yi
        {{166, 160, 194}, "యీ"},
        {{166, 207, 161, 193}, "యింప"},  // yi, then the scan's anusvara
        {{166, 208}, "యః"},
        {{246, 193, 237}, "హ్వా"},         // hA base, subjoined v
        {{163}, "బ"},                    // heads without inherent mark
        {{141, 193, 175, 199}, "క్క్షృ"},  // subjoined ksha, extra sign
        {{175, 193, 175, 193}, "క్షక్ష"},  // ksha as a base twice
        {{141, 193, 175, 207, 161, 193}, "క్క్షంప"},
        {{141, 193, 208, 199}, "కృః"},  // visarga ends the syllable
        {{141, 247, 224}, "క్త్"},
        {{165, 247, 189, 190, 191}, "మ్ౝఽఁ"},
        {{134, 248, 208, 207}, "ఋౠఃం"},
        // Not Telugu: ISO-8859-1; a stray subjoined form (233, m) keeps its virama.
        {{'a', ' ', '1', 13, 10, 160, 0xE9}, "a 1\r\n\u00A0\u0C4D\u0C2E"},
    };
    for (const GlyphCase& c : cases) {
        std::string glyphs;
        for (int g : c.glyphs) glyphs.push_back(static_cast<char>(g));
        EXPECT_EQ(DecodeVrayuGlyphs(glyphs), c.unicode) << c.unicode;
    }
}

// Romanized words built from the letters of the RIT table: a consonant cluster
// (up to three letters) and one vowel spelling per syllable, an independent
// vowel only at the start of a word, a final virama consonant or "m", and now
// and then a visarga or a mark of the replacement steps after a vowel sign.
// Left out, because the glyph codes cannot tell them apart: vocalic l (drawn
// as vocalic r), a visarga after an independent vowel (drawn without the
// vowel), vowel runs that are no RIT vowel (e + u reads as the o of m and y).
std::string RandomWords(std::mt19937& rng, int words) {
    static const std::vector<std::string> kConsonants = {
        "k",  "kh", "K",  "g",  "gh",  "G", "~m", "c",  "ch",  "C",   "c'", "Ch", "j",   "z",  "jh",  "J",  "Z",
        "~n", "T",  "t'", "Th", "th'", "D", "d'", "Dh", "dh'", "dH'", "N",  "n'", "t",   "th", "d",   "dh", "n",
        "p",  "ph", "P",  "f",  "F",   "b", "bh", "B",  "m",   "M",   "y",  "Y",  "r",   "l",  "v",   "w",  "W",
        "V",  "S",  "s'", "sh", "Sh",  "X", "s",  "h",  "H",   "L",   "l'", "~r", "r''", "x",  "ksh", "q",  "Q"};
    static const std::vector<std::string> kVowels = {
        "a", "A",  "aa", "a'", "i", "I",  "ii", "ee", "i'", "ea", "ia", "u",  "U",  "uu", "oo", "u'", "ua",
        "R", "Ru", "RU", "e",  "E", "ae", "e'", "ai", "ei", "o",  "O",  "oa", "oe", "o'", "au", "ou", "ow"};
    // Marks that the replacement steps write as raw glyph codes.
    static const std::vector<std::string> kMarks = {"m'", "@M", "@m", "@N", "@n", "@2"};
    auto pick = [&](const std::vector<std::string>& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
    };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    std::string text;
    for (int w = 0; w < words; ++w) {
        if (w) text += ' ';
        if (chance(20)) text += pick(kVowels);
        const int syllables = std::uniform_int_distribution<int>(1, 4)(rng);
        for (int s = 0; s < syllables; ++s) {
            if (chance(5)) text += chance(50) ? "n&" : "m&";  // a nasal kept in the cluster
            const int cluster = chance(70) ? 1 : chance(70) ? 2 : 3;
            for (int c = 0; c < cluster; ++c) {
                std::string consonant = pick(kConsonants);
                // "o" + "w" would be the vowel "ow" and swallow the consonant.
                while (!text.empty() && text.back() == 'o' && consonant[0] == 'w') consonant = pick(kConsonants);
                text += consonant;
            }
            text += pick(kVowels);
            if (chance(5)) text += "@h";
            if (chance(5)) text += pick(kMarks);
        }
        if (chance(15)) text += pick(kConsonants);
        else if (chance(10)) text += "m";
    }
    return text;
}

TEST(GlyphDecoder, InvertsTheEngineOnRandomWords) {
    GlyphTables tables;
    std::string face;
    ASSERT_TRUE(SelectGlyphTables("Vrayu", tables, face));
    std::mt19937 rng(20261207);
    int failures = 0;
    for (int round = 0; round < 4000 && failures < 10; ++round) {
        const std::string roman = RandomWords(rng, 5);
        const std::string decoded = DecodeVrayuGlyphs(ConvertString(roman, tables, face));
        const std::string unicode = ConvertStringUnicode(roman);
        if (decoded != unicode) {
            ++failures;
            ADD_FAILURE() << "input \"" << roman << "\"\n decoded " << decoded << "\n unicode " << unicode;
        }
    }
}

TEST(UnicodeForm, AnyBytesGiveValidUtf8) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(std::uniform_int_distribution<int>(0, 40)(rng), '\0');
        for (char& c : bytes) c = static_cast<char>(byte(rng));
        const std::string unicode = ConvertEnglishPaneUnicode(bytes);
        const std::string decoded = DecodeVrayuGlyphs(bytes);
        ASSERT_TRUE(IsUtf8(unicode)) << round;
        ASSERT_TRUE(IsUtf8(decoded)) << round;
    }
}

}  // namespace
}  // namespace vrayu
