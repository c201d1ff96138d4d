// The list box: lines, selection, keys, wheel, the embedded scroll bar,
// check boxes per line and directory fills.
#include "zelistbox.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zetimer.h"
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

enum { MARKEDBAR = 0xEDF3FE, MARKEDSEL = 0x3D80DF, BOX = 13, CHECKCOLUMN = 28 };

// The 9 x 9 check mark of check boxes.
static const char kCheckMark[] =
    "         "
    "       * "
    "      ** "
    " *   *** "
    " ** ***  "
    " *****   "
    "  ***    "
    "   *     "
    "         ";

static bool g_showhidden;

void zelistbox_set_show_hidden(bool show) { g_showhidden = show; }
bool zelistbox_show_hidden(void) { return g_showhidden; }

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                    zearg a7, zearg a8);
static void parse(zeControl *c, char **e);
static void natural(zeControl *c, int *w, int *h);
static void draw(zeControl *c);
static void release_kind(zeControl *c);

static const zeControlKind kListBox = {"listbox", 0, parse, natural, draw, handle, release_kind};

static zeListBox *of(zeControl *c) { return (zeListBox *)c; }

static void reset_fields(zeListBox *lb) {
    lb->items = nullptr, lb->marks = nullptr, lb->firsts = nullptr;
    lb->count = lb->capacity = 0;
    lb->selected = -1, lb->top = 0, lb->rows = 0, lb->visible = 0, lb->lineh = 13;
    lb->bulk = lb->scheduled = lb->sbshown = false;
    lb->markedlines = lb->choosebox = false;
    lb->lasttoggled = -1;
    lb->boxcolor = -1;
    zescrollbar_init(&lb->sb);
}

void zelistbox_init(zeListBox *lb) {
    zecontrol_init(&lb->c, &kListBox);
    reset_fields(lb);
}

// ----- lines -----

static void free_items(zeListBox *lb) {
    for (int i = 0; i < lb->count; i++) free(lb->items[i]);
    free(lb->items), free(lb->marks), free(lb->firsts);
    lb->items = nullptr, lb->marks = nullptr, lb->firsts = nullptr;
    lb->count = lb->capacity = 0;
}

static bool grow(zeListBox *lb) {
    if (lb->count < lb->capacity) return true;
    if (lb->capacity > 0x7fffffff - ZELB_GROW) return false;
    int cap = lb->capacity + ZELB_GROW;
    char **items = (char **)realloc(lb->items, (size_t)cap * sizeof *items);
    if (!items) return false;
    lb->items = items;
    unsigned char *marks = (unsigned char *)realloc(lb->marks, (size_t)cap);
    if (!marks) return false;
    lb->marks = marks;
    unsigned char *firsts = (unsigned char *)realloc(lb->firsts, (size_t)cap);
    if (!firsts) return false;
    lb->firsts = firsts;
    lb->capacity = cap;
    return true;
}

static int max_top(const zeListBox *lb) { return lb->count > lb->rows ? lb->count - lb->rows : 0; }

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static void bar_position(zeListBox *lb) {
    if (!lb->sbshown) return;
    int span = lb->count - lb->visible;
    int pos = span > 0 ? (int)((long long)lb->top * 100 / span) : 0;
    zescrollbar_set_vertical(&lb->sb, pos, lb->sb.vsize);
}

// Lines that fit, the bar and the top, after the size or the count changed.
static void recompute(zeListBox *lb) {
    zeControl *c = &lb->c;
    int fh = zefont_height(c->font);
    lb->lineh = fh > 0 ? fh : 13;
    lb->rows = c->h > 8 ? (c->h - 8) / lb->lineh : 0;
    lb->visible = lb->count < lb->rows ? lb->count : lb->rows;
    lb->top = clampi(lb->top, 0, max_top(lb));
    lb->sbshown = c->created && lb->count > lb->visible;
    if (lb->sbshown) {
        zeScrollBar *b = &lb->sb;
        b->cmd = zecontrol_handler, b->cmdowner = lb;
        b->parent = c->parent, b->parentowner = c->parentowner, b->parenthandle = c->handle;
        b->target = c->target;
        zescrollbar_setup(b, c->x, c->y, c->w, c->h, true, false);
        zescrollbar_set_vertical(b, 0, (int)((long long)lb->visible * 100 / lb->count));
        bar_position(lb);
    } else {
        zescrollbar_release_all(&lb->sb);
        lb->sb.von = false;
    }
    if (c->created) zecontrol_request(c, ZEREQ_SPARE, c->handle, lb->sbshown ? 1 : 0);
}

