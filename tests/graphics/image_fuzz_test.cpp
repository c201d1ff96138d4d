// Bad picture files: the malformed samples of tests/graphics/malformed and a
// seeded random mutator over valid files. A reader either succeeds or returns
// false with the pixmap untouched; it never reads or writes outside a buffer
// (run this test under -fsanitize=address to check the latter).
#include <gtest/gtest.h>
#include <dirent.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>
#include "image_files.h"
#include "zeimage.h"

namespace {

typedef bool (*Reader)(FILE *, zePixmap *, const char *const *, int, int, int, int);

struct Target {
    zePixmap p;
    explicit Target(int format) {
        EXPECT_TRUE(zepxmap_create(&p, 16, 12, format));
        zepxmap_clear(&p, format == ZEPX_PALETTE8 ? 3 : 0x3C3C3C);
    }
    ~Target() { zepxmap_release(&p); }
    bool untouched() const {
        int fill = p.format == ZEPX_PALETTE8 ? 3 : 0x3C3C3C;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++)
                if (zepxmap_getpixel(&p, x, y) != fill) return false;
        return true;
    }
};

Reader reader_for(const std::string &name) {
    switch (zeimage_filetype(name.c_str())) {
    case ZEIMG_BMP: return zebmp_read;
    case ZEIMG_PCX: return zepcx_read;
    case ZEIMG_PPM: return zeppm_read;
    case ZEIMG_XPM: return zexpm_read;
    default: return nullptr;
    }
}

std::string source_dir(const char *sub) {
    const char *root = getenv("ZE_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + sub;
}

// A file of a sample folder that some reader takes.
struct Sample {
    std::string name, path;
    Reader reader;
};

// The files of dir that have a reader; false when the folder cannot be read.
bool list_samples(const std::string &dir, std::vector<Sample> *out) {
    DIR *d = opendir(dir.c_str());
    if (!d) return false;
    while (dirent *e = readdir(d)) {
        std::string path = dir + "/" + e->d_name;
        Reader r = reader_for(path);
        if (r) out->push_back({e->d_name, path, r});
    }
    closedir(d);
    return true;
}

// Runs a reader on bytes held in memory; returns its result.
bool read_bytes(Reader r, const std::vector<uint8_t> &data, zePixmap *p, int x = 0, int y = 0) {
    static char empty;
    FILE *f = fmemopen(data.empty() ? &empty : (void *)data.data(), data.size(), "rb");
    if (!f) return false;
    bool ok = r(f, p, nullptr, x, y, -1, -1);
    fclose(f);
    return ok;
}

TEST(Malformed, EveryReaderRefusesTheSamples) {
    std::string dir = source_dir("tests/graphics/malformed");
    std::vector<Sample> samples;
    ASSERT_TRUE(list_samples(dir, &samples)) << dir;
    for (const Sample &f : samples) {
        std::vector<uint8_t> data = slurp(f.path);
        for (int format : {ZEPX_TRUECOLOR, ZEPX_PALETTE8, ZEPX_SERVER}) {
            Target t(format);
            testing::internal::CaptureStdout();
            EXPECT_FALSE(read_bytes(f.reader, data, &t.p)) << f.name << " into format " << format;
            testing::internal::GetCapturedStdout();
            EXPECT_TRUE(t.untouched()) << f.name;
        }
        // the same through the file-name interface
        Target t(ZEPX_TRUECOLOR);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(zegraphic_gloadintern_file(&t.p, 0, 0, "%s", f.path.c_str())) << f.name;
        testing::internal::GetCapturedStdout();
    }
    EXPECT_GE(samples.size(), 40u);
}

// Inputs the libFuzzer targets (tests/fuzz) once crashed on: each reader either
// accepts them or leaves the pixmap untouched (run under ASan/UBSan).
TEST(Regressions, EarlierFuzzFindsReadSafely) {
    std::string dir = source_dir("tests/graphics/fuzz_regressions");
    std::vector<Sample> samples;
    ASSERT_TRUE(list_samples(dir, &samples)) << dir;
    for (const Sample &f : samples) {
        std::vector<uint8_t> data = slurp(f.path);
        for (int format : {ZEPX_TRUECOLOR, ZEPX_PALETTE8, ZEPX_SERVER}) {
            Target t(format);
            testing::internal::CaptureStdout();
            bool ok = read_bytes(f.reader, data, &t.p, 2, 1);
            testing::internal::GetCapturedStdout();
            if (!ok) {
                EXPECT_TRUE(t.untouched()) << f.name;
            }
        }
    }
    EXPECT_GE(samples.size(), 1u);
}

// Valid files of every readable format, as the writers make them.
std::vector<uint8_t> valid_file(const char *ext, int w, int h) {
    zePixmap p;
    EXPECT_TRUE(zepxmap_create(&p, w, h, ZEPX_TRUECOLOR));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) zepxmap_setpixel(&p, x, y, (x * 40 + y * 3) % 7 * 0x230517 + (x == y) * 0xC0);
    char name[] = "/tmp/zeimage_fuzz_XXXXXX";
    int fd = mkstemp(name);
    close(fd);
    std::string file = std::string(name) + "." + ext;
    EXPECT_TRUE(zepxmap_savetofile(&p, "%s", file.c_str()));
    zepxmap_release(&p);
    std::vector<uint8_t> v = slurp(file);
    remove(file.c_str());
    remove(name);
    return v;
}

