// The PostScript writer as graphic output: the drawing commands in pixels at
// the writer's resolution, measured from the top-left inside the borders.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include "zefont.h"
#include "zegout.h"
#include "zeimage.h"
#include "zepostscript.h"
#include "zepxmap.h"

static double ptx(const zePostScript *ps, double px) { return px / ps->xppp; }
static double pty(const zePostScript *ps, double py) { return py / ps->yppp; }
// One pixel as a line width in points.
static double pixel_width(const zePostScript *ps) { return 2 / (ps->xppp + ps->yppp); }

// ---- text metrics ------------------------------------------------------------
// Helvetica and Times are measured with the toolkit's Arial set, Courier as
// the monospace it is (0.6 em per character).

static bool is_courier(const zePostScript *ps) { return strncmp(ps->fontname, "Courier", 7) == 0; }
static double font_pixels(const zePostScript *ps) { return ps->fontsize * ps->yppp; }

static int arial_face(const zePostScript *ps, double *scale) {
    static const int sizes[] = {12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 40, 44, 48};
    double px = font_pixels(ps);
    int best = 48;
    for (int s : sizes)
        if (fabs(s - px) < fabs(best - px)) best = s;
    char name[16];
    snprintf(name, sizeof name, "Arial%d%s", best, strstr(ps->fontname, "Bold") ? "b" : "");
    *scale = px / best;
    return zefont_load_set(name);
}

static double text_width(const zePostScript *ps, const char *text, int n) {
    if (is_courier(ps)) {
        int chars = 0;
        for (int i = 0; i < n && text[i]; i++) chars += (unsigned char)text[i] >= 32;
        return chars * 0.6 * font_pixels(ps);
    }
    double scale;
    int face = arial_face(ps, &scale);
    if (face < 0) return 0.55 * font_pixels(ps) * n;
    return zefont_text_width_n(face, text, n) * scale;
}

static double line_height(const zePostScript *ps) { return 1.15 * font_pixels(ps); }

static double ascent(const zePostScript *ps) {
    double scale;
    int face = is_courier(ps) ? -1 : arial_face(ps, &scale);
    if (face < 0 || zefont_height(face) <= 0) return 0.8 * font_pixels(ps);
    return zefont_ascent(face) * scale;
}

// Text with its top-left at (x, y) pixels; a newline starts the next line at x.
static void draw_text(zePostScript *ps, int x, int y, int color, const char *text) {
    if (!text) return;
    zepostscript_setcolor(ps, color);
    double base = y + ascent(ps);
    char line[1024];
    while (*text) {
        size_t n = strcspn(text, "\n");
        size_t k = n < sizeof line - 1 ? n : sizeof line - 1;
        memcpy(line, text, k);
        line[k] = 0;
        if (k) zepostscript_text(ps, ptx(ps, x), pty(ps, base), line);
        text += n;
        if (*text == '\n') text++;
        base += line_height(ps);
    }
}

// Word-wrapped text in the box (x, y, w, h) as on pixmaps: words move to the
// next line when they would reach the right edge; lines below the box are
// measured but not drawn. Returns the height used.
static int draw_wrapped(zePostScript *ps, int x, int y, int w, int h, int color, const char *text, bool measure) {
    if (!text) return 0;
    if (!measure) zepostscript_setcolor(ps, color);
    double penx = x, peny = y, lh = line_height(ps), space = text_width(ps, " ", 1), asc = ascent(ps);
    while (*text) {
        if (*text == '\n') {
            penx = x, peny += lh, text++;
            continue;
        }
        if (*text == ' ' || *text == '\t' || *text == '\r') {
            penx += *text == ' ' ? space : *text == '\t' ? 4 * space : 0;
            text++;
            continue;
        }
        size_t n = 0;
        while (text[n] && !strchr(" \t\n\r", text[n]) && (n == 0 || text[n - 1] != '-')) n++;
        double ww = text_width(ps, text, (int)n);
        if (penx > x && penx + ww >= x + w) penx = x, peny += lh;
        if (!measure && peny < y + h) {
            char word[512];
            size_t k = n < sizeof word - 1 ? n : sizeof word - 1;
            memcpy(word, text, k);
            word[k] = 0;
            zepostscript_text(ps, ptx(ps, penx), pty(ps, peny + asc), word);
        }
        penx += ww;
        text += n;
    }
    return (int)lround(peny - y + lh);
}

