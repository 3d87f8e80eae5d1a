// Checks of glyfa.ttf against the engine's glyph table: every code the engine
// can write has a glyph, marks take no room, nothing is drawn outside the line
// metrics, and the names state the family and the licence.
#include <gtest/gtest.h>

#include <iconv.h>

#include <QGuiApplication>
#include <QRawFont>

#include <cctype>
#include <map>
#include <set>

#include "glyph_tables.h"

namespace {

// At this size one pixel is one font unit.
constexpr int kUnitsPerEm = 1000;

QRawFont LoadFont() { return QRawFont(QStringLiteral(GLYFA_PATH), kUnitsPerEm, QFont::PreferNoHinting); }

quint32 GlyphOf(const QRawFont& font, char32_t cp) {
    const QList<quint32> g = font.glyphIndexesForString(QString::fromUcs4(&cp, 1));
    return g.size() == 1 ? g[0] : 0;
}

// Every glyph code the engine writes with the "Vrayu" tables: both table
// entries of every letter and syllable code, the codes that the replacement
// rules write directly, and the printable ASCII it copies through.
std::set<int> EngineCodes() {
    vrayu::GlyphTables t;
    vrayu::LoadVrayuTables(t);
    std::set<int> codes;
    for (int i = 'A'; i <= 'z'; ++i) {
        if (std::isalpha(i)) {
            codes.insert({t.BaseGlyph[i], t.SignGlyph[i]});
        }
    }
    for (int i = 219; i <= 236; ++i) codes.insert({t.BaseGlyph[i], t.SignGlyph[i]});
    codes.insert({160, 165, 247, 189, 190, 191});
    for (int c = 32; c < 127; ++c) codes.insert(c);
    return codes;
}

std::uint16_t U16(const QByteArray& b, int at) { return std::uint16_t(uchar(b[at]) << 8 | uchar(b[at + 1])); }

// Windows-platform (UTF-16) strings of the name table, by name id.
std::map<int, QString> Names(const QRawFont& font) {
    const QByteArray t = font.fontTable("name");
    std::map<int, QString> names;
    const int count = U16(t, 2), strings = U16(t, 4);
    for (int i = 0; i < count; ++i) {
        const int r = 6 + 12 * i;
        if (U16(t, r) != 3) continue;
        QString s;
        for (int k = 0; k < U16(t, r + 8); k += 2) s += QChar(U16(t, strings + U16(t, r + 10) + k));
        names[U16(t, r + 6)] = s;
    }
    return names;
}

TEST(FontTables, EveryCodeTheEngineWritesHasAGlyph) {
    const QRawFont font = LoadFont();
    ASSERT_TRUE(font.isValid()) << GLYFA_PATH;
    EXPECT_EQ(font.familyName(), QStringLiteral("Vrayu"));
    EXPECT_EQ(font.styleName(), QStringLiteral("Regular"));
    for (int code : EngineCodes()) {
        EXPECT_TRUE(font.supportsCharacter(QChar(code))) << code;
        EXPECT_NE(GlyphOf(font, char32_t(code)), 0u) << code;
    }
    // Every row of the table is covered, not just the letters looked up above.
    for (const vrayu::GlyphTableRow& row : vrayu::GlyphTableRows()) {
        for (int code : {row.vrayuBase, row.vrayuSign}) {
            if (code < 32) continue;
            EXPECT_NE(GlyphOf(font, char32_t(code)), 0u) << int(row.code);
        }
    }
}

TEST(FontTables, MarksTakeNoRoomAndLettersDo) {
    const QRawFont font = LoadFont();
    vrayu::GlyphTables t;
    vrayu::LoadVrayuTables(t);
    auto advance = [&](int code) {
        const quint32 g = GlyphOf(font, char32_t(code));
        return font.advancesForGlyphIndexes(QList<quint32>{g}, QRawFont::SeparateAdvances)[0].x();
    };
    // Inherent vowel, i, I, e, E, ai signs and the virama sit on the letter.
    for (int sign : {int('a'), int('i'), int('I'), int('e'), int('E'), 222, 230}) {
        EXPECT_EQ(advance(t.SignGlyph[sign]), 0.0) << sign;
    }
    // Syllable heads, independent vowels, A/u/U/o/O/au signs, anusvara and
    // visarga advance the pen.
    for (int letter = 'A'; letter <= 'z'; ++letter) {
        if (!std::isalpha(letter)) continue;
        EXPECT_GT(advance(t.BaseGlyph[letter]), 200.0) << char(letter);
    }
    for (int sign : {int('A'), int('u'), int('U'), int('o'), int('O'), 223, 228, 229})
        EXPECT_GT(advance(t.SignGlyph[sign]), 200.0) << sign;
    EXPECT_GT(advance(160), 0.0);  // the separator in mA, yA
}

TEST(FontTables, LineMetricsHoldEveryGlyph) {
    const QRawFont font = LoadFont();
    const QByteArray hhea = font.fontTable("hhea"), os2 = font.fontTable("OS/2");
    const int ascent = std::int16_t(U16(hhea, 4)), descent = -std::int16_t(U16(hhea, 6));
    const int winAscent = U16(os2, 74), winDescent = U16(os2, 76);
    EXPECT_EQ(winAscent, ascent);
    EXPECT_EQ(winDescent, descent);
    EXPECT_GE(descent, 470);  // the lowest subjoined forms reach about 480 units down
    for (int code = 32; code < 256; ++code) {
        const quint32 g = GlyphOf(font, char32_t(code));
        if (!g) continue;
        const QRectF box = font.boundingRect(g);  // y grows downwards
        EXPECT_GE(box.top(), -ascent) << code;
        EXPECT_LE(box.bottom(), descent) << code;
    }
}

// A browser reads a page declared as iso-8859-1 as windows-1252: bytes 0x80 to
// 0x9F then arrive as other characters, which must show the same glyphs.
TEST(FontTables, Windows1252ReadingShowsTheSameGlyphs) {
    const QRawFont font = LoadFont();
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1252");
    ASSERT_NE(cd, iconv_t(-1));
    int remapped = 0;
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        char in = char(byte);
        char32_t cp = 0;
        char *inp = &in, *outp = reinterpret_cast<char*>(&cp);
        size_t inLeft = 1, outLeft = sizeof cp;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1)) continue;  // undefined in 1252
        if (cp == char32_t(byte)) continue;
        ++remapped;
        EXPECT_EQ(GlyphOf(font, cp), GlyphOf(font, char32_t(byte))) << std::hex << byte;
    }
    iconv_close(cd);
    EXPECT_EQ(remapped, 27);
}

TEST(FontTables, NamesStateTheLicenceAndTheModification) {
    const std::map<int, QString> names = Names(LoadFont());
    ASSERT_TRUE(names.count(1) && names.count(13) && names.count(10));
    EXPECT_EQ(names.at(1), QStringLiteral("Vrayu"));
    EXPECT_TRUE(names.at(13).contains(QStringLiteral("SIL Open Font License, Version 1.1")));
    EXPECT_TRUE(names.at(13).contains(QStringLiteral("Modified Version")));
    EXPECT_TRUE(names.at(0).contains(QStringLiteral("Google")));
    EXPECT_FALSE(names.at(1).contains(QStringLiteral("Noto")));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
