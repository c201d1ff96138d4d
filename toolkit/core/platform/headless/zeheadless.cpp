// The headless backend: an in-memory screen for tests.
#include "zeplatform.h"
#include <cstdio>
#include <cstdlib>
#include <string>

static int g_w = 1920, g_h = 1080;
static std::string g_clip;
static bool g_clip_set;

static bool hl_init(void) {
    const char *s = getenv("ZE_SCREEN");
    int w, h;
    if (s && sscanf(s, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) g_w = w, g_h = h;
    return true;
}
static void hl_shutdown(void) {}
static int hl_fd(void) { return -1; }
static bool hl_pending(void) { return false; }
static bool hl_dispatch_one(void) { return false; }
static void hl_screen_size(int *w, int *h) { *w = g_w, *h = g_h; }
static void hl_workarea(int r[4]) { r[0] = 0, r[1] = 0, r[2] = g_w, r[3] = g_h; }
static int hl_refresh_hz(void) { return 60; }
static int hl_depth(void) { return 24; }
static bool hl_clipboard_set(const char *t) { g_clip = t ? t : "", g_clip_set = true; return true; }
static const char *hl_clipboard_get(void) { return g_clip_set ? g_clip.c_str() : nullptr; }

const zeBackend zebackend_headless = {
    "headless", hl_init, hl_shutdown, hl_fd, hl_pending, hl_dispatch_one, hl_screen_size,
    hl_workarea, hl_refresh_hz, hl_depth, hl_clipboard_set, hl_clipboard_get,
};
