// Graphic outputs: anything that executes the numbered drawing commands
// (pixmaps, windows, views, the PostScript writer). The drawing functions
// below send their command to the one current output and return 0 when none
// is set. Arguments are sent in the order listed; "c" is a colour, or a
// palette index on palette8 targets.
#pragma once
#include "zebase.h"

enum {
    ZEGOUT_SETPIXEL = 1001,      // x, y, c
    ZEGOUT_CIRCLE = 1002,        // x, y, r, c
    ZEGOUT_FILLCIRCLE = 1003,    // x, y, r, c
    ZEGOUT_RECT = 1004,          // x, y, w, h, c
    ZEGOUT_RECT3D = 1005,        // x, y, w, h, c top-left, c bottom-right
    ZEGOUT_FILLRECT = 1006,      // x, y, w, h, c
    ZEGOUT_FILLRECT3D = 1007,    // x, y, w, h, c fill, c top-left, c bottom-right
    ZEGOUT_SHADOWRECT = 1008,    // x, y, w, h, c
    ZEGOUT_LINE = 1009,          // x1, y1, x2, y2, c
    ZEGOUT_LINETO = 1010,        // x, y, c
    ZEGOUT_MOVETO = 1011,        // x, y
    ZEGOUT_DASHLINETO = 1012,    // x, y, c (3 on, 3 off)
    ZEGOUT_FLOODFILL = 1013,     // x, y, c
    ZEGOUT_ARC = 1014,           // x, y, rx, ry, start degrees, end degrees, c
    ZEGOUT_ELLIPSE = 1015,       // x, y, rx, ry, c
    ZEGOUT_FILLELLIPSE = 1016,   // x, y, rx, ry, c
    ZEGOUT_FLUSH = 1017,
    ZEGOUT_CLEAR = 1018,         // c
    ZEGOUT_TEXT = 1019,          // x, y, c, text
    ZEGOUT_TEXTWRAP = 1020,      // x, y, w, h, c, text, measure only -> height used
    ZEGOUT_TEXTCENTER = 1021,    // y, c, text
    ZEGOUT_SAVE = 1022,          // "file,options" -> success
    ZEGOUT_LOAD = 1023,          // x, y, "file,options" -> success
    ZEGOUT_XPM = 1024,           // x, y, const char *const *xpm, "options" (palettecode=) -> success
    ZEGOUT_SETPALETTE = 1025,    // index, c
    ZEGOUT_GETPIXEL = 1026,      // x, y -> value
    ZEGOUT_SETFONT = 1027,       // font id
    ZEGOUT_SETFONT_DESC = 1028,  // const char *const *description
    ZEGOUT_SETFONT_SYSTEM = 1029,// const char *description
    ZEGOUT_MERGEOBJECT = 1034,   // object (starts with a zePixmap), tx, ty, w, h, sx, sy
    ZEGOUT_SETTRANSPARENT = 1035,// c
    ZEGOUT_TEXTWIDTH = 1036,     // text -> pixels
    ZEGOUT_FONTHEIGHT = 1037,    // -> pixels
    ZEGOUT_CHARWIDTH = 1038,     // ch -> pixels
    ZEGOUT_NOTHING = 1039,
    ZEGOUT_SELF = 1041,          // -> the output itself
    ZEGOUT_WIDTH = 1043,
    ZEGOUT_HEIGHT = 1044,
    ZEGOUT_MERGEPXMAP = 1045,    // x, y, zePixmap*
    ZEGOUT_XPM_PALETTE = 1046,   // x, y, const char *const *xpm, const int32_t *palette (256)
    ZEGOUT_DASHLINE = 1047,      // x1, y1, x2, y2, c, on, off
    ZEGOUT_CHAR = 1048,          // x, y, c, ch
    ZEGOUT_RESERVED1 = 1049,
    ZEGOUT_RESERVED2 = 1050,
};

// The current graphic output: one (handler, owner) pair and one save slot.
void zegout_set(zeHandler h, void *owner);
void zegout_unset(zeHandler h, void *owner);   // only when that pair is current
// Unsets the pair wherever it is held, the save slot included: for outputs
// that are being destroyed, so that a later restore cannot bring them back.
void zegout_forget(zeHandler h, void *owner);
void zegout_save(void);
void zegout_restore(void);
zeHandler zegout_handler(void);                // 0 when none
void *zegout_owner(void);
// Sends a command to the current output; 0 when none is set.
zearg zegout_send(int cmd, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0,
                  zearg a5 = 0, zearg a6 = 0, zearg a7 = 0, zearg a8 = 0);

// Drawing functions on the current output.
zearg zegraphic_setpixel(int x, int y, int c);
zearg zegraphic_getpixel(int x, int y);
zearg zegraphic_circle(int x, int y, int r, int c);
zearg zegraphic_fillcircle(int x, int y, int r, int c);
zearg zegraphic_rect(int x, int y, int w, int h, int c);
zearg zegraphic_rect3d(int x, int y, int w, int h, int ctopleft, int cbottomright);
zearg zegraphic_fillrect(int x, int y, int w, int h, int c);
zearg zegraphic_fillrect3d(int x, int y, int w, int h, int cfill, int ctopleft, int cbottomright);
zearg zegraphic_shadowrect(int x, int y, int w, int h, int c);
zearg zegraphic_line(int x1, int y1, int x2, int y2, int c);
zearg zegraphic_lineto(int x, int y, int c);
zearg zegraphic_moveto(int x, int y);
zearg zegraphic_dashlineto(int x, int y, int c);
zearg zegraphic_dashline(int x1, int y1, int x2, int y2, int c, int on, int off);
// A line in c1 and beside it (right of a vertical one, else below) the same in c2.
zearg zegraphic_etchedline(int x1, int y1, int x2, int y2, int c1, int c2);
zearg zegraphic_floodfill(int x, int y, int c);
zearg zegraphic_arc(int x, int y, int rx, int ry, int a1, int a2, int c);
zearg zegraphic_ellipse(int x, int y, int rx, int ry, int c);
zearg zegraphic_fillellipse(int x, int y, int rx, int ry, int c);
zearg zegraphic_flush(void);
zearg zegraphic_clear(int c);
zearg zegraphic_text(int x, int y, int c, const char *text);
zearg zegraphic_textwrap(int x, int y, int w, int h, int c, const char *text, bool measureonly);
zearg zegraphic_textcenter(int y, int c, const char *text);
zearg zegraphic_char(int x, int y, int c, int ch);
zearg zegraphic_setfont(int fontid);
zearg zegraphic_setfont_desc(const char *const *desc);
zearg zegraphic_setfont_system(const char *desc);
zearg zegraphic_textwidth(const char *text);
zearg zegraphic_fontheight(void);
zearg zegraphic_charwidth(int ch);
zearg zegraphic_setpalette(int index, int c);
zearg zegraphic_settransparent(int c);
zearg zegraphic_width(void);
zearg zegraphic_height(void);
zearg zegraphic_output(void);
// Formats "file,options" (printf form) and saves / loads through the current output.
zearg zegraphic_save(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
zearg zegraphic_load(int x, int y, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
zearg zegraphic_xpm(int x, int y, const char *const *xpm, const char *fmt, ...) __attribute__((format(printf, 4, 5)));
zearg zegraphic_xpm_palette(int x, int y, const char *const *xpm, const int32_t *palette);
struct zePixmap;
zearg zegraphic_mergepxmap(int x, int y, zePixmap *p);
zearg zegraphic_mergeobject(void *object, int tx, int ty, int w, int h, int sx, int sy);
