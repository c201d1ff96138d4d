// A pixmap as a graphic output: creation from an option string and the
// handler that executes the numbered drawing commands.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecolor.h"
#include "zegout.h"
#include "zeimage.h"
#include "zepxmap_draw.h"

static zeTextHooks notext = {};
static const zeTextHooks *text = &notext;

void zepxmap_set_text_hooks(const zeTextHooks *hooks) { text = hooks ? hooks : &notext; }
const zeTextHooks *zepxmap_text_hooks(void) { return text; }

bool zepxmapout_create(zeGraphicOutput *out, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char **e = zecfgstr_vparse_alloc(fmt, ap);
    va_end(ap);
    zepxmap_init(&out->pxmap);
    out->font = -1;
    out->ownspxmap = true;
    if (!e) return false;

    zeImageAttr img = {};
    img.x = img.y = img.xs = img.ys = -1;
    zecfgstr_imageattr(e, 1, &img);
    int format = zecfgstr_pxmapformat(e, 1, ZEPX_TRUECOLOR);
    int bg = -1;
    bool hasbg = zecfgstr_bgcolor(e, 1, &bg);
    bool nostdout = false;
    zecfgstr_flag(e, 1, "nostdout", &nostdout);
    zecfgstr_flag(e, 1, "nostandardout", &nostdout);
    zecfgstr_split_release(e);

    int w = img.xs > 0 ? img.xs : 0, h = img.ys > 0 ? img.ys : 0;
    int px = img.x > 0 ? img.x : 0, py = img.y > 0 ? img.y : 0;
    bool picture = img.load[0] != 0;
    if (picture && !zegetpicturesizes(img.load, &w, &h)) picture = false;

    zePixmap *p = &out->pxmap;
    p->width = w;
    p->height = h;
    p->format = format;
    if (!zepxmap_allocate(p)) {
        zepxmap_init(p);
        return false;
    }
    if (hasbg && bg != -1) zepxmap_clear(p, bg);
    if (!nostdout) zegout_set(zepxmapout_handler, out);
    if (!picture) return true;
    bool loaded = zegraphic_gloadintern_file(p, px, py, "%s", img.load);
    return loaded || zeimage_filetype(img.load) != ZEIMG_PCX;
}

void zepxmapout_wrap(zeGraphicOutput *out, const zePixmap *p) {
    out->pxmap = *p;
    out->font = -1;
    out->ownspxmap = false;
}

void zepxmapout_release(zeGraphicOutput *out) {
    zegout_forget(zepxmapout_handler, out);
    if (out->ownspxmap)
        zepxmap_release(&out->pxmap);
    else
        zepxmap_init(&out->pxmap);
}

// Draws an in-memory XPM picture at (x, y) with the given palette code; an
// optional palette replaces the picture's own.
static bool draw_xpm(zePixmap *p, int x, int y, const char *const *xpm, int code, const int32_t *palette) {
    zePixmap tmp;
    zepxmap_init(&tmp);
    if (!xpm || !zepxmap_createfrommem_xpm(&tmp, xpm)) return false;
    if (palette) memcpy(tmp.palette, palette, 256 * 4);
    bool ok = zepxmap_merge4(p, &tmp, x, y, 0, 0, -1, -1, code, 0);
    zepxmap_release(&tmp);
    return ok;
}

static int palettecode_of(const char *options) {
    if (!options || !*options) return 0;
    char **e = zecfgstr_split_alloc(options);
    if (!e) return 0;
    zeImageAttr img = {};
    zecfgstr_imageattr(e, 0, &img);
    zecfgstr_split_release(e);
    return img.palettecode;
}

