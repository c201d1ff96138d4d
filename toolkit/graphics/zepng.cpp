// PNG writer: 8-bit RGB, the pixel data as stored (uncompressed) deflate
// blocks inside one zlib stream in one IDAT chunk.
#include <cstring>
#include <vector>
#include "zeimage.h"
#include "zeimage_rows.h"

enum { PNG_BLOCK = 32768 };

// CRC-32 of the PNG standard (reflected 0xEDB88320), eight bytes per step.
struct CrcTables {
    uint32_t t[8][256];
    CrcTables() {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (int i = 0; i < 256; i++)
            for (int k = 1; k < 8; k++) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};
static const CrcTables crc;

uint32_t zepng_crc32(uint32_t c, const uint8_t *d, size_t n) {
    c = ~c;
    while (n >= 8) {
        uint32_t a = c ^ (d[0] | d[1] << 8 | d[2] << 16 | (uint32_t)d[3] << 24);
        c = crc.t[7][a & 0xFF] ^ crc.t[6][(a >> 8) & 0xFF] ^ crc.t[5][(a >> 16) & 0xFF] ^ crc.t[4][a >> 24] ^
            crc.t[3][d[4]] ^ crc.t[2][d[5]] ^ crc.t[1][d[6]] ^ crc.t[0][d[7]];
        d += 8;
        n -= 8;
    }
    while (n--) c = crc.t[0][(c ^ *d++) & 0xFF] ^ (c >> 8);
    return ~c;
}

uint32_t zepng_adler32(uint32_t adler, const uint8_t *d, size_t n) {
    uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    while (n > 0) {
        size_t k = n < 5552 ? n : 5552;   // largest run before the sums can overflow
        n -= k;
        while (k--) {
            s1 += *d++;
            s2 += s1;
        }
        s1 %= 65521;
        s2 %= 65521;
    }
    return s2 << 16 | s1;
}

static void be32(uint8_t *b, uint32_t v) {
    b[0] = v >> 24, b[1] = v >> 16, b[2] = v >> 8, b[3] = v;
}

struct PngOut {
    FILE *f;
    bool ok = true;
    uint32_t crc = 0;      // running CRC of the current chunk
    uint32_t adler = 1;
    uint32_t length = 0;   // running IDAT length

    void raw(const void *d, size_t n) {
        if (n && fwrite(d, 1, n, f) != n) ok = false;
        crc = zepng_crc32(crc, (const uint8_t *)d, n);
    }
    void chunk(const char *type, const uint8_t *d, uint32_t n) {
        uint8_t b[4];
        be32(b, n);
        if (fwrite(b, 1, 4, f) != 4) ok = false;
        crc = 0;
        raw(type, 4);
        raw(d, n);
        be32(b, crc);
        if (fwrite(b, 1, 4, f) != 4) ok = false;
    }
    // One stored deflate block.
    void block(const uint8_t *d, size_t n, bool final) {
        uint8_t h[5] = {(uint8_t)final, (uint8_t)n, (uint8_t)(n >> 8), (uint8_t)~n, (uint8_t)(~n >> 8)};
        raw(h, 5);
        raw(d, n);
        adler = zepng_adler32(adler, d, n);
        length += (uint32_t)n + 5;
    }
};

// RGB from 0x00RRGGBB pixels, or RGBA from 0xAARRGGBB ones.
static bool write_png(const char *filename, const uint32_t *pixels, int w, int h, bool alpha) {
    int channels = alpha ? 4 : 3;
    zeFileOut target;
    FILE *f = zefile_out_open(&target, filename);
    bool ok = f != nullptr;
    if (ok) {
        static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        PngOut out;
        out.f = f;
        setvbuf(f, nullptr, _IOFBF, 1 << 16);
        if (fwrite(sig, 1, 8, f) != 8) out.ok = false;
        uint8_t ihdr[13] = {};
        be32(ihdr, w);
        be32(ihdr + 4, h);
        ihdr[8] = 8;
        ihdr[9] = alpha ? 6 : 2;
        out.chunk("IHDR", ihdr, 13);

        long lenpos = ftell(f);
        uint8_t zero[4] = {};
        if (fwrite(zero, 1, 4, f) != 4) out.ok = false;
        out.crc = 0;
        out.raw("IDAT", 4);
        static const uint8_t zhdr[2] = {0x78, 0xDA};
        out.raw(zhdr, 2);
        out.length = 2;

        size_t linelen = 1 + (size_t)w * channels;
        std::vector<uint8_t> buf(PNG_BLOCK), line(linelen);
        size_t used = 0;
        for (int y = 0; out.ok && y < h; y++) {
            const uint32_t *s = pixels + (size_t)y * w;
            uint8_t *d = line.data();
            *d++ = 0;
            for (int x = 0; x < w; x++, d += channels) {
                d[0] = s[x] >> 16, d[1] = s[x] >> 8, d[2] = s[x];
                if (alpha) d[3] = s[x] >> 24;
            }
            if (used + linelen > PNG_BLOCK && used) {
                out.block(buf.data(), used, false);
                used = 0;
            }
            // a scan line longer than the block buffer is cut into full blocks
            size_t off = 0;
            while (linelen - off > PNG_BLOCK) {
                out.block(line.data() + off, PNG_BLOCK, false);
                off += PNG_BLOCK;
            }
            memcpy(buf.data() + used, line.data() + off, linelen - off);
            used += linelen - off;
        }
        out.block(buf.data(), used, true);
        uint8_t a[4];
        be32(a, out.adler);
        out.raw(a, 4);
        out.length += 4;
        uint32_t idatcrc = out.crc;
        long end = ftell(f);
        uint8_t l[4];
        be32(l, out.length);
        if (lenpos < 0 || end < 0 || fseek(f, lenpos, SEEK_SET) != 0 || fwrite(l, 1, 4, f) != 4 ||
            fseek(f, end, SEEK_SET) != 0)
            out.ok = false;
        be32(l, idatcrc);
        if (fwrite(l, 1, 4, f) != 4) out.ok = false;
        out.chunk("IEND", nullptr, 0);
        ok = zefile_out_close(&target, out.ok);
    }
    return ok;
}

bool zepxmap_savetofile_png(const zePixmap *p, const char *filename) {
    zePixmap tmp;
    const zePixmap *t = zeimage_truecolor(p, &tmp);
    if (!t) return false;
    bool ok = write_png(filename, (const uint32_t *)t->pixels, t->width, t->height, false);
    if (t == &tmp) zepxmap_release(&tmp);
    return ok;
}

bool zepng_write_argb(const char *filename, const uint32_t *pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return false;
    return write_png(filename, pixels, width, height, true);
}
