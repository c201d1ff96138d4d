// Pixmap record: life cycle, pixel access, palettes and format conversion.
#include "zepxmap.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Largest pixel count a pixmap may hold (1 GiB of truecolor pixels).
static const size_t ZEPX_MAXPIXELS = (size_t)1 << 28;

static zeScreenHooks noscreen = {};
static const zeScreenHooks *screen = &noscreen;

void zepxmap_set_screen_hooks(const zeScreenHooks *hooks) { screen = hooks ? hooks : &noscreen; }
const zeScreenHooks *zepxmap_screen_hooks(void) { return screen; }

static constexpr int32_t first16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                        0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                        0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
static constexpr int32_t cubelevel[4] = {0x00, 0x55, 0xAA, 0xFF};

// 0-15 the sixteen basic colours, 16-79 a 4x4x4 cube, 80-207 greys in steps
// of 2, then blue, green and red ramps in steps of 16.
static constexpr int32_t defpal_entry(int i) {
    if (i < 16) return first16[i];
    if (i < 80) {
        int k = i - 16;
        return cubelevel[k / 16] << 16 | cubelevel[k / 4 % 4] << 8 | cubelevel[k % 4];
    }
    if (i < 208) return (i - 80) * 2 * 0x010101;
    if (i < 224) return (i - 208) * 16;
    if (i < 240) return (i - 224) * 16 << 8;
    return (i - 240) * 16 << 16;
}

const int32_t zepxmap_default_palette[256] = {
#define ZE_ROW16(b) defpal_entry(b), defpal_entry(b + 1), defpal_entry(b + 2), defpal_entry(b + 3), \
    defpal_entry(b + 4), defpal_entry(b + 5), defpal_entry(b + 6), defpal_entry(b + 7),         \
    defpal_entry(b + 8), defpal_entry(b + 9), defpal_entry(b + 10), defpal_entry(b + 11),       \
    defpal_entry(b + 12), defpal_entry(b + 13), defpal_entry(b + 14), defpal_entry(b + 15)
    ZE_ROW16(0), ZE_ROW16(16), ZE_ROW16(32), ZE_ROW16(48), ZE_ROW16(64), ZE_ROW16(80),
    ZE_ROW16(96), ZE_ROW16(112), ZE_ROW16(128), ZE_ROW16(144), ZE_ROW16(160), ZE_ROW16(176),
    ZE_ROW16(192), ZE_ROW16(208), ZE_ROW16(224), ZE_ROW16(240)
#undef ZE_ROW16
};

// ---------------------------------------------------------------------------
// Storage helpers.

static inline uint8_t *px8(const zePixmap *p) { return (uint8_t *)p->pixels; }
static inline uint16_t *px16(const zePixmap *p) { return (uint16_t *)p->pixels; }
static inline uint32_t *px32(const zePixmap *p) { return (uint32_t *)p->pixels; }
static inline zePxServer *srv(const zePixmap *p) { return (zePxServer *)p->pixels; }
static inline bool is_surface(const zePixmap *p) {
    return p->format == ZEPX_SERVER || p->format == ZEPX_DIRECTX;
}
static inline size_t npix(const zePixmap *p) { return (size_t)p->width * (size_t)p->height; }

static bool size_ok(int w, int h) {
    return w >= 0 && h >= 0 && (size_t)w * (size_t)h <= ZEPX_MAXPIXELS;
}

zePxServer *zepxmap_server_new(int w, int h) {
    if (!size_ok(w, h)) return nullptr;
    size_t n = (size_t)w * h;
    zePxServer *s = (zePxServer *)calloc(1, sizeof(zePxServer));
    if (!s) return nullptr;
    s->colors = (uint32_t *)calloc(n ? n : 1, 4);
    if (!s->colors) {
        free(s);
        return nullptr;
    }
    s->brushcolor = -1;
    s->pencolor = -1;
    return s;
}

