#include "functions/logic/registry_item.h"

#include <gtest/gtest.h>

namespace tarn::fn {
namespace {

namespace reg = vrayu::registry;

TEST(RegItem, ParsesSubkeyAndValueName) {
    struct Case {
        const char* text;
        int error;
        const char* subkey;
        const char* name;
    };
    const Case cases[] = {
        {"Software\\X\\[Name]", 0, "Software\\X", "Name"},
        {"[Name]", 0, "", "Name"},
        {"Software\\X", 0, "Software\\X", ""},
        {"Software\\X[Name]", 0, "Software\\X", "Name"},
        {"", 0, "", ""},
        {"A\\[]", 0, "A", ""},
        {"A\\[Name", 1402, "", ""},
        {"A\\[Name]x", 1402, "", ""},
    };
    for (const auto& c : cases) {
        RegItem item;
        EXPECT_EQ(ParseRegItem(c.text, &item), c.error) << c.text;
        if (c.error) continue;
        EXPECT_EQ(item.subkey, c.subkey) << c.text;
        EXPECT_EQ(item.name, c.name) << c.text;
    }
    RegItem item;
    EXPECT_EQ(ParseRegItem(std::string(256, 'k') + "\\[v]", &item), 0);
    EXPECT_EQ(ParseRegItem(std::string(257, 'k') + "\\[v]", &item), 1460);
}

TEST(RegItem, HexText) {
    EXPECT_EQ(HexBytes(std::string("\x01\xAB\xFF", 3)), "01 AB FF ");
    std::string out;
    EXPECT_TRUE(ParseHexBytes("01 ab\tFF ", &out));
    EXPECT_EQ(out, std::string("\x01\xAB\xFF", 3));
    EXPECT_TRUE(ParseHexBytes("", &out));
    EXPECT_TRUE(out.empty());
    for (const char* bad : {"1", "0G", "ABC", "01,02", "01 2"}) EXPECT_FALSE(ParseHexBytes(bad, &out)) << bad;
}

TEST(RegItem, ValueTextRoundTripsAndTypeErrors) {
    reg::Value v;
    std::string text;
    ASSERT_EQ(RegValueFromText(7, "a|b||c", "|", &v), 0);
    EXPECT_EQ(v.strings, (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(RegValueText(v, 7, ",", &text), 0);
    EXPECT_EQ(text, "a,b,,c");
    ASSERT_EQ(RegValueFromText(7, "", "|", &v), 0);
    EXPECT_TRUE(v.strings.empty());
    ASSERT_EQ(RegValueFromText(4, "4294967295", "|", &v), 0);
    EXPECT_EQ(v.dword, 0xFFFFFFFFu);
    EXPECT_EQ(RegValueText(v, 4, "", &text), 0);
    EXPECT_EQ(text, "-1");
    for (const char* bad : {"", "x", "1.5", "4294967296", "-2147483649", "12 3"})
        EXPECT_EQ(RegValueFromText(4, bad, "|", &v), 1459) << bad;
    EXPECT_EQ(RegValueFromText(3, "zz", "|", &v), 1457);
    // Which query refuses which type.
    struct Case {
        reg::Value value;
        int query;
        int error;
    };
    const Case cases[] = {
        {reg::Value::Binary("x"), 1, 1453},     {reg::Value::ExpandString("x"), 1, 1488},
        {reg::Value::MultiString({}), 1, 1489}, {reg::Value::DWord(1), 1, 1490},
        {reg::Value::String("x"), 3, 1454},     {reg::Value::String("x"), 4, 1456},
        {reg::Value::String("x"), 2, 1483},     {reg::Value::String("x"), 7, 1484},
        {reg::Value::String("x"), 1, 0},        {reg::Value::ExpandString("%P%"), 2, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RegValueText(c.value, c.query, "|", &text), c.error) << c.query;
}

}  // namespace
}  // namespace tarn::fn
