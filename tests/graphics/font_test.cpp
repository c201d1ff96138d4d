// Font table, builtin fonts and sets, names, metrics and text drawing.
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zedl.h"
#include "zefont.h"
#include "zegout.h"
#include "zeimage.h"
#include "zepxmap.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { zefont_init(); }
};

int ink(int font, int ch) {
    zeGlyph g;
    if (!zefont_glyph(font, ch, &g)) return 0;
    int n = 0;
    for (int i = 0; i < g.width * g.height; i++) n += g.pixels[i];
    return n;
}

int text_ink(int font, const char *text) {
    int n = 0;
    for (const char *p = text; *p; p++) n += ink(font, (unsigned char)*p);
    return n;
}

std::vector<uint8_t> glyph_bytes(int font, int ch) {
    zeGlyph g;
    if (!zefont_glyph(font, ch, &g)) return {};
    std::vector<uint8_t> v(g.pixels, g.pixels + g.width * g.height);
    v.push_back((uint8_t)g.width);
    return v;
}

struct Canvas {
    zePixmap p;
    Canvas(int w, int h, int bg = 0xFFFFFF, int format = ZEPX_TRUECOLOR) {
        zepxmap_create(&p, w, h, format);
        zepxmap_clear(&p, bg);
    }
    ~Canvas() { zepxmap_release(&p); }
    int at(int x, int y) const { return zepxmap_getpixel(&p, x, y); }
    bool same(const Canvas &o) const {
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++)
                if (at(x, y) != o.at(x, y)) return false;
        return true;
    }
};

std::string output_dir() {
    const char *b = getenv("ZE_BUILD_DIR");
    std::string dir = std::string(b ? b : ".") + "/test-output";
    mkdir(dir.c_str(), 0755);
    dir += "/fonts";
    mkdir(dir.c_str(), 0755);
    return dir;
}

// One line per font: the printable characters, black on white.
void sample_page(const std::vector<int> &fonts, const std::string &file) {
    std::string ascii, upper;
    for (int c = 32; c < 127; c++) ascii += (char)c;
    for (int c = 128; c < 256; c++) upper += (char)c;
    int w = 0, h = 8;
    for (int f : fonts) {
        w = std::max({w, zefont_text_width(f, ascii.c_str()), zefont_text_width(f, upper.c_str())});
        h += 2 * zefont_height(f) + 4;
    }
    Canvas c(w + 8, h);
    int y = 4;
    for (int f : fonts) {
        zefont_draw_text(&c.p, f, 4, y, 0, false, false, -1, 0, -1, ascii.c_str());
        y += zefont_height(f);
        zefont_draw_text(&c.p, f, 4, y, 0, false, false, -1, 0, -1, upper.c_str());
        y += zefont_height(f) + 4;
    }
    ASSERT_TRUE(zepxmap_savetofile_png(&c.p, file.c_str())) << file;
}

}  // namespace