void zepxmap_server_free(zePxServer *s) {
    if (!s) return;
    if (s->native && s->native_free) s->native_free(s->native);
    free(s->colors);
    free(s->mask);
    free(s);
}

// The backend's cached copy no longer matches the colours.
static inline void server_touch(zePxServer *s) {
    if (s->native && s->native_free) s->native_free(s->native);
    s->native = nullptr;
}

static void free_storage(zePixmap *p) {
    if (is_surface(p))
        zepxmap_server_free(srv(p));
    else
        free(p->pixels);
    p->pixels = nullptr;
}

// ---------------------------------------------------------------------------
// Life cycle.

void zepxmap_init(zePixmap *p) {
    p->width = p->height = 0;
    p->format = 0;
    p->pixels = nullptr;
    p->palette = nullptr;
    p->nextfree = 254;
    p->curx = p->cury = 0;
    p->mirror = false;
    p->reserved1 = 0;
    p->reserved2 = nullptr;
}

bool zepxmap_allocate(zePixmap *p) {
    static const int bytes[] = {0, 1, 2, 4};
    if (p->format < 1 || p->format > 6) {
        printf("zepxmap_allocate: wrong format\n");
        return false;
    }
    if (!size_ok(p->width, p->height)) {
        printf("zepxmap_allocate: wrong size %d x %d\n", p->width, p->height);
        return false;
    }
    int32_t *pal = p->palette ? p->palette : (int32_t *)malloc(256 * 4);
    if (!pal) return false;
    memcpy(pal, zepxmap_default_palette, sizeof zepxmap_default_palette);
    void *pixels = nullptr;
    if (p->format <= ZEPX_TRUECOLOR) {
        size_t n = npix(p) * bytes[p->format];
        pixels = calloc(n ? n : 1, 1);
    } else if (is_surface(p)) {
        pixels = zepxmap_server_new(p->width, p->height);
    } else {
        if (screen->prepare) screen->prepare();
    }
    if (!pixels && p->format != ZEPX_SCREEN) {
        if (pal != p->palette) free(pal);
        return false;
    }
    p->palette = pal;
    p->pixels = pixels;
    return true;
}

bool zepxmap_create(zePixmap *p, int width, int height, int format) {
    zepxmap_init(p);
    p->width = width;
    p->height = height;
    p->format = format;
    if (zepxmap_allocate(p)) return true;
    zepxmap_init(p);
    return false;
}

void zepxmap_release(zePixmap *p) {
    free_storage(p);
    free(p->palette);
    zepxmap_init(p);
}

bool zepxmap_resize(zePixmap *p, int width, int height) {
    if (!size_ok(width, height)) return false;
    if (p->format == ZEPX_TRUECOLOR) {
        size_t n = (size_t)width * height;
        uint32_t *np = (uint32_t *)calloc(n ? n : 1, 4);
        if (!np) return false;
        int cw = width < p->width ? width : p->width;
        int ch = height < p->height ? height : p->height;
        for (int y = 0; y < ch; y++)
            memcpy(np + (size_t)y * width, px32(p) + (size_t)y * p->width, (size_t)cw * 4);
        free(p->pixels);
        p->pixels = np;
    } else if (p->format == ZEPX_SERVER) {
        zePxServer *s = zepxmap_server_new(width, height);
        if (!s) return false;
        zepxmap_server_free(srv(p));
        p->pixels = s;
    } else if (p->format != ZEPX_SCREEN) {
        printf("zepxmap_resize: wrong format %d\n", p->format);
        return false;
    }
    p->width = width;
    p->height = height;
    return true;
}

// ---------------------------------------------------------------------------
// Pixel access.

