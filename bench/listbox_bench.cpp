// The cost of one step in a list box of a hundred thousand lines: a key
// moving the selection (drawn into the view's content and copied on, on the
// headless backend), a click on a line, a wheel step, a first-letter search
// that has to walk most of the list, and removing the selected line.
#include "platform/headless/zeheadless.h"
#include "zecombobox.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelistbox.h"
#include "zeplatform.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

enum { LINES = 100000 };

struct Scene {
    zeWindow win;
    zeView *view = nullptr;
    zeListBox lb;
    Scene(int lines) {
        setenv("ZE_PLATFORM", "headless", 1);
        static bool started;
        if (!started) {
            char arg0[] = "listbox_bench";
            char *argv[] = {arg0, nullptr};
            zeentry_init(1, argv);
            zefont_init();
            zeview_install();
            started = true;
        }
        zewindow_open(&win, "bench,xs=640,ys=480,bgcolor=ffffff");
        view = zeview_of_window(&win);
        zelistbox_init(&lb);
        zelistbox_create(&lb, "l,x=10,y=10,xs=300,ys=400");
        zelistbox_clear(&lb);
        for (int i = 0; i < lines; i++) zelistbox_add(&lb, "entry %06d", i);
        zelistbox_end_bulk(&lb);
        zeview_focus_child(view, lb.c.handle);
    }
    ~Scene() {
        zelistbox_release(&lb);
        zewindow_close(&win);
    }
    void send(int msg, int a1, int a2 = 0) { zeview_handler(view, msg, a1, a2, 0, 0, 0, 0, 0, 0); }
};

// Down and Up in turn over the middle of the list: select, scroll, redraw.
void BM_ListKeyStep(benchmark::State &state) {
    Scene s((int)state.range(0));
    zelistbox_select(&s.lb, s.lb.count / 2);
    int n = 0;
    for (auto _ : state) {
        s.send(ZEMSG_KEYDOWN, n++ % 60 < 30 ? ZEKEY_DOWN : ZEKEY_UP);
        zeevent_flush();
    }
    state.counters["lines"] = s.lb.count;
}
BENCHMARK(BM_ListKeyStep)->Arg(100)->Arg(LINES)->Unit(benchmark::kMicrosecond);

// Page Down and Page Up in turn: the view moves by a page each step.
void BM_ListPageStep(benchmark::State &state) {
    Scene s(LINES);
    zelistbox_select(&s.lb, LINES / 2);
    int n = 0;
    for (auto _ : state) {
        s.send(ZEMSG_KEYDOWN, n++ % 2 ? ZEKEY_PAGEUP : ZEKEY_PAGEDOWN);
        zeevent_flush();
    }
}
BENCHMARK(BM_ListPageStep)->Unit(benchmark::kMicrosecond);

void BM_ListClick(benchmark::State &state) {
    Scene s(LINES);
    int n = 0;
    for (auto _ : state) {
        s.send(ZEMSG_LDOWN, 50, 20 + (n++ % 20) * 13);
        s.send(ZEMSG_LUP, 50, 20);
        zeevent_flush();
    }
}
BENCHMARK(BM_ListClick)->Unit(benchmark::kMicrosecond);

void BM_ListWheel(benchmark::State &state) {
    Scene s(LINES);
    zelistbox_select(&s.lb, LINES / 2);
    int n = 0;
    for (auto _ : state) s.send(n++ % 20 < 10 ? ZEMSG_WHEELDOWN : ZEMSG_WHEELUP, 50, 50);
}
BENCHMARK(BM_ListWheel)->Unit(benchmark::kMicrosecond);

// The worst first letter: one that no line begins with walks the whole list.
void BM_ListFirstLetterWholeList(benchmark::State &state) {
    Scene s(LINES);
    zelistbox_select(&s.lb, 0);
    for (auto _ : state) {
        s.send(ZEMSG_KEYDOWN, 'z');
        zeevent_flush();
    }
}
BENCHMARK(BM_ListFirstLetterWholeList)->Unit(benchmark::kMicrosecond);

// Removing the selected line from the front (the worst place) and adding one.
void BM_ListRemoveSelected(benchmark::State &state) {
    Scene s(LINES);
    for (auto _ : state) {
        zelistbox_select(&s.lb, 0);
        zelistbox_remove(&s.lb, 0);
        zelistbox_add_text(&s.lb, "entry");
    }
}
BENCHMARK(BM_ListRemoveSelected)->Unit(benchmark::kMicrosecond);

}  // namespace
