// The tab bar.
#include "zetabbar.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecontrol_bounds.h"
#include "zefont.h"
#include "zepxmap.h"
#include "zepxmap_draw.h"
#include <cstdio>
#include <cstring>

static void tabbar_parse(zeControl *c, char **e);
static void tabbar_natural(zeControl *c, int *w, int *h);
static void tabbar_draw(zeControl *c);
static zearg tabbar_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                           zearg a7, zearg a8);

static const zeControlKind kTabBar = {"tabbar", ZECHILD_HOVER, tabbar_parse, tabbar_natural, tabbar_draw,
                                      tabbar_handle, nullptr};

zeTabBar::zeTabBar() { zetabbar_init(this); }
zeTabBar::~zeTabBar() { zetabbar_destroy(this); }

void zetabbar_init(zeTabBar *bar) {
    zecontrol_init(&bar->c, &kTabBar);
    memset(bar->tabs, 0, sizeof bar->tabs);
    bar->count = 0;
    bar->style = ZETABBAR_COLORED;
    bar->autonumber = 0;
}

// Offsets from the left: the coloured style leaves one pixel for the outline,
// and 2 pixels separate neighbours.
static void layout(zeTabBar *bar) {
    int off = bar->style == ZETABBAR_GREY ? 0 : 1;
    for (int i = 0; i < bar->count; i++) {
        zeTab *t = &bar->tabs[i];
        t->left = off;
        t->right = off + t->width - 1;
        off += t->width + 2;
    }
}

static void add_tab(zeTabBar *bar, const char *name) {
    if (bar->count >= ZETABBAR_TABS) return;
    zeTab *t = &bar->tabs[bar->count++];
    if (bar->autonumber) {
        snprintf(t->name, sizeof t->name, "%.*s [%d]", ZETABBAR_NAMEMAX, name, bar->autonumber);
        // Keep the number when the name is long: it tells the tabs apart.
        char suffix[24];
        int n = snprintf(suffix, sizeof suffix, " [%d]", bar->autonumber);
        int room = ZETABBAR_NAMEMAX - n;
        if ((int)strlen(name) > room) snprintf(t->name, sizeof t->name, "%.*s%s", room, name, suffix);
        bar->autonumber = bar->autonumber == 2147483647 ? 1 : bar->autonumber + 1;
    } else {
        snprintf(t->name, sizeof t->name, "%s", name);
    }
    int w = zefont_text_width(bar->c.font, t->name) + 10;
    t->width = w < ZETABBAR_MINWIDTH ? ZETABBAR_MINWIDTH : w;
    t->textcolor = bar->c.textcolor;
    t->owncolor = -1;
    t->selected = false;
}

static void tabbar_parse(zeControl *c, char **e) {
    zeTabBar *bar = (zeTabBar *)c;
    zeTabAttr a = {ZETABBAR_COLORED, 0};
    zecfgstr_tabattr(e, 1, &a);
    bar->style = a.style == ZETABBAR_GREY ? ZETABBAR_GREY : ZETABBAR_COLORED;
    bar->autonumber = a.autonumber;
    char **names = nullptr;
    int n = zecfgstr_list(e, 1, ZECFG_LIST_TABS, &names);
    if (n > ZETABBAR_TABS) printf("zetabbar_create: %d tabs, only the first %d kept\n", n, ZETABBAR_TABS);
    for (int i = 0; i < n && names[i]; i++) add_tab(bar, names[i]);
    zecfgstr_split_release(names);
    layout(bar);
    if (bar->count) bar->tabs[0].selected = true;
}

static void tabbar_natural(zeControl *c, int *w, int *h) {
    zeTabBar *bar = (zeTabBar *)c;
    long long sum = 20;
    for (int i = 0; i < bar->count; i++) sum += bar->tabs[i].width;
    *w = sum > ZECONTROL_COORDMAX ? ZECONTROL_COORDMAX : (int)sum;
    *h = zefont_height(c->font) + 8;
}

bool zetabbar_create(zeTabBar *bar, const char *fmt, ...) {
    if (bar->c.kind != &kTabBar) zetabbar_init(bar);
    zetabbar_destroy(bar);
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecontrol_vcreate(&bar->c, fmt, ap);
    va_end(ap);
    return ok;
}

