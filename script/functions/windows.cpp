// The window family on X11: finding, waiting for, activating, arranging and
// closing the top-level windows of the desktop (platform/x11). Names follow
// window_find.h; without a display every window is "not found".
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/window_find.h"
#include "functions/logic/window_names.h"
#include "functions/logic/window_place.h"
#include "x11/windows.h"

namespace tarn::fn {
namespace {

namespace x11 = vrayu::x11;
using x11::ShowState;

// The smallest window "winplace" and "winarrange" make (pixels).
constexpr int kMinWidth = 100, kMinHeight = 24;
constexpr int kStack = 1, kTile = 2, kRows = 3, kColumns = 4;

bool Visible(WindowId w) {
    const auto st = x11::State(w);
    return st && *st != ShowState::Hidden;
}

std::string Joined(Call& c, const std::vector<std::string>& items) {
    const std::string delim = ItemDelim(c);
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? delim : "") + items[i];
    return out;
}

// A window found with the waiting rules, or the function's error.
std::optional<WindowId> Need(Call& c, std::string_view name, int error) {
    auto w = findWindow(c, name);
    if (!w) c.Fail(error);
    return w;
}

void WinActivate(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinActivateWindowNotFound);
    if (!w) return;
    x11::Activate(*w);
    c.ReturnInt(1);
}

void WinActivChild(Call& c) {
    const auto parent = Need(c, c.Str(0), err::WinActivateWindowNotFound);
    if (!parent) return;
    const auto child = findChild(*parent, c.Str(1));
    if (!child) return c.Fail(err::ActivateChildNotExist);
    x11::Activate(*parent);
    x11::FocusChild(*child);
    c.ReturnInt(1);
}

// The state table: the owner window is changed directly (without
// activation), any other window as through its window menu.
void WinShow(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinShowWindowNotFound);
    if (!w) return;
    const bool owner = c.Str(0).empty();
    if (owner || x11::State(*w) == ShowState::Hidden) x11::Show(*w);
    else x11::Restore(*w);
    c.ReturnInt(1);
}

void WinHide(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinHideWindowNotFound);
    if (!w) return;
    x11::Hide(*w);
    c.ReturnInt(1);
}

void WinIconize(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinIconizeWindowNotFound);
    if (!w) return;
    if (x11::State(*w) != ShowState::Minimised) x11::Minimise(*w);
    c.ReturnInt(1);
}

void WinZoom(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinZoomWindowNotFound);
    if (!w) return;
    if (x11::State(*w) != ShowState::Maximised) x11::Maximise(*w);
    c.ReturnInt(1);
}

void WinClose(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinCloseWindowNotFound);
    if (!w) return;
    if (!c.Str(0).empty()) x11::Close(*w);  // the owner window stays open
    c.ReturnInt(1);
}

void WinState(Call& c) {
    const auto w = findWindow(c, c.Str(0));
    const auto st = w ? x11::State(*w) : std::nullopt;
    if (!st) return c.ReturnInt(0);
    switch (*st) {
        case ShowState::Hidden: return c.ReturnInt(-1);
        case ShowState::Minimised: return c.ReturnInt(1);
        case ShowState::Maximised: return c.ReturnInt(3);
        case ShowState::Normal: return c.ReturnInt(2);
    }
}

// Restores a minimised, maximised or hidden window before it is placed.
void Normalise(WindowId w, bool owner) {
    const auto st = x11::State(w);
    if (!st || *st == ShowState::Normal) return;
    if (*st == ShowState::Hidden || owner) x11::Show(w);
    if (x11::State(w) != ShowState::Normal) x11::Restore(w);
}

x11::Rect ToRect(const PixelRect& r) { return {r.left, r.top, r.width, r.height}; }

// The lower edge of the area above the icons: the work area's (panels and
// task bars stand where the icons stood).
int AboveIconsBottom() {
    const auto area = x11::WorkArea();
    return area ? area->y + area->height : 0;
}