void zepxmap_setpixel(zePixmap *p, int x, int y, int value) {
    if (x < 0 || y < 0 || x >= p->width || y >= p->height) return;
    size_t i = (size_t)y * p->width + x;
    switch (p->format) {
    case ZEPX_PALETTE8: px8(p)[i] = (uint8_t)value; break;
    case ZEPX_PALETTE16: px16(p)[i] = (uint16_t)value; break;
    case ZEPX_TRUECOLOR: px32(p)[i] = (uint32_t)value; break;
    case ZEPX_SERVER:
    case ZEPX_DIRECTX:
        srv(p)->colors[i] = (uint32_t)value & 0xFFFFFF;
        server_touch(srv(p));
        break;
    case ZEPX_SCREEN:
        if (screen->setpixel) screen->setpixel(x, y, value);
        return;
    default: printf("zepxmap_setpixel: wrong format %d\n", p->format); return;
    }
    if (p->mirror && screen->setpixel) screen->setpixel(x, y, value);
}

int zepxmap_getpixel(const zePixmap *p, int x, int y) {
    if (x < 0 || y < 0 || x >= p->width || y >= p->height) return -1;
    size_t i = (size_t)y * p->width + x;
    switch (p->format) {
    case ZEPX_PALETTE8: return px8(p)[i];
    case ZEPX_PALETTE16: return px16(p)[i];
    case ZEPX_TRUECOLOR: return (int)px32(p)[i];
    case ZEPX_SERVER:
    case ZEPX_DIRECTX: return (int)(srv(p)->colors[i] & 0xFFFFFF);
    default: printf("zepxmap_getpixel: wrong format\n"); return -1;
    }
}

// Four pixels per store: tables fill millions of background pixels, and the
// compiler leaves a plain loop at one 32-bit store per pixel.
static void fill32(uint32_t *d, size_t n, uint32_t v) {
    typedef uint32_t quad __attribute__((vector_size(16)));
    quad q = {v, v, v, v};
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        memcpy(d + i, &q, 16);
        memcpy(d + i + 4, &q, 16);
    }
    for (; i < n; i++) d[i] = v;
}

static void fill16(uint16_t *d, size_t n, uint16_t v) {
    for (size_t i = 0; i < n; i++) d[i] = v;
}

// One column of h pixels from d, stride apart.
template <class T> static void fillcol(T *d, size_t stride, int h, T v) {
    for (int r = 0; r < h; r++, d += stride) *d = v;
}

// Clips (x, y, w, h) to the pixmap in 64 bits (a far corner may lie beyond
// the int range); false when nothing is left.
static bool clip(const zePixmap *p, int &x, int &y, int &w, int &h) {
    if (w <= 0 || h <= 0) return false;
    int64_t x0 = x > 0 ? x : 0, y0 = y > 0 ? y : 0;
    int64_t x1 = (int64_t)x + w, y1 = (int64_t)y + h;
    if (x1 > p->width) x1 = p->width;
    if (y1 > p->height) y1 = p->height;
    if (x0 >= x1 || y0 >= y1) return false;
    x = (int)x0, y = (int)y0, w = (int)(x1 - x0), h = (int)(y1 - y0);
    return true;
}

bool zepxmap_setrun(zePixmap *p, int x, int y, int w, int h, int value) {
    if (p->mirror) return false;
    if (p->format != ZEPX_PALETTE8 && p->format != ZEPX_PALETTE16 && p->format != ZEPX_TRUECOLOR &&
        !is_surface(p))
        return false;
    if (!clip(p, x, y, w, h)) return true;
    size_t stride = (size_t)p->width, at = (size_t)y * stride + x;
    if (h > 1 && w == 1) {
        switch (p->format) {
        case ZEPX_PALETTE8: fillcol(px8(p) + at, stride, h, (uint8_t)value); break;
        case ZEPX_PALETTE16: fillcol(px16(p) + at, stride, h, (uint16_t)value); break;
        case ZEPX_TRUECOLOR: fillcol(px32(p) + at, stride, h, (uint32_t)value); break;
        default: fillcol(srv(p)->colors + at, stride, h, (uint32_t)value & 0xFFFFFF); break;
        }
    } else {
        for (int r = 0; r < h; r++, at += stride) {
            switch (p->format) {
            case ZEPX_PALETTE8: memset(px8(p) + at, (uint8_t)value, w); break;
            case ZEPX_PALETTE16: fill16(px16(p) + at, w, (uint16_t)value); break;
            case ZEPX_TRUECOLOR: fill32(px32(p) + at, w, (uint32_t)value); break;
            default: fill32(srv(p)->colors + at, w, (uint32_t)value & 0xFFFFFF); break;
            }
        }
    }
    if (is_surface(p)) server_touch(srv(p));
    return true;
}

