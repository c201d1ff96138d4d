// The headless backend: an in-memory screen for tests. Windows are rectangles
// that show the caller's pixels; a window has no frame, so its outer
// rectangle is its client area. Other programs' windows can be added by the
// tests. Native ids: our windows use their handle, other windows ids from
// 1000000 on, and 0 is the bare desktop.
#include "zeheadless.h"
#include "../zeinput.h"
#include "zeplatform.h"
#include "zetimer.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Win {
    bool used = false;
    bool foreign = false, desktop = false;
    zeNativeSink sink = nullptr;
    void *owner = nullptr;
    unsigned flags = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = true, minimised = false, above = false, tray = false;
    const uint32_t *px = nullptr;
    int pw = 0, ph = 0;
    long copies = 0, copied = 0;   // win_show calls and their area
    long imgcopies = 0, imgcopied = 0;   // win_copy_img calls and their area
    // What the screen shows, once a picture was copied onto it: from then on
    // the pixels reach the screen only where they are shown.
    std::vector<uint32_t> scr;
    int ownerwin = 0;              // the window a popup belongs to
    std::string title;
};

enum EvKind { EV_MSG, EV_KEY, EV_BUTTON, EV_MOTION, EV_WHEEL, EV_EXPOSE };
struct Ev {
    EvKind kind;
    int win;
    int a, b, c, d;
    unsigned time;
};

const long FOREIGN_BASE = 1000000;

int g_sw = 1920, g_sh = 1080;
zeRect g_work;
std::string g_clip;
bool g_clip_set;
std::vector<Win> g_wins(1);          // our windows, index = handle (0 unused)
std::vector<Win> g_foreign;          // other programs, index = id - FOREIGN_BASE
std::vector<long> g_order;           // stacking order, bottom first
std::deque<Ev> g_events;
int g_focus, g_capture;
bool g_tray = true;
bool g_hand;                         // the pointer shows the hand
unsigned g_time = 100000;
std::string g_dropped;
// Pictures kept by the display (img_create), index = handle (0 unused).
struct Img {
    bool used = false;
    int w = 0, h = 0;
    std::vector<uint32_t> colors;
    std::vector<uint8_t> opaque;
};
std::vector<Img> g_imgs(1);
bool g_images = true;   // offered (tests switch them off)
// Copies the display makes by itself later (win_copy_imgs_later): the
// picture is kept with the copy, as the display keeps it until it is done.
struct Later {
    int win;
    int dx, dy;
    uint32_t due;   // zemilliseconds
    Img img;
};
std::vector<Later> g_later;
bool g_offer_later = true;
// win_show may come from the display's timer thread (as on X11): it and
// every change of the window table hold this lock.
std::recursive_mutex g_lock;

void apply_due(void);
Img *img_of(int h) {
    if (h <= 0 || h >= (int)g_imgs.size() || !g_imgs[h].used) return nullptr;
    return &g_imgs[h];
}
Win *own(int h) {
    if (h <= 0 || h >= (int)g_wins.size() || !g_wins[h].used) return nullptr;
    return &g_wins[h];
}
Win *any(long id) {
    if (id >= FOREIGN_BASE) {
        size_t i = id - FOREIGN_BASE;
        return i < g_foreign.size() ? &g_foreign[i] : nullptr;
    }
    return own((int)id);
}
bool shown(const Win &w) { return w.used && w.visible && !w.minimised; }

// The effective stacking order: windows kept above come after all others.
std::vector<long> stacking() {
    std::vector<long> out;
    for (int pass = 0; pass < 2; pass++)
        for (long id : g_order) {
            Win *w = any(id);
            if (w && w->above == (pass == 1)) out.push_back(id);
        }
    return out;
}
void to_top(long id) {
    g_order.erase(std::remove(g_order.begin(), g_order.end(), id), g_order.end());
    g_order.push_back(id);
}
void push(EvKind k, int win, int a = 0, int b = 0, int c = 0, int d = 0) {
    g_events.push_back({k, win, a, b, c, d, g_time});
    g_time++;
}
void focus_to(int h) {
    if (g_focus == h) return;
    if (own(g_focus)) push(EV_MSG, g_focus, 2064), push(EV_MSG, g_focus, 2019);
    g_focus = h;
    if (own(h)) push(EV_MSG, h, 2063), push(EV_MSG, h, 2018);
}
long top_at(int x, int y) {
    std::vector<long> st = stacking();
    for (auto it = st.rbegin(); it != st.rend(); ++it) {
        Win *w = any(*it);
        if (shown(*w) && x >= w->x && y >= w->y && x < w->x + w->w && y < w->y + w->h) return *it;
    }
    return 0;
}
// The window that receives the pointer at a screen point.
int pointer_target(int x, int y) {
    if (own(g_capture)) return g_capture;
    long id = top_at(x, y);
    return id < FOREIGN_BASE ? (int)id : 0;
}

