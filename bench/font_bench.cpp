// Text measuring and drawing of a 10,000-character page in Arial16.
// Targets: drawing under 5 ms, measuring under 50 microseconds.
#include "zefont.h"
#include "zepxmap.h"
#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string page(void) {
    static const char *words[] = {"Count", "up", "or", "down", "to", "the", "moment", "you", "chose;",
                                  "hundredths,", "seconds", "and", "days", "well-known", "timer", "window"};
    std::string s;
    for (int i = 0; s.size() < 10000; i++) {
        s += words[(i * 7) % 16];
        s += i % 13 == 12 ? '\n' : ' ';
    }
    s.resize(10000);
    return s;
}

int arial16(void) {
    zefont_init();
    return zefont_load_set("Arial16");
}

void BM_TextWidth(benchmark::State &state) {
    int font = arial16();
    std::string text = page();
    for (auto _ : state) benchmark::DoNotOptimize(zefont_text_width(font, text.c_str()));
    state.SetItemsProcessed(state.iterations() * (int64_t)text.size());
}
BENCHMARK(BM_TextWidth)->Unit(benchmark::kMicrosecond);

void BM_DrawWrappedPage(benchmark::State &state) {
    int font = arial16();
    std::string text = page();
    zePixmap p;
    zepxmap_create(&p, 1200, 1600, state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        zepxmap_clear(&p, 0xFFFFFF);
        state.ResumeTiming();
        benchmark::DoNotOptimize(zefont_draw_wrapped(&p, font, 10, 10, 1180, 1580, 0, text.c_str(), false));
    }
    zepxmap_release(&p);
}
BENCHMARK(BM_DrawWrappedPage)->Arg(ZEPX_TRUECOLOR)->Arg(ZEPX_PALETTE8)->Arg(ZEPX_SERVER)->Unit(benchmark::kMillisecond);

void BM_DrawTextLines(benchmark::State &state) {
    int font = arial16();
    std::string text = page();
    zePixmap p;
    zepxmap_create(&p, 1200, 1600, ZEPX_TRUECOLOR);
    for (auto _ : state)
        benchmark::DoNotOptimize(zefont_draw_text(&p, font, 0, 0, 0, false, false, -1, 0, -1, text.c_str()));
    zepxmap_release(&p);
}
BENCHMARK(BM_DrawTextLines)->Unit(benchmark::kMillisecond);

void BM_MeasureWrapped(benchmark::State &state) {
    int font = arial16();
    std::string text = page();
    for (auto _ : state)
        benchmark::DoNotOptimize(zefont_draw_wrapped(nullptr, font, 0, 0, 1180, 1580, 0, text.c_str(), true));
}
BENCHMARK(BM_MeasureWrapped)->Unit(benchmark::kMicrosecond);

}  // namespace
