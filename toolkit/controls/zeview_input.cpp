// The scroll view as a container: the child registry, the requests of its
// children, focus order, mouse routing with capture and hovering, the wheel
// and the keys.
#include "zeevent.h"
#include "zeview.h"
#include "zeview_internal.h"
#include "zewindow.h"
#include <cstdlib>
#include <cstring>

enum { CAPACITY_FIRST = 5, CAPACITY_STEP = 100, STEPS_PER_CONTENT = 20, PAGES_PER_CONTENT = 5 };

// ----- the registry -----

static bool valid(const zeView *v, zearg i) { return i >= 0 && i < v->nchildren && v->children[i].inuse; }

static zearg child_send(zeView *v, int i, int msg, zearg a1 = 0, zearg a2 = 0) {
    if (!valid(v, i)) return 0;
    zeViewChild &k = v->children[i];
    return zesend(k.handler, k.owner, msg, a1, a2);
}

void zeview_send_children(zeView *v, int msg, zearg a1, zearg a2) {
    // A child may unregister (or register others) while it is told.
    for (int i = 0; i < v->nchildren; i++) child_send(v, i, msg, a1, a2);
}

void zeview_children_free(zeView *v) {
    free(v->children);
    v->children = nullptr;
    v->nchildren = v->capacity = 0;
    v->focused = v->captured = v->hoverchild = -1;
}

static int register_child(zeView *v, zeHandler h, void *owner, int x, int y, int w, int hgt, int flags) {
    int i = 0;
    while (i < v->nchildren && v->children[i].inuse) i++;
    if (i == v->nchildren) {
        if (v->nchildren == v->capacity) {
            int cap = v->capacity ? v->capacity + CAPACITY_STEP : CAPACITY_FIRST;
            void *grown = realloc(v->children, sizeof(zeViewChild) * cap);
            if (!grown) return -1;
            v->children = (zeViewChild *)grown, v->capacity = cap;
        }
        v->nchildren++;
    }
    zeViewChild &k = v->children[i];
    k = zeViewChild{};
    k.inuse = true;
    k.x = x, k.y = y, k.w = w, k.h = hgt;
    k.handler = h, k.owner = owner;
    k.mouse = true;
    k.focus = (flags & ZECHILD_FOCUS) && !v->c.nofocus;
    k.hover = flags & ZECHILD_HOVER;
    k.tab = flags & ZECHILD_TAB;
    return i;
}

static void unregister_owner(zeView *v, void *owner) {
    bool released = false;
    for (int i = 0; i < v->nchildren; i++) {
        zeViewChild &k = v->children[i];
        if (!k.inuse || k.owner != owner) continue;
        k.inuse = false;
        if (v->focused == i) v->focused = -1;
        if (v->captured == i) v->captured = -1, released = true;
        if (v->hoverchild == i) v->hoverchild = -1;
    }
    // A control that goes away in the middle of a drag would otherwise leave
    // the pointer grabbed by the window for good.
    if (released) zesend(v->c.parent, v->c.parentowner, ZEREQ_RELEASE, v->c.handle);
}

// ----- focus -----

int zeview_focused(const zeView *v) { return v->focused; }

static bool ask_parent_focus(zeView *v) {
    return zesend(v->c.parent, v->c.parentowner, ZEREQ_FOCUS, v->c.handle) != 0;
}

static zearg child_asks_focus(zeView *v, int i) {
    if (v->c.nofocus || !valid(v, i)) return 0;
    if (v->focused >= 0 && v->focused != i) child_send(v, v->focused, ZEMSG_UNFOCUS);
    v->focused = i;
    bool granted = ask_parent_focus(v);
    if (granted) child_send(v, i, ZEMSG_FOCUS);
    return granted;
}

bool zeview_focus_child(zeView *v, int index) { return child_asks_focus(v, index) != 0; }

static void drop_focus(zeView *v) {
    int f = v->focused;
    v->focused = -1;
    if (f >= 0) child_send(v, f, ZEMSG_UNFOCUS);
}

