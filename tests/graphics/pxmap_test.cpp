// Pixmaps: palettes, conversions, merges and the drawing commands, checked
// against expected pixels.
#include <gtest/gtest.h>
#include <climits>
#include <set>
#include <string>
#include <utility>
#include "zegout.h"
#include "zepxmap.h"
#include "zepxmap_draw.h"

namespace {

struct Px {
    zePixmap p;
    Px(int w, int h, int format) { EXPECT_TRUE(zepxmap_create(&p, w, h, format)); }
    ~Px() { zepxmap_release(&p); }
    int at(int x, int y) const { return zepxmap_getpixel(&p, x, y); }
    // The pixels of colour c as (x, y) pairs.
    std::set<std::pair<int, int>> set_of(int c) const {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++)
                if (at(x, y) == c) s.insert({x, y});
        return s;
    }
};

typedef std::set<std::pair<int, int>> Points;

TEST(Pixmap, DefaultPaletteAndFreshPixels) {
    Px a(3, 2, ZEPX_PALETTE8);
    const int32_t *pal = a.p.palette;
    EXPECT_EQ(pal[0], 0x000000);
    EXPECT_EQ(pal[7], 0xC0C0C0);
    EXPECT_EQ(pal[15], 0xFFFFFF);
    EXPECT_EQ(pal[16 + 16 * 3 + 4 * 2 + 1], 0xFFAA55);   // cube r=3 g=2 b=1
    EXPECT_EQ(pal[80], 0x000000);
    EXPECT_EQ(pal[207], 0xFEFEFE);
    EXPECT_EQ(pal[208 + 15], 0x0000F0);
    EXPECT_EQ(pal[224 + 1], 0x001000);
    EXPECT_EQ(pal[255], 0xF00000);
    EXPECT_EQ(a.p.nextfree, 254);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) EXPECT_EQ(a.at(x, y), 0);
    EXPECT_EQ(a.at(3, 0), -1);
    EXPECT_EQ(a.at(-1, 0), -1);
}

TEST(Pixmap, ScreenHasNoPixels) {
    zePixmap s;
    ASSERT_TRUE(zepxmap_create(&s, 10, 10, ZEPX_SCREEN));
    testing::internal::CaptureStdout();
    EXPECT_EQ(zepxmap_getpixel(&s, 1, 1), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_getpixel: wrong format\n");
    zepxmap_release(&s);
    zepxmap_init(&s);
    s.format = 9;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_allocate(&s));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_allocate: wrong format\n");
}

