// Slider, progress bar and tab bar: value rules at their edges, mouse and
// key input through the view, and what is drawn.
#include "zeprogress.h"
#include "zeslide.h"
#include "zetabbar.h"
#include "zetest_view.h"
#include <cstring>
#include <string>

namespace {

using Slide = ViewTest;

// x=10, xs=234: track 200 pixels, so one pixel is half a percent.
const char *kSlideOpts = "s,x=10,y=20,xs=234,ys=16";

TEST_F(Slide, StepsClampAtBothEndsAndEveryStepPosts) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "%s,start=97", kSlideOpts));
    ASSERT_EQ(200, zeslide_track(&s));
    EXPECT_EQ(97, zeslide_value(&s));
    click(20, 25);   // focus: a press on the track left of the knob steps down
    EXPECT_EQ(92, zeslide_value(&s));
    zeslide_set_value(&s, 97);
    events();
    key(ZEKEY_RIGHT);
    EXPECT_EQ(100, zeslide_value(&s));
    key(ZEKEY_UP);   // already at the end: stays, still reported
    EXPECT_EQ(100, zeslide_value(&s));
    EXPECT_EQ(2, count(zecontrol_eventid(&s.c)));
    key(ZEKEY_HOME);
    EXPECT_EQ(0, zeslide_value(&s));
    key(ZEKEY_LEFT);
    key(ZEKEY_DOWN);
    EXPECT_EQ(0, zeslide_value(&s));
    key(ZEKEY_END);
    EXPECT_EQ(100, zeslide_value(&s));
    wheel(100, 25, false);
    EXPECT_EQ(95, zeslide_value(&s));
    wheel(100, 25, true);
    EXPECT_EQ(100, zeslide_value(&s));
    EXPECT_EQ(200, s.knobpos);
    EXPECT_EQ(100, s.c.lastargs[0]);
}

TEST_F(Slide, InitialAndSetValuesAreClamped) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "%s,def=150", kSlideOpts));
    EXPECT_EQ(100, zeslide_value(&s));
    ASSERT_TRUE(zeslide_create(&s, "%s,default=-5", kSlideOpts));
    EXPECT_EQ(0, zeslide_value(&s));
    ASSERT_TRUE(zeslide_create(&s, "%s,start=24.6", kSlideOpts));
    EXPECT_DOUBLE_EQ(24.6, zeslide_value(&s));
    EXPECT_EQ(49, s.knobpos);   // trunc(200 * 24.6 / 100)
    zeslide_set_value(&s, -7);
    EXPECT_EQ(0, zeslide_value(&s));
    zeslide_set_value_text(&s, "42 percent");
    EXPECT_EQ(42, zeslide_value(&s));
    zeslide_set_value_text(&s, nullptr);
    EXPECT_EQ(0, zeslide_value(&s));
    EXPECT_TRUE(events().empty());   // setting from the program posts nothing
}

TEST_F(Slide, TrackPressesStepAndTheKnobDrags) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "%s,start=50", kSlideOpts));
    // Knob at 100..130 from the left edge (x 110..140).
    click(250 - 10, 25);   // right of the knob
    EXPECT_EQ(55, zeslide_value(&s));
    click(11 + 50, 25);    // left of it
    EXPECT_EQ(50, zeslide_value(&s));
    events();
    told.clear();
    press(125, 25);        // on the knob
    EXPECT_TRUE(s.dragging);
    EXPECT_TRUE(parent_told(ZEREQ_CAPTURE));
    EXPECT_EQ(50, zeslide_value(&s));
    move(145, 25);         // 20 pixels right: 10 percent
    EXPECT_EQ(60, zeslide_value(&s));
    move(125, 25);
    EXPECT_EQ(50, zeslide_value(&s));
    move(-100000, 25);     // far outside: held at the start
    EXPECT_EQ(0, zeslide_value(&s));
    move(-99990, 25);      // the knob follows the pointer's movement, not its place
    EXPECT_EQ(5, zeslide_value(&s));
    move(2000000000, 25);
    EXPECT_EQ(100, zeslide_value(&s));
    release(2000000000, 25);
    EXPECT_FALSE(s.dragging);
    EXPECT_TRUE(parent_told(ZEREQ_RELEASE));
    EXPECT_EQ(6, count(zecontrol_eventid(&s.c)));   // five moves and the end of the drag
}

