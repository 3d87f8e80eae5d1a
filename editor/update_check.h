// The address the update check opens in the browser.
#pragma once

#include <QString>

#include "app_info.h"

namespace vrayu {

// Font version the program ships with, sent along with the program's own.
inline constexpr int kShippedFontMajor = 4;
inline constexpr int kShippedFontMinor = 2;

// site + "checkupdates.asp?major=..&minor=..&revision=..&exename=.." +
// "&glyfafontmajor=4&glyfafontminor=2". `exeName` is taken without its
// extension.
QString UpdateCheckAddress(const QString& site, const ProgramVersion& v, const QString& exeName);

// The executable's name without folder or extension.
QString ExecutableBaseName(const QString& exePath);

}  // namespace vrayu
