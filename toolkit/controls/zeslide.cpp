// The slider. All arithmetic runs along the track: for a horizontal slider
// that is x from the left edge, for a vertical one y from the bottom edge,
// so both orientations share the rules and differ only in drawing.
#include "zeslide.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecontrol_bounds.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zepxmap_draw.h"
#include <cmath>
#include <cstdio>

static void slide_parse(zeControl *c, char **e);
static void slide_natural(zeControl *c, int *w, int *h);
static void slide_draw(zeControl *c);
static zearg slide_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                          zearg a7, zearg a8);

// Mouse, focus and hover. Not the handles-Tab bit: the slider has no use for
// Tab, and claiming it would trap the keyboard focus on the slider.
static const zeControlKind kSlide = {"slide", ZECHILD_HOVER, slide_parse, slide_natural, slide_draw,
                                     slide_handle, nullptr};

zeSlide::zeSlide() { zeslide_init(this); }
zeSlide::~zeSlide() { zeslide_release(this); }

void zeslide_init(zeSlide *s) {
    zecontrol_init(&s->c, &kSlide);
    s->value = 0, s->knobw = ZESLIDE_KNOB, s->knobpos = 0;
    s->dragging = false, s->lastd = 0;
    s->showpos = false, s->start = 0, s->vertical = false;
}

static double clamp100(double v) {
    if (!(v >= 0)) return 0;   // NaN too
    return v > 100 ? 100 : v;
}

static int length(const zeSlide *s) { return s->vertical ? s->c.h : s->c.w; }

int zeslide_track(const zeSlide *s) {
    int t = length(s) - s->knobw - 4;
    return t > 0 ? t : 0;
}

static void place_knob(zeSlide *s) { s->knobpos = (int)(zeslide_track(s) * s->value / 100); }

static void slide_parse(zeControl *c, char **e) {
    zeSlide *s = (zeSlide *)c;
    zeSliderAttr a = {};
    zecfgstr_sliderattr(e, 1, &a);
    s->showpos = a.showpos;
    s->start = a.hasstart ? clamp100(a.start) : 0;
    s->value = s->start;
    zecfgstr_flag(e, 1, "vertical", &s->vertical);
}

static void slide_natural(zeControl *c, int *w, int *h) {
    zeSlide *s = (zeSlide *)c;
    // A width of 0 stays 0 for a horizontal slider: the geometry then takes
    // what was given or the container's rule.
    if (s->vertical) *w = ZESLIDE_HEIGHT, *h = 100;
    else *w = 100, *h = ZESLIDE_HEIGHT;
}

bool zeslide_create(zeSlide *s, const char *fmt, ...) {
    if (s->c.kind != &kSlide) zeslide_init(s);
    va_list ap;
    va_start(ap, fmt);
    s->c.redraw = false;   // draw once, with the knob in place
    bool ok = zecontrol_vcreate(&s->c, fmt, ap);
    va_end(ap);
    s->c.redraw = true;
    if (!ok) return false;
    place_knob(s);
    zecontrol_redraw(&s->c);
    return true;
}

void zeslide_release(zeSlide *s) {
    if (!s->c.created) return;
    if (s->dragging) zecontrol_capture(&s->c, false);
    zecontrol_release(&s->c);
    s->value = 0, s->knobpos = 0, s->dragging = false, s->lastd = 0;
    s->showpos = false, s->start = 0, s->vertical = false;
}

void zeslide_set_value(zeSlide *s, int value) {
    s->value = clamp100(value);
    place_knob(s);
    zecontrol_redraw(&s->c);
}

void zeslide_set_value_text(zeSlide *s, const char *text) { zeslide_set_value(s, zecfgstr_int(text ? text : "")); }

double zeslide_value(const zeSlide *s) { return s->value; }

// ----- drawing -----

static const int kGroove = 0x959595, kPosText = 0x808080;

static int posfont(void) {
    int f = zefont_find("builtin 5x7");
    return f > 0 ? f : zefont_load_builtin("builtin 5x7");
}

// The knob and its groove mark, at pos along the track.
static void draw_knob(zeSlide *s, zePixmap *p, int pos, int knob) {
    zeControl *c = &s->c;
    int dark = c->colors[ZECOL_DARK], black = c->colors[ZECOL_BLACK], vl = c->colors[ZECOL_VERYLIGHT];
    int white = c->colors[ZECOL_WHITE];
    int m = s->knobw / 2 + pos + 1;
    if (!s->vertical) {
        zepxmap_fillrect(p, c->x + pos + 4, c->y + 4, s->knobw - 3, c->h - 6, knob);
        zeframe_draw(p, ZEFRAME_BUTTON, false, c->x + pos + 2, c->y + 2, s->knobw, c->h - 4, knob, dark, black, vl);
        zepxmap_line(p, c->x + m, c->y + 4, c->x + m, c->y + c->h - 6, kGroove);
        zepxmap_line(p, c->x + m + 1, c->y + 4, c->x + m + 1, c->y + c->h - 6, white);
        return;
    }
    // Upright: the knob's top edge is pos + knob length above the inner bottom.
    int top = c->y + c->h - 2 - pos - s->knobw;
    int gy = c->y + c->h - 1 - m;
    zepxmap_fillrect(p, c->x + 4, top + 2, c->w - 6, s->knobw - 3, knob);
    zeframe_draw(p, ZEFRAME_BUTTON, false, c->x + 2, top, c->w - 4, s->knobw, knob, dark, black, vl);
    zepxmap_line(p, c->x + 4, gy, c->x + c->w - 6, gy, kGroove);
    zepxmap_line(p, c->x + 4, gy + 1, c->x + c->w - 6, gy + 1, white);
}

