// The timer window on the in-memory screen: size, creation, the drag rule,
// tray, the work area with other windows pushed aside and back, and the
// deferred draw reaching the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app.h"
#include "platform/headless/zeheadless.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zeplatform.h"
#include "zewindow.h"

namespace {

void pump() {
    while (zeevent_poll() != 0) {
    }
}

int native_of(zeWindow *w) { return w ? w->native : 0; }

class TimerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        g_settings = Settings();
        g_app.workAreaShrunk = false;
        g_app.hiddenToTray = false;
        zebackend()->workarea(&g_app.initialWorkArea);
        std::string dir = getenv("ZE_PROGRAM_DIR");
        // The program's relative picture names resolve in the test's own folder.
        if (symlink((dir + "/7seg").c_str(), (std::string(zeprogramdir()) + "/7seg").c_str()) != 0) {}
        std::string set = dir + "/" + sevenseg_set_file(4);
        ASSERT_TRUE(sevenseg_load_set(&g_timerFont, set.c_str()));
        strcpy(g_format.formatString, "##:##:##");
        strcpy(g_format.digitText, "123456");
    }
    void TearDown() override {
        timer_window_close();
        sevenseg_set_busy(false);
        sevenseg_free(&g_timerFont);
    }
};

TEST_F(TimerWindow, SizeFollowsFontBorderAndMinimum) {
    timer_window_compute_height();
    timer_window_compute_width();
    DigitMetrics m;
    ASSERT_TRUE(sevenseg_metrics(&m));
    int text = text_width("##:##:##", m);
    EXPECT_EQ(timer_window_height(), g_timerFont.charHeight + 2);
    EXPECT_EQ(g_settings.windowWidth, text + 2);
    g_settings.borderWidth = 3;
    g_settings.minHeight = 500;
    g_settings.minWidth = 20;
    timer_window_compute_height();
    timer_window_compute_width();
    EXPECT_EQ(timer_window_height(), 500);
    EXPECT_EQ(g_settings.windowWidth, text + 2 + 6);
}

TEST_F(TimerWindow, CreatedWithTitleBorderAndBackground) {
    g_settings.windowX = 100, g_settings.windowY = 200;
    g_settings.borderWidth = 2, g_settings.borderColour = 0x00ff00;
    g_settings.backgroundColour = 0x000040;
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    zeWindow *w = timer_window();
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(zeheadless_title(w->native), "QUIMO TimerWindow");
    int r[4];
    zeheadless_rect(w->native, r);
    EXPECT_EQ(r[0], 100);
    EXPECT_EQ(r[1], 200);
    EXPECT_EQ(r[2], g_settings.windowWidth);
    EXPECT_EQ(r[3], timer_window_height());
    EXPECT_EQ(zeheadless_pixel(100, 200), 0x00ff00u);
    EXPECT_EQ(zeheadless_pixel(101, 201 + 20), 0x00ff00u);
    EXPECT_EQ(zeheadless_pixel(102, 202), 0x000040u);
    EXPECT_FALSE(g_app.busy);
    EXPECT_FALSE(zeheadless_above(w->native));

    // Re-creating keeps one window; AlwaysOnTop makes it stay above.
    g_settings.alwaysOnTop = true;
    timer_window_create();
    EXPECT_TRUE(zeheadless_above(timer_window()->native));
}

TEST_F(TimerWindow, SizeChangeReloadsOnlyForANewSet) {
    g_settings.size = 20;
    sevenseg_select_set_by_size();
    ASSERT_EQ(g_timerFont.set, 4);
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    int before = native_of(timer_window());
    EXPECT_FALSE(sevenseg_change_size(25));  // the same set: nothing reloaded
    EXPECT_EQ(native_of(timer_window()), before);
    EXPECT_TRUE(sevenseg_change_size(26));
    EXPECT_EQ(g_timerFont.set, 5);
    EXPECT_EQ(g_settings.digitSet, 5);
    int r[4];
    zeheadless_rect(native_of(timer_window()), r);
    EXPECT_EQ(r[3], g_timerFont.charHeight + 2);
    EXPECT_EQ(r[3], timer_window_height());
    EXPECT_FALSE(g_app.busy);
}

TEST_F(TimerWindow, DragByFiveMovesByFourClicks) {
    EXPECT_FALSE(timer_window_drag_moves(4, -4));
    EXPECT_TRUE(timer_window_drag_moves(5, 0));
    EXPECT_TRUE(timer_window_drag_moves(0, -5));
    g_settings.windowX = 300, g_settings.windowY = 300;
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    zeheadless_mouse(310, 310, 0, true);
    zeheadless_motion(314, 314);
    zeheadless_mouse(314, 314, 0, false);
    pump();
    EXPECT_EQ(g_settings.windowX, 300);
    EXPECT_EQ(g_settings.windowY, 300);
    zeheadless_mouse(310, 310, 0, true);
    zeheadless_motion(315, 306);
    zeheadless_mouse(315, 306, 0, false);
    pump();
    EXPECT_EQ(g_settings.windowX, 305);
    EXPECT_EQ(g_settings.windowY, 296);
    int r[4];
    zeheadless_rect(native_of(timer_window()), r);
    EXPECT_EQ(r[0], 305);
    EXPECT_EQ(r[1], 296);
}

