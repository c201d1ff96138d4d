// The terminal: a text console control. A grid of character cells with
// colours, fed with text that may hold terminal escape sequences, with an
// optional scroll-back and log file, keyboard input read by the program line
// by line or key by key, and a child program whose output is shown as it
// arrives and to which typed lines are sent.
//
// Output only changes the cell buffer; the screen follows from a timer at
// most once per display refresh (or at once with "directdraw"), so a child
// that writes megabytes costs one redraw per frame, not one per line.
//
// The child runs with pipes, not a pseudo-terminal: the terminal echoes what
// is typed and keeps the line until Enter (Backspace edits it), then sends
// it, which is what a terminal's line discipline would do for a program
// reading its standard input.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include "zeansi.h"
#include "zecfgstr.h"
#include "zecontrol.h"
#include "zepxmap.h"
#include "zescrollbar.h"

enum {
    ZETERM_COLORS = 16,
    ZETERM_WORDMAX = 1000,       // word buffer in word-break mode
    ZETERM_KEYS = 32,            // key ring
    ZETERM_LOGNAMEMAX = 200,
    ZETERM_LINEMAX = 1000,       // a typed line for the child, a line of a loaded file
    ZETERM_RUNMAX = 100000,      // characters of a command line
    ZETERM_COLUMNSMAX = 1000,
    ZETERM_LINESMAX = 1000,      // visible lines a size is made for
    ZETERM_CELLSMAX = 4000000,   // buffer cells (16 MB): scroll-back is cut to fit
    ZETERM_SCROLLBACK = 300,     // "scrollback" without a number
};

// Messages the terminal understands besides those of every control.
enum {
    ZETERM_PUTCHAR = 4001,       // [character]
    ZETERM_GETKEY = 4002,        // -> key, 0 when the toolkit stops
    ZETERM_GETLINE = 4003,       // [char *buffer, maximum] -> buffer or 0
    ZETERM_KEYAVAILABLE = 4004,  // -> 1 when a key waits
    ZETERM_HOLD = 4009,
    ZETERM_RESUME = 4010,
    ZETERM_PUTTEXT = 4011,       // [const char *text]
    ZETERM_RUN = 4012,           // [const char *command line] -> 1 started
    ZETERM_LOADFILE = 4013,      // [const char *file] -> 1 loaded
    ZETERM_REDRAW = 4014,
};

// Event ids beyond the main one: the mouse kinds as a view reports them
// (same positions as ZEVIEW_ID_*), then the end of the child program.
enum {
    ZETERM_ID_LDOWN = 1, ZETERM_ID_LUP, ZETERM_ID_LDOUBLE, ZETERM_ID_MDOWN, ZETERM_ID_MUP,
    ZETERM_ID_RDOWN, ZETERM_ID_RUP, ZETERM_ID_WHEELUP, ZETERM_ID_WHEELDOWN, ZETERM_ID_MOTION,
    ZETERM_ID_CHILDEND = 11,     // argument: the exit code
};

// One cell: character, foreground index, background index, unused.
struct zeTermCell {
    uint8_t ch, fg, bg, spare;
};

struct zeTermWord {
    uint8_t ch, fg, bg;
};

struct zeTerminal {
    zeControl c;
    zeTermCell *cells;           // lines x columns, a ring: buffer line 0 is ring row `top`
    int lines, columns, visible; // buffer lines, columns, visible lines
    int top;
    int cx, cy;                  // cursor column and buffer line
    int first;                   // first visible buffer line
    int screentop;               // the buffer line that row 1 of a position means
    int savex, savey;            // saved cursor
    int fg, bg;                  // current colour indices (0: text colour, no background)
    int colors[ZETERM_COLORS];
    bool scrollback, wordbreak, cursorflag, drawdirect, hold, reading, child, childoutput;
    bool blinkon;
    int charw, charh;
    zeTermWord word[ZETERM_WORDMAX];
    int wordlen;
    int keys[ZETERM_KEYS];
    int keyhead, nkeys;
    char typed[ZETERM_LINEMAX + 1];   // the line being typed for the child
    int typedlen;
    char logname[ZETERM_LOGNAMEMAX + 1];
    FILE *log;
    int slot;                    // child-process slot, -1 none
    int exitcode;
    struct zeTermLink *link;     // what the child's reports reach; outlives the terminal
    bool echoing;                // typed keys shown, not sent on by themselves
    bool nostandard;
    zeAnsiDecoder ansi;
    zeScrollBar bar;
    zePixmap px;                 // the terminal's own picture, copied into the view
    int32_t pxfont;              // current font of drawing commands on px
    // Pending screen work: visible rows lo..hi (lo > hi: none) or everything.
    int dirtylo, dirtyhi;
    bool dirtyall, scheduled;
    int cursorrow;               // visible row the cursor was last drawn on
    long updates;                // pictures copied to the view so far
    // Options read at creation, applied once the size is known.
    int pendinglines, pendingcolumns, pendingscroll;
    char pendinglog[ZECFGSTR_ENTRYMAX + 1];

