// Saving and loading a 1920 x 1080 picture in every image format. Throughput
// is counted in picture bytes (3 per pixel) per second (the XPM writer
// reduces the picture to 64 colours). Targets on the
// development machine: PNG write >= 200 MB/s, PCX read >= 100 MB/s.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <string>
#include "zeimage.h"
#include "bench_picture.h"

namespace {

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
