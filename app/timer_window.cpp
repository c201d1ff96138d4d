// The timer window: size, creation, border, dragging, clicks, tray, flags and
// the desktop work area.
#include "timer_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app.h"
#include "placeholders.h"
#include "sevenseg.h"
#include "zemetrics.h"
#include "zedesktop.h"
#include "zeimage.h"
#include "zewindow.h"

static void on_pointer(zeWindow *w, int msg, int x, int y);

namespace {

// The window object lives for the whole run: the deferred draw holds a
// pointer to it, and re-creating only closes and re-opens it.
zeWindow *s_win = nullptr;
int s_height = 0;

bool s_dragging = false, s_moved = false;
int s_dragX = 0, s_dragY = 0;

zeRect s_newArea;

// Windows of other programs that the shrunk work area pushed aside, so they
// can go back when the work area is restored.
enum { MOVED_MAX = 64 };
struct MovedWindow {
    long id;
    int from[4], to[4];  // x, y, width, height
};
MovedWindow s_movedWindows[MOVED_MAX];
int s_movedCount = 0;

const char *const kTitle = "QUIMO TimerWindow";

zeWindow *window_object() {
    if (!s_win) s_win = new zeWindow();
    return s_win;
}

void on_close_request() {
    sevenseg_set_busy(true);
    save_and_quit();
}

void draw_border(zePixmap *p, int width, int height) {
    int c = (int)g_settings.borderColour;
    for (int i = 0; i < g_settings.borderWidth; i++) {
        int w = width - 2 * i, h = height - 2 * i;
        if (w <= 0 || h <= 0) break;
        zepxmap_fillrect(p, i, i, w, 1, c);
        zepxmap_fillrect(p, i, i + h - 1, w, 1, c);
        zepxmap_fillrect(p, i, i, 1, h, c);
        zepxmap_fillrect(p, i + w - 1, i, 1, h, c);
    }
}

void reopen_settings_window() {
    if (g_app.settingsWindowOpen) settings_window_close();
    settings_window_open_or_refresh();
}

int screen_width() { return guimetrics("screenxs"); }
int screen_height() { return guimetrics("screenys"); }

void restore_if_changed() {
    if (g_app.workAreaShrunk) timer_window_restore_work_area();
}

}  // namespace

ZE_HOT zeWindow *timer_window() { return s_win && s_win->open ? s_win : nullptr; }
int timer_window_height() { return s_height; }

// ---- size ---------------------------------------------------------------------

void timer_window_compute_height() {
    s_height = g_timerFont.charHeight + g_settings.verticalOffset + 2 * g_settings.borderWidth;
    if (s_height < g_settings.minHeight) s_height = g_settings.minHeight;
}

void timer_window_compute_width() {
    DigitMetrics m = {0, 0, 0};
    int text = sevenseg_metrics(&m) ? text_width(g_format.formatString, m) : 0;
    int w = text + 2 * g_settings.borderWidth + g_settings.horizontalOffset;
    if (w < g_settings.minWidth) w = g_settings.minWidth;
    g_settings.windowWidth = w;
}

// ---- creation -----------------------------------------------------------------

void timer_window_close() {
    if (s_win && s_win->open) {
        sevenseg_set_busy(true);
        zewindow_close(s_win);
    }
}

