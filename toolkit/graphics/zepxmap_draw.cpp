// Drawing primitives on pixmaps: lines, dashed lines, arcs, ellipses,
// rectangles and flood fill, all through one growing point buffer.
#include "zepxmap_draw.h"
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

static int32_t *points;   // x, y pairs
static int npoints, capacity;

void zepxmap_points_begin(void) { npoints = 0; }
int zepxmap_points_capacity(void) { return capacity; }

void zepxmap_points_add(const zePixmap *p, int x, int y) {
    if (x < 0 || y < 0 || x >= p->width || y >= p->height) return;
    if (npoints == capacity) {
        int32_t *np = (int32_t *)realloc(points, (size_t)(capacity + 1000) * 2 * sizeof(int32_t));
        if (!np) return;
        points = np;
        capacity += 1000;
    }
    points[2 * npoints] = x;
    points[2 * npoints + 1] = y;
    npoints++;
}

void zepxmap_points_flush(zePixmap *p, int c) {
    const zeScreenHooks *screen = zepxmap_screen_hooks();
    if (p->format == ZEPX_SCREEN) {
        if (screen->points) screen->points(points, npoints, c);
        npoints = 0;
        return;
    }
    bool mirror = p->mirror;
    p->mirror = false;   // one screen call for the batch, not one per pixel
    for (int i = 0; i < npoints; i++) zepxmap_setpixel(p, points[2 * i], points[2 * i + 1], c);
    p->mirror = mirror;
    if (mirror && screen->points) screen->points(points, npoints, c);
    npoints = 0;
}

// Walks the line as the toolkit always has: floating-point slope, rounding by
// adding 0.5 and truncating. plot(x, y) decides per point.
template <class Plot> static void walk_line(int x1, int y1, int x2, int y2, Plot plot) {
    int dx = abs(x1 - x2), dy = abs(y1 - y2);
    int sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
    if (dy < dx) {
        double my = (double)dy / dx * sy;
        double y = y1;
        for (int x = x1; x != x2; x += sx, y += my) plot(x, (int)(y + 0.5));
    } else if (dy > 0) {
        double mx = (double)dx / dy * sx;
        double x = x1;
        for (int y = y1; y != y2; y += sy, x += mx) plot((int)(x + 0.5), y);
    }
}

// Long lines far outside the pixmap would only produce dropped points; such
// lines plot their end point only, so that a wild coordinate cannot make the
// walk take billions of steps. Lines inside the box are walked unchanged.
static bool near(int v) {
    const int lim = 1 << 20;
    return v > -lim && v < lim;   // no abs(): it overflows for INT_MIN
}

static bool line_in_range(int x1, int y1, int x2, int y2) {
    return near(x1) && near(y1) && near(x2) && near(y2);
}

// Straight lines set as runs where the format allows: grids and frames are
// mostly horizontal and vertical lines. The walk's rounding is kept: its
// (int)(v + 0.5) moves a negative row or column one towards zero.
static bool straight_line(zePixmap *p, int x1, int y1, int x2, int y2, int c) {
    if (x1 != x2 && y1 != y2) return false;
    if (x1 == x2 && y1 == y2) return false;
    if (!line_in_range(x1, y1, x2, y2)) return false;
    if (y1 == y2) {
        int row = (int)((double)y1 + 0.5);
        int from = x1 < x2 ? x1 : x2 + 1, n = x1 < x2 ? x2 - x1 : x1 - x2;
        if (!zepxmap_setrun(p, from, row, n, 1, c)) return false;
    } else {
        int col = (int)((double)x1 + 0.5);
        int from = y1 < y2 ? y1 : y2 + 1, n = y1 < y2 ? y2 - y1 : y1 - y2;
        if (!zepxmap_setrun(p, col, from, 1, n, c)) return false;
    }
    zepxmap_setrun(p, x2, y2, 1, 1, c);
    return true;
}