// Tab (forward) or Shift+Tab (backward), and Enter through 8011.
static void move_focus(zeView *v, bool backward) {
    if (v->c.nofocus || !v->c.visible) return;
    ask_parent_focus(v);
    int n = 0, only = -1;
    for (int i = 0; i < v->nchildren; i++)
        if (v->children[i].inuse) n++, only = i;
    if (n == 0) return;
    if (n == 1) {
        if (v->focused != only && v->children[only].focus && child_send(v, only, ZEMSG_FOCUS)) v->focused = only;
        return;
    }
    int from = v->focused;
    if (from < 0 || !valid(v, from)) return;
    if (child_send(v, from, ZEMSG_FOCUSNEXT, backward)) return;
    int step = backward ? -1 : 1;
    for (int i = (from + step + v->nchildren) % v->nchildren; i != from; i = (i + step + v->nchildren) % v->nchildren) {
        if (!valid(v, i) || !v->children[i].focus) continue;
        if (!child_send(v, i, ZEMSG_FOCUS)) continue;
        v->focused = i;
        child_send(v, from, ZEMSG_UNFOCUS);
        return;
    }
}

// Scrolls so that child i is visible (not while a page is built, nor
// before the application first waited: the page shows once, finished).
static void bring_into_view(zeView *v, int i) {
    if (zeview_building() || !zeevent_waited() || !valid(v, i)) return;
    const zeViewChild &k = v->children[i];
    int W = v->c.w, H = v->c.h, CW = zeview_pixmap(v)->width, CH = zeview_pixmap(v)->height;
    int sx = v->scrollx, sy = v->scrolly;
    if (W > 0)
        while (W <= k.x - sx) sx += W / 2 > 0 ? W / 2 : 1;
    if (H > 0)
        while (H <= k.y - sy) sy += H / 2 > 0 ? H / 2 : 1;
    while (k.x - sx < 0) sx -= W / 2 > 0 ? W / 2 : 1;
    while (k.y - sy < 0) sy -= H / 2 > 0 ? H / 2 : 1;
    sx = sx > CW - W ? CW - W : sx;
    sy = sy > CH - H ? CH - H : sy;
    if (sx < 0 || W >= CW) sx = 0;
    if (sy < 0 || H >= CH) sy = 0;
    if (sx == v->scrollx && sy == v->scrolly) return;
    v->scrollx = sx, v->scrolly = sy;
    if (v->bars.von && CH - H) zescrollbar_set_vertical(&v->bars, (sy * 100 + 100) / (CH - H), v->bars.vsize);
    if (v->bars.hon && CW - W) zescrollbar_set_horizontal(&v->bars, (sx * 100 + 100) / (CW - W), v->bars.hsize);
    zeview_refresh(v);
}

// ----- requests of the children -----

static zearg parent_request(zeView *v, int msg, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0) {
    return zesend(v->c.parent, v->c.parentowner, msg, a1, a2, a3, a4);
}