void timer_window_create() {
    sevenseg_set_busy(true);
    zeWindow *w = window_object();
    if (w->open) zewindow_close(w);
    sevenseg_force_full_redraw();

    int width = g_settings.windowWidth, height = s_height;
    // Window managers keep a new window out of the reserved screen edges,
    // which is where the timer of a shrunk work area sits: the reservation
    // is lifted while the window appears and put back after it.
    bool lift = g_app.workAreaShrunk;
    if (lift) zedesktop_set_workarea(g_app.initialWorkArea);
    bool ok;
    if (g_settings.fullscreen) {
        width = screen_width(), height = screen_height();
        ok = zewindow_open(w, ",x=0,y=0,xs=%d,ys=%d,drawoff,//modal,server,noclose,noquit", width, height);
    } else {
        ok = zewindow_open(w, ",x=%d,y=%d,xs=%d,ys=%d,drawoff,%s,server,notitle,noclose,noquit", g_settings.windowX,
                           g_settings.windowY, width, height, g_settings.alwaysOnTop ? "modal" : "");
    }
    if (lift) zedesktop_set_workarea(s_newArea);
    if (!ok) {
        write_log("timer window: cannot open");
        sevenseg_set_busy(false);
        return;
    }
    zewindow_set_closehook(w, on_close_request);
    zewindow_set_pointer_hook(w, on_pointer);
    timer_window_paint_into(zewindow_pixmap(w));
    zewindow_set_title(w, kTitle);
    zewindow_show(w, 0, 0, 0, 0, true);
    sevenseg_set_threshold(g_settings.fullscreen ? 0 : g_settings.windowY);
    s_dragging = false;
    sevenseg_set_busy(false);
}

void timer_window_paint_into(zePixmap *p) {
    if (s_win && s_win->open && p == zewindow_pixmap(s_win)) sevenseg_surface_touched();
    zepxmap_clear(p, (int)g_settings.backgroundColour);
    if (FILE *bg = app_open_file("quimo_bg_intern.bmp", "rb")) {
        fclose(bg);
        zeimage_load_file(p, "quimo_bg_intern.bmp", 0, 0);
    }
    draw_border(p, p->width, p->height);
}

void timer_window_repaint_background() {
    zeWindow *w = timer_window();
    if (!w) return;
    timer_window_paint_into(zewindow_pixmap(w));
    sevenseg_force_full_redraw();
    zewindow_show(w, 0, 0, 0, 0, true);
}

void timer_window_recreate() {
    if (timer_window()) timer_window_create();
}

void timer_window_move(int x, int y) {
    g_settings.windowX = x;
    g_settings.windowY = y;
    if (s_win && s_win->open) zewindow_move(s_win, x, y);
    sevenseg_set_threshold(y);
}

// ---- work area ----------------------------------------------------------------

zeRect timer_window_shrunk_area(const zeRect &initial, int y, int height) {
    zeRect out = initial;
    int bottom = initial.y + initial.height;
    if (y >= 400) out.height = y;
    else out.y = y + height + initial.y, out.height = bottom - out.y;
    return out;
}

bool timer_window_fit_other(const zeNativeInfo *w, const zeRect &area, int *top, int *bottom) {
    int t = w->y, b = w->y + w->height;
    if (b == t || b == 0 || !w->title[0] || w->minimised) return false;
    if (strstr(w->title, "Program Manager") || strstr(w->title, "Orvane")) return false;
    // Our own windows are laid out by us.
    if (strncmp(w->title, "QUIMO", 5) == 0) return false;
    *top = t, *bottom = b;
    int area_bottom = area.y + area.height;
    if (t < area.y - 4) *top = area.y;
    if (b > area_bottom + 4) *bottom = area_bottom;
    return *top != t || *bottom != b;
}

static void move_others_out(const zeRect &area) {
    enum { LIST_MAX = 256 };
    zeNativeInfo *list = (zeNativeInfo *)calloc(LIST_MAX, sizeof(zeNativeInfo));
    if (!list) return;
    int n = zedesktop_windows(list, LIST_MAX);
    for (int i = 0; i < n; i++) {
        zeNativeInfo &w = list[i];
        int top, bottom;
        // A window that would not keep a single row (a dock strip) stays.
        if (!timer_window_fit_other(&w, area, &top, &bottom) || bottom <= top) continue;
        write_log("move window: \"%s\" top=%d->%d bottom=%d->%d", w.title, w.y, top, w.y + w.height, bottom);
        if (!zedesktop_move_window(w.id, w.x, top, w.width, bottom - top)) continue;
        if (s_movedCount < MOVED_MAX) {
            MovedWindow &m = s_movedWindows[s_movedCount++];
            m = {w.id, {w.x, w.y, w.width, w.height}, {w.x, top, w.width, bottom - top}};
        }
    }
    free(list);
}