void zepxmap_line(zePixmap *p, int x1, int y1, int x2, int y2, int c) {
    p->curx = x2;
    p->cury = y2;
    if (straight_line(p, x1, y1, x2, y2, c)) return;
    zepxmap_points_begin();
    if (line_in_range(x1, y1, x2, y2) && (x1 != x2 || y1 != y2))
        walk_line(x1, y1, x2, y2, [p](int x, int y) { zepxmap_points_add(p, x, y); });
    zepxmap_points_add(p, x2, y2);
    zepxmap_points_flush(p, c);
}

void zepxmap_lineto(zePixmap *p, int x, int y, int c) { zepxmap_line(p, p->curx, p->cury, x, y, c); }

void zepxmap_dashline(zePixmap *p, int x1, int y1, int x2, int y2, int c, int on, int off) {
    p->curx = x2;
    p->cury = y2;
    zepxmap_points_begin();
    if (line_in_range(x1, y1, x2, y2) && (x1 != x2 || y1 != y2)) {
        bool drawing = true;
        int count = 0;
        walk_line(x1, y1, x2, y2, [&](int x, int y) {
            if (drawing) zepxmap_points_add(p, x, y);
            if (++count >= (drawing ? on : off)) {
                drawing = !drawing;
                count = 0;
            }
        });
    }
    zepxmap_points_add(p, x2, y2);
    zepxmap_points_flush(p, c);
}

// Curves step by angle, finer for larger radii. Steps stay finer than a
// pixel up to about four times this radius, far beyond any pixmap side;
// past it a huge radius cannot make a curve take billions of steps.
static const double CURVE_MAX_RADIUS = 1 << 16;

static double step_radius(double r) {
    r = fabs(r);
    return r < CURVE_MAX_RADIUS ? r : CURVE_MAX_RADIUS;
}

// A computed coordinate as an int; values beyond the int range are far
// outside any pixmap and are clamped to a distant one.
static int coord(double v) {
    const double far = 1 << 29;   // two of them still subtract within the int range
    return v > far ? (int)far : v < -far ? -(int)far : (int)v;
}

void zepxmap_arc(zePixmap *p, int x, int y, int rx, int ry, int a1, int a2, int c) {
    if (rx == 0 || ry == 0) return;
    double step = M_PI / (12.0 * step_radius(rx));
    double start = a1 * M_PI / 180.0, end = a2 * M_PI / 180.0;
    if (end - start > 2 * M_PI) end = start + 2 * M_PI;   // further turns only draw it again
    zepxmap_points_begin();
    for (double t = start; t <= end; t += step)
        zepxmap_points_add(p, coord(x + cos(t) * rx + 0.5), coord(y + sin(t) * ry + 0.5));
    zepxmap_points_flush(p, c);
}

void zepxmap_circle(zePixmap *p, int x, int y, int r, int c) { zepxmap_arc(p, x, y, r, r, 0, 360, c); }

// One horizontal run from xa to xb inclusive.
static void span(zePixmap *p, int xa, int xb, int row, int c) {
    if (xa > xb) {
        int t = xa;
        xa = xb;
        xb = t;
    }
    zepxmap_fillrect(p, xa, row, xb - xa + 1, 1, c);
}

// Fills too large for fine angle steps: one span per pixmap row.
static void fill_rows(zePixmap *p, int x, int y, double rx, double ry, int c) {
    rx = fabs(rx), ry = fabs(ry);
    double top = y - ry, bottom = y + ry;
    int r0 = top > 0 ? (int)ceil(top) : 0;
    int r1 = bottom < p->height - 1 ? (int)floor(bottom) : p->height - 1;
    for (int row = r0; row <= r1; row++) {
        double d = ry > 0 ? (row - (double)y) / ry : 0;
        double half = rx * sqrt(d * d < 1 ? 1 - d * d : 0);
        span(p, coord(x - half + 0.5), coord(x + half + 0.5), row, c);
    }
}

