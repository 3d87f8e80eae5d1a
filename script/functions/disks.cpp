// The disk family: drives stand for file systems (see volumes.h).
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filenames.h"
#include "functions/logic/volumes.h"

#include <dirent.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <set>

namespace tarn::fn {

void ReturnSize(Call& c, long long bytes);

namespace {

bool statOf(const std::string& p, struct statvfs& v) { return statvfs(p.c_str(), &v) == 0; }

// Drives of a list: separated by blanks, commas, tabs or "|".
std::vector<std::string> driveList(std::string_view s) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : s) {
        if (ch == ' ' || ch == ',' || ch == '\t' || ch == '|') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    if (out.empty()) out.push_back("");
    return out;
}

// Sums a statvfs figure over the distinct file systems of a drive list.
void sumDrives(Call& c, bool free) {
    std::set<unsigned long> seen;
    long long total = 0;
    for (const auto& d : driveList(c.Str(0))) {
        auto root = driveRoot(d);
        struct statvfs v;
        if (!root || !statOf(*root, v)) return c.Fail(err::EvalDiskDiskDriveSpecificationError);
        if (!seen.insert(v.f_fsid).second) continue;
        total += static_cast<long long>(free ? v.f_bavail : v.f_blocks) * static_cast<long long>(v.f_frsize);
    }
    ReturnSize(c, total);
}

void DiskFree(Call& c) { sumDrives(c, true); }
void DiskSize(Call& c) { sumDrives(c, false); }

void DiskExist(Call& c) {
    bool letter;
    auto root = driveRoot(c.Str(0), &letter);
    if (!root && !letter) return c.Fail(err::DiskExistInvalidDiskArgumentTry);
    c.ReturnInt(root && isDirectory(*root) ? 1 : 0);
}

// 1 sectors per cluster, 2 bytes per sector, 3 free clusters, 4 total
// clusters; a cluster is a file system block, a sector 512 bytes.
void DiskInfo(Call& c) {
    auto root = driveRoot(c.Str(0));
    if (!root) return c.Fail(err::DiskInfoInvalidDriveLetter);
    int req = c.Int(1);
    if (req < 1 || req > 4) return c.Fail(err::DiskInfoInvalidRequestNumber);
    struct statvfs v;
    if (!statOf(*root, v)) return c.Fail(err::DiskInfoFunctionFailed);
    long long n = 0;
    switch (req) {
        case 1: n = static_cast<long long>(v.f_frsize / 512 ? v.f_frsize / 512 : 1); break;
        case 2: n = 512; break;
        case 3: n = static_cast<long long>(v.f_bavail); break;
        case 4: n = static_cast<long long>(v.f_blocks); break;
    }
    ReturnSize(c, n);
}

// Mount points whose drive type is among the bits of the request.
void DiskScan(Call& c) {
    std::string out, delim = ItemDelim(c);
    std::set<std::string> seen;
    for (const auto& m : readMounts()) {
        if (!(mountKind(m) & c.Int(0)) || !seen.insert(m.point).second) continue;
        if (!out.empty()) out += delim;
        out += m.point;
    }
    ReturnTextOrMemError(c, out);
}

// 1 label, 2 serial number, 3 file system type, 4 longest name, 5 names
// case-sensitive (1/0), 6 device.
void DiskVolInfo(Call& c) {
    auto root = driveRoot(c.Str(0));
    if (!root || !isDirectory(*root)) return c.Fail(err::DiskVolInfoInvalidRootPath);
    int req = c.Int(1);
    if (req < 1 || req > 6) return c.Fail(err::DiskVolInfoInvalidRequestNumber);
    struct statvfs v;
    if (!statOf(*root, v)) return c.Fail(err::DiskVolInfoFunctionFailed);
    auto m = mountOf(readMounts(), *root);
    switch (req) {
        case 1: {
            // The label whose /dev/disk/by-label link leads to the mount's device.
            std::string label;
            if (m) {
                char dev[4096];
                ssize_t n = realpath(m->device.c_str(), dev) ? static_cast<ssize_t>(strlen(dev)) : -1;
                if (DIR* h = n > 0 ? opendir("/dev/disk/by-label") : nullptr) {
                    while (dirent* e = readdir(h)) {
                        char target[4096];
                        std::string link = std::string("/dev/disk/by-label/") + e->d_name;
                        if (e->d_name[0] != '.' && realpath(link.c_str(), target) && std::string(target) == dev)
                            label = e->d_name;
                    }
                    closedir(h);
                }
            }
            return ReturnTextOrMemError(c, label);
        }
        case 2: return c.ReturnInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(v.f_fsid)));
        case 3: return ReturnTextOrMemError(c, m ? m->type : fileSystemTypeOf(*root));
        case 4: return c.ReturnInt(static_cast<std::int32_t>(v.f_namemax));
        case 5: {
            static const std::set<std::string> folding = {"vfat",  "msdos",   "exfat",  "ntfs",
                                                          "ntfs3", "fuseblk", "iso9660"};
            return c.ReturnInt(m && folding.count(m->type) ? 0 : 1);
        }
        default: return ReturnTextOrMemError(c, m ? m->device : "");
    }
}

// Makes a drive current: "C" is the root directory, a path is itself.
void LogDisk(Call& c) {
    bool letter;
    auto root = driveRoot(c.Str(0), &letter);
    if (!root && !letter) return c.Fail(err::LogDiskIllegalDiskDrive);
    if (!root || chdir(root->c_str()) != 0) return c.Fail(err::LogDiskRequestedDriveNotOnline);
    c.ReturnInt(1);
}

constexpr BuiltinEntry kDisks[] = {
    {"diskexist", DiskExist}, {"diskfree", DiskFree},       {"diskinfo", DiskInfo}, {"diskscan", DiskScan},
    {"disksize", DiskSize},   {"diskvolinfo", DiskVolInfo}, {"logdisk", LogDisk},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(disks, tarn::fn::kDisks)
