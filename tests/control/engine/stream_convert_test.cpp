// The stream conversion gives byte for byte what converting the whole text
// gives, for any block size: cuts inside words, "#" runs across blocks,
// "##" split by a block end, runs long enough to go to a temporary file, an
// unpartnered "#" near the end.
#include "stream_convert.h"

#include <gtest/gtest.h>

#include <random>

#include "convert.h"
#include "unicode.h"

namespace vrayu {
namespace {

class StringSource : public TextSource {
public:
    explicit StringSource(std::string_view text, std::size_t most) : text_(text), most_(most) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, most_, text_.size()});
        text_.copy(buffer, n);
        text_.remove_prefix(n);
        return n;
    }

private:
    std::string_view text_;
    std::size_t most_;  // a pipe may hand over less than was asked
};

class StringSink : public TextSink {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

class Glyphs : public StreamForm {
public:
    Glyphs(const GlyphTables& tables) : converter_(tables, kVrayuFace) {}
    void Convert(std::string_view romanized, std::string& out) override { converter_.Append(romanized, out); }
    void Keep(std::string_view typed, std::string& out) override { out.append(typed); }

private:
    GlyphConverter converter_;
};

class Unicode : public StreamForm {
public:
    void Convert(std::string_view romanized, std::string& out) override { converter_.Append(romanized, out); }
    void Keep(std::string_view typed, std::string& out) override { AppendLatin1AsUtf8(out, typed); }

private:
    UnicodeConverter converter_;
};

TEST(StreamConvert, AnyBlockSizeGivesTheWholeTextConversion) {
    GlyphTables tables;
    std::string face;
    ASSERT_TRUE(SelectGlyphTables("Vrayu", tables, face));
    std::mt19937 rng(11);
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const std::string_view pieces[] = {
        "svAgatam",        " ",        "#",    "##", "\r\n", "kaSh", "nna", "a'", "m'", "@h",
        "#English words#", "telugulO", "\xE9", "RR", "  ",   "ksha", "^"};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        for (std::size_t n = below(60); n > 0; --n) text += pieces[below(std::size(pieces))];
        if (round % 7 == 0) text += "#" + std::string(200, 'x') + " tail";  // a long run, maybe unpartnered
        const std::size_t block = 1 + below(40);
        const std::size_t most = 1 + below(50);
        StringSource in(text, most), in2(text, most);
        StringSink out, out2;
        Glyphs glyphs(tables);
        ASSERT_TRUE(StreamEnglishPane(in, glyphs, out, block));
        ASSERT_EQ(out.text, ConvertEnglishPane(text, 0, tables, face).text) << block << " \"" << text << '"';
        Unicode unicode;
        ASSERT_TRUE(StreamEnglishPane(in2, unicode, out2, block));
        ASSERT_EQ(out2.text, ConvertEnglishPaneUnicode(text)) << block << " \"" << text << '"';
    }
}

}  // namespace
}  // namespace vrayu