TEST_F(Fonts, BuiltinFontsHaveTheirMetrics) {
    struct {
        const char *reg, *shortname;
        int cw, h, asc, desc, chars, weight;
    } want[] = {
        {"builtin 12x24", "12x24", 12, 24, 22, 2, 223, 1}, {"builtin 5x7", "5x7", 5, 7, 6, 1, 224, 1},
        {"builtin 6x13 bold", "6x13b", 6, 13, 11, 2, 224, 2}, {"builtin 6x13", "6x13", 6, 13, 11, 2, 224, 1},
        {"builtin 6x8", "6x8", 6, 8, 7, 1, 224, 1}, {"builtin 8x16 bold", "8x16b", 8, 16, 14, 2, 223, 2},
        {"builtin 8x16", "8x16", 8, 16, 14, 2, 223, 1}, {"builtin 8x8", "8x8", 8, 8, 7, 1, 224, 1},
        {"builtin 9x15 bold", "9x15b", 9, 15, 12, 3, 224, 2}, {"builtin 9x15", "9x15", 9, 15, 12, 3, 224, 1},
    };
    EXPECT_EQ(zefont_load_builtins(), 11);
    for (auto &w : want) {
        SCOPED_TRACE(w.reg);
        int id = zefont_find(w.reg);
        ASSERT_GT(id, 999999);
        const zeFont *f = zefont_get(id);
        EXPECT_STREQ(f->shortname, w.shortname);
        EXPECT_EQ(f->spacing, ZEFONT_MONOSPACE);
        EXPECT_EQ(f->cellwidth, w.cw);
        EXPECT_EQ(f->height, w.h);
        EXPECT_EQ(f->ascent, w.asc);
        EXPECT_EQ(f->descent, w.desc);
        EXPECT_EQ(f->described, w.chars);
        EXPECT_EQ(f->weight, w.weight);
        EXPECT_EQ(zefont_char_width(id, 'W'), w.cw);
        zeGlyph g;
        EXPECT_FALSE(zefont_glyph(id, 255, &g));
    }
    const zeFont *v = zefont_get(zefont_find("builtin variable 13"));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->spacing, ZEFONT_PROPORTIONAL);
    EXPECT_EQ(v->height, 13);
    EXPECT_EQ(v->ascent, 11);
    EXPECT_EQ(v->descent, 2);
    for (int c = 33; c < 127; c++) {
        EXPECT_GE(v->widths[c - 32], 2) << (char)c;
        EXPECT_LE(v->widths[c - 32], 12) << (char)c;
    }
    // Loading again gives the same fonts, not new records.
    int size = zefont_table_size();
    EXPECT_EQ(zefont_load_builtins(), 11);
    EXPECT_EQ(zefont_table_size(), size);
}

TEST_F(Fonts, EverySetFaceLoads) {
    int arial = 0, crnew = 0;
    for (const char *const *n = zefont_set_names(); *n; n++) {
        SCOPED_TRACE(*n);
        int id = zefont_load_set(*n);
        ASSERT_GT(id, 999999);
        const zeFont *f = zefont_get(id);
        EXPECT_STREQ(f->name, *n);
        EXPECT_EQ(f->height, f->ascent + f->descent);
        bool bold = (*n)[strlen(*n) - 1] == 'b';
        EXPECT_EQ(f->weight, bold ? 2 : 1);
        EXPECT_GT(ink(id, 'A'), 0);
        bool is_arial = strncmp(*n, "Arial", 5) == 0;
        (is_arial ? arial : crnew)++;
        EXPECT_EQ(f->spacing, is_arial ? ZEFONT_PROPORTIONAL : ZEFONT_MONOSPACE);
    }
    EXPECT_EQ(arial, 27);
    EXPECT_EQ(crnew, 26);
    struct {
        const char *name;
        int cw, h, asc, desc;
    } want[] = {
        {"Arial14", 0, 14, 11, 3}, {"Arial24", 0, 24, 19, 5}, {"Arial48", 0, 47, 38, 9},
        {"crnew10", 5, 8, 6, 2},   {"crnew14", 7, 14, 11, 3}, {"crnew72", 44, 71, 53, 18},
    };
    for (auto &w : want) {
        const zeFont *f = zefont_get(zefont_find_short(w.name));
        ASSERT_NE(f, nullptr) << w.name;
        if (w.cw) {
            EXPECT_EQ(f->cellwidth, w.cw) << w.name;
        }
        EXPECT_EQ(f->height, w.h) << w.name;
        EXPECT_EQ(f->ascent, w.asc) << w.name;
        EXPECT_EQ(f->descent, w.desc) << w.name;
    }
    // Short names are found without regard to case, and loading twice is one font.
    EXPECT_EQ(zefont_load_set("arial16"), zefont_find("Arial16"));
    EXPECT_EQ(zefont_load_set("nosuchface"), -1);
}

