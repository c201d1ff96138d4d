// The seven-segment display on generated and shipped digit picture sets:
// loading, colours, advances, changed-characters-only drawing, colon blink,
// and the deferred draw's rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <array>
#include <set>
#include <vector>
#include <string>
#include <unistd.h>

#include "app.h"
#include "sevenseg.h"
#include "zeentry.h"
#include "zeimage.h"
#include "zepxmap.h"

namespace {

const uint32_t kDark = 0x202020, kLit = 0x40ff40;

std::string temp_path(const char *name) {
    const char *dir = getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/sevenseg_test_" + std::to_string(getpid()) + "_" + name;
}

// A set with cells of cw + 5 columns and `lead` black columns before every
// glyph's content. In glyph coordinates (the reader keeps one of the leading
// columns): a dark block in each digit cell with cell i's lit pixel at
// (2 + i % 3, 2), a lit colon dot at (2, h/2) with its width marker at
// (narrow, 0), a lit point at (2, h - 2).
std::string make_set(int cw, int h, int lead, int narrow) {
    zePixmap p;
    EXPECT_TRUE(zepxmap_create(&p, 15 * (cw + 5), h, ZEPX_TRUECOLOR));
    zepxmap_clear(&p, 0);
    int margin = lead ? lead - 1 : 0;
    for (int i = 0; i < 15; i++) {
        int org = i * (cw + 5) + margin;
        if (i == 13) {
            zepxmap_setpixel(&p, org + narrow, 0, kDark);
            zepxmap_setpixel(&p, org + 2, h / 2, kLit);
            continue;
        }
        if (i == 14) {
            zepxmap_setpixel(&p, org + 2, h - 2, kLit);
            continue;
        }
        int x0 = i * (cw + 5) + lead;
        zepxmap_fillrect(&p, x0, 1, cw - lead, h - 2, kDark);
        zepxmap_setpixel(&p, org + 2 + i % 3, 2, kLit);
    }
    std::string path = temp_path(("set" + std::to_string(lead) + ".pcx").c_str());
    EXPECT_TRUE(zepxmap_savetofile(&p, "%s", path.c_str()));
    zepxmap_release(&p);
    return path;
}

// A glyph's pixel as drawn, 0 where the background shows.
uint32_t px(const SevenSegmentFont &f, int g, int x, int y) {
    int c = sevenseg_glyph_pixel(&f, g, x, y);
    return c < 0 ? 0 : (uint32_t)c;
}

int count_colour(const SevenSegmentFont &f, int g, uint32_t c) {
    int n = 0;
    for (int y = 0; y < f.charHeight; y++)
        for (int x = 0; x < f.charWidth; x++) n += px(f, g, x, y) == c;
    return n;
}

std::string read_log() {
    std::string path = std::string(zeprogramdir()) + "/quimo.log";
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return "";
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
}

void show_count(void *ctx, int, int, int, int) { ++*(int *)ctx; }

}  // namespace

TEST(SevenSeg, LoadsAGeneratedSet) {
    std::string path = make_set(20, 30, 3, 7);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, path.c_str()));
    EXPECT_EQ(f.charWidth, 20);
    EXPECT_EQ(f.charHeight, 30);
    EXPECT_EQ(f.charDistance, 4);
    EXPECT_EQ(f.narrowWidth, 7);
    EXPECT_EQ(f.darkColour, kDark);
    EXPECT_EQ(f.litColour, kLit);
    // Three leading black columns leave a margin of two: one black column stays.
    EXPECT_EQ(px(f, 0, 0, 5), 0u);
    EXPECT_EQ(px(f, 0, 1, 5), kDark);
    for (int i = 0; i < 13; i++) EXPECT_EQ(px(f, i, 2 + i % 3, 2), kLit) << "cell " << i;
    EXPECT_EQ(px(f, 13, 2, 15), kLit);   // ':' lit
    EXPECT_EQ(px(f, 14, 2, 15), kDark);  // ':' unlit
    EXPECT_EQ(px(f, 15, 2, 28), kLit);   // '.'
    EXPECT_EQ(count_colour(f, 16, kLit), 0);  // blank: no lit segment
    EXPECT_GT(count_colour(f, 16, kDark), 0);
    EXPECT_EQ(f.glyph[0].format, (uint32_t)ZEPX_PALETTE8);  // one byte per pixel
    std::string log = read_log();
    EXPECT_NE(log.find("xoffs=2"), std::string::npos);
    EXPECT_NE(log.find("init ok, charxs=20 charys=30 char_dd_xs=7 chardist=4  colordark=202020 color=40ff40"),
              std::string::npos);

    // A missing file leaves the font as it was.
    EXPECT_FALSE(sevenseg_load_set(&f, "no/such/7seg.pcx"));
    EXPECT_EQ(f.charWidth, 20);
    EXPECT_TRUE(f.loaded);
    sevenseg_free(&f);
    remove(path.c_str());
}

