// Writing a 1920 x 1080 picture as PDF (through the PostScript text and the
// converter) and as PostScript, on A4 at 300 dpi. Target: PDF under 300 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <string>
#include "zeimage.h"

namespace {

const int W = 1920, H = 1080;

// A photo-like picture: gradients with some noise, so runs are short.
struct Picture {
    zePixmap p;
    Picture() {
        zepxmap_create(&p, W, H, ZEPX_TRUECOLOR);
        uint32_t seed = 1;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                seed = seed * 1103515245 + 12345;
                int n = seed >> 28;
                zepxmap_setpixel(&p, x, y, ((x / 8 + n) & 255) << 16 | ((y / 5) & 255) << 8 | ((x + y) / 16 & 255));
            }
    }
    ~Picture() { zepxmap_release(&p); }
};

Picture &picture() {
    static Picture pic;
    return pic;
}

void save(benchmark::State &state, const char *ext, const char *options) {
    std::string name = "/tmp/zepostscript_bench_" + std::to_string(getpid()) + "." + ext;
    for (auto _ : state)
        if (!zepxmap_savetofile(&picture().p, "%s,%s", name.c_str(), options)) state.SkipWithError("save failed");
    unlink(name.c_str());
    state.SetBytesProcessed(state.iterations() * (int64_t)W * H * 3);
}

}  // namespace

BENCHMARK_CAPTURE(save, pdf_4bit, "pdf", "a4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, pdf_truecolor, "pdf", "a4,truecolor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, ps, "ps", "a4")->Unit(benchmark::kMillisecond);
