// The PostScript writer: page geometry, prolog, text, colours, lines, shapes
// and pictures as hexadecimal image data.
#include "zepostscript.h"
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include "zecfgstr.h"
#include "zefile.h"
#include "zegout.h"
#include "zeimage.h"
#include "zepxmap.h"

// Paper formats in inches, portrait (width x height).
static const struct {
    const char *keyword;
    int number;
    double w, h;
} papers[] = {
    {"a4", ZEPS_A4, 8.26389, 11.6944},     {"a3", ZEPS_A3, 11.6944, 16.5417},
    {"a2", ZEPS_A2, 16.5417, 23.3889},     {"a1", ZEPS_A1, 23.3889, 33.1111},
    {"a0", ZEPS_A0, 33.1111, 46.8056},     {"a5", ZEPS_A5, 5.83333, 8.26389},
    {"a6", ZEPS_A6, 4.125, 5.83333},       {"a7", ZEPS_A7, 2.91667, 4.125},
    {"a8", ZEPS_A8, 2.05556, 2.91667},     {"a9", ZEPS_A9, 1.48611, 2.05556},
    {"letter", ZEPS_LETTER, 8.5, 11},      {"legal", ZEPS_LEGAL, 8.5, 14},
};

// ISO 8859-1 glyph names from code 0240 on, as PostScript names them. The
// two below 0242 and the quotes are set too, so that every Latin-1 byte
// prints as it does in the PDF (whose fonts use the Windows encoding).
static const char *const latin1_names[96] = {
    "space", "exclamdown", "cent", "sterling", "currency", "yen", "brokenbar", "section",
    "dieresis", "copyright", "ordfeminine", "guillemotleft", "logicalnot", "hyphen", "registered", "macron",
    "degree", "plusminus", "twosuperior", "threesuperior", "acute", "mu", "paragraph", "periodcentered",
    "cedilla", "onesuperior", "ordmasculine", "guillemotright", "onequarter", "onehalf", "threequarters",
    "questiondown", "Agrave", "Aacute", "Acircumflex", "Atilde", "Adieresis", "Aring", "AE", "Ccedilla",
    "Egrave", "Eacute", "Ecircumflex", "Edieresis", "Igrave", "Iacute", "Icircumflex", "Idieresis",
    "Eth", "Ntilde", "Ograve", "Oacute", "Ocircumflex", "Otilde", "Odieresis", "multiply",
    "Oslash", "Ugrave", "Uacute", "Ucircumflex", "Udieresis", "Yacute", "Thorn", "germandbls",
    "agrave", "aacute", "acircumflex", "atilde", "adieresis", "aring", "ae", "ccedilla",
    "egrave", "eacute", "ecircumflex", "edieresis", "igrave", "iacute", "icircumflex", "idieresis",
    "eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde", "odieresis", "divide",
    "oslash", "ugrave", "uacute", "ucircumflex", "udieresis", "yacute", "thorn", "ydieresis",
};

// Copies a font dictionary, replaces the listed codes of its encoding and
// defines the copy under the new name: basename newname vector ReEncode.
static const char reencode_proc[] =
    "/ReEncode {\n"
    "  /vec exch def /newname exch def /basename exch def\n"
    "  /basedict basename findfont def\n"
    "  /newdict basedict maxlength dict def\n"
    "  basedict { exch dup /FID ne { exch newdict 3 1 roll put } { pop pop } ifelse } forall\n"
    "  newdict /Encoding basedict /Encoding get 256 array copy put\n"
    "  vec aload length 2 idiv { newdict /Encoding get 3 1 roll put } repeat\n"
    "  newname newdict definefont pop\n"
    "} bind def\n";

