#include "registry_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace vrayu::registry;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/regstoreXXXXXX";
        dir_ = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string FileText(Root root) {
        std::ifstream in(dir_ / (std::string(RootName(root)) + ".reg"));
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir_;
};

TEST_F(StoreTest, ValuesOfEveryTypeSurviveTheFile) {
    Store store(dir_);
    const std::string awkward = std::string("a\"b%c\nd\re\x01 \xE9\xFF", 13);
    const Value values[] = {
        Value::String(awkward),
        Value::ExpandString("%HOME%/x"),
        Value::Binary(std::string("\0\x01\xFF", 3)),
        Value::DWord(0xDEADBEEF),
        Value::MultiString({"one", "", "t,\"w\"o"}),
        Value::String(""),
        Value::Binary(""),
        Value::MultiString({}),
    };
    int i = 0;
    for (const auto& v : values)
        ASSERT_EQ(store.WriteValue(Root::CurrentUser, "Software\\Test", "v" + std::to_string(i++), v), Status::Ok);
    ASSERT_EQ(store.WriteValue(Root::CurrentUser, "Software\\Test", "", Value::String("default")), Status::Ok);

    Store reopened(dir_);
    i = 0;
    for (const auto& v : values) {
        auto read = reopened.ReadValue(Root::CurrentUser, "software\\TEST", "V" + std::to_string(i++));
        ASSERT_TRUE(read.has_value()) << i;
        EXPECT_EQ(*read, v) << i;
    }
    EXPECT_EQ(reopened.ReadValue(Root::CurrentUser, "Software\\Test", "")->text, "default");
    // Values keep the order they were first set in, and their first spelling.
    auto all = reopened.Values(Root::CurrentUser, "Software\\Test");
    ASSERT_EQ(all.size(), 9u);
    EXPECT_EQ(all.front().first, "v0");
    EXPECT_EQ(all.back().first, "");
    // Other roots are separate files.
    EXPECT_FALSE(reopened.KeyExists(Root::LocalMachine, "Software\\Test"));
    EXPECT_TRUE(fs::exists(dir_ / "HKEY_CURRENT_USER.reg"));
}

TEST_F(StoreTest, KeysCreateDeleteAndEnumerate) {
    Store store(dir_);
    ASSERT_EQ(store.CreateKey(Root::ClassesRoot, "\\a\\B\\c\\"), Status::Ok);
    ASSERT_EQ(store.CreateKey(Root::ClassesRoot, "a\\d"), Status::Ok);
    ASSERT_EQ(store.CreateKey(Root::ClassesRoot, "ab"), Status::Ok);
    EXPECT_TRUE(store.KeyExists(Root::ClassesRoot, "A\\b"));
    EXPECT_TRUE(store.KeyExists(Root::ClassesRoot, ""));
    EXPECT_FALSE(store.KeyExists(Root::ClassesRoot, "a\\x"));
    EXPECT_EQ(store.SubKeys(Root::ClassesRoot, "a"), (std::vector<std::string>{"B", "d"}));
    EXPECT_EQ(store.SubKeys(Root::ClassesRoot, ""), (std::vector<std::string>{"a", "ab"}));
    EXPECT_EQ(store.CreateKey(Root::ClassesRoot, "a\\\\b"), Status::InvalidArgument);

    EXPECT_EQ(store.DeleteKey(Root::ClassesRoot, "a\\b"), Status::HasSubkeys);
    EXPECT_EQ(store.DeleteKey(Root::ClassesRoot, "a\\b\\c"), Status::Ok);
    EXPECT_EQ(store.DeleteKey(Root::ClassesRoot, "a\\b\\c"), Status::NotFound);
    EXPECT_EQ(store.DeleteTree(Root::ClassesRoot, "A"), Status::Ok);
    EXPECT_FALSE(store.KeyExists(Root::ClassesRoot, "a\\d"));
    EXPECT_TRUE(store.KeyExists(Root::ClassesRoot, "ab"));  // a sibling with a common prefix stays

    EXPECT_EQ(store.DeleteValue(Root::ClassesRoot, "ab", "none"), Status::NotFound);
    ASSERT_EQ(store.WriteValue(Root::ClassesRoot, "ab", "x", Value::DWord(1)), Status::Ok);
    EXPECT_EQ(store.DeleteValue(Root::ClassesRoot, "AB", "X"), Status::Ok);
    EXPECT_FALSE(store.ReadValue(Root::ClassesRoot, "ab", "x"));
}