void send(Win *w, int msg, int a1 = 0, int a2 = 0, int a3 = 0, int a4 = 0) {
    if (w && w->sink) w->sink(w->owner, msg, a1, a2, a3, a4);
}

void deliver_button(const Ev &e) {
    int h = pointer_target(e.b, e.c);
    Win *w = own(h);
    if (!w) return;
    int cx = e.b - w->x, cy = e.c - w->y;
    if (e.d) {
        if (e.a == 0 && !(w->flags & ZENW_POPUP)) {
            to_top(h);
            focus_to(h);
        }
        send(w, zeinput_press(e.a, e.time, e.b, e.c), cx, cy);
    } else {
        static const int up[3] = {2005, 2008, 2011};
        send(w, up[e.a], cx, cy);
    }
}

void deliver(const Ev &e) {
    switch (e.kind) {
    case EV_MSG: send(own(e.win), e.a, e.b, e.c, e.d); break;
    case EV_KEY: {
        Win *w = own(g_focus);
        zeinput_key(w ? w->sink : nullptr, w ? w->owner : nullptr, e.a, e.b, e.c != 0);
        break;
    }
    case EV_BUTTON: deliver_button(e); break;
    case EV_EXPOSE: {
        Win *w = own(e.win);
        if (w && w->sink) w->sink(w->owner, 2065, e.a, e.b, e.c, e.d);
        break;
    }
    case EV_MOTION: {
        Win *w = own(pointer_target(e.a, e.b));
        if (w) send(w, 2015, e.a - w->x, e.b - w->y);
        break;
    }
    case EV_WHEEL: {
        Win *w = own(pointer_target(e.a, e.b));
        if (w) send(w, e.c ? 2013 : 2014, e.a - w->x, e.b - w->y);
        break;
    }
    }
}

// ----- backend -----

bool hl_init(void) {
    const char *s = getenv("ZE_SCREEN");
    int w, h;
    if (s && sscanf(s, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) g_sw = w, g_sh = h;
    g_work = {0, 0, g_sw, g_sh};
    return true;
}
void hl_shutdown(void) {}
int hl_fd(void) { return -1; }
bool hl_pending(void) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    apply_due();
    return !g_events.empty();
}
bool hl_dispatch_one(void) {
    if (g_events.empty()) return false;
    Ev e = g_events.front();
    g_events.pop_front();
    deliver(e);
    return true;
}
void hl_screen_size(int *w, int *h) { *w = g_sw, *h = g_sh; }
void hl_workarea(zeRect *area) { *area = g_work; }
int hl_refresh_hz(void) { return 60; }
int hl_depth(void) { return 24; }
bool hl_clipboard_set(const char *t) {
    g_clip = t ? t : "", g_clip_set = true;
    return true;
}
const char *hl_clipboard_get(void) { return g_clip_set ? g_clip.c_str() : nullptr; }

