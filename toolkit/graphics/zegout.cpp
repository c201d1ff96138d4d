// The current graphic output and the drawing functions that send their
// commands to it.
#include "zegout.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include "zecfgstr.h"

static zeHandler cur_handler;
static void *cur_owner;
static zeHandler saved_handler;
static void *saved_owner;

void zegout_set(zeHandler h, void *owner) {
    cur_handler = h;
    cur_owner = owner;
}

void zegout_unset(zeHandler h, void *owner) {
    if (cur_handler == h && cur_owner == owner) cur_handler = nullptr, cur_owner = nullptr;
}

void zegout_forget(zeHandler h, void *owner) {
    zegout_unset(h, owner);
    if (saved_handler == h && saved_owner == owner) saved_handler = nullptr, saved_owner = nullptr;
}

void zegout_save(void) {
    saved_handler = cur_handler;
    saved_owner = cur_owner;
}

void zegout_restore(void) {
    cur_handler = saved_handler;
    cur_owner = saved_owner;
}

zeHandler zegout_handler(void) { return cur_handler; }
void *zegout_owner(void) { return cur_owner; }

zearg zegout_send(int cmd, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7, zearg a8) {
    if (!cur_handler) return 0;
    return cur_handler(cur_owner, cmd, a1, a2, a3, a4, a5, a6, a7, a8);
}

zearg zegraphic_setpixel(int x, int y, int c) { return zegout_send(ZEGOUT_SETPIXEL, x, y, c); }
zearg zegraphic_getpixel(int x, int y) { return zegout_send(ZEGOUT_GETPIXEL, x, y); }
zearg zegraphic_circle(int x, int y, int r, int c) { return zegout_send(ZEGOUT_CIRCLE, x, y, r, c); }
zearg zegraphic_fillcircle(int x, int y, int r, int c) { return zegout_send(ZEGOUT_FILLCIRCLE, x, y, r, c); }
zearg zegraphic_rect(int x, int y, int w, int h, int c) { return zegout_send(ZEGOUT_RECT, x, y, w, h, c); }
zearg zegraphic_rect3d(int x, int y, int w, int h, int ctl, int cbr) {
    return zegout_send(ZEGOUT_RECT3D, x, y, w, h, ctl, cbr);
}
zearg zegraphic_fillrect(int x, int y, int w, int h, int c) { return zegout_send(ZEGOUT_FILLRECT, x, y, w, h, c); }
zearg zegraphic_fillrect3d(int x, int y, int w, int h, int cfill, int ctl, int cbr) {
    return zegout_send(ZEGOUT_FILLRECT3D, x, y, w, h, cfill, ctl, cbr);
}
zearg zegraphic_shadowrect(int x, int y, int w, int h, int c) {
    return zegout_send(ZEGOUT_SHADOWRECT, x, y, w, h, c);
}
zearg zegraphic_line(int x1, int y1, int x2, int y2, int c) {
    return zegout_send(ZEGOUT_LINE, x1, y1, x2, y2, c);
}
zearg zegraphic_lineto(int x, int y, int c) { return zegout_send(ZEGOUT_LINETO, x, y, c); }
zearg zegraphic_moveto(int x, int y) { return zegout_send(ZEGOUT_MOVETO, x, y); }
zearg zegraphic_dashlineto(int x, int y, int c) { return zegout_send(ZEGOUT_DASHLINETO, x, y, c); }
zearg zegraphic_dashline(int x1, int y1, int x2, int y2, int c, int on, int off) {
    return zegout_send(ZEGOUT_DASHLINE, x1, y1, x2, y2, c, on, off);
}
zearg zegraphic_etchedline(int x1, int y1, int x2, int y2, int c1, int c2) {
    if (!cur_handler) return 0;
    zegraphic_line(x1, y1, x2, y2, c1);
    if (x1 == x2) return zegraphic_line(x1 + 1, y1, x2 + 1, y2, c2);
    return zegraphic_line(x1, y1 + 1, x2, y2 + 1, c2);
}
zearg zegraphic_floodfill(int x, int y, int c) { return zegout_send(ZEGOUT_FLOODFILL, x, y, c); }
zearg zegraphic_arc(int x, int y, int rx, int ry, int a1, int a2, int c) {
    return zegout_send(ZEGOUT_ARC, x, y, rx, ry, a1, a2, c);
}
zearg zegraphic_ellipse(int x, int y, int rx, int ry, int c) { return zegout_send(ZEGOUT_ELLIPSE, x, y, rx, ry, c); }
zearg zegraphic_fillellipse(int x, int y, int rx, int ry, int c) {
    return zegout_send(ZEGOUT_FILLELLIPSE, x, y, rx, ry, c);
}
zearg zegraphic_flush(void) { return zegout_send(ZEGOUT_FLUSH); }
zearg zegraphic_clear(int c) { return zegout_send(ZEGOUT_CLEAR, c); }
zearg zegraphic_text(int x, int y, int c, const char *text) {
    return zegout_send(ZEGOUT_TEXT, x, y, c, (zearg)text);
}
zearg zegraphic_textwrap(int x, int y, int w, int h, int c, const char *text, bool measureonly) {
    return zegout_send(ZEGOUT_TEXTWRAP, x, y, w, h, c, (zearg)text, measureonly);
}
zearg zegraphic_textcenter(int y, int c, const char *text) {
    return zegout_send(ZEGOUT_TEXTCENTER, y, c, (zearg)text);
}
zearg zegraphic_char(int x, int y, int c, int ch) { return zegout_send(ZEGOUT_CHAR, x, y, c, ch); }
zearg zegraphic_setfont(int fontid) { return zegout_send(ZEGOUT_SETFONT, fontid); }
zearg zegraphic_setfont_desc(const char *const *desc) { return zegout_send(ZEGOUT_SETFONT_DESC, (zearg)desc); }
zearg zegraphic_setfont_system(const char *desc) { return zegout_send(ZEGOUT_SETFONT_SYSTEM, (zearg)desc); }
zearg zegraphic_textwidth(const char *text) { return zegout_send(ZEGOUT_TEXTWIDTH, (zearg)text); }
zearg zegraphic_fontheight(void) { return zegout_send(ZEGOUT_FONTHEIGHT); }
zearg zegraphic_charwidth(int ch) { return zegout_send(ZEGOUT_CHARWIDTH, ch); }
zearg zegraphic_setpalette(int index, int c) { return zegout_send(ZEGOUT_SETPALETTE, index, c); }
zearg zegraphic_settransparent(int c) { return zegout_send(ZEGOUT_SETTRANSPARENT, c); }
zearg zegraphic_width(void) { return zegout_send(ZEGOUT_WIDTH); }
zearg zegraphic_height(void) { return zegout_send(ZEGOUT_HEIGHT); }
zearg zegraphic_output(void) { return zegout_send(ZEGOUT_SELF); }

