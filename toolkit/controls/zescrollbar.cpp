// The scroll-bar pair: layout, drawing, arrows with auto-repeat, thumbs.
#include "zescrollbar.h"
#include "zeframe.h"
#include "zemetrics.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zetimer.h"
#include <cstring>

enum { MSG_LDOWN = 2004, MSG_LUP = 2005, MSG_LDOUBLE = 2006, MSG_MOTION = 2015, MSG_LEAVE = 2024 };
enum { FIRST_DELAY_FACTOR = 5, MIN_THUMB = 5 };

void zescrollbar_init(zeScrollBar *b) {
    memset(b, 0, sizeof *b);
    b->bw = guimetrics("scrollbarwidth");
    b->bh = guimetrics("scrollbarheight");
    if (b->bw <= 0) b->bw = 15;
    if (b->bh <= 0) b->bh = 15;
    b->vpos = b->vsize = b->hpos = b->hsize = 50;
    b->interval = ZESB_REPEAT_MS;
    b->ctrack = zescheme_color(ZECOL_DARK);
    b->cthumb = zescheme_color(ZECOL_GREY);
    b->cthumbdrag = zescheme_color(ZECOL_LIGHT);
    b->carrow = zescheme_color(ZECOL_BLACK);
}

static int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// One bar's track: thumb length and the space before it from the values.
static void track_split(int length, int size, int position, int *thumb, int *before) {
    int t = length * size / 100;
    if (t < MIN_THUMB) t = MIN_THUMB;
    int a = (length - t) * position / 100;
    if (a < 0) a = 0;
    *thumb = t, *before = a;
}

static void layout(zeScrollBar *b) {
    if (b->von) {
        int vx = b->x + b->w - b->bw;
        int len = b->h - 2 * b->bh - (b->hon ? b->bh : 0);
        int t, a;
        track_split(len, b->vsize, b->vpos, &t, &a);
        b->upbox = {vx, b->y, b->bw, b->bh};
        b->vtrack = {vx, b->y + b->bh, b->bw, len};
        b->vthumb = {vx, b->y + b->bh + a, b->bw, t};
        b->downbox = {vx, b->y + b->h - b->bh - (b->hon ? b->bh : 0), b->bw, b->bh};
    }
    if (b->hon) {
        int hy = b->y + b->h - b->bh;
        int len = b->w - 2 * b->bw - (b->von ? b->bw : 0);
        int t, a;
        track_split(len, b->hsize, b->hpos, &t, &a);
        b->leftbox = {b->x, hy, b->bw, b->bh};
        b->htrack = {b->x + b->bw, hy, len, b->bh};
        b->hthumb = {b->x + b->bw + a, hy, t, b->bh};
        b->rightbox = {b->x + b->w - b->bw - (b->von ? b->bw : 0), hy, b->bw, b->bh};
    }
    b->corner = {b->x + b->w - b->bw, b->y + b->h - b->bh, b->bw, b->bh};
}

void zescrollbar_setup(zeScrollBar *b, int x, int y, int w, int h, bool von, bool hon) {
    b->x = x, b->y = y, b->w = w, b->h = h;
    b->von = von, b->hon = hon;
    b->vpos = b->hpos = 0;
    layout(b);
}

void zescrollbar_set_vertical(zeScrollBar *b, int position, int size) {
    b->vpos = clamp(position, 0, 100), b->vsize = clamp(size, 0, 100);
    layout(b);
}

void zescrollbar_set_horizontal(zeScrollBar *b, int position, int size) {
    b->hpos = clamp(position, 0, 100), b->hsize = clamp(size, 0, 100);
    layout(b);
}

// ----- drawing -----

static void fill(zeScrollBar *b, const zeSBBox &r, int c) {
    if (r.w > 0 && r.h > 0) zepxmap_fillrect(b->target, r.x, r.y, r.w, r.h, c);
}

static void draw_arrow(zeScrollBar *b, const zeSBBox &r, const char *dir, bool pressed) {
    fill(b, r, zescheme_color(ZECOL_GREY));
    zeframe_draw(b->target, ZEFRAME_BUTTON, pressed, r.x, r.y, r.w, r.h);
    int size = (b->bw > 15 || b->bh > 15) ? ZEARROWSIZE_NORMAL : ZEARROWSIZE_SMALL;
    int shift = pressed ? 1 : 0;
    zearrow_draw(b->target, dir, r.x + shift, r.y + shift, r.w, r.h, b->carrow, size);
}

