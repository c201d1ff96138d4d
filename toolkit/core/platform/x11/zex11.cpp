// The X11 backend (Xlib, XRandR). Filled in with the window module.
#include "zeplatform.h"
#include <X11/Xlib.h>
#include <cstdio>

static Display *g_dpy;

static bool x_init(void) {
    if (!g_dpy) g_dpy = XOpenDisplay(nullptr);
    return g_dpy != nullptr;
}
static void x_shutdown(void) {
    if (g_dpy) XCloseDisplay(g_dpy);
    g_dpy = nullptr;
}
static int x_fd(void) { return g_dpy ? ConnectionNumber(g_dpy) : -1; }
static bool x_pending(void) { return g_dpy && XPending(g_dpy) > 0; }
static bool x_dispatch_one(void) {
    if (!x_pending()) return false;
    XEvent ev;
    XNextEvent(g_dpy, &ev);
    return true;
}
static void x_screen_size(int *w, int *h) {
    *w = DisplayWidth(g_dpy, DefaultScreen(g_dpy));
    *h = DisplayHeight(g_dpy, DefaultScreen(g_dpy));
}
static void x_workarea(int r[4]) {
    int w, h;
    x_screen_size(&w, &h);
    r[0] = 0, r[1] = 0, r[2] = w, r[3] = h;
}
static int x_refresh_hz(void) { return 60; }
static int x_depth(void) { return DefaultDepth(g_dpy, DefaultScreen(g_dpy)); }
static bool x_clipboard_set(const char *) { return false; }
static const char *x_clipboard_get(void) { return nullptr; }

const zeBackend zebackend_x11 = {
    "x11", x_init, x_shutdown, x_fd, x_pending, x_dispatch_one, x_screen_size,
    x_workarea, x_refresh_hz, x_depth, x_clipboard_set, x_clipboard_get,
};