void zetabbar_destroy(zeTabBar *bar) {
    if (!bar->c.created) return;
    zecontrol_release(&bar->c);
    memset(bar->tabs, 0, sizeof bar->tabs);
    bar->count = 0, bar->style = ZETABBAR_COLORED, bar->autonumber = 0;
}

void zetabbar_select(zeTabBar *bar, int index) {
    if (index >= bar->count) index = bar->count - 1;
    for (int i = 0; i < bar->count; i++) bar->tabs[i].selected = i == index;
    zecontrol_redraw(&bar->c);
}

int zetabbar_selected(const zeTabBar *bar) {
    for (int i = 0; i < bar->count; i++)
        if (bar->tabs[i].selected) return i;
    return -1;
}

bool zetabbar_set_color(zeTabBar *bar, int index, int color) {
    if (index < 0 || index >= bar->count) return false;
    bar->tabs[index].owncolor = color;
    zecontrol_redraw(&bar->c);
    return true;
}

int zetabbar_hit(const zeTabBar *bar, int x) {
    for (int i = 0; i < bar->count; i++)
        if (bar->tabs[i].left < x && x < bar->tabs[i].right) return i;
    return -1;
}

// ----- drawing -----

static int clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
static int rgb(int r, int g, int b) { return clamp255(r) << 16 | clamp255(g) << 8 | clamp255(b); }

// A vertical gradient over rows [from, to) of the columns x .. x + w - 1: the
// upper half (rows below mid) steps down from the start colour, then the
// colour drops by 8 and the lower half steps up again, capped at 255.
struct Gradient {
    int r, g, b;        // start
    int dr, dg, db;     // step per row in the upper half
    int up;             // step per row in the lower half
};

static void gradient(zePixmap *p, int x, int w, int y, int from, int to, int mid, Gradient gr) {
    int r = gr.r, g = gr.g, b = gr.b;
    int last = p->height - y;   // rows beyond the pixmap are not walked
    if (to > last) to = last;
    for (int row = from; row < to; row++) {
        if (row == mid) r -= 8, g -= 8, b -= 8;
        zepxmap_fillrect(p, x, y + row, w, 1, rgb(r, g, b));
        if (row < mid) r -= gr.dr, g -= gr.dg, b -= gr.db;
        else r = clamp255(r + gr.up), g = clamp255(g + gr.up), b = clamp255(b + gr.up);
    }
}

static int transparent(zeControl *c) {
    return c->transcolor >= 0 ? c->transcolor : (int)zecontrol_request(c, ZEREQ_BGCOLOR);
}

// A tab may run past the bar's right edge (more tabs than fit): what lies
// beyond is not drawn.
static int visible_width(const zeTabBar *bar, const zeTab *t) {
    int w = bar->c.w - t->left;
    return w < t->width ? w : t->width;
}

static void draw_name(zeTabBar *bar, const zeTab *t, int color) {
    zeControl *c = &bar->c;
    int room = t->width - 4;
    int tw = zefont_text_width(c->font, t->name);
    int tx = tw > room ? c->x + t->left + 2 : c->x + t->left + (t->width - tw) / 2;
    int end = c->x + t->left + visible_width(bar, t) - 2;   // the bar's edge cuts it too
    if (end - tx < room) room = end - tx;
    if (room <= 0) return;
    zefont_draw_text(c->target, c->font, tx, c->y + 4, color, c->grey, false, -1, room, -1, t->name);
}

