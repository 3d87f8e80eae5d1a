#include "functions/logic/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "temp_dir.h"

namespace tarn {
namespace {

TEST(IniFile, ReadsWithProfileRules) {
    const IniFile ini(
        "; comment=1\n[ Main ]\r\nKey = value \r\nkey=second\r\nQ=\"quoted \"\nR='x'\nS=\"half\n"
        "NoEquals\n;K2=hidden\n[Other]\nKey=other\n");
    EXPECT_EQ(ini.Get("main", "KEY"), "value");
    EXPECT_EQ(ini.Get("Main", "Q"), "quoted ");
    EXPECT_EQ(ini.Get("Main", "R"), "x");
    EXPECT_EQ(ini.Get("Main", "S"), "\"half");
    EXPECT_EQ(ini.Get("Main", "K2"), std::nullopt);
    EXPECT_EQ(ini.Get("Main", "NoEquals"), std::nullopt);
    EXPECT_EQ(ini.Get("Other", "key"), "other");
    EXPECT_EQ(ini.Get("Missing", "key"), std::nullopt);
    EXPECT_EQ(ini.Keys("MAIN"), (std::vector<std::string>{"Key", "Q", "R", "S"}));
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Main", "Other"}));
}

TEST(IniFile, EditsKeepEverythingElse) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;  // null: delete the key; "" key null: delete section
        const char* after;
    };
    const Case cases[] = {
        {"", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"; top\n", "S", "k", "v", "; top\r\n\r\n[S]\r\nk=v\r\n"},
        {"[S]\na=1\n\n[T]\nb=2\n", "s", "c", "3", "[S]\r\na=1\r\nc=3\r\n\r\n[T]\r\nb=2\r\n"},
        {"[S]\nA = 1\n", "S", "a", "2", "[S]\r\na=2\r\n"},
        {"[S]\na=1\nb=2\n[T]\n", "S", "a", nullptr, "[S]\r\nb=2\r\n[T]\r\n"},
        {"[S]\na=1\n[T]\nb=2\n[U]\n", "t", nullptr, nullptr, "[S]\r\na=1\r\n[U]\r\n"},
        {"[S]\na=1\n", "X", "a", nullptr, "[S]\r\na=1\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini(c.before);
        if (c.value) ini.Set(c.section, c.key, c.value);
        else if (c.key) ini.DeleteKey(c.section, c.key);
        else ini.DeleteSection(c.section);
        EXPECT_EQ(ini.Text(), c.after) << c.before;
    }
    IniFile none("[S]\na=1\n");
    EXPECT_FALSE(none.DeleteKey("S", "b"));
    EXPECT_FALSE(none.DeleteSection("T"));
    EXPECT_TRUE(none.DeleteKey("s", "A"));
}

TEST(IniFile, SavesAtomicallyAndRoundTrips) {
    fn::test::TempDir dir;
    const std::string path = dir / "sub/p.ini";
    IniFile ini;
    ini.Set("S", "k", "\xe0\xff glyphs");
    ASSERT_TRUE(SaveIni(path, ini));
    EXPECT_EQ(LoadIni(path).Get("S", "K"), "\xe0\xff glyphs");
    // A target that cannot be replaced fails and leaves no temporary file.
    std::filesystem::create_directory(dir / "busy.ini");
    EXPECT_FALSE(SaveIni(dir / "busy.ini", ini));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);
    EXPECT_TRUE(LoadIni(dir / "missing.ini").Sections().empty());
}

}  // namespace
}  // namespace tarn
