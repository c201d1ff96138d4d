// The scroll view: creation, the content pixmap and its copy to the parent,
// scrolling, the view as a graphic output, the standard view and the hooks
// through which windows make their views. Children, focus, mouse and keys
// are in zeview_input.cpp.
#include "zeview.h"
#include "zedialog.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zeframe.h"
#include "zefont.h"
#include "zegout.h"
#include "zetimer.h"
#include "zeview_internal.h"
#include "zewindow.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

enum { BAR_SLACK = 21, STEPS_PER_CONTENT = 20, PAGES_PER_CONTENT = 5, SCHEDULE_MS = 10 };

static bool g_building;
void zeview_set_building(bool building) { g_building = building; }
bool zeview_building(void) { return g_building; }

zeView::zeView() {
    memset((void *)this, 0, sizeof *this);
    zeview_init(this);
}
zeView::~zeView() { zeview_destroy(this); }

// The common operations on a view's record (show, hide) reach its own handler.
static const zeControlKind kViewKind = {"view", ZECHILD_HOVER, nullptr, nullptr, nullptr, zeview_handler, nullptr};

void zeview_init(zeView *v) {
    zecontrol_init(&v->c, &kViewKind);
    v->children = nullptr;
    v->nchildren = v->capacity = 0;
    v->focused = v->captured = v->hoverchild = -1;
    v->pointerx = v->pointery = 0;
    v->direct = false, v->autorefresh = true, v->accelerated = false;
    zescrollbar_init(&v->bars);
    v->scrollx = v->scrolly = v->centrex = v->centrey = 0;
    v->vallowed = v->hallowed = true;
    v->vannounced = v->nokeyscroll = false;
    zepxmap_init(&v->content);
    v->px = nullptr, v->parentpx = nullptr;
    memset(&v->gout, 0, sizeof v->gout);
    v->gout.font = -1;
    v->scheduled = v->destroying = false;
    v->callback = nullptr, v->callbackuser = nullptr;
    v->refreshes = 0;
}

zePixmap *zeview_pixmap(zeView *v) { return v->px; }
static int cw(const zeView *v) { return v->px ? v->px->width : 0; }
static int ch(const zeView *v) { return v->px ? v->px->height : 0; }

int zeview_output_width(const zeView *v) { return cw(v) - (v->bars.von ? v->bars.bw : 0); }
int zeview_output_height(const zeView *v) { return ch(v) - (v->bars.hon ? v->bars.bh : 0); }
int zeview_visible_w(const zeView *v) { return v->c.w - (v->bars.von ? v->bars.bw : 0); }
int zeview_visible_h(const zeView *v) { return v->c.h - (v->bars.hon ? v->bars.bh : 0); }
int zeview_get_scroll_y(const zeView *v) { return v->scrolly; }
int zeview_get_scroll_x(const zeView *v) { return v->scrollx; }

// ----- copying to the parent -----

static uint32_t *rgb(const zePixmap *p) {
    if (!p || !p->pixels) return nullptr;
    if (p->format == ZEPX_TRUECOLOR) return (uint32_t *)p->pixels;
    if (p->format == ZEPX_SERVER || p->format == ZEPX_DIRECTX) return ((zePxServer *)p->pixels)->colors;
    return nullptr;
}

static bool is_palette(const zePixmap *p) { return p->format == ZEPX_PALETTE8 || p->format == ZEPX_PALETTE16; }

static int nearest_entry(const zePixmap *p, int color) {
    int best = 0, bestd = 1 << 30;
    for (int i = 0; i < 255; i++) {
        int c = p->palette[i];
        if (c < 0) continue;
        int dr = ((c >> 16) & 255) - ((color >> 16) & 255), dg = ((c >> 8) & 255) - ((color >> 8) & 255),
            db = (c & 255) - (color & 255);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestd) bestd = d, best = i;
    }
    return best;
}

