// Toolkit windows on the in-memory screen: geometry, event ids, keys, mouse,
// closing, tray, z-order and what reaches the screen.
#include "zeevent.h"
#include "zegout.h"
#include "platform/headless/zeheadless.h"
#include "zeplatform.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <atomic>
#include <cstdio>
#include <thread>
#include <set>
#include <vector>

namespace {

// A stand-in main view that records the messages the window passes on.
struct FakeView {
    std::vector<std::vector<int>> got;
};
FakeView g_view;
zearg fake_handler(void *, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_view.got.push_back({msg, (int)a1, (int)a2});
    return 0;
}
bool fake_create(zeWindow *, zeWindowView *slot, const char *) {
    slot->handler = fake_handler, slot->view = &g_view;
    return true;
}
void fake_destroy(zeWindowView *slot) { *slot = zeWindowView{}; }
const zeWindowViewHooks g_fake_hooks = {fake_create, fake_destroy, nullptr, nullptr, nullptr, nullptr};

std::vector<int> drain() {
    std::vector<int> ids;
    for (int id; (id = zeevent_poll()) != 0;) ids.push_back(id);
    return ids;
}
bool has_msg(int msg, int a1 = -1, int a2 = -1) {
    for (auto &m : g_view.got)
        if (m[0] == msg && (a1 < 0 || m[1] == a1) && (a2 < 0 || m[2] == a2)) return true;
    return false;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zewindow_set_view_hooks(nullptr);
        g_view.got.clear();
        drain();
    }
};

TEST_F(Window, OpensCentredWithFreshIdsEachTime) {
    zeWindow w;
    std::set<int> ids(w.ids, w.ids + 16);
    for (int id : {w.menuid, w.minimisedid, w.trayid, w.resizedid, w.droppedid, w.movedid, w.activatedid,
                   w.deactivatedid})
        ids.insert(id);
    EXPECT_EQ(24u, ids.size());
    ASSERT_TRUE(zewindow_open(&w, "centred,x=50%,y=50%,xs=300,ys=200,noquit"));
    int r[4];
    zeheadless_rect(w.native, r);
    EXPECT_EQ(810, r[0]);
    EXPECT_EQ(440, r[1]);
    EXPECT_EQ(300, r[2]);
    EXPECT_EQ(200, r[3]);
    EXPECT_STREQ("centred", zeheadless_title(w.native));
    int close1 = zewindow_closeid(&w);
    int open_before = zewindow_count();
    zewindow_close(&w);
    EXPECT_EQ(open_before - 1, zewindow_count());
    EXPECT_NE(close1, zewindow_closeid(&w));
    ASSERT_TRUE(zewindow_open(&w, "again,xs=10,ys=10,noquit"));
    EXPECT_NE(close1, zewindow_closeid(&w));
    // Without a position the window goes to the work area's corner.
    zeheadless_rect(w.native, r);
    EXPECT_EQ(0, r[0]);
    EXPECT_EQ(0, r[1]);
}

TEST_F(Window, KeysBecomeEventIdsAndClipboardMessages) {
    zewindow_set_view_hooks(&g_fake_hooks);
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "keys,xs=100,ys=100,noquit"));
    drain();
    zeheadless_keystroke(309, 0);   // F5
    EXPECT_EQ((std::vector<int>{309, 821}), drain());

    zeheadless_key(319, 0, true);   // Shift held, Insert
    zeheadless_keystroke(317, 0);
    zeheadless_key(319, 0, false);
    EXPECT_EQ((std::vector<int>{319, 317, 829, 831}), drain());
    EXPECT_TRUE(has_msg(2033));     // paste reaches the view
    EXPECT_FALSE(has_msg(2034));

    g_view.got.clear();
    zeheadless_key(318, 0, true);   // Ctrl+C types character 3
    zeheadless_key(0, 3, true);
    zeheadless_key(318, 0, false);
    EXPECT_EQ((std::vector<int>{318, 3, 830}), drain());
    EXPECT_TRUE(has_msg(2034));

    g_view.got.clear();
    zeheadless_key(319, 0, true);   // Shift+Delete cuts instead of deleting
    zeheadless_keystroke(322, 0);
    zeheadless_key(319, 0, false);
    EXPECT_EQ((std::vector<int>{319, 834, 831}), drain());
    EXPECT_TRUE(has_msg(2035));

    zeheadless_keystroke(9, 9);     // Tab comes once, from the key
    zeheadless_keystroke(0, 'a');   // a character has no release
    EXPECT_EQ((std::vector<int>{9, 521, 'a'}), drain());

    zeheadless_key(325, 0, true);   // Alt+F4: close before F4
    zeheadless_keystroke(308, 0);
    zeheadless_key(325, 0, false);
    EXPECT_EQ((std::vector<int>{325, zewindow_closeid(&w), 308, 820, 837}), drain());
    EXPECT_TRUE(w.open);            // noquit keeps it
}