void WinPlace(Call& c) {
    const auto w = Need(c, c.Str(4), err::WinPlaceWindowNotFound);
    if (!w) return;
    const auto screen = x11::Screen();
    const auto frame = x11::Frame(*w);
    if (!screen || !frame) return c.Fail(err::WinPlaceWindowNotFound);
    PlaceInputs in{screen->width, screen->height, kMinWidth,         kMinHeight,
                   frame->width,  frame->height,  AboveIconsBottom()};
    const PixelRect r = placeRect(c.Int(0), c.Int(1), c.Int(2), c.Int(3), in);
    Normalise(*w, c.Str(4).empty());
    x11::Place(*w, ToRect(r));
    c.ReturnInt(1);
}

// "x1 y1 x2 y2" (separator given) of a rectangle in virtual units.
std::string VirtualText(const x11::Rect& r, const char* sep) {
    const auto screen = x11::Screen().value_or(x11::ScreenSize{1, 1});
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d%s%d%s%d%s%d", toVirtual(r.x, screen.width), sep, toVirtual(r.y, screen.height),
                  sep, toVirtual(r.x + r.width, screen.width), sep, toVirtual(r.y + r.height, screen.height));
    return buf;
}

void WinPosition(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinPositionWindowNotFound);
    if (!w) return;
    const auto r = x11::Frame(*w);
    if (!r) return c.Fail(err::WinPositionWindowNotFound);
    c.ReturnText(VirtualText(*r, ","));
}

// winplaceget/winplaceset: @normal (2) is the window's own rectangle,
// @zoomed (3) the maximised one (the work area), @icon (1) has no place on
// X11 (minimised windows go to the panel): "0 0 0 0", and setting it does
// nothing.
constexpr int kIcon = 1, kNormal = 2, kZoomed = 3;

bool ValidSize(Call& c, std::int32_t type) {
    if (type == kIcon || type == kNormal || type == kZoomed) return true;
    c.Fail(err::WinPlaceGetSetInvalidSize);
    return false;
}

void WinPlaceGet(Call& c) {
    if (!ValidSize(c, c.Int(0))) return;
    const auto w = Need(c, c.Str(1), err::WinPlaceGetSetWindowNotFound);
    if (!w) return;
    if (c.Int(0) == kIcon) return void(c.ReturnText("0 0 0 0"));
    const auto r = c.Int(0) == kZoomed ? x11::WorkArea() : x11::Frame(*w);
    if (!r) return c.Fail(err::WinPlaceGetSetFunctionFailed);
    c.ReturnText(VirtualText(*r, " "));
}

void WinPlaceSet(Call& c) {
    if (!ValidSize(c, c.Int(0))) return;
    const auto w = Need(c, c.Str(1), err::WinPlaceGetSetWindowNotFound);
    if (!w) return;
    int v[4];
    char extra = 0;
    const std::string text(c.Str(2));
    if (std::sscanf(text.c_str(), "%d %d %d %d %c", &v[0], &v[1], &v[2], &v[3], &extra) != 4)
        return c.Fail(err::WinPlaceSetWrongCoordinates);
    if (c.Int(0) == kNormal) {
        const auto screen = x11::Screen();
        const auto frame = x11::Frame(*w);
        if (!screen || !frame) return c.Fail(err::WinPlaceGetSetFunctionFailed);
        PlaceInputs in{screen->width, screen->height, kMinWidth,         kMinHeight,
                       frame->width,  frame->height,  AboveIconsBottom()};
        const bool wasMax = x11::State(*w) == ShowState::Maximised;
        if (wasMax) x11::Restore(*w);
        x11::Place(*w, ToRect(placeRect(v[0], v[1], v[2], v[3], in)));
        if (wasMax) x11::Maximise(*w);
    }
    c.ReturnInt(1);
}

void WinExist(Call& c) { c.ReturnInt(findWindowOnce(c, c.Str(0)) ? 1 : 0); }