TEST_F(Slide, AVerticalSliderRunsUpwards) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "s,x=10,y=10,xs=16,ys=234,vertical,start=50"));
    EXPECT_EQ(200, zeslide_track(&s));
    click(18, 30);         // near the top: above the knob, up
    EXPECT_EQ(55, zeslide_value(&s));
    click(18, 240);
    EXPECT_EQ(50, zeslide_value(&s));
    // Knob from 100 to 130 above the bottom edge (y 243): grab it and drag up.
    press(18, 243 - 115);
    ASSERT_TRUE(s.dragging);
    move(18, 243 - 135);
    EXPECT_EQ(60, zeslide_value(&s));
    release(18, 243 - 135);
    key(ZEKEY_UP);
    EXPECT_EQ(65, zeslide_value(&s));
}

TEST_F(Slide, GreyOrTooShortSlidersIgnoreWhatTheyCannotDo) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "%s,start=40,grey", kSlideOpts));
    click(200, 25);
    wheel(100, 25, true);
    EXPECT_EQ(40, zeslide_value(&s));
    EXPECT_EQ(0, count(zecontrol_eventid(&s.c)));
    // Shorter than its knob: no track, nothing to divide by.
    ASSERT_TRUE(zeslide_create(&s, "s,x=10,y=20,xs=20,ys=16,start=40"));
    EXPECT_EQ(0, zeslide_track(&s));
    press(15, 25);
    ASSERT_TRUE(s.dragging);
    move(200, 25);
    EXPECT_EQ(40, zeslide_value(&s));
    release(200, 25);
}

TEST_F(Slide, ShowposPrintsTheRoundedValueAwayFromTheKnob) {
    zeSlide s;
    ASSERT_TRUE(zeslide_create(&s, "%s,start=24.6,showpos", kSlideOpts));
    // "25%" at the right end; nothing printed at the left.
    // (Inside the frame, whose dark lines have the same colour.)
    EXPECT_GT(pixels(10 + 234 - 16, 22, 14, 12, 0x808080), 10);
    EXPECT_EQ(0, pixels(14, 22, 12, 12, 0x808080));
    zeslide_set_value(&s, 25);
    EXPECT_GT(pixels(14, 22, 16, 12, 0x808080), 10);
}

TEST_F(Slide, TabMovesOnFromTheSlider) {
    zeSlide s;
    zeTabBar bar;
    ASSERT_TRUE(zeslide_create(&s, "%s", kSlideOpts));
    ASSERT_TRUE(zetabbar_create(&bar, "t,x=10,y=100,tabs=a|b"));
    click(200, 25);
    ASSERT_TRUE(s.c.focus);
    key(ZEKEY_TAB);
    EXPECT_FALSE(s.c.focus);
    EXPECT_TRUE(bar.c.focus);
}

using Progress = ViewTest;

// Runs of the block colour along the middle row.
int block_runs(ViewTest *t, const zeProgressBar &b) {
    int runs = 0, y = b.c.y + b.c.h / 2;
    bool in = false;
    for (int x = b.c.x; x < b.c.x + b.c.w; x++) {
        bool set = zepxmap_getpixel(zeview_pixmap(&t->view), x, y) == ZEPROGRESS_COLOR;
        runs += set && !in;
        in = set;
    }
    return runs;
}

TEST_F(Progress, BlocksFollowTheValueAndOnlyChangesRedraw) {
    zeProgressBar b;
    ASSERT_TRUE(zeprogress_create(&b, "p,x=20,y=20,xs=202,ys=14"));
    EXPECT_EQ(0, block_runs(this, b));
    zeprogress_set_value(&b, 1);
    EXPECT_EQ(0, block_runs(this, b));
    zeprogress_set_value(&b, 7);
    EXPECT_EQ(2, block_runs(this, b));
    zeprogress_set_value(&b, 1000);
    EXPECT_EQ(100, zeprogress_value(&b));
    EXPECT_EQ(20, block_runs(this, b));
    told.clear();
    zeprogress_set_value(&b, 100);
    EXPECT_FALSE(parent_told(ZEREQ_REFRESH));
    zeprogress_set_value(&b, -3);
    EXPECT_EQ(0, zeprogress_value(&b));
    EXPECT_EQ(0, block_runs(this, b));
    // Passive: no focus and no events.
    click(100, 27);
    key(ZEKEY_RIGHT);
    EXPECT_FALSE(b.c.focus);
    EXPECT_EQ(0, count(zecontrol_eventid(&b.c)));
}

