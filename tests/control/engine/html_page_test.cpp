#include "html_page.h"

#include <gtest/gtest.h>

#include "product_info.h"

namespace vrayu {
namespace {

const std::string kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
    "<title>This page is in Telugu</title></head>\r\n";
const std::string kLink =
    "<a href=\"" + std::string(kProductSiteUrl) + "\">You need 'Vrayu' fonts to view this page properly.</a>\r\n";
const std::string kTail = "</font></p><hr></body></html>";

CharFormat Vrayu16() {
    CharFormat f;
    f.face = "Vrayu";
    f.pointSize = 16;
    return f;
}

TEST(VBColor2WebColor, SwapsRedAndBlueAndPadsTheArgument) {
    std::string arg = "255";
    EXPECT_EQ(VBColor2WebColor(arg), "FF0000");
    EXPECT_EQ(arg, "0000FF");
    arg = "0";
    EXPECT_EQ(VBColor2WebColor(arg), "000000");
    arg = "16777215";
    EXPECT_EQ(VBColor2WebColor(arg), "FFFFFF");
    arg = "-2147483643";  // &H80000005, a system colour: its last six digits
    EXPECT_EQ(VBColor2WebColor(arg), "050000");
    EXPECT_EQ(arg, "80000005");
    arg = "1193046";  // &H123456
    EXPECT_EQ(VBColor2WebColor(arg), "563412");
}

TEST(HtmlSizeCode, SmallestBoundNotExceeded) {
    EXPECT_EQ(HtmlSizeCode(16, ""), "5");
    EXPECT_EQ(HtmlSizeCode(12, ""), "3");
    EXPECT_EQ(HtmlSizeCode(8, ""), "1");
    EXPECT_EQ(HtmlSizeCode(8.5, ""), "2");
    EXPECT_EQ(HtmlSizeCode(36, ""), "7");
    EXPECT_EQ(HtmlSizeCode(40, ""), "");
    EXPECT_EQ(HtmlSizeCode(40, "3"), "3");
}

TEST(BuildHTMLPage, OneFormatIsOneParagraphAndOneFontTag) {
    InMemoryFormattedText text;
    text.Append("\x8D\xC1\r\n\x8F", Vrayu16());
    EXPECT_EQ(BuildHTMLPage(text),
              kHead + "<body bgcolor=\"#FFFFFF\">" + kLink +
                  "<p align=\"Left\"><font size=\"5\" color=\"#000000\" face=\"Vrayu\" > \x8D\xC1<br>\n\x8F" + kTail);
}

TEST(BuildHTMLPage, EmptyPaneAndBackgroundColour) {
    InMemoryFormattedText text(255);
    CharFormat f = Vrayu16();
    f.bold = true;
    f.pointSize = 40;
    text.SetCaretFormat(f);
    EXPECT_EQ(BuildHTMLPage(text), kHead + "<body bgcolor=\"#FF0000\">" + kLink +
                                       "<p align=\"Left\"><font size=\"\" color=\"#000000\" face=\"Vrayu\" > "
                                       "<strong></strong>" +
                                       kTail);
}

TEST(BuildHTMLPage, FormatChangesOpenTagsThatSpanParagraphs) {
    InMemoryFormattedText text;
    CharFormat plain = Vrayu16();
    CharFormat bold = plain;
    bold.bold = true;
    CharFormat centredRed = bold;
    centredRed.alignment = kAlignCenter;
    centredRed.color = 255;
    centredRed.pointSize = 40;  // no size code fits: the previous one stays
    text.Append("ab", plain);
    text.Append("c\r", bold);
    text.Append("d", centredRed);
    EXPECT_EQ(BuildHTMLPage(text),
              kHead + "<body bgcolor=\"#FFFFFF\">" + kLink +
                  "<p align=\"Left\"><font size=\"5\" color=\"#000000\" face=\"Vrayu\" > ab<strong>c<br>"
                  "</p><p align=\"Center\"></font><font size=\"5\" color=\"#FF0000\" face=\"Vrayu\" >d"
                  "</strong>" +
                  kTail);
}

TEST(BuildHTMLPage, FirstTagTakesTheSelectionColour) {
    InMemoryFormattedText text;
    text.SetSelectionColor(255);
    text.Append("a", Vrayu16());
    EXPECT_EQ(BuildHTMLPage(text), kHead + "<body bgcolor=\"#FFFFFF\">" + kLink +
                                       "<p align=\"Left\"><font size=\"5\" color=\"#FF0000\" face=\"Vrayu\" > "
                                       "</font><font size=\"5\" color=\"#000000\" face=\"Vrayu\" >a" +
                                       kTail);
}

TEST(HTML2English, KeepsTextOutsideTagsFromTheBodyOn) {
    std::string page =
        "<html><head><title>T</title></head><body bgcolor=x><p><!--ENGLISH-->Hello<!--ENGLISH-->lO</p>\r\n"
        "<b>x &amp; y</b></body></html>";
    EXPECT_EQ(HTML2English(page), "#Hello#lO\r\nx &amp; y");
    EXPECT_EQ(page, "<body bgcolor=x><p>#Hello#lO</p>\r\n<b>x &amp; y</b></body></html>");

    std::string noBody = "plain <i>text</i>";
    EXPECT_EQ(HTML2English(noBody), "plain text");
    EXPECT_EQ(noBody, "plain <i>text</i>");
}

}  // namespace
}  // namespace vrayu
