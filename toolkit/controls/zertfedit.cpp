// The rich-text editor.
#include "zertfedit.h"
#include "zecfgstr.h"
#include "zeclipboard.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zetextmenu.h"
#include "zetimer.h"
#include "zewindow.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

enum { PAD = 3, TICK_KEY = 1, WHEEL_LINES = 3, TAB_BLANKS = 4, ITALIC_SLOPE = 4 };

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// ----- the buffer -----

static bool reserve(zeRTFEdit *e, int n) {
    if (n <= e->cap) return true;
    int cap = e->cap > 0 ? e->cap : 256;
    while (cap < n) cap = cap > ZERTF_MAXTEXT / 2 ? ZERTF_MAXTEXT : cap * 2;
    char *t = (char *)realloc(e->text, (size_t)cap + 1);
    if (!t) return false;
    e->text = t;
    unsigned char *a = (unsigned char *)realloc(e->attr, (size_t)cap + 1);
    if (!a) return false;
    e->attr = a;
    e->cap = cap;
    return true;
}

// Inserts n characters of one attribute at pos; what exceeds the limit is cut.
// Returns how many went in.
static int insert(zeRTFEdit *e, int pos, const char *s, int n, int attr) {
    if (n > ZERTF_MAXTEXT - e->len) n = ZERTF_MAXTEXT - e->len;
    if (n <= 0 || !reserve(e, e->len + n)) return 0;
    pos = clampi(pos, 0, e->len);
    memmove(e->text + pos + n, e->text + pos, e->len - pos);
    memmove(e->attr + pos + n, e->attr + pos, e->len - pos);
    memcpy(e->text + pos, s, n);
    memset(e->attr + pos, attr & ZERTF_ATTRS, n);
    e->len += n;
    e->text[e->len] = 0;
    return n;
}

static void erase(zeRTFEdit *e, int from, int to) {
    from = clampi(from, 0, e->len), to = clampi(to, from, e->len);
    memmove(e->text + from, e->text + to, e->len - to);
    memmove(e->attr + from, e->attr + to, e->len - to);
    e->len -= to - from;
    if (e->text) e->text[e->len] = 0;
}

// ----- measuring and wrapping -----

static int font_of(const zeRTFEdit *e, int attr) { return attr & ZERTF_BOLD ? e->boldfont : e->font; }

static int char_w(const zeRTFEdit *e, int i) {
    unsigned char ch = (unsigned char)e->text[i];
    if (ch == '\n') return 0;
    int f = font_of(e, e->attr[i]);
    if (ch == '\t') return TAB_BLANKS * zefont_char_width(f, ' ');
    return zefont_char_width(f, ch);
}

static int left(const zeRTFEdit *e) { return e->c.x + PAD; }
static int top(const zeRTFEdit *e) { return e->c.y + PAD; }
static int area_w(const zeRTFEdit *e) {
    int w = e->c.w - 2 * PAD - (e->bars.von ? e->bars.bw : 0);
    return w < 1 ? 1 : w;
}
int zertfedit_visible_lines(const zeRTFEdit *e) {
    int n = (e->c.h - 2 * PAD - (e->bars.hon ? e->bars.bh : 0)) / (e->fh > 0 ? e->fh : 1);
    return n < 1 ? 1 : n;
}

static bool push_line(zeRTFEdit *e, int start) {
    if (e->nlines == e->linecap) {
        int cap = e->linecap ? e->linecap * 2 : 64;
        int *l = (int *)realloc(e->lines, (size_t)cap * sizeof(int));
        if (!l) return false;
        e->lines = l, e->linecap = cap;
    }
    e->lines[e->nlines++] = start;
    return true;
}

// Display lines: a hard break ends a line; with wrap a line that grows past
// the area breaks after its last blank, or inside a word wider than the area.
static void relayout(zeRTFEdit *e) {
    e->nlines = 0;
    e->widest = 0;
    if (!push_line(e, 0)) return;
    int avail = area_w(e), x = 0, start = 0, lastspace = -1;
    for (int i = 0; i < e->len; i++) {
        char ch = e->text[i];
        if (ch == '\n') {
            if (x > e->widest) e->widest = x;
            if (!push_line(e, i + 1)) return;
            x = 0, start = i + 1, lastspace = -1;
            continue;
        }
        int w = char_w(e, i);
        if (e->wrap && x + w > avail && i > start) {
            int brk = lastspace >= start ? lastspace + 1 : i;
            if (!push_line(e, brk)) return;
            x = 0;
            for (int j = brk; j < i; j++) x += char_w(e, j);
            start = brk, lastspace = -1;
        }
        if (ch == ' ') lastspace = i;
        x += w;
    }
    if (x > e->widest) e->widest = x;
}

