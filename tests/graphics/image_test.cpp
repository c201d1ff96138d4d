// Image files: the bytes the writers produce, round trips through every
// reader into pixmaps of each format, options and failures.
#include <gtest/gtest.h>
#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include "zegout.h"
#include "image_files.h"
#include "zeimage.h"

namespace {

std::string tmpdir() {
    static std::string dir;
    if (dir.empty()) {
        char t[] = "/tmp/zeimage_test_XXXXXX";
        dir = mkdtemp(t);
        atexit([] { system(("rm -rf '" + dir + "'").c_str()); });
    }
    return dir;
}
std::string tmp(const char *name) { return tmpdir() + "/" + name; }

uint32_t be32(const uint8_t *b) { return (uint32_t)b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3]; }

// A test picture whose pixels differ in every channel.
struct Picture {
    zePixmap p;
    Picture(int w, int h, int format = ZEPX_TRUECOLOR) {
        EXPECT_TRUE(zepxmap_create(&p, w, h, ZEPX_TRUECOLOR));
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) zepxmap_setpixel(&p, x, y, color(x, y));
        if (format != ZEPX_TRUECOLOR) {
            EXPECT_TRUE(zepxmap_convert(&p, format, -1));
        }
    }
    ~Picture() { zepxmap_release(&p); }
    static int color(int x, int y) { return (x * 37 + y * 11) % 256 << 16 | (x * 5 + y * 71) % 256 << 8 | (x ^ y) * 9 % 256; }
};

struct Blank {
    zePixmap p;
    Blank(int w, int h, int format, int fill = 0x5A5A5A) {
        EXPECT_TRUE(zepxmap_create(&p, w, h, format));
        zepxmap_clear(&p, fill);
    }
    ~Blank() { zepxmap_release(&p); }
};

TEST(ImageFiles, TypesBySuffix) {
    EXPECT_EQ(zeimage_filetype("a.PNG"), ZEIMG_PNG);
    EXPECT_EQ(zeimage_filetype("dir.x\\pic.Pcx"), ZEIMG_PCX);
    EXPECT_EQ(zeimage_filetype("dir.bmp/file"), ZEIMG_NONE);
    EXPECT_EQ(zeimage_filetype("x.html"), ZEIMG_HTML);
    EXPECT_EQ(zeimage_filetype("x.pdf"), ZEIMG_PDF);
    EXPECT_EQ(zeimage_filetype("x.gif"), ZEIMG_NONE);
}

TEST(Bmp, HeaderSizeAndPadding) {
    Picture one(1, 1);
    ASSERT_TRUE(zepxmap_savetofile(&one.p, "%s", tmp("one.bmp").c_str()));
    std::vector<uint8_t> b = slurp(tmp("one.bmp"));
    ASSERT_EQ(b.size(), 58u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[2], 58);
    EXPECT_EQ(b[10], 54);
    EXPECT_EQ(b[14], 40);
    EXPECT_EQ(b[28], 24);
    int c = Picture::color(0, 0);
    EXPECT_EQ(b[54], c & 255);
    EXPECT_EQ(b[56], c >> 16);
    EXPECT_EQ(b[57], 0);

    Picture four(4, 3);
    ASSERT_TRUE(zepxmap_savetofile(&four.p, "%s", tmp("four.bmp").c_str()));
    EXPECT_EQ(slurp(tmp("four.bmp")).size(), 54u + 12u * 3u);
    Picture five(5, 2);
    ASSERT_TRUE(zepxmap_savetofile(&five.p, "%s", tmp("five.bmp").c_str()));
    EXPECT_EQ(slurp(tmp("five.bmp")).size(), 54u + 16u * 2u);
}