int hl_win_create(const zeNativeSpec *spec, zeNativeSink sink, void *owner) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    int h = 0;
    for (size_t i = 1; i < g_wins.size() && !h; i++)
        if (!g_wins[i].used) h = (int)i;
    if (!h) {
        if (g_wins.size() > 1000) return 0;   // the native-window table is full
        g_wins.push_back(Win());
        h = (int)g_wins.size() - 1;
    }
    Win &w = g_wins[h];
    w.used = true;
    w.sink = sink, w.owner = owner, w.flags = spec->flags;
    w.title = spec->title ? spec->title : "";
    w.x = spec->x < 0 ? g_work.x : spec->x;
    w.y = spec->x < 0 ? g_work.y : spec->y;
    w.w = spec->width, w.h = spec->height;
    if (spec->flags & ZENW_FULLSCREEN) w.x = 0, w.y = 0, w.w = g_sw, w.h = g_sh;
    w.above = (spec->flags & ZENW_ABOVE) != 0;
    w.ownerwin = spec->owner;
    g_order.push_back(h);
    if (!(spec->flags & ZENW_POPUP)) focus_to(h);
    return h;
}
void hl_win_destroy(int h) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Win *w = own(h);
    if (!w) return;
    g_order.erase(std::remove(g_order.begin(), g_order.end(), (long)h), g_order.end());
    for (Ev &e : g_events)
        if (e.win == h) e.kind = EV_MSG, e.win = 0;
    if (g_capture == h) g_capture = 0;
    if (g_focus == h) g_focus = 0;
    g_later.erase(std::remove_if(g_later.begin(), g_later.end(), [h](const Later &l) { return l.win == h; }),
                  g_later.end());
    *w = Win();
}
void hl_win_set_pixels(int h, const uint32_t *px, int pw, int ph) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Win *w = own(h);
    if (!w) return;
    if (!px || pw != w->pw || ph != w->ph) w->scr.clear();
    w->px = px, w->pw = pw, w->ph = ph;
}
// The screen is composed when read; the copies are only counted, clipped as
// a real screen would clip them.
void hl_win_show(int h, int x, int y, int cw, int ch) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    apply_due();
    Win *w = own(h);
    if (!w) return;
    if (x < 0) cw += x, x = 0;
    if (y < 0) ch += y, y = 0;
    if (x + cw > w->pw) cw = w->pw - x;
    if (y + ch > w->ph) ch = w->ph - y;
    if (cw <= 0 || ch <= 0) return;
    w->copies++;
    w->copied += (long)cw * ch;
    if (w->scr.empty() || !w->px) return;
    for (int j = y; j < y + ch; j++)
        memcpy(&w->scr[(size_t)j * w->pw + x], w->px + (size_t)j * w->pw + x, (size_t)cw * 4);
}

int hl_img_create(const uint32_t *colors, const uint8_t *opaque, int width, int height) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    if (!g_images || !colors || width <= 0 || height <= 0) return -1;
    size_t n = (size_t)width * height, h = 1;
    while (h < g_imgs.size() && g_imgs[h].used) h++;
    if (h == g_imgs.size()) g_imgs.push_back(Img());
    Img &img = g_imgs[h];
    img.used = true, img.w = width, img.h = height;
    img.colors.assign(colors, colors + n);
    if (opaque) img.opaque.assign(opaque, opaque + n);
    else img.opaque.assign(n, 1);
    return (int)h;
}
void hl_img_destroy(int h) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    if (h > 0 && h < (int)g_imgs.size()) g_imgs[h] = Img();
}
// Clipped to the picture and to the window's pixels, as a real copy is.
void copy_img(Win *w, const Img &img, int sx, int sy, int cw, int ch, int dx, int dy) {
    if (sx < 0) cw += sx, dx -= sx, sx = 0;
    if (sy < 0) ch += sy, dy -= sy, sy = 0;
    if (dx < 0) cw += dx, sx -= dx, dx = 0;
    if (dy < 0) ch += dy, sy -= dy, dy = 0;
    cw = std::min({cw, img.w - sx, w->pw - dx});
    ch = std::min({ch, img.h - sy, w->ph - dy});
    if (cw <= 0 || ch <= 0) return;
    if (w->scr.empty()) w->scr.assign(w->px, w->px + (size_t)w->pw * w->ph);
    w->imgcopies++;
    w->imgcopied += (long)cw * ch;
    for (int j = 0; j < ch; j++) {
        size_t s = (size_t)(sy + j) * img.w + sx;
        uint32_t *d = &w->scr[(size_t)(dy + j) * w->pw + dx];
        for (int i = 0; i < cw; i++)
            if (img.opaque[s + i]) d[i] = img.colors[s + i];
    }
}

// The later copies whose moment has come, in the order they were queued:
// before anything else reaches the screen or reads it.
void apply_due(void) {
    if (g_later.empty()) return;
    uint32_t now = zemilliseconds();
    size_t kept = 0;
    for (size_t i = 0; i < g_later.size(); i++) {
        Later &l = g_later[i];
        if ((int32_t)(now - l.due) < 0) {
            if (kept != i) g_later[kept] = std::move(l);
            kept++;
            continue;
        }
        Win *w = own(l.win);
        if (w && w->px) copy_img(w, l.img, 0, 0, l.img.w, l.img.h, l.dx, l.dy);
    }
    g_later.resize(kept);
}

