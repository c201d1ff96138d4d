// zeko import IN OUT [BACKGROUND]: reads any picture import knows (JPEG, GIF,
// BMP, PCX, PPM, XPM, by content) at its own size and writes it in the format
// of OUT's extension. BACKGROUND (RRGGBB, default 000000) fills transparency.
#include <cstdio>
#include <cstdlib>
#include "zeimage.h"
#include "zeimport.h"
#include "zeko.h"

int zeko_import(int argc, char **argv) {
    if (argc != 2 && argc != 3) return zeko_fail("usage: zeko import IN OUT [BACKGROUND]");
    int background = argc == 3 ? (int)(strtoul(argv[2], nullptr, 16) & 0xFFFFFF) : 0;
    zePixmap p;
    zepxmap_init(&p);
    if (!zeimage_import(&p, argv[0], background)) return zeko_fail("cannot import %s", argv[0]);
    printf("%d %d\n", p.width, p.height);
    bool ok = zeimage_save_file(&p, argv[1]);
    zepxmap_release(&p);
    if (!ok) return zeko_fail("cannot write %s", argv[1]);
    return 0;
}
