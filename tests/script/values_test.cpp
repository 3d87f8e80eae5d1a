#include "values.h"

#include <gtest/gtest.h>

#include <climits>

namespace tarn {
namespace {

TEST(Conversions, StringToInteger) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"10", true, 10},
        {" 10", true, 10},
        {"-5", true, -5},
        {"--5", true, 5},
        {"+-7", true, -7},
        {"10 ", false, 0},
        {"1 2", false, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"1.0", false, 0},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"12a", false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t v = 0;
        EXPECT_EQ(ParseInteger(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(Conversions, StringToFloat) {
    double d;
    EXPECT_TRUE(ParseFloat("1.5", &d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(ParseFloat(" -2.5e2", &d));
    EXPECT_EQ(d, -250);
    EXPECT_TRUE(ParseFloat(".5", &d));
    EXPECT_TRUE(ParseFloat("5.", &d));
    EXPECT_FALSE(ParseFloat("1e", &d));
    EXPECT_FALSE(ParseFloat("abc", &d));
    EXPECT_FALSE(ParseFloat(".", &d));
    EXPECT_FALSE(ParseFloat("1.5x", &d));
}

TEST(Conversions, FloatToInteger) {
    std::int32_t v;
    EXPECT_TRUE(FloatToInt(2.5, &v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(FloatToInt(-2.5, &v));
    EXPECT_EQ(v, -3);
    EXPECT_TRUE(FloatToInt(2147483645.0, &v));
    EXPECT_FALSE(FloatToInt(2147483646.0, &v));
    EXPECT_FALSE(FloatToInt(-2147483646.0, &v));
}

TEST(Conversions, FloatToText) {
    struct Case {
        double v;
        int d;
        const char* text;
    };
    const Case cases[] = {
        {3.5, -1, "3.5"},
        {1.0 / 3, -1, "0.33333333"},
        {2.0, -1, "2.0"},
        {123456789.0, -1, "123456789.0"},
        {1e20, -1, "1.00000000e+20"},
        {3.5, 0, "4"},
        {-3.5, 0, "-4"},
        {3.5, 2, "3.50"},
        {123.456, 2, "123.00"},
        {0.5, 2, "0.50"},
        {0.125, 3, "0.125"},
        {1.5, 1, "1.5"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.v, c.d), c.text) << c.v << " d=" << c.d;
    EXPECT_EQ(FormatInt(INT_MIN), "-2147483648");
}

TEST(Conversions, FloatLimits) {
    double v = 1e301;
    EXPECT_FALSE(CheckFloat(&v));
    v = 1e-301;
    EXPECT_TRUE(CheckFloat(&v));
    EXPECT_EQ(v, 0.0);
}

}  // namespace
}  // namespace tarn
