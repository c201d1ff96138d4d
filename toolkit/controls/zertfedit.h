// The rich-text editor: multi-line text in Arial at 10 points with bold,
// italic and underlined runs, word wrap (or a horizontal scroll bar without
// it), a vertical scroll bar, caret and selection by Shift and by mouse drag,
// the editing keys, and cut, copy and paste through the clipboard and the
// right-button menu. The text is Latin-1 with LF line breaks; beside it runs
// one attribute byte per character.
//
// Events: the change id (ids[ZERTF_ID_CHANGE]) whenever the selection or the
// caret moves or the text changes; the text id (ids[ZERTF_ID_TEXT]) only when
// the text changed; the main id (ids[0]) when the editor loses the focus.
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zescrollbar.h"

enum {
    ZERTF_BOLD = 1, ZERTF_ITALIC = 2, ZERTF_UNDERLINE = 4,
    ZERTF_ATTRS = ZERTF_BOLD | ZERTF_ITALIC | ZERTF_UNDERLINE,
    ZERTF_ID_TEXT = 13,
    ZERTF_ID_CHANGE = 14,
    ZERTF_MAXTEXT = 8 << 20,      // characters; more is cut
    ZERTF_POINTS = 10,
    ZERTF_TICK_MS = 500,          // caret blink
};

struct zeRTFFormat {
    bool bold, italic, underline;   // set when the whole selection has it
    int mixed;                      // ZERTF_* that only part of the selection has
    char face[32];
    int points;
};

struct zeRTFEdit {
    zeControl c;                  // first: the control model sees a zeControl
    char *text;                   // len bytes (+ 1 for a closing zero)
    unsigned char *attr;          // len attribute bytes
    int len, cap;
    int caret, anchor;            // the selection runs from anchor to caret
    int typeattr;                 // attributes of what is typed next
    int *lines;                   // first character of each display line
    int nlines, linecap;
    int sy;                       // first visible line
    int sx;                       // horizontal pixel offset (without wrap)
    int widest;                   // widest line in pixels (without wrap)
    int goalx;                    // pixel x kept by Up and Down; -1 none
    bool wrap;
    bool cursoron, shift, dragging, ticking;
    int font, boldfont, fh, ascent;
    zeScrollBar bars;
};

void zertfedit_init(zeRTFEdit *e);
// Options from entry 0: the common families, then "nowrap", and "bold",
// "italic", "underline" for the attributes of typed text. False (with a
// message) without a view.
bool zertfedit_create(zeRTFEdit *e, const char *fmt, ...);
bool zertfedit_vcreate(zeRTFEdit *e, const char *fmt, va_list ap);
void zertfedit_destroy(zeRTFEdit *e);

// Replaces the text (plain; CR LF and CR become LF, other control bytes go).
void zertfedit_set_text(zeRTFEdit *e, const char *text);
// Puts the text at the end in the attributes of typed text; the caret follows it.
void zertfedit_append(zeRTFEdit *e, const char *text);
// The plain text into out (size bytes, cut to fit); returns the full length.
int zertfedit_get_text(const zeRTFEdit *e, char *out, int size);
inline int zertfedit_length(const zeRTFEdit *e) { return e->len; }

// The selection [from, to); false (both the caret) when empty.
bool zertfedit_selection(const zeRTFEdit *e, int *from, int *to);
void zertfedit_select(zeRTFEdit *e, int from, int to);
// Sets (on) or clears the ZERTF_* of mask on the selection, or for typed
// text when nothing is selected.
void zertfedit_set_format(zeRTFEdit *e, int mask, bool on);
// The format at the selection (or of typed text at the caret).
void zertfedit_get_format(const zeRTFEdit *e, zeRTFFormat *f);
// Attribute byte of one character (0 outside the text).
int zertfedit_attr_at(const zeRTFEdit *e, int pos);

bool zertfedit_focus(zeRTFEdit *e);
// Display lines after wrapping, and the line of a character position.
inline int zertfedit_lines(const zeRTFEdit *e) { return e->nlines; }
int zertfedit_line_of(const zeRTFEdit *e, int pos);
int zertfedit_visible_lines(const zeRTFEdit *e);

inline int zertfedit_changeid(const zeRTFEdit *e) { return e->c.ids[ZERTF_ID_CHANGE]; }
inline int zertfedit_textid(const zeRTFEdit *e) { return e->c.ids[ZERTF_ID_TEXT]; }
