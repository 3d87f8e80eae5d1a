// Shortcut files as desktop entries, and the special folders.
#include "functions/logic/shortcuts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "functions/logic/atomic_file.h"
#include "functions/logic/desktop_entry.h"
#include "errors.h"
#include "functions/logic/filenames.h"
#include "functions/logic/launch.h"
#include "user_dirs.h"

namespace tarn::shortcut {
namespace {

constexpr std::string_view kShowKey = "X-Tarn-Show-Mode";
constexpr std::string_view kHotKeyKey = "X-Tarn-Hot-Key";
constexpr std::string_view kIconIndexKey = "X-Tarn-Icon-Index";

// ORDER SHOW: show modes of the language (@icon 1, @normal 2, @zoomed 3)
// and their words in the file.
constexpr std::array<std::string_view, 4> kShowWords = {"Normal", "Minimized", "Normal", "Maximized"};

bool IEndsWith(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), s.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool IEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// A target that is no program (a folder, a document, a web address) is a
// link the desktop opens with the program it chooses.
bool OpensAsLink(const std::string& target) {
    if (target.find("://") != std::string::npos) return true;
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && access(target.c_str(), X_OK) != 0);
}

// The parameters as one text again: words with blanks or quotes quoted.
std::string JoinWords(const std::vector<std::string>& words, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < words.size(); ++i) {
        if (!out.empty()) out += ' ';
        const std::string& w = words[i];
        const bool quote = w.empty() || w.find_first_of(" \t'") != std::string::npos;
        out += quote ? '"' + w + '"' : w;
    }
    return out;
}

// 0, or 1410 for a name that is not a desktop entry's.
int CheckName(std::string_view link) { return IEndsWith(link, ".desktop") ? 0 : err::ShortcutExtension; }

bool ValidShow(int show) { return show >= 0 && show <= 3; }

void SetTarget(desktop::Entry& e, std::string_view target, std::string_view params, std::string_view directory,
               int show) {
    const std::string t = fn::slashes(target);
    if (OpensAsLink(t)) {
        e.Set("Type", "Link");
        e.Set("URL", t.find("://") != std::string::npos ? t : desktop::FileUrl(fn::fullPath(t)));
        e.Set("Exec", "");
    } else {
        std::vector<std::string> words{t};
        for (std::string& w : launch::SplitWords(params)) words.push_back(std::move(w));
        e.Set("Type", "Application");
        e.Set("Exec", desktop::ExecLine(words));
        e.Set("URL", "");
    }
    e.Set("Path", fn::slashes(directory));
    e.Set(kShowKey, kShowWords[static_cast<std::size_t>(show)]);
}

// Reads and parses an existing shortcut: 0, 1411, 1419 or 1418.
int Load(const std::string& path, desktop::Entry* e) {
    std::string text;
    switch (ReadWholeFile(path, &text)) {
        case ReadStatus::Missing: return err::ShortcutFileNotFound;
        case ReadStatus::Failed: return err::ShortcutErrorReading;
        case ReadStatus::Ok: break;
    }
    return e->Parse(text) ? 0 : err::ShortcutErrorLoading;
}

// Edits an existing shortcut under the file lock and replaces it.
int Update(const std::string& path, const std::function<void(desktop::Entry&)>& change) {
    if (!Exists(path)) return err::ShortcutFileNotFound;
    int code = 0;
    const bool written = UpdateFile(path, [&](std::string& text) {
        desktop::Entry e;
        if (!e.Parse(text)) {
            code = err::ShortcutErrorLoading;
            return false;
        }
        change(e);
        text = e.Text();
        return true;
    });
    if (code) return code;
    return written ? 0 : err::ShortcutErrorSaving;
}

}  // namespace

int Make(std::string_view link, std::string_view target, std::string_view params, std::string_view directory,
         int show) {
    if (const int bad = CheckName(link)) return bad;
    if (!ValidShow(show)) return err::ShortcutInvalidShowMode;
    const std::string path = fn::slashes(link);
    if (Exists(path)) return err::ShortcutMakeFileExists;
    desktop::Entry e;
    e.Clear();
    std::string name = path.substr(path.find_last_of('/') + 1);
    name.resize(name.size() - 8);  // ".desktop"
    e.Set("Type", "Application");
    e.Set("Name", name.empty() ? "Shortcut" : name);
    SetTarget(e, target, params, directory, show);
    return ReplaceFile(path, e.Text()) ? 0 : err::ShortcutErrorSaving;
}

int Edit(std::string_view link, std::string_view target, std::string_view params, std::string_view directory,
         int show) {
    if (const int bad = CheckName(link)) return bad;
    if (!ValidShow(show)) return err::ShortcutInvalidShowMode;
    return Update(fn::slashes(link), [&](desktop::Entry& e) { SetTarget(e, target, params, directory, show); });
}

int Extra(std::string_view link, std::string_view description, std::string_view hotkey, std::string_view iconFile,
          int iconIndex) {
    if (const int bad = CheckName(link)) return bad;
    if (!ValidHotKey(hotkey)) return err::ShortcutExtraInvalidHotkey;
    return Update(fn::slashes(link), [&](desktop::Entry& e) {
        e.Set("Comment", description);
        e.Set(kHotKeyKey, hotkey);
        e.Set("Icon", fn::slashes(iconFile));
        e.Set(kIconIndexKey, iconIndex ? std::to_string(iconIndex) : "");
    });
}