void WinExistChild(Call& c) {
    const auto parent = findWindowOnce(c, c.Str(0));
    c.ReturnInt(parent && findChild(*parent, c.Str(1)) ? 1 : 0);
}

// Seconds: -1 without limit, others clamped to 0..86400.
std::optional<std::chrono::steady_clock::time_point> Deadline(std::int32_t seconds) {
    if (seconds == -1) return std::nullopt;
    seconds = std::clamp(seconds, 0, 86400);
    return std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

template <typename Found>
void PollUntil(Call& c, std::int32_t seconds, Found found) {
    const auto until = Deadline(seconds);
    for (;;) {
        if (found()) return c.ReturnInt(1);
        if (until && std::chrono::steady_clock::now() >= *until) return c.ReturnInt(0);
        if (!pauseScript(c, 250)) return c.ReturnInt(0);
    }
}

void WinWaitExist(Call& c) {
    if (c.Str(0).empty()) return c.ReturnInt(1);
    PollUntil(c, c.Int(1), [&] { return findWindowOnce(c, c.Str(0)).has_value(); });
}

void WinWaitChild(Call& c) {
    PollUntil(c, c.Int(2), [&] {
        const auto parent = findWindowOnce(c, c.Str(0));
        return parent && findChild(*parent, c.Str(1));
    });
}

// Waits until no window answers to the name: 0 when none did at the start.
void WinWaitClose(Call& c) {
    if (!findWindowOnce(c, c.Str(0))) return c.ReturnInt(0);
    PollUntil(c, -1, [&] { return !findWindowOnce(c, c.Str(0)); });
}

void WinIdGet(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinIdGetWindowNotFound);
    if (w) c.ReturnText(windowIdText(*w));
}

void WinTitle(Call& c) {
    const auto w = Need(c, c.Str(0), err::WinTitleWindowNotFound);
    if (!w) return;
    x11::SetTitle(*w, c.Str(1));
    c.ReturnInt(1);
}

void WinGetActive(Call& c) {
    WindowId w = x11::Active();
    // The focus may sit in a child: report its top-level window.
    const auto tops = x11::TopLevels();
    for (int i = 0; w && i < 32; ++i) {
        if (std::any_of(tops.begin(), tops.end(), [&](const x11::WindowEntry& e) { return e.id == w; })) break;
        w = x11::ParentOf(w);
    }
    c.ReturnText(w ? x11::Title(w) : "");
}

void WinName(Call& c) {
    const auto w = ownerWindow(c);
    c.ReturnText(w ? x11::Title(*w) : "");
}

std::vector<std::string> Titles(bool hidden, std::string_view partial, bool multiple) {
    std::vector<std::string> out;
    for (const x11::WindowEntry& e : x11::TopLevels()) {
        if (e.title.empty() || e.title == "WinOldAp" || (!hidden && !Visible(e.id))) continue;
        if (!partial.empty() && !titleMatches(partial, e.title)) continue;
        out.push_back(e.title);
        if (!multiple) break;
    }
    return out;
}

void WinItemize(Call& c) { c.ReturnText(Joined(c, Titles(false, "", true))); }

void WinItemizeEx(Call& c) {
    if (c.Int(1) != 0 && c.Int(1) != 1) return c.Fail(err::WinItemizeExInvalidMultiple);
    if (c.Int(2) != 0 && c.Int(2) != 1) return c.Fail(err::WinItemizeExInvalidHidden);
    c.ReturnText(Joined(c, Titles(c.Int(2) == 1, c.Str(0), c.Int(1) == 1)));
}

// "title|id|title|id|..." of the visible titled windows.
void WinItemNameId(Call& c) {
    std::string out;
    for (const x11::WindowEntry& e : x11::TopLevels()) {
        if (e.title.empty() || !Visible(e.id)) continue;
        out += e.title + "|" + windowIdText(e.id) + "|";
    }
    c.ReturnText(out);
}

