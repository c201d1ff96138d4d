// The terminal: creation, the cell buffer, output and drawing. Input, the
// child program, the log and loading files live in zeterminal_io.cpp.
#include "zeterminal.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zedisplay.h"
#include "zefont.h"
#include "zeframe.h"
#include "zetimer.h"
#include "zeview.h"
#include "zeterminal_internal.h"
#include <cstdlib>
#include <cstring>

const int zeterminal_palette[ZETERM_COLORS] = {
    0x000000, 0xC00000, 0x00FF00, 0xFFFF00, 0x0000C0, 0xC000C0, 0x00C0C0, 0xFFFFFF,
    0x000000, 0x0000C0, 0x00C000, 0x00C0C0, 0xC00000, 0xC000C0, 0xC0C000, 0xC0C0C0,
};

enum {
    DEFAULT_LINES = 25, DEFAULT_COLUMNS = 80,
    DEFAULT_BG = 0xFFFFFF, DEFAULT_TEXT = 0x000040,
    BORDER = 2,               // the frame around the grid
    BLINK_MS = 250,
    KEY_BLINK = 0, KEY_FRAME = 1,
};

static zeTerminal *g_current, *g_standard;

zeTerminal *zeterminal_current(void) { return g_current; }
zeTerminal *zeterminal_standard(void) { return g_standard; }

zeTerminal::zeTerminal() { zeterminal_init(this); }
zeTerminal::~zeTerminal() { zeterminal_release(this); }

static const zeControlKind *terminal_kind(void);

void zeterminal_init(zeTerminal *t) {
    zecontrol_init(&t->c, terminal_kind());
    t->cells = nullptr;
    t->lines = t->columns = t->visible = 0;
    t->top = t->cx = t->cy = t->first = t->screentop = t->savex = t->savey = 0;
    t->fg = t->bg = 0;
    memcpy(t->colors, zeterminal_palette, sizeof t->colors);
    t->scrollback = t->wordbreak = t->cursorflag = t->drawdirect = t->hold = false;
    t->reading = t->child = t->childoutput = false;
    t->blinkon = true;
    t->charw = t->charh = 1;
    t->wordlen = 0;
    t->keyhead = t->nkeys = 0;
    t->typed[0] = 0, t->typedlen = 0;
    t->logname[0] = 0, t->log = nullptr;
    t->slot = -1, t->exitcode = 0;
    t->link = nullptr;
    t->echoing = t->nostandard = false;
    t->cursorrow = -1;
    t->pendinglog[0] = 0;
    zeansi_init(&t->ansi);
    zeansi_set_linechars(&t->ansi, true);
    zescrollbar_init(&t->bar);
    zepxmap_init(&t->px);
    t->pxfont = -1;
    t->dirtylo = 1, t->dirtyhi = 0;
    t->dirtyall = t->scheduled = false;
    t->updates = 0;
    t->pendinglines = t->pendingcolumns = 0;
    t->pendingscroll = 0;
}

// ----- the buffer -----

zeTermCell *zeterm_row(const zeTerminal *t, int line) {
    return t->cells + (size_t)((t->top + line) % t->lines) * t->columns;
}

static void blank(zeTermCell *c, int n) {
    for (int i = 0; i < n; i++) c[i] = {' ', 0, 0, 0};
}

zeTermCell zeterminal_cell(const zeTerminal *t, int column, int line) {
    if (!t->cells || column < 0 || column >= t->columns || line < 0 || line >= t->lines) return {' ', 0, 0, 0};
    return zeterm_row(t, line)[column];
}

void zeterminal_line_text(const zeTerminal *t, int line, char *out, int outsize) {
    if (outsize <= 0) return;
    out[0] = 0;
    if (!t->cells || line < 0 || line >= t->lines) return;
    const zeTermCell *r = zeterm_row(t, line);
    int n = t->columns;
    while (n > 0 && r[n - 1].ch == ' ') n--;
    if (n > outsize - 1) n = outsize - 1;
    for (int i = 0; i < n; i++) out[i] = (char)r[i].ch;
    out[n] = 0;
}

int zeterminal_fgcolor(const zeTerminal *t, int index) {
    return index <= 0 || index >= ZETERM_COLORS ? t->c.textcolor : t->colors[index];
}

