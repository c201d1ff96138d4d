// The time entry dialog: 24 hour squares and 12 minute squares to click, a
// typed time as an alternative, and the chosen time in small seven-segment
// digits.
#include "settings_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zedialog.h"
#include "zeevent.h"
#include "zefont.h"
#include "zepage.h"
#include "zepxmap.h"
#include "zeview.h"
#include "zewindow.h"
#include "zegout.h"

namespace {

enum {
    SQ_W = 37, SQ_H = 25, HOURS_X = 10, MINUTES_X = 260, PER_ROW = 6,
    GREEN = 0x00ff00, DARK_GREEN = 0x003000, DIGIT_W = 14, DIGIT_H = 17,
};

struct TimeDialog {
    zePixmap *px = nullptr;
    zeView *view = nullptr;
    int ysquares = 0, ytime = 0;
    int hour = -1, minute = -1;
};

bool german() { return g_app.language == 1; }

void square(zePixmap *px, int x, int y, bool selected) {
    zepxmap_fillrect(px, x + 1, y + 1, SQ_W - 1, SQ_H - 1, selected ? GREEN : 0xffffff);
    // The right and bottom edges are the next squares' left and top edges.
    zepxmap_fillrect(px, x, y, SQ_W + 1, 1, 0);
    zepxmap_fillrect(px, x, y + SQ_H, SQ_W + 1, 1, 0);
    zepxmap_fillrect(px, x, y, 1, SQ_H + 1, 0);
    zepxmap_fillrect(px, x + SQ_W, y, 1, SQ_H + 1, 0);
}

void hour_square(TimeDialog *d, int i) {
    int x = HOURS_X + i % PER_ROW * SQ_W, y = d->ysquares + i / PER_ROW * SQ_H;
    square(d->px, x, y, i == d->hour);
    char label[8];
    int font = zefont_resolve_name("Arial16");
    if (g_settings.hours24) {
        snprintf(label, sizeof label, "%s%d", i < 10 ? "  " : "", i);
    } else {
        int shown = i % 12 == 0 ? 12 : i % 12;
        snprintf(label, sizeof label, "%s%d", shown < 10 ? "  " : "", shown);
        zefont_draw_text(d->px, zefont_resolve_name("5x7"), x + SQ_W - 12, y + 2, 0, false, false, -1, 0, -1, i < 12 ? "AM" : "PM");
    }
    zefont_draw_text(d->px, font, x + 4, y + 5, 0, false, false, -1, 0, -1, label);
}

void minute_square(TimeDialog *d, int i) {
    int x = MINUTES_X + i % PER_ROW * SQ_W, y = d->ysquares + i / PER_ROW * SQ_H;
    square(d->px, x, y, d->minute >= 0 && i == d->minute / 5);
    char label[8];
    snprintf(label, sizeof label, ":%02d", i * 5);
    zefont_draw_text(d->px, zefont_resolve_name("Arial16"), x + 6, y + 5, 0, false, false, -1, 0, -1, label);
}

void squares(TimeDialog *d) {
    for (int i = 0; i < 24; i++) hour_square(d, i);
    for (int i = 0; i < 12; i++) minute_square(d, i);
}

// Segments a b c d e f g as bits 0..6.
const unsigned char kSegments[] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
const unsigned char kSegA = 0x77, kSegP = 0x73;

// Each segment is three one-pixel lines, shorter toward the inside: a
// bevelled bar.
void segment(zePixmap *px, int x, int y, int s, int c) {
    for (int i = 0; i < 3; i++) {
        switch (s) {
        case 0: zepxmap_fillrect(px, x + 1 + i, y + i, DIGIT_W - 2 - 2 * i, 1, c); break;
        case 6: zepxmap_fillrect(px, x + 1 + (i != 1), y + 7 + i, DIGIT_W - 2 - 2 * (i != 1), 1, c); break;
        case 3: zepxmap_fillrect(px, x + 3 - i, y + 14 + i, DIGIT_W - 6 + 2 * i, 1, c); break;
        case 5: zepxmap_fillrect(px, x + i, y + 1 + i, 1, 8 - 2 * i, c); break;
        case 1: zepxmap_fillrect(px, x + DIGIT_W - 1 - i, y + 1 + i, 1, 8 - 2 * i, c); break;
        case 4: zepxmap_fillrect(px, x + i, y + 8 + i, 1, 8 - 2 * i, c); break;
        case 2: zepxmap_fillrect(px, x + DIGIT_W - 1 - i, y + 8 + i, 1, 8 - 2 * i, c); break;
        }
    }
}

void digit(zePixmap *px, int x, int y, unsigned char lit) {
    for (int s = 0; s < 7; s++) segment(px, x, y, s, lit >> s & 1 ? GREEN : DARK_GREEN);
}

void digits(TimeDialog *d) {
    if (d->hour < 0 || d->minute < 0) return;
    int x = 15, y = d->ytime;
    bool h24 = g_settings.hours24;
    zepxmap_fillrect(d->px, x - 5, y - 5, 155, 28, 0xffffff);
    int fw = h24 ? 105 : 150;
    zepxmap_fillrect(d->px, x - 5, y - 5, fw, 1, 0x808080);
    zepxmap_fillrect(d->px, x - 5, y - 5, 1, 28, 0x808080);
    zepxmap_fillrect(d->px, x - 5, y + 22, fw, 1, 0xf0f0f0);
    zepxmap_fillrect(d->px, x - 6 + fw, y - 5, 1, 28, 0xf0f0f0);
    int hour = d->hour;
    if (!h24) hour = hour % 12 == 0 ? 12 : hour % 12;
    digit(d->px, x, y, kSegments[hour / 10 % 10]);
    digit(d->px, x + 20, y, kSegments[hour % 10]);
    zepxmap_fillrect(d->px, x + 45, y + 3, 4, 4, GREEN);
    zepxmap_fillrect(d->px, x + 45, y + 10, 4, 4, GREEN);
    digit(d->px, x + 60, y, kSegments[d->minute / 10 % 10]);
    digit(d->px, x + 80, y, kSegments[d->minute % 10]);
    if (!h24) digit(d->px, x + 125, y, d->hour < 12 ? kSegA : kSegP);
}

void redraw(TimeDialog *d) {
    squares(d);
    digits(d);
    zeview_refresh(d->view);
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// A leading number as "%d" reads it (blanks first), held within +-100000 so
// that a typed run of digits cannot overflow.
bool read_number(const char **p, int *out) {
    char *end;
    long v = strtol(*p, &end, 10);
    if (end == *p) return false;
    *out = (int)(v > 100000 ? 100000 : v < -100000 ? -100000 : v);
    *p = end;
    return true;
}

int selection(const TimeDialog *d) { return d->hour < 0 || d->minute < 0 ? -1 : d->hour * 60 + d->minute; }

void typed_time(TimeDialog *d) {
    char text[ZEDIALOG_INPUTMAX + 1];
    bool ok = zedialog_input(text, sizeof text, "%s",
                             german() ? "Zeit eingeben, z.B. 19:34" : "Enter the time, e.g. 10:45 AM or 14:25");
    if (!ok) return;
    int t = time_entry_parse(text, d->hour, d->minute);
    d->hour = t / 60, d->minute = t % 60;
}

const char *page_text() {
    if (german())
        return "Um eine Zeit zu setzen, einfach unten auf eine Stunde und eine Minute klicken, oder "
               "<link=liEnter,die Zeit direkt eingeben>.\n\n<b>Stunde</b><x=260><b>Minute</b><yinc=3>\n"
               "<save=ysquares>\n\n\n\n\n\n\n\n<save=ytime>      <x=270><checkbox=cb24h,24h-Format>\n\n<y=230><hline>\n"
               "<button=btOK,OK,default,xs=27.5%,x=17.5%>  <button=btCancel,Abbrechen,xs=27.5%,x=82.5%>\n";
    return "To set a time just click on an hour and a minute below, or <link=liEnter,enter the time directly>.\n\n"
           "<b>Hour</b><x=260><b>Minute</b><yinc=3>\n<save=ysquares>\n\n\n\n\n\n\n\n<save=ytime>      "
           "<x=270><checkbox=cb24h,24h-format>\n\n<y=230><hline>\n"
           "<button=btOK,OK,default,xs=27.5%,x=17.5%>  <button=btCancel,Cancel,xs=27.5%,x=82.5%>\n";
}

int run(TimeDialog *d, zeWindow *w, zeGUIScript *page, int given) {
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == 0) return -1;
        // The timer keeps counting while the dialog waits.
        if (id == display_tick_id()) app_display_tick();
        if (id == ZEKEY_ESCAPE || id == zewindow_closeid(w) || zepage_is_event(page, id, "btCancel")) return given;
        if (id == ZEKEY_ENTER || zepage_is_event(page, id, "btOK")) return selection(d);
        if (zepage_is_event(page, id, "cb24h")) {
            g_settings.hours24 = zepage_get_int(page, "cb24h") != 0;
            redraw(d);
        } else if (id == d->view->c.ids[ZEVIEW_ID_LDOWN]) {
            int py = d->view->pointery - d->ysquares;
            if (time_entry_hit(d->view->pointerx, py, &d->hour, &d->minute)) redraw(d);
        } else if (zepage_is_event(page, id, "liEnter")) {
            typed_time(d);
            redraw(d);
        }
    }
    return -1;
}

}  // namespace

