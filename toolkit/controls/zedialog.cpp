// The standard dialogs.
#include "zedialog.h"
#include "zedialog_internal.h"
#include "zebutton.h"
#include "zeevent.h"
#include "zefont.h"
#include "zegout.h"
#include "zelineinput.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

enum { EXTRA_H = 80, MAX_SMALL_H = 300, SIDE_W = 60, TEXT_X = 50, TEXT_Y = 10, YESNO_W = 250, INPUT_W = 250 };

static void (*g_open_hook)(zeWindow *, zeControl *const *, int);

void zedialog_set_open_hook(void (*hook)(zeWindow *w, zeControl *const *controls, int n)) { g_open_hook = hook; }

void zedialog_opened(zeWindow *w, zeControl *const *controls, int n) {
    if (g_open_hook) g_open_hook(w, controls, n);
}

zeDialogCaller zedialog_save_caller(void) { return {zeview_standard(), zegout_handler(), zegout_owner()}; }

void zedialog_restore_caller(const zeDialogCaller &s) {
    if (s.view) zeview_make_standard(s.view);
    zegout_set(s.out, s.outowner);
}

zeView *zedialog_open_window(zeWindow *w, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zewindow_vopen(w, fmt, ap);
    va_end(ap);
    zeView *v = ok ? zeview_of_window(w) : nullptr;
    if (v) zeview_make_standard(v);
    return v;
}

void zedialog_text_size(const char *text, int *width, int *height) {
    int h = zefont_draw_wrapped(nullptr, ZEFONT_DEFAULT, 0, 0, ZEDIALOG_TEXTWIDTH, 1 << 20, 0, text, true);
    *width = ZEDIALOG_TEXTWIDTH;
    if (h + EXTRA_H > MAX_SMALL_H) {
        h = zefont_draw_wrapped(nullptr, ZEFONT_DEFAULT, 0, 0, ZEDIALOG_WIDETEXT, 1 << 20, 0, text, true);
        *width = ZEDIALOG_WIDETEXT;
    }
    *height = h;
}

// The info icon: a blue disc with a white "i".
static void draw_icon(zePixmap *px) {
    const int r = 14, cx = 10 + r, cy = 10 + r;
    for (int y = -r; y <= r; y++)
        for (int x = -r; x <= r; x++)
            if (x * x + y * y <= r * r) zepxmap_setpixel(px, cx + x, cy + y, 0x2060C0);
    zepxmap_fillrect(px, cx - 2, cy - 9, 4, 4, 0xFFFFFF);
    zepxmap_fillrect(px, cx - 2, cy - 3, 4, 12, 0xFFFFFF);
}

static void draw_message(zeView *v, int textw, int texth, const char *text) {
    zePixmap *px = zeview_pixmap(v);
    draw_icon(px);
    zefont_draw_wrapped(px, ZEFONT_DEFAULT, TEXT_X, TEXT_Y, textw, texth, zescheme_color(ZECOL_TEXT), text, false);
    zeview_refresh(v);
}

static void vformat(char *out, int size, const char *fmt, va_list ap) {
    if (!fmt) fmt = "";
    vsnprintf(out, size, fmt, ap);
}

static void info(const char *text) {
    int textw, texth;
    zedialog_text_size(text, &textw, &texth);
    int h = texth + EXTRA_H;
    zeDialogCaller s = zedialog_save_caller();
    zeWindow w;
    if (zeView *v = zedialog_open_window(&w, "info,x=50%%,y=50%%,xs=%d,ys=%d,NoSysMenu,noquit,modal,noresize", textw + SIDE_W, h)) {
        zeButton ok;
        zebutton_create(&ok, "OK,x=50%%,y=%d,xs=80%%,default", h - 40);
        draw_message(v, textw, h - 60, text);
        zeControl *c[] = {&ok.c};
        zedialog_opened(&w, c, 1);
        zeevent_waitfor(3, zewindow_closeid(&w), zebutton_eventid(&ok), (int)ZEKEY_ENTER);
        zebutton_release(&ok);
        zewindow_close(&w);
    }
    zedialog_restore_caller(s);
}