TEST(Pcx, RunLengthEncoding) {
    // one row: 130 x 0x11 red; the rest decides the green and blue lines
    Blank a(130, 1, ZEPX_TRUECOLOR, 0x110000);
    ASSERT_TRUE(zepxmap_savetofile(&a.p, "%s", tmp("runs.pcx").c_str()));
    std::vector<uint8_t> b = slurp(tmp("runs.pcx"));
    ASSERT_GE(b.size(), 128u + 6u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 128, b.begin() + 134),
              (std::vector<uint8_t>{0xFF, 0x11, 0xFF, 0x11, 0xC4, 0x11}));
    EXPECT_EQ(b[0], 0x0A);
    EXPECT_EQ(b[1], 5);
    EXPECT_EQ(b[8] | b[9] << 8, 129);
    EXPECT_EQ(b[12] | b[13] << 8, 300);
    EXPECT_EQ(b[65], 3);
    EXPECT_EQ(b[66] | b[67] << 8, 130);
    EXPECT_EQ(b[68], 1);

    // red line 05 07 05: a lone 05 mid-line is bare, at the end it gets a count
    Blank c(3, 1, ZEPX_TRUECOLOR, 0);
    zepxmap_setpixel(&c.p, 0, 0, 0x050000);
    zepxmap_setpixel(&c.p, 1, 0, 0x070000);
    zepxmap_setpixel(&c.p, 2, 0, 0x050000);
    ASSERT_TRUE(zepxmap_savetofile(&c.p, "%s", tmp("lone.pcx").c_str()));
    b = slurp(tmp("lone.pcx"));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 128, b.end()),
              (std::vector<uint8_t>{0x05, 0x07, 0xC1, 0x05, 0xC3, 0x00, 0xC3, 0x00}));

    // 0xC5 always carries a count byte
    Blank d(2, 1, ZEPX_TRUECOLOR, 0);
    zepxmap_setpixel(&d.p, 0, 0, 0xC50000);
    ASSERT_TRUE(zepxmap_savetofile(&d.p, "%s", tmp("c5.pcx").c_str()));
    b = slurp(tmp("c5.pcx"));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 128, b.begin() + 132), (std::vector<uint8_t>{0xC1, 0xC5, 0xC1, 0x00}));
}