int Info(std::string_view link, Fields* out) {
    if (const int bad = CheckName(link)) return bad;
    desktop::Entry e;
    if (const int bad = Load(fn::slashes(link), &e)) return bad;
    Fields f;
    if (e.Get("Type").value_or("") == "Link") {
        f.target = desktop::PathOfUrl(e.Get("URL").value_or(""));
    } else {
        const std::optional<std::vector<std::string>> words = desktop::ExecWords(e.Get("Exec").value_or(""));
        if (!words) return err::ShortcutErrorLoading;
        if (!words->empty()) f.target = words->front();
        f.params = JoinWords(*words, 1);
    }
    f.directory = e.Get("Path").value_or("");
    const std::string show = e.Get(kShowKey).value_or("Normal");
    f.show = show == "Minimized" ? 1 : show == "Maximized" ? 3 : 2;
    f.description = e.Get("Comment").value_or("");
    f.hotkey = e.Get(kHotKeyKey).value_or("");
    f.iconFile = e.Get("Icon").value_or("");
    f.iconIndex = std::atoi(e.Get(kIconIndexKey).value_or("0").c_str());
    *out = std::move(f);
    return 0;
}

bool ValidHotKey(std::string_view hotkey) {
    if (hotkey.empty()) return true;
    std::size_t i = 0;
    while (i < hotkey.size() && std::string_view("^!+").find(hotkey[i]) != std::string_view::npos) ++i;
    const std::string_view key = hotkey.substr(i);
    if (key.size() == 1) return std::isgraph(static_cast<unsigned char>(key[0])) != 0;
    if (key.size() < 3 || key.front() != '{' || key.back() != '}') return false;
    const std::string_view name = key.substr(1, key.size() - 2);
    static constexpr std::string_view kNamed[] = {
        "BACKSPACE", "BS",    "DELETE", "DEL",    "DOWN",    "END",        "ENTER", "ESCAPE",
        "ESC",       "HELP",  "HOME",   "INSERT", "INS",     "LEFT",       "PGDN",  "PGUP",
        "RIGHT",     "SPACE", "TAB",    "UP",     "NUMLOCK", "SCROLLLOCK", "PAUSE",
    };
    if (std::any_of(std::begin(kNamed), std::end(kNamed), [&](std::string_view n) { return IEquals(n, name); }))
        return true;
    if (name.size() < 2 || (name[0] != 'F' && name[0] != 'f')) return false;
    const std::string digits(name.substr(1));
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); }))
        return false;
    const int n = std::atoi(digits.c_str());
    return digits.size() <= 2 && n >= 1 && n <= 24;
}

std::string UserDir(std::string_view dirsText, std::string_view key, std::string_view home) {
    const std::string prefix = "XDG_" + std::string(key) + "_DIR=";
    std::string found;
    std::size_t at = 0;
    while (at < dirsText.size()) {
        std::size_t end = dirsText.find('\n', at);
        if (end == std::string_view::npos) end = dirsText.size();
        std::string_view line = dirsText.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, prefix.size()) != prefix) continue;
        line.remove_prefix(prefix.size());
        if (line.size() >= 2 && line.front() == '"') line = line.substr(1, line.find('"', 1) - 1);
        if (line.substr(0, 5) == "$HOME") found = std::string(home) + std::string(line.substr(5));
        else if (!line.empty() && line.front() == '/') found = std::string(line);
    }
    return found;
}

std::string SpecialFolder(std::string_view name) {
    using namespace vrayu::userdirs;
    // ORDER none: the shell's folder names; a user directory key, else a
    // base directory and a folder in it.
    struct Row {
        std::string_view name;
        std::string_view userDir;  // XDG_<key>_DIR, "" none
        int base;                  // 0 home, 1 config, 2 data, 3 cache, 4 fixed
        std::string_view below;
    };
    static constexpr Row kFolders[] = {
        {"Desktop", "DESKTOP", 0, "Desktop"},
        {"Personal", "DOCUMENTS", 0, ""},
        {"My Documents", "DOCUMENTS", 0, ""},
        {"Templates", "TEMPLATES", 0, ""},
        {"My Music", "MUSIC", 0, ""},
        {"My Pictures", "PICTURES", 0, ""},
        {"My Video", "VIDEOS", 0, ""},
        {"Downloads", "DOWNLOAD", 0, ""},
        {"Public", "PUBLICSHARE", 0, ""},
        {"Programs", "", 2, "applications"},
        {"Start Menu", "", 2, "applications"},
        {"Startup", "", 1, "autostart"},
        {"Fonts", "", 2, "fonts"},
        {"AppData", "", 1, ""},
        {"Local AppData", "", 2, ""},
        {"Cache", "", 3, ""},
        {"Common Programs", "", 4, "/usr/share/applications"},
        {"Common Start Menu", "", 4, "/usr/share/applications"},
        {"Common Startup", "", 4, "/etc/xdg/autostart"},
        {"Common Fonts", "", 4, "/usr/share/fonts"},
    };
    const Row* row =
        std::find_if(std::begin(kFolders), std::end(kFolders), [&](const Row& r) { return IEquals(r.name, name); });
    if (row == std::end(kFolders)) return "";
    std::string folder;
    const std::string home = HomeDirectory();
    if (!row->userDir.empty()) {
        std::string text;
        if (ReadWholeFile(ConfigHome() + "/user-dirs.dirs", &text) == ReadStatus::Ok)
            folder = UserDir(text, row->userDir, home);
        // Without an entry the desktop's default: ~/Desktop, else the home.
        if (folder.empty()) folder = row->below.empty() ? home : home + "/" + std::string(row->below);
    } else {
        const std::string bases[] = {home, ConfigHome(), DataHome(), CacheHome(), ""};
        const std::string& base = bases[row->base];
        if (row->base != 4 && base.empty()) return "";
        folder = row->base == 4       ? std::string(row->below)
                 : row->below.empty() ? base
                                      : base + "/" + std::string(row->below);
    }
    if (folder.empty()) return "";
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace tarn::shortcut
