// The picking controls of the colour chooser.
//
// zeColorField: either the hue/saturation field (hue runs left to right,
// saturation from full at the top to none at the bottom, shown at full
// brightness) or, with "strip", the brightness strip of the current hue and
// saturation (full at the top, black at the bottom) with a pointer beside
// it. A press or drag picks; the cursor keys move by one pixel's worth. It
// posts its main event after every change the user makes, with the picked
// h, s and v times ZECOLORFIELD_SCALE as arguments (zecolorfield_posted).
//
// zeColorSwatches: a grid of colour cells over a caller's table. A click or
// the cursor keys select a cell and post the main event (first argument the
// cell's index, also in c.lastargs[0]).
#pragma once
#include <cstdint>
#include "zecolorchooser.h"
#include "zecontrol.h"

enum {
    ZECOLORFIELD_MARK = 8,   // the strip's pointer area right of the colours
    ZECOLORFIELD_SCALE = 1000000,   // h, s, v in the event's arguments: times this
};

struct zeColorField {
    zeControl c;
    bool strip;
    zeHSV hsv;
    bool dragging;

    zeColorField();
    ~zeColorField();
    zeColorField(const zeColorField &) = delete;
    zeColorField &operator=(const zeColorField &) = delete;
};

void zecolorfield_init(zeColorField *f);
// Options: the common ones and "strip". False without a standard view.
bool zecolorfield_create(zeColorField *f, const char *fmt, ...);
void zecolorfield_release(zeColorField *f);
// Shows hsv (the field marks its hue and saturation, the strip is drawn for
// them and points at its value); posts nothing.
void zecolorfield_set(zeColorField *f, zeHSV hsv);
inline zeHSV zecolorfield_get(const zeColorField *f) { return f->hsv; }
// The pick the last main event carried.
zeHSV zecolorfield_posted(const zeColorField *f);
// What a press at the content point (x, y) picks (clamped to the control).
zeHSV zecolorfield_pick(const zeColorField *f, int x, int y);

struct zeColorSwatches {
    zeControl c;
    const int32_t *colors;      // cols * rows entries, the caller's
    int cols, rows;
    int selected;               // -1 none

    zeColorSwatches();
    ~zeColorSwatches();
    zeColorSwatches(const zeColorSwatches &) = delete;
    zeColorSwatches &operator=(const zeColorSwatches &) = delete;
};

void zecolorswatches_init(zeColorSwatches *s);
// The table must outlive the control. Options: the common ones.
bool zecolorswatches_create(zeColorSwatches *s, const int32_t *colors, int cols, int rows, const char *fmt, ...);
void zecolorswatches_release(zeColorSwatches *s);
// Marks cell index (-1: none) and redraws; posts nothing.
void zecolorswatches_select(zeColorSwatches *s, int index);
// The cell at the content point, or -1.
int zecolorswatches_cell_at(const zeColorSwatches *s, int x, int y);
// The content rectangle of a cell (x, y, w, h); false for a bad index.
bool zecolorswatches_cell_rect(const zeColorSwatches *s, int index, int rect[4]);
