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
    if (!zegraphic_gloadintern_file(&p, 0, 0, "%s", in)) {
        zepxmap_release(&p);
        return zeko_fail("cannot read %s", in);
    }
    bool ok = zepxmap_savetofile(&p, "%s", out);
    zepxmap_release(&p);
    if (!ok) return zeko_fail("cannot write %s", out);
    return 0;
}
