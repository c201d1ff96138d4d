// What a window does on the screen: copying its pixmap, moving, the tray
// icon, the z-order operations, pointer capture and the drawing forwards.
#include "zewindow.h"
#include "zegout.h"
#include "zeinput.h"
#include "zeplatform.h"
#include <atomic>
#include <cstdarg>
#include <cstdio>

// Read by the timer thread's copies too.
static std::atomic<int> g_suspended;

void zewindow_suspend_updates(bool suspend) {
    if (suspend) g_suspended++;
    else if (g_suspended > 0) g_suspended--;
}

void zewindow_catch_up(zeWindow *w) {
    if (!w->behind || !w->catchup || w->catchingup) return;
    w->catchingup = true;
    w->behind = false;
    w->catchup(w->catchupctx);
    w->catchingup = false;
}

// A copy from another thread between the catch-up and the show would be
// covered by the older pixmap: it is caught up and shown again.
static void show_current(zeWindow *w, int x, int y, int width, int height) {
    if (width == 0 || height == 0) x = 0, y = 0, width = w->pxmap.width, height = w->pxmap.height;
    if (x < 0) width += x, x = 0;
    if (y < 0) height += y, y = 0;
    if (width <= 0 || height <= 0) return;
    for (int round = 0; round < 3; round++) {
        unsigned gen = w->copygen;
        zewindow_catch_up(w);
        zebackend()->win_show(w->native, x, y, width, height);
        if (w->copygen == gen) return;
    }
}

void zewindow_show(zeWindow *w, int x, int y, int width, int height, bool force) {
    if (!w->open || (g_suspended && !force)) return;
    show_current(w, x, y, width, height);
}

void zewindow_expose(zeWindow *w, int x, int y, int width, int height) {
    if (w->open && width > 0 && height > 0) show_current(w, x, y, width, height);
}

int zeimage_server_create(const uint32_t *colors, const uint8_t *opaque, int width, int height) {
    const zeBackend *b = zebackend();
    if (!b->img_create || !colors || width <= 0 || height <= 0) return -1;
    return b->img_create(colors, opaque, width, height);
}

void zeimage_server_free(int img) {
    const zeBackend *b = zebackend();
    if (img > 0 && b->img_destroy) b->img_destroy(img);
}

ZE_HOT void zewindow_copy_image(zeWindow *w, int img, int sx, int sy, int width, int height, int dx, int dy) {
    const zeBackend *b = zebackend();
    if (!w->open || img <= 0 || !b->win_copy_img || width <= 0 || height <= 0) return;
    w->behind = true;
    w->copygen++;
    b->win_copy_img(w->native, img, sx, sy, width, height, dx, dy);
}

ZE_HOT bool zewindow_copy_images_later(zeWindow *w, const zeImageCopy *copies, int n, int delayMs) {
    const zeBackend *b = zebackend();
    if (!w->open || n <= 0 || delayMs < 0 || !b->win_copy_imgs_later) return false;
    for (int i = 0; i < n; i++)
        if (copies[i].img <= 0) return false;
    if (!b->win_copy_imgs_later(w->native, copies, n, delayMs)) return false;
    w->behind = true;
    w->copygen++;
    return true;
}

ZE_HOT void zewindow_set_catch_up(zeWindow *w, void (*fn)(void *ctx), void *ctx) {
    w->catchup = fn, w->catchupctx = ctx;
}

void zewindow_show_rect(zeWindow *w, int x, int y, int width, int height) {
    zewindow_show(w, x, y, width, height);
}

void zewindow_redraw(zeWindow *w) {
    if (!w->open) return;
    // The main view draws itself on 2002 before the whole pixmap is shown.
    zewindow_handler(w, ZEWM_PAINT, 0, 0, w->pxmap.width, w->pxmap.height, 0, 0, 0, 0);
}

void zewindow_move(zeWindow *w, int x, int y) {
    w->x = x, w->y = y;
    if (w->open) zebackend()->win_move(w->native, x, y);
}

void zewindow_set_title(zeWindow *w, const char *title) {
    snprintf(w->title, sizeof w->title, "%s", title ? title : "");
    if (w->open) zebackend()->win_set_title(w->native, w->title);
}

// The backend knows where the window manager put the client area; that is
// the outer position plus the frame's border and caption.
void zewindow_client_origin(zeWindow *w, int *x, int *y) {
    *x = *y = 0;
    if (w->open) zebackend()->win_client_origin(w->native, x, y);
}

