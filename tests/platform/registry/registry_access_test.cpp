#include "registry_access.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using namespace vrayu::registry;

namespace {

class AccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/regaccessXXXXXX";
        dir_ = mkdtemp(tmpl);
        setenv("VRAYU_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VRAYU_REGISTRY_DIR");
        fs::remove_all(dir_);
    }
    fs::path dir_;
};

TEST_F(AccessTest, FirstTrueFlagSelectsTheRoot) {
    EXPECT_FALSE(SelectRoot({}));
    EXPECT_EQ(SelectRoot({.dynData = true}), Root::DynData);
    EXPECT_EQ(SelectRoot({.currentUser = true, .localMachine = true}), Root::CurrentUser);
    EXPECT_EQ(SelectRoot({true, true, true, true, true, true}), Root::ClassesRoot);
}

TEST_F(AccessTest, WriteReadAndKeyTest) {
    const RootFlags lm{.localMachine = true};
    const char* fonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    EXPECT_FALSE(KeyExists(fonts, lm));
    EXPECT_EQ(ReadStringValue(fonts, "Vrayu (TrueType)", lm), "");
    WriteStringValue(fonts, "Vrayu (TrueType)", "/opt/vrayu/glyfa.ttf", lm);
    EXPECT_TRUE(KeyExists(fonts, lm));
    // The whole value comes back: no character is lost at the end.
    EXPECT_EQ(ReadStringValue(fonts, "Vrayu (TrueType)", lm), "/opt/vrayu/glyfa.ttf");
    EXPECT_EQ(ReadStringValue(fonts, "vrayu (truetype)", lm), "/opt/vrayu/glyfa.ttf");
    EXPECT_EQ(ReadStringValue(fonts, "Vrayu (TrueType)", {.currentUser = true}), "");
    EXPECT_FALSE(KeyExists(fonts, {}));

    // Default value of a classes-root key.
    WriteStringValue("htmlfile\\shell\\open\\command", "", "xdg-open", {.classesRoot = true});
    EXPECT_EQ(ReadStringValue("htmlfile\\shell\\open\\command", "", {.classesRoot = true}), "xdg-open");
}

TEST_F(AccessTest, ReadsAreCutTo254Characters) {
    const RootFlags cu{.currentUser = true};
    for (std::size_t n : {253u, 254u, 255u, 600u}) {
        WriteStringValue("k", "v", std::string(n, 'x'), cu);
        EXPECT_EQ(ReadStringValue("k", "v", cu).size(), std::min<std::size_t>(n, 254)) << n;
    }
    // A value that is not a string reads as "".
    Store().WriteValue(Root::CurrentUser, "k", "d", Value::DWord(5));
    EXPECT_EQ(ReadStringValue("k", "d", cu), "");
}

TEST_F(AccessTest, NoFlagsTouchesNothing) {
    WriteStringValue("k", "v", "x", {});
    EXPECT_TRUE(fs::is_empty(dir_));
    EXPECT_EQ(ReadStringValue("k", "v", {}), "");
}

}  // namespace
