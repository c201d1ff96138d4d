// The popup menu: a list of entries in a popup window at the pointer (or a
// given screen point), chosen with the mouse or the keyboard. The text
// controls' right-button menu is one; menu bars and the settings window
// use it too.
#pragma once
#include "zebase.h"

enum {
    ZEPOPUPMENU_ITEMS = 100,     // entries beyond are dropped
    ZEPOPUPMENU_TEXTMAX = 99,
    ZEPOPUPMENU_OUTSIDE = 2053,  // told to the owner: a click outside, [screen x, y]
};

// Options (printf form): "entries=" (or "menus=") with the entries split at
// "|" ("-" is a separator that cannot be chosen), "x=", "y=" (screen; -1 or
// absent: centred on the pointer, at its height), "font=" / "fontid=".
// Returns the 1-based number of the chosen entry (separators count), 0 when
// cancelled (Escape, a click outside, no entries, the toolkit stopping).
int zepopupmenu(const char *fmt, ...);
// The same with an owner that is told of a click outside the menu (2053 with
// the screen point), so that a menu bar can open its neighbour instead; x
// and y are screen coordinates (-1: the pointer).
int zepopupmenu_owned(zeHandler owner, void *ownerobj, int x, int y, const char *fmt, ...);
// The text of the entry chosen last ("" after a cancel).
const char *zepopupmenu_text(void);

// The menu's size for its entries and font (what it will open with).
void zepopupmenu_size(const char *const *items, int n, int font, int *w, int *h);