TEST(Pixmap, FillRectClipsNegativeAndRightEdge) {
    Px a(8, 4, ZEPX_TRUECOLOR);
    zepxmap_fillrect(&a.p, -5, 1, 10, 1, 7);
    EXPECT_EQ(a.set_of(7), (Points{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    zepxmap_fillrect(&a.p, 6, -2, 100, 100, 9);
    EXPECT_EQ(a.set_of(9).size(), 2u * 4u);
    zepxmap_fillrect(&a.p, 9, 0, 5, 5, 3);   // wholly outside
    EXPECT_TRUE(a.set_of(3).empty());
}

TEST(Pixmap, ResizeKeepsTopLeft) {
    Px a(4, 4, ZEPX_TRUECOLOR);
    zepxmap_setpixel(&a.p, 1, 1, 0x123456);
    zepxmap_setpixel(&a.p, 3, 3, 0x654321);
    ASSERT_TRUE(zepxmap_resize(&a.p, 2, 6));
    EXPECT_EQ(a.at(1, 1), 0x123456);
    EXPECT_EQ(a.at(1, 5), 0);
    EXPECT_EQ(a.p.width, 2);
    Px b(2, 2, ZEPX_PALETTE8);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_resize(&b.p, 3, 3));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_resize: wrong format 1\n");
}

TEST(Convert, Palette8ToTruecolorUsesKeyForTransparent) {
    Px a(2, 1, ZEPX_PALETTE8);
    zepxmap_setpixel(&a.p, 0, 0, 12);
    zepxmap_setpixel(&a.p, 1, 0, 255);
    ASSERT_TRUE(zepxmap_convert2truecolor(&a.p, -1));
    EXPECT_EQ(a.at(0, 0), 0xFF0000);
    EXPECT_EQ(a.at(1, 0), 0x000000);
    Px b(1, 1, ZEPX_PALETTE8);
    zepxmap_setpixel(&b.p, 0, 0, 255);
    ASSERT_TRUE(zepxmap_convert(&b.p, ZEPX_TRUECOLOR, 0x00FF00));
    EXPECT_EQ(b.at(0, 0), 0x00FF00);
}

TEST(Convert, TruecolorToPalette8OrderOfFirstAppearanceAndKey) {
    Px a(4, 1, ZEPX_TRUECOLOR);
    int colors[4] = {0x111111, 0x222222, 0x111111, 0x333333};
    for (int x = 0; x < 4; x++) zepxmap_setpixel(&a.p, x, 0, colors[x]);
    ASSERT_TRUE(zepxmap_convert2palette8(&a.p, 0x222222));
    EXPECT_EQ(a.p.format, (uint32_t)ZEPX_PALETTE8);
    EXPECT_EQ(a.at(0, 0), 0);
    EXPECT_EQ(a.at(1, 0), 255);
    EXPECT_EQ(a.at(2, 0), 0);
    EXPECT_EQ(a.at(3, 0), 2);   // 0x222222 took index 1 before it was keyed out
    EXPECT_EQ(a.p.palette[0], 0x111111);
    EXPECT_EQ(a.p.palette[2], 0x333333);
}

TEST(Convert, ManyColoursReduceTo64) {
    Px a(300, 1, ZEPX_TRUECOLOR);
    for (int x = 0; x < 300; x++) zepxmap_setpixel(&a.p, x, 0, x * 0x010203 + 0x404040 * (x % 3));
    std::set<int> expected;
    for (int x = 0; x < 300; x++) expected.insert(a.at(x, 0) & 0xC0C0C0);
    ASSERT_TRUE(zepxmap_convert2palette8(&a.p, -1));
    std::set<int> used;
    for (int x = 0; x < 300; x++) {
        int idx = a.at(x, 0);
        ASSERT_LT(idx, 64);
        used.insert(a.p.palette[idx]);
    }
    EXPECT_EQ(used, expected);
}

TEST(Convert, ServerKeepsMaskAndRoundTrips) {
    Px a(3, 1, ZEPX_PALETTE8);
    zepxmap_setpixel(&a.p, 0, 0, 9);
    zepxmap_setpixel(&a.p, 1, 0, 255);
    zepxmap_setpixel(&a.p, 2, 0, 15);
    ASSERT_TRUE(zepxmap_convert2server(&a.p));
    zePxServer *s = (zePxServer *)a.p.pixels;
    ASSERT_NE(s->mask, nullptr);
    EXPECT_EQ(s->colors[0], 0x0000FFu);
    EXPECT_EQ(s->colors[1], 0u);
    EXPECT_EQ(s->mask[1], 1);
    EXPECT_EQ(s->mask[0], 0);
    EXPECT_EQ(a.at(2, 0), 0xFFFFFF);
    ASSERT_TRUE(zepxmap_convert(&a.p, ZEPX_DIRECTX, -1));
    EXPECT_EQ(a.at(0, 0), 0x0000FF);
    ASSERT_TRUE(zepxmap_convert2truecolor(&a.p, -1));
    EXPECT_EQ(a.at(0, 0), 0x0000FF);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_convert(&a.p, 7, -1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zepxmap_convert: format 7 not supported\n");
}

TEST(Duplicate, CopiesRectangleAndPalette) {
    Px a(5, 4, ZEPX_PALETTE8);
    zepxmap_setpalette(&a.p, 3, 0xABCDEF);
    zepxmap_setpixel(&a.p, 2, 1, 3);
    zePixmap d;
    ASSERT_TRUE(zepxmap_duplicate(&d, &a.p, 1, 1, -1, 2));
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(zepxmap_getpixel(&d, 1, 0), 3);
    EXPECT_EQ(d.palette[3], 0xABCDEF);
    zepxmap_release(&d);
}

// --- merges ----------------------------------------------------------------

TEST(Merge, FreshTruecolorTreatsF00000AsTransparent) {
    Px src(2, 1, ZEPX_TRUECOLOR), dst(2, 1, ZEPX_TRUECOLOR);
    zepxmap_clear(&dst.p, 0x111111);
    zepxmap_setpixel(&src.p, 0, 0, 0xF00000);
    zepxmap_setpixel(&src.p, 1, 0, 0x00FF00);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(dst.at(0, 0), 0x111111);
    EXPECT_EQ(dst.at(1, 0), 0x00FF00);
    zepxmap_settransparent(&src.p, 0x00FF00);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 0, 0));
    EXPECT_EQ(dst.at(0, 0), 0xF00000);
    EXPECT_EQ(dst.at(1, 0), 0x00FF00);
}

TEST(Merge, Pal8RemapReusesExactAndAddsMaskedFromTheTop) {
    Px src(3, 1, ZEPX_PALETTE8), dst(3, 1, ZEPX_PALETTE8);
    zepxmap_clear(&dst.p, 5);
    zepxmap_setpalette(&src.p, 0, 0xFFFFFF);   // exists in the target at 15
    zepxmap_setpalette(&src.p, 1, 0x8A4A0A);   // new: masked 0x804000
    zepxmap_setpixel(&src.p, 0, 0, 0);
    zepxmap_setpixel(&src.p, 1, 0, 1);
    zepxmap_setpixel(&src.p, 2, 0, 255);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 0, 0));
    EXPECT_EQ(dst.at(0, 0), 15);
    EXPECT_EQ(dst.at(2, 0), 5);                // transparent source pixel
    int idx = dst.at(1, 0);
    EXPECT_EQ(dst.p.palette[idx], 0x804000);
    EXPECT_EQ(idx, 254);
    EXPECT_EQ(dst.p.nextfree, 253);
}

