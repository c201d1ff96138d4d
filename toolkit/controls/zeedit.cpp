// The multi-line editor.
#include "zeedit.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
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
#include <vector>

enum { PAD = 2, SPARE = 1000, TICK_KEY = 1, WHEEL_LINES = 3 };

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }
static char *row(const zeEdit *e, int line) { return e->grid + (long)line * e->columns; }

// Characters up to the last non-blank.
static int line_len(const zeEdit *e, int line) {
    const char *r = row(e, line);
    int n = e->columns;
    while (n > 0 && r[n - 1] == ' ') n--;
    return n;
}

static bool line_blank(const zeEdit *e, int line) { return line_len(e, line) == 0; }

// ----- geometry -----

static int number_w(const zeEdit *e) {
    if (!e->linenumbers) return 0;
    int digits = 1;
    for (int n = e->lines; n >= 10; n /= 10) digits++;
    return (digits + 1) * e->charw;
}
static int text_x(const zeEdit *e) { return e->c.x + PAD + number_w(e); }
static int text_y(const zeEdit *e) { return e->c.y + PAD; }

int zeedit_visible_columns(const zeEdit *e) {
    int w = e->c.w - 2 * PAD - number_w(e) - (e->bars.von ? e->bars.bw : 0);
    int n = w / (e->charw > 0 ? e->charw : 1);
    return n < 1 ? 1 : n;
}

int zeedit_visible_lines(const zeEdit *e) {
    int h = e->c.h - 2 * PAD - (e->bars.hon ? e->bars.bh : 0);
    int n = h / (e->fh > 0 ? e->fh : 1);
    return n < 1 ? 1 : n;
}

static void update_thumbs(zeEdit *e) {
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    if (e->bars.von) {
        int range = e->lines - vl;
        zescrollbar_set_vertical(&e->bars, range > 0 ? e->sy * 100 / range : 0, vl * 100 / e->lines);
    }
    if (e->bars.hon) {
        int range = e->columns - vc;
        zescrollbar_set_horizontal(&e->bars, range > 0 ? e->sx * 100 / range : 0, vc * 100 / e->columns);
    }
}

// The bars that the grid needs over the control's rectangle.
static void setup_bars(zeEdit *e) {
    e->bars.von = e->bars.hon = false;
    bool v = e->lines > zeedit_visible_lines(e), h = e->columns > zeedit_visible_columns(e);
    e->bars.von = v, e->bars.hon = h;
    // One bar can take the room that makes the other needed.
    if (!v && h) v = e->lines > zeedit_visible_lines(e);
    if (v && !h) {
        e->bars.von = true;
        h = e->columns > zeedit_visible_columns(e);
    }
    e->bars.target = e->c.target;
    e->bars.parent = e->c.parent, e->bars.parentowner = e->c.parentowner, e->bars.parenthandle = e->c.handle;
    zescrollbar_setup(&e->bars, e->c.x, e->c.y, e->c.w, e->c.h, v, h);
    update_thumbs(e);
}

// Scrolls so that the cursor is visible.
static void keep_visible(zeEdit *e) {
    e->cx = clampi(e->cx, 0, e->columns - 1), e->cy = clampi(e->cy, 0, e->lines - 1);
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    if (e->cy < e->sy) e->sy = e->cy;
    if (e->cy >= e->sy + vl) e->sy = e->cy - vl + 1;
    if (e->cx < e->sx) e->sx = e->cx;
    if (e->cx >= e->sx + vc) e->sx = e->cx - vc + 1;
    e->sy = clampi(e->sy, 0, e->lines > vl ? e->lines - vl : 0);
    e->sx = clampi(e->sx, 0, e->columns > vc ? e->columns - vc : 0);
    update_thumbs(e);
}

// ----- selection -----

static long pos(const zeEdit *e, int x, int y) { return (long)y * e->columns + x; }

static void sel_range(const zeEdit *e, int *x0, int *y0, int *x1, int *y1) {
    if (pos(e, e->ax, e->ay) <= pos(e, e->cx, e->cy)) *x0 = e->ax, *y0 = e->ay, *x1 = e->cx, *y1 = e->cy;
    else *x0 = e->cx, *y0 = e->cy, *x1 = e->ax, *y1 = e->ay;
}

static bool has_sel(const zeEdit *e) { return e->hassel && (e->ax != e->cx || e->ay != e->cy); }

static bool selected(const zeEdit *e, int x, int y) {
    if (!has_sel(e)) return false;
    int x0, y0, x1, y1;
    sel_range(e, &x0, &y0, &x1, &y1);
    long p = pos(e, x, y);
    return p >= pos(e, x0, y0) && p < pos(e, x1, y1);
}

