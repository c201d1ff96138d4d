// The common control operations.
#include "zecontrol.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zemetrics.h"
#include "zepxmap.h"
#include "zeview.h"
#include <cstdio>
#include <cstring>

static int g_default_font = ZEFONT_DEFAULT;
void zecontrol_set_default_font(int font) { g_default_font = font; }
int zecontrol_default_font(void) { return g_default_font; }

void zecontrol_init(zeControl *c, const zeControlKind *kind) {
    for (int &id : c->ids) id = zeevent_newid();
    c->font = g_default_font;
    zescheme_copy(c->colors);
    c->border = 0;
    c->bgcolor = c->colors[ZECOL_GREY];
    c->transcolor = -1;
    c->textcolor = c->colors[ZECOL_TEXT];
    c->eventhook = nullptr, c->eventhookuser = nullptr, c->changehook = nullptr;
    c->parent = nullptr, c->parentowner = nullptr, c->handle = -1;
    c->lastargs[0] = c->lastargs[1] = c->lastargs[2] = 0;
    c->redraw = true, c->visible = true;
    c->hover = c->grey = c->created = c->focus = c->nofocus = false;
    c->textcolorgiven = false;
    zecfgstr_geometry_reset(&c->geometry, 0, 0);
    c->x = c->y = c->w = c->h = 0;
    c->target = nullptr;
    c->kind = kind;
    c->text[0] = 0;
}

zearg zecontrol_request(zeControl *c, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                        zearg a7) {
    if (!c->parent) return 0;
    return c->parent(c->parentowner, msg, a1, a2, a3, a4, a5, a6, a7, 0);
}

zearg zecontrol_send(zeControl *c, int msg, zearg a1, zearg a2, zearg a3, zearg a4) {
    return zecontrol_handler(c, msg, a1, a2, a3, a4, 0, 0, 0, 0);
}

static void resolve(zeControl *c) {
    zeGeometry *g = &c->geometry;
    if (c->kind && c->kind->natural && (g->xs == 0 || g->ys == 0)) {
        int w = 0, h = 0;
        c->kind->natural(c, &w, &h);
        zecfgstr_geometry_natural(g, w, h);
    }
    zecfgstr_geometry_resolve(g);
    c->x = g->rx, c->y = g->ry, c->w = g->rxs, c->h = g->rys;
}

bool zecontrol_vcreate(zeControl *c, const char *fmt, va_list ap) {
    if (c->created) zecontrol_release(c);
    zeView *v = zeview_standard();
    if (!v) {
        printf("zecontrol_create: no view for \"%s\"\n", fmt ? fmt : "");
        return false;
    }
    c->parent = zeview_handler, c->parentowner = v;
    c->target = zeview_pixmap(v);
    c->transcolor = v->c.bgcolor;
    zescheme_copy(c->colors);
    c->bgcolor = c->colors[ZECOL_GREY];
    c->textcolor = c->colors[ZECOL_TEXT];

    char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_vparse(buf, fmt ? fmt : "", ap);
    snprintf(c->text, sizeof c->text, "%s", e[0] ? e[0] : "");
    zecfgstr_geometry_reset(&c->geometry, zeview_output_width(v), zeview_output_height(v));
    zeCommonAttr a = {};
    a.border = c->border, a.fontid = c->font, a.bgcolor = c->bgcolor;
    a.textcolor = c->textcolor, a.transcolor = c->transcolor;
    zecfgstr_common(e, 1, &c->geometry, &a);
    c->border = a.border, c->font = a.fontid, c->nofocus = a.nofocus, c->grey = a.grey;
    c->bgcolor = a.bgcolor, c->textcolor = a.textcolor, c->transcolor = a.transcolor;
    c->textcolorgiven = a.textcolorgiven;
    if (c->kind && c->kind->parse) c->kind->parse(c, e);

    c->created = true;
    resolve(c);
    int flags = ZECHILD_MOUSE | (c->nofocus ? 0 : ZECHILD_FOCUS) | (c->kind ? c->kind->regflags : 0);
    c->handle = zecontrol_request(c, ZEREQ_REGISTER, (zearg)zecontrol_handler, (zearg)c, c->x, c->y, c->w, c->h,
                                  flags);
    zecontrol_redraw(c);
    return true;
}

bool zecontrol_create(zeControl *c, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecontrol_vcreate(c, fmt, ap);
    va_end(ap);
    return ok;
}

void zecontrol_release(zeControl *c) {
    if (!c->created) return;
    if (c->kind && c->kind->release) c->kind->release(c);
    zecontrol_request(c, ZEREQ_UNREGISTER, (zearg)c);
    zecontrol_init(c, c->kind);
}