static void out(zePostScript *ps, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
static void out(zePostScript *ps, const char *fmt, ...) {
    if (!ps->f || ps->finished) return;
    va_list ap;
    va_start(ap, fmt);
    if (vfprintf(ps->f, fmt, ap) < 0) ps->failed = true;
    va_end(ap);
}

static bool writable(const zePostScript *ps) { return ps->f && !ps->finished; }

// Coordinates leave the writer as finite numbers a PDF reader accepts.
static double num(double v) {
    if (!std::isfinite(v)) return 0;
    return v > 1e6 ? 1e6 : v < -1e6 ? -1e6 : v;
}

// ---------------------------------------------------------------------------
// Options and page geometry.

static void parse_options(zePostScript *ps, char **e) {
    double dpi = 300, xdpi = 0, ydpi = 0;
    for (int i = 0; e && e[i]; i++) {
        char s[ZECFGSTR_ENTRYMAX + 1];
        zecfgstr_squeeze(e[i], s, sizeof s);
        const char *v;
        if ((v = zecfgstr_key(s, "dpi="))) dpi = zecfgstr_real(v);
        else if ((v = zecfgstr_match_keys(s, "xdpi=|x-dpi="))) xdpi = zecfgstr_real(v);
        else if ((v = zecfgstr_match_keys(s, "ydpi=|y-dpi="))) ydpi = zecfgstr_real(v);
        else if ((v = zecfgstr_key(s, "topborder="))) ps->topborder = zecfgstr_real(v);
        else if ((v = zecfgstr_key(s, "bottomborder="))) ps->bottomborder = zecfgstr_real(v);
        else if ((v = zecfgstr_key(s, "leftborder="))) ps->leftborder = zecfgstr_real(v);
        else if ((v = zecfgstr_key(s, "rightborder="))) ps->rightborder = zecfgstr_real(v);
        else if (zecfgstr_is(s, "portrait")) ps->landscape = false;
        else if (zecfgstr_is(s, "landscape")) ps->landscape = true;
        else if (zecfgstr_match_keys(s, "truecolor|truecolors|hicolor|highcolor")) ps->truecolor = true;
        else
            for (const auto &p : papers)
                if (zecfgstr_is(s, p.keyword)) ps->format = p.number;
    }
    // a resolution of 0 or less would divide by zero further on
    ps->xdpi = xdpi > 0 ? xdpi : dpi;
    ps->ydpi = ydpi > 0 ? ydpi : dpi;
    if (!(ps->xdpi >= 1)) ps->xdpi = 300;
    if (!(ps->ydpi >= 1)) ps->ydpi = 300;
}

static void page_geometry(zePostScript *ps) {
    double w = papers[0].w, h = papers[0].h;
    bool found = false;
    for (const auto &p : papers)
        if (p.number == ps->format) w = p.w, h = p.h, found = true;
    if (!found) printf("zePostScript: unsupported format %d\n", ps->format);
    if (ps->landscape) {
        double t = w;
        w = h;
        h = t;
    }
    ps->inchw = w;
    ps->inchh = h;
    ps->xppp = ps->xdpi / 72;
    ps->yppp = ps->ydpi / 72;
    ps->pixw = (int)lround(w * ps->xdpi);
    ps->pixh = (int)lround(h * ps->ydpi);
    ps->ptw = w * 72;
    ps->pth = h * 72;
}

// The sheet as printed: in landscape the page lies turned on a portrait sheet.
static void sheet_points(const zePostScript *ps, int *w, int *h) {
    double sw = ps->landscape ? ps->pth : ps->ptw, sh = ps->landscape ? ps->ptw : ps->pth;
    *w = (int)lround(sw);
    *h = (int)lround(sh);
}

static void page_start(zePostScript *ps) {
    ps->pages++;
    out(ps, "%%%%Page: %d %d\n", ps->pages, ps->pages);
    if (ps->landscape) out(ps, "%%%%ze landscape\n/pagelevel save def\n%d 0 translate 90 rotate\n", (int)lround(ps->pth));
    ps->color = -1;
    out(ps, "/%s /ISOfont ISOvec ReEncode /ISOfont findfont\n%d scalefont\nsetfont\n", ps->fontname, ps->fontsize);
}

static void page_end(zePostScript *ps) {
    if (ps->landscape) out(ps, "pagelevel restore\n");
}

static void write_header(zePostScript *ps) {
    int w, h;
    sheet_points(ps, &w, &h);
    out(ps, "%%!PS-Adobe-3.0\n%%%%BoundingBox: 0 0 %d %d\n", w, h);
    out(ps, "%%%%Creator: zeko\n%%%%Orientation: %s\n", ps->landscape ? "Landscape" : "Portrait");
    // tells the PDF converter to keep 8 bits per component
    if (ps->truecolor) out(ps, "%%%%ze truecolor\n");
    out(ps, "%%%%EndComments\n");
    out(ps, "/ISOvec [\n8#047 /quotesingle 8#140 /grave\n");
    for (int i = 0; i < 96; i++) out(ps, "8#%03o /%s%s", 0240 + i, latin1_names[i], i % 4 == 3 ? "\n" : " ");
    out(ps, "] def\n%s%%%%EndProlog\n", reencode_proc);
    out(ps, "%%%%BeginSetup\n/setpagedevice where { pop << /PageSize [%d %d] >> setpagedevice } if\n%%%%EndSetup\n",
        w, h);
}

bool zepostscript_create(zePostScript *ps, const char *fmt, ...) {
    memset(ps, 0, sizeof *ps);
    ps->color = -1;
    ps->font = -1;
    va_list ap;
    va_start(ap, fmt);
    char **e = zecfgstr_vparse_alloc(fmt, ap);
    va_end(ap);
    parse_options(ps, e);
    zecfgstr_split_release(e);
    page_geometry(ps);
    strcpy(ps->fontname, "Helvetica");
    ps->fontsize = 12;
    const char *tmp = zefile_tmpname_ext("ps");
    if (!tmp) return false;
    snprintf(ps->tmpname, sizeof ps->tmpname, "%s", tmp);
    ps->f = fopen(ps->tmpname, "wb");
    if (!ps->f) {
        zefile_tmpdelete(ps->tmpname);
        ps->tmpname[0] = 0;
        return false;
    }
    // one big buffer: pictures are written as long hex lines
    setvbuf(ps->f, nullptr, _IOFBF, 1 << 16);
    write_header(ps);
    page_start(ps);
    return !ps->failed;
}

void zepostscript_release(zePostScript *ps) {
    zegout_forget(zepostscript_handler, ps);
    if (ps->f) fclose(ps->f);
    ps->f = nullptr;
    if (ps->tmpname[0]) zefile_tmpdelete(ps->tmpname);
    ps->tmpname[0] = 0;
}

// ---------------------------------------------------------------------------
// Page content. Points from the top-left inside the borders become
// PostScript coordinates from the bottom-left of the page.

static double psx(const zePostScript *ps, double x) { return num(x + ps->leftborder); }
// The page's top is the whole point the bounding box states, so that pixels
// at the resolution stay on the grid a viewer renders at.
static double psy(const zePostScript *ps, double y) { return num(lround(ps->pth) - (y + ps->topborder)); }

void zepostscript_setfont(zePostScript *ps, const char *name, int size) {
    if (!writable(ps) || !name) return;
    // a name is one PostScript name token; anything else would break the file
    char clean[64];
    int n = 0;
    for (const char *s = name; *s && n < 63; s++)
        if ((*s >= 'A' && *s <= 'Z') || (*s >= 'a' && *s <= 'z') || (*s >= '0' && *s <= '9') || *s == '-')
            clean[n++] = *s;
    clean[n] = 0;
    if (!n) return;
    if (size < 1) size = 1;
    if (size > 10000) size = 10000;
    snprintf(ps->fontname, sizeof ps->fontname, "%s", clean);
    ps->fontsize = size;
    out(ps, "/%s /ISOfont ISOvec ReEncode /ISOfont findfont\n%d scalefont\nsetfont\n", clean, size);
}

void zepostscript_setcolor(zePostScript *ps, int color) {
    if (!writable(ps) || color == ps->color) return;
    ps->color = color;
    color &= 0xFFFFFF;
    out(ps, "%.4f %.4f %.4f setrgbcolor\n", (color >> 16) / 255.0, (color >> 8 & 255) / 255.0, (color & 255) / 255.0);
}

void zepostscript_text(zePostScript *ps, double x, double y, const char *text) {
    if (!writable(ps) || !text) return;
    out(ps, "%.3f %.3f moveto\n(", psx(ps, x), psy(ps, y));
    // the string goes out 7-bit clean: Latin-1 and controls as octal escapes
    for (const unsigned char *s = (const unsigned char *)text; *s; s++) {
        if (*s == '(' || *s == ')' || *s == '\\')
            out(ps, "\\%c", *s);
        else if (*s < 32 || *s > 126)
            out(ps, "\\%03o", *s);
        else
            fputc(*s, ps->f);
    }
    out(ps, ") show\n");
}

void zepostscript_line(zePostScript *ps, double x1, double y1, double x2, double y2, double width) {
    if (!writable(ps)) return;
    double ax = psx(ps, x1), ay = psy(ps, y1), bx = psx(ps, x2), by = psy(ps, y2), w = num(width);
    out(ps, "%%%%drawline(%.3f,%.3f,%.3f,%.3f,%.3f)\n", ax, ay, bx, by, w);
    out(ps, "%.3f setlinewidth 2 setlinecap newpath %.3f %.3f moveto %.3f %.3f lineto stroke\n", w, ax, ay, bx, by);
}

void zepostscript_fillrect(zePostScript *ps, double x, double y, double w, double h) {
    if (!writable(ps) || !(w > 0) || !(h > 0)) return;
    double ax = psx(ps, x), ay = psy(ps, y + h);
    out(ps, "%%%%fillrect(%.3f,%.3f,%.3f,%.3f)\n%.3f %.3f %.3f %.3f rectfill\n", ax, ay, num(w), num(h), ax, ay, num(w),
        num(h));
}

void zepostscript_poly(zePostScript *ps, const double *xy, int n, bool fill, double width) {
    if (!writable(ps) || !xy || n < 2) return;
    out(ps, "%%%%drawpoly(%d,%.3f)\n%.3f setlinewidth 1 setlinejoin 1 setlinecap newpath\n", fill ? 1 : 0, num(width),
        num(width));
    for (int i = 0; i < n; i++)
        out(ps, "%.3f %.3f %s\n", psx(ps, xy[2 * i]), psy(ps, xy[2 * i + 1]), i ? "lineto" : "moveto");
    out(ps, fill ? "closepath fill\n" : "stroke\n");
}

void zepostscript_newpage(zePostScript *ps) {
    if (!writable(ps)) return;
    page_end(ps);
    out(ps, "showpage\n");
    page_start(ps);
}

// ---------------------------------------------------------------------------
// Pictures.

static const char hexdigits[] = "0123456789ABCDEF";

bool zepostscript_picture(zePostScript *ps, const zePixmap *p, double x, double y, int sx, int sy, int w, int h,
                          bool rotate) {
    if (!writable(ps) || !p) return false;
    zePixmap tmp;
    zepxmap_init(&tmp);
    const zePixmap *src = p;
    if (p->format != ZEPX_TRUECOLOR && p->format != ZEPX_PALETTE8) {
        if (!zepxmap_duplicate(&tmp, p, 0, 0, -1, -1) || !zepxmap_convert2truecolor(&tmp, -1)) {
            printf("ps unsupported graphics format: %d\n", p->format);
            zepxmap_release(&tmp);
            return false;
        }
        src = &tmp;
    }
    if (sx < 0) sx = 0;
    if (sy < 0) sy = 0;
    if (w < 0 || w > src->width - sx) w = src->width - sx;
    if (h < 0 || h > src->height - sy) h = src->height - sy;
    // the exact region: the PDF converter starts every picture row on a
    // byte, so odd widths need no column added or dropped
    if (w <= 0 || h <= 0) {
        zepxmap_release(&tmp);
        return false;
    }
    double wpt = w / ps->xppp, hpt = h / ps->yppp;
    if (!rotate) {
        out(ps, "gsave\n%.3f %.3f translate\n%.3f %.3f scale\n", psx(ps, x), psy(ps, y + hpt), wpt, hpt);
        out(ps, "/picture %d string def\n%d %d 8\n[%d 0 0 %d 0 %d]\n", 3 * w, w, h, w, -h, h);
    } else {
        // the picture's columns run up the page, its rows to the right
        out(ps, "gsave\n%.3f %.3f translate\n%.3f %.3f scale\n", psx(ps, x), psy(ps, y + wpt), h / ps->xppp,
            w / ps->yppp);
        out(ps, "/picture %d string def\n%d %d 8\n[0 %d %d 0 0 0]\n", 3 * w, w, h, h, w);
    }
    out(ps, "{currentfile picture readhexstring pop} false 3 colorimage\n");
    char *line = (char *)malloc((size_t)6 * w + 1);
    if (!line) {
        ps->failed = true;
        zepxmap_release(&tmp);
        return false;
    }
    for (int row = 0; row < h; row++) {
        char *o = line;
        for (int col = 0; col < w; col++) {
            uint32_t c;
            if (src->format == ZEPX_TRUECOLOR)
                c = ((const uint32_t *)src->pixels)[(size_t)(sy + row) * src->width + sx + col];
            else
                c = src->palette[((const uint8_t *)src->pixels)[(size_t)(sy + row) * src->width + sx + col]];
            for (int shift = 20; shift >= 0; shift -= 4) *o++ = hexdigits[c >> shift & 15];
        }
        *o++ = '\n';
        if (fwrite(line, 1, o - line, ps->f) != (size_t)(o - line)) ps->failed = true;
    }
    free(line);
    out(ps, "grestore\n\n");
    zepxmap_release(&tmp);
    return !ps->failed;
}

// ---------------------------------------------------------------------------
// Finishing.

static bool copy_to(FILE *in, FILE *o) {
    char buf[1 << 16];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, in)) > 0)
        if (fwrite(buf, 1, n, o) != n) return false;
    return !ferror(in);
}