using TabBar = ViewTest;

TEST_F(TabBar, NamesWidthsAndAutonumbers) {
    zeTabBar bar;
    ASSERT_TRUE(zetabbar_create(&bar, "t,x=0,y=0,tabs=Window|Size/Colors/Border"));
    ASSERT_EQ(2, bar.count);
    EXPECT_STREQ("Size/Colors/Border", bar.tabs[1].name);
    EXPECT_EQ(0, zetabbar_selected(&bar));
    EXPECT_EQ(60, bar.tabs[0].width);   // narrow names still get 60
    EXPECT_EQ(18 * 6 + 10, bar.tabs[1].width);
    EXPECT_EQ(20 + 60 + 118, bar.c.w);
    EXPECT_EQ(13 + 8, bar.c.h);
    ASSERT_TRUE(zetabbar_create(&bar, "t,tabs=a|B b|c,autonumber=1"));
    EXPECT_STREQ("a [1]", bar.tabs[0].name);
    EXPECT_STREQ("B b [2]", bar.tabs[1].name);
    EXPECT_STREQ("c [3]", bar.tabs[2].name);
    ASSERT_TRUE(zetabbar_create(&bar, "t,tabs=a,xs=100%%"));
    EXPECT_EQ(500, bar.c.w);
}

TEST_F(TabBar, ManyAndLongNamesStayWithinTheirBuffers) {
    std::string names = "tabs=";
    for (int i = 0; i < 150; i++) names += "t|";
    zeTabBar bar;
    ASSERT_TRUE(zetabbar_create(&bar, "t,%s", names.c_str()));
    EXPECT_EQ(ZETABBAR_TABS, bar.count);
    std::string longname(300, 'n');
    ASSERT_TRUE(zetabbar_create(&bar, "t,tabs=%s|x,autonumber=2147483647", longname.c_str()));
    ASSERT_EQ(2, bar.count);
    EXPECT_EQ((size_t)ZETABBAR_NAMEMAX, strlen(bar.tabs[0].name));
    EXPECT_NE(nullptr, strstr(bar.tabs[0].name, " [2147483647]"));
    EXPECT_STREQ("x [1]", bar.tabs[1].name);   // the counter wraps to 1, not to a negative number
}

TEST_F(TabBar, PressesSelectAndOnlyAChangePosts) {
    zeTabBar bar;
    ASSERT_TRUE(zetabbar_create(&bar, "t,x=10,y=10,tabs=one|two|three"));
    int id = zecontrol_eventid(&bar.c);
    // Tabs at offsets 1..60, 63..122, 125..184.
    click(10 + 30, 15);
    EXPECT_EQ(0, count(id));
    click(10 + 90, 15);
    EXPECT_EQ(1, zetabbar_selected(&bar));
    EXPECT_EQ(1, count(id));
    EXPECT_EQ(1, bar.c.lastargs[0]);
    click(10 + 62, 15);    // in the gap
    click(10 + 190, 15);   // beyond the last tab
    EXPECT_EQ(1, zetabbar_selected(&bar));
    EXPECT_EQ(0, count(id));
    // The bar has no keyboard operation.
    key(ZEKEY_RIGHT);
    EXPECT_EQ(1, zetabbar_selected(&bar));
    zecontrol_set_grey(&bar.c);
    click(10 + 150, 15);
    EXPECT_EQ(1, zetabbar_selected(&bar));
    zecontrol_clear_grey(&bar.c);
    zecontrol_hide(&bar.c);
    click(10 + 150, 15);
    EXPECT_EQ(0, count(id));
}

TEST_F(TabBar, SelectByProgram) {
    zeTabBar bar;
    ASSERT_TRUE(zetabbar_create(&bar, "t,tabs=a|b|c|d|e|f|g"));
    zetabbar_select(&bar, 99);
    EXPECT_EQ(6, zetabbar_selected(&bar));
    zetabbar_select(&bar, -1);
    EXPECT_EQ(-1, zetabbar_selected(&bar));
    EXPECT_TRUE(events().empty());
    zeTabBar empty;
    ASSERT_TRUE(zetabbar_create(&empty, "t,y=50"));
    EXPECT_EQ(-1, zetabbar_selected(&empty));
    zetabbar_select(&empty, 3);
    EXPECT_EQ(-1, zetabbar_selected(&empty));
    EXPECT_FALSE(zetabbar_set_color(&empty, 0, 0xff0000));
}

