// Image files: type by extension, picture size query, loading into and
// saving from pixmaps by type.
#include "zeimage.h"
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeimage_rows.h"
#include "zepostscript.h"

static zeImagePostScriptHook pshook;
void zeimage_set_postscript_hook(zeImagePostScriptHook hook) { pshook = hook; }

int zeimage_filetype(const char *filename) {
    static const struct {
        const char *ext;
        int type;
    } types[] = {{"png", ZEIMG_PNG}, {"bmp", ZEIMG_BMP},  {"xpm", ZEIMG_XPM}, {"ppm", ZEIMG_PPM},
                 {"pcx", ZEIMG_PCX}, {"htm", ZEIMG_HTML}, {"html", ZEIMG_HTML}, {"wmf", ZEIMG_WMF},
                 {"ps", ZEIMG_PS},   {"pdf", ZEIMG_PDF}};
    if (!filename) return ZEIMG_NONE;
    // backslashes count as "/", so a dot in a directory name is no extension
    const char *dot = nullptr;
    for (const char *s = filename; *s; s++) {
        if (*s == '.') dot = s;
        if (*s == '/' || *s == '\\') dot = nullptr;
    }
    if (!dot) return ZEIMG_NONE;
    for (const auto &t : types)
        if (strcasecmp(dot + 1, t.ext) == 0) return t.type;
    return ZEIMG_NONE;
}

long zeimage_remaining(FILE *f) {
    long pos = ftell(f);
    if (pos < 0 || fseek(f, 0, SEEK_END) != 0) return -1;
    long end = ftell(f);
    if (fseek(f, pos, SEEK_SET) != 0 || end < pos) return -1;
    return end - pos;
}

void zeImgRows::put(int row, const uint32_t *colors) const {
    if (row < 0 || row >= h) return;
    int ty = y + row;
    if (ty < 0 || ty >= p->height || x >= p->width) return;
    int n = w < p->width - x ? w : p->width - x;
    if (n > 0) memcpy((uint32_t *)p->pixels + (size_t)ty * p->width + x, colors, (size_t)n * 4);
}

bool zeimage_place(FILE *f, zeImgDecode decode, void *state, int W, int H, zePixmap *p, int x, int y, int w,
                   int h, unsigned targets, const char *who, int transparent) {
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    // beyond the edge nothing is drawn; row positions then stay in the int range
    if (x > p->width) x = p->width;
    if (y > p->height) y = p->height;
    if (w <= 0 || w > W) w = W;
    if (h <= 0 || h > H) h = H;
    unsigned bit = p->format == ZEPX_TRUECOLOR ? ZEIMG_TO_TRUECOLOR
                   : p->format == ZEPX_SERVER  ? ZEIMG_TO_SERVER
                   : p->format == ZEPX_DIRECTX ? ZEIMG_TO_DIRECTX
                   : p->format == ZEPX_PALETTE8 ? ZEIMG_TO_PALETTE8
                                                : 0;
    if (!(targets & bit)) {
        printf("%s: PX-Format %d not supported (should load and copy then)\n", who, p->format);
        return false;
    }
    if (bit == ZEIMG_TO_TRUECOLOR) {
        zeImgRows rows = {p, x, y, w, h};
        if (!decode(f, state, rows)) return false;
        if (transparent != -2) zepxmap_settransparent(p, transparent);
        return true;
    }
    bool remake = bit == ZEIMG_TO_SERVER && (targets & ZEIMG_SERVER_REMAKE) && x == 0 && y == 0 &&
                  w == p->width && h == p->height && W == w && H == h;
    // The temporary holds only what lands in the pixmap: a large picture
    // behind a small window is not held whole a second time.
    int tw = remake ? W : w < p->width - x ? w : p->width - x;
    int th = remake ? H : h < p->height - y ? h : p->height - y;
    zePixmap tmp;
    if (!zepxmap_create(&tmp, tw > 0 ? tw : 1, th > 0 ? th : 1, ZEPX_TRUECOLOR)) return false;
    zeImgRows rows = {&tmp, 0, 0, W, H};
    bool ok = decode(f, state, rows);
    if (ok && remake) {
        // the picture becomes the pixmap: converted whole, its transparent colour masked
        memcpy(tmp.palette, p->palette, 256 * 4);
        if (transparent != -2) zepxmap_settransparent(&tmp, transparent);
        ok = zepxmap_convert2server(&tmp);
        if (ok) {
            // The pixmap keeps its storage: a window's backend holds on to
            // the colour array and would show freed memory.
            zePxServer *dst = (zePxServer *)p->pixels, *src = (zePxServer *)tmp.pixels;
            memcpy(dst->colors, src->colors, (size_t)W * H * 4);
            uint8_t *mask = dst->mask;
            dst->mask = src->mask;
            src->mask = mask;
            memcpy(p->palette, tmp.palette, 256 * 4);
            zepxmap_release(&tmp);
            return true;
        }
    } else if (ok) {
        if (bit == ZEIMG_TO_PALETTE8) ok = zepxmap_convert2palette8(&tmp, -1);
        // server and directx storage is the same colour array: a plain copy
        uint32_t fmt = p->format;
        if (fmt == ZEPX_DIRECTX) p->format = ZEPX_SERVER;
        if (ok) ok = zepxmap_merge4(p, &tmp, x, y, 0, 0, w, h, 0, 0);
        p->format = fmt;
        if (ok && transparent != -2) zepxmap_settransparent(p, transparent);
    }
    zepxmap_release(&tmp);
    return ok;
}

