// The date picker: one month as a calendar in a modal window. The arrow
// buttons step a month or a year, the arrow keys a day or a week (into the
// neighbouring months), a click picks a day and a double click picks it and
// closes.
#pragma once

// Opens on *year, *month, *day with the formatted title ("input" when it is
// empty). A date with year 0, month 0 or above 12, or day 0 or above 31
// starts on today; a day past the end of its month (31 February) on the
// month's last day. OK, Enter, a double click on a day or closing the
// window store the shown date and return 1; Escape, or the toolkit stopping
// while it waits, leave the date as it was and return 0.
int zedialog_date(int *year, int *month, int *day, const char *fmt, ...) __attribute__((format(printf, 4, 5)));

// The calendar's rules, for the dialog and its tests.
enum {
    ZEDATE_FIRSTYEAR = 1,
    ZEDATE_LASTYEAR = 9999,    // the header shows four digits
};
// Replaces an unusable date by today and cuts the day to the month's length.
void zedatepicker_normalise(int *year, int *month, int *day);
// Moves by n days (arrow keys: 1 or 7), kept within years 1 to 9999.
void zedatepicker_add_days(int *year, int *month, int *day, int n);
// The previous (-1) or next (+1) month, the day cut to the month's length.
void zedatepicker_add_month(int *year, int *month, int *day, int dir);
// The year buttons: the previous year's December (-1) or the next year's
// January (+1), the day cut to the month's length.
void zedatepicker_add_year(int *year, int *month, int *day, int dir);
// Where day is drawn in the window (the top-left of its number), and the day
// under a window point (0 when none).
void zedatepicker_day_pos(int year, int month, int day, int *x, int *y);
int zedatepicker_day_at(int year, int month, int x, int y);