// A plain copy (no transparency) of a source rectangle, clipped on both sides.
static void blit(zePixmap *dst, int dx, int dy, const zePixmap *src, int sx, int sy, int w, int h) {
    if (!dst || !src || dst == src) return;
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    if (dx < 0) w += dx, sx -= dx, dx = 0;
    if (dy < 0) h += dy, sy -= dy, dy = 0;
    if (sx + w > src->width) w = src->width - sx;
    if (sy + h > src->height) h = src->height - sy;
    if (dx + w > dst->width) w = dst->width - dx;
    if (dy + h > dst->height) h = dst->height - dy;
    if (w <= 0 || h <= 0) return;
    uint32_t *d = rgb(dst), *s = rgb(src);
    if (d && s) {
        for (int j = 0; j < h; j++) memcpy(d + (size_t)(dy + j) * dst->width + dx, s + (size_t)(sy + j) * src->width + sx, w * 4u);
        return;
    }
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int c = zepxmap_getpixel(src, sx + i, sy + j);
            if (is_palette(src)) c = src->palette[c & 255];
            if (is_palette(dst)) c = nearest_entry(dst, c);
            zepxmap_setpixel(dst, dx + i, dy + j, c);
        }
}

void zeview_blit(zePixmap *dst, int dx, int dy, const zePixmap *src, int sx, int sy, int w, int h) {
    blit(dst, dx, dy, src, sx, sy, w, h);
}

static void clear_content(zeView *v) {
    if (!v->px) return;
    int bg = v->c.bgcolor < 0 ? 0 : v->c.bgcolor;
    zepxmap_clear(v->px, is_palette(v->px) ? nearest_entry(v->px, bg) : bg);
}

static void tell_parent_all(zeView *v) {
    zesend(v->c.parent, v->c.parentowner, ZEREQ_REFRESH, v->c.x - 2, v->c.y - 2, v->c.w + 4, v->c.h + 4);
}

static void unschedule(zeView *v);

void zeview_refresh(zeView *v) {
    unschedule(v);
    zeControl *c = &v->c;
    if (!c->created || !c->visible || !c->redraw || !v->parentpx) return;
    if (c->border) zeframe_draw(v->parentpx, ZEFRAME_DOUBLE, true, c->x - 2, c->y - 2, c->w + 4, c->h + 4);
    if (v->centrex || v->centrey) zepxmap_fillrect(v->parentpx, c->x, c->y, c->w, c->h, c->bgcolor < 0 ? 0 : c->bgcolor);
    if (!v->direct) {
        int w = zeview_visible_w(v), h = zeview_visible_h(v);
        blit(v->parentpx, c->x + v->centrex, c->y + v->centrey, v->px, v->scrollx, v->scrolly, w, h);
        v->refreshes++;
    }
    zescrollbar_draw(&v->bars);
    tell_parent_all(v);
}

void zeview_copy_area(zeView *v, int x, int y, int w, int h) {
    zeControl *c = &v->c;
    if (!c->created || !c->visible || !c->redraw) return;
    // Clip to the visible content, in 64 bits: a child's area may reach the
    // ends of the int range.
    long long vx = v->scrollx, vy = v->scrolly, vw = zeview_visible_w(v), vh = zeview_visible_h(v);
    long long x0 = x > vx ? x : vx, y0 = y > vy ? y : vy;
    long long x1 = (long long)x + w < vx + vw ? (long long)x + w : vx + vw;
    long long y1 = (long long)y + h < vy + vh ? (long long)y + h : vy + vh;
    if (x1 <= x0 || y1 <= y0) return;
    x = (int)x0, y = (int)y0, w = (int)(x1 - x0), h = (int)(y1 - y0);
    int px = c->x + v->centrex + x - v->scrollx, py = c->y + v->centrey + y - v->scrolly;
    if (!v->direct) {
        blit(v->parentpx, px, py, v->px, x, y, w, h);
        v->refreshes++;
    }
    zesend(c->parent, c->parentowner, ZEREQ_REFRESH, px, py, w, h);
}

// ----- scheduled refreshes -----

static std::vector<zeView *> g_scheduled;
static int g_scheduler;   // owner of the timer slot

static zearg schedule_tick(void *, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeview_flush();
    return 0;
}