TEST(Png, StoredBlocksCrcAndAdler) {
    Blank a(2, 1, ZEPX_TRUECOLOR, 0);
    zepxmap_setpixel(&a.p, 0, 0, 0x102030);
    zepxmap_setpixel(&a.p, 1, 0, 0x405060);
    ASSERT_TRUE(zepxmap_savetofile(&a.p, "%s", tmp("two.png").c_str()));
    std::vector<uint8_t> b = slurp(tmp("two.png"));
    ASSERT_EQ(b.size(), 8u + 25u + 12u + 18u + 12u);
    EXPECT_EQ(b[0], 0x89);
    EXPECT_EQ(be32(&b[8]), 13u);
    const uint8_t *idat = &b[8 + 25];
    EXPECT_EQ(be32(idat), 18u);
    EXPECT_EQ(std::string((const char *)idat + 4, 4), "IDAT");
    const uint8_t *z = idat + 8;
    std::vector<uint8_t> expect = {0x78, 0xDA, 0x01, 0x07, 0x00, 0xF8, 0xFF, 0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    EXPECT_EQ(std::vector<uint8_t>(z, z + 14), expect);
    uint32_t adler = zepng_adler32(1, expect.data() + 7, 7);
    EXPECT_EQ(be32(z + 14), adler);
    EXPECT_EQ(be32(z + 18), zepng_crc32(0, idat + 4, 4 + 18));
    EXPECT_EQ(zepng_crc32(0, (const uint8_t *)"IEND", 4), 0xAE426082u);
    EXPECT_EQ(zepng_adler32(1, (const uint8_t *)"Wikipedia", 9), 0x11E60398u);

    // a scan line longer than one block still makes a valid stream of blocks
    Picture wide(11000, 2);
    ASSERT_TRUE(zepxmap_savetofile(&wide.p, "%s", tmp("wide.png").c_str()));
    b = slurp(tmp("wide.png"));
    uint32_t len = be32(&b[33]);
    // per line: a full block of 32768 and the rest (233) in the buffer
    EXPECT_EQ(len, 2u + 2u * 33001u + 5u * 4u + 4u);
}

TEST(Xpm, WrittenText) {
    Blank a(3, 2, ZEPX_PALETTE8, 0);
    zepxmap_setpalette(&a.p, 0, 0x102030);
    zepxmap_setpalette(&a.p, 1, 0xFFFFFF);
    zepxmap_setpixel(&a.p, 1, 0, 1);
    zepxmap_setpixel(&a.p, 2, 1, 255);
    ASSERT_TRUE(zepxmap_savetofile(&a.p, "%s", tmp("my.pic.xpm").c_str()));
    std::vector<uint8_t> b = slurp(tmp("my.pic.xpm"));
    EXPECT_EQ(std::string(b.begin(), b.end()),
              "/* XPM */\nstatic char * my_pic_xpm[] = {\n\"3 2 3 1\",\n\" \tc None\",\n\".\tc #102030\",\n"
              "\"+\tc #FFFFFF\",\n\".+.\",\n\".. \"};\n");
}

TEST(Xpm, FromMemoryWithNoneAndTwoCharacterKeys) {
    static const char *pic[] = {"3 2 3 2", "aa c #FF0000", "bb c None", "cc\tc #00ff0000ffff", "aabbcc", "ccaabb"};
    zePixmap x;
    zepxmap_init(&x);
    ASSERT_TRUE(zepxmap_createfrommem_xpm(&x, pic));
    EXPECT_EQ(x.format, (uint32_t)ZEPX_PALETTE8);
    EXPECT_EQ(zepxmap_getpixel(&x, 1, 0), 255);
    EXPECT_EQ(x.palette[1], -1);
    EXPECT_EQ(x.palette[2], 0x0000FF);
    Blank t(3, 2, ZEPX_TRUECOLOR, 0x777777);
    ASSERT_TRUE(zepxmap_merge4(&t.p, &x, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(zepxmap_getpixel(&t.p, 0, 0), 0xFF0000);
    EXPECT_EQ(zepxmap_getpixel(&t.p, 1, 0), 0x777777);   // None stays transparent
    EXPECT_EQ(zepxmap_getpixel(&t.p, 2, 1), 0x777777);
    zepxmap_release(&x);

    // grayN / greyN are N percent; other numbers (however long) leave black
    static const char *greys[] = {"4 1 4 1", "a c grey50", "b c GRAY100", "c c grey906103865271180", "d c gray101",
                                  "abcd"};
    ASSERT_TRUE(zepxmap_createfrommem_xpm(&x, greys));
    EXPECT_EQ(x.palette[0], 0x808080);
    EXPECT_EQ(x.palette[1], 0xFFFFFF);
    EXPECT_EQ(x.palette[2], 0x000000);
    EXPECT_EQ(x.palette[3], 0x000000);
    zepxmap_release(&x);

    // sizes beyond the int range are refused, not wrapped round (2^32 + 1 is not 1)
    static const char *wrapped[] = {"1 4294967297 1 1", "a c #FFFFFF", "a"};
    EXPECT_FALSE(zepxmap_createfrommem_xpm(&x, wrapped));
    static const char *spaced[] = {" 2\t1  1 1 0 0 XPMEXT", "a c #FFFFFF", "aa"};
    ASSERT_TRUE(zepxmap_createfrommem_xpm(&x, spaced));
    EXPECT_EQ(x.width, 2);
    zepxmap_release(&x);

    static const char *many[] = {"1 1 300 2"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_createfrommem_xpm(&x, many));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_createfrommem_xpm: too many colors (300)\n");
    static const char *missing[] = {"2 1 1 1", "a c #FFFFFF", "ab"};
    EXPECT_FALSE(zepxmap_createfrommem_xpm(&x, missing));
    static const char *shortrows[] = {"2 2 1 1", "a c #FFFFFF", "aa", nullptr};
    EXPECT_FALSE(zepxmap_createfrommem_xpm(&x, shortrows));
}

TEST(Xpm, TruecolorWithManyColoursIsReduced) {
    Picture a(40, 40);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(zepxmap_savetofile(&a.p, "%s", tmp("many.xpm").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "zepxmap_savetofile_xpm warning: too many colors in truecolor-pixmap, reducing to 64\n");
    Blank back(40, 40, ZEPX_TRUECOLOR);
    ASSERT_TRUE(zegraphic_gloadintern_file(&back.p, 0, 0, "%s", tmp("many.xpm").c_str()));
    for (int y = 0; y < 40; y += 7)
        for (int x = 0; x < 40; x += 3)
            EXPECT_EQ(zepxmap_getpixel(&back.p, x, y), Picture::color(x, y) & 0xC0C0C0);
    Blank srv(2, 2, ZEPX_SERVER);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_savetofile_xpm(&srv.p, tmp("srv.xpm").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_savetofile_xpm: unsupported format 4\n");
}

// Every readable format: written, then read into each supported pixmap format
// at an offset, cut at the pixmap's edges, the rest of the pixmap kept.
class RoundTrip : public testing::TestWithParam<const char *> {};

TEST_P(RoundTrip, ThroughFilesIntoPixmaps) {
    std::string ext = GetParam();
    bool xpm = ext == "xpm";
    Picture src(xpm ? 9 : 23, xpm ? 7 : 17);   // an XPM keeps up to 255 colours exactly
    std::string name = tmp(("rt." + ext).c_str());
    ASSERT_TRUE(zepxmap_savetofile(&src.p, "%s", name.c_str()));
    int w = 0, h = 0;
    ASSERT_TRUE(zegetpicturesizes(name.c_str(), &w, &h));
    EXPECT_EQ(w, src.p.width);
    EXPECT_EQ(h, src.p.height);

    for (int format : {ZEPX_TRUECOLOR, ZEPX_SERVER, ZEPX_PALETTE8}) {
        if (format == ZEPX_PALETTE8 && !xpm) continue;   // palettes keep only 255 colours
        Blank dst(w + 2, h - 3, format, format == ZEPX_PALETTE8 ? 7 : 0x5A5A5A);
        ASSERT_TRUE(zegraphic_gloadintern_file(&dst.p, 0, 0, "%s,x=5,y=2", name.c_str())) << format;
        for (int y = 0; y < dst.p.height; y++)
            for (int x = 0; x < dst.p.width; x++) {
                int got = zepxmap_getpixel(&dst.p, x, y);
                if (format == ZEPX_PALETTE8) got = dst.p.palette[got];
                int want = x >= 5 && y >= 2 ? Picture::color(x - 5, y - 2) : (format == ZEPX_PALETTE8 ? 0xC0C0C0 : 0x5A5A5A);
                // merging into a palette keeps exact matches and adds other colours masked
                if (format == ZEPX_PALETTE8 && got == (want & 0xC0C0C0)) continue;
                ASSERT_EQ(got, want) << ext << " format " << format << " at " << x << "," << y;
            }
    }
    // positions at the far end of the int range draw nothing (and do not overflow)
    for (int format : {ZEPX_TRUECOLOR, ZEPX_SERVER, ZEPX_PALETTE8}) {
        Blank far(w, h, format, 3);
        for (auto at : {std::pair<int, int>{INT_MAX, INT_MAX}, {0, INT_MAX}, {INT_MAX, 0}, {w, h}})
            EXPECT_TRUE(zeimage_load_file(&far.p, name.c_str(), at.first, at.second)) << ext << " " << format;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) ASSERT_EQ(zepxmap_getpixel(&far.p, x, y), 3) << ext << " " << format;
    }
    // a part of the picture: xs= and ys=
    Blank part(w, h, ZEPX_TRUECOLOR);
    ASSERT_TRUE(zegraphic_gloadintern_file(&part.p, 1, 1, "%s,xs=3,ys=2", name.c_str()));
    EXPECT_EQ(zepxmap_getpixel(&part.p, 3, 2), Picture::color(2, 1));
    EXPECT_EQ(zepxmap_getpixel(&part.p, 4, 2), 0x5A5A5A);
    EXPECT_EQ(zepxmap_getpixel(&part.p, 3, 3), 0x5A5A5A);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, testing::Values("bmp", "pcx", "ppm", "xpm"));

TEST(Load, BmpIntoServerAndTransparentColour) {
    Blank g(4, 2, ZEPX_TRUECOLOR, 0x00FF00);
    zepxmap_setpixel(&g.p, 0, 0, 0x123456);
    ASSERT_TRUE(zepxmap_savetofile(&g.p, "%s", tmp("green.bmp").c_str()));
    Blank t(4, 2, ZEPX_TRUECOLOR);
    ASSERT_TRUE(zegraphic_gloadintern_file(&t.p, 0, 0, "%s,transparentcolor=00ff00", tmp("green.bmp").c_str()));
    EXPECT_EQ(t.p.palette[255], 0x00FF00);
    Blank dst(4, 2, ZEPX_TRUECOLOR, 0x999999);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &t.p, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(zepxmap_getpixel(&dst.p, 0, 0), 0x123456);
    EXPECT_EQ(zepxmap_getpixel(&dst.p, 1, 0), 0x999999);

    // the full-size load re-makes a server pixmap and masks the transparent colour
    Blank s(4, 2, ZEPX_SERVER);
    ASSERT_TRUE(zegraphic_gloadintern_file(&s.p, 0, 0, "%s,transparentcolor=00ff00", tmp("green.bmp").c_str()));
    zePxServer *sv = (zePxServer *)s.p.pixels;
    EXPECT_EQ(s.p.format, (uint32_t)ZEPX_SERVER);
    ASSERT_NE(sv->mask, nullptr);
    EXPECT_EQ(sv->mask[1], 1);
    EXPECT_EQ(sv->mask[0], 0);
    EXPECT_EQ(zepxmap_getpixel(&s.p, 0, 0), 0x123456);

    Blank p16(4, 2, ZEPX_PALETTE16);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zegraphic_gloadintern_file(&p16.p, 0, 0, "%s", tmp("green.bmp").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "zepxmap_loadfromfile_bmp: PX-Format 2 not supported (should load and copy then)\n");
}

TEST(Save, RectangleOptionsAndFailures) {
    Picture src(10, 8);
    ASSERT_TRUE(zepxmap_savetofile(&src.p, "%s,x=2,y=3,xs=4,ys=2", tmp("rect.ppm").c_str()));
    EXPECT_EQ(std::string((const char *)slurp(tmp("rect.ppm")).data(), 11), "P6\n4 2\n255\n");
    Blank back(4, 2, ZEPX_TRUECOLOR);
    ASSERT_TRUE(zegraphic_gloadintern_file(&back.p, 0, 0, "%s", tmp("rect.ppm").c_str()));
    EXPECT_EQ(zepxmap_getpixel(&back.p, 0, 0), Picture::color(2, 3));
    EXPECT_EQ(zepxmap_getpixel(&back.p, 3, 1), Picture::color(5, 4));
    EXPECT_EQ(src.p.width, 10);   // the pixmap itself is unchanged

    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_savetofile(&src.p, "%s", tmp("x.gif").c_str()));
    EXPECT_TRUE(zepxmap_savetofile(&src.p, "%s,a4", tmp("x.ps").c_str()));   // the PostScript module writes it
    EXPECT_FALSE(zegraphic_gloadintern_file(&src.p, 0, 0, "%s", tmp("x.png").c_str()));
    int w, h;
    EXPECT_FALSE(zegetpicturesizes(tmp("x.png").c_str(), &w, &h));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "zepxmap_savetofile: unsupported format (" + tmp("x.gif") + ")\n"
              "zegraphic_gloadintern_file: unsupported format (" + tmp("x.png") + ")\n"
              "zegetpicturesizes: unsupported format (" + tmp("x.png") + ")\n");
    EXPECT_FALSE(zepxmap_savetofile(&src.p, "/nonexistent-dir/x.bmp"));
    EXPECT_FALSE(zegraphic_gloadintern_file(&src.p, 0, 0, "/nonexistent-dir/x.bmp"));
    EXPECT_FALSE(zegetpicturesizes("/nonexistent-dir/x.pcx", &w, &h));
}

// A write that fails removes nothing it did not create: a plain file keeps
// its old picture, and a link or device written in place stays where it is.
TEST(Save, FailedWritesKeepWhatWasThere) {
    Picture src(40, 30);
    const char *names[] = {"keep.bmp", "keep.pcx", "keep.ppm", "keep.xpm", "keep.png"};
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    for (const char *name : names) {
        std::string file = tmp(name);
        Picture small(2, 2);
        ASSERT_TRUE(zeimage_save_file(&small.p, file.c_str())) << name;
        std::vector<uint8_t> before = slurp(file);
        // A full disk, as far as this process can tell.
        struct rlimit lim = {64, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lim);
        EXPECT_FALSE(zeimage_save_file(&src.p, file.c_str())) << name;
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(slurp(file), before) << name;

        std::string link = tmp((std::string("full-") + name).c_str());
        ASSERT_EQ(symlink("/dev/full", link.c_str()), 0);
        EXPECT_FALSE(zeimage_save_file(&src.p, link.c_str())) << name;
        struct stat st;
        EXPECT_EQ(lstat(link.c_str(), &st), 0) << name << ": the link was removed";
    }
    signal(SIGXFSZ, SIG_DFL);
    // Nothing half-written is left beside the targets.
    std::string listing;
    if (FILE *p = popen(("ls " + tmpdir() + " | grep -c zewrite").c_str(), "r")) {
        char line[32] = "";
        fgets(line, sizeof line, p);
        listing = line;
        pclose(p);
    }
    EXPECT_EQ(listing, "0\n");
}

// A FIFO in place of a picture is refused at once instead of blocking.
TEST(Load, FifoIsRefused) {
    std::string fifo = tmp("fifo.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Blank dst(4, 4, ZEPX_TRUECOLOR);
    int w, h;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zegraphic_gloadintern_file(&dst.p, 0, 0, "%s", fifo.c_str()));
    EXPECT_FALSE(zegetpicturesizes(fifo.c_str(), &w, &h));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), fifo + ": not a regular file\n");
}