bool zepostscript_finish(zePostScript *ps, const char *target) {
    if (!writable(ps) || !target) return false;
    int type = zeimage_filetype(target);
    if (type != ZEIMG_PS && type != ZEIMG_PDF) {
        printf("zepostscript_finish: unsupported format (%s)\n", target);
        return false;
    }
    page_end(ps);
    out(ps, "showpage\n%%%%EOF\n");
    ps->finished = true;
    bool ok = !ps->failed && fclose(ps->f) == 0;
    ps->f = nullptr;
    if (!ok) return false;
    if (type == ZEIMG_PDF) return zepdf_convert(ps->tmpname, target);
    FILE *in = zefile_open_regular(ps->tmpname, "rb");
    if (!in) return false;
    zeFileOut o;
    FILE *f = zefile_out_open(&o, target);
    if (!f) {
        fclose(in);
        return false;
    }
    ok = copy_to(in, f);
    fclose(in);
    return zefile_out_close(&o, ok);
}

// ---------------------------------------------------------------------------
// zepxmap_savetofile's ".ps" and ".pdf".

static double option_real(const char *options, const char *key) {
    double v = 0;
    char **e = options ? zecfgstr_split_alloc(options) : nullptr;
    for (int i = 0; e && e[i]; i++) {
        char s[ZECFGSTR_ENTRYMAX + 1];
        zecfgstr_squeeze(e[i], s, sizeof s);
        const char *val = zecfgstr_key(s, key);
        if (val) v = zecfgstr_real(val);
    }
    zecfgstr_split_release(e);
    return v;
}

bool zepostscript_savepixmap(const zePixmap *p, const char *filename, int type, const char *options, int xoffset,
                             int yoffset) {
    if (!p || !filename || (type != ZEIMG_PS && type != ZEIMG_PDF)) return false;
    if (p->width <= 0 || p->height <= 0 || xoffset >= p->width || yoffset >= p->height) {
        printf("zepxmap_savetofile: empty picture (%d x %d)\n", p->width, p->height);
        return false;
    }
    zePostScript ps;
    if (!zepostscript_create(&ps, "%s", options ? options : "")) return false;
    double x = option_real(options, "x="), y = option_real(options, "y=");
    bool ok = zepostscript_picture(&ps, p, x, y, xoffset, yoffset, -1, -1) && zepostscript_finish(&ps, filename);
    zepostscript_release(&ps);
    return ok;
}