TEST(Merge, FindOrAddWrapsAtZero) {
    Px a(1, 1, ZEPX_PALETTE8);
    a.p.nextfree = 1;
    EXPECT_EQ(zepxmap_findoradd_color(&a.p, 0x0A0B0C), 1);
    EXPECT_EQ(a.p.nextfree, 0);
    EXPECT_EQ(zepxmap_findoradd_color(&a.p, 0x0D0E0F), 254);
    EXPECT_EQ(a.p.nextfree, 254);
    EXPECT_EQ(zepxmap_findoradd_color(&a.p, 0x0F0E0D), 254);   // 254 twice in a row
    EXPECT_EQ(a.p.nextfree, 253);
    EXPECT_EQ(zepxmap_findoradd_color(&a.p, 0x0A0B0C), 1);     // found again
    EXPECT_EQ(zepxmap_findoradd_color(&a.p, 0x00FF00), 10);    // a default colour
}

TEST(Merge, PaletteCodes) {
    Px src(2, 1, ZEPX_PALETTE8), dst(2, 1, ZEPX_PALETTE8);
    zepxmap_setpixel(&src.p, 0, 0, 40);
    zepxmap_setpixel(&src.p, 1, 0, 255);
    zepxmap_setpalette(&src.p, 40, 0x0A0B0C);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 1, 0));
    EXPECT_EQ(dst.at(0, 0), 40);
    EXPECT_EQ(dst.at(1, 0), 0);
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 3, 0));
    EXPECT_EQ(dst.at(1, 0), 255);
    EXPECT_EQ(dst.p.palette[40], 0x0A0B0C);
    testing::internal::CaptureStdout();
    zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 2, 0);
    zepxmap_merge4(&dst.p, &src.p, 0, 0, 0, 0, -1, -1, 7, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "zepxmap_merge_pal8topal8_pc2\nzepxmap_merge_pal8topal8: wrong PaletteCode (7)\n");
}

