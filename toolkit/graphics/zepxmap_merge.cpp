// Merging one pixmap into another: the source rectangle is drawn at a target
// position, transparent source pixels are skipped. zepxmap_merge4 is the one
// entry point; the others are its branches by target format.
#include "zepxmap.h"
#include <cstdio>
#include <cstring>

static inline uint8_t *px8(const zePixmap *p) { return (uint8_t *)p->pixels; }
static inline uint32_t *px32(const zePixmap *p) { return (uint32_t *)p->pixels; }
static inline zePxServer *srv(const zePixmap *p) { return (zePxServer *)p->pixels; }

// The rectangle a merge touches, clipped so that every access lies inside
// both pixmaps (negative positions move the other rectangle in as well).
struct MergeRect {
    int tx, ty, sx, sy, w, h;
};

static bool clip(const zePixmap *t, const zePixmap *s, MergeRect &r) {
    // in 64 bits: positions and sizes may be anywhere in the int range
    int64_t tx = r.tx, ty = r.ty, sx = r.sx, sy = r.sy, w = r.w, h = r.h;
    if (w == 0 || w == -1) w = s->width;
    if (h == 0 || h == -1) h = s->height;
    if (tx < 0) sx -= tx, w += tx, tx = 0;
    if (ty < 0) sy -= ty, h += ty, ty = 0;
    if (sx < 0) tx -= sx, w += sx, sx = 0;
    if (sy < 0) ty -= sy, h += sy, sy = 0;
    if (sx + w >= s->width) w = s->width - sx;
    if (sy + h >= s->height) h = s->height - sy;
    if (tx + w >= t->width) w = t->width - tx;
    if (ty + h >= t->height) h = t->height - ty;
    if (w <= 0 || h <= 0) return false;
    r = {(int)tx, (int)ty, (int)sx, (int)sy, (int)w, (int)h};
    return true;
}

static inline size_t at(const zePixmap *p, int x, int y) { return (size_t)y * p->width + x; }

// palette8 -> palette8 -------------------------------------------------------

static void copy_pal8(zePixmap *t, const zePixmap *s, const MergeRect &r, const uint8_t *table,
                      bool copytransparent) {
    for (int y = 0; y < r.h; y++) {
        const uint8_t *sp = px8(s) + at(s, r.sx, r.sy + y);
        uint8_t *tp = px8(t) + at(t, r.tx, r.ty + y);
        for (int x = 0; x < r.w; x++) {
            uint8_t v = table ? table[sp[x]] : sp[x];
            if (v != 255 || copytransparent) tp[x] = v;
        }
    }
}

static bool pal8topal8(zePixmap *t, const zePixmap *s, MergeRect r, int code) {
    switch (code) {
    case 0: {
        // Only the indices that occur in the rectangle are translated, so a
        // merge never fills the target palette with colours it does not draw.
        bool used[256] = {};
        for (int y = 0; y < r.h; y++) {
            const uint8_t *sp = px8(s) + at(s, r.sx, r.sy + y);
            for (int x = 0; x < r.w; x++) used[sp[x]] = true;
        }
        uint8_t table[256];
        table[255] = 255;
        for (int i = 0; i < 255; i++) {
            table[i] = 0;
            if (!used[i]) continue;
            int j = 0;
            while (j < 255 && t->palette[j] != s->palette[i]) j++;
            table[i] = (uint8_t)(j < 255 ? j : zepxmap_findoradd_color(t, s->palette[i] & 0xC0C0C0));
        }
        copy_pal8(t, s, r, table, false);
        return true;
    }
    case 1: copy_pal8(t, s, r, nullptr, false); return true;
    case 2: printf("zepxmap_merge_pal8topal8_pc2\n"); return false;
    case 3:
        copy_pal8(t, s, r, nullptr, true);
        memcpy(t->palette, s->palette, 256 * 4);
        return true;
    default: printf("zepxmap_merge_pal8topal8: wrong PaletteCode (%d)\n", code); return false;
    }
}

bool zepxmap_merge_pal8topal8(zePixmap *t, const zePixmap *s, int tx, int ty, int sx, int sy, int w,
                              int h, int code) {
    MergeRect r = {tx, ty, sx, sy, w, h};
    if (!clip(t, s, r)) return code >= 0 && code <= 3 && code != 2;
    return pal8topal8(t, s, r, code);
}

bool zepxmap_merge1(zePixmap *t, const zePixmap *s, int tx, int ty, int sx, int sy, int w, int h, int code) {
    if (s->format == ZEPX_PALETTE8) return zepxmap_merge_pal8topal8(t, s, tx, ty, sx, sy, w, h, code);
    if (s->format == ZEPX_TRUECOLOR) {
        printf("zepxmap_merge_truecolortopal8: not implemented\n");
        return false;
    }
    printf("zepxmap_merge1: unsupported formats: %d -> %d\n", s->format, t->format);
    return false;
}

// -> truecolor ----------------------------------------------------------------

