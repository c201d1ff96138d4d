// The up-down control: a text field holding an integer with two small arrow
// buttons at its right end. The arrows, the cursor keys Up and Down and the
// wheel step the value by "step=", snapped to the step and held within
// "min=" ... "max="; a held arrow repeats after 500 ms every 100 ms. The
// text can be typed into as in a line input.
//
// Events: the main event after every change by the arrows, keys or wheel
// (a held arrow posts once, when it is released; first argument the value);
// the text event (ids[ZEUPDOWN_ID_TEXT]) after every editing key.
//
// Options besides the common and the line-input ones: "min=", "max=",
// "step=", "def="/"start=" (the initial value), "digits=" (zero-padded
// width), "decimal=" (digits after the decimal point).
#pragma once
#include "zecontrol.h"
#include "zelineinput.h"

enum {
    ZEUPDOWN_MIN = -100000,
    ZEUPDOWN_MAX = 100000,
    ZEUPDOWN_REPEAT_MS = 100,
    ZEUPDOWN_FIRST_DELAY = 5,       // repeat intervals before the first repeat
    ZEUPDOWN_DECIMALS_MAX = 9,      // an int has no more digits after the point
    ZEUPDOWN_ID_TEXT = ZELINE_ID_CHANGE,
    ZEUPDOWN_TIMER_KEY = 2,         // the field's blink timer has key 1
};

// How a value becomes text and text a value.
struct zeUpDownRules {
    int min, max, step;
    int digits;     // 0: as many as needed; 1-10: zero-padded to that width
    int decimals;   // digits after the decimal point, 0-9
};

struct zeUpDownControl {
    zeLineInput in;             // the text field; in.c is the control's common record
    zeUpDownRules rules;
    int start;
    int interval;               // repeat interval, ms
    bool uppressed, downpressed;
    int ax, ay, aw, ah;         // one arrow button: the up one at (ax, ay), the down one below
    bool timer;
    bool shrunk;                // the field's handling runs: c.w is the field's width,
    int fullw;                  // and this the control's
    const zeControlKind *field; // the line input's own behaviour, for what the up-down leaves to it

    zeUpDownControl();
    ~zeUpDownControl();
    zeUpDownControl(const zeUpDownControl &) = delete;
    zeUpDownControl &operator=(const zeUpDownControl &) = delete;
};

void zeupdown_init(zeUpDownControl *u);
// Creates the control in the standard view (printf form); false without one.
bool zeupdown_create(zeUpDownControl *u, const char *fmt, ...);
void zeupdown_release(zeUpDownControl *u);
// Shows the value snapped and clamped; posts nothing.
void zeupdown_set_value(zeUpDownControl *u, int value);
// The number in the text (as typed: not clamped).
int zeupdown_value(const zeUpDownControl *u);
// Steps by k steps as an arrow would, posting the main event.
void zeupdown_step(zeUpDownControl *u, int k);
inline int zeupdown_textid(const zeUpDownControl *u) { return u->in.c.ids[ZEUPDOWN_ID_TEXT]; }

// The value rules on their own. Snapped to the step (toward zero), clamped
// (above max gives max, then below min gives min), zero-padded to the digits
// and given its decimal point; out holds at least 32 bytes.
void zeupdown_format(const zeUpDownRules *r, long long v, char *out, int size);
// The separators "." and "," removed and the digits after the last one made
// exactly r->decimals long; saturates at the int range.
int zeupdown_read(const zeUpDownRules *r, const char *text);
