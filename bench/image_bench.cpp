// Saving and loading a 1920 x 1080 picture in every image format. Throughput
// is counted in picture bytes (3 per pixel) per second. Targets on the
// development machine: PNG write >= 200 MB/s, PCX read >= 100 MB/s.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <string>
#include "zeimage.h"

namespace {

const int W = 1920, H = 1080;

// A photo-like picture: smooth gradients with some noise, so that PCX runs
// are short as in real pictures (the XPM writer reduces it to 64 colours).
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

std::string file(const char *ext) {
    return "/tmp/zeimage_bench_" + std::to_string(getpid()) + "." + ext;
}

void save(benchmark::State &state, const char *ext) {
    std::string name = file(ext);
    for (auto _ : state)
        if (!zepxmap_savetofile(&picture().p, "%s", name.c_str())) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * (int64_t)W * H * 3);
}

void load(benchmark::State &state, const char *ext) {
    std::string name = file(ext);
    if (!zepxmap_savetofile(&picture().p, "%s", name.c_str())) {
        state.SkipWithError("save failed");
        return;
    }
    zePixmap target;
    zepxmap_create(&target, W, H, ZEPX_TRUECOLOR);
    for (auto _ : state)
        if (!zegraphic_gloadintern_file(&target, 0, 0, "%s", name.c_str())) state.SkipWithError("load failed");
    zepxmap_release(&target);
    unlink(name.c_str());
    state.SetBytesProcessed(state.iterations() * (int64_t)W * H * 3);
}

}  // namespace

BENCHMARK_CAPTURE(save, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, pcx, "pcx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, ppm, "ppm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(save, xpm, "xpm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, pcx, "pcx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, ppm, "ppm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, xpm, "xpm")->Unit(benchmark::kMillisecond);
