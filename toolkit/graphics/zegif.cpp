// GIF pictures through giflib: the first frame only, read record by record
// (giflib's slurp would decode every frame of an animation first), placed on
// the logical screen over the background colour.
#include <cstdio>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "zedl.h"
#include "zeimport.h"

namespace {

// giflib is opened by the first GIF picture.
#define GIF_FNS(X)                                                                                        \
    X(Open, DGifOpen) X(CloseFile, DGifCloseFile) X(GetRecordType, DGifGetRecordType)                     \
    X(GetExtension, DGifGetExtension) X(GetExtensionNext, DGifGetExtensionNext)                           \
    X(GetImageDesc, DGifGetImageDesc) X(GetLine, DGifGetLine) X(ErrorString, GifErrorString)
struct GifFns {
    GIF_FNS(ZEDL_MEMBER)
};
GifFns gif;
const char *const gif_sonames[] = {"libgif.so.7", nullptr};
const char *const gif_symbols[] = {GIF_FNS(ZEDL_NAME) nullptr};
zeDlLib gif_lib = {"libgif", gif_sonames, gif_symbols, &gif, sizeof gif};

struct MemReader {
    const uint8_t *data;
    size_t size, pos;
};

int read_mem(GifFileType *g, GifByteType *buf, int n) {
    MemReader *m = (MemReader *)g->UserData;
    size_t left = m->size - m->pos;
    size_t k = n < 0 ? 0 : (size_t)n < left ? (size_t)n : left;
    memcpy(buf, m->data + m->pos, k);
    m->pos += k;
    return (int)k;
}

const char *gif_error(int code) {
    const char *s = gif.ErrorString(code);
    return s ? s : "unreadable";
}

// The transparent index of a graphic control extension (-1 = none).
int transparent_index(const GifByteType *ext) {
    if (!ext || ext[0] < 4 || !(ext[1] & 1)) return -1;
    return ext[4];
}

// Skips extensions up to the first image; remembers the transparency of the
// graphic control extension that precedes it.
bool find_first_image(GifFileType *g, int *transparent) {
    for (;;) {
        GifRecordType rt;
        if (gif.GetRecordType(g, &rt) == GIF_ERROR) return false;
        if (rt == IMAGE_DESC_RECORD_TYPE) return true;
        if (rt != EXTENSION_RECORD_TYPE) return false;   // end of file before any image
        int code;
        GifByteType *ext = nullptr;
        if (gif.GetExtension(g, &code, &ext) == GIF_ERROR) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE) *transparent = transparent_index(ext);
        while (ext)
            if (gif.GetExtensionNext(g, &ext) == GIF_ERROR) return false;
    }
}

// Row of the frame that the i-th decoded line holds: interlaced frames come
// in four passes (every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1).
int interlaced_row(int i, int h) {
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; pass++) {
        int n = h > start[pass] ? (h - start[pass] + step[pass] - 1) / step[pass] : 0;
        if (i < n) return start[pass] + i * step[pass];
        i -= n;
    }
    return -1;
}

bool decode_frame(GifFileType *g, zePixmap *out, int background, int transparent, const char *name) {
    const GifImageDesc &im = g->Image;
    if (im.Width <= 0 || im.Height <= 0 || im.Left < 0 || im.Top < 0) {
        printf("zeimage_import: broken GIF (%s): empty frame\n", name);
        return false;
    }
    // A frame reaching beyond the logical screen widens it, as viewers do.
    int w = g->SWidth > im.Left + im.Width ? g->SWidth : im.Left + im.Width;
    int h = g->SHeight > im.Top + im.Height ? g->SHeight : im.Top + im.Height;
    if (!zeimport_size_ok(w, h, name)) return false;
    const ColorMapObject *map = im.ColorMap ? im.ColorMap : g->SColorMap;
    if (!map || !map->Colors || map->ColorCount <= 0) {
        printf("zeimage_import: broken GIF (%s): no colour table\n", name);
        return false;
    }
    uint32_t colors[256];
    for (int i = 0; i < 256; i++) {
        const GifColorType &c = map->Colors[i < map->ColorCount ? i : 0];
        colors[i] = i < map->ColorCount ? (uint32_t)c.Red << 16 | c.Green << 8 | c.Blue : 0;
    }
    uint32_t bg = background < 0 ? 0 : (uint32_t)background & 0xFFFFFF;
    if (transparent >= 0) colors[transparent] = bg;
    if (!zepxmap_create(out, w, h, ZEPX_TRUECOLOR)) {
        printf("zeimage_import: no memory for %d x %d (%s)\n", w, h, name);
        return false;
    }
    zepxmap_clear(out, (int)bg);
    std::vector<GifPixelType> line(im.Width);
    uint32_t *pix = (uint32_t *)out->pixels;
    for (int i = 0; i < im.Height; i++) {
        if (gif.GetLine(g, line.data(), im.Width) == GIF_ERROR) {
            printf("zeimage_import: broken GIF (%s): %s\n", name, gif_error(g->Error));
            return false;
        }
        int row = im.Interlace ? interlaced_row(i, im.Height) : i;
        uint32_t *dst = pix + (size_t)(im.Top + row) * w + im.Left;
        for (int x = 0; x < im.Width; x++) dst[x] = colors[line[x]];
    }
    return true;
}

}  // namespace

bool zegif_decode(zePixmap *p, const uint8_t *data, size_t size, int background, const char *name) {
    if (!name) name = "";
    if (!data || size == 0) {
        printf("zeimage_import: empty file (%s)\n", name);
        return false;
    }
    if (!zedl_load(&gif_lib)) {
        printf("zeimage_import: cannot read GIF (%s): %s\n", name, zedl_error(&gif_lib));
        return false;
    }
    MemReader m = {data, size, 0};
    int error = 0;
    GifFileType *g = gif.Open(&m, read_mem, &error);
    if (!g) {
        printf("zeimage_import: broken GIF (%s): %s\n", name, gif_error(error));
        return false;
    }
    zePixmap out;
    zepxmap_init(&out);
    int transparent = -1;
    bool ok = find_first_image(g, &transparent);
    if (ok) ok = gif.GetImageDesc(g) != GIF_ERROR;
    if (!ok) printf("zeimage_import: broken GIF (%s): %s\n", name, g->Error ? gif_error(g->Error) : "no picture");
    if (ok) ok = decode_frame(g, &out, background, transparent, name);
    gif.CloseFile(g, &error);
    if (!ok) {
        zepxmap_release(&out);
        return false;
    }
    zepxmap_release(p);
    *p = out;
    return true;
}
