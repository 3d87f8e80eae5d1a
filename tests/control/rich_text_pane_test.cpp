// The rich-text box meanings of the pane adapter, and the RTF writer/reader.
#include "rich_text_pane.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "rtf_reader.h"
#include "rtf_writer.h"

using namespace vrayu;

namespace {

class PaneTest : public ::testing::Test {
protected:
    PaneTest() : pane_(&edit_) { edit_.setFont(QFont("Vrayu", 16)); }
    QTextEdit edit_;
    RichTextPane pane_;
};

TEST_F(PaneTest, PositionsCountParagraphBreaksAsTwoCharacters) {
    pane_.SetText("ab\r\ncd\r\n\r\nef");
    EXPECT_EQ(pane_.Text(), "ab\r\ncd\r\n\r\nef");
    EXPECT_EQ(pane_.TextLength(), 12);
    EXPECT_EQ(pane_.DocPosition(4), 3);   // "c"
    EXPECT_EQ(pane_.DocPosition(3), 2);   // inside the break: its start
    EXPECT_EQ(pane_.DocPosition(10), 7);  // "e"
    EXPECT_EQ(pane_.TextPosition(7), 10);
    pane_.SetSelStart(4);
    pane_.SetSelLength(6);
    EXPECT_EQ(pane_.SelText(), "cd\r\n\r\n");
    EXPECT_EQ(pane_.SelStart(), 4);
    EXPECT_EQ(pane_.SelLength(), 6);
    pane_.SetSelStart(100);
    EXPECT_EQ(pane_.SelStart(), 12);
    // A lone line feed is a line break and reads back as it was.
    pane_.SetText("<br>\nx\r\ny");
    EXPECT_EQ(pane_.Text(), "<br>\nx\r\ny");
    EXPECT_EQ(pane_.TextLength(), 9);
}

TEST_F(PaneTest, GlyphCodesSurvive) {
    QString all;
    for (int c = 32; c < 256; ++c)
        if (c != 127) all += QChar(static_cast<char16_t>(c));
    pane_.SetText(all);
    EXPECT_EQ(pane_.Text(), all);  // 0xA0 stays itself, not a space
    pane_.SetSelStart(0);
    pane_.SetSelLength(pane_.TextLength());
    const QString rtf = pane_.SelRTF();
    EXPECT_TRUE(rtf.contains("\\'a0\\'a1")) << rtf.toStdString();
    for (QChar c : rtf) EXPECT_LT(c.unicode(), 128);
    QTextEdit other;
    RichTextPane copy(&other);
    copy.SetSelRTF(rtf);
    EXPECT_EQ(copy.Text(), all);
}

TEST_F(PaneTest, MixedSelectionReadsNullAndCaretSettingsApplyToTypedText) {
    pane_.SetText("abcdef");
    pane_.SetSelStart(0);
    pane_.SetSelLength(3);
    pane_.SetSelBold(true);
    pane_.SetSelColor(0x0000FF);
    EXPECT_EQ(pane_.SelBold(), QVariant(true));
    EXPECT_EQ(pane_.SelColor(), QVariant(qlonglong(0x0000FF)));
    pane_.SetSelLength(4);
    EXPECT_FALSE(pane_.SelBold().isValid());
    EXPECT_FALSE(pane_.SelColor().isValid());
    EXPECT_EQ(pane_.SelItalic(), QVariant(false));
    EXPECT_EQ(pane_.SelFontName(), QVariant("Vrayu"));
    EXPECT_EQ(pane_.SelFontSize(), QVariant(16.0));

    // No selection: the setting is for the text typed next.
    pane_.SetSelStart(6);
    pane_.SetSelItalic(true);
    EXPECT_EQ(pane_.SelItalic(), QVariant(true));
    edit_.show();
    QTest::keyClicks(&edit_, "gh");
    EXPECT_EQ(pane_.Text(), "abcdefgh");
    pane_.SetSelStart(6);
    pane_.SetSelLength(2);
    EXPECT_EQ(pane_.SelItalic(), QVariant(true));
    pane_.SetSelStart(0);
    pane_.SetSelLength(6);
    EXPECT_EQ(pane_.SelItalic(), QVariant(false));
}

TEST_F(PaneTest, ParagraphAttributes) {
    pane_.SetText("one\r\ntwo\r\nthree");
    pane_.SetSelStart(5);
    pane_.SetSelAlignment(1);
    pane_.SetSelIndent(300);
    pane_.SetSelHangingIndent(150);
    pane_.SetSelRightIndent(600);
    pane_.SetSelBullet(true);
    EXPECT_EQ(pane_.SelAlignment(), QVariant(1));
    EXPECT_EQ(pane_.SelIndent(), QVariant(300));
    EXPECT_EQ(pane_.SelHangingIndent(), QVariant(150));
    EXPECT_EQ(pane_.SelRightIndent(), QVariant(600));
    EXPECT_EQ(pane_.SelBullet(), QVariant(true));
    pane_.SetSelStart(0);
    pane_.SetSelLength(8);
    EXPECT_FALSE(pane_.SelAlignment().isValid());
    EXPECT_FALSE(pane_.SelBullet().isValid());
    pane_.SetSelStart(0);
    EXPECT_EQ(pane_.SelAlignment(), QVariant(0));
    EXPECT_EQ(pane_.SelIndent(), QVariant(0));
}

TEST_F(PaneTest, RtfRoundTripKeepsFormats) {
    pane_.SetText("ab{c}\\d\r\nsecond\tline");
    pane_.SetSelStart(0);
    pane_.SetSelLength(2);
    pane_.SetSelBold(true);
    pane_.SetSelUnderline(true);
    pane_.SetSelColor(0x00FF00);
    pane_.SetSelStart(9);
    pane_.SetSelLength(6);
    pane_.SetSelFontName("Arial");
    pane_.SetSelFontSize(24);
    pane_.SetSelStrikeThru(true);
    pane_.SetSelAlignment(2);
    pane_.SetSelStart(0);
    pane_.SetSelLength(pane_.TextLength());
    const QString rtf = pane_.SelRTF();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\{c\\}\\\\d")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\par")) << rtf.toStdString();

    QTextEdit other;
    other.setFont(QFont("Vrayu", 16));
    RichTextPane copy(&other);
    copy.SetSelRTF(rtf);
    EXPECT_EQ(copy.Text(), pane_.Text());
    copy.SetSelStart(0);
    copy.SetSelLength(2);
    EXPECT_EQ(copy.SelBold(), QVariant(true));
    EXPECT_EQ(copy.SelUnderline(), QVariant(true));
    EXPECT_EQ(copy.SelColor(), QVariant(qlonglong(0x00FF00)));
    EXPECT_EQ(copy.SelFontName(), QVariant("Vrayu"));
    copy.SetSelStart(9);
    copy.SetSelLength(6);
    EXPECT_EQ(copy.SelFontName(), QVariant("Arial"));
    EXPECT_EQ(copy.SelFontSize(), QVariant(24.0));
    EXPECT_EQ(copy.SelStrikeThru(), QVariant(true));
    EXPECT_EQ(copy.SelBold(), QVariant(false));
    EXPECT_EQ(copy.SelAlignment(), QVariant(2));
    copy.SetSelStart(0);
    EXPECT_EQ(copy.SelAlignment(), QVariant(0));
}

