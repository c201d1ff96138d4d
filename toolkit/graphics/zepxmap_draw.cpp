// Drawing primitives on pixmaps: lines, dashed lines, arcs, ellipses,
// rectangles and flood fill, all through one growing point buffer.
#include "zepxmap_draw.h"
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

// Long lines far outside the pixmap would only produce dropped points; cut
// their ends to a generous box first so that a wild coordinate cannot make
// the walk take billions of steps. Lines inside the box are walked unchanged.
static bool line_in_range(int x1, int y1, int x2, int y2) {
    const int lim = 1 << 20;
    return abs(x1) < lim && abs(y1) < lim && abs(x2) < lim && abs(y2) < lim;
}

void zepxmap_line(zePixmap *p, int x1, int y1, int x2, int y2, int c) {
    p->curx = x2;
    p->cury = y2;
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

void zepxmap_arc(zePixmap *p, int x, int y, int rx, int ry, int a1, int a2, int c) {
    if (rx == 0 || ry == 0) return;
    double step = M_PI / (12.0 * abs(rx));
    double end = a2 * M_PI / 180.0;
    zepxmap_points_begin();
    for (double t = a1 * M_PI / 180.0; t <= end; t += step)
        zepxmap_points_add(p, (int)(x + cos(t) * rx + 0.5), (int)(y + sin(t) * ry + 0.5));
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

void zepxmap_fillellipse(zePixmap *p, int x, int y, int rx, int ry, int c) {
    int r = rx > ry ? rx : ry;
    if (r < 0) return;
    double step = r ? M_PI / (4.0 * r) : M_PI;
    for (double t = M_PI / 2; t <= 3 * M_PI / 2 + 1e-12; t += step)
        span(p, (int)(x + rx * cos(t)), (int)(x - rx * cos(t)), (int)(y + ry * sin(t)), c);
}

void zepxmap_fillcircle(zePixmap *p, int x, int y, int r, int c) {
    if (r < 0) return;
    double step = r ? M_PI / (12.0 * r) : M_PI;
    for (double t = M_PI / 2; t <= 3 * M_PI / 2 + 1e-12; t += step)
        span(p, (int)(x + r * cos(t) + 0.5), (int)(x - r * cos(t) + 0.5), (int)(y + r * sin(t) + 0.5), c);
}

void zepxmap_rect3d(zePixmap *p, int x, int y, int w, int h, int ctl, int cbr) {
    zepxmap_line(p, x, y, x + w - 1, y, ctl);
    zepxmap_line(p, x, y, x, y + h - 1, ctl);
    zepxmap_line(p, x + w - 1, y, x + w - 1, y + h - 1, cbr);
    zepxmap_line(p, x + 1, y + h - 1, x + w - 1, y + h - 1, cbr);
}

void zepxmap_rect(zePixmap *p, int x, int y, int w, int h, int c) { zepxmap_rect3d(p, x, y, w, h, c, c); }

void zepxmap_fillrect3d(zePixmap *p, int x, int y, int w, int h, int cfill, int ctl, int cbr) {
    zepxmap_fillrect(p, x + 1, y + 1, w - 2, h - 2, cfill);
    zepxmap_rect3d(p, x, y, w, h, ctl, cbr);
}

void zepxmap_shadowrect(zePixmap *p, int x, int y, int w, int h, int c) {
    zepxmap_rect(p, x, y, w, h, c);
    zepxmap_line(p, x + w, y + 2, x + w, y + h + 1, c);
    zepxmap_line(p, x + w + 1, y + 2, x + w + 1, y + h + 1, c);
    zepxmap_line(p, x + 2, y + h, x + w, y + h, c);
    zepxmap_line(p, x + 2, y + h + 1, x + w, y + h + 1, c);
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
