// libFuzzer target for HTML help pages: the bytes are an HTML text (the first
// two bytes pick the buffer's size), converted into markup and built on an
// off-screen canvas; the buffer must never be overrun and the page must
// build.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "../support/page_canvas.h"
#include "zefont.h"
#include "zehtml.h"
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
    size_t room = size >= 2 ? 1 + (data[0] | data[1] << 8) : 4096;
    const char *html = size >= 2 ? (const char *)data + 2 : "";
    size_t len = size >= 2 ? size - 2 : 0;
    // Exactly room bytes: the sanitizer catches a write past them.
    std::vector<char> buf(room, 0);
    zehtml_append_text(buf.data(), room, html, len, 1);
    check(memchr(buf.data(), 0, room) != nullptr);
    PageCanvas canvas;
    check(canvas.open(320, 200));
    {
        zeGUIScript page;
        zepage_build(&page, buf.data());
        check(page.built);
    }
    canvas.close();
    return 0;
}