static void draw_thumb(zeScrollBar *b, const zeSBBox &r, bool dragged) {
    fill(b, r, dragged ? b->cthumbdrag : b->cthumb);
    zeframe_draw(b->target, ZEFRAME_BUTTON, false, r.x, r.y, r.w, r.h);
}

static void draw_vertical(zeScrollBar *b) {
    fill(b, b->vtrack, b->ctrack);
    draw_thumb(b, b->vthumb, b->vdrag);
    draw_arrow(b, b->upbox, "up", b->up);
    draw_arrow(b, b->downbox, "down", b->down);
}

static void draw_horizontal(zeScrollBar *b) {
    fill(b, b->htrack, b->ctrack);
    draw_thumb(b, b->hthumb, b->hdrag);
    draw_arrow(b, b->leftbox, "left", b->left);
    draw_arrow(b, b->rightbox, "right", b->right);
}

void zescrollbar_draw(zeScrollBar *b) {
    if (!b->target) return;
    if (b->von) draw_vertical(b);
    if (b->hon) draw_horizontal(b);
    if (b->von && b->hon) fill(b, b->corner, b->ctrack);
}

static void tell(zeScrollBar *b, int x, int y, int w, int h) {
    zesend(b->parent, b->parentowner, 8008, x, y, w, h);
}

static void redraw_vertical(zeScrollBar *b) {
    if (!b->von || !b->target) return;
    draw_vertical(b);
    tell(b, b->upbox.x, b->y, b->bw, b->h);
}

static void redraw_horizontal(zeScrollBar *b) {
    if (!b->hon || !b->target) return;
    draw_horizontal(b);
    tell(b, b->x, b->leftbox.y, b->w, b->bh);
}

// ----- input -----

// The pair's own rule: left < px <= left + width, top < py <= top + height.
static bool inside(const zeSBBox &r, int px, int py) {
    return r.x < px && px <= r.x + r.w && r.y < py && py <= r.y + r.h;
}

bool zescrollbar_hit(const zeScrollBar *b, int px, int py) {
    if (b->von && px >= b->upbox.x && px < b->x + b->w && py >= b->y && py < b->y + b->h) return true;
    if (b->hon && py >= b->leftbox.y && py < b->y + b->h && px >= b->x && px < b->x + b->w) return true;
    return false;
}

static void command(zeScrollBar *b, int cmd, int arg = 0) { zesend(b->cmd, b->cmdowner, cmd, arg); }

static zearg repeat_tick(void *owner, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeScrollBar *b = (zeScrollBar *)owner;
    zetimer_set(repeat_tick, b, b->interval, 0);
    if (b->up) command(b, ZESB_UP);
    if (b->down) command(b, ZESB_DOWN);
    if (b->left) command(b, ZESB_LEFT);
    if (b->right) command(b, ZESB_RIGHT);
    return 0;
}

static void stop_timer(zeScrollBar *b) {
    if (b->timer) zetimer_remove(b, 0);
    b->timer = false;
}

static bool press_arrow(zeScrollBar *b, int px, int py) {
    bool *flag = nullptr;
    bool vertical = true;
    if (b->von && inside(b->upbox, px, py)) flag = &b->up;
    else if (b->von && inside(b->downbox, px, py)) flag = &b->down;
    else if (b->hon && inside(b->leftbox, px, py)) flag = &b->left, vertical = false;
    else if (b->hon && inside(b->rightbox, px, py)) flag = &b->right, vertical = false;
    if (!flag) return false;
    *flag = true;
    vertical ? redraw_vertical(b) : redraw_horizontal(b);
    b->timer = zetimer_set(repeat_tick, b, b->interval * FIRST_DELAY_FACTOR, 0);
    return true;
}

static bool press_thumb(zeScrollBar *b, int px, int py) {
    if (b->von && inside(b->vthumb, px, py)) {
        b->vdrag = true, b->dragptr = py, b->dragthumb = b->vthumb.y;
        redraw_vertical(b);
    } else if (b->hon && inside(b->hthumb, px, py)) {
        b->hdrag = true, b->dragptr = px, b->dragthumb = b->hthumb.x;
        redraw_horizontal(b);
    } else {
        return false;
    }
    zesend(b->parent, b->parentowner, 8015, b->parenthandle);
    return true;
}

