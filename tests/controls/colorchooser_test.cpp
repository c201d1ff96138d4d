// The colour chooser: its colour arithmetic and hex entry parsing, and the
// dialog driven on the in-memory screen (clicks and keys queued from its
// open hook, answered by its own loop).
#include "platform/headless/zeheadless.h"
#include "zecolorchooser.h"
#include "zecolorfield.h"
#include "zecontrol.h"
#include "zeevent.h"
#include "zelineinput.h"
#include "zefont.h"
#include "zegout.h"
#include "zeplatform.h"
#include "zescheme.h"
#include "zetextmenu.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <string>

namespace {

// ----- arithmetic -----

TEST(ColorMath, EveryColourSurvivesTheRoundTripThroughHsv) {
    int bad = 0, first = -1;
    auto check = [&](int rgb) {
        if (zecolorchooser_from_hsv(zecolorchooser_to_hsv(rgb)) != rgb && bad++ == 0) first = rgb;
    };
    const int edges[] = {0, 1, 2, 127, 128, 253, 254, 255};
    for (int r : edges)
        for (int g : edges)
            for (int b : edges) check(r << 16 | g << 8 | b);
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 3) check(r << 16 | g << 8 | b);
    EXPECT_EQ(0, bad) << "first failure 0x" << std::hex << first;
}

TEST(ColorMath, HsvEdgesAndOutOfRangeParts) {
    struct Case {
        zeHSV hsv;
        int rgb;
    } cases[] = {
        {{0, 1, 1}, 0xFF0000},     {{60, 1, 1}, 0xFFFF00},    {{120, 1, 1}, 0x00FF00},
        {{180, 1, 1}, 0x00FFFF},   {{240, 1, 1}, 0x0000FF},   {{300, 1, 1}, 0xFF00FF},
        {{359.999, 1, 1}, 0xFF0000}, {{360, 1, 1}, 0xFF0000}, {{720 + 120, 1, 1}, 0x00FF00},
        {{-120, 1, 1}, 0x0000FF},  {{-1e-12, 1, 1}, 0xFF0000}, {{0, 2, 1}, 0xFF0000},
        {{0, -1, 1}, 0xFFFFFF},    {{0, 1, 7}, 0xFF0000},     {{123, 0.7, -3}, 0x000000},
        {{NAN, 1, 1}, 0xFF0000},   {{0, NAN, 1}, 0xFFFFFF},   {{0, 1, NAN}, 0x000000},
        {{INFINITY, 1, 1}, 0xFF0000}, {{1e300, 0, 0.5}, 0x808080},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.rgb, zecolorchooser_from_hsv(c.hsv)) << c.hsv.h << " " << c.hsv.s << " " << c.hsv.v;
    // Greys and black say nothing about hue; white is full value, no saturation.
    zeHSV white = zecolorchooser_to_hsv(0xFFFFFF);
    EXPECT_EQ(0, white.s);
    EXPECT_EQ(1, white.v);
    EXPECT_EQ(0, zecolorchooser_to_hsv(0).v);
    // The high byte (or -1, "no colour") does not leak into the channels.
    EXPECT_EQ(zecolorchooser_to_hsv(0x123456).h, zecolorchooser_to_hsv(0x7F123456).h);
    EXPECT_EQ(1, zecolorchooser_to_hsv(-1).v);
}

TEST(ColorMath, HexEntryTakesExactlySixDigits) {
    struct Case {
        const char *text;
        int rgb;   // -1: refused
    } cases[] = {
        {"#1a2B3c", 0x1A2B3C}, {"1A2B3C", 0x1A2B3C}, {"0x00ff80", 0x00FF80}, {"  #FFFFFF\t ", 0xFFFFFF},
        {"#000000", 0},        {"#12345", -1},      {"zzzzzz", -1},         {"#1234567", -1},
        {"12345678", -1},      {"0x12345678", -1},  {"", -1},               {"#", -1},
        {"0x", -1},            {"#12 456", -1},     {"#12345g", -1},        {"##123456", -1},
        {"-123456", -1},       {"#123456 x", -1},   {"\xff\xfe\xfd\xfc\xfb\xfa", -1},
    };
    for (const Case &c : cases) {
        int32_t v = 0x5A5A5A;
        bool ok = zecolorchooser_parse_hex(c.text, &v);
        EXPECT_EQ(c.rgb >= 0, ok) << '"' << c.text << '"';
        EXPECT_EQ(c.rgb >= 0 ? c.rgb : 0x5A5A5A, v) << '"' << c.text << '"';
    }
    int32_t v = 1;
    EXPECT_FALSE(zecolorchooser_parse_hex(nullptr, &v));
    char out[8];
    zecolorchooser_format_hex(0x0a0b0c, out);
    EXPECT_STREQ("#0A0B0C", out);
    zecolorchooser_format_hex(-1, out);
    EXPECT_STREQ("#FFFFFF", out);
}

