// The cost of one display tick's computation: the timer model, the digit text
// and the merge into the display text (drawing is measured elsewhere).
#include "app.h"
#include <benchmark/benchmark.h>

static void setup(int form, bool hundredths) {
    g_timer = TimerState();
    g_format = DisplayFormat();
    g_format.form = form;
    g_format.showHundredths = hundredths;
    g_timer.countUp = false;
    g_timer.stopAfterFinished = false;
    read_clock();
    g_timer.destinationDay = zedate_daynumber(g_app.clock.year, g_app.clock.month, g_app.clock.day) + 400;
    build_format_string();
}

static void tick(benchmark::State &state, bool readClock) {
    char text[600];
    for (auto _ : state) {
        if (readClock) read_clock();
        advance_hundredths();
        compute();
        make_digit_text();
        merge_display_text(g_format.formatString, g_format.digitText, g_timer.difference < 0, text,
                           sizeof text);
        benchmark::DoNotOptimize(text);
    }
}

static void BM_TickClockForm(benchmark::State &state) {
    setup(1, false);
    tick(state, false);
}
BENCHMARK(BM_TickClockForm);

static void BM_TickClockFormWithHundredths(benchmark::State &state) {
    setup(1, true);
    tick(state, false);
}
BENCHMARK(BM_TickClockFormWithHundredths);

static void BM_TickDecimalForm(benchmark::State &state) {
    setup(2, false);
    g_format.decimals = 8;
    build_format_string();
    tick(state, false);
}
BENCHMARK(BM_TickDecimalForm);

// With the clock read, as the display tick does it.
static void BM_TickWithClockRead(benchmark::State &state) {
    setup(1, false);
    tick(state, true);
}
BENCHMARK(BM_TickWithClockRead);
