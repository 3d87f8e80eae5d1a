// The "Windows directory" stand-in and reading of its profile files
// (PELRUN.INI): real INI files, read with the profile API's rules
// (sections and keys without regard to case, first match wins).
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// $TARN_WINDOWS_DIR, else $XDG_CONFIG_HOME/vrayu/windows, else
// ~/.config/vrayu/windows. Not created here.
std::string WindowsDirectory();

// Value of key in section of an INI file, or `fallback` when missing.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback);
// Integer value (leading digits with sign), `fallback` when missing.
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int fallback);

}  // namespace tarn
