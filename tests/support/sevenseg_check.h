// Reading seven-segment digits back from pixels: every pixel of each
// character cell must be the timer font's glyph pixel where the glyph is
// opaque and the picture behind it elsewhere.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "sevenseg.h"

// got(x, y): the pixel checked; behind(x, y): what shows without digits.
// Returns the number of glyph pixels matched, or -1 with the first mismatch in err.
inline long sevenseg_check_text(const SevenSegmentFont &f, const char *text, int x0, int y0,
                                const std::function<uint32_t(int, int)> &got,
                                const std::function<uint32_t(int, int)> &behind, std::string *err) {
    long lit = 0;
    int x = x0;
    for (const char *c = text; *c; x += sevenseg_advance(&f, *c), c++) {
        int g = sevenseg_glyph_index(*c, f.colonOn);
        if (g < 0) continue;
        int w = (*c == ':' || *c == '.') ? f.narrowWidth : f.charWidth;
        for (int gy = 0; gy < f.charHeight; gy++)
            for (int gx = 0; gx < w; gx++) {
                int s = sevenseg_glyph_pixel(&f, g, gx, gy);
                uint32_t want = s < 0 ? behind(x + gx, y0 + gy) : (uint32_t)s;
                uint32_t have = got(x + gx, y0 + gy);
                if (have != want) {
                    char buf[160];
                    snprintf(buf, sizeof buf, "'%c' at %d,%d: %06x, want %06x", *c, gx, gy, have, want);
                    *err = buf;
                    return -1;
                }
                lit += s >= 0;
            }
    }
    return lit;
}