static void draw_pos(zeSlide *s, zePixmap *p) {
    zeControl *c = &s->c;
    char text[16];
    snprintf(text, sizeof text, "%d%%", (int)lround(s->value));
    int tx, ty;
    if (!s->vertical) {
        tx = s->value >= 25 ? c->x + 4 : c->x + c->w - 16;
        ty = c->y + c->h / 2 - 3;
    } else {
        // Printed where the knob is not: low values near the top.
        tx = c->x + c->w / 2 - 7;
        ty = s->value >= 25 ? c->y + c->h - 12 : c->y + 5;
    }
    zefont_draw_text(p, posfont(), tx, ty, kPosText, c->grey, false, -1, 50, -1, text);
}

static void slide_draw(zeControl *c) {
    zeSlide *s = (zeSlide *)c;
    zePixmap *p = c->target;
    if (!zecontrol_drawable(c)) return;
    int light = c->colors[ZECOL_LIGHT], dark = c->colors[ZECOL_DARK], black = c->colors[ZECOL_BLACK];
    int grey = c->colors[ZECOL_GREY], vl = c->colors[ZECOL_VERYLIGHT];
    if (c->focus) zeframe_draw(p, ZEFRAME_SIMPLE, true, c->x, c->y, c->w, c->h);
    else zeframe_draw(p, ZEFRAME_BUTTON, true, c->x, c->y, c->w, c->h, light, dark, black, vl);
    zepxmap_fillrect(p, c->x + 2, c->y + 2, c->w - 3, c->h - 3, grey);
    if (s->showpos) draw_pos(s, p);
    draw_knob(s, p, s->knobpos, s->dragging ? light : grey);
}

// ----- input -----

// Distance of a pointer position from the start of the track, kept within
// a range where sums cannot overflow.
static int along(const zeSlide *s, int px, int py) {
    long long d = s->vertical ? (long long)s->c.y + s->c.h - 1 - py : (long long)px - s->c.x;
    const long long lim = 1 << 30;
    return (int)(d < -lim ? -lim : d > lim ? lim : d);
}

static void post(zeSlide *s) { zecontrol_post(&s->c, s->c.ids[0], (int)lround(s->value)); }

static void step(zeSlide *s, double delta) {
    s->value = clamp100(s->value + delta);
    place_knob(s);
    zecontrol_redraw(&s->c);
    post(s);
}

static void set_end(zeSlide *s, double v) { step(s, v - s->value); }

static void press(zeSlide *s, int px, int py) {
    zeControl *c = &s->c;
    zecontrol_ask_focus(c);
    int d = along(s, px, py);
    if (d < s->knobpos) return step(s, -ZESLIDE_STEP);
    if (d > (long long)s->knobpos + s->knobw) return step(s, ZESLIDE_STEP);
    s->dragging = true;
    s->lastd = d;
    zecontrol_capture(c, true);
    zecontrol_redraw(c);
}

static void drag(zeSlide *s, int px, int py) {
    int d = along(s, px, py);
    int track = zeslide_track(s);
    // 64 bits: a pointer far outside must not overflow the sum.
    long long pos = (long long)s->knobpos + d - s->lastd;
    if (pos < 0) pos = 0;
    if (pos > track) pos = track;
    s->knobpos = (int)pos;
    // A slider too short for its knob has no track: the value stays.
    if (track > 0) s->value = clamp100(s->knobpos * 100.0 / track);
    s->lastd = d;
    zecontrol_redraw(&s->c);
    post(s);
}

static void end_drag(zeSlide *s) {
    s->dragging = false;
    zecontrol_capture(&s->c, false);
    zecontrol_redraw(&s->c);
    post(s);
}

static bool key(zeSlide *s, int code) {
    switch (code) {
    case ZEKEY_RIGHT:
    case ZEKEY_UP: step(s, ZESLIDE_STEP); return true;
    case ZEKEY_LEFT:
    case ZEKEY_DOWN: step(s, -ZESLIDE_STEP); return true;
    case ZEKEY_END: set_end(s, 100); return true;
    case ZEKEY_HOME: set_end(s, 0); return true;
    }
    return false;
}

static zearg slide_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                          zearg a7, zearg a8) {
    zeSlide *s = (zeSlide *)owner;
    zeControl *c = &s->c;
    bool input = msg == ZEMSG_LDOWN || msg == ZEMSG_LDOUBLE || msg == ZEMSG_MOTION || msg == ZEMSG_LUP ||
                 msg == ZEMSG_WHEELUP || msg == ZEMSG_WHEELDOWN || msg == ZEMSG_KEYDOWN;
    if (input && (c->grey || !c->visible)) return 0;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:   // a quick second press on the track steps again
        press(s, (int)a1, (int)a2);
        return 0;
    case ZEMSG_MOTION:
        if (s->dragging) drag(s, (int)a1, (int)a2);
        return 0;
    case ZEMSG_LUP:
        if (s->dragging) end_drag(s);
        return 0;
    case ZEMSG_LEAVE:
        if (s->dragging) end_drag(s);
        return zecontrol_default(c, msg);
    case ZEMSG_WHEELUP: step(s, ZESLIDE_STEP); return 0;
    case ZEMSG_WHEELDOWN: step(s, -ZESLIDE_STEP); return 0;
    case ZEMSG_KEYDOWN: key(s, (int)a1); return 0;
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        place_knob(s);
        zecontrol_redraw(c);
        return r;
    }
    case ZEMSG_RELEASE: zeslide_release(s); return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