void WinItemChild(Call& c) {
    const auto parent = findWindowOnce(c, c.Str(0));
    if (!parent) return c.Fail(err::WinItemChildParentNotFound);
    std::vector<std::string> names;
    for (const x11::WindowEntry& e : x11::Children(*parent))
        if (!e.title.empty()) names.push_back(e.title);
    c.ReturnText(Joined(c, names));
}

std::string ProgramOf(int pid) {
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
    return ec ? std::string() : p.string();
}

// The program file of the process owning the window; the empty name with no
// owner window is the running program.
void WinExeName(Call& c) {
    if (c.Str(0).empty() && !ownerWindow(c)) return void(c.ReturnText(ProgramOf(getpid())));
    const auto w = Need(c, c.Str(0), err::WinExeNameWindowNotFound);
    if (!w) return;
    const int pid = x11::ProcessId(*w);
    c.ReturnText(pid > 0 ? ProgramOf(pid) : "");
}

// Character-mode windows on Linux are terminal emulators.
bool IsTerminalClass(std::string cls) {
    std::transform(cls.begin(), cls.end(), cls.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    static constexpr std::string_view kTerminals[] = {"xterm",
                                                      "uxterm",
                                                      "urxvt",
                                                      "rxvt",
                                                      "gnome-terminal",
                                                      "gnome-terminal-server",
                                                      "konsole",
                                                      "xfce4-terminal",
                                                      "lxterminal",
                                                      "mate-terminal",
                                                      "terminator",
                                                      "tilix",
                                                      "alacritty",
                                                      "kitty",
                                                      "st-256color",
                                                      "qterminal",
                                                      "foot"};
    return std::find(std::begin(kTerminals), std::end(kTerminals), cls) != std::end(kTerminals);
}

void WinIsDos(Call& c) {
    const auto w = findWindow(c, c.Str(0));
    if (!w) return c.Fail(err::WinIsDosWindowNotFound);
    c.ReturnInt(IsTerminalClass(x11::ClassName(*w)) || IsTerminalClass(x11::InstanceName(*w)) ? 1 : 0);
}

// winclosenot(name, ...): closes every visible titled top-level window
// whose title none of the names matches (the owner window stays).
void WinCloseNot(Call& c) {
    std::vector<std::string> keep;
    if (c.Count() < 1) return c.Fail(err::WinCloseNotSyntax);
    for (int i = 0; i < c.Count(); ++i) {
        std::string_view s;
        if (!c.ToStr(i, &s)) return;
        keep.emplace_back(s);
    }
    const auto owner = ownerWindow(c);
    for (const x11::WindowEntry& e : x11::TopLevels()) {
        if (e.title.empty() || !Visible(e.id) || (owner && *owner == e.id)) continue;
        if (std::any_of(keep.begin(), keep.end(), [&](const std::string& k) { return titleMatches(k, e.title); }))
            continue;
        x11::Close(e.id);
    }
    c.ReturnInt(1);
}

// winarrange(style): the visible, normal top-level windows over the work
// area: @stack cascades them, @tile (@arrange) lays them in a grid, @rows
// one above the other, @columns side by side.
void WinArrange(Call& c) {
    const std::string text(c.Str(0));
    const int style = text.empty() ? kTile : std::atoi(text.c_str());
    if (style < kStack || style > kColumns) return c.ReturnInt(0);
    const auto area = x11::WorkArea();
    if (!area) return c.ReturnInt(0);
    std::vector<WindowId> ws;
    const auto owner = ownerWindow(c);
    for (const x11::WindowEntry& e : x11::TopLevels())
        if (!e.title.empty() && x11::State(e.id) == ShowState::Normal && !(owner && *owner == e.id)) ws.push_back(e.id);
    std::reverse(ws.begin(), ws.end());  // bottom first: the topmost ends on top
    const int n = static_cast<int>(ws.size());
    if (n == 0) return c.ReturnInt(1);
    int cols = 1, rows = 1;
    if (style == kTile) {
        cols = static_cast<int>(std::ceil(std::sqrt(n)));
        rows = (n + cols - 1) / cols;
    } else if (style == kRows) {
        rows = n;
    } else if (style == kColumns) {
        cols = n;
    }
    for (int i = 0; i < n; ++i) {
        x11::Rect r;
        if (style == kStack) {
            const int step = 30;
            r = {area->x + i * step, area->y + i * step, std::max(kMinWidth, area->width * 2 / 3),
                 std::max(kMinHeight, area->height * 2 / 3)};
        } else {
            const int w = std::max(kMinWidth, area->width / cols), h = std::max(kMinHeight, area->height / rows);
            r = {area->x + (i % cols) * w, area->y + (i / cols) * h, w, h};
        }
        x11::Place(ws[static_cast<std::size_t>(i)], r);
    }
    c.ReturnInt(1);
}

// winmetrics(code): the screen measures X knows (others 3124).
void WinMetrics(Call& c) {
    const auto screen = x11::Screen();
    const auto area = x11::WorkArea();
    switch (c.Int(0)) {
        case 0: return c.ReturnInt(screen ? screen->width : 0);
        case 1: return c.ReturnInt(screen ? screen->height : 0);
        case 16: return c.ReturnInt(area ? area->width : 0);
        case 17: return c.ReturnInt(area ? area->height : 0);
        case 19: return c.ReturnInt(screen ? 1 : 0);  // a pointer comes with every X display
        case 28: return c.ReturnInt(kMinWidth);
        case 29: return c.ReturnInt(kMinHeight);
        case 43: return c.ReturnInt(screen ? 3 : 0);
        default: return c.Fail(err::WinMetricsInvalidCode);
    }
}

// winresources(request): 0 and 1 free memory in bytes (the largest block
// is the same on Linux), 2 to 4 the free share of memory in percent.
void WinResources(Call& c) {
    struct sysinfo si {};
    if (c.Int(0) < 0 || c.Int(0) > 4) return c.Fail(err::WinResourcesInvalidRequest);
    if (sysinfo(&si) != 0) return c.ReturnInt(0);
    const double unit = si.mem_unit ? si.mem_unit : 1;
    const double freeBytes = static_cast<double>(si.freeram + si.bufferram) * unit;
    if (c.Int(0) <= 1) {
        if (freeBytes > 2147483647.0) return c.ReturnFloat(freeBytes);
        return c.ReturnInt(static_cast<std::int32_t>(freeBytes));
    }
    const double total = static_cast<double>(si.totalram) * unit;
    c.ReturnInt(total > 0 ? static_cast<std::int32_t>(freeBytes * 100 / total) : 0);
}

// winversion(level): the kernel release: 0 minor, 1 major, 2 patch level,
// 3 the rest of the release text, 4 the system name.
void WinVersion(Call& c) {
    struct utsname u {};
    uname(&u);
    int major = 0, minor = 0, patch = 0, used = 0;
    std::sscanf(u.release, "%d.%d.%d%n", &major, &minor, &patch, &used);
    switch (c.Int(0)) {
        case 0: return c.ReturnInt(minor);
        case 1: return c.ReturnInt(major);
        case 2: return c.ReturnInt(patch);
        case 3: return void(c.ReturnText(u.release + used));
        case 4: return void(c.ReturnText(u.sysname));
        default: return c.Fail(err::WinVersionInvalidLevel);
    }
}

// winsysinfo(): items "X11", screen width, height, the window manager's
// name, the number of top-level windows, the processor count.
void WinSysInfo(Call& c) {
    const auto screen = x11::Screen();
    std::vector<std::string> items{
        screen ? "X11" : "", std::to_string(screen ? screen->width : 0), std::to_string(screen ? screen->height : 0),
        x11::ManagerName(),  std::to_string(x11::TopLevels().size()),    std::to_string(sysconf(_SC_NPROCESSORS_ONLN))};
    c.ReturnText(Joined(c, items));
}

// winhelp(file, command, key): the help file opens in the program the
// desktop has for it; "QUIT" closes nothing (each viewer is its own program).
// A program running: its name (".exe" ignored, without regard to case)
// matches the file name of a process's program or its command name.
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return s;
}