void zedialog_info(const char *fmt, ...) {
    char text[ZEDIALOG_MESSAGEMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vformat(text, sizeof text, fmt, ap);
    va_end(ap);
    info(text);
}

static void banner(const char *text) { info(text); }

void zedialog_install_banner(void) { zeevent_banner_hook = banner; }

static bool yesno(const char *yes, const char *no, const char *fmt, va_list ap) {
    char text[ZEDIALOG_MESSAGEMAX + 1];
    vformat(text, sizeof text, fmt, ap);
    int textw, texth;
    zedialog_text_size(text, &textw, &texth);
    int h = texth < 20 ? 100 : texth + EXTRA_H;
    zeDialogCaller s = zedialog_save_caller();
    zeWindow w;
    bool answer = false;
    if (zeView *v = zedialog_open_window(&w, " ,x=50%%,y=50%%,xs=%d,ys=%d,NoSysMenu,noquit,modal,noresize", YESNO_W, h)) {
        zeButton by, bn;
        zebutton_create(&by, "%s,x=25%%,y=%d,xs=40%%,default", yes, h - 40);
        zebutton_create(&bn, "%s,x=75%%,y=%d,xs=40%%", no, h - 40);
        draw_message(v, textw, h - 60, text);
        zeControl *c[] = {&by.c, &bn.c};
        zedialog_opened(&w, c, 2);
        int id = zeevent_waitfor(5, zewindow_closeid(&w), zebutton_eventid(&by), zebutton_eventid(&bn),
                                 (int)ZEKEY_ENTER, (int)ZEKEY_ESCAPE);
        answer = id == zebutton_eventid(&by) || id == ZEKEY_ENTER;
        zebutton_release(&by);
        zebutton_release(&bn);
        zewindow_close(&w);
    }
    zedialog_restore_caller(s);
    return answer;
}

bool zedialog_yesno(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool r = yesno("Yes", "No", fmt, ap);
    va_end(ap);
    return r;
}

bool zedialog_janein(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool r = yesno("Ja", "Nein", fmt, ap);
    va_end(ap);
    return r;
}

bool zedialog_input(char *answer, int size, const char *fmt, ...) {
    if (answer && size > 0) answer[0] = 0;
    char prompt[ZEDIALOG_MESSAGEMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vformat(prompt, sizeof prompt, fmt, ap);
    va_end(ap);
    zeDialogCaller s = zedialog_save_caller();
    zeWindow w;
    bool ok = false;
    if (zeView *v = zedialog_open_window(&w, " ,x=50%%,y=50%%,xs=%d,ys=150,NoSysMenu,noquit,modal,noresize,nosizemenu", INPUT_W)) {
        zeButton bok, bcancel;
        zeLineInput in;
        zebutton_create(&bok, "OK,x=25%%,y=80%%,xs=40%%,default");
        zebutton_create(&bcancel, "Cancel,x=75%%,y=80%%,xs=40%%");
        zelineinput_create(&in, "x=50%%,y=50%%,xs=90%%,keepfocus");
        zePixmap *px = zeview_pixmap(v);
        zefont_draw_wrapped(px, ZEFONT_DEFAULT, 5, 5, ZEDIALOG_TEXTWIDTH, 90 - 50, zescheme_color(ZECOL_TEXT), prompt, false);
        zeview_refresh(v);
        zelineinput_focus(&in);
        zeControl *c[] = {&bok.c, &bcancel.c, &in.c};
        zedialog_opened(&w, c, 3);
        int closeid = zewindow_closeid(&w), okid = zebutton_eventid(&bok), cancelid = zebutton_eventid(&bcancel);
        int endid = zelineinput_eventid(&in);
        while (zerunning()) {
            int id = zeevent_wait();
            if (id == 0 || id == closeid || id == cancelid || id == ZEKEY_ESCAPE) break;
            // "keepfocus" makes Enter in the field end editing with the
            // field's own event; a lost focus ends it too, so only Enter counts.
            if (id == okid || id == ZEKEY_ENTER || (id == endid && in.c.focus)) {
                ok = true;
                break;
            }
        }
        if (ok && answer && size > 0) zelineinput_get_text(&in, answer, size);
        zelineinput_destroy(&in);
        zebutton_release(&bok);
        zebutton_release(&bcancel);
        zewindow_close(&w);
    }
    zedialog_restore_caller(s);
    return ok;
}
