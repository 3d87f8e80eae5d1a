#include "functions/logic/linefile.h"

#include "functions/logic/charset.h"
#include "errors.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tarn::fn {
namespace {

FILE* fileOf(FileSlots s, int i) { return reinterpret_cast<FILE*>(s.files[i]); }

int slotOf(FileSlots s, int handle) {
    for (int i = 0; i < kSlotCount; ++i)
        if (s.files[i] && fileno(fileOf(s, i)) == handle) return i;
    return -1;
}

// Advisory lock that stands for a share mode: sharing both reading and
// writing takes none, sharing reading only a shared lock, else an exclusive
// one.
int lockFor(int share) {
    if (share & 1) return (share & 2) ? 0 : LOCK_SH;
    return LOCK_EX;
}

bool pipeHasData(FILE* f) {
    pollfd p{fileno(f), POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP));
}

}  // namespace

int lineOpen(FileSlots slots, const std::string& path, std::string_view mode, int shareRead, int shareWrite,
             int& handle) {
    int slot = -1;
    for (int i = 0; i < kSlotCount && slot < 0; ++i)
        if (!slots.files[i]) slot = i;
    if (slot < 0) return err::FileOpenTooMany5Files;
    std::string m = toUpper(mode);
    int flags, share;
    std::uint8_t smode;
    const char* fmode;
    bool truncate = false;
    if (m == "READ") {
        flags = O_RDONLY, share = shareRead, smode = kSlotRead, fmode = "rb";
    } else if (m == "WRITE") {
        flags = O_WRONLY | O_CREAT, share = shareWrite, smode = kSlotWrite, fmode = "wb", truncate = true;
    } else if (m == "APPEND") {
        flags = O_WRONLY | O_CREAT | O_APPEND, share = shareWrite, smode = kSlotWrite, fmode = "ab";
    } else if (m == "PIPE") {
        flags = O_RDWR, share = 3, smode = kSlotRead | kSlotWrite, fmode = "r+b";
    } else {
        return err::FileOpenREADWRITENotProperly;
    }
    // Opened without blocking, so that a pipe with nobody at its other end
    // fails or opens at once instead of hanging the script; reads and writes
    // block as usual afterwards.
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) return err::FileOpenOpenFailed;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return err::FileOpenOpenFailed;
    }
    // Lock before truncating, so that a refused open never empties a file
    // that another slot holds.
    if (int lk = lockFor(share); lk && S_ISREG(st.st_mode) && flock(fd, lk | LOCK_NB) != 0) {
        ::close(fd);
        return err::FileOpenOpenFailed;
    }
    if (truncate && S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
        ::close(fd);
        return err::FileOpenOpenFailed;
    }
    FILE* f = fdopen(fd, fmode);
    if (!f) {
        ::close(fd);
        return err::FileOpenOpenFailed;
    }
    if (smode == (kSlotRead | kSlotWrite)) setvbuf(f, nullptr, _IONBF, 0);
    slots.files[slot] = reinterpret_cast<std::intptr_t>(f);
    slots.modes[slot] = smode;
    handle = fd;
    return 0;
}

int lineRead(FileSlots slots, int handle, std::string& line) {
    line.clear();
    int i = slotOf(slots, handle);
    if (i < 0) return err::FileReadFileNotCurrentlyOpen;
    std::uint8_t& mode = slots.modes[i];
    if (!(mode & kSlotRead)) return err::FileReadFileNotOpenReading;
    if (mode & kSlotEndReported) return err::FileReadAttemptReadPastEnd;
    if (mode & kSlotEndSeen) {
        mode |= kSlotEndReported;
        line = kEofMark;
        return 0;
    }
    FILE* f = fileOf(slots, i);
    bool pipe = mode & kSlotWrite;
    for (;;) {
        if (pipe && !pipeHasData(f)) {
            if (line.empty()) line = kEofMark;  // nothing yet: try again later
            return 0;
        }
        int c = getc(f);
        if (c == EOF || c == 26) {
            if (c == EOF && ferror(f)) {
                mode |= kSlotEndReported;
                return err::FileReadAttemptReadPastEnd;
            }
            mode |= kSlotEndSeen;
            if (line.empty()) {
                mode |= kSlotEndReported;
                line = kEofMark;
            }
            return 0;
        }
        if (c == '\n') return 0;
        if (c == '\r') continue;
        line.push_back(static_cast<char>(c));
        if (line.size() == kReadPiece) {
            // A line of exactly the piece size: take its end with it, so that
            // no empty line follows.
            if (pipe && !pipeHasData(f)) return 0;
            int n = getc(f);
            if (n == '\r' && (!pipe || pipeHasData(f))) n = getc(f);
            if (n != '\n' && n != EOF) ungetc(n, f);
            return 0;
        }
    }
}

int lineWrite(FileSlots slots, int handle, std::string_view text, int terminator) {
    int i = slotOf(slots, handle);
    if (i < 0) return err::FileWriteFileNotCurrentlyOpen;
    std::uint8_t mode = slots.modes[i];
    if (!(mode & kSlotWrite)) return err::FileWriteFileNotOpenWriting;
    FILE* f = fileOf(slots, i);
    static const char* ends[] = {"", "\r\n", "\n", "\r", "\t"};
    std::string_view end = (mode & kSlotRead) || terminator < 0 || terminator > 4 ? "" : ends[terminator];
    if (fwrite(text.data(), 1, text.size(), f) != text.size() || fwrite(end.data(), 1, end.size(), f) != end.size() ||
        fflush(f) != 0)
        return err::FileWriteWriteFailed;
    return 0;
}

int lineClose(FileSlots slots, int handle) {
    int i = slotOf(slots, handle);
    if (i < 0) return err::FileCloseFileNotCurrentlyOpen;
    fclose(fileOf(slots, i));
    slots.files[i] = 0;
    slots.modes[i] = 0;
    return 0;
}

void lineCloseAll(FileSlots slots) {
    for (int i = 0; i < kSlotCount; ++i)
        if (slots.files[i]) {
            fclose(fileOf(slots, i));
            slots.files[i] = 0;
            slots.modes[i] = 0;
        }
}

}  // namespace tarn::fn