TEST_F(Window, MouseReachesTheViewInClientCoordinates) {
    zewindow_set_view_hooks(&g_fake_hooks);
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "mouse,x=100,y=50,xs=200,ys=100,noquit"));
    drain();
    g_view.got.clear();
    zeheadless_click(110, 70, 0);
    drain();
    EXPECT_TRUE(has_msg(2004, 10, 20));
    EXPECT_TRUE(has_msg(2005, 10, 20));
    EXPECT_FALSE(zewindow_leftdown());
    static std::vector<int> hooked;
    zewindow_set_pointer_hook(&w, [](zeWindow *, int msg, int x, int y) { hooked.push_back(msg * 10000 + x * 100 + y); });
    zeheadless_click(111, 71, 0);   // soon after and close by: a double click
    drain();
    EXPECT_TRUE(has_msg(2006, 11, 21));
    EXPECT_EQ((std::vector<int>{20061121, 20051121}), hooked);
    zewindow_set_pointer_hook(&w, nullptr);
    g_view.got.clear();
    zeheadless_advance(600);
    zeheadless_click(111, 71, 0);   // too late for a double click
    zeheadless_click(160, 71, 2);
    zeheadless_wheel(150, 60, true);
    zeheadless_motion(120, 80);
    drain();
    EXPECT_TRUE(has_msg(2004, 11, 21));
    EXPECT_FALSE(has_msg(2006));
    EXPECT_TRUE(has_msg(2010, 60, 21));
    EXPECT_TRUE(has_msg(2011, 60, 21));
    EXPECT_TRUE(has_msg(2013, 50, 10));
    EXPECT_TRUE(has_msg(2015, 20, 30));
    // A captured pointer brings presses outside the window too.
    g_view.got.clear();
    zewindow_capture(&w);
    zeheadless_mouse(20, 20, 0, true);
    drain();
    EXPECT_TRUE(has_msg(2004, -80, -30));
    zewindow_release(&w);
    zeheadless_mouse(20, 20, 0, false);
    drain();
    EXPECT_FALSE(has_msg(2005));
}

TEST_F(Window, WindowEventsCallbackAndCloseHook) {
    static std::vector<int> seen;
    static int hooked;
    seen.clear(), hooked = 0;
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "events,x=0,y=0,xs=50,ys=50,noquit"));
    drain();
    zeheadless_minimise(w.native);
    std::vector<int> ids = drain();   // deactivated, then minimised with a size of 0 by 0
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ((std::vector<int>{w.minimisedid, w.resizedid}), std::vector<int>(ids.end() - 2, ids.end()));
    zeheadless_user_move(w.native, 30, 40);
    zeheadless_drop(w.native, "/tmp/some file.txt");
    EXPECT_EQ((std::vector<int>{w.movedid, w.droppedid}), drain());
    EXPECT_EQ(30, w.x);
    EXPECT_STREQ("/tmp/some file.txt", zewindow_dropped_file());

    zewindow_set_callback(&w, [](void *, int id, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) -> zearg {
        seen.push_back(id);
        return 0;
    }, nullptr);
    zewindow_set_closehook(&w, [] { hooked++; });
    zeheadless_close(w.native);
    EXPECT_TRUE(drain().empty());   // handed to the callback instead
    EXPECT_EQ((std::vector<int>{zewindow_closeid(&w)}), seen);
    EXPECT_EQ(1, hooked);
    EXPECT_TRUE(w.open);
    w.eventsenabled = false;
    zeheadless_close(w.native);
    drain();
    EXPECT_EQ(1u, seen.size());
}