void zepxmap_clear(zePixmap *p, int value) {
    size_t n = npix(p);
    switch (p->format) {
    case ZEPX_PALETTE8: memset(p->pixels, (uint8_t)value, n); break;
    case ZEPX_PALETTE16: fill16(px16(p), n, (uint16_t)value); break;
    case ZEPX_TRUECOLOR: fill32(px32(p), n, (uint32_t)value); break;
    case ZEPX_SERVER:
    case ZEPX_DIRECTX:
        fill32(srv(p)->colors, n, (uint32_t)value & 0xFFFFFF);
        srv(p)->brushcolor = value;
        server_touch(srv(p));
        break;
    case ZEPX_SCREEN:
        if (screen->clear) screen->clear(value);
        return;
    default: printf("zepxmap_clear: wrong format\n"); return;
    }
    if (p->mirror && screen->clear) screen->clear(value);
}

void zepxmap_fillrect(zePixmap *p, int x, int y, int w, int h, int value) {
    if (!clip(p, x, y, w, h)) return;
    switch (p->format) {
    case ZEPX_PALETTE8:
        for (int r = y; r < y + h; r++) memset(px8(p) + (size_t)r * p->width + x, (uint8_t)value, w);
        break;
    case ZEPX_TRUECOLOR:
        for (int r = y; r < y + h; r++) fill32(px32(p) + (size_t)r * p->width + x, w, (uint32_t)value);
        break;
    case ZEPX_SERVER:
    case ZEPX_DIRECTX:
        for (int r = y; r < y + h; r++)
            fill32(srv(p)->colors + (size_t)r * p->width + x, w, (uint32_t)value & 0xFFFFFF);
        srv(p)->brushcolor = value;
        server_touch(srv(p));
        break;
    case ZEPX_SCREEN:
        if (screen->fillrect) screen->fillrect(x, y, w, h, value);
        return;
    default:
        for (int r = y; r < y + h; r++)
            for (int c = x; c < x + w; c++) zepxmap_setpixel(p, c, r, value);
        return;
    }
    if (p->mirror && screen->fillrect) screen->fillrect(x, y, w, h, value);
}

void zepxmap_setpalette(zePixmap *p, int index, int color) {
    if (p->palette && index >= 0 && index < 256) p->palette[index] = color;
}

void zepxmap_settransparent(zePixmap *p, int color) { zepxmap_setpalette(p, 255, color); }

int zepxmap_findoradd_color(zePixmap *p, int color) {
    for (int i = 0; i < 256; i++)
        if (p->palette[i] == color) return i;
    int slot = p->nextfree;
    if (slot <= 0 || slot > 254) {
        slot = 254;
        p->nextfree = 254;
    } else {
        p->nextfree = slot - 1;
    }
    p->palette[slot] = color;
    return slot;
}

// ---------------------------------------------------------------------------
// Conversion.

