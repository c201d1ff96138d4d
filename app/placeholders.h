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

// Settings window (settings_window.cpp)
void settings_window_open_or_refresh();
void settings_window_close();
void settings_window_handle_event(int id);
bool settings_window_close_request(int id);  // id is the settings window's close event
// While the timer window is dragged: the position page (page 3), when shown,
// takes the new position (udX, slX, udY, slY from g_settings.windowX/Y).
void settings_window_show_position();
void settings_window_save_screen(const char *file);

