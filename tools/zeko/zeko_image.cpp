// zeko convert [--paper OPTIONS] IN OUT: reads a picture through the import
// (JPEG, GIF, BMP, PCX, PPM, XPM, known by content; transparency on black)
// and writes it in the format of the output name's extension (BMP, PCX, PPM,
// XPM, PNG, PS, PDF). For PostScript and PDF the paper options are those of
// the PostScript writer ("a4,landscape", "letter,dpi=150,leftborder=36"),
// default "a4"; without a resolution the picture is set at 300 dpi, or finer
// when it would not fit inside the borders. PDF pictures keep 8 bits per
// component.
#include <cmath>
#include <cstdio>
#include <cstring>
#include "zeimage.h"
#include "zeimport.h"
#include "zeko.h"
#include "zepostscript.h"

// The resolution at which a w x h picture fits the page the options describe.
static int fitting_dpi(const char *options, int w, int h) {
    zePostScript ps;
    if (!zepostscript_create(&ps, "%s", options)) return 300;
    double aw = ps.ptw - ps.leftborder - ps.rightborder, ah = ps.pth - ps.topborder - ps.bottomborder;
    zepostscript_release(&ps);
    double dpi = 300;
    if (aw > 1 && w * 72.0 / aw > dpi) dpi = w * 72.0 / aw;
    if (ah > 1 && h * 72.0 / ah > dpi) dpi = h * 72.0 / ah;
    return (int)ceil(dpi);
}

static bool save_paper(const zePixmap *p, const char *out, int type, const char *paper) {
    char options[1200];
    snprintf(options, sizeof options, "%s%s", paper, type == ZEIMG_PDF ? ",truecolor" : "");
    if (!strcasestr(paper, "dpi")) {
        size_t n = strlen(options);
        snprintf(options + n, sizeof options - n, ",dpi=%d", fitting_dpi(options, p->width, p->height));
    }
    return zepostscript_savepixmap(p, out, type, options, 0, 0);
}

int zeko_convert(int argc, char **argv) {
    const char *paper = "a4";
    if (argc == 4 && strcmp(argv[0], "--paper") == 0) {
        paper = argv[1];
        argc -= 2;
        argv += 2;
    }
    if (argc != 2) return zeko_fail("usage: zeko convert [--paper OPTIONS] IN OUT");
    const char *in = argv[0], *out = argv[1];
    if (strlen(paper) > 1000) return zeko_fail("paper options too long");
    zePixmap p;
    zepxmap_init(&p);
    // File names are taken literally: a comma is part of the name here.
    if (!zeimage_import(&p, in, 0)) return zeko_fail("cannot read %s", in);
    int type = zeimage_filetype(out);
    bool ok = type == ZEIMG_PS || type == ZEIMG_PDF ? save_paper(&p, out, type, paper) : zeimage_save_file(&p, out);
    zepxmap_release(&p);
    if (!ok) return zeko_fail("cannot write %s", out);
    return 0;
}