intptr_t zepxmapout_handler(void *owner, int msg, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                            intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8) {
    zeGraphicOutput *o = (zeGraphicOutput *)owner;
    if (!o) return 0;
    return zepxmap_command(&o->pxmap, &o->font, o, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

intptr_t zepxmap_command(zePixmap *p, int32_t *font, void *self, int msg, intptr_t a1, intptr_t a2, intptr_t a3,
                         intptr_t a4, intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8) {
    if (!p) return 0;
    int32_t nofont = -1;
    if (!font) font = &nofont;
    int i1 = (int)a1, i2 = (int)a2, i3 = (int)a3, i4 = (int)a4, i5 = (int)a5, i6 = (int)a6, i7 = (int)a7;
    switch (msg) {
    case ZEGOUT_SETPIXEL: zepxmap_setpixel(p, i1, i2, i3); return 0;
    case ZEGOUT_CIRCLE: zepxmap_circle(p, i1, i2, i3, i4); return 0;
    case ZEGOUT_FILLCIRCLE: zepxmap_fillcircle(p, i1, i2, i3, i4); return 0;
    case ZEGOUT_RECT: zepxmap_rect(p, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_RECT3D: zepxmap_rect3d(p, i1, i2, i3, i4, i5, i6); return 0;
    case ZEGOUT_FILLRECT: zepxmap_fillrect(p, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_FILLRECT3D: zepxmap_fillrect3d(p, i1, i2, i3, i4, i5, i6, i7); return 0;
    case ZEGOUT_SHADOWRECT: zepxmap_shadowrect(p, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_LINE: zepxmap_line(p, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_LINETO: zepxmap_lineto(p, i1, i2, i3); return 0;
    case ZEGOUT_MOVETO: p->curx = i1, p->cury = i2; return 0;
    case ZEGOUT_DASHLINETO: zepxmap_dashline(p, p->curx, p->cury, i1, i2, i3, 3, 3); return 0;
    case ZEGOUT_FLOODFILL: zepxmap_floodfill(p, i1, i2, i3); return 0;
    case ZEGOUT_ARC: zepxmap_arc(p, i1, i2, i3, i4, i5, i6, i7); return 0;
    case ZEGOUT_ELLIPSE: zepxmap_arc(p, i1, i2, i3, i4, 0, 360, i5); return 0;
    case ZEGOUT_FILLELLIPSE: zepxmap_fillellipse(p, i1, i2, i3, i4, i5); return 0;
    case ZEGOUT_FLUSH: return 0;
    case ZEGOUT_CLEAR: zepxmap_clear(p, i1); return 0;
    case ZEGOUT_TEXT:
        if (text->draw_text && a4) text->draw_text(p, *font, i1, i2, i3, (const char *)a4);
        return 0;
    case ZEGOUT_TEXTWRAP:
        if (!text->draw_wrapped || !a6) return 0;
        return text->draw_wrapped(p, *font, i1, i2, i3, i4, i5, (const char *)a6, a7 != 0);
    case ZEGOUT_TEXTCENTER: {
        if (!text->draw_text || !text->text_width || !a3) return 0;
        int x = (p->width - text->text_width(*font, (const char *)a3)) / 2;
        text->draw_text(p, *font, x, i1, i2, (const char *)a3);
        return 0;
    }
    case ZEGOUT_CHAR:
        if (text->draw_char) text->draw_char(p, *font, i1, i2, i3, i4);
        return 0;
    case ZEGOUT_SAVE: return a1 ? zepxmap_savetofile(p, "%s", (const char *)a1) : 0;
    case ZEGOUT_LOAD: return a3 ? zegraphic_gloadintern_file(p, i1, i2, "%s", (const char *)a3) : 0;
    case ZEGOUT_XPM: return draw_xpm(p, i1, i2, (const char *const *)a3, palettecode_of((const char *)a4), nullptr);
    case ZEGOUT_XPM_PALETTE:
        return draw_xpm(p, i1, i2, (const char *const *)a3, 0, (const int32_t *)a4);
    case ZEGOUT_SETPALETTE: zepxmap_setpalette(p, i1, i2); return 0;
    case ZEGOUT_GETPIXEL: return zepxmap_getpixel(p, i1, i2);
    case ZEGOUT_SETFONT: *font = i1; return 0;
    case ZEGOUT_SETFONT_DESC:
    case ZEGOUT_SETFONT_SYSTEM: {
        int id = -1;
        if (msg == ZEGOUT_SETFONT_DESC && text->font_from_desc && a1)
            id = text->font_from_desc((const char *const *)a1);
        if (msg == ZEGOUT_SETFONT_SYSTEM && text->font_from_system && a1)
            id = text->font_from_system((const char *)a1);
        if (id != -1) *font = id;
        return id;
    }
    case ZEGOUT_MERGEOBJECT:
        if (!a1) return 0;
        return zepxmap_merge4(p, (zePixmap *)a1, i2, i3, i6, i7, i4, i5, 0, 0);
    case ZEGOUT_SETTRANSPARENT: zepxmap_settransparent(p, i1); return 0;
    case ZEGOUT_TEXTWIDTH: return text->text_width && a1 ? text->text_width(*font, (const char *)a1) : 0;
    case ZEGOUT_FONTHEIGHT: return text->font_height ? text->font_height(*font) : 0;
    case ZEGOUT_CHARWIDTH: return text->char_width ? text->char_width(*font, i1) : 0;
    case ZEGOUT_NOTHING: return 0;
    case ZEGOUT_SELF: return (intptr_t)self;
    case ZEGOUT_WIDTH: return p->width;
    case ZEGOUT_HEIGHT: return p->height;
    case ZEGOUT_MERGEPXMAP: return a3 ? zepxmap_merge4(p, (zePixmap *)a3, i1, i2, 0, 0, -1, -1, 0, 0) : 0;
    case ZEGOUT_DASHLINE: zepxmap_dashline(p, i1, i2, i3, i4, i5, i6, i7); return 0;
    case ZEGOUT_RESERVED1: return p->reserved1;
    case ZEGOUT_RESERVED2: return (intptr_t)p->reserved2;
    default: return 0;
    }
    (void)a8;
}