// A thumb dragged to a new start coordinate: the position it stands for.
static int drag_position(int start, int lo, int hi, int length, int thumb) {
    int pos = length == thumb ? 0 : (start - lo) * 100 / (length - thumb);
    return clamp(pos, 0, 100);
}

// Moves a thumb along one axis to follow the pointer at ptr, between lo and
// hi; sets its start and the position; true when the position changed.
static bool drag_axis(const zeScrollBar *b, int ptr, int lo, int hi, int length, int thumb,
                      int *start, int *pos) {
    *start = clamp(ptr + (b->dragthumb - b->dragptr), lo, hi < lo ? lo : hi);
    int was = *pos;
    *pos = drag_position(*start, lo, hi, length, thumb);
    return *pos != was;
}

static void drag(zeScrollBar *b, int px, int py) {
    if (b->vdrag) {
        bool changed = drag_axis(b, py, b->y + b->bh, b->downbox.y - b->vthumb.h, b->vtrack.h,
                                 b->vthumb.h, &b->vthumb.y, &b->vpos);
        redraw_vertical(b);
        if (changed) command(b, ZESB_VPOS, b->vpos);
        return;
    }
    bool changed = drag_axis(b, px, b->x + b->bw, b->rightbox.x - b->hthumb.w, b->htrack.w,
                             b->hthumb.w, &b->hthumb.x, &b->hpos);
    redraw_horizontal(b);
    if (changed) command(b, ZESB_HPOS, b->hpos);
}

static void release(zeScrollBar *b, int px, int py) {
    struct {
        bool *flag;
        const zeSBBox *box;
        int cmd;
    } arrows[] = {{&b->up, &b->upbox, ZESB_UP}, {&b->down, &b->downbox, ZESB_DOWN},
                  {&b->left, &b->leftbox, ZESB_LEFT}, {&b->right, &b->rightbox, ZESB_RIGHT}};
    bool anyheld = b->up || b->down || b->left || b->right, dragging = b->vdrag || b->hdrag;
    for (auto &a : arrows)
        if (*a.flag && inside(*a.box, px, py)) {
            *a.flag = false;
            command(b, a.cmd);
        }
    // A click on the track pages; a press that began on an arrow or thumb does not.
    if (!anyheld && !dragging && b->von && px > b->vtrack.x && px <= b->vtrack.x + b->vtrack.w) {
        if (py > b->vtrack.y && py <= b->vthumb.y) command(b, ZESB_PAGEUP);
        else if (py > b->vthumb.y + b->vthumb.h && py <= b->downbox.y) command(b, ZESB_PAGEDOWN);
    }
    zescrollbar_release_all(b);
}

void zescrollbar_release_all(zeScrollBar *b) {
    bool dragging = b->vdrag || b->hdrag, held = b->up || b->down || b->left || b->right;
    b->up = b->down = b->left = b->right = false;
    b->vdrag = b->hdrag = false;
    stop_timer(b);
    if (!dragging && !held) return;
    layout(b);   // the thumb returns to the place its position gives
    redraw_vertical(b);
    redraw_horizontal(b);
    if (dragging) zesend(b->parent, b->parentowner, 8016, b->parenthandle);
}

bool zescrollbar_mouse(zeScrollBar *b, int msg, int px, int py) {
    if (!b->von && !b->hon) return false;
    bool busy = b->up || b->down || b->left || b->right || b->vdrag || b->hdrag;
    switch (msg) {
    case MSG_LDOWN:
    case MSG_LDOUBLE:
        if (!zescrollbar_hit(b, px, py)) return false;
        if (!press_arrow(b, px, py)) press_thumb(b, px, py);
        return true;
    case MSG_MOTION:
        if (b->vdrag || b->hdrag) drag(b, px, py);
        return busy;
    case MSG_LUP:
        if (!busy && !zescrollbar_hit(b, px, py)) return false;
        release(b, px, py);
        return true;
    case MSG_LEAVE: zescrollbar_release_all(b); return false;
    }
    return zescrollbar_hit(b, px, py);
}

void zescrollbar_destroy(zeScrollBar *b) {
    stop_timer(b);
    // A thumb dragged while its view goes away: the capture goes with it.
    if ((b->vdrag || b->hdrag) && b->parent) zesend(b->parent, b->parentowner, 8016, b->parenthandle);
    b->vdrag = b->hdrag = false;
    b->cmd = nullptr, b->parent = nullptr, b->target = nullptr;
    b->von = b->hon = false;
}
