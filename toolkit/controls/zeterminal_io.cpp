// The terminal's input and outside connections: keys and reads, the child
// program, the log file, loading files, and the message handler.
#include "zeterminal_internal.h"
#include "zeevent.h"
#include "zeprocess.h"
#include "zetimer.h"
#include "zewindow.h"
#include <cstdlib>
#include <cstring>
#include <ctime>

// ----- keys -----

static bool ring_put(zeTerminal *t, int key) {
    if (t->nkeys >= ZETERM_KEYS) return false;
    t->keys[(t->keyhead + t->nkeys) % ZETERM_KEYS] = key;
    t->nkeys++;
    return true;
}

static int ring_take(zeTerminal *t) {
    int key = t->keys[t->keyhead];
    t->keyhead = (t->keyhead + 1) % ZETERM_KEYS;
    t->nkeys--;
    return key;
}

bool zeterminal_keyavailable(const zeTerminal *t) { return t->nkeys > 0; }

// Shows a typed character without sending it to the child by itself.
static void echo(zeTerminal *t, int ch) {
    t->echoing = true;
    zeterminal_putc(t, ch);
    t->echoing = false;
}

// The cursor steps back over the last character and blanks it.
static void rub_out(zeTerminal *t) {
    if (t->cx > t->columns) t->cx = t->columns;
    if (t->cx == 0) return;
    t->cx--;
    zeterm_row(t, t->cy)[t->cx] = {' ', 0, 0, 0};
    zeterm_mark(t, t->cy);
}

static void send_line(zeTerminal *t, bool newline) {
    if (newline) t->typed[t->typedlen++] = '\n';   // child_key leaves room for it
    t->typed[t->typedlen] = 0;
    if (t->typedlen) zeprocess_write(t->slot, t->typed);
    t->typedlen = 0;
}

// A key for the child: the line is kept and edited here and goes out at
// Enter. Ctrl-D ends the input (at the start of a line), Ctrl-C the child.
static void child_key(zeTerminal *t, int key) {
    switch (key) {
    case 10:
    case 13:
        echo(t, '\n');
        send_line(t, true);
        return;
    case 8:
        if (t->typedlen > 0) {
            t->typedlen--;
            rub_out(t);
        }
        return;
    case 4:
        if (t->typedlen == 0) zeprocess_closeinput(t->slot);
        else send_line(t, false);
        return;
    case 3: zeprocess_kill(t->slot); return;
    }
    if (key < 32 && key != 9) return;
    if (key > 254 || key == 127) return;
    if (t->typedlen >= ZETERM_LINEMAX - 1) return;   // room for the line feed
    t->typed[t->typedlen++] = (char)key;
    echo(t, key);
}

void zeterminal_key(zeTerminal *t, int key) {
    if (t->child) {
        child_key(t, key);
        return;
    }
    if (key > 0 && key < 255) ring_put(t, key);
}

static void set_reading(zeTerminal *t, bool on) {
    t->reading = on;
    t->blinkon = true;
    zeterm_mark(t, t->cy);
}

int zeterminal_getkey(zeTerminal *t) {
    set_reading(t, true);
    while (t->nkeys == 0 && zerunning()) {
        zepump();
        if (t->nkeys == 0) zesleep(10000);
    }
    set_reading(t, false);
    return t->nkeys ? ring_take(t) : 0;
}

int zeterminal_getkey_echo(zeTerminal *t) {
    int key = zeterminal_getkey(t);
    if ((key >= 32 && key <= 254) || key == 10) echo(t, key);
    return key;
}

char *zeterminal_getline(zeTerminal *t, char *buffer, int maximum) {
    if (!buffer || maximum <= 0) return nullptr;
    int n = 0;
    for (;;) {
        int key = zeterminal_getkey(t);
        if (key == 0) return nullptr;
        if (key == 10 || key == 13) {
            echo(t, '\n');
            buffer[n] = 0;
            return buffer;
        }
        if (key == 8) {
            if (n > 0) n--, rub_out(t);
            continue;
        }
        if (key < 32 || key > 254) continue;
        echo(t, key);
        if (n < maximum - 1) buffer[n++] = (char)key;
        else if (t->cx > 0) t->cx--, zeterm_mark(t, t->cy);   // not stored: the next key takes its place
    }
}

// ----- the child program -----

