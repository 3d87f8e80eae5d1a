#include "functions/logic/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "user_dirs.h"

namespace tarn {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// An open folder, optionally held with an exclusive flock.
class Folder {
public:
    Folder(const std::string& path, bool lock) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0 && lock)
            while (::flock(fd_, LOCK_EX) != 0) {
                if (errno == EINTR) continue;
                ::close(fd_);
                fd_ = -1;
                break;
            }
    }
    ~Folder() {
        if (fd_ >= 0) ::close(fd_);  // also releases the lock
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    bool ok() const { return fd_ >= 0; }
    void Sync() const { ::fsync(fd_); }

private:
    int fd_ = -1;
};

// Writes `text` over `target` (links already followed) through a temporary
// file in `folder`.
bool Replace(const std::string& target, std::string_view text, const Folder& folder) {
    std::string tmp = target + ".tmpXXXXXX";
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (geteuid() == 0) ok = ok && ::fchown(fd, st.st_uid, st.st_gid) == 0;
        ok = ok && ::fchmod(fd, st.st_mode & 07777) == 0;
    } else {
        ok = ok && ::fchmod(fd, 0600) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    folder.Sync();
    return true;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string* text) {
    text->clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    char buffer[65536];
    ReadStatus status = ReadStatus::Ok;
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) status = ReadStatus::Failed;
        if (n <= 0) break;
        text->append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (status != ReadStatus::Ok) text->clear();
    return status;
}

std::string WriteTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) break;
        link.resize(static_cast<std::size_t>(n));
        target = link[0] == '/' ? link : FolderOf(target) + "/" + link;
    }
    return target;
}

bool ReplaceFile(const std::string& path, std::string_view text) {
    const std::string target = WriteTarget(path);
    const std::string folder = FolderOf(target);
    if (!vrayu::userdirs::MakeFolders(folder)) return false;
    const Folder dir(folder, false);
    return dir.ok() && Replace(target, text, dir);
}

bool UpdateFile(const std::string& path, const std::function<bool(std::string& text)>& edit) {
    const std::string target = WriteTarget(path);
    const std::string folder = FolderOf(target);
    if (!vrayu::userdirs::MakeFolders(folder)) return false;
    const Folder dir(folder, true);
    if (!dir.ok()) return false;
    std::string text;
    if (ReadWholeFile(target, &text) == ReadStatus::Failed) return false;
    if (!edit(text)) return true;
    return Replace(target, text, dir);
}

}  // namespace tarn
