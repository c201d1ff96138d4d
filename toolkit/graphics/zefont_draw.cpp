// Drawing characters, texts and wrapped texts into pixmaps. Glyphs are byte
// arrays, so a character is one loop over its rows; memory pixmaps are
// written directly, everything else goes through zepxmap_setpixel.
#include "zefont.h"
#include "zepxmap.h"
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

const int DEFAULT_GREY_LIGHT = 0xFFFFFF;   // scheme "white"
const int DEFAULT_GREY_DARK = 0x808080;    // scheme "dark"

int outline_color = -1;

// Where pixels go: straight into the pixel array when the format allows it,
// else through zepxmap_setpixel (palette16, screen, mirrored pixmaps).
struct Canvas {
    zePixmap *p;
    uint8_t *p8;
    uint32_t *p32;
    int w, h;
};

Canvas open_canvas(zePixmap *p) {
    Canvas cv = {p, nullptr, nullptr, p->width, p->height};
    if (p->mirror || !p->pixels) return cv;
    if (p->format == ZEPX_PALETTE8) cv.p8 = (uint8_t *)p->pixels;
    else if (p->format == ZEPX_TRUECOLOR) cv.p32 = (uint32_t *)p->pixels;
    else if (p->format == ZEPX_SERVER || p->format == ZEPX_DIRECTX) {
        zePxServer *s = (zePxServer *)p->pixels;
        cv.p32 = s->colors;
        // The backend's cached image no longer matches the colours.
        if (s->native && s->native_free) s->native_free(s->native);
        s->native = nullptr;
    }
    return cv;
}

inline void plot(const Canvas &cv, int x, int y, int c) {
    if (x < 0 || y < 0 || x >= cv.w || y >= cv.h) return;
    if (cv.p32) cv.p32[(size_t)y * cv.w + x] = (uint32_t)c & 0xFFFFFF;
    else if (cv.p8) cv.p8[(size_t)y * cv.w + x] = (uint8_t)c;
    else zepxmap_setpixel(cv.p, x, y, c);
}

// The set pixels of a glyph at (x, y) in colour c (one batch per glyph).
void draw_ink(const Canvas &cv, const zeGlyph &g, int x, int y, int c) {
    int c0 = x < 0 ? -x : 0, c1 = g.width < cv.w - x ? g.width : cv.w - x;
    int r0 = y < 0 ? -y : 0, r1 = g.height < cv.h - y ? g.height : cv.h - y;
    for (int r = r0; r < r1; r++) {
        const uint8_t *src = g.pixels + (size_t)r * g.width;
        size_t base = (size_t)(y + r) * cv.w + x;
        if (cv.p32) {
            uint32_t v = (uint32_t)c & 0xFFFFFF;
            for (int k = c0; k < c1; k++)
                if (src[k]) cv.p32[base + k] = v;
        } else if (cv.p8) {
            for (int k = c0; k < c1; k++)
                if (src[k]) cv.p8[base + k] = (uint8_t)c;
        } else {
            for (int k = c0; k < c1; k++)
                if (src[k]) zepxmap_setpixel(cv.p, x + k, y + r, c);
        }
    }
}

// Every pixel of the cell: set ones in c, clear ones in bg.
void draw_cell(const Canvas &cv, const zeGlyph &g, int x, int y, int c, int bg) {
    for (int r = 0; r < g.height; r++)
        for (int k = 0; k < g.width; k++) plot(cv, x + k, y + r, g.pixels[r * g.width + k] ? c : bg);
}

// Clear pixels inside the glyph that touch a set one get the outline colour.
void draw_outline(const Canvas &cv, const zeGlyph &g, int x, int y, int c) {
    const uint8_t *px = g.pixels;
    int w = g.width;
    for (int r = 1; r < g.height - 1; r++)
        for (int k = 1; k < w - 1; k++) {
            int i = r * w + k;
            if (!px[i] && (px[i + 1] || px[i - 1] || px[i + w] || px[i - w])) plot(cv, x + k, y + r, c);
        }
}

// Pen positions run in 64 bits and are clamped when handed back: a text
// that starts near either end of the int range must not wrap round.
int clamp_pen(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v; }

void draw_glyph(const Canvas &cv, const zeGlyph &g, int64_t x64, int64_t y64, int color, bool greyed,
                bool underline, int bg, int greylight, int greydark) {
    // A cell (with the grey shadow's extra pixel) wholly outside the pixmap
    // draws nothing; one that touches it has coordinates near the pixmap, so
    // the pixel arithmetic below stays well inside the int range.
    if (x64 + g.width + 1 <= 0 || y64 + g.height + 1 <= 0 || x64 >= cv.w || y64 >= cv.h) return;
    int x = (int)x64, y = (int)y64;
    if (greyed) {
        if (bg != -1) zepxmap_fillrect(cv.p, x, y, g.width, g.height, bg);
        draw_ink(cv, g, x + 1, y + 1, greylight == -1 ? DEFAULT_GREY_LIGHT : greylight);
        draw_ink(cv, g, x, y, greydark == -1 ? DEFAULT_GREY_DARK : greydark);
        return;
    }
    if (bg == -1) draw_ink(cv, g, x, y, color);
    else draw_cell(cv, g, x, y, color, bg);
    if (outline_color != -1) draw_outline(cv, g, x, y, outline_color);
    if (underline)
        for (int k = 0; k < g.width; k++) plot(cv, x + k, y + g.height - 1, color);
}

