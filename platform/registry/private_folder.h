// Folders that hold one user's private state (the registry store): found
// from the user's own home folder, never a shared one, made 0700, and only
// used when they belong to the user running.
#pragma once

#include <filesystem>

namespace vrayu::registry {

// The user's home folder (userdirs::HomeDirectory: $HOME when set and
// absolute, else the password database); "" when there is neither.
std::filesystem::path HomeFolder();

// True when `dir` is a folder owned by the effective user; it is then set to
// mode 0700. With `create`, a missing folder (and missing folders above it)
// is made with mode 0700 first.
bool PrivateFolder(const std::filesystem::path& dir, bool create);

}  // namespace vrayu::registry
