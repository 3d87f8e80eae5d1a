#include "registry_store.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

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
    std::string FileText(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void WriteText(const fs::path& file, std::string_view text) { std::ofstream(file, std::ios::binary) << text; }
    static unsigned Mode(const fs::path& p) {
        struct stat st {};
        return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
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
    // Roots are separate; the user's root has a database of its own, private to the user.
    EXPECT_FALSE(reopened.KeyExists(Root::LocalMachine, "Software\\Test"));
    EXPECT_FALSE(fs::exists(dir_ / "HKEY_LOCAL_MACHINE.db"));
    EXPECT_EQ(Mode(dir_ / "HKEY_CURRENT_USER.db"), 0600u);
    EXPECT_EQ(Mode(dir_), 0700u);
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

// Siblings whose names extend the key's name ("App 2", "App-x", "App.y",
// "App2", "App[") sort around its subkeys; deleting a tree at any level
// takes every subkey and leaves every sibling.
TEST_F(StoreTest, DeletingATreeTakesEverySubkeyAndNoSibling) {
    const std::vector<std::string> levels = {"Software", "App", "Settings", "Deep"};
    const std::vector<std::string> suffixes = {" 2", "-x", ".y", "2", "[", "_"};
    for (std::size_t cut = 0; cut < levels.size(); ++cut) {
        Store store(dir_ / std::to_string(cut));
        std::string path;
        std::vector<std::string> siblings;
        for (const auto& name : levels) {
            const std::string parent = path;
            path += (path.empty() ? "" : "\\") + name;
            ASSERT_EQ(store.WriteValue(Root::CurrentUser, path, "v", Value::String(path)), Status::Ok);
            for (const auto& suffix : suffixes) {
                siblings.push_back((parent.empty() ? "" : parent + "\\") + name + suffix);
                ASSERT_EQ(store.WriteValue(Root::CurrentUser, siblings.back() + "\\Child", "v", Value::DWord(1)),
                          Status::Ok);
            }
        }
        std::string victim;
        for (std::size_t i = 0; i <= cut; ++i) victim += (i ? "\\" : "") + levels[i];
        if (cut + 1 < levels.size()) {
            EXPECT_EQ(store.DeleteKey(Root::CurrentUser, victim), Status::HasSubkeys);
        }
        ASSERT_EQ(store.DeleteTree(Root::CurrentUser, victim), Status::Ok);
        Store reopened(dir_ / std::to_string(cut));
        std::string below = victim;
        for (std::size_t i = cut; i < levels.size(); ++i) {
            if (i > cut) below += "\\" + levels[i];
            EXPECT_FALSE(reopened.KeyExists(Root::CurrentUser, below)) << below;
            EXPECT_FALSE(reopened.ReadValue(Root::CurrentUser, below, "v")) << below;
        }
        for (const auto& sibling : siblings) {
            const bool under = sibling.starts_with(victim + "\\");
            EXPECT_EQ(reopened.KeyExists(Root::CurrentUser, sibling + "\\child"), !under) << sibling;
        }
        EXPECT_EQ(reopened.DeleteTree(Root::CurrentUser, victim), Status::NotFound);
    }
}

TEST_F(StoreTest, FailedUpdatesWriteNothing) {
    Store store(dir_);
    ASSERT_EQ(store.WriteValue(Root::LocalMachine, "k", "v", Value::String("kept")), Status::Ok);

    // An edit that fails after changing things leaves none of its changes.
    EXPECT_EQ(store.Update(Root::LocalMachine,
                           [](Hive& h) {
                               h.SetValue("k", "v", Value::String("changed"));
                               h.CreateKey("new\\key");
                               h.DeleteTree("k");
                               return Status::NotFound;
                           }),
              Status::NotFound);
    EXPECT_EQ(store.ReadValue(Root::LocalMachine, "k", "v")->text, "kept");
    EXPECT_FALSE(store.KeyExists(Root::LocalMachine, "new"));
    // So does one whose statement failed though it reported success, and an
    // edit that throws.
    EXPECT_EQ(store.Update(Root::LocalMachine,
                           [&](Hive& h) {
                               h.CreateKey("new");
                               store.WriteValue(Root::LocalMachine, "k", "v", Value::String("nested"));
                               return Status::Ok;
                           }),
              Status::IoError);
    EXPECT_THROW(store.Update(Root::LocalMachine,
                              [](Hive& h) -> Status {
                                  h.CreateKey("new");
                                  throw std::runtime_error("x");
                              }),
                 std::runtime_error);
    EXPECT_FALSE(store.KeyExists(Root::LocalMachine, "new"));
    EXPECT_EQ(store.ReadValue(Root::LocalMachine, "k", "v")->text, "kept");
    // Too deep a key is refused.
    std::string deep = "k";
    for (std::size_t i = 1; i < kMaxKeyDepth; ++i) deep += "\\k";
    EXPECT_EQ(store.CreateKey(Root::LocalMachine, deep), Status::Ok);
    EXPECT_EQ(store.CreateKey(Root::LocalMachine, deep + "\\k"), Status::InvalidArgument);
}

// A damaged store file, or one that is not a store, is reported and never
// read as empty nor written over.
TEST_F(StoreTest, DamagedStoreIsReportedAndLeftAlone) {
    const fs::path file = Store(dir_).DatabaseFile(Root::LocalMachine);
    std::string notOurs = "not a store";
    {
        // A real SQLite file of some other program.
        Store other(dir_ / "other");
        ASSERT_EQ(other.WriteValue(Root::LocalMachine, "k", "v", Value::DWord(1)), Status::Ok);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(other.DatabaseFile(Root::LocalMachine).c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA application_id=0; PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const std::vector<std::pair<std::string, fs::path>> damaged = {
        {"garbage", {}}, {"empty", {}}, {"foreign", dir_ / "other" / "HKEY_LOCAL_MACHINE.db"}};
    for (const auto& [what, source] : damaged) {
        if (source.empty()) WriteText(file, what == "garbage" ? std::string(8192, '\x5a') : std::string());
        else fs::copy_file(source, file, fs::copy_options::overwrite_existing);
        const std::string before = FileText(file);
        Store store(dir_);
        Hive hive;
        EXPECT_EQ(store.Read(Root::LocalMachine, hive), Status::Corrupt) << what;
        EXPECT_EQ(store.WriteValue(Root::LocalMachine, "k", "v", Value::DWord(2)), Status::Corrupt) << what;
        EXPECT_FALSE(store.ReadValue(Root::LocalMachine, "k", "v")) << what;
        EXPECT_EQ(FileText(file), before) << what;
        // The other database is not affected.
        EXPECT_EQ(store.WriteValue(Root::CurrentUser, "k", "v", Value::DWord(2)), Status::Ok) << what;
    }
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
    // Keys nest at most kMaxKeyDepth deep.
    auto nested = [](std::size_t depth) {
        std::string text = "VRAYU-REGISTRY 1\n", path;
        for (std::size_t i = 0; i < depth; ++i) text += "[" + (path += (i ? "\\k" : "k")) + "]\n";
        return text;
    };
    EXPECT_TRUE(Hive::Parse(nested(kMaxKeyDepth)));
    EXPECT_FALSE(Hive::Parse(nested(kMaxKeyDepth + 1)));
    // The text form comes back as it was read (keys in case-insensitive order,
    // values in the order set, every type).
    const std::string text =
        "VRAYU-REGISTRY 1\n\n[]\n@=sz:\"root\"\n\n[a]\n\n[A\\b]\n\"z\"=expand:\"%25x\"\n\"y\"=hex:00,FF\n"
        "\n[B]\n@=multi:\"\",\"%22\"\n\"d\"=dword:FFFFFFFF\n";
    auto hive = Hive::Parse(text);
    ASSERT_TRUE(hive);
    EXPECT_EQ(hive->Serialize(), text);
}

// The earlier store's text files become the databases on first open, once
// and all or nothing, and stay beside them as backups.
TEST_F(StoreTest, TextStoreIsImportedOnceAndKeptAsBackup) {
    WriteText(dir_ / "HKEY_CURRENT_USER.reg",
              "VRAYU-REGISTRY 1\n\n[Software\\App]\n\"b\"=dword:0000002A\n\"A\"=sz:\"x%25y\"\n"
              "\n[Software\\App\\Sub]\n@=multi:\"1\",\"\"\n");
    WriteText(dir_ / "HKEY_CLASSES_ROOT.reg", "VRAYU-REGISTRY 1\n\n[.txt]\n@=sz:\"txtfile\"\n");
    WriteText(dir_ / "HKEY_CLASSES_ROOT.reg.lock", "");
    Store store(dir_);
    // A read is enough to import.
    EXPECT_EQ(store.ReadValue(Root::ClassesRoot, ".TXT", "")->text, "txtfile");
    const auto values = store.Values(Root::CurrentUser, "software\\app");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (std::pair<std::string, Value>{"b", Value::DWord(42)}));
    EXPECT_EQ(values[1], (std::pair<std::string, Value>{"A", Value::String("x%y")}));
    EXPECT_EQ(store.ReadValue(Root::CurrentUser, "Software\\App\\Sub", "")->strings,
              (std::vector<std::string>{"1", ""}));
    for (const char* name : {"HKEY_CURRENT_USER.reg", "HKEY_CLASSES_ROOT.reg", "HKEY_CLASSES_ROOT.reg.lock"})
        EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    EXPECT_TRUE(fs::exists(dir_ / "HKEY_CURRENT_USER.reg.bak"));
    EXPECT_EQ(Mode(dir_ / "HKEY_CLASSES_ROOT.reg.bak"), 0600u);
    // Once: a text file appearing later is not read again.
    WriteText(dir_ / "HKEY_CLASSES_ROOT.reg", "VRAYU-REGISTRY 1\n\n[.txt]\n@=sz:\"other\"\n");
    EXPECT_EQ(Store(dir_).ReadValue(Root::ClassesRoot, ".txt", "")->text, "txtfile");

    // A damaged text file stops the import of its database: nothing is made,
    // nothing renamed, and the store reports it rather than looking empty.
    const fs::path other = dir_ / "damaged";
    fs::create_directory(other);
    WriteText(other / "HKEY_LOCAL_MACHINE.reg", "VRAYU-REGISTRY 1\n\n[ok]\n@=sz:\"1\"\n");
    WriteText(other / "HKEY_USERS.reg", "VRAYU-REGISTRY 1\n[k]\n\"v\"=dword:12\n");
    Store damaged(other);
    EXPECT_EQ(damaged.WriteValue(Root::LocalMachine, "k", "v", Value::DWord(1)), Status::Corrupt);
    std::string text;
    EXPECT_EQ(damaged.ExportText(Root::Users, &text), Status::Corrupt);
    EXPECT_FALSE(fs::exists(other / "HKEY_LOCAL_MACHINE.db"));
    EXPECT_TRUE(fs::exists(other / "HKEY_LOCAL_MACHINE.reg"));
    EXPECT_EQ(damaged.WriteValue(Root::CurrentUser, "k", "v", Value::DWord(1)), Status::Ok);
}

// Every write acknowledged before a writer is killed is there afterwards,
// and the store stays whole.
TEST_F(StoreTest, KilledWritersLoseNoAcknowledgedWrite) {
    for (int round = 0; round < 8; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            Store store(dir_);
            for (std::uint32_t i = 0;; ++i) {
                const std::string key = "r" + std::to_string(round) + "\\" + std::to_string(i % 50);
                if (store.WriteValue(Root::CurrentUser, key, "n", Value::DWord(i)) != Status::Ok) _exit(1);
                if (write(fds[1], &i, sizeof i) != sizeof i) _exit(1);
            }
        }
        close(fds[1]);
        std::uint32_t last = 0, n = 0;
        const bool any = read(fds[0], &last, sizeof last) == sizeof last;  // writing has begun
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 15 * round));
        kill(child, SIGKILL);
        while (read(fds[0], &n, sizeof n) == sizeof n) last = n;
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped on its own in round " << round;
        ASSERT_TRUE(any) << "no write acknowledged in round " << round;
        Store store(dir_);
        for (std::uint32_t i = last >= 49 ? last - 49 : 0; i <= last; ++i) {
            const std::string key = "r" + std::to_string(round) + "\\" + std::to_string(i % 50);
            const auto v = store.ReadValue(Root::CurrentUser, key, "n");
            ASSERT_TRUE(v) << round << " " << i;
            EXPECT_GE(v->dword, i) << round;
        }
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ / "HKEY_CURRENT_USER.db").c_str(), &db), SQLITE_OK);
    std::string check;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** v, char**) {
            *static_cast<std::string*>(out) += v[0];
            return 0;
        },
        &check, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(check, "ok");
}

