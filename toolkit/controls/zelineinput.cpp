// The single-line text input.
#include "zelineinput.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeclipboard.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zetextmenu.h"
#include "zetimer.h"
#include <cstdio>
#include <cstring>
#include <string>

enum { PADLEFT = 4, PADRIGHT = 2, DEFAULT_WIDTH = 150, BLINK_KEY = 1 };

static int length(const zeLineInput *l) { return (int)strlen(l->text); }
int zelineinput_length(const zeLineInput *l) { return length(l); }

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static int char_w(const zeLineInput *l, int i) {
    return zefont_char_width(l->c.font, l->password ? '*' : (unsigned char)l->text[i]);
}

// Width of the characters [from, to).
static int span_w(const zeLineInput *l, int from, int to) {
    int w = 0;
    for (int i = from; i < to; i++) w += char_w(l, i);
    return w;
}

static int field_w(const zeLineInput *l) {
    int w = l->c.w - PADLEFT - PADRIGHT;
    return w < 1 ? 1 : w;
}

// ----- selection -----

bool zelineinput_selection(const zeLineInput *l, int *from, int *to) {
    int n = length(l), a = -1, b = -1;
    for (int i = 0; i < n; i++)
        if (l->sel[i]) {
            if (a < 0) a = i;
            b = i + 1;
        }
    *from = a < 0 ? 0 : a, *to = a < 0 ? 0 : b;
    return a >= 0;
}

static void clear_sel(zeLineInput *l) { memset(l->sel, 0, sizeof l->sel); }

void zelineinput_select(zeLineInput *l, int from, int to) {
    int n = length(l);
    if (from > to) std::swap(from, to);
    from = clampi(from, 0, n), to = clampi(to, 0, n);
    clear_sel(l);
    for (int i = from; i < to; i++) l->sel[i] = true;
}

static bool has_sel(const zeLineInput *l) {
    int a, b;
    return zelineinput_selection(l, &a, &b);
}

// Removes the selection; the cursor goes to where it began.
static bool delete_sel(zeLineInput *l) {
    int a, b;
    if (!zelineinput_selection(l, &a, &b)) return false;
    int n = length(l);
    memmove(l->text + a, l->text + b, n - b + 1);
    clear_sel(l);
    l->cursor = a;
    return true;
}

// ----- scrolling -----

// Keeps the cursor inside the field, scrolling about half a field at a time.
static void keep_visible(zeLineInput *l) {
    int n = length(l);
    l->cursor = clampi(l->cursor, 0, n);
    l->scroll = clampi(l->scroll, 0, n);
    int fw = field_w(l), half = fw / 2;
    if (l->cursor < l->scroll) {
        int s = l->cursor, w = 0;
        while (s > 0 && w + char_w(l, s - 1) <= half) w += char_w(l, --s);
        l->scroll = s;
    }
    if (span_w(l, l->scroll, l->cursor) > fw) {
        // Step forward until the cursor stands half a field from the left edge.
        int w = span_w(l, l->scroll, l->cursor);
        while (l->scroll < l->cursor && w > half) w -= char_w(l, l->scroll++);
    }
    // No empty field at the right while text is hidden at the left.
    while (l->scroll > 0 && span_w(l, l->scroll - 1, n) <= fw) l->scroll--;
}

// ----- drawing -----

static void draw(zeControl *c) {
    zeLineInput *l = (zeLineInput *)c;
    zePixmap *p = c->target;
    keep_visible(l);
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, c->bgcolor);
    if (c->border) zeframe_draw(p, ZEFRAME_DOUBLE, true, c->x, c->y, c->w, c->h);
    int n = length(l), fh = zefont_height(c->font);
    int ty = c->y + (c->h - fh) / 2;
    int x = c->x + PADLEFT, right = c->x + c->w - PADRIGHT;
    if (l->alignright && l->scroll == 0) {
        int tw = span_w(l, 0, n);
        if (tw <= field_w(l)) x = right - tw;
    }
    int fg = c->grey ? c->colors[ZECOL_TEXTGREY] : c->textcolor;
    int selfg = c->colors[ZECOL_TEXTSEL], selbg = c->colors[ZECOL_BLUE];
    l->cursorx = x;
    for (int i = l->scroll; i < n && x < right; i++) {
        if (i == l->cursor) l->cursorx = x;
        int ch = l->password ? '*' : (unsigned char)l->text[i];
        bool s = l->sel[i] && c->focus;
        zefont_draw_char(p, c->font, x, ty, s ? selfg : fg, false, false, s ? selbg : -1, ch);
        x += zefont_char_width(c->font, ch);
    }
    if (l->cursor >= n) l->cursorx = x;
    if (c->focus && l->cursoron && !c->grey && l->cursorx < right) {
        bool insel = l->cursor < n && l->sel[l->cursor];
        zepxmap_fillrect(p, l->cursorx, ty - 1, 1, fh + 2, insel ? selfg : c->textcolor);
    }
}

