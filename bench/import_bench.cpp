// Importing pictures: a 4000 x 3000 JPEG (baseline and progressive) and a
// 1920 x 1080 GIF into a truecolor pixmap, and the background's whole import
// (decode and the internal BMP written). Target: the 4000 x 3000 JPEG import
// under 150 ms.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <string>
#include "../tests/support/picture_make.h"
#include "app.h"
#include "background.h"
#include "zeimage.h"
#include "zeimport.h"

namespace {

std::string temp(const char *name) { return "/tmp/zeimport_bench_" + std::to_string(getpid()) + "_" + name; }

const std::string &file(const char *name, std::vector<uint8_t> (*make)()) {
    static std::string paths[8];
    static const char *names[8];
    for (int i = 0; i < 8; i++) {
        if (names[i] && strcmp(names[i], name) == 0) return paths[i];
        if (!names[i]) {
            names[i] = name;
            paths[i] = temp(name);
            picture_write(paths[i].c_str(), make());
            return paths[i];
        }
    }
    return paths[0];
}

std::vector<uint8_t> jpeg_baseline() { return make_jpeg(4000, 3000, JPEG_BASELINE, 85); }
std::vector<uint8_t> jpeg_progressive() { return make_jpeg(4000, 3000, JPEG_PROGRESSIVE, 85); }
std::vector<uint8_t> gif_hd() { return make_gif(1920, 1080); }

void import(benchmark::State &state, const char *name, std::vector<uint8_t> (*make)()) {
    const std::string &path = file(name, make);
    for (auto _ : state) {
        zePixmap p;
        zepxmap_init(&p);
        if (!zeimage_import(&p, path.c_str(), 0)) state.SkipWithError("import failed");
        benchmark::DoNotOptimize(p.pixels);
        zepxmap_release(&p);
    }
    state.SetLabel(name);
}

void BM_ImportJpeg4000x3000(benchmark::State &state) { import(state, "baseline.jpg", jpeg_baseline); }
void BM_ImportJpeg4000x3000Progressive(benchmark::State &state) { import(state, "progressive.jpg", jpeg_progressive); }
void BM_ImportGif1920x1080(benchmark::State &state) { import(state, "hd.gif", gif_hd); }

// What Load does to the files: decode, then "quimo_bg_intern.bmp" written.
void BM_BackgroundImportJpeg4000x3000(benchmark::State &state) {
    const std::string &path = file("baseline.jpg", jpeg_baseline);
    std::string dir = temp("dir");
    mkdir(dir.c_str(), 0700);
    if (chdir(dir.c_str()) != 0) state.SkipWithError("no folder");
    for (auto _ : state)
        if (!background_import(path.c_str(), BG_INTERN_FILE)) state.SkipWithError("import failed");
    unlink(BG_INTERN_FILE);
    unlink("quimo.log");
}

// Creating the timer window loads the internal picture into the window's
// pixmap (server format), which shows only its top-left corner.
void BM_WindowLoadsBmp4000x3000(benchmark::State &state) {
    std::string bmp = temp("intern.bmp");
    zePixmap pic;
    zepxmap_init(&pic);
    if (!zeimage_import(&pic, file("baseline.jpg", jpeg_baseline).c_str(), 0) ||
        !zepxmap_savetofile_bmp(&pic, bmp.c_str()))
        state.SkipWithError("no picture");
    zepxmap_release(&pic);
    zePixmap win;
    zepxmap_create(&win, 800, 100, ZEPX_SERVER);
    for (auto _ : state)
        if (!zeimage_load_file(&win, bmp.c_str(), 0, 0)) state.SkipWithError("load failed");
    zepxmap_release(&win);
    unlink(bmp.c_str());
}

BENCHMARK(BM_WindowLoadsBmp4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportJpeg4000x3000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportJpeg4000x3000Progressive)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportGif1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackgroundImportJpeg4000x3000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
