// The colour chooser's picking controls: the hue/saturation field, the
// brightness strip and the swatch grids.
#include "zecolorfield.h"
#include "zecfgstr.h"
#include "zecontrol_bounds.h"
#include "zeevent.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zepxmap_draw.h"
#include "zewindow.h"
#include <cmath>

static void field_parse(zeControl *c, char **e);
static void field_draw(zeControl *c);
static zearg field_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                          zearg a7, zearg a8);
static void swatches_draw(zeControl *c);
static zearg swatches_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                             zearg a7, zearg a8);

static const zeControlKind kField = {"colorfield", 0, field_parse, nullptr, field_draw, field_handle, nullptr};
static const zeControlKind kSwatches = {"colorswatches", 0, nullptr, nullptr, swatches_draw, swatches_handle,
                                        nullptr};

enum { FRAME = 2, CROSS = 7, CROSSGAP = 3, PAGE = 10 };

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// The two-pixel frame: sunken, or a black outline while focused.
static void draw_frame(zeControl *c, zePixmap *p, int x, int y, int w, int h) {
    if (!c->focus) return zeframe_draw(p, ZEFRAME_DOUBLE, true, x, y, w, h);
    int black = c->colors[ZECOL_BLACK];
    zeframe_draw(p, ZEFRAME_OUTLINE, false, x, y, w, h, black);
    zeframe_draw(p, ZEFRAME_OUTLINE, false, x + 1, y + 1, w - 2, h - 2, black);
}

// ----- field and strip -----

zeColorField::zeColorField() { zecolorfield_init(this); }
zeColorField::~zeColorField() { zecolorfield_release(this); }

void zecolorfield_init(zeColorField *f) {
    zecontrol_init(&f->c, &kField);
    f->strip = false, f->hsv = {0, 0, 0}, f->dragging = false;
}

static void field_parse(zeControl *c, char **e) {
    zeColorField *f = (zeColorField *)c;
    zecfgstr_flag(e, 1, "strip", &f->strip);
}

bool zecolorfield_create(zeColorField *f, const char *fmt, ...) {
    if (f->c.kind != &kField) zecolorfield_init(f);
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecontrol_vcreate(&f->c, fmt, ap);
    va_end(ap);
    return ok;
}

void zecolorfield_release(zeColorField *f) {
    if (!f->c.created) return;
    if (f->dragging) zecontrol_capture(&f->c, false);
    zecontrol_release(&f->c);
    f->strip = false, f->dragging = false;
}

void zecolorfield_set(zeColorField *f, zeHSV hsv) {
    f->hsv = zecolorchooser_clean_hsv(hsv);
    zecontrol_redraw(&f->c);
}

// The coloured area inside the frame.
static void area(const zeColorField *f, int *x, int *y, int *w, int *h) {
    const zeControl *c = &f->c;
    *x = c->x + FRAME, *y = c->y + FRAME;
    *w = c->w - 2 * FRAME - (f->strip ? ZECOLORFIELD_MARK : 0);
    *h = c->h - 2 * FRAME;
    if (*w < 1) *w = 1;
    if (*h < 2) *h = 2;
}

zeHSV zecolorfield_pick(const zeColorField *f, int x, int y) {
    int ax, ay, aw, ah;
    area(f, &ax, &ay, &aw, &ah);
    zeHSV r = f->hsv;
    double down = (double)clampi(y - ay, 0, ah - 1) / (ah - 1);
    if (f->strip) {
        r.v = 1 - down;
        return r;
    }
    r.h = clampi(x - ax, 0, aw - 1) * 360.0 / aw;
    r.s = 1 - down;
    return r;
}

// The marker's pixel in the area.
static void marker(const zeColorField *f, int *mx, int *my) {
    int ax, ay, aw, ah;
    area(f, &ax, &ay, &aw, &ah);
    double level = f->strip ? f->hsv.v : f->hsv.s;
    *mx = ax + clampi((int)lround(f->hsv.h * aw / 360), 0, aw - 1);
    *my = ay + clampi((int)lround((1 - level) * (ah - 1)), 0, ah - 1);
}

static void hline(zePixmap *p, int x1, int x2, int y, int lo, int hi, int c) {
    x1 = clampi(x1, lo, hi), x2 = clampi(x2, lo, hi);
    if (x1 < x2) zepxmap_line(p, x1, y, x2, y, c);
}

static void vline(zePixmap *p, int x, int y1, int y2, int lo, int hi, int c) {
    y1 = clampi(y1, lo, hi), y2 = clampi(y2, lo, hi);
    if (y1 < y2) zepxmap_line(p, x, y1, x, y2, c);
}