void zeview_schedule(zeView *v) {
    if (v->scheduled) return;
    v->scheduled = true;
    // The slot is set only when the list was empty: setting it again would
    // restart its time, and a steady stream of drawing would never show.
    bool first = g_scheduled.empty();
    g_scheduled.push_back(v);
    // Without a timer slot nothing would ever show: refresh at once instead.
    if (first && !zetimer_set(schedule_tick, &g_scheduler, SCHEDULE_MS, 0)) zeview_flush();
}

static void unschedule(zeView *v) {
    if (!v->scheduled) return;
    v->scheduled = false;
    for (size_t i = 0; i < g_scheduled.size(); i++)
        if (g_scheduled[i] == v) {
            g_scheduled.erase(g_scheduled.begin() + i);
            break;
        }
    if (g_scheduled.empty()) zetimer_remove(&g_scheduler, 0);
}

void zeview_flush(void) {
    std::vector<zeView *> due;
    due.swap(g_scheduled);
    zetimer_remove(&g_scheduler, 0);
    for (zeView *v : due) v->scheduled = false;
    for (zeView *v : due) zeview_refresh(v);
}

// ----- bars and centring -----

static void thumbs(zeView *v) {
    int W = v->c.w, H = v->c.h, CW = cw(v), CH = ch(v);
    if (v->bars.von) zescrollbar_set_vertical(&v->bars, CH - H > 0 ? (v->scrolly * 100 + 100) / (CH - H) : 0, v->bars.vsize);
    if (v->bars.hon) zescrollbar_set_horizontal(&v->bars, CW - W > 0 ? (v->scrollx * 100 + 100) / (CW - W) : 0, v->bars.hsize);
}

static void setup_bars(zeView *v) {
    int W = v->c.w, H = v->c.h, CW = cw(v), CH = ch(v);
    zeScrollBar *b = &v->bars;
    bool hneed = W + BAR_SLACK < CW, vneed = H + BAR_SLACK < CH;
    if (hneed && !vneed) vneed = H - b->bh + BAR_SLACK < CH;
    if (vneed && !hneed) hneed = W - b->bw + BAR_SLACK < CW;
    if (!v->hallowed) hneed = false;
    if (!v->vallowed) vneed = false;
    b->target = v->parentpx;
    b->cmd = zeview_handler, b->cmdowner = v;
    b->parent = v->c.parent, b->parentowner = v->c.parentowner, b->parenthandle = v->c.handle;
    zescrollbar_release_all(b);
    if (hneed || vneed) {
        zescrollbar_setup(b, v->c.x, v->c.y, W, H, vneed, hneed);
        if (vneed) zescrollbar_set_vertical(b, 0, CH > 0 ? H * 100 / CH : 100);
        if (hneed) zescrollbar_set_horizontal(b, 0, CW > 0 ? W * 100 / CW : 100);
        v->scrolly = 0, v->scrollx = 0;
        if (vneed) {
            zesend(v->c.parent, v->c.parentowner, ZEREQ_SPARE, v->c.handle, 1);
            v->vannounced = true;
        }
    } else {
        zescrollbar_setup(b, v->c.x, v->c.y, W, H, false, false);
        if (v->vannounced) zesend(v->c.parent, v->c.parentowner, ZEREQ_SPARE, v->c.handle, 0);
        v->vannounced = false;
    }
    v->centrex = CW < W ? (W - CW) / 2 : 0;
    v->centrey = CH < H ? (H - CH) / 2 : 0;
}

// ----- scrolling -----

static void scrolled_y(zeView *v) {
    thumbs(v);
    zeview_refresh(v);
    zeview_send_children(v, ZEMSG_SCROLLED, v->scrollx, v->scrolly);
}

void zeview_scroll_by(zeView *v, int dx, int dy) {
    int W = v->c.w, H = v->c.h;
    if (dy && v->bars.von) {
        int old = v->scrolly, max = ch(v) - H;
        v->scrolly += dy;
        if (v->scrolly > max) v->scrolly = max;
        if (v->scrolly < 0) v->scrolly = 0;
        if (v->scrolly != old) scrolled_y(v);
    }
    if (dy) zesend(v->c.parent, v->c.parentowner, ZEREQ_SCROLLED);
    if (dx && v->bars.hon) {
        int old = v->scrollx, max = cw(v) - W;
        v->scrollx += dx;
        if (v->scrollx > max) v->scrollx = max;
        if (v->scrollx < 0) v->scrollx = 0;
        if (v->scrollx != old) {
            thumbs(v);
            zeview_refresh(v);
        }
    }
}

