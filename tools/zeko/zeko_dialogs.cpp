// zeko demo dialogs [NAME...]: opens the standard dialogs one after the other
// over a small caller window (all of them, or those named, in the order
// given) and prints each answer as "event NAME KIND VALUE" (flushed), so that
// a script can drive them with keys and clicks. Before each dialog waits it
// prints "dialog NAME X Y W H" (its client area on the screen) and
// "control NAME INDEX X Y W H" for each of its controls (client
// coordinates), in the order the dialog hands them to its open hook.
#include "zeko.h"
#include "zecolorchooser.h"
#include "zecontrol.h"
#include "zedatepicker.h"
#include "zedialog.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefiledialog.h"
#include "zefont.h"
#include "zepopupmenu.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstring>

namespace {

const char *g_name = "";

void opened(zeWindow *w, zeControl *const *c, int n) {
    int x, y;
    zewindow_client_origin(w, &x, &y);
    printf("dialog %s %d %d %d %d\n", g_name, x, y, w->width, w->height);
    for (int i = 0; i < n; i++) printf("control %s %d %d %d %d %d\n", g_name, i, c[i]->x, c[i]->y, c[i]->w, c[i]->h);
    fflush(stdout);
}

void answer(const char *name, const char *kind, const char *value) {
    printf("event %s %s %s\n", name, kind, value);
    fflush(stdout);
}

void info() {
    zedialog_info("This is the info dialog.\nPress OK or Enter.");
    answer("info", "main", "ok");
}

void yesno() { answer("yesno", "main", zedialog_yesno("Do you like timers?") ? "yes" : "no"); }

void janein() { answer("janein", "main", zedialog_janein("Magst du Uhren?") ? "ja" : "nein"); }

void input() {
    char text[ZEDIALOG_INPUTMAX + 1];
    bool ok = zedialog_input(text, sizeof text, "Your name:");
    answer("input", ok ? "ok" : "cancel", text);
}

void date() {
    int y = 2026, m = 1, d = 31;
    bool ok = zedialog_date(&y, &m, &d, "Enter date") == 1;
    char text[32];
    snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    answer("date", ok ? "ok" : "cancel", text);
}

// The menu opens at a known place inside the caller window (printed as its
// dialog line: the menu's screen position and size), not at the pointer.
zeWindow *g_caller;

void popup() {
    static const char *const items[] = {"Cut", "Copy", "Paste", "-", "Select All"};
    int x, y, w, h;
    zewindow_client_origin(g_caller, &x, &y);
    zepopupmenu_size(items, 5, ZEFONT_DEFAULT, &w, &h);
    printf("dialog popup %d %d %d %d\n", x + 20, y + 10, w, h);
    fflush(stdout);
    int r = zepopupmenu("entries=Cut|Copy|Paste|-|Select All,x=%d,y=%d", x + 20, y + 10);
    char text[ZEPOPUPMENU_TEXTMAX + 16];
    snprintf(text, sizeof text, "%d %s", r, zepopupmenu_text());
    answer("popup", r ? "main" : "cancel", text);
}

void colour() {
    zecolorchooser_set_open_hook(opened);
    char text[16];
    snprintf(text, sizeof text, "0x%06X", (unsigned)zecolorchooser(0x336699, "colour") & 0xFFFFFFu);
    answer("colour", "chosen", text);
}

void file(const char *name, const char *options) {
    char path[ZEFILEDIALOG_PATHMAX + 1];
    bool ok = zedialog_file(path, sizeof path, "%s", options);
    answer(name, ok ? "ok" : "cancel", path);
}

// Started in the current directory.
void file_open() { file("open", "open,filter=*.txt|Text files,filter=*.*|All files,defaultext=txt"); }
void file_save() { file("save", "save,filter=*.txt|Text files,filter=*.*|All files,defaultext=txt,suggestion=notes.txt"); }
void file_program() { file("program", "open,executable,title=Choose a program"); }

struct Demo {
    const char *name;
    void (*run)(void);
};

const Demo kDemos[] = {
    {"info", info}, {"yesno", yesno}, {"janein", janein}, {"input", input}, {"date", date}, {"popup", popup},
    {"colour", colour},
    {"open", file_open}, {"save", file_save}, {"program", file_program},
};

const Demo *find(const char *name) {
    for (const Demo &d : kDemos)
        if (!strcmp(d.name, name)) return &d;
    return nullptr;
}

}  // namespace

int zeko_demo_dialogs(int argc, char **argv) {
    for (int i = 0; i < argc; i++)
        if (!find(argv[i])) return zeko_fail("demo dialogs: no dialog %s", argv[i]);
    zeko_start_toolkit(true);
    zeWindow win;
    if (!zewindow_open(&win, "zeko dialogs demo,x=0,y=0,xs=200,ys=100,bgcolor=ffffff"))
        return zeko_fail("demo dialogs: cannot open the window");
    g_caller = &win;
    zedialog_set_open_hook(opened);
    int n = argc > 0 ? argc : (int)(sizeof kDemos / sizeof kDemos[0]);
    for (int i = 0; i < n && zerunning(); i++) {
        const Demo *d = argc > 0 ? find(argv[i]) : &kDemos[i];
        g_name = d->name;
        d->run();
    }
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}