void hl_win_copy_img(int h, int ih, int sx, int sy, int cw, int ch, int dx, int dy) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    apply_due();
    Win *w = own(h);
    const Img *img = img_of(ih);
    if (!w || !w->px || !img) return;
    copy_img(w, *img, sx, sy, cw, ch, dx, dy);
}

bool hl_win_copy_imgs_later(int h, const zeImageCopy *copies, int n, int delayMs) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    if (!g_offer_later || !own(h) || n <= 0) return false;
    for (int i = 0; i < n; i++)
        if (!img_of(copies[i].img)) return false;
    uint32_t due = zemilliseconds() + (uint32_t)delayMs;
    for (int i = 0; i < n; i++) g_later.push_back({h, copies[i].dx, copies[i].dy, due, *img_of(copies[i].img)});
    return true;
}
void hl_win_move(int h, int x, int y) {
    if (Win *w = own(h)) w->x = x, w->y = y;
}
void hl_win_resize(int h, int cw, int ch) {
    if (Win *w = own(h)) w->w = cw, w->h = ch;
}
void hl_win_rect(int h, zeRect *r) {
    Win *w = own(h);
    *r = w ? zeRect{w->x, w->y, w->w, w->h} : zeRect{0, 0, 0, 0};
}
void hl_win_client_origin(int h, int *x, int *y) {
    Win *w = own(h);
    *x = w ? w->x : 0, *y = w ? w->y : 0;
}
void hl_win_set_visible(int h, bool v) {
    Win *w = own(h);
    if (!w) return;
    w->visible = v;
    if (v) w->minimised = false;
    if (!v && g_focus == h) focus_to(0);
}
void hl_win_minimise(int h) {
    Win *w = own(h);
    if (!w || w->minimised) return;
    w->minimised = true;
    if (g_focus == h) focus_to(0);
    push(EV_MSG, h, 2055), push(EV_MSG, h, 2060);
}
void hl_win_set_title(int h, const char *t) {
    if (Win *w = own(h)) w->title = t ? t : "";
}
void hl_win_raise(int h) {
    if (!own(h)) return;
    to_top(h);
    focus_to(h);
}
void hl_win_set_above(int h, bool above) {
    if (Win *w = own(h)) {
        w->above = above;
        to_top(h);
    }
}
long hl_win_native(int h) { return own(h) ? h : 0; }
void hl_win_capture(int h) { g_capture = own(h) ? h : 0; }
void hl_win_release(void) { g_capture = 0; }
bool hl_tray_add(int h, const char *) {
    Win *w = own(h);
    if (!w || !g_tray) return false;
    w->tray = true;
    return true;
}
void hl_tray_remove(int h) {
    if (Win *w = own(h)) w->tray = false;
}
const char *hl_dropped_file(void) { return g_dropped.c_str(); }
long hl_window_at(int x, int y) { return top_at(x, y); }
bool hl_is_desktop(long id) {
    Win *w = id ? any(id) : nullptr;
    return id == 0 || (w && w->desktop);
}
int hl_list_windows(zeNativeInfo *out, int max) {
    int n = 0;
    for (long id : g_order) {
        Win *w = any(id);
        if (!w || n >= max) continue;
        zeNativeInfo &i = out[n++];
        i.id = id;
        snprintf(i.title, sizeof i.title, "%s", w->title.c_str());
        i.x = w->x, i.y = w->y, i.width = w->w, i.height = w->h;
        i.minimised = w->minimised;
    }
    return n;
}
bool hl_move_window(long id, int x, int y, int w, int h) {
    Win *win = any(id);
    if (!win || w <= 0 || h <= 0) return false;
    win->x = x, win->y = y, win->w = w, win->h = h;
    return true;
}
void hl_cursor_set(bool hand) { g_hand = hand; }
bool hl_workarea_set(const zeRect *a) {
    if (a->x < 0 || a->y < 0 || a->width <= 0 || a->height <= 0) return false;
    if (a->width > g_sw - a->x || a->height > g_sh - a->y) return false;
    g_work = *a;
    return true;
}

}  // namespace