bool time_entry_hit(int px, int py, int *hour, int *minute) {
    if (py < 0 || py >= 100) return false;
    if (px > HOURS_X && px < HOURS_X + PER_ROW * SQ_W) {
        *hour = clamp((px - HOURS_X) / SQ_W, 0, PER_ROW - 1) + PER_ROW * (py / SQ_H);
        if (*minute < 0) *minute = 0;
        return true;
    }
    if (px > MINUTES_X && px < MINUTES_X + PER_ROW * SQ_W && py < 2 * SQ_H) {
        *minute = 5 * (clamp((px - MINUTES_X) / SQ_W, 0, PER_ROW - 1) + PER_ROW * (py / SQ_H));
        if (*hour < 0) *hour = 0;
        return true;
    }
    return false;
}

int time_entry_parse(const char *text, int hour, int minute) {
    char t[ZEDIALOG_INPUTMAX + 1];
    snprintf(t, sizeof t, "%s", text ? text : "");
    bool pm = strpbrk(t, "pP") != nullptr;
    bool am = !pm && strpbrk(t, "aA") != nullptr;
    for (char *p = t; *p; p++)
        if (strchr(".,;-+*=/\\", *p)) *p = ':';
    if (minute < 0) minute = 0;
    // "hour:minute" or a bare hour; the minute stays as it was without one.
    const char *p = t;
    int h, m;
    if (read_number(&p, &h)) {
        hour = h;
        if (*p == ':' && (p++, read_number(&p, &m))) minute = m;
    }
    if (hour < 0) hour = 0;
    minute = clamp(minute, 0, 59);
    hour = clamp(hour, 0, 23);
    if (am && hour == 12) hour = 0;
    if (pm && hour >= 1 && hour <= 11) hour += 12;
    return clamp(hour, 0, 23) * 60 + minute;
}