bool zepxmap_convert2truecolor(zePixmap *p, int key) {
    if (key == -1) key = 0;
    if (p->format == ZEPX_TRUECOLOR) return true;
    size_t n = npix(p);
    if (p->format == ZEPX_PALETTE8) {
        uint32_t *np = (uint32_t *)malloc((n ? n : 1) * 4);
        if (!np) return false;
        const uint8_t *s = px8(p);
        for (size_t i = 0; i < n; i++)
            np[i] = s[i] == 255 ? (uint32_t)key : (uint32_t)p->palette[s[i]] & 0xFFFFFF;
        free(p->pixels);
        p->pixels = np;
        p->format = ZEPX_TRUECOLOR;
        return true;
    }
    if (is_surface(p)) {
        zePxServer *s = srv(p);
        uint32_t *np = s->colors;
        s->colors = nullptr;
        zepxmap_server_free(s);
        p->pixels = np;
        p->format = ZEPX_TRUECOLOR;
        return true;
    }
    printf("zepxmap_convert2truecolor: wrong format\n");
    return false;
}

// Small open-addressing set of colours; never holds more than 257 entries.
struct ColorSet {
    enum { SLOTS = 1024 };
    uint32_t key[SLOTS];
    int16_t val[SLOTS];
    int count = 0;
    ColorSet() { memset(val, 0xFF, sizeof val); }
    static unsigned hash(uint32_t c) { return (c * 2654435761u) >> 22; }
    // Index of c, or -1 (added with the next number when add is set and room is left).
    int find(uint32_t c, bool add) {
        unsigned h = hash(c) & (SLOTS - 1);
        while (val[h] >= 0) {
            if (key[h] == c) return val[h];
            h = (h + 1) & (SLOTS - 1);
        }
        if (!add || count > 256) return -1;
        key[h] = c;
        val[h] = (int16_t)count;
        return count++;
    }
};

bool zepxmap_convert2palette8(zePixmap *p, int key) {
    if (p->format == ZEPX_PALETTE8) return true;
    if (p->format != ZEPX_TRUECOLOR) {
        printf("zepxmap_convert2palette8: wrong format %d\n", p->format);
        return false;
    }
    size_t n = npix(p);
    uint8_t *np = (uint8_t *)malloc(n ? n : 1);
    if (!np) return false;
    uint32_t *s = px32(p);
    // Index 255 is the transparent index, so at most 255 colours (the key's
    // own included: it takes a slot like any other) can keep their values;
    // more than that are reduced to the 64 colours of the 0xC0C0C0 cube.
    uint32_t mask = 0xFFFFFFFF;
    {
        ColorSet count;
        for (size_t i = 0; i < n && count.count <= 255; i++) count.find(s[i], true);
        if (count.count > 255) mask = 0xC0C0C0;
    }
    ColorSet set;
    int32_t newpal[256];
    memcpy(newpal, p->palette, sizeof newpal);
    for (int i = 0; i < 255; i++) newpal[i] = 0;
    for (size_t i = 0; i < n; i++) {
        uint32_t c = s[i] & mask;
        int idx = set.find(c, true);
        if (idx < 0 || idx > 254) idx = 254;   // cannot happen: at most 255 colours
        newpal[idx] = (int32_t)c;
        np[i] = (int)s[i] == key ? 255 : (uint8_t)idx;
    }
    memcpy(p->palette, newpal, sizeof newpal);
    free(p->pixels);
    p->pixels = np;
    p->format = ZEPX_PALETTE8;
    return true;
}

bool zepxmap_convert2server(zePixmap *p) {
    if (p->format == ZEPX_SERVER) return true;
    if (p->format == ZEPX_DIRECTX) {
        p->format = ZEPX_SERVER;
        return true;
    }
    if (p->format != ZEPX_PALETTE8 && p->format != ZEPX_TRUECOLOR) {
        printf("zepxmap_convert2server: unsupported format %d\n", p->format);
        return false;
    }
    zePxServer *s = zepxmap_server_new(p->width, p->height);
    if (!s) return false;
    size_t n = npix(p);
    bool anytransparent = false;
    uint8_t *mask = (uint8_t *)calloc(n ? n : 1, 1);
    if (!mask) {
        zepxmap_server_free(s);
        return false;
    }
    for (size_t i = 0; i < n; i++) {
        uint32_t c;
        bool t;
        if (p->format == ZEPX_PALETTE8) {
            t = px8(p)[i] == 255;
            c = (uint32_t)p->palette[px8(p)[i]];
        } else {
            c = px32(p)[i];
            t = (int32_t)c == p->palette[255];
        }
        s->colors[i] = t ? 0 : c & 0xFFFFFF;
        mask[i] = t;
        anytransparent |= t;
    }
    if (anytransparent)
        s->mask = mask;
    else
        free(mask);
    free(p->pixels);
    p->pixels = s;
    p->format = ZEPX_SERVER;
    return true;
}

