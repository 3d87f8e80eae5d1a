#include "functions/logic/filemanage.h"

#include "errors.h"
#include "functions/logic/filelist.h"
#include "functions/logic/filenames.h"
#include "functions/logic/ymdhms.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <vector>

namespace tarn::fn {
namespace {

bool statOf(const std::string& p, struct stat& st) { return stat(p.c_str(), &st) == 0; }

bool sameFile(const std::string& a, const std::string& b) {
    struct stat x, y;
    return statOf(a, x) && statOf(b, y) && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

long long defaultFree(const std::string& dir) {
    struct statvfs v;
    if (statvfs(dir.c_str(), &v) != 0) return -1;
    return static_cast<long long>(v.f_bavail) * static_cast<long long>(v.f_frsize);
}

// s is newer: its last-write time is not earlier than d's.
bool sourceNewer(const struct stat& s, const struct stat& d) {
    if (s.st_mtim.tv_sec != d.st_mtim.tv_sec) return s.st_mtim.tv_sec > d.st_mtim.tv_sec;
    return s.st_mtim.tv_nsec >= d.st_mtim.tv_nsec;
}

// A destination that is a port: a COMn/LPTn name, or an existing character
// device or pipe.
std::string portFor(const std::string& d) {
    if (auto dev = portDevice(namePart(d))) return *dev;
    struct stat st;
    if (statOf(d, st) && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) return d;
    return {};
}

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w, n -= static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

std::string describeFile(const std::string& path) {
    struct stat st;
    if (!statOf(path, st)) return "(File not found)";
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    Ymdhms t{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    char buf[96];
    std::snprintf(buf, sizeof buf, "%lld bytes  %s", static_cast<long long>(st.st_size), formatYmdhms(t).c_str());
    return buf;
}

Overwrite overwriteDecision(int& mode, const std::string& s, const std::string& d, const ReplaceAsker& ask) {
    if (mode == kOverwriteAll) return Overwrite::Proceed;
    if (mode == kCancelled) return Overwrite::Cancel;
    struct stat ss, ds;
    if (!statOf(s, ss)) return Overwrite::SourceMissing;
    if (!statOf(d, ds)) return Overwrite::Proceed;
    bool newer = sourceNewer(ss, ds);
    bool destNewer = sourceNewer(ds, ss);
    if (mode == kNewerAll) return newer ? Overwrite::Proceed : Overwrite::Skip;
    if (mode == kOlderAll) return destNewer ? Overwrite::Proceed : Overwrite::Skip;
    mode = ask ? ask(ReplaceQuestion{d, describeFile(d), s, describeFile(s)}) : kCancelled;
    switch (mode) {
        case kAnswerOverwrite:
        case kOverwriteAll: return Overwrite::Proceed;
        case kAnswerNewer:
        case kNewerAll: return newer ? Overwrite::Proceed : Overwrite::Skip;
        case kAnswerOlder:
        case kOlderAll: return destNewer ? Overwrite::Proceed : Overwrite::Skip;
        case kAnswerSkip: return Overwrite::Skip;
        default: mode = kCancelled; return Overwrite::Cancel;
    }
}

int copyFileBytes(const std::string& s, const std::string& d, int* failedSide) {
    if (failedSide) *failedSide = 0;
    int in = ::open(s.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        if (failedSide) *failedSide = 1;
        return errno;
    }
    struct stat st;
    fstat(in, &st);
    std::string tmp = dirPart(d) + ".tarn-copy-XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    int out = mkstemp(name.data());
    if (out < 0) {
        int e = errno;
        ::close(in);
        if (failedSide) *failedSide = 2;
        return e;
    }
    std::vector<char> buf(1 << 16);
    int err = 0;
    for (;;) {
        ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            err = errno;
            break;
        }
        if (r == 0) break;
        if (!writeAll(out, buf.data(), static_cast<std::size_t>(r))) {
            err = errno;
            break;
        }
    }
    if (!err) {
        fchmod(out, st.st_mode & 07777);
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
        if (fsync(out) != 0) err = errno;
    }
    if (::close(out) != 0 && !err) err = errno;
    ::close(in);
    if (!err && ::rename(name.data(), d.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(name.data());
        if (failedSide) *failedSide = 2;
    }
    return err;
}

int copyToPort(const std::string& s, const std::string& device) {
    int in = ::open(s.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return err::FileCopyPortErrorAccessingFile;
    // A pipe without a reader is refused at once rather than waited for.
    int out = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (out < 0) {
        ::close(in);
        return err::FileCopyPortErrorAccessingPort;
    }
    fcntl(out, F_SETFL, fcntl(out, F_GETFL) & ~O_NONBLOCK);
    std::vector<char> buf(kAppendBuffer);
    long long total = 0;
    int rc = 0;
    for (;;) {
        ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            rc = err::FileCopyPortErrorReadingFile;
            break;
        }
        if (r == 0) break;
        if (!writeAll(out, buf.data(), static_cast<std::size_t>(r))) {
            rc = err::FileCopyPortErrorWritingPort;
            break;
        }
        total += r;
    }
    ::close(out);
    ::close(in);
    if (!rc && total == 0) rc = err::FileCopyFailed;
    return rc;
}

bool FileManager::enoughSpace(const std::string& s, const std::string& d, bool whole) {
    struct stat ss, ds;
    if (!statOf(s, ss)) return true;  // the action reports the missing source
    long long need = ss.st_size;
    if (!whole && statOf(d, ds)) {
        if (ds.st_size >= ss.st_size) return true;
        need -= ds.st_size;
    }
    std::string dir = dirPart(d);
    long long avail = freeSpace ? freeSpace(dir) : defaultFree(dir);
    return avail < 0 || avail >= need;  // an unknown free space is not checked
}

int FileManager::copy(const std::string& s, const std::string& d) {
    if (!isFile(s)) return err::FileCopyFROMFileOpenFailed;
    if (sameFile(s, d)) return err::FileCopyMoveDestinationFileSameSource;
    Overwrite o = overwriteDecision(mode, s, d, ask);
    if (o == Overwrite::Cancel) return 9999;
    if (o == Overwrite::SourceMissing) return err::FileCopyFROMFileOpenFailed;
    std::string port = portFor(d);
    if (port.empty() && !enoughSpace(s, d, false)) return err::FileCopyInsufficientFreeSpaceTarget;
    if (o == Overwrite::Skip) return 0;
    if (!port.empty()) return copyToPort(s, port);
    if (int e = copyFileBytes(s, d)) {
        detail = "CopyFile: " + std::to_string(e);
        return err::FileCopyFailed;
    }
    return 0;
}

int FileManager::move(const std::string& s, const std::string& d) {
    if (!isFile(s)) return err::FileMoveFROMFileOpenFailed;
    if (sameFile(s, d)) return err::FileCopyMoveDestinationFileSameSource;
    Overwrite o = overwriteDecision(mode, s, d, ask);
    if (o == Overwrite::Cancel) return 9999;
    if (o == Overwrite::SourceMissing) return err::FileMoveFROMFileOpenFailed;
    if (!enoughSpace(s, d, false)) return err::FileMoveInsufficientFreeSpaceTarget;
    if (o == Overwrite::Skip) return 0;
    if (::rename(s.c_str(), d.c_str()) == 0) return 0;
    if (errno != EXDEV) {
        detail = "MoveFile: " + std::to_string(errno);
        return err::FileMoveFailed;
    }
    // Another file system: copy, then delete the source.
    int side = 0;
    if (int e = copyFileBytes(s, d, &side)) {
        detail = "MoveFile: " + std::to_string(e);
        return side == 1 ? err::FileMoveFROMFileOpenFailed : side == 2 ? err::FileMoveIOError : err::FileMoveFailed;
    }
    if (::unlink(s.c_str()) != 0) return err::FileMoveCouldNotDeleteFROM;
    return 0;
}

int FileManager::append(const std::string& s, const std::string& d) {
    struct stat ss;
    if (!statOf(s, ss) || S_ISDIR(ss.st_mode)) return err::FileAppendFROMFileOpenFailed;
    if (!enoughSpace(s, d, true)) return err::FileAppendInsufficientFreeSpaceTarget;
    int in = ::open(s.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return err::FileAppendFROMFileOpenFailed;
    int out = ::open(d.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (out < 0) {
        ::close(in);
        return err::FileAppendFileOpenFailed;
    }
    // Only the bytes present now: appending a file to itself doubles it
    // instead of growing without end.
    long long left = ss.st_size;
    std::vector<char> buf(kAppendBuffer);
    int rc = 0;
    while (left > 0) {
        ssize_t r = ::read(in, buf.data(), static_cast<std::size_t>(std::min<long long>(left, buf.size())));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            rc = r < 0 ? err::FileAppendIOError : 0;
            break;
        }
        if (!writeAll(out, buf.data(), static_cast<std::size_t>(r))) {
            rc = err::FileAppendIOError;
            break;
        }
        left -= r;
    }
    if (::close(out) != 0 && !rc) rc = err::FileAppendIOError;
    ::close(in);
    return rc;
}

int FileManager::rename(const std::string& s, const std::string& d) {
    if (s == d) return 0;
    // Renaming never replaces another file.
    struct stat st;
    if (lstat(d.c_str(), &st) == 0 && !sameFile(s, d)) return err::FileRenameFailed;
    if (::rename(s.c_str(), d.c_str()) != 0) {
        detail = "MoveFile: " + std::to_string(errno);
        return err::FileRenameFailed;
    }
    return 0;
}

int FileManager::erase(const std::string& s) { return ::unlink(s.c_str()) == 0 ? 0 : err::FileDeleteFileNotFound; }

int FileManager::one(const std::string& source, std::string_view target) {
    if (op_ == FileOp::Delete) return erase(source);
    auto dest = destinationPath(source, target);
    if (!dest) return -1;
    switch (op_) {
        case FileOp::Copy: return copy(source, *dest);
        case FileOp::Move: return move(source, *dest);
        case FileOp::Append: return append(source, *dest);
        case FileOp::Rename: return rename(source, *dest);
        case FileOp::Delete: break;
    }
    return 0;
}

int FileManager::run(std::string_view list, std::string_view target) {
    return walkFiles(list, delim, op_ == FileOp::Delete, [&](const std::string& p) { return one(p, target); });
}

}  // namespace tarn::fn