TEST_F(Window, TrayHidesAndAClickRestores) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "tray,x=10,y=10,xs=80,ys=30,notitle,noquit"));
    drain();
    zewindow_totray(&w);
    EXPECT_TRUE(zeheadless_in_tray(w.native));
    EXPECT_FALSE(zeheadless_visible(w.native));
    zeheadless_tray_click(w.native, 0);
    std::vector<int> ids = drain();
    EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), w.trayid));
    EXPECT_FALSE(zeheadless_in_tray(w.native));
    EXPECT_TRUE(zeheadless_visible(w.native));

    // No tray: minimised, and coming back counts as the tray click.
    zeheadless_set_tray(false);
    zewindow_totray(&w);
    EXPECT_TRUE(zeheadless_minimised(w.native));
    drain();
    zewindow_bringtotop(&w);
    ids = drain();
    EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), w.trayid));
    EXPECT_TRUE(zeheadless_visible(w.native));
    EXPECT_FALSE(w.intray);
}

TEST_F(Window, ZOrderOperations) {
    zeWindow timer, other;
    ASSERT_TRUE(zewindow_open(&timer, ",x=100,y=100,xs=50,ys=20,notitle,modal,noquit"));
    EXPECT_TRUE(zeheadless_above(timer.native));
    zewindow_close(&timer);
    ASSERT_TRUE(zewindow_open(&timer, ",x=100,y=100,xs=50,ys=20,notitle,noquit"));
    EXPECT_FALSE(zeheadless_above(timer.native));
    EXPECT_FALSE(zewindow_covered(&timer));
    long editor = zeheadless_add_window("Editor", 0, 0, 500, 500, false, false);
    EXPECT_TRUE(zewindow_covered(&timer));
    zewindow_raise_if_covered(&timer);
    EXPECT_FALSE(zewindow_covered(&timer));
    long order[8];
    int n = zeheadless_zorder(order, 8);
    EXPECT_EQ(timer.native, order[n - 1]);
    EXPECT_EQ(timer.native, zeheadless_focus());

    (void)editor;
    (void)other;
}

TEST_F(Window, KeepAboveDesktopLiftsOverTheDesktopOnly) {
    zeWindow timer;
    ASSERT_TRUE(zewindow_open(&timer, ",x=100,y=100,xs=50,ys=20,notitle,noquit"));
    // The desktop comes to the front, as "show desktop" does.
    zeheadless_add_window("Desktop", 0, 0, 1920, 1080, false, true);
    EXPECT_TRUE(zewindow_covered(&timer));
    for (int i = 0; i < 4; i++) zewindow_keep_above_desktop(&timer, false);
    EXPECT_TRUE(zewindow_covered(&timer));   // the first four calls wait
    zewindow_keep_above_desktop(&timer, false);
    EXPECT_FALSE(zewindow_covered(&timer));
    EXPECT_FALSE(zeheadless_above(timer.native));   // lifted, not left on top
    // "Show desktop" minimised it: it comes back.
    zeheadless_minimise(timer.native);
    zewindow_keep_above_desktop(&timer, false);
    EXPECT_TRUE(zeheadless_visible(timer.native));
    EXPECT_FALSE(zewindow_covered(&timer));
    // A plain window over it is left alone.
    zeheadless_add_window("Editor", 0, 0, 500, 500, false, false);
    zewindow_keep_above_desktop(&timer, false);
    EXPECT_TRUE(zewindow_covered(&timer));
}

TEST_F(Window, PixelsOnTheScreenAreThePixmap) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "pix,x=20,y=30,xs=64,ys=32,bgcolor=0x102030,noquit"));
    EXPECT_EQ(0x102030u, zeheadless_pixel(20, 30));
    // Without views the window takes the drawing commands itself.
    zegraphic_fillrect(4, 4, 8, 8, 0xFF8000);
    EXPECT_EQ(0xFF8000u, zeheadless_pixel(24, 34));
    EXPECT_EQ(0xFF8000, zewindow_getpixel(&w, 4, 4));
    zewindow_clear(&w, 0x00FF00);
    EXPECT_EQ(0x00FF00u, zeheadless_pixel(83, 61));
    EXPECT_EQ(0u, zeheadless_pixel(84, 62));   // outside: the bare desktop
    // F5's picture of the window.
    char shot[256];
    snprintf(shot, sizeof shot, "%s/screen.bmp", getenv("HOME") ? getenv("HOME") : "/tmp");
    remove(shot);
    ASSERT_TRUE(zewindow_save(&w, "%s", shot));
    FILE *bmp = fopen(shot, "rb");
    ASSERT_NE(nullptr, bmp);
    unsigned char head[26];
    ASSERT_EQ(26u, fread(head, 1, 26, bmp));
    fclose(bmp);
    EXPECT_EQ('B', head[0]);
    EXPECT_EQ(64, head[18] | head[19] << 8);
    EXPECT_EQ(32, head[22] | head[23] << 8);
    remove(shot);
    char path[256];
    snprintf(path, sizeof path, "%s/window_test_screen.bmp", getenv("HOME") ? getenv("HOME") : "/tmp");
    EXPECT_TRUE(zeheadless_save_screen(path));
    FILE *f = fopen(path, "rb");
    ASSERT_NE(nullptr, f);
    fseek(f, 0, SEEK_END);
    EXPECT_EQ(54 + 1920 * 3 * 1080, ftell(f));
    fclose(f);
    remove(path);
}