zearg zeview_request(zeView *v, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7) {
    if (v->destroying) return 0;
    switch (msg) {
    case ZEREQ_REGISTER: return register_child(v, (zeHandler)a1, (void *)a2, (int)a3, (int)a4, (int)a5, (int)a6, (int)a7);
    case ZEREQ_UNREGISTER: unregister_owner(v, (void *)a1); return 0;
    case ZEREQ_MOVE:
        if (valid(v, a1)) {
            zeViewChild &k = v->children[a1];
            k.x = (int)a2, k.y = (int)a3, k.w = (int)a4, k.h = (int)a5;
        }
        return 0;
    case ZEREQ_WIDTH: return v->c.w;
    case ZEREQ_HEIGHT: return v->c.h;
    case ZEREQ_ORIGINX: return parent_request(v, msg) + v->c.x + v->centrex - v->scrollx;
    case ZEREQ_ORIGINY: return parent_request(v, msg) + v->c.y + v->centrey - v->scrolly;
    case ZEREQ_REFRESH: zeview_copy_area(v, (int)a1, (int)a2, (int)a3, (int)a4); return 0;
    case ZEREQ_REFRESHALL: zeview_copy_area(v, 0, 0, zeview_pixmap(v)->width, zeview_pixmap(v)->height); return 0;
    case ZEREQ_FOCUS: return child_asks_focus(v, (int)a1);
    case ZEREQ_FOCUSNEXT: move_focus(v, false); return 0;
    case ZEREQ_SHOWME: bring_into_view(v, (int)a1); return 0;
    case ZEREQ_SPARE:
        if (valid(v, a1)) v->children[a1].spare = a2 != 0;
        return 0;
    case ZEREQ_POPUPCLOSED:
    case ZEREQ_NATIVE: return parent_request(v, msg, a1, a2, a3, a4);
    case ZEREQ_CAPTURE:
        if (valid(v, a1)) v->captured = (int)a1;
        parent_request(v, msg, v->c.handle);
        return 0;
    case ZEREQ_RELEASE:
        v->captured = -1;
        parent_request(v, msg, v->c.handle);
        return 0;
    case ZEREQ_VIEW: return (zearg)v;
    case ZEREQ_NOAUTOREFRESH: v->autorefresh = false; return 0;
    case ZEREQ_BGCOLOR: return v->c.bgcolor;
    case ZEREQ_TOSERVER:
        if (!v->direct && v->content.format != ZEPX_SERVER) {
            zepxmap_convert2server(&v->content);
            zepxmapout_wrap(&v->gout, &v->content);
        }
        return 0;
    case ZEREQ_SCREENX: return parent_request(v, msg) + v->c.x;
    case ZEREQ_SCREENY: return parent_request(v, msg) + v->c.y;
    }
    return 0;
}

// ----- mouse -----

struct MouseKind {
    int msg, id;
};
static const MouseKind kMouse[] = {
    {ZEMSG_LDOWN, ZEVIEW_ID_LDOWN}, {ZEMSG_LUP, ZEVIEW_ID_LUP}, {ZEMSG_LDOUBLE, ZEVIEW_ID_LDOUBLE},
    {ZEMSG_MDOWN, ZEVIEW_ID_MDOWN}, {ZEMSG_MUP, ZEVIEW_ID_MUP}, {ZEMSG_RDOWN, ZEVIEW_ID_RDOWN},
    {ZEMSG_RUP, ZEVIEW_ID_RUP}, {ZEMSG_WHEELUP, ZEVIEW_ID_WHEELUP}, {ZEMSG_WHEELDOWN, ZEVIEW_ID_WHEELDOWN},
    {ZEMSG_MOTION, ZEVIEW_ID_MOTION},
};

void zeview_report(zeView *v, int which, int msg, int x, int y) {
    int id = v->c.ids[which];
    if (v->callback) v->callback(v->callbackuser, id, msg, x, y, 0, 0, 0, 0, 0);
    else zecontrol_post(&v->c, id, x, y, 0);
}

static void report_mouse(zeView *v, int msg, int cx, int cy) {
    for (const MouseKind &m : kMouse)
        if (m.msg == msg) zeview_report(v, m.id, msg, cx, cy);
}

static bool strictly_inside(const zeViewChild &k, int cx, int cy) {
    return cx > k.x && cx < k.x + k.w && cy > k.y && cy < k.y + k.h;
}

// A hidden control keeps its entry but gets no pointer: an invisible button
// must not be pressed.
static bool takes_pointer(const zeViewChild &k, int cx, int cy) {
    if (!k.inuse || !k.mouse || !strictly_inside(k, cx, cy)) return false;
    return k.handler != zecontrol_handler || ((const zeControl *)k.owner)->visible;
}

