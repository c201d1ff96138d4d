// The desktop around our windows: the work area, the other programs' windows
// and the refresh rate (zedisplay.h). Code above the window layer asks here,
// never the backend.
#pragma once
#include "zebase.h"

// A top-level window of any program, as the window list reports it.
struct zeNativeInfo {
    long id;             // native id (as window_at returns)
    char title[1000];
    int x, y, width, height;   // outer rectangle
    bool minimised;
};

// The part of the screen that windows may use.
zeRect zedesktop_workarea(void);
// Reserves the screen outside area for us; false when the desktop cannot.
bool zedesktop_set_workarea(const zeRect &area);
// The top-level windows of all programs, at most max; returns the count.
int zedesktop_windows(zeNativeInfo *out, int max);
// Moves another program's window to an outer rectangle; false when refused.
bool zedesktop_move_window(long id, int x, int y, int width, int height);
