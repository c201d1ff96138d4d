// Types every part of the toolkit shares: the object handler and its message
// arguments. Windows, views, controls and timer slots are all driven through
// one handler: owner, message number, eight integer (or pointer) arguments.
#pragma once
#include <cstdint>
#include <cstring>

typedef intptr_t zearg;

// The path of an idle wake: the pump, the tick count, the display update and
// the copy to the X server. A wake after half a second of sleep finds code
// and data cold and pays for every page it touches; the compiler puts the
// functions marked so together, in a few pages, instead of spread over the
// whole program.
#define ZE_HOT __attribute__((hot))

// Copies src into dst of size bytes, cut to fit and always terminated; a null
// src copies as "". A plain copy, not snprintf("%s"), which costs ten times as
// much: display texts are copied on every idle wake.
inline void zecopy_text(char *dst, size_t size, const char *src) {
    if (size == 0) return;
    if (!src) src = "";
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = 0;
}

// A rectangle on the screen or in a pixmap: top-left corner and size.
struct zeRect {
    int x, y, width, height;
};

// A picture kept by the display, copied whole onto a window at (dx, dy).
struct zeImageCopy {
    int img;
    int dx, dy;
};
typedef zearg (*zeHandler)(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4,
                           zearg a5, zearg a6, zearg a7, zearg a8);

// Calls a handler with the unused trailing arguments set to 0.
inline zearg zesend(zeHandler h, void *owner, int msg, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0,
                    zearg a4 = 0, zearg a5 = 0, zearg a6 = 0, zearg a7 = 0, zearg a8 = 0) {
    return h ? h(owner, msg, a1, a2, a3, a4, a5, a6, a7, a8) : 0;
}
