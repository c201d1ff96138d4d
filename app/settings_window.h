// The settings window: one toolkit window whose whole content is one markup
// page, rebuilt from scratch for the selected tab (and on a language, mode,
// 24h or sub-tab change). Its controls are read and written by name; the
// settings live in memory and reach the table file only at quit.
#pragma once
#include "app.h"

struct zeGUIScript;
struct zeWindow;

enum {
    SETTINGS_TAB_QUIMO, SETTINGS_TAB_TIMER, SETTINGS_TAB_FORMAT, SETTINGS_TAB_WINDOW,
    SETTINGS_TAB_BACKGROUND, SETTINGS_TAB_SETTINGS, SETTINGS_TAB_HELP,
    SETTINGS_TABS,
    SETTINGS_WINDOW_WIDTH = 740,
};

// Creates the window when it is not open, then builds the current tab.
void settings_window_open_or_refresh();
// Tears the page down and closes the window (the settings stay).
void settings_window_close();
// The window's share of the main loop, for every event while it is open.
void settings_window_handle_event(int id);
bool settings_window_close_request(int id);  // id is the window's close event
// While the timer window is dragged: the position controls follow it.
void settings_window_show_position();
// F5: the window's picture as a file.
void settings_window_save_screen(const char *file);

// The open window and its page (null while closed), the tab shown.
zeWindow *settings_window();
zeGUIScript *settings_window_page();
int settings_window_tab();
int settings_window_subtab();
// The Timer or Format tab is shown: the preview follows every display tick.
bool settings_window_shows_preview();
// Selects a tab (and the sub-tab of the position tab) and builds it.
void settings_window_show_tab(int tab, int subtab);

// Example n (1..10): its settings file and picture, its destination and
// placement; the user's language, actions, programs and flags are kept.
void apply_example(int n);

// The time entry dialog: minutes of the day (or -1 for none) in, the chosen
// minutes out (the given ones when cancelled, -1 when the toolkit stops).
int time_entry_dialog(int minutes);
// A typed time ("10:45 AM", "14.25", "7") read over the selection hour and
// minute (-1 for none): the new hour * 60 + minute.
int time_entry_parse(const char *text, int hour, int minute);
// The square under a press at (px, py) below the squares' top: sets *hour or
// *minute (the other made 0 when unset) and returns true; false elsewhere.
bool time_entry_hit(int px, int py, int *hour, int *minute);

// The standard format's fields made contiguous: every field from the first
// shown one to the last shown one is shown; none shown leaves seconds.
void format_make_contiguous(DisplayFormat *f);