int zertfedit_line_of(const zeRTFEdit *e, int pos) {
    int lo = 0, hi = e->nlines - 1;
    while (lo < hi) {   // the last line starting at or before pos
        int mid = (lo + hi + 1) / 2;
        if (e->lines[mid] <= pos) lo = mid;
        else hi = mid - 1;
    }
    return lo;
}

static int line_start(const zeRTFEdit *e, int li) { return e->lines[li]; }
// End of the line's visible characters (its hard break left out).
static int line_end(const zeRTFEdit *e, int li) {
    int end = li + 1 < e->nlines ? e->lines[li + 1] : e->len;
    if (end > line_start(e, li) && e->text[end - 1] == '\n') end--;
    return end;
}

// The last caret position of a line: on a wrapped line the one before the
// break, since the break itself starts the next line.
static int caret_end(const zeRTFEdit *e, int li) {
    int end = line_end(e, li);
    bool soft = li + 1 < e->nlines && e->text[e->lines[li + 1] - 1] != '\n';
    return soft && end > line_start(e, li) ? end - 1 : end;
}

static int x_of(const zeRTFEdit *e, int pos) {
    int li = zertfedit_line_of(e, pos), x = 0;
    for (int i = line_start(e, li); i < pos && i < e->len; i++) x += char_w(e, i);
    return x;
}

static int pos_at_x(const zeRTFEdit *e, int li, int x) {
    int end = caret_end(e, li), px = 0;
    for (int i = line_start(e, li); i < end; i++) {
        int w = char_w(e, i);
        if (px + w / 2 >= x) return i;
        px += w;
    }
    return end;
}

// ----- scrolling -----

static void update_thumbs(zeRTFEdit *e) {
    int vl = zertfedit_visible_lines(e), range = e->nlines - vl;
    zescrollbar_set_vertical(&e->bars, range > 0 ? e->sy * 100 / range : 0,
                             e->nlines > vl ? vl * 100 / e->nlines : 100);
    if (!e->bars.hon) return;
    int aw = area_w(e), hrange = e->widest - aw;
    zescrollbar_set_horizontal(&e->bars, hrange > 0 ? (int)((long)e->sx * 100 / hrange) : 0,
                               e->widest > aw ? (int)((long)aw * 100 / e->widest) : 100);
}

static void clamp_scroll(zeRTFEdit *e) {
    int vl = zertfedit_visible_lines(e);
    e->sy = clampi(e->sy, 0, e->nlines > vl ? e->nlines - vl : 0);
    e->sx = e->wrap ? 0 : clampi(e->sx, 0, e->widest > area_w(e) ? e->widest - area_w(e) + 1 : 0);
}

static void keep_visible(zeRTFEdit *e) {
    int li = zertfedit_line_of(e, e->caret), vl = zertfedit_visible_lines(e);
    if (li < e->sy) e->sy = li;
    if (li >= e->sy + vl) e->sy = li - vl + 1;
    if (!e->wrap) {
        int x = x_of(e, e->caret), aw = area_w(e);
        if (x < e->sx) e->sx = x;
        if (x >= e->sx + aw) e->sx = x - aw + 1;
    }
    clamp_scroll(e);
    update_thumbs(e);
}

static void setup_bars(zeRTFEdit *e) {
    e->bars.target = e->c.target;
    e->bars.parent = e->c.parent, e->bars.parentowner = e->c.parentowner, e->bars.parenthandle = e->c.handle;
    zescrollbar_setup(&e->bars, e->c.x, e->c.y, e->c.w, e->c.h, true, !e->wrap);
    relayout(e);
    keep_visible(e);
}

// ----- selection and format -----

bool zertfedit_selection(const zeRTFEdit *e, int *from, int *to) {
    *from = e->anchor < e->caret ? e->anchor : e->caret;
    *to = e->anchor < e->caret ? e->caret : e->anchor;
    return *from != *to;
}

int zertfedit_attr_at(const zeRTFEdit *e, int pos) { return pos >= 0 && pos < e->len ? e->attr[pos] : 0; }

