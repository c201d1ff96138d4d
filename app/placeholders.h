// Stand-ins for functions of application modules that are not written yet.
// Each one is named for the real function. Whoever writes the real one
// deletes its declaration here and its body in placeholders.cpp, and declares
// it in the module's own header, which this file includes once it exists.
#pragma once
#include <cstdint>

#if __has_include("sevenseg.h")
#include "sevenseg.h"
#endif
#if __has_include("timer_window.h")
#include "timer_window.h"
#endif
#if __has_include("settings_window.h")
#include "settings_window.h"
#endif
#if __has_include("timeup.h")
#include "timeup.h"
#endif

// Seven-segment display (sevenseg.cpp)
void sevenseg_build_colour_table();      // the 101 colours of the colour slider
void sevenseg_load_preview_font();       // "7seg/7seg_003_0100.pcx", deferred drawing off
void sevenseg_start_retrace_sampler();   // 1000 Hz periodic callback, hires variant
void sevenseg_start_deferred_draw();     // 1000 Hz periodic callback
void sevenseg_select_set_by_size();      // digit set of the Size setting into the timer font
void sevenseg_force_full_redraw();       // next display update redraws everything
void sevenseg_display_update();          // the display tick's draw
bool sevenseg_metrics(struct DigitMetrics *m);  // timer font metrics; false when none loaded

// Timer window (timer_window.cpp)
void timer_window_compute_height();
void timer_window_compute_width();
void timer_window_create();
void timer_window_recreate();            // after a format change; nothing when no window exists
void timer_window_shrink_work_area();
void timer_window_restore_work_area();
void timer_window_handle_event(int id);
void timer_window_keep_above_desktop();
bool timer_window_tray_event(int id);    // true when id is the tray icon's event (restores)
void timer_window_ensure_visible();      // AlwaysVisible: bring to top when covered

// Settings window (settings_window.cpp)
void settings_window_open_or_refresh();
void settings_window_close();
void settings_window_handle_event(int id);
bool settings_window_close_request(int id);  // id is the settings window's close event
void settings_window_save_screen(const char *file);

// Time-up actions and sound (timeup.cpp)
void timeup_run_actions();
bool timeup_message_ok(int id);  // id is the message window's "btOK": closes it
void sound_reset();              // writes log "PlaySoundInit"
void sound_tick();
void sound_stop();
