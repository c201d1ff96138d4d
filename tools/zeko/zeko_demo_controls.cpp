// zeko demo controls: the window, the table of sections and the event lines.
// How a section is added: see zeko_demo.h.
#include "zeko.h"
#include "zeko_demo.h"
#include "zecontrol.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zegout.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

enum { WIN_W = 640, WIN_H = 480, MAX_CONTENT_H = 6000, MARGIN = 16, MAX_WATCH = 256, MAX_TITLES = 32 };

struct Section {
    const char *name;
    int (*build)(zekoDemo *d, int y);
};

// One line per family, in the order they appear in the window.
const Section kSections[] = {
    {"buttons", zeko_demo_buttons},
    {"lists", zeko_demo_lists},
    {"values", zeko_demo_values},
    {"text", zeko_demo_text},
    {"rtf", zeko_demo_rtf},
};

struct Watch {
    const int *ids;
    int count;
    void *obj;
    char name[48];
    zekoDemoDescribe describe;
};

Watch g_watch[MAX_WATCH];
int g_nwatch;

struct Title {
    int y;
    char text[48];
};
Title g_titles[MAX_TITLES];
int g_ntitles;

void describe_control(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeControl *c = (zeControl *)obj;
    if (index == 0) snprintf(kind, kindsize, "main");
    else snprintf(kind, kindsize, "id%d", index);
    snprintf(value, valuesize, "%d", c->lastargs[0]);
}

// True when id belongs to a watched object; the line is printed.
bool report(int id) {
    for (int i = 0; i < g_nwatch; i++) {
        Watch &w = g_watch[i];
        if (id < w.ids[0] || id >= w.ids[0] + w.count) continue;
        int index = id - w.ids[0];
        if (w.ids[index] != id) continue;
        char kind[32] = "", value[600] = "";
        w.describe(w.obj, index, kind, sizeof kind, value, sizeof value);
        zeko_demo_event(w.name, kind, value);
        return true;
    }
    return false;
}

void draw_titles(void) {
    for (int i = 0; i < g_ntitles; i++) zegraphic_text(MARGIN / 2, g_titles[i].y, 0x000080, g_titles[i].text);
}

// Sections named on the command line, or all of them.
bool wanted(const char *name, int argc, char **argv) {
    if (argc == 0) return true;
    for (int i = 0; i < argc; i++)
        if (strcasecmp(argv[i], name) == 0) return true;
    return false;
}

// Every child draws itself again after the content was resized (and cleared).
void redraw_children(zeView *v) {
    for (int i = 0; i < v->nchildren; i++) {
        zeViewChild &k = v->children[i];
        if (k.inuse) k.handler(k.owner, ZEMSG_REDRAW, 0, 0, 0, 0, 0, 0, 0, 0);
    }
}

}  // namespace

void zeko_demo_event(const char *name, const char *kind, const char *value) {
    printf("event %s %s %s\n", name, kind, value && value[0] ? value : "-");
    fflush(stdout);
}

void zeko_demo_watch_ids(const int *ids, int count, void *obj, const char *name, zekoDemoDescribe describe) {
    if (g_nwatch == MAX_WATCH || !ids || count < 1 || !describe) {
        printf("zeko_demo_watch: cannot watch \"%s\"\n", name ? name : "");
        return;
    }
    Watch &w = g_watch[g_nwatch++];
    w.ids = ids, w.count = count, w.obj = obj, w.describe = describe;
    snprintf(w.name, sizeof w.name, "%s", name ? name : "?");
}

void zeko_demo_watch(zeControl *c, const char *name, zekoDemoDescribe describe) {
    zeko_demo_watch_ids(c->ids, ZECONTROL_IDS, c, name, describe ? describe : describe_control);
    printf("control %s %d %d %d %d\n", name, c->x, c->y, c->w, c->h);
}

int zeko_demo_title(zekoDemo *, int y, const char *title) {
    if (g_ntitles < MAX_TITLES) {
        g_titles[g_ntitles].y = y;
        snprintf(g_titles[g_ntitles].text, sizeof g_titles[g_ntitles].text, "%s", title);
        g_ntitles++;
    }
    draw_titles();
    return y + 20;
}

int zeko_demo_controls(int argc, char **argv) {
    for (int i = 0; i < argc; i++) {
        bool known = false;
        for (const Section &s : kSections) known = known || strcasecmp(s.name, argv[i]) == 0;
        if (!known) return zeko_fail("demo controls: no section \"%s\"", argv[i]);
    }
    zeko_start_toolkit(false);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    static zeWindow win;
    if (!zewindow_open(&win, "zeko controls demo,xs=%d,ys=%d,cys=%d,bgcolor=ffffff", WIN_W, WIN_H, MAX_CONTENT_H))
        return zeko_fail("demo: cannot open the window");
    zeView *view = zeview_of_window(&win);
    if (!view) return zeko_fail("demo: the window has no view");
    zegraphic_clear(0xFFFFFF);
    zekoDemo d = {WIN_W - 2 * MARGIN - 20, MARGIN};
    int y = 8;
    for (const Section &s : kSections)
        if (wanted(s.name, argc, argv)) y = s.build(&d, y) + 16;
    // The content ends below the last section.
    zeview_resize_content(view, 0, y < WIN_H ? WIN_H : y, false, true);
    zegraphic_clear(0xFFFFFF);
    draw_titles();
    redraw_children(view);
    zeview_refresh(view);
    printf("demo ready\n");
    fflush(stdout);
    int closeid = zewindow_closeid(&win);
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == 0 || id == closeid) break;
        report(id);
    }
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}
