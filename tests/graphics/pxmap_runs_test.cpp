// Rectangle fills and straight lines are set in runs; they must leave exactly
// the pixels a per-pixel walk leaves, in every memory format and at every edge.
#include <gtest/gtest.h>
#include <climits>
#include <cstdint>
#include <random>
#include "zepxmap.h"
#include "zepxmap_draw.h"

namespace {

const int W = 23, H = 17;
const int formats[] = {ZEPX_PALETTE8, ZEPX_PALETTE16, ZEPX_TRUECOLOR, ZEPX_SERVER};

struct Pair {
    zePixmap fast, ref;
    explicit Pair(int format) {
        EXPECT_TRUE(zepxmap_create(&fast, W, H, format));
        EXPECT_TRUE(zepxmap_create(&ref, W, H, format));
    }
    ~Pair() {
        zepxmap_release(&fast);
        zepxmap_release(&ref);
    }
    // First differing pixel as "x,y", or "" when both match.
    std::string diff() const {
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if (zepxmap_getpixel(&fast, x, y) != zepxmap_getpixel(&ref, x, y))
                    return std::to_string(x) + "," + std::to_string(y);
        return "";
    }
};

// Coordinates around the pixmap's edges, at the int range's ends and at the
// far-line limit (1 << 20) where lines stop being walked.
int coordinate(std::mt19937 &rng) {
    static const int wild[] = {INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 1, -(1 << 20), -(1 << 20) + 1,
                               (1 << 20) - 1, 1 << 20, -1000, 1000};
    if (rng() % 5 == 0) return wild[rng() % (sizeof wild / sizeof *wild)];
    return (int)(rng() % (W + 12)) - 6;
}

TEST(Runs, FillRectMatchesPerPixelReference) {
    std::mt19937 rng(7);
    for (int format : formats) {
        Pair px(format);
        for (int i = 0; i < 3000; i++) {
            int x = coordinate(rng), y = coordinate(rng), w = coordinate(rng), h = coordinate(rng);
            int colour = (int)(rng() % 300);
            zepxmap_fillrect(&px.fast, x, y, w, h, colour);
            for (int64_t r = 0; r < H; r++)
                for (int64_t c = 0; c < W; c++)
                    if (c >= x && c < (int64_t)x + w && r >= y && r < (int64_t)y + h)
                        zepxmap_setpixel(&px.ref, (int)c, (int)r, colour);
            ASSERT_EQ(px.diff(), "") << "format " << format << " fillrect " << x << " " << y << " " << w << " " << h;
        }
    }
}

TEST(Runs, StraightLinesMatchThePointWalk) {
    std::mt19937 rng(11);
    for (int format : formats) {
        Pair px(format);
        px.ref.mirror = true;   // a mirrored pixmap is drawn point by point
        for (int i = 0; i < 2000; i++) {
            int x1 = coordinate(rng), y1 = coordinate(rng), x2 = coordinate(rng), y2 = coordinate(rng);
            if (i % 2 == 0) y2 = y1;
            else x2 = x1;
            if (i % 10 == 1) y2 = y1;
            int colour = (int)(rng() % 300);
            zepxmap_line(&px.fast, x1, y1, x2, y2, colour);
            zepxmap_line(&px.ref, x1, y1, x2, y2, colour);
            ASSERT_EQ(px.diff(), "") << "format " << format << " line " << x1 << " " << y1 << " " << x2 << " " << y2;
            ASSERT_EQ(px.fast.curx, x2);
            ASSERT_EQ(px.fast.cury, y2);
        }
        // Lines draw with the pen: a surface's brush colour stays as it was.
        if (format == ZEPX_SERVER) EXPECT_EQ(((zePxServer *)px.fast.pixels)->brushcolor, -1);
    }
}

}  // namespace