// File texts may be long (up to 8192 characters after formatting).
static char *format_file_text(const char *fmt, va_list ap) {
    char *esc = zecfgstr_escape(fmt);
    char *out = (char *)malloc(8193);
    if (out) vsnprintf(out, 8193, esc, ap);
    free(esc);
    return out;
}

zearg zegraphic_save(const char *fmt, ...) {
    if (!cur_handler) return 0;
    va_list ap;
    va_start(ap, fmt);
    char *text = format_file_text(fmt, ap);
    va_end(ap);
    zearg r = text ? zegout_send(ZEGOUT_SAVE, (zearg)text) : 0;
    free(text);
    return r;
}

zearg zegraphic_load(int x, int y, const char *fmt, ...) {
    if (!cur_handler) return 0;
    va_list ap;
    va_start(ap, fmt);
    char *text = format_file_text(fmt, ap);
    va_end(ap);
    zearg r = text ? zegout_send(ZEGOUT_LOAD, x, y, (zearg)text) : 0;
    free(text);
    return r;
}

zearg zegraphic_xpm(int x, int y, const char *const *xpm, const char *fmt, ...) {
    if (!cur_handler) return 0;
    va_list ap;
    va_start(ap, fmt);
    char *text = format_file_text(fmt ? fmt : "", ap);
    va_end(ap);
    zearg r = text ? zegout_send(ZEGOUT_XPM, x, y, (zearg)xpm, (zearg)text) : 0;
    free(text);
    return r;
}

zearg zegraphic_xpm_palette(int x, int y, const char *const *xpm, const int32_t *palette) {
    return zegout_send(ZEGOUT_XPM_PALETTE, x, y, (zearg)xpm, (zearg)palette);
}
zearg zegraphic_mergepxmap(int x, int y, zePixmap *p) { return zegout_send(ZEGOUT_MERGEPXMAP, x, y, (zearg)p); }
zearg zegraphic_mergeobject(void *object, int tx, int ty, int w, int h, int sx, int sy) {
    return zegout_send(ZEGOUT_MERGEOBJECT, (zearg)object, tx, ty, w, h, sx, sy);
}
