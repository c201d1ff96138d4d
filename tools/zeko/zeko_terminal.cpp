// "zeko demo terminal [COMMAND ...]": a window "zeko terminal" holding a
// terminal with scroll-back that runs the command (default: the user's
// shell). Typed lines go to the command; the window closes when the command
// ends, and closing the window (or SIGTERM) ends the command. Events are
// printed as "event NAME KIND VALUE" lines.
#include "zeko.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeterminal.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum { COLUMNS = 80, LINES = 25, SCROLLBACK = 1000, BAR = 15, BORDER = 2, STOP_MS = 2000 };

// The words joined into one command line; words with blanks are quoted.
bool command_line(int argc, char **argv, std::string *out) {
    if (argc == 0) {
        const char *shell = getenv("SHELL");
        *out = shell && *shell ? shell : "/bin/sh";
        return true;
    }
    for (int i = 0; i < argc; i++) {
        if (strchr(argv[i], '"')) return false;
        bool quote = !*argv[i] || strpbrk(argv[i], " \t");
        if (i) *out += ' ';
        *out += quote ? "\"" + std::string(argv[i]) + "\"" : std::string(argv[i]);
    }
    return true;
}

void event(const char *kind, int value) {
    printf("event terminal %s %d\n", kind, value);
    fflush(stdout);
}

}  // namespace

int zeko_demo_terminal(int argc, char **argv) {
    std::string cmd;
    if (!command_line(argc, argv, &cmd)) return zeko_fail("demo terminal: a word holds a double quote");
    zeko_start_toolkit(true);
    int w = COLUMNS * zefont_char_width(ZEFONT_DEFAULT, 'w') + 2 * BORDER + BAR;
    int h = LINES * zefont_height(ZEFONT_DEFAULT) + 2 * BORDER;
    zeWindow win;
    if (!zewindow_open(&win, "zeko terminal,xs=%d,ys=%d,bgcolor=ffffff", w, h))
        return zeko_fail("demo terminal: cannot open the window");
    static zeTerminal term;
    if (!zeterminal_create(&term, ",x=0,y=0,xs=%d,ys=%d,scrollback=%d", w, h, SCROLLBACK))
        return zeko_fail("demo terminal: cannot create the terminal");
    zecontrol_ask_focus(&term.c);
    if (!zeterminal_run(&term, "%s", cmd.c_str())) {
        zewindow_close(&win);
        return zeko_fail("demo terminal: cannot run %s", cmd.c_str());
    }
    event("started", 0);
    int closeid = zewindow_closeid(&win), endid = term.c.ids[ZETERM_ID_CHILDEND];
    int code = 0;
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == endid) {
            code = term.exitcode;
            event("ended", code);
            break;
        }
        if (id == 0 || id == closeid) {
            event("closed", 0);
            zeterminal_stop_child(&term, STOP_MS);
            break;
        }
    }
    zeterminal_release(&term);
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return code;
}