int zeterminal_bgcolor(const zeTerminal *t, int index) {
    return index <= 0 || index >= ZETERM_COLORS ? t->c.bgcolor : t->colors[index];
}

// ----- what needs drawing -----

static void thumb(zeTerminal *t) {
    if (!t->scrollback || !t->bar.von) return;
    int range = t->lines - t->visible;
    int pos = range > 0 ? (t->first * 100 + 100) / range : 0;
    int size = t->lines > 0 ? t->visible * 100 / t->lines : 100;
    zescrollbar_set_vertical(&t->bar, pos, size);
}

static zearg frame_tick(void *owner, int, zearg key, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeTerminal *t = (zeTerminal *)owner;
    if (key != KEY_FRAME) return 0;
    zetimer_remove(t, KEY_FRAME);
    t->scheduled = false;
    zeterminal_update(t);
    return 0;
}

// One redraw per display refresh: the first change arms the timer, later
// ones only widen the dirty range.
static void schedule(zeTerminal *t) {
    if (t->drawdirect) {
        zeterminal_update(t);
        return;
    }
    if (t->scheduled || !t->c.created) return;
    int hz = zedisplay_refresh_hz();
    int ms = (1000 + hz - 1) / hz;
    ms = (ms + ZETIMER_TICK_MS - 1) / ZETIMER_TICK_MS * ZETIMER_TICK_MS;
    t->scheduled = zetimer_set(frame_tick, t, ms, KEY_FRAME);
    if (!t->scheduled) zeterminal_update(t);
}

void zeterm_mark(zeTerminal *t, int line) {
    int row = line - t->first;
    if (row < 0 || row >= t->visible) return;
    if (row < t->dirtylo) t->dirtylo = row;
    if (row > t->dirtyhi) t->dirtyhi = row;
    if (!t->scheduled) schedule(t);
}

void zeterm_mark_all(zeTerminal *t) {
    t->dirtyall = true;
    if (!t->scheduled) schedule(t);
}

// With scroll-back the view follows the cursor.
static void follow(zeTerminal *t) {
    if (!t->scrollback) return;
    int first = t->first;
    if (t->cy < first) first = t->cy;
    if (t->cy >= first + t->visible) first = t->cy - t->visible + 1;
    if (first == t->first) return;
    t->first = first;
    t->screentop = first;
    thumb(t);
    zeterm_mark_all(t);
}

void zeterminal_scroll_to(zeTerminal *t, int firstline) {
    int last = t->lines - t->visible;
    if (firstline > last) firstline = last;
    if (firstline < 0) firstline = 0;
    if (firstline == t->first) return;
    t->first = firstline;
    thumb(t);
    zeterm_mark_all(t);
}

// The top line is lost, everything moves up one line.
static void scroll_up(zeTerminal *t) {
    blank(zeterm_row(t, 0), t->columns);
    t->top = (t->top + 1) % t->lines;
    if (t->savey > 0) t->savey--;
    if (t->screentop > 0 && t->screentop + t->visible > t->lines) t->screentop--;
    zeterm_mark_all(t);
}

static void newline(zeTerminal *t) {
    if (t->cy >= t->lines - 1) scroll_up(t);
    else t->cy++;
}

// ----- characters -----

// A printable character at the cursor. A full line wraps when the next
// character comes, so that 80 characters and a line feed make one line.
static void store(zeTerminal *t, int ch, int fg, int bg) {
    if (t->cx >= t->columns) {
        t->cx = 0;
        newline(t);
    }
    zeterm_row(t, t->cy)[t->cx] = {(uint8_t)ch, (uint8_t)fg, (uint8_t)bg, 0};
    zeterm_mark(t, t->cy);
    t->cx++;
}

static void raw_char(zeTerminal *t, int ch, int fg, int bg) {
    switch (ch) {
    case '\n':
        t->cx = 0;
        newline(t);
        zeterm_mark(t, t->cy);
        return;
    case '\r': t->cx = 0; return;
    case '\t':
        do store(t, ' ', fg, bg);
        while (t->cx % 4 && t->cx < t->columns);
        return;
    case 8:
        if (t->cx > 0) t->cx--;
        zeterm_mark(t, t->cy);
        return;
    }
    if (ch >= 32) store(t, ch, fg, bg);
}