// The dialog's line input lives on the stack: it must start out not created
// whatever was there before (a created flag from garbage crashed it).
TEST(ColorDialogParts, ALineInputOnDirtyStackMemoryStartsUncreated) {
    alignas(zeLineInput) unsigned char buf[sizeof(zeLineInput)];
    memset(buf, 0xA5, sizeof buf);
    zeLineInput *l = new (buf) zeLineInput;
    EXPECT_FALSE(l->c.created);
    EXPECT_STREQ("", l->text);
    zelineinput_destroy(l);   // nothing to release
    l->~zeLineInput();
}

// ----- the dialog -----

std::function<void(zeWindow *, zeControl *const *)> g_user;
int g_opened;

void on_open(zeWindow *w, zeControl *const *c, int n) {
    g_opened++;
    ASSERT_EQ(ZECC_COUNT, n);
    if (g_user) g_user(w, c);
}

void click_at(zeWindow *w, int x, int y) {
    int r[4];
    zeheadless_rect(w->native, r);
    zeheadless_click(r[0] + x, r[1] + y, 0);
}

void click(zeWindow *w, const zeControl *c) { click_at(w, c->x + c->w / 2, c->y + c->h / 2); }

void click_cell(zeWindow *w, const zeControl *grid, int index) {
    int r[4];
    ASSERT_TRUE(zecolorswatches_cell_rect((const zeColorSwatches *)grid, index, r));
    click_at(w, r[0] + r[2] / 2, r[1] + r[3] / 2);
}

void type(const std::string &s) {
    for (unsigned char ch : s) zeheadless_keystroke(0, ch);
}

// Double click selects the field's whole text, so typing replaces it.
void retype(zeWindow *w, const zeControl *c, const std::string &s) {
    int r[4];
    zeheadless_rect(w->native, r);
    zeheadless_click(r[0] + c->x + 8, r[1] + c->y + c->h / 2, 0);
    zeheadless_advance(50);
    zeheadless_click(r[0] + c->x + 8, r[1] + c->y + c->h / 2, 0);
    type(s);
}

class Chooser : public ::testing::Test {
protected:
    zeWindow caller;
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        zefont_init();
        zescheme_select("standard");
        zelanguage_set(0);
        zeheadless_advance(1000);
        ASSERT_TRUE(zewindow_open(&caller, "caller,x=0,y=0,xs=300,ys=200,noquit"));
        while (zeevent_poll() != 0) {}
        zecolorchooser_set_open_hook(on_open);
        g_user = nullptr, g_opened = 0;
    }
    void TearDown() override {
        zecolorchooser_set_open_hook(nullptr);
        zelanguage_set(0);
        zewindow_close(&caller);
    }
    int run(int32_t start, std::function<void(zeWindow *, zeControl *const *)> user) {
        g_user = std::move(user);
        int before = g_opened;
        int32_t got = zecolorchooser(start, "colour, for the test");
        EXPECT_EQ(before + 1, g_opened);
        EXPECT_EQ(zeview_of_window(&caller), zeview_standard());
        EXPECT_EQ((void *)zeview_of_window(&caller), zegout_owner());
        EXPECT_EQ(1, zewindow_count());
        return got;
    }
};

