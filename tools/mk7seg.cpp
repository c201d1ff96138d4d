// mk7seg: draws the sixteen seven-segment digit picture sets of the program
// directory ("7seg/7seg_003_0100.pcx", "7seg/7seg_001_0300.pcx" ...
// "7seg/7seg_001_3000.pcx").
//
// Picture layout, as the display reads it back: black background, one row of
// 15 cells of W/15 pixels ('0'..'9', 'A', 'P', '-', ':', '.'), the glyph in
// the first W/15 - 5 columns of its cell. Every digit cell shows all seven
// segments, unlit ones in a dark colour and lit ones in a bright colour, and
// nothing else: exactly three colours, no smoothing, so the display can find
// and recolour them by exact value. The colon cell's top row is black up to
// the colon's advance, where one dark marker pixel tells the reader how
// narrow ':' and '.' are drawn.
//
// Usage: mk7seg OUTDIR [PREFIX]   (writes OUTDIR/7seg_*.pcx; PREFIX limits the
//        set to files whose name starts with it, for quick looks)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "zeimage.h"
#include "zepxmap.h"

namespace {

const uint32_t kBlack = 0x000000;
const uint32_t kDark = 0x330000;  // unlit segments
const uint32_t kLit = 0xff0000;   // lit segments

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    void put(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[(size_t)y * w + x] = c;
    }
};

struct Pt {
    double x, y;
};

// A convex polygon, points in clockwise or counter-clockwise order.
struct Poly {
    Pt p[8];
    int n = 0;
};

bool inside(const Poly &poly, double x, double y) {
    int sign = 0;
    for (int i = 0; i < poly.n; i++) {
        const Pt &a = poly.p[i];
        const Pt &b = poly.p[(i + 1) % poly.n];
        double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (s == 0) continue;
        if (sign == 0) sign = s;
        else if (s != sign) return false;
    }
    return true;
}

// Geometry of one glyph, in unslanted coordinates; the slant is applied when
// pixels are sampled (x_unslanted = x - slant * (bottom - y)).
struct Geometry {
    int height = 0, charWidth = 0, narrowWidth = 0;
    double top = 0, bottom = 0, left = 0, right = 0;  // outer edges of the figure eight
    double thick = 0, gap = 0, slant = 0;
    double dot = 0, dotLeft = 0;  // side of a colon/point dot and its left edge
};

Geometry make_geometry(int height) {
    Geometry g;
    g.height = height;
    double pad = std::fmax(1.0, std::round(height * 0.03));
    g.top = pad;
    g.bottom = height - pad;
    // Small sets keep whole-pixel segments and stand upright: a slant of one
    // pixel every few rows only makes them ragged.
    bool small = height < 45;
    g.thick = small ? std::fmax(2.0, std::round(height * 0.115)) : height * 0.115;
    g.gap = small ? 1.0 : std::fmax(1.0, height * 0.011);
    g.slant = small ? 0.0 : 0.09;
    double body = std::round(height * 0.47);
    g.left = 1;
    g.right = g.left + body;
    int slantWidth = (int)std::ceil(g.slant * (g.bottom - g.top));
    g.charWidth = (int)g.right + slantWidth + 1;
    g.dot = std::fmax(2.0, std::round(g.thick * 1.05));
    // The colon sits centred between its neighbours: a little room on its left
    // so the gap before it matches the gap after it.
    g.dotLeft = std::fmax(1.0, std::round(height * 0.03));
    double extent = g.dotLeft + g.dot + g.slant * (g.bottom - g.top) * 0.75;
    g.narrowWidth = (int)std::ceil(extent + g.dotLeft);
    return g;
}

// Segment a..g as hexagons with pointed ends between the centre-line corners.
Poly hseg(const Geometry &g, double y) {
    double h = g.thick / 2, x0 = g.left + h + g.gap, x1 = g.right - h - g.gap;
    Poly p;
    Pt pts[6] = {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}};
    for (auto &q : pts) p.p[p.n++] = q;
    return p;
}

Poly vseg(const Geometry &g, double x, double y0, double y1) {
    double h = g.thick / 2;
    y0 += g.gap;
    y1 -= g.gap;
    Poly p;
    Pt pts[6] = {{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}};
    for (auto &q : pts) p.p[p.n++] = q;
    return p;
}

// A dot with its corners cut, so large sizes do not look blocky.
Poly dot(const Geometry &g, double y) {
    double x0 = g.dotLeft, x1 = x0 + g.dot, y0 = y - g.dot / 2, y1 = y + g.dot / 2;
    double c = g.dot >= 6 ? g.dot * 0.22 : 0;
    Poly p;
    Pt pts[8] = {{x0 + c, y0}, {x1 - c, y0}, {x1, y0 + c}, {x1, y1 - c},
                 {x1 - c, y1}, {x0 + c, y1}, {x0, y1 - c}, {x0, y0 + c}};
    for (auto &q : pts) p.p[p.n++] = q;
    return p;
}