void zeview_set_scroll_y(zeView *v, int y) {
    int H = v->c.h, CH = ch(v);
    if (CH <= H) return;
    if (y > CH - H - 1) y = CH - H - 1;
    if (y < 0) y = 0;
    if (y == v->scrolly) return;
    v->scrolly = y;
    scrolled_y(v);
}

void zeview_set_scroll_x(zeView *v, int x) {
    int W = v->c.w, CW = cw(v);
    if (CW <= W) return;
    if (x > CW - W) x = CW - W;
    if (x < 0) x = 0;
    if (x == v->scrollx) return;
    v->scrollx = x;
    thumbs(v);
    zeview_refresh(v);
}

void zeview_command(zeView *v, int cmd, int arg) {
    int stepy = ch(v) / STEPS_PER_CONTENT, stepx = cw(v) / STEPS_PER_CONTENT, page = ch(v) / PAGES_PER_CONTENT;
    switch (cmd) {
    case ZESB_UP: zeview_scroll_by(v, 0, -stepy); return;
    case ZESB_DOWN: zeview_scroll_by(v, 0, stepy); return;
    case ZESB_LEFT: zeview_scroll_by(v, -stepx, 0); return;
    case ZESB_RIGHT: zeview_scroll_by(v, stepx, 0); return;
    case ZESB_PAGEUP: zeview_scroll_by(v, 0, -page); return;
    case ZESB_PAGEDOWN: zeview_scroll_by(v, 0, page); return;
    case ZESB_VPOS: {
        int y = arg * (ch(v) - v->c.h) / 100;
        if (y < 0) y = 0;
        if (y == v->scrolly) return;
        v->scrolly = y;
        zeview_send_children(v, ZEMSG_SCROLLED, v->scrollx, v->scrolly);
        zeview_refresh(v);
        zesend(v->c.parent, v->c.parentowner, ZEREQ_SCROLLED);
        return;
    }
    case ZESB_HPOS: {
        int x = arg * (cw(v) - v->c.w) / 100;
        if (x < 0) x = 0;
        if (x == v->scrollx) return;
        v->scrollx = x;
        zeview_refresh(v);
        return;
    }
    }
}

// ----- creation -----

static void take_content(zeView *v, int format, int w, int h) {
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    if (!zepxmap_create(&v->content, w, h, format)) {
        printf("zeview_create: no content pixmap of %d x %d\n", w, h);
        zepxmap_create(&v->content, 1, 1, ZEPX_TRUECOLOR);
    }
    v->px = &v->content;
    v->direct = false;
}

static void wrap_output(zeView *v) {
    int font = v->gout.font;
    zepxmapout_wrap(&v->gout, v->px);
    v->gout.font = font;
}

