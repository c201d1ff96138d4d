// A window's pixels reach the screen whether the server reads them from a
// shared segment (MIT-SHM) or takes them through the connection: after many
// changed rectangles and resizes the screen shows exactly the pixmap. With
// the extension a show costs a short request, not the pixels, and the shows
// of one wake leave in one write. window_noshm_x11_test.sh runs this program
// again on a server without the extension, and over TCP (ZE_TEST_TCP=1),
// where the server offers it but cannot read our memory.
#include <gtest/gtest.h>
#include "zeevent.h"
#include "zeplatform.h"
#include "zewindow.h"
#include "x11_window_check.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

namespace {

Display *g_dpy;       // the test's own view of the server
bool g_server_shm;    // the server offers MIT-SHM
bool g_tcp;           // ... but the connection is not local
bool g_shm_expected;

bool pump_until(const std::function<bool()> &done, int ms = 5000) { return zetest_pump_until(done, ms); }

Window xid(zeWindow *w) { return zetest_xid(w); }
bool viewable(Window w) { return zetest_viewable(g_dpy, w); }


// Shared segments this process created that still exist.
int our_segments(void) {
    FILE *f = fopen("/proc/sysvipc/shm", "r");
    if (!f) return -1;
    char line[512];
    int n = 0;
    long key, id, perms, size, cpid;
    if (!fgets(line, sizeof line, f)) line[0] = 0;   // header
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "%ld %ld %lo %ld %ld", &key, &id, &perms, &size, &cpid) == 5 && cpid == getpid()) n++;
    fclose(f);
    return n;
}

// Rectangles of random place, size and colour, each shown on its own.
void scribble(zeWindow *w, unsigned seed, int n) {
    std::mt19937 rng(seed);
    zePixmap *p = zewindow_pixmap(w);
    for (int i = 0; i < n; i++) {
        int x = (int)(rng() % p->width), y = (int)(rng() % p->height);
        int cw = 1 + (int)(rng() % 120), ch = 1 + (int)(rng() % 90);
        zepxmap_fillrect(p, x, y, cw, ch, (int)(rng() & 0xFFFFFF));
        zewindow_show(w, x, y, cw, ch);
    }
}

// Pixels of the client area that differ from the pixmap.
int differences(zeWindow *w) {
    zePixmap *p = zewindow_pixmap(w);
    XImage *img = XGetImage(g_dpy, xid(w), 0, 0, p->width, p->height, AllPlanes, ZPixmap);
    if (!img) return -1;
    int wrong = 0;
    for (int y = 0; y < p->height; y++)
        for (int x = 0; x < p->width; x++)
            wrong += (XGetPixel(img, x, y) & 0xFFFFFF) != (unsigned long)(zepxmap_getpixel(p, x, y) & 0xFFFFFF);
    XDestroyImage(img);
    return wrong;
}

// The server may take the program's requests after the test's: wait for it.
void expect_screen_matches(zeWindow *w, const char *when) {
    int wrong = -1;
    pump_until([&] { return (wrong = differences(w)) == 0; });
    EXPECT_EQ(0, wrong) << "pixels differ " << when;
}

void resize_to(zeWindow *w, int cw, int ch) {
    zebackend()->win_resize(w->native, cw, ch);
    ASSERT_TRUE(pump_until([&] { return zewindow_pixmap(w)->width == cw && zewindow_pixmap(w)->height == ch; }))
        << "no resize to " << cw << " x " << ch;
    // What a view does on the size message: draws the new pixmap whole.
    zewindow_show(w, 0, 0, 0, 0);
}

void keep_screenshot(void) {
    const char *build = getenv("ZE_BUILD_DIR");
    std::string dir = std::string(build ? build : ".") + "/test-output";
    std::string cmd = "mkdir -p '" + dir + "' && import -window root 'png:" + dir + "/window_" +
                      (g_tcp ? "tcp" : g_server_shm ? "shm" : "noshm") + "_x11.png'";
    EXPECT_EQ(0, system(cmd.c_str()));
}

