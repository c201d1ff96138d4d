// The date picker.
#include "zedatepicker.h"
#include "zebutton.h"
#include "zedialog_internal.h"
#include "zeevent.h"
#include "zefont.h"
#include "zepxmap.h"
#include "zetime.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdarg>
#include <cstdio>

enum {
    AREA_X = 10, AREA_Y = 10, AREA_W = 280, AREA_H = 180, HEADER_H = 25,
    COL_X = 20, COL_W = 40, NAMES_Y = 40, DAYS_Y = 65, ROW_H = 20, MARK = 18,
    MONTH_X = 260,
};

static const int kMonthColour[12] = {0xC00000, 0xA000C0, 0xC0C000, 0x00C000, 0xC08080, 0xE0D000,
                                     0x0000C0, 0xC000C0, 0x00A000, 0xC000A0, 0x8080FF, 0x808080};
static const char *const kWeekday[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
static const int kDayColour[7] = {0xFF0000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x0000FF};

// ----- the calendar's rules -----

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static void cut_day(int year, int month, int *day) { *day = clampi(*day, 1, zedate_daysinmonth(year, month)); }

void zedatepicker_normalise(int *year, int *month, int *day) {
    if (*year < ZEDATE_FIRSTYEAR || *year > ZEDATE_LASTYEAR || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        zedate_today(year, month, day);
    cut_day(*year, *month, day);
}

void zedatepicker_add_days(int *year, int *month, int *day, int n) {
    int32_t first = zedate_daynumber(ZEDATE_FIRSTYEAR, 1, 1), last = zedate_daynumber(ZEDATE_LASTYEAR, 12, 31);
    int32_t d = zedate_daynumber(*year, *month, *day) + n;
    zedate_fromdaynumber(d < first ? first : d > last ? last : d, year, month, day);
}

void zedatepicker_add_month(int *year, int *month, int *day, int dir) {
    int m = *month + dir, y = *year;
    if (m < 1) m = 12, y--;
    if (m > 12) m = 1, y++;
    if (y < ZEDATE_FIRSTYEAR || y > ZEDATE_LASTYEAR) return;
    *year = y, *month = m;
    cut_day(y, m, day);
}

void zedatepicker_add_year(int *year, int *month, int *day, int dir) {
    int y = *year + dir;
    if (y < ZEDATE_FIRSTYEAR || y > ZEDATE_LASTYEAR) return;
    *year = y, *month = dir < 0 ? 12 : 1;
    cut_day(y, *month, day);
}

// The calendar row of a day: weeks start on Sunday.
static int row_of(int year, int month, int day) { return (zedate_weekday(year, month, 1) + day - 1) / 7; }

void zedatepicker_day_pos(int year, int month, int day, int *x, int *y) {
    *x = COL_X + COL_W * zedate_weekday(year, month, day);
    *y = DAYS_Y + ROW_H * row_of(year, month, day);
}

int zedatepicker_day_at(int year, int month, int x, int y) {
    // A day's cell: its column's 40 pixels around the number, its row's 20.
    int cx = x - (COL_X - 10), cy = y - (DAYS_Y - 3);
    if (cx < 0 || cy < 0 || cx >= 7 * COL_W) return 0;
    int col = cx / COL_W, row = cy / ROW_H;
    int day = row * 7 + col - zedate_weekday(year, month, 1) + 1;
    return day >= 1 && day <= zedate_daysinmonth(year, month) ? day : 0;
}

// ----- the dialog -----

struct Picker {
    zeView *view;
    int year, month, day;
    int doneid;        // posted when a double click chose a day
    bool done;         // ... and remembered, should the queue be full
};

static void draw(Picker *p) {
    zePixmap *px = zeview_pixmap(p->view);
    zepxmap_fillrect(px, AREA_X, AREA_Y, AREA_W, AREA_H, 0xFFFFFF);
    zepxmap_fillrect(px, AREA_X, AREA_Y, AREA_W, HEADER_H, kMonthColour[p->month - 1]);
    int fh = zefont_height(ZEFONT_DEFAULT), ty = AREA_Y + (HEADER_H - fh) / 2;
    char text[16];
    snprintf(text, sizeof text, "%04d", p->year);
    zefont_draw_text(px, ZEFONT_DEFAULT, COL_X, ty, 0xFFFFFF, false, false, -1, 0, -1, text);
    snprintf(text, sizeof text, "%2d", p->month);
    zefont_draw_text(px, ZEFONT_DEFAULT, MONTH_X, ty, 0xFFFFFF, false, false, -1, 0, -1, text);
    for (int wd = 0; wd < 7; wd++)
        zefont_draw_text(px, ZEFONT_DEFAULT, COL_X + COL_W * wd, NAMES_Y, 0x0000FF, false, false, -1, 0, -1, kWeekday[wd]);
    int n = zedate_daysinmonth(p->year, p->month);
    for (int d = 1; d <= n; d++) {
        int x, y;
        zedatepicker_day_pos(p->year, p->month, d, &x, &y);
        int colour = kDayColour[zedate_weekday(p->year, p->month, d)];
        if (d == p->day) {
            int tw = zefont_text_width(ZEFONT_DEFAULT, "00");
            zepxmap_fillrect(px, x - (MARK - tw) / 2, y - (MARK - fh) / 2, MARK, MARK, 0x000080);
            colour = 0xFFFFFF;
        }
        snprintf(text, sizeof text, "%2d", d);
        zefont_draw_text(px, ZEFONT_DEFAULT, x, y, colour, false, false, -1, 0, -1, text);
    }
    zeview_refresh(p->view);
}

// Clicks on the calendar come straight from the view, with their position.
static void on_mouse(void *user, int id, int x, int y, int) {
    Picker *p = (Picker *)user;
    bool down = id == p->view->c.ids[ZEVIEW_ID_LDOWN], dbl = id == p->view->c.ids[ZEVIEW_ID_LDOUBLE];
    if (!down && !dbl) return;
    int d = zedatepicker_day_at(p->year, p->month, x, y);
    if (!d) return;
    if (d != p->day) p->day = d, draw(p);
    if (dbl) p->done = true, zeevent_post(p->doneid);
}

struct KeyMove {
    int key, days;
};
static const KeyMove kKeys[] = {{ZEKEY_LEFT, -1}, {ZEKEY_RIGHT, 1}, {ZEKEY_UP, -7}, {ZEKEY_DOWN, 7}};

// The dialog's loop: true when the date is taken, false for Escape or a
// stopped toolkit.
static bool run(Picker *p, zeWindow *w, zeButton *b) {
    enum { OK, PREV_MONTH, NEXT_MONTH, PREV_YEAR, NEXT_YEAR };
    int ids[] = {zewindow_closeid(w), zebutton_eventid(&b[OK]), zebutton_eventid(&b[PREV_MONTH]),
                 zebutton_eventid(&b[NEXT_MONTH]), zebutton_eventid(&b[PREV_YEAR]), zebutton_eventid(&b[NEXT_YEAR]),
                 ZEKEY_ENTER, ZEKEY_ESCAPE, ZEKEY_LEFT, ZEKEY_RIGHT, ZEKEY_UP, ZEKEY_DOWN, p->doneid};
    for (;;) {
        int id = zeevent_waitfor_list((int)(sizeof ids / sizeof ids[0]), ids);
        if (id == 0 || id == ZEKEY_ESCAPE) return false;
        if (id == ids[0] || id == ids[1] || id == ZEKEY_ENTER || p->done) return true;
        if (id == ids[2] || id == ids[3]) zedatepicker_add_month(&p->year, &p->month, &p->day, id == ids[2] ? -1 : 1);
        if (id == ids[4] || id == ids[5]) zedatepicker_add_year(&p->year, &p->month, &p->day, id == ids[4] ? -1 : 1);
        for (const KeyMove &k : kKeys)
            if (id == k.key) zedatepicker_add_days(&p->year, &p->month, &p->day, k.days);
        draw(p);
    }
}

int zedialog_date(int *year, int *month, int *day, const char *fmt, ...) {
    char title[ZEWIN_TITLEMAX + 1] = "";
    va_list ap;
    va_start(ap, fmt);
    if (fmt) vsnprintf(title, sizeof title, fmt, ap);
    va_end(ap);
    // The title is entry 0 of the window's options: a comma would end it.
    for (char *c = title; *c; c++)
        if (*c == ',') *c = ' ';
    if (!title[0]) snprintf(title, sizeof title, "input");
    Picker p = {nullptr, *year, *month, *day, zeevent_newid(), false};
    zedatepicker_normalise(&p.year, &p.month, &p.day);

    zeDialogCaller s = zedialog_save_caller();
    zeWindow w;
    bool taken = false;
    p.view = zedialog_open_window(&w, "%s,x=50%%,y=50%%,xs=300,ys=250,NoSysMenu,noquit,modal,noresize", title);
    if (p.view) {
        zeButton b[5];
        zebutton_create(&b[0], "OK,x=75%%,y=90%%,xs=40%%,default");
        zebutton_create(&b[1], "left,arrow,x=22%%,y=90%%,xs=10%%");
        zebutton_create(&b[2], "right,arrow,x=32%%,y=90%%,xs=10%%");
        zebutton_create(&b[3], "double left,arrow,x=10%%,y=90%%,xs=10%%");
        zebutton_create(&b[4], "double right,arrow,x=44%%,y=90%%,xs=10%%");
        zecontrol_set_eventhook(&p.view->c, on_mouse, &p);
        draw(&p);
        zeControl *c[] = {&b[0].c, &b[1].c, &b[2].c, &b[3].c, &b[4].c};
        zedialog_opened(&w, c, 5);
        taken = run(&p, &w, b);
        zecontrol_set_eventhook(&p.view->c, nullptr, nullptr);
        for (zeButton &k : b) zebutton_release(&k);
        zewindow_close(&w);
    }
    zedialog_restore_caller(s);
    if (!taken) return 0;
    *year = p.year, *month = p.month, *day = p.day;
    return 1;
}