TEST(SevenSeg, ZeroMarginAndUnusablePictures) {
    std::string path = make_set(10, 12, 0, 3);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, path.c_str()));
    EXPECT_EQ(px(f, 0, 0, 5), kDark);
    EXPECT_EQ(f.narrowWidth, 3);

    // A picture too narrow for 15 cells, and a file that is no picture.
    zePixmap tiny;
    zepxmap_create(&tiny, 30, 5, ZEPX_TRUECOLOR);
    std::string tinyPath = temp_path("tiny.pcx");
    ASSERT_TRUE(zepxmap_savetofile(&tiny, "%s", tinyPath.c_str()));
    zepxmap_release(&tiny);
    EXPECT_FALSE(sevenseg_load_set(&f, tinyPath.c_str()));
    std::string junk = temp_path("junk.pcx");
    FILE *j = fopen(junk.c_str(), "wb");
    fputs("not a picture", j);
    fclose(j);
    EXPECT_FALSE(sevenseg_load_set(&f, junk.c_str()));
    EXPECT_EQ(f.charWidth, 10);
    sevenseg_free(&f);
    remove(path.c_str());
    remove(tinyPath.c_str());
    remove(junk.c_str());
}

TEST(SevenSeg, DamagedSetsNeverBreakTheFontShown) {
    // Seeded damage to a set as the loader reads it row by row: flipped
    // bytes, cut files, sizes in the header. A set either loads whole or
    // leaves the font as it was; nothing is read or written out of bounds.
    std::string path = make_set(12, 16, 2, 4);
    FILE *in = fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::vector<unsigned char> good;
    for (int c; (c = fgetc(in)) != EOF;) good.push_back((unsigned char)c);
    fclose(in);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, path.c_str()));
    std::string bad = temp_path("damaged.pcx");
    srand(20261208);
    int loaded = 0;
    for (int round = 0; round < 400; round++) {
        std::vector<unsigned char> b = good;
        switch (round % 4) {
        case 0:  // a few bytes anywhere
            for (int k = 0; k < 1 + rand() % 8; k++) b[(size_t)rand() % b.size()] = (unsigned char)rand();
            break;
        case 1:  // cut short
            b.resize((size_t)rand() % b.size());
            break;
        case 2:  // the picture's corners (xmin, ymin, xmax, ymax) and bytes per line
            b[4 + rand() % 10] = (unsigned char)rand();
            break;
        default:  // runs in the data
            for (int k = 0; k < 16; k++) b[128 + (size_t)rand() % (b.size() - 128)] = (unsigned char)(0xC0 | rand());
        }
        FILE *out = fopen(bad.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        fwrite(b.data(), 1, b.size(), out);
        fclose(out);
        SevenSegmentFont before = f;
        if (sevenseg_load_set(&f, bad.c_str())) {
            loaded++;
            EXPECT_GT(f.charWidth, 0);
            EXPECT_GT(f.charHeight, 0);
            EXPECT_LE(f.narrowWidth, f.charWidth);
            for (int g = 0; g < SEVENSEG_GLYPHS; g++) px(f, g, f.charWidth - 1, f.charHeight - 1);
        } else {
            EXPECT_EQ(f.charWidth, before.charWidth) << "round " << round;
            EXPECT_EQ(f.charHeight, before.charHeight) << "round " << round;
            EXPECT_TRUE(f.loaded);
        }
    }
    EXPECT_GT(loaded, 0);  // damage inside segments still gives a usable set
    sevenseg_free(&f);
    remove(bad.c_str());
    remove(path.c_str());
}

