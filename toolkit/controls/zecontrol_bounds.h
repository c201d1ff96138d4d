// Whether a control's rectangle can be drawn: a rectangle that is empty or
// lies millions of pixels out (huge or negative sizes in an option string)
// is skipped, so that no coordinate sum overflows and no row loop runs
// through billions of rows that the pixmap would only clip away.
#pragma once
#include "zecontrol.h"

enum { ZECONTROL_COORDMAX = 1 << 20 };

inline bool zecontrol_drawable(const zeControl *c) {
    const int m = ZECONTROL_COORDMAX;
    return c->target && c->w > 0 && c->h > 0 && c->w < m && c->h < m && c->x > -m && c->x < m && c->y > -m &&
           c->y < m;
}
