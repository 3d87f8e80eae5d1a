// Shortcuts as freedesktop desktop entries: a shortcut file is a
// ".desktop" file whose Exec (programs) or URL (folders, documents, web
// addresses) names the target. Show mode, hot key and icon index have no
// key of their own in the format and are kept in extension keys
// (X-Tarn-Show-Mode, X-Tarn-Hot-Key, X-Tarn-Icon-Index) that desktops
// ignore. Files are replaced atomically. The special folders come from the
// XDG base and user directories. No interpreter types: results are codes
// of the message table (0 success).
#pragma once

#include <string>
#include <string_view>

namespace tarn::shortcut {

// What shortcutinfo reports.
struct Fields {
    std::string target;
    std::string params;
    std::string directory;
    int show = 2;  // @normal
    std::string description;
    std::string hotkey;
    std::string iconFile;
    int iconIndex = 0;
};

// shortcutmake: a new shortcut (1412 when the file exists).
int Make(std::string_view link, std::string_view target, std::string_view params, std::string_view directory, int show);
// shortcutedit: target, parameters, folder and show mode of an existing one;
// its other keys stay.
int Edit(std::string_view link, std::string_view target, std::string_view params, std::string_view directory, int show);
// shortcutextra: description (Comment), hot key, icon file and index; an
// empty text removes the key.
int Extra(std::string_view link, std::string_view description, std::string_view hotkey, std::string_view iconFile,
          int iconIndex);
int Info(std::string_view link, Fields* out);

// A hot key in the keystroke notation ("^!A", "+{F5}"): modifiers ^ ! +
// before one key; "" is no hot key.
bool ValidHotKey(std::string_view hotkey);

// The folder a special-folder name stands for, with a final "/" ("" for a
// name without one). Names as the shell's: "Desktop", "Programs",
// "Startup", "Personal", ...; case does not matter.
std::string SpecialFolder(std::string_view name);

// The value of XDG_<KEY>_DIR ("DESKTOP", "DOCUMENTS", ...) in the text of
// a user-dirs.dirs file, "$HOME" replaced by `home`; "" when absent.
std::string UserDir(std::string_view dirsText, std::string_view key, std::string_view home);

}  // namespace tarn::shortcut
