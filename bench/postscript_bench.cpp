// Writing a 1920 x 1080 picture as PDF (through the PostScript text and the
// converter) and as PostScript, on A4 at 300 dpi. Target: PDF under 300 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <string>
#include "zeimage.h"
#include "bench_picture.h"

namespace {

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
