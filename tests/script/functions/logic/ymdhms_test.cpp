#include "functions/logic/ymdhms.h"

#include <gtest/gtest.h>

#include <map>

namespace tarn::fn {
namespace {

bool parses(const char* text, int level, bool twoDigit = false) {
    Ymdhms t;
    return parseYmdhms(text, t, level, twoDigit);
}

Ymdhms parsed(const char* text, int level = kYmdFull, bool twoDigit = true) {
    Ymdhms t;
    EXPECT_TRUE(parseYmdhms(text, t, level, twoDigit)) << text;
    return t;
}

TEST(ParseYmdhms, LevelsAndCalendar) {
    EXPECT_FALSE(parses("1998:02:29", kYmdFull));
    EXPECT_TRUE(parses("2000:02:29", kYmdFull));
    EXPECT_FALSE(parses("1900:02:29", kYmdFull));
    EXPECT_FALSE(parses("1998:08:04:24:00:00", kYmdFull));
    EXPECT_TRUE(parses("1998:08:04:24:00:00", kYmdHour24));
    EXPECT_EQ(parsed("1998:08:04:24:00:00", kYmdHour24).hour, 0);
    EXPECT_FALSE(parses("1998:08:04:25:00:00", kYmdHour24));
    EXPECT_FALSE(parses("1998::08:04", kYmdSyntax));
    EXPECT_TRUE(parses("1998:13:40", kYmdSyntax));
    EXPECT_FALSE(parses("1998:13:01", kYmdFull));
    EXPECT_FALSE(parses("1998:00:01", kYmdFull));
    EXPECT_FALSE(parses("1998:01:00", kYmdFull));
    EXPECT_FALSE(parses("1998:01:01:00:60:00", kYmdFull));
    EXPECT_FALSE(parses("1998:01:01:00:00:60", kYmdTimeOnly));
    EXPECT_TRUE(parses("0:99:99:23:59:59", kYmdTimeOnly));
    EXPECT_FALSE(parses("01998:01:01", kYmdFull));  // five digits written
    EXPECT_FALSE(parses("1998:01", kYmdSyntax));
    EXPECT_FALSE(parses("1998:01:01:00", kYmdSyntax));
    EXPECT_FALSE(parses("1998-01-01", kYmdSyntax));
    EXPECT_TRUE(parses("1998:01:01:00:00:00:junk", kYmdFull));  // reading stops after six fields
    EXPECT_FALSE(parses("9999999999:01:01", kYmdSyntax));
    EXPECT_FALSE(parses("", kYmdSyntax));
}

TEST(ParseYmdhms, TwoDigitYears) {
    EXPECT_EQ(parsed("98:08:04"), (Ymdhms{1998, 8, 4, 0, 0, 0}));
    EXPECT_EQ(parsed("49:01:01"), (Ymdhms{2049, 1, 1, 0, 0, 0}));
    EXPECT_EQ(parsed("50:01:01").year, 1950);
    EXPECT_EQ(parsed("5:01:01").year, 2005);
    EXPECT_EQ(parsed("098:01:01").year, 98);  // three digits are a year as written
    EXPECT_EQ(parsed("98:08:04", kYmdFull, false).year, 98);
}

TEST(DayNumbers, KnownDaysAndRoundTrip) {
    EXPECT_EQ(dayNumber(1998, 8, 4), 729971);
    EXPECT_EQ(dayNumber(1900, 1, 1), 693962);
    EXPECT_EQ(dayNumber(0, 1, 1), 1);
    for (long n : {1L, 59L, 60L, 61L, 366L, 693962L, 729971L, 730485L, 3652059L}) {
        Ymdhms t;
        fromDayNumber(n, t);
        EXPECT_EQ(dayNumber(t.year, t.month, t.day), n) << n;
    }
    Ymdhms t;
    fromDayNumber(729971, t);
    EXPECT_EQ(formatYmdhms(t), "1998:08:04:00:00:00");
    EXPECT_EQ(formatYmdhms(t, false), "98:08:04:00:00:00");
    EXPECT_EQ(weekday(t), 2);  // a Tuesday
}

TEST(TimeAdd, Carries) {
    Ymdhms out;
    ASSERT_TRUE(timeAdd(parsed("1998:12:31:23:59:59"), parsed("00:00:00:00:00:01", kYmdSyntax), out));
    EXPECT_EQ(formatYmdhms(out), "1999:01:01:00:00:00");
    ASSERT_TRUE(timeAdd(parsed("1999:01:31"), parsed("0:1:0", kYmdSyntax), out));
    EXPECT_EQ(formatYmdhms(out), "1999:03:03:00:00:00");
    ASSERT_TRUE(timeAdd(parsed("2000:01:01"), parsed("0:0:366", kYmdSyntax), out));
    EXPECT_EQ(formatYmdhms(out), "2001:01:01:00:00:00");
    ASSERT_TRUE(timeAdd(parsed("2000:01:01"), parsed("0:0:0:0:0:86400", kYmdSyntax), out));
    EXPECT_EQ(formatYmdhms(out), "2000:01:02:00:00:00");
    ASSERT_TRUE(timeAdd(parsed("2000:01:01"), parsed("0:25:0", kYmdSyntax), out));
    EXPECT_EQ(formatYmdhms(out), "2002:02:01:00:00:00");
    EXPECT_FALSE(timeAdd(parsed("2000:01:01"), parsed("0:0:999999999", kYmdSyntax), out));
    EXPECT_FALSE(timeAdd(parsed("9999:12:31"), parsed("0:0:1", kYmdSyntax), out));
}

TEST(TimeSubtract, InvertsAddWhereAnInverseExists) {
    struct Case {
        const char* t;
        const char* d;
        const char* want;
    };
    const Case cases[] = {
        {"1999:01:01:00:00:00", "00:00:00:00:00:01", "1998:12:31:23:59:59"},
        {"1999:03:01:00:00:00", "00:00:01:00:00:00", "1999:02:28:00:00:00"},
        {"2000:03:01:00:00:00", "00:00:01:00:00:00", "2000:02:29:00:00:00"},
        {"1999:03:03:00:00:00", "00:01:00:00:00:00", "1999:02:03:00:00:00"},
        {"1999:03:01:00:00:00", "00:01:01:00:00:00", "1999:01:28:00:00:00"},  // found near the borrow
        {"1999:03:31:00:00:00", "00:01:00:00:00:00", "1999:02:28:00:00:00"},  // no inverse: month end
        {"2000:01:01:00:00:00", "01:00:00:00:00:00", "1999:01:01:00:00:00"},
        {"2000:01:01:12:00:00", "00:00:00:36:00:00", "1999:12:31:00:00:00"},
    };
    for (const auto& c : cases) {
        Ymdhms out;
        ASSERT_TRUE(timeSubtract(parsed(c.t), parsed(c.d, kYmdSyntax), out)) << c.t;
        EXPECT_EQ(formatYmdhms(out), c.want) << c.t << " - " << c.d;
    }
    // Round trip over a spread of dates and pure day/time deltas.
    for (long n = 729000; n < 729800; n += 7) {
        Ymdhms t;
        fromDayNumber(n, t);
        t.hour = int32_t(n % 24), t.minute = 7, t.second = 9;
        for (const char* d : {"0:0:1:0:0:0", "0:0:45:23:59:59", "0:0:0:0:0:90000", "1:0:400:0:0:0"}) {
            Ymdhms back, again;
            ASSERT_TRUE(timeSubtract(t, parsed(d, kYmdSyntax), back));
            ASSERT_TRUE(timeAdd(back, parsed(d, kYmdSyntax), again));
            EXPECT_EQ(again, t) << formatYmdhms(t) << " - " << d;
        }
    }
    Ymdhms out;
    EXPECT_FALSE(timeSubtract(parsed("0001:01:01"), parsed("2:0:0", kYmdSyntax), out));
}

TEST(TimeDiff, Seconds) {
    EXPECT_EQ(timeDiffSecs(parsed("1998:08:05:00:00:00"), parsed("1998:08:04:23:59:00")), 60);
    EXPECT_EQ(timeDiffSecs(parsed("1998:08:04"), parsed("1998:08:05")), -86400);
}

TEST(Regional, FormatsAndDefaults) {
    Ymdhms t{1998, 8, 4, 13, 2, 3};
    Regional us;  // the defaults
    EXPECT_EQ(formatRegional(t, us), "Tue  8/04/98  1:02:03 PM");
    t.hour = 0;
    EXPECT_EQ(formatRegional(t, us), "Tue  8/04/98 12:02:03 AM");
    t.hour = 12;
    EXPECT_EQ(formatRegional(t, us), "Tue  8/04/98 12:02:03 PM");
    std::map<std::string, std::string> ini{
        {"iDate", "1"}, {"iTime", "1"}, {"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}};
    Regional de = Regional::read([&](const char* k, const char* def) {
        auto it = ini.find(k);
        return it == ini.end() ? std::string(def) : it->second;
    });
    t.hour = 17;
    EXPECT_EQ(formatRegional(t, de), "Tue  4.08.1998 17:02:03");
    ini = {{"iDate", "2"}, {"iTime", "1"}, {"sDate", "-"}, {"sTime", "."}};
    Regional iso = Regional::read([&](const char* k, const char* def) {
        auto it = ini.find(k);
        return it == ini.end() ? std::string(def) : it->second;
    });
    EXPECT_EQ(formatRegional(t, iso), "Tue 98-08-04 17.02.03");
}

TEST(TimeCode, OrdersLikeTheTimes) {
    EXPECT_LT(timeCode(parsed("1998:08:04:10:00:00")), timeCode(parsed("1998:08:04:10:00:02")));
    EXPECT_LT(timeCode(parsed("1998:12:31:23:59:59")), timeCode(parsed("1999:01:01")));
}

}  // namespace
}  // namespace tarn::fn
