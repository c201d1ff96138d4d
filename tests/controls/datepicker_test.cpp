// The date picker: its calendar rules at the month, year and leap-year
// edges, and the dialog driven by keys, clicks and its buttons.
#include "dialog_fixture.h"
#include "zedatepicker.h"
#include "zetime.h"

namespace {

struct Date {
    int y, m, d;
    bool operator==(const Date &o) const { return y == o.y && m == o.m && d == o.d; }
};
std::ostream &operator<<(std::ostream &os, const Date &t) { return os << t.y << "-" << t.m << "-" << t.d; }

Date today() {
    Date t;
    zedate_today(&t.y, &t.m, &t.d);
    return t;
}

TEST(DatePickerRules, UnusableDatesStartOnTodayAndDaysAreCutToTheMonth) {
    const struct {
        Date in, out;
    } cases[] = {
        {{2026, 2, 31}, {2026, 2, 28}}, {{2024, 2, 30}, {2024, 2, 29}}, {{2024, 2, 29}, {2024, 2, 29}},
        {{1900, 2, 29}, {1900, 2, 28}}, {{2000, 2, 29}, {2000, 2, 29}}, {{2026, 4, 31}, {2026, 4, 30}},
        {{2026, 12, 31}, {2026, 12, 31}}, {{0, 5, 5}, today()}, {{2026, 0, 5}, today()}, {{2026, 13, 5}, today()},
        {{2026, 5, 0}, today()}, {{2026, 5, 32}, today()}, {{-3, -3, -3}, today()}, {{10000, 1, 1}, today()},
    };
    for (const auto &k : cases) {
        Date t = k.in;
        zedatepicker_normalise(&t.y, &t.m, &t.d);
        EXPECT_EQ(k.out, t) << "from " << k.in;
    }
}

TEST(DatePickerRules, KeysButtonsAndTheirEdges) {
    enum { DAYS, MONTH, YEAR };
    const struct {
        int how, n;
        Date in, out;
    } cases[] = {
        {DAYS, 1, {2026, 1, 31}, {2026, 2, 1}},       // Right on 31 January
        {DAYS, -7, {2026, 3, 3}, {2026, 2, 24}},      // Up from the 3rd
        {DAYS, -7, {2024, 3, 3}, {2024, 2, 25}},      // ... in a leap year
        {DAYS, 7, {2024, 2, 26}, {2024, 3, 4}},
        {DAYS, 1, {2024, 2, 28}, {2024, 2, 29}},
        {DAYS, 1, {2026, 12, 31}, {2027, 1, 1}},
        {DAYS, -1, {2027, 1, 1}, {2026, 12, 31}},
        {DAYS, -1, {1, 1, 1}, {1, 1, 1}},             // the calendar's ends hold
        {DAYS, 7, {9999, 12, 30}, {9999, 12, 31}},
        {MONTH, -1, {2024, 3, 31}, {2024, 2, 29}},
        {MONTH, -1, {2023, 3, 31}, {2023, 2, 28}},
        {MONTH, 1, {2026, 1, 31}, {2026, 2, 28}},
        {MONTH, -1, {2026, 1, 15}, {2025, 12, 15}},
        {MONTH, 1, {2026, 12, 15}, {2027, 1, 15}},
        {MONTH, -1, {1, 1, 15}, {1, 1, 15}},
        {MONTH, 1, {9999, 12, 15}, {9999, 12, 15}},
        {YEAR, -1, {2026, 6, 15}, {2025, 12, 15}},    // the previous year's December
        {YEAR, 1, {2026, 6, 15}, {2027, 1, 15}},      // the next year's January
        {YEAR, 1, {2024, 2, 29}, {2025, 1, 29}},
        {YEAR, -1, {1, 6, 1}, {1, 6, 1}},
        {YEAR, 1, {9999, 6, 1}, {9999, 6, 1}},
    };
    for (const auto &k : cases) {
        Date t = k.in;
        if (k.how == DAYS) zedatepicker_add_days(&t.y, &t.m, &t.d, k.n);
        if (k.how == MONTH) zedatepicker_add_month(&t.y, &t.m, &t.d, k.n);
        if (k.how == YEAR) zedatepicker_add_year(&t.y, &t.m, &t.d, k.n);
        EXPECT_EQ(k.out, t) << "kind " << k.how << " by " << k.n << " from " << k.in;
    }
}

// Every day of a month is found again at the place it is drawn, whatever
// weekday the month starts on and however many rows it needs; the gaps
// before the first and after the last day are no day.
TEST(DatePickerRules, ClicksFindTheDayDrawnThere) {
    for (int m = 1; m <= 12; m++) {
        for (int y : {2015, 2024, 2026}) {
            int n = zedate_daysinmonth(y, m);
            for (int d = 1; d <= n; d++) {
                int x, top;
                zedatepicker_day_pos(y, m, d, &x, &top);
                EXPECT_EQ(d, zedatepicker_day_at(y, m, x + 6, top + 6)) << y << "-" << m << "-" << d;
                EXPECT_EQ(d, zedatepicker_day_at(y, m, x - 9, top - 2)) << y << "-" << m << "-" << d;
                EXPECT_EQ(d, zedatepicker_day_at(y, m, x + 29, top + 16)) << y << "-" << m << "-" << d;
            }
            int x1, y1, xn, yn;
            zedatepicker_day_pos(y, m, 1, &x1, &y1);
            zedatepicker_day_pos(y, m, n, &xn, &yn);
            if (x1 > 20) {
                EXPECT_EQ(0, zedatepicker_day_at(y, m, x1 - 40, y1));
            }
            if (xn < 260) {
                EXPECT_EQ(0, zedatepicker_day_at(y, m, xn + 40, yn));
            }
            EXPECT_EQ(0, zedatepicker_day_at(y, m, x1, y1 - 20));   // the weekday names
            EXPECT_EQ(0, zedatepicker_day_at(y, m, 5, y1));         // left of the grid
            EXPECT_EQ(0, zedatepicker_day_at(y, m, 300, y1));       // right of it
        }
    }
    // February 2015 starts on a Sunday and fills four rows exactly.
    int x, y;
    zedatepicker_day_pos(2015, 2, 28, &x, &y);
    EXPECT_EQ(20 + 40 * 6, x);
    EXPECT_EQ(65 + 20 * 3, y);
}

// The chosen day's mark and the month's header colour on the screen.
uint32_t dialog_pixel(int x, int y) { return zeheadless_pixel(g_seen.rect[0] + x, g_seen.rect[1] + y) & 0xFFFFFF; }

enum { OK, PREV_MONTH, NEXT_MONTH, PREV_YEAR, NEXT_YEAR };

TEST_F(Dialog, DatePickerKeysAndButtonsMoveTheDate) {
    Date t = {2026, 1, 31};
    g_user = [](zeWindow *, zeControl *const *, int) { key(ZEKEY_RIGHT), key(ZEKEY_ENTER); };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "Enter date"));
    EXPECT_EQ((Date{2026, 2, 1}), t);
    EXPECT_EQ("Enter date", g_seen.title);
    EXPECT_EQ(300, g_seen.rect[2]);
    EXPECT_EQ(250, g_seen.rect[3]);
    expect_caller_restored();

    t = {2026, 3, 3};
    uint32_t mark = 0, header = 0;
    g_user = [&](zeWindow *w, zeControl *const *c, int) {
        int x, y;
        zedatepicker_day_pos(2026, 3, 3, &x, &y);
        mark = dialog_pixel(x - 2, y - 1);
        header = dialog_pixel(150, 12);
        key(ZEKEY_UP);
        click(w, c[OK]);
    };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "%s", ""));
    EXPECT_EQ((Date{2026, 2, 24}), t);
    EXPECT_EQ("input", g_seen.title);
    EXPECT_EQ(0x000080u, mark);
    EXPECT_EQ(0xC0C000u, header);   // March's colour

    // Next month twice, previous year (December), next year (January), then close.
    t = {2024, 1, 31};
    g_user = [](zeWindow *w, zeControl *const *c, int) {
        click(w, c[NEXT_MONTH]), click(w, c[NEXT_MONTH]), click(w, c[PREV_MONTH]);
        zeheadless_close(w->native);
    };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2024, 2, 29}), t);
    g_user = [](zeWindow *w, zeControl *const *c, int) { click(w, c[PREV_YEAR]), key(ZEKEY_ENTER); };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2023, 12, 29}), t);
    g_user = [](zeWindow *w, zeControl *const *c, int) { click(w, c[NEXT_YEAR]), click(w, c[NEXT_YEAR]), key(ZEKEY_ENTER); };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2025, 1, 29}), t);
    expect_caller_restored();
}

