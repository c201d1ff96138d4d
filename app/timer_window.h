// The timer window: the small borderless window that shows the digits; its
// size, flags, border, dragging, clicks, tray, and the desktop work area it
// may reserve for itself.
#pragma once

struct zeWindow;
#include "zebase.h"
struct zeNativeInfo;

// The open timer window, or null.
zeWindow *timer_window();
int timer_window_height();

void timer_window_compute_height();
void timer_window_compute_width();
// Closes the window if open and creates it from the settings (holding the
// busy flag meanwhile; clears it at the end).
void timer_window_create();
// Closes the window and leaves the busy flag set until the next create.
void timer_window_close();
// The window's picture without digits: the background colour, the internal
// picture "quimo_bg_intern.bmp" and the border, into p (of the window's size).
struct zePixmap;
void timer_window_paint_into(zePixmap *p);
// Paints the open window's picture again from those and shows it, the digits
// drawn in full at the next display tick. The caller holds the busy flag.
void timer_window_repaint_background();
// After a format change: creates the window again; nothing when none is open.
void timer_window_recreate();
// Moves the window to (x, y) and stores the position.
void timer_window_move(int x, int y);

void timer_window_shrink_work_area();
void timer_window_restore_work_area();
bool timer_window_work_area_changed();

// The window's part of the main loop, and the flags kept while running.
void timer_window_handle_event(int id);
void timer_window_keep_above_desktop();
bool timer_window_tray_event(int id);  // true when id is the tray icon's event (restores)
void timer_window_ensure_visible();    // AlwaysVisible: bring to top when covered
// The pointer on the window (2004 left down ... 2015 moved, client x, y).
void timer_window_mouse(int msg, int x, int y);
void timer_window_hide_to_tray();
void timer_window_restore_from_tray();

// Placements and flag rules offered by the settings window.
void timer_window_fix_to_top();
void timer_window_fix_to_bottom();
void timer_window_set_always_visible(bool on);
void timer_window_set_always_on_top(bool on);
void timer_window_set_fullscreen(bool on);
void timer_window_set_stay_on_desktop(bool on);

// The work-area rules on their own: the area left when the timer window of
// this height sits at y (the top edge when y < 400, else the bottom edge).
zeRect timer_window_shrunk_area(const zeRect &initial, int y, int height);
// Where another window must go so it lies inside area: false when it stays.
bool timer_window_fit_other(const zeNativeInfo *w, const zeRect &area, int *top, int *bottom);
// The drag rule: true when a pointer move of (dx, dy) moves the window.
bool timer_window_drag_moves(int dx, int dy);