TEST_F(Window, DesktopServices) {
    long a = zeheadless_add_window("Terminal", 100, 100, 300, 200, false, false);
    zeheadless_add_window("Hidden", 0, 0, 10, 10, true, false);
    zeNativeInfo list[10];
    int n = zebackend()->list_windows(list, 10);
    ASSERT_EQ(2, n);
    EXPECT_STREQ("Terminal", list[0].title);
    EXPECT_TRUE(list[1].minimised);
    EXPECT_TRUE(zebackend()->move_window(a, 5, 6, 70, 80));
    int r[4];
    zeheadless_window_rect(a, r);
    EXPECT_EQ(5, r[0]);
    EXPECT_EQ(80, r[3]);
    zeRect wa = {0, 50, 1920, 1030};
    EXPECT_TRUE(zebackend()->workarea_set(&wa));
    zeRect got;
    zebackend()->workarea(&got);
    EXPECT_EQ(50, got.y);
    EXPECT_EQ(1030, got.height);
    zeRect bad = {0, 50, 5000, 1030};
    EXPECT_FALSE(zebackend()->workarea_set(&bad));
    // Sizes that would overflow when added to the corner are refused too.
    zeRect huge = {10, 50, INT_MAX, 1030};
    EXPECT_FALSE(zebackend()->workarea_set(&huge));
    zeRect empty = {0, 50, 1920, 0};
    EXPECT_FALSE(zebackend()->workarea_set(&empty));
}

// The display's timer thread copies digits to the screen while the main
// thread opens and closes other windows (the window table grows), suspends
// updates around a layout and resizes another window (the caller keeps
// draws on one window apart from its own resizing). Built with ThreadSanitizer
// this shows any shared state the copy touches without a lock.
TEST_F(Window, ShowRectFromAnotherThreadWhileTheMainThreadWorks) {
    zeWindow w, grow;
    ASSERT_TRUE(zewindow_open(&w, "digits,x=0,y=0,xs=200,ys=60,noquit"));
    ASSERT_TRUE(zewindow_open(&grow, "grow,x=300,y=0,xs=100,ys=60,resize,noquit"));
    std::atomic<bool> stop{false};
    std::atomic<int> shown{0};
    std::thread drawer([&] {
        for (int i = 0; !stop || shown < 100; i++, shown++) {
            zewindow_show_rect(&w, (i * 7) % 180, 10, 20, 40);
        }
    });
    for (int i = 0; i < 100; i++) {
        zeWindow other[3];
        for (zeWindow &o : other) ASSERT_TRUE(zewindow_open(&o, "other,x=0,y=100,xs=50,ys=50,noquit"));
        zewindow_suspend_updates(true);
        zeheadless_user_resize(grow.native, 100 + i, 60 + i);
        zepump();
        zewindow_suspend_updates(false);
    }
    stop = true;
    drawer.join();
    EXPECT_GE(shown.load(), 100);
    EXPECT_GT(zeheadless_copies(w.native), 0);
    EXPECT_EQ(199, grow.pxmap.width);
}

// Closing ends the toolkit: this test runs last.
TEST_F(Window, ZZCloseButtonWithoutNoquitQuits) {
    zeWindow keep, quit;
    ASSERT_TRUE(zewindow_open(&keep, "keep,xs=10,ys=10,noquit"));
    ASSERT_TRUE(zewindow_open(&quit, "quit,xs=10,ys=10"));
    int keepclose = zewindow_closeid(&keep), quitclose = zewindow_closeid(&quit);
    drain();
    zeheadless_close(keep.native);
    EXPECT_EQ((std::vector<int>{keepclose}), drain());
    EXPECT_TRUE(keep.open);
    EXPECT_TRUE(zerunning());
    zeheadless_close(quit.native);
    zepump();
    EXPECT_FALSE(quit.open);
    EXPECT_FALSE(zerunning());
    EXPECT_NE(quitclose, zewindow_closeid(&quit));
}

}  // namespace