const zePixmap *zeimage_truecolor(const zePixmap *p, zePixmap *tmp) {
    zepxmap_init(tmp);
    // no file type holds a picture without pixels: such a file is unreadable
    if (p->width <= 0 || p->height <= 0) {
        printf("zepxmap_savetofile: empty picture (%d x %d)\n", p->width, p->height);
        return nullptr;
    }
    if (p->format == ZEPX_TRUECOLOR) return p;
    if (!zepxmap_duplicate(tmp, p, 0, 0, -1, -1)) return nullptr;
    if (!zepxmap_convert2truecolor(tmp, -1)) {
        zepxmap_release(tmp);
        return nullptr;
    }
    return tmp;
}

// ---------------------------------------------------------------------------
// Sizes, loading and saving by type.

bool zebmp_size(FILE *f, int *w, int *h);
bool zepcx_size(FILE *f, int *w, int *h);
bool zeppm_size(FILE *f, int *w, int *h);
bool zexpm_size(FILE *f, int *w, int *h);

typedef bool (*ReadFn)(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h);

// What each file type can do: size query, reader, writer (null: cannot).
struct ImageFormat {
    int type;
    bool (*size)(FILE *f, int *w, int *h);
    ReadFn read;
    bool (*write)(const zePixmap *p, const char *filename);
};

static const ImageFormat formats[] = {
    {ZEIMG_BMP, zebmp_size, zebmp_read, zepxmap_savetofile_bmp},
    {ZEIMG_PCX, zepcx_size, zepcx_read, zepxmap_savetofile_pcx},
    {ZEIMG_PPM, zeppm_size, zeppm_read, zepxmap_savetofile_ppm},
    {ZEIMG_XPM, zexpm_size, zexpm_read, zepxmap_savetofile_xpm},
    {ZEIMG_PNG, nullptr, nullptr, zepxmap_savetofile_png},
};

static const ImageFormat *format_of(const char *filename) {
    int type = zeimage_filetype(filename);
    for (const ImageFormat &f : formats)
        if (f.type == type) return &f;
    return nullptr;
}

bool zegetpicturesizes(const char *filename, int *width, int *height) {
    const ImageFormat *fmt = format_of(filename);
    if (!fmt || !fmt->size) {
        printf("zegetpicturesizes: unsupported format (%s)\n", filename ? filename : "");
        return false;
    }
    FILE *f = zefile_open_regular(filename, "rb");
    if (!f) return false;
    int w = 0, h = 0;
    bool ok = fmt->size(f, &w, &h);
    fclose(f);
    if (!ok) return false;
    *width = w;
    *height = h;
    return true;
}

static bool load_file(ReadFn fn, zePixmap *p, const char *filename, const char *const *items, int x, int y,
                      int w, int h) {
    // Only plain files: a FIFO in place of a picture would block the reader.
    FILE *f = zefile_open_regular(filename, "rb");
    if (!f) {
        if (errno == EINVAL) printf("%s: not a regular file\n", filename);
        return false;
    }
    bool ok = fn(f, p, items, x, y, w, h);
    fclose(f);
    return ok;
}

bool zepxmap_loadfromfile_bmp(zePixmap *p, const char *fn, const char *const *items, int x, int y, int w, int h) {
    return load_file(zebmp_read, p, fn, items, x, y, w, h);
}
bool zepxmap_loadfromfile_pcx(zePixmap *p, const char *fn, const char *const *items, int x, int y, int w, int h) {
    return load_file(zepcx_read, p, fn, items, x, y, w, h);
}
bool zepxmap_loadfromfile_ppm(zePixmap *p, const char *fn, const char *const *items, int x, int y, int w, int h) {
    return load_file(zeppm_read, p, fn, items, x, y, w, h);
}
bool zepxmap_loadfromfile_xpm(zePixmap *p, const char *fn, const char *const *items, int x, int y, int w, int h) {
    return load_file(zexpm_read, p, fn, items, x, y, w, h);
}

