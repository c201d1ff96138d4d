// The deferred draw on the real timer thread while the main thread keeps
// changing the text, recolouring, reloading the glyphs and re-creating the
// window: draws happen, at most one per refresh, and never during a rebuild
// (scripts/test.sh also runs this under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app.h"
#include "platform/headless/zeheadless.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zeentry.h"
#include "zeplatform.h"
#include "zetimer.h"
#include "zewindow.h"

namespace {

void sleep_ms(int ms) { zesleep(ms * 1000); }

TEST(SevenSegThread, DrawsOncePerRefreshAndNeverDuringARebuild) {
    ASSERT_TRUE(zebackend_select("headless"));
    zeheadless_reset();
    g_settings = Settings();
    std::string dir = getenv("ZE_PROGRAM_DIR");
    // The program's relative picture names resolve in the test's own folder.
    std::string link = std::string(zeprogramdir()) + "/7seg";
    if (symlink((dir + "/7seg").c_str(), link.c_str()) != 0) {}
    ASSERT_TRUE(sevenseg_load_set(&g_timerFont, (dir + "/" + sevenseg_set_file(1)).c_str()));
    g_timerFont.set = 1;
    strcpy(g_format.formatString, "##:##:##");
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
    ASSERT_NE(timer_window(), nullptr);
    sevenseg_start_retrace_sampler();
    sevenseg_start_deferred_draw();

    uint32_t before = sevenseg_draw_count();
    uint32_t start = zemilliseconds();
    int round = 0;
    while (zemilliseconds() - start < 800) {
        snprintf(g_format.digitText, sizeof g_format.digitText, "%06d", round * 7 % 1000000);
        sevenseg_display_update();
        if (round % 40 == 10) {
            g_settings.segmentColour = round % 80 == 10 ? 0x00ff00 : 0xff00ff;
            compute_colours();
        }
        if (round % 60 == 30) sevenseg_change_size(round % 120 == 30 ? 3 : 12);
        if (round % 50 == 25) timer_window_create();
        round++;
        sleep_ms(2);
    }
    sleep_ms(50);
    uint32_t draws = sevenseg_draw_count() - before;
    uint32_t elapsed = zemilliseconds() - start;
    int hz = zebackend()->refresh_hz();
    EXPECT_GT(draws, 5u);
    EXPECT_LE(draws, elapsed * (uint32_t)hz / 1000 + 2);
    EXPECT_FALSE(g_app.busy);

    // The last text reaches the screen.
    strcpy(g_format.digitText, "888888");
    sevenseg_force_full_redraw();
    sevenseg_display_update();
    for (int i = 0; i < 100 && sevenseg_draw_pending(); i++) sleep_ms(5);
    sevenseg_set_busy(true);  // holds off the timer thread while we look
    EXPECT_STREQ(g_timerFont.lastText, "88:88:88");
    sevenseg_set_busy(false);
    zeperiodic_stop(sevenseg_retrace_sampler);
    timer_window_close();
    sevenseg_set_busy(false);
    sevenseg_free(&g_timerFont);
}

}  // namespace
