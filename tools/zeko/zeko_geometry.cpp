// zeko geometry OPTIONS PARENT_WIDTH PARENT_HEIGHT: the rectangle a control's
// option string resolves to in a parent of that size.
#include "zeko.h"
#include "zecfgstr.h"
#include "zecfgstr_geometry.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A whole, non-negative decimal number (a parent size).
static bool read_size(const char *s, int *out) {
    char *end = nullptr;
    long v = strtol(s, &end, 10);
    if (!*s || *end || v < 0 || v > 1000000) return false;
    *out = (int)v;
    return true;
}

int zeko_geometry(int argc, char **argv) {
    if (argc != 3) return zeko_fail("geometry: usage: zeko geometry OPTIONS PARENT_WIDTH PARENT_HEIGHT");
    int pw, ph;
    if (!read_size(argv[1], &pw)) return zeko_fail("geometry: bad parent width \"%s\"", argv[1]);
    if (!read_size(argv[2], &ph)) return zeko_fail("geometry: bad parent height \"%s\"", argv[2]);
    if (strlen(argv[0]) > ZECFGSTR_TEXTMAX)
        return zeko_fail("geometry: option string longer than %d characters", ZECFGSTR_TEXTMAX);
    // The options are the formatted text already: pass them as an argument,
    // never as a format.
    alignas(char *) char buf[ZECFGSTR_SPLITBUF];
    char **entries = zecfgstr_parse(buf, "%s", argv[0]);
    zeGeometry g;
    zecfgstr_geometry_reset(&g, pw, ph);
    zecfgstr_geometry(entries, 1, &g);
    zecfgstr_geometry_resolve(&g);
    printf("x=%d y=%d w=%d h=%d\n", g.rx, g.ry, g.rxs, g.rys);
    return 0;
}