TEST(SevenSeg, InactiveColourAndRecolour) {
    EXPECT_EQ(sevenseg_inactive_colour(0xff0000, 0x000000, 80), 0x330000u);
    EXPECT_EQ(sevenseg_inactive_colour(0xff0000, 0x000000, 0), 0xfd0000u);  // contrast 0 counts as 1
    EXPECT_EQ(sevenseg_inactive_colour(0x000000, 0x000000, 80), 0x330000u); // black counts as red
    EXPECT_EQ(sevenseg_inactive_colour(0x80ff00, 0x80ff00, 50), 0x7ffe00u); // equal to the background
    EXPECT_EQ(sevenseg_inactive_colour(0x000000, 0xff0000, 50), 0xfe0000u); // black segment on red: ff0000 again
    EXPECT_EQ(sevenseg_inactive_colour(0x000001, 0x000000, 100), 0x010000u); // never black
    EXPECT_EQ(sevenseg_inactive_colour(0x102030, 0x302010, 100), 0x302010u);  // toward a brighter background

    std::string path = make_set(10, 12, 1, 3);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, path.c_str()));
    int dark = count_colour(f, 8, kDark), lit = count_colour(f, 8, kLit);
    sevenseg_recolour(&f, 0x110000, 0xee0000);
    EXPECT_EQ(count_colour(f, 8, 0x110000), dark);
    EXPECT_EQ(count_colour(f, 8, 0xee0000), lit);
    // Swapping the two colours keeps every pixel's role.
    sevenseg_recolour(&f, 0xee0000, 0x110000);
    EXPECT_EQ(count_colour(f, 8, 0xee0000), dark);
    EXPECT_EQ(count_colour(f, 8, 0x110000), lit);
    EXPECT_EQ(px(f, 8, 2 + 8 % 3, 2), 0x110000u);
    // Both segment colours alike for a while: the segments keep their roles.
    sevenseg_recolour(&f, 0x440000, 0x440000);
    EXPECT_EQ(count_colour(f, 8, 0x440000), dark + lit);
    sevenseg_recolour(&f, 0x110000, 0xee0000);
    EXPECT_EQ(count_colour(f, 8, 0x110000), dark);
    EXPECT_EQ(count_colour(f, 8, 0xee0000), lit);
    sevenseg_free(&f);
    remove(path.c_str());

    EXPECT_EQ(sevenseg_colour_table(0), 0x5f0000u);
    EXPECT_EQ(sevenseg_colour_table(20), 0xff0000u);
    EXPECT_EQ(sevenseg_colour_table(30), 0xff7800u);
    EXPECT_EQ(sevenseg_colour_table(50), 0x78ff00u);
    EXPECT_EQ(sevenseg_colour_table(70), 0x00ff78u);
    EXPECT_EQ(sevenseg_colour_table(100), 0x0000ffu);
    EXPECT_EQ(sevenseg_colour_table(250), 0x0000ffu);
}

TEST(SevenSeg, SetForSize) {
    EXPECT_EQ(sevenseg_set_for_size(-3), 1);
    EXPECT_EQ(sevenseg_set_for_size(6), 1);
    EXPECT_EQ(sevenseg_set_for_size(7), 2);
    EXPECT_EQ(sevenseg_set_for_size(20), 4);
    EXPECT_EQ(sevenseg_set_for_size(25), 4);
    EXPECT_STREQ(sevenseg_set_file(4), "7seg/7seg_001_0500.pcx");
    EXPECT_EQ(sevenseg_set_for_size(97), 15);
    EXPECT_EQ(sevenseg_set_for_size(98), 16);
    EXPECT_EQ(sevenseg_set_for_size(1000), 16);
    EXPECT_EQ(sevenseg_set_file(17), nullptr);
}