static void draw_colored_tab(zeTabBar *bar, const zeTab *t, int n, int trans) {
    zeControl *c = &bar->c;
    zePixmap *p = c->target;
    int x = c->x, y = c->y, h = c->h, l = x + t->left, r = x + t->right;
    int vw = visible_width(bar, t);
    bool whole = vw == t->width;
    Gradient gr = t->selected ? Gradient{227, 236, 249, 80 / n, 50 / n, 0, 30 / n}
                              : Gradient{255, 255, 255, 30 / n, 30 / n, 30 / n, 30 / n};
    gradient(p, l, vw, y, 0, h, n, gr);
    int line = t->selected ? 0x0023b1 : 0x000000;
    zepxmap_line(p, l + 3, y, whole ? r - 3 : l + vw - 1, y, line);
    zepxmap_line(p, l, y + 3, l, y + h - 1, line);
    if (whole) zepxmap_line(p, r, y + 3, r, y + h - 1, line);
    const int corner[][2] = {{1, 2}, {2, 1}};
    const int clear[][2] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2}};
    for (auto &k : corner) {
        zepxmap_setpixel(p, l + k[0], y + k[1], line);
        if (whole) zepxmap_setpixel(p, r - k[0], y + k[1], line);
    }
    for (auto &k : clear) {
        zepxmap_setpixel(p, l + k[0], y + k[1], trans);
        if (whole) zepxmap_setpixel(p, r - k[0], y + k[1], trans);
    }
    draw_name(bar, t, 0x000000);
}

static void draw_grey_tab(zeTabBar *bar, const zeTab *t, int n) {
    zeControl *c = &bar->c;
    zePixmap *p = c->target;
    int x = c->x, y = c->y, h = c->h, r = x + t->right;
    int vw = visible_width(bar, t);
    if (t->selected) {
        gradient(p, x + t->left, vw, y, 1, h - 1, n, {216, 216, 216, 100 / n, 100 / n, 100 / n, 100 / n});
    } else if (t->owncolor >= 0) {
        int oc = t->owncolor;
        gradient(p, x + t->left, vw, y, 1, h - 1, n,
                 {oc >> 16 & 255, oc >> 8 & 255, oc & 255, 10 / n, 10 / n, 10 / n, 10 / n});
    }
    if (vw == t->width) {
        zepxmap_line(p, r, y + 2, r, y + h - 2, 0xc0c0c0);
        zepxmap_setpixel(p, r, y + 1, 0xffffff);
        if (t->right + 1 < c->w) {
            zepxmap_line(p, r + 1, y + 2, r + 1, y + h - 2, 0xffffff);
            zepxmap_setpixel(p, r + 1, y + 1, 0xffffff);
        }
    }
    draw_name(bar, t, t->selected ? 0xffffff : t->textcolor);
}

static void tabbar_draw(zeControl *c) {
    zeTabBar *bar = (zeTabBar *)c;
    if (!zecontrol_drawable(c)) return;
    zePixmap *p = c->target;
    int trans = transparent(c);
    int n = c->h / 2 > 0 ? c->h / 2 : 1;   // a bar 1 pixel high has no halves
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, trans);
    layout(bar);
    if (bar->style == ZETABBAR_GREY) {
        zepxmap_line(p, c->x, c->y, c->x + c->w - 1, c->y, 0xc0c0c0);
        zepxmap_line(p, c->x, c->y + c->h - 1, c->x + c->w - 1, c->y + c->h - 1, 0xc0c0c0);
        gradient(p, c->x, c->w, c->y, 1, c->h - 1, n, {255, 255, 255, 30 / n, 30 / n, 30 / n, 30 / n});
    }
    for (int i = 0; i < bar->count; i++) {
        const zeTab *t = &bar->tabs[i];
        if (t->left >= c->w) break;   // the rest lies beyond the bar
        if (bar->style == ZETABBAR_GREY) draw_grey_tab(bar, t, n);
        else draw_colored_tab(bar, t, n, trans);
    }
}

// ----- input -----

static void press(zeTabBar *bar, int px) {
    zeControl *c = &bar->c;
    zecontrol_ask_focus(c);
    long long x = (long long)px - c->x;
    int i = x < 0 || x > ZECONTROL_COORDMAX ? -1 : zetabbar_hit(bar, (int)x);
    if (i < 0 || bar->tabs[i].selected) return;
    for (int k = 0; k < bar->count; k++) bar->tabs[k].selected = k == i;
    zecontrol_redraw(c);
    zecontrol_post(c, c->ids[0], i);
}

static zearg tabbar_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                           zearg a7, zearg a8) {
    zeTabBar *bar = (zeTabBar *)owner;
    zeControl *c = &bar->c;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
        if (!c->grey && c->visible) press(bar, (int)a1);
        return 0;
    case ZEMSG_RELEASE: zetabbar_destroy(bar); return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