zearg zecontrol_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                        zearg a7, zearg a8) {
    zeControl *c = (zeControl *)owner;
    if (!c) return 0;
    if (c->kind && c->kind->handle) return c->kind->handle(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- drawing -----

static void draw(zeControl *c) {
    if (c->kind && c->kind->draw && c->target) c->kind->draw(c);
}

// The rectangle grown by 2 in 64 bits: a control may reach the ends of the
// int range (huge sizes in an option string).
static int grown(long long v) { return v > 2147483647LL ? 2147483647 : v < -2147483647LL ? -2147483647 : (int)v; }

void zecontrol_refresh(zeControl *c) {
    if (!c->created) return;
    zecontrol_request(c, ZEREQ_REFRESH, grown(c->x - 2LL), grown(c->y - 2LL), grown(c->w + 4LL), grown(c->h + 4LL));
}

void zecontrol_redraw(zeControl *c) {
    if (!c->created || !c->visible || !c->redraw) return;
    draw(c);
    zecontrol_refresh(c);
}

bool zecontrol_contains(const zeControl *c, int px, int py) {
    return c->x <= px && px < c->x + c->w && c->y <= py && py < c->y + c->h;
}

void zecontrol_capture(zeControl *c, bool capture) {
    if (c->created) zecontrol_request(c, capture ? ZEREQ_CAPTURE : ZEREQ_RELEASE, c->handle);
}

void zecontrol_cursor(const char *name) { zecursor_set(name); }

int zecontrol_color(const zeControl *c, int index) {
    return index < 0 || index >= ZECOL_COUNT ? -1 : c->colors[index];
}

void zecontrol_layout(zeControl *c, int parentw, int parenth) {
    c->geometry.parentxs = parentw, c->geometry.parentys = parenth;
    resolve(c);
    if (c->created) zecontrol_request(c, ZEREQ_MOVE, c->handle, c->x, c->y, c->w, c->h);
}

// ----- grey, show, hide -----

bool zecontrol_set_grey(zeControl *c) {
    bool was = c->grey;
    c->grey = true;
    zecontrol_redraw(c);
    return was;
}

bool zecontrol_clear_grey(zeControl *c) {
    bool was = c->grey;
    c->grey = false;
    zecontrol_redraw(c);
    return was;
}

void zecontrol_hide(zeControl *c) {
    if (!c->visible) return;
    zecontrol_send(c, ZEMSG_LEAVE);
    if (c->focus) {
        c->focus = false;
        zecontrol_redraw(c);
    }
    c->visible = false;
    // The notice comes last so that what it erases is not drawn again.
    zecontrol_send(c, ZEMSG_HIDDEN);
}

void zecontrol_show(zeControl *c) {
    if (c->visible) return;
    c->visible = true;
    zecontrol_send(c, ZEMSG_SHOWN);
    zecontrol_redraw(c);
}

// A hidden control leaves the container's background behind.
static void erase(zeControl *c) {
    if (!c->created || !c->target) return;
    int bg = c->transcolor >= 0 ? c->transcolor : zecontrol_request(c, ZEREQ_BGCOLOR);
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, bg);
    zecontrol_refresh(c);
}

// ----- focus -----

// A hidden control takes no focus: keys would go to something not shown.
bool zecontrol_ask_focus(zeControl *c) {
    if (!c->created || c->nofocus || !c->visible) return false;
    if (c->focus) return true;
    bool granted = zecontrol_request(c, ZEREQ_FOCUS, c->handle) != 0;
    if (granted) c->focus = true;
    return granted;
}

static zearg take_focus(zeControl *c) {
    if (c->nofocus || !c->created || !c->visible) return 0;
    bool had = c->focus;
    c->focus = true;
    zecontrol_request(c, ZEREQ_SHOWME, c->handle);
    if (!had) zecontrol_redraw(c);
    return 1;
}

static void lose_focus(zeControl *c) {
    if (!c->focus) return;
    c->focus = false;
    zecontrol_redraw(c);
}

// ----- events -----

void zecontrol_post(zeControl *c, int id, int a1, int a2, int a3) {
    c->lastargs[0] = a1, c->lastargs[1] = a2, c->lastargs[2] = a3;
    if (c->eventhook) c->eventhook(c->eventhookuser, id, a1, a2, a3);
    else zeevent_post(id);
    if (c->changehook && id == c->ids[0]) c->changehook(c);
}

void zecontrol_set_eventhook(zeControl *c, zeEventHook hook, void *user) {
    c->eventhook = hook, c->eventhookuser = user;
}

void zecontrol_set_changehook(zeControl *c, zeChangeHook hook) { c->changehook = hook; }

zearg zecontrol_default(zeControl *c, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    switch (msg) {
    case ZEMSG_RELEASE: zecontrol_release(c); return 0;
    case ZEMSG_SIZE:
        if (a1 > 0 && a2 > 0) {
            zecontrol_layout(c, (int)a1, (int)a2);
            zecontrol_redraw(c);
        }
        return 0;
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
        if (!c->grey) zecontrol_ask_focus(c);
        return 0;
    case ZEMSG_FOCUS: return take_focus(c);
    case ZEMSG_UNFOCUS: lose_focus(c); return 0;
    case ZEMSG_ENTER: c->hover = true; return 0;
    case ZEMSG_LEAVE: c->hover = false; return 0;
    case ZEMSG_REDRAW: zecontrol_redraw(c); return 0;
    case ZEMSG_DRAWCONTENT:
        if (c->created && c->visible) draw(c);
        return 0;
    case ZEMSG_SHOW: zecontrol_show(c); return 0;
    case ZEMSG_HIDE: zecontrol_hide(c); return 0;
    case ZEMSG_HIDDEN: erase(c); return 0;
    }
    return 0;
}
