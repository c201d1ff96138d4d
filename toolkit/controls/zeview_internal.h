// What the two halves of the scroll view (zeview.cpp: output, scrolling,
// standard view; zeview_input.cpp: children, focus, mouse, keys) share.
#pragma once
#include "zeview.h"

// Width and height of the visible content (the view without its bars).
int zeview_visible_w(const zeView *v);
int zeview_visible_h(const zeView *v);
// Children and requests (zeview_input.cpp).
zearg zeview_request(zeView *v, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7);
zearg zeview_message(zeView *v, int msg, zearg a1, zearg a2, zearg a3, zearg a4);
void zeview_send_children(zeView *v, int msg, zearg a1 = 0, zearg a2 = 0);
void zeview_children_free(zeView *v);
// Copies the content area (content coordinates) to the parent and tells it.
void zeview_copy_area(zeView *v, int x, int y, int w, int h);
// The scroll commands of the bar pair (3008 ... 3017).
void zeview_command(zeView *v, int cmd, int arg);
// Raises one of the view's own events (ZEVIEW_ID_*) with a position.
void zeview_report(zeView *v, int which, int msg, int x, int y);
// A window's main view takes the window's new client size (2003); true
// when its size changed.
bool zeview_follow_window(zeView *v);
// Whether a page is being built (bring-into-view waits).
bool zeview_building(void);