// Typing goes on in the format of the character before the caret.
static void take_typeattr(zeRTFEdit *e) {
    if (e->caret > 0) e->typeattr = e->attr[e->caret - 1];
    else if (e->len > 0) e->typeattr = e->attr[0];
}

void zertfedit_get_format(const zeRTFEdit *e, zeRTFFormat *f) {
    int a, b, all = e->typeattr, any = e->typeattr;
    if (zertfedit_selection(e, &a, &b)) {
        all = ZERTF_ATTRS, any = 0;
        for (int i = a; i < b; i++) all &= e->attr[i], any |= e->attr[i];
    }
    f->bold = all & ZERTF_BOLD, f->italic = all & ZERTF_ITALIC, f->underline = all & ZERTF_UNDERLINE;
    f->mixed = any & ~all;
    snprintf(f->face, sizeof f->face, "Arial");
    f->points = ZERTF_POINTS;
}

static bool apply_format(zeRTFEdit *e, int mask, bool on) {
    mask &= ZERTF_ATTRS;
    int a, b;
    if (!zertfedit_selection(e, &a, &b)) {
        e->typeattr = on ? e->typeattr | mask : e->typeattr & ~mask;
        return false;
    }
    for (int i = a; i < b; i++) e->attr[i] = on ? e->attr[i] | mask : e->attr[i] & ~mask;
    relayout(e);   // bold letters are wider
    keep_visible(e);
    return true;
}

static bool delete_sel(zeRTFEdit *e) {
    int a, b;
    if (!zertfedit_selection(e, &a, &b)) return false;
    erase(e, a, b);
    e->caret = e->anchor = a;
    return true;
}

// Replaces the selection with text in the format of its first character,
// or in the typed format at the caret.
static void insert_text(zeRTFEdit *e, const std::string &s) {
    int a, b;
    if (zertfedit_selection(e, &a, &b)) e->typeattr = e->attr[a];
    delete_sel(e);
    e->caret += insert(e, e->caret, s.data(), (int)s.size(), e->typeattr);
    e->anchor = e->caret;
    relayout(e);
}

// ----- events -----

static void changed(zeRTFEdit *e, bool text) {
    keep_visible(e);
    e->cursoron = true;
    zecontrol_redraw(&e->c);
    if (text) zecontrol_post(&e->c, e->c.ids[ZERTF_ID_TEXT]);
    zecontrol_post(&e->c, e->c.ids[ZERTF_ID_CHANGE]);
}

// ----- clipboard -----

static void copy(zeRTFEdit *e) {
    int a, b;
    if (zertfedit_selection(e, &a, &b)) zeclipboard_set(std::string(e->text + a, b - a).c_str());
}

static bool paste(zeRTFEdit *e) {
    const char *clip = zeclipboard_get();
    if (!clip) return false;
    insert_text(e, zetext_clean(clip, ZERTF_MAXTEXT, false));
    return true;
}

// ----- keys -----

static bool shift_held(const zeRTFEdit *e) { return e->shift || (zewindow_modifiers() & ZEMOD_SHIFT); }

static void move(zeRTFEdit *e, int code) {
    bool ctrl = zewindow_modifiers() & ZEMOD_CTRL;
    int li = zertfedit_line_of(e, e->caret), vl = zertfedit_visible_lines(e);
    int a, b;
    bool sel = zertfedit_selection(e, &a, &b), keepgoal = false;
    switch (code) {
    case ZEKEY_LEFT: e->caret = sel && !shift_held(e) ? a : e->caret - 1; break;
    case ZEKEY_RIGHT: e->caret = sel && !shift_held(e) ? b : e->caret + 1; break;
    case ZEKEY_HOME: e->caret = ctrl ? 0 : line_start(e, li); break;
    case ZEKEY_END: e->caret = ctrl ? e->len : caret_end(e, li); break;
    case ZEKEY_UP: case ZEKEY_DOWN: case ZEKEY_PAGEUP: case ZEKEY_PAGEDOWN: {
        int step = code == ZEKEY_UP ? -1 : code == ZEKEY_DOWN ? 1 : code == ZEKEY_PAGEUP ? -vl : vl;
        if (e->goalx < 0) e->goalx = x_of(e, e->caret);
        int to = clampi(li + step, 0, e->nlines - 1);
        if (code == ZEKEY_PAGEUP || code == ZEKEY_PAGEDOWN) e->sy += to - li;
        e->caret = to == li && step < 0 ? 0 : to == li ? e->len : pos_at_x(e, to, e->goalx);
        keepgoal = true;
        break;
    }
    }
    if (!keepgoal) e->goalx = -1;
    e->caret = clampi(e->caret, 0, e->len);
    if (!shift_held(e)) e->anchor = e->caret;
    take_typeattr(e);
}