int time_entry_dialog(int minutes) {
    zeView *callerView = zeview_standard();
    zeHandler out = zegout_handler();
    void *outOwner = zegout_owner();
    zeWindow w;
    int result = minutes;
    if (zewindow_open(&w, "%s,x=50%%,y=50%%,xs=500,ys=300,modal,bgcolor=white,noclose,noquit,nosysmenu,nosizemenu",
                      german() ? "Zeit eingeben" : "Enter time")) {
        TimeDialog d;
        d.view = zeview_of_window(&w);
        if (d.view) {
            zeview_make_standard(d.view);
            d.px = zeview_pixmap(d.view);
            zeGUIScript page;
            zepage_build(&page, page_text());
            zepage_set_int(&page, "cb24h", g_settings.hours24);
            d.ysquares = zepage_get_int(&page, "ysquares");
            d.ytime = zepage_get_int(&page, "ytime");
            d.hour = minutes >= 0 ? minutes / 60 % 24 : -1;
            d.minute = minutes >= 0 ? minutes % 60 : -1;
            redraw(&d);
            result = run(&d, &w, &page, minutes);
            zepage_destroy(&page, 0);
        }
        zewindow_close(&w);
    }
    if (callerView) zeview_make_standard(callerView);
    zegout_set(out, outOwner);
    return result;
}