static bool create(zeView *v, zeHandler parent, void *parentowner, zePixmap *parentpx, bool allowdirect,
                   const char *fmt, va_list ap) {
    if (v->c.created) zeview_destroy(v);
    zeview_init(v);
    zeControl *c = &v->c;
    c->parent = parent, c->parentowner = parentowner, c->target = parentpx;
    v->parentpx = parentpx;
    char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_vparse(buf, fmt ? fmt : "", ap);
    snprintf(c->text, sizeof c->text, "%s", e[0] ? e[0] : "");
    int pw = parentpx ? parentpx->width : 0, ph = parentpx ? parentpx->height : 0;
    if (parent == zeview_handler) pw = zeview_output_width((zeView *)parentowner), ph = zeview_output_height((zeView *)parentowner);
    zecfgstr_geometry_reset(&c->geometry, pw, ph);
    zeCommonAttr a = {};
    a.border = 0, a.fontid = c->font, a.bgcolor = -1, a.textcolor = c->textcolor, a.transcolor = -1;
    zecfgstr_common(e, 1, &c->geometry, &a);
    c->border = a.border, c->font = a.fontid, c->nofocus = a.nofocus, c->grey = a.grey;
    c->bgcolor = a.bgcolor, c->textcolor = a.textcolor, c->transcolor = a.transcolor;
    zeViewAttr va = {};
    va.format = ZEPX_TRUECOLOR;
    zecfgstr_viewattr(e, 1, &va);
    zecfgstr_geometry_resolve(&c->geometry);
    c->x = c->geometry.rx, c->y = c->geometry.ry, c->w = c->geometry.rxs, c->h = c->geometry.rys;
    if (c->w < 1) c->w = 1;
    if (c->h < 1) c->h = 1;
    int pxs = va.pxs > 0 ? va.pxs : c->w, pys = va.pys > 0 ? va.pys : c->h;
    v->autorefresh = !va.drawoff && !va.opengl;
    v->accelerated = va.opengl;
    v->nokeyscroll = va.nokeyscroll;
    v->vallowed = !va.novscroll, v->hallowed = !va.nohscroll;

    bool direct = allowdirect && parentpx && c->x == 0 && c->y == 0 && pxs == c->w && pys == c->h &&
                  parentpx->width == c->w && parentpx->height == c->h && rgb(parentpx);
    if (direct) {
        v->px = parentpx, v->direct = true;
    } else {
        int format = va.format;
        if (format == ZEPX_SCREEN) format = ZEPX_TRUECOLOR;   // the content needs pixels
        take_content(v, format, pxs, pys);
    }
    wrap_output(v);
    v->gout.font = c->font;
    if (!v->direct || !parentpx) clear_content(v);
    // Drawing goes to a new view unless told otherwise, but controls keep
    // attaching to the standard view until this one is made standard: a view
    // embedded in a page must not capture the page's later controls.
    if (!va.nostandardview) zegout_set(zeview_handler, v);

    c->created = true;
    int flags = ZECHILD_MOUSE | ZECHILD_HOVER | (c->nofocus ? 0 : ZECHILD_FOCUS);
    c->handle = zesend(parent, parentowner, ZEREQ_REGISTER, (zearg)zeview_handler, (zearg)v, c->x, c->y, c->w, c->h,
                       flags);
    if (v->accelerated) zesend(parent, parentowner, ZEREQ_ACCEL, c->x, c->y, c->w, c->h);
    setup_bars(v);
    if (zesend(parent, parentowner, ZEREQ_DRAWOFF)) c->redraw = false;
    zeview_refresh(v);
    if (va.standardview) zeview_make_standard(v);
    return true;
}

bool zeview_create_in(zeView *v, zeHandler parent, void *parentowner, zePixmap *parentpx, bool allowdirect,
                      const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = create(v, parent, parentowner, parentpx, allowdirect, fmt, ap);
    va_end(ap);
    return ok;
}

bool zeview_vcreate(zeView *v, const char *fmt, va_list ap) {
    zeView *std = zeview_standard();
    if (!std) {
        printf("zeview_create: no view to create \"%s\" in\n", fmt ? fmt : "");
        return false;
    }
    return create(v, zeview_handler, std, zeview_pixmap(std), false, fmt, ap);
}

bool zeview_create(zeView *v, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zeview_vcreate(v, fmt, ap);
    va_end(ap);
    return ok;
}

void zeview_resize_content(zeView *v, int width, int height, bool hallowed, bool vallowed) {
    if (!v->c.created) return;
    if (width <= 0) width = cw(v);
    if (height <= 0) height = ch(v);
    if (width == cw(v) && height == ch(v)) return;
    if (v->direct) take_content(v, v->parentpx->format == ZEPX_SCREEN ? ZEPX_TRUECOLOR : v->parentpx->format, width, height);
    else if (!zepxmap_resize(&v->content, width, height)) {
        printf("zeview_resize_content: no pixmap of %d x %d\n", width, height);
        return;
    }
    wrap_output(v);
    v->scrollx = v->scrolly = v->centrex = v->centrey = 0;
    v->hallowed = hallowed, v->vallowed = vallowed;
    clear_content(v);
    setup_bars(v);
    // Controls take the content's new pixmap as their target.
    for (int i = 0; i < v->nchildren; i++) {
        zeViewChild &k = v->children[i];
        if (k.inuse && k.handler == zecontrol_handler) ((zeControl *)k.owner)->target = v->px;
    }
    zeview_refresh(v);
}

