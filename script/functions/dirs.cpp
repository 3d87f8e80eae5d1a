// The directory family.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filelist.h"
#include "functions/logic/filenames.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarn::fn {

std::string AttrString(const std::string& path);
int ApplyAttrs(const std::string& path, std::string_view attrs);
void ReturnSize(Call& c, long long bytes);
std::string ProgramDir();

namespace {

std::string arg(Call& c, int i) {
    std::string p = slashes(c.Str(i));
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// Each directory named by a list of masks ("." and ".." never match a mask).
int eachDir(Call& c, std::string_view list, int notFound, const std::function<int(const std::string&)>& fn) {
    for (const auto& m : splitMasks(list, ItemDelim(c))) {
        std::string mask = slashes(m);
        while (mask.size() > 1 && mask.back() == '/') mask.pop_back();
        if (!hasWildcards(namePart(mask))) {
            if (!isDirectory(mask)) return notFound;
            if (int rc = fn(mask)) return rc;
            continue;
        }
        auto names = matchNames(dirPart(mask), namePart(mask), true, c.State().hidden_files != 0);
        if (names.empty()) return notFound;
        for (const auto& n : names)
            if (int rc = fn(dirPart(mask) + n)) return rc;
    }
    return 0;
}

void DirAttrGet(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    if (!isDirectory(p)) return c.Fail(err::DirAttrGetDirectoryNotFound);
    c.ReturnText(AttrString(p));
}

void DirAttrSet(Call& c) {
    std::string attrs(c.Str(1));
    int rc = eachDir(c, c.Str(0), err::DirAttrSetDirectoryNotFoundAccess, [&](const std::string& p) {
        return ApplyAttrs(p, attrs) ? err::DirAttrSetDirectoryNotFoundAccess : 0;
    });
    if (rc) return c.Fail(rc);
    c.ReturnInt(1);
}

void DirChange(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    if (p.empty() || chdir(p.c_str()) != 0) return c.Fail(err::DirChangeDirNotFoundchanged);
    c.ReturnInt(1);
}

void DirExist(Call& c) {
    std::string p = arg(c, 0);
    if (hasWildcards(namePart(p))) return c.Fail(err::DirExistInvalidPathSpecified);
    c.ReturnInt(isDirectory(p) ? 1 : 0);
}

void DirGet(Call& c) {
    std::string d = fullPath(".");
    ReturnTextOrMemError(c, d == "/" ? d : d + "/");
}

void DirHome(Call& c) { ReturnTextOrMemError(c, ProgramDir()); }

// Creates a directory and any missing parents.
void DirMake(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    if (p.empty()) return c.Fail(err::DirMakeDirNotCreated);
    std::string full = fullPath(p);
    for (std::size_t i = 1; i <= full.size(); ++i) {
        if (i < full.size() && full[i] != '/') continue;
        std::string part = full.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return c.Fail(err::DirMakeDirNotCreated);
    }
    if (!isDirectory(full)) return c.Fail(err::DirMakeDirNotCreated);
    c.ReturnInt(1);
}

void DirRemove(Call& c) {
    int rc = eachDir(c, c.Str(0), err::DirRemoveDirNotRemoved,
                     [](const std::string& p) { return rmdir(p.c_str()) == 0 ? 0 : err::DirRemoveDirNotRemoved; });
    if (rc) return c.Fail(rc);
    c.ReturnInt(1);
}

void DirRename(Call& c) {
    std::string from = arg(c, 0), to = arg(c, 1);
    if (hasWildcards(namePart(from)) || !isDirectory(from)) return c.Fail(err::DirRenameFromFileIllegal);
    struct stat st;
    if (to.empty() || hasWildcards(namePart(to)) || lstat(to.c_str(), &st) == 0)
        return c.Fail(err::DirRenameToFileIllegal);
    if (::rename(from.c_str(), to.c_str()) != 0) return c.Fail(err::FileRenameRenameFailed);
    c.ReturnInt(1);
}

long long treeSize(const std::string& dir, bool allocated) {
    long long total = 0;
    DIR* h = opendir(dir.c_str());
    if (!h) return 0;
    while (dirent* e = readdir(h)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string p = dir + "/" + name;
        struct stat st;
        if (lstat(p.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) total += treeSize(p, allocated);
        else if (S_ISREG(st.st_mode)) total += allocated ? static_cast<long long>(st.st_blocks) * 512 : st.st_size;
    }
    closedir(h);
    return total;
}

// Bytes of the files in a directory and all below it; flag 1 counts the
// space they take on disk.
void DirSize(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    if (!isDirectory(p)) return c.Fail(err::DirSizeDirectoryNotFound);
    ReturnSize(c, treeSize(p, c.Int(1) & 1));
}

// 0: the per-user folder that stands in for the Windows directory;
// 1: the system program directory.
void DirWindows(Call& c) {
    if (c.Int(0) == 0) return ReturnTextOrMemError(c, WindowsDir());
    if (c.Int(0) == 1) return ReturnTextOrMemError(c, "/usr/bin/");
    ReturnTextOrMemError(c, "");
}

constexpr BuiltinEntry kDirs[] = {
    {"dirattrget", DirAttrGet}, {"dirattrset", DirAttrSet}, {"dirchange", DirChange},   {"direxist", DirExist},
    {"dirget", DirGet},         {"dirhome", DirHome},       {"dirmake", DirMake},       {"dirremove", DirRemove},
    {"dirrename", DirRename},   {"dirsize", DirSize},       {"dirwindows", DirWindows},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(dirs, tarn::fn::kDirs)