TEST_F(Fonts, GlyphsAreLegible) {
    std::vector<int> fonts;
    for (const char *const *n = zefont_builtin_names(); *n; n++) fonts.push_back(zefont_find(*n));
    for (const char *const *n = zefont_set_names(); *n; n++) fonts.push_back(zefont_load_set(*n));
    for (int f : fonts) {
        const zeFont *rec = zefont_get(f);
        SCOPED_TRACE(rec->name);
        std::set<std::vector<uint8_t>> seen;
        for (int c = 33; c < 127; c++) {
            EXPECT_GT(ink(f, c), 0) << "no ink in " << (char)c;
            if (c != 'l') seen.insert(glyph_bytes(f, c));   // "I" and "l" may be the same bar in sans faces
        }
        EXPECT_EQ(seen.size(), 93u) << "two characters share a glyph";
        for (int c = 128; c <= 138; c++) EXPECT_GT(ink(f, c), 0) << "line glyph " << c;
        for (int c = 161; c < 32 + rec->described && c < 255; c++)
            EXPECT_TRUE(c == 173 || ink(f, c) > 0) << "no ink in " << c;
        EXPECT_EQ(ink(f, ' '), 0);
    }
    const char *pairs[][2] = {{"6x13", "6x13b"}, {"8x16", "8x16b"}, {"9x15", "9x15b"},
                              {"Arial16", "Arial16b"}, {"crnew16", "crnew16b"}, {"crnew10", "crnew10b"}};
    for (auto &p : pairs) {
        int regular = zefont_find_short(p[0]), bold = zefont_find_short(p[1]);
        EXPECT_GT(text_ink(bold, "Hello World"), text_ink(regular, "Hello World")) << p[1];
    }
}

TEST_F(Fonts, SamplePages) {
    std::string dir = output_dir();
    std::vector<int> builtins, arial, crnew;
    for (const char *const *n = zefont_builtin_names(); *n; n++) builtins.push_back(zefont_find(*n));
    for (const char *const *n = zefont_set_names(); *n; n++)
        (strncmp(*n, "Arial", 5) == 0 ? arial : crnew).push_back(zefont_load_set(*n));
    sample_page(builtins, dir + "/builtin.png");
    sample_page(arial, dir + "/arial.png");
    sample_page(crnew, dir + "/crnew.png");
    int sys[] = {zefont_load_system("Arial,points=12"), zefont_load_system("Arial,points=12,bold"),
                 zefont_load_system("Courier New,points=14,italic"), zefont_load_system("Arial,points=16,underlined")};
    sample_page(std::vector<int>(sys, sys + 4), dir + "/system.png");
}