// A window's main view covers the client area between the bars. When a
// resizable window changes size the view takes the new size, and so does
// content that had the view's own size (content given its own size keeps
// it and gets bars as needed). The window has already replaced its pixmap:
// a direct view draws into the new one from now on.
bool zeview_follow_window(zeView *v) {
    if (v->c.parent != zewindow_handler || !v->c.created) return false;
    zeWindow *w = (zeWindow *)v->c.parentowner;
    if (zeview_of_window(w) != v) return false;
    int W = w->width, H = w->height;
    if (W < 1 || H < 1) return false;
    if (v->direct) wrap_output(v);   // the output's record still names the old pixels
    if (W == v->c.w && H == v->c.h) return false;
    bool follows = !v->direct && v->content.width == v->c.w && v->content.height == v->c.h;
    v->c.w = v->c.geometry.rxs = W, v->c.h = v->c.geometry.rys = H;
    if (follows) {
        if (!zepxmap_resize(&v->content, W, H)) printf("zeview: no content pixmap of %d x %d\n", W, H);
        wrap_output(v);
        clear_content(v);
    }
    v->scrollx = v->scrolly = v->centrex = v->centrey = 0;
    setup_bars(v);
    zesend(v->c.parent, v->c.parentowner, ZEREQ_MOVE, v->c.handle, v->c.x, v->c.y, W, H);
    for (int i = 0; i < v->nchildren; i++) {
        zeViewChild &k = v->children[i];
        if (k.inuse && k.handler == zecontrol_handler) ((zeControl *)k.owner)->target = v->px;
    }
    // Children placed in percent of the view follow it.
    zeview_send_children(v, ZEMSG_SIZE, zeview_output_width(v), zeview_output_height(v));
    return true;
}

// ----- the standard view and the standard-view list -----

struct StdEntry {
    zeHandler handler;
    void *owner;
};
static std::vector<StdEntry> g_stdlist;      // those that asked for the initial layout
static std::vector<zeView *> g_standard;     // views made standard, the current one last

zeView *zeview_standard(void) { return g_standard.empty() ? nullptr : g_standard.back(); }

void zeview_make_standard(zeView *v) {
    for (size_t i = 0; i < g_standard.size(); i++)
        if (g_standard[i] == v) {
            g_standard.erase(g_standard.begin() + i);
            break;
        }
    g_standard.push_back(v);
    zegout_set(zeview_handler, v);
}

static void forget_standard(zeView *v) {
    bool was = zeview_standard() == v || (zegout_handler() == zeview_handler && zegout_owner() == v);
    for (size_t i = 0; i < g_standard.size(); i++)
        if (g_standard[i] == v) {
            g_standard.erase(g_standard.begin() + i);
            break;
        }
    zegout_forget(zeview_handler, v);
    // The standard view (the one made standard before this one) takes over
    // the drawing again.
    if (was && !g_standard.empty()) zegout_set(zeview_handler, g_standard.back());
}

static void standard_add(zeHandler h, void *owner) { g_stdlist.push_back({h, owner}); }

static void standard_remove(zeHandler h, void *owner) {
    for (size_t i = 0; i < g_stdlist.size(); i++)
        if (g_stdlist[i].handler == h && g_stdlist[i].owner == owner) {
            g_stdlist.erase(g_stdlist.begin() + i);
            return;
        }
}

static void initial_layout(void) {
    std::vector<StdEntry> list = g_stdlist;
    for (const StdEntry &e : list) zesend(e.handler, e.owner, ZEMSG_INITIAL_LAYOUT);
}

// ----- destruction -----

