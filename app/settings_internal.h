// What the settings window's tabs share: the page being assembled, the
// language, and by-name access to the controls of the built page.
#pragma once
#include "app.h"
#include "settings_window.h"

// ---- the page text of the current tab -------------------------------------
void page_add(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Text that is Latin-1 already (the converted help page).
void page_add_latin1(const char *text);
// The text of the current language.
const char *tr(const char *en, const char *de);
bool german();
// The canvas height the tab asks for (0: the window's own).
void set_canvas_height(int height);

// ---- controls of the built page --------------------------------------------
bool is_event(int id, const char *name);
bool is_change(int id, const char *name);
int get_int(const char *name);
void set_int(const char *name, int value);
void set_enabled(const char *name, bool on);
// An up-down stepped (main event) or typed into (text event).
bool updown_event(int id, const char *name);
// Its value held within its range, whatever was typed.
int updown_value(const char *name);
// A button's face colour, redrawn.
void set_button_face(const char *name, uint32_t colour);
// A named point of the page (0 when missing).
int point(const char *name);
zeGUIScript *page();

// ---- what a change sets off --------------------------------------------------
// Builds the current tab again.
void settings_rebuild();
// The timer computes again, the format is rebuilt, the display refreshed.
void recompute();
// Closes the settings and timer window for a modal chooser, and opens both
// again afterwards.
void choosers_begin();
void choosers_end();
int screen_width();
int screen_height();
// Draws a text on the page's canvas in Arial16 and shows it.
void draw_canvas_text(int x, int y, int w, int h, uint32_t colour, const char *text);
bool have_file(const char *name);
// The date picker: true when the user confirmed a date.
bool date_picker(int *year, int *month, int *day, const char *title);
bool copy_file(const char *from, const char *to);

// ---- the tabs ---------------------------------------------------------------
void tab_quimo_text();
void tab_quimo_event(int id);
void tab_timer_text();
void tab_timer_fill();
void tab_timer_event(int id);
void tab_format_text();
void tab_format_fill();
void tab_format_event(int id);
void tab_window_text();
void tab_window_fill();
void tab_window_event(int id);
void tab_window_show_position();
void tab_background_text();
void tab_background_event(int id);
void tab_settings_text();
void tab_settings_fill();
void tab_settings_event(int id);
void tab_settings_tick();
void tab_help_text();
void tab_help_event(int id);
