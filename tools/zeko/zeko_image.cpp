// zeko convert IN OUT: reads a picture (BMP, PCX, PPM, XPM) and writes it in
// the format of the output name's extension (BMP, PCX, PPM, XPM, PNG).
#include <cstdio>
#include "zeimage.h"
#include "zeko.h"

int zeko_convert(int argc, char **argv) {
    if (argc != 2) return zeko_fail("usage: zeko convert IN OUT");
    const char *in = argv[0], *out = argv[1];
    int w = 0, h = 0;
    if (!zegetpicturesizes(in, &w, &h)) return zeko_fail("cannot read the picture size of %s", in);
    zePixmap p;
    if (!zepxmap_create(&p, w, h, ZEPX_TRUECOLOR)) return zeko_fail("no memory for a %d x %d picture", w, h);
    // File names are taken literally: a comma is part of the name here.
    if (!zeimage_load_file(&p, in, 0, 0)) {
        zepxmap_release(&p);
        return zeko_fail("cannot read %s", in);
    }
    bool ok = zeimage_save_file(&p, out);
    zepxmap_release(&p);
    if (!ok) return zeko_fail("cannot write %s", out);
    return 0;
}
