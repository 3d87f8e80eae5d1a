#include "functions/logic/ymdhms.h"

#include <cstdio>
#include <cstdlib>

namespace tarn::fn {

bool parseYmdhms(std::string_view text, Ymdhms& out, int level, bool twoDigitYears) {
    out = Ymdhms{};
    if (text.find("::") != std::string_view::npos) return false;
    long long f[6] = {0, 0, 0, 0, 0, 0};
    int digits[6] = {0, 0, 0, 0, 0, 0};
    int field = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            // Fields beyond nine digits cannot be a time of any kind; refusing
            // them keeps the arithmetic inside 32 bits.
            if (++digits[field] > 9) return false;
            f[field] = f[field] * 10 + (c - '0');
        } else if (c == ':') {
            if (++field == 6) break;
        } else {
            return false;
        }
    }
    int fields = field == 6 ? 6 : field + 1;
    if (fields != 3 && fields != 6) return false;
    out = Ymdhms{int32_t(f[0]), int32_t(f[1]), int32_t(f[2]), int32_t(f[3]), int32_t(f[4]), int32_t(f[5])};
    if (level == kYmdSyntax) return true;
    if (out.hour == 24 && level == kYmdHour24) out.hour = 0;
    if (out.hour >= 24 || out.minute >= 60 || out.second >= 60) return false;
    if (level == kYmdTimeOnly) return true;
    if (out.day == 0 || out.month < 1 || out.month > 12 || digits[0] > 4) return false;
    if (twoDigitYears && digits[0] <= 2) out.year += out.year < 50 ? 2000 : 1900;
    return out.day <= monthLength(out.year, out.month);
}