static zearg child_report(void *owner, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeTermLink *link = (zeTermLink *)owner;
    zeTerminal *t = link->t;
    if (msg == ZEMSG_PROCESS_OUTPUT) {
        if (t) zeterm_output(t, (const char *)a1, (int)a2, true);
        return 0;
    }
    if (msg != ZEMSG_PROCESS_END) return 0;
    delete link;
    if (!t) return 0;
    t->link = nullptr;
    t->child = false;
    t->slot = -1;
    t->exitcode = (int)a1;
    t->typedlen = 0;
    zeterm_flush_word(t);
    zeterm_mark(t, t->cy);
    zecontrol_post(&t->c, t->c.ids[ZETERM_ID_CHILDEND], t->exitcode);
    return 0;
}

bool zeterminal_run(zeTerminal *t, const char *fmt, ...) {
    if (!t->c.created || t->child || !fmt) return false;
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    if (n < 0 || n > ZETERM_RUNMAX) {
        printf("zeterminal_run: command line longer than %d characters\n", ZETERM_RUNMAX);
        return false;
    }
    char *line = (char *)malloc((size_t)n + 1);
    if (!line) return false;
    va_start(ap, fmt);
    vsnprintf(line, (size_t)n + 1, fmt, ap);
    va_end(ap);
    zeTermLink *link = new zeTermLink{t};
    int slot = zeprocess_run(child_report, link, line, true);
    free(line);
    if (slot < 0) {
        delete link;
        return false;
    }
    t->link = link;
    t->slot = slot;
    t->child = true;
    t->exitcode = 0;
    t->typedlen = 0;
    zeterm_mark(t, t->cy);
    return true;
}

bool zeterminal_child_running(const zeTerminal *t) { return t->child; }

void zeterminal_stop_child(zeTerminal *t, int ms) {
    if (!t->child) return;
    zeprocess_kill(t->slot);
    uint32_t start = zemilliseconds();
    while (t->child && (int)(zemilliseconds() - start) < ms) {
        zeprocess_poll();
        if (t->child) zesleep(2000);
    }
}

void zeterm_forward(zeTerminal *t, int ch) {
    if (ch <= 0 || ch > 255) return;
    char s[2] = {(char)ch, 0};
    zeprocess_write(t->slot, s);
}

// ----- the log -----

bool zeterm_open_log(zeTerminal *t, const char *name) {
    if (strlen(name) > ZETERM_LOGNAMEMAX) {
        printf("zeterminal: log file name longer than %d characters\n", ZETERM_LOGNAMEMAX);
        return false;
    }
    FILE *f = fopen(name, "w");
    if (!f) {
        printf("zeterminal: cannot create log file %s\n", name);
        return false;
    }
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    fprintf(f, "%04d-%02d-%02d %02d:%02d:%02d\n", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min, tm.tm_sec);
    snprintf(t->logname, sizeof t->logname, "%s", name);
    t->log = f;
    return true;
}

void zeterm_end_io(zeTerminal *t) {
    if (t->child) zeterminal_stop_child(t, 1000);
    // A child that outlived the wait reports to nobody.
    if (t->link) t->link->t = nullptr;
    t->link = nullptr;
    t->child = false;
    t->slot = -1;
    if (t->log) fclose(t->log);
    t->log = nullptr;
    t->logname[0] = 0;
}

// ----- loading a file -----

bool zeterminal_loadfile(zeTerminal *t, const char *name) {
    if (!t->cells || !name) return false;
    FILE *f = fopen(name, "rb");
    if (!f) return false;
    long tail = (long)t->columns * t->lines;
    if (fseek(f, 0, SEEK_END) == 0) {
        long size = ftell(f);
        fseek(f, size > tail ? size - tail : 0, SEEK_SET);
    }
    zeterminal_clear(t);
    bool was = t->hold;
    t->hold = true;
    char line[ZETERM_LINEMAX + 1];
    while (fgets(line, sizeof line, f)) zeterminal_puts(t, line);
    fclose(f);
    t->hold = was;
    zeterminal_redraw(t);
    return true;
}

// ----- messages -----

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static void scroll_command(zeTerminal *t, int cmd, int arg) {
    int page = t->visible > 1 ? t->visible - 1 : 1;
    switch (cmd) {
    case ZESB_UP: zeterminal_scroll_to(t, t->first - 1); break;
    case ZESB_DOWN: zeterminal_scroll_to(t, t->first + 1); break;
    case ZESB_PAGEUP: zeterminal_scroll_to(t, t->first - page); break;
    case ZESB_PAGEDOWN: zeterminal_scroll_to(t, t->first + page); break;
    case ZESB_VPOS: zeterminal_scroll_to(t, clampi(arg, 0, 100) * (t->lines - t->visible) / 100); break;
    }
    zeterminal_update(t);
}

