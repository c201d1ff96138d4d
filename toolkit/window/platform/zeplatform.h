// The platform backend: the one narrow interface between the toolkit and the
// display. Two backends fill it: x11 (Xlib) and headless (an in-memory screen
// for tests). ZE_PLATFORM chooses at run time; x11 is the default.
//
// Everything above this interface (windows, views, controls, services) is
// shared code. A backend only creates native windows that show pixels,
// reports what the user does to them, and answers a few questions about the
// screen. Add a call here only when a feature cannot be built above it, and
// give it to both backends.
//
// Threads: every call belongs to the main thread except win_show and
// win_copy_img, which the display's timer thread may call too (it draws the
// digits from there). The
// x11 backend calls XInitThreads before it opens the display and guards its
// window table with a lock, so win_show may race with the main thread's
// dispatch; the caller still keeps a draw apart from destroying the window
// (the application's busy flag does that).
#pragma once
#include "zebase.h"
#include "zedesktop.h"
#include <cstdint>

// Native events reach the toolkit through the sink given at window creation:
// msg is a toolkit window message (2001 close, 2004 left down, 2016 key ...),
// a1..a4 its arguments.
typedef void (*zeNativeSink)(void *owner, int msg, int a1, int a2, int a3, int a4);

// What a native window looks like (zeNativeSpec.flags).
enum {
    ZENW_POPUP = 1,        // no frame, not managed (menus, combo lists); captures the mouse
    ZENW_NOTITLE = 2,      // no decorations, not in the task bar
    ZENW_ABOVE = 4,        // stays above normal windows ("modal")
    ZENW_FULLSCREEN = 8,
    ZENW_RESIZE = 16,      // the user may resize it
    ZENW_NOSYSMENU = 32,   // no close / minimise buttons
};

struct zeNativeSpec {
    const char *title;
    int x, y;        // outer top-left on the screen; x = -1: top-left of the work area
    int width, height;   // client size
    unsigned flags;      // ZENW_*
    int owner;           // the window a popup belongs to (handle), 0 none
};


struct zeBackend {
    const char *name;
    bool (*init)(void);          // connect; false when the display cannot be reached
    void (*shutdown)(void);
    int (*fd)(void);             // descriptor that becomes readable when native events arrive, or -1
    bool (*pending)(void);       // a native event is waiting
    bool (*dispatch_one)(void);  // translate and deliver one native event; false when none
    void (*screen_size)(int *w, int *h);
    void (*workarea)(zeRect *area);
    int (*refresh_hz)(void);
    int (*depth)(void);              // bits per pixel of the screen
    bool (*clipboard_set)(const char *text);
    const char *(*clipboard_get)(void);   // 0 when the clipboard holds no text

    // Native windows. A window handle is a small positive number, 0 = none.
    int (*win_create)(const zeNativeSpec *spec, zeNativeSink sink, void *owner);
    void (*win_destroy)(int win);
    // The pixels the window shows: 0x00RRGGBB, row-major, stride = width. The
    // backend keeps the pointer and repaints exposed parts from it by itself.
    void (*win_set_pixels)(int win, const uint32_t *colors, int width, int height);
    void (*win_show)(int win, int x, int y, int w, int h);   // copy this client rectangle to the screen
    // Optional (null in a backend without it): memory for a window's pixels
    // that the display reads in place, so a show sends no pixels. Zeroed;
    // 0 when it cannot be had (the window keeps its own array). Given back
    // with win_free_pixels after the window stops showing it.
    uint32_t *(*win_alloc_pixels)(int width, int height);
    void (*win_free_pixels)(uint32_t *colors);
    // Optional (null in a backend without them): pictures kept by the display,
    // so that showing one costs a short request instead of pixel stores.
    // opaque: one byte per pixel, nonzero where the picture covers what is
    // under it (null: everywhere). A positive handle, or -1 when it cannot
    // be had. win_copy_img copies the picture's rectangle (sx, sy, w, h) to
    // the window's screen at (dx, dy) through that mask; like win_show it may
    // come from the timer thread.
    int (*img_create)(const uint32_t *colors, const uint8_t *opaque, int width, int height);
    void (*img_destroy)(int img);
    void (*win_copy_img)(int win, int img, int sx, int sy, int w, int h, int dx, int dy);
    // Optional: whole pictures without a mask copied onto the window's
    // screen by the display itself, delayMs from now (a frame late at most,
    // never early), so that the program may sleep through that moment.
    // False, with nothing queued, where the display cannot promise the
    // moment; main thread only.
    bool (*win_copy_imgs_later)(int win, const zeImageCopy *copies, int n, int delayMs);
    void (*win_move)(int win, int x, int y);                 // outer top-left
    void (*win_resize)(int win, int w, int h);               // client size
    void (*win_rect)(int win, zeRect *outer);
    void (*win_client_origin)(int win, int *x, int *y);      // client (0, 0) on the screen
    void (*win_set_visible)(int win, bool visible);          // show (restoring a minimised window) or hide
    void (*win_minimise)(int win);
    void (*win_set_title)(int win, const char *title);
    void (*win_raise)(int win);                  // to the top, active, keyboard focus
    void (*win_set_above)(int win, bool above);  // topmost on / off
    long (*win_native)(int win);                 // the native id, comparable with window_at
    void (*win_capture)(int win);                // all pointer input goes to win
    void (*win_release)(void);
    // Tray icon with tip text; clicks arrive as 2056 (2005 left, 2011 right).
    // false when the desktop has no tray.
    bool (*tray_add)(int win, const char *tip);
    void (*tray_remove)(int win);
    const char *(*dropped_file)(void);           // the last file dropped on a window (2061)

    // The desktop and the other programs' windows.
    long (*window_at)(int x, int y);             // top-level window at a screen point
    bool (*is_desktop)(long id);                 // the desktop (root or a desktop-type window)
    int (*list_windows)(zeNativeInfo *out, int max);   // top-level windows, count
    bool (*move_window)(long id, int x, int y, int w, int h);   // outer rectangle
    bool (*workarea_set)(const zeRect *area);    // reserve the screen outside area for us

    // The pointer's shape over our windows: the pointing hand or the arrow.
    void (*cursor_set)(bool hand);
};

// The active backend; initialised on first use from ZE_PLATFORM.
const zeBackend *zebackend(void);
// Selects a backend by name ("x11", "headless") before first use; false for an unknown name.
bool zebackend_select(const char *name);

extern const zeBackend zebackend_headless;
extern const zeBackend zebackend_x11;
