// Picture import against broken and hostile files: a folder of malformed JPEG
// and GIF files (truncated, empty, giant headers, a GIF bomb, endless scans)
// and a seeded mutator over valid pictures of every kind. Import either gives
// a picture inside its bounds or refuses and leaves the pixmap as it was
// (run under the sanitizer build for reads and writes outside buffers).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "picture_make.h"
#include "zedl.h"
#include "zeimage.h"
#include "zeimport.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// A pixmap holding a known picture; untouched() tells whether an import changed it.
struct Held {
    zePixmap p;
    void *pixels;
    Held() {
        EXPECT_TRUE(zepxmap_create(&p, 5, 4, ZEPX_TRUECOLOR));
        zepxmap_clear(&p, 0x3C3C3C);
        pixels = p.pixels;
    }
    ~Held() { zepxmap_release(&p); }
    bool untouched() const {
        if (p.pixels != pixels || p.width != 5 || p.height != 4) return false;
        for (int i = 0; i < 20; i++)
            if (((uint32_t *)p.pixels)[i] != 0x3C3C3C) return false;
        return true;
    }
};

void put16be(Bytes &b, size_t at, int v) { b[at] = v >> 8, b[at + 1] = v & 255; }

// The position of the first marker code in a JPEG (its 0xFF), or npos.
size_t marker(const Bytes &b, uint8_t code) {
    for (size_t i = 2; i + 1 < b.size(); i++)
        if (b[i] == 0xFF && b[i + 1] == code) return i;
    return std::string::npos;
}

