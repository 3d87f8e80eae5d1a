// The interpreter-control family: "intcontrol", the one entry through which
// a script reads and changes the interpreter's settings and reaches a few
// system operations, and "sounds".
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "builtins.h"
#include "errors.h"
#include "expression.h"
#include "functions/family_util.h"
#include "functions/logic/filenames.h"
#include "functions/intcontrol.h"
#include "messages.h"
#include "owned_value.h"
#include "string_heap.h"
#include "functions/logic/system_actions.h"
#include "values.h"
#include "variables.h"
#include "functions/logic/window_names.h"
#include "functions/logic/ymdhms.h"
#include "functions/window_find.h"
#include "x11/windows.h"

namespace tarn::fn {

std::int32_t intcontrolNumber(std::string_view p1) {
    p1 = p1.substr(0, 19);
    std::size_t i = 0;
    while (i < p1.size() && (p1[i] == ' ' || p1[i] == '\t')) ++i;
    bool negative = false;
    if (i < p1.size() && (p1[i] == '+' || p1[i] == '-')) negative = p1[i++] == '-';
    long long v = 0;
    for (; i < p1.size() && p1[i] >= '0' && p1[i] <= '9'; ++i) v = std::min(v * 10 + (p1[i] - '0'), 1LL << 32);
    if (negative) v = -v;
    return static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

namespace {

// One request in progress: its arguments and, once done, its result text.
struct Request {
    Call& c;
    State& s;
    std::int32_t p;  // p1 read as an integer
    std::string_view p1, p2, p3, p4;
    std::string result;
};

std::string flag(bool on) { return on ? "1" : "0"; }

// A switch set to "P non-zero"; the result is the previous setting.
void Switch(Request& r, std::uint8_t& setting) {
    r.result = flag(setting != 0);
    setting = r.p != 0;
}

// A setting that takes P when it lies in [low, high]; the previous value.
template <typename T>
void Ranged(Request& r, T& setting, std::int32_t low, std::int32_t high) {
    r.result = std::to_string(setting);
    if (r.p >= low && r.p <= high) setting = static_cast<T>(r.p);
}

// 1: two message boxes, text p2 with caption p1, then text p4 with caption p3.
void TwoBoxes(Request& r) {
    r.c.Message(r.p1, r.p2, Buttons::Ok, Icon::None);
    r.c.Message(r.p3, r.p4, Buttons::Ok, Icon::None);
    r.result = "1";
}

void HiddenFiles(Request& r) { Switch(r, r.s.hidden_files); }
void Trace(Request& r) { Switch(r, r.s.trace); }

// 12: exit flags; with low bits 2, p2 is kept for the session-end message.
void ExitFlags(Request& r) {
    r.result = std::to_string(r.s.exit_flags % 10);
    r.s.exit_flags = static_cast<std::uint32_t>(r.p);
    if ((r.p & 3) == 2 &&
        !SetVariableText(r.c.Context(), "exitwindowsmessage1873658", r.p2 == "0" ? std::string_view() : r.p2) &&
        !r.c.Failed())
        r.c.Fail(err::OutOfVariableMemory);
}

void OwnerWindow(Request& r) { r.result = std::to_string(r.s.window); }

// 29: the item delimiter; an empty p1 only reads it.
void Delimiter(Request& r) {
    r.result = std::string(1, r.s.item_delimiter ? r.s.item_delimiter : '\t');
    if (r.p1.size() > 1) return r.c.Fail(err::IntControl29InvalidDelimiterCharacter);
    if (r.p1.size() == 1) r.s.item_delimiter = r.p1[0];
}

// 30: Linux replaces a file in use at once, so the move "at restart" is made
// now (result 2, the fallback's). An empty p2 deletes p1.
void MoveAtRestart(Request& r) {
    const std::string from = fullPath(slashes(r.p1));
    struct stat fs {};
    if (r.p1.empty() || hasWildcards(namePart(from)) || stat(from.c_str(), &fs) != 0 || S_ISDIR(fs.st_mode))
        return r.c.Fail(err::IntControl30SourceFileNotFound);
    if (r.p2.empty()) {
        r.result = unlink(from.c_str()) == 0 ? "2" : "0";
        return;
    }
    const std::string to = fullPath(slashes(r.p2));
    const std::string dir = dirPart(to);
    struct stat ds {};
    if (namePart(to).empty() || hasWildcards(namePart(to)) || stat(dir.empty() ? "/" : dir.c_str(), &ds) != 0 ||
        !S_ISDIR(ds.st_mode) || isDirectory(to))
        return r.c.Fail(err::IntControl30ErrorParsingTargetSpec);
    if (ds.st_dev != fs.st_dev) return r.c.Fail(err::IntControl30CannotMoveFileDifferent);
    r.result = std::rename(from.c_str(), to.c_str()) == 0 ? "2" : "0";
}

void InternalFlag(Request& r) { Switch(r, r.s.internal_flag); }
void MessageOf(Request& r) { r.result = std::string(MessageText(r.p)); }
void KeyDelay(Request& r) { Ranged(r, r.s.key_delay, 0, INT32_MAX); }

// 38: quiet mode as DLLServices 23; switching it on also silences sounds.
void Quiet(Request& r) {
    r.result = flag(r.s.quiet != 0);
    r.s.quiet = r.p != 0;
    if (r.s.quiet) r.s.sounds = 0;
    if (!r.p2.empty())
        std::snprintf(r.s.quiet_log, sizeof r.s.quiet_log, "%.*s", static_cast<int>(r.p2.size()), r.p2.data());
}

// 39, 40: share modes; only P above 0 changes one.
void ShareMode(Request& r, std::uint8_t& mode) {
    r.result = std::to_string(mode);
    if (r.p > 3) return r.c.Fail(err::IntControl3940InvalidShareMode);
    if (r.p > 0) mode = static_cast<std::uint8_t>(r.p);
}
void ShareRead(Request& r) { ShareMode(r, r.s.share_read); }
void ShareWrite(Request& r) { ShareMode(r, r.s.share_write); }

// 41: four-digit years; -1 only reads, any other value is refused.
void FourDigitYears(Request& r) {
    r.result = flag(r.s.four_digit_years != 0);
    if (r.p != 0 && r.p != 1 && r.p != -1) return r.c.Fail(err::IntControl41InvalidParameter);
    if (r.p >= 0) r.s.four_digit_years = static_cast<std::uint8_t>(r.p);
}

void WindowWait(Request& r) { Ranged(r, r.s.window_wait, 0, INT32_MAX); }

// 50: online error help, and the support address when p2 gives one.
void OnlineHelp(Request& r) {
    Ranged(r, r.s.online_help, 0, 1);
    if (!r.p2.empty() && r.p2 != "0")
        std::snprintf(r.s.support_url, sizeof r.s.support_url, "%.*s",
                      static_cast<int>(std::min<std::size_t>(r.p2.size(), 256)), r.p2.data());
}

void GuiFont(Request& r) { Ranged(r, r.s.default_gui_font, 0, 1); }
void LineTerminator(Request& r) { Ranged(r, r.s.line_terminator, 0, 4); }

// 58: the local clock from a date-time text. Setting it needs the right to
// set the system time; without it the request fails as the privilege would.
void SetClock(Request& r) {
    Ymdhms t;
    if (!parseYmdhms(r.p1, t, kYmdFull, true)) return r.c.Fail(err::IntControlInvalidYmdHmsDateString);
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    const std::time_t when = std::mktime(&tm);
    if (when == static_cast<std::time_t>(-1)) return r.c.Fail(err::IntControlInvalidYmdHmsDateString);
    const int err = systemActions().SetClock(when);
    if (err == EPERM) return r.c.Fail(err::IntControlUnableSetNTSecurity);
    r.result = err ? "0" : "1";
}

// 66, 67, 68: log off, restart, power off (forced when p2 is non-zero).
// Once the session is ending the script ends too; restart and power off
// refused for want of the right are 1388.
void EndSession(Request& r, SessionEnd what) {
    const int err = systemActions().EndSession(what, intcontrolNumber(r.p2) != 0);
    r.result = "0";
    if (err == EPERM && what != SessionEnd::LogOff) return r.c.Fail(err::RequestIgnoredNTSecurity);
    if (!err) r.s.terminate = 1;
}
void LogOff(Request& r) { EndSession(r, SessionEnd::LogOff); }
void Restart(Request& r) { EndSession(r, SessionEnd::Restart); }
void PowerOff(Request& r) { EndSession(r, SessionEnd::PowerOff); }

void ActivationWindows(Request& r) { Ranged(r, r.s.activation_window, 0, 4); }
void ActivationDialogs(Request& r) { Ranged(r, r.s.activation_dialog, 0, 4); }

// 90: the largest request the string heap can satisfy now, by halving.
void LargestString(Request& r) {
    StringHeap* heap = r.s.heap;
    std::uint32_t low = 0, high = 65535;  // low fits, high + 1 does not
    while (low < high) {
        const std::uint32_t mid = low + (high - low + 1) / 2;
        const std::uint16_t off = VMalloc(heap, mid);
        if (off) {
            VFree(r.c.Context(), heap, off);
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    r.result = std::to_string(low);
}

// Window requests (X11): a name or number that gives no window is 1464.
std::optional<WindowId> RequestWindow(Request& r, std::string_view name) {
    auto w = findWindowOnce(r.c, name);
    if (!w) r.c.Fail(err::IntControlWindowNotFound);
    return w;
}
// A window given by its handle in decimal (P).
std::optional<WindowId> HandleWindow(Request& r) {
    if (r.p <= 0 || !vrayu::x11::Exists(static_cast<WindowId>(r.p))) {
        r.c.Fail(err::IntControlWindowNotFound);
        return std::nullopt;
    }
    return static_cast<WindowId>(r.p);
}

// 21: the handle of the window p1 names.
void WindowHandle(Request& r) {
    if (auto w = RequestWindow(r, r.p1)) r.result = std::to_string(*w);
}

// 24: the owner of window P (the window it is transient for), "0" none.
void ParentWindow(Request& r) {
    if (auto w = HandleWindow(r)) r.result = std::to_string(vrayu::x11::Owner(*w));
}

// 31: window ids of the file manager windows, tab-separated.
void FileManagerWindows(Request& r) {
    static constexpr std::string_view kManagers[] = {
        "nautilus", "org.gnome.nautilus", "thunar", "pcmanfm", "pcmanfm-qt", "nemo", "caja", "dolphin",
        "spacefm",  "doublecmd"};
    std::string out;
    for (const auto& e : vrayu::x11::TopLevels()) {
        std::string cls = vrayu::x11::ClassName(e.id);
        std::transform(cls.begin(), cls.end(), cls.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        if (std::find(std::begin(kManagers), std::end(kManagers), cls) == std::end(kManagers)) continue;
        if (!out.empty()) out += '\t';
        out += windowIdText(e.id);
    }
    r.result = out;
}

// 36: Linux programs have no "input idle" state: a program whose window
// exists is taken as idle at once.
void WaitIdle(Request& r) {
    if (RequestWindow(r, r.p1)) r.result = "1";
}

// 44: the class name of window P.
void WindowClass(Request& r) {
    if (auto w = HandleWindow(r)) r.result = vrayu::x11::ClassName(*w);
}

// 54: window p1 kept above the others (p2 1) or not (p2 0).
void Topmost(Request& r) {
    const auto w = RequestWindow(r, r.p1);
    if (!w) return;
    const std::int32_t on = intcontrolNumber(r.p2);
    r.result = (on == 0 || on == 1) && vrayu::x11::SetTopmost(*w, on == 1) ? "1" : "0";
}

// 56: ends the process owning window p1 (SIGTERM to its _NET_WM_PID; never
// this process itself).
void EndProcess(Request& r) {
    const auto w = RequestWindow(r, r.p1);
    if (!w) return;
    const int pid = vrayu::x11::ProcessId(*w);
    r.result = pid > 0 && pid != getpid() && kill(pid, SIGTERM) == 0 ? "1" : "0";
}
void NotHere(Request& r) { r.c.Fail(kIntcontrolNotAvailable); }

struct Row {
    int number;
    void (*run)(Request&);
};

// ORDER: ascending request numbers. Requests with no meaning on Linux
// raise 3472.
constexpr Row kRequests[] = {
    {1, TwoBoxes},
    {5, HiddenFiles},
    {7, Trace},
    {12, ExitFlags},
    {20, OwnerWindow},
    {21, WindowHandle},
    {22, NotHere},
    {23, NotHere},
    {24, ParentWindow},
    {29, Delimiter},
    {30, MoveAtRestart},
    {31, FileManagerWindows},
    {33, InternalFlag},
    {34, MessageOf},
    {35, KeyDelay},
    {36, WaitIdle},
    {38, Quiet},
    {39, ShareRead},
    {40, ShareWrite},
    {41, FourDigitYears},
    {44, WindowClass},
    {46, WindowWait},
    {50, OnlineHelp},
    {52, GuiFont},
    {53, LineTerminator},
    {54, Topmost},
    {56, EndProcess},
    {57, NotHere},
    {58, SetClock},
    {59, NotHere},
    {60, NotHere},
    {61, ActivationWindows},
    {62, ActivationDialogs},
    {66, LogOff},
    {67, Restart},
    {68, PowerOff},
    {90, LargestString},
};

const Row* FindRequest(std::int32_t n) {
    for (const Row& row : kRequests)
        if (row.number == n) return &row;
    return nullptr;
}

// A request without an entry goes to the host's "intcontrol" function when
// it has one (texts: the request number and p1 to p4).
void ToHost(Call& c, std::int32_t request) {
    State& s = c.State();
    ScriptContext* ctx = c.Context();
    if (s.host_intcontrol < 0 || !ctx->host_callback) return c.Fail(err::IntControlOpcode);
    OwnedValue out(ctx);
    SetInt(*out, 0);
    TarnAnswer answer{ctx, out.get()};
    s.error_detail[0] = 0;
    const std::string number = std::to_string(request);
    const std::string p1(c.Str(1)), p2(c.Str(2)), p3(c.Str(3)), p4(c.Str(4));
    const intptr_t status =
        ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, s.host_intcontrol, ViperAnswer, &answer, nullptr,
                           number.c_str(), p1.c_str(), p2.c_str(), p3.c_str(), p4.c_str());
    if (!HandleCallbackStatus(ctx, status)) return;
    std::string text;
    ValueAsString(ctx, *out, &text);
    ReturnTextOrMemError(c, text);
}

void IntControl(Call& c) {
    const std::int32_t number = c.Int(0);
    const Row* row = number >= 1 && number <= 101 ? FindRequest(number) : nullptr;
    if (!row) return ToHost(c, number);
    Request r{c, c.State(), intcontrolNumber(c.Str(1)), c.Str(1), c.Str(2), c.Str(3), c.Str(4), {}};
    row->run(r);
    if (c.Failed()) return;
    ReturnTextOrMemError(c, r.result);
}

// sounds(P): 0 off, 1 on, anything else only reads; the previous setting.
void Sounds(Call& c) {
    State& s = c.State();
    const bool previous = s.sounds != 0;
    if (c.Int(0) == 0 || c.Int(0) == 1) s.sounds = static_cast<std::uint8_t>(c.Int(0));
    c.ReturnInt(previous);
}

// endsession(): logs the user off as request 66 does; the script ends once
// the session is ending.
void EndSessionNow(Call& c) {
    const int err = systemActions().EndSession(SessionEnd::LogOff, false);
    if (!err) c.State().terminate = 1;
    c.ReturnInt(err ? 0 : 1);
}

constexpr BuiltinEntry kIntControl[] = {
    {"intcontrol", IntControl},
    {"sounds", Sounds},
    {"endsession", EndSessionNow},
};

}  // namespace

bool intcontrolHasRequest(int number) { return FindRequest(number) != nullptr; }

}  // namespace tarn::fn

TARN_FAMILY(intcontrol, tarn::fn::kIntControl)
