// zeko demo subcommands: small programs to try the toolkit by hand.
//
// "demo scroll": a window whose main view holds content three times taller
// than the window, with numbered lines and a few boxes that take the focus
// and the mouse, so scrolling, Tab order and mouse routing can be tried.
// Each box reports what happens to it on standard output.
#include "zeko.h"
#include "zeko_demo.h"
#include "zecontrol.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zegout.h"
#include "zepxmap.h"
#include "zetoolkit.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstring>

namespace {

enum { WIN_W = 400, WIN_H = 300, CONTENT_H = 3 * WIN_H, LINE_H = 15, BOXES = 5 };

// A demo box: a coloured rectangle that can be focused, clicked and
// dragged (it captures the mouse while the button is held).
struct DemoBox {
    zeControl c;
    int color;
    int clicks;
    bool dragging;
};

void box_draw(zeControl *c) {
    DemoBox *b = (DemoBox *)c;
    int fill = b->clicks % 2 ? 0xFFFF00 : b->color;
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, fill);
    zeframe_draw(c->target, ZEFRAME_BUTTON, b->dragging, c->x, c->y, c->w, c->h);
    zefont_draw_text(c->target, c->font, c->x + 6, c->y + 6, 0x000000, c->grey, false, -1, c->w - 8, -1, c->text);
    if (c->focus) zeframe_draw(c->target, ZEFRAME_FOCUS, false, c->x + 3, c->y + 3, c->w - 7, c->h - 7);
}

void box_natural(zeControl *, int *w, int *h) { *w = 160, *h = 40; }

zearg box_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                 zearg a8) {
    DemoBox *b = (DemoBox *)owner;
    zeControl *c = &b->c;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:   // a quick second click is a click too
        zecontrol_ask_focus(c);
        b->dragging = true;
        zecontrol_request(c, ZEREQ_CAPTURE, c->handle);
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_MOTION:
        if (b->dragging) printf("%s drag %d %d\n", c->text, (int)a1, (int)a2);
        return 0;
    case ZEMSG_LUP:
        if (!b->dragging) return 0;
        b->dragging = false;
        zecontrol_request(c, ZEREQ_RELEASE, c->handle);
        if (zecontrol_contains(c, (int)a1, (int)a2)) {
            b->clicks++;
            printf("%s clicked\n", c->text);
            zecontrol_post(c, c->ids[0], b->clicks);
        }
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_KEYDOWN:
        if (a1 == ZEKEY_ENTER) zecontrol_request(c, ZEREQ_FOCUSNEXT);
        if (a1 == ZEKEY_SPACE) {
            b->clicks++;
            printf("%s pressed\n", c->text);
            zecontrol_redraw(c);
        }
        return 0;
    case ZEMSG_FOCUS: {
        zearg r = zecontrol_default(c, msg);
        if (r) printf("%s focused\n", c->text);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

const zeControlKind kBox = {"demobox", 0, nullptr, box_natural, box_draw, box_handle, nullptr};

struct BoxSpec {
    const char *text;
    int y;
    int color;
    const char *extra;
};
const BoxSpec kBoxes[BOXES] = {
    {"box 1", 40, 0xFF8080, ""},
    {"box 2", 200, 0x80FF80, ""},
    {"box 3 (nofocus)", 330, 0xC0C0FF, ",nofocus"},
    {"box 4", 450, 0x8080FF, ""},
    {"box 5", 780, 0xFF80FF, ""},
};

void draw_lines(void) {
    zegraphic_clear(0xFFFFFF);
    for (int i = 0; i * LINE_H < CONTENT_H; i++) {
        char text[32];
        snprintf(text, sizeof text, "line %d", i + 1);
        zegraphic_text(200, i * LINE_H + 1, 0x000000, text);
    }
}

int demo_scroll(void) {
    zeko_start_toolkit(false);
    zeWindow win;
    if (!zewindow_open(&win, "zeko scroll demo,xs=%d,ys=%d,cys=%d,bgcolor=ffffff", WIN_W, WIN_H, CONTENT_H))
        return zeko_fail("demo: cannot open the window");
    draw_lines();
    static DemoBox boxes[BOXES];
    for (int i = 0; i < BOXES; i++) {
        zecontrol_init(&boxes[i].c, &kBox);
        boxes[i].color = kBoxes[i].color;
        zecontrol_create(&boxes[i].c, "%s,x=20,y=%d%s", kBoxes[i].text, kBoxes[i].y, kBoxes[i].extra);
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    printf("demo ready\n");
    int closeid = zewindow_closeid(&win);
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == 0 || id == closeid) break;
    }
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}

}  // namespace

void zeko_start_toolkit(bool close_on_signal) {
    char arg0[] = "zeko";
    char *argv[] = {arg0, nullptr};
    zetoolkit_init(1, argv);
    zeview_install();
    if (close_on_signal) zeevent_set_close_request_handler(zewindow_close_request);
}

int zeko_demo(int argc, char **argv) {
    if (argc == 1 && strcmp(argv[0], "scroll") == 0) return demo_scroll();
    if (argc >= 1 && strcmp(argv[0], "controls") == 0) return zeko_demo_controls(argc - 1, argv + 1);
    if (argc >= 1 && strcmp(argv[0], "terminal") == 0) return zeko_demo_terminal(argc - 1, argv + 1);
    if (argc >= 1 && strcmp(argv[0], "dialogs") == 0) return zeko_demo_dialogs(argc - 1, argv + 1);
    if (argc >= 1 && strcmp(argv[0], "colour") == 0) return zeko_demo_colour(argc - 1, argv + 1);
    return zeko_fail("demo: usage: zeko demo scroll | zeko demo controls [SECTION...] | zeko demo terminal [COMMAND ...] | zeko demo dialogs [NAME...] | zeko demo colour [RRGGBB] [TIMES] [german]");
}