TEST_F(Fonts, ArgumentsAndNames) {
    EXPECT_EQ(zefont_text_width(-1, "hello"), 30);
    EXPECT_EQ(zefont_height(-1), 13);
    EXPECT_EQ(zefont_text_width(-3, "hello"), 30);
    EXPECT_EQ(zefont_text_width(-1, "he\tl\nlo"), 30) << "codes below 32 count nothing";
    int id = zefont_find("builtin 6x13");
    int index = zefont_resolve(id);
    EXPECT_EQ(zefont_resolve(index), index);
    EXPECT_EQ(zefont_get(index)->id, id);
    EXPECT_EQ(zefont_text_width(999999, "hello"), 0);
    EXPECT_EQ(zefont_text_width(5000000, "hello"), 0);
    EXPECT_EQ(zefont_height(-7), 0);

    EXPECT_EQ(zefont_from_name("6x13bold"), zefont_find("builtin 6x13 bold"));
    EXPECT_EQ(zefont_from_name("6x13B"), zefont_find("builtin 6x13 bold"));
    EXPECT_EQ(zefont_from_name("13variable"), zefont_find("builtin variable 13"));
    EXPECT_EQ(zefont_from_name("crnew72b"), zefont_find("crnew72b"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(zefont_from_name("nosuchfont"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "font not loaded/found: nosuchfont\n");

    // Option strings reach the table through the resolver.
    char buf[ZECFGSTR_SPLITBUF];
    int fontid = 17;
    char **e = zecfgstr_parse(buf, "label,font=9x15bold");
    EXPECT_TRUE(zecfgstr_font(e, 1, &fontid));
    EXPECT_EQ(fontid, zefont_find("builtin 9x15 bold"));
    e = zecfgstr_parse(buf, "label,font=Arial12b");
    EXPECT_TRUE(zecfgstr_font(e, 1, &fontid));
    EXPECT_EQ(fontid, zefont_find("Arial12b"));
    testing::internal::CaptureStdout();
    e = zecfgstr_parse(buf, "label,font=nosuchfont");
    zecfgstr_font(e, 1, &fontid);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fontid, zefont_find("Arial12b")) << "an unknown font keeps the previous one";
    EXPECT_NE(out.find("font not loaded/found: nosuchfont"), std::string::npos);
}

TEST_F(Fonts, VariableFontLoadsOnFirstUse) {
    zefont_cleanup();
    EXPECT_EQ(zefont_table_size(), 0);
    EXPECT_GT(zefont_text_width(-2, "hello"), 0);
    EXPECT_GE(zefont_find("builtin variable 13"), 0);
    EXPECT_EQ(zefont_find("builtin 6x13"), -1) << "only the font asked for is loaded";
    EXPECT_EQ(zefont_height(-1), 13);
}

TEST_F(Fonts, ReleasedRecordsAreReused) {
    int id = zefont_load_set("crnew20");
    int size = zefont_table_size();
    zefont_release(id);
    EXPECT_EQ(zefont_get(id), nullptr);
    EXPECT_EQ(zefont_text_width(id, "abc"), 0);
    int again = zefont_load_set("crnew20");
    EXPECT_NE(again, id) << "a new id";
    EXPECT_EQ(zefont_table_size(), size) << "the free record was taken";
}

TEST_F(Fonts, Descriptions) {
    const char *tiny[] = {"header:", "name=tiny", "proportional", "xsize=3", "ysize=2", "colors=2", "chars=3",
                          "ascent=2", "descent=0", "weight=2", "foundry=test", "propxs=1 2 3",
                          "propdataoffset=0 2 6", "data:", ".", "*", "**", "*.", "*.*", ".*.", nullptr};
    int id = zefont_load(tiny, -1, "test tiny");
    ASSERT_GT(id, 999999);
    EXPECT_EQ(zefont_load(tiny, -1, "test tiny"), id) << "same registered name, same font";
    EXPECT_EQ(zefont_find_short("TINY"), id);
    const zeFont *f = zefont_get(id);
    EXPECT_EQ(f->spacing, ZEFONT_PROPORTIONAL);
    EXPECT_EQ(f->weight, 2);
    EXPECT_STREQ(f->foundry, "test");
    EXPECT_EQ(zefont_text_width(id, " !\"#"), 6) << "code 35 is not described";
    zeGlyph g;
    ASSERT_TRUE(zefont_glyph(id, '"', &g));
    EXPECT_EQ(std::vector<uint8_t>(g.pixels, g.pixels + 6), (std::vector<uint8_t>{1, 0, 1, 0, 1, 0}));
    ASSERT_TRUE(zefont_glyph(id, '!', &g));
    EXPECT_EQ(std::vector<uint8_t>(g.pixels, g.pixels + 4), (std::vector<uint8_t>{1, 1, 1, 0}));
    EXPECT_FALSE(zefont_glyph(id, '#', &g));
    EXPECT_FALSE(zefont_glyph(id, 31, &g));

    // Malformed descriptions are refused without touching the table.
    int size = zefont_table_size();
    testing::internal::CaptureStdout();
    const char *nodata[] = {"header:", "name=x", "ysize=2", "chars=1", "propxs=1", nullptr};
    EXPECT_EQ(zefont_load(nodata, -1, nullptr), -1);
    const char *shortrows[] = {"header:", "name=x", "ysize=2", "chars=2", "propxs=1 1", "data:", "*", "*", "*",
                               nullptr};
    EXPECT_EQ(zefont_load(shortrows, -1, nullptr), -1);
    const char *huge[] = {"header:", "name=x", "ysize=2000", "chars=224", "propxs=2000", "data:", nullptr};
    EXPECT_EQ(zefont_load(huge, -1, nullptr), -1);
    const char *negative[] = {"header:", "name=x", "ysize=-5", "chars=1", "propxs=1", "data:", "*", nullptr};
    EXPECT_EQ(zefont_load(negative, -1, nullptr), -1);
    // numbers beyond the int range do not wrap round to small ones (2^32 + 2 is not 2)
    const char *wrapped[] = {"header:", "name=x", "ysize=4294967298", "chars=1", "propxs=1", "data:", "*", "*",
                             nullptr};
    EXPECT_EQ(zefont_load(wrapped, -1, nullptr), -1);
    const char *widewrap[] = {"header:", "name=x", "ysize=1", "chars=1", "propxs=4294967297", "data:", "*", nullptr};
    EXPECT_EQ(zefont_load(widewrap, -1, nullptr), -1);
    // Offsets pointing outside the glyph data are replaced by the real ones.
    const char *badoffsets[] = {"header:", "name=badoff", "ysize=1", "chars=2", "propxs=1 1",
                                "propdataoffset=0 999999", "data:", "*", "*", nullptr};
    int bad = zefont_load(badoffsets, -1, nullptr);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(zefont_table_size(), size + 1);
    EXPECT_EQ(ink(bad, '!'), 1);
}

TEST_F(Fonts, MaximumWidthEndsWithEllipsis) {
    const char *text = "abcdefghijklmnopq";   // 17 characters, 102 pixels
    Canvas cut(120, 20), whole(120, 20);
    int end = zefont_draw_text(&cut.p, -1, 0, 0, 0, false, false, -1, 60, -1, text);
    EXPECT_EQ(end, 54) << "6 characters, then three dots";
    zefont_draw_text(&whole.p, -1, 0, 0, 0, false, false, -1, 0, -1, "abcdef...");
    EXPECT_TRUE(cut.same(whole));
    // A text that fits is drawn as it is.
    EXPECT_EQ(zefont_draw_text(&cut.p, -1, 0, 0, 0, false, false, -1, 60, -1, "abcdefghij"), 60);
}

TEST_F(Fonts, CharacterStyles) {
    int font = -1;
    zeGlyph g;
    ASSERT_TRUE(zefont_glyph(font, 'A', &g));
    // Greyed: light copy one pixel right and down behind the dark glyph.
    Canvas grey(20, 20);
    zefont_draw_char(&grey.p, font, 2, 2, 0, true, false, -1, 'A', 0xFFFF00, 0x404040);
    for (int y = 0; y < g.height; y++)
        for (int x = 0; x < g.width; x++) {
            bool set = g.pixels[y * g.width + x];
            bool shadow = x > 0 && y > 0 && g.pixels[(y - 1) * g.width + x - 1];
            int want = set ? 0x404040 : shadow ? 0xFFFF00 : 0xFFFFFF;
            EXPECT_EQ(grey.at(2 + x, 2 + y), want) << x << "," << y;
        }
    // Background fills the whole cell; underline runs along the bottom row.
    Canvas bg(20, 20);
    zefont_draw_char(&bg.p, font, 0, 0, 0x000000, false, true, 0x00FF00, 'A');
    for (int y = 0; y < g.height - 1; y++)
        for (int x = 0; x < g.width; x++)
            EXPECT_EQ(bg.at(x, y), g.pixels[y * g.width + x] ? 0x000000 : 0x00FF00);
    for (int x = 0; x < g.width; x++) EXPECT_EQ(bg.at(x, g.height - 1), 0x000000);
    EXPECT_EQ(bg.at(g.width, 0), 0xFFFFFF);
    // The outline colour marks clear pixels beside ink, inside the cell.
    zefont_set_outline(0xFF0000);
    Canvas outline(20, 20);
    zefont_draw_char(&outline.p, font, 0, 0, 0x000000, false, false, -1, 'O');
    zefont_set_outline(-1);
    int red = 0;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) red += outline.at(x, y) == 0xFF0000;
    EXPECT_GT(red, 0);
    EXPECT_EQ(outline.at(0, 0), 0xFFFFFF);
    // Underline index: only that character.
    Canvas ul(40, 20);
    zefont_draw_text(&ul.p, font, 0, 0, 0, false, false, -1, 0, 1, "  ");
    EXPECT_EQ(ul.at(0, g.height - 1), 0xFFFFFF);
    EXPECT_EQ(ul.at(6, g.height - 1), 0x000000);
    // Palette pixmaps take the colour as an index; drawing off the edges is clipped.
    Canvas pal(10, 10, 0, ZEPX_PALETTE8);
    zefont_draw_text(&pal.p, font, -3, -3, 9, false, false, -1, 0, -1, "MM");
    int set = 0;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++) set += pal.at(x, y) == 9;
    EXPECT_GT(set, 0);
}

