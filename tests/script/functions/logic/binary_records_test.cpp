#include "functions/logic/binary_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tarn::fn {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(BinaryRecords, FindBytesBothWays) {
    const auto d = Bytes("abcABCabc");
    EXPECT_EQ(FindBytes(d, "abc", 0, false, false), 0);
    EXPECT_EQ(FindBytes(d, "abc", 1, false, false), 6);
    EXPECT_EQ(FindBytes(d, "abc", 1, false, true), 3);
    EXPECT_EQ(FindBytes(d, "abc", 8, true, false), 6);
    EXPECT_EQ(FindBytes(d, "abc", 5, true, false), 0);
    EXPECT_EQ(FindBytes(d, "abc", 7, false, false), -1);
    EXPECT_EQ(FindBytes(d, "", 0, false, false), -1);
    EXPECT_EQ(FindBytes(d, "abcABCabcX", 0, false, false), -1);
}

TEST(BinaryRecords, LayoutErrors) {
    EXPECT_EQ(CheckRecordLayout(10, 0, 0, 1), 1474);
    EXPECT_EQ(CheckRecordLayout(10, 4, -1, 1), 1475);
    EXPECT_EQ(CheckRecordLayout(10, 4, 0, 0), 1476);
    EXPECT_EQ(CheckRecordLayout(10, 4, 2, 3), 1477);
    EXPECT_EQ(CheckRecordLayout(10, 11, 0, 1), 1478);
    EXPECT_EQ(CheckRecordLayout(10, 10, 0, 10), 0);
}

TEST(BinaryRecords, SortsByEachKeyTypeStably) {
    auto d = Bytes("b1a2b0a9");  // records of 2: key at 0 (1 char)
    ASSERT_EQ(SortRecords(d, 2, 0, 1, kKeyString), 0);
    EXPECT_EQ(std::string(d.begin(), d.end()), "a2a9b1b0");
    ASSERT_EQ(SortRecords(d, 2, 0, 1, kKeyString | kDescending), 0);
    EXPECT_EQ(std::string(d.begin(), d.end()), "b1b0a2a9");
    // Signed 32-bit keys.
    std::vector<std::uint8_t> w(12);
    const std::int32_t vals[] = {5, -3, 0};
    std::memcpy(w.data(), vals, 12);
    ASSERT_EQ(SortRecords(w, 4, 0, 4, kKeyWord4), 0);
    std::int32_t out[3];
    std::memcpy(out, w.data(), 12);
    EXPECT_EQ(out[0], -3);
    EXPECT_EQ(out[2], 5);
    // Key type and size must agree; a trailing partial record stays put.
    EXPECT_EQ(SortRecords(w, 4, 0, 2, kKeyWord4), 1476);
    EXPECT_EQ(SortRecords(w, 4, 0, 4, 3), 1476);
    auto p = Bytes("cba");
    ASSERT_EQ(SortRecords(p, 2, 0, 1, kKeyString), 0);
    EXPECT_EQ(std::string(p.begin(), p.end()), "cba");
}

TEST(BinaryRecords, HashFindsAndClaimsUntilFull) {
    std::vector<std::uint8_t> d(3 * 4, 0);
    long a = -1, b = -1, again = -1, c = -1, full = -1;
    ASSERT_EQ(HashRecord(d, 4, 0, 3, "one", &a), 0);
    ASSERT_EQ(HashRecord(d, 4, 0, 3, "two", &b), 0);
    ASSERT_EQ(HashRecord(d, 4, 0, 3, "one", &again), 0);
    EXPECT_EQ(a, again);
    EXPECT_NE(a, b);
    ASSERT_EQ(HashRecord(d, 4, 0, 3, "3", &c), 0);
    EXPECT_EQ(HashRecord(d, 4, 0, 3, "four", &full), 1481);
    EXPECT_EQ(HashRecord(d, 4, 0, 3, "fou", &full), 1482);
    EXPECT_EQ(HashRecord(d, 4, 0, 3, "", &full), 1480);
}

