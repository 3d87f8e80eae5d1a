#include "functions/logic/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "functions/logic/ini_file.h"
#include "temp_dir.h"

namespace tarn {
namespace {

using fn::test::readFile;
using fn::test::TempDir;
using fn::test::writeFile;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

bool SetKey(const std::string& path, const std::string& key, const std::string& value) {
    return UpdateIni(path, [&](IniFile& ini) {
        ini.Set("S", key, value);
        return true;
    });
}

// Runs `body` in a child process (as user `uid` when not -1) and gives its
// exit status.
template <typename F>
int InChild(uid_t uid, F body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (uid != static_cast<uid_t>(-1) && (::setgid(uid) != 0 || ::setuid(uid) != 0)) ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AtomicFile, ConcurrentWritersLoseNothing) {
    // In memory when possible: the locking is under test, not the disk's
    // flush speed.
    const char* old_tmp = std::getenv("TMPDIR");
    const std::string saved = old_tmp ? old_tmp : "";
    if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    TempDir dir;
    old_tmp ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    const std::string path = dir / "shared.ini";
    const auto start = std::chrono::steady_clock::now();
    pid_t pids[3];
    for (int w = 0; w < 3; ++w) {
        pids[w] = ::fork();
        if (pids[w] == 0) {
            bool ok = true;
            for (int k = 0; k < 100; ++k)
                ok = SetKey(path, "w" + std::to_string(w) + "k" + std::to_string(k), "v") && ok;
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(LoadIni(path).Keys("S").size(), 300u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(AtomicFile, UnreadableFileIsNeverOverwritten) {
    TempDir dir;
    const std::string path = dir / "locked.ini";
    writeFile(path, "[Keep]\nold=1\n");
    ::chmod(path.c_str(), 0200);
    uid_t as = static_cast<uid_t>(-1);
    if (::geteuid() == 0) {
        // Root reads everything: let an ordinary user try instead.
        as = 65534;
        ASSERT_EQ(::chown(dir.path().c_str(), as, as), 0);
        ASSERT_EQ(::chown(path.c_str(), as, as), 0);
    }
    EXPECT_EQ(InChild(as, [&] { return SetKey(path, "new", "2") ? 1 : 0; }), 0);
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(readFile(path), "[Keep]\nold=1\n");
    // A folder in the file's place cannot be read either.
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(SetKey(dir / "folder.ini", "k", "v"));
    // An edit that changes nothing writes nothing: no file appears.
    EXPECT_TRUE(UpdateIni(dir / "none.ini", [](IniFile&) { return false; }));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.ini"));
}

TEST(AtomicFile, WritesThroughLinksWithPrivateModes) {
    TempDir dir;
    // New files are 0600 in 0700 folders; an existing file keeps its mode.
    ASSERT_TRUE(SetKey(dir / "new/deeper/a.ini", "k", "v"));
    EXPECT_EQ(ModeOf(dir / "new/deeper/a.ini"), 0600u);
    EXPECT_EQ(ModeOf(dir / "new/deeper"), 0700u);
    writeFile(dir / "b.ini", "");
    ::chmod((dir / "b.ini").c_str(), 0640);
    ASSERT_TRUE(ReplaceFile(dir / "b.ini", "x"));
    EXPECT_EQ(ModeOf(dir / "b.ini"), 0640u);
    // A chain of links (relative and absolute) is followed; the links stay.
    std::filesystem::create_directory(dir / "real");
    writeFile(dir / "real/t.ini", "[S]\nold=1\n");
    std::filesystem::create_symlink("real/t.ini", dir / "hop.ini");
    std::filesystem::create_symlink(dir / "hop.ini", dir / "link.ini");
    ASSERT_TRUE(SetKey(dir / "link.ini", "new", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "hop.ini"));
    EXPECT_EQ(readFile(dir / "real/t.ini"), "[S]\r\nold=1\r\nnew=2\r\n");
    // A dangling link creates the file it names.
    std::filesystem::create_symlink("made.ini", dir / "dangling.ini");
    ASSERT_TRUE(ReplaceFile(dir / "dangling.ini", "y"));
    EXPECT_EQ(readFile(dir / "made.ini"), "y");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling.ini"));
}

}  // namespace
}  // namespace tarn
