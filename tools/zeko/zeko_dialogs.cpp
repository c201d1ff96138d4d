// zeko demo dialogs: opens the standard dialogs one after the other over a
// small caller window and prints each answer as "event NAME KIND VALUE"
// (flushed), so that a script can drive them with keys and clicks. Before
// each dialog waits it prints "dialog NAME X Y W H" (its window on the screen).
#include "zeko.h"
#include "zecontrol.h"
#include "zedialog.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>

namespace {

const char *g_name = "";

void opened(zeWindow *w, zeControl *const *, int) {
    int r[4];
    zewindow_rect(w, r);
    printf("dialog %s %d %d %d %d\n", g_name, r[0], r[1], r[2], r[3]);
    fflush(stdout);
}

void answer(const char *name, const char *kind, const char *value) {
    printf("event %s %s %s\n", name, kind, value);
    fflush(stdout);
}

}  // namespace

int zeko_demo_dialogs(int, char **) {
    char arg0[] = "zeko";
    char *args[] = {arg0, nullptr};
    zeentry_init(1, args);
    zefont_init();
    zeview_install();
    zeevent_set_close_request_handler(zewindow_close_request);
    zeWindow win;
    if (!zewindow_open(&win, "zeko dialogs demo,x=0,y=0,xs=200,ys=100,bgcolor=ffffff"))
        return zeko_fail("demo dialogs: cannot open the window");
    zedialog_set_open_hook(opened);
    g_name = "info";
    zedialog_info("This is the info dialog.\nPress OK or Enter.");
    answer("info", "main", "ok");
    g_name = "yesno";
    answer("yesno", "main", zedialog_yesno("Do you like timers?") ? "yes" : "no");
    g_name = "janein";
    answer("janein", "main", zedialog_janein("Magst du Uhren?") ? "ja" : "nein");
    g_name = "input";
    char text[ZEDIALOG_INPUTMAX + 1];
    bool ok = zedialog_input(text, sizeof text, "Your name:");
    answer("input", ok ? "ok" : "cancel", text);
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}