bool isLeapYear(long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int monthLength(long year, int month) {
    static const int len[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) return 29;
    return len[(month - 1) % 12];
}

long dayNumber(long y, long m, long d) {
    long b = y + (m + 9) / 12 + 399;
    return ((m + 9) % 12 * 153 + 2) / 5 + d + b / 4 + 365 * b + b / 400 - b / 100 - 146037;
}

void fromDayNumber(long n, Ymdhms& out) {
    long y = static_cast<long>(static_cast<double>(n - 1) / 365.2425);
    while (dayNumber(y, 1, 1) > n) --y;
    while (dayNumber(y + 1, 1, 1) <= n) ++y;
    int m = 1;
    while (m < 12 && dayNumber(y, m + 1, 1) <= n) ++m;
    out.year = static_cast<int32_t>(y);
    out.month = m;
    out.day = static_cast<int32_t>(n - dayNumber(y, m, 1) + 1);
    out.hour = out.minute = out.second = 0;
}

std::string formatYmdhms(const Ymdhms& t, bool fourDigitYears) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fourDigitYears ? "%04d:%02d:%02d:%02d:%02d:%02d" : "%02d:%02d:%02d:%02d:%02d:%02d",
                  fourDigitYears ? t.year : t.year % 100, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

namespace {

constexpr long long kMaxYear = 9999;

// Carries a broken-down time held in wide integers, in timeAdd's order.
bool carry(long long y, long long mo, long long d, long long h, long long mi, long long s, Ymdhms& out) {
    mi += s / 60, s %= 60;
    h += mi / 60, mi %= 60;
    d += h / 24, h %= 24;
    if (mo > 12) y += (mo - 1) / 12, mo = (mo - 1) % 12 + 1;
    if (y > kMaxYear) return false;
    // Day overflow through the months; large spans go by whole 400-year cycles
    // (146097 days) first so that the loop stays short.
    if (d > 146097) {
        long long cycles = (d - 1) / 146097;
        y += 400 * cycles, d -= 146097 * cycles;
    }
    while (y <= kMaxYear && d > monthLength(static_cast<long>(y), static_cast<int>(mo))) {
        d -= monthLength(static_cast<long>(y), static_cast<int>(mo));
        if (++mo > 12) mo = 1, ++y;
    }
    if (y > kMaxYear || y < 0) return false;
    out = Ymdhms{int32_t(y), int32_t(mo), int32_t(d), int32_t(h), int32_t(mi), int32_t(s)};
    return true;
}

// Field arithmetic that cannot overflow the 32-bit fields.
using Wide = long long;

long long floorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

bool timeAdd(const Ymdhms& t, const Ymdhms& d, Ymdhms& out) {
    return carry(Wide{t.year} + d.year, Wide{t.month} + d.month, Wide{t.day} + d.day, Wide{t.hour} + d.hour,
                 Wide{t.minute} + d.minute, Wide{t.second} + d.second, out);
}

bool timeSubtract(const Ymdhms& t, const Ymdhms& d, Ymdhms& out) {
    // Time of day with borrowed days.
    long long secs =
        Wide{t.hour} * 3600 + t.minute * 60 + t.second - (Wide{d.hour} * 3600 + Wide{d.minute} * 60 + d.second);
    long long borrowDays = floorDiv(secs, 86400);
    secs -= borrowDays * 86400;
    // Month the result starts from, before days are borrowed.
    long long months = Wide{t.year} * 12 + (t.month - 1) - (Wide{d.year} * 12 + d.month);
    long long by = floorDiv(months, 12), bm = months - by * 12 + 1;
    if (by < 0 || by > kMaxYear) return false;
    long long day = Wide{t.day} - d.day + borrowDays;
    int len = monthLength(static_cast<long>(by), static_cast<int>(bm));
    if (day > len) day = len;  // no day of that month can reach t: its last
    long long n = dayNumber(static_cast<long>(by), static_cast<long>(bm), 1) + day - 1;
    if (n < 1) return false;
    auto candidate = [&](long long dn, Ymdhms& x) {
        fromDayNumber(static_cast<long>(dn), x);
        x.hour = int32_t(secs / 3600), x.minute = int32_t(secs / 60 % 60), x.second = int32_t(secs % 60);
    };
    Ymdhms x;
    candidate(n, x);
    if (x.year > kMaxYear) return false;
    Ymdhms back;
    if (!(timeAdd(x, d, back) && back == t)) {
        // Month lengths differ by at most three days: an exact inverse, if
        // any, lies close by.
        for (long long k = 1; k <= 4; ++k) {
            for (long long dn : {n - k, n + k}) {
                Ymdhms y;
                if (dn < 1) continue;
                candidate(dn, y);
                if (y.year <= kMaxYear && timeAdd(y, d, back) && back == t) {
                    out = y;
                    return true;
                }
            }
        }
    }
    out = x;
    return true;
}

long long timeDiffSecs(const Ymdhms& a, const Ymdhms& b) {
    long long days = dayNumber(a.year, a.month, a.day) - dayNumber(b.year, b.month, b.day);
    return ((days * 24 + (a.hour - b.hour)) * 60 + (a.minute - b.minute)) * 60 + (a.second - b.second);
}

Regional Regional::read(const std::function<std::string(const char*, const char*)>& get) {
    Regional r;
    r.iDate = std::atoi(get("iDate", "0").c_str());
    r.iTime = std::atoi(get("iTime", "0").c_str());
    r.sDate = get("sDate", "/");
    r.sTime = get("sTime", ":");
    r.s1159 = get("s1159", "AM");
    r.s2359 = get("s2359", "PM");
    r.sShortDate = get("sShortDate", "M/d/yy");
    return r;
}

int weekday(const Ymdhms& t) {
    // Day 1 (0000:01:01, proleptic Gregorian) was a Saturday.
    return static_cast<int>((dayNumber(t.year, t.month, t.day) + 5) % 7);
}

std::string formatRegional(const Ymdhms& t, const Regional& r) {
    static const char* names = "SunMonTueWedThuFriSat";
    std::string wd(names + 3 * weekday(t), 3);
    char dsep = r.sDate.empty() ? '/' : r.sDate[0];
    char tsep = r.sTime.empty() ? ':' : r.sTime[0];
    char year[16], date[64], time[64];
    bool fourDigits = r.sShortDate.find("yyy") != std::string::npos;
    std::snprintf(year, sizeof year, fourDigits ? "%04d" : "%02d", fourDigits ? t.year : t.year % 100);
    if (r.iDate == 2) std::snprintf(date, sizeof date, "%s%c%02d%c%02d", year, dsep, t.month, dsep, t.day);
    else if (r.iDate == 1) std::snprintf(date, sizeof date, "%2d%c%02d%c%s", t.day, dsep, t.month, dsep, year);
    else std::snprintf(date, sizeof date, "%2d%c%02d%c%s", t.month, dsep, t.day, dsep, year);
    int hour = t.hour;
    if (r.iTime == 0) hour = (hour % 12 == 0) ? 12 : hour % 12;
    std::snprintf(time, sizeof time, "%2d%c%02d%c%02d", hour, tsep, t.minute, tsep, t.second);
    std::string out = wd + " " + date + " " + time;
    if (r.iTime == 0) out += " " + (t.hour < 12 ? r.s1159 : r.s2359);
    return out;
}

uint32_t timeCode(const Ymdhms& t) {
    uint32_t y = t.year >= 1980 ? uint32_t(t.year - 1980) : 0;
    return (y << 25) | (uint32_t(t.month) << 21) | (uint32_t(t.day) << 16) | (uint32_t(t.hour) << 11) |
           (uint32_t(t.minute) << 5) | uint32_t(t.second / 2);
}

}  // namespace tarn::fn
