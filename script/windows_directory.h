// The "Windows directory" stand-in and reading of its profile files
// (PELRUN.INI): real INI files, read with the profile API's rules
// (sections and keys without regard to case, first match wins).
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// $TARN_WINDOWS_DIR, else <config home>/vrayu/windows (user_dirs.h: the
// home comes from the password database when $HOME is unset). "" when no
// home is known or the folder belongs to another user: nothing is then read
// from or written to it. Not created here.
std::string WindowsDirectory();

// A file of the Windows directory ("" when there is none).
std::string WindowsFile(std::string_view name);

// Creates the Windows directory (0700) when missing and checks that it is
// the user's own; false when it cannot be used for writing.
bool PrepareWindowsDirectory();

// Value of key in section of an INI file, or `fallback` when missing.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback);
// Integer value (leading digits with sign), `fallback` when missing.
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int fallback);

}  // namespace tarn
