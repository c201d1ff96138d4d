// Calendar arithmetic against Python's datetime, and the clock setter's checks.
#include "zetime.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdio>
#include <vector>

TEST(Calendar, EveryDayOfYears1To3000MatchesPythonOrdinals) {
    // Python lists every date with its ordinal (1 January of year 1 = 1) and
    // its weekday; our day number, weekday and date of a day number must agree.
    FILE *p = popen("/usr/bin/python3 -c \""
                    "import datetime,sys\n"
                    "w=sys.stdout.write\n"
                    "for n in range(1, datetime.date(3000,12,31).toordinal()+1):\n"
                    "  d=datetime.date.fromordinal(n); w('%d %d %d %d\\n'%(d.year,d.month,d.day,d.isoweekday()%7))\n"
                    "\"",
                    "r");
    ASSERT_NE(nullptr, p);
    int y, m, d, wd, n = 0, bad = 0;
    while (fscanf(p, "%d %d %d %d", &y, &m, &d, &wd) == 4) {
        n++;
        int ry, rm, rd;
        zedate_fromdaynumber(n, &ry, &rm, &rd);
        bool ok = zedate_daynumber(y, m, d) == n && ry == y && rm == m && rd == d &&
                  zedate_weekday(y, m, d) == wd && d <= zedate_daysinmonth(y, m);
        if (!ok && ++bad <= 5) ADD_FAILURE() << y << "-" << m << "-" << d << " ordinal " << n;
    }
    pclose(p);
    EXPECT_EQ(1095727, n);  // days from 1 January 1 to 31 December 3000
    EXPECT_EQ(0, bad);
}

TEST(Calendar, LeapAndCenturyRules) {
    EXPECT_EQ(2, zedate_daynumber(2000, 3, 1) - zedate_daynumber(2000, 2, 28));
    EXPECT_EQ(1, zedate_daynumber(1900, 3, 1) - zedate_daynumber(1900, 2, 28));
    EXPECT_TRUE(zedate_isleap(2000));
    EXPECT_FALSE(zedate_isleap(1900));
    EXPECT_TRUE(zedate_isleap(2024));
    EXPECT_EQ(29, zedate_daysinmonth(2024, 2));
    EXPECT_EQ(0, zedate_daysinmonth(2024, 13));
    EXPECT_EQ(6, zedate_weekday(2000, 1, 1));
    EXPECT_EQ(1, zedate_daynumber(1, 1, 1));
    EXPECT_EQ(730120, zedate_daynumber(2000, 1, 1));
    EXPECT_EQ(2000, zedate_year(730120));
    EXPECT_EQ(12, zedate_month(730120 - 1));
    EXPECT_EQ(31, zedate_day(730120 - 1));
    int y = 9, m = 9, d = 9;
    zedate_fromdaynumber(0, &y, &m, &d);
    EXPECT_EQ(0, y + m + d);
}

static std::vector<int> g_set;
static bool record_setter(int y, int mo, int d, int h, int mi, int s) {
    g_set = {y, mo, d, h, mi, s};
    return true;
}

// A destination day from a damaged settings file can be any int32.
TEST(Calendar, LargestDayNumbersGiveValidDates) {
    int y = 0, m = 0, d = 0, y2 = 0, m2 = 0, d2 = 0;
    for (int32_t n : {INT32_MAX - 400, INT32_MAX - 1}) {
        zedate_fromdaynumber(n, &y, &m, &d);
        zedate_fromdaynumber(n + 1, &y2, &m2, &d2);
        EXPECT_GT(y, 5800000);
        ASSERT_TRUE(m >= 1 && m <= 12) << n;
        ASSERT_TRUE(d >= 1 && d <= zedate_daysinmonth(y, m)) << n;
        // the next day number is the next day of the calendar
        bool next = (y2 == y && m2 == m && d2 == d + 1) || (y2 == y && m2 == m + 1 && d2 == 1 && d == zedate_daysinmonth(y, m)) ||
                    (y2 == y + 1 && m2 == 1 && d2 == 1 && m == 12 && d == 31);
        EXPECT_TRUE(next) << y << "-" << m << "-" << d << " then " << y2 << "-" << m2 << "-" << d2;
    }
}

TEST(SystemTime, SetterGetsOnlyValidDates) {
    zeTimeSetter old = zetime_sethook(record_setter);
    g_set.clear();
    EXPECT_FALSE(zetime_setutc(2026, 2, 29, 0, 0, 0));  // not a leap year
    EXPECT_FALSE(zetime_setutc(2026, 13, 1, 0, 0, 0));
    EXPECT_FALSE(zetime_setutc(2026, 1, 1, 24, 0, 0));
    EXPECT_FALSE(zetime_setutc(2026, 1, 0, 0, 0, 0));
    EXPECT_TRUE(g_set.empty());
    EXPECT_TRUE(zetime_setutc(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ((std::vector<int>{2024, 2, 29, 23, 59, 59}), g_set);
    zetime_sethook(old);
}

TEST(SystemTime, UtcAgreesWithTheSystemClock) {
    int y, mo, d, h, mi, s;
    zetime_getutc(&y, &mo, &d, &h, &mi, &s);
    time_t now = time(nullptr);
    int64_t ours = (int64_t)(zedate_daynumber(y, mo, d) - zedate_daynumber(1970, 1, 1)) * 86400 + h * 3600 + mi * 60 + s;
    EXPECT_LE(std::llabs(ours - (int64_t)now), 2);
}