// True when characters changed (not only the format of typed text).
static bool toggle(zeRTFEdit *e, int mask) {
    zeRTFFormat f;
    zertfedit_get_format(e, &f);
    bool has = mask == ZERTF_BOLD ? f.bold : mask == ZERTF_ITALIC ? f.italic : f.underline;
    return apply_format(e, mask, !has);
}

static bool printable(int code) { return (code >= 32 && code < 127) || (code >= 160 && code <= 255); }

// Returns whether the text changed; -1 when nothing happened at all.
static int key(zeRTFEdit *e, int code) {
    bool ctrl = zewindow_modifiers() & ZEMOD_CTRL;
    if (code != ZEKEY_UP && code != ZEKEY_DOWN && code != ZEKEY_PAGEUP && code != ZEKEY_PAGEDOWN) e->goalx = -1;
    switch (code) {
    case ZEKEY_LEFT: case ZEKEY_RIGHT: case ZEKEY_UP: case ZEKEY_DOWN:
    case ZEKEY_PAGEUP: case ZEKEY_PAGEDOWN: case ZEKEY_HOME: case ZEKEY_END:
        move(e, code);
        return 0;
    case 1: zertfedit_select(e, 0, e->len); return 0;
    case 2: return toggle(e, ZERTF_BOLD) ? 1 : 0;
    case 21: return toggle(e, ZERTF_UNDERLINE) ? 1 : 0;
    case 8:
        if (!delete_sel(e) && e->caret > 0) erase(e, e->caret - 1, e->caret), e->anchor = --e->caret;
        break;
    case ZEKEY_DELETE:
        if (!delete_sel(e) && e->caret < e->len) erase(e, e->caret, e->caret + 1);
        break;
    case ZEKEY_ENTER: case 13: insert_text(e, "\n"); break;
    case ZEKEY_TAB:   // Ctrl+I arrives as Tab
        if (ctrl) return toggle(e, ZERTF_ITALIC) ? 1 : 0;
        insert_text(e, "\t");
        break;
    default:
        if (!printable(code) || ctrl) return -1;
        insert_text(e, std::string(1, (char)code));
    }
    relayout(e);
    return 1;
}

// ----- mouse -----

static int pos_at(const zeRTFEdit *e, int px, int py) {
    int dy = py - top(e);
    int li = clampi((dy < 0 ? -1 : dy / e->fh) + e->sy, 0, e->nlines - 1);
    return pos_at_x(e, li, px - left(e) + e->sx);
}

static void press(zeRTFEdit *e, int px, int py) {
    if (!e->c.focus && !zecontrol_ask_focus(&e->c)) return;
    e->caret = pos_at(e, px, py);
    if (!shift_held(e)) e->anchor = e->caret;
    take_typeattr(e);
    e->dragging = true;
    zecontrol_capture(&e->c, true);
    changed(e, false);
}

static void drag(zeRTFEdit *e, int px, int py) {
    if (!e->dragging) return;
    int to = pos_at(e, px, py);
    if (to == e->caret) return;
    e->caret = to;
    changed(e, false);
}

static void release_drag(zeRTFEdit *e) {
    if (!e->dragging) return;
    e->dragging = false;
    zecontrol_capture(&e->c, false);
}

static bool word_char(char ch) { return ch != ' ' && ch != '\n' && ch != '\t'; }

static void select_word(zeRTFEdit *e, int px, int py) {
    int p = pos_at(e, px, py), a = p, b = p;
    while (a > 0 && word_char(e->text[a - 1])) a--;
    while (b < e->len && word_char(e->text[b])) b++;
    e->anchor = a, e->caret = b;
    changed(e, false);
}

static void scroll_to(zeRTFEdit *e, int sx, int sy) {
    e->sx = sx, e->sy = sy;
    clamp_scroll(e);
    update_thumbs(e);
    zecontrol_redraw(&e->c);
}