std::string ProgramKey(std::string_view name) {
    std::string s = Lower(std::string(name));
    if (const auto slash = s.find_last_of("/\\"); slash != std::string::npos) s = s.substr(slash + 1);
    if (s.size() > 4 && s.ends_with(".exe")) s.resize(s.size() - 4);
    return s;
}

bool ProgramRuns(std::string_view name) {
    const std::string want = ProgramKey(name);
    if (want.empty()) return false;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (ProgramKey(ProgramOf(std::stoi(pid))) == want) return true;
        if (FILE* f = std::fopen((entry.path() / "comm").c_str(), "r")) {
            char comm[64] = {};
            const bool got = std::fgets(comm, sizeof comm, f) != nullptr;
            std::fclose(f);
            std::string s = got ? comm : "";
            if (!s.empty() && s.back() == '\n') s.pop_back();
            if (Lower(s) == want) return true;
        }
    }
    return false;
}

void AppExist(Call& c) { c.ReturnInt(ProgramRuns(c.Str(0)) ? 1 : 0); }

void AppWaitClose(Call& c) {
    if (!ProgramRuns(c.Str(0))) return c.ReturnInt(0);
    PollUntil(c, -1, [&] { return !ProgramRuns(c.Str(0)); });
}

// findwindow(class): the title of the first top-level window whose class
// (or instance) name is the name, without regard to case; "" when none.
void FindWindowByClass(Call& c) {
    const std::string want = Lower(std::string(c.Str(0)));
    for (const x11::WindowEntry& e : x11::TopLevels())
        if (Lower(x11::ClassName(e.id)) == want || Lower(x11::InstanceName(e.id)) == want)
            return void(c.ReturnText(e.title));
    c.ReturnText("");
}