TEST_F(Dialog, DatePickerClicksEscapeAndUnusableDates) {
    // A click picks a day, OK takes it.
    Date t = {2026, 7, 4};
    g_user = [](zeWindow *w, zeControl *const *c, int) {
        int x, y;
        zedatepicker_day_pos(2026, 7, 22, &x, &y);
        click_at(w, x + 5, y + 5);
        click(w, c[OK]);
    };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2026, 7, 22}), t);

    // A double click picks and closes; a click on no day changes nothing.
    g_user = [](zeWindow *w, zeControl *const *, int) {
        click_at(w, 150, 20);   // the header
        int x, y;
        zedatepicker_day_pos(2026, 7, 9, &x, &y);
        click_at(w, x + 5, y + 5);
        zeheadless_advance(100);
        click_at(w, x + 5, y + 5);
    };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2026, 7, 9}), t);

    // Escape leaves the date as it was, even an unusable one.
    t = {2026, 2, 31};
    g_user = [](zeWindow *, zeControl *const *, int) { key(ZEKEY_LEFT), key(ZEKEY_ESCAPE); };
    EXPECT_EQ(0, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2026, 2, 31}), t);
    expect_caller_restored();

    // ... whereas OK gives the date shown: the month's last day, or today.
    g_user = [](zeWindow *, zeControl *const *, int) { key(ZEKEY_ENTER); };
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "x"));
    EXPECT_EQ((Date{2026, 2, 28}), t);
    t = {0, 0, 0};
    EXPECT_EQ(1, zedialog_date(&t.y, &t.m, &t.d, "title, with a comma %d%%", 5));
    EXPECT_EQ(today(), t);
    EXPECT_EQ("title  with a comma 5%", g_seen.title);
}

}  // namespace
