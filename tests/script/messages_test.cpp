#include "messages.h"

#include <gtest/gtest.h>

#include <set>

namespace tarn {
namespace {

TEST(Messages, TableSortedUniqueAndExact) {
    int count = 0;
    const Message* m = Messages(&count);
    EXPECT_GT(count, 700);
    for (int i = 1; i < count; ++i) EXPECT_LT(m[i - 1].code, m[i].code) << m[i].code;
    EXPECT_EQ(MessageText(3046), "Internal Error 3046. Function not defined");
    EXPECT_EQ(MessageText(3357), "End Error: No match  found");
    EXPECT_EQ(MessageText(503), "Undefined error code -> ");
    EXPECT_EQ(MessageText(730), " popup menu");
    EXPECT_EQ(MessageText(3049), "No variables exist?\?!!");
    EXPECT_EQ(MessageText(1308), "IconReplace: EXE file open failed (in use?)");
    EXPECT_EQ(MessageText(9999), "User requested Cancel");
    EXPECT_EQ(MessageText(1407), "IntControl 29: Invalid delimiter character");
    EXPECT_EQ(MessageText(3472), "Function not available in this product");
    EXPECT_TRUE(MessageText(1).empty());
    EXPECT_TRUE(MessageText(9000).empty());
}

TEST(Messages, Severity) {
    EXPECT_EQ(SeverityOf(1), Severity::Minor);
    EXPECT_EQ(SeverityOf(2000), Severity::Minor);
    EXPECT_EQ(SeverityOf(2001), Severity::Moderate);
    EXPECT_EQ(SeverityOf(3000), Severity::Moderate);
    EXPECT_EQ(SeverityOf(3001), Severity::Severe);
}

}  // namespace
}  // namespace tarn