static bool inside_view(const zeView *v, int px, int py) {
    return px >= v->c.x && px < v->c.x + v->c.w && py >= v->c.y && py < v->c.y + v->c.h;
}

static void mouse_button(zeView *v, int msg, int px, int py) {
    bool press = msg == ZEMSG_LDOWN || msg == ZEMSG_LDOUBLE;
    int cx = px + v->scrollx - v->c.x - v->centrex, cy = py + v->scrolly - v->c.y - v->centrey;
    if (zescrollbar_mouse(&v->bars, msg, px, py)) return;
    if (v->captured < 0 && !inside_view(v, px, py)) return;
    if (press && !v->c.focus && !v->c.nofocus) ask_parent_focus(v);
    v->pointerx = cx, v->pointery = cy;
    if (v->captured >= 0) {
        child_send(v, v->captured, msg, cx, cy);
    } else {
        bool got = false;
        for (int i = 0; i < v->nchildren; i++) {
            if (!takes_pointer(v->children[i], cx, cy)) continue;
            child_send(v, i, msg, cx, cy);
            got = true;
        }
        if (!got && press) drop_focus(v);
    }
    report_mouse(v, msg, cx, cy);
}

static void set_hover(zeView *v, int i) {
    if (i == v->hoverchild) return;
    int old = v->hoverchild;
    v->hoverchild = i;
    if (old >= 0) child_send(v, old, ZEMSG_LEAVE);
    if (i >= 0) child_send(v, i, ZEMSG_ENTER);
}

static void motion(zeView *v, int px, int py) {
    int cx = px + v->scrollx - v->c.x - v->centrex, cy = py + v->scrolly - v->c.y - v->centrey;
    if (zescrollbar_mouse(&v->bars, ZEMSG_MOTION, px, py)) return;
    if (v->captured < 0 && !inside_view(v, px, py)) {
        set_hover(v, -1);
        return;
    }
    v->pointerx = cx, v->pointery = cy;
    if (v->captured >= 0) {
        child_send(v, v->captured, ZEMSG_MOTION, cx, cy);
    } else {
        int hover = -1;
        for (int i = 0; i < v->nchildren; i++) {
            const zeViewChild &k = v->children[i];
            if (!takes_pointer(k, cx, cy)) continue;
            // Read before the child runs: it may register others, and the
            // registry may move when it grows.
            bool hovers = k.hover;
            child_send(v, i, ZEMSG_MOTION, cx, cy);
            if (hovers) hover = i;
        }
        set_hover(v, hover);
    }
    report_mouse(v, ZEMSG_MOTION, cx, cy);
}

static void wheel(zeView *v, int msg, int px, int py) {
    if (v->captured < 0 && !inside_view(v, px, py)) return;
    int cx = px + v->scrollx - v->c.x - v->centrex, cy = py + v->scrolly - v->c.y - v->centrey;
    if (v->focused >= 0) child_send(v, v->focused, msg, cx, cy);
    else zeview_scroll_by(v, 0, (msg == ZEMSG_WHEELUP ? -1 : 1) * (zeview_pixmap(v)->height / STEPS_PER_CONTENT));
    report_mouse(v, msg, cx, cy);
}

// ----- keys -----

// Hot keys (and Enter for a default button) are offered to every child
// while no control or a button has the focus, so that typing into a text
// control never clicks anything; function keys are offered always. A button
// with the focus keeps Enter and Space for itself.
static bool offer_hotkey(zeView *v, int code) {
    int f = v->focused;
    bool fkey = code >= ZEKEY_F1 && code <= ZEKEY_F12;
    if (valid(v, f) && !fkey) {
        if (!v->children[f].hover) return false;
        if (code == ZEKEY_ENTER || code == 13 || code == ZEKEY_SPACE) return false;
    }
    for (int i = 0; i < v->nchildren; i++)
        if (valid(v, i) && child_send(v, i, ZEMSG_HOTKEY, code)) return true;
    return false;
}