// A picture without pixels, or one wider than the PCX header can say, gives
// no file rather than one no reader accepts.
TEST(Save, EmptyAndOversizedPicturesAreRefused) {
    testing::internal::CaptureStdout();
    for (int format : {ZEPX_TRUECOLOR, ZEPX_PALETTE8, ZEPX_SERVER})
        for (auto size : {std::pair<int, int>{0, 0}, {0, 5}, {5, 0}}) {
            Blank empty(size.first, size.second, format);
            for (const char *name : {"empty.bmp", "empty.pcx", "empty.ppm", "empty.png", "empty.xpm"}) {
                remove(tmp(name).c_str());
                EXPECT_FALSE(zepxmap_savetofile(&empty.p, "%s", tmp(name).c_str())) << name;
                EXPECT_FALSE(zeimage_save_file(&empty.p, tmp(name).c_str())) << name;
                EXPECT_TRUE(slurp(tmp(name)).empty()) << name;
            }
        }
    Blank wide(65536, 1, ZEPX_TRUECOLOR);
    EXPECT_FALSE(zepxmap_savetofile_pcx(&wide.p, tmp("wide.pcx").c_str()));
    EXPECT_TRUE(zepxmap_savetofile_bmp(&wide.p, tmp("wide.bmp").c_str()));
    testing::internal::GetCapturedStdout();
    Blank narrow(65535, 1, ZEPX_TRUECOLOR);
    EXPECT_TRUE(zepxmap_savetofile_pcx(&narrow.p, tmp("narrow.pcx").c_str()));
}