// A toolkit font becomes the PostScript face it resembles, at its pixel height.
static void select_font(zePostScript *ps, int fontid) {
    const zeFont *f = zefont_get(fontid);
    if (!f) return;
    ps->font = fontid;
    bool bold = f->weight == ZEFONT_BOLD;
    const char *name = bold ? "Helvetica-Bold" : "Helvetica";
    if (f->spacing == ZEFONT_MONOSPACE || strncasecmp(f->shortname, "crnew", 5) == 0)
        name = bold ? "Courier-Bold" : "Courier";
    else if (strcasestr(f->shortname, "times") || strcasestr(f->shortname, "serif"))
        name = bold ? "Times-Bold" : "Times-Roman";
    int size = (int)lround(pty(ps, f->height));
    zepostscript_setfont(ps, name, size < 1 ? 1 : size);
}

// ---- shapes --------------------------------------------------------------

// A line between pixel centres, its ends covering the end pixels.
static void line(zePostScript *ps, int x1, int y1, int x2, int y2, int c) {
    zepostscript_setcolor(ps, c);
    zepostscript_line(ps, ptx(ps, x1 + 0.5), pty(ps, y1 + 0.5), ptx(ps, x2 + 0.5), pty(ps, y2 + 0.5), pixel_width(ps));
    ps->curx = x2;
    ps->cury = y2;
}

static void fillrect(zePostScript *ps, int x, int y, int w, int h, int c) {
    if (w <= 0 || h <= 0) return;
    zepostscript_setcolor(ps, c);
    zepostscript_fillrect(ps, ptx(ps, x), pty(ps, y), ptx(ps, w), pty(ps, h));
}

static void rect(zePostScript *ps, int x, int y, int w, int h, int ctl, int cbr) {
    if (w <= 0 || h <= 0) return;
    line(ps, x, y, x + w - 1, y, ctl);
    line(ps, x, y, x, y + h - 1, ctl);
    line(ps, x + w - 1, y, x + w - 1, y + h - 1, cbr);
    line(ps, x + 1, y + h - 1, x + w - 1, y + h - 1, cbr);
}

static void dashline(zePostScript *ps, int x1, int y1, int x2, int y2, int c, int on, int off) {
    if (on <= 0) on = 1;
    if (off < 0) off = 0;
    double dx = x2 - x1, dy = y2 - y1, len = hypot(dx, dy);
    if (len < 1 || off == 0) return line(ps, x1, y1, x2, y2, c);
    zepostscript_setcolor(ps, c);
    // at most a few thousand dashes: a longer line is drawn with longer ones
    double step = on + off, scale = len / step > 4000 ? len / step / 4000 : 1;
    for (double t = 0; t < len; t += step * scale) {
        double e = t + (on - 1) * scale;
        if (e > len) e = len;
        zepostscript_line(ps, ptx(ps, x1 + dx * t / len + 0.5), pty(ps, y1 + dy * t / len + 0.5),
                          ptx(ps, x1 + dx * e / len + 0.5), pty(ps, y1 + dy * e / len + 0.5), pixel_width(ps));
    }
    ps->curx = x2;
    ps->cury = y2;
}

