// The scroll-bar pair of a scroll view: a vertical and a horizontal bar with
// arrow buttons and draggable thumbs. It draws itself over the view's
// rectangle in the parent's pixmap and turns mouse input into scroll
// commands (3008 up ... 3017 horizontal position) for its owner.
#pragma once
#include "zebase.h"

struct zePixmap;

enum {
    ZESB_UP = 3008, ZESB_DOWN = 3009, ZESB_LEFT = 3010, ZESB_RIGHT = 3011,
    ZESB_PAGEUP = 3012, ZESB_PAGEDOWN = 3013,
    ZESB_VPOS = 3016, ZESB_HPOS = 3017,       // [position 0-100]
    ZESB_REPEAT_MS = 100,
};

struct zeSBBox {
    int x, y, w, h;
};

struct zeScrollBar {
    bool von, hon;
    int bw, bh;               // vertical bar width, horizontal bar height
    int vpos, vsize, hpos, hsize;   // percent
    bool up, down, left, right;     // arrows held down
    bool vdrag, hdrag;
    int dragptr, dragthumb;   // pointer and thumb coordinate at the start of a drag
    int interval;             // repeat interval, ms
    bool timer;               // the repeat timer runs
    int ctrack, cthumb, cthumbdrag, carrow;
    // Commands go to cmd(cmdowner, 3008..., position); the parent is told
    // what was redrawn (8008) and asked to capture the pointer while a thumb
    // is dragged (8015, 8016 with parenthandle).
    zeHandler cmd;
    void *cmdowner;
    zeHandler parent;
    void *parentowner;
    zearg parenthandle;
    zePixmap *target;
    int x, y, w, h;           // the view's rectangle in the target
    // Layout, recomputed from the values above.
    zeSBBox upbox, downbox, vtrack, vthumb, leftbox, rightbox, htrack, hthumb, corner;
};

void zescrollbar_init(zeScrollBar *b);
// Places the pair over the rectangle with the bars that are on; thumbs at 0.
void zescrollbar_setup(zeScrollBar *b, int x, int y, int w, int h, bool von, bool hon);
void zescrollbar_set_vertical(zeScrollBar *b, int position, int size);
void zescrollbar_set_horizontal(zeScrollBar *b, int position, int size);
// Draws what is on into the target (without telling the parent).
void zescrollbar_draw(zeScrollBar *b);
// A mouse message (2004, 2005, 2006, 2015, 2024) at a target point. Returns
// true when the bars took it (the point is on a bar, or a press or drag of
// theirs is going on).
bool zescrollbar_mouse(zeScrollBar *b, int msg, int px, int py);
// Releases every arrow and drag without commands and stops the timer.
void zescrollbar_release_all(zeScrollBar *b);
// Whether a target point lies on a shown bar.
bool zescrollbar_hit(const zeScrollBar *b, int px, int py);
// Stops the timer and forgets the owner (the view is going away).
void zescrollbar_destroy(zeScrollBar *b);