// The hostile files by name.
std::vector<std::pair<std::string, Bytes>> malformed() {
    std::vector<std::pair<std::string, Bytes>> out;
    Bytes jpeg = make_jpeg(64, 48), prog = make_jpeg(64, 48, JPEG_PROGRESSIVE);
    Bytes gif = make_gif(40, 30, true);
    out.push_back({"empty.jpg", {}});
    out.push_back({"soi_only.jpg", {0xFF, 0xD8, 0xFF}});
    for (int k = 1; k < 8; k++) {
        out.push_back({"cut" + std::to_string(k) + ".jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() * k / 8)});
        out.push_back({"cut" + std::to_string(k) + "p.jpg", Bytes(prog.begin(), prog.begin() + prog.size() * k / 8)});
        out.push_back({"cut" + std::to_string(k) + ".gif", Bytes(gif.begin(), gif.begin() + gif.size() * k / 8)});
    }
    size_t sof = marker(jpeg, 0xC0);
    struct { const char *name; int h, w; } sizes[] = {
        {"giant.jpg", 30000, 30000}, {"wide.jpg", 1, 65500}, {"zero.jpg", 0, 64}, {"over.jpg", 3000, 16384}};
    for (auto &s : sizes) {
        Bytes b = jpeg;
        put16be(b, sof + 5, s.h), put16be(b, sof + 7, s.w);
        out.push_back({s.name, b});
    }
    {   // the first scan repeated past the scan limit
        size_t sos = marker(prog, 0xDA), next = sos + 2;
        while (next + 1 < prog.size() && !(prog[next] == 0xFF && prog[next + 1] >= 0xC0 && prog[next + 1] != 0xFF &&
                                            !(prog[next + 1] >= 0xD0 && prog[next + 1] <= 0xD7)))
            next++;
        Bytes b(prog.begin(), prog.begin() + next);
        for (int i = 0; i < ZEIMPORT_MAXSCANS + 20; i++) b.insert(b.end(), prog.begin() + sos, prog.begin() + next);
        b.push_back(0xFF), b.push_back(0xD9);
        out.push_back({"endless_scans.jpg", b});
    }
    {   // the entropy-coded data overwritten
        Bytes b = jpeg;
        for (size_t i = marker(b, 0xDA) + 20; i + 10 < b.size(); i += 7) b[i] ^= 0x5A;
        out.push_back({"garbled.jpg", b});
    }
    Bytes bomb = gif;   // logical screen 65535 x 65535
    bomb[6] = bomb[7] = bomb[8] = bomb[9] = 0xFF;
    out.push_back({"bomb_screen.gif", bomb});
    // the frame descriptor follows the header (13 bytes) and the 16-colour table (48)
    Bytes frame = gif;
    frame[61 + 5] = frame[61 + 6] = frame[61 + 7] = frame[61 + 8] = 0xFF;   // a 65535 x 65535 frame
    out.push_back({"bomb_frame.gif", frame});
    Bytes flat = gif;
    flat[61 + 5] = flat[61 + 6] = 0;   // frame width 0
    out.push_back({"zero_frame.gif", flat});
    Bytes nomap = gif;   // no global colour table; the old table becomes garbage records
    nomap[10] &= 0x7F;
    out.push_back({"no_colours.gif", nomap});
    Bytes lzw = gif;
    lzw[61 + 10] = 13;   // LZW minimum code size beyond 12
    out.push_back({"bad_lzw.gif", lzw});
    out.push_back({"header_only.gif", Bytes(gif.begin(), gif.begin() + 13)});
    out.push_back({"not_a_picture.jpg", Bytes{'<', 'h', 't', 'm', 'l', '>'}});
    out.push_back({"not_a_picture.txt", Bytes{'<', 'h', 't', 'm', 'l', '>'}});
    return out;
}

TEST(ImportHostile, MalformedFilesAreRefusedAndLeaveThePicture) {
    char tmpl[] = "/tmp/zeimport_malformed_XXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    std::string dir = tmpl;
    auto files = malformed();
    for (auto &f : files) ASSERT_TRUE(picture_write((dir + "/" + f.first).c_str(), f.second));
    testing::internal::CaptureStdout();
    for (auto &f : files) {
        Held held;
        EXPECT_FALSE(zeimage_import(&held.p, (dir + "/" + f.first).c_str(), 0)) << f.first;
        EXPECT_TRUE(held.untouched()) << f.first;
        Held mem;
        EXPECT_FALSE(zeimage_import_mem(&mem.p, f.second.data(), f.second.size(), 0, f.first.c_str())) << f.first;
        EXPECT_TRUE(mem.untouched()) << f.first;
    }
    std::string out = testing::internal::GetCapturedStdout();
    // one reason per refusal, each naming the file
    for (const char *want : {"picture too large (", "broken JPEG (", "broken GIF (", "empty file (", "unsupported format ("})
        EXPECT_NE(out.find(std::string("zeimage_import: ") + want), std::string::npos) << want << "\n" << out;
    EXPECT_NE(out.find("(endless_scans.jpg): more than 500 scans"), std::string::npos);
    EXPECT_NE(out.find("giant.jpg): 30000 x 30000"), std::string::npos);
    EXPECT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

TEST(ImportHostile, WithoutItsLibraryAPictureIsRefusedByName) {
    struct {
        const char *lib, *name, *said;
        Bytes bytes;
    } cases[] = {
        {"libjpeg", "photo.jpg", "cannot read JPEG (photo.jpg): libjpeg not available", make_jpeg(16, 8)},
        {"libgif", "anim.gif", "cannot read GIF (anim.gif): libgif not available", make_gif(16, 8, false)},
    };
    for (auto &c : cases) {
        zedl_forbid(c.lib);
        Held held;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(zeimage_import_mem(&held.p, c.bytes.data(), c.bytes.size(), 0, c.name));
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(std::string::npos, out.find(std::string("zeimage_import: ") + c.said)) << out;
        EXPECT_TRUE(held.untouched()) << c.name;
        zedl_forbid(nullptr);
        ASSERT_TRUE(zeimage_import_mem(&held.p, c.bytes.data(), c.bytes.size(), 0, c.name)) << c.lib << " back";
        EXPECT_EQ(16, held.p.width);
    }
}

TEST(ImportHostile, BoundsAndFileKinds) {
    EXPECT_TRUE(zeimport_size_ok(16384, 2441, "x"));    // 39,993,344 pixels
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zeimport_size_ok(16384, 2442, "x"));   // 40,009,728
    EXPECT_FALSE(zeimport_size_ok(16385, 1, "x"));
    EXPECT_FALSE(zeimport_size_ok(0, 5, "x"));
    EXPECT_FALSE(zeimport_size_ok(5, -1, "x"));
    testing::internal::GetCapturedStdout();
    // content first, the extension only for what the content does not say
    const uint8_t gif[] = "GIF89a", bmp[] = "BM", text[] = "hello";
    EXPECT_EQ(zeimage_sniff(gif, 6, "a.jpg"), ZEIMPORT_GIF);
    EXPECT_EQ(zeimage_sniff(bmp, 2, "a.gif"), ZEIMG_BMP);
    EXPECT_EQ(zeimage_sniff(text, 5, "a.JPEG"), ZEIMPORT_JPEG);
    EXPECT_EQ(zeimage_sniff(text, 5, "dir.gif/a"), ZEIMPORT_UNKNOWN);
    EXPECT_EQ(zeimage_sniff(text, 5, nullptr), ZEIMPORT_UNKNOWN);
}

// A window's pixmap is a server pixmap whose colour array the backend holds:
// a picture of exactly its size loaded into it must keep that array.
TEST(ImportHostile, FullSizeLoadKeepsTheServerStorage) {
    zePixmap pic, server;
    ASSERT_TRUE(zepxmap_create(&pic, 6, 3, ZEPX_TRUECOLOR));
    zepxmap_clear(&pic, 0x123456);
    std::string name = "/tmp/zeimport_full_" + std::to_string(getpid()) + ".bmp";
    ASSERT_TRUE(zepxmap_savetofile_bmp(&pic, name.c_str()));
    ASSERT_TRUE(zepxmap_create(&server, 6, 3, ZEPX_SERVER));
    const uint32_t *colors = ((zePxServer *)server.pixels)->colors;
    EXPECT_TRUE(zeimage_load_file(&server, name.c_str(), 0, 0));
    EXPECT_EQ(((zePxServer *)server.pixels)->colors, colors);
    EXPECT_EQ(zepxmap_getpixel(&server, 5, 2), 0x123456);
    unlink(name.c_str());
    zepxmap_release(&pic);
    zepxmap_release(&server);
}

// Mutations of valid pictures of every kind: bytes flipped, runs cut out or
// repeated, 16-bit fields set to extremes. Seeded, so a failure repeats.
TEST(ImportHostile, MutatedPicturesImportSafely) {
    zePixmap bmp;
    ASSERT_TRUE(zepxmap_create(&bmp, 13, 9, ZEPX_TRUECOLOR));
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 13; x++) zepxmap_setpixel(&bmp, x, y, (int)picture_pattern(x, y));
    std::string tmp = "/tmp/zeimport_seed_" + std::to_string(getpid());
    std::vector<Bytes> seeds = {make_jpeg(24, 16), make_jpeg(17, 9, JPEG_PROGRESSIVE), make_jpeg(16, 16, JPEG_GREY),
                                make_jpeg(9, 8, JPEG_CMYK), make_gif(20, 12, true, 2), make_gif(9, 5, false, -1, 3)};
    for (const char *ext : {".bmp", ".pcx", ".ppm", ".xpm"}) {
        ASSERT_TRUE(zeimage_save_file(&bmp, (tmp + ext).c_str()));
        FILE *f = fopen((tmp + ext).c_str(), "rb");
        Bytes b;
        for (int c; (c = fgetc(f)) != EOF;) b.push_back((uint8_t)c);
        fclose(f);
        unlink((tmp + ext).c_str());
        seeds.push_back(b);
    }
    zepxmap_release(&bmp);
    std::mt19937 rng(20261208);
    testing::internal::CaptureStdout();
    int accepted = 0;
    for (int round = 0; round < 5000; round++) {
        Bytes b = seeds[round % seeds.size()];
        int edits = 1 + rng() % 4;
        for (int e = 0; e < edits && !b.empty(); e++) {
            size_t at = rng() % b.size();
            switch (rng() % 5) {
            case 0: b[at] ^= (uint8_t)(1 << (rng() % 8)); break;
            case 1: b[at] = (uint8_t)rng(); break;
            case 2: b.resize(at); break;
            case 3: if (at + 1 < b.size()) b[at] = b[at + 1] = (rng() & 1) ? 0xFF : 0x00; break;
            default: b.insert(b.begin() + at, b.begin() + at, b.begin() + std::min(b.size(), at + 1 + rng() % 64)); break;
            }
        }
        Held held;
        bool ok = zeimage_import_mem(&held.p, b.data(), b.size(), 0x00FF00, "mutated");
        if (ok) {
            accepted++;
            ASSERT_EQ(held.p.format, (uint32_t)ZEPX_TRUECOLOR);
            ASSERT_TRUE(held.p.width > 0 && held.p.height > 0 && (long long)held.p.width * held.p.height <= ZEIMPORT_MAXPIXELS);
            for (int i = 0; i < held.p.width * held.p.height; i++)
                ASSERT_EQ(((uint32_t *)held.p.pixels)[i] >> 24, 0u) << "round " << round;
        } else {
            ASSERT_TRUE(held.untouched()) << "round " << round;
        }
    }
    testing::internal::GetCapturedStdout();
    EXPECT_GT(accepted, 100);   // the mutator leaves many pictures readable
}

}  // namespace
