// The launcher's own logic: word splitting, program lookup through the
// registry store and PATH, document commands, starting and waiting.
#include "functions/logic/launch.h"
#include "registry_store.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarn::launch {
namespace {

using fn::test::readFile;
using fn::test::TempDir;
using fn::test::writeFile;
using vrayu::registry::Root;
using vrayu::registry::Store;
using vrayu::registry::Value;

// A registry store of its own inside the test folder.
class OwnRegistry {
public:
    explicit OwnRegistry(const TempDir& tmp) : dir_(tmp / "registry") {
        const char* old = std::getenv("VRAYU_REGISTRY_DIR");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("VRAYU_REGISTRY_DIR", dir_.c_str(), 1);
    }
    ~OwnRegistry() {
        if (had_) setenv("VRAYU_REGISTRY_DIR", old_.c_str(), 1);
        else unsetenv("VRAYU_REGISTRY_DIR");
    }
    void Set(Root root, const std::string& key, const std::string& name, const std::string& text) {
        Store(dir_).WriteValue(root, key, name, Value::String(text));
    }

private:
    std::string dir_, old_;
    bool had_ = false;
};

void MakeScript(const std::string& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), 0755);
}

TEST(Launch, SplitWords) {
    const struct {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  lead and trail  ", {"lead", "and", "trail"}},
        {"-c 'exit 3'", {"-c", "exit 3"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(x"y z"w)", {"xy zw"}},
        {R"("" '')", {"", ""}},
        {R"('it"s' "it's")", {"it\"s", "it's"}},
        {R"(C:\dir\file.txt)", {R"(C:\dir\file.txt)"}},
        {R"("unclosed rest)", {"unclosed rest"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitWords(c.text), c.words) << c.text;
}

TEST(Launch, SearchPathTakesExecutableFilesOnly) {
    TempDir tmp;
    std::filesystem::create_directories(tmp / "a");
    std::filesystem::create_directories(tmp / "b");
    writeFile(tmp / "a/tool", "not executable");
    MakeScript(tmp / "b/tool", "exit 0");
    std::filesystem::create_directories(tmp / "a/dirtool");
    EXPECT_EQ(SearchPath("tool", tmp / "a" + ":" + tmp / "b"), tmp / "b/tool");
    EXPECT_EQ(SearchPath("dirtool", tmp / "a"), "");
    EXPECT_EQ(SearchPath("missing", tmp / "a" + ":" + tmp / "b"), "");
    // An empty PATH entry is the current directory.
    MakeScript(tmp / "here", "exit 0");
    EXPECT_EQ(SearchPath("here", "/nonexistent::"), "./here");
}

TEST(Launch, RegisteredApplicationPaths) {
    TempDir tmp;
    OwnRegistry reg(tmp);
    const std::string base = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\)";
    reg.Set(Root::LocalMachine, base + "editor", "", "/opt/ed/bin/editor");
    reg.Set(Root::LocalMachine, base + "editor", "Path", "/opt/ed/lib");
    reg.Set(Root::LocalMachine, base + "WORD.EXE", "", "\"/opt/word/word\"");
    AppPath app;
    ASSERT_TRUE(LookUpAppPath("editor", &app));
    EXPECT_EQ(app.program, "/opt/ed/bin/editor");
    EXPECT_EQ(app.path, "/opt/ed/lib");
    // Found with ".EXE" added; quotes around the value are dropped; key
    // names compare without regard to case.
    ASSERT_TRUE(LookUpAppPath("word", &app));
    EXPECT_EQ(app.program, "/opt/word/word");
    EXPECT_EQ(app.path, "");
    EXPECT_FALSE(LookUpAppPath("other", &app));
}

TEST(Launch, AssociatedCommand) {
    TempDir tmp;
    OwnRegistry reg(tmp);
    reg.Set(Root::ClassesRoot, ".txt", "", "txtfile");
    reg.Set(Root::ClassesRoot, R"(txtfile\shell\open\command)", "", "viewer %1 --fast");
    reg.Set(Root::ClassesRoot, R"(txtfile\shell\print\command)", "", "printer \"%1\"");
    reg.Set(Root::ClassesRoot, R"(.log\shell\open\command)", "", "pager");
    using Words = std::vector<std::string>;
    EXPECT_EQ(AssociatedCommand("/d/a b.txt", "", "open"), (Words{"viewer", "/d/a b.txt", "--fast"}));
    EXPECT_EQ(AssociatedCommand("/d/a.txt", "-x 'y z'", "open"), (Words{"viewer", "/d/a.txt", "--fast", "-x", "y z"}));
    EXPECT_EQ(AssociatedCommand("/d/a.txt", "", "print"), (Words{"printer", "/d/a.txt"}));
    // A name with quotes and blanks stays one argument: it cannot add
    // arguments of its own to the command, quoted "%1" or not.
    const std::string sly = "/d/x\" --evil \"y.txt";
    EXPECT_EQ(AssociatedCommand(sly, "", "open"), (Words{"viewer", sly, "--fast"}));
    EXPECT_EQ(AssociatedCommand(sly, "", "print"), (Words{"printer", sly}));
    EXPECT_EQ(AssociatedCommand("/d/%1.txt", "", "open"), (Words{"viewer", "/d/%1.txt", "--fast"}));
    // Without "%1" the file is appended; the extension key itself may hold
    // the command.
    EXPECT_EQ(AssociatedCommand("/d/x \".log", "", "open"), (Words{"pager", "/d/x \".log"}));
    EXPECT_TRUE(AssociatedCommand("/d/x.log", "", "print").empty());
    EXPECT_TRUE(AssociatedCommand("/d/x.none", "", "open").empty());
    // A dot in a directory name is no extension.
    EXPECT_TRUE(AssociatedCommand("/d.txt/noext", "", "open").empty());
}

TEST(Launch, SpawnAndWait) {
    TempDir tmp;
    pid_t pid = 0;
    ASSERT_EQ(Spawn({"/bin/true"}, "", "", &pid), 0);
    EXPECT_EQ(Wait(pid, nullptr), 0);
    ASSERT_EQ(Spawn({"/bin/sh", "-c", "exit 3"}, "", "", &pid), 0);
    EXPECT_EQ(Wait(pid, nullptr), 3);
    ASSERT_EQ(Spawn({"/bin/sh", "-c", "kill -9 $$"}, "", "", &pid), 0);
    EXPECT_EQ(Wait(pid, nullptr), 128 + 9);
    // The directory and the PATH prefix reach the child.
    std::filesystem::create_directories(tmp / "work");
    ASSERT_EQ(Spawn({"/bin/sh", "-c", "pwd > where; echo \"$PATH\" > path"}, tmp / "work", "/extra/bin", &pid), 0);
    EXPECT_EQ(Wait(pid, nullptr), 0);
    EXPECT_EQ(readFile(tmp / "work/where"), tmp.path() + "/work\n");
    EXPECT_EQ(readFile(tmp / "work/path").rfind("/extra/bin:", 0), 0u);
    // Failures come back as the system's error numbers.
    EXPECT_EQ(Spawn({tmp / "missing"}, "", "", &pid), ENOENT);
    writeFile(tmp / "plain.txt", "text");
    EXPECT_EQ(Spawn({tmp / "plain.txt"}, "", "", &pid), EACCES);
    EXPECT_EQ(Spawn({}, "", "", &pid), ENOENT);
}

TEST(Launch, WaitStopsWhenAsked) {
    pid_t pid = 0;
    ASSERT_EQ(Spawn({"/bin/sleep", "5"}, "", "", &pid), 0);
    const volatile unsigned char stop = 1;
    EXPECT_EQ(Wait(pid, &stop), -1);
    kill(pid, SIGKILL);
}

}  // namespace
}  // namespace tarn::launch
