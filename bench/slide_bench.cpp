// The cost of one slider drag step: the pointer move through the window's
// view, the new value, the slider drawn into the view's content and the
// changed area copied on (headless backend). Also the track press and a
// tab-bar switch, for comparison.
#include "platform/headless/zeheadless.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zeslide.h"
#include "zetabbar.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

struct Scene {
    zeWindow win;
    zeView *view = nullptr;
    Scene() {
        setenv("ZE_PLATFORM", "headless", 1);
        static bool started;
        if (!started) {
            char arg0[] = "slide_bench";
            char *argv[] = {arg0, nullptr};
            zeentry_init(1, argv);
            zefont_init();
            zeview_install();
            started = true;
        }
        zewindow_open(&win, "bench,xs=640,ys=120,bgcolor=ffffff");
        view = zeview_of_window(&win);
    }
    ~Scene() { zewindow_close(&win); }
    zearg send(int msg, int x, int y) { return zeview_handler(view, msg, x, y, 0, 0, 0, 0, 0, 0); }
};

// Drags the knob of a 600-pixel slider back and forth, one pixel per step.
void BM_SlideDragStep(benchmark::State &state) {
    Scene s;
    zeSlide slide;
    zeslide_create(&slide, "s,x=10,y=40,xs=600,ys=%d,showpos", (int)state.range(0));
    int y = 40 + (int)state.range(0) / 2;
    s.send(ZEMSG_LDOWN, 10 + 15, y);
    int x = 25, dir = 1;
    for (auto _ : state) {
        x += dir;
        if (x > 590 || x < 25) dir = -dir;
        s.send(ZEMSG_MOTION, x, y);
        zeevent_flush();
    }
    s.send(ZEMSG_LUP, x, y);
    state.counters["value"] = zeslide_value(&slide);
}
BENCHMARK(BM_SlideDragStep)->Arg(12)->Arg(40);

void BM_SlideKeyStep(benchmark::State &state) {
    Scene s;
    zeSlide slide;
    zeslide_create(&slide, "s,x=10,y=40,xs=600,ys=16");
    s.send(ZEMSG_LDOWN, 600, 45);
    int n = 0;
    for (auto _ : state) {
        s.send(ZEMSG_KEYDOWN, n++ % 40 < 20 ? ZEKEY_RIGHT : ZEKEY_LEFT, 0);
        zeevent_flush();
    }
}
BENCHMARK(BM_SlideKeyStep);

void BM_TabBarSwitch(benchmark::State &state) {
    Scene s;
    zeTabBar bar;
    zetabbar_create(&bar, "t,x=0,y=0,xs=100%%,tabs=Window|Size|Colors|Border|Sound|Start|Time|Help%s",
                    state.range(0) ? ",greystyle" : "");
    int n = 0;
    for (auto _ : state) {
        s.send(ZEMSG_LDOWN, 30 + (n++ % 2) * 62, 5);
        zeevent_flush();
    }
}
BENCHMARK(BM_TabBarSwitch)->Arg(0)->Arg(1);

}  // namespace
