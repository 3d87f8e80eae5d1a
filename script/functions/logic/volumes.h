// Drives and volumes on Linux: a drive argument names a file system by a
// path, or by the letter "C" for the root file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::fn {

// The path that a drive argument names: "" is the current directory; "C",
// "C:" or "C:\" (any case) is "/"; a path beginning with "/" or "\" is
// itself. Other letters name no drive (nullopt with `letter` set); anything
// else is not a drive argument (nullopt, `letter` clear).
std::optional<std::string> driveRoot(std::string_view arg, bool* letter = nullptr);

struct Mount {
    std::string device, point, type;
};

// The mounts of /proc/self/mounts (escapes such as "\040" decoded).
std::vector<Mount> readMounts(const std::string& file = "/proc/self/mounts");
std::vector<Mount> parseMounts(std::string_view text);

// Drive-type bits of a mount: 1 removable, 2 local disk, 4 remote, 8 CD-ROM,
// 16 RAM disk; 0 for pseudo file systems (proc, sysfs, cgroup, ...).
int mountKind(const Mount& m);

// The mount that holds `path` (the longest mount point that prefixes it).
std::optional<Mount> mountOf(const std::vector<Mount>& mounts, const std::string& path);

// File-system type of the file system holding `path`, from statfs, for when
// the mount table does not show it (a chroot or a private mount namespace
// hides the mounts above its root). "" when the type is unknown.
std::string fileSystemTypeOf(const std::string& path);

}  // namespace tarn::fn