static bool breaks_word(int ch) { return ch && strchr("!,-.:;?", ch); }

void zeterm_flush_word(zeTerminal *t) {
    if (t->wordlen == 0) return;
    if (t->cx > 0 && t->cx + t->wordlen > t->columns) {
        t->cx = 0;
        newline(t);
    }
    for (int i = 0; i < t->wordlen; i++) store(t, t->word[i].ch, t->word[i].fg, t->word[i].bg);
    t->wordlen = 0;
}

static void word_char(zeTerminal *t, int ch) {
    if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t' || ch == 8 || breaks_word(ch)) {
        if (breaks_word(ch) && t->wordlen < ZETERM_WORDMAX) t->word[t->wordlen++] = {(uint8_t)ch, (uint8_t)t->fg, (uint8_t)t->bg};
        zeterm_flush_word(t);
        if (ch == ' ') {
            if (t->cx > 0 && t->cx < t->columns) store(t, ' ', t->fg, t->bg);
        } else if (!breaks_word(ch)) {
            raw_char(t, ch, t->fg, t->bg);
        }
        return;
    }
    if (ch < 32) return;
    if (t->wordlen == ZETERM_WORDMAX) zeterm_flush_word(t);
    t->word[t->wordlen++] = {(uint8_t)ch, (uint8_t)t->fg, (uint8_t)t->bg};
}

void zeterm_character(zeTerminal *t, int ch, bool fromchild) {
    follow(t);
    if (t->log) fputc(ch, t->log);
    if (t->child && !fromchild && !t->echoing) zeterm_forward(t, ch);
    int was = t->cy;
    if (t->wordbreak) word_char(t, ch);
    else raw_char(t, ch, t->fg, t->bg);
    if (t->cy != was) follow(t);
}

// ----- decoded items -----

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static void erase(zeTerminal *t, int line, int from, int to) {
    if (line < 0 || line >= t->lines) return;
    from = clampi(from, 0, t->columns), to = clampi(to, 0, t->columns);
    if (from >= to) return;
    blank(zeterm_row(t, line) + from, to - from);
    zeterm_mark(t, line);
}

static int screen_bottom(const zeTerminal *t) {
    int b = t->screentop + t->visible - 1;
    return b >= t->lines ? t->lines - 1 : b;
}

void zeterm_clear_buffer(zeTerminal *t) {
    if (!t->cells) return;
    blank(t->cells, t->lines * t->columns);
    t->top = t->cx = t->cy = t->first = t->screentop = t->savex = t->savey = 0;
    t->wordlen = 0;
    thumb(t);
    zeterm_mark_all(t);
}

// Characters from the cursor move right (insert) or left (delete) by n.
static void shift_line(zeTerminal *t, int n, bool insert) {
    int cx = t->cx >= t->columns ? t->columns - 1 : t->cx;
    zeTermCell *r = zeterm_row(t, t->cy);
    int rest = t->columns - cx;
    n = clampi(n, 0, rest);
    if (insert) {
        memmove(r + cx + n, r + cx, (rest - n) * sizeof *r);
        blank(r + cx, n);
    } else {
        memmove(r + cx, r + cx + n, (rest - n) * sizeof *r);
        blank(r + t->columns - n, n);
    }
    zeterm_mark(t, t->cy);
}

