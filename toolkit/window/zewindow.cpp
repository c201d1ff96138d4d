// Toolkit windows: opening and closing, the event ids, the window handler and
// the views. Screen operations (tray, z-order, drawing forwards) are in
// zewindow_screen.cpp.
#include "zewindow.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zegout.h"
#include "zemetrics.h"
#include "zeplatform.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const zeWindowViewHooks *g_hooks;
static zeWindow *g_open[1000];   // open windows, for system close requests
static zeWindow *g_lastmain;
static bool g_leftdown;
static zeWindow *g_ptrwin;       // the window that saw the pointer last, and where
static int g_ptrx, g_ptry;
static zeWindow *g_keypopup;     // a popup that takes every key

void zewindow_set_view_hooks(const zeWindowViewHooks *hooks) { g_hooks = hooks; }
bool zewindow_leftdown(void) { return g_leftdown; }

void zewindow_take_keys(zeWindow *popup) { g_keypopup = popup && popup->open ? popup : nullptr; }

bool zewindow_pointer(int *x, int *y) {
    *x = *y = 0;
    if (!g_ptrwin || !g_ptrwin->open) return false;
    zewindow_client_origin(g_ptrwin, x, y);
    *x += g_ptrx, *y += g_ptry;
    return true;
}
zeWindow *zewindow_last_main(void) { return g_lastmain; }

int zewindow_count(void) {
    int n = 0;
    for (zeWindow *w : g_open) n += w != nullptr;
    return n;
}

static void remember(zeWindow *w, bool open) {
    for (zeWindow *&slot : g_open)
        if (open ? slot == nullptr : slot == w) {
            slot = open ? w : nullptr;
            return;
        }
}

zeWindow::zeWindow() { zewindow_init(this); }
zeWindow::~zeWindow() { zewindow_destroy(this); }

static void new_ids(zeWindow *w) {
    for (int &id : w->ids) id = zeevent_newid();
    int *more[] = {&w->menuid, &w->minimisedid, &w->trayid, &w->resizedid,
                   &w->droppedid, &w->movedid, &w->activatedid, &w->deactivatedid};
    for (int *id : more) *id = zeevent_newid();
}

// Everything but the callback, its user data and the close hook: those
// belong to whoever holds the window and survive a reopening.
static void defaults(zeWindow *w) {
    new_ids(w);
    w->eventsenabled = true;
    zecfgstr_geometry_reset(&w->geometry, 0, 0);
    w->title[0] = 0;
    w->bgcolor = zesyscolor("grey");
    w->quitonclose = w->closeonclose = w->redraw = true;
    w->modal = w->popup = w->notitle = w->fullscreen = w->resizable = false;
    w->menuys = w->toolbarys = w->statusbarys = 0;
    w->cxs = w->cys = 0;
    memset(w->views, 0, sizeof w->views);
    w->mainview = 0;
    w->menubar = w->toolbar = zeWindowView{};
    for (int i = 0; i < w->nmenus; i++) free(w->menuentries[i]);
    memset(w->menuentries, 0, sizeof w->menuentries);
    w->nmenus = 0, w->openmenu = -1;
    w->menutitle[0] = w->menuentry[0] = 0;
    w->native = 0;
    w->sharedpx = nullptr;
    w->x = w->y = -1, w->width = w->height = 0;
    w->open = w->intray = w->trayfallback = false;
    // A new pixmap holds nothing the screen showed.
    w->catchup = nullptr, w->catchupctx = nullptr;
    w->behind = false, w->catchingup = false, w->copygen = 0;
    w->keepcalls = 0, w->lastcover = -1, w->desktop = -1;
}

void zewindow_init(zeWindow *w) {
    w->callback = nullptr, w->callbackuser = nullptr, w->closehook = nullptr, w->pointerhook = nullptr;
    w->nmenus = 0;
    zepxmap_init(&w->pxmap);
    memset(&w->gout, 0, sizeof w->gout);
    defaults(w);
}

void zewindow_destroy(zeWindow *w) {
    zewindow_close(w);
    for (int i = 0; i < w->nmenus; i++) free(w->menuentries[i]);
    w->nmenus = 0;
}

// ----- events -----

