// libFuzzer target for the table reader; not part of the default build:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Itoolkit/xbase \
//       tests/xbase/zexbase_fuzzer.cpp toolkit/xbase/zexbase.cpp -o zexbase_fuzzer
//   ./zexbase_fuzzer -max_total_time=60 CORPUS_DIR   (seed it with examples/*.dbf)
// Each input is written to a file and opened, read, written and closed.
#include "zexbase.h"
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::string file = "/tmp/zexbase_fuzzer." + std::to_string(getpid()) + ".dbf";
    FILE *f = fopen(file.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    zeXBase t;
    if (!zexbase_open(&t, file.c_str())) return 0;
    char buf[70000];
    int rows = zexbase_rows(&t), columns = zexbase_columns(&t);
    for (int r = 0; r <= rows && r < 40; r++)
        for (int c = 0; c <= columns && c < 25; c++) {
            if (strlen(zexbase_read_text(&t, r, c, buf, sizeof buf)) > (size_t)zexbase_field_length(&t, c))
                __builtin_trap();
            zexbase_read_number(&t, r, c);
        }
    if (columns > 0) zexbase_write_text(&t, rows, 0, "x");
    zexbase_close(&t);
    return 0;
}