// Puts the windows we pushed aside back, unless the user moved them since.
static void move_others_back() {
    enum { LIST_MAX = 256 };
    zeNativeInfo *list = (zeNativeInfo *)calloc(LIST_MAX, sizeof(zeNativeInfo));
    int n = list ? zedesktop_windows(list, LIST_MAX) : 0;
    for (int k = 0; k < s_movedCount; k++) {
        const MovedWindow &m = s_movedWindows[k];
        for (int i = 0; i < n; i++) {
            const zeNativeInfo &w = list[i];
            if (w.id != m.id) continue;
            // Only the top is compared: terminals round their height to whole lines.
            if (abs(w.y - m.to[1]) <= 4)
                zedesktop_move_window(m.id, w.x, m.from[1], w.width, m.from[3]);
        }
    }
    s_movedCount = 0;
    free(list);
}

void timer_window_shrink_work_area() {
    const zeRect &a = g_app.initialWorkArea;
    s_newArea = timer_window_shrunk_area(a, g_settings.windowY, s_height);
    const zeRect &n = s_newArea;
    zedesktop_set_workarea(s_newArea);
    write_log("change work area from: t=%4d b=%4d l=%4d r=%4d", a.y, a.y + a.height, a.x, a.x + a.width);
    write_log("to:                    t=%4d b=%4d l=%4d r=%4d", n.y, n.y + n.height, n.x, n.x + n.width);
    g_app.workAreaShrunk = true;
    move_others_out(s_newArea);
}

void timer_window_restore_work_area() {
    const zeRect &a = g_app.initialWorkArea;
    write_log("restore original work area: t=%d b=%d l=%d r=%d", a.y, a.y + a.height, a.x, a.x + a.width);
    zedesktop_set_workarea(a);
    g_app.workAreaShrunk = false;
    move_others_back();
}

bool timer_window_work_area_changed() { return g_app.workAreaShrunk; }

// ---- mouse, tray and flags ----------------------------------------------------

bool timer_window_drag_moves(int dx, int dy) { return abs(dx) >= 5 || abs(dy) >= 5; }

void timer_window_hide_to_tray() {
    write_log("hide to tray");
    sevenseg_set_busy(true);
    settings_window_close();
    if (s_win && s_win->open) {
        zewindow_set_title(s_win, "QUIMO");  // the tray icon's tip text
        zewindow_totray(s_win);
    }
    g_app.hiddenToTray = true;
    // Without a tray the window is only minimised, and where nothing
    // minimises it (no window manager) it stays on screen: a window that
    // may still be seen keeps being drawn.
    if (s_win && s_win->open && s_win->trayfallback) sevenseg_set_busy(false);
}

void timer_window_restore_from_tray() {
    write_log("restore from tray");
    if (s_win && s_win->open) zewindow_set_title(s_win, kTitle);
    g_app.hiddenToTray = false;
    sevenseg_force_full_redraw();
    sevenseg_set_busy(false);
}

ZE_HOT bool timer_window_tray_event(int id) {
    if (!s_win || !s_win->open || id != s_win->trayid) return false;
    timer_window_restore_from_tray();
    return true;
}

static void on_pointer(zeWindow *w, int msg, int x, int y) {
    if (w == s_win) timer_window_mouse(msg, x, y);
}

