#include "functions/logic/volumes.h"

#include <gtest/gtest.h>

namespace tarn::fn {
namespace {

TEST(Volumes, DriveArguments) {
    bool letter;
    EXPECT_EQ(driveRoot("C", &letter), "/");
    EXPECT_TRUE(letter);
    EXPECT_EQ(driveRoot("c:\\"), "/");
    EXPECT_EQ(driveRoot("c:"), "/");
    EXPECT_FALSE(driveRoot("D:", &letter).has_value());
    EXPECT_TRUE(letter);
    EXPECT_FALSE(driveRoot("CD", &letter).has_value());
    EXPECT_FALSE(letter);
    EXPECT_EQ(driveRoot("\\tmp\\x"), "/tmp/x");
    EXPECT_EQ(driveRoot("1:", &letter), std::nullopt);
    EXPECT_FALSE(letter);
}

TEST(Volumes, MountsKindsAndOwners) {
    auto mounts = parseMounts(
        "proc /proc proc rw 0 0\n"
        "/dev/sda1 / ext4 rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "srv:/export /mnt/share\\040x nfs4 rw 0 0\n"
        "/dev/sr0 /media/cd iso9660 ro 0 0\n"
        "/dev/sdb1 /media/stick vfat rw 0 0\n");
    ASSERT_EQ(mounts.size(), 6u);
    EXPECT_EQ(mounts[3].point, "/mnt/share x");
    EXPECT_EQ(mountKind(mounts[0]), 0);
    EXPECT_EQ(mountKind(mounts[1]), 2);
    EXPECT_EQ(mountKind(mounts[2]), 16);
    EXPECT_EQ(mountKind(mounts[3]), 4);
    EXPECT_EQ(mountKind(mounts[4]), 8);
    EXPECT_EQ(mountKind(mounts[5]), 1);
    EXPECT_EQ(mountOf(mounts, "/tmp/a/b")->point, "/tmp");
    EXPECT_EQ(mountOf(mounts, "/tmpx")->point, "/");
    EXPECT_EQ(mountOf(mounts, "/media/stick")->device, "/dev/sdb1");
}

}  // namespace
}  // namespace tarn::fn