void NotHere(Call& c) { c.Fail(err::NotAvailable); }
// Exclusive use of the machine belonged to the 16-bit system.
void Exclusive(Call& c) { c.Fail(err::NotIn32BitVersion); }

constexpr BuiltinEntry kWindows[] = {
    {"winactivate", WinActivate},
    {"winactivchild", WinActivChild},
    {"winarrange", WinArrange},
    {"winclose", WinClose},
    {"winclosenot", WinCloseNot},
    {"winconfig", NotHere},
    {"winexename", WinExeName},
    {"winexist", WinExist},
    {"winexistchild", WinExistChild},
    {"wingetactive", WinGetActive},
    {"winhide", WinHide},
    {"winiconize", WinIconize},
    {"winidget", WinIdGet},
    {"winisdos", WinIsDos},
    {"winitemchild", WinItemChild},
    {"winitemize", WinItemize},
    {"winitemizeex", WinItemizeEx},
    {"winitemnameid", WinItemNameId},
    {"winmetrics", WinMetrics},
    {"winname", WinName},
    {"winparmget", NotHere},
    {"winparmset", NotHere},
    {"winplace", WinPlace},
    {"winplaceget", WinPlaceGet},
    {"winplaceset", WinPlaceSet},
    {"winposition", WinPosition},
    {"winresources", WinResources},
    {"winshow", WinShow},
    {"winstate", WinState},
    {"winsysinfo", WinSysInfo},
    {"wintitle", WinTitle},
    {"winversion", WinVersion},
    {"winwaitchild", WinWaitChild},
    {"winwaitclose", WinWaitClose},
    {"winwaitexist", WinWaitExist},
    {"winzoom", WinZoom},
    {"appexist", AppExist},
    {"appwaitclose", AppWaitClose},
    {"findwindow", FindWindowByClass},
    {"iconarrange", NotHere},
    {"iconreplace", NotHere},
    {"sendmenusto", NotHere},
    {"sendmenustoex", NotHere},
    {"exclusive", Exclusive},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(windows, tarn::fn::kWindows)
