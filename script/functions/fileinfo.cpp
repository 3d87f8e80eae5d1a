// The file information family: comparing, attributes, times, sizes, names,
// version resources and installing.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "windows_directory.h"
#include "functions/logic/filelist.h"
#include "functions/logic/filemanage.h"
#include "functions/logic/filenames.h"
#include "functions/logic/peversion.h"
#include "functions/logic/ymdhms.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace tarn::fn {

// Shared with the dir family.
std::string AttrString(const std::string& path);
int ApplyAttrs(const std::string& path, std::string_view attrs);
void ReturnSize(Call& c, long long bytes);
std::string ProgramDir();

namespace {

std::string arg(Call& c, int i) { return slashes(c.Str(i)); }

bool statPath(const std::string& p, struct stat& st) { return !p.empty() && stat(p.c_str(), &st) == 0; }

std::string readAll(const std::string& p, bool& ok) {
    std::ifstream in(p, std::ios::binary);
    ok = static_cast<bool>(in);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// 0 identical; else by last-write time: 1 first newer, -1 first older; with
// equal times 2 first larger, -2 first smaller, 3 same size but different.
void FileCompare(Call& c) {
    std::string a = arg(c, 0), b = arg(c, 1);
    if (!NoWildcards(c, a) || !NoWildcards(c, b)) return;
    struct stat sa, sb;
    bool okA, okB;
    if (!statPath(a, sa) || S_ISDIR(sa.st_mode)) return c.Fail(err::FileCompareFileOpenFailureFirst);
    if (!statPath(b, sb) || S_ISDIR(sb.st_mode)) return c.Fail(err::FileCompareFileOpenFailureSecond);
    std::string da = readAll(a, okA);
    if (!okA) return c.Fail(err::FileCompareFileOpenFailureFirst);
    std::string db = readAll(b, okB);
    if (!okB) return c.Fail(err::FileCompareFileOpenFailureSecond);
    if (da == db) return c.ReturnInt(0);
    if (sa.st_mtime != sb.st_mtime) return c.ReturnInt(sa.st_mtime > sb.st_mtime ? 1 : -1);
    if (da.size() != db.size()) return c.ReturnInt(da.size() > db.size() ? 2 : -2);
    c.ReturnInt(3);
}

void FileAttrGet(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    if (!isFile(p)) return c.Fail(err::FileAttrGetFileNotFound);
    c.ReturnText(AttrString(p));
}

void FileAttrSet(Call& c) {
    std::string attrs(c.Str(1));
    int rc = walkFiles(c.Str(0), ItemDelim(c), false, [&](const std::string& p) {
        return ApplyAttrs(p, attrs) ? err::FileAttrSetFileNotFoundAccess : 0;
    });
    if (rc == err::FileListProcessingNo) rc = err::FileAttrSetFileNotFoundAccess;
    if (rc) return c.Fail(rc);
    c.ReturnInt(1);
}

void FileTimeGet(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    struct stat st;
    if (!statPath(p, st)) return c.Fail(err::FileTimeGetFileNotFound);
    std::string ini = WindowsFile("WIN.INI");
    Regional r = Regional::read([&](const char* key, const char* def) { return ProfileString(ini, "intl", key, def); });
    ReturnTextOrMemError(c, formatRegional(LocalTime(st.st_mtime), r));
}

// Field of the extended time functions: 1 creation, 2 last write, 3 last access.
bool timeField(Call& c, int field) {
    if (field >= 1 && field <= 3) return true;
    c.Fail(err::FileTimeGetSetExInvalidTimefield);
    return false;
}

void FileTimeGetEx(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p) || !timeField(c, c.Int(1))) return;
    struct statx sx;
    if (p.empty() || statx(AT_FDCWD, p.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return c.Fail(err::FileTimeGetFileNotFound);
    long long t = sx.stx_mtime.tv_sec;
    if (c.Int(1) == 3) t = sx.stx_atime.tv_sec;
    // Creation: the birth time where the file system keeps one, else the
    // last status change.
    if (c.Int(1) == 1) t = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_ctime.tv_sec;
    ReturnTextOrMemError(c, YmdText(c, LocalTime(t)));
}

// Sets the last-write (field 2) and/or last-access (field 3) times of every
// file of a list; 0 fields means both to `when`.
void setTimes(Call& c, time_t when, int field) {
    timespec ts[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (field == 0 || field == 3) ts[0] = {when, 0};
    if (field == 0 || field == 2) ts[1] = {when, 0};
    int rc = walkFiles(c.Str(0), ItemDelim(c), false, [&](const std::string& p) {
        return utimensat(AT_FDCWD, p.c_str(), ts, 0) == 0 ? 0 : err::FileTimeTouchFileNotFound;
    });
    if (rc == err::FileListProcessingNo) rc = err::FileTimeTouchFileNotFound;
    if (rc) return c.Fail(rc);
    c.ReturnInt(1);
}

bool localSeconds(Call& c, int i, time_t& out) {
    Ymdhms t;
    if (!parseYmdhms(c.Str(i), t, kYmdFull, true)) {
        c.Fail(err::FileTimeGetSetExInvalidTimefield);
        return false;
    }
    std::tm tm{};
    tm.tm_year = t.year - 1900, tm.tm_mon = t.month - 1, tm.tm_mday = t.day;
    tm.tm_hour = t.hour, tm.tm_min = t.minute, tm.tm_sec = t.second, tm.tm_isdst = -1;
    out = mktime(&tm);
    return true;
}

void FileTimeSet(Call& c) {
    time_t when;
    if (localSeconds(c, 1, when)) setTimes(c, when, 2);
}

void FileTimeSetEx(Call& c) {
    if (!timeField(c, c.Int(2))) return;
    // Linux keeps no settable creation time.
    if (c.Int(2) == 1) return c.Fail(err::NotAvailable);
    time_t when;
    if (localSeconds(c, 1, when)) setTimes(c, when, c.Int(2));
}

void FileTimeTouch(Call& c) { setTimes(c, std::time(nullptr), 0); }

void FileTimeCode(Call& c) {
    std::string p = arg(c, 0);
    if (!NoWildcards(c, p)) return;
    struct stat st;
    if (!statPath(p, st)) return c.Fail(err::FileTimeGetFileNotFound);
    c.ReturnInt(static_cast<std::int32_t>(timeCode(LocalTime(st.st_mtime))));
}

void FileSize(Call& c) {
    long long total = 0;
    int rc = walkFiles(c.Str(0), ItemDelim(c), false, [&](const std::string& p) -> int {
        struct stat st;
        if (!statPath(p, st) || S_ISDIR(st.st_mode)) return err::FileSizeFileNotFound;
        total += st.st_size;
        return 0;
    });
    if (rc == err::FileListProcessingNo) rc = err::FileSizeFileNotFound;
    if (rc) return c.Fail(rc);
    ReturnSize(c, total);
}

// Looks for a file: a name with a directory as it is; else the current
// directory, the program directory, the Windows directory, then PATH.
void FileLocate(Call& c) {
    std::string name = arg(c, 0);
    if (!NoWildcards(c, name)) return;
    if (name.empty()) return ReturnTextOrMemError(c, "");
    if (!dirPart(name).empty()) return ReturnTextOrMemError(c, isFile(name) ? fullPath(name) : "");
    std::vector<std::string> dirs = {fullPath("."), ProgramDir(), WindowsDir()};
    if (const char* path = std::getenv("PATH")) {
        std::string p = path;
        for (std::size_t i = 0, j; i <= p.size(); i = j + 1) {
            j = p.find(':', i);
            if (j == std::string::npos) j = p.size();
            if (j > i) dirs.push_back(p.substr(i, j - i));
        }
    }
    for (auto d : dirs) {
        if (d.empty()) continue;
        if (d.back() != '/') d += '/';
        if (isFile(d + name)) return ReturnTextOrMemError(c, fullPath(d + name));
    }
    ReturnTextOrMemError(c, "");
}

void FileFullName(Call& c) {
    if (c.Str(0).empty()) return c.Fail(err::FileFullNameFilenameCannotLegallyExpanded);
    ReturnTextOrMemError(c, fullPath(arg(c, 0)));
}

void FileExtension(Call& c) { ReturnTextOrMemError(c, extPart(namePart(c.Str(0)))); }
void FileRoot(Call& c) { ReturnTextOrMemError(c, rootPart(namePart(c.Str(0)))); }
void FilePath(Call& c) { ReturnTextOrMemError(c, c.Str(0).empty() ? "" : dirPart(fullPath(arg(c, 0)))); }
void FileNameEval1(Call& c) { FileFullName(c); }

void FileNameEval2(Call& c) {
    auto d = destinationPath(fullPath(arg(c, 0)), c.Str(1));
    if (!d) return c.Fail(err::FileMapNameFilenameCannotLegallyMapped);
    ReturnTextOrMemError(c, *d);
}

void FileMapName(Call& c) {
    std::string mask = arg(c, 1);
    std::string name = mapName(namePart(c.Str(0)), namePart(mask));
    if (name.empty()) return c.Fail(err::FileMapNameFilenameCannotLegallyMapped);
    ReturnTextOrMemError(c, dirPart(mask) + name);
}

// Linux names have no short form: both give the full name of an existing file.
void nameOf(Call& c, int notFound) {
    std::string p = arg(c, 0);
    struct stat st;
    if (!statPath(p, st)) return c.Fail(notFound);
    ReturnTextOrMemError(c, fullPath(p));
}
void FileNameLong(Call& c) { nameOf(c, err::FileNameLongFileNotFound); }
void FileNameShort(Call& c) { nameOf(c, err::FileNameShortFileNotFound); }

// 1 when the file exists (for a mask: when a file matches), else 0.
void FileExist(Call& c) {
    std::string p = arg(c, 0);
    if (p.empty()) return c.ReturnInt(0);
    if (hasWildcards(namePart(p)))
        return c.ReturnInt(!matchNames(dirPart(p), namePart(p), false, c.State().hidden_files != 0).empty());
    c.ReturnInt(isFile(p) ? 1 : 0);
}

void FileVerInfo(Call& c) {
    std::string p = arg(c, 0);
    bool ok;
    if (!isFile(p)) return c.Fail(err::FileVerInfoFileNotFound);
    std::string bytes = readAll(p, ok);
    if (!ok) return c.Fail(err::FileVerInfoFileNotFound);
    std::string out;
    if (peVersionField(bytes, c.Str(1), c.Str(2), out) == PeVersion::Broken)
        return c.Fail(err::FileVerInfoUnableAccessVersionInformation);
    ReturnTextOrMemError(c, out);
}

// Copies a file into a directory under a plain name. With `replace` 0 an
// existing target newer than the source is kept. The result is the target's
// full name.
void InstallFile(Call& c) {
    std::string src = arg(c, 0), name(c.Str(1)), dir = arg(c, 2);
    if (src.empty() || !isFile(src)) return c.Fail(err::InstallFileSourceFileNotFound);
    if (name.empty()) name = namePart(src);
    if (name.find_first_of("/\\") != std::string::npos) return c.Fail(err::InstallFileTargetFileNameCannot);
    if (!isDirectory(dir)) return c.Fail(err::InstallFileTargetDirectoryNotFound);
    std::string target = fullPath(dir + "/" + name);
    struct stat ss, ts;
    bool keep = c.Int(3) == 0 && statPath(target, ts) && statPath(src, ss) && ts.st_mtime > ss.st_mtime;
    if (!keep && fullPath(src) != target) {
        if (int e = copyFileBytes(src, target)) {
            std::snprintf(c.State().error_detail, sizeof c.State().error_detail, "CopyFile: %d", e);
            return c.Fail(err::FileCopyFailed);
        }
    }
    ReturnTextOrMemError(c, target);
}

constexpr BuiltinEntry kFileInfo[] = {
    {"filecompare", FileCompare},     {"fileattrget", FileAttrGet},     {"fileattrset", FileAttrSet},
    {"filetimeget", FileTimeGet},     {"filetimegetex", FileTimeGetEx}, {"filetimeset", FileTimeSet},
    {"filetimesetex", FileTimeSetEx}, {"filetimetouch", FileTimeTouch}, {"filetimecode", FileTimeCode},
    {"filesize", FileSize},           {"filelocate", FileLocate},       {"filefullname", FileFullName},
    {"fileextension", FileExtension}, {"fileroot", FileRoot},           {"filepath", FilePath},
    {"filenameeval1", FileNameEval1}, {"filenameeval2", FileNameEval2}, {"filemapname", FileMapName},
    {"filenamelong", FileNameLong},   {"filenameshort", FileNameShort}, {"fileexist", FileExist},
    {"fileverinfo", FileVerInfo},     {"installfile", InstallFile},
};

}  // namespace

// "RASH" by position, "." where an attribute is off: R no write permission
// for the owner, A never (Linux keeps no archive bit), S not a regular file
// or directory (device, pipe, socket), H a name beginning with ".".
std::string AttrString(const std::string& path) {
    struct stat st;
    std::string out = "....";
    if (stat(path.c_str(), &st) != 0) return out;
    if (!(st.st_mode & S_IWUSR)) out[0] = 'R';
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) out[2] = 'S';
    std::string name = namePart(path.back() == '/' ? path.substr(0, path.size() - 1) : path);
    if (!name.empty() && name[0] == '.') out[3] = 'H';
    return out;
}

// Applies "R"/"r" (read-only on/off: write permission off/on for the owner)
// and "H"/"h" (hidden on/off: the name gains or loses its leading "."); "A"
// and "S" letters are accepted and change nothing. Non-zero on failure.
int ApplyAttrs(const std::string& path, std::string_view attrs) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 1;
    std::string p = path;
    for (char a : attrs) {
        if (a == 'R' && chmod(p.c_str(), st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) & 07777) != 0) return 1;
        if (a == 'r' && chmod(p.c_str(), (st.st_mode | S_IWUSR) & 07777) != 0) return 1;
        if (a == 'H' || a == 'h') {
            std::string dir = dirPart(p), name = namePart(p);
            bool hidden = !name.empty() && name[0] == '.';
            if ((a == 'H') == hidden) continue;
            std::string to = dir + (a == 'H' ? "." + name : name.substr(1));
            struct stat other;
            if (name == "." || name == ".." || to == dir || lstat(to.c_str(), &other) == 0) return 1;
            if (::rename(p.c_str(), to.c_str()) != 0) return 1;
            p = to;
        }
        if (stat(p.c_str(), &st) != 0) return 1;
    }
    return 0;
}

// Sizes beyond the integer range come back as floating point.
void ReturnSize(Call& c, long long bytes) {
    if (bytes <= INT_MAX) return c.ReturnInt(static_cast<std::int32_t>(bytes));
    c.ReturnFloat(static_cast<double>(bytes));
}

// The directory of the running program, with its final "/".
std::string ProgramDir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return fullPath(".") + "/";
    return dirPart(std::string(buf, static_cast<std::size_t>(n)));
}

}  // namespace tarn::fn

TARN_FAMILY(fileinfo, tarn::fn::kFileInfo)