bool zepxmap_merge2(zePixmap *t, const zePixmap *s, int tx, int ty, int sx, int sy, int w, int h) {
    if (s->format != ZEPX_PALETTE8 && s->format != ZEPX_TRUECOLOR) {
        printf("zepxmap_merge2: unsupported formats: %d -> %d\n", s->format, t->format);
        return false;
    }
    MergeRect r = {tx, ty, sx, sy, w, h};
    if (!clip(t, s, r)) return true;
    for (int y = 0; y < r.h; y++) {
        uint32_t *tp = px32(t) + at(t, r.tx, r.ty + y);
        if (s->format == ZEPX_PALETTE8) {
            const uint8_t *sp = px8(s) + at(s, r.sx, r.sy + y);
            for (int x = 0; x < r.w; x++)
                if (sp[x] != 255) tp[x] = (uint32_t)s->palette[sp[x]] & 0xFFFFFF;
        } else {
            const uint32_t *sp = px32(s) + at(s, r.sx, r.sy + y);
            uint32_t key = (uint32_t)s->palette[255];
            for (int x = 0; x < r.w; x++)
                if (sp[x] != key) tp[x] = sp[x];
        }
    }
    return true;
}

// -> server / directx (memory colour arrays with an optional mask) ------------

static void server_touch(zePxServer *s) {
    if (s->native && s->native_free) s->native_free(s->native);
    s->native = nullptr;
}

static bool merge_server(zePixmap *t, const zePixmap *s, MergeRect r) {
    zePxServer *ts = srv(t);
    if (!clip(t, s, r)) return true;
    for (int y = 0; y < r.h; y++) {
        uint32_t *tp = ts->colors + at(t, r.tx, r.ty + y);
        size_t si = at(s, r.sx, r.sy + y);
        switch (s->format) {
        case ZEPX_PALETTE8: {
            // mask AND, colour OR: transparent pixels keep the target
            const uint8_t *sp = px8(s) + si;
            for (int x = 0; x < r.w; x++)
                if (sp[x] != 255) tp[x] = (uint32_t)s->palette[sp[x]] & 0xFFFFFF;
            break;
        }
        case ZEPX_TRUECOLOR: {
            const uint32_t *sp = px32(s) + si;
            for (int x = 0; x < r.w; x++) tp[x] = sp[x] & 0xFFFFFF;
            break;
        }
        default: {   // server or directx source
            const uint32_t *sp = srv(s)->colors + si;
            const uint8_t *mp = srv(s)->mask ? srv(s)->mask + si : nullptr;
            if (!mp)
                memcpy(tp, sp, (size_t)r.w * 4);
            else
                for (int x = 0; x < r.w; x++)
                    if (!mp[x]) tp[x] = sp[x];
        }
        }
    }
    server_touch(ts);
    return true;
}

// -> screen -------------------------------------------------------------------

bool zepxmap_merge3(zePixmap *t, const zePixmap *s, int tx, int ty, int sx, int sy, int w, int h) {
    if (s->format != ZEPX_TRUECOLOR && s->format != ZEPX_SERVER) {
        printf("zepxmap_merge3: unsupported formats: %d -> screen\n", s->format);
        return false;
    }
    MergeRect r = {tx, ty, sx, sy, w, h};
    if (!clip(t, s, r)) return true;
    const zeScreenHooks *hooks = zepxmap_screen_hooks();
    if (hooks->drawpxmap) hooks->drawpxmap(s, r.tx, r.ty, r.sx, r.sy, r.w, r.h);
    return true;
}

bool zepxmap_merge4(zePixmap *t, zePixmap *s, int tx, int ty, int sx, int sy, int w, int h, int code,
                    int flag) {
    MergeRect r = {tx, ty, sx, sy, w, h};
    switch (t->format) {
    case ZEPX_PALETTE8: return zepxmap_merge1(t, s, tx, ty, sx, sy, w, h, code);
    case ZEPX_TRUECOLOR: return zepxmap_merge2(t, s, tx, ty, sx, sy, w, h);
    case ZEPX_SERVER:
        if (s->format != ZEPX_PALETTE8 && s->format != ZEPX_TRUECOLOR && s->format != ZEPX_SERVER) {
            printf("pxmapmerge not supported: %d -> %d\n", s->format, t->format);
            return false;
        }
        return merge_server(t, s, r);
    case ZEPX_SCREEN: return zepxmap_merge3(t, s, tx, ty, sx, sy, w, h);
    case ZEPX_DIRECTX:
        if (s->format == ZEPX_PALETTE16 || s->format == ZEPX_SCREEN || s->format < 1 || s->format > 6 ||
            !zepxmap_convert2directx(s)) {
            printf("zellgui_copypxmap2directx not supported: %d -> %d\n", s->format, t->format);
            return false;
        }
        return merge_server(t, s, r);
    default: printf("zepxmap_merge4: unsupported formats: %d -> %d\n", s->format, t->format); return false;
    }
}
