// zeko: dispatches to the subcommand groups.
#include "zeko.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

struct ZekoCommand {
    const char *name;
    int (*run)(int argc, char **argv);
    const char *usage;
};

static const ZekoCommand commands[] = {
    {"dbf", zeko_dbf, "dbf dump FILE | dbf create FILE ROWS COLUMNS WIDTH | dbf set FILE ROW COLUMN TEXT"},
    {"convert", zeko_convert, "convert [--paper OPTIONS] IN OUT"},
    {"import", zeko_import, "import IN OUT [BACKGROUND]"},
    {"geometry", zeko_geometry, "geometry OPTIONS PARENT_WIDTH PARENT_HEIGHT"},
    {"font", zeko_font, "font info FONT [TEXT] | font render FONT TEXT OUT.png"},
    {"demo", zeko_demo, "demo scroll | demo controls [SECTION...] | demo terminal [COMMAND ...] | demo dialogs [NAME...] | demo colour [RRGGBB] [TIMES] [german]"},
    {"page", zeko_page, "page render FILE OUT.png [WIDTH] | page show FILE [WIDTH]"},
};

int zeko_fail(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    fputs("zeko: ", stderr);
    vfprintf(stderr, fmt, ap);
    fputc('\n', stderr);
    va_end(ap);
    return 1;
}

static int usage(void) {
    fprintf(stderr, "usage:\n");
    for (const ZekoCommand &c : commands) fprintf(stderr, "  zeko %s\n", c.usage);
    return 1;
}

int main(int argc, char **argv) {
    if (argc < 2) return usage();
    for (const ZekoCommand &c : commands)
        if (strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
    return usage();
}