static zearg bar_command(void *owner, int cmd, zearg a1, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeRTFEdit *e = (zeRTFEdit *)owner;
    int vl = zertfedit_visible_lines(e), step = e->fh * 2;
    switch (cmd) {
    case ZESB_UP: scroll_to(e, e->sx, e->sy - 1); break;
    case ZESB_DOWN: scroll_to(e, e->sx, e->sy + 1); break;
    case ZESB_LEFT: scroll_to(e, e->sx - step, e->sy); break;
    case ZESB_RIGHT: scroll_to(e, e->sx + step, e->sy); break;
    case ZESB_PAGEUP: scroll_to(e, e->sx, e->sy - vl); break;
    case ZESB_PAGEDOWN: scroll_to(e, e->sx, e->sy + vl); break;
    case ZESB_VPOS: scroll_to(e, e->sx, (int)((long)a1 * (e->nlines - vl) / 100)); break;
    case ZESB_HPOS: scroll_to(e, (int)((long)a1 * (e->widest - area_w(e)) / 100), e->sy); break;
    }
    return 0;
}

static void context_menu(zeRTFEdit *e, int px, int py) {
    if (e->c.grey) return;
    release_drag(e);
    int a, b;
    switch (zetextmenu_run(&e->c, px, py, zertfedit_selection(e, &a, &b))) {
    case ZETEXTMENU_CUT: copy(e), delete_sel(e), relayout(e), changed(e, true); break;
    case ZETEXTMENU_COPY: copy(e); break;
    case ZETEXTMENU_PASTE: if (paste(e)) changed(e, true); break;
    case ZETEXTMENU_SELECTALL: zertfedit_select(e, 0, e->len); break;
    }
}

// ----- drawing -----

// Italic letters lean: each row moves right by its height above the base / 4.
static void draw_glyph(zeRTFEdit *e, int font, int x, int y, int color, bool italic, int ch, int right) {
    if (!italic) {
        zefont_draw_char(e->c.target, font, x, y, color, false, false, -1, ch);
        return;
    }
    zeGlyph g;
    if (!zefont_glyph(font, ch, &g)) return;
    for (int r = 0; r < g.height; r++) {
        int dx = (e->ascent - r) / ITALIC_SLOPE;
        for (int col = 0; col < g.width; col++)
            if (g.pixels[r * g.width + col] && x + col + dx < right) zepxmap_setpixel(e->c.target, x + col + dx, y + r, color);
    }
}

static void draw_line(zeRTFEdit *e, int li, int py, int a, int b) {
    zeControl *c = &e->c;
    int fg = c->grey ? c->colors[ZECOL_TEXTGREY] : c->textcolor;
    int selfg = c->colors[ZECOL_TEXTSEL], selbg = c->colors[ZECOL_BLUE];
    int right = left(e) + area_w(e), x = -e->sx;
    for (int i = line_start(e, li), end = line_end(e, li); i < end; i++) {
        int w = char_w(e, i), px = left(e) + x;
        x += w;
        if (px < left(e)) continue;
        if (px + w > right) break;
        bool sel = i >= a && i < b;
        if (sel) zepxmap_fillrect(c->target, px, py, w, e->fh, selbg);
        int color = sel ? selfg : fg, at = e->attr[i];
        unsigned char ch = (unsigned char)e->text[i];
        if (ch != ' ' && ch != '\t') draw_glyph(e, font_of(e, at), px, py, color, at & ZERTF_ITALIC, ch, right);
        if (at & ZERTF_UNDERLINE) zepxmap_fillrect(c->target, px, py + e->ascent + 1, w, 1, color);
    }
}

static void draw(zeControl *c) {
    zeRTFEdit *e = (zeRTFEdit *)c;
    if (!e->lines) return;
    zePixmap *p = c->target;
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, c->bgcolor);
    if (c->border) zeframe_draw(p, ZEFRAME_DOUBLE, true, c->x, c->y, c->w, c->h);
    int a, b, vl = zertfedit_visible_lines(e);
    zertfedit_selection(e, &a, &b);
    for (int i = 0; i < vl && e->sy + i < e->nlines; i++) draw_line(e, e->sy + i, top(e) + i * e->fh, a, b);
    int li = zertfedit_line_of(e, e->caret), cx = left(e) + x_of(e, e->caret) - e->sx;
    bool shown = li >= e->sy && li < e->sy + vl && cx >= left(e) && cx < left(e) + area_w(e);
    if (c->focus && e->cursoron && !c->grey && shown)
        zepxmap_fillrect(p, cx, top(e) + (li - e->sy) * e->fh, 1, e->fh, c->textcolor);
    zescrollbar_draw(&e->bars);
}