TEST_F(Fonts, WrappedText) {
    int font = -1;   // 6 x 13
    // "aaa well-" fills 54 of 60 pixels; "known" goes to the next line.
    Canvas wrapped(60, 40), expect(60, 40);
    EXPECT_EQ(zefont_draw_wrapped(&wrapped.p, font, 0, 0, 60, 40, 0, "aaa well-known", false), 26);
    zefont_draw_text(&expect.p, font, 0, 0, 0, false, false, -1, 0, -1, "aaa well-\nknown");
    EXPECT_TRUE(wrapped.same(expect));
    // Without the hyphen the whole word moves.
    Canvas whole(60, 40), expect2(60, 40);
    zefont_draw_wrapped(&whole.p, font, 0, 0, 60, 40, 0, "aaa wellknown", false);
    zefont_draw_text(&expect2.p, font, 0, 0, 0, false, false, -1, 0, -1, "aaa\nwellknown");
    EXPECT_TRUE(whole.same(expect2));
    // Tabs are four blanks, carriage returns vanish, newlines start a line.
    Canvas tab(60, 40), expect3(60, 40);
    EXPECT_EQ(zefont_draw_wrapped(&tab.p, font, 0, 0, 60, 40, 0, "\tab\r\ncd", false), 26);
    zefont_draw_text(&expect3.p, font, 0, 0, 0, false, false, -1, 0, -1, "    ab\ncd");
    EXPECT_TRUE(tab.same(expect3));
    // A word longer than the line breaks where the line is full.
    EXPECT_EQ(zefont_draw_wrapped(nullptr, font, 0, 0, 30, 0, 0, "abcdefghijkl", true), 39);
    // Measuring draws nothing; drawing stops below the box.
    Canvas blank(60, 40), clipped(60, 40);
    EXPECT_EQ(zefont_draw_wrapped(&blank.p, font, 0, 0, 60, 40, 0, "a b c d e f g h i j k l", true), 39);
    EXPECT_TRUE(blank.same(Canvas(60, 40)));
    zefont_draw_wrapped(&clipped.p, font, 0, 0, 60, 13, 0, "aaaaaaaaaa bbbb", false);
    for (int x = 0; x < 60; x++) EXPECT_EQ(clipped.at(x, 20), 0xFFFFFF);
}

