#include "user_dirs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "env_override.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrayu::userdirs {
namespace {

TEST(UserDirs, HomeComesFromThePasswordDatabaseWithoutHome) {
    const passwd* me = getpwuid(geteuid());
    ASSERT_NE(me, nullptr);
    EnvOverride home("HOME", nullptr), config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(HomeDirectory(), me->pw_dir);
    EXPECT_EQ(ConfigHome(), std::string(me->pw_dir) + "/.config");
    {
        // Relative or empty values are not folders to trust.
        EnvOverride rel("HOME", "relative"), xdg("XDG_CONFIG_HOME", "");
        EXPECT_EQ(HomeDirectory(), me->pw_dir);
        EXPECT_EQ(ConfigHome().find("/tmp"), std::string::npos);
    }
    EnvOverride set("HOME", "/h/me"), xdg("XDG_CONFIG_HOME", "/c");
    EXPECT_EQ(HomeDirectory(), "/h/me");
    EXPECT_EQ(ConfigHome(), "/c");
}

TEST(UserDirs, PrivateFoldersAreTheUsersOwn) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/user_dirs_testXXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string root = tmpl;
    const std::string deep = root + "/a/b/c";
    std::string why;
    ASSERT_TRUE(EnsurePrivateFolder(deep, &why)) << why;
    struct stat st {};
    for (const std::string& d : {root + "/a", root + "/a/b", deep}) {
        ASSERT_EQ(::stat(d.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << d;
    }
    EXPECT_TRUE(EnsurePrivateFolder(deep));  // existing: fine
    EXPECT_TRUE(OwnedOrMissing(deep));
    EXPECT_TRUE(OwnedOrMissing(root + "/none"));
    std::ofstream(root + "/file") << "x";
    EXPECT_FALSE(EnsurePrivateFolder(root + "/file", &why));
    EXPECT_FALSE(OwnedOrMissing(root + "/file"));
    EXPECT_FALSE(EnsurePrivateFolder("", &why));
    if (geteuid() == 0) {
        // A folder someone else owns (planted in a shared place) is refused,
        // also when reached through a link.
        const std::string theirs = root + "/theirs";
        ASSERT_EQ(::mkdir(theirs.c_str(), 0777), 0);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        fs::create_directory_symlink(theirs, root + "/link");
        EXPECT_FALSE(EnsurePrivateFolder(theirs, &why));
        EXPECT_NE(why.find("another user"), std::string::npos);
        EXPECT_FALSE(EnsurePrivateFolder(root + "/link"));
        EXPECT_FALSE(OwnedOrMissing(theirs));
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace vrayu::userdirs