TEST(SevenSeg, AdvancesAndChangedCharactersOnly) {
    std::string path = make_set(10, 12, 1, 3);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, path.c_str()));
    EXPECT_EQ(sevenseg_advance(&f, '7'), 12);
    EXPECT_EQ(sevenseg_advance(&f, ':'), 5);
    EXPECT_EQ(sevenseg_advance(&f, 'x'), 0);
    EXPECT_EQ(sevenseg_text_width(&f, "1x2"), sevenseg_text_width(&f, "12"));
    EXPECT_EQ(sevenseg_text_width(&f, "-12:34.5"), 6 * 12 + 2 * 5);

    zePixmap target;
    zepxmap_create(&target, 200, 20, ZEPX_TRUECOLOR);
    int shown = 0;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:34", show_count, &shown), 5);  // first draw: all
    EXPECT_EQ(shown, 1);  // one copy to the screen per draw
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:34", nullptr, nullptr), 0);
    f.colonOn = false;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:34", nullptr, nullptr), 1);  // the colon only
    EXPECT_EQ(zepxmap_getpixel(&target, 24 + 2, 6), (int)kDark);                      // unlit colon
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:35", nullptr, nullptr), 1);
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:35 ", nullptr, nullptr), 1);  // longer text
    // A forced redraw leaves what the target shows already (the '1', and the
    // '2' that moves onto the '2' shown): nothing to send for it.
    f.forceFull = true;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "1x2", nullptr, nullptr), 1);
    EXPECT_STREQ(f.lastText, "1x2");
    f.forceFull = true;
    shown = 0;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "1x2", show_count, &shown), 0);
    EXPECT_EQ(shown, 0);
    // Cleared (a new window) or recoloured: drawn again in full.
    zepxmap_clear(&target, 0);
    f.forceFull = true;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "1x2", nullptr, nullptr), 2);
    sevenseg_recolour(&f, kDark + 1, kLit);
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "1x2", nullptr, nullptr), 2);
    sevenseg_recolour(&f, kDark, kLit);
    // Two blinking colons between unchanged digits: a copy each, not the
    // stretch between them.
    sevenseg_draw_changed(&f, &target, 0, 0, "12:34:56", nullptr, nullptr);
    f.colonOn = !f.colonOn;
    shown = 0;
    EXPECT_EQ(sevenseg_draw_changed(&f, &target, 0, 0, "12:34:56", show_count, &shown), 2);
    EXPECT_EQ(shown, 2);
    // Black glyph pixels leave the background; the '2' follows the '1' directly.
    zepxmap_clear(&target, 0x0000ff);
    sevenseg_draw_into_pixmap(&f, &target, 0, 0, "%dx%d", 1, 2);
    EXPECT_EQ(zepxmap_getpixel(&target, 0, 5), 0x0000ff);
    EXPECT_EQ(zepxmap_getpixel(&target, 12 + 1, 5), (int)kDark);
    EXPECT_EQ(zepxmap_getpixel(&target, 12 + 2 + 2 % 3, 2), (int)kLit);
    zepxmap_release(&target);
    sevenseg_free(&f);
    remove(path.c_str());
}

TEST(SevenSeg, ColonBlinksEveryFiftyUpdatesAndDeferredDrawWaits) {
    std::string path = make_set(10, 12, 1, 3);
    ASSERT_TRUE(sevenseg_load_set(&g_timerFont, path.c_str()));
    strcpy(g_format.formatString, "##:##");
    strcpy(g_format.digitText, "1234");
    g_settings.colonBlink = true;
    sevenseg_display_update();  // the first update draws (forced at start)
    EXPECT_TRUE(g_timerFont.pending);
    EXPECT_STREQ(g_timerFont.pendingText, "12:34");
    bool before = g_timerFont.colonOn;
    int toggles = 0;
    for (int i = 0; i < 200; i++) {
        sevenseg_display_update();
        if (g_timerFont.colonOn != before) toggles++, before = g_timerFont.colonOn;
    }
    EXPECT_EQ(toggles, 4);
    // Ticks worked off ten at a time (a coalesced display): still every 50 ticks.
    toggles = 0;
    for (int i = 0; i < 20; i++) {
        sevenseg_display_update(10);
        if (g_timerFont.colonOn != before) toggles++, before = g_timerFont.colonOn;
    }
    EXPECT_EQ(toggles, 4);
    g_settings.colonBlink = false;
    for (int i = 0; i < 100; i++) sevenseg_display_update();
    EXPECT_TRUE(g_timerFont.colonOn);

    // No signal, no draw; busy, no draw and the text stays pending.
    uint32_t draws = sevenseg_draw_count();
    sevenseg_deferred_draw_callback();
    EXPECT_EQ(sevenseg_draw_count(), draws);
    sevenseg_set_busy(true);
    sevenseg_retrace_sampler();
    sevenseg_deferred_draw_callback();
    EXPECT_EQ(sevenseg_draw_count(), draws);
    EXPECT_TRUE(g_timerFont.pending);
    sevenseg_set_busy(false);
    sevenseg_retrace_sampler();
    sevenseg_retrace_sampler();
    sevenseg_deferred_draw_callback();
    sevenseg_deferred_draw_callback();  // two signals in one refresh: still one draw
    EXPECT_EQ(sevenseg_draw_count(), draws + 1);
    EXPECT_FALSE(g_timerFont.pending);
    sevenseg_free(&g_timerFont);
    remove(path.c_str());
}