TEST_F(Chooser, EveryWayOfCancellingGivesTheOriginalBack) {
    const char *ways[] = {"cancel", "escape", "close", "cancel after changes"};
    for (const char *way : ways) {
        std::string k = way;
        int32_t got = run(0x123456, [k](zeWindow *w, zeControl *const *c) {
            if (k == "cancel after changes") {
                click_cell(w, c[ZECC_BASIC], 8);
                retype(w, c[ZECC_HEX], "#00FF00");
            }
            if (k == "cancel" || k == "cancel after changes") click(w, c[ZECC_CANCEL]);
            if (k == "escape") zeheadless_keystroke(ZEKEY_ESCAPE, 0);
            if (k == "close") zeheadless_close(w->native);
        });
        EXPECT_EQ(0x123456, got) << way;
    }
    // "No colour" comes back as it went in.
    EXPECT_EQ(-1, run(-1, [](zeWindow *, zeControl *const *) { zeheadless_keystroke(ZEKEY_ESCAPE, 0); }));
}

TEST_F(Chooser, OkReturnsWhatWasPickedTypedOrStepped) {
    // OK at once: the colour as given.
    EXPECT_EQ(0x123456, run(0x123456, [](zeWindow *w, zeControl *const *c) { click(w, c[ZECC_OK]); }));
    // A basic colour (second row, first column: full red).
    EXPECT_EQ(0xFF0000, run(0x123456, [](zeWindow *w, zeControl *const *c) {
                  click_cell(w, c[ZECC_BASIC], 8);
                  click(w, c[ZECC_OK]);
              }));
    // A typed hex colour, ended with Enter.
    EXPECT_EQ(0xABCDEF, run(0x123456, [](zeWindow *w, zeControl *const *c) {
                  retype(w, c[ZECC_HEX], "#abcdef");
                  zeheadless_keystroke(ZEKEY_ENTER, 0);
              }));
    // A hex text that never parses leaves the colour as it was.
    EXPECT_EQ(0x123456, run(0x123456, [](zeWindow *w, zeControl *const *c) {
                  retype(w, c[ZECC_HEX], "#12345");
                  zeheadless_keystroke(ZEKEY_ENTER, 0);
              }));
    // Green typed (clamped to 255), blue stepped down by its key.
    EXPECT_EQ(0x12FF55, run(0x123456, [](zeWindow *w, zeControl *const *c) {
                  retype(w, c[ZECC_GREEN], "300");
                  retype(w, c[ZECC_BLUE], "86");
                  zeheadless_keystroke(ZEKEY_DOWN, 0);
                  click(w, c[ZECC_OK]);
              }));
}

TEST_F(Chooser, KeyboardAlone) {
    // The hex entry has the focus with its text selected: typing replaces it.
    EXPECT_EQ(0x0000FF, run(0x123456, [](zeWindow *, zeControl *const *) {
                  type("#0000ff");
                  zeheadless_keystroke(ZEKEY_ENTER, 0);
              }));
    // Tab to OK, then Cancel: Enter on the focused Cancel cancels.
    EXPECT_EQ(0x123456, run(0x123456, [](zeWindow *, zeControl *const *) {
                  type("#0000ff");
                  zeheadless_keystroke(ZEKEY_TAB, 0);
                  zeheadless_keystroke(ZEKEY_TAB, 0);
                  zeheadless_keystroke(ZEKEY_ENTER, 0);
              }));
    // Round to the basic colours (Tab wraps from Cancel), Right and Down
    // pick the second row's second colour; Enter there is OK.
    EXPECT_EQ(0xFF8000, run(0x123456, [](zeWindow *, zeControl *const *) {
                  for (int i = 0; i < 3; i++) zeheadless_keystroke(ZEKEY_TAB, 0);
                  zeheadless_keystroke(ZEKEY_RIGHT, 0);
                  zeheadless_keystroke(ZEKEY_DOWN, 0);
                  zeheadless_keystroke(ZEKEY_ENTER, 0);
              }));
}

