// The geometry family of option strings and its resolution into a pixel
// rectangle inside a parent.
//
// Keys: "x=", "y=", "xs="/"width=", "ys="/"height=" with an optional unit
// ("%", "percent", "pix", "pixel"; none means pixels), "minxs=", "minys=",
// "maxxs=", "maxys=" (and the "...size=" spellings), and the pixel flags
// "sizepixel", "pospixel", "xsizepixel", ... A percentage x or y gives the
// centre of the object; a pixel x or y its left or top edge.
#pragma once

struct zeGeometry {
    double x, y, xs, ys;          // as given; x starts at -1 (no position)
    bool xpix, ypix, xspix, yspix; // pixel units (false: percent)
    bool xabs, yabs;               // x (y) given in pixels
    int minxs, minys, maxxs, maxys; // pixels, 0 = no limit
    int parentxs, parentys;        // parent size, set by the creator
    bool posgiven;                 // an "x=" was parsed
    int rx, ry, rxs, rys;          // resolved rectangle
};

// Resets g to the defaults (x -1, the rest 0, every unit pixels) with the
// parent size.
void zecfgstr_geometry_reset(zeGeometry *g, int parentxs, int parentys);

// Parses the geometry entries from start into g, consuming them. If x is
// still -1 afterwards it becomes 0. Returns whether a position was given.
bool zecfgstr_geometry(char **entries, int start, zeGeometry *g);

// A creator's natural size: an xs (ys) that is still 0 becomes w (h) pixels.
void zecfgstr_geometry_natural(zeGeometry *g, int w, int h);

// Resolves g against its parent size into rx, ry, rxs, rys. A creator whose
// xs or ys is 0 sets its natural size first (zecfgstr_geometry_natural).
void zecfgstr_geometry_resolve(zeGeometry *g);