bool zeimage_load_file(zePixmap *p, const char *filename, int x, int y) {
    const ImageFormat *format = format_of(filename);
    return format && format->read && load_file(format->read, p, filename, nullptr, x, y, -1, -1);
}

bool zeimage_save_file(const zePixmap *p, const char *filename) {
    const ImageFormat *format = format_of(filename);
    return format && format->write && format->write(p, filename);
}

// Formats a file text ("name,options", printf form, up to 8192 characters)
// and splits it into entries (heap; release with zecfgstr_split_release).
// *name: the file name, entry 0 as written apart from surrounding blanks.
static char **file_entries(const char *fmt, va_list ap, const char **name) {
    *name = "";
    char *esc = zecfgstr_escape(fmt);
    char *text = (char *)malloc(8193);
    if (!esc || !text) {
        free(esc);
        free(text);
        return nullptr;
    }
    vsnprintf(text, 8193, esc, ap);
    free(esc);
    char **e = zecfgstr_split_alloc(text);
    free(text);
    char *s = e && e[0] ? e[0] : nullptr;
    if (!s) return e;
    while (*s == ' ' || *s == '\t') s++;
    size_t n = strlen(s);
    while (n && (s[n - 1] == ' ' || s[n - 1] == '\t')) s[--n] = 0;
    *name = s;
    return e;
}

// The rectangle the options after the file name give; -1 where unset.
static zeImageAttr file_attr(char **e) {
    zeImageAttr a = {};
    a.x = a.y = a.xs = a.ys = -1;
    zecfgstr_imageattr(e, 1, &a);
    return a;
}

bool zegraphic_gloadintern_file(zePixmap *p, int x, int y, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    const char *name;
    char **e = file_entries(fmt, ap, &name);
    va_end(ap);
    if (!e) return false;
    // the loaders see the options before the geometry family consumes them
    int n = zecfgstr_count(e);
    const char **items = (const char **)calloc(n + 1, sizeof(char *));
    char *copies = nullptr;
    size_t total = 0;
    for (int i = 1; i < n; i++) total += strlen(e[i]) + 1;
    copies = (char *)malloc(total + 1);
    if (!items || !copies) {
        free(items);
        free(copies);
        zecfgstr_split_release(e);
        return false;
    }
    char *c = copies;
    for (int i = 1; i < n; i++) {
        strcpy(c, e[i]);
        items[i - 1] = c;
        c += strlen(c) + 1;
    }
    zeImageAttr a = file_attr(e);
    if (a.x > 0) x = a.x;
    if (a.y > 0) y = a.y;
    int w = a.xs > 0 ? a.xs : -1, h = a.ys > 0 ? a.ys : -1;
    const ImageFormat *format = format_of(name);
    ReadFn fn = format ? format->read : nullptr;
    if (!fn) printf("zegraphic_gloadintern_file: unsupported format (%s)\n", name);
    bool ok = fn && load_file(fn, p, name, items, x, y, w, h);
    free(items);
    free(copies);
    zecfgstr_split_release(e);
    return ok;
}

static int entry_int(char **e, const char *key) {
    int v = 0;
    for (int i = 1; e[i]; i++) {
        char sq[ZECFGSTR_ENTRYMAX + 1];
        zecfgstr_squeeze(e[i], sq, sizeof sq);
        const char *val = zecfgstr_key(sq, key);
        if (val) v = zecfgstr_int(val);
    }
    return v;
}

bool zepxmap_savetofile(const zePixmap *p, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    const char *name;
    char **e = file_entries(fmt, ap, &name);
    va_end(ap);
    if (!e) return false;
    int type = zeimage_filetype(name);
    int xoff = entry_int(e, "xoffset="), yoff = entry_int(e, "yoffset=");
    char options[1024];
    zecfgstr_leftovers(e, 1, options, sizeof options);
    zeImageAttr a = file_attr(e);
    bool ok = false;
    if (type == ZEIMG_PS || type == ZEIMG_PDF) {
        ok = (pshook ? pshook : zepostscript_savepixmap)(p, name, type, options, xoff, yoff);
        zecfgstr_split_release(e);
        return ok;
    }
    const ImageFormat *format = format_of(name);
    bool (*writer)(const zePixmap *, const char *) = format ? format->write : nullptr;
    if (!writer) printf("zepxmap_savetofile: unsupported format (%s)\n", name);
    if (writer) {
        zePixmap copy;
        int x = a.x > 0 ? a.x : 0, y = a.y > 0 ? a.y : 0;
        if (zepxmap_duplicate(&copy, p, x, y, a.xs > 0 ? a.xs : -1, a.ys > 0 ? a.ys : -1)) {
            ok = writer(&copy, name);
            zepxmap_release(&copy);
        }
    }
    zecfgstr_split_release(e);
    return ok;
}