static void draw_field(zeColorField *f, zePixmap *p) {
    int ax, ay, aw, ah;
    area(f, &ax, &ay, &aw, &ah);
    for (int y = 0; y < ah; y++) {
        double s = 1 - (double)y / (ah - 1);
        for (int x = 0; x < aw; x++)
            zepxmap_setpixel(p, ax + x, ay + y, zecolorchooser_from_hsv({x * 360.0 / aw, s, 1}));
    }
    // A cross with a gap, so the picked colour itself stays visible.
    int mx, my, black = f->c.colors[ZECOL_BLACK];
    marker(f, &mx, &my);
    int right = ax + aw - 1, bottom = ay + ah - 1;
    for (int d = 0; d < 2; d++) {
        hline(p, mx - CROSS, mx - CROSSGAP, my + d, ax, right, black);
        hline(p, mx + CROSSGAP, mx + CROSS, my + d, ax, right, black);
        vline(p, mx + d, my - CROSS, my - CROSSGAP, ay, bottom, black);
        vline(p, mx + d, my + CROSSGAP, my + CROSS, ay, bottom, black);
    }
}

static void draw_strip(zeColorField *f, zePixmap *p) {
    int ax, ay, aw, ah;
    area(f, &ax, &ay, &aw, &ah);
    for (int y = 0; y < ah; y++)
        zepxmap_fillrect(p, ax, ay + y, aw, 1, zecolorchooser_from_hsv({f->hsv.h, f->hsv.s, 1 - (double)y / (ah - 1)}));
    // The pointer: a small triangle right of the colours, tip at the value.
    zeControl *c = &f->c;
    int mx, my, px = ax + aw + FRAME;
    marker(f, &mx, &my);
    zepxmap_fillrect(p, px, c->y, ZECOLORFIELD_MARK, c->h, c->colors[ZECOL_GREY]);
    for (int i = 0; i < ZECOLORFIELD_MARK - 2; i++)
        zepxmap_line(p, px + i, my - i / 2, px + i, my + i / 2, c->colors[ZECOL_TEXT]);
}

static void field_draw(zeControl *c) {
    zeColorField *f = (zeColorField *)c;
    if (!zecontrol_drawable(c)) return;
    zePixmap *p = c->target;
    int w = c->w - (f->strip ? ZECOLORFIELD_MARK : 0);
    draw_frame(c, p, c->x, c->y, w, c->h);
    if (f->strip) draw_strip(f, p);
    else draw_field(f, p);
}

// The pick travels with the event: the owner may set the control again
// before it reads the event.
static void post_pick(zeColorField *f) {
    zecontrol_post(&f->c, f->c.ids[0], (int)lround(f->hsv.h * ZECOLORFIELD_SCALE),
                   (int)lround(f->hsv.s * ZECOLORFIELD_SCALE), (int)lround(f->hsv.v * ZECOLORFIELD_SCALE));
}

zeHSV zecolorfield_posted(const zeColorField *f) {
    const int *a = f->c.lastargs;
    return {a[0] / (double)ZECOLORFIELD_SCALE, a[1] / (double)ZECOLORFIELD_SCALE, a[2] / (double)ZECOLORFIELD_SCALE};
}

static void pick(zeColorField *f, int x, int y) {
    zeHSV before = f->hsv;
    f->hsv = zecolorfield_pick(f, x, y);
    if (f->hsv.h == before.h && f->hsv.s == before.s && f->hsv.v == before.v) return;
    zecontrol_redraw(&f->c);
    post_pick(f);
}

static bool field_key(zeColorField *f, int code) {
    int mx, my;
    marker(f, &mx, &my);
    int dx = 0, dy = 0;
    switch (code) {
    case ZEKEY_LEFT: dx = -1; break;
    case ZEKEY_RIGHT: dx = 1; break;
    case ZEKEY_UP: dy = -1; break;
    case ZEKEY_DOWN: dy = 1; break;
    case ZEKEY_PAGEUP: dy = -PAGE; break;
    case ZEKEY_PAGEDOWN: dy = PAGE; break;
    default: return false;
    }
    if (f->strip && dx) return false;
    pick(f, mx + dx, my + dy);
    return true;
}

static void end_drag(zeColorField *f) {
    f->dragging = false;
    zecontrol_capture(&f->c, false);
}