void zelineinput_redraw(zeLineInput *l) { zecontrol_redraw(&l->c); }

// ----- blink -----

static zearg blink_tick(void *owner, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeLineInput *l = (zeLineInput *)owner;
    l->cursoron = !l->cursoron;
    zecontrol_redraw(&l->c);
    return 0;
}

static void blink(zeLineInput *l, bool on) {
    if (on && !l->blinking) l->blinking = zetimer_set(blink_tick, l, ZELINE_BLINK_MS, BLINK_KEY);
    if (!on && l->blinking) zetimer_remove(l, BLINK_KEY), l->blinking = false;
    l->cursoron = on;
}

// ----- editing -----

static void changed(zeLineInput *l) {
    keep_visible(l);
    l->cursoron = true;
    zecontrol_redraw(&l->c);
    zecontrol_post(&l->c, l->c.ids[ZELINE_ID_CHANGE]);
}

static void moved(zeLineInput *l) {
    keep_visible(l);
    l->cursoron = true;
    zecontrol_redraw(&l->c);
}

// Inserts up to room characters of s at the cursor.
static void insert(zeLineInput *l, const char *s, int count) {
    int n = length(l);
    int room = (l->maxlen < ZELINE_TEXTMAX ? l->maxlen : ZELINE_TEXTMAX) - n;
    if (count > room) count = room;
    if (count <= 0) return;
    memmove(l->text + l->cursor + count, l->text + l->cursor, n - l->cursor + 1);
    memcpy(l->text + l->cursor, s, count);
    memmove(l->sel + l->cursor + count, l->sel + l->cursor, n - l->cursor);
    memset(l->sel + l->cursor, 0, count);
    l->cursor += count;
}

static bool printable(int code) { return (code >= 32 && code < 127) || (code >= 160 && code <= 255); }

// Shift+arrow, Home, End: the selection runs from the anchor to the cursor.
static void extend(zeLineInput *l) { zelineinput_select(l, l->anchor, l->cursor); }

static void move_to(zeLineInput *l, int pos) {
    l->cursor = clampi(pos, 0, length(l));
    if (l->shift) extend(l);
    else clear_sel(l);
    moved(l);
}

static void key_left_right(zeLineInput *l, int dir) {
    int a, b;
    if (!l->shift && zelineinput_selection(l, &a, &b)) {
        l->cursor = dir < 0 ? a : b;
        clear_sel(l);
        moved(l);
        return;
    }
    move_to(l, l->cursor + dir);
}

static void copy(zeLineInput *l) {
    int a, b;
    if (l->password || !zelineinput_selection(l, &a, &b)) return;
    zeclipboard_set(std::string(l->text + a, b - a).c_str());
}

static void paste(zeLineInput *l) {
    const char *clip = zeclipboard_get();
    if (!clip) return;
    std::string s = zetext_clean(clip, ZELINE_TEXTMAX, true);
    delete_sel(l);
    insert(l, s.data(), (int)s.size());
    changed(l);
}

static void cut(zeLineInput *l) {
    if (l->password || !has_sel(l)) return;
    copy(l);
    delete_sel(l);
    changed(l);
}

static void select_all(zeLineInput *l) {
    zelineinput_select(l, 0, length(l));
    l->cursor = length(l);
    moved(l);
}

