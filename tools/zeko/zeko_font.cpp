// zeko font: metrics and sample renderings of the toolkit's fonts.
//   zeko font info FONT [TEXT]       height=N ascent=N descent=N width=N
//   zeko font render FONT TEXT OUT.png   TEXT black on white, 4-pixel margin
// FONT is any name "font=" accepts ("6x13b", "var13", "Arial14", "crnew72"),
// or "system:" followed by a system font description ("system:Arial,points=12,bold").
#include "zefont.h"
#include "zeimage.h"
#include "zeko.h"
#include "zepxmap.h"
#include <cstdio>
#include <cstring>

static int open_font(const char *name) {
    zefont_init();
    if (strncmp(name, "system:", 7) == 0) return zefont_load_system_text(name + 7);
    return zefont_from_name(name);
}

// Widest line and number of lines of a text with newlines.
static void text_box(int font, const char *text, int *w, int *lines) {
    *w = 0;
    *lines = 1;
    const char *line = text;
    for (const char *p = text;; p++) {
        if (*p != '\n' && *p) continue;
        int lw = zefont_text_width_n(font, line, (int)(p - line));
        if (lw > *w) *w = lw;
        if (!*p) break;
        ++*lines;
        line = p + 1;
    }
}

static int info(int argc, char **argv) {
    if (argc < 1 || argc > 2) return zeko_fail("usage: zeko font info FONT [TEXT]");
    int font = open_font(argv[0]);
    if (font < 0) return zeko_fail("no font %s", argv[0]);
    printf("height=%d ascent=%d descent=%d width=%d\n", zefont_height(font), zefont_ascent(font),
           zefont_descent(font), argc == 2 ? zefont_text_width(font, argv[1]) : 0);
    return 0;
}

static int render(int argc, char **argv) {
    if (argc != 3) return zeko_fail("usage: zeko font render FONT TEXT OUT.png");
    int font = open_font(argv[0]);
    if (font < 0) return zeko_fail("no font %s", argv[0]);
    int w, lines;
    text_box(font, argv[1], &w, &lines);
    zePixmap p;
    if (!zepxmap_create(&p, w + 8, lines * zefont_height(font) + 8, ZEPX_TRUECOLOR))
        return zeko_fail("no memory for the picture");
    zepxmap_clear(&p, 0xFFFFFF);
    zefont_draw_text(&p, font, 4, 4, 0x000000, false, false, -1, 0, -1, argv[1]);
    bool ok = zepxmap_savetofile_png(&p, argv[2]);
    zepxmap_release(&p);
    return ok ? 0 : zeko_fail("cannot write %s", argv[2]);
}

int zeko_font(int argc, char **argv) {
    if (argc >= 1 && strcmp(argv[0], "info") == 0) return info(argc - 1, argv + 1);
    if (argc >= 1 && strcmp(argv[0], "render") == 0) return render(argc - 1, argv + 1);
    return zeko_fail("usage: zeko font info FONT [TEXT] | zeko font render FONT TEXT OUT.png");
}
