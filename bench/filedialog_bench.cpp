// How long the file dialog takes to come up on a directory of 20,000 files
// (the time from the call until it waits for the user, with both lists
// filled and drawn), and the listing alone, with and without a filter.
#include "platform/headless/zeheadless.h"
#include "zedialog.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefiledialog.h"
#include "zefont.h"
#include "zelistbox.h"
#include "zeplatform.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum { FILES = 20000, DIRS = 200 };

using Clock = std::chrono::steady_clock;

struct Directory {
    std::string root;
    Directory() {
        char t[] = "/tmp/filedialog_bench_XXXXXX";
        root = mkdtemp(t);
        for (int i = 0; i < DIRS; i++) mkdir((root + "/dir" + std::to_string(i)).c_str(), 0755);
        for (int i = 0; i < FILES; i++) {
            std::string name = root + "/file" + std::to_string(i) + (i % 2 ? ".txt" : ".dat");
            int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) close(fd);
        }
    }
    ~Directory() {
        std::string cmd = "rm -rf '" + root + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "cannot remove %s\n", root.c_str());
    }
};

Directory *g_dir;
zeWindow *g_caller;
Clock::time_point g_start;
double g_open_ms;

void start() {
    if (g_dir) return;
    setenv("ZE_PLATFORM", "headless", 1);
    char arg0[] = "filedialog_bench";
    char *argv[] = {arg0, nullptr};
    zeentry_init(1, argv);
    zefont_init();
    zeview_install();
    g_caller = new zeWindow();
    zewindow_open(g_caller, "caller,x=0,y=0,xs=300,ys=200,noquit");
    static Directory dir;   // removed at exit
    g_dir = &dir;
}

// Up: the time is taken, and the user cancels at once.
void opened(zeWindow *w, zeControl *const *, int) {
    g_open_ms = std::chrono::duration<double, std::milli>(Clock::now() - g_start).count();
    zeheadless_close(w->native);
}

void BM_OpenOn20000Files(benchmark::State &state) {
    start();
    zedialog_set_open_hook(opened);
    double worst = 0;
    for (auto _ : state) {
        char answer[512];
        g_start = Clock::now();
        zedialog_file(answer, sizeof answer, "open,dir=%s", g_dir->root.c_str());
        state.SetIterationTime(g_open_ms / 1000);
        if (g_open_ms > worst) worst = g_open_ms;
    }
    zedialog_set_open_hook(nullptr);
    state.counters["worst_open_ms"] = worst;
    state.counters["files"] = FILES;
}
BENCHMARK(BM_OpenOn20000Files)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_List20000Files(benchmark::State &state) {
    start();
    zeListBox dirs, files;
    zelistbox_init(&dirs), zelistbox_init(&files);
    zelistbox_create(&dirs, "d,x=0,y=0,xs=100,ys=100");
    zelistbox_create(&files, "f,x=100,y=0,xs=100,ys=100");
    const char *pattern = state.range(0) ? "*.txt" : "*";
    for (auto _ : state) zefiledialog_list(g_dir->root.c_str(), pattern, false, false, &dirs, &files);
    state.counters["files_listed"] = zelistbox_count(&files);
    zelistbox_release(&dirs), zelistbox_release(&files);
}
BENCHMARK(BM_List20000Files)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