void mutate(std::vector<uint8_t> &d, std::mt19937 &rng) {
    int edits = 1 + rng() % 4;
    for (int i = 0; i < edits && !d.empty(); i++) {
        // header bytes are where most of the decisions are made: hit them often
        size_t at = rng() % 2 ? rng() % std::min<size_t>(d.size(), 140) : rng() % d.size();
        switch (rng() % 7) {
        case 0: d[at] ^= (uint8_t)(1 << rng() % 8); break;
        case 1: d[at] = (uint8_t)rng(); break;
        case 2: d[at] = (uint8_t)(rng() % 2 ? 0xFF : 0x00); break;
        case 3: d.resize(at); break;
        case 4: d.insert(d.begin() + at, (uint8_t)rng()); break;
        case 5: d.erase(d.begin() + at); break;
        case 6: d[at] = "0123456789 \",#\n"[rng() % 15]; break;   // text formats
        }
    }
}

TEST(Fuzz, MutatedFilesNeverHurtTheReaders) {
    const char *exts[] = {"bmp", "pcx", "ppm", "xpm"};
    std::mt19937 rng(20261207);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
    int runs = 0, accepted = 0;
    for (const char *ext : exts) {
        std::string name = std::string("x.") + ext;
        Reader r = reader_for(name);
        std::vector<uint8_t> seeds[2] = {valid_file(ext, 13, 7), valid_file(ext, 4, 3)};
        auto until = std::chrono::steady_clock::now() + (deadline - std::chrono::steady_clock::now()) / 4;
        while (std::chrono::steady_clock::now() < until) {
            std::vector<uint8_t> d = seeds[rng() % 2];
            mutate(d, rng);
            int format = (int[]){ZEPX_TRUECOLOR, ZEPX_PALETTE8, ZEPX_SERVER}[rng() % 3];
            Target t(format);
            int x = rng() % 20 - 3, y = rng() % 15 - 3;
            testing::internal::CaptureStdout();
            bool ok = read_bytes(r, d, &t.p, x, y);
            testing::internal::GetCapturedStdout();
            if (ok)
                accepted++;
            else
                ASSERT_TRUE(t.untouched()) << ext << " run " << runs;
            runs++;
        }
    }
    EXPECT_GT(runs, 400);
    EXPECT_GT(accepted, 0);
    printf("%d mutated files, %d accepted\n", runs, accepted);
}

// The picture-size query reads headers only and refuses the same nonsense.
TEST(Fuzz, SizeQueriesOnMutatedHeaders) {
    std::mt19937 rng(7);
    const char *exts[] = {"bmp", "pcx", "ppm", "xpm"};
    for (const char *ext : exts) {
        std::vector<uint8_t> seed = valid_file(ext, 5, 5);
        std::string name = std::string("/tmp/zeimage_size_fuzz.") + ext;
        for (int i = 0; i < 40; i++) {
            std::vector<uint8_t> d = seed;
            mutate(d, rng);
            FILE *f = fopen(name.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            fwrite(d.data(), 1, d.size(), f);
            fclose(f);
            int w = -7, h = -7;
            if (zegetpicturesizes(name.c_str(), &w, &h)) {
                EXPECT_GT(w, 0);
                EXPECT_GT(h, 0);
                EXPECT_LE(w, ZEIMG_MAXSIDE);
                EXPECT_LE(h, ZEIMG_MAXSIDE);
            } else {
                EXPECT_EQ(w, -7);
            }
        }
        remove(name.c_str());
    }
}

}  // namespace
