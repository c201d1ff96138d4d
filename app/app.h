// QUIMO's application state and the functions its modules offer each other.
// One instance of each record lives for the whole run (app_state.cpp).
#pragma once
#include "zebase.h"
#include "zetime.h"
#include <atomic>
#include <cstdio>
#include <cstdint>

// The time model: what the display counts from, and the value of this tick.
struct TimerState {
    bool countUp = true;
    bool roundUp = true;
    int32_t destinationDay = 730120;  // 1 January 2000
    int32_t destinationSecond = 0;
    bool stopAfterFinished = true;
    int32_t countUpTime = 43200;
    int32_t countUpStopMode = 0;
    int32_t restartAfter = 0;
    // computed on every tick
    int32_t difference = 0;
    bool running = true;
    int32_t subSecond = 0;
    int32_t days = 0, hours = 0, minutes = 0, seconds = 0;
};

// How the value is shown: clock form or decimal form.
struct DisplayFormat {
    int32_t form = 1;  // 1 clock, 2 decimal
    bool showDays = true, showHours = true, showMinutes = true, showSeconds = true,
         showHundredths = false;
    int32_t leadingWidth = 4;
    bool unitDays = false, unitHours = true, unitMinutes = false, unitSeconds = false;
    int32_t integerWidth = 8;
    int32_t decimals = 3;
    char formatString[501] = "?";
    char digitText[128] = "";
};

// Every other stored setting (rows of "quimo_settings.dbf").
struct Settings {
    bool hours24 = false;
    uint32_t segmentColour = 0xff0000, backgroundColour = 0x000000;
    int32_t windowX = 0, windowY = 0, windowWidth = 0;
    int32_t borderWidth = 0;
    uint32_t borderColour = 0;
    int32_t verticalOffset = 2, horizontalOffset = 2;
    bool windowOnStart = true;
    bool alwaysOnTop = false, fullscreen = false, resizeDesktop = false, alwaysVisible = false;
    bool autostart = false, stayOnDesktop = false;
    int32_t size = 25;
    uint32_t activeColour = 0xff0000, inactiveColour = 0x330000;
    int32_t contrast = 80;
    char graphicProgram[300] = "";
    int32_t minWidth = 0, minHeight = 0;
    bool syncTime = false;
    bool actionMessage = false, actionSound = false, actionProgram = false;
    char soundFile[300] = "";
    char programPath[300] = "";
    char messageText[300] = "QUIMO";
    bool colonBlink = true;
    int32_t digitSet = 4;  // derived from size: 1..16
};

// The clock record: local time, cached, refreshed by read_clock().
struct ClockRecord {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

struct AppState {
    int language = 0;  // 0 English, 1 German
    ClockRecord clock;
    int hundredths = 0;
    int lastSecond = 99;
    int lastDay = 0;
    uint32_t lastMilliseconds = 0;  // the millisecond clock at the previous display tick
    bool haveMilliseconds = false;
    int ticksSinceUpdate = 0;  // display ticks since the last display update
    int timeUpCountdown = 0;
    bool restartPending = false;
    // The timer thread reads it; set it through sevenseg_set_busy(), which
    // waits for a draw under way.
    std::atomic<bool> busy{false};
    bool settingsWindowOpen = false;
    bool hiddenToTray = false;
    zeRect initialWorkArea = {0, 0, 0, 0};
    bool workAreaShrunk = false;
    int settingsWindowHeight = 550;
    int screenHeight = 0;
    char scratch[200000];
};

extern AppState g_app;
extern TimerState g_timer;
extern DisplayFormat g_format;
extern Settings g_settings;

// app_log.cpp: the clock record and the log file "quimo.log".
void read_clock();
void write_log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Opens a file of the program by name (fopen modes "rb", "ab", "wb"), only
// when it is a regular file; anything else is refused with a log line.
FILE *app_open_file(const char *name, const char *mode);

// timer_model.cpp (day numbers are zedate_daynumber's)
void compute();
// Fields of the destination, stop-after and restart-after times for the
// settings window.
int destination_day_of_month();
int destination_month();
int destination_year();
int destination_hour();
int destination_minute();
int destination_second();
int stop_after_days();
int stop_after_hours();
int stop_after_minutes();
int stop_after_seconds();
int restart_after_days();
int restart_after_hours();
int restart_after_minutes();

// display_format.cpp
void build_format_string();
void make_digit_text();
void merge_display_text(const char *format, const char *digits, bool negative, char *out, int outsize);
// Digit-font metrics for text_width(); the seven-segment display fills them.
struct DigitMetrics {
    int charWidth, narrowWidth, charDistance;
};
int text_width(const char *text, const DigitMetrics &m);

// settings.cpp
bool settings_load(const char *file);  // null: "quimo_settings.dbf"
bool settings_save();
void settings_defaults();

// app_main.cpp: start-up, the main loop, save and quit.
void app_start();                 // start-up steps, up to "mainloop"
void app_show_timer_window();     // creates the timer window and draws its digits at once
void app_loop();                  // until the toolkit stops
void app_handle_event(int id);    // one pass of the loop for one event
void app_start_ticks();           // the display, redraw, action and second ticks, where missing
void app_stop_ticks();
[[noreturn]] void save_and_quit();
void app_display_tick();          // one display tick (clock, hundredths, compute, update)
int display_tick_id();            // the display tick's event id (-1 before it exists)
void advance_hundredths();        // the hundredths counter rule for the current clock record
int settings_window_height(int maxwindowys, bool minys);
bool detect_language();           // true: German (locale is German and "detectlanguage" exists)
void create_scanline_offset_file();
// Runs while the program waits on the network: pumps the toolkit (close
// requests included) and keeps the display ticking.
void app_wait_idle();

// timesync.cpp
void timesync_run();

// sevenseg.cpp: active and inactive colour from the segment colour, contrast
// and background; recolours the timer font.
void compute_colours();

// sevenseg.cpp (seven-segment display) and timer_window.cpp: see their headers.