// Positions at the ends of the int range, every byte value and odd widths:
// nothing is written outside the pixmap and the calls end.
TEST_F(Fonts, ExtremePositionsBytesAndWidths) {
    const int lo = INT_MIN, hi = INT_MAX;
    std::string all;
    for (int c = 1; c < 256; c++) all += (char)c;
    Canvas c(30, 20);
    for (int font : {-1, -2, zefont_load_set("Arial24")})
        for (int x : {lo, lo + 3, -7, 3, hi - 3, hi})
            for (int y : {lo, -5, 4, hi - 1, hi}) {
                zefont_draw_text(&c.p, font, x, y, 0, false, true, 0x00FF00, 0, 2, all.c_str());
                zefont_draw_text(&c.p, font, x, y, 0, true, false, 0x00FF00, 40, -1, all.c_str());
                zefont_draw_char(&c.p, font, x, y, 0, true, true, 0xFF, 'W');
                zefont_draw_wrapped(&c.p, font, x, y, 25, 30, 0, all.c_str(), false);
            }
    // Pen positions past the int range end there instead of wrapping round.
    EXPECT_EQ(zefont_draw_text(&c.p, -1, hi - 3, 0, 0, false, false, -1, 0, -1, "abc"), hi);
    EXPECT_EQ(zefont_draw_text(&c.p, -1, lo, 0, 0, false, false, -1, 0, -1, "abc"), lo + 18);
    // No width limit at 0 or below; the text is drawn whole.
    Canvas whole(80, 15), zero(80, 15), negative(80, 15);
    zefont_draw_text(&whole.p, -1, 0, 0, 0, false, false, -1, 0, -1, "abcdefghij");
    EXPECT_EQ(zefont_draw_text(&negative.p, -1, 0, 0, 0, false, false, -1, -20, -1, "abcdefghij"), 60);
    EXPECT_TRUE(whole.same(negative));
    // A limit narrower than "... " keeps only the dots.
    EXPECT_EQ(zefont_draw_text(&zero.p, -1, 0, 0, 0, false, false, -1, 1, -1, "abcdefghij"), 18);
    // Control characters below 32 take no room; high-bit characters have glyphs.
    EXPECT_EQ(zefont_text_width(-1, "\x01\x02\x1f"), 0);
    EXPECT_EQ(zefont_text_width(-1, "\xe4\xff"), 12);
    // Wrapping into no width or a negative box: every character gets a line.
    EXPECT_EQ(zefont_draw_wrapped(nullptr, -1, 0, 0, 0, 0, 0, "abc", true), 3 * 13 + 13);
    EXPECT_EQ(zefont_draw_wrapped(&c.p, -1, 0, 0, -50, -50, 0, "ab cd", false), 5 * 13 + 13);
    // The height used does not depend on where the box is.
    int used = zefont_draw_wrapped(nullptr, -1, 0, 0, 30, 40, 0, "a b c d e f g h", true);
    EXPECT_EQ(zefont_draw_wrapped(&c.p, -1, 0, hi - 20, 30, 40, 0, "a b c d e f g h", false), used);
    EXPECT_EQ(zefont_draw_wrapped(&c.p, -1, hi - 5, lo, 30, 40, 0, "a b c d e f g h", false), used);
}