TEST_F(PaneTest, RtfFromOtherWritersAndPlainText) {
    pane_.SetText("XY");
    pane_.SetSelStart(1);
    pane_.SetSelRTF(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Vrayu;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Other 1.0;}{\\stylesheet{\\s0 Normal;}}"
        "\\pard\\qc\\f1\\fs20 \\b b\\b0 \\cf1 r\\cf0\\'e9\\u8364?{\\i i}n\\line m\\par\r\nz}");
    EXPECT_EQ(pane_.Text(), QString("Xbr\u00e9\u20acin\nm\r\nzY"));
    pane_.SetSelStart(1);
    pane_.SetSelLength(1);
    EXPECT_EQ(pane_.SelBold(), QVariant(true));
    EXPECT_EQ(pane_.SelFontName(), QVariant("Vrayu"));
    EXPECT_EQ(pane_.SelFontSize(), QVariant(10.0));
    pane_.SetSelStart(2);
    pane_.SetSelLength(1);
    EXPECT_EQ(pane_.SelColor(), QVariant(qlonglong(0x0000FF)));
    EXPECT_EQ(pane_.SelBold(), QVariant(false));
    pane_.SetSelStart(5);
    pane_.SetSelLength(1);
    EXPECT_EQ(pane_.SelItalic(), QVariant(true));
    EXPECT_EQ(pane_.SelAlignment(), QVariant(2));

    // Damaged or hostile RTF: bounded sizes, unbalanced groups, cut escapes.
    pane_.SetText("");
    pane_.SetSelRTF("{\\rtf1\\fs999999999 big}}}more\\'4");
    EXPECT_EQ(pane_.Text(), "big");
    pane_.SetSelStart(0);
    pane_.SetSelLength(3);
    EXPECT_EQ(pane_.SelFontSize(), QVariant(1638.0));
    pane_.SetText("");
    pane_.SetSelRTF("{\\rtf1{{{{\\b deep\\'4");
    EXPECT_EQ(pane_.Text(), "deep");

    // Not RTF: inserted as it stands.
    pane_.SetText("");
    pane_.SetSelRTF("plain {text}\r\nline");
    EXPECT_EQ(pane_.Text(), "plain {text}\r\nline");
}

TEST_F(PaneTest, UpdateTextKeepsFormatsOfUnchangedText) {
    pane_.SetText("abcXYZ");
    pane_.SetSelStart(0);
    pane_.SetSelLength(3);
    pane_.SetSelBold(true);
    pane_.UpdateText("abcdXYZ");
    EXPECT_EQ(pane_.Text(), "abcdXYZ");
    pane_.SetSelStart(0);
    pane_.SetSelLength(3);
    EXPECT_EQ(pane_.SelBold(), QVariant(true));
    pane_.SetSelStart(4);
    pane_.SetSelLength(3);
    EXPECT_EQ(pane_.SelBold(), QVariant(false));
    pane_.UpdateText("q\r\nr");
    EXPECT_EQ(pane_.Text(), "q\r\nr");
    pane_.UpdateText("");
    EXPECT_EQ(pane_.Text(), "");
}

TEST_F(PaneTest, PaneFontChangesEveryCharacterButKeepsColours) {
    pane_.SetText("abcd");
    pane_.SetSelStart(0);
    pane_.SetSelLength(2);
    pane_.SetSelColor(0x0000FF);
    pane_.SetSelFontSize(30);
    QFont f("Arial", 12);
    pane_.SetFont(f);
    pane_.SetSelStart(0);
    pane_.SetSelLength(4);
    EXPECT_EQ(pane_.SelFontSize(), QVariant(12.0));
    EXPECT_EQ(pane_.SelFontName(), QVariant("Arial"));
    pane_.SetSelLength(2);
    EXPECT_EQ(pane_.SelColor(), QVariant(qlonglong(0x0000FF)));
}

}  // namespace