// Segments in the usual order a (top), b (top right), c (bottom right),
// d (bottom), e (bottom left), f (top left), g (middle).
void segments(const Geometry &g, Poly out[7]) {
    double h = g.thick / 2, mid = (g.top + g.bottom) / 2;
    double xl = g.left + h, xr = g.right - h, yt = g.top + h, yb = g.bottom - h;
    out[0] = hseg(g, yt);
    out[1] = vseg(g, xr, yt, mid);
    out[2] = vseg(g, xr, mid, yb);
    out[3] = hseg(g, yb);
    out[4] = vseg(g, xl, mid, yb);
    out[5] = vseg(g, xl, yt, mid);
    out[6] = hseg(g, mid);
}

// Lit segments per cell, bit 0 = a ... bit 6 = g; -1 marks the colon and point.
const int kCellSegments[15] = {
    0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f,  // 0-9
    0x77,                                                        // A
    0x73,                                                        // P
    0x40,                                                        // -
    -1, -1};                                                     // : .

void draw_cell(Picture &pic, const Geometry &g, int cellX, int cell) {
    Poly seg[7];
    segments(g, seg);
    double mid = (g.top + g.bottom) / 2;
    Poly dots[2];
    int ndots = 0;
    if (cell == 13) {
        dots[ndots++] = dot(g, (g.top + mid) / 2 + g.thick * 0.25);
        dots[ndots++] = dot(g, (mid + g.bottom) / 2 - g.thick * 0.25);
    } else if (cell == 14) {
        dots[ndots++] = dot(g, g.bottom - g.dot / 2);
    }
    for (int y = 0; y < g.height; y++) {
        for (int x = 0; x < g.charWidth; x++) {
            double cy = y + 0.5;
            double cx = x + 0.5 - g.slant * (g.bottom - cy);
            uint32_t c = kBlack;
            if (kCellSegments[cell] >= 0) {
                for (int s = 0; s < 7; s++)
                    if (inside(seg[s], cx, cy)) c = (kCellSegments[cell] >> s & 1) ? kLit : kDark;
            } else {
                for (int d = 0; d < ndots; d++)
                    if (inside(dots[d], cx, cy)) c = kLit;
            }
            if (c != kBlack) pic.put(cellX + x, y, c);
        }
    }
    // The colon's narrow width is read back from its top row.
    if (cell == 13) pic.put(cellX + g.narrowWidth, 0, kDark);
}

Picture draw_set(int height) {
    Geometry g = make_geometry(height);
    Picture pic;
    int cell = g.charWidth + 5;
    pic.w = cell * 15;
    pic.h = height;
    pic.px.assign((size_t)pic.w * pic.h, kBlack);
    for (int i = 0; i < 15; i++) draw_cell(pic, g, i * cell, i);
    return pic;
}

// The one place that writes a picture file.
bool write_picture(const Picture &pic, const char *path) {
    zePixmap pm;
    zepxmap_init(&pm);
    pm.width = pic.w;
    pm.height = pic.h;
    pm.format = ZEPX_TRUECOLOR;
    if (!zepxmap_allocate(&pm)) return false;
    memcpy(pm.pixels, pic.px.data(), pic.px.size() * sizeof(uint32_t));
    bool ok = zepxmap_savetofile(&pm, "%s", path);
    zepxmap_release(&pm);
    return ok;
}

struct SetFile {
    const char *name;
    int height;
};

// Digit height in pixels grows with the number in the file name (tenths of
// a pixel); the smallest set serves the settings window's preview.
const SetFile kSets[16] = {
    {"7seg_003_0100.pcx", 20},  {"7seg_001_0300.pcx", 30},  {"7seg_001_0400.pcx", 40},
    {"7seg_001_0500.pcx", 50},  {"7seg_001_0600.pcx", 60},  {"7seg_001_0700.pcx", 70},
    {"7seg_001_0800.pcx", 80},  {"7seg_001_0900.pcx", 90},  {"7seg_001_1000.pcx", 100},
    {"7seg_001_1200.pcx", 120}, {"7seg_001_1400.pcx", 140}, {"7seg_001_1600.pcx", 160},
    {"7seg_001_1800.pcx", 180}, {"7seg_001_2000.pcx", 200}, {"7seg_001_2500.pcx", 250},
    {"7seg_001_3000.pcx", 300},
};

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: mk7seg OUTDIR [PREFIX]\n");
        return 2;
    }
    const char *prefix = argc > 2 ? argv[2] : "";
    for (const SetFile &s : kSets) {
        if (strncmp(s.name, prefix, strlen(prefix)) != 0) continue;
        char path[1024];
        snprintf(path, sizeof path, "%s/%s", argv[1], s.name);
        Picture pic = draw_set(s.height);
        if (!write_picture(pic, path)) {
            fprintf(stderr, "mk7seg: cannot write %s\n", path);
            return 1;
        }
    }
    return 0;
}