static void clear_sel(zeEdit *e) { e->hassel = false; }

// Text of the range, lines joined by LF, trailing blanks of each line left out.
static std::string range_text(const zeEdit *e, int x0, int y0, int x1, int y1) {
    std::string out;
    for (int y = y0; y <= y1; y++) {
        int from = y == y0 ? x0 : 0, to = y == y1 ? x1 : e->columns;
        int len = line_len(e, y);
        if (to > len) to = len;
        if (to > from) out.append(row(e, y) + from, to - from);
        if (y < y1) out += '\n';
    }
    return out;
}

// ----- the document as lines (bulk edits) -----

struct Line {
    std::string text;
    bool hard;
};

static std::vector<Line> take_lines(const zeEdit *e) {
    std::vector<Line> v;
    int last = e->lines - 1;
    while (last > 0 && line_blank(e, last)) last--;
    for (int y = 0; y <= last; y++) v.push_back({std::string(row(e, y), line_len(e, y)), e->hard[y]});
    return v;
}

// Writes the lines back; a line longer than the grid continues on the next.
// Returns the grid position where the character at (line li, column ci) of
// the list landed.
static void put_lines(zeEdit *e, const std::vector<Line> &v, int li, int ci, int *gx, int *gy) {
    memset(e->grid, ' ', (size_t)e->lines * e->columns);
    memset(e->hard, 0, e->lines);
    int y = 0;
    *gx = *gy = -1;
    for (int i = 0; i < (int)v.size() && y < e->lines; i++) {
        const std::string &t = v[i].text;
        size_t at = 0;
        do {
            size_t n = t.size() - at < (size_t)e->columns ? t.size() - at : (size_t)e->columns;
            memcpy(row(e, y), t.data() + at, n);
            if (i == li && ci >= (int)at && (ci < (int)(at + e->columns) || at + n >= t.size()))
                *gx = ci - (int)at, *gy = y;
            at += n;
            if (at < t.size()) y++;
        } while (at < t.size() && y < e->lines);
        if (y < e->lines) e->hard[y] = v[i].hard;
        y++;
    }
    if (*gy < 0) *gx = 0, *gy = y < e->lines ? y : e->lines - 1;
    if (*gx >= e->columns) *gx = e->columns - 1;
}

// Removes the selection; the cursor goes to its start.
static bool delete_sel(zeEdit *e) {
    if (!has_sel(e)) return clear_sel(e), false;
    int x0, y0, x1, y1;
    sel_range(e, &x0, &y0, &x1, &y1);
    std::vector<Line> v = take_lines(e);
    while ((int)v.size() <= y1) v.push_back({"", false});
    std::string head = v[y0].text.substr(0, (size_t)x0 < v[y0].text.size() ? x0 : v[y0].text.size());
    head.resize(x0, ' ');
    std::string tail = (size_t)x1 < v[y1].text.size() ? v[y1].text.substr(x1) : "";
    bool hard = v[y1].hard;
    v.erase(v.begin() + y0 + 1, v.begin() + y1 + 1);
    v[y0] = {head + tail, hard};
    int gx, gy;
    put_lines(e, v, y0, x0, &gx, &gy);
    e->cx = gx, e->cy = gy;
    clear_sel(e);
    return true;
}

// Tabs expand to the tab width counted from the start of each line.
static std::string expand_tabs(const std::string &s, int col, int tab) {
    std::string out;
    for (char ch : s) {
        if (ch == '\t') {
            int n = tab - (col % tab);
            out.append(n, ' ');
            col += n;
        } else {
            out += ch;
            col = ch == '\n' ? 0 : col + 1;
        }
    }
    return out;
}

