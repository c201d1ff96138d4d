// What the x11 window tests share: pumping the toolkit until a condition
// holds, a window's X id, whether the server shows it yet, and what this
// process wrote to it.
#pragma once
#include "zeevent.h"
#include "zewindow.h"
#include <X11/Xlib.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unistd.h>

// Pumps the toolkit until done() or ms have passed; every event id goes to
// seen when it is given.
inline bool zetest_pump_until(const std::function<bool()> &done, int ms,
                              const std::function<void(int)> &seen = nullptr) {
    for (int t = 0; t <= ms; t += 10) {
        for (int id; (id = zeevent_poll()) != 0;)
            if (seen) seen(id);
        if (done()) return true;
        usleep(10000);
    }
    return false;
}

inline Window zetest_xid(zeWindow *w) { return (Window)zewindow_handler(w, ZEWR_NATIVE, 0, 0, 0, 0, 0, 0, 0, 0); }

inline bool zetest_viewable(Display *dpy, Window w) {
    XWindowAttributes a;
    XSync(dpy, False);
    return XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
}

// A counter of this process's /proc/self/io ("wchar": bytes written,
// "syscw": write calls), -1 when unreadable.
inline long zetest_io_count(const char *name) {
    FILE *f = fopen("/proc/self/io", "r");
    if (!f) return -1;
    char key[32];
    long v, found = -1;
    while (fscanf(f, "%31[^:]: %ld\n", key, &v) == 2)
        if (strcmp(key, name) == 0) found = v;
    fclose(f);
    return found;
}