TEST_F(Fonts, PixmapOutputDrawsThroughTheFontModule) {
    zeGraphicOutput out;
    ASSERT_TRUE(zepxmapout_create(&out, "pic,xs=100,ys=30,truecolor,bgcolor=ffffff"));
    EXPECT_EQ(zegraphic_textwidth("hello"), 30);
    EXPECT_EQ(zegraphic_fontheight(), 13);
    zegraphic_setfont(zefont_load_set("Arial24"));
    EXPECT_EQ(zegraphic_fontheight(), 24);
    zegraphic_text(2, 2, 0x000000, "Hi");
    int black = 0;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 100; x++) black += zepxmap_getpixel(&out.pxmap, x, y) == 0;
    EXPECT_EQ(black, text_ink(zefont_find("Arial24"), "Hi"));
    zepxmapout_release(&out);
}

// Without fontconfig or FreeType a system font is not found and text keeps
// the builtin font it had; the next request after they are back succeeds.
TEST_F(Fonts, SystemFontsWithoutTheirLibrariesFallBackToBuiltin) {
    zeGraphicOutput out;
    ASSERT_TRUE(zepxmapout_create(&out, "pic,xs=100,ys=30,truecolor,bgcolor=ffffff"));
    int points = 31;
    for (const char *lib : {"libfontconfig", "libfreetype"}) {
        zedl_forbid(lib);
        testing::internal::CaptureStdout();
        EXPECT_EQ(-1, zefont_load_system("Liberation Serif,points=%d", points)) << lib;
        EXPECT_EQ(-1, zegraphic_setfont_system("Liberation Serif,points=40"));
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_NE(std::string::npos, said.find(std::string("zefont_load_system: ") + lib + " not available")) << said;
        EXPECT_EQ(zegraphic_fontheight(), 13) << "the builtin font stays";
        EXPECT_EQ(zegraphic_textwidth("hello"), 30);
        zedl_forbid(nullptr);
        EXPECT_GT(zefont_load_system("Liberation Serif,points=%d", points++), 999999) << lib << " back";
    }
    zepxmapout_release(&out);
}

