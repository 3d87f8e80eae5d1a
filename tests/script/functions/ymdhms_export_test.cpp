#include "functions/ymdhms_export.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseYMDHMSExport, LevelsAndFields) {
    int32_t t[6];
    ASSERT_EQ(ParseYMDHMS("98:08:04:24:00:00", t, 2, 1), 1);
    EXPECT_EQ(t[0], 1998);
    EXPECT_EQ(t[1], 8);
    EXPECT_EQ(t[2], 4);
    EXPECT_EQ(t[3], 0);
    EXPECT_EQ(ParseYMDHMS("98:08:04:24:00:00", t, 1, 1), 0);
    EXPECT_EQ(ParseYMDHMS("1998::08", t, 0, 0), 0);
    EXPECT_EQ(ParseYMDHMS("0:0:0:23:59:59", t, 3, 0), 1);
    EXPECT_EQ(ParseYMDHMS(nullptr, t, 0, 0), 0);
}

}  // namespace