TEST_F(Chooser, FieldAndStripPickHueSaturationAndBrightness) {
    // Top-left of the field: hue 0, full saturation, at the brightness held
    // (none here: the field then gives full brightness).
    EXPECT_EQ(0xFF0000, run(0x000000, [](zeWindow *w, zeControl *const *c) {
                  click_at(w, c[ZECC_FIELD]->x + 2, c[ZECC_FIELD]->y + 2);
                  click(w, c[ZECC_OK]);
              }));
    // Bottom of the strip: black whatever the hue.
    EXPECT_EQ(0x000000, run(0x3080FF, [](zeWindow *w, zeControl *const *c) {
                  click_at(w, c[ZECC_STRIP]->x + 6, c[ZECC_STRIP]->y + c[ZECC_STRIP]->h - 1);
                  click(w, c[ZECC_OK]);
              }));
    // A drag that ends far outside the field stops at its edge: hue near
    // 360 (red again), saturation none: white at full brightness.
    EXPECT_EQ(0xFFFFFF, run(0xFF0000, [](zeWindow *w, zeControl *const *c) {
                  int r[4];
                  zeheadless_rect(w->native, r);
                  const zeControl *f = c[ZECC_FIELD];
                  zeheadless_mouse(r[0] + f->x + 20, r[1] + f->y + 20, 0, true);
                  zeheadless_motion(r[0] + f->x + f->w / 2, r[1] + f->y + f->h / 2);
                  zeheadless_motion(r[0] + f->x + f->w + 500, r[1] + f->y + f->h + 500);
                  zeheadless_mouse(r[0] + f->x + f->w + 500, r[1] + f->y + f->h + 500, 0, false);
                  click(w, c[ZECC_OK]);
              }));
    // The keys move the picked point: Up in the strip from black brightens.
    int32_t got = run(0x000000, [](zeWindow *w, zeControl *const *c) {
        click_at(w, c[ZECC_STRIP]->x + 6, c[ZECC_STRIP]->y + c[ZECC_STRIP]->h - 1);
        for (int i = 0; i < 10; i++) zeheadless_keystroke(ZEKEY_UP, 0);
        click(w, c[ZECC_OK]);
    });
    EXPECT_GT(got & 255, 0);
    EXPECT_EQ(got & 255, got >> 16 & 255);   // still a grey
}

TEST_F(Chooser, CustomColoursStayForTheRunCancelledOrNot) {
    int32_t *custom = zecolorchooser_custom();
    for (int i = 0; i < ZECOLORCHOOSER_CUSTOM; i++) custom[i] = 0xFFFFFF;
    // Two colours added in a row fill two cells; the dialog is cancelled.
    run(0x010203, [](zeWindow *w, zeControl *const *c) {
        click(w, c[ZECC_ADD]);
        click_cell(w, c[ZECC_BASIC], 13);   // full blue
        click(w, c[ZECC_ADD]);
        click(w, c[ZECC_CANCEL]);
    });
    int first = -1;
    for (int i = 0; i < ZECOLORCHOOSER_CUSTOM && first < 0; i++)
        if (custom[i] == 0x010203) first = i;
    ASSERT_GE(first, 0);
    EXPECT_EQ(0x0000FF, custom[(first + 1) % ZECOLORCHOOSER_CUSTOM]);
    // The next call offers them: a click on one chooses it.
    EXPECT_EQ(0x0000FF, run(0x777777, [first](zeWindow *w, zeControl *const *c) {
                  click_cell(w, c[ZECC_CUSTOM], (first + 1) % ZECOLORCHOOSER_CUSTOM);
                  click(w, c[ZECC_OK]);
              }));
    // A chosen custom cell is the one "add" replaces.
    run(0x445566, [first](zeWindow *w, zeControl *const *c) {
        click_cell(w, c[ZECC_CUSTOM], first);
        retype(w, c[ZECC_HEX], "#445566");
        click(w, c[ZECC_ADD]);
        click(w, c[ZECC_OK]);
    });
    EXPECT_EQ(0x445566, custom[first]);
    EXPECT_EQ(0x0000FF, custom[(first + 1) % ZECOLORCHOOSER_CUSTOM]);
}

TEST_F(Chooser, CaptionsFollowTheToolkitLanguage) {
    std::string title;
    for (int lang = 0; lang < 2; lang++) {
        zelanguage_set(lang);
        run(0, [lang, &title](zeWindow *w, zeControl *const *c) {
            EXPECT_STREQ(lang ? "Abbrechen" : "Cancel", c[ZECC_CANCEL]->text);
            EXPECT_STREQ("OK", c[ZECC_OK]->text);
            title = zeheadless_title(w->native);
            click(w, c[ZECC_CANCEL]);
        });
    }
    EXPECT_EQ("colour  for the test", title);   // the comma would have started an option
    g_user = [&title](zeWindow *w, zeControl *const *c) {
        title = zeheadless_title(w->native);
        click(w, c[ZECC_CANCEL]);
    };
    zecolorchooser(0, nullptr);
    EXPECT_EQ("Farbe", title);
}

}  // namespace
