// libFuzzer target for markup pages: the bytes are a page text (the first
// byte picks the canvas width) built on an off-screen canvas, as text and as
// a format without arguments; the page must stay sound afterwards.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "../support/page_canvas.h"
#include "zefont.h"
#include "zeplatform.h"

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
    int width = 100 + (size ? data[0] : 0) * 4;
    std::string text(size ? (const char *)data + 1 : "", size ? size - 1 : 0);
    PageCanvas canvas;
    check(canvas.open(width, 300));
    {
        zeGUIScript page;
        zepage_build(&page, text.c_str());
        check(page.built && page.nused <= page.nslots);
        check(page.x >= -ZEPAGE_COORDMAX && page.x <= ZEPAGE_COORDMAX);
        check(page.y >= -ZEPAGE_COORDMAX && page.y <= ZEPAGE_COORDMAX);
        zepage_buildf(&page, text.c_str());
        zepage_build(&page, "<save=p>x");
        check(zepage_get_int(&page, "p") == 10);
        check(zeview_standard() == &canvas.view);
    }
    canvas.close();
    return 0;
}