    zeTerminal();
    ~zeTerminal();
    zeTerminal(const zeTerminal &) = delete;
    zeTerminal &operator=(const zeTerminal &) = delete;
};

extern const int zeterminal_palette[ZETERM_COLORS];

void zeterminal_init(zeTerminal *t);
// Creates the terminal in the standard view: the control options and
// "scrollback", "scrollback=", "lines=", "columns=", "logfile=", "wordbreak",
// "cursor", "directdraw", "nostandardview". Without a width or height the
// size is columns x lines characters plus the border.
bool zeterminal_create(zeTerminal *t, const char *fmt, ...);
bool zeterminal_vcreate(zeTerminal *t, const char *fmt, va_list ap);
// Ends a running child, closes the log, frees the buffer, unregisters.
void zeterminal_release(zeTerminal *t);

// The terminal made last (the toolkit's current terminal) and the one that
// is the standard text output; null when none.
zeTerminal *zeterminal_current(void);
zeTerminal *zeterminal_standard(void);

// Output. Bytes above 127 are characters; escape sequences are decoded.
void zeterminal_putc(zeTerminal *t, int ch);
void zeterminal_puts(zeTerminal *t, const char *text);
void zeterminal_write(zeTerminal *t, const char *bytes, int n);
void zeterminal_settext(zeTerminal *t, const char *text);   // clear first
void zeterminal_printf(zeTerminal *t, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// Input. The waits pump the toolkit and return 0 (null) once it stops.
int zeterminal_getkey(zeTerminal *t);
int zeterminal_getkey_echo(zeTerminal *t);
// maximum is the buffer's size: at most maximum - 1 characters are kept.
char *zeterminal_getline(zeTerminal *t, char *buffer, int maximum);
bool zeterminal_keyavailable(const zeTerminal *t);
// A key as the window delivers it (what message 2016 does).
void zeterminal_key(zeTerminal *t, int key);

void zeterminal_clear(zeTerminal *t);
// Draws the whole grid now.
void zeterminal_redraw(zeTerminal *t);
// Draws what changed since the last update now (the timer does it otherwise).
void zeterminal_update(zeTerminal *t);
void zeterminal_hold(zeTerminal *t);
void zeterminal_resume(zeTerminal *t);
// Scroll-back: the first visible line, limited to the buffer.
void zeterminal_scroll_to(zeTerminal *t, int firstline);

// Runs a command line (printf form, at most 100000 characters) with pipes.
// False when the process table is full or the program cannot start.
bool zeterminal_run(zeTerminal *t, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Ends the child (SIGTERM) and waits up to ms for its end to be reported.
void zeterminal_stop_child(zeTerminal *t, int ms);
bool zeterminal_child_running(const zeTerminal *t);
// Shows the tail of a text file; false when it cannot be read.
bool zeterminal_loadfile(zeTerminal *t, const char *name);

// A cell of the buffer (line 0 is the oldest); a blank cell when outside.
zeTermCell zeterminal_cell(const zeTerminal *t, int column, int line);
// The text of a buffer line without trailing blanks, into out.
void zeterminal_line_text(const zeTerminal *t, int line, char *out, int outsize);
// The colour a cell index stands for (index 0 of the foreground is the text
// colour, of the background the control's background).
int zeterminal_fgcolor(const zeTerminal *t, int index);
int zeterminal_bgcolor(const zeTerminal *t, int index);

zearg zeterminal_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                         zearg a7, zearg a8);