static void item(zeTerminal *t, int cmd, int arg, bool fromchild) {
    int cx = t->cx >= t->columns ? t->columns - 1 : t->cx;
    switch (cmd) {
    case ZEANSI_PRINT: zeterm_character(t, arg, fromchild); return;
    case ZEANSI_FOREGROUND: t->fg = clampi(arg, 0, ZETERM_COLORS - 1); return;
    case ZEANSI_BACKGROUND: t->bg = clampi(arg, 0, ZETERM_COLORS - 1); return;
    case ZEANSI_FOREGROUND_DEFAULT: t->fg = 0; return;
    case ZEANSI_BACKGROUND_DEFAULT: t->bg = 0; return;
    // Programs end every coloured word with "ESC [ 0 m" (ls does): it has
    // to bring the default colours back, or the rest of the output keeps
    // the last colour.
    case ZEANSI_RESET:
    case ZEANSI_ATTR_OFF: t->fg = t->bg = 0; return;
    case ZEANSI_ERASE_SCREEN: zeterm_clear_buffer(t); return;
    case ZEANSI_COLUMN: t->cx = clampi(arg - 1, 0, t->columns - 1); break;
    case ZEANSI_ROW: t->cy = clampi(t->screentop + arg - 1, t->screentop, screen_bottom(t)); break;
    case ZEANSI_UP: t->cy = clampi(t->cy - arg, t->screentop, t->lines - 1); break;
    case ZEANSI_DOWN: t->cy = clampi(t->cy + arg, 0, screen_bottom(t)); break;
    case ZEANSI_LEFT: t->cx = clampi(cx - arg, 0, t->columns - 1); break;
    case ZEANSI_RIGHT: t->cx = clampi(cx + arg, 0, t->columns - 1); break;
    case ZEANSI_ERASE_EOL: erase(t, t->cy, cx, t->columns); return;
    case ZEANSI_ERASE_SOL: erase(t, t->cy, 0, cx + 1); return;
    case ZEANSI_ERASE_LINE: erase(t, t->cy, 0, t->columns); return;
    case ZEANSI_ERASE_EOS:
        erase(t, t->cy, cx, t->columns);
        for (int l = t->cy + 1; l <= screen_bottom(t); l++) erase(t, l, 0, t->columns);
        return;
    case ZEANSI_ERASE_CHARS: erase(t, t->cy, cx, cx + arg); return;
    case ZEANSI_INSERT_CHARS: shift_line(t, arg, true); return;
    case ZEANSI_DELETE_CHARS: shift_line(t, arg, false); return;
    case ZEANSI_SAVE_CURSOR: t->savex = t->cx, t->savey = t->cy; return;
    case ZEANSI_RESTORE_CURSOR:
        t->cx = clampi(t->savex, 0, t->columns - 1), t->cy = clampi(t->savey, 0, t->lines - 1);
        break;
    default: return;   // modes, bold, reverse: no effect here
    }
    zeterm_mark(t, t->cy);   // the cursor moved
}

// Plain printable bytes skip the decoder: nothing is pending in it and it
// would only hand them back as print items.
static bool plain(const zeTerminal *t, unsigned char b) {
    return b >= 32 && b != 127 && !t->ansi.collecting && !t->ansi.osc && !t->ansi.shiftout && t->ansi.count == 0;
}

void zeterm_output(zeTerminal *t, const char *bytes, int n, bool fromchild) {
    if (!t->cells || !bytes) return;
    int cmd, arg;
    for (int i = 0; i < n; i++) {
        unsigned char b = (unsigned char)bytes[i];
        if (plain(t, b)) {
            zeterm_character(t, b, fromchild);
            continue;
        }
        zeansi_put(&t->ansi, b);
        while (zeansi_get(&t->ansi, &cmd, &arg)) item(t, cmd, arg, fromchild);
    }
    // What the program printed shows, even an unfinished word.
    if (!fromchild) zeterm_flush_word(t);
}

void zeterminal_write(zeTerminal *t, const char *bytes, int n) { zeterm_output(t, bytes, n, false); }

void zeterminal_putc(zeTerminal *t, int ch) {
    char b = (char)ch;
    zeterm_output(t, &b, 1, false);
}

void zeterminal_puts(zeTerminal *t, const char *text) {
    if (text) zeterm_output(t, text, (int)strlen(text), false);
}

void zeterminal_settext(zeTerminal *t, const char *text) {
    zeterminal_clear(t);
    zeterminal_puts(t, text);
}

void zeterminal_printf(zeTerminal *t, const char *fmt, ...) {
    char buf[4096];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return;
    if (n < (int)sizeof buf) {
        zeterminal_write(t, buf, n);
        return;
    }
    char *big = (char *)malloc((size_t)n + 1);
    if (!big) return;
    va_start(ap, fmt);
    vsnprintf(big, (size_t)n + 1, fmt, ap);
    va_end(ap);
    zeterminal_write(t, big, n);
    free(big);
}

