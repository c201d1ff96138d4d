// PCX files: 24-bit pictures as three 8-bit planes (red, green, blue) per
// row, run-length encoded. Read and written through fixed 48 KiB buffers.
#include <cstring>
#include <vector>
#include "zeimage.h"
#include "zeimage_rows.h"

enum { PCX_BUFSIZE = 49152 };

struct PcxInfo {
    int w, h;
    int bpl;   // bytes per plane line; our files use the width, other writers pad to even
};

static bool pcx_header(FILE *f, PcxInfo *pi) {
    uint8_t b[128];
    if (fread(b, 1, 128, f) != 128) return false;
    if (b[0] != 0x0A || b[2] != 1 || b[3] != 8 || b[65] != 3) return false;
    int xmin = zele16(b + 4), ymin = zele16(b + 6), xmax = zele16(b + 8), ymax = zele16(b + 10);
    int w = xmax - xmin + 1, h = ymax - ymin + 1;
    int bpl = zele16(b + 66);
    if (w <= 0 || h <= 0 || w > ZEIMG_MAXSIDE || h > ZEIMG_MAXSIDE) return false;
    if (bpl == 0) bpl = w;
    if (bpl < w) return false;
    pi->w = w;
    pi->h = h;
    pi->bpl = bpl;
    return true;
}

bool zepcx_size(FILE *f, int *w, int *h) {
    PcxInfo pi;
    if (!pcx_header(f, &pi)) return false;
    *w = pi.w;
    *h = pi.h;
    return true;
}

// Run-length decoder over a buffered stream. A run may continue from one
// plane line into the next.
struct PcxStream {
    FILE *f;
    uint8_t buf[PCX_BUFSIZE];
    size_t pos = 0, len = 0;
    int run = 0;
    uint8_t runval = 0;

    int next() {
        if (pos == len) {
            len = fread(buf, 1, PCX_BUFSIZE, f);
            pos = 0;
            if (len == 0) return -1;
        }
        return buf[pos++];
    }
    // Fills n values into dst (null: only counts). False when the data end first.
    bool line(uint8_t *dst, size_t n) {
        size_t i = 0;
        while (i < n) {
            if (run > 0) {
                size_t k = (size_t)run < n - i ? (size_t)run : n - i;
                if (dst) memset(dst + i, runval, k);
                i += k;
                run -= (int)k;
                continue;
            }
            int b = next();
            if (b < 0) return false;
            if (b >= 0xC0) {
                int v = next();
                if (v < 0) return false;
                run = b & 0x3F;
                runval = (uint8_t)v;
            } else {
                if (dst) dst[i] = (uint8_t)b;
                i++;
            }
        }
        return true;
    }
};

// Decodes up to `last` rows, handing each to emit (false: enough rows).
// checkFirst: a first pass makes sure the data hold every plane line, so that
// a truncated file is refused before anything is drawn. Without it a reader
// may get rows before the truncation shows, and must drop them on false.
static bool pcx_rows(FILE *f, const PcxInfo *pi, int last, bool checkFirst,
                     bool (*emit)(void *ctx, int y, const uint32_t *colors), void *ctx) {
    long start = ftell(f);
    PcxStream *s = new PcxStream;
    s->f = f;
    bool ok = true;
    if (checkFirst) {
        for (int y = 0; ok && y < pi->h * 3; y++) ok = s->line(nullptr, pi->bpl);
        if (ok && fseek(f, start, SEEK_SET) != 0) ok = false;
        *s = PcxStream();
        s->f = f;
    }
    std::vector<uint8_t> planes((size_t)pi->bpl * 3);
    std::vector<uint32_t> line(pi->w);
    uint8_t *r = planes.data(), *g = r + pi->bpl, *b = g + pi->bpl;
    for (int y = 0; ok && y < last; y++) {
        ok = s->line(r, pi->bpl) && s->line(g, pi->bpl) && s->line(b, pi->bpl);
        if (!ok) break;
        for (int x = 0; x < pi->w; x++) line[x] = (uint32_t)r[x] << 16 | g[x] << 8 | b[x];
        if (!emit(ctx, y, line.data())) break;
    }
    delete s;
    return ok;
}

static bool put_row(void *ctx, int y, const uint32_t *colors) {
    const zeImgRows *rows = (const zeImgRows *)ctx;
    if (rows->y + y >= rows->p->height) return false;   // below the pixmap: nothing more to keep
    rows->put(y, colors);
    return true;
}