void zewindow_rect(zeWindow *w, int r[4]) {
    zeRect outer = {0, 0, 0, 0};
    if (w->open) zebackend()->win_rect(w->native, &outer);
    r[0] = outer.x, r[1] = outer.y, r[2] = outer.width, r[3] = outer.height;
}

// ----- tray -----

void zewindow_totray(zeWindow *w) {
    if (!w->open || w->intray) return;
    const zeBackend *b = zebackend();
    w->intray = true;
    if (b->tray_add(w->native, w->title)) {
        b->win_set_visible(w->native, false);
        return;
    }
    // No tray on this desktop: minimise instead, so that the window stays
    // reachable from the task bar; bringing it back counts as the tray click.
    printf("zewindow_totray: no tray, minimising \"%s\"\n", w->title);
    w->trayfallback = true;
    b->win_minimise(w->native);
}

void zewindow_fromtray(zeWindow *w) {
    if (!w->open || !w->intray) return;
    const zeBackend *b = zebackend();
    w->intray = false, w->trayfallback = false;
    b->tray_remove(w->native);
    b->win_set_visible(w->native, true);
    b->win_raise(w->native);
}

// ----- z-order -----

void zewindow_bringtotop(zeWindow *w) {
    if (w->open) zebackend()->win_raise(w->native);
}

// The window found one pixel inside the top-left corner, or 0 when closed.
static long window_at_corner(zeWindow *w) {
    int r[4];
    zewindow_rect(w, r);
    return zebackend()->window_at(r[0] + 1, r[1] + 1);
}

bool zewindow_covered(zeWindow *w) {
    if (!w->open) return false;
    return window_at_corner(w) != zebackend()->win_native(w->native);
}

void zewindow_raise_if_covered(zeWindow *w) {
    if (zewindow_covered(w)) zewindow_bringtotop(w);
}

void zewindow_keep_above_desktop(zeWindow *w, bool redraw) {
    if (!w->open) return;
    if (redraw) zewindow_redraw(w);
    if (++w->keepcalls <= 4) return;   // let the window settle first
    const zeBackend *b = zebackend();
    long at = window_at_corner(w);
    if (at == b->win_native(w->native)) return;
    if (w->desktop == -1 && at != w->lastcover && b->is_desktop(at)) w->desktop = at;
    w->lastcover = at;
    if (at != w->desktop) return;
    // "Show desktop" may have minimised the window: it comes back first.
    if (!w->intray) b->win_set_visible(w->native, true);
    // Topmost and back: above the desktop without staying on top.
    b->win_set_above(w->native, true);
    b->win_set_above(w->native, w->modal);
}

void zewindow_capture(zeWindow *w) {
    if (w->open) zebackend()->win_capture(w->native);
}

void zewindow_release(zeWindow *) { zebackend()->win_release(); }

const char *zewindow_dropped_file(void) { return zebackend()->dropped_file(); }

int zewindow_modifiers(void) { return zeinput_modifiers(); }

// ----- drawing forwards -----

static zearg send(zeWindow *w, int cmd, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0) {
    if (!w->open) return 0;
    zeHandler h;
    void *owner;
    zewindow_output(w, &h, &owner);
    return h(owner, cmd, a1, a2, a3, a4, 0, 0, 0, 0);
}

void zewindow_clear(zeWindow *w, int color) { send(w, ZEGOUT_CLEAR, color); }

void zewindow_text(zeWindow *w, int x, int y, int color, const char *text) {
    send(w, ZEGOUT_TEXT, x, y, color, (zearg)text);
}

void zewindow_printf(zeWindow *w, int x, int y, int color, const char *fmt, ...) {
    static char buf[65536];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    zewindow_text(w, x, y, color, buf);
}

int zewindow_getpixel(zeWindow *w, int x, int y) { return (int)send(w, ZEGOUT_GETPIXEL, x, y); }

bool zewindow_merge(zeWindow *w, int x, int y, zePixmap *p) { return send(w, ZEGOUT_MERGEPXMAP, x, y, (zearg)p) != 0; }

bool zewindow_load(zeWindow *w, const char *fmt, ...) {
    char name[8192];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(name, sizeof name, fmt, ap);
    va_end(ap);
    return send(w, ZEGOUT_LOAD, 0, 0, (zearg)name) != 0;
}

bool zewindow_save(zeWindow *w, const char *fmt, ...) {
    char name[8192];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(name, sizeof name, fmt, ap);
    va_end(ap);
    return send(w, ZEGOUT_SAVE, (zearg)name) != 0;
}
