// Stand-ins until the real modules exist (see placeholders.h). They do the
// least that keeps the program running: nothing, or a plain default.
#include "app.h"
#include "placeholders.h"

// ---- sevenseg.cpp ----
void sevenseg_build_colour_table() {}
void sevenseg_load_preview_font() {}
void sevenseg_start_retrace_sampler() {}
void sevenseg_start_deferred_draw() {}
void sevenseg_select_set_by_size() {}
void sevenseg_force_full_redraw() {}
void sevenseg_display_update() {}
bool sevenseg_metrics(DigitMetrics *m) { return false; }

// ---- timer_window.cpp ----
void timer_window_compute_height() {}
void timer_window_compute_width() {}
void timer_window_create() {}
void timer_window_recreate() {}
void timer_window_shrink_work_area() {}
void timer_window_restore_work_area() {}
void timer_window_handle_event(int id) {}
void timer_window_keep_above_desktop() {}
bool timer_window_tray_event(int id) { return false; }
void timer_window_ensure_visible() {}

// ---- settings_window.cpp ----
void settings_window_open_or_refresh() {}
void settings_window_close() {}
void settings_window_handle_event(int id) {}
bool settings_window_close_request(int id) { return false; }
void settings_window_save_screen(const char *file) {}

// ---- timeup.cpp ----
void timeup_run_actions() {}
bool timeup_message_ok(int id) { return false; }
void sound_reset() { write_log("PlaySoundInit"); }
void sound_tick() {}
void sound_stop() {}