static void key(zeLineInput *l, int code) {
    zeControl *c = &l->c;
    switch (code) {
    case ZEKEY_SHIFT: {
        if (l->shift) return;   // auto-repeat
        l->shift = true;
        // A selection that ends at the cursor grows from its other end.
        int a, b;
        bool sel = zelineinput_selection(l, &a, &b);
        l->anchor = sel && l->cursor == a ? b : sel && l->cursor == b ? a : l->cursor;
        return;
    }
    case ZEKEY_LEFT: key_left_right(l, -1); return;
    case ZEKEY_RIGHT: key_left_right(l, 1); return;
    case ZEKEY_HOME: move_to(l, 0); return;
    case ZEKEY_END: move_to(l, length(l)); return;
    case ZEKEY_DELETE:
        if (!delete_sel(l) && l->cursor < length(l))
            memmove(l->text + l->cursor, l->text + l->cursor + 1, length(l) - l->cursor);
        changed(l);
        return;
    case 8:
        if (!delete_sel(l) && l->cursor > 0) {
            memmove(l->text + l->cursor - 1, l->text + l->cursor, length(l) - l->cursor + 1);
            l->cursor--;
        }
        changed(l);
        return;
    case ZEKEY_ENTER:
    case 13:
        if (l->keepfocus) zecontrol_post(c, c->ids[0]);
        else zecontrol_request(c, ZEREQ_FOCUSNEXT);
        return;
    case 1: select_all(l); return;
    }
    if (!printable(code)) return;
    delete_sel(l);
    char ch = (char)code;
    insert(l, &ch, 1);
    changed(l);
}

// ----- mouse -----

// The character position under a content x.
static int pos_at(zeLineInput *l, int px) {
    int n = length(l), x = l->c.x + PADLEFT;
    if (l->alignright && l->scroll == 0 && span_w(l, 0, n) <= field_w(l))
        x = l->c.x + l->c.w - PADRIGHT - span_w(l, 0, n);
    if (px < x) return l->scroll > 0 ? l->scroll - 1 : 0;
    for (int i = l->scroll; i < n; i++) {
        int w = char_w(l, i);
        if (px < x + w / 2) return i;
        x += w;
    }
    return n;
}

static void press(zeLineInput *l, int px) {
    zeControl *c = &l->c;
    if (!c->focus && !zecontrol_ask_focus(c)) return;
    clear_sel(l);
    l->cursor = l->draganchor = pos_at(l, px);
    l->dragging = true;
    zecontrol_capture(c, true);
    moved(l);
}

static void drag(zeLineInput *l, int px) {
    if (!l->dragging) return;
    l->cursor = pos_at(l, px);
    zelineinput_select(l, l->draganchor, l->cursor);
    moved(l);
}

static void release_drag(zeLineInput *l) {
    if (!l->dragging) return;
    l->dragging = false;
    zecontrol_capture(&l->c, false);
}

static void context_menu(zeLineInput *l, int x, int y) {
    zeControl *c = &l->c;
    if (c->grey) return;
    release_drag(l);
    switch (zetextmenu_run(c, x, y, has_sel(l) && !l->password)) {
    case ZETEXTMENU_CUT: cut(l); break;
    case ZETEXTMENU_COPY: copy(l); break;
    case ZETEXTMENU_PASTE: paste(l); break;
    case ZETEXTMENU_SELECTALL: select_all(l); break;
    }
}

// ----- focus -----

static zearg gain_focus(zeLineInput *l) {
    zeControl *c = &l->c;
    if (c->grey) return 0;
    bool had = c->focus;
    zearg r = zecontrol_default(c, ZEMSG_FOCUS);
    if (!r) return 0;
    if (!had) {
        blink(l, true);
        l->shift = false;
        select_all(l);
    }
    return r;
}

