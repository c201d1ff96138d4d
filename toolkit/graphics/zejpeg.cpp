// JPEG pictures through libjpeg-turbo: decoded straight into truecolor rows,
// CMYK/YCCK converted here, the EXIF orientation applied afterwards.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "zedl.h"
#include "zeimport.h"

namespace {

// libjpeg is opened by the first JPEG picture.
#define JPEG_FNS(X)                                                                                       \
    X(std_error, jpeg_std_error) X(CreateDecompress, jpeg_CreateDecompress)                               \
    X(destroy_decompress, jpeg_destroy_decompress) X(mem_src, jpeg_mem_src)                               \
    X(save_markers, jpeg_save_markers) X(read_header, jpeg_read_header)                                   \
    X(start_decompress, jpeg_start_decompress) X(read_scanlines, jpeg_read_scanlines)                     \
    X(finish_decompress, jpeg_finish_decompress)
struct JpegFns {
    JPEG_FNS(ZEDL_MEMBER)
};
JpegFns jpeg;
const char *const jpeg_sonames[] = {"libjpeg.so.62", nullptr};
const char *const jpeg_symbols[] = {JPEG_FNS(ZEDL_NAME) nullptr};
zeDlLib jpeg_lib = {"libjpeg", jpeg_sonames, jpeg_symbols, &jpeg, sizeof jpeg};

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder with the message kept for our log line.
struct JpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool corrupt;   // a warning that means lost or damaged picture data
    char msg[JMSG_LENGTH_MAX];
};

void on_error(j_common_ptr c) {
    JpegError *e = (JpegError *)c->err;
    c->err->format_message(c, e->msg);
    longjmp(e->jump, 1);
}

// Warnings go nowhere (libjpeg would print them on stderr). Those about the
// entropy-coded data mean the picture would show grey or garbage where data
// is missing: a truncated or damaged file, refused like a broken one.
void on_message(j_common_ptr c, int level) {
    if (level >= 0) return;
    JpegError *e = (JpegError *)c->err;
    switch (c->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
        if (!e->corrupt) c->err->format_message(c, e->msg);
        e->corrupt = true;
        break;
    }
    c->err->num_warnings++;
}

// A progressive file may repeat scans without end, each one a pass over the
// whole picture: past the limit it is refused.
void on_progress(j_common_ptr c) {
    j_decompress_ptr d = (j_decompress_ptr)c;
    if (d->input_scan_number > ZEIMPORT_MAXSCANS) {
        JpegError *e = (JpegError *)c->err;
        snprintf(e->msg, sizeof e->msg, "more than %d scans", ZEIMPORT_MAXSCANS);
        longjmp(e->jump, 1);
    }
}

// Adobe's CMYK files store the inks inverted (255 = no ink). The inks are
// then taken plainly: red = (255 - K) - C (255 - K) / 255, rounded as the
// usual viewers do.
unsigned muldiv255(unsigned a, unsigned b) {
    unsigned t = a * b + 128;
    return ((t >> 8) + t) >> 8;
}

void cmyk_row(uint32_t *out, const uint8_t *in, int width, bool inverted) {
    for (int x = 0; x < width; x++, in += 4) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        unsigned nk = 255 - k;
        out[x] = (nk - muldiv255(c, nk)) << 16 | (nk - muldiv255(m, nk)) << 8 | (nk - muldiv255(y, nk));
    }
}

int orientation_of(j_decompress_ptr d) {
    for (jpeg_saved_marker_ptr m = d->marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1) {
            int o = zejpeg_exif_orientation(m->data, m->data_length);
            if (o != 1) return o;
        }
    return 1;
}

// The decode proper. Kept apart from zejpeg_decode so that nothing with a
// destructor lives in the frame that longjmp leaves.
bool decode(j_decompress_ptr d, JpegError *err, zePixmap *out, uint8_t *volatile *rowbuf, const char *name,
            int *orientation) {
    if (setjmp(err->jump)) {
        printf("zeimage_import: broken JPEG (%s): %s\n", name, err->msg);
        return false;
    }
    jpeg.read_header(d, TRUE);
    if (!zeimport_size_ok((int)d->image_width, (int)d->image_height, name)) return false;
    // the saved markers go with the picture's memory when decoding ends
    *orientation = orientation_of(d);
    bool cmyk = d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK;
    d->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg.start_decompress(d);
    int w = (int)d->output_width, h = (int)d->output_height;
    if (!zepxmap_create(out, w, h, ZEPX_TRUECOLOR)) {
        printf("zeimage_import: no memory for %d x %d (%s)\n", w, h, name);
        return false;
    }
    if (cmyk) {
        *rowbuf = (uint8_t *)malloc((size_t)w * 4);
        if (!*rowbuf) {
            printf("zeimage_import: no memory for %d x %d (%s)\n", w, h, name);
            return false;
        }
    }
    uint32_t *pix = (uint32_t *)out->pixels;
    while (d->output_scanline < d->output_height) {
        uint32_t *row = pix + (size_t)d->output_scanline * w;
        if (cmyk) {
            JSAMPROW r = *rowbuf;
            if (jpeg.read_scanlines(d, &r, 1) != 1) break;
            cmyk_row(row, *rowbuf, w, d->saw_Adobe_marker);
            continue;
        }
        // several rows at once: the decoder's own row group
        JSAMPROW rows[16];
        int n = 0, left = (int)(d->output_height - d->output_scanline);
        int want = d->rec_outbuf_height < 16 ? d->rec_outbuf_height : 16;
        for (; n < want && n < left; n++) rows[n] = (JSAMPROW)(row + (size_t)n * w);
        JDIMENSION got = jpeg.read_scanlines(d, rows, n);
        // BGRA rows as little-endian words carry 0xFF in the top byte
        for (size_t i = 0; i < (size_t)got * w; i++) row[i] &= 0xFFFFFF;
        if (got == 0) break;
    }
    if (d->output_scanline < d->output_height && !err->corrupt)
        snprintf(err->msg, sizeof err->msg, "rows missing");
    if (d->output_scanline < d->output_height || err->corrupt) {
        printf("zeimage_import: broken JPEG (%s): %s\n", name, err->msg);
        return false;
    }
    jpeg.finish_decompress(d);
    if (err->corrupt) {
        printf("zeimage_import: broken JPEG (%s): %s\n", name, err->msg);
        return false;
    }
    return true;
}

}  // namespace