TEST(SevenSeg, RetraceSignalRisesOncePerFrame) {
    RetraceState s;
    s.threshold = 500;
    s.lastLine = 0;
    int raised = 0;
    // Two frames of 1080 lines sampled every 100 lines: once at the threshold each.
    for (int frame = 0; frame < 2; frame++)
        for (int line = 0; line < 1080; line += 100) raised += sevenseg_retrace_step(&s, line);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(s.frames, 1u);
    // A threshold the beam never reaches: the signal rises at each frame start.
    s = RetraceState();
    s.threshold = 5000;
    raised = 0;
    for (int frame = 0; frame < 3; frame++)
        for (int line = 0; line < 1080; line += 100) raised += sevenseg_retrace_step(&s, line);
    EXPECT_EQ(raised, 2);
    EXPECT_FALSE(sevenseg_retrace_step(&s, -1));
    EXPECT_FALSE(sevenseg_retrace_step(&s, 200000));
}

// The shipped sets: every one loads, has exactly three colours and grows.
TEST(SevenSeg, ShippedSets) {
    const char *dir = getenv("ZE_PROGRAM_DIR");
    ASSERT_NE(dir, nullptr);
    int lastHeight = 0;
    for (int set = 1; set <= SEVENSEG_SETS; set++) {
        std::string file = std::string(dir) + "/" + sevenseg_set_file(set);
        zeGraphicOutput out;
        ASSERT_TRUE(zepxmapout_create(&out, ",load=%s,truecolor,nostdout", file.c_str())) << file;
        std::set<uint32_t> colours;
        for (int i = 0; i < out.pxmap.width * out.pxmap.height; i++)
            colours.insert(((uint32_t *)out.pxmap.pixels)[i]);
        EXPECT_EQ(colours.size(), 3u) << file;
        EXPECT_EQ(out.pxmap.width % 15, 0) << file;
        zepxmapout_release(&out);

        SevenSegmentFont f;
        f.deferred = false;
        ASSERT_TRUE(sevenseg_load_set(&f, file.c_str()));
        EXPECT_GT(f.charHeight, lastHeight);
        EXPECT_GT(f.narrowWidth, 1);
        EXPECT_LT(f.narrowWidth, f.charWidth / 2 + 2);
        EXPECT_LT(f.darkColour, f.litColour);
        lastHeight = f.charHeight;
        sevenseg_free(&f);
    }
}

// What every glyph of every shipped set draws, in three colourings and on
// both kinds of target the program draws on, is fixed: a change of how
// glyphs are stored must not move a pixel. The sums were taken from glyphs
// kept as full-colour copies (new artwork of the sets changes them).
TEST(SevenSeg, ShippedSetsDrawTheSamePixels) {
    const char *dir = getenv("ZE_PROGRAM_DIR");
    ASSERT_NE(dir, nullptr);
    static const uint32_t kSums[SEVENSEG_SETS] = {
        0x5da9cdb1, 0x5464f179, 0x02e81259, 0xb38b8859,
        0x976b91f1, 0x19367a71, 0x2d011f99, 0x629e8119,
        0xbb9e7c11, 0xe22c5311, 0x71660879, 0x78ae8059,
        0xef22ceb1, 0xb4780111, 0x08ef42d9, 0xac1c1c19};
    for (int set = 1; set <= SEVENSEG_SETS; set++) {
        std::string file = std::string(dir) + "/" + sevenseg_set_file(set);
        SevenSegmentFont f;
        f.deferred = false;
        ASSERT_TRUE(sevenseg_load_set(&f, file.c_str()));
        uint32_t sum = 2166136261u;
        const uint32_t colours[][2] = {{0, 0}, {0x330000, 0xff0000}, {0xff0000, 0x330000}, {0x7ffe00, 0x80ff00}};
        for (const auto &c : colours) {
            if (c[0]) sevenseg_recolour(&f, c[0], c[1]);
            uint32_t sums[2] = {0, 0};
            for (int format : {ZEPX_TRUECOLOR, ZEPX_SERVER}) {
                zePixmap p;
                int w = sevenseg_text_width(&f, "0123456789AP-:. :") + 4;
                ASSERT_TRUE(zepxmap_create(&p, w, f.charHeight + 4, format));
                zepxmap_clear(&p, 0x123456);
                f.colonOn = true;
                sevenseg_draw_into_pixmap(&f, &p, 2, 2, "0123456789AP-:. ");
                f.colonOn = false;
                sevenseg_draw_into_pixmap(&f, &p, 2 + w - 4 - sevenseg_advance(&f, ':'), 2, ":");
                uint32_t local = 2166136261u;
                for (int y = 0; y < p.height; y++)
                    for (int x = 0; x < p.width; x++) local = (local ^ (uint32_t)zepxmap_getpixel(&p, x, y)) * 16777619u;
                sums[format == ZEPX_SERVER] = local;
                zepxmap_release(&p);
            }
            EXPECT_EQ(sums[0], sums[1]) << file << " colours " << std::hex << c[0];
            sum = (sum ^ sums[0]) * 16777619u;
        }
        EXPECT_EQ(sum, kSums[set - 1]) << file << std::hex << " sum " << sum;
        sevenseg_free(&f);
    }
}