TEST(BinaryRecords, TagStructureRoundTrip) {
    TagState t{987660, 4, 1, 9, "<b>", "</b> x"};
    TagState back;
    ASSERT_TRUE(ParseTag(FormatTag(t), &back));
    EXPECT_EQ(back.handle, 987660);
    EXPECT_EQ(back.next, 4);
    EXPECT_EQ(back.end, 9);
    EXPECT_EQ(back.open, "<b>");
    EXPECT_EQ(back.close, "</b> x");
    // Lengths that are negative, wrap around or reach into the header.
    for (const char* bad :
         {"", "1 2 3", "1 0 -1 -1 1 1 ab c", "1 0 -1 -1 0 1 a", "1 0 -1 -1 -1 3 ab",
          "1 0 -1 -1 18446744073709551615 3 ab", "1 0 -1 -1 1 -1 ab", "1 0 -1 -1 5 1 ab", "1 0 -1 -1 +1 1 ab",
          "1 0 -1 -1 1 1  ab", "1 0 -1 -1 1 99999999999999999999 ab", "99999999999 0 -1 -1 1 1 ab"})
        EXPECT_FALSE(ParseTag(bad, &back)) << bad;
}

TEST(BinaryRecords, Conversions) {
    std::string out;
    ASSERT_EQ(ConvertBytes("A\xe9", 0, 3, 65001, 0, &out), 0);
    EXPECT_EQ(out, "A\xc3\xa9");
    ASSERT_EQ(ConvertBytes(out, 3, 2, 65001, 0, &out), 0);
    EXPECT_EQ(out, std::string("A\0\xe9\0", 4));
    ASSERT_EQ(ConvertBytes(out, 2, 0, 0, 1, &out), 0);
    EXPECT_EQ(out, "A\xc9");
    ASSERT_EQ(ConvertBytes("\xf0\x9f\x98\x80", 3, 2, 65001, 0, &out), 0);
    EXPECT_EQ(out, std::string("\x3d\xd8\x00\xde", 4));
    EXPECT_EQ(ConvertBytes("x", 4, 0, 0, 0, &out), 1553);
    EXPECT_EQ(ConvertBytes("x", 0, 0, 0, 4, &out), 1554);
    EXPECT_EQ(ConvertBytes("x", 0, 0, 0, 3, &out), 1555);
    EXPECT_EQ(ConvertBytes("\xc3", 3, 0, 65001, 0, &out), 1557);
    EXPECT_EQ(ConvertBytes("abc", 2, 0, 0, 0, &out), 1557);
    EXPECT_EQ(ConvertBytes("x", 3, 0, 1252, 0, &out), 1557);
    // Only well-formed text converts: no overlong forms, surrogates, lead
    // bytes past F4 or code points above U+10FFFF, in either encoding.
    for (const char* bad : {"\xc0\x80", "\xc1\xbf", "\xe0\x80\x80", "\xf0\x80\x80\x80", "\xed\xa0\x80", "\xed\xbf\xbf",
                            "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xf7\xbf\xbf\xbf", "\x80"})
        for (int to : {0, 2, 3}) EXPECT_EQ(ConvertBytes(bad, 3, to, 65001, 0, &out), 1557) << bad;
    for (std::string bad : {std::string("\x00\xd8", 2),
                            std::string("\x00\xdc"
                                        "A\x00",
                                        4),
                            std::string("\x00\xd8"
                                        "A\x00",
                                        4)})
        EXPECT_EQ(ConvertBytes(bad, 2, 3, 65001, 0, &out), 1557);
    ASSERT_EQ(ConvertBytes("\xf4\x8f\xbf\xbf\xed\x9f\xbf", 3, 2, 65001, 0, &out), 0);  // the edges stay valid
    EXPECT_EQ(out, std::string("\xff\xdb\xff\xdf\xff\xd7", 6));
}

}  // namespace
}  // namespace tarn::fn