static int mouse_id(int msg) {
    switch (msg) {
    case ZEMSG_LDOWN: return ZETERM_ID_LDOWN;
    case ZEMSG_LUP: return ZETERM_ID_LUP;
    case ZEMSG_LDOUBLE: return ZETERM_ID_LDOUBLE;
    case ZEMSG_MDOWN: return ZETERM_ID_MDOWN;
    case ZEMSG_MUP: return ZETERM_ID_MUP;
    case ZEMSG_RDOWN: return ZETERM_ID_RDOWN;
    case ZEMSG_RUP: return ZETERM_ID_RUP;
    case ZEMSG_WHEELUP: return ZETERM_ID_WHEELUP;
    case ZEMSG_WHEELDOWN: return ZETERM_ID_WHEELDOWN;
    case ZEMSG_MOTION: return ZETERM_ID_MOTION;
    }
    return 0;
}

// Pointer messages: the bar first, then focus and scrolling, then the
// application hears of them like of a view's.
static zearg mouse(zeTerminal *t, int msg, int x, int y) {
    zeControl *c = &t->c;
    bool bar = t->scrollback && msg != ZEMSG_WHEELUP && msg != ZEMSG_WHEELDOWN &&
               zescrollbar_mouse(&t->bar, msg, x - c->x, y - c->y);
    if (msg == ZEMSG_LDOWN || msg == ZEMSG_LDOUBLE) zecontrol_default(c, msg, x, y);
    if (msg == ZEMSG_WHEELUP) scroll_command(t, ZESB_UP, 0);
    if (msg == ZEMSG_WHEELDOWN) scroll_command(t, ZESB_DOWN, 0);
    if (!bar) zecontrol_post(c, c->ids[mouse_id(msg)], x - c->x, y - c->y);
    return 0;
}

// Drawing commands act on the terminal's own picture.
static zearg drawing(zeTerminal *t, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                     zearg a7, zearg a8) {
    if (!t->px.pixels) return 0;
    zearg r = zepxmap_command(&t->px, &t->pxfont, t, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (zewindow_draws(msg)) zeterm_copy(t, 0, 0, t->px.width, t->px.height);
    return r;
}

zearg zeterminal_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                         zearg a7, zearg a8) {
    zeTerminal *t = (zeTerminal *)owner;
    zeControl *c = &t->c;
    if (msg >= 1001 && msg <= 1050) return drawing(t, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (msg >= ZESB_UP && msg <= ZESB_HPOS) {
        scroll_command(t, msg, (int)a1);
        return 0;
    }
    switch (msg) {
    case ZETERM_PUTCHAR: zeterminal_putc(t, (int)a1); return 0;
    case ZETERM_GETKEY: return zeterminal_getkey(t);
    case ZETERM_GETLINE: return (zearg)zeterminal_getline(t, (char *)a1, (int)a2);
    case ZETERM_KEYAVAILABLE: return zeterminal_keyavailable(t);
    case ZETERM_HOLD: zeterminal_hold(t); return 0;
    case ZETERM_RESUME: zeterminal_resume(t); return 0;
    case ZETERM_PUTTEXT: zeterminal_puts(t, (const char *)a1); return 0;
    case ZETERM_RUN: return a1 && zeterminal_run(t, "%s", (const char *)a1);
    case ZETERM_LOADFILE: return zeterminal_loadfile(t, (const char *)a1);
    case ZETERM_REDRAW: zeterminal_redraw(t); return 0;
    // The bar's requests: show what it redrew, hold the pointer while dragged.
    case ZEREQ_REFRESH: zeterm_copy(t, (int)a1, (int)a2, (int)a3, (int)a4); return 0;
    case ZEREQ_CAPTURE: zecontrol_capture(c, true); return 0;
    case ZEREQ_RELEASE: zecontrol_capture(c, false); return 0;
    case ZEMSG_KEYDOWN: zeterminal_key(t, (int)a1); return 0;
    case ZEMSG_LEAVE:
        if (t->scrollback) zescrollbar_release_all(&t->bar);
        return zecontrol_default(c, msg);
    case ZEMSG_SIZE:
        if (a1 > 0 && a2 > 0) {
            zecontrol_layout(c, (int)a1, (int)a2);
            zeterm_resized(t);
        }
        return 0;
    case ZEMSG_FOCUS:
    case ZEMSG_UNFOCUS: {
        zearg r = zecontrol_default(c, msg);
        zeterm_mark(t, t->cy);
        return r;
    }
    }
    if (mouse_id(msg)) return mouse(t, msg, (int)a1, (int)a2);
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
