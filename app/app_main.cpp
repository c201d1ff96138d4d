// Start-up, the main loop, and save and quit.
#include "app.h"
#include "app_paths.h"
#include "instance.h"
#include "placeholders.h"
#include "sevenseg.h"
#include "timeup.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zemetrics.h"
#include "zedesktop.h"
#include "zeregistry.h"
#include "zetimer.h"
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

static zeTimer *g_displayTick, *g_redrawTick, *g_actionTick, *g_secondTick;
enum { DISPLAY_TICK_MS = 10, REDRAW_TICK_MS = 250, ACTION_TICK_MS = 100, SECOND_TICK_MS = 1000 };

int settings_window_height(int maxwindowys, bool minys) {
    if (minys) return 550;
    int h = maxwindowys * 8 / 10;
    if (h < 550) return 550;
    if (h > 750) return 750;
    return h;
}

// The first non-empty of LC_ALL, LC_MESSAGES and LANG names the user's language.
bool detect_language() {
    const char *names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const char *lang = "";
    for (const char *n : names) {
        const char *v = getenv(n);
        if (v && *v) {
            lang = v;
            break;
        }
    }
    return strncmp(lang, "de", 2) == 0 && access("detectlanguage", F_OK) == 0;
}

void create_scanline_offset_file() {
    if (access("scanlineoffset.txt", F_OK) == 0) return;
    FILE *f = fopen("scanlineoffset.txt", "wb");
    if (!f) return;
    fputs("0\r\nOffset to retrace detection, to avoid flickering under special circumstances.\r\n", f);
    fclose(f);
}

// The counter runs 1, 2, ... within a second and holds at 99 when a second
// lasts longer than 100 ticks, so it never wraps before the second changes.
ZE_HOT void advance_hundredths() {
    g_app.hundredths += 1;
    if (g_app.hundredths == 100) g_app.hundredths = 0;
    if (g_app.clock.second != g_app.lastSecond) {
        g_app.lastSecond = g_app.clock.second;
        g_app.hundredths = 0;
    } else if (g_app.hundredths == 0) {
        g_app.hundredths = 99;
    }
}

// A clock form without hundredths changes at whole seconds and its colon at
// half seconds: the program sleeps until just after the next such moment of
// the wall clock, not in between (the ticks passed are worked off on waking,
// so every timer keeps its rate). Where the display changes the colon by
// itself at the half second, only the whole seconds wake it. A running
// time-up countdown or sound needs the 100 ms action tick; anything else
// shown wakes at every tick.
ZE_HOT static bool sleeps_between_changes() {
    return g_format.form == 1 && !g_format.showHundredths && !settings_window_shows_preview();
}

ZE_HOT static int display_wake_ms() {
    if (!sleeps_between_changes()) return 0;
    if (timeup_active()) return 100;
    return !g_settings.colonBlink || sevenseg_colon_flip_queued() ? 1000 : 500;
}

ZE_HOT void app_display_tick() {
    g_app.ticksSinceUpdate++;
    read_clock();
    advance_hundredths();
    compute();
    make_digit_text();
    // Update the display only when the millisecond clock moved: two ticks
    // worked off in one batch draw once.
    uint32_t ms = zemilliseconds();
    if (!g_app.haveMilliseconds) {
        g_app.lastMilliseconds = ms;
        g_app.haveMilliseconds = true;
    }
    if (ms != g_app.lastMilliseconds) {
        sevenseg_allow_colon_flips(sleeps_between_changes() && !timeup_active());
        sevenseg_display_update(g_app.ticksSinceUpdate);
        g_app.ticksSinceUpdate = 0;
        if (g_app.restartPending) {
            if (g_app.settingsWindowOpen) settings_window_open_or_refresh();
            g_app.restartPending = false;
        }
    }
    g_app.lastMilliseconds = ms;
    if (g_app.clock.day != g_app.lastDay) {
        timesync_run();
        g_app.lastDay = g_app.clock.day;
    }
    zetick_coalesce(display_wake_ms());
}

// The display ticks worked off after a sleep all fall at the same moment:
// the queued ones are taken together and only counted (the colon blinks by
// the count, the hundredths counter keeps its steps), and the last reads the
// clock, computes and draws for all of them.
//
// A wake after a long sleep works its ticks off ten per pump step, so the
// display tick comes round several times in the same moment: while ticks of
// this wake are still to come it only counts, and the last one draws. A
// backlog that never ends (a main thread too slow for its ticks) still draws
// once a second.
ZE_HOT static void display_ticks() {
    int counted = zeevent_remove(g_displayTick->id);
    bool later = zetick_pending() > 0 && g_app.ticksSinceUpdate + counted < 100;
    if (later) counted++;  // this one too: a later one draws for it
    for (; counted > 0; counted--) {
        g_app.ticksSinceUpdate++;
        advance_hundredths();
    }
    if (!later) app_display_tick();
}

int display_tick_id() { return g_displayTick ? g_displayTick->id : -1; }

static void on_close_request(int sig) { save_and_quit(); }

// A request that waits on a slow server pumps through here: the display
// ticks queued meanwhile would only be worked off after it, so they run
// now, one per display period.
void app_wait_idle() {
    zepump();
    static uint32_t last;
    uint32_t now = zemilliseconds();
    if (!g_displayTick || now - last < 10) return;
    last = now;
    app_display_tick();
}

