// Importing any picture the toolkit reads into a truecolor pixmap of its own
// size: the kind from the first bytes, then the decoder of that kind.
#include "zeimport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "zefile.h"
#include "zeimage.h"

bool zebmp_size(FILE *f, int *w, int *h);
bool zepcx_size(FILE *f, int *w, int *h);
bool zeppm_size(FILE *f, int *w, int *h);
bool zexpm_size(FILE *f, int *w, int *h);

bool zeimport_size_ok(int w, int h, const char *name) {
    if (w > 0 && h > 0 && w <= ZEIMPORT_MAXSIDE && h <= ZEIMPORT_MAXSIDE &&
        (long long)w * h <= ZEIMPORT_MAXPIXELS)
        return true;
    printf("zeimage_import: picture too large (%s): %d x %d, at most %d x %d and %d pixels\n", name ? name : "", w,
           h, ZEIMPORT_MAXSIDE, ZEIMPORT_MAXSIDE, ZEIMPORT_MAXPIXELS);
    return false;
}

int zeimage_sniff(const uint8_t *b, size_t n, const char *filename) {
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return ZEIMPORT_JPEG;
    if (n >= 6 && (memcmp(b, "GIF87a", 6) == 0 || memcmp(b, "GIF89a", 6) == 0)) return ZEIMPORT_GIF;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M') return ZEIMG_BMP;
    if (n >= 2 && b[0] == 'P' && b[1] == '6') return ZEIMG_PPM;
    if (n >= 9 && memcmp(b, "/* XPM */", 9) == 0) return ZEIMG_XPM;
    // PCX: manufacturer 10, a version up to 5, run-length encoding
    if (n >= 3 && b[0] == 0x0A && b[1] <= 5 && b[2] == 1) return ZEIMG_PCX;
    static const struct {
        const char *ext;
        int kind;
    } exts[] = {{"jpg", ZEIMPORT_JPEG}, {"jpeg", ZEIMPORT_JPEG}, {"jpe", ZEIMPORT_JPEG}, {"jfif", ZEIMPORT_JPEG},
                {"gif", ZEIMPORT_GIF}};
    const char *dot = filename ? strrchr(filename, '.') : nullptr;
    if (dot && !strpbrk(dot, "/\\"))
        for (const auto &e : exts)
            if (strcasecmp(dot + 1, e.ext) == 0) return e.kind;
    int type = zeimage_filetype(filename);
    if (type == ZEIMG_BMP || type == ZEIMG_PCX || type == ZEIMG_PPM || type == ZEIMG_XPM) return type;
    return ZEIMPORT_UNKNOWN;
}

// The toolkit's own readers, on a stream: size first (bounded), then the
// pixels onto a pixmap cleared to the background.
static bool import_own(zePixmap *p, FILE *f, int kind, int background, const char *name) {
    static const struct {
        int kind;
        bool (*size)(FILE *, int *, int *);
        bool (*read)(FILE *, zePixmap *, const char *const *, int, int, int, int);
    } readers[] = {{ZEIMG_BMP, zebmp_size, zebmp_read},
                   {ZEIMG_PCX, zepcx_size, zepcx_read},
                   {ZEIMG_PPM, zeppm_size, zeppm_read},
                   {ZEIMG_XPM, zexpm_size, zexpm_read}};
    for (const auto &r : readers) {
        if (r.kind != kind) continue;
        int w = 0, h = 0;
        rewind(f);
        if (!r.size(f, &w, &h)) {
            printf("zeimage_import: broken picture (%s)\n", name);
            return false;
        }
        if (!zeimport_size_ok(w, h, name)) return false;
        zePixmap out;
        if (!zepxmap_create(&out, w, h, ZEPX_TRUECOLOR)) {
            printf("zeimage_import: no memory for %d x %d (%s)\n", w, h, name);
            return false;
        }
        zepxmap_clear(&out, background < 0 ? 0 : background & 0xFFFFFF);
        rewind(f);
        if (!r.read(f, &out, nullptr, 0, 0, -1, -1)) {
            printf("zeimage_import: broken picture (%s)\n", name);
            zepxmap_release(&out);
            return false;
        }
        zepxmap_release(p);
        *p = out;
        return true;
    }
    printf("zeimage_import: unsupported format (%s)\n", name);
    return false;
}

static bool import_bytes(zePixmap *p, int kind, const uint8_t *data, size_t size, int background,
                         const char *name) {
    if (kind == ZEIMPORT_JPEG) return zejpeg_decode(p, data, size, name);
    if (kind == ZEIMPORT_GIF) return zegif_decode(p, data, size, background, name);
    FILE *f = fmemopen((void *)data, size, "rb");
    if (!f) {
        printf("zeimage_import: no memory (%s)\n", name);
        return false;
    }
    bool ok = import_own(p, f, kind, background, name);
    fclose(f);
    return ok;
}

bool zeimage_import_mem(zePixmap *p, const uint8_t *data, size_t size, int background, const char *name) {
    if (!name) name = "";
    if (!data || size == 0) {
        printf("zeimage_import: empty file (%s)\n", name);
        return false;
    }
    int kind = zeimage_sniff(data, size, name);
    if (kind == ZEIMPORT_UNKNOWN) {
        printf("zeimage_import: unsupported format (%s)\n", name);
        return false;
    }
    return import_bytes(p, kind, data, size, background, name);
}

// Compressed files are read whole (in blocks of 4096 bytes, up to the file
// bound); the toolkit's own formats are read from the open file.
bool zeimage_import(zePixmap *p, const char *filename, int background) {
    const char *name = filename ? filename : "";
    FILE *f = zefile_open_regular(name, "rb");
    if (!f) {
        printf("zeimage_import: cannot open %s: %s\n", name, errno == EINVAL ? "not a regular file" : strerror(errno));
        return false;
    }
    uint8_t head[16];
    size_t n = fread(head, 1, sizeof head, f);
    if (n == 0) {
        printf("zeimage_import: empty file (%s)\n", name);
        fclose(f);
        return false;
    }
    int kind = zeimage_sniff(head, n, name);
    if (kind != ZEIMPORT_JPEG && kind != ZEIMPORT_GIF) {
        bool ok = import_own(p, f, kind, background, name);
        fclose(f);
        return ok;
    }
    std::vector<uint8_t> data(head, head + n);
    uint8_t block[4096];
    size_t k;
    while ((k = fread(block, 1, sizeof block, f)) > 0) {
        if (data.size() + k > (size_t)ZEIMPORT_MAXFILE) {
            printf("zeimage_import: file too large (%s): more than %d bytes\n", name, ZEIMPORT_MAXFILE);
            fclose(f);
            return false;
        }
        data.insert(data.end(), block, block + k);
    }
    bool readerr = ferror(f);
    fclose(f);
    if (readerr) {
        printf("zeimage_import: cannot read %s\n", name);
        return false;
    }
    return import_bytes(p, kind, data.data(), data.size(), background, name);
}