// Ellipse arc from a1 to a2 degrees (y grows downward, as on pixmaps).
static void arc(zePostScript *ps, int x, int y, int rx, int ry, int a1, int a2, int c, bool fill) {
    if (rx == 0 || ry == 0 || a2 < a1) return;
    if (a2 - a1 > 360) a2 = a1 + 360;
    double r = fmax(fabs((double)rx), fabs((double)ry));
    int n = (int)fmin(720, fmax(16, r * (a2 - a1) / 90.0));
    double *xy = (double *)malloc(sizeof(double) * 2 * (n + 1));
    if (!xy) return;
    for (int i = 0; i <= n; i++) {
        double t = (a1 + (double)(a2 - a1) * i / n) * M_PI / 180;
        xy[2 * i] = ptx(ps, x + 0.5 + cos(t) * rx);
        xy[2 * i + 1] = pty(ps, y + 0.5 + sin(t) * ry);
    }
    zepostscript_setcolor(ps, c);
    zepostscript_poly(ps, xy, n + 1, fill, pixel_width(ps));
    free(xy);
}

// ---- pictures --------------------------------------------------------------

static bool picture(zePostScript *ps, const zePixmap *p, int x, int y, int sx, int sy, int w, int h) {
    if (!p) return false;
    return zepostscript_picture(ps, p, ptx(ps, x), pty(ps, y), sx, sy, w > 0 ? w : -1, h > 0 ? h : -1);
}

static bool load_picture(zePostScript *ps, int x, int y, const char *file) {
    if (!file) return false;
    char name[4096];
    snprintf(name, sizeof name, "%s", file);
    name[strcspn(name, ",")] = 0;
    int w = 0, h = 0;
    if (!zegetpicturesizes(name, &w, &h)) return false;
    zePixmap p;
    if (!zepxmap_create(&p, w, h, ZEPX_TRUECOLOR)) return false;
    bool ok = zegraphic_gloadintern_file(&p, 0, 0, "%s", file) && picture(ps, &p, x, y, 0, 0, -1, -1);
    zepxmap_release(&p);
    return ok;
}

static bool xpm_picture(zePostScript *ps, int x, int y, const char *const *xpm, const int32_t *palette) {
    zePixmap p;
    zepxmap_init(&p);
    if (!xpm || !zepxmap_createfrommem_xpm(&p, xpm)) return false;
    if (palette) memcpy(p.palette, palette, 256 * 4);
    bool ok = picture(ps, &p, x, y, 0, 0, -1, -1);
    zepxmap_release(&p);
    return ok;
}

static bool save(zePostScript *ps, const char *file) {
    if (!file) return false;
    char name[4096];
    snprintf(name, sizeof name, "%s", file);
    name[strcspn(name, ",")] = 0;
    return zepostscript_finish(ps, name);
}

