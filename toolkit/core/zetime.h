// The system clock in UTC (read and set) and calendar arithmetic in the
// proleptic Gregorian calendar. Day numbers count 1 January of year 1 as day 1.
#pragma once
#include <cstdint>

// Current UTC time; any output may be 0.
void zetime_getutc(int *year, int *month, int *day, int *hour, int *minute, int *second);
// Sets the system clock to the given UTC time with milliseconds 0. Fields out
// of range (month 13, 31 April, hour 24 ...) are refused. False without the
// privilege to set the time.
bool zetime_setutc(int year, int month, int day, int hour, int minute, int second);

// The function that finally sets the clock, replaceable by tests so that they
// never touch the machine's clock. It receives checked fields. Passing 0
// restores the real setter; the previous setter is returned.
typedef bool (*zeTimeSetter)(int year, int month, int day, int hour, int minute, int second);
zeTimeSetter zetime_sethook(zeTimeSetter setter);

bool zedate_isleap(int year);
int zedate_daysinmonth(int year, int month);  // 0 for a month outside 1..12
int32_t zedate_daynumber(int year, int month, int day);
int zedate_weekday(int year, int month, int day);  // 0 Sunday .. 6 Saturday
// The date of day number n; n < 1 gives 0, 0, 0.
void zedate_fromdaynumber(int32_t n, int *year, int *month, int *day);
int zedate_year(int32_t n);
int zedate_month(int32_t n);
int zedate_day(int32_t n);
// The local date.
void zedate_today(int *year, int *month, int *day);