void zepxmap_fillellipse(zePixmap *p, int x, int y, int rx, int ry, int c) {
    int r = rx > ry ? rx : ry;
    if (r < 0) return;
    if (r > CURVE_MAX_RADIUS) return fill_rows(p, x, y, rx, ry, c);
    double step = r ? M_PI / (4.0 * step_radius(r)) : M_PI;
    for (double t = M_PI / 2; t <= 3 * M_PI / 2 + 1e-12; t += step)
        span(p, coord(x + rx * cos(t)), coord(x - rx * cos(t)), coord(y + ry * sin(t)), c);
}

void zepxmap_fillcircle(zePixmap *p, int x, int y, int r, int c) {
    if (r < 0) return;
    if (r > CURVE_MAX_RADIUS) return fill_rows(p, x, y, r, r, c);
    double step = r ? M_PI / (12.0 * step_radius(r)) : M_PI;
    for (double t = M_PI / 2; t <= 3 * M_PI / 2 + 1e-12; t += step)
        span(p, coord(x + r * cos(t) + 0.5), coord(x - r * cos(t) + 0.5), coord(y + r * sin(t) + 0.5), c);
}

// Corner arithmetic in 64 bits: x + w of a rectangle may leave the int range.
static int sat(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v; }

void zepxmap_rect3d(zePixmap *p, int x, int y, int w, int h, int ctl, int cbr) {
    int r = sat((int64_t)x + w - 1), b = sat((int64_t)y + h - 1), x1 = sat((int64_t)x + 1);
    zepxmap_line(p, x, y, r, y, ctl);
    zepxmap_line(p, x, y, x, b, ctl);
    zepxmap_line(p, r, y, r, b, cbr);
    zepxmap_line(p, x1, b, r, b, cbr);
}

void zepxmap_rect(zePixmap *p, int x, int y, int w, int h, int c) { zepxmap_rect3d(p, x, y, w, h, c, c); }

void zepxmap_fillrect3d(zePixmap *p, int x, int y, int w, int h, int cfill, int ctl, int cbr) {
    zepxmap_fillrect(p, sat((int64_t)x + 1), sat((int64_t)y + 1), sat((int64_t)w - 2), sat((int64_t)h - 2), cfill);
    zepxmap_rect3d(p, x, y, w, h, ctl, cbr);
}

void zepxmap_shadowrect(zePixmap *p, int x, int y, int w, int h, int c) {
    zepxmap_rect(p, x, y, w, h, c);
    int r = sat((int64_t)x + w), r1 = sat((int64_t)x + w + 1), b = sat((int64_t)y + h), b1 = sat((int64_t)y + h + 1);
    int x2 = sat((int64_t)x + 2), y2 = sat((int64_t)y + 2);
    zepxmap_line(p, r, y2, r, b1, c);
    zepxmap_line(p, r1, y2, r1, b1, c);
    zepxmap_line(p, x2, b, r, b, c);
    zepxmap_line(p, x2, b1, r, b1, c);
}

void zepxmap_floodfill(zePixmap *p, int x, int y, int c) {
    if (p->format == ZEPX_SCREEN || !p->pixels) return;   // nothing to read back
    int target = zepxmap_getpixel(p, x, y);
    if (target == -1 && (x < 0 || y < 0 || x >= p->width || y >= p->height)) return;
    if (target == c) return;
    // A colour that the format stores differently (a palette index above 255)
    // could equal the target after storing; the visited map ends the walk anyway.
    std::vector<uint8_t> visited((size_t)p->width * p->height, 0);
    std::vector<int32_t> work;
    work.push_back(x);
    work.push_back(y);
    while (!work.empty()) {
        int py = work.back();
        work.pop_back();
        int px = work.back();
        work.pop_back();
        if (px < 0 || py < 0 || px >= p->width || py >= p->height) continue;
        size_t i = (size_t)py * p->width + px;
        if (visited[i] || zepxmap_getpixel(p, px, py) != target) continue;
        visited[i] = 1;
        zepxmap_setpixel(p, px, py, c);
        // pushed in reverse so that left is visited first, then right, up, down
        const int next[4][2] = {{px, py + 1}, {px, py - 1}, {px + 1, py}, {px - 1, py}};
        for (const auto &n : next) {
            work.push_back(n[0]);
            work.push_back(n[1]);
        }
    }
}