static zearg field_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                          zearg a7, zearg a8) {
    zeColorField *f = (zeColorField *)owner;
    zeControl *c = &f->c;
    bool input = msg == ZEMSG_LDOWN || msg == ZEMSG_LDOUBLE || msg == ZEMSG_MOTION || msg == ZEMSG_KEYDOWN;
    if (input && (c->grey || !c->visible)) return 0;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
        zecontrol_ask_focus(c);
        f->dragging = true;
        zecontrol_capture(c, true);
        pick(f, (int)a1, (int)a2);
        return 0;
    case ZEMSG_MOTION:
        if (f->dragging) pick(f, (int)a1, (int)a2);
        return 0;
    case ZEMSG_LUP:
        if (f->dragging) end_drag(f);
        return 0;
    case ZEMSG_LEAVE:
        // Leaving the window with the button still held keeps the drag.
        if (f->dragging && !zewindow_leftdown()) end_drag(f);
        return zecontrol_default(c, msg);
    case ZEMSG_KEYDOWN: field_key(f, (int)a1); return 0;
    case ZEMSG_RELEASE: zecolorfield_release(f); return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- swatches -----

zeColorSwatches::zeColorSwatches() { zecolorswatches_init(this); }
zeColorSwatches::~zeColorSwatches() { zecolorswatches_release(this); }

void zecolorswatches_init(zeColorSwatches *s) {
    zecontrol_init(&s->c, &kSwatches);
    s->colors = nullptr, s->cols = s->rows = 0, s->selected = -1;
}

bool zecolorswatches_create(zeColorSwatches *s, const int32_t *colors, int cols, int rows, const char *fmt, ...) {
    if (s->c.kind != &kSwatches) zecolorswatches_init(s);
    if (!colors || cols < 1 || rows < 1) return false;
    s->colors = colors, s->cols = cols, s->rows = rows, s->selected = -1;
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecontrol_vcreate(&s->c, fmt, ap);
    va_end(ap);
    return ok;
}

void zecolorswatches_release(zeColorSwatches *s) {
    if (!s->c.created) return;
    zecontrol_release(&s->c);
    s->colors = nullptr, s->cols = s->rows = 0, s->selected = -1;
}

static int cellw(const zeColorSwatches *s) { return s->c.w / s->cols; }
static int cellh(const zeColorSwatches *s) { return s->c.h / s->rows; }

bool zecolorswatches_cell_rect(const zeColorSwatches *s, int index, int rect[4]) {
    if (index < 0 || index >= s->cols * s->rows) return false;
    rect[0] = s->c.x + index % s->cols * cellw(s), rect[1] = s->c.y + index / s->cols * cellh(s);
    rect[2] = cellw(s), rect[3] = cellh(s);
    return true;
}

int zecolorswatches_cell_at(const zeColorSwatches *s, int x, int y) {
    if (cellw(s) < 1 || cellh(s) < 1 || x < s->c.x || y < s->c.y) return -1;
    int col = (x - s->c.x) / cellw(s), row = (y - s->c.y) / cellh(s);
    return col < s->cols && row < s->rows ? row * s->cols + col : -1;
}

void zecolorswatches_select(zeColorSwatches *s, int index) {
    s->selected = index >= 0 && index < s->cols * s->rows ? index : -1;
    zecontrol_redraw(&s->c);
}

static void swatches_draw(zeControl *c) {
    zeColorSwatches *s = (zeColorSwatches *)c;
    if (!zecontrol_drawable(c) || !s->colors || cellw(s) < 6 || cellh(s) < 6) return;
    zePixmap *p = c->target;
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, c->colors[ZECOL_GREY]);
    for (int i = 0; i < s->cols * s->rows; i++) {
        int r[4];
        zecolorswatches_cell_rect(s, i, r);
        zeframe_draw(p, ZEFRAME_SIMPLE, true, r[0] + 2, r[1] + 2, r[2] - 4, r[3] - 4);
        zepxmap_fillrect(p, r[0] + 3, r[1] + 3, r[2] - 6, r[3] - 6, s->colors[i] & 0xFFFFFF);
        if (i == s->selected) {
            zeframe_draw(p, ZEFRAME_OUTLINE, false, r[0], r[1], r[2], r[3], c->colors[ZECOL_BLACK]);
            zeframe_draw(p, ZEFRAME_OUTLINE, false, r[0] + 1, r[1] + 1, r[2] - 2, r[3] - 2, c->colors[ZECOL_WHITE]);
        }
    }
    if (c->focus) zeframe_draw(p, ZEFRAME_FOCUS, false, c->x, c->y, c->w, c->h, c->colors[ZECOL_BLACK]);
}

static void choose(zeColorSwatches *s, int index) {
    if (index < 0) return;
    zecolorswatches_select(s, index);
    zecontrol_post(&s->c, s->c.ids[0], index);
}

static bool swatches_key(zeColorSwatches *s, int code) {
    int at = s->selected < 0 ? 0 : s->selected, col = at % s->cols, row = at / s->cols;
    switch (code) {
    case ZEKEY_LEFT: col--; break;
    case ZEKEY_RIGHT: col++; break;
    case ZEKEY_UP: row--; break;
    case ZEKEY_DOWN: row++; break;
    case ZEKEY_SPACE: break;
    default: return false;
    }
    choose(s, clampi(row, 0, s->rows - 1) * s->cols + clampi(col, 0, s->cols - 1));
    return true;
}

static zearg swatches_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                             zearg a7, zearg a8) {
    zeColorSwatches *s = (zeColorSwatches *)owner;
    zeControl *c = &s->c;
    bool input = msg == ZEMSG_LDOWN || msg == ZEMSG_LDOUBLE || msg == ZEMSG_KEYDOWN;
    if (input && (c->grey || !c->visible)) return 0;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
        zecontrol_ask_focus(c);
        choose(s, zecolorswatches_cell_at(s, (int)a1, (int)a2));
        return 0;
    case ZEMSG_KEYDOWN: swatches_key(s, (int)a1); return 0;
    case ZEMSG_RELEASE: zecolorswatches_release(s); return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