struct Word {
    int end;     // index after the word
    int width;
};

bool word_char(unsigned char c) { return c >= '!'; }

// A word runs over characters from "!" up and ends before a blank, tab,
// line break or the end, or right after a "-".
Word scan_word(const zeFont *f, const unsigned char *s, int i) {
    Word w = {i, 0};
    while (s[w.end] && word_char(s[w.end])) {
        w.width += f->widths[s[w.end] - ZEFONT_FIRST];
        if (s[w.end++] == '-') break;
    }
    return w;
}

}  // namespace

void zefont_set_outline(int color) { outline_color = color; }
int zefont_outline(void) { return outline_color; }

void zefont_draw_char(zePixmap *p, int font, int x, int y, int color, bool greyed, bool underline, int bg, int ch,
                      int greylight, int greydark) {
    zeGlyph g;
    if (!p || !zefont_glyph(font, ch & 0xFF, &g) || g.width <= 0) return;
    Canvas cv = open_canvas(p);
    draw_glyph(cv, g, x, y, color, greyed, underline, bg, greylight, greydark);
}

int zefont_draw_text(zePixmap *p, int font, int x, int y, int color, bool greyed, bool underlineall, int bg,
                     int maxwidth, int underlineidx, const char *text, int greylight, int greydark) {
    const zeFont *f = zefont_get(font);
    if (!p || !f || !text) return x;
    Canvas cv = open_canvas(p);
    const unsigned char *s = (const unsigned char *)text;
    int64_t pen = x, line = y;
    zeGlyph g;
    if (maxwidth > 0 && zefont_text_width(font, text) > maxwidth) {
        int64_t limit = (int64_t)x + maxwidth - zefont_text_width(font, "... ");
        for (int i = 0; s[i] && pen < limit; i++) {
            if (!zefont_glyph(font, s[i], &g)) continue;
            draw_glyph(cv, g, pen, y, color, greyed, underlineall || i == underlineidx, bg, greylight, greydark);
            pen += g.width;
        }
        for (int i = 0; i < 3 && zefont_glyph(font, '.', &g); i++) {
            draw_glyph(cv, g, pen, y, color, greyed, false, bg, greylight, greydark);
            pen += g.width;
        }
        return clamp_pen(pen);
    }
    for (int i = 0; s[i]; i++) {
        if (s[i] == '\n') {
            pen = x;
            line += f->height;
            continue;
        }
        if (!zefont_glyph(font, s[i], &g)) continue;
        draw_glyph(cv, g, pen, line, color, greyed, underlineall || i == underlineidx, bg, greylight, greydark);
        pen += g.width;
    }
    return clamp_pen(pen);
}

int zefont_draw_wrapped(zePixmap *p, int font, int x, int y, int w, int h, int color, const char *text,
                        bool measureonly) {
    const zeFont *f = zefont_get(font);
    if (!f || !text) return 0;
    if (!p) measureonly = true;
    Canvas cv = {};
    if (!measureonly) cv = open_canvas(p);
    const unsigned char *s = (const unsigned char *)text;
    int space = f->widths[' ' - ZEFONT_FIRST];
    int64_t px = x, py = y, right = (int64_t)x + w;
    for (int i = 0; s[i];) {
        unsigned char c = s[i];
        if (c == '\t' || c == ' ') {
            px += c == '\t' ? 4 * space : space;
            i++;
            continue;
        }
        if (c == '\n') {
            px = x;
            py += f->height;
            i++;
            continue;
        }
        if (!word_char(c)) {   // carriage return and other controls
            i++;
            continue;
        }
        Word word = scan_word(f, s, i);
        // A word that would reach the right edge starts a new line, unless it
        // already starts one (it is then broken where the line is full).
        if (px + word.width >= right && px > x) {
            px = x;
            py += f->height;
        }
        for (; i < word.end; i++) {
            int cw = f->widths[s[i] - ZEFONT_FIRST];
            zeGlyph g;
            if (!measureonly && py < (int64_t)y + h && zefont_glyph(font, s[i], &g))
                draw_glyph(cv, g, px, py, color, false, false, -1, -1, -1);
            px += cw;
            if (px >= right) {
                px = x;
                py += f->height;
            }
        }
    }
    return clamp_pen(py - y + f->height);
}

// ---- the pixmap output's text commands -------------------------------------

namespace {

void hook_text(zePixmap *p, int font, int x, int y, int color, const char *text) {
    zefont_draw_text(p, font, x, y, color, false, false, -1, 0, -1, text);
}

void hook_char(zePixmap *p, int font, int x, int y, int color, int ch) {
    zefont_draw_char(p, font, x, y, color, false, false, -1, ch);
}

int hook_font_from_desc(const char *const *desc) { return zefont_load(desc, -1, nullptr); }

const zeTextHooks hooks = {
    hook_text, hook_char, zefont_draw_wrapped, zefont_text_width, zefont_height, zefont_char_width,
    hook_font_from_desc, zefont_load_system_text,
};

}  // namespace

void zefont_draw_install_hooks(void) { zepxmap_set_text_hooks(&hooks); }