class WindowShmX11 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(nullptr, getenv("DISPLAY"));
        ASSERT_TRUE(zebackend_select("x11"));
        g_dpy = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, g_dpy);
        g_server_shm = XShmQueryExtension(g_dpy);
        g_tcp = getenv("ZE_TEST_TCP") != nullptr;
        g_shm_expected = g_server_shm && !g_tcp;
        printf("server %s MIT-SHM%s\n", g_server_shm ? "offers" : "does not offer", g_tcp ? ", over TCP" : "");
    }
};

TEST_F(WindowShmX11, ScreenShowsThePixmapAfterManyRectanglesAndResizes) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "shm,x=40,y=40,xs=400,ys=300,notitle,modal,resize,noquit"));
    ASSERT_TRUE(pump_until([&] { return viewable(xid(&w)); }));
    scribble(&w, 1, 400);
    expect_screen_matches(&w, "after 400 rectangles");
    // Larger, then smaller: each pixmap gets memory of its own size.
    resize_to(&w, 560, 380);
    scribble(&w, 2, 300);
    expect_screen_matches(&w, "after growing");
    resize_to(&w, 260, 180);
    scribble(&w, 3, 300);
    expect_screen_matches(&w, "after shrinking");
    keep_screenshot();
    zewindow_close(&w);
}

TEST_F(WindowShmX11, AShowSendsAShortRequestAndAWakeOneWrite) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "bytes,x=500,y=40,xs=300,ys=400,notitle,modal,noquit"));
    ASSERT_TRUE(pump_until([&] { return viewable(xid(&w)); }));
    pump_until([] { return false; }, 300);   // the window manager's messages are answered
    zePixmap *p = zewindow_pixmap(&w);
    enum { PUTS = 20, W = 200, H = 300 };
    long before = zetest_io_count("wchar");
    for (int i = 0; i < PUTS; i++) {
        zepxmap_fillrect(p, 10, 10, W, H, 0x102030 * (i + 1) & 0xFFFFFF);
        zewindow_show(&w, 10, 10, W, H);
        while (zeevent_poll() != 0) {}
    }
    long per_put = (zetest_io_count("wchar") - before) / PUTS;
    printf("%ld bytes written per put of %d x %d\n", per_put, W, H);
    if (g_shm_expected) {
        EXPECT_LT(per_put, 200);
    } else {
        EXPECT_GE(per_put, W * H * 4);   // the pixels themselves
    }

    // Four rectangles of one wake leave together.
    long writes = zetest_io_count("syscw");
    for (int i = 0; i < 4; i++) {
        zepxmap_fillrect(p, 20 + 60 * i, 350, 40, 40, 0xFF0000 >> (4 * i));
        zewindow_show(&w, 20 + 60 * i, 350, 40, 40);
    }
    while (zeevent_poll() != 0) {}
    if (g_shm_expected) {
        EXPECT_EQ(1, zetest_io_count("syscw") - writes);
    }
    expect_screen_matches(&w, "after the puts");
    zewindow_close(&w);
}

// Segments go when their window does, also across re-creation.
TEST_F(WindowShmX11, ClosedWindowsLeaveNoSegments) {
    for (int round = 0; round < 3; round++) {
        zeWindow w;
        ASSERT_TRUE(zewindow_open(&w, "again,x=100,y=500,xs=%d,ys=120,notitle,noquit", 200 + 50 * round));
        ASSERT_TRUE(pump_until([&] { return viewable(xid(&w)); }));
        EXPECT_EQ(g_shm_expected ? 1 : 0, our_segments()) << "round " << round;
        scribble(&w, 10 + round, 50);
        expect_screen_matches(&w, "in a re-created window");
        zewindow_close(&w);
        // The server lets go when it reaches the detach.
        EXPECT_TRUE(pump_until([] { return our_segments() == 0; })) << "round " << round;
    }
}

}  // namespace
