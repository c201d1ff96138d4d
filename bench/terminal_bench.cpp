// The terminal: plain text and coloured text fed by the program (target
// 20 MB/s or more), and a child writing 100 MB of random bytes through the
// pipes (it keeps up, the buffer keeps its size), with the redraws counted
// (at most one per display refresh).
#include "platform/headless/zeheadless.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zeterminal.h"
#include "zetimer.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

zeWindow *window(void) {
    static zeWindow *win;
    if (win) return win;
    zebackend_select("headless");
    zeheadless_reset();
    zefont_init();
    zeview_install();
    win = new zeWindow;
    zewindow_open(win, "bench,x=0,y=0,xs=800,ys=600,noquit");
    return win;
}

std::string text(bool coloured) {
    std::string s;
    for (int i = 0; s.size() < (1 << 20); i++) {
        if (coloured) s += "\033[3" + std::to_string(i % 8) + "m";
        s += "line " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog 0123456789\n";
        if (coloured) s += "\033[0m";
    }
    return s;
}

void feed(benchmark::State &state, bool coloured) {
    window();
    zeTerminal t;
    zeterminal_create(&t, ",x=0,y=0,scrollback=1000");
    std::string s = text(coloured);
    for (auto _ : state) zeterminal_write(&t, s.data(), (int)s.size());
    state.SetBytesProcessed(state.iterations() * (int64_t)s.size());
    zeterminal_release(&t);
}

void BM_PlainText(benchmark::State &state) { feed(state, false); }
BENCHMARK(BM_PlainText)->Unit(benchmark::kMillisecond);

void BM_ColouredText(benchmark::State &state) { feed(state, true); }
BENCHMARK(BM_ColouredText)->Unit(benchmark::kMillisecond);

// 100 MB of random bytes from a child, the way "zeko demo terminal" shows
// them: the pump reads, the terminal decodes, the frame timer redraws.
void BM_ChildRandom100MB(benchmark::State &state) {
    window();
    for (auto _ : state) {
        zeTerminal t;
        zeterminal_create(&t, ",x=0,y=0,scrollback=1000");
        zeTermCell *cells = t.cells;
        fflush(stdout);
        int saved = dup(1), null = open("/dev/null", O_WRONLY);
        dup2(null, 1);   // the decoder reports every garbled sequence
        uint32_t start = zemilliseconds();
        zeterminal_run(&t, "head -c 100000000 /dev/urandom");
        while (zeterminal_child_running(&t)) zepump_step();
        uint32_t took = zemilliseconds() - start;
        fflush(stdout);
        dup2(saved, 1);
        close(saved), close(null);
        state.counters["MB/s"] = took ? 100000.0 / took : 0;
        state.counters["redraws/s"] = took ? t.updates * 1000.0 / took : 0;
        state.counters["buffer kept"] = cells == t.cells;
        zeterminal_release(&t);
    }
}
BENCHMARK(BM_ChildRandom100MB)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
