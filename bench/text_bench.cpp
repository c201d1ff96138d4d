// The cost of one keystroke in the text controls, redraw included (drawn
// into the view's content and copied on, on the headless backend): a line
// input holding 1000 characters with the cursor in the middle, and an
// editor whose visible grid is 200 columns by 80 lines, full of text.
// Each step types a character and takes it back with Backspace, so the
// figures are per pair of keys.
#include "platform/headless/zeheadless.h"
#include "zeedit.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelineinput.h"
#include "zeplatform.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

void start(void) {
    static bool started;
    if (started) return;
    setenv("ZE_PLATFORM", "headless", 1);
    char arg0[] = "text_bench";
    char *argv[] = {arg0, nullptr};
    zeentry_init(1, argv);
    zefont_init();
    zeview_install();
    started = true;
}

void BM_LineInputKeystroke(benchmark::State &state) {
    start();
    zeWindow win;
    zewindow_open(&win, "bench,xs=640,ys=100,bgcolor=ffffff");
    zeLineInput in;
    zelineinput_init(&in);
    zelineinput_create(&in, "x=10,y=10,xs=600");
    std::string text;
    for (int i = 0; i < 1000; i++) text += (char)('a' + i % 26);
    zelineinput_set_text(&in, text.c_str());
    zelineinput_focus(&in);
    zecontrol_send(&in.c, ZEMSG_KEYDOWN, ZEKEY_HOME);
    for (int i = 0; i < 500; i++) zecontrol_send(&in.c, ZEMSG_KEYDOWN, ZEKEY_RIGHT);
    for (auto _ : state) {
        zecontrol_send(&in.c, ZEMSG_KEYDOWN, 'x');
        zecontrol_send(&in.c, ZEMSG_KEYDOWN, 8);
        zeevent_flush();
    }
    zelineinput_destroy(&in);
    zewindow_close(&win);
}
BENCHMARK(BM_LineInputKeystroke)->Unit(benchmark::kMicrosecond);

void BM_EditKeystroke200x80(benchmark::State &state) {
    start();
    zeWindow win;
    const int cw = zefont_char_width(ZEFONT_DEFAULT, 'w'), fh = zefont_height(ZEFONT_DEFAULT);
    const int w = 200 * cw + 4, h = 80 * fh + 4;
    zewindow_open(&win, "bench,xs=%d,ys=%d,bgcolor=ffffff", w + 20, h + 20);
    zeEdit ed;
    zeedit_init(&ed);
    zeedit_create(&ed, "x=10,y=10,xs=%d,ys=%d,lines=80,columns=200", w, h);
    std::string text;
    for (int y = 0; y < 80; y++) {
        for (int x = 0; x < 190; x++) text += (char)('a' + (x + y) % 26);
        text += '\n';
    }
    zeedit_set_text(&ed, text.c_str());
    zeedit_focus(&ed);
    for (int i = 0; i < 40; i++) zecontrol_send(&ed.c, ZEMSG_KEYDOWN, ZEKEY_DOWN);
    for (int i = 0; i < 100; i++) zecontrol_send(&ed.c, ZEMSG_KEYDOWN, ZEKEY_RIGHT);
    state.counters["visible_columns"] = zeedit_visible_columns(&ed);
    state.counters["visible_lines"] = zeedit_visible_lines(&ed);
    for (auto _ : state) {
        zecontrol_send(&ed.c, ZEMSG_KEYDOWN, 'x');
        zecontrol_send(&ed.c, ZEMSG_KEYDOWN, 8);
        zeevent_flush();
    }
    zeedit_destroy(&ed);
    zewindow_close(&win);
}
BENCHMARK(BM_EditKeystroke200x80)->Unit(benchmark::kMicrosecond);

}  // namespace