const zeBackend zebackend_headless = {
    .name = "headless",
    .init = hl_init,
    .shutdown = hl_shutdown,
    .fd = hl_fd,
    .pending = hl_pending,
    .dispatch_one = hl_dispatch_one,
    .screen_size = hl_screen_size,
    .workarea = hl_workarea,
    .refresh_hz = hl_refresh_hz,
    .depth = hl_depth,
    .clipboard_set = hl_clipboard_set,
    .clipboard_get = hl_clipboard_get,
    .win_create = hl_win_create,
    .win_destroy = hl_win_destroy,
    .win_set_pixels = hl_win_set_pixels,
    .win_show = hl_win_show,
    .win_alloc_pixels = nullptr,
    .win_free_pixels = nullptr,
    .img_create = hl_img_create,
    .img_destroy = hl_img_destroy,
    .win_copy_img = hl_win_copy_img,
    .win_copy_imgs_later = hl_win_copy_imgs_later,
    .win_move = hl_win_move,
    .win_resize = hl_win_resize,
    .win_rect = hl_win_rect,
    .win_client_origin = hl_win_client_origin,
    .win_set_visible = hl_win_set_visible,
    .win_minimise = hl_win_minimise,
    .win_set_title = hl_win_set_title,
    .win_raise = hl_win_raise,
    .win_set_above = hl_win_set_above,
    .win_native = hl_win_native,
    .win_capture = hl_win_capture,
    .win_release = hl_win_release,
    .tray_add = hl_tray_add,
    .tray_remove = hl_tray_remove,
    .dropped_file = hl_dropped_file,
    .window_at = hl_window_at,
    .is_desktop = hl_is_desktop,
    .list_windows = hl_list_windows,
    .move_window = hl_move_window,
    .workarea_set = hl_workarea_set,
    .cursor_set = hl_cursor_set,
};

// ----- test interface -----

void zeheadless_key(int code, int ch, bool down) { push(EV_KEY, 0, code, ch, down); }
void zeheadless_keystroke(int code, int ch) {
    zeheadless_key(code, ch, true);
    if (code) zeheadless_key(code, 0, false);
}
void zeheadless_mouse(int x, int y, int button, bool down) {
    if (button >= 0 && button <= 2) push(EV_BUTTON, 0, button, x, y, down);
}
void zeheadless_click(int x, int y, int button) {
    zeheadless_mouse(x, y, button, true);
    zeheadless_mouse(x, y, button, false);
}
void zeheadless_motion(int x, int y) { push(EV_MOTION, 0, x, y); }
void zeheadless_wheel(int x, int y, bool forward) { push(EV_WHEEL, 0, x, y, forward); }
void zeheadless_close(int win) { push(EV_MSG, win, 2001); }
void zeheadless_minimise(int win) { hl_win_minimise(win); }
void zeheadless_user_move(int win, int x, int y) {
    hl_win_move(win, x, y);
    push(EV_MSG, win, 2062);
}
void zeheadless_user_resize(int win, int w, int h) {
    hl_win_resize(win, w, h);
    push(EV_MSG, win, 2003, w, h);
}
void zeheadless_drop(int win, const char *file) {
    g_dropped = file ? std::string(file).substr(0, 259) : "";
    push(EV_MSG, win, 2061);
}
void zeheadless_tray_click(int win, int button) {
    Win *w = own(win);
    if (w && w->tray) push(EV_MSG, win, 2056, button == 2 ? 2011 : 2005);
}
void zeheadless_advance(unsigned ms) { g_time += ms; }
const char *zeheadless_cursor(void) { return g_hand ? "hand" : "standard"; }
int zeheadless_owner(int win) { return own(win) ? own(win)->ownerwin : 0; }
void zeheadless_set_tray(bool present) { g_tray = present; }

bool zeheadless_exists(int win) { return own(win) != nullptr; }
bool zeheadless_visible(int win) { return own(win) && shown(*own(win)); }
bool zeheadless_minimised(int win) { return own(win) && own(win)->minimised; }
bool zeheadless_in_tray(int win) { return own(win) && own(win)->tray; }
bool zeheadless_above(int win) { return own(win) && own(win)->above; }
int zeheadless_focus(void) { return g_focus; }
int zeheadless_capture(void) { return g_capture; }
void zeheadless_rect(int win, int r[4]) {
    zeRect outer;
    hl_win_rect(win, &outer);
    r[0] = outer.x, r[1] = outer.y, r[2] = outer.width, r[3] = outer.height;
}
const char *zeheadless_title(int win) { return own(win) ? own(win)->title.c_str() : nullptr; }
int zeheadless_zorder(long *ids, int max) {
    int n = 0;
    for (long id : stacking())
        if (n < max && shown(*any(id))) ids[n++] = id;
    return n;
}
long zeheadless_add_window(const char *title, int x, int y, int w, int h, bool minimised, bool desktop) {
    Win f;
    f.used = true, f.foreign = true, f.desktop = desktop;
    f.title = title ? title : "";
    f.x = x, f.y = y, f.w = w, f.h = h, f.minimised = minimised;
    g_foreign.push_back(f);
    long id = FOREIGN_BASE + (long)g_foreign.size() - 1;
    g_order.push_back(id);
    return id;
}
bool zeheadless_window_rect(long id, int r[4]) {
    Win *w = any(id);
    if (!w) return false;
    r[0] = w->x, r[1] = w->y, r[2] = w->w, r[3] = w->h;
    return true;
}

