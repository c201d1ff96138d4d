// Backend selection.
#include "zeplatform.h"
#include "zeevent.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const zeBackend *g_backend;

static const zeBackend *backend_by_name(const char *name) {
    static const zeBackend *const table[] = {&zebackend_x11, &zebackend_headless};
    for (const zeBackend *b : table)
        if (strcmp(b->name, name) == 0) return b;
    return nullptr;
}

bool zebackend_select(const char *name) {
    const zeBackend *b = backend_by_name(name);
    if (!b) return false;
    if (g_backend && g_backend != b) g_backend->shutdown();
    g_backend = b;
    // The event loop in core waits on the chosen backend's messages.
    static zeEventSource source;
    source = {b->fd, b->pending, b->dispatch_one};
    zeevent_set_source(&source);
    if (!b->init()) {
        printf("zebackend_select: %s cannot start\n", name);
        return false;
    }
    return true;
}

static void no_display(const char *name) {
    const char *program = program_invocation_short_name;
    if (!backend_by_name(name)) {
        fprintf(stderr, "%s: ZE_PLATFORM=%s is no platform; use x11 (the default) or headless (no screen)\n", program,
                name);
        return;
    }
    const char *display = getenv("DISPLAY");
    if (!display || !*display)
        fprintf(stderr, "%s: no X display: DISPLAY is not set; start it in a desktop session or set DISPLAY "
                        "(ZE_PLATFORM=headless runs without a screen)\n", program);
    else
        fprintf(stderr, "%s: cannot open the X display \"%s\" (DISPLAY); check that it runs and that you may use it, "
                        "or set DISPLAY to another (ZE_PLATFORM=headless runs without a screen)\n", program, display);
}

ZE_HOT const zeBackend *zebackend(void) {
    if (g_backend) return g_backend;
    const char *name = getenv("ZE_PLATFORM");
    if (!name || !*name) name = "x11";
    if (zebackend_select(name)) return g_backend;
    // A desktop program without a display would run invisibly: say which
    // display it tried and how to choose one, and end.
    // The exit cleanups may still ask for a backend: the in-memory one.
    zebackend_select("headless");
    no_display(name);
    zeexit(1);
}
