// The fast paths of the engine (conversion word by word with caches, rules
// filtered by the bytes a text may hold, the page built run by run) against
// the plain definitions: every rule in turn over the whole text, the scan
// with no cache, the page character by character.
#include "word_runs.h"

#include <gtest/gtest.h>

#include <random>

#include "convert.h"
#include "html_page.h"
#include "replace_all.h"
#include "replacement_rules.h"
#include "syllable.h"
#include "syllable_cache.h"
#include "syllable_scan.h"
#include "unicode.h"

namespace vrayu {
namespace {

std::string EveryRuleInTurn(std::string text, std::string_view face) {
    for (const ReplacementRule& rule : ReplacementRules())
        if (!rule.abTelguOnly || face == kAbTeluguFace) text = ReplaceAll(text, rule.find, rule.replacement);
    return text;
}

struct PlainGlyphSink {
    const GlyphTables& tables;
    std::string_view face;
    std::string out;
    void Syllable(std::string_view s) { out += ConvertSyllable(s, tables, face); }
    void Literal(char c) { out.push_back(c); }
    void Anusvara() { out.push_back(static_cast<char>(tables.SignGlyph[code::kAnusvara])); }
};

std::string PlainGlyphs(std::string_view text, const GlyphTables& tables, std::string_view face) {
    PlainGlyphSink sink{tables, face, {}};
    ScanSyllables(EveryRuleInTurn(std::string(text), face), sink);
    return sink.out;
}

struct PlainUnicodeSink {
    std::string out;
    void Syllable(std::string_view s) { out += UnicodeSyllable(s); }
    void Literal(char c) {
        for (const RawGlyphRow& raw : RawGlyphRows())
            if (raw.glyph == static_cast<std::uint8_t>(c)) return AppendUtf8(out, raw.text);
        AppendUtf8(out, static_cast<char32_t>(static_cast<std::uint8_t>(c)));
    }
    void Anusvara() { AppendUtf8(out, U"\u0C02"); }
};

std::string PlainUnicode(std::string_view text) {
    PlainUnicodeSink sink;
    ScanSyllables(EveryRuleInTurn(std::string(text), kVrayuFace), sink);
    return sink.out;
}

// Text that repeats its words (so caches are hit), with every kind of byte
// between and inside them: separators, "&", "#", "|", the bytes of the rules,
// internal codes, long words and long texts.
std::string RandomText(std::mt19937& rng) {
    static const std::string_view kLetters = "aAiIuUeEoOwkKgGnNmMRr~lLhH'@2^|&zZtTdDsScCxyYpPbBfFjJqQvVW";
    static const std::string_view kBetween[] = {" ", "  ",   "\r\n", "\n",    ", ", ".", "1", "#",   "##",
                                                "&", "\xA5", "\xE0", "\xF7 ", "\t", "|", "-", "\xDE"};
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    std::vector<std::string> vocabulary(1 + below(12));
    for (std::string& w : vocabulary) {
        const std::size_t length = below(100) < 5 ? 60 + below(40) : 1 + below(8);
        for (std::size_t i = 0; i < length; ++i) w.push_back(kLetters[below(kLetters.size())]);
    }
    std::string text;
    const std::size_t words = below(100) < 20 ? 300 + below(300) : below(20);
    for (std::size_t i = 0; i < words; ++i) {
        text += vocabulary[below(vocabulary.size())];
        text += kBetween[below(std::size(kBetween))];
    }
    return text;
}

TEST(WordRuns, SeparatorsAreReadByNoRuleAndEndEverySyllable) {
    const auto& sep = WordSeparators();
    for (char c : std::string_view(" \r\n\t.,;:!?-013456789#\"()\xA0\xA5\xF7"))
        EXPECT_TRUE(sep[static_cast<unsigned char>(c)]) << c;
    for (char c : std::string_view("aZ&|'^~@2\xDB\xE0\xEC")) EXPECT_FALSE(sep[static_cast<unsigned char>(c)]) << c;
}

TEST(WordRuns, GlyphCodesEqualThePlainConversion) {
    struct Font {
        const char* list;
        std::string_view face;
    } fonts[] = {{"Vrayu", kVrayuFace}, {"abTelugu", kAbTeluguFace}, {"Vrayu", "DejaVu Sans"}};
    std::mt19937 rng(23);
    for (int round = 0; round < 500; ++round) {
        const std::string text = RandomText(rng);
        for (const Font& font : fonts) {
            GlyphTables tables;
            std::string listFace;
            SelectGlyphTables(font.list, tables, listFace);
            const std::string plain = PlainGlyphs(text, tables, font.face);
            ASSERT_EQ(ConvertString(text, tables, font.face), plain) << font.face << " \"" << text << '"';
            const std::string pane =
                ConvertWithLiteralRuns(text, [&](std::string_view run) { return PlainGlyphs(run, tables, font.face); });
            ASSERT_EQ(ConvertEnglishPane(text, 0, tables, font.face).text, pane) << '"' << text << '"';
            // One converter over many runs keeps its caches and gives the same.
            GlyphConverter converter(tables, font.face);
            std::string joined;
            const std::size_t cut = text.size() / 3;
            converter.Append(std::string_view(text).substr(0, cut), joined);
            converter.Append(std::string_view(text).substr(cut), joined);
            ASSERT_EQ(joined, PlainGlyphs(text.substr(0, cut), tables, font.face) +
                                  PlainGlyphs(text.substr(cut), tables, font.face));
        }
        ASSERT_EQ(ConvertStringUnicode(text), PlainUnicode(text)) << '"' << text << '"';
        ASSERT_EQ(ConvertEnglishPaneUnicode(text),
                  ConvertWithLiteralRuns(
                      text, [](std::string_view run) { return PlainUnicode(run); },
                      [](std::string& out, std::string_view run) { AppendLatin1AsUtf8(out, run); }));
    }
}

TEST(WordRuns, CacheKeepsWordsApartAndStopsAtItsBound) {
    WordCache cache;
    // Same hash, different words: each keeps its own conversion.
    cache.Insert("ka", 7, "A");
    cache.Insert("kA", 7, "B");
    ASSERT_NE(cache.Find("ka", 7), nullptr);
    EXPECT_EQ(*cache.Find("ka", 7), "A");
    EXPECT_EQ(*cache.Find("kA", 7), "B");
    EXPECT_EQ(cache.Find("ki", 7), nullptr);
    auto hash = [](std::uint64_t i) { return i * 2654435761u; };
    for (std::uint64_t i = 0; i < WordCache::kMaxEntries + 10; ++i) cache.Insert(std::to_string(i), hash(i), "x");
    EXPECT_NE(cache.Find("100", hash(100)), nullptr);
    EXPECT_EQ(*cache.Find("kA", 7), "B");
    EXPECT_EQ(cache.Find(std::to_string(WordCache::kMaxEntries + 5), hash(WordCache::kMaxEntries + 5)), nullptr);
}

TEST(WordRuns, SyllableCacheKeepsSyllablesApart) {
    SyllableCache cache;
    std::string_view found;
    EXPECT_FALSE(cache.Find("ka", found));  // no table before the first Reserve
    cache.Reserve(1);
    cache.Insert("ka", "\x8D");
    cache.Insert("k", "\x8D\xF7");
    cache.Insert(std::string_view("k\0", 2), "zero");  // same bytes, other size
    ASSERT_TRUE(cache.Find("ka", found));
    EXPECT_EQ(found, "\x8D");
    ASSERT_TRUE(cache.Find("k", found));
    EXPECT_EQ(found, "\x8D\xF7");
    ASSERT_TRUE(cache.Find(std::string_view("k\0", 2), found));
    EXPECT_EQ(found, "zero");
    EXPECT_FALSE(cache.Find("kA", found));
    // Too long to keep, as syllable or as conversion.
    cache.Insert("strakshmI", "x");
    EXPECT_FALSE(cache.Find("strakshmI", found));
    cache.Insert("ki", std::string(SyllableCache::kMaxConverted + 1, 'x'));
    EXPECT_FALSE(cache.Find("ki", found));
    // More syllables than slots: whatever is still found is right.
    for (int i = 0; i < 5000; ++i) cache.Insert(std::to_string(i), std::to_string(i * 7));
    int kept = 0;
    for (int i = 0; i < 5000; ++i)
        if (cache.Find(std::to_string(i), found)) {
            ASSERT_EQ(found, std::to_string(i * 7));
            ++kept;
        }
    EXPECT_GT(kept, 100);
    // Growing starts afresh.
    cache.Reserve(1 << 20);
    EXPECT_FALSE(cache.Find("ka", found));
}

// A large vocabulary overruns the syllable cache (slots are reused) while
// the conversion grows it; the result stays the plain conversion.
TEST(WordRuns, ManyDistinctSyllablesGiveThePlainConversion) {
    GlyphTables tables;
    std::string face;
    SelectGlyphTables("Vrayu", tables, face);
    std::mt19937 rng(41);
    const std::string_view consonants = "kKgGcCjJtTdDnNpPbBmMyrlvsSh", vowels = "aAiIuUeEoO";
    auto pick = [&](std::string_view from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    std::string text;
    while (text.size() < 200000) {
        for (int syllables = 1 + static_cast<int>(rng() % 4); syllables > 0; --syllables) {
            for (int c = static_cast<int>(rng() % 3); c > 0; --c) text.push_back(pick(consonants));
            text.push_back(pick(vowels));
        }
        text.push_back(rng() % 8 ? ' ' : '\n');
    }
    ASSERT_EQ(ConvertString(text, tables, face), PlainGlyphs(text, tables, face));
}

// The page built in runs of one format equals the page built character by
// character (a text that reports no runs).
class OneByOne : public FormattedText {
public:
    explicit OneByOne(const FormattedText& text) : text_(text) {}
    std::string_view Text() const override { return text_.Text(); }
    std::int64_t SelectionColor() const override { return text_.SelectionColor(); }
    CharFormat FormatAt(std::size_t position) const override { return text_.FormatAt(position); }
    std::int64_t BackColor() const override { return text_.BackColor(); }

private:
    const FormattedText& text_;
};

TEST(WordRuns, PageInRunsEqualsPageByCharacter) {
    std::mt19937 rng(5);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 300; ++round) {
        InMemoryFormattedText text(below(2) ? kSystemWindowColor : 0xFF00);
        const int runs = below(12);
        for (int r = 0; r < runs; ++r) {
            CharFormat f;
            f.face = below(3) ? "Vrayu" : "abTelgu";
            f.pointSize = 10 + 2 * below(4);
            f.bold = below(2);
            f.italic = below(3) == 0;
            f.underline = below(4) == 0;
            f.color = below(3) ? 0 : 255;
            f.alignment = below(4) ? kAlignLeft : kAlignCenter;
            std::string chars;
            for (int i = below(9); i > 0; --i) chars.push_back("ab\r\n\xC1\xF7 "[below(7)]);
            text.Append(chars, f);
        }
        ASSERT_EQ(BuildHTMLPage(text), BuildHTMLPage(OneByOne(text))) << round;
    }
}

}  // namespace
}  // namespace vrayu
