// The geometry family: position and size with units, limits, and the
// resolution into a pixel rectangle.
#include "zecfgstr_geometry.h"
#include "zecfgstr.h"
#include <cmath>
#include <cstring>

void zecfgstr_geometry_reset(zeGeometry *g, int parentxs, int parentys) {
    memset(g, 0, sizeof *g);
    g->x = -1;
    g->xpix = g->ypix = g->xspix = g->yspix = true;
    g->xabs = g->yabs = true;
    g->parentxs = parentxs;
    g->parentys = parentys;
}

// Which value a "with unit" key sets.
enum { GX, GY, GXS, GYS };

// Reads a value with unit into the chosen field. The unit is what follows
// the last digit: "%..." or "percent" is percent, "pix"/"pixel" or nothing
// pixels. A value without a digit changes nothing.
static void set_with_unit(zeGeometry *g, int which, const char *value) {
    const char *last = nullptr;
    for (const char *s = value; *s; s++)
        if (*s >= '0' && *s <= '9') last = s;
    if (!last) return;
    const char *unit = last + 1;
    bool percent = unit[0] == '%' || zecfgstr_is(unit, "percent");
    double v = zecfgstr_real(value);
    // A unitless value is pixels, so a later "x=10" overrides an earlier
    // "x=50%" completely.
    bool pix = !percent;
    switch (which) {
    case GX: g->x = v; g->xpix = g->xabs = pix; break;
    case GY: g->y = v; g->ypix = g->yabs = pix; break;
    case GXS: g->xs = v; g->xspix = pix; break;
    case GYS: g->ys = v; g->yspix = pix; break;
    }
}

static void set_x(void *rec, const char *v, const char *) { set_with_unit((zeGeometry *)rec, GX, v); }
static void set_y(void *rec, const char *v, const char *) { set_with_unit((zeGeometry *)rec, GY, v); }
static void set_xs(void *rec, const char *v, const char *) { set_with_unit((zeGeometry *)rec, GXS, v); }
static void set_ys(void *rec, const char *v, const char *) { set_with_unit((zeGeometry *)rec, GYS, v); }

static void size_pixel(void *rec, const char *, const char *) {
    zeGeometry *g = (zeGeometry *)rec;
    g->xspix = g->yspix = true;
}

static void pos_pixel(void *rec, const char *, const char *) {
    zeGeometry *g = (zeGeometry *)rec;
    g->xpix = g->ypix = true;
}

// Prefix matches in this order; the first matching row wins.
#define GEO(field) offsetof(zeGeometry, field)
static const zeCfgKey geometry_keys[] = {
    {"sizepixel|sizepix", ZECFG_CALL, GEO(xspix), 0, size_pixel, ZECFG_PREFIX},
    {"xsizepixel|xsizepix", ZECFG_ON, GEO(xspix), 0, nullptr, ZECFG_PREFIX},
    {"ysizepixel|ysizepix", ZECFG_ON, GEO(yspix), 0, nullptr, ZECFG_PREFIX},
    {"pospixel|positionpixel|pospix", ZECFG_CALL, GEO(xpix), 0, pos_pixel, ZECFG_PREFIX},
    {"xpositionpixel|xpospixel|xpospix", ZECFG_ON, GEO(xpix), 0, nullptr, ZECFG_PREFIX},
    {"ypospixel|ypositionpixel|ypospix", ZECFG_ON, GEO(ypix), 0, nullptr, ZECFG_PREFIX},
    {"minxsize=|minxs=", ZECFG_INT, GEO(minxs)},
    {"minysize=|minys=", ZECFG_INT, GEO(minys)},
    {"maxxsize=|maxxs=", ZECFG_INT, GEO(maxxs)},
    {"maxysize=|maxys=", ZECFG_INT, GEO(maxys)},
    {"xs=|width=", ZECFG_CALL, GEO(xs), 0, set_xs},
    {"ys=|height=", ZECFG_CALL, GEO(ys), 0, set_ys},
    {"x=", ZECFG_CALL, GEO(x), 0, set_x},
    {"y=", ZECFG_CALL, GEO(y), 0, set_y},
    {nullptr},
};
#undef GEO

bool zecfgstr_geometry(char **entries, int start, zeGeometry *g) {
    zecfgstr_match(entries, start, geometry_keys, g);
    g->posgiven = g->x != -1;
    if (!g->posgiven) g->x = 0;
    return g->posgiven;
}

// Truncation toward zero into the int range (huge values cannot overflow).
static int trunc_int(double v) {
    if (!(v == v)) return 0;
    if (v > 2147483647.0) return 2147483647;
    if (v < -2147483647.0) return -2147483647;
    return (int)v;
}

static int floor_half(int w) {
    return (int)std::floor(w / 2.0);
}

// One axis: size from (pos, size) in a parent of p pixels.
static int resolve_size(int p, double pos, double size, bool sizepix, bool posabs) {
    if (sizepix) return trunc_int(size);
    if (posabs) return trunc_int(p * size / 100.0);
    // Both in percent: derive the width from the two edges so that objects
    // placed edge to edge tile without gaps.
    double d = pos - size / 2.0;
    double w = (double)trunc_int(p * (d + size) / 100.0) - (double)trunc_int(p * d / 100.0);
    return trunc_int(w);
}

static int resolve_pos(int p, double pos, int w, bool pospix, bool sizepix) {
    if (pospix) return trunc_int(pos);
    if (sizepix) return trunc_int(p * pos / 100.0 - floor_half(w));
    return trunc_int((double)trunc_int(p * pos / 100.0) - floor_half(w));
}

static int limit(int v, int min, int max) {
    if (v < min) v = min;
    if (max != 0 && v > max) v = max;
    return v;
}

void zecfgstr_geometry_natural(zeGeometry *g, int w, int h) {
    // "xs=0%" is 0 as well: the natural size is pixels whatever the unit.
    if (g->xs == 0) {
        g->xs = w;
        g->xspix = true;
    }
    if (g->ys == 0) {
        g->ys = h;
        g->yspix = true;
    }
}

void zecfgstr_geometry_resolve(zeGeometry *g) {
    int w = resolve_size(g->parentxs, g->x, g->xs, g->xspix, g->xabs);
    int h = resolve_size(g->parentys, g->y, g->ys, g->yspix, g->yabs);
    if (w > g->parentxs) w = g->parentxs;
    if (h > g->parentys) h = g->parentys;
    w = limit(w, g->minxs, g->maxxs);
    h = limit(h, g->minys, g->maxys);
    g->rxs = w;
    g->rys = h;
    g->rx = resolve_pos(g->parentxs, g->x, w, g->xpix, g->xspix);
    g->ry = resolve_pos(g->parentys, g->y, h, g->ypix, g->yspix);
}