TEST_F(StoreTest, FailedUpdatesWriteNothing) {
    Store store(dir_);
    ASSERT_EQ(store.WriteValue(Root::LocalMachine, "k", "v", Value::String("kept")), Status::Ok);
    const std::string before = FileText(Root::LocalMachine);

    // An edit that fails is not written.
    EXPECT_EQ(store.Update(Root::LocalMachine,
                           [](Hive& h) {
                               h.SetValue("k", "v", Value::String("changed"));
                               return Status::NotFound;
                           }),
              Status::NotFound);
    EXPECT_EQ(FileText(Root::LocalMachine), before);

    // A write that cannot create its temporary file leaves the store whole.
    fs::create_directory(dir_ / "HKEY_LOCAL_MACHINE.reg.tmp");
    EXPECT_EQ(store.WriteValue(Root::LocalMachine, "k", "v", Value::String("lost")), Status::IoError);
    EXPECT_EQ(FileText(Root::LocalMachine), before);
    EXPECT_EQ(store.ReadValue(Root::LocalMachine, "k", "v")->text, "kept");
    fs::remove(dir_ / "HKEY_LOCAL_MACHINE.reg.tmp");

    // A file that is not a store file is neither read as empty nor overwritten.
    { std::ofstream(dir_ / "HKEY_USERS.reg") << "garbage\n"; }
    Hive hive;
    EXPECT_EQ(store.Read(Root::Users, hive), Status::IoError);
    EXPECT_EQ(store.WriteValue(Root::Users, "k", "v", Value::DWord(2)), Status::IoError);
    EXPECT_EQ(FileText(Root::Users), "garbage\n");
}

TEST_F(StoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 150;
    auto writeMany = [&](const std::string& prefix) {
        Store store(dir_);
        for (int i = 0; i < kWrites; ++i)
            if (store.WriteValue(Root::CurrentUser, prefix + "\\" + std::to_string(i), "n",
                                 Value::DWord(static_cast<std::uint32_t>(i))) != Status::Ok)
                return false;
        return true;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writeMany("child") ? 0 : 1);
    const bool parentOk = writeMany("parent");
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(parentOk);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    Store store(dir_);
    EXPECT_EQ(store.SubKeys(Root::CurrentUser, "child").size(), static_cast<std::size_t>(kWrites));
    EXPECT_EQ(store.SubKeys(Root::CurrentUser, "parent").size(), static_cast<std::size_t>(kWrites));
    EXPECT_EQ(store.ReadValue(Root::CurrentUser, "child\\149", "n")->dword, 149u);
}

TEST(RegistryNames, RootsByLongAndShortName) {
    EXPECT_EQ(RootFromName("HKEY_LOCAL_MACHINE"), Root::LocalMachine);
    EXPECT_EQ(RootFromName("hkcr"), Root::ClassesRoot);
    EXPECT_EQ(RootFromName("HKU"), Root::Users);
    EXPECT_EQ(RootFromName("HKEY_DYN_DATA"), Root::DynData);
    EXPECT_FALSE(RootFromName("HKEY_NOWHERE"));
    EXPECT_EQ(RootName(Root::CurrentConfig), "HKEY_CURRENT_CONFIG");
}

TEST(RegistryParse, RejectsMalformedText) {
    EXPECT_TRUE(Hive::Parse(""));  // an empty file is an empty root
    EXPECT_FALSE(Hive::Parse("no header\n"));
    EXPECT_FALSE(Hive::Parse("VRAYU-REGISTRY 1\n@=sz:\"orphan\"\n"));
    EXPECT_FALSE(Hive::Parse("VRAYU-REGISTRY 1\n[k]\n\"v\"=dword:123\n"));
    EXPECT_FALSE(Hive::Parse("VRAYU-REGISTRY 1\n[k]\n\"v\"=sz:\"%G0\"\n"));
    EXPECT_FALSE(Hive::Parse("VRAYU-REGISTRY 1\n[k]\n\"v\"=hex:0\n"));
    EXPECT_TRUE(Hive::Parse("VRAYU-REGISTRY 1\r\n[k]\r\n\"v\"=hex:00,FF\r\n"));
}

TEST(RegistryDefaults, DirectoryFollowsTheEnvironment) {
    setenv("VRAYU_REGISTRY_DIR", "/tmp/some/where", 1);
    EXPECT_EQ(Store::DefaultDirectory(), fs::path("/tmp/some/where"));
    unsetenv("VRAYU_REGISTRY_DIR");
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(Store::DefaultDirectory(), fs::path("/tmp/cfg/vrayu/registry"));
}

}  // namespace