void timer_window_mouse(int msg, int x, int y) {
    zeWindow *w = timer_window();
    if (!w) return;
    switch (msg) {
    case ZEWM_RDOWN: reopen_settings_window(); break;
    case ZEWM_MDOWN: timer_window_hide_to_tray(); break;
    case ZEWM_LUP:
        if (!s_dragging) break;
        s_dragging = false;
        sevenseg_set_busy(false);
        zewindow_release(w);
        if (!s_moved) reopen_settings_window();
        break;
    case ZEWM_LDOWN:
    case ZEWM_LDOUBLE:  // a quick second press starts a drag as well
        s_moved = false;
        s_dragging = true;
        s_dragX = x, s_dragY = y;
        zewindow_capture(w);
        break;
    case ZEWM_MOTION: {
        if (!s_dragging) break;
        int dx = x - s_dragX, dy = y - s_dragY;
        if (!timer_window_drag_moves(dx, dy)) break;
        s_moved = true;
        if (g_settings.resizeDesktop) {
            g_settings.resizeDesktop = false;
            timer_window_compute_width();
            timer_window_create();
            restore_if_changed();
            if (timer_window()) zewindow_capture(s_win);
        }
        timer_window_move(g_settings.windowX + dx, g_settings.windowY + dy);
        settings_window_show_position();
        break;
    }
    }
}

ZE_HOT void timer_window_handle_event(int id) {
    zeWindow *w = timer_window();
    if (!w) return;
    if (id == zewindow_closeid(w)) on_close_request();
}

void timer_window_keep_above_desktop() {
    if (timer_window()) zewindow_keep_above_desktop(s_win, false);
}

void timer_window_ensure_visible() {
    if (timer_window() && !g_app.hiddenToTray) zewindow_raise_if_covered(s_win);
}

// ---- placements and flag rules ------------------------------------------------

static void fix_to(bool bottom) {
    sevenseg_set_busy(true);
    timer_window_close();
    settings_window_close();
    restore_if_changed();
    g_settings.windowWidth = screen_width();
    g_settings.fullscreen = g_settings.stayOnDesktop = g_settings.alwaysVisible = false;
    g_settings.alwaysOnTop = true;
    timer_window_compute_height();
    const zeRect &a = g_app.initialWorkArea;
    g_settings.windowX = 0;
    g_settings.windowY = bottom ? a.height - s_height + a.y : 0;
    g_settings.resizeDesktop = true;
    timer_window_shrink_work_area();
    timer_window_create();
    settings_window_open_or_refresh();
    sevenseg_set_busy(false);
}

void timer_window_fix_to_top() { fix_to(false); }
void timer_window_fix_to_bottom() { fix_to(true); }

static void recreate_after_flag_change() {
    restore_if_changed();
    timer_window_create();
}

void timer_window_set_always_visible(bool on) {
    g_settings.alwaysVisible = on;
    if (on) g_settings.stayOnDesktop = false, g_settings.alwaysOnTop = true;
    g_settings.fullscreen = false;
    g_settings.resizeDesktop = false;
    recreate_after_flag_change();
}

void timer_window_set_always_on_top(bool on) {
    g_settings.alwaysOnTop = on;
    if (on) g_settings.stayOnDesktop = false;
    g_settings.fullscreen = false;
    g_settings.resizeDesktop = false;
    recreate_after_flag_change();
}

void timer_window_set_fullscreen(bool on) {
    g_settings.fullscreen = on;
    settings_window_close();
    g_settings.borderWidth = 0;
    g_settings.verticalOffset = 0;
    g_settings.windowX = 0;
    g_settings.windowWidth = screen_width();
    g_settings.alwaysOnTop = g_settings.stayOnDesktop = g_settings.resizeDesktop = false;
    recreate_after_flag_change();
    settings_window_open_or_refresh();
}

void timer_window_set_stay_on_desktop(bool on) {
    g_settings.stayOnDesktop = on;
    if (on) g_settings.alwaysOnTop = false;
    g_settings.resizeDesktop = false;
    g_settings.alwaysVisible = false;
    recreate_after_flag_change();
    g_settings.fullscreen = false;
}
