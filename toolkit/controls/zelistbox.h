// The list box: many lines of text at once, one of them selected, with an
// embedded vertical scroll bar when they do not fit. Lines may carry check
// boxes ("choosebox") and every other line may be shaded ("markedlines").
// It can fill itself with the subdirectories or the matching files of the
// current directory.
//
// Only the visible lines are drawn, and selecting, scrolling and redrawing
// cost the same for ten lines as for a hundred thousand.
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zescrollbar.h"

enum {
    ZELB_ID_RIGHT = 5,        // ids[5]: right click
    ZELB_ID_SELECT = 14,      // ids[14]: the selection changed by mouse or keys
    ZELB_ID_MARK = 15,        // ids[15]: a line's check box was toggled
    ZELB_TEXTMAX = 999,       // characters of one line after formatting
    ZELB_GROW = 1000,         // the line array grows by this many entries
    ZELB_REDRAW_MS = 10,      // a scheduled redraw waits for the next refresh tick
};

struct zeListBox {
    zeControl c;
    char **items;             // owned texts
    unsigned char *marks;     // check box state per line
    unsigned char *firsts;    // first character of each line, lower case (typed-letter search)
    int count, capacity;
    int selected;             // -1: none
    int top;                  // first visible line
    int rows;                 // lines that fit: (h - 8) / line height
    int visible;              // rows, at most count
    int lineh;                // the font height
    bool bulk;                // adding neither recomputes nor redraws
    bool scheduled;           // a redraw is due at the next refresh tick
    bool sbshown;
    bool markedlines, choosebox;
    int lasttoggled;          // line whose mark was toggled last, -1 none
    int boxcolor;             // background, default scheme white
    zeScrollBar sb;
};

void zelistbox_init(zeListBox *lb);
// Options: the control options plus "entries=" / "contents=" (lines
// separated by "|"), "markedlines", "choosebox". Border 1 unless given.
bool zelistbox_create(zeListBox *lb, const char *fmt, ...);
bool zelistbox_vcreate(zeListBox *lb, const char *fmt, va_list ap);
// Frees the lines and unregisters.
void zelistbox_release(zeListBox *lb);

// Appends a line (printf form, cut at ZELB_TEXTMAX). Outside bulk mode the
// lines and the bar are recomputed and a redraw is scheduled. False when
// memory runs out.
bool zelistbox_add(zeListBox *lb, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Appends without formatting (the text is taken as it is).
bool zelistbox_add_text(zeListBox *lb, const char *text);
// Frees every line and enters bulk mode.
void zelistbox_clear(zeListBox *lb);
// Leaves bulk mode: top 0, selection 0 when focused (else none), redraw.
void zelistbox_end_bulk(zeListBox *lb);
// Removes one line; a selection behind it moves up with its line, a removed
// selected line passes the selection to the line that takes its place (the
// last line when it was the last). No event. False for an invalid index.
bool zelistbox_remove(zeListBox *lb, int index);
// Case-insensitive stable order; each line keeps its mark.
void zelistbox_sort(zeListBox *lb);

// The selected line copied to out (when there is one) and its index, -1 none.
int zelistbox_selected_item(const zeListBox *lb, char *out, int outsize);
int zelistbox_selected(const zeListBox *lb);
// Selects (clamped to the lines), scrolls it into view and redraws; no event.
void zelistbox_select(zeListBox *lb, int index);
// top = p * (count - visible) / 100.
void zelistbox_set_top_percent(zeListBox *lb, int percent);
// Line i, or null.
const char *zelistbox_item(const zeListBox *lb, int index);
int zelistbox_count(const zeListBox *lb);
bool zelistbox_marked(const zeListBox *lb, int index);
void zelistbox_set_mark(zeListBox *lb, int index, bool marked);

// Fills with "[..]" (unless dir is "/") and the subdirectories of the current
// directory, sorted. Names beginning with "." only when hidden files are shown.
void zelistbox_fill_dirs(zeListBox *lb, const char *dir);
// Fills with the files of the current directory that match the pattern
// ("*" any run, "?" one character, case ignored), sorted.
void zelistbox_fill_files(zeListBox *lb, const char *pattern);
// The toolkit-wide setting whether names beginning with "." are listed.
void zelistbox_set_show_hidden(bool show);
bool zelistbox_show_hidden(void);
// Whether name matches pattern ("*", "?", case ignored).
bool zelistbox_match(const char *pattern, const char *name);