TEST(Merge, ClipsSourceAndTargetEdgesAndNegativePositions) {
    Px src(4, 4, ZEPX_TRUECOLOR), dst(5, 5, ZEPX_TRUECOLOR);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) zepxmap_setpixel(&src.p, x, y, 0x100 * (y + 1) + x + 1);
    // source rectangle runs past the source's right edge: only what exists
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 0, 0, 2, 0, 10, 1, 0, 0));
    EXPECT_EQ(dst.at(0, 0), 0x103);
    EXPECT_EQ(dst.at(1, 0), 0x104);
    EXPECT_EQ(dst.at(2, 0), 0);
    // target edge
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, 3, 3, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(dst.at(4, 4), 0x202);
    // negative target positions move the source in instead of writing outside
    ASSERT_TRUE(zepxmap_merge4(&dst.p, &src.p, -3, -3, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(dst.at(0, 0), 0x404);
    EXPECT_EQ(dst.at(1, 0), 0x104);   // untouched by this merge
}

// Every pair of formats with positions and sizes at the ends of the int
// range: nothing outside the rectangles is touched (run under ASan/UBSan).
TEST(Merge, ExtremePositionsBetweenAllFormats) {
    const int lo = INT_MIN, hi = INT_MAX;
    const int cases[][6] = {{lo, 0, 5, 0, 0, 0},  {0, lo, 0, lo, 0, 0}, {1, 1, lo, lo, 0, 0}, {hi, hi, 0, 0, 0, 0},
                            {-5, -5, hi, hi, hi, hi}, {lo, lo, hi, hi, lo, lo}, {2, 1, -3, 0, hi, 2},
                            {-1, 0, lo + 1, 0, hi, hi}};
    const int formats[] = {ZEPX_PALETTE8, ZEPX_PALETTE16, ZEPX_TRUECOLOR, ZEPX_SERVER, ZEPX_SCREEN, ZEPX_DIRECTX};
    testing::internal::CaptureStdout();
    for (int tf : formats)
        for (int sf : formats)
            for (const auto &c : cases) {
                Px t(4, 3, tf), s(3, 2, sf);
                if (tf != ZEPX_SCREEN) zepxmap_clear(&t.p, 1);
                if (sf != ZEPX_SCREEN) zepxmap_clear(&s.p, 2);
                zepxmap_merge4(&t.p, &s.p, c[0], c[1], c[2], c[3], c[4], c[5], 0, 0);
                if (tf == ZEPX_SCREEN) continue;
                // only a rectangle that really overlaps may change the target
                bool overlaps = c[0] == 2 || c[0] == -1;
                if (!overlaps) {
                    EXPECT_EQ(t.set_of(1).size(), 12u) << tf << " <- " << sf << " at " << c[0];
                }
            }
    testing::internal::GetCapturedStdout();
    Px t(4, 3, ZEPX_TRUECOLOR), s(3, 2, ZEPX_TRUECOLOR);
    zepxmap_clear(&s.p, 2);
    ASSERT_TRUE(zepxmap_merge4(&t.p, &s.p, -1, 0, lo + 1, 0, hi, hi, 0, 0));   // source far left: nothing
    EXPECT_TRUE(t.set_of(2).empty());
    ASSERT_TRUE(zepxmap_merge4(&t.p, &s.p, 2, 1, -1, 0, hi, 2, 0, 0));         // moves in by one
    EXPECT_EQ(t.set_of(2), (Points{{3, 1}, {3, 2}}));
}

TEST(Merge, UnsupportedPairsLogAndCopyNothing) {
    Px t(2, 2, ZEPX_PALETTE8), s(2, 2, ZEPX_TRUECOLOR);
    zepxmap_clear(&s.p, 0x123456);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(zepxmap_merge4(&t.p, &s.p, 0, 0, 0, 0, 0, 0, 0, 0));
    Px tc(2, 2, ZEPX_TRUECOLOR), sv(2, 2, ZEPX_SERVER);
    EXPECT_FALSE(zepxmap_merge4(&tc.p, &sv.p, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "zepxmap_merge_truecolortopal8: not implemented\nzepxmap_merge2: unsupported formats: 4 -> 3\n");
    EXPECT_EQ(t.at(0, 0), 0);
}

TEST(Merge, IntoServerHonoursMasks) {
    Px t(3, 1, ZEPX_SERVER), s(3, 1, ZEPX_PALETTE8);
    zepxmap_clear(&t.p, 0x777777);
    zepxmap_setpixel(&s.p, 0, 0, 12);
    zepxmap_setpixel(&s.p, 1, 0, 255);
    zepxmap_setpixel(&s.p, 2, 0, 0);
    ASSERT_TRUE(zepxmap_merge4(&t.p, &s.p, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(t.at(0, 0), 0xFF0000);
    EXPECT_EQ(t.at(1, 0), 0x777777);
    EXPECT_EQ(t.at(2, 0), 0x000000);
    // a masked server source
    ASSERT_TRUE(zepxmap_convert2server(&s.p));
    zepxmap_clear(&t.p, 0x777777);
    ASSERT_TRUE(zepxmap_merge4(&t.p, &s.p, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(t.at(1, 0), 0x777777);
    EXPECT_EQ(t.at(0, 0), 0xFF0000);
}

// --- drawing ---------------------------------------------------------------

TEST(Draw, LineExampleAndAllOctants) {
    Px a(4, 2, ZEPX_TRUECOLOR);
    zepxmap_line(&a.p, 0, 0, 3, 1, 1);
    EXPECT_EQ(a.set_of(1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(a.p.curx, 3);
    EXPECT_EQ(a.p.cury, 1);

    // Every octant from the centre: the line is connected (8-neighbourhood),
    // has one pixel per step of its major axis and hits both ends.
    const int ends[8][2] = {{10, 3}, {3, 10}, {-3, 10}, {-10, 3}, {-10, -3}, {-3, -10}, {3, -10}, {10, -3}};
    for (const auto &e : ends) {
        Px b(31, 31, ZEPX_TRUECOLOR);
        zepxmap_line(&b.p, 15, 15, 15 + e[0], 15 + e[1], 1);
        Points pts = b.set_of(1);
        EXPECT_EQ(pts.size(), 11u) << e[0] << "," << e[1];
        EXPECT_TRUE(pts.count({15, 15}));
        EXPECT_TRUE(pts.count({15 + e[0], 15 + e[1]}));
        for (auto pt : pts) {
            bool neighbour = pts.size() == 1;
            for (auto q : pts)
                if (q != pt && abs(q.first - pt.first) <= 1 && abs(q.second - pt.second) <= 1) neighbour = true;
            EXPECT_TRUE(neighbour);
        }
    }
    // Reversed direction: (3, 1) -> (0, 0) walks from x = 3 down.
    Px c(4, 2, ZEPX_TRUECOLOR);
    zepxmap_line(&c.p, 3, 1, 0, 0, 1);
    EXPECT_EQ(c.set_of(1), (Points{{3, 1}, {2, 1}, {1, 0}, {0, 0}}));
}

TEST(Draw, LineDropsOutsidePointsAndFarCoordinatesAreSafe) {
    Px a(5, 5, ZEPX_PALETTE8);
    zepxmap_line(&a.p, -3, 2, 8, 2, 7);
    EXPECT_EQ(a.set_of(7).size(), 5u);
    zepxmap_line(&a.p, -2000000000, 0, 2000000000, 4, 9);   // returns at once
    EXPECT_TRUE(a.set_of(9).empty());
}

// Coordinates and sizes at the ends of the int range end at once and stay in
// the pixmap; huge fills still cover it.
TEST(Draw, ExtremeCoordinatesAndSizes) {
    const int lo = INT_MIN, hi = INT_MAX;
    Px a(8, 6, ZEPX_TRUECOLOR);
    zepxmap_line(&a.p, lo, 0, 0, 0, 1);
    zepxmap_line(&a.p, 0, lo, lo, hi, 1);
    zepxmap_dashline(&a.p, lo, lo, hi, hi, 1, 0, -5);
    zepxmap_rect(&a.p, 1, 4, hi, hi, 3);
    zepxmap_rect(&a.p, 1, 4, 1 << 20, 1 << 20, 3);
    zepxmap_rect3d(&a.p, hi, hi, hi, hi, 4, 4);
    zepxmap_rect3d(&a.p, lo, lo, lo, lo, 4, 4);
    zepxmap_fillrect3d(&a.p, lo, lo, hi, hi, 4, 4, 4);
    zepxmap_shadowrect(&a.p, hi, hi, hi, hi, 4);
    zepxmap_fillrect(&a.p, -1, -1, lo, lo, 5);
    zepxmap_fillrect(&a.p, lo, lo, hi, hi, 5);         // ends left of the pixmap
    EXPECT_TRUE(a.set_of(5).empty());
    zepxmap_fillrect(&a.p, -5, -5, hi, hi, 5);
    EXPECT_EQ(a.set_of(5).size(), 48u);

    Px b(8, 6, ZEPX_PALETTE8);
    zepxmap_arc(&b.p, 4, 3, hi, hi, 0, 360, 1);
    zepxmap_arc(&b.p, 4, 3, lo, lo, lo, hi, 1);
    zepxmap_arc(&b.p, hi, lo, 3, 3, 0, hi, 1);
    zepxmap_circle(&b.p, 4, 3, hi, 1);
    zepxmap_fillcircle(&b.p, 4, 3, hi, 2);             // covers the pixmap
    EXPECT_EQ(b.set_of(2).size(), 48u);
    zepxmap_fillcircle(&b.p, lo, hi, hi, 3);
    zepxmap_fillellipse(&b.p, 4, 3, hi, hi, 3);
    EXPECT_EQ(b.set_of(3).size(), 48u);
    zepxmap_fillellipse(&b.p, lo, lo, lo, hi, 4);
    zepxmap_fillellipse(&b.p, 4, 3, -3, -3, 4);        // negative radii: nothing
    zepxmap_fillcircle(&b.p, 4, 3, lo, 4);
    EXPECT_TRUE(b.set_of(4).empty());
    zepxmap_arc(&b.p, 4, 3, 2, 2, 0, 36000000, 5);     // many turns: one circle
    EXPECT_FALSE(b.set_of(5).empty());
}

TEST(Draw, DashedLine) {
    Px a(20, 1, ZEPX_TRUECOLOR);
    zepxmap_dashline(&a.p, 0, 0, 19, 0, 1, 3, 3);
    Points expect = {{0, 0}, {1, 0}, {2, 0}, {6, 0}, {7, 0}, {8, 0}, {12, 0}, {13, 0}, {14, 0}, {18, 0}, {19, 0}};
    EXPECT_EQ(a.set_of(1), expect);
}

TEST(Draw, RectangleOutlinesAnd3D) {
    Px a(6, 5, ZEPX_TRUECOLOR);
    zepxmap_rect3d(&a.p, 1, 1, 4, 3, 1, 2);
    // the bottom-right lines are drawn last and take the corner (4, 1)
    EXPECT_EQ(a.set_of(1), (Points{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(a.set_of(2), (Points{{4, 1}, {4, 2}, {4, 3}, {2, 3}, {3, 3}}));
    Px b(6, 5, ZEPX_TRUECOLOR);
    zepxmap_fillrect3d(&b.p, 0, 0, 5, 4, 3, 1, 2);
    EXPECT_EQ(b.set_of(3), (Points{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}));
}

TEST(Draw, ShadowRect) {
    Px a(10, 10, ZEPX_TRUECOLOR);
    zepxmap_shadowrect(&a.p, 0, 0, 4, 3, 1);
    for (int y = 2; y <= 4; y++) {
        EXPECT_EQ(a.at(4, y), 1);
        EXPECT_EQ(a.at(5, y), 1);
    }
    for (int x = 2; x <= 4; x++) {
        EXPECT_EQ(a.at(x, 3), 1);
        EXPECT_EQ(a.at(x, 4), 1);
    }
    EXPECT_EQ(a.at(4, 1), 0);
    EXPECT_EQ(a.at(1, 4), 0);
}

// The shape of an ellipse is symmetric and stays inside its bounding box.
TEST(Draw, EllipsesStayInTheirBoxAndAreSymmetric) {
    Px a(41, 41, ZEPX_TRUECOLOR);
    zepxmap_arc(&a.p, 20, 20, 12, 7, 0, 360, 1);
    Points pts = a.set_of(1);
    ASSERT_FALSE(pts.empty());
    for (auto pt : pts) {
        EXPECT_LE(abs(pt.first - 20), 12);
        EXPECT_LE(abs(pt.second - 20), 7);
    }
    EXPECT_TRUE(pts.count({32, 20}));   // t = 0
    EXPECT_TRUE(pts.count({20, 27}));   // t = 90 degrees

    Px b(41, 41, ZEPX_TRUECOLOR);
    zepxmap_fillellipse(&b.p, 20, 20, 10, 5, 1);
    for (int y = 0; y < 41; y++)
        for (int x = 0; x < 41; x++) {
            bool inside = (x - 20) * (x - 20) / 100.0 + (y - 20) * (y - 20) / 25.0 <= 1.0;
            if (b.at(x, y) == 1) {
                EXPECT_LE((x - 20) * (x - 20) / 121.0 + (y - 20) * (y - 20) / 36.0, 1.0) << x << "," << y;
            } else if (inside) {
                // the filled shape covers the ellipse's core
                EXPECT_GT((x - 20) * (x - 20) / 64.0 + (y - 20) * (y - 20) / 9.0, 1.0) << x << "," << y;
            }
        }
    EXPECT_EQ(b.at(20, 20), 1);
    Px c(41, 41, ZEPX_TRUECOLOR);
    zepxmap_fillcircle(&c.p, 20, 20, 8, 1);
    EXPECT_EQ(c.at(20, 20), 1);
    EXPECT_EQ(c.at(28, 20), 1);
    EXPECT_EQ(c.at(29, 20), 0);
    EXPECT_EQ(c.at(27, 27), 0);
    zepxmap_arc(&c.p, 5, 5, 0, 3, 0, 360, 2);   // zero radius: nothing
    zepxmap_arc(&c.p, 5, 5, -3, 3, 0, 360, 2);  // negative radius: finite
    EXPECT_EQ(c.set_of(2).size() > 0, true);
}

TEST(Draw, FloodFill) {
    Px a(7, 5, ZEPX_PALETTE8);
    zepxmap_rect(&a.p, 1, 1, 5, 3, 4);   // a closed ring
    zepxmap_floodfill(&a.p, 3, 2, 9);
    EXPECT_EQ(a.set_of(9), (Points{{2, 2}, {3, 2}, {4, 2}}));
    zepxmap_floodfill(&a.p, 0, 0, 6);     // the outside, bounded by the pixmap edge
    EXPECT_EQ(a.set_of(6).size(), 7u * 5u - 12u - 3u);
    Px before(7, 5, ZEPX_PALETTE8);
    zepxmap_floodfill(&a.p, 3, 2, 9);     // colour already there: nothing changes
    EXPECT_EQ(a.set_of(9).size(), 3u);
    zepxmap_floodfill(&a.p, 0, 0, 256 + 6);   // stores as 6 == target: must still end
    zepxmap_floodfill(&a.p, -1, 0, 1);
}

TEST(Draw, PointBufferGrowsInThousandsAndIsKept) {
    Px a(3000, 2, ZEPX_TRUECOLOR);
    zepxmap_line(&a.p, 0, 0, 2999, 1, 1);
    EXPECT_GE(zepxmap_points_capacity(), 3000);
    EXPECT_EQ(zepxmap_points_capacity() % 1000, 0);
    int cap = zepxmap_points_capacity();
    zepxmap_line(&a.p, 0, 0, 3, 0, 1);
    EXPECT_EQ(zepxmap_points_capacity(), cap);
}

// --- graphic output --------------------------------------------------------

TEST(Output, CommandsThroughTheCurrentOutput) {
    zegout_set(nullptr, nullptr);
    EXPECT_EQ(zegraphic_width(), 0);   // nothing current
    zeGraphicOutput out;
    ASSERT_TRUE(zepxmapout_create(&out, "pic,xs=%d,ys=20,bgcolor=white,palette", 30));
    EXPECT_EQ(out.pxmap.format, (uint32_t)ZEPX_PALETTE8);
    EXPECT_EQ(zegraphic_width(), 30);
    EXPECT_EQ(zegraphic_height(), 20);
    EXPECT_EQ(zegraphic_getpixel(0, 0), (zearg)(0xFFFFFF & 0xFF));   // white stored as an index byte
    zegraphic_clear(3);
    zegraphic_setpixel(1, 1, 5);
    EXPECT_EQ(zegraphic_getpixel(1, 1), 5);
    zegraphic_moveto(0, 5);
    zegraphic_lineto(4, 5, 7);
    EXPECT_EQ(zegraphic_getpixel(2, 5), 7);
    EXPECT_EQ(zegraphic_output(), (zearg)&out);
    EXPECT_EQ(zegout_send(1050), 0);
    EXPECT_EQ(zegout_send(1999), 0);
    EXPECT_EQ(zegraphic_textwidth("abc"), 0);   // no font module installed: measures 0

    zeGraphicOutput other;
    ASSERT_TRUE(zepxmapout_create(&other, "x,xs=5,ys=5,nostdout"));
    EXPECT_EQ(zegout_owner(), &out);
    zegout_save();
    zegout_set(zepxmapout_handler, &other);
    EXPECT_EQ(zegraphic_width(), 5);
    zegout_restore();
    EXPECT_EQ(zegraphic_width(), 30);
    zegout_unset(zepxmapout_handler, &other);   // not current: no effect
    EXPECT_EQ(zegraphic_width(), 30);
    // a released output is forgotten by the save slot too
    zegout_save();
    zegout_set(zepxmapout_handler, &other);
    zegout_unset(zepxmapout_handler, &out);     // not current: no effect
    zegout_restore();
    EXPECT_EQ(zegout_owner(), &out);
    zegout_save();
    zegout_forget(zepxmapout_handler, &out);
    zegout_restore();
    EXPECT_EQ(zegout_handler(), nullptr);
    zegout_set(zepxmapout_handler, &out);
    // merge the other pixmap through 1045
    zepxmap_clear(&other.pxmap, 0x00FF00);
    zepxmapout_release(&out);
    EXPECT_EQ(zegout_handler(), nullptr);
    ASSERT_TRUE(zepxmapout_create(&out, "x,xs=10,ys=10,truecolor"));
    EXPECT_TRUE(zegraphic_mergepxmap(2, 2, &other.pxmap));
    EXPECT_EQ(zegraphic_getpixel(2, 2), 0x00FF00);
    EXPECT_EQ(zegraphic_getpixel(7, 7), 0);
    EXPECT_TRUE(zegraphic_mergeobject(&other, 0, 0, 2, 1, 0, 0));
    EXPECT_EQ(zegraphic_getpixel(1, 0), 0x00FF00);
    EXPECT_EQ(zegraphic_getpixel(0, 1), 0);
    zegraphic_etchedline(0, 9, 9, 9, 0x111111, 0x222222);   // below falls outside
    EXPECT_EQ(zegraphic_getpixel(5, 9), 0x111111);
    zegraphic_etchedline(9, 0, 9, 5, 0x111111, 0x222222);
    EXPECT_EQ(zegraphic_getpixel(9, 3), 0x111111);
    zepxmapout_release(&other);
    zepxmapout_release(&out);
}

// Text commands reach the font module through its hooks.
static std::string drawn;
static void hook_draw(zePixmap *, int font, int x, int y, int c, const char *t) {
    drawn = std::to_string(font) + ":" + std::to_string(x) + "," + std::to_string(y) + ":" + t;
}
static int hook_width(int, const char *t) { return 6 * (int)strlen(t); }

TEST(Output, TextHooks) {
    zeTextHooks hooks = {};
    hooks.draw_text = hook_draw;
    hooks.text_width = hook_width;
    zepxmap_set_text_hooks(&hooks);
    zeGraphicOutput out;
    ASSERT_TRUE(zepxmapout_create(&out, "t,xs=101,ys=20"));
    zegraphic_setfont(1000007);
    zegraphic_textcenter(4, 0, "hello");
    EXPECT_EQ(drawn, "1000007:35,4:hello");   // (101 - 30) / 2
    EXPECT_EQ(zegraphic_textwidth("ab"), 12);
    zepxmap_set_text_hooks(nullptr);
    EXPECT_EQ(zegraphic_textwidth("ab"), 0);
    // the same commands on a bare pixmap with the caller's font slot
    zepxmap_set_text_hooks(&hooks);
    int32_t font = -1;
    zepxmap_command(&out.pxmap, &font, &out, ZEGOUT_SETFONT, 1000009, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(font, 1000009);
    zepxmap_command(&out.pxmap, &font, &out, ZEGOUT_TEXT, 1, 2, 0, (intptr_t) "x", 0, 0, 0, 0);
    EXPECT_EQ(drawn, "1000009:1,2:x");
    EXPECT_EQ(zepxmap_command(&out.pxmap, nullptr, &font, ZEGOUT_SELF, 0, 0, 0, 0, 0, 0, 0, 0), (intptr_t)&font);
    zepxmap_set_text_hooks(nullptr);
    zepxmapout_release(&out);
}

}  // namespace
