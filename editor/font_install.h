// Installing the product font for the current user when it is missing:
// register the shipped glyfa.ttf, notify (fontconfig and the running
// program), then record it in the registry store as "Vrayu (TrueType)".
// Every step is silent on failure.
#pragma once

#include <QString>

namespace vrayu {

inline constexpr char kFontFileName[] = "glyfa.ttf";
inline constexpr char kFontFamily[] = "Vrayu";
inline constexpr char kFontValueName[] = "Vrayu (TrueType)";
inline constexpr char kPreferredFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline constexpr char kFallbackFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

// $XDG_DATA_HOME/fonts (~/.local/share/fonts when unset, the home from the
// password database without $HOME); "" when no home is known.
QString UserFontsDirectory();

// True when the font database of the running program has a family named
// exactly "Vrayu".
bool ProductFontInstalled();

// Installs program directory + "/glyfa.ttf": links it into the user's fonts
// folder, runs fc-cache on that folder and adds the file to the running
// program, then writes the registry value under the local-machine key
// "...Windows NT\CurrentVersion\Fonts", or "...Windows\CurrentVersion\Fonts"
// when the first key does not exist.
void InstallMyFont();

}  // namespace vrayu