static zearg redraw_tick(void *owner, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeListBox *lb = (zeListBox *)owner;
    zetimer_remove(lb, 0);
    return zecontrol_send(&lb->c, ZEMSG_REFRESHTICK);
}

// One redraw for a burst of additions: at the next refresh tick.
static void schedule(zeListBox *lb) {
    if (lb->scheduled || !lb->c.created) return;
    lb->scheduled = true;
    if (!zetimer_set(redraw_tick, lb, ZELB_REDRAW_MS, 0)) {
        lb->scheduled = false;
        zecontrol_redraw(&lb->c);
    }
}

static void unschedule(zeListBox *lb) {
    if (lb->scheduled) zetimer_remove(lb, 0);
    lb->scheduled = false;
}

bool zelistbox_add_text(zeListBox *lb, const char *text) {
    if (!grow(lb)) {
        printf("zelistbox_add: out of memory at %d lines\n", lb->count);
        return false;
    }
    size_t n = strnlen(text ? text : "", ZELB_TEXTMAX);
    char *s = (char *)malloc(n + 1);
    if (!s) return false;
    memcpy(s, text ? text : "", n);
    s[n] = 0;
    lb->items[lb->count] = s;
    lb->marks[lb->count] = 0;
    lb->firsts[lb->count] = (unsigned char)tolower((unsigned char)s[0]);
    lb->count++;
    if (lb->bulk) return true;
    recompute(lb);
    schedule(lb);
    return true;
}

bool zelistbox_add(zeListBox *lb, const char *fmt, ...) {
    char text[ZELB_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt ? fmt : "", ap);
    va_end(ap);
    return zelistbox_add_text(lb, text);
}

void zelistbox_clear(zeListBox *lb) {
    free_items(lb);
    lb->bulk = true;
    lb->lasttoggled = -1;
}

void zelistbox_end_bulk(zeListBox *lb) {
    lb->bulk = false;
    lb->top = 0;
    lb->selected = lb->c.focus && lb->count > 0 ? 0 : -1;
    recompute(lb);
    zecontrol_redraw(&lb->c);
}

static void scroll_into_view(zeListBox *lb) {
    if (lb->selected < 0) return;
    if (lb->selected < lb->top) lb->top = lb->selected;
    else if (lb->rows > 0 && lb->selected >= lb->top + lb->rows) lb->top = lb->selected - lb->rows + 1;
    lb->top = clampi(lb->top, 0, max_top(lb));
    bar_position(lb);
}

bool zelistbox_remove(zeListBox *lb, int index) {
    if (index < 0 || index >= lb->count) return false;
    free(lb->items[index]);
    int after = lb->count - index - 1;
    memmove(lb->items + index, lb->items + index + 1, (size_t)after * sizeof *lb->items);
    memmove(lb->marks + index, lb->marks + index + 1, (size_t)after);
    memmove(lb->firsts + index, lb->firsts + index + 1, (size_t)after);
    lb->count--;
    if (lb->selected > index || lb->selected >= lb->count) lb->selected--;
    if (lb->lasttoggled == index) lb->lasttoggled = -1;
    else if (lb->lasttoggled > index) lb->lasttoggled--;
    if (lb->bulk) return true;
    recompute(lb);
    scroll_into_view(lb);
    zecontrol_redraw(&lb->c);
    return true;
}

