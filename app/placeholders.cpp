// Stand-ins until the real modules exist (see placeholders.h). They do the
// least that keeps the program running: nothing, or a plain default.
#include "app.h"
#include "placeholders.h"

// ---- settings_window.cpp ----
// Logs, so a click on the timer window can be seen until the window exists.
void settings_window_open_or_refresh() { write_log("settings window requested"); }
void settings_window_close() {}
void settings_window_handle_event(int id) {}
bool settings_window_close_request(int id) { return false; }
void settings_window_save_screen(const char *file) {}
void settings_window_show_position() {}

