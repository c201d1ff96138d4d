// Display queries: depth, refresh rate and a stand-in for the scan line.
//
// X11 offers no scan-line position. The refresh phase is computed from the
// monotonic clock and the refresh rate instead: it runs from 0 to the screen
// height once per refresh period, like a beam that starts its frame at each
// multiple of the period. Drawing code that samples it once per millisecond
// sees one wrap per refresh, which is all a draw-once-per-frame signal needs.
#pragma once
#include <cstdint>

int zedisplay_depth(void);       // bits per pixel, asked once
int zedisplay_count(void);       // display devices: 1
// The monitor refresh rate (60 when unknown), asked once. Call it on the main
// thread before sampling the scan line from another thread.
int zedisplay_refresh_hz(void);
// Position within the current refresh period, 0 .. period - 1 microseconds.
int64_t zedisplay_phase_us(void);
// The simulated scan line: 0 .. screen height - 1.
int zedisplay_scanline(void);
// Sleeps until the next refresh period begins.
void zedisplay_wait_vblank(void);
