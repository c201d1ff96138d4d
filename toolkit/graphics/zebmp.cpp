// BMP files: uncompressed 24-bit pictures, read and written.
#include <cstdlib>
#include <cstring>
#include <vector>
#include "zeimage.h"
#include "zeimage_rows.h"

struct BmpInfo {
    int w, h;
    long offset;    // start of the pixel rows
    size_t stride;  // bytes per row, padded to 4
};

// Reads and checks the header: only what this reader can decode is accepted,
// and the rows must lie inside the file.
static bool bmp_header(FILE *f, BmpInfo *bi) {
    uint8_t b[54];
    long size = zeimage_remaining(f);
    if (size < 54 || fread(b, 1, 54, f) != 54) return false;
    if (b[0] != 'B' || b[1] != 'M') return false;
    uint32_t offset = zele32(b + 10), hsize = zele32(b + 14);
    int32_t w = (int32_t)zele32(b + 18), h = (int32_t)zele32(b + 22);
    if (hsize < 40 || w <= 0 || h <= 0 || w > ZEIMG_MAXSIDE || h > ZEIMG_MAXSIDE) return false;
    if (zele16(b + 26) != 1 || zele16(b + 28) != 24 || zele32(b + 30) != 0) return false;
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    if (offset < 14 + hsize || offset > (uint32_t)size) return false;
    if ((uint64_t)offset + (uint64_t)stride * h > (uint64_t)size) return false;
    bi->w = w;
    bi->h = h;
    bi->offset = offset;
    bi->stride = stride;
    return true;
}

bool zebmp_size(FILE *f, int *w, int *h) {
    BmpInfo bi;
    if (!bmp_header(f, &bi)) return false;
    *w = bi.w;
    *h = bi.h;
    return true;
}

// Rows are stored from the bottom up; they are read in file order.
static bool bmp_decode(FILE *f, void *state, const zeImgRows &rows) {
    const BmpInfo *bi = (const BmpInfo *)state;
    int cols = rows.w < bi->w ? rows.w : bi->w;
    std::vector<uint8_t> raw(bi->stride);
    std::vector<uint32_t> line(cols > 0 ? cols : 1);
    int first = bi->h - 1 < rows.h - 1 ? bi->h - 1 : rows.h - 1;   // lowest picture row wanted
    if (fseek(f, bi->offset + (long)(bi->h - 1 - first) * (long)bi->stride, SEEK_SET) != 0) return false;
    for (int r = first; r >= 0; r--) {
        if (fread(raw.data(), 1, bi->stride, f) != bi->stride) return false;
        const uint8_t *s = raw.data();
        for (int x = 0; x < cols; x++, s += 3) line[x] = (uint32_t)s[2] << 16 | s[1] << 8 | s[0];
        rows.put(r, line.data());
    }
    return true;
}

// "transparentcolor=" followed by a hexadecimal colour, in any option item.
static int transparent_option(const char *const *items) {
    int color = -2;
    for (int i = 0; items && items[i]; i++) {
        const char *s = strstr(items[i], "transparentcolor=");
        if (s) color = (int)(strtoul(s + 17, nullptr, 16) & 0xFFFFFF);
    }
    return color;
}

bool zebmp_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h) {
    BmpInfo bi;
    if (!bmp_header(f, &bi)) return false;
    unsigned targets = ZEIMG_TO_TRUECOLOR | ZEIMG_TO_SERVER | ZEIMG_TO_DIRECTX | ZEIMG_TO_PALETTE8 |
                       ZEIMG_SERVER_REMAKE;
    return zeimage_place(f, bmp_decode, &bi, bi.w, bi.h, p, x, y, w, h, targets, "zepxmap_loadfromfile_bmp",
                         transparent_option(items));
}

static void put_le32(uint8_t *b, uint32_t v) {
    b[0] = v, b[1] = v >> 8, b[2] = v >> 16, b[3] = v >> 24;
}

bool zepxmap_savetofile_bmp(const zePixmap *p, const char *filename) {
    zePixmap tmp;
    const zePixmap *t = zeimage_truecolor(p, &tmp);
    if (!t) return false;
    int w = t->width, h = t->height;
    uint8_t hdr[54] = {'B', 'M'};
    put_le32(hdr + 2, (uint32_t)(54 + (3 * w + w % 4) * h));
    put_le32(hdr + 10, 54);
    put_le32(hdr + 14, 40);
    put_le32(hdr + 18, w);
    put_le32(hdr + 22, h);
    hdr[26] = 1;
    hdr[28] = 24;
    zeFileOut target;
    FILE *f = zefile_out_open(&target, filename);
    bool ok = f != nullptr;
    if (ok) {
        ok = fwrite(hdr, 1, 54, f) == 54;
        size_t stride = (size_t)3 * w + w % 4;
        std::vector<uint8_t> row(stride, 0);
        for (int y = h - 1; ok && y >= 0; y--) {
            const uint32_t *s = (const uint32_t *)t->pixels + (size_t)y * w;
            for (int x = 0; x < w; x++) {
                row[3 * x] = s[x];
                row[3 * x + 1] = s[x] >> 8;
                row[3 * x + 2] = s[x] >> 16;
            }
            ok = fwrite(row.data(), 1, stride, f) == stride;
        }
        ok = zefile_out_close(&target, ok);
    }
    if (t == &tmp) zepxmap_release(&tmp);
    return ok;
}
