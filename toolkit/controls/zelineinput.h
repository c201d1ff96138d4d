// The single-line text input: a field of at most 1023 characters with a
// blinking cursor, selection by Shift and by mouse drag, horizontal
// scrolling, a maximum length, password and right-aligned display, and
// cut, copy and paste through the clipboard and the right-button menu.
//
// It reports through two event ids: the main id (ids[0]) when editing
// ends (focus lost, or Enter with "keepfocus"), and the change id
// (ids[ZELINE_ID_CHANGE]) after every editing key.
#pragma once
#include <cstdarg>
#include "zecontrol.h"

enum {
    ZELINE_TEXTMAX = 1023,      // characters; the buffer holds one more
    ZELINE_MAXLEN = 1000,       // default maximum length
    ZELINE_ID_CHANGE = 14,      // the fifteenth id
    ZELINE_BLINK_MS = 500,
};

struct zeLineInput;
void zelineinput_init(zeLineInput *l);

struct zeLineInput {
    zeControl c;               // first: the control model sees a zeControl
    char text[ZELINE_TEXTMAX + 1];
    bool sel[ZELINE_TEXTMAX + 1];   // one flag per character: the selection is the flagged run
    int maxlen;
    int cursor;                // 0 ... length, absolute
    int scroll;                // first visible character
    int cursorx;               // pixel x of the cursor in the target
    bool cursoron;             // blink phase
    bool shift;                // selection mode (Shift held)
    int anchor;                // where the Shift selection started
    bool dragging;
    int draganchor;
    bool alignright, keepfocus, password;
    bool blinking;             // the blink timer runs

    // Initialised, so that creating one declared on the stack never takes
    // leftover memory for a created control and releases it.
    zeLineInput() { zelineinput_init(this); }
};

void zelineinput_init(zeLineInput *l);
// Options start at entry 0 (there is no label): geometry, border, font,
// focus, grey, colours, "maxlen=", "default=", "alignright", "keepfocus"
// (or "nofocusswitchwithenter"), "password". False without a view.
bool zelineinput_create(zeLineInput *l, const char *fmt, ...);
bool zelineinput_vcreate(zeLineInput *l, const char *fmt, va_list ap);
// Removes the blink timer and unregisters.
void zelineinput_destroy(zeLineInput *l);

// The text is cut to 1023 characters; the cursor goes to its end.
void zelineinput_set_text(zeLineInput *l, const char *text);
void zelineinput_printf(zeLineInput *l, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void zelineinput_set_int(zeLineInput *l, int value);
// Copies the text into out (size bytes, cut to fit); returns out.
char *zelineinput_get_text(const zeLineInput *l, char *out, int size);
inline const char *zelineinput_text(const zeLineInput *l) { return l->text; }
int zelineinput_length(const zeLineInput *l);

// Asks the container for the keyboard focus (which selects all text).
bool zelineinput_focus(zeLineInput *l);
void zelineinput_redraw(zeLineInput *l);

// The selection as a range [*from, *to); false (both 0) when none.
bool zelineinput_selection(const zeLineInput *l, int *from, int *to);
void zelineinput_select(zeLineInput *l, int from, int to);

inline int zelineinput_eventid(const zeLineInput *l) { return l->c.ids[0]; }
inline int zelineinput_changeid(const zeLineInput *l) { return l->c.ids[ZELINE_ID_CHANGE]; }
