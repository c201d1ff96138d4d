// Backend selection.
#include "zeplatform.h"
#include "zeevent.h"
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

const zeBackend *zebackend(void) {
    if (g_backend) return g_backend;
    const char *name = getenv("ZE_PLATFORM");
    if (!name || !*name) name = "x11";
    if (zebackend_select(name)) return g_backend;
    // A desktop program without a display still runs: on the in-memory screen.
    printf("zebackend: falling back to headless\n");
    zebackend_select("headless");
    return g_backend;
}
