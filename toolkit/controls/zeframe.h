// The frame and arrow drawing every control uses, and the small text glyphs
// ("*" marks a set pixel) the arrows are made of.
#pragma once

struct zePixmap;

enum {
    ZEFRAME_SIMPLE = 0,   // one-pixel 3D frame: c1 top-left (white), c2 bottom-right (black)
    ZEFRAME_DOUBLE = 1,   // two-pixel 3D frame: c1 black, c2 white, c3 dark, c4 light
    ZEFRAME_BUTTON = 2,   // button frame: c1 face (grey), c2 dark, c3 black, c4 white
    ZEFRAME_FOCUS = 3,    // dotted focus rectangle in c1 (black)
    ZEFRAME_OUTLINE = 4,  // plain outline in c1 (black); 6 is the same
};

// A colour of -1 takes the style's default. Unknown styles draw style 0.
void zeframe_draw(zePixmap *p, int style, bool pressed, int x, int y, int w, int h, int c1 = -1,
                  int c2 = -1, int c3 = -1, int c4 = -1);

enum {
    ZEARROWSIZE_NORMAL = 0,
    ZEARROWSIZE_SMALL = 1,
    ZEARROWSIZE_BIG = 2,
};

// Draws the arrow "up", "down", "left", "right", "double left" or "double
// right" centred in the box (x, y, w, h); an unknown name (or a double arrow
// in the small and big sizes) draws nothing. Returns whether it drew.
bool zearrow_draw(zePixmap *p, const char *direction, int x, int y, int w, int h, int color,
                  int size = ZEARROWSIZE_NORMAL);
// The glyph text of an arrow and its size; null when there is none.
const char *zearrow_glyph(const char *direction, int size, int *w, int *h);

// Draws a glyph text of w x h characters with its top-left corner at (x, y):
// "*" in color, "1" to "9" in colors[0] to colors[8] (when colors is given),
// anything else (" ", "0") transparent.
void zeglyph_draw(zePixmap *p, const char *glyph, int w, int h, int x, int y, int color,
                  const int *colors = nullptr);