// ----- the handler -----

static zearg tick(void *owner, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeRTFEdit *e = (zeRTFEdit *)owner;
    if (!e->c.focus) return 0;
    e->cursoron = !e->cursoron;
    zecontrol_redraw(&e->c);
    return 0;
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeRTFEdit *e = (zeRTFEdit *)owner;
    zeControl *c = &e->c;
    int px = (int)a1, py = (int)a2;
    bool mouse = msg == ZEMSG_LDOWN || msg == ZEMSG_LUP || msg == ZEMSG_LDOUBLE || msg == ZEMSG_MOTION ||
                 msg == ZEMSG_LEAVE;
    if (mouse && !e->dragging && zescrollbar_mouse(&e->bars, msg, px, py)) return 0;
    switch (msg) {
    case ZEMSG_KEYDOWN: {
        if (a1 == ZEKEY_SHIFT) e->shift = true;
        if (!c->focus || c->grey || a1 == ZEKEY_SHIFT) return 0;
        int oc = e->caret, oa = e->anchor;
        int r = key(e, (int)a1);
        if (r > 0 || oc != e->caret || oa != e->anchor) changed(e, r > 0);
        return 0;
    }
    case ZEMSG_KEYUP:
        if (a1 == ZEKEY_SHIFT) e->shift = false;
        return 0;
    case ZEMSG_LDOWN:
        if (!c->grey) press(e, px, py);
        return 0;
    case ZEMSG_LDOUBLE:
        if (!c->grey && (c->focus || zecontrol_ask_focus(c))) select_word(e, px, py);
        return 0;
    case ZEMSG_MOTION: drag(e, px, py); return 0;
    case ZEMSG_LUP: release_drag(e); return 0;
    case ZEMSG_WHEELUP: scroll_to(e, e->sx, e->sy - WHEEL_LINES); return 0;
    case ZEMSG_WHEELDOWN: scroll_to(e, e->sx, e->sy + WHEEL_LINES); return 0;
    case ZEMSG_RDOWN: case ZEMSG_RDOUBLE: context_menu(e, px, py); return 0;
    case ZEMSG_FOCUS:
        if (c->grey) return 0;
        e->cursoron = true;
        return zecontrol_default(c, msg);
    case ZEMSG_UNFOCUS: {
        bool had = c->focus;
        release_drag(e);
        e->shift = false;
        zecontrol_default(c, msg);
        if (had) zecontrol_post(c, c->ids[0]);
        return 0;
    }
    case ZEMSG_PASTE:
        if (c->focus && !c->grey && paste(e)) changed(e, true);
        return 0;
    case ZEMSG_COPY:
        if (c->focus) copy(e);
        return 0;
    case ZEMSG_CUT:
        if (c->focus && !c->grey && (copy(e), delete_sel(e))) relayout(e), changed(e, true);
        return 0;
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        setup_bars(e);
        zecontrol_redraw(c);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- creation -----

static void natural(zeControl *c, int *w, int *h) {
    *w = 300;
    *h = 8 * 15 + 2 * PAD;
    (void)c;
}

static void release(zeControl *c) {
    zeRTFEdit *e = (zeRTFEdit *)c;
    if (e->ticking) zetimer_remove(e, TICK_KEY);
    e->ticking = false;
    if (e->dragging) zecontrol_capture(c, false);
    e->dragging = false;
    zescrollbar_destroy(&e->bars);
    free(e->text), free(e->attr), free(e->lines);
    e->text = nullptr, e->attr = nullptr, e->lines = nullptr;
    e->len = e->cap = e->nlines = e->linecap = 0;
}

static const zeControlKind kRTFEdit = {"rtfedit", ZECHILD_TAB, nullptr, natural, draw, handle, release};

void zertfedit_init(zeRTFEdit *e) {
    zecontrol_init(&e->c, &kRTFEdit);
    e->text = nullptr, e->attr = nullptr, e->lines = nullptr;
    e->len = e->cap = e->nlines = e->linecap = 0;
    e->caret = e->anchor = e->typeattr = e->sy = e->sx = e->widest = 0;
    e->goalx = -1;
    e->wrap = true;
    e->cursoron = e->shift = e->dragging = e->ticking = false;
    e->font = e->boldfont = ZEFONT_DEFAULT;
    e->fh = 13, e->ascent = 10;
    zescrollbar_init(&e->bars);
}

// Arial at 10 points is the 12-pixel face of the Arial set.
static void load_fonts(zeRTFEdit *e) {
    int f = zefont_load_set("arial12"), fb = zefont_load_set("arial12b");
    e->font = f >= 0 ? f : e->c.font;
    e->boldfont = fb >= 0 ? fb : e->font;
    int h = zefont_height(e->font), hb = zefont_height(e->boldfont);
    e->fh = (hb > h ? hb : h) > 0 ? (hb > h ? hb : h) : 13;
    e->ascent = zefont_ascent(e->font) > 0 ? zefont_ascent(e->font) : e->fh * 3 / 4;
}

bool zertfedit_vcreate(zeRTFEdit *e, const char *fmt, va_list ap) {
    char opts[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(opts, fmt ? fmt : "", ap);
    if (e->c.created) zertfedit_destroy(e);
    zertfedit_init(e);
    e->c.border = 2;
    e->c.redraw = false;   // nothing to draw until the buffers are there
    if (!zecontrol_create(&e->c, ",%s", opts)) return false;
    if (!zecfgstr_find_flag(opts, "bgcol") && !zecfgstr_find_flag(opts, "background"))
        e->c.bgcolor = e->c.colors[ZECOL_WHITE];
    e->wrap = !zecfgstr_find_flag(opts, "nowrap");
    static const struct { const char *flag; int attr; } kAttrs[] = {
        {"bold", ZERTF_BOLD}, {"italic", ZERTF_ITALIC}, {"underline", ZERTF_UNDERLINE}};
    for (const auto &a : kAttrs)
        if (zecfgstr_find_flag(opts, a.flag)) e->typeattr |= a.attr;
    load_fonts(e);
    if (!reserve(e, 256)) {
        printf("zertfedit_create: no memory\n");
        zertfedit_destroy(e);
        return false;
    }
    e->text[0] = 0;
    e->bars.cmd = bar_command, e->bars.cmdowner = e;
    setup_bars(e);
    if (!e->lines) {
        printf("zertfedit_create: no memory\n");
        zertfedit_destroy(e);
        return false;
    }
    e->ticking = zetimer_set(tick, e, ZERTF_TICK_MS, TICK_KEY);
    e->c.redraw = true;
    zecontrol_redraw(&e->c);
    return true;
}

bool zertfedit_create(zeRTFEdit *e, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zertfedit_vcreate(e, fmt, ap);
    va_end(ap);
    return ok;
}

void zertfedit_destroy(zeRTFEdit *e) {
    if (e->c.created) zecontrol_release(&e->c);
    else release(&e->c);
}

// ----- the programmer's side -----

void zertfedit_set_text(zeRTFEdit *e, const char *text) {
    if (!e->lines) return;
    e->len = 0;
    e->caret = e->anchor = e->sy = e->sx = 0;
    std::string t = zetext_clean(text ? text : "", ZERTF_MAXTEXT, false);
    insert(e, 0, t.data(), (int)t.size(), e->typeattr);
    relayout(e);
    changed(e, true);
}

void zertfedit_append(zeRTFEdit *e, const char *text) {
    if (!e->lines || !text) return;
    std::string t = zetext_clean(text, ZERTF_MAXTEXT, false);
    insert(e, e->len, t.data(), (int)t.size(), e->typeattr);
    e->caret = e->anchor = e->len;
    relayout(e);
    changed(e, true);
}

int zertfedit_get_text(const zeRTFEdit *e, char *out, int size) {
    if (out && size > 0) {
        int n = e->len < size - 1 ? e->len : size - 1;
        if (n > 0) memcpy(out, e->text, n);
        out[n] = 0;
    }
    return e->len;
}

void zertfedit_select(zeRTFEdit *e, int from, int to) {
    if (!e->lines) return;
    e->anchor = clampi(from, 0, e->len), e->caret = clampi(to, 0, e->len);
    take_typeattr(e);
    changed(e, false);
}

void zertfedit_set_format(zeRTFEdit *e, int mask, bool on) {
    if (!e->lines) return;
    if (apply_format(e, mask, on)) changed(e, true);
}

bool zertfedit_focus(zeRTFEdit *e) {
    if (e->c.grey || !e->c.created) return false;
    return zecontrol_ask_focus(&e->c);
}
