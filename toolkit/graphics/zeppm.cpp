// PPM files (binary "P6", 8 bits per component): read and written.
#include <cctype>
#include <vector>
#include "zeimage.h"
#include "zeimage_rows.h"

struct PpmInfo {
    int w, h;
};

// Next header number: blanks and "#" comment lines are skipped. -1 on failure.
static long ppm_number(FILE *f) {
    int c = getc(f);
    for (;;) {
        if (c == '#') {
            while (c != '\n' && c != '\r' && c != EOF) c = getc(f);
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            c = getc(f);
        } else {
            break;
        }
    }
    if (!isdigit(c)) return -1;
    long v = 0;
    while (isdigit(c)) {
        v = v * 10 + (c - '0');
        if (v > 1000000) return -1;
        c = getc(f);
    }
    // exactly one blank ends the number (after the maximum value the data follow)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return -1;
    return v;
}

static bool ppm_header(FILE *f, PpmInfo *pi) {
    if (getc(f) != 'P' || getc(f) != '6') return false;
    long w = ppm_number(f), h = ppm_number(f), maxval = ppm_number(f);
    if (w <= 0 || h <= 0 || w > ZEIMG_MAXSIDE || h > ZEIMG_MAXSIDE || maxval != 255) return false;
    long rest = zeimage_remaining(f);
    if (rest < 0 || (uint64_t)rest < (uint64_t)w * h * 3) return false;
    pi->w = (int)w;
    pi->h = (int)h;
    return true;
}

bool zeppm_size(FILE *f, int *w, int *h) {
    PpmInfo pi;
    if (!ppm_header(f, &pi)) return false;
    *w = pi.w;
    *h = pi.h;
    return true;
}

static bool ppm_decode(FILE *f, void *state, const zeImgRows &rows) {
    const PpmInfo *pi = (const PpmInfo *)state;
    std::vector<uint8_t> raw((size_t)pi->w * 3);
    std::vector<uint32_t> line(pi->w);
    int last = rows.h < pi->h ? rows.h : pi->h;
    for (int y = 0; y < last && rows.y + y < rows.p->height; y++) {
        if (fread(raw.data(), 1, raw.size(), f) != raw.size()) return false;
        const uint8_t *s = raw.data();
        for (int x = 0; x < pi->w; x++, s += 3) line[x] = (uint32_t)s[0] << 16 | s[1] << 8 | s[2];
        rows.put(y, line.data());
    }
    return true;
}

bool zeppm_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h) {
    PpmInfo pi;
    if (!ppm_header(f, &pi)) return false;
    unsigned targets = ZEIMG_TO_TRUECOLOR | ZEIMG_TO_SERVER | ZEIMG_TO_PALETTE8;
    return zeimage_place(f, ppm_decode, &pi, pi.w, pi.h, p, x, y, w, h, targets, "zepxmap_loadfromfile_ppm", -2);
}

bool zepxmap_savetofile_ppm(const zePixmap *p, const char *filename) {
    zePixmap tmp;
    const zePixmap *t = zeimage_truecolor(p, &tmp);
    if (!t) return false;
    zeFileOut target;
    FILE *f = zefile_out_open(&target, filename);
    bool ok = f != nullptr;
    if (ok) {
        ok = fprintf(f, "P6\n%d %d\n255\n", t->width, t->height) > 0;
        std::vector<uint8_t> row((size_t)t->width * 3 + 1);
        for (int y = 0; ok && y < t->height; y++) {
            const uint32_t *s = (const uint32_t *)t->pixels + (size_t)y * t->width;
            for (int x = 0; x < t->width; x++) {
                row[3 * x] = s[x] >> 16;
                row[3 * x + 1] = s[x] >> 8;
                row[3 * x + 2] = s[x];
            }
            ok = fwrite(row.data(), 1, (size_t)t->width * 3, f) == (size_t)t->width * 3;
        }
        ok = zefile_out_close(&target, ok);
    }
    if (t == &tmp) zepxmap_release(&tmp);
    return ok;
}
