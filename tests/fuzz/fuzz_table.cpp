// libFuzzer target for the table tags of pages: the bytes are the text of
// one table (the first byte picks its options), built on an off-screen
// canvas; the page must stay sound and destroy the table.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "../support/page_canvas.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zetable.h"

static void check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = false;
    if (!ready) {
        zebackend_select("headless");
        zefont_init();
        zeview_install();
        ready = true;
    }
    static const char *const options[] = {"", ",border", ",3dframe,lineheight=25", ",thickframe,mincolwidth=80",
                                          ",linecolor=ff0000,x=30", ",border,3dframe,thickframe,lineheight=5"};
    int pick = size ? data[0] % 6 : 0;
    std::string body(size ? (const char *)data + 1 : "", size ? size - 1 : 0);
    std::string text = std::string("<table=t") + options[pick] + ">" + body + "</table>after";
    PageCanvas canvas;
    check(canvas.open(400, 300));
    {
        zeGUIScript page;
        zepage_build(&page, text.c_str());
        check(page.built && page.nused <= page.nslots);
        check(page.y >= -ZEPAGE_COORDMAX && page.y <= ZEPAGE_COORDMAX);
        zeTable *t = (zeTable *)zepage_find(&page, "t");
        if (t && t->cells) check((long)t->columns * t->rows <= ZETABLE_CELLSMAX);
    }
    canvas.close();
    return 0;
}