static void lose_focus(zeLineInput *l) {
    zeControl *c = &l->c;
    bool had = c->focus;
    blink(l, false);
    release_drag(l);
    clear_sel(l);
    l->shift = false;
    l->scroll = 0;
    l->cursor = 0;
    zecontrol_default(c, ZEMSG_UNFOCUS);
    if (had) zecontrol_post(c, c->ids[0]);
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeLineInput *l = (zeLineInput *)owner;
    zeControl *c = &l->c;
    switch (msg) {
    case ZEMSG_KEYDOWN:
        if (c->focus && !c->grey) key(l, (int)a1);
        return 0;
    case ZEMSG_KEYUP:
        if (a1 == ZEKEY_SHIFT) l->shift = false;
        return 0;
    case ZEMSG_LDOWN:
        if (!c->grey) press(l, (int)a1);
        return 0;
    case ZEMSG_LDOUBLE:
        if (c->grey || (!c->focus && !zecontrol_ask_focus(c))) return 0;
        select_all(l);
        return 0;
    case ZEMSG_MOTION: drag(l, (int)a1); return 0;
    case ZEMSG_LUP: release_drag(l); return 0;
    case ZEMSG_RDOWN:
    case ZEMSG_RDOUBLE:   // a quick second right click opens the menu again
        context_menu(l, (int)a1, (int)a2);
        return 0;
    case ZEMSG_FOCUS: return gain_focus(l);
    case ZEMSG_UNFOCUS: lose_focus(l); return 0;
    case ZEMSG_PASTE:
        if (c->focus && !c->grey) paste(l);
        return 0;
    case ZEMSG_COPY:
        if (c->focus) copy(l);
        return 0;
    case ZEMSG_CUT:
        if (c->focus && !c->grey) cut(l);
        return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- creation -----

static void parse(zeControl *c, char **e) {
    zeLineInput *l = (zeLineInput *)c;
    zeInputAttr a = {};
    a.maxlen = ZELINE_MAXLEN;
    zecfgstr_inputattr(e, 0, &a);
    if (a.maxlen < 0 || a.maxlen > ZELINE_TEXTMAX) {
        printf("zelineinput_create: maxlen=%d out of range, %d used\n", a.maxlen,
               a.maxlen < 0 ? 0 : ZELINE_TEXTMAX);
        a.maxlen = a.maxlen < 0 ? 0 : ZELINE_TEXTMAX;
    }
    l->maxlen = a.maxlen;
    l->alignright = a.alignright, l->keepfocus = a.keepfocus, l->password = a.password;
    if (a.hasdefault) snprintf(l->text, sizeof l->text, "%s", a.deftext);
}

static void natural(zeControl *c, int *w, int *h) {
    *w = DEFAULT_WIDTH;
    *h = zefont_height(c->font) + 8;
}

static void release(zeControl *c) {
    zeLineInput *l = (zeLineInput *)c;
    blink(l, false);
    if (l->dragging) zecontrol_capture(c, false);
    l->dragging = false;
}

static const zeControlKind kLineInput = {"lineinput", 0, parse, natural, draw, handle, release};

void zelineinput_init(zeLineInput *l) {
    zecontrol_init(&l->c, &kLineInput);
    l->text[0] = 0;
    memset(l->sel, 0, sizeof l->sel);
    l->maxlen = ZELINE_MAXLEN;
    l->cursor = l->scroll = l->cursorx = 0;
    l->cursoron = l->shift = l->dragging = l->blinking = false;
    l->anchor = l->draganchor = 0;
    l->alignright = l->keepfocus = l->password = false;
}

// A background given in the options, which otherwise is white here rather
// than the controls' grey.
static bool bg_given(const char *text) {
    return zecfgstr_find_flag(text, "bgcol") || zecfgstr_find_flag(text, "background");
}

bool zelineinput_vcreate(zeLineInput *l, const char *fmt, va_list ap) {
    char opts[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(opts, fmt ? fmt : "", ap);
    if (l->c.created) zelineinput_destroy(l);
    zelineinput_init(l);
    l->c.border = 2;
    // The leading comma: every entry is an option.
    if (!zecontrol_create(&l->c, ",%s", opts)) return false;
    if (!bg_given(opts)) {
        l->c.bgcolor = l->c.colors[ZECOL_WHITE];
        zecontrol_redraw(&l->c);
    }
    l->cursor = length(l);
    return true;
}

bool zelineinput_create(zeLineInput *l, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zelineinput_vcreate(l, fmt, ap);
    va_end(ap);
    return ok;
}

void zelineinput_destroy(zeLineInput *l) {
    if (l->c.created) zecontrol_release(&l->c);
    else blink(l, false);
}

// ----- text access -----

void zelineinput_set_text(zeLineInput *l, const char *text) {
    snprintf(l->text, sizeof l->text, "%s", text ? text : "");
    clear_sel(l);
    l->cursor = length(l);
    l->scroll = 0;
    keep_visible(l);
    zecontrol_redraw(&l->c);
}

void zelineinput_printf(zeLineInput *l, const char *fmt, ...) {
    char buf[ZELINE_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    zelineinput_set_text(l, buf);
}

void zelineinput_set_int(zeLineInput *l, int value) { zelineinput_printf(l, "%d", value); }

char *zelineinput_get_text(const zeLineInput *l, char *out, int size) {
    if (!out || size <= 0) return out;
    snprintf(out, size, "%s", l->text);
    return out;
}

bool zelineinput_focus(zeLineInput *l) {
    if (l->c.grey) return false;
    return zecontrol_ask_focus(&l->c);
}
