// The slider: a knob on a track holding a percentage 0-100. Dragged with
// the mouse, moved by 5 with a press on the track, the wheel and the cursor
// keys, set to the ends with Home and End. It posts its main event after
// every change (with the rounded value as first argument) and when a drag
// ends.
//
// Options besides the common ones: "default="/"def="/"start=" (initial
// value, real, clamped to 0-100), "showpos" (the value printed on the
// track), "vertical" (the track runs upwards: 0 at the bottom).
#pragma once
#include "zecontrol.h"

enum {
    ZESLIDE_KNOB = 30,     // knob length along the track, pixels
    ZESLIDE_STEP = 5,      // percent per track press, wheel notch or key
    ZESLIDE_HEIGHT = 12,   // default thickness
};

struct zeSlide {
    zeControl c;
    double value;          // percent 0-100
    int knobw;             // ZESLIDE_KNOB
    int knobpos;           // pixels from the inner start of the track
    bool dragging;
    int lastd;             // pointer offset along the track at the last drag step
    bool showpos;
    double start;
    bool vertical;

    zeSlide();
    ~zeSlide();
    zeSlide(const zeSlide &) = delete;
    zeSlide &operator=(const zeSlide &) = delete;
};

void zeslide_init(zeSlide *s);
// Creates the slider in the standard view (printf form); false without one.
bool zeslide_create(zeSlide *s, const char *fmt, ...);
void zeslide_release(zeSlide *s);
// Sets the value clamped to 0-100 and redraws; posts nothing.
void zeslide_set_value(zeSlide *s, int value);
// The integer at the start of text (0 when there is none).
void zeslide_set_value_text(zeSlide *s, const char *text);
double zeslide_value(const zeSlide *s);
// Usable track length in pixels (0 when the slider is too small for its knob).
int zeslide_track(const zeSlide *s);
