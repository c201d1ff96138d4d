// What the digits cost at the three sizes people use (Size 25, 50 and 100):
// loading a set (part of every start), the change of a hundredths digit
// (every wake with hundredths), the periodic redraw of an unchanged display
// (untouched, and after the background was painted), and the program's icon
// that a new window carries (also on the way to the first frame).
#include "app.h"
#include "sevenseg.h"
#include "zeicon.h"
#include "zeentry.h"
#include "zepxmap.h"
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string set_path(int size) {
    const char *program = getenv("ZE_PROGRAM_DIR");
    std::string dir = program ? program : std::string(zeprogramdir()) + "/../program";
    return dir + "/" + sevenseg_set_file(sevenseg_set_for_size(size));
}

void BM_LoadSet(benchmark::State &state) {
    std::string file = set_path((int)state.range(0));
    for (auto _ : state) {
        SevenSegmentFont f;
        f.deferred = false;
        if (!sevenseg_load_set(&f, file.c_str())) state.SkipWithError("no digit set");
        sevenseg_free(&f);
    }
}
BENCHMARK(BM_LoadSet)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

struct Display {
    SevenSegmentFont f;
    zePixmap window;
    Display(int size) {
        f.deferred = false;
        sevenseg_load_set(&f, set_path(size).c_str());
        sevenseg_recolour(&f, 0x330000, 0xff0000);
        zepxmap_create(&window, sevenseg_text_width(&f, "00:00:00:00.00") + 4, f.charHeight + 4, ZEPX_SERVER);
        zepxmap_clear(&window, 0);
    }
    ~Display() {
        zepxmap_release(&window);
        sevenseg_free(&f);
    }
};

void no_show(void *, int, int, int, int) {}

// Each wake with hundredths: the last digit moves on, every tenth the one before.
void BM_HundredthsChange(benchmark::State &state) {
    Display d((int)state.range(0));
    char text[32];
    int n = 0;
    for (auto _ : state) {
        snprintf(text, sizeof text, "00:12:34:56.%02d", n++ % 100);
        sevenseg_draw_changed(&d.f, &d.window, 2, 2, text, no_show, nullptr);
    }
}
BENCHMARK(BM_HundredthsChange)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

// The forced redraw of an unchanged display compares every shown glyph with
// the window (after a background change); untouched, the periodic one skips it.
void BM_FullCheckOfAnUnchangedDisplay(benchmark::State &state) {
    Display d((int)state.range(0));
    sevenseg_draw_changed(&d.f, &d.window, 2, 2, "00:12:34:56", no_show, nullptr);
    for (auto _ : state) {
        d.f.forceFull = true;
        sevenseg_draw_changed(&d.f, &d.window, 2, 2, "00:12:34:56", no_show, nullptr);
    }
}
BENCHMARK(BM_FullCheckOfAnUnchangedDisplay)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_WindowIcon(benchmark::State &state) {
    std::vector<uint32_t> px(64 * 64);
    for (auto _ : state)
        for (int size : {16, 32, 48, 64}) zeicon_draw(px.data(), size);
}
BENCHMARK(BM_WindowIcon)->Unit(benchmark::kMillisecond);

}  // namespace
