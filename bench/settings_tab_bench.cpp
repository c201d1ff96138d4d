// The settings window: switching tabs (tear-down, build, fill and the first
// draw of the page) per tab, and the heap over 1,000 switches. Targets:
// under 20 ms median per tab, no growth of the heap.
#include "app.h"
#include "settings_window.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zeentry.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zeview.h"
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

const char *const kNames[] = {"QUIMO", "Timer", "Format", "Window", "Background", "Settings", "Help"};

struct Setup {
    Setup() {
        zebackend_select("headless");
        zefont_init();
        zeview_install();
        // Digit sets and examples are found in the program directory.
        const char *program = getenv("ZE_PROGRAM_DIR");
        std::string dir = program ? program : std::string(zeprogramdir()) + "/../program";
        if (chdir(dir.c_str()) != 0) perror(dir.c_str());
        g_app.settingsWindowHeight = 750;
        read_clock();
        sevenseg_select_set_by_size();
        sevenseg_load_preview_font();
        compute_colours();
        build_format_string();
        timer_window_compute_height();
        timer_window_compute_width();
        timer_window_create();
        settings_window_open_or_refresh();
    }
};

Setup &setup(void) {
    static Setup s;
    return s;
}

// From another tab to this one, as a click on the tab bar does.
void BM_SwitchToTab(benchmark::State &state) {
    setup();
    int tab = (int)state.range(0);
    int other = tab == SETTINGS_TAB_QUIMO ? SETTINGS_TAB_TIMER : SETTINGS_TAB_QUIMO;
    for (auto _ : state) {
        state.PauseTiming();
        settings_window_show_tab(other, 0);
        state.ResumeTiming();
        settings_window_show_tab(tab, 0);
    }
    state.SetLabel(kNames[tab]);
}
BENCHMARK(BM_SwitchToTab)->DenseRange(0, SETTINGS_TABS - 1)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The heap in use before and after 1,000 switches through all tabs.
void BM_ThousandSwitches(benchmark::State &state) {
    setup();
    for (auto _ : state) {
        for (int i = 0; i < 2 * SETTINGS_TABS; i++) settings_window_show_tab(i % SETTINGS_TABS, i / SETTINGS_TABS);
        size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 1000; i++) settings_window_show_tab(i % SETTINGS_TABS, i / SETTINGS_TABS % 2);
        size_t after = mallinfo2().uordblks;
        state.counters["heap_before_KB"] = before / 1024.0;
        state.counters["heap_after_KB"] = after / 1024.0;
        state.counters["growth_bytes"] = (double)after - (double)before;
    }
}
BENCHMARK(BM_ThousandSwitches)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
