// libFuzzer target for font descriptions: the bytes are split at newlines into
// description items, loaded, measured and drawn, then released.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "zefont.h"
#include "zepxmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int quiet = [] { return freopen("/dev/null", "w", stdout) ? 1 : 0; }();
    (void)quiet;
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; i++) {
        if (data[i] == '\n') lines.emplace_back();
        else lines.back() += (char)data[i];
    }
    std::vector<const char *> desc;
    for (auto &l : lines) desc.push_back(l.c_str());
    int n = (int)desc.size();
    desc.push_back(nullptr);
    int id = zefont_load(desc.data(), (size & 1) ? n : -1, "fuzz font");
    if (id < 0) return 0;
    char text[256];
    for (int i = 0; i < 255; i++) text[i] = (char)(i + 1);
    text[255] = 0;
    zefont_text_width(id, text);
    zePixmap p;
    if (!zepxmap_create(&p, 40, 30, ZEPX_TRUECOLOR)) abort();
    zefont_draw_text(&p, id, -3, 2, 0xFF0000, true, true, 0x00FF00, 30, 5, text);
    zefont_draw_wrapped(&p, id, 1, 1, 38, 28, 0, text + 31, false);
    zeGlyph g;
    for (int c = 0; c < 256; c++)
        if (zefont_glyph(id, c, &g))
            for (int k = 0; k < g.width * g.height; k++)
                if (g.pixels[k] > 1) abort();
    zepxmap_release(&p);
    zefont_release(id);
    return 0;
}