long zeheadless_copies(int win) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return own(win) ? own(win)->copies : 0;
}
long zeheadless_copied_area(int win) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return own(win) ? own(win)->copied : 0;
}
long zeheadless_image_copies(int win) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return own(win) ? own(win)->imgcopies : 0;
}
long zeheadless_image_copied_area(int win) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return own(win) ? own(win)->imgcopied : 0;
}
int zeheadless_images(void) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    int n = 0;
    for (const Img &i : g_imgs) n += i.used;
    return n;
}
void zeheadless_offer_images(bool offer) { g_images = offer; }
void zeheadless_offer_later_copies(bool offer) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    g_offer_later = offer;
    if (!offer) g_later.clear();
}
void zeheadless_expose(int win, int x, int y, int w, int h) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Win *ww = own(win);
    if (!ww) return;
    // What a covering window left there, until the window repaints it.
    for (int j = std::max(y, 0); !ww->scr.empty() && j < std::min(y + h, ww->ph); j++)
        for (int i = std::max(x, 0); i < std::min(x + w, ww->pw); i++) ww->scr[(size_t)j * ww->pw + i] = 0xFF00FF;
    push(EV_EXPOSE, win, x, y, w, h);
}

// Other programs' windows show a grey face, the bare desktop black.
uint32_t zeheadless_pixel(int x, int y) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    apply_due();
    long id = top_at(x, y);
    Win *w = id ? any(id) : nullptr;
    if (!w) return 0;
    if (w->foreign) return 0xC0C0C0;
    int cx = x - w->x, cy = y - w->y;
    if (!w->px || cx >= w->pw || cy >= w->ph) return 0xFFFFFF;
    if (!w->scr.empty()) return w->scr[(size_t)cy * w->pw + cx] & 0xFFFFFF;
    return w->px[(size_t)cy * w->pw + cx] & 0xFFFFFF;
}

static void put_le(FILE *f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) fputc((v >> (8 * i)) & 0xFF, f);
}

bool zeheadless_save_screen(const char *file) {
    FILE *f = fopen(file, "wb");
    if (!f) return false;
    uint32_t row = (uint32_t)((g_sw * 3 + 3) & ~3);
    uint32_t size = row * g_sh;
    fputs("BM", f);
    put_le(f, 54 + size, 4), put_le(f, 0, 4), put_le(f, 54, 4);
    put_le(f, 40, 4), put_le(f, g_sw, 4), put_le(f, g_sh, 4), put_le(f, 1, 2), put_le(f, 24, 2);
    put_le(f, 0, 4), put_le(f, size, 4), put_le(f, 2835, 4), put_le(f, 2835, 4), put_le(f, 0, 4), put_le(f, 0, 4);
    std::vector<unsigned char> line(row, 0);
    for (int y = g_sh - 1; y >= 0; y--) {
        for (int x = 0; x < g_sw; x++) {
            uint32_t c = zeheadless_pixel(x, y);
            line[x * 3] = c & 0xFF, line[x * 3 + 1] = (c >> 8) & 0xFF, line[x * 3 + 2] = (c >> 16) & 0xFF;
        }
        fwrite(line.data(), 1, row, f);
    }
    return fclose(f) == 0;
}

void zeheadless_reset(void) {
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    g_wins.assign(1, Win());
    g_foreign.clear();
    g_order.clear();
    g_events.clear();
    g_focus = g_capture = 0;
    g_tray = true;
    g_hand = false;
    g_dropped.clear();
    g_imgs.assign(1, Img());
    g_images = true;
    g_later.clear();
    g_offer_later = true;
    g_work = {0, 0, g_sw, g_sh};
    zeinput_reset_modifiers();
}