bool zejpeg_decode(zePixmap *p, const uint8_t *data, size_t size, const char *name) {
    if (!name) name = "";
    if (!data || size == 0) {
        printf("zeimage_import: empty file (%s)\n", name);
        return false;
    }
    if (!zedl_load(&jpeg_lib)) {
        printf("zeimage_import: cannot read JPEG (%s): %s\n", name, zedl_error(&jpeg_lib));
        return false;
    }
    jpeg_decompress_struct d;
    JpegError err;
    memset(&err, 0, sizeof err);
    d.err = jpeg.std_error(&err.pub);
    err.pub.error_exit = on_error;
    err.pub.emit_message = on_message;
    jpeg.CreateDecompress(&d, JPEG_LIB_VERSION, sizeof d);
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = on_progress;
    d.progress = &progress;
    // Beyond the coefficient buffer of the largest accepted progressive
    // picture, libjpeg fails instead of growing.
    d.mem->max_memory_to_use = 400L << 20;
    jpeg.mem_src(&d, data, (unsigned long)size);
    jpeg.save_markers(&d, JPEG_APP0 + 1, 0xFFFF);
    zePixmap out;
    zepxmap_init(&out);
    uint8_t *volatile rowbuf = nullptr;
    int orientation = 1;
    bool ok = decode(&d, &err, &out, &rowbuf, name, &orientation);
    jpeg.destroy_decompress(&d);
    free(rowbuf);
    if (ok) ok = zeimage_orient(&out, orientation);
    if (!ok) {
        zepxmap_release(&out);
        return false;
    }
    zepxmap_release(p);
    *p = out;
    return true;
}

// ---- EXIF -----------------------------------------------------------------

int zejpeg_exif_orientation(const uint8_t *a, size_t n) {
    if (!a || n < 14 || memcmp(a, "Exif\0\0", 6) != 0) return 1;
    const uint8_t *t = a + 6;
    size_t tn = n - 6;
    bool le = t[0] == 'I' && t[1] == 'I';
    if (!le && !(t[0] == 'M' && t[1] == 'M')) return 1;
    auto u16 = [&](size_t o) -> unsigned { return le ? t[o] | t[o + 1] << 8 : t[o] << 8 | t[o + 1]; };
    auto u32 = [&](size_t o) -> uint32_t {
        return le ? t[o] | t[o + 1] << 8 | t[o + 2] << 16 | (uint32_t)t[o + 3] << 24
                  : (uint32_t)t[o] << 24 | t[o + 1] << 16 | t[o + 2] << 8 | t[o + 3];
    };
    if (u16(2) != 42) return 1;
    uint32_t ifd = u32(4);
    if (ifd > tn || tn - ifd < 2) return 1;
    unsigned count = u16(ifd);
    for (unsigned i = 0; i < count; i++) {
        size_t e = (size_t)ifd + 2 + (size_t)i * 12;
        if (e + 12 > tn) return 1;
        if (u16(e) != 0x0112) continue;
        unsigned type = u16(e + 2), v = u16(e + 8);
        if (type != 3 || v < 1 || v > 8) return 1;
        return (int)v;
    }
    return 1;
}

// Where the pixel at (x, y) of a w x h picture goes, per orientation: the
// inverse of what the camera recorded, so the picture stands upright.
bool zeimage_orient(zePixmap *p, int o) {
    if (o < 2 || o > 8 || p->format != ZEPX_TRUECOLOR) return true;
    int w = p->width, h = p->height;
    bool swap = o >= 5;
    zePixmap t;
    if (!zepxmap_create(&t, swap ? h : w, swap ? w : h, ZEPX_TRUECOLOR)) return false;
    const uint32_t *s = (const uint32_t *)p->pixels;
    uint32_t *d = (uint32_t *)t.pixels;
    int tw = t.width;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int dx, dy;
            switch (o) {
            case 2: dx = w - 1 - x, dy = y; break;
            case 3: dx = w - 1 - x, dy = h - 1 - y; break;
            case 4: dx = x, dy = h - 1 - y; break;
            case 5: dx = y, dy = x; break;
            case 6: dx = h - 1 - y, dy = x; break;
            case 7: dx = h - 1 - y, dy = w - 1 - x; break;
            default: dx = y, dy = w - 1 - x; break;
            }
            d[(size_t)dy * tw + dx] = s[(size_t)y * w + x];
        }
    }
    memcpy(t.palette, p->palette, 256 * sizeof(int32_t));
    zepxmap_release(p);
    *p = t;
    return true;
}