void zeterminal_clear(zeTerminal *t) {
    zeansi_init(&t->ansi);
    zeansi_set_linechars(&t->ansi, true);
    t->fg = t->bg = 0;
    zeterm_clear_buffer(t);
}

// ----- drawing -----

// The cursor shows while a read waits, while the focused terminal takes
// lines for a child, or always with the cursor option; it blinks.
static bool cursor_shown(const zeTerminal *t) {
    return t->blinkon && (t->cursorflag || t->reading || (t->child && t->c.focus));
}

static void draw_row(zeTerminal *t, int row) {
    int line = t->first + row;
    int y = BORDER + row * t->charh;
    int width = t->columns * t->charw;
    zepxmap_fillrect(&t->px, BORDER, y, width, t->charh, t->c.bgcolor);
    if (line >= t->lines) return;
    const zeTermCell *r = zeterm_row(t, line);
    int ccol = line == t->cy && cursor_shown(t) ? (t->cx >= t->columns ? t->columns - 1 : t->cx) : -1;
    for (int col = 0; col < t->columns; col++) {
        int x = BORDER + col * t->charw;
        int fg = zeterminal_fgcolor(t, r[col].fg), bg = r[col].bg;
        if (col == ccol) {
            zepxmap_fillrect(&t->px, x, y, t->charw, t->charh, fg);
            fg = zeterminal_bgcolor(t, bg);
        } else if (bg) {
            zepxmap_fillrect(&t->px, x, y, t->charw, t->charh, zeterminal_bgcolor(t, bg));
        }
        if (r[col].ch != ' ') zefont_draw_char(&t->px, t->c.font, x, y, fg, false, false, -1, r[col].ch);
    }
}

// Everything of the picture: background, frame, grid, bar.
static void draw_all(zeTerminal *t) {
    if (!t->px.pixels) return;
    zepxmap_clear(&t->px, t->c.bgcolor);
    if (t->c.border) zeframe_draw(&t->px, ZEFRAME_DOUBLE, true, 0, 0, t->px.width, t->px.height);
    if (t->cells)
        for (int row = 0; row < t->visible; row++) draw_row(t, row);
    if (t->scrollback) zescrollbar_draw(&t->bar);
}

void zeterm_copy(zeTerminal *t, int x, int y, int w, int h) {
    zeControl *c = &t->c;
    if (!c->created || !c->visible || !c->redraw || !c->target) return;
    zeview_blit(c->target, c->x + x, c->y + y, &t->px, x, y, w, h);
    t->updates++;
    zecontrol_request(c, ZEREQ_REFRESH, c->x + x, c->y + y, w, h);
}

static int last_cursor_row(zeTerminal *t) { return t->cy - t->first; }

void zeterminal_update(zeTerminal *t) {
    zeControl *c = &t->c;
    if (!c->created || !c->visible || t->hold || !t->cells) return;
    // The row the cursor was drawn on and the one it is on now.
    if (t->cursorrow >= 0 && t->cursorrow < t->visible) {
        if (t->cursorrow < t->dirtylo) t->dirtylo = t->cursorrow;
        if (t->cursorrow > t->dirtyhi) t->dirtyhi = t->cursorrow;
    }
    int now = last_cursor_row(t);
    if (now >= 0 && now < t->visible) {
        if (now < t->dirtylo) t->dirtylo = now;
        if (now > t->dirtyhi) t->dirtyhi = now;
    }
    t->cursorrow = now;
    if (t->dirtyall) {
        draw_all(t);
        zeterm_copy(t, 0, 0, t->px.width, t->px.height);
    } else if (t->dirtylo <= t->dirtyhi) {
        for (int row = t->dirtylo; row <= t->dirtyhi; row++) draw_row(t, row);
        zeterm_copy(t, BORDER, BORDER + t->dirtylo * t->charh, t->columns * t->charw,
                    (t->dirtyhi - t->dirtylo + 1) * t->charh);
    }
    t->dirtyall = false;
    t->dirtylo = t->visible, t->dirtyhi = -1;
}

