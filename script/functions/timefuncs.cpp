// The date and time family: date-time texts, day numbers, waits and clocks.
#include "builtins.h"
#include "errors.h"
#include "export_guard.h"
#include "functions/family_util.h"
#include "windows_directory.h"
#include "functions/logic/filenames.h"
#include "functions/logic/ymdhms.h"
#include "functions/ymdhms_export.h"

#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace tarn::fn {
namespace {

bool parseArg(Call& c, int i, Ymdhms& t, int level, int error) {
    if (parseYmdhms(c.Str(i), t, level, true)) return true;
    c.Fail(error);
    return false;
}

void ReturnYmd(Call& c, const Ymdhms& t) { ReturnTextOrMemError(c, YmdText(c, t)); }

void TimeYmdhms(Call& c) { ReturnYmd(c, LocalNow()); }

// Weekday, date and time in the regional form of WIN.INI's [intl] section.
void TimeDate(Call& c) {
    std::string ini = WindowsFile("WIN.INI");
    Regional r = Regional::read([&](const char* key, const char* def) { return ProfileString(ini, "intl", key, def); });
    ReturnTextOrMemError(c, formatRegional(LocalNow(), r));
}

void TimeAdd(Call& c) {
    Ymdhms t, d, out;
    if (!parseArg(c, 0, t, kYmdFull, err::TimeAddTimeParameterError) ||
        !parseArg(c, 1, d, kYmdSyntax, err::TimeAddTimeParameterError))
        return;
    if (!timeAdd(t, d, out)) return c.Fail(err::TimeAddCannotAddSuppliedTimes);
    ReturnYmd(c, out);
}

void TimeSubtract(Call& c) {
    Ymdhms t, d, out;
    if (!parseArg(c, 0, t, kYmdFull, err::TimeSubtractTimeParameterError) ||
        !parseArg(c, 1, d, kYmdSyntax, err::TimeSubtractTimeParameterError))
        return;
    if (!timeSubtract(t, d, out)) return c.Fail(err::TimeSubtractCannotSubtractSuppliedTimes);
    ReturnYmd(c, out);
}

void TimeDiffSecs(Call& c) {
    Ymdhms a, b;
    if (!parseArg(c, 0, a, kYmdFull, err::TimeDiffTimeParameterError) ||
        !parseArg(c, 1, b, kYmdFull, err::TimeDiffTimeParameterError))
        return;
    long days = dayNumber(a.year, a.month, a.day) - dayNumber(b.year, b.month, b.day);
    if (days >= 22001 || days <= -22001) return c.Fail(err::TimeDiffOutRangeOver60);
    c.ReturnInt(static_cast<std::int32_t>(timeDiffSecs(a, b)));
}

void TimeDiffDays(Call& c) {
    Ymdhms a, b;
    if (!parseArg(c, 0, a, kYmdFull, err::TimeDiffTimeParameterError) ||
        !parseArg(c, 1, b, kYmdFull, err::TimeDiffTimeParameterError))
        return;
    c.ReturnInt(static_cast<std::int32_t>(dayNumber(a.year, a.month, a.day) - dayNumber(b.year, b.month, b.day)));
}

void TimeJulianDay(Call& c) {
    Ymdhms t;
    if (!parseArg(c, 0, t, kYmdFull, err::TimeDiffTimeParameterError)) return;
    c.ReturnInt(static_cast<std::int32_t>(dayNumber(t.year, t.month, t.day)));
}

void TimeJulToYmd(Call& c) {
    if (c.Int(0) <= 0 || c.Int(0) > dayNumber(9999, 12, 31)) return c.Fail(err::TimeJulToYmdInvalidJulianDate);
    Ymdhms t;
    fromDayNumber(c.Int(0), t);
    ReturnYmd(c, t);
}

// Sleeps in short slices, ending early when the script is asked to stop.
void sleepFor(Call& c, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                        std::chrono::duration<double>(seconds));
    while (!c.State().terminate) {
        auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) break;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(100)));
    }
}