static bool pcx_decode(FILE *f, void *state, const zeImgRows &rows) {
    const PcxInfo *pi = (const PcxInfo *)state;
    return pcx_rows(f, pi, rows.h < pi->h ? rows.h : pi->h, true, put_row, (void *)&rows);
}

bool zepcx_read_rows(FILE *f, bool (*size)(void *ctx, int w, int h),
                     bool (*row)(void *ctx, int y, const uint32_t *colors), void *ctx) {
    PcxInfo pi;
    if (!pcx_header(f, &pi) || !size(ctx, pi.w, pi.h)) return false;
    return pcx_rows(f, &pi, pi.h, false, row, ctx);
}

bool zepcx_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h) {
    PcxInfo pi;
    if (!pcx_header(f, &pi)) return false;
    unsigned targets = ZEIMG_TO_TRUECOLOR | ZEIMG_TO_SERVER | ZEIMG_TO_DIRECTX | ZEIMG_TO_PALETTE8;
    return zeimage_place(f, pcx_decode, &pi, pi.w, pi.h, p, x, y, w, h, targets, "zepxmap_loadfromfile_pcx", -2);
}

// ---------------------------------------------------------------------------
// Writing.

struct PcxOut {
    FILE *f;
    uint8_t buf[PCX_BUFSIZE];
    size_t n = 0;
    bool ok = true;

    void flush() {
        if (n && fwrite(buf, 1, n, f) != n) ok = false;
        n = 0;
    }
    void put(uint8_t v) {
        if (n == PCX_BUFSIZE) flush();
        buf[n++] = v;
    }
    void run(int count, uint8_t v, bool endofline) {
        if (count == 1 && v < 0xC0 && !endofline) {
            put(v);
            return;
        }
        put((uint8_t)(0xC0 + count));
        put(v);
    }
    // One plane line: runs of up to 63; the pending run at the end of the
    // line is always written with its count byte.
    void line(const uint8_t *s, int w) {
        if (w <= 0) return;
        int count = 1;
        uint8_t v = s[0];
        for (int i = 1; i < w; i++) {
            if (s[i] == v && count < 63) {
                count++;
                continue;
            }
            run(count, v, false);
            v = s[i];
            count = 1;
        }
        run(count, v, true);
        flush();
    }
};

bool zepxmap_savetofile_pcx(const zePixmap *p, const char *filename) {
    zePixmap tmp;
    const zePixmap *t = zeimage_truecolor(p, &tmp);
    if (!t) return false;
    int w = t->width, h = t->height;
    if (w > 65535 || h > 65535) {   // the header's 16-bit fields would cut the size
        printf("zepxmap_savetofile_pcx: %d x %d is too large for PCX\n", w, h);
        if (t == &tmp) zepxmap_release(&tmp);
        return false;
    }
    uint8_t hdr[128] = {0x0A, 5, 1, 8};
    hdr[8] = (uint8_t)(w - 1), hdr[9] = (uint8_t)((w - 1) >> 8);
    hdr[10] = (uint8_t)(h - 1), hdr[11] = (uint8_t)((h - 1) >> 8);
    hdr[12] = 300 & 255, hdr[13] = 300 >> 8, hdr[14] = 300 & 255, hdr[15] = 300 >> 8;
    hdr[65] = 3;
    hdr[66] = (uint8_t)w, hdr[67] = (uint8_t)(w >> 8);
    hdr[68] = 1;
    zeFileOut target;
    FILE *f = zefile_out_open(&target, filename);
    bool ok = f != nullptr;
    if (ok) {
        PcxOut *out = new PcxOut;
        out->f = f;
        out->ok = fwrite(hdr, 1, 128, f) == 128;
        std::vector<uint8_t> planes((size_t)w * 3 + 1);
        uint8_t *r = planes.data(), *g = r + w, *b = g + w;
        for (int y = 0; out->ok && y < h; y++) {
            const uint32_t *s = (const uint32_t *)t->pixels + (size_t)y * w;
            for (int x = 0; x < w; x++) r[x] = s[x] >> 16, g[x] = s[x] >> 8, b[x] = s[x];
            out->line(r, w);
            out->line(g, w);
            out->line(b, w);
        }
        ok = zefile_out_close(&target, out->ok);
        delete out;
    }
    if (t == &tmp) zepxmap_release(&tmp);
    return ok;
}
