// A popup: a borderless toolkit window that holds the pointer while it is
// open (drop-down lists, popup menus). Its owner draws into its pixmap and
// gets every pointer message of it, also those outside it (a click outside
// usually closes it). Opening leaves the current graphic output and the
// standard view as they were, so the owner's window keeps taking drawing and
// new controls.
#pragma once
#include "zebase.h"
#include "zewindow.h"

struct zePopup {
    zeWindow win;             // first: the pointer hook finds the popup from its window
    zeHandler target;         // gets 2004 ... 2015 with (x, y) in popup coordinates
    void *targetowner;
    int x, y, w, h;           // screen rectangle
};

// Opens the popup at the screen point with the client size (at least 1 x 1),
// moved up above y0 when it would leave the screen at the bottom (y0: the
// top of what it drops down from; -1 to never flip). False when the window
// cannot be made.
bool zepopup_open(zePopup *p, int x, int y, int w, int h, int y0, int bgcolor, zeHandler target, void *owner);
// Closes the window; the record stays usable (also from inside the target's
// pointer message).
void zepopup_close(zePopup *p);
bool zepopup_is_open(const zePopup *p);
zePixmap *zepopup_pixmap(zePopup *p);
// Copies the whole pixmap to the screen.
void zepopup_show(zePopup *p);
// Whether a popup point lies inside it.
bool zepopup_inside(const zePopup *p, int px, int py);
