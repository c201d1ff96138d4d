// Corrupted copies of a real settings table, made by a seeded random mutator:
// opening, reading, writing and closing them must neither crash nor hang nor
// read past a buffer, and what opens must be consistent. Deterministic: the
// same seed makes the same files on every run.
#include "xbase_testutil.h"
#include "zexbase.h"
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

// The example file the build writes with the program's own save; without it
// a table of the same shape with settings-like cells.
static std::vector<unsigned char> settings_table(const ScratchDir &dir) {
    const char *program = getenv("ZE_PROGRAM_DIR");
    if (program) {
        std::vector<unsigned char> d = read_file(std::string(program) + "/examples/s9.dbf");
        if (d.size() > 1000) return d;
    }
    std::string file = dir / "base.dbf";
    zeXBase t;
    zexbase_create(&t, file.c_str(), 30, 20, 150);
    for (int r = 0; r < 23; r++) {
        zexbase_write_text(&t, r, 0, "Key%d", r);
        for (int c = 1; c < 1 + r % 13; c++) zexbase_write_text(&t, r, c, "%d", r * 100 + c);
    }
    zexbase_write_text(&t, 6, 1, "%06x", 0xff0000);
    zexbase_close(&t);
    return read_file(file);
}

static const uint32_t interesting[] = {0,     1,     2,     31,    32,         33,         65,
                                       255,   256,   673,   3021,  9999,       10000,      10001,
                                       32767, 32768, 65535, 65536, 100000000,  100000001,  0x7fffffff,
                                       0x80000000, 0xffffffff};

struct Mutator {
    std::mt19937 rng;
    explicit Mutator(uint32_t seed) : rng(seed) {}
    uint32_t below(uint32_t n) { return n ? rng() % n : 0; }
    uint32_t pick() { return interesting[below(sizeof interesting / sizeof interesting[0])]; }

    static void put(std::vector<unsigned char> &d, size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes && at + i < d.size(); i++) d[at + i] = v >> (8 * i) & 0xff;
    }

    void mutate(std::vector<unsigned char> &d) {
        if (d.empty()) return;
        size_t header = std::min<size_t>(d.size(), 700);
        switch (below(9)) {
        case 0: d[below(header)] ^= 1 << below(8); break;
        case 1: d[below(d.size())] = (unsigned char)rng(); break;
        case 2: put(d, below(2) ? 8 : 10, pick(), 2); break;
        case 3: put(d, 4, pick(), 4); break;
        case 4: d.resize(below(2) ? below(header + 1) : below(d.size() + 1)); break;
        case 5: {
            size_t desc = 32 + 32 * below(21);
            if (below(2)) put(d, desc + 11, (unsigned char)"CNLMD\0x*"[below(8)], 1);
            else put(d, desc + 16, pick(), 2);
            break;
        }
        case 6: {
            uint32_t hl = d.size() > 10 ? (d[8] | d[9] << 8) : 0, rl = d.size() > 11 ? (d[10] | d[11] << 8) : 0;
            for (int i = 0, n = 1 + below(5); i < n && rl; i++) put(d, hl + rl * below(40), below(2) ? '*' : rng(), 1);
            break;
        }
        case 7:
            for (int i = 0, n = 1 + below(3000); i < n; i++) d.push_back((unsigned char)rng());
            break;
        case 8: put(d, 32 + 32 * below(21), 0x0D, 1); break;
        }
    }
};

static void exercise(zeXBase *t, Mutator &m) {
    int rows = zexbase_rows(t), columns = zexbase_columns(t);
    ASSERT_LE((uint32_t)rows, t->recordCount);
    ASSERT_LE(columns, (int)ZEXBASE_MAX_FIELDS);
    ASSERT_LE(t->headerLength, (int)ZEXBASE_MAX_HEADER);
    char buf[70000];
    for (int r = -1; r <= std::min(rows, 35); r++)
        for (int c = -1; c <= std::min(columns, 22); c++) {
            const char *text = zexbase_read_text(t, r, c, buf, sizeof buf);
            ASSERT_LE(strlen(text), (size_t)zexbase_field_length(t, c));
            zexbase_read_number(t, r, c);
        }
    char small[8];
    zexbase_read_text(t, 0, 0, small, sizeof small);
    ASSERT_LT(strlen(small), sizeof small);
    if (columns > 0) {
        int row = (int)m.below(rows + 4), column = (int)m.below(columns);
        if (zexbase_write_text(t, row, column, "fuzz %u", m.below(1000))) {
            ASSERT_GT(zexbase_rows(t), row);
        }
    }
    zexbase_append(t);
}

TEST(XBaseFuzz, CorruptedSettingsTablesAreHandled) {
    ScratchDir dir;
    const std::vector<unsigned char> base = settings_table(dir);
    ASSERT_GT(base.size(), 1000u);
    const char *seed = getenv("ZEXBASE_FUZZ_SEED");  // for longer runs by hand
    Mutator m(seed ? (uint32_t)strtoul(seed, nullptr, 10) : 20261207);
    std::string file = dir / "fuzz.dbf";
    int opened = 0;
    const char *more = getenv("ZEXBASE_FUZZ_ROUNDS");
    const int rounds = more ? atoi(more) : 1000;
    for (int i = 0; i < rounds; i++) {
        std::vector<unsigned char> d = base;
        for (int k = 0, n = 1 + m.below(4); k < n; k++) m.mutate(d);
        ASSERT_TRUE(write_file(file, d));
        zeXBase t;
        if (!zexbase_open(&t, file.c_str())) continue;
        opened++;
        exercise(&t, m);
        if (HasFatalFailure()) {
            write_file(dir.path + "/../zexbase_fuzz_failure.dbf", d);
            FAIL() << "round " << i << " (input kept as zexbase_fuzz_failure.dbf)";
        }
        zexbase_close(&t);
        // What a write and close left behind must open again.
        zeXBase again;
        EXPECT_TRUE(zexbase_open(&again, file.c_str())) << "round " << i;
    }
    // The mutator should neither break every file nor leave most intact.
    EXPECT_GT(opened, rounds / 10);
    EXPECT_LT(opened, rounds * 9 / 10);
}
