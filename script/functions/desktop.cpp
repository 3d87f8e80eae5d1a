// The desktop family: shortcuts (desktop entries), program types, system
// and network information, help files, the wallpaper, the session's end,
// and the script's own end (terminate) and yields.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/desktop_entry.h"
#include "functions/logic/exetype.h"
#include "functions/logic/filenames.h"
#include "functions/logic/launch.h"
#include "functions/logic/shortcuts.h"
#include "functions/logic/system_info.h"
#include "ui.h"

namespace tarn::fn {
namespace {

// ---- shortcuts ----

void ShortcutDir(Call& c) {
    if (c.Str(0).empty()) return c.Fail(err::ShortcutDirNameNotSpecified);
    ReturnTextOrMemError(c, shortcut::SpecialFolder(c.Str(0)));
}

void Done(Call& c, int code) {
    if (code) return c.Fail(code);
    c.ReturnInt(1);
}

void ShortcutMake(Call& c) { Done(c, shortcut::Make(c.Str(0), c.Str(1), c.Str(2), c.Str(3), c.Int(4))); }
void ShortcutEdit(Call& c) { Done(c, shortcut::Edit(c.Str(0), c.Str(1), c.Str(2), c.Str(3), c.Int(4))); }
void ShortcutExtra(Call& c) { Done(c, shortcut::Extra(c.Str(0), c.Str(1), c.Str(2), c.Str(3), c.Int(4))); }

// Target, parameters, folder, show mode, description, hot key, icon file
// and icon index, joined by the item delimiter.
void ShortcutInfo(Call& c) {
    shortcut::Fields f;
    if (const int code = shortcut::Info(c.Str(0), &f)) return c.Fail(code);
    const std::string d = ItemDelim(c);
    ReturnTextOrMemError(c, f.target + d + f.params + d + f.directory + d + std::to_string(f.show) + d + f.description +
                                d + f.hotkey + d + f.iconFile + d + std::to_string(f.iconIndex));
}

// ---- system information ----

void ExeTypeInfo(Call& c) {
    const std::string path = slashes(c.Str(0));
    struct stat st {};
    exetype::Kind kind = exetype::kNotProgram;
    if (stat(path.c_str(), &st) != 0) return c.Fail(err::ExeTypeInfoCannotLocateFile);
    if (S_ISREG(st.st_mode) && !exetype::ClassifyFile(path, &kind)) return c.Fail(err::ExeTypeInfoCannotLocateFile);
    c.ReturnInt(kind);
}

// 1 (@major) the kernel's major number, 2 and 3 the distribution's major
// and minor version, any other level (@minor) the kernel's minor number.
void DosVersion(Call& c) {
    const int level = c.Int(0);
    if (level == 2 || level == 3) {
        const sysinfo::Version v = sysinfo::DistributionVersion();
        return c.ReturnInt(level == 2 ? v.major : v.minor);
    }
    const sysinfo::Version v = sysinfo::KernelVersion();
    c.ReturnInt(level == 1 ? v.major : v.minor);
}

// ORDER NETINFO: 0 host name, 1 domain, 2 user, 3 interfaces, 4 "interface
// address" items.
void NetInfo(Call& c) {
    const int request = c.Int(0);
    if (request < 0 || request > 4) return c.Fail(err::NetInvalidTypeRequest);
    if (request == 0) return ReturnTextOrMemError(c, sysinfo::HostName());
    if (request == 1) return ReturnTextOrMemError(c, sysinfo::DomainName());
    if (request == 2) return ReturnTextOrMemError(c, sysinfo::UserName());
    std::vector<sysinfo::InterfaceAddress> list;
    if (!sysinfo::Interfaces(&list)) return c.Fail(err::NetNetworkError);
    if (list.empty()) return c.Fail(err::NetNoNetworkFound);
    const std::string d = ItemDelim(c);
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (request == 3 && i > 0 && list[i].name == list[i - 1].name) continue;
        if (request == 4 && list[i].address.empty()) continue;
        if (!out.empty()) out += d;
        out += request == 3 ? list[i].name : list[i].name + " " + list[i].address;
    }
    ReturnTextOrMemError(c, out);
}

// The text of the library's message box whose caption begins with the
// title: one open now in another thread of the process, else (quiet mode)
// the box last kept instead of shown; "" when none.
void MsgTextGet(Call& c) {
    const State& s = c.State();
    if (std::optional<std::string> open = OpenMessageText(c.Str(0))) return ReturnTextOrMemError(c, *open);
    if (s.quiet && s.quiet_caption[0] && TitleMatches(s.quiet_caption, c.Str(0)))
        return ReturnTextOrMemError(c, s.quiet_text);
    ReturnTextOrMemError(c, "");
}

// ---- the script's own run ----

// terminate(condition, title, text): when the condition is non-zero, shows
// the text (when there is one) and ends the script as exit does.
void Terminate(Call& c) {
    if (c.Int(0) == 0) return c.ReturnInt(0);
    if (!c.Str(1).empty() || !c.Str(2).empty()) c.Message(c.Str(1), c.Str(2), Buttons::Ok, Icon::Stop);
    c.Fail(kCodeExit);
}

// endsession(): logs the user off as intcontrol 66 does (recorded in tests);
// once the session is ending the script ends too. The result is 1 when the
// log-off was accepted, else 0.
// A process has no window messages to let through: each yield gives the
// processor to other processes once.
void Yields(Call& c) {
    for (std::int32_t i = 0; i < c.Int(0) && i < 100000; ++i) sched_yield();
    c.ReturnInt(1);
}

// ---- help files and the wallpaper ----

bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Starts a desktop helper found on PATH without waiting; false when it
// cannot be started.
bool StartHelper(std::vector<std::string> argv) {
    const char* path = std::getenv("PATH");
    argv[0] = launch::SearchPath(argv[0], path ? path : "");
    pid_t pid = 0;
    if (argv[0].empty() || launch::Spawn(argv, "", "", &pid) != 0) return false;
    launch::Detach(pid);
    return true;
}

// Runs a helper and waits at most `seconds` for it (then it is killed);
// its exit status, or -1.
int RunHelper(std::vector<std::string> argv, int seconds) {
    const char* path = std::getenv("PATH");
    argv[0] = launch::SearchPath(argv[0], path ? path : "");
    pid_t pid = 0;
    if (argv[0].empty() || launch::Spawn(argv, "", "", &pid) != 0) return -1;
    for (int waited = 0;; waited += 20) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 && errno != EINTR) return -1;
        if (waited >= seconds * 1000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(20000);
    }
}

