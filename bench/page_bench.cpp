// Markup pages: building the largest sample page (a settings tab of about 40
// controls and 2,000 words) on an off-screen canvas, rebuilding it, and the
// heap over 10,000 rebuilds. Targets: build and rebuild under 5 ms (median),
// no growth of the heap.
#include "../tests/support/page_canvas.h"
#include "zeplatform.h"
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string sample(const char *name) {
    std::string path = __FILE__;
    path = path.substr(0, path.rfind("bench/")) + "data/pages/" + name;
    std::ifstream f(path);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

struct Setup {
    PageCanvas canvas;
    std::string text, small;
    Setup() {
        zebackend_select("headless");
        zeview_install();
        canvas.open(740, 2700);
        text = sample("timer_tab.page");
        small = sample("controls.page");
    }
};

Setup &setup(void) {
    static Setup s;
    return s;
}

// A fresh page each time: the build and the page's destruction.
void BM_BuildLargestPage(benchmark::State &state) {
    Setup &s = setup();
    int controls = 0;
    for (auto _ : state) {
        zeGUIScript page;
        benchmark::DoNotOptimize(zepage_build(&page, s.text.c_str()));
        controls = page.ncontrols;
    }
    state.counters["controls"] = controls;
    state.counters["bytes"] = (double)s.text.size();
}
BENCHMARK(BM_BuildLargestPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

// Building a built page: the old layout is torn down and repainted first.
void BM_RebuildLargestPage(benchmark::State &state) {
    Setup &s = setup();
    zeGUIScript page;
    zepage_build(&page, s.text.c_str());
    for (auto _ : state) benchmark::DoNotOptimize(zepage_build(&page, s.text.c_str()));
}
BENCHMARK(BM_RebuildLargestPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

// The heap in use before and after 10,000 rebuilds of the page with every
// kind of control.
void BM_TenThousandRebuilds(benchmark::State &state) {
    Setup &s = setup();
    for (auto _ : state) {
        zeGUIScript page;
        for (int i = 0; i < 100; i++) zepage_build(&page, s.small.c_str());
        size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 10000; i++) zepage_build(&page, s.small.c_str());
        size_t after = mallinfo2().uordblks;
        state.counters["heap_before_KB"] = before / 1024.0;
        state.counters["heap_after_KB"] = after / 1024.0;
        state.counters["growth_bytes"] = (double)after - (double)before;
    }
}
BENCHMARK(BM_TenThousandRebuilds)->Unit(benchmark::kSecond)->Iterations(1);

// Hostile input: 100,000 copies of one tag (the argument picks it). Target:
// each run built in well under 5 s.
const char *const kRunTags[] = {"<b>", "<center>", "<br>", "<x=5>", "<save=a>", "<restore=zz>", "<font=arial20>",
                                "<big>", "<hline>", "<achar=3x>", "<yinc=-1>", "<view=v,xs=10,ys=10>",
                                "<image=none.bmp>", "<table=t>"};

void BM_LongRunOfOneTag(benchmark::State &state) {
    setup();
    const char *tag = kRunTags[state.range(0)];
    std::string text;
    for (int i = 0; i < 100000; i++) text += tag;
    for (auto _ : state) {
        zeGUIScript page;
        benchmark::DoNotOptimize(zepage_build(&page, text.c_str()));
    }
    state.SetLabel(tag);
}
BENCHMARK(BM_LongRunOfOneTag)->DenseRange(0, sizeof kRunTags / sizeof kRunTags[0] - 1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
