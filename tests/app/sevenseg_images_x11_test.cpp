// The digits' glyph pictures on the real X server: changed characters copied
// from server pixmaps through their masks show what drawing them into the
// window's pixels shows, also after another window covered the digits; the
// window's pixmap caught up equals the screen; a changed second at the
// largest size costs a short request; a reloaded set gives its pixmaps back.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "app.h"
#include "platform/x11/zex11.h"
#include "sevenseg.h"
#include "zeevent.h"
#include "zeplatform.h"
#include "zewindow.h"
#include "x11_window_check.h"

namespace {

Display *g_dpy;
const int kGround = 0x102030;

void pump(int ms) {
    for (int t = 0; t < ms; t += 10) {
        while (zeevent_poll() != 0) {}
        usleep(10000);
    }
}

bool pump_until(const std::function<bool()> &done, int ms = 5000) { return zetest_pump_until(done, ms); }

Window xid(zeWindow *w) { return zetest_xid(w); }
bool viewable(Window w) { return zetest_viewable(g_dpy, w); }

// Pixels where the window's screen differs from p; the first one in *where.
int differences(zeWindow *w, const zePixmap *p, std::string *where) {
    XImage *img = XGetImage(g_dpy, xid(w), 0, 0, p->width, p->height, AllPlanes, ZPixmap);
    if (!img) return -1;
    int wrong = 0;
    for (int y = 0; y < p->height; y++)
        for (int x = 0; x < p->width; x++) {
            uint32_t got = (uint32_t)XGetPixel(img, x, y) & 0xFFFFFF, want = (uint32_t)zepxmap_getpixel(p, x, y) & 0xFFFFFF;
            if (got == want) continue;
            if (!wrong++) {
                char b[80];
                snprintf(b, sizeof b, "first at %d,%d: screen %06x, want %06x", x, y, got, want);
                *where = b;
            }
        }
    XDestroyImage(img);
    return wrong;
}

// The server may take the program's requests after the test's: waits.
void expect_screen(zeWindow *w, const zePixmap *p, const std::string &when) {
    std::string where;
    int wrong = -1;
    pump_until([&] { return (wrong = differences(w, p, &where)) == 0; });
    EXPECT_EQ(0, wrong) << "pixels differ " << when << ": " << where;
}


class SevenSegImagesX11 : public ::testing::Test {
protected:
    zeWindow win;
    static void SetUpTestSuite() {
        ASSERT_TRUE(zebackend_select("x11"));
        g_dpy = XOpenDisplay(nullptr);
        ASSERT_NE(g_dpy, nullptr);
    }
    static void TearDownTestSuite() { XCloseDisplay(g_dpy); }
    void load(int set) {
        std::string dir = getenv("ZE_PROGRAM_DIR");
        ASSERT_TRUE(sevenseg_load_set(&g_timerFont, (dir + "/" + sevenseg_set_file(set)).c_str()));
        sevenseg_recolour(&g_timerFont, 0x330000, 0xff2000);
        g_timerFont.deferred = false;
    }
    void open(int width, int height) {
        ASSERT_TRUE(zewindow_open(&win, "digits,x=0,y=0,xs=%d,ys=%d,notitle,modal,noquit", width, height));
        ASSERT_TRUE(pump_until([&] { return viewable(xid(&win)); }));
        zewindow_clear(&win, kGround);
        zewindow_show(&win, 0, 0, 0, 0, true);
    }
    void TearDown() override {
        zewindow_close(&win);
        pump(30);
        sevenseg_free(&g_timerFont);
    }
};

TEST_F(SevenSegImagesX11, CopiedGlyphsShowWhatThePixmapWayDraws) {
    load(4);
    SevenSegmentFont &f = g_timerFont;
    int width = sevenseg_text_width(&f, "-00:00:00.00") + 8, height = f.charHeight + 8;
    open(width, height);
    SevenSegmentFont ref = f;  // the same glyphs, its own draw state
    for (int &i : ref.image) i = 0;
    zePixmap want;
    ASSERT_TRUE(zepxmap_create(&want, width, height, ZEPX_TRUECOLOR));
    zepxmap_clear(&want, kGround);
    zePixmap *pix = zewindow_pixmap(&win);
    srand(3);
    for (int step = 0; step < 300; step++) {
        int v = step * 101 + rand() % 7;
        char text[40];
        if (step / 60 % 2) snprintf(text, sizeof text, "%d:%02d:%02d.%02d", v / 360000 % 100, v / 6000 % 60, v / 100 % 60, v % 100);
        else snprintf(text, sizeof text, "%s%d:%02d:%02d", rand() % 9 ? "" : "-", v / 3600 % 24, v / 60 % 60, v % 60);
        if (rand() % 3 == 0) f.colonOn = !f.colonOn;
        ref.colonOn = f.colonOn;
        sevenseg_draw_now(&f, &win, 4, 4, text);
        ref.lastSurface = nullptr;
        sevenseg_draw_changed(&ref, &want, 4, 4, text, nullptr, nullptr);
        while (zeevent_poll() != 0) {}
        if (step % 60 != 59) continue;
        expect_screen(&win, &want, "at step " + std::to_string(step) + " (" + text + ")");
        zewindow_catch_up(&win);
        std::string where;
        EXPECT_EQ(0, differences(&win, pix, &where)) << "pixmap caught up, step " << step << ": " << where;
    }
    EXPECT_GT(f.image[0] + f.image[1], 0) << "no glyph pictures were made";

    // Covered and uncovered: the expose repaints from the pixmap caught up.
    f.colonOn = !f.colonOn, ref.colonOn = f.colonOn;
    sevenseg_draw_now(&f, &win, 4, 4, "12:34:59");
    sevenseg_draw_changed(&ref, &want, 4, 4, "12:34:59", nullptr, nullptr);
    int ox = 0, oy = 0;
    zewindow_client_origin(&win, &ox, &oy);
    XSetWindowAttributes a;
    a.override_redirect = True;
    a.background_pixel = 0xFF00FF;
    Window cover = XCreateWindow(g_dpy, DefaultRootWindow(g_dpy), ox, oy, width, height, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(g_dpy, cover);
    XSync(g_dpy, False);
    pump_until([&] { return viewable(cover); });
    pump(100);
    XDestroyWindow(g_dpy, cover);
    XSync(g_dpy, False);
    expect_screen(&win, &want, "after the expose");
    std::string where;
    EXPECT_EQ(0, differences(&win, pix, &where)) << "pixmap after the expose: " << where;
    const char *build = getenv("ZE_BUILD_DIR");
    std::string dir = std::string(build ? build : ".") + "/test-output";
    EXPECT_EQ(0, system(("mkdir -p '" + dir + "' && import -window root 'png:" + dir + "/sevenseg_images_x11.png'").c_str()));
    zepxmap_release(&want);

    // A reloaded set gives back every pixmap of the old one.
    EXPECT_GT(zex11_images_live(), 0);
    load(4);
    EXPECT_EQ(0, zex11_images_live());
    sevenseg_draw_now(&f, &win, 4, 4, "12:34:58");
    sevenseg_draw_now(&f, &win, 4, 4, "12:34:57");
    EXPECT_GT(zex11_images_live(), 0);
}

// At the largest size a changed second sends a copy request, not the pixels
// (with or without a shared segment), once every glyph's picture is up.
TEST_F(SevenSegImagesX11, AChangedSecondAtTheLargestSizeIsAShortRequest) {
    load(16);
    SevenSegmentFont &f = g_timerFont;
    int width = sevenseg_text_width(&f, "0:00:00") + 8, height = f.charHeight + 8;
    open(width, height);
    // The reference: the same draws into pixels of our own.
    zePixmap want;
    ASSERT_TRUE(zepxmap_create(&want, width, height, ZEPX_TRUECOLOR));
    zepxmap_clear(&want, kGround);
    SevenSegmentFont ref = f;
    for (int &i : ref.image) i = 0;
    auto draw = [&](const char *text) {
        sevenseg_draw_now(&f, &win, 4, 4, text);
        sevenseg_draw_changed(&ref, &want, 4, 4, text, nullptr, nullptr);
        while (zeevent_poll() != 0) {}
    };
    char text[16];
    for (int d = 0; d < 10; d++) {   // every digit's picture made
        snprintf(text, sizeof text, "%d:%d%d:%d%d", d, d % 6, d, d % 6, d);
        draw(text);
    }
    enum { WAKES = 20 };
    long before = zetest_io_count("wchar");
    for (int s = 0; s < WAKES; s++) {
        snprintf(text, sizeof text, "1:24:%02d", s);
        draw(text);
    }
    long per = (zetest_io_count("wchar") - before) / WAKES;
    printf("%ld bytes written per changed second at %d x %d glyphs\n", per, f.charWidth, f.charHeight);
    EXPECT_LT(per, 1024);
    expect_screen(&win, &want, "at the largest size");
    // What the screen shows, the pixmap holds once caught up.
    zewindow_catch_up(&win);
    expect_screen(&win, zewindow_pixmap(&win), "at the largest size, caught up");
    zepxmap_release(&want);
}

}  // namespace