void zeterminal_redraw(zeTerminal *t) { zeterm_mark_all(t), zeterminal_update(t); }

void zeterminal_hold(zeTerminal *t) { t->hold = true; }

void zeterminal_resume(zeTerminal *t) {
    t->hold = false;
    zeterminal_redraw(t);
}

// The kind's draw (creation, focus, show): the whole picture into the view.
static void kind_draw(zeControl *c) {
    zeTerminal *t = (zeTerminal *)c;
    if (!t->px.pixels) return;
    draw_all(t);
    t->cursorrow = last_cursor_row(t);
    t->dirtyall = false;
    t->dirtylo = t->visible, t->dirtyhi = -1;
    zeview_blit(c->target, c->x, c->y, &t->px, 0, 0, t->px.width, t->px.height);
    t->updates++;
}

// ----- geometry -----

static void kind_parse(zeControl *c, char **e) {
    zeTerminal *t = (zeTerminal *)c;
    zeTermAttr a = {};
    zecfgstr_termattr(e, 1, &a);
    t->pendinglines = clampi(a.lines > 0 ? a.lines : DEFAULT_LINES, 1, ZETERM_LINESMAX);
    t->pendingcolumns = clampi(a.columns > 0 ? a.columns : DEFAULT_COLUMNS, 1, ZETERM_COLUMNSMAX);
    t->pendingscroll = clampi(a.scrollback, 0, ZETERM_CELLSMAX);
    t->scrollback = a.scrollback > 0;
    t->wordbreak = a.wordbreak;
    t->cursorflag = a.cursor;
    t->drawdirect = a.directdraw;
    t->nostandard = a.nostandardview;
    snprintf(t->pendinglog, sizeof t->pendinglog, "%s", a.logfile);
}

static void measure(zeTerminal *t) {
    t->charw = zefont_char_width(t->c.font, 'w');
    t->charh = zefont_height(t->c.font);
    if (t->charw < 1) t->charw = 1;
    if (t->charh < 1) t->charh = 1;
}

static int bar_width(const zeTerminal *t) { return t->scrollback ? t->bar.bw : 0; }

static void kind_natural(zeControl *c, int *w, int *h) {
    zeTerminal *t = (zeTerminal *)c;
    measure(t);
    *w = t->pendingcolumns * t->charw + 2 * BORDER + bar_width(t);
    *h = t->pendinglines * t->charh + 2 * BORDER;
}

// Columns and lines for the current rectangle; a new buffer keeps what fits
// of the old one, the cursor line last.
static bool regrid(zeTerminal *t) {
    measure(t);
    int columns = (t->c.w - 2 * BORDER - bar_width(t)) / t->charw;
    int visible = (t->c.h - 2 * BORDER) / t->charh;
    columns = clampi(columns, 1, ZETERM_COLUMNSMAX);
    visible = clampi(visible, 1, ZETERM_CELLSMAX / columns);
    int lines = t->scrollback ? t->pendingscroll : visible;
    lines = clampi(lines, visible, ZETERM_CELLSMAX / columns);
    if (t->cells && columns == t->columns && lines == t->lines && visible == t->visible) return true;
    zeTermCell *cells = (zeTermCell *)malloc((size_t)lines * columns * sizeof(zeTermCell));
    if (!cells) return false;
    blank(cells, lines * columns);
    int cy = 0;
    if (t->cells) {
        int skip = t->cy - (lines - 1) > 0 ? t->cy - (lines - 1) : 0;
        int keep = t->lines - skip < lines ? t->lines - skip : lines;
        int w = columns < t->columns ? columns : t->columns;
        for (int l = 0; l < keep; l++) memcpy(cells + (size_t)l * columns, zeterm_row(t, skip + l), w * sizeof *cells);
        cy = t->cy - skip;
        free(t->cells);
    }
    t->cells = cells;
    t->lines = lines, t->columns = columns, t->visible = visible;
    t->top = 0;
    t->cy = clampi(cy, 0, lines - 1), t->cx = clampi(t->cx, 0, columns);
    t->first = t->screentop = 0;
    t->savex = t->savey = 0;
    if (t->scrollback && t->cy >= visible) t->first = t->screentop = t->cy - visible + 1;
    return true;
}

