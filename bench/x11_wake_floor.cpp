// The least an X client can do to show a changing display: one window,
// asleep in poll until the next change on the wall clock's phase, then one
// filled rectangle and one flush. scripts/measure_x11.sh runs it beside the
// timer and the X clocks, so a figure can be read against what merely waking
// up N times a second costs on the same machine at the same moment.
// PAGES > 0 reads one byte in each of that many pages at every change: what
// a wake pays for each further page it touches after a sleep.
//   x11_wake_floor CHANGES_PER_SECOND [X Y [PAGES]]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

int main(int argc, char **argv) {
    int rate = argc > 1 ? atoi(argv[1]) : 1;
    if (rate < 1 || rate > 1000) {
        fprintf(stderr, "usage: x11_wake_floor CHANGES_PER_SECOND (1..1000) [X Y [PAGES]]\n");
        return 2;
    }
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        fprintf(stderr, "x11_wake_floor: cannot open the display\n");
        return 1;
    }
    int x = argc > 3 ? atoi(argv[2]) : 0, y = argc > 3 ? atoi(argv[3]) : 0;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, 200, 40, 0, 0, 0);
    XStoreName(d, w, "x11_wake_floor");
    // Where it was asked to be: beside the measured windows, not over them.
    XSizeHints hints = {};
    hints.flags = USPosition | PPosition;
    hints.x = x, hints.y = y;
    XSetWMNormalHints(d, w, &hints);
    XSelectInput(d, w, ExposureMask);
    XMapWindow(d, w);
    GC gc = XCreateGC(d, w, 0, nullptr);
    int pages = argc > 4 ? atoi(argv[4]) : 0;
    if (pages < 0 || pages > 100000) pages = 0;
    std::vector<char> touched((size_t)pages * 4096, 1);
    volatile unsigned sum = 0;
    const long step = 1000000000L / rate;
    bool on = false;
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        int ms = (int)((step - now.tv_nsec % step) / 1000000) + 1;
        pollfd p = {ConnectionNumber(d), POLLIN, 0};
        if (poll(&p, 1, ms) > 0) continue;
        on = !on;
        for (int i = 0; i < pages; i++) sum = sum + (unsigned char)touched[(size_t)i * 4096];
        XSetForeground(d, gc, on ? 0xff0000 : 0x330000);
        XFillRectangle(d, w, gc, 10, 10, 20, 20);
        XFlush(d);
    }
}