intptr_t zepostscript_handler(void *owner, int msg, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5,
                              intptr_t a6, intptr_t a7, intptr_t a8) {
    zePostScript *ps = (zePostScript *)owner;
    if (!ps) return 0;
    int i1 = (int)a1, i2 = (int)a2, i3 = (int)a3, i4 = (int)a4, i5 = (int)a5, i6 = (int)a6, i7 = (int)a7;
    const zeTextHooks *text = zepxmap_text_hooks();
    int areaw = (int)((ps->ptw - ps->leftborder - ps->rightborder) * ps->xppp);
    int areah = (int)((ps->pth - ps->topborder - ps->bottomborder) * ps->yppp);
    switch (msg) {
    case ZEGOUT_SETPIXEL: fillrect(ps, i1, i2, 1, 1, i3); return 0;
    case ZEGOUT_CIRCLE: arc(ps, i1, i2, i3, i3, 0, 360, i4, false); return 0;
    case ZEGOUT_FILLCIRCLE: arc(ps, i1, i2, i3, i3, 0, 360, i4, true); return 0;
    case ZEGOUT_RECT: rect(ps, i1, i2, i3, i4, i5, i5); return 0;
    case ZEGOUT_RECT3D: rect(ps, i1, i2, i3, i4, i5, i6); return 0;
    case ZEGOUT_FILLRECT: fillrect(ps, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_FILLRECT3D:
        fillrect(ps, i1 + 1, i2 + 1, i3 - 2, i4 - 2, i5);
        rect(ps, i1, i2, i3, i4, i6, i7);
        return 0;
    case ZEGOUT_SHADOWRECT:
        rect(ps, i1, i2, i3, i4, i5, i5);
        fillrect(ps, i1 + i3, i2 + 2, 2, i4, i5);
        fillrect(ps, i1 + 2, i2 + i4, i3 - 1, 2, i5);
        return 0;
    case ZEGOUT_LINE: line(ps, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_LINETO: line(ps, ps->curx, ps->cury, i1, i2, i3); return 0;
    case ZEGOUT_MOVETO: ps->curx = i1, ps->cury = i2; return 0;
    case ZEGOUT_DASHLINETO: dashline(ps, ps->curx, ps->cury, i1, i2, i3, 3, 3); return 0;
    case ZEGOUT_DASHLINE: dashline(ps, i1, i2, i3, i4, i5, i6, i7); return 0;
    case ZEGOUT_ARC: arc(ps, i1, i2, i3, i4, i5, i6, i7, false); return 0;
    case ZEGOUT_ELLIPSE: arc(ps, i1, i2, i3, i4, 0, 360, i5, false); return 0;
    case ZEGOUT_FILLELLIPSE: arc(ps, i1, i2, i3, i4, 0, 360, i5, true); return 0;
    case ZEGOUT_CLEAR: fillrect(ps, 0, 0, areaw, areah, i1); return 0;
    case ZEGOUT_TEXT: draw_text(ps, i1, i2, i3, (const char *)a4); return 0;
    case ZEGOUT_TEXTWRAP: return draw_wrapped(ps, i1, i2, i3, i4, i5, (const char *)a6, a7 != 0);
    case ZEGOUT_TEXTCENTER:
        if (a3) draw_text(ps, (int)((areaw - text_width(ps, (const char *)a3, (int)strlen((const char *)a3))) / 2), i1, i2,
                          (const char *)a3);
        return 0;
    case ZEGOUT_CHAR: {
        char s[2] = {(char)i4, 0};
        draw_text(ps, i1, i2, i3, s);
        return 0;
    }
    case ZEGOUT_TEXTWIDTH: return a1 ? (intptr_t)lround(text_width(ps, (const char *)a1, (int)strlen((const char *)a1))) : 0;
    case ZEGOUT_FONTHEIGHT: return (intptr_t)lround(line_height(ps));
    case ZEGOUT_CHARWIDTH: {
        char s[2] = {(char)i1, 0};
        return (intptr_t)lround(text_width(ps, s, 1));
    }
    case ZEGOUT_SETFONT: select_font(ps, i1); return 0;
    case ZEGOUT_SETFONT_DESC:
    case ZEGOUT_SETFONT_SYSTEM: {
        int id = -1;
        if (msg == ZEGOUT_SETFONT_DESC && text->font_from_desc && a1) id = text->font_from_desc((const char *const *)a1);
        if (msg == ZEGOUT_SETFONT_SYSTEM && text->font_from_system && a1) id = text->font_from_system((const char *)a1);
        if (id != -1) select_font(ps, id);
        return id;
    }
    case ZEGOUT_SAVE: return save(ps, (const char *)a1);
    case ZEGOUT_LOAD: return load_picture(ps, i1, i2, (const char *)a3);
    case ZEGOUT_XPM: return xpm_picture(ps, i1, i2, (const char *const *)a3, nullptr);
    case ZEGOUT_XPM_PALETTE: return xpm_picture(ps, i1, i2, (const char *const *)a3, (const int32_t *)a4);
    case ZEGOUT_MERGEPXMAP: return picture(ps, (const zePixmap *)a3, i1, i2, 0, 0, -1, -1);
    case ZEGOUT_MERGEOBJECT: return picture(ps, (const zePixmap *)a1, i2, i3, i6, i7, i4, i5);
    case ZEGOUT_GETPIXEL: return -1;
    case ZEGOUT_SELF: return (intptr_t)ps;
    case ZEGOUT_WIDTH: return areaw;
    case ZEGOUT_HEIGHT: return areah;
    default: return 0;   // flood fill, palettes and transparency have no meaning on paper
    }
    (void)a8;
}
