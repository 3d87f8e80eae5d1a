#include "functions/logic/volumes.h"

#include <sys/vfs.h>

#include "functions/logic/filenames.h"

#include <fstream>
#include <set>
#include <sstream>

namespace tarn::fn {

std::optional<std::string> driveRoot(std::string_view arg, bool* letter) {
    if (letter) *letter = false;
    if (arg.empty()) return fullPath(".");
    std::string a = slashes(arg);
    if (a[0] == '/') return fullPath(a);
    bool isLetter = ((a[0] | 0x20) >= 'a' && (a[0] | 0x20) <= 'z') &&
                    (a.size() == 1 || (a[1] == ':' && (a.size() == 2 || (a.size() == 3 && a[2] == '/'))));
    if (!isLetter) return std::nullopt;
    if (letter) *letter = true;
    if ((a[0] | 0x20) == 'c') return std::string("/");
    return std::nullopt;
}

namespace {

std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::vector<Mount> parseMounts(std::string_view text) {
    std::vector<Mount> out;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        Mount m;
        if (f >> m.device >> m.point >> m.type) {
            m.device = unescape(m.device);
            m.point = unescape(m.point);
            out.push_back(std::move(m));
        }
    }
    return out;
}

std::vector<Mount> readMounts(const std::string& file) {
    std::ifstream in(file);
    std::stringstream ss;
    ss << in.rdbuf();
    return parseMounts(ss.str());
}

int mountKind(const Mount& m) {
    static const std::set<std::string> local = {"ext2", "ext3",  "ext4",     "xfs",     "btrfs",  "zfs",
                                                "f2fs", "jfs",   "reiserfs", "vfat",    "msdos",  "exfat",
                                                "ntfs", "ntfs3", "fuseblk",  "hfsplus", "overlay"};
    static const std::set<std::string> remote = {"nfs",        "nfs4", "cifs", "smb3", "smbfs",
                                                 "fuse.sshfs", "9p",   "afs",  "ceph", "glusterfs"};
    if (m.type == "iso9660" || m.type == "udf") return 8;
    if (m.type == "tmpfs" || m.type == "ramfs") return 16;
    if (remote.count(m.type)) return 4;
    if (local.count(m.type)) {
        bool removable =
            m.point.rfind("/media/", 0) == 0 || m.point.rfind("/run/media/", 0) == 0 || m.point.rfind("/mnt/", 0) == 0;
        return removable && m.type != "overlay" ? 1 : 2;
    }
    return 0;
}

std::optional<Mount> mountOf(const std::vector<Mount>& mounts, const std::string& path) {
    std::optional<Mount> best;
    for (const auto& m : mounts) {
        const std::string& p = m.point;
        bool prefix =
            path == p || p == "/" || (path.rfind(p, 0) == 0 && path.size() > p.size() && path[p.size()] == '/');
        if (prefix && (!best || p.size() >= best->point.size())) best = m;
    }
    return best;
}

std::string fileSystemTypeOf(const std::string& path) {
    struct statfs st;
    if (statfs(path.c_str(), &st) != 0) return "";
    switch (static_cast<unsigned long>(st.f_type)) {
        case 0xEF53: return "ext4";  // ext2, ext3 and ext4 share the magic number
        case 0x58465342: return "xfs";
        case 0x9123683E: return "btrfs";
        case 0x2FC12FC1: return "zfs";
        case 0xF2F52010: return "f2fs";
        case 0x794C7630: return "overlay";
        case 0x01021994: return "tmpfs";
        case 0x858458F6: return "ramfs";
        case 0x4D44: return "vfat";
        case 0x2011BAB0: return "exfat";
        case 0x5346544E: return "ntfs";
        case 0x6969: return "nfs";
        case 0xFF534D42: return "cifs";
        case 0x9660: return "iso9660";
        case 0x15013346: return "udf";
        case 0x65735546: return "fuseblk";
        default: return "";
    }
}

}  // namespace tarn::fn