static bool ps_called;
static bool fake_ps(const zePixmap *p, const char *name, int type, const char *options, int xo, int yo) {
    ps_called = type == ZEIMG_PDF && xo == 3 && yo == 4 && std::string(options).find("a4") != std::string::npos;
    return true;
}

TEST(Save, PostScriptThroughTheHook) {
    Picture src(4, 4);
    zeimage_set_postscript_hook(fake_ps);
    EXPECT_TRUE(zepxmap_savetofile(&src.p, "%s,a4,xoffset=3,yoffset=4", tmp("x.pdf").c_str()));
    EXPECT_TRUE(ps_called);
    zeimage_set_postscript_hook(nullptr);
}

TEST(Output, CreatedFromAPicture) {
    Picture src(12, 9);
    ASSERT_TRUE(zepxmap_savetofile(&src.p, "%s", tmp("out.pcx").c_str()));
    zeGraphicOutput out;
    ASSERT_TRUE(zepxmapout_create(&out, "pic,load=%s,xs=100,ys=100,nostdout", tmp("out.pcx").c_str()));
    EXPECT_EQ(out.pxmap.width, 12);   // the picture's size wins
    EXPECT_EQ(zepxmap_getpixel(&out.pxmap, 11, 8), Picture::color(11, 8));
    zepxmapout_release(&out);
    // a picture whose size cannot be read is dropped; the pixmap stays
    ASSERT_TRUE(zepxmapout_create(&out, "pic,img=%s,xs=7,ys=5,bgcolor=ff0000,nostdout", tmp("none.bmp").c_str()));
    EXPECT_EQ(out.pxmap.width, 7);
    EXPECT_EQ(zepxmap_getpixel(&out.pxmap, 6, 4), 0xFF0000);
    zepxmapout_release(&out);
    // commands 1022 and 1023 go through the files as well
    ASSERT_TRUE(zepxmapout_create(&out, "pic,xs=12,ys=9"));
    EXPECT_TRUE(zegraphic_load(0, 0, "%s", tmp("out.pcx").c_str()));
    EXPECT_EQ(zegraphic_getpixel(3, 4), Picture::color(3, 4));
    EXPECT_TRUE(zegraphic_save("%s,xs=2,ys=2", tmp("cmd.bmp").c_str()));
    EXPECT_EQ(slurp(tmp("cmd.bmp")).size(), 54u + 8u * 2u);
    static const char *dot[] = {"1 1 1 1", "a c #0000FF", "a"};
    EXPECT_TRUE(zegraphic_xpm(5, 5, dot, "palettecode=0"));
    EXPECT_EQ(zegraphic_getpixel(5, 5), 0x0000FF);
    int32_t pal[256] = {0x00FF00};
    EXPECT_TRUE(zegraphic_xpm_palette(6, 5, dot, pal));
    EXPECT_EQ(zegraphic_getpixel(6, 5), 0x00FF00);
    zepxmapout_release(&out);
}

}  // namespace
