// System clock and calendar.
#include "zetime.h"
#include "zebase.h"
#include <cerrno>
#include <cstdio>
#include <ctime>

static bool real_setter(int y, int mo, int d, int h, int mi, int s);
static zeTimeSetter g_setter = real_setter;

static void set_out(int *p, int v) {
    if (p) *p = v;
}

void zetime_getutc(int *year, int *month, int *day, int *hour, int *minute, int *second) {
    time_t now = time(nullptr);
    struct tm t;
    gmtime_r(&now, &t);
    set_out(year, t.tm_year + 1900);
    set_out(month, t.tm_mon + 1);
    set_out(day, t.tm_mday);
    set_out(hour, t.tm_hour);
    set_out(minute, t.tm_min);
    set_out(second, t.tm_sec);
}

static bool real_setter(int y, int mo, int d, int h, int mi, int s) {
    int64_t days = (int64_t)zedate_daynumber(y, mo, d) - zedate_daynumber(1970, 1, 1);
    struct timespec ts;
    ts.tv_sec = (time_t)(days * 86400 + h * 3600 + mi * 60 + s);
    ts.tv_nsec = 0;
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return true;
    printf("zetime_setutc: %s\n", errno == EPERM ? "no privilege to set the time" : "clock_settime failed");
    return false;
}

bool zetime_setutc(int year, int month, int day, int hour, int minute, int second) {
    // A wrong field would otherwise be carried into the next day or month.
    if (year < 1970 || year > 9999 || month < 1 || month > 12) return false;
    if (day < 1 || day > zedate_daysinmonth(year, month)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    return g_setter(year, month, day, hour, minute, second);
}

zeTimeSetter zetime_sethook(zeTimeSetter setter) {
    zeTimeSetter old = g_setter;
    g_setter = setter ? setter : real_setter;
    return old;
}

bool zedate_isleap(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int zedate_daysinmonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return days[month - 1] + (month == 2 && zedate_isleap(year) ? 1 : 0);
}

// Days before 1 January of the year after y. 64 bits: the years of the
// largest day numbers (about 5.9 million) overflow 32 bits here.
static int64_t days_through(int64_t y) { return y * 365 + y / 4 + y / 400 - y / 100; }

ZE_HOT int32_t zedate_daynumber(int year, int month, int day) {
    // (month * 3057 - 3007) / 100 counts the days before a month as if
    // February had 30 days; the subtraction below corrects for February.
    int32_t n = day + (int32_t)((unsigned)(month * 3057 - 3007) / 100u);
    if (month > 2) n -= zedate_isleap(year) ? 1 : 2;
    return (int32_t)(n + days_through(year - 1));
}

int zedate_weekday(int year, int month, int day) { return (int)(zedate_daynumber(year, month, day) % 7); }

void zedate_fromdaynumber(int32_t n, int *year, int *month, int *day) {
    if (n < 1) {
        set_out(year, 0), set_out(month, 0), set_out(day, 0);
        return;
    }
    int32_t y = (int32_t)((int64_t)n * 400 / 146097);
    if (y < 1) y = 1;
    while (days_through(y) < n) y++;
    while (y > 1 && days_through(y - 1) >= n) y--;
    int32_t v = (int32_t)(n - days_through(y - 1));  // day of the year, 1-based
    // Count February as 30 days from March on. In a leap year day 60 is
    // 29 February itself and stays as it is.
    bool leap = zedate_isleap(y);
    if (v >= (leap ? 61 : 60)) v += leap ? 1 : 2;
    int32_t m = (v * 100 + 3007) / 3057;
    set_out(year, y);
    set_out(month, m);
    set_out(day, v - (m * 3057 - 3007) / 100);
}

int zedate_year(int32_t n) {
    int y;
    zedate_fromdaynumber(n, &y, nullptr, nullptr);
    return y;
}
int zedate_month(int32_t n) {
    int m;
    zedate_fromdaynumber(n, nullptr, &m, nullptr);
    return m;
}
int zedate_day(int32_t n) {
    int d;
    zedate_fromdaynumber(n, nullptr, nullptr, &d);
    return d;
}

void zedate_today(int *year, int *month, int *day) {
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    set_out(year, t.tm_year + 1900);
    set_out(month, t.tm_mon + 1);
    set_out(day, t.tm_mday);
}
