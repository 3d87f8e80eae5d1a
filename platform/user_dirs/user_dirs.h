// Where per-user state lives: the home folder (from $HOME, else the
// password database, never a shared folder), the configuration folder, and
// private folders (0700, owned by the user) that hold per-user files.
#pragma once

#include <string>

namespace vrayu::userdirs {

// $HOME when set and absolute, else the home folder of the effective user
// in the password database; "" when neither names one.
std::string HomeDirectory();

// $XDG_CONFIG_HOME, $XDG_CACHE_HOME, $XDG_DATA_HOME when set and absolute,
// else HomeDirectory() + "/.config", "/.cache", "/.local/share"; "" when
// there is no home folder.
std::string ConfigHome();
std::string CacheHome();
std::string DataHome();

// Creates the missing folders along `path` with mode 0700 (existing ones
// stay as they are). False when one cannot be created.
bool MakeFolders(const std::string& path);

// Makes `path` ready to hold the user's private files: missing folders
// along it are created with mode 0700; the folder itself (a link is
// followed) must then be a folder owned by the effective user. False otherwise,
// with the reason in `why` when given.
bool EnsurePrivateFolder(const std::string& path, std::string* why = nullptr);

// True when `path` is missing or is a folder owned by the effective user
// (the test a reader makes before trusting files there).
bool OwnedOrMissing(const std::string& path);

}  // namespace vrayu::userdirs
