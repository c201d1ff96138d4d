// The tab bar: one row of named tabs of which one is selected. It posts its
// main event (first argument: the new index) when the user presses a tab
// that was not selected; the application then reads the selection and
// rebuilds its page. The bar switches no content itself.
//
// Options besides the common ones: "tabs="/"tabulators=" (names separated by
// "|"), "greystyle"/"graystyle"/"style=2"/"style2", "autonumber=" N (each
// name gets " [N]", counting up).
#pragma once
#include "zecontrol.h"

enum {
    ZETABBAR_TABS = 100,
    ZETABBAR_NAMEMAX = 99,
    ZETABBAR_MINWIDTH = 60,
    ZETABBAR_COLORED = 1,
    ZETABBAR_GREY = 2,
};

struct zeTab {
    char name[ZETABBAR_NAMEMAX + 1];
    int width;
    int left, right;   // offsets within the bar; right is the last pixel of the tab
    bool selected;
    int textcolor;
    int owncolor;      // -1: none
};

struct zeTabBar {
    zeControl c;
    zeTab tabs[ZETABBAR_TABS];
    int count;
    int style;         // ZETABBAR_COLORED or ZETABBAR_GREY
    int autonumber;

    zeTabBar();
    ~zeTabBar();
    zeTabBar(const zeTabBar &) = delete;
    zeTabBar &operator=(const zeTabBar &) = delete;
};

void zetabbar_init(zeTabBar *bar);
// Creates the bar in the standard view (printf form), first tab selected.
// A bar created again is destroyed first. False without a view.
bool zetabbar_create(zeTabBar *bar, const char *fmt, ...);
// Unregisters and returns to the initial state.
void zetabbar_destroy(zeTabBar *bar);
// Selects the tab (an index beyond the last selects the last; a negative one
// leaves none selected) and redraws; posts nothing.
void zetabbar_select(zeTabBar *bar, int index);
// Index of the first selected tab, -1 when none.
int zetabbar_selected(const zeTabBar *bar);
// A tab's own background colour in the grey style (-1: none); false for an
// index out of range.
bool zetabbar_set_color(zeTabBar *bar, int index, int color);
// The tab whose inside holds the bar-relative x (left < x < right), -1 for a
// gap or beyond the last tab.
int zetabbar_hit(const zeTabBar *bar, int x);
