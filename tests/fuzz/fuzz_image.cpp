// libFuzzer target for one picture reader, chosen at compile time with
// -DZE_FUZZ_FORMAT=ZEIMG_BMP|ZEIMG_PCX|ZEIMG_PPM|ZEIMG_XPM. The bytes are read
// from memory and from a file into truecolor, palette8 and server pixmaps at
// an offset (so cutting is exercised); a failed read must leave the pixmap as
// it was, and the header-only size query must agree with a successful read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include "zeimage.h"

#ifndef ZE_FUZZ_FORMAT
#define ZE_FUZZ_FORMAT ZEIMG_BMP
#endif

typedef bool (*Reader)(FILE *, zePixmap *, const char *const *, int, int, int, int);
typedef bool (*FileReader)(zePixmap *, const char *, const char *const *, int, int, int, int);

static Reader stream_reader() {
    switch (ZE_FUZZ_FORMAT) {
    case ZEIMG_PCX: return zepcx_read;
    case ZEIMG_PPM: return zeppm_read;
    case ZEIMG_XPM: return zexpm_read;
    default: return zebmp_read;
    }
}

static FileReader file_reader() {
    switch (ZE_FUZZ_FORMAT) {
    case ZEIMG_PCX: return zepxmap_loadfromfile_pcx;
    case ZEIMG_PPM: return zepxmap_loadfromfile_ppm;
    case ZEIMG_XPM: return zepxmap_loadfromfile_xpm;
    default: return zepxmap_loadfromfile_bmp;
    }
}

static const char *extension() {
    switch (ZE_FUZZ_FORMAT) {
    case ZEIMG_PCX: return ".pcx";
    case ZEIMG_PPM: return ".ppm";
    case ZEIMG_XPM: return ".xpm";
    default: return ".bmp";
    }
}

static bool untouched(const zePixmap *p, int fill) {
    for (int y = 0; y < p->height; y++)
        for (int x = 0; x < p->width; x++)
            if (zepxmap_getpixel(p, x, y) != fill) return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int quiet = [] { return freopen("/dev/null", "w", stdout) ? 1 : 0; }();
    (void)quiet;
    static std::string path = "/tmp/zefuzz-" + std::to_string(getpid()) + extension();
    static const int formats[] = {ZEPX_TRUECOLOR, ZEPX_PALETTE8, ZEPX_SERVER};
    static const char *const items[] = {"transparentcolor=0", nullptr};

    FILE *out = fopen(path.c_str(), "wb");
    if (!out) return 0;
    fwrite(data, 1, size, out);
    fclose(out);
    int w = 0, h = 0;
    bool sized = zegetpicturesizes(path.c_str(), &w, &h);

    for (int i = 0; i < 3; i++) {
        zePixmap p;
        if (!zepxmap_create(&p, 9, 7, formats[i])) abort();
        int fill = formats[i] == ZEPX_PALETTE8 ? 3 : 0x3C3C3C;
        zepxmap_clear(&p, fill);
        static char empty;
        FILE *f = fmemopen(size ? (void *)data : &empty, size, "rb");
        if (!f) abort();
        bool ok = stream_reader()(f, &p, i == 1 ? items : nullptr, i * 3 - 2, 1, i == 2 ? 5 : -1, -1);
        fclose(f);
        if (!ok && !untouched(&p, fill)) abort();
        if (ok && !sized) abort();
        zepxmap_clear(&p, fill);
        ok = file_reader()(&p, path.c_str(), nullptr, 2, i - 1, -1, i == 1 ? 3 : 0);
        if (!ok && !untouched(&p, fill)) abort();
        zepxmap_release(&p);
    }
    return 0;
}