namespace {
struct Shown {
    std::vector<std::array<int, 4>> rects;
};
void remember_rect(void *ctx, int x, int y, int w, int h) { ((Shown *)ctx)->rects.push_back({x, y, w, h}); }
}  // namespace

// Changed characters are drawn as the pixels that differ from the glyph shown
// before: the window must end up exactly as drawing each changed character's
// whole glyph leaves it, and every pixel that changed must lie in a
// rectangle sent to the screen.
TEST(SevenSeg, ChangedPixelsOnlyGiveTheSamePicture) {
    const char *dir = getenv("ZE_PROGRAM_DIR");
    ASSERT_NE(dir, nullptr);
    SevenSegmentFont f;
    f.deferred = false;
    ASSERT_TRUE(sevenseg_load_set(&f, (std::string(dir) + "/" + sevenseg_set_file(3)).c_str()));
    sevenseg_recolour(&f, 0x330000, 0xff0000);
    srand(7);
    for (int format : {ZEPX_SERVER, ZEPX_TRUECOLOR}) {
        SevenSegmentFont whole = f;  // the same glyphs, its own draw state
        int w = sevenseg_text_width(&f, "-00:00:00.00") + 10, h = f.charHeight + 6;
        zePixmap shown, ref;
        std::vector<int> before((size_t)w * h);
        ASSERT_TRUE(zepxmap_create(&shown, w, h, format));
        ASSERT_TRUE(zepxmap_create(&ref, w, h, format));
        zepxmap_clear(&shown, 0x102030);
        zepxmap_clear(&ref, 0x102030);
        f.forceFull = whole.forceFull = true;
        long area = 0, wholeArea = 0;
        for (int step = 0; step < 300; step++) {
            char text[32];
            // Mostly the last digits move, at times all of them, a sign
            // that shifts the rest, and the colons' state.
            int v = step % 40 == 0 ? rand() : step * 37 + rand() % 3;
            snprintf(text, sizeof text, "%s%02d:%02d:%02d.%02d", rand() % 9 ? "" : "-", v / 360000 % 100,
                     v / 6000 % 60, v / 100 % 60, v % 100);
            if (rand() % 4 == 0) f.colonOn = !f.colonOn;
            whole.colonOn = f.colonOn;
            for (int i = 0; i < w * h; i++) before[i] = zepxmap_getpixel(&shown, i % w, i / w);
            Shown sent;
            sevenseg_draw_changed(&f, &shown, 3, 2, text, remember_rect, &sent);
            whole.lastSurface = nullptr;  // never the same spot: whole glyphs
            Shown wholeSent;
            sevenseg_draw_changed(&whole, &ref, 3, 2, text, remember_rect, &wholeSent);
            for (auto &r : sent.rects) area += r[2] * r[3];
            for (auto &r : wholeSent.rects) wholeArea += r[2] * r[3];
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    int now = zepxmap_getpixel(&shown, x, y);
                    ASSERT_EQ(now, zepxmap_getpixel(&ref, x, y)) << text << " at " << x << "," << y << " step " << step;
                    if (now == before[(size_t)y * w + x]) continue;
                    bool covered = false;
                    for (auto &r : sent.rects)
                        covered |= x >= r[0] && x < r[0] + r[2] && y >= r[1] && y < r[1] + r[3];
                    ASSERT_TRUE(covered) << text << " at " << x << "," << y << " changed but not sent";
                }
        }
        EXPECT_LT(area, wholeArea * 9 / 10);
        // A blinking colon sends its dots, not its cell.
        f.colonOn = !f.colonOn;
        Shown sent;
        sevenseg_draw_changed(&f, &shown, 3, 2, f.lastText, remember_rect, &sent);
        ASSERT_EQ(sent.rects.size(), 2u);  // two colons
        for (auto &r : sent.rects) EXPECT_LT(r[2] * r[3], f.narrowWidth * f.charHeight / 2);
        zepxmap_release(&shown);
        zepxmap_release(&ref);
    }
    sevenseg_free(&f);
}
