// A 100 x 40 table with 200 controls in its cells (50 each of check boxes,
// text inputs, combo boxes and buttons) built and drawn into a window's view:
// target under 10 ms.
#include "platform/headless/zeheadless.h"
#include "zefont.h"
#include "zegout.h"
#include "zeplatform.h"
#include "zetable.h"
#include "zeview.h"
#include "zewindow.h"
#include <benchmark/benchmark.h>

namespace {

void BM_Table100x40With200Controls(benchmark::State &state) {
    zebackend_select("headless");
    zeheadless_reset();
    zefont_init();
    zeview_install();
    zeWindow win;
    zewindow_open(&win, "bench,x=0,y=0,xs=800,ys=600,cxs=6100,cys=900,noquit");
    static const char *const kinds[] = {"bool", "edit", "combobox", "button"};
    for (auto _ : state) {
        zeTable t;
        zetable_init(&t);
        zetable_create(&t, 100, 40);
        for (int r = 0; r < 40; r++)
            for (int c = 0; c < 100; c++) zetable_set_text(&t, c, r, "%d.%d", r, c);
        for (int i = 0; i < 200; i++) {
            int c = i % 100, r = (i / 100) * 20 + i % 20;
            zetable_set_type(&t, c, r, kinds[i % 4]);
            zetable_set_entries(&t, c, r, "one|two|three");
        }
        zetable_fit_columns(&t, 20);
        benchmark::DoNotOptimize(zetable_draw(&t, 0, 0));
        zetable_release(&t);
    }
    zewindow_close(&win);
}
BENCHMARK(BM_Table100x40With200Controls)->Unit(benchmark::kMillisecond);

}  // namespace
