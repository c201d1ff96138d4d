// Drawing primitives on a pixmap. Outlines and curves collect their points in
// one point buffer (kept between primitives, only grows) and set them as one
// batch. The graphic output commands 1001-1050 call these.
#pragma once
#include "zepxmap.h"

// Point batches: add points (those outside the pixmap are dropped), then set
// them all in one colour. The buffer is shared; one batch at a time.
void zepxmap_points_begin(void);
void zepxmap_points_add(const zePixmap *p, int x, int y);
void zepxmap_points_flush(zePixmap *p, int color);
int zepxmap_points_capacity(void);   // points the buffer holds (multiple of 1000)

// Lines set the current point to (x2, y2).
void zepxmap_line(zePixmap *p, int x1, int y1, int x2, int y2, int c);
void zepxmap_lineto(zePixmap *p, int x, int y, int c);
// Dashed: "on" plotted points, then "off" steps skipped; the end point is always set.
void zepxmap_dashline(zePixmap *p, int x1, int y1, int x2, int y2, int c, int on, int off);
void zepxmap_arc(zePixmap *p, int x, int y, int rx, int ry, int a1, int a2, int c);
void zepxmap_circle(zePixmap *p, int x, int y, int r, int c);
void zepxmap_fillcircle(zePixmap *p, int x, int y, int r, int c);
void zepxmap_fillellipse(zePixmap *p, int x, int y, int rx, int ry, int c);
void zepxmap_rect(zePixmap *p, int x, int y, int w, int h, int c);
void zepxmap_rect3d(zePixmap *p, int x, int y, int w, int h, int ctl, int cbr);
void zepxmap_fillrect3d(zePixmap *p, int x, int y, int w, int h, int cfill, int ctl, int cbr);
void zepxmap_shadowrect(zePixmap *p, int x, int y, int w, int h, int c);
void zepxmap_floodfill(zePixmap *p, int x, int y, int c);
