// zeko demo colour [RRGGBB] [TIMES] [german]: opens the colour chooser over a
// small caller window, TIMES times in a row (default once), each time
// starting from the colour last chosen (first from RRGGBB, default 336699).
// Before each wait it prints "dialog colour X Y W H" (the window on the
// screen) and "control NAME X Y W H" for its parts (client coordinates);
// after it "event colour chosen 0xRRGGBB" (flushed).
#include "zeko.h"
#include "zecolorchooser.h"
#include "zecontrol.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zetextmenu.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const kNames[ZECC_COUNT] = {"ok", "cancel", "add", "basic", "custom", "field",
                                        "strip", "red", "green", "blue", "hex"};

void opened(zeWindow *w, zeControl *const *c, int n) {
    int r[4];
    zewindow_rect(w, r);
    printf("dialog colour %d %d %d %d\n", r[0], r[1], r[2], r[3]);
    for (int i = 0; i < n && i < ZECC_COUNT; i++) printf("control %s %d %d %d %d\n", kNames[i], c[i]->x, c[i]->y, c[i]->w, c[i]->h);
    fflush(stdout);
}

}  // namespace

int zeko_demo_colour(int argc, char **argv) {
    int32_t colour = 0x336699;
    int times = 1;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "german") == 0) zelanguage_set(1);
        else if (!zecolorchooser_parse_hex(argv[i], &colour)) times = atoi(argv[i]);
    }
    zeko_start_toolkit(true);
    zeWindow win;
    if (!zewindow_open(&win, "zeko colour demo,x=0,y=0,xs=200,ys=100,bgcolor=ffffff"))
        return zeko_fail("demo colour: cannot open the window");
    zecolorchooser_set_open_hook(opened);
    for (int i = 0; i < times && zerunning(); i++) {
        colour = zecolorchooser(colour, "zeko colour");
        printf("event colour chosen 0x%06X\n", (unsigned)colour & 0xFFFFFFu);
        fflush(stdout);
    }
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}