// The store lives only in the user's own folders and files: made 0700/0600,
// someone else's refused, a store file that is a link written through.
TEST_F(StoreTest, FoldersAndFilesArePrivate) {
    const fs::path nested = dir_ / "a" / "b" / "registry";
    Store store(nested);
    ASSERT_EQ(store.WriteValue(Root::LocalMachine, "k", "v", Value::DWord(1)), Status::Ok);
    for (const fs::path& p : {dir_ / "a", dir_ / "a" / "b", nested}) EXPECT_EQ(Mode(p), 0700u) << p;
    EXPECT_EQ(Mode(store.DatabaseFile(Root::LocalMachine)), 0600u);

    // Through a link: the link stays, its target has the value.
    const fs::path target = dir_ / "elsewhere.db";
    fs::rename(store.DatabaseFile(Root::LocalMachine), target);
    fs::create_symlink(target, store.DatabaseFile(Root::LocalMachine));
    ASSERT_EQ(store.WriteValue(Root::LocalMachine, "k", "w", Value::DWord(2)), Status::Ok);
    EXPECT_TRUE(fs::is_symlink(store.DatabaseFile(Root::LocalMachine)));
    EXPECT_EQ(Store(nested).ReadValue(Root::LocalMachine, "k", "w")->dword, 2u);

    if (geteuid() != 0) GTEST_SKIP() << "giving a folder away needs root";
    const fs::path foreign = dir_ / "foreign";
    Store planted(foreign);
    ASSERT_EQ(planted.WriteValue(Root::LocalMachine, "App Paths\\x", "", Value::String("/bad")), Status::Ok);
    for (const fs::path& p : {foreign, planted.DatabaseFile(Root::LocalMachine)})
        ASSERT_EQ(chown(p.c_str(), 65534, 65534), 0);
    Store again(foreign);
    EXPECT_FALSE(again.ReadValue(Root::LocalMachine, "App Paths\\x", ""));
    EXPECT_EQ(again.WriteValue(Root::CurrentUser, "k", "v", Value::DWord(1)), Status::IoError);
}

TEST(RegistryDefaults, DirectoryFollowsTheEnvironment) {
    setenv("VRAYU_REGISTRY_DIR", "/tmp/some/where", 1);
    EXPECT_EQ(Store::DefaultDirectory(), fs::path("/tmp/some/where"));
    unsetenv("VRAYU_REGISTRY_DIR");
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(Store::DefaultDirectory(), fs::path("/tmp/cfg/vrayu/registry"));
    // Without any of them: the user's home folder, never a shared one.
    unsetenv("XDG_CONFIG_HOME");
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    unsetenv("HOME");
    const passwd* pw = getpwuid(geteuid());
    ASSERT_TRUE(pw);
    EXPECT_EQ(Store::DefaultDirectory(), fs::path(pw->pw_dir) / ".config" / "vrayu" / "registry");
    if (!home.empty()) setenv("HOME", home.c_str(), 1);
}

}  // namespace