TEST_F(TabBar, BothStylesDrawTheirSelection) {
    zeTabBar bar;
    ASSERT_TRUE(zetabbar_create(&bar, "t,x=10,y=10,tabs=one|two"));
    // Coloured: the selected tab's top line in blue, the other's in black.
    EXPECT_EQ(0x0023b1, pixel(10 + 1 + 30, 10));
    EXPECT_EQ(0x000000, pixel(10 + 63 + 30, 10));
    EXPECT_EQ(0xffffff, pixel(10 + 1, 10));   // the rounded corner shows the background
    ASSERT_TRUE(zetabbar_create(&bar, "t,x=10,y=10,tabs=one|two,greystyle"));
    EXPECT_EQ(ZETABBAR_GREY, bar.style);
    // Grey: separators after each tab, the selected tab's name in white on its darker gradient.
    EXPECT_EQ(0xc0c0c0, pixel(10 + 59, 15));
    EXPECT_EQ(0xffffff, pixel(10 + 60, 15));
    EXPECT_GT(pixels(10, 14, 59, 13, 0xffffff), 10);
    EXPECT_EQ(0, pixels(10 + 62, 14, 59, 13, 0xffffff));
    zetabbar_set_color(&bar, 1, 0xff0000);
    EXPECT_EQ(0xff0000, pixel(10 + 90, 11));
    // More tabs than fit: nothing is drawn past the bar's right edge.
    for (const char *style : {"", ",greystyle"}) {
        SCOPED_TRACE(style);
        zepxmap_fillrect(zeview_pixmap(&view), 0, 0, 500, 100, 0xffffff);
        ASSERT_TRUE(zetabbar_create(&bar, "t,x=10,y=10,xs=100,tabs=one|two|three%s", style));
        EXPECT_EQ(100 * bar.c.h, pixels(110, 10, 100, bar.c.h, 0xffffff));
        EXPECT_LT(pixels(10, 10, 100, bar.c.h, 0xffffff), 90 * bar.c.h);
    }
}

// Hostile option strings: odd sizes, huge numbers, empty items. Nothing may
// crash or write outside its buffers (the sanitizer build checks).
TEST_F(Slide, HostileOptionStringsAreSurvived) {
    const char *opts[] = {
        "s,xs=-50,ys=-9", "s,xs=0,ys=0", "s,x=-2147483647,y=-2147483647,xs=5,ys=5", "s,ys=1,xs=1",
        "s,minxs=2147483647,minys=2147483647", "s,x=2147483647,y=2147483647", "s,xs=-2147483647",
        "s,start=1e300,def=-999999999999", "s,tabs=,tabs=||||", "s,tabs=|,autonumber=-5",
        "s,min=2147483648,max=-2147483649,step=0", "s,showpos,vertical,xs=3,ys=3", "s,ys=2,tabs=a|b,style=2",
    };
    for (const char *o : opts) {
        SCOPED_TRACE(o);
        zeSlide s;
        zeProgressBar p;
        zeTabBar t;
        ASSERT_TRUE(zeslide_create(&s, "%s", o));
        ASSERT_TRUE(zeprogress_create(&p, "%s", o));
        ASSERT_TRUE(zetabbar_create(&t, "%s", o));
        zeprogress_set_value(&p, 100);
        zetabbar_select(&t, 1);
        for (zeControl *c : {&s.c, &p.c, &t.c}) {
            zecontrol_send(c, ZEMSG_LDOWN, (zearg)c->x + 1, (zearg)c->y + 1);
            zecontrol_send(c, ZEMSG_MOTION, 2147483647, -2147483647);
            zecontrol_send(c, ZEMSG_LUP, 0, 0);
            zecontrol_send(c, ZEMSG_KEYDOWN, ZEKEY_END);
            zecontrol_send(c, ZEMSG_SIZE, 1, 1);
        }
        EXPECT_GE(zeslide_value(&s), 0);
        EXPECT_LE(zeslide_value(&s), 100);
    }
}

}  // namespace