bool zepxmap_convert2directx(zePixmap *p) {
    if (p->format == ZEPX_DIRECTX) return true;
    if (!zepxmap_convert2server(p)) return false;
    p->format = ZEPX_DIRECTX;
    return true;
}

bool zepxmap_convert(zePixmap *p, int format, int key) {
    switch (format) {
    case ZEPX_PALETTE8: return zepxmap_convert2palette8(p, key);
    case ZEPX_TRUECOLOR: return zepxmap_convert2truecolor(p, key);
    case ZEPX_SERVER: return zepxmap_convert2server(p);
    case ZEPX_SCREEN:
        free_storage(p);
        p->format = ZEPX_SCREEN;
        return true;
    case ZEPX_DIRECTX: return zepxmap_convert2directx(p);
    default: printf("zepxmap_convert: format %d not supported\n", format); return false;
    }
}

bool zepxmap_convert_name(zePixmap *p, const char *name, int key) {
    static const struct {
        const char *word;
        int format;
    } names[] = {{"truecolor", ZEPX_TRUECOLOR}, {"server", ZEPX_SERVER}, {"palette", ZEPX_PALETTE8},
                 {"indexed", ZEPX_PALETTE8},     {"directx", ZEPX_DIRECTX}};
    for (const auto &n : names)
        if (name && strstr(name, n.word)) return zepxmap_convert(p, n.format, key);
    return false;
}

// ---------------------------------------------------------------------------
// Duplicate.

bool zepxmap_duplicate(zePixmap *t, const zePixmap *s, int x, int y, int w, int h) {
    static const int bytes[] = {0, 1, 2, 4, 4, 0, 4};
    if (s->format < 1 || s->format > 6 || s->format == ZEPX_SCREEN) {
        printf("zepxmap_duplicate: wrong format\n");
        return false;
    }
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x > s->width) x = s->width;
    if (y > s->height) y = s->height;
    if (w < 0 || w > s->width - x) w = s->width - x;
    if (h < 0 || h > s->height - y) h = s->height - y;
    zepxmap_init(t);
    t->width = w;
    t->height = h;
    t->format = s->format;
    if (!zepxmap_allocate(t)) {
        zepxmap_init(t);
        return false;
    }
    memcpy(t->palette, s->palette, 256 * 4);
    t->nextfree = s->nextfree;
    int bpp = bytes[s->format];
    const uint8_t *src;
    uint8_t *dst;
    if (is_surface(s)) {
        src = (const uint8_t *)srv(s)->colors;
        dst = (uint8_t *)srv(t)->colors;
        if (srv(s)->mask && w > 0 && h > 0) {
            srv(t)->mask = (uint8_t *)malloc((size_t)w * h);
            if (srv(t)->mask)
                for (int r = 0; r < h; r++)
                    memcpy(srv(t)->mask + (size_t)r * w, srv(s)->mask + (size_t)(y + r) * s->width + x, w);
        }
    } else {
        src = (const uint8_t *)s->pixels;
        dst = (uint8_t *)t->pixels;
    }
    for (int r = 0; r < h; r++)
        memcpy(dst + (size_t)r * w * bpp, src + ((size_t)(y + r) * s->width + x) * bpp, (size_t)w * bpp);
    return true;
}
