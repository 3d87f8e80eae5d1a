// Date-time texts ("YYYY:MM:DD:HH:MM:SS"), their parser and the day-number
// arithmetic the time built-ins compute with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarn::fn {

struct Ymdhms {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const Ymdhms&) const = default;
};

// Check levels of parseYmdhms.
enum YmdLevel { kYmdSyntax = 0, kYmdFull = 1, kYmdHour24 = 2, kYmdTimeOnly = 3 };

// Parses a date-time text of 3 or 6 colon-separated digit fields. Returns
// false when the text is unacceptable at `level`; twoDigitYears maps years
// written with 1 or 2 digits to 2000-2049 and 1950-1999.
bool parseYmdhms(std::string_view text, Ymdhms& out, int level, bool twoDigitYears);

bool isLeapYear(long year);
int monthLength(long year, int month);  // month 1..12

// Days counted so that 0000:01:01 is day 1.
long dayNumber(long year, long month, long day);
// Inverse of dayNumber for n >= 1.
void fromDayNumber(long n, Ymdhms& out);

// "%04d:%02d:%02d:%02d:%02d:%02d", or two-digit years when fourDigitYears is
// false.
std::string formatYmdhms(const Ymdhms& t, bool fourDigitYears = true);

// Field-wise sum with carrying; false when the result leaves years 0..9999.
bool timeAdd(const Ymdhms& t, const Ymdhms& delta, Ymdhms& out);

// Difference that undoes timeAdd: the result x satisfies timeAdd(x, delta) ==
// t whenever such an x exists (the one found by plain borrowing when it
// qualifies, else the nearest day that does); when none exists the day is
// clamped to the end of its month. False when the result leaves years
// 0..9999.
bool timeSubtract(const Ymdhms& t, const Ymdhms& delta, Ymdhms& out);

// Seconds from b to a (a - b) from the field differences.
long long timeDiffSecs(const Ymdhms& a, const Ymdhms& b);

// Regional settings of the "INTL" profile section.
struct Regional {
    int iDate = 0;  // 0 month first, 1 day first, 2 year first
    int iTime = 0;  // 0 twelve-hour, 1 twenty-four-hour
    std::string sDate = "/", sTime = ":", s1159 = "AM", s2359 = "PM", sShortDate = "M/d/yy";

    // Reads the keys through `get(key, default)`.
    static Regional read(const std::function<std::string(const char* key, const char* def)>& get);
};

// Weekday, date and time in the regional form ("Tue 8/04/98 1:02:03 PM").
std::string formatRegional(const Ymdhms& t, const Regional& r);

// Day of the week, 0 Sunday.
int weekday(const Ymdhms& t);

// Packed date and time code: comparable numerically, later is larger
// (years from 1980 in the high bits, then month, day, hour, minute, seconds/2).
uint32_t timeCode(const Ymdhms& t);

}  // namespace tarn::fn