void Delay(Call& c) {
    if (c.Float(0) > 0) sleepFor(c, c.Float(0));
    c.ReturnInt(1);
}

// Waits until a local date and time; a date of 0:0:0 means today (tomorrow
// when the time has passed).
void TimeWait(Call& c) {
    std::string_view s = c.Str(0);
    int fields = 1;
    bool digitsSeen = false, ok = !s.empty();
    for (char ch : s) {
        if (ch == ':') {
            ok = ok && digitsSeen;
            ++fields, digitsSeen = false;
        } else if (ch >= '0' && ch <= '9') {
            digitsSeen = true;
        } else {
            ok = false;
        }
    }
    Ymdhms t;
    if (!ok || !digitsSeen || fields != 6 || !parseYmdhms(s, t, kYmdSyntax, true))
        return c.Fail(err::WaitUntilPassedTimeNotProper);
    Ymdhms now = LocalNow();
    if (t.year == 0 && t.month == 0 && t.day == 0) {
        t.year = now.year, t.month = now.month, t.day = now.day;
        if (timeDiffSecs(t, now) <= 0) {
            Ymdhms next;
            timeAdd(t, Ymdhms{0, 0, 1, 0, 0, 0}, next);
            t = next;
        }
    } else if (!parseYmdhms(s, t, kYmdFull, true)) {
        return c.Fail(err::WaitUntilPassedTimeNotProper);
    }
    while (!c.State().terminate && timeDiffSecs(t, LocalNow()) > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    c.ReturnInt(1);
}

// Local time with hundredths: "HH:MM:SS.hh".
void GetExactTime(Call& c) {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    Ymdhms t = LocalTime(ts.tv_sec);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d", t.hour, t.minute, t.second, int(ts.tv_nsec / 10000000));
    ReturnTextOrMemError(c, buf);
}

// Milliseconds since the system started, wrapping like a 32-bit counter.
void GetTickCount(Call& c) {
    timespec ts;
    clock_gettime(CLOCK_BOOTTIME, &ts);
    unsigned long long ms = static_cast<unsigned long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    c.ReturnInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(ms)));
}

void FileYmdhms(Call& c) {
    if (!NoWildcards(c, c.Str(0))) return;
    struct stat st;
    if (stat(slashes(c.Str(0)).c_str(), &st) != 0) return c.Fail(err::FileTimeGetFileNotFound);
    ReturnYmd(c, LocalTime(st.st_mtime));
}

constexpr BuiltinEntry kTime[] = {
    {"timeymdhms", TimeYmdhms},     {"timedate", TimeDate},
    {"datetime", TimeDate},         {"timeadd", TimeAdd},
    {"timesubtract", TimeSubtract}, {"timediffsecs", TimeDiffSecs},
    {"timediffdays", TimeDiffDays}, {"timejulianday", TimeJulianDay},
    {"timejultoymd", TimeJulToYmd}, {"timewait", TimeWait},
    {"timedelay", Delay},           {"delay", Delay},
    {"getexacttime", GetExactTime}, {"gettickcount", GetTickCount},
    {"fileymdhms", FileYmdhms},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(time, tarn::fn::kTime)

static int ParseDateFields(const char* text, int32_t* out, int level, int two_digit_years) {
    tarn::fn::Ymdhms t;
    bool ok = text && tarn::fn::parseYmdhms(text, t, level, two_digit_years != 0);
    if (out) {
        const int32_t fields[6] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
        for (int i = 0; i < 6; ++i) out[i] = fields[i];
    }
    return ok ? 1 : 0;
}

extern "C" int ParseYMDHMS(const char* text, int32_t* out, int level, int two_digit_years) {
    return tarn::Guarded(0, [&] { return ParseDateFields(text, out, level, two_digit_years); });
}