// Inserts text at the cursor; the cursor goes after it.
static void insert_text(zeEdit *e, const std::string &raw) {
    delete_sel(e);
    std::string text = expand_tabs(raw, e->cx, e->tabspace);
    std::vector<Line> v = take_lines(e);
    while ((int)v.size() <= e->cy) v.push_back({"", false});
    std::string &cur = v[e->cy].text;
    if ((int)cur.size() < e->cx) cur.resize(e->cx, ' ');
    std::string tail = cur.substr(e->cx);
    bool hard = v[e->cy].hard;
    cur.resize(e->cx);
    std::vector<Line> add;
    size_t start = 0;
    for (;;) {
        size_t nl = text.find('\n', start);
        add.push_back({text.substr(start, nl == std::string::npos ? std::string::npos : nl - start), true});
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    cur += add[0].text;
    int li = e->cy, ci = (int)cur.size();
    v[e->cy].hard = add.size() > 1 ? true : hard;
    for (size_t i = 1; i < add.size(); i++) {
        v.insert(v.begin() + e->cy + i, add[i]);
        li = e->cy + (int)i, ci = (int)add[i].text.size();
    }
    v[li].text += tail;
    v[li].hard = hard;
    int gx, gy;
    put_lines(e, v, li, ci, &gx, &gy);
    e->cx = gx, e->cy = gy;
}

// ----- single-character edits on the grid -----

// The rest of the line shifts right by one; its last character is lost.
static void put_char(zeEdit *e, char ch) {
    char *r = row(e, e->cy);
    memmove(r + e->cx + 1, r + e->cx, e->columns - e->cx - 1);
    r[e->cx] = ch;
    if (++e->cx >= e->columns) {
        if (e->cy + 1 < e->lines) e->cx = 0, e->cy++;
        else e->cx = e->columns - 1;
    }
}

// Word break: a line that reaches the visible width sends its last word on.
static void wrap_line(zeEdit *e, int y) {
    int limit = zeedit_visible_columns(e);
    if (limit > e->columns) limit = e->columns;
    for (int guard = 0; guard < e->lines && y + 1 < e->lines; guard++, y++) {
        int len = line_len(e, y);
        if (len < limit) return;
        char *r = row(e, y);
        int start = len;
        while (start > 0 && r[start - 1] != ' ') start--;
        if (start == 0) return;   // one word fills the line: it stays
        std::string word(r + start, len - start);
        bool cursor_in_word = e->cy == y && e->cx >= start;
        int offset = e->cx - start;
        memset(r + start, ' ', len - start);
        std::vector<Line> v = take_lines(e);
        while ((int)v.size() <= y + 1) v.push_back({"", false});
        if (e->hard[y] || y + 1 >= (int)v.size()) {
            v.insert(v.begin() + y + 1, {word, e->hard[y]});
            v[y].hard = false;
        } else {
            v[y + 1].text = word + (v[y + 1].text.empty() ? "" : " " + v[y + 1].text);
        }
        int gx, gy;
        put_lines(e, v, 0, 0, &gx, &gy);
        if (cursor_in_word) e->cy = y + 1, e->cx = offset;
    }
}

static void type_char(zeEdit *e, char ch) {
    delete_sel(e);
    put_char(e, ch);
    if (e->wordbreak) wrap_line(e, e->cx == 0 && e->cy > 0 ? e->cy - 1 : e->cy);
}

static void tab(zeEdit *e) {
    delete_sel(e);
    int n = e->tabspace - e->cx % e->tabspace;
    for (int i = 0; i < n && e->cx + 1 < e->columns; i++) put_char(e, ' ');
}

// Leading blanks of the nearest non-empty line at or above y.
static int indent_of(const zeEdit *e, int y) {
    for (; y >= 0; y--) {
        if (line_blank(e, y)) continue;
        const char *r = row(e, y);
        int n = 0;
        while (n < e->columns && r[n] == ' ') n++;
        return n;
    }
    return 0;
}

// The rest of the line goes to a new line below; refused on the last line or
// when the last line holds text (the grid would push it out).
static void enter(zeEdit *e) {
    delete_sel(e);
    if (e->cy + 1 >= e->lines || !line_blank(e, e->lines - 1)) return;
    int indent = 0;
    if (e->autoindent) {
        indent = indent_of(e, e->cy);
        if (indent > e->columns - 4) indent = e->columns - 4 > 0 ? e->columns - 4 : 0;
    }
    long rest = (long)(e->lines - e->cy - 2) * e->columns;
    memmove(row(e, e->cy + 2), row(e, e->cy + 1), rest);
    memmove(e->hard + e->cy + 2, e->hard + e->cy + 1, e->lines - e->cy - 2);
    char *cur = row(e, e->cy), *next = row(e, e->cy + 1);
    memset(next, ' ', e->columns);
    int n = e->columns - e->cx;
    if (n > e->columns - indent) n = e->columns - indent;
    memcpy(next + indent, cur + e->cx, n);
    memset(cur + e->cx, ' ', e->columns - e->cx);
    e->hard[e->cy + 1] = e->hard[e->cy];
    e->hard[e->cy] = true;
    e->cy++, e->cx = indent;
}

// Joins line y + 1 onto the end of line y when it fits.
static bool join(zeEdit *e, int y) {
    if (y + 1 >= e->lines) return false;
    int a = line_len(e, y), b = line_len(e, y + 1);
    if (a + b > e->columns) return false;
    memcpy(row(e, y) + a, row(e, y + 1), b);
    e->hard[y] = e->hard[y + 1];
    memmove(row(e, y + 1), row(e, y + 2), (long)(e->lines - y - 2) * e->columns);
    memmove(e->hard + y + 1, e->hard + y + 2, e->lines - y - 2);
    memset(row(e, e->lines - 1), ' ', e->columns);
    e->hard[e->lines - 1] = false;
    e->cx = a, e->cy = y;
    return true;
}

static void remove_at(zeEdit *e, int x) {
    char *r = row(e, e->cy);
    memmove(r + x, r + x + 1, e->columns - x - 1);
    r[e->columns - 1] = ' ';
}

static void backspace(zeEdit *e) {
    if (delete_sel(e)) return;
    if (e->cx > 0) {
        if (e->cx > line_len(e, e->cy)) {   // beyond the text: only the cursor moves
            e->cx--;
            return;
        }
        remove_at(e, --e->cx);
    } else if (e->cy > 0) {
        join(e, e->cy - 1);
    }
}

static void del(zeEdit *e) {
    if (delete_sel(e)) return;
    if (e->cx < line_len(e, e->cy)) remove_at(e, e->cx);
    else join(e, e->cy);
}

// ----- clipboard -----

static void copy(zeEdit *e) {
    if (!has_sel(e)) return;
    int x0, y0, x1, y1;
    sel_range(e, &x0, &y0, &x1, &y1);
    zeclipboard_set(range_text(e, x0, y0, x1, y1).c_str());
}

static void cut(zeEdit *e) {
    if (!has_sel(e)) return;
    copy(e);
    delete_sel(e);
}

static void paste(zeEdit *e) {
    const char *clip = zeclipboard_get();
    if (!clip) return;
    // More than the grid holds cannot land anyway.
    insert_text(e, zetext_clean(clip, (size_t)e->lines * (e->columns + 1), false));
}

void zeedit_select_all(zeEdit *e) {
    e->ax = e->ay = 0;
    int last = e->lines - 1;
    while (last > 0 && line_blank(e, last)) last--;
    e->cy = last, e->cx = line_len(e, last) < e->columns ? line_len(e, last) : e->columns - 1;
    e->hassel = true;
}

// ----- drawing -----

static int char_color(const zeEdit *e, const char *r, int x, bool *quote) {
    int ch = (unsigned char)r[x];
    if (ch == '"') {
        *quote = !*quote;
        return 0x800000;
    }
    if (*quote) return 0x800000;
    if (ch >= '0' && ch <= '9') return 0x0000C0;
    return e->c.textcolor;
}

// A line's comment start ("#" or "//") for the coloured look, or columns.
static int comment_at(const zeEdit *e, const char *r) {
    for (int x = 0; x < e->columns; x++) {
        if (r[x] == '#') return x;
        if (r[x] == '/' && x + 1 < e->columns && r[x + 1] == '/') return x;
    }
    return e->columns;
}

static void draw_line(zeEdit *e, int y, int py, int vc) {
    zePixmap *p = e->c.target;
    const char *r = row(e, y);
    int fg = e->c.grey ? e->c.colors[ZECOL_TEXTGREY] : e->c.textcolor;
    int selfg = e->c.colors[ZECOL_TEXTSEL], selbg = e->c.colors[ZECOL_BLUE];
    bool quote = false;
    int comment = e->colored ? comment_at(e, r) : e->columns;
    if (e->colored)
        for (int x = 0; x < e->sx; x++) char_color(e, r, x, &quote);
    int px = text_x(e);
    for (int x = e->sx; x < e->sx + vc && x < e->columns; x++, px += e->charw) {
        bool s = selected(e, x, y);
        int ch = (unsigned char)r[x];
        int color = fg;
        if (e->colored && !e->c.grey) color = x >= comment ? 0x008000 : char_color(e, r, x, &quote);
        if (s) zepxmap_fillrect(p, px, py, e->charw, e->fh, selbg);
        if (ch != ' ') zefont_draw_char(p, e->c.font, px, py, s ? selfg : color, false, false, -1, ch);
    }
}

static void draw(zeControl *c) {
    zeEdit *e = (zeEdit *)c;
    if (!e->grid) return;
    zePixmap *p = c->target;
    zepxmap_fillrect(p, c->x, c->y, c->w, c->h, c->bgcolor);
    if (c->border) zeframe_draw(p, ZEFRAME_DOUBLE, true, c->x, c->y, c->w, c->h);
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    for (int i = 0; i < vl && e->sy + i < e->lines; i++) {
        int y = e->sy + i, py = text_y(e) + i * e->fh;
        if (e->linenumbers) {
            char num[16];
            snprintf(num, sizeof num, "%d", y + 1);
            zefont_draw_text(p, c->font, c->x + PAD, py, c->colors[ZECOL_DARK], false, false, -1, 0, -1, num);
        }
        draw_line(e, y, py, vc);
    }
    bool cursor_shown = e->cy >= e->sy && e->cy < e->sy + vl && e->cx >= e->sx && e->cx < e->sx + vc;
    if (c->focus && e->cursoron && !c->grey && cursor_shown)
        zepxmap_fillrect(p, text_x(e) + (e->cx - e->sx) * e->charw, text_y(e) + (e->cy - e->sy) * e->fh, 1, e->fh,
                         selected(e, e->cx, e->cy) ? c->colors[ZECOL_TEXTSEL] : c->textcolor);
    zescrollbar_draw(&e->bars);
}

// Only line y (when visible): typing within a line changes nothing else, and
// a full grid costs far more to draw than one line.
static void redraw_row(zeEdit *e, int y) {
    zeControl *c = &e->c;
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    if (!c->created || !c->visible || !c->redraw || !c->target || y < e->sy || y >= e->sy + vl) {
        zecontrol_redraw(c);
        return;
    }
    int px = text_x(e), py = text_y(e) + (y - e->sy) * e->fh, w = vc * e->charw;
    zepxmap_fillrect(c->target, px, py, w, e->fh, c->bgcolor);
    draw_line(e, y, py, vc);
    if (c->focus && e->cursoron && !c->grey && y == e->cy && e->cx >= e->sx && e->cx < e->sx + vc)
        zepxmap_fillrect(c->target, px + (e->cx - e->sx) * e->charw, py, 1, e->fh,
                         selected(e, e->cx, e->cy) ? c->colors[ZECOL_TEXTSEL] : c->textcolor);
    zecontrol_request(c, ZEREQ_REFRESH, px, py, w + 1, e->fh);
}

// ----- the cursor timer -----

static void scroll_to(zeEdit *e, int sx, int sy);

static zearg tick(void *owner, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeEdit *e = (zeEdit *)owner;
    if (e->dragging && (e->dragdx || e->dragdy)) {
        // Beyond an edge: the view moves a step, the selection follows.
        e->cx = clampi(e->cx + e->dragdx, 0, e->columns - 1);
        e->cy = clampi(e->cy + e->dragdy, 0, e->lines - 1);
        keep_visible(e);
        zecontrol_redraw(&e->c);
        if (++e->steps < ZEEDIT_DRAG_STEPS) return 0;
    }
    e->steps = 0;
    if (!e->c.focus) return 0;
    e->cursoron = !e->cursoron;
    redraw_row(e, e->cy);
    return 0;
}

static void set_tick(zeEdit *e, int ms) {
    e->ticking = zetimer_set(tick, e, ms, TICK_KEY);
}

// ----- keys -----

static void edited(zeEdit *e, int row_only = -1) {
    int sx = e->sx, sy = e->sy;
    keep_visible(e);
    e->cursoron = true;
    if (row_only >= 0 && row_only == e->cy && sx == e->sx && sy == e->sy) redraw_row(e, row_only);
    else zecontrol_redraw(&e->c);
    zecontrol_post(&e->c, e->c.ids[ZEEDIT_ID_CHANGE]);
}

static void moved(zeEdit *e) {
    if (e->shift) {
        if (!e->hassel) e->hassel = true;
    } else {
        clear_sel(e);
    }
    keep_visible(e);
    e->cursoron = true;
    zecontrol_redraw(&e->c);
}

static void doc_end(zeEdit *e) {
    int last = e->lines - 1;
    while (last > 0 && line_blank(e, last)) last--;
    e->cy = last, e->cx = line_len(e, last);
}

// A movement: the anchor stays where Shift found the cursor.
static void move(zeEdit *e, int code) {
    bool ctrl = zewindow_modifiers() & ZEMOD_CTRL;
    int vl = zeedit_visible_lines(e);
    if (e->shift && !e->hassel) e->ax = e->cx, e->ay = e->cy;
    switch (code) {
    case ZEKEY_RIGHT:
        if (++e->cx >= e->columns) {
            if (e->cy + 1 < e->lines) e->cx = 0, e->cy++;
            else e->cx = e->columns - 1;
        }
        break;
    case ZEKEY_LEFT:
        if (--e->cx < 0) {
            if (e->cy > 0) e->cy--, e->cx = line_len(e, e->cy);
            else e->cx = 0;
        }
        break;
    case ZEKEY_UP: e->cy--; break;
    case ZEKEY_DOWN: e->cy++; break;
    case ZEKEY_PAGEUP: e->cy -= vl, e->sy -= vl; break;
    case ZEKEY_PAGEDOWN: e->cy += vl, e->sy += vl; break;
    case ZEKEY_HOME: ctrl ? (void)(e->cx = 0, e->cy = 0) : (void)(e->cx = 0); break;
    case ZEKEY_END: ctrl ? doc_end(e) : (void)(e->cx = line_len(e, e->cy)); break;
    }
    e->cx = clampi(e->cx, 0, e->columns - 1), e->cy = clampi(e->cy, 0, e->lines - 1);
    moved(e);
}

static bool printable(int code) { return (code >= 32 && code < 127) || (code >= 160 && code <= 255); }

static void key(zeEdit *e, int code) {
    switch (code) {
    case ZEKEY_SHIFT: e->shift = true; return;
    case ZEKEY_RIGHT: case ZEKEY_LEFT: case ZEKEY_UP: case ZEKEY_DOWN:
    case ZEKEY_PAGEUP: case ZEKEY_PAGEDOWN: case ZEKEY_HOME: case ZEKEY_END:
        move(e, code);
        return;
    case 1:
        zeedit_select_all(e);
        keep_visible(e);
        zecontrol_redraw(&e->c);
        return;
    }
    // An edit inside one line without a selection redraws only that line.
    int y = e->cy;
    bool inline_edit = !has_sel(e) && !e->wordbreak && e->cx > 0 && e->cx < e->columns - 1;
    switch (code) {
    case ZEKEY_TAB: tab(e); break;
    case 8: backspace(e); break;
    case ZEKEY_DELETE:
        inline_edit = inline_edit && e->cx < line_len(e, e->cy);
        del(e);
        break;
    case ZEKEY_ENTER: case 13: inline_edit = false, enter(e); break;
    default:
        if (!printable(code)) return;
        type_char(e, (char)code);
    }
    edited(e, inline_edit && e->cy == y ? y : -1);
}

// ----- mouse -----

static void cell_at(const zeEdit *e, int px, int py, int *x, int *y) {
    int cx = px - text_x(e), cy = py - text_y(e);
    *x = clampi((cx < 0 ? -1 : cx / e->charw) + e->sx, 0, e->columns - 1);
    *y = clampi((cy < 0 ? -1 : cy / e->fh) + e->sy, 0, e->lines - 1);
}

static void press(zeEdit *e, int px, int py) {
    if (!e->c.focus && !zecontrol_ask_focus(&e->c)) return;
    cell_at(e, px, py, &e->cx, &e->cy);
    e->ax = e->cx, e->ay = e->cy;
    e->hassel = true;
    e->dragging = true;
    e->dragdx = e->dragdy = 0;
    zecontrol_capture(&e->c, true);
    set_tick(e, ZEEDIT_TICK_MS / ZEEDIT_DRAG_STEPS);
    keep_visible(e);
    e->cursoron = true;
    zecontrol_redraw(&e->c);
}

static void drag(zeEdit *e, int px, int py) {
    if (!e->dragging) return;
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    int left = text_x(e), top = text_y(e);
    e->dragdx = px < left ? -1 : px >= left + vc * e->charw ? 1 : 0;
    e->dragdy = py < top ? -1 : py >= top + vl * e->fh ? 1 : 0;
    int x, y;
    cell_at(e, px, py, &x, &y);
    // Inside the area the cell under the pointer; outside, the edge's.
    e->cx = clampi(x, e->sx, e->sx + vc - 1), e->cy = clampi(y, e->sy, e->sy + vl - 1);
    e->cx = clampi(e->cx, 0, e->columns - 1), e->cy = clampi(e->cy, 0, e->lines - 1);
    zecontrol_redraw(&e->c);
}

static void release_drag(zeEdit *e) {
    if (!e->dragging) return;
    e->dragging = false;
    e->dragdx = e->dragdy = 0;
    zecontrol_capture(&e->c, false);
    set_tick(e, ZEEDIT_TICK_MS);
}

static bool word_char(char ch) { return ch != ' '; }

static void select_word(zeEdit *e, int px, int py) {
    int x, y;
    cell_at(e, px, py, &x, &y);
    const char *r = row(e, y);
    if (!word_char(r[x])) return;
    int a = x, b = x;
    while (a > 0 && word_char(r[a - 1])) a--;
    while (b < e->columns && word_char(r[b])) b++;
    e->ax = a, e->ay = y, e->cy = y, e->cx = b < e->columns ? b : e->columns - 1;
    e->hassel = true;
    keep_visible(e);
    zecontrol_redraw(&e->c);
}

static void scroll_to(zeEdit *e, int sx, int sy) {
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    e->sy = clampi(sy, 0, e->lines > vl ? e->lines - vl : 0);
    e->sx = clampi(sx, 0, e->columns > vc ? e->columns - vc : 0);
    update_thumbs(e);
    zecontrol_redraw(&e->c);
}

static void context_menu(zeEdit *e, int px, int py) {
    if (e->c.grey) return;
    release_drag(e);
    switch (zetextmenu_run(&e->c, px, py, has_sel(e))) {
    case ZETEXTMENU_CUT: cut(e), edited(e); break;
    case ZETEXTMENU_COPY: copy(e); break;
    case ZETEXTMENU_PASTE: paste(e), edited(e); break;
    case ZETEXTMENU_SELECTALL: zeedit_select_all(e), keep_visible(e), zecontrol_redraw(&e->c); break;
    }
}

// Commands of the scroll bars.
static zearg bar_command(void *owner, int cmd, zearg a1, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeEdit *e = (zeEdit *)owner;
    int vl = zeedit_visible_lines(e), vc = zeedit_visible_columns(e);
    switch (cmd) {
    case ZESB_UP: scroll_to(e, e->sx, e->sy - 1); break;
    case ZESB_DOWN: scroll_to(e, e->sx, e->sy + 1); break;
    case ZESB_LEFT: scroll_to(e, e->sx - 1, e->sy); break;
    case ZESB_RIGHT: scroll_to(e, e->sx + 1, e->sy); break;
    case ZESB_PAGEUP: scroll_to(e, e->sx, e->sy - vl); break;
    case ZESB_PAGEDOWN: scroll_to(e, e->sx, e->sy + vl); break;
    case ZESB_VPOS: scroll_to(e, e->sx, (int)((long)a1 * (e->lines - vl) / 100)); break;
    case ZESB_HPOS: scroll_to(e, (int)((long)a1 * (e->columns - vc) / 100), e->sy); break;
    }
    return 0;
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeEdit *e = (zeEdit *)owner;
    zeControl *c = &e->c;
    int px = (int)a1, py = (int)a2;
    bool mouse = msg == ZEMSG_LDOWN || msg == ZEMSG_LUP || msg == ZEMSG_LDOUBLE || msg == ZEMSG_MOTION ||
                 msg == ZEMSG_LEAVE;
    if (mouse && !e->dragging && zescrollbar_mouse(&e->bars, msg, px, py)) return 0;
    switch (msg) {
    case ZEMSG_KEYDOWN:
        if (c->focus && !c->grey) key(e, (int)a1);
        return 0;
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
    case ZEMSG_RDOWN:
    case ZEMSG_RDOUBLE:
        context_menu(e, px, py);
        return 0;
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
        if (c->focus && !c->grey) paste(e), edited(e);
        return 0;
    case ZEMSG_COPY:
        if (c->focus) copy(e);
        return 0;
    case ZEMSG_CUT:
        if (c->focus && !c->grey) cut(e), edited(e);
        return 0;
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        setup_bars(e);
        keep_visible(e);
        zecontrol_redraw(c);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

// ----- creation -----

// The requested grid waits in lines and columns until the grid is made.
static void parse(zeControl *c, char **entries) {
    zeEdit *e = (zeEdit *)c;
    zeEditAttr a = {};
    a.tabspace = ZEEDIT_TAB;
    zecfgstr_editattr(entries, 0, &a);
    e->lines = a.lines, e->columns = a.columns;
    e->tabspace = a.tabspace > 0 && a.tabspace <= 64 ? a.tabspace : ZEEDIT_TAB;
    e->colored = a.colored, e->linenumbers = a.linenumbers, e->autoindent = a.autoindent;
    e->wordbreak = a.wordbreak;
}

static void natural(zeControl *c, int *w, int *h) {
    *w = 300;
    *h = 10 * zefont_height(c->font) + 2 * PAD;
}

static void release(zeControl *c) {
    zeEdit *e = (zeEdit *)c;
    if (e->ticking) zetimer_remove(e, TICK_KEY);
    e->ticking = false;
    if (e->dragging) zecontrol_capture(c, false);
    e->dragging = false;
    zescrollbar_destroy(&e->bars);
    free(e->grid), free(e->hard);
    e->grid = nullptr, e->hard = nullptr;
}

static const zeControlKind kEdit = {"edit", ZECHILD_TAB, parse, natural, draw, handle, release};

void zeedit_init(zeEdit *e) {
    zecontrol_init(&e->c, &kEdit);
    e->grid = nullptr, e->hard = nullptr;
    e->lines = e->columns = 0;
    e->cx = e->cy = e->sx = e->sy = e->ax = e->ay = 0;
    e->hassel = e->dragging = e->cursoron = e->shift = e->ticking = false;
    e->dragdx = e->dragdy = e->steps = 0;
    e->tabspace = ZEEDIT_TAB;
    e->colored = e->linenumbers = e->autoindent = e->wordbreak = false;
    zescrollbar_init(&e->bars);
    e->charw = e->fh = 1;
}

// Grid sizes from the options, bounded; 0 or less means the visible area.
static bool grid_size(zeEdit *e) {
    int vl = (e->c.h - 4) / e->fh, vc = (e->c.w - 24) / e->charw;
    int lines = e->lines > 0 ? e->lines : vl, columns = e->columns > 0 ? e->columns : vc;
    e->lines = e->columns = 0;
    if (lines < 1) lines = 1;
    if (columns < 1) columns = 1;
    if (lines > ZEEDIT_MAXLINES || columns > ZEEDIT_MAXCOLUMNS || (long)lines * columns > ZEEDIT_MAXCELLS) {
        printf("zeedit_create: grid of %d x %d is too large\n", lines, columns);
        if (lines > ZEEDIT_MAXLINES) lines = ZEEDIT_MAXLINES;
        if (columns > ZEEDIT_MAXCOLUMNS) columns = ZEEDIT_MAXCOLUMNS;
        if ((long)lines * columns > ZEEDIT_MAXCELLS) lines = ZEEDIT_MAXCELLS / columns;
    }
    e->grid = (char *)malloc((size_t)lines * columns + SPARE);
    e->hard = (bool *)calloc(lines, sizeof(bool));
    if (!e->grid || !e->hard) {
        printf("zeedit_create: no memory for %d x %d\n", lines, columns);
        return false;
    }
    memset(e->grid, ' ', (size_t)lines * columns + SPARE);
    e->lines = lines, e->columns = columns;
    return true;
}

bool zeedit_vcreate(zeEdit *e, const char *fmt, va_list ap) {
    char opts[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(opts, fmt ? fmt : "", ap);
    if (e->c.created) zeedit_destroy(e);
    zeedit_init(e);
    e->c.border = 2;
    // Drawing waits until the grid is there.
    e->c.redraw = false;
    if (!zecontrol_create(&e->c, ",%s", opts)) return false;
    bool bg = zecfgstr_find_flag(opts, "bgcol") || zecfgstr_find_flag(opts, "background");
    if (!bg) e->c.bgcolor = e->c.colors[ZECOL_WHITE];
    e->fh = zefont_height(e->c.font) > 0 ? zefont_height(e->c.font) : 13;
    e->charw = zefont_char_width(e->c.font, 'w') > 0 ? zefont_char_width(e->c.font, 'w') : 6;
    if (!grid_size(e)) {
        zeedit_destroy(e);
        return false;
    }
    e->bars.cmd = bar_command, e->bars.cmdowner = e;
    setup_bars(e);
    set_tick(e, ZEEDIT_TICK_MS);
    e->c.redraw = true;
    zecontrol_redraw(&e->c);
    return true;
}

bool zeedit_create(zeEdit *e, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zeedit_vcreate(e, fmt, ap);
    va_end(ap);
    return ok;
}

void zeedit_destroy(zeEdit *e) {
    if (e->c.created) zecontrol_release(&e->c);
    else release(&e->c);
}

// ----- text access -----

void zeedit_set_text(zeEdit *e, const char *text) {
    if (!e->grid) return;
    std::string t = zetext_clean(text ? text : "", (size_t)e->lines * (e->columns + 1), false);
    t = expand_tabs(t, 0, e->tabspace);
    std::vector<Line> v;
    size_t start = 0;
    for (;;) {
        size_t nl = t.find('\n', start);
        v.push_back({t.substr(start, nl == std::string::npos ? std::string::npos : nl - start), true});
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    int gx, gy;
    put_lines(e, v, 0, 0, &gx, &gy);
    e->cx = e->cy = e->sx = e->sy = 0;
    clear_sel(e);
    keep_visible(e);
    zecontrol_redraw(&e->c);
}

static int copy_out(const std::string &s, char *out, int size) {
    if (out && size > 0) snprintf(out, size, "%s", s.c_str());
    return (int)s.size();
}

int zeedit_get_text(const zeEdit *e, char *out, int size) {
    if (!e->grid) return copy_out("", out, size);
    int last = e->lines - 1;
    while (last > 0 && line_blank(e, last)) last--;
    return copy_out(range_text(e, 0, 0, e->columns, last), out, size);
}

int zeedit_get_selection(const zeEdit *e, char *out, int size) {
    if (!e->grid || !has_sel(e)) return copy_out("", out, size);
    int x0, y0, x1, y1;
    sel_range(e, &x0, &y0, &x1, &y1);
    return copy_out(range_text(e, x0, y0, x1, y1), out, size);
}

void zeedit_clear(zeEdit *e) { zeedit_set_text(e, ""); }

bool zeedit_focus(zeEdit *e) {
    if (e->c.grey) return false;
    return zecontrol_ask_focus(&e->c);
}
