// libFuzzer target for picture import (JPEG, GIF and the own formats, by
// content): a picture comes out inside the bounds, or the pixmap is left as
// it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include "zeimport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int quiet = [] { return freopen("/dev/null", "w", stdout) ? 1 : 0; }();
    (void)quiet;
    zePixmap p;
    if (!zepxmap_create(&p, 3, 2, ZEPX_TRUECOLOR)) abort();
    zepxmap_clear(&p, 0x3C3C3C);
    void *before = p.pixels;
    if (zeimage_import_mem(&p, data, size, 0x00FF00, "fuzz")) {
        if (p.format != ZEPX_TRUECOLOR || p.width <= 0 || p.height <= 0 ||
            (long long)p.width * p.height > ZEIMPORT_MAXPIXELS)
            abort();
        const uint32_t *px = (const uint32_t *)p.pixels;
        for (long long i = 0; i < (long long)p.width * p.height; i++)
            if (px[i] >> 24) abort();
    } else {
        if (p.pixels != before || p.width != 3 || p.height != 2) abort();
        for (int i = 0; i < 6; i++)
            if (((uint32_t *)p.pixels)[i] != 0x3C3C3C) abort();
    }
    zepxmap_release(&p);
    return 0;
}
