// Pane glyph text to Unicode Telugu: decoding, what passes through, the
// clipboard's line ends and the bytes of the UTF-8 export.
#include "unicode_text.h"

#include <gtest/gtest.h>

namespace vrayu {
namespace {

TEST(UnicodeText, DecodesGlyphRunsAndKeepsEverythingElse) {
    const QString svagatam = QString::fromLatin1("\xB3\xC2\xED\x8F\xC1\x9C\xC1\xCF");
    const struct {
        QString glyphs;
        QString unicode;
    } cases[] = {
        {"", ""},
        {svagatam, QString::fromUtf8("స్వాగతం")},
        // Digits, punctuation, spaces and line ends are no glyphs of their own.
        {svagatam + " 12, " + svagatam + "\r\n", QString::fromUtf8("స్వాగతం 12, స్వాగతం\r\n")},
        // Unicode already in the pane (pasted) stays, between decoded runs.
        {svagatam + QString::fromUtf8("–తెలుగు") + svagatam, QString::fromUtf8("స్వాగతం–తెలుగుస్వాగతం")},
        {QString::fromUtf8("తెలుగు"), QString::fromUtf8("తెలుగు")},
    };
    for (const auto& c : cases) EXPECT_EQ(UnicodeFromGlyphText(c.glyphs), c.unicode) << c.glyphs.toStdString();
}

TEST(UnicodeText, ClipboardUsesLfAndTheFileIsUtf8WithCrLf) {
    EXPECT_EQ(UnicodeClipboardText("a\r\nb\r\n\r\nc\n"), "a\nb\n\nc\n");
    EXPECT_EQ(UnicodeClipboardText("a\rb"), "a\rb");  // a lone CR is no line end of the pane
    EXPECT_EQ(UnicodeExportBytes(QString::fromUtf8("స్వాగతం")),
              QByteArray("\xE0\xB0\xB8\xE0\xB1\x8D\xE0\xB0\xB5\xE0\xB0\xBE\xE0\xB0\x97\xE0\xB0\xA4\xE0\xB0\x82\r\n"));
    EXPECT_EQ(UnicodeExportBytes(""), QByteArray("\r\n"));
    // Characters of ISO-8859-1 are written as UTF-8 too, never as single bytes.
    EXPECT_EQ(UnicodeExportBytes(QString::fromLatin1("\xE9")), QByteArray("\xC3\xA9\r\n"));
}

}  // namespace
}  // namespace vrayu