// winhelp(file, command, topic): the help file (or address) opens with the
// desktop's viewer (xdg-open). CONTENTS the file; KEY, PARTIALKEY and
// CONTEXT an HTML file at the topic's anchor; QUIT has no viewer of ours to
// close; HELPONHELP and COMMAND (help-viewer macros) have no Linux meaning.
void WinHelp(Call& c) {
    const std::string_view command = c.Str(1);
    const bool contents = IEquals(command, "CONTENTS");
    const bool topic = IEquals(command, "KEY") || IEquals(command, "PARTIALKEY") || IEquals(command, "CONTEXT");
    if (IEquals(command, "QUIT")) return c.ReturnInt(1);
    if (IEquals(command, "HELPONHELP") || IEquals(command, "COMMAND")) return c.Fail(err::NotAvailable);
    if (!contents && !topic) return c.Fail(err::WinHelpInvalidSubCommand);
    std::string target = slashes(c.Str(0));
    if (target.find("://") == std::string::npos) {
        struct stat st {};
        if (stat(target.c_str(), &st) != 0) return c.ReturnInt(0);
        target = fullPath(target);
        const std::size_t dot = target.rfind('.');
        const std::string ext = dot == std::string::npos ? "" : target.substr(dot);
        const bool html = IEquals(ext, ".htm") || IEquals(ext, ".html");
        if (topic && html && !c.Str(2).empty())
            target = desktop::FileUrl(fullPath(target)) + "#" + std::string(c.Str(2));
    } else if (topic && !c.Str(2).empty()) {
        target += "#" + std::string(c.Str(2));
    }
    c.ReturnInt(StartHelper({"xdg-open", target}) ? 1 : 0);
}

// wallpaper(file, tile): the desktop portal's SetWallpaperURI on the
// session bus; without the portal, GNOME's background settings (where the
// tile flag chooses "wallpaper" or "zoom"). 1 done, 0 not.
void Wallpaper(Call& c) {
    const std::string file = slashes(c.Str(0));
    struct stat st {};
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return c.ReturnInt(0);
    const std::string uri = desktop::FileUrl(fullPath(file));
    const int portal = RunHelper(
        {"gdbus", "call", "--session", "--timeout", "10", "--dest", "org.freedesktop.portal.Desktop", "--object-path",
         "/org/freedesktop/portal/desktop", "--method", "org.freedesktop.portal.Wallpaper.SetWallpaperURI", "", uri,
         "{'show-preview': <false>, 'set-on': <'background'>}"},
        15);
    if (portal == 0) return c.ReturnInt(1);
    constexpr const char* kSchema = "org.gnome.desktop.background";
    if (RunHelper({"gsettings", "list-keys", kSchema}, 10) != 0) return c.ReturnInt(0);
    const bool set =
        RunHelper({"gsettings", "set", kSchema, "picture-uri", uri}, 10) == 0 &&
        RunHelper({"gsettings", "set", kSchema, "picture-options", c.Int(1) ? "wallpaper" : "zoom"}, 10) == 0;
    if (set) RunHelper({"gsettings", "set", kSchema, "picture-uri-dark", uri}, 10);
    c.ReturnInt(set ? 1 : 0);
}

constexpr BuiltinEntry kDesktop[] = {
    {"shortcutdir", ShortcutDir},
    {"shortcutmake", ShortcutMake},
    {"shortcutedit", ShortcutEdit},
    {"shortcutextra", ShortcutExtra},
    {"shortcutinfo", ShortcutInfo},
    {"exetypeinfo", ExeTypeInfo},
    {"dosversion", DosVersion},
    {"netinfo", NetInfo},
    {"msgtextget", MsgTextGet},
    {"terminate", Terminate},
    {"yields", Yields},
    {"winhelp", WinHelp},
    {"wallpaper", Wallpaper},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(desktop, tarn::fn::kDesktop)