void zewindow_raise(zeWindow *w, int id, int msg, int key, int extra) {
    if (!w->eventsenabled) return;
    if (id == 0) id = w->ids[0];
    bool isclose = id == w->ids[0];
    void (*hook)(void) = w->closehook;
    if (w->callback) w->callback(w->callbackuser, id, msg, key, extra, 0, 0, 0, 0, 0);
    else zeevent_post(id);
    if (isclose && hook) hook();
}

void zewindow_set_callback(zeWindow *w, zeHandler callback, void *user) {
    w->callback = callback, w->callbackuser = user;
    zeWindowView &v = w->views[w->mainview];
    if (v.handler && g_hooks && g_hooks->set_callback) g_hooks->set_callback(&v, callback, user);
}

void zewindow_set_closehook(zeWindow *w, void (*hook)(void)) { w->closehook = hook; }

void zewindow_set_pointer_hook(zeWindow *w, void (*hook)(zeWindow *w, int msg, int x, int y)) {
    w->pointerhook = hook;
}

static void native_sink(void *owner, int msg, int a1, int a2, int a3, int a4) {
    zewindow_handler(owner, msg, a1, a2, a3, a4, 0, 0, 0, 0);
}

// ----- open -----

static zeWindowView *make_view(zeWindow *w, zeWindowView *slot, const char *fmt, ...) {
    if (!g_hooks || !g_hooks->create) return nullptr;
    char opts[ZECFGSTR_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(opts, sizeof opts, fmt, ap);
    va_end(ap);
    return g_hooks->create(w, slot, opts) ? slot : nullptr;
}

// Steps 4 to 6 of opening: the client size and position from the options.
static void size_window(zeWindow *w, const zeWindowAttr *a, bool posgiven, const char *fmt) {
    w->x = posgiven ? w->geometry.rx : -1;
    w->y = w->geometry.ry;
    w->width = w->geometry.rxs ? w->geometry.rxs : 100;
    w->height = w->geometry.rys ? w->geometry.rys : 100;
    if (a->fullscreen) {
        w->x = 0, w->y = 0;
        if (!zecfgstr_find_flag(fmt, "setwindowsize"))
            w->width = guimetrics("screenxs"), w->height = guimetrics("screenys");
    }
    if (a->maximized) {
        w->width = guimetrics("maxwindowxs");
        w->height = guimetrics("maxwindowys") - w->menuys - w->toolbarys - w->statusbarys;
        w->x = -1;
    }
    int maxxs = zecfgstr_find_int(fmt, "maxxs"), maxys = zecfgstr_find_int(fmt, "maxys");
    if (maxxs > 0 && w->width > maxxs) w->width = maxxs;
    if (maxys > 0 && w->height > maxys) w->height = maxys;
    if (w->width < 1) w->width = 1;
    if (w->height < 1) w->height = 1;
}

static void take_attributes(zeWindow *w, const zeWindowAttr *a) {
    if (a->bgcolor != -1) w->bgcolor = a->bgcolor;
    w->modal = a->modal, w->popup = a->popup, w->notitle = a->notitle;
    w->fullscreen = a->fullscreen, w->resizable = a->resize;
    if (a->noquit) w->quitonclose = false, w->closeonclose = false;
    if (a->noclose) w->closeonclose = false;
    if (a->noredraw) w->redraw = false;
    w->menuys = a->menu ? guimetrics("menuheight") : 0;
    w->toolbarys = a->toolbar ? (a->toolbarys ? a->toolbarys : guimetrics("toolbarheight")) : 0;
    w->statusbarys = a->statusbar ? (a->statusbarys ? a->statusbarys : guimetrics("statusbarheight")) : 0;
}

static zePxServer *server_of(zeWindow *w) { return (zePxServer *)w->pxmap.pixels; }

// Where the backend offers it, the pixmap's colours live in memory the display
// reads in place: a show then sends a short request instead of the pixels,
// and no second copy of them exists. Called before anything is drawn (both
// arrays are all zero), and the fresh array of our own is never touched, so
// swapping costs no copy. Hands the colours to the backend either way.
static void share_pixels(zeWindow *w) {
    const zeBackend *b = zebackend();
    zePxServer *s = server_of(w);
    uint32_t *mem = b->win_alloc_pixels ? b->win_alloc_pixels(w->pxmap.width, w->pxmap.height) : nullptr;
    if (mem) {
        free(s->colors);
        s->colors = mem;
    }
    w->sharedpx = mem;
    b->win_set_pixels(w->native, s->colors, w->pxmap.width, w->pxmap.height);
}

// The backend's memory goes back to it; the pixmap is left without colours
// (its release or resize frees only what is its own).
static void unshare_pixels(zeWindow *w) {
    if (!w->sharedpx) return;
    zePxServer *s = server_of(w);
    if (s && s->colors == w->sharedpx) s->colors = nullptr;
    zebackend()->win_free_pixels(w->sharedpx);
    w->sharedpx = nullptr;
}

static bool create_native(zeWindow *w, bool sysmenu) {
    int total = w->height + w->menuys + w->toolbarys + w->statusbarys;
    if (!zepxmap_create(&w->pxmap, w->width, total, ZEPX_SERVER)) {
        printf("zewindow_open: no pixmap of %d x %d\n", w->width, total);
        return false;
    }
    w->sharedpx = nullptr;
    zeNativeSpec spec = {w->title, w->x, w->y, w->width, total, 0, 0};
    if (w->popup) spec.flags |= ZENW_POPUP;
    // A popup belongs to the main window it was opened over.
    zeWindow *owner = w->popup ? zewindow_last_main() : nullptr;
    if (owner && owner != w && owner->open) spec.owner = owner->native;
    if (w->notitle) spec.flags |= ZENW_NOTITLE;
    if (w->modal) spec.flags |= ZENW_ABOVE;
    if (w->fullscreen) spec.flags |= ZENW_FULLSCREEN;
    if (w->resizable) spec.flags |= ZENW_RESIZE;
    if (!sysmenu) spec.flags |= ZENW_NOSYSMENU;
    const zeBackend *b = zebackend();
    w->native = b->win_create(&spec, native_sink, w);
    if (!w->native) {
        zepxmap_release(&w->pxmap);
        return false;
    }
    share_pixels(w);
    zepxmap_clear(&w->pxmap, w->bgcolor < 0 ? 0 : w->bgcolor);
    zeRect r;
    b->win_rect(w->native, &r);
    w->x = r.x, w->y = r.y;
    return true;
}

// Steps 8 to 11: the bars and the main view, when views can be made.
static void create_views(zeWindow *w, const char *leftovers, bool ownpxmap) {
    int bg = w->bgcolor < 0 ? 0 : w->bgcolor;
    if (w->toolbarys)
        make_view(w, &w->toolbar, "server,x=0,y=%d,xs=%d,ys=%d,bgcolor=%06x,nofocus,no vertical scrollbar,"
                  "no horizontal scrollbar,resize", w->menuys, w->width, w->toolbarys, bg);
    if (w->menuys)
        make_view(w, &w->menubar, "server,x=0,y=0,xs=%d,ys=%d,bgcolor=%06x,nofocus,no vertical scrollbar,"
                  "no horizontal scrollbar,resize", w->width, w->menuys, bg);
    int cxs = w->cxs > 0 ? w->cxs : w->width, cys = w->cys > 0 ? w->cys : w->height;
    // The view decides from the sizes whether it draws straight into our
    // pixmap, unless it is told to keep a pixmap of its own.
    make_view(w, &w->views[0], "server,x=0,y=%d,xs=%d,ys=%d,pxs=%d,pys=%d,bgcolor=%06x%s%s", w->menuys + w->toolbarys,
              w->width, w->height, cxs, cys, bg, ownpxmap ? ",ownpxmap" : "", leftovers);
}

static zearg own_output(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                        zearg a7, zearg a8);

bool zewindow_vopen(zeWindow *w, const char *fmt, va_list ap) {
    if (w->open) zewindow_close(w);
    char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_vparse(buf, fmt, ap);
    int sw = guimetrics("screenxs"), sh = guimetrics("screenys");
    zecfgstr_geometry_reset(&w->geometry, sw, sh);
    bool posgiven = zecfgstr_geometry(e, 1, &w->geometry);
    zecfgstr_geometry_resolve(&w->geometry);
    snprintf(w->title, sizeof w->title, "%s", e[0] ? e[0] : "");
    zeWindowAttr a;
    zecfgstr_window_defaults(&a);
    zecfgstr_windowattr(e, 1, &a);
    take_attributes(w, &a);
    w->cxs = a.cxs, w->cys = a.cys;
    size_window(w, &a, posgiven, fmt);
    if (!create_native(w, a.sysmenu)) {
        printf("zewindow_open: cannot create \"%s\"\n", w->title);
        return false;
    }
    w->open = true;
    zeentry_windows_add(1);
    remember(w, true);
    if (!w->popup && !w->modal) g_lastmain = w;
    if (w->popup) zebackend()->win_capture(w->native);
    zepxmapout_wrap(&w->gout, &w->pxmap);
    char leftovers[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_leftovers(e, 1, leftovers, sizeof leftovers);
    if (g_hooks && g_hooks->standard_add) g_hooks->standard_add(zewindow_handler, w);
    create_views(w, leftovers, zecfgstr_find_flag(fmt, "ownpxmap"));
    // A callback set before opening reaches the new main view too.
    if (w->callback) zewindow_set_callback(w, w->callback, w->callbackuser);
    // Without a view the window's own pixmap takes the drawing commands.
    if (!w->views[0].handler) zegout_set(own_output, w);
    zewindow_show(w, 0, 0, 0, 0, true);
    return true;
}

bool zewindow_open(zeWindow *w, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zewindow_vopen(w, fmt, ap);
    va_end(ap);
    return ok;
}

void zewindow_close(zeWindow *w) {
    if (!w->open) return;
    zeWindowView *all[ZEWIN_VIEWS + 2];
    int n = 0;
    for (zeWindowView &v : w->views) all[n++] = &v;
    all[n++] = &w->menubar, all[n++] = &w->toolbar;
    for (int i = 0; i < n; i++)
        if (all[i]->handler && g_hooks && g_hooks->destroy) g_hooks->destroy(all[i]);
    zegout_unset(own_output, w);
    const zeBackend *b = zebackend();
    if (w->popup) b->win_release();
    b->win_destroy(w->native);   // removes the tray icon first
    if (g_hooks && g_hooks->standard_remove) g_hooks->standard_remove(zewindow_handler, w);
    zepxmapout_release(&w->gout);
    unshare_pixels(w);
    zepxmap_release(&w->pxmap);
    if (g_lastmain == w) g_lastmain = nullptr;
    if (g_ptrwin == w) g_ptrwin = nullptr;
    if (g_keypopup == w) g_keypopup = nullptr;
    remember(w, false);
    defaults(w);
    zeentry_windows_add(-1);
}

// ----- the handler -----

// Messages the window does not answer itself go to the bars and the view.
static zearg to_views(zeWindow *w, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                      zearg a7, zearg a8) {
    zeWindowView *order[3] = {&w->toolbar, &w->menubar, &w->views[w->mainview]};
    zearg r = 0;
    for (zeWindowView *v : order)
        if (v->handler) r = v->handler(v->view, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    return r;
}

static void draw_views(zeWindow *w) {
    if (!g_hooks || !g_hooks->draw) return;
    if (w->views[w->mainview].handler) g_hooks->draw(&w->views[w->mainview]);
}

// The status bar: a sunken strip at the bottom (no application part uses it).
static void draw_statusbar(zeWindow *w) {
    if (!w->statusbarys || !w->open) return;
    int top = w->pxmap.height - w->statusbarys;
    zepxmap_fillrect(&w->pxmap, 0, top, w->width, w->statusbarys, w->bgcolor < 0 ? 0xD0D0D0 : w->bgcolor);
    zepxmap_fillrect(&w->pxmap, 2, top + 2, w->width - 4, 1, zesyscolor("dark") < 0 ? 0x808080 : zesyscolor("dark"));
    zewindow_show(w, 0, top, w->width, w->statusbarys);
}

static void initial_layout(zeWindow *w) {
    draw_views(w);
    zewindow_show(w, 0, 0, 0, 0, true);
    zeWindowView *bars[2] = {&w->toolbar, &w->menubar};
    for (zeWindowView *v : bars)
        if (v->handler && g_hooks && g_hooks->draw) g_hooks->draw(v);
    draw_statusbar(w);
}

// A resizable window's canvas follows the new client size.
static void resized(zeWindow *w, int cw, int ch) {
    if (!w->open || !w->resizable || cw <= 0 || ch <= 0) return;
    if (cw == w->pxmap.width && ch == w->pxmap.height) return;
    // The backend keeps the pixel pointer (and the timer thread may copy
    // from it): it lets go of the old storage before that is freed.
    const zeBackend *b = zebackend();
    b->win_set_pixels(w->native, nullptr, 0, 0);
    // The resize frees the old colours: shared ones are not its to free, and
    // come back should it fail.
    uint32_t *shared = w->sharedpx;
    if (shared) server_of(w)->colors = nullptr;
    if (!zepxmap_resize(&w->pxmap, cw, ch)) {
        if (shared) server_of(w)->colors = shared;
        b->win_set_pixels(w->native, server_of(w)->colors, w->pxmap.width, w->pxmap.height);
        return;
    }
    if (shared) b->win_free_pixels(shared);
    share_pixels(w);
    zepxmap_clear(&w->pxmap, w->bgcolor < 0 ? 0 : w->bgcolor);
    w->width = cw, w->height = ch - w->menuys - w->toolbarys - w->statusbarys;
}

static void on_close(zeWindow *w) {
    bool closing = w->closeonclose, quitting = w->quitonclose;
    zewindow_raise(w, 0, ZEWM_CLOSE, 0, 0);
    if (closing) zewindow_close(w);
    if (quitting) zequit();
}

static void on_tray(zeWindow *w, int button) {
    if (button != 2005 && button != 2011) return;
    zewindow_fromtray(w);
    zewindow_raise(w, w->trayid, ZEWM_TRAY, button, 0);
}

// Requests from views and controls.
static zearg request(zeWindow *w, int msg, zearg a1, zearg a2, zearg a3, zearg a4) {
    int x, y;
    switch (msg) {
    case ZEWR_CLIENTX: zewindow_client_origin(w, &x, &y); return x;
    case ZEWR_CLIENTY: zewindow_client_origin(w, &x, &y); return y;
    case ZEWR_REFRESH: zewindow_show(w, (int)a1, (int)a2, (int)a3, (int)a4); return 0;
    case ZEWR_LAYOUT: initial_layout(w); return 0;
    case ZEWR_FOCUS: return 1;
    case ZEWR_CAPTURE: zewindow_capture(w); return 0;
    case ZEWR_RELEASE: zewindow_release(w); return 0;
    case ZEWR_VIEW: return (zearg)w->views[w->mainview].view;
    case ZEWR_DRAWOFF: return !w->redraw;
    case ZEWR_NATIVE: return w->open ? (zearg)zebackend()->win_native(w->native) : 0;
    case ZEWR_STATUSBAR: draw_statusbar(w); return 0;
    }
    return 0;   // 8001, 8002, 8014, 8022, 8026, 8027 and the rest: accepted
}

zearg zewindow_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                       zearg a7, zearg a8) {
    zeWindow *w = (zeWindow *)owner;
    if (msg >= 8001 && msg <= 8099) return request(w, msg, a1, a2, a3, a4);
    if ((msg == ZEWM_KEYDOWN || msg == ZEWM_KEYUP) && g_keypopup && g_keypopup != w && g_keypopup->open)
        return zewindow_handler(g_keypopup, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (msg >= ZEWM_LDOWN && msg <= ZEWM_MOTION) g_ptrwin = w, g_ptrx = (int)a1, g_ptry = (int)a2;
    if (msg >= ZEWM_LDOWN && msg <= ZEWM_MOTION && w->pointerhook) {
        w->pointerhook(w, msg, (int)a1, (int)a2);
        if (!w->open) return 0;   // the hook closed the window
    }
    switch (msg) {
    case ZEWM_KEYDOWN:
        zewindow_raise(w, (int)a1, msg, (int)a1, 0);
        break;
    case ZEWM_KEYUP:
        zewindow_raise(w, (int)a1 + ZEKEY_RELEASE, msg, (int)a1, 0);
        break;
    case ZEWM_LDOWN: g_leftdown = true; break;
    case ZEWM_LUP: g_leftdown = false; break;
    case ZEWM_CLOSE: on_close(w); return 0;
    case ZEWM_PAINT:
        draw_views(w);
        zewindow_show(w, 0, 0, 0, 0);
        return 0;
    case ZEWM_EXPOSE: zewindow_expose(w, (int)a1, (int)a2, (int)a3, (int)a4); return 0;
    case ZEWM_SIZE:
        // The views take the new size before anybody hears of it: an event
        // callback that draws must find them on the new pixmap.
        resized(w, (int)a1, (int)a2);
        if (w->open) to_views(w, msg, a1, a2, a3, a4, a5, a6, a7, a8);
        zewindow_raise(w, w->resizedid, msg, 0, 0);
        return 0;
    case ZEWM_MAXIMISED: zewindow_raise(w, w->resizedid, msg, 0, 0); return 0;
    case ZEWM_MINIMISED: zewindow_raise(w, w->minimisedid, msg, 0, 0); return 0;
    case ZEWM_TRAY: on_tray(w, (int)a1); return 0;
    case ZEWM_DROPPED: zewindow_raise(w, w->droppedid, msg, 0, 0); return 0;
    case ZEWM_MOVED: {
        zeRect r;
        if (w->open) zebackend()->win_rect(w->native, &r), w->x = r.x, w->y = r.y;
        zewindow_raise(w, w->movedid, msg, 0, 0);
        return 0;
    }
    case ZEWM_ACTIVATED:
        // Minimised for want of a tray: coming back counts as the tray click.
        if (w->trayfallback) {
            on_tray(w, 2005);
            return 0;
        }
        zewindow_raise(w, w->activatedid, msg, 0, 0);
        return 0;
    case ZEWM_DEACTIVATED: zewindow_raise(w, w->deactivatedid, msg, 0, 0); return 0;
    }
    if (!w->open) return 0;
    return to_views(w, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- the window's own graphic output (no views) -----

bool zewindow_draws(int cmd) {
    switch (cmd) {
    case ZEGOUT_GETPIXEL: case ZEGOUT_TEXTWIDTH: case ZEGOUT_FONTHEIGHT: case ZEGOUT_CHARWIDTH:
    case ZEGOUT_SELF: case ZEGOUT_WIDTH: case ZEGOUT_HEIGHT: case ZEGOUT_SAVE: case ZEGOUT_NOTHING:
    case ZEGOUT_RESERVED1: case ZEGOUT_RESERVED2: case ZEGOUT_MOVETO: case ZEGOUT_SETFONT:
    case ZEGOUT_SETFONT_DESC: case ZEGOUT_SETFONT_SYSTEM: case ZEGOUT_SETPALETTE:
    case ZEGOUT_SETTRANSPARENT: case ZEGOUT_FLUSH:
        return false;
    }
    return true;
}

static zearg own_output(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                        zearg a7, zearg a8) {
    zeWindow *w = (zeWindow *)owner;
    if (!w->open) return 0;
    if (msg == ZEGOUT_SELF) return (zearg)w;
    // Draw on the window's own pixmap record, not the output's copy of it: a
    // resize replaces the pixel storage and the copy would still point at the old one.
    zearg r = zepxmap_command(&w->pxmap, &w->gout.font, w, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (msg == ZEGOUT_FLUSH || (zewindow_draws(msg) && w->redraw)) zewindow_show(w, 0, 0, 0, 0);
    return r;
}

void zewindow_output(zeWindow *w, zeHandler *h, void **owner) {
    zeWindowView &v = w->views[w->mainview];
    if (v.handler) *h = v.handler, *owner = v.view;
    else *h = own_output, *owner = w;
}

ZE_HOT zePixmap *zewindow_pixmap(zeWindow *w) { return &w->pxmap; }

// ----- system close requests -----

void zewindow_close_request(int sig) {
    (void)sig;
    zeWindow *list[1000];
    int n = 0;
    for (zeWindow *w : g_open)
        if (w) list[n++] = w;
    if (n == 0) {
        zequit();
        return;
    }
    // A window closed by an earlier one's close path is skipped.
    for (int i = 0; i < n; i++)
        for (zeWindow *w : g_open)
            if (w == list[i] && w->open) {
                on_close(w);
                break;
            }
}
