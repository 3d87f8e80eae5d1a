#include "windows_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "env_override.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

TEST(WindowsDirectory, IsTheUsersOwnFolder) {
    {
        // A service without HOME still gets its own home, never /tmp.
        EnvOverride a("TARN_WINDOWS_DIR", nullptr), b("HOME", nullptr), c("XDG_CONFIG_HOME", nullptr);
        const passwd* me = getpwuid(geteuid());
        ASSERT_NE(me, nullptr);
        const std::string expected = std::string(me->pw_dir) + "/.config/vrayu/windows";
        EXPECT_EQ(WindowsFile("WIN.INI"), expected + "/WIN.INI");
    }
    char tmpl[] = "/tmp/windirXXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string root = tmpl;
    {
        // Created on first write, private.
        EnvOverride a("TARN_WINDOWS_DIR", (root + "/mine").c_str());
        ASSERT_TRUE(PrepareWindowsDirectory());
        struct stat st {};
        ASSERT_EQ(::stat((root + "/mine").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(WindowsFile("PELRUN.INI"), root + "/mine/PELRUN.INI");
    }
    if (geteuid() == 0) {
        // A folder planted by someone else is neither read nor written.
        const std::string theirs = root + "/theirs";
        ASSERT_EQ(::mkdir(theirs.c_str(), 0777), 0);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        EnvOverride a("TARN_WINDOWS_DIR", theirs.c_str());
        EXPECT_EQ(WindowsDirectory(), "");
        EXPECT_EQ(WindowsFile("WIN.INI"), "");
        EXPECT_FALSE(PrepareWindowsDirectory());
    }
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace tarn
