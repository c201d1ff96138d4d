// The progress bar.
#include "zeprogress.h"
#include "zecontrol_bounds.h"
#include "zeframe.h"
#include "zepxmap.h"

static void progress_natural(zeControl *, int *w, int *h) { *w = 100, *h = 14; }
// Registered without the focus bit: the bar has nothing to do with keys.
static void progress_parse(zeControl *c, char **) { c->nofocus = true; }
static void progress_draw(zeControl *c);
static zearg progress_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                             zearg a7, zearg a8);

static const zeControlKind kProgress = {"progressbar", 0, progress_parse, progress_natural, progress_draw,
                                        progress_handle, nullptr};

zeProgressBar::zeProgressBar() { zeprogress_init(this); }
zeProgressBar::~zeProgressBar() { zeprogress_release(this); }

void zeprogress_init(zeProgressBar *b) {
    zecontrol_init(&b->c, &kProgress);
    b->value = 0;
}

bool zeprogress_create(zeProgressBar *b, const char *fmt, ...) {
    if (b->c.kind != &kProgress) zeprogress_init(b);
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecontrol_vcreate(&b->c, fmt, ap);
    va_end(ap);
    return ok;
}

void zeprogress_release(zeProgressBar *b) {
    if (!b->c.created) return;
    zecontrol_release(&b->c);
    b->value = 0;
}

static int clamp100(int v) { return v < 0 ? 0 : v > 100 ? 100 : v; }

void zeprogress_set_value(zeProgressBar *b, int value) {
    value = clamp100(value);
    if (value == b->value) return;
    b->value = value;
    zecontrol_redraw(&b->c);
}

int zeprogress_value(const zeProgressBar *b) { return b->value; }

int zeprogress_blocks(int value) { return (clamp100(value) + 3) / 5; }

static void progress_draw(zeControl *c) {
    zeProgressBar *b = (zeProgressBar *)c;
    if (!zecontrol_drawable(c)) return;
    zePixmap *p = c->target;
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, c->colors[ZECOL_GREY]);
    zeframe_draw(p, ZEFRAME_DOUBLE, true, c->x - 2, c->y - 2, c->w + 4, c->h + 4);
    int n = zeprogress_blocks(b->value);
    // Block i spans b_i .. b_(i+1) of the inner width, with a 2-pixel gap.
    for (int i = 0; i < n; i++) {
        int from = (int)(1 + i * (c->w - 2) * 0.05), to = (int)(1 + (i + 1) * (c->w - 2) * 0.05);
        zepxmap_fillrect(p, c->x + from, c->y + 1, to - from - 2, c->h - 2, ZEPROGRESS_COLOR);
    }
}

// Only release, resize, show and hide: no input, no focus.
static zearg progress_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                             zearg a7, zearg a8) {
    zeProgressBar *b = (zeProgressBar *)owner;
    switch (msg) {
    case ZEMSG_RELEASE: zeprogress_release(b); return 0;
    case ZEMSG_SIZE:
    case ZEMSG_SHOW:
    case ZEMSG_HIDE:
    case ZEMSG_HIDDEN:
    case ZEMSG_SHOWN:
    case ZEMSG_REDRAW:
    case ZEMSG_DRAWCONTENT:
        return zecontrol_default(&b->c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    }
    return 0;
}
