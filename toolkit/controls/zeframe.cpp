// Frames and arrows for the controls.
#include "zeframe.h"
#include "zepxmap.h"
#include "zepxmap_draw.h"
#include "zescheme.h"
#include <cstring>
#include <string>

static int pick(int c, int index) { return c != -1 ? c : zescheme_color(index); }

static void line(zePixmap *p, int x1, int y1, int x2, int y2, int c) { zepxmap_line(p, x1, y1, x2, y2, c); }

// The four lines of a one-pixel frame.
static void box(zePixmap *p, int x, int y, int w, int h, int ctl, int cbr) {
    line(p, x, y, x + w - 2, y, ctl);
    line(p, x, y, x, y + h - 2, ctl);
    line(p, x + w - 1, y, x + w - 1, y + h - 1, cbr);
    line(p, x, y + h - 1, x + w - 1, y + h - 1, cbr);
}

static void frame_double(zePixmap *p, bool pressed, int x, int y, int w, int h, int black, int white, int dark,
                         int light) {
    int otl = pressed ? dark : light, obr = pressed ? white : black;
    int itl = pressed ? black : white, ibr = pressed ? light : dark;
    box(p, x, y, w, h, otl, obr);
    line(p, x + 1, y + 1, x + w - 3, y + 1, itl);
    line(p, x + 1, y + 2, x + 1, y + h - 3, itl);
    line(p, x + w - 2, y + 1, x + w - 2, y + h - 2, ibr);
    line(p, x + 1, y + h - 2, x + w - 2, y + h - 2, ibr);
}

static void frame_button(zePixmap *p, bool pressed, int x, int y, int w, int h, int face, int dark, int black,
                         int white) {
    if (pressed) {
        line(p, x, y, x + w - 1, y, dark);
        line(p, x, y + 1, x, y + h - 1, dark);
        line(p, x + w - 1, y + 1, x + w - 1, y + h - 1, face);
        line(p, x + 1, y + h - 1, x + w - 1, y + h - 1, face);
        line(p, x + 1, y + 1, x + w - 2, y + 1, black);
        line(p, x + 1, y + 2, x + 1, y + h - 2, black);
        return;
    }
    box(p, x, y, w, h, white, black);
    line(p, x + 2, y + h - 2, x + w - 2, y + h - 2, dark);
    line(p, x + w - 2, y + 2, x + w - 2, y + h - 3, dark);
    line(p, x + 1, y + 1, x + w - 2, y + 1, face);
    line(p, x + 1, y + 2, x + 1, y + h - 2, face);
}

static void frame_focus(zePixmap *p, int x, int y, int w, int h, int c) {
    int x0 = x + (w % 2), y0 = y + (h % 2);
    zepxmap_points_begin();
    for (int i = x0; i <= x + w; i += 2) {
        zepxmap_points_add(p, i, y0);
        zepxmap_points_add(p, i, y + h);
    }
    for (int j = y0; j <= y + h; j += 2) {
        zepxmap_points_add(p, x0, j);
        zepxmap_points_add(p, x + w, j);
    }
    zepxmap_points_flush(p, c);
}

void zeframe_draw(zePixmap *p, int style, bool pressed, int x, int y, int w, int h, int c1, int c2, int c3,
                  int c4) {
    if (!p || w <= 0 || h <= 0) return;
    switch (style) {
    case ZEFRAME_DOUBLE:
        frame_double(p, pressed, x, y, w, h, pick(c1, ZECOL_BLACK), pick(c2, ZECOL_WHITE), pick(c3, ZECOL_DARK),
                     pick(c4, ZECOL_LIGHT));
        return;
    case ZEFRAME_BUTTON:
        frame_button(p, pressed, x, y, w, h, pick(c1, ZECOL_GREY), pick(c2, ZECOL_DARK), pick(c3, ZECOL_BLACK),
                     pick(c4, ZECOL_WHITE));
        return;
    case ZEFRAME_FOCUS: frame_focus(p, x, y, w, h, pick(c1, ZECOL_BLACK)); return;
    case ZEFRAME_OUTLINE:
    case 6: {
        int c = pick(c1, ZECOL_BLACK);
        box(p, x, y, w, h, c, c);
        return;
    }
    }
    int tl = pick(c1, ZECOL_WHITE), br = pick(c2, ZECOL_BLACK);
    if (pressed) std::swap(tl, br);
    box(p, x, y, w, h, tl, br);
}

