// The progress bar: a passive row of blocks showing a percentage 0-100.
// It takes no focus and posts no events.
#pragma once
#include "zecontrol.h"

enum { ZEPROGRESS_BLOCKS = 20, ZEPROGRESS_COLOR = 0x000080 };

struct zeProgressBar {
    zeControl c;
    int value;   // 0-100

    zeProgressBar();
    ~zeProgressBar();
    zeProgressBar(const zeProgressBar &) = delete;
    zeProgressBar &operator=(const zeProgressBar &) = delete;
};

void zeprogress_init(zeProgressBar *b);
// Creates the bar in the standard view (printf form); false without one.
bool zeprogress_create(zeProgressBar *b, const char *fmt, ...);
void zeprogress_release(zeProgressBar *b);
// Clamps to 0-100; redraws only when the value changed.
void zeprogress_set_value(zeProgressBar *b, int value);
int zeprogress_value(const zeProgressBar *b);
// Blocks shown for a value: (value + 3) / 5, so 0-1 % show none, 100 % all 20.
int zeprogress_blocks(int value);
