#include "functions/logic/charset.h"
#include "functions/logic/textops.h"

#include <gtest/gtest.h>

namespace tarn::fn {
namespace {

// Installs a double-byte code page for one test: bytes 0x81-0x9F lead.
struct DoubleByte {
    DoubleByte() { setLeadByteRanges({{0x81, 0x9F}}); }
    ~DoubleByte() { setLeadByteRanges({}); }
};

TEST(StrSub, StartAndLengthRules) {
    EXPECT_EQ(strSub("abcdef", 3, -1), "cdef");
    EXPECT_EQ(strSub("abcdef", 7, 1), "");
    EXPECT_EQ(strSub("abcdef", 6, 1), "f");
    EXPECT_EQ(strSub("abcdef", 2, 100), "bcdef");
    EXPECT_EQ(strSub("abcdef", 0, 2), "");
    EXPECT_EQ(strSub("abcdef", 2, -2), "");
    EXPECT_EQ(strSub("abcdef", 2, 0), "");
    EXPECT_EQ(strSub("", 1, -1), "");
}

TEST(StrIndex, DirectionsStartsAndCase) {
    EXPECT_EQ(strIndex("abcabc", "bc", 0, true, false), 5);
    EXPECT_EQ(strIndex("abcabc", "bc", 0, false, false), 2);
    EXPECT_EQ(strIndex("abcabc", "bc", 3, false, false), 5);
    EXPECT_EQ(strIndex("abcabc", "bc", 4, true, false), 2);
    EXPECT_EQ(strIndex("abcabc", "bc", 6, true, false), 5);  // must fit
    EXPECT_EQ(strIndex("abcabc", "bc", 7, false, false), 0);
    EXPECT_EQ(strIndex("abcabc", "bc", -1, false, false), 0);
    EXPECT_EQ(strIndex("abcabc", "", 3, false, false), 3);
    EXPECT_EQ(strIndex("abcabc", "", 0, true, false), 6);
    EXPECT_EQ(strIndex("abcabc", "BC", 0, false, false), 0);
    EXPECT_EQ(strIndex("abcabc", "BC", 0, false, true), 2);
    EXPECT_EQ(strIndex("\xe9t\xc9", "\xc9", 0, false, true), 1);  // Latin-1 letters fold
    EXPECT_EQ(strIndex("", "a", 0, false, false), 0);
}

TEST(StrScan, AnyDelimiterEitherWay) {
    EXPECT_EQ(strScan("a,b;c", ";,", 0, false), 2);
    EXPECT_EQ(strScan("a,b;c", ";,", 0, true), 4);
    EXPECT_EQ(strScan("a,b;c", ";,", 3, false), 4);
    EXPECT_EQ(strScan("abc", ";,", 0, false), 0);
    EXPECT_EQ(strScan("abc", "", 0, false), 0);
}

TEST(StrReplaceTrimFixFill, Table) {
    EXPECT_EQ(strReplace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(strReplace("abcabc", "b", ""), "acac");
    EXPECT_EQ(strReplace("abc", "", "x"), "abc");
    EXPECT_EQ(strReplace("a.b.c", ".", "..."), "a...b...c");
    EXPECT_EQ(strTrim("\tx "), "x");
    EXPECT_EQ(strTrim(" \t "), "");
    EXPECT_EQ(strTrim("\nx\n"), "\nx\n");
    EXPECT_EQ(strFix("ab", "*", 5, false), "ab***");
    EXPECT_EQ(strFix("ab", "*", 1, false), "a");
    EXPECT_EQ(strFix("ab", "", 4, false), "ab  ");
    EXPECT_EQ(strFix("ab", "xy", 5, false), "abxyx");
    EXPECT_EQ(strFix("ab", "*", 5, true), "***ab");
    EXPECT_EQ(strFix("abcd", "*", 2, true), "cd");
    EXPECT_EQ(strFix("ab", "*", 0, false), "");
    EXPECT_EQ(strFill("ab", 5), "ababa");
    EXPECT_EQ(strFill("", 3), "   ");
    EXPECT_EQ(strFill("ab", 0), "");
}

TEST(StrCompare, DictionaryOrder) {
    EXPECT_EQ(strCompare("abc", "abc", false), 0);
    EXPECT_EQ(strCompare("abc", "ABC", false), -1);  // lower case first
    EXPECT_EQ(strCompare("ABC", "abd", false), -1);  // letters before case
    EXPECT_EQ(strCompare("abc", "ABC", true), 0);
    EXPECT_EQ(strCompare("b", "a", true), 1);
    EXPECT_EQ(strCompare("ab", "abc", false), -1);
}

TEST(StrWild, FirstShortestMatch) {
    auto m = strWild("xxabcabc", "a*c", 1);
    EXPECT_EQ(m.pos, 3);
    EXPECT_EQ(m.length, 3);
    EXPECT_EQ(m.text, "abc");
    EXPECT_EQ(strWild("xxabcabc", "a*c", 4).pos, 6);
    EXPECT_EQ(strWild("hello world", "o*", 1).text, "o world");  // final star: the rest
    EXPECT_EQ(strWild("hello", "z*", 1).pos, 0);
    EXPECT_EQ(strWild("hello", "", 1).pos, 0);
    // Many stars stay fast.
    std::string many(200, 'a');
    EXPECT_EQ(strWild(many, "*a*a*a*a*a*a*b", 1).pos, 0);
}

TEST(DoubleByteText, PairsCountOnceAndStayWhole) {
    DoubleByte dbcs;
    std::string s =
        "a\x81\x40"
        "b\x82\x41";  // a, pair, b, pair
    EXPECT_EQ(charCount(s), 4u);
    EXPECT_EQ(strSub(s, 2, 1), "\x81\x40");
    EXPECT_EQ(strSub(s, 3, -1), "b\x82\x41");
    // The trail byte 0x41 ("A") is not found inside the pair.
    EXPECT_EQ(strIndex(s, "A", 0, false, false), 0);
    EXPECT_EQ(strIndex(s, "b", 0, false, false), 3);
    EXPECT_EQ(strFix(s, "\x83\x42", 6, false), s + "\x83\x42\x83\x42");
    EXPECT_EQ(strFix(s, "*", 2, false), "a\x81\x40");
    EXPECT_EQ(toUpper(s),
              "A\x81\x40"
              "B\x82\x41");
}

}  // namespace
}  // namespace tarn::fn