TEST_F(TimerWindow, MiddleButtonHidesToTrayAndTrayRestores) {
    g_settings.windowX = 10, g_settings.windowY = 10;
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    int win = native_of(timer_window());
    zeheadless_click(20, 20, 1);
    pump();
    EXPECT_TRUE(g_app.hiddenToTray);
    EXPECT_TRUE(g_app.busy);
    EXPECT_TRUE(zeheadless_in_tray(win));
    EXPECT_FALSE(zeheadless_visible(win));
    zeheadless_tray_click(win, 0);
    for (int id; (id = zeevent_poll()) != 0;) timer_window_tray_event(id);
    EXPECT_FALSE(g_app.hiddenToTray);
    EXPECT_FALSE(g_app.busy);
    EXPECT_TRUE(zeheadless_visible(win));
    EXPECT_STREQ(zeheadless_title(win), "QUIMO TimerWindow");
}

// Without a tray the window is minimised instead; where that does not take
// (no window manager) it is still on screen, so its digits keep updating.
TEST_F(TimerWindow, HiddenWithoutATrayKeepsDrawing) {
    zeheadless_set_tray(false);
    g_settings.windowX = 10, g_settings.windowY = 10;
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    int win = native_of(timer_window());
    timer_window_hide_to_tray();
    pump();
    EXPECT_TRUE(g_app.hiddenToTray);
    EXPECT_FALSE(zeheadless_in_tray(win));
    EXPECT_FALSE(g_app.busy);
    zeheadless_set_tray(true);
}

TEST_F(TimerWindow, WorkAreaRules) {
    zeRect initial = {0, 0, 1920, 1040};
    zeRect out = timer_window_shrunk_area(initial, 500, 60);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.y + out.height, 500);
    out = timer_window_shrunk_area(initial, 0, 60);
    EXPECT_EQ(out.y, 60);
    EXPECT_EQ(out.y + out.height, 1040);
    EXPECT_EQ(out.x + out.width, 1920);
    zeRect offset = {0, 30, 1920, 1010};  // 30 .. 1040
    out = timer_window_shrunk_area(offset, 100, 60);
    EXPECT_EQ(out.y, 190);
    EXPECT_EQ(out.y + out.height, 1040);

    zeRect area = {0, 0, 1920, 500};
    zeNativeInfo w = {};
    strcpy(w.title, "editor");
    w.y = 100, w.height = 800;
    int top, bottom;
    ASSERT_TRUE(timer_window_fit_other(&w, area, &top, &bottom));
    EXPECT_EQ(top, 100);
    EXPECT_EQ(bottom, 500);
    w.height = 403;  // 100..503: within the four pixels allowed
    EXPECT_FALSE(timer_window_fit_other(&w, area, &top, &bottom));
    w.height = 800;
    strcpy(w.title, "Program Manager");
    EXPECT_FALSE(timer_window_fit_other(&w, area, &top, &bottom));
    strcpy(w.title, "editor");
    w.minimised = true;
    EXPECT_FALSE(timer_window_fit_other(&w, area, &top, &bottom));
    w.minimised = false;
    w.title[0] = 0;
    EXPECT_FALSE(timer_window_fit_other(&w, area, &top, &bottom));
}

TEST_F(TimerWindow, FixToTopReservesTheAreaAndPushesOthersUntilRestored) {
    long other = zeheadless_add_window("editor", 50, 20, 600, 400, false, false);
    long minimised = zeheadless_add_window("minimised", 50, 20, 600, 400, true, false);
    timer_window_fix_to_top();
    ASSERT_NE(timer_window(), nullptr);
    int h = timer_window_height();
    zeRect area;
    zebackend()->workarea(&area);
    EXPECT_EQ(area.y, h);
    EXPECT_TRUE(g_app.workAreaShrunk);
    EXPECT_TRUE(g_settings.resizeDesktop && g_settings.alwaysOnTop);
    int r[4];
    ASSERT_TRUE(zeheadless_window_rect(other, r));
    EXPECT_EQ(r[1], h);
    EXPECT_EQ(r[1] + r[3], 420);
    ASSERT_TRUE(zeheadless_window_rect(minimised, r));
    EXPECT_EQ(r[1], 20);

    // The first drag move gives the area back and ends ResizeDesktop.
    zeheadless_mouse(10, 5, 0, true);
    zeheadless_motion(10, 15);
    zeheadless_mouse(10, 15, 0, false);
    pump();
    EXPECT_FALSE(g_settings.resizeDesktop);
    EXPECT_FALSE(g_app.workAreaShrunk);
    zebackend()->workarea(&area);
    EXPECT_EQ(area.y, g_app.initialWorkArea.y);
    ASSERT_TRUE(zeheadless_window_rect(other, r));
    EXPECT_EQ(r[1], 20);
    EXPECT_EQ(r[3], 400);
    EXPECT_EQ(g_settings.windowY, 10);
}

TEST_F(TimerWindow, DeferredDrawReachesTheScreenOnlyWhenNotBusy) {
    g_settings.windowX = 0, g_settings.windowY = 0;
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    sevenseg_force_full_redraw();
    strcpy(g_format.digitText, "888888");
    sevenseg_display_update();
    // Where an '8' has its middle segment lit.
    int x = 2 + g_timerFont.charWidth / 2, y = 2 + g_timerFont.charHeight / 2;
    EXPECT_EQ(zeheadless_pixel(x, y), 0u);
    sevenseg_set_busy(true);
    sevenseg_retrace_sampler();
    sevenseg_deferred_draw_callback();
    EXPECT_EQ(zeheadless_pixel(x, y), 0u);
    sevenseg_set_busy(false);
    sevenseg_retrace_sampler();
    sevenseg_deferred_draw_callback();
    EXPECT_EQ(zeheadless_pixel(x, y), g_timerFont.litColour);
}

}  // namespace