// Options that ask for impossible sizes: the glyph data stay inside their
// buffer (a negative "xsextra=" made it narrower than the glyphs) and sizes
// beyond the int range are capped instead of overflowing.
TEST_F(Fonts, SystemFontsWithOddOptions) {
    testing::internal::CaptureStdout();
    int narrow = zefont_load_system("Arial,points=12,xsextra=-1000");
    int plain = zefont_load_system("Arial,points=12");
    EXPECT_GT(narrow, 999999);
    EXPECT_EQ(zefont_text_width(narrow, "Hello"), zefont_text_width(plain, "Hello"));
    int wide = zefont_load_system("Arial,points=12,xsextra=2000000000");
    EXPECT_GT(wide, 999999);
    int unknown = zefont_load_system("No Such Face At All,points=12");
    if (unknown >= 0) {
        EXPECT_GT(text_ink(unknown, "abc"), 0) << "the fallback face draws";
    }
    int negative = zefont_load_system("Arial,xs=-4,points=-9,ys=-5");
    EXPECT_GT(negative, 999999);
    int huge = zefont_load_system("Arial,points=2000000000");
    EXPECT_GT(zefont_height(huge), 500);
    EXPECT_LT(zefont_height(huge), 1500);
    testing::internal::GetCapturedStdout();
    // The system font tests find "Arial" by its face name: leave none behind.
    for (int id : {narrow, plain, wide, unknown, negative, huge})
        if (id > 999999) zefont_release(id);   // -1 would name the default font
}

TEST_F(Fonts, SystemFonts) {
    int regular = zefont_load_system("Arial,points=12");
    ASSERT_GT(regular, 999999);
    const zeFont *f = zefont_get(regular);
    EXPECT_STREQ(f->name, "system font Arial 12");
    EXPECT_STREQ(f->shortname, "Arial");
    EXPECT_STREQ(f->foundry, "Liberation Sans") << "the metric-compatible face";
    EXPECT_EQ(f->height, f->ascent + f->descent);
    EXPECT_EQ(f->height, 19);   // 16 pixels at 96 dpi
    EXPECT_EQ(f->spacing, ZEFONT_PROPORTIONAL);
    EXPECT_EQ(f->cellwidth, zefont_char_width(regular, 'x'));
    EXPECT_EQ(zefont_load_system("Arial,points=%d", 12), regular) << "the same request is the same font";
    EXPECT_EQ(zefont_find_short("arial"), regular) << "found by its face name";
    for (int c = 33; c < 127; c++) EXPECT_GT(ink(regular, c), 0) << (char)c;
    // A code the face has no character for takes the glyph of "@".
    EXPECT_EQ(zefont_char_width(regular, 127), zefont_char_width(regular, '@'));
    EXPECT_EQ(glyph_bytes(regular, 127), glyph_bytes(regular, '@'));

    int bold = zefont_load_system("Arial,points=12,bold");
    EXPECT_NE(bold, regular);
    EXPECT_EQ(zefont_get(bold)->weight, 2);
    EXPECT_GT(text_ink(bold, "Hello World"), text_ink(regular, "Hello World"));
    int big = zefont_load_system("Arial,points=24");
    EXPECT_GT(zefont_height(big), zefont_height(regular));
    int under = zefont_load_system("Arial,points=12,underlined");
    EXPECT_GT(ink(under, ' '), 0) << "the underline runs under blanks too";
    int tall = zefont_load_system("Arial,ys=30");
    EXPECT_NEAR(zefont_height(tall), 30, 1);
    int wide = zefont_load_system("Arial,points=12,xsextra=5");
    EXPECT_GT(wide, 0);
    int mono = zefont_load_system("Courier New,points=12");
    EXPECT_EQ(zefont_get(mono)->spacing, ZEFONT_MONOSPACE);
    zefont_set_reload_system(true);
    int again = zefont_load_system("Arial,points=12");
    zefont_set_reload_system(false);
    EXPECT_NE(again, regular);
    testing::internal::CaptureStdout();
    EXPECT_EQ(zefont_load_system(" ,points=12"), -1);
    testing::internal::GetCapturedStdout();
}