// ----- glyphs -----

void zeglyph_draw(zePixmap *p, const char *glyph, int w, int h, int x, int y, int color, const int *colors) {
    if (!p || !glyph) return;
    int n = (int)strlen(glyph);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int k = j * w + i;
            if (k >= n) return;
            char ch = glyph[k];
            if (ch == '*') zepxmap_setpixel(p, x + i, y + j, color);
            else if (colors && ch >= '1' && ch <= '9') zepxmap_setpixel(p, x + i, y + j, colors[ch - '1']);
        }
}

// A triangle pointing up with rows of 1, 3, 5 ... (2 * rows - 1) pixels.
static std::string tri_up(int rows) {
    int w = 2 * rows - 1;
    std::string s;
    for (int r = 0; r < rows; r++)
        for (int i = 0; i < w; i++) s += (i >= rows - 1 - r && i <= rows - 1 + r) ? '*' : ' ';
    return s;
}

static std::string flip_rows(const std::string &s, int w, int h) {
    std::string t;
    for (int r = h - 1; r >= 0; r--) t += s.substr(r * w, w);
    return t;
}

static std::string transpose(const std::string &s, int w, int h) {
    std::string t(w * h, ' ');
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) t[c * h + r] = s[r * w + c];
    return t;
}

static std::string mirror(const std::string &s, int w, int h) {
    std::string t(s);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) t[r * w + c] = s[r * w + w - 1 - c];
    return t;
}

struct Glyph {
    std::string text;
    int w, h;
};

enum { UP, DOWN, LEFT, RIGHT, DLEFT, DRIGHT, KINDS };
static const char *const kDirections[KINDS] = {"up", "down", "left", "right", "double left", "double right"};

// Every size's glyphs, built once from the triangle of its "up" arrow.
static const Glyph *glyphs(int size) {
    static Glyph table[3][KINDS];
    static bool built;
    if (!built) {
        const int rows[3] = {4, 3, 6};
        for (int s = 0; s < 3; s++) {
            int h = rows[s], w = 2 * h - 1;
            std::string up = tri_up(h);
            std::string left = transpose(up, w, h);   // h wide, w high, point on the left
            table[s][UP] = {up, w, h};
            table[s][DOWN] = {flip_rows(up, w, h), w, h};
            table[s][LEFT] = {left, h, w};
            table[s][RIGHT] = {mirror(left, h, w), h, w};
        }
        // The big side arrows are 8 x 15, not the transposed 6 x 11.
        std::string bigup = tri_up(8), bigleft = transpose(bigup, 15, 8);
        table[2][LEFT] = {bigleft, 8, 15};
        table[2][RIGHT] = {mirror(bigleft, 8, 15), 8, 15};
        const Glyph &l = table[0][LEFT], &r = table[0][RIGHT];
        std::string dl, dr;
        for (int row = 0; row < l.h; row++) {
            std::string a = l.text.substr(row * l.w, l.w), b = r.text.substr(row * r.w, r.w);
            dl += a + " " + a;
            dr += b + " " + b;
        }
        table[0][DLEFT] = {dl, 9, 7};
        table[0][DRIGHT] = {dr, 9, 7};
        built = true;
    }
    return table[size];
}

const char *zearrow_glyph(const char *direction, int size, int *w, int *h) {
    if (!direction || size < 0 || size > 2) return nullptr;
    for (int k = 0; k < KINDS; k++) {
        if (strcmp(direction, kDirections[k]) != 0) continue;
        const Glyph &g = glyphs(size)[k];
        if (g.text.empty()) return nullptr;
        if (w) *w = g.w;
        if (h) *h = g.h;
        return g.text.c_str();
    }
    return nullptr;
}

bool zearrow_draw(zePixmap *p, const char *direction, int x, int y, int w, int h, int color, int size) {
    int gw, gh;
    const char *g = zearrow_glyph(direction, size, &gw, &gh);
    if (!g || !p) return false;
    zeglyph_draw(p, g, gw, gh, x + (w - gw) / 2, y + (h - gh) / 2, color);
    return true;
}
