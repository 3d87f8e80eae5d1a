// vrayu-registry: shows a root of the registry store in its readable text
// form, or replaces a root with such a text (for people who want to look
// inside, and to move a store). The store is the one the programs use
// ($VRAYU_REGISTRY_DIR, else the per-user folder).
//   vrayu-registry dump ROOT [FILE]     text to FILE (written atomically) or stdout
//   vrayu-registry load ROOT FILE|-     the root becomes the file's contents (one transaction)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>
#include <fstream>

#include "registry_store.h"

namespace {

using namespace vrayu::registry;

const char* StatusText(Status s) {
    switch (s) {
        case Status::Ok: return "ok";
        case Status::NotFound: return "not found";
        case Status::HasSubkeys: return "key has subkeys";
        case Status::InvalidArgument: return "not a registry text (or keys nested deeper than 512 levels)";
        case Status::IoError: return "the store could not be read or written";
        case Status::Corrupt: return "the store is damaged";
    }
    return "failed";
}

// Writes `text` to a new file beside the file `path` finally names (a link
// is followed, so it keeps pointing at the new contents) and renames it
// over that file.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
    std::string target = path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) target = resolved;
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());  // O_EXCL: never someone else's file
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vrayu-registry dump ROOT [FILE]\n       vrayu-registry load ROOT FILE|-\n"
                 "ROOT: HKEY_CURRENT_USER (HKCU), HKEY_LOCAL_MACHINE (HKLM), HKCR, HKU, HKCC, HKDD\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) return Usage();
    const std::string command = argv[1];
    const auto root = RootFromName(argv[2]);
    if (!root) return Usage();
    Store store;
    if (command == "dump") {
        std::string text;
        if (Status s = store.ExportText(*root, &text); s != Status::Ok) {
            std::fprintf(stderr, "vrayu-registry: %s: %s\n", store.Directory().c_str(), StatusText(s));
            return 1;
        }
        if (argc == 4) {
            if (!WriteFileAtomically(argv[3], text)) {
                std::fprintf(stderr, "vrayu-registry: cannot write %s: %s\n", argv[3], std::strerror(errno));
                return 1;
            }
        } else {
            std::cout << text;
        }
        return std::cout ? 0 : 1;
    }
    if (command == "load" && argc == 4) {
        std::string text;
        if (std::strcmp(argv[3], "-") == 0) {
            text.assign(std::istreambuf_iterator<char>(std::cin), {});
        } else {
            std::ifstream in(argv[3], std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "vrayu-registry: cannot read %s\n", argv[3]);
                return 1;
            }
            std::ostringstream ss;
            ss << in.rdbuf();
            text = ss.str();
        }
        if (Status s = store.ImportText(*root, text); s != Status::Ok) {
            std::fprintf(stderr, "vrayu-registry: %s: %s; the store is unchanged\n", argv[3], StatusText(s));
            return 1;
        }
        return 0;
    }
    return Usage();
}