static void key(zeView *v, int msg, int code) {
    int f = v->focused;
    if (msg == ZEMSG_KEYDOWN && offer_hotkey(v, code)) return;
    if (f >= 0) child_send(v, f, msg, code);
    if (msg != ZEMSG_KEYDOWN) return;
    if (f < 0 && !v->nokeyscroll) {
        int step = zeview_pixmap(v)->height / STEPS_PER_CONTENT, page = zeview_pixmap(v)->height / PAGES_PER_CONTENT;
        if (code == ZEKEY_UP) zeview_scroll_by(v, 0, -step);
        if (code == ZEKEY_DOWN) zeview_scroll_by(v, 0, step);
        if (code == ZEKEY_PAGEUP) zeview_scroll_by(v, 0, -page);
        if (code == ZEKEY_PAGEDOWN) zeview_scroll_by(v, 0, page);
    }
    if (code == ZEKEY_ESCAPE) drop_focus(v);
    if (code == ZEKEY_TAB && !(valid(v, f) && v->children[f].tab))
        move_focus(v, (zewindow_modifiers() & ZEMOD_SHIFT) != 0);
}

// ----- messages from the parent -----

zearg zeview_message(zeView *v, int msg, zearg a1, zearg a2, zearg a3, zearg a4) {
    if (v->destroying) return 0;
    if (msg == ZEMSG_RELEASE) {
        zeview_destroy(v);
        return 0;
    }
    if (!v->c.created) return 0;
    if (!v->c.visible && msg != ZEMSG_SHOW) return 0;
    int x = (int)a1, y = (int)a2;
    switch (msg) {
    case ZEMSG_SIZE:
        if (a1 > 0 && a2 > 0) {
            zeview_follow_window(v);
            zeview_send_children(v, ZEMSG_REDRAW);
            zeview_refresh(v);
        }
        return 0;
    case ZEMSG_LDOWN: case ZEMSG_LUP: case ZEMSG_LDOUBLE: case ZEMSG_MDOWN: case ZEMSG_MUP:
    case ZEMSG_RDOWN: case ZEMSG_RUP:
        mouse_button(v, msg, x, y);
        return 0;
    case ZEMSG_MOTION: motion(v, x, y); return 0;
    case ZEMSG_WHEELUP: case ZEMSG_WHEELDOWN: wheel(v, msg, x, y); return 0;
    case ZEMSG_KEYDOWN: case ZEMSG_KEYUP: key(v, msg, x); return 0;
    case ZEMSG_HOTKEY: return offer_hotkey(v, x);
    case ZEMSG_FOCUS:
        if (v->c.nofocus || v->c.focus) return 0;
        v->c.focus = true;
        return 1;
    case ZEMSG_UNFOCUS: v->c.focus = false; return 0;
    case ZEMSG_LEAVE:
        zeview_send_children(v, ZEMSG_LEAVE);
        v->hoverchild = -1;
        zescrollbar_release_all(&v->bars);
        return 0;
    case ZEMSG_REDRAW: zeview_refresh(v); return 0;
    case ZEMSG_REFRESHTICK:
        if (v->c.redraw && zeevent_waited()) zeview_refresh(v);
        return 0;
    case ZEMSG_PASTE: case ZEMSG_COPY: case ZEMSG_CUT: return child_send(v, v->focused, msg);
    case ZEMSG_SHOWN:
        zeview_send_children(v, ZEMSG_SHOWN);
        zeview_refresh(v);
        return 0;
    case ZEMSG_SHOW:
        if (v->c.visible) return 0;
        v->c.visible = true;
        zeview_refresh(v);
        return 0;
    case ZEMSG_HIDE:
        zescrollbar_release_all(&v->bars);
        if (v->focused >= 0) drop_focus(v);
        v->c.visible = false;
        return 0;
    case ZEMSG_DRAWCONTENT: zeview_send_children(v, ZEMSG_DRAWCONTENT); return 0;
    }
    (void)a3, (void)a4;
    return 0;
}
