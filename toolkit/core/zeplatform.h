// The platform backend: the one narrow interface between the toolkit and the
// display. Two backends fill it: x11 (Xlib) and headless (an in-memory screen
// for tests). ZE_PLATFORM chooses at run time; x11 is the default.
//
// Everything above this interface (windows, views, controls, services) is
// shared code. A backend only creates native windows that show pixels,
// reports what the user does to them, and answers a few questions about the
// screen. Add a call here only when a feature cannot be built above it, and
// give it to both backends.
#pragma once
#include <cstdint>

// Native events reach the toolkit through the sink given at window creation:
// msg is a toolkit window message (2001 close, 2004 left down, 2016 key ...),
// a1..a4 its arguments.
typedef void (*zeNativeSink)(void *owner, int msg, int a1, int a2, int a3, int a4);

struct zeBackend {
    const char *name;
    bool (*init)(void);          // connect; false when the display cannot be reached
    void (*shutdown)(void);
    int (*fd)(void);             // descriptor that becomes readable when native events arrive, or -1
    bool (*pending)(void);       // a native event is waiting
    bool (*dispatch_one)(void);  // translate and deliver one native event; false when none
    void (*screen_size)(int *w, int *h);
    void (*workarea)(int rect[4]);   // left, top, right, bottom
    int (*refresh_hz)(void);
    int (*depth)(void);              // bits per pixel of the screen
    bool (*clipboard_set)(const char *text);
    const char *(*clipboard_get)(void);   // 0 when the clipboard holds no text
    // Windows are added by the window module (see zewindow_native.h).
};

// The active backend; initialised on first use from ZE_PLATFORM.
const zeBackend *zebackend(void);
// Selects a backend by name ("x11", "headless") before first use; false for an unknown name.
bool zebackend_select(const char *name);

extern const zeBackend zebackend_headless;
extern const zeBackend zebackend_x11;