// The window shows its digits from the start, not only from the first
// display tick that changes them (up to a second later).
void app_show_timer_window() {
    sevenseg_force_full_redraw();
    timer_window_compute_width();
    sevenseg_start_deferred_draw();
    sevenseg_draw_on_main(true);
    timer_window_create();
    sevenseg_display_update();
}

static void make_tick(zeTimer **t, int ms) {
    if (!*t) *t = new zeTimer(ms);
}

void app_start_ticks() {
    make_tick(&g_displayTick, DISPLAY_TICK_MS);
    make_tick(&g_redrawTick, REDRAW_TICK_MS);
    make_tick(&g_actionTick, ACTION_TICK_MS);
    make_tick(&g_secondTick, SECOND_TICK_MS);
}

void app_stop_ticks() {
    for (zeTimer **t : {&g_displayTick, &g_redrawTick, &g_actionTick, &g_secondTick}) {
        delete *t;
        *t = nullptr;
    }
}

void app_start() {
    // A closed standard output (started as "quimo | something" that ended)
    // or a lost X connection must not end the program before it saves: a
    // failed write is reported to the writer, which may ignore it.
    signal(SIGPIPE, SIG_IGN);
    srand((unsigned)time(nullptr));
    if (chdir(app_state_dir()) != 0) {}
    read_clock();
    if (detect_language()) {
        g_app.language = 1;
        write_log("Language=german");
    }
    sevenseg_build_colour_table();
    create_scanline_offset_file();
    g_app.initialWorkArea = zedesktop_workarea();
    const zeRect &area = g_app.initialWorkArea;
    g_app.settingsWindowHeight =
        settings_window_height(guimetrics("maxwindowys"), zecmdline_switch("minys") != 0);
    write_log("work area: t=%d b=%d l=%d r=%d", area.y, area.y + area.height, area.x, area.x + area.width);
    settings_load(nullptr);
    // From here on SIGTERM, SIGINT and SIGHUP save the settings like a closed
    // window, also while start-up waits on the time server.
    zeevent_set_close_request_handler(on_close_request);
    g_app.screenHeight = guimetrics("screenys");
    sevenseg_start_retrace_sampler();

    read_clock();
    compute();
    make_digit_text();
    build_format_string();
    sevenseg_select_set_by_size();
    timer_window_compute_height();
    if (g_settings.resizeDesktop) timer_window_shrink_work_area();
    app_show_timer_window();
    if (g_settings.windowOnStart) settings_window_open_or_refresh();

    make_tick(&g_displayTick, DISPLAY_TICK_MS);
    make_tick(&g_redrawTick, REDRAW_TICK_MS);
    g_app.lastSecond = 99;
    timesync_run();
    g_app.lastDay = g_app.clock.day;
    sound_reset();
    make_tick(&g_actionTick, ACTION_TICK_MS);
    make_tick(&g_secondTick, SECOND_TICK_MS);
    write_log("mainloop");
}

static void switch_language() {
    g_app.language = g_app.language == 1 ? 0 : 1;
    settings_window_open_or_refresh();
}

ZE_HOT static void action_tick() {
    if (g_app.timeUpCountdown != 0) {
        g_app.timeUpCountdown -= 1;
        if (g_app.timeUpCountdown == 20) timeup_run_actions();
    }
    sound_tick();
}

// One pass of the loop: every test is made for every event, in this order.
ZE_HOT void app_handle_event(int id) {
    if (id == g_displayTick->id) display_ticks();
    if (g_app.settingsWindowOpen) settings_window_handle_event(id);
    if (id == ZEKEY_F5 && g_app.settingsWindowOpen) settings_window_save_screen("screen.bmp");
    if (settings_window_close_request(id)) save_and_quit();
    // Overdue redraw ticks ask for the same thing once.
    if (id == g_redrawTick->id) {
        zeevent_remove(g_redrawTick->id);
        sevenseg_periodic_redraw();
    }
    if (g_settings.stayOnDesktop && !g_app.hiddenToTray) timer_window_keep_above_desktop();
    timer_window_handle_event(id);
    timer_window_tray_event(id);
    if (id == ZEKEY_F9) switch_language();
    if (id == instance_show_request_id()) {
        write_log("another start asks for the settings window");
        settings_window_open_or_refresh();
    }
    if (id == g_actionTick->id) {
        // The ticks queued while asleep are counted off here, not each
        // through a pass of the loop.
        for (int n = 1 + zeevent_remove(g_actionTick->id); n > 0; n--) action_tick();
        return;
    }
    if (timeup_message_ok(id)) {
        sound_stop();
        if (g_app.settingsWindowOpen) settings_window_open_or_refresh();
    }
    if (id == g_secondTick->id && g_settings.alwaysVisible) timer_window_ensure_visible();
}

ZE_HOT void app_loop() {
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == 0) break;
        app_handle_event(id);
    }
    app_stop_ticks();
}

void save_and_quit() {
    // A failed save has logged why; the user must not read that it worked.
    if (settings_save()) write_log("Settings saved");
    if (g_app.workAreaShrunk) timer_window_restore_work_area();
    if (g_settings.autostart) {
        // The autostart entry starts this very binary (and profile).
        char path[400], key[200];
        app_autostart_entry(path, sizeof path, key, sizeof key);
        write_log("autostart on: %s", path);
        errno = 0;
        if (!zeregistry_write(key, path))
            write_log("autostart not written: %s", errno ? strerror(errno) : "the entry could not be stored");
    }
    write_log("exit");
    zeexit(0);
}