void zeview_destroy(zeView *v) {
    if (!v->c.created) {
        unschedule(v);
        forget_standard(v);
        return;
    }
    v->destroying = true;
    // Whatever holds the pointer inside the view lets go of it with the view.
    if (v->captured >= 0) zesend(v->c.parent, v->c.parentowner, ZEREQ_RELEASE, v->c.handle);
    zescrollbar_destroy(&v->bars);
    zeview_send_children(v, ZEMSG_RELEASE);
    zeview_children_free(v);
    unschedule(v);
    forget_standard(v);
    standard_remove(zeview_handler, v);
    zepxmapout_release(&v->gout);
    zepxmap_release(&v->content);
    zesend(v->c.parent, v->c.parentowner, ZEREQ_UNREGISTER, (zearg)v);
    v->c.created = false;
    zeview_init(v);
}

// ----- the window's views -----

static bool hook_create(zeWindow *w, zeWindowView *slot, const char *options) {
    zeView *v = new zeView;
    bool main = slot == &w->views[w->mainview];
    // "ownpxmap": the main view keeps content of its own even at the window's size.
    bool direct = main && !zecfgstr_find_flag(options, "ownpxmap");
    if (!zeview_create_in(v, zewindow_handler, w, zewindow_pixmap(w), direct, "%s", options)) {
        delete v;
        return false;
    }
    slot->handler = zeview_handler, slot->view = v;
    if (main) zeview_make_standard(v);
    return true;
}

static void hook_destroy(zeWindowView *slot) {
    if (slot->handler != zeview_handler) return;
    delete (zeView *)slot->view;
    *slot = zeWindowView{};
}

static void hook_draw(zeWindowView *slot) {
    if (slot->handler == zeview_handler) zeview_refresh((zeView *)slot->view);
}

zeView *zeview_of_window(zeWindow *w) {
    if (!w || !w->open) return nullptr;
    zeWindowView &s = w->views[w->mainview];
    return s.handler == zeview_handler ? (zeView *)s.view : nullptr;
}

static void hook_set_callback(zeWindowView *slot, zeHandler callback, void *user) {
    if (slot->handler == zeview_handler) zeview_handler(slot->view, 8030, (zearg)callback, (zearg)user, 0, 0, 0, 0, 0, 0);
}

static const zeWindowViewHooks kHooks = {hook_create, hook_destroy, hook_draw, standard_add, standard_remove,
                                         hook_set_callback};

void zeview_install(void) {
    zewindow_set_view_hooks(&kHooks);
    zeevent_set_layout_hook(initial_layout);
    zedialog_install_banner();
}

// Loading this module is enough for windows to get their views.
static struct Installer {
    Installer() { zeview_install(); }
} g_installer;

// ----- the view as a graphic output -----

static zearg output(zeView *v, int cmd, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    if (!v->px) return 0;
    switch (cmd) {
    case ZEGOUT_SELF: return (zearg)v;
    case ZEGOUT_WIDTH: return zeview_output_width(v);
    case ZEGOUT_HEIGHT: return zeview_output_height(v);
    case ZEGOUT_FLUSH: zeview_refresh(v); return 0;
    case ZEGOUT_SAVE: zeview_send_children(v, ZEMSG_DRAWCONTENT); break;
    }
    v->gout.font = v->c.font;
    zearg r = zepxmapout_handler(&v->gout, cmd, a1, a2, a3, a4, a5, a6, a7, a8);
    v->c.font = v->gout.font;
    if (zewindow_draws(cmd) && v->autorefresh && v->c.visible) zeview_schedule(v);
    return r;
}

// ----- the handler -----

zearg zeview_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                     zearg a8) {
    zeView *v = (zeView *)owner;
    if (!v) return 0;
    if (msg >= 1001 && msg <= 1050) return output(v, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (msg >= ZESB_UP && msg <= ZESB_HPOS) {
        zeview_command(v, msg, (int)a1);
        return 0;
    }
    if (msg == 8030) {   // the window's event callback
        v->callback = (zeHandler)a1, v->callbackuser = (void *)a2;
        return 0;
    }
    if (msg >= 8001 && msg <= 8099) return zeview_request(v, msg, a1, a2, a3, a4, a5, a6, a7);
    return zeview_message(v, msg, a1, a2, a3, a4);
}
