#include "private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "user_dirs.h"

namespace vrayu::registry {

std::filesystem::path HomeFolder() { return userdirs::HomeDirectory(); }

bool PrivateFolder(const std::filesystem::path& dir, bool create) {
    if (dir.empty() || (create && !userdirs::MakeFolders(dir.string()))) return false;
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return (st.st_mode & 07777) == 0700 || ::chmod(dir.c_str(), 0700) == 0;
}

}  // namespace vrayu::registry
