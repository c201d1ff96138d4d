// mkexamples: writes the example settings files examples/s1.dbf .. s10.dbf
// from their readable sources, through the program's own settings save, so
// the examples always have exactly the layout the program reads.
//
//   mkexamples OUTDIR SOURCE.txt...      sN.txt becomes OUTDIR/sN.dbf
//
// A source holds "name = value" lines (setting names as in settings.h:
// countUp, segmentColour, messageText, ...); "#" starts a comment line.
// Everything a source does not name keeps its default. The active and
// inactive segment colours are derived from the segment colour, the
// background colour and the contrast unless the source gives both.
#include "settings.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>


static char *trim(char *s) {
    while (*s == ' ' || *s == '\t') s++;
    char *end = s + strlen(s);
    while (end > s && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n')) *--end = 0;
    return s;
}

// Defaults that do not depend on the machine that builds the examples.
static void baseline() {
    g_app.language = 0;
    settings_defaults();
    g_settings.graphicProgram[0] = 0;  // an example never carries a path of this machine
    g_settings.windowWidth = 0;        // computed by the timer window
}

static bool read_source(const char *file) {
    FILE *f = fopen(file, "r");
    if (!f) {
        fprintf(stderr, "mkexamples: cannot open %s\n", file);
        return false;
    }
    char line[1000];
    int number = 0;
    bool ok = true, activeGiven = false, inactiveGiven = false;
    while (fgets(line, sizeof line, f)) {
        number++;
        char *s = trim(line);
        if (!*s || *s == '#') continue;
        char *eq = strchr(s, '=');
        if (!eq) {
            fprintf(stderr, "%s:%d: expected name = value\n", file, number);
            ok = false;
            continue;
        }
        *eq = 0;
        char *name = trim(s), *value = trim(eq + 1);
        if (strcmp(value, "\"\"") == 0) value[0] = 0;
        if (!settings_set_by_name(name, value)) {
            fprintf(stderr, "%s:%d: unknown setting or bad value: %s = %s\n", file, number, name, value);
            ok = false;
        }
        activeGiven |= strcasecmp(name, "activeColour") == 0;
        inactiveGiven |= strcasecmp(name, "inactiveColour") == 0;
    }
    fclose(f);
    if (!(activeGiven && inactiveGiven)) compute_colours();
    return ok;
}

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: mkexamples OUTDIR SOURCE.txt...\n");
        return 1;
    }
    // Never reach for a display while building.
    setenv("ZE_PLATFORM", "headless", 1);
    for (int i = 2; i < argc; i++) {
        baseline();
        if (!read_source(argv[i])) return 1;
        const char *base = strrchr(argv[i], '/');
        base = base ? base + 1 : argv[i];
        char out[4096];
        snprintf(out, sizeof out, "%s/%.*s.dbf", argv[1], (int)strcspn(base, "."), base);
        if (!settings_save_to(out)) {
            fprintf(stderr, "mkexamples: cannot write %s\n", out);
            return 1;
        }
    }
    return 0;
}
