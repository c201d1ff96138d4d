// The multi-line editor: a fixed grid of lines by columns characters,
// allocated once and filled with blanks, shown through a window of the
// visible lines and columns with scroll bars when the grid is larger. Cursor
// keys, selection by Shift and by mouse drag (scrolling while the pointer is
// beyond an edge), tabs, auto-indent, word break, and cut, copy and paste
// through the clipboard and the right-button menu.
//
// Events: the change id (ids[ZEEDIT_ID_CHANGE]) after every editing key;
// the main id (ids[0]) when the editor loses the focus.
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zescrollbar.h"

enum {
    ZEEDIT_ID_CHANGE = 14,
    ZEEDIT_TICK_MS = 250,         // cursor blink
    ZEEDIT_DRAG_STEPS = 10,       // auto-scroll steps per blink tick while dragging
    ZEEDIT_MAXLINES = 100000,     // bounds of a grid given by options
    ZEEDIT_MAXCOLUMNS = 10000,
    ZEEDIT_MAXCELLS = 8 << 20,
    ZEEDIT_TAB = 8,               // default tab width
};

struct zeEdit {
    zeControl c;                  // first: the control model sees a zeControl
    char *grid;                   // lines * columns (+ 1000 spare) bytes
    bool *hard;                   // per line: ends with Enter (kept by word break)
    int lines, columns;
    int cx, cy;                   // cursor column and line
    int sx, sy;                   // first visible column and line
    int ax, ay;                   // selection anchor; the selection runs to the cursor
    bool hassel;
    bool dragging;
    int dragdx, dragdy;           // auto-scroll direction while dragging outside
    int tabspace;
    bool colored, linenumbers, autoindent, wordbreak;
    zeScrollBar bars;
    bool cursoron, shift, ticking;
    int steps;                    // drag steps since the last blink
    int charw, fh;                // cell size
};

void zeedit_init(zeEdit *e);
// Options from entry 0: the common families, then "lines=", "columns=",
// "tabspace=" / "tabs=", "colored", "showlinenumbers", "autoindent",
// "wordbreak". Without lines or columns the grid is the visible area.
// False (with a message) without a view or when the grid cannot be had.
bool zeedit_create(zeEdit *e, const char *fmt, ...);
bool zeedit_vcreate(zeEdit *e, const char *fmt, va_list ap);
void zeedit_destroy(zeEdit *e);

// Replaces the document (LF or CR LF separate lines; tabs expand; lines
// longer than the grid continue on the next line; what does not fit is cut).
void zeedit_set_text(zeEdit *e, const char *text);
// The document: lines without trailing blanks joined by LF, trailing empty
// lines left out. Copies into out (size bytes, cut to fit) and returns the
// full length.
int zeedit_get_text(const zeEdit *e, char *out, int size);
void zeedit_clear(zeEdit *e);
// The selected text (as zeedit_get_text); 0 without a selection.
int zeedit_get_selection(const zeEdit *e, char *out, int size);
void zeedit_select_all(zeEdit *e);
// Visible lines and columns of the text area.
int zeedit_visible_lines(const zeEdit *e);
int zeedit_visible_columns(const zeEdit *e);
bool zeedit_focus(zeEdit *e);

inline int zeedit_changeid(const zeEdit *e) { return e->c.ids[ZEEDIT_ID_CHANGE]; }
inline const char *zeedit_line(const zeEdit *e, int line) { return e->grid + (long)line * e->columns; }