static void place_bar(zeTerminal *t) {
    if (!t->scrollback) return;
    t->bar.target = &t->px;
    t->bar.cmd = zeterminal_handler, t->bar.cmdowner = t;
    t->bar.parent = zeterminal_handler, t->bar.parentowner = t, t->bar.parenthandle = 0;
    zescrollbar_setup(&t->bar, BORDER, BORDER, t->c.w - 2 * BORDER, t->c.h - 2 * BORDER, true, false);
    thumb(t);
}

static bool reshape(zeTerminal *t) {
    if (!regrid(t)) return false;
    if (t->px.width != t->c.w || t->px.height != t->c.h || !t->px.pixels) {
        zepxmap_release(&t->px);
        if (!zepxmap_create(&t->px, t->c.w > 0 ? t->c.w : 1, t->c.h > 0 ? t->c.h : 1, ZEPX_TRUECOLOR)) return false;
    }
    place_bar(t);
    return true;
}

void zeterm_resized(zeTerminal *t) {
    reshape(t);
    zecontrol_redraw(&t->c);
}

static zearg blink_tick(void *owner, int, zearg key, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeTerminal *t = (zeTerminal *)owner;
    if (key != KEY_BLINK) return 0;
    if (!(t->cursorflag || t->reading || t->child)) return 0;
    t->blinkon = !t->blinkon;
    zeterm_mark(t, t->cy);
    return 0;
}

bool zeterminal_vcreate(zeTerminal *t, const char *fmt, va_list ap) {
    zeterminal_release(t);
    // The terminal's own defaults stand unless the options name colours.
    char text[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(text, fmt ? fmt : "", ap);
    char buf[ZECFGSTR_SPLITBUF], sq[ZECFGSTR_ENTRYMAX + 1];
    bool hasbg = false, hastext = false;
    char **e = zecfgstr_split(buf, text);
    for (int i = 1; e[0] && e[i]; i++) {
        zecfgstr_squeeze(e[i], sq, sizeof sq);
        if (zecfgstr_match_keys(sq, "bgcol=|bgcolor=|backgroundcolor=|background=")) hasbg = true;
        if (zecfgstr_match_keys(sq, "col=|color=|textcol=|textcolor=|txtcol=")) hastext = true;
    }
    zeControl *c = &t->c;
    c->border = 1;
    if (!zecontrol_create(c, "%s", text)) return false;
    if (!hasbg) c->bgcolor = DEFAULT_BG;
    if (!hastext) c->textcolor = DEFAULT_TEXT;
    if (!reshape(t)) {
        printf("zeterminal_create: no memory for %d lines\n", t->pendinglines);
        zecontrol_release(c);
        return false;
    }
    zeterm_clear_buffer(t);
    if (t->pendinglog[0]) zeterm_open_log(t, t->pendinglog);
    zetimer_set(blink_tick, t, BLINK_MS, KEY_BLINK);
    g_current = t;
    if (!t->nostandard) g_standard = t;
    zecontrol_redraw(c);
    return true;
}

bool zeterminal_create(zeTerminal *t, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zeterminal_vcreate(t, fmt, ap);
    va_end(ap);
    return ok;
}

// What the control module calls on release (also through message 2001).
static void kind_release(zeControl *c) {
    zeTerminal *t = (zeTerminal *)c;
    zeterm_end_io(t);
    zetimer_remove(t, KEY_BLINK);
    zetimer_remove(t, KEY_FRAME);
    zescrollbar_destroy(&t->bar);
    free(t->cells);
    t->cells = nullptr;
    zepxmap_release(&t->px);
    if (g_current == t) g_current = nullptr;
    if (g_standard == t) g_standard = nullptr;
}

void zeterminal_release(zeTerminal *t) {
    if (t->c.created) {
        zecontrol_release(&t->c);   // kind_release, unregister, re-initialise the common part
    } else {
        kind_release(&t->c);
    }
    zeterminal_init(t);
}

static const zeControlKind *terminal_kind(void) {
    static const zeControlKind kind = {"terminal", ZECHILD_TAB, kind_parse, kind_natural, kind_draw,
                                       zeterminal_handler, kind_release};
    return &kind;
}