static int compare_nocase(const char *a, const char *b) {
    for (;; a++, b++) {
        int ca = tolower((unsigned char)*a), cb = tolower((unsigned char)*b);
        if (ca != cb || !ca) return ca - cb;
    }
}

// Stable: equal lines keep their order. A merge sort, so that a directory
// of many thousand files sorts in n log n.
static void merge_sort(char **items, unsigned char *marks, char **tmpi, unsigned char *tmpm, int n) {
    if (n < 2) return;
    int half = n / 2;
    merge_sort(items, marks, tmpi, tmpm, half);
    merge_sort(items + half, marks + half, tmpi, tmpm, n - half);
    int i = 0, j = half, k = 0;
    while (i < half && j < n) {
        bool right = compare_nocase(items[j], items[i]) < 0;
        int from = right ? j++ : i++;
        tmpi[k] = items[from], tmpm[k++] = marks[from];
    }
    while (i < half) tmpi[k] = items[i], tmpm[k++] = marks[i++];
    while (j < n) tmpi[k] = items[j], tmpm[k++] = marks[j++];
    memcpy(items, tmpi, (size_t)n * sizeof *items);
    memcpy(marks, tmpm, (size_t)n);
}

void zelistbox_sort(zeListBox *lb) {
    if (lb->count < 2) return;
    char **tmpi = (char **)malloc((size_t)lb->count * sizeof *tmpi);
    unsigned char *tmpm = (unsigned char *)malloc((size_t)lb->count);
    if (tmpi && tmpm) merge_sort(lb->items, lb->marks, tmpi, tmpm, lb->count);
    else printf("zelistbox_sort: out of memory at %d lines\n", lb->count);
    for (int i = 0; tmpi && tmpm && i < lb->count; i++) lb->firsts[i] = (unsigned char)tolower((unsigned char)lb->items[i][0]);
    free(tmpi), free(tmpm);
    if (!lb->bulk) zecontrol_redraw(&lb->c);
}

// ----- selection -----

int zelistbox_selected(const zeListBox *lb) { return lb->count > 0 ? lb->selected : -1; }

int zelistbox_selected_item(const zeListBox *lb, char *out, int outsize) {
    int s = zelistbox_selected(lb);
    if (s >= 0 && out && outsize > 0) snprintf(out, (size_t)outsize, "%s", lb->items[s]);
    return s;
}

void zelistbox_select(zeListBox *lb, int index) {
    if (lb->count <= 0) return;
    lb->selected = clampi(index, 0, lb->count - 1);
    scroll_into_view(lb);
    zecontrol_redraw(&lb->c);
}

void zelistbox_set_top_percent(zeListBox *lb, int percent) {
    percent = clampi(percent, 0, 100);
    int span = lb->count - lb->visible;
    lb->top = span > 0 ? (int)((long long)percent * span / 100) : 0;
    bar_position(lb);
}

const char *zelistbox_item(const zeListBox *lb, int index) {
    return index >= 0 && index < lb->count ? lb->items[index] : nullptr;
}

int zelistbox_count(const zeListBox *lb) { return lb->count; }

bool zelistbox_marked(const zeListBox *lb, int index) {
    return index >= 0 && index < lb->count && lb->marks[index];
}

void zelistbox_set_mark(zeListBox *lb, int index, bool marked) {
    if (index < 0 || index >= lb->count) return;
    lb->marks[index] = marked;
    if (!lb->bulk) zecontrol_redraw(&lb->c);
}

// ----- directory fills -----

bool zelistbox_match(const char *p, const char *s) {
    // Iterative with one back-track point: a pattern of many stars cannot
    // make it exponential.
    const char *star = nullptr, *resume = nullptr;
    while (*s) {
        if (*p == '*') {
            star = p++, resume = s;
        } else if (*p == '?' || (*p && tolower((unsigned char)*p) == tolower((unsigned char)*s))) {
            p++, s++;
        } else if (star) {
            p = star + 1, s = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') p++;
    return !*p;
}

static bool listed(const char *name) {
    if (!strcmp(name, ".") || !strcmp(name, "..")) return false;
    return g_showhidden || name[0] != '.';
}

static bool is_dir(const char *name) {
    struct stat st;
    return stat(name, &st) == 0 && S_ISDIR(st.st_mode);
}

// Every listed entry of the current directory that is (or is not) a
// directory and matches the pattern.
static void add_entries(zeListBox *lb, bool dirs, const char *pattern) {
    DIR *d = opendir(".");
    if (!d) return;
    while (struct dirent *e = readdir(d)) {
        if (!listed(e->d_name) || is_dir(e->d_name) != dirs) continue;
        if (pattern && !zelistbox_match(pattern, e->d_name)) continue;
        zelistbox_add_text(lb, e->d_name);
    }
    closedir(d);
}

void zelistbox_fill_dirs(zeListBox *lb, const char *dir) {
    zelistbox_clear(lb);
    if (!dir || strcmp(dir, "/") != 0) zelistbox_add_text(lb, "[..]");
    add_entries(lb, true, nullptr);
    zelistbox_sort(lb);
    zelistbox_end_bulk(lb);
}

void zelistbox_fill_files(zeListBox *lb, const char *pattern) {
    zelistbox_clear(lb);
    add_entries(lb, false, pattern && *pattern ? pattern : "*");
    zelistbox_sort(lb);
    zelistbox_end_bulk(lb);
}

// ----- creation -----

static void parse(zeControl *c, char **e) {
    zeListBox *lb = of(c);
    // The common background default is the scheme grey; a list is white.
    lb->boxcolor = c->bgcolor == c->colors[ZECOL_GREY] ? c->colors[ZECOL_WHITE] : c->bgcolor;
    zecfgstr_flag(e, 1, "markedlines", &lb->markedlines);
    zecfgstr_flag(e, 1, "choosebox", &lb->choosebox);
    char **items = nullptr;
    int n = zecfgstr_list(e, 1, ZECFG_LIST_ENTRIES, &items);
    for (int i = 0; i < n; i++) zelistbox_add_text(lb, items[i]);
    zecfgstr_split_release(items);
}

static void natural(zeControl *c, int *w, int *h) {
    int fh = zefont_height(c->font);
    *w = 150;
    *h = 8 + 7 * (fh > 0 ? fh : 13);
}

bool zelistbox_vcreate(zeListBox *lb, const char *fmt, va_list ap) {
    if (lb->c.created) zelistbox_release(lb);
    zeControl *c = &lb->c;
    c->border = 1;
    // The options' lines come in bulk, and the first drawing waits until the
    // lines are counted: one recompute and one redraw.
    lb->bulk = true;
    bool allowed = c->redraw;
    c->redraw = false;
    bool ok = zecontrol_vcreate(c, fmt, ap);
    c->redraw = allowed;
    lb->bulk = false;
    if (!ok) return false;
    recompute(lb);
    zecontrol_redraw(c);
    return true;
}

bool zelistbox_create(zeListBox *lb, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zelistbox_vcreate(lb, fmt, ap);
    va_end(ap);
    return ok;
}

static void release_kind(zeControl *c) {
    zeListBox *lb = of(c);
    unschedule(lb);
    zescrollbar_destroy(&lb->sb);
    free_items(lb);
}

void zelistbox_release(zeListBox *lb) {
    if (lb->c.created) {
        zecontrol_release(&lb->c);
    } else {
        unschedule(lb);
        free_items(lb);
    }
    reset_fields(lb);
}

// ----- drawing -----

static void draw_checkbox(zeListBox *lb, int linetop, bool marked) {
    zeControl *c = &lb->c;
    int bx = c->x + 3, by = linetop + (lb->lineh - BOX) / 2;
    zepxmap_fillrect(c->target, bx + 2, by + 2, 10, 10, c->grey ? c->colors[ZECOL_GREY] : lb->boxcolor);
    zeframe_draw(c->target, ZEFRAME_BUTTON, true, bx, by, BOX, BOX, c->colors[ZECOL_VERYLIGHT],
                 c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    if (marked)
        zeglyph_draw(c->target, kCheckMark, 9, 9, bx + 2, by + 2,
                     c->grey ? c->colors[ZECOL_TEXTGREY] : c->colors[ZECOL_BLACK]);
}

static void draw_line(zeListBox *lb, int i) {
    zeControl *c = &lb->c;
    int n = lb->top + i, linetop = c->y + 4 + i * lb->lineh;
    bool sel = n == lb->selected;
    if (lb->markedlines && n % 2 == 0) zepxmap_fillrect(c->target, c->x + 2, linetop, c->w - 4, lb->lineh, MARKEDBAR);
    if (sel)
        zepxmap_fillrect(c->target, c->x + 2, linetop, c->w - 4, lb->lineh,
                         lb->markedlines ? MARKEDSEL : c->colors[ZECOL_BLUE]);
    int color = sel ? (lb->markedlines ? 0xFFFFFF : c->colors[ZECOL_TEXTSEL]) : c->textcolor;
    int tx = c->x + 4, clip = c->w - 8;
    if (lb->choosebox) {
        draw_checkbox(lb, linetop, lb->marks[n]);
        tx = c->x + 24, clip = c->w - 28;
    }
    if (lb->sbshown) clip -= lb->sb.bw;
    if (clip > 0)
        zefont_draw_text(c->target, c->font, tx, linetop, color, c->grey, false, -1, clip, -1, lb->items[n]);
}

static void draw(zeControl *c) {
    zeListBox *lb = of(c);
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, lb->boxcolor);
    if (c->border)
        zeframe_draw(c->target, ZEFRAME_BUTTON, true, c->x - 2, c->y - 2, c->w + 4, c->h + 4, c->colors[ZECOL_LIGHT],
                     c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    for (int i = 0; i < lb->visible && lb->top + i < lb->count; i++) draw_line(lb, i);
    if (lb->sbshown) zescrollbar_draw(&lb->sb);
}

// ----- input -----

static void set_top(zeListBox *lb, int top) {
    top = clampi(top, 0, max_top(lb));
    if (top == lb->top) return;
    lb->top = top;
    bar_position(lb);
    zecontrol_redraw(&lb->c);
}

// A selection made by the user: scrolled into view, drawn, reported.
static void user_select(zeListBox *lb, int index) {
    if (lb->count <= 0) return;
    index = clampi(index, 0, lb->count - 1);
    if (index == lb->selected) return;
    lb->selected = index;
    scroll_into_view(lb);
    zecontrol_redraw(&lb->c);
    zecontrol_post(&lb->c, lb->c.ids[ZELB_ID_SELECT], index);
}

static void toggle_mark(zeListBox *lb, int n) {
    lb->marks[n] = !lb->marks[n];
    lb->lasttoggled = n;
    zecontrol_redraw(&lb->c);
    zecontrol_post(&lb->c, lb->c.ids[ZELB_ID_MARK], n, lb->marks[n]);
}

static void press(zeListBox *lb, int msg, int px, int py) {
    if (lb->count == 0 || lb->visible <= 0) return;
    if (lb->sbshown && px >= lb->c.w - lb->sb.bw) return;
    int line = (py - 4) / lb->lineh;
    line = clampi(line, 0, lb->visible - 1) + lb->top;
    if (line >= lb->count) line = lb->count - 1;
    if (lb->choosebox && px < CHECKCOLUMN) {
        toggle_mark(lb, line);
        return;
    }
    user_select(lb, line);
    if (msg == ZEMSG_LDOUBLE) zecontrol_post(&lb->c, lb->c.ids[0], lb->selected);
    if (msg == ZEMSG_RDOWN) zecontrol_post(&lb->c, lb->c.ids[ZELB_ID_RIGHT], lb->selected);
}

// The next line after the selection (wrapping) that begins with the letter.
// A scan of one byte per line, so that even a letter no line begins with
// costs little in a long list.
static int find_letter(const zeListBox *lb, int ch) {
    int want = tolower(ch), from = lb->selected + 1 < lb->count ? lb->selected + 1 : 0;
    const void *hit = memchr(lb->firsts + from, want, (size_t)(lb->count - from));
    if (!hit && from > 0) hit = memchr(lb->firsts, want, (size_t)from);
    return hit ? (int)((const unsigned char *)hit - lb->firsts) : -1;
}

static bool printable(int code) { return (code > 32 && code < 127) || (code >= 160 && code <= 255); }

static void key(zeListBox *lb, int code) {
    int page = lb->rows > 1 ? lb->rows - 1 : 1;
    int sel = lb->selected;
    switch (code) {
    case ZEKEY_ENTER: zecontrol_post(&lb->c, lb->c.ids[0], zelistbox_selected(lb)); return;
    case ZEKEY_UP: if (sel > 0) user_select(lb, sel - 1); return;
    case ZEKEY_DOWN: if (sel + 1 < lb->count) user_select(lb, sel + 1); return;
    case ZEKEY_PAGEUP: user_select(lb, sel < 0 ? 0 : sel - page); return;
    case ZEKEY_PAGEDOWN: user_select(lb, sel < 0 ? page : sel + page); return;
    case ZEKEY_HOME: user_select(lb, 0); return;
    case ZEKEY_END: user_select(lb, lb->count - 1); return;
    case ZEKEY_SPACE:
        if (lb->choosebox && sel >= 0 && sel < lb->count) toggle_mark(lb, sel);
        return;
    }
    if (printable(code) && lb->count > 0) {
        int n = find_letter(lb, code);
        if (n >= 0) user_select(lb, n);
    }
}

static void command(zeListBox *lb, int cmd, int arg) {
    switch (cmd) {
    case ZESB_UP: set_top(lb, lb->top - 1); return;
    case ZESB_DOWN: set_top(lb, lb->top + 1); return;
    case ZESB_PAGEUP: set_top(lb, lb->top - lb->visible); return;
    case ZESB_PAGEDOWN: set_top(lb, lb->top + lb->visible); return;
    case ZESB_VPOS: {
        int was = lb->top;
        zelistbox_set_top_percent(lb, arg);
        if (lb->top != was) zecontrol_redraw(&lb->c);
        return;
    }
    }
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                    zearg a7, zearg a8) {
    zeListBox *lb = (zeListBox *)owner;
    zeControl *c = &lb->c;
    int px = (int)a1 - c->x, py = (int)a2 - c->y;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
    case ZEMSG_RDOWN:
        if (c->grey) return 0;
        if (msg != ZEMSG_RDOWN) zecontrol_ask_focus(c);
        if (lb->sbshown && msg != ZEMSG_RDOWN && zescrollbar_mouse(&lb->sb, msg, (int)a1, (int)a2)) return 0;
        press(lb, msg, px, py);
        return 0;
    case ZEMSG_LUP:
    case ZEMSG_MOTION:
        if (lb->sbshown) zescrollbar_mouse(&lb->sb, msg, (int)a1, (int)a2);
        return 0;
    case ZEMSG_LEAVE:
        zescrollbar_release_all(&lb->sb);
        break;
    case ZEMSG_KEYDOWN:
        if (!c->grey) key(lb, (int)a1);
        return 0;
    case ZEMSG_WHEELUP: set_top(lb, lb->top - 1); return 0;
    case ZEMSG_WHEELDOWN: set_top(lb, lb->top + 1); return 0;
    case ZESB_UP: case ZESB_DOWN: case ZESB_PAGEUP: case ZESB_PAGEDOWN: case ZESB_VPOS:
        command(lb, msg, (int)a1);
        return 0;
    case ZEMSG_REFRESHTICK:
        if (lb->scheduled) {
            lb->scheduled = false;
            zecontrol_redraw(c);
        }
        return 0;
    case ZEMSG_SIZE:
        if (a1 <= 0 || a2 <= 0) return 0;
        zecontrol_layout(c, (int)a1, (int)a2);
        recompute(lb);
        zecontrol_redraw(c);
        return 0;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
