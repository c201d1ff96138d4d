// The up-down control: its value rules at their edges, the arrows with
// their repeat timer, wheel, keys and typing through the view, and what
// each posts.
#include "zeprogress.h"
#include "zeslide.h"
#include "zetabbar.h"
#include "zetimer.h"
#include "zeupdown.h"
#include "zetest_view.h"
#include <algorithm>
#include <random>
#include <string>

namespace {

std::string fmt(zeUpDownRules r, long long v) {
    char out[48];
    zeupdown_format(&r, v, out, sizeof out);
    return out;
}

const zeUpDownRules kPlain = {-100000, 100000, 1, 0, 0};

TEST(UpDownRules, SnapThenClampThenDigits) {
    EXPECT_EQ("15", fmt({-100, 100, 5, 0, 0}, 17));
    EXPECT_EQ("-15", fmt({-100, 100, 5, 0, 0}, -17));   // toward zero
    EXPECT_EQ("31", fmt({1, 31, 1, 0, 0}, 32));
    EXPECT_EQ("1", fmt({1, 31, 1, 0, 0}, -5));
    EXPECT_EQ("5", fmt({5, 5, 1, 0, 0}, 7));              // min = max
    EXPECT_EQ("10", fmt({10, 3, 1, 0, 0}, 7));            // min > max: the minimum wins
    EXPECT_EQ("07", fmt({0, 99, 1, 2, 0}, 7));
    EXPECT_EQ("0000000007", fmt({0, 99, 1, 10, 0}, 7));
    EXPECT_EQ("7", fmt({0, 99, 1, 11, 0}, 7));            // beyond 10: as many as needed
    EXPECT_EQ("-07", fmt({-99, 99, 1, 3, 0}, -7));
    // Values beyond the int range stop at the limits.
    EXPECT_EQ("2147483647", fmt({-2147483647, 2147483647, 1, 0, 0}, 2147483647LL + 5));
    EXPECT_EQ("-2147483647", fmt({-2147483647, 2147483647, 1, 0, 0}, -2147483647LL - 5));
    // A step of 0 or below does not divide by zero nor turn round.
    EXPECT_EQ("17", fmt({-100, 100, 0, 0, 0}, 17));
    EXPECT_EQ("15", fmt({-100, 100, -5, 0, 0}, 17));
    EXPECT_EQ("0", fmt({-2147483647 - 1, 2147483647, -2147483647 - 1, 0, 0}, -2147483645));
}

TEST(UpDownRules, DecimalsPutThePointAndReadBack) {
    zeUpDownRules one = {-100000, 100000, 1, 2, 1}, two = {-100000, 100000, 1, 3, 2};
    EXPECT_EQ("2.5", fmt(one, 25));
    EXPECT_EQ("12.34", fmt(two, 1234));
    EXPECT_EQ("0.05", fmt(two, 5));
    EXPECT_EQ("-0.5", fmt(one, -5));
    EXPECT_EQ("0.00000005", fmt({0, 100, 1, 1, 8}, 5));
    EXPECT_EQ("0.000000005", fmt({0, 100, 1, 1, 1000}, 5));   // at most 9 decimals
    EXPECT_EQ(1230, zeupdown_read(&two, "12.3"));
    EXPECT_EQ(1200, zeupdown_read(&two, "12"));
    EXPECT_EQ(1234, zeupdown_read(&two, "12,34"));
    EXPECT_EQ(1234, zeupdown_read(&two, "12.345"));   // extra decimals cut, not a hundredfold value
    EXPECT_EQ(-5, zeupdown_read(&one, "-0.5"));
    EXPECT_EQ(-5, zeupdown_read(&one, "-.5"));
    EXPECT_EQ(0, zeupdown_read(&two, ""));
    EXPECT_EQ(0, zeupdown_read(&two, nullptr));
    EXPECT_EQ(42, zeupdown_read(&kPlain, " 42 apples"));
    EXPECT_EQ(0, zeupdown_read(&kPlain, "apples"));
    EXPECT_EQ(2147483647, zeupdown_read(&kPlain, "99999999999999999999"));
    EXPECT_EQ(-2147483647, zeupdown_read(&two, "-99999999999.99"));
    std::string digits(3000, '9');
    EXPECT_EQ(2147483647, zeupdown_read(&two, digits.c_str()));
    // What is shown reads back as the value.
    for (long long v : {0LL, 7LL, -7LL, 1234LL, -100000LL, 99999LL}) EXPECT_EQ(v, zeupdown_read(&two, fmt(two, v).c_str()));
}

using UpDown = ViewTest;

// x=10, y=10, 100 x 21 with a border: arrows 11 wide at x 98, 9 high from y 12.
const char *kOpts = "0,x=10,y=10,xs=100,ys=21";

TEST_F(UpDown, CreationShowsTheInitialValue) {
    zeUpDownControl u;
    ASSERT_TRUE(zeupdown_create(&u, "%s,min=1,max=31,start=40", kOpts));
    EXPECT_STREQ("31", zelineinput_text(&u.in));
    EXPECT_EQ(1, u.in.c.border);
    EXPECT_TRUE(u.in.alignright);
    EXPECT_EQ(98, u.ax);
    EXPECT_EQ(11, u.aw);
    EXPECT_EQ(12, u.ay);
    EXPECT_EQ(9, u.ah);
    ASSERT_TRUE(zeupdown_create(&u, "%s,decimal=1,start=25", kOpts));
    EXPECT_STREQ("2.5", zelineinput_text(&u.in));
    EXPECT_EQ(2, u.rules.digits);
    ASSERT_TRUE(zeupdown_create(&u, "%s,digits=2,start=7", kOpts));
    EXPECT_STREQ("07", zelineinput_text(&u.in));
    // "default=" alone gives the initial value; "start=" wins over it.
    ASSERT_TRUE(zeupdown_create(&u, "%s,default=12", kOpts));
    EXPECT_EQ(12, zeupdown_value(&u));
    ASSERT_TRUE(zeupdown_create(&u, "%s,default=12,start=3", kOpts));
    EXPECT_EQ(3, zeupdown_value(&u));
    // Natural size: the maximum's width plus the font height and 8.
    ASSERT_TRUE(zeupdown_create(&u, "0,max=999"));
    EXPECT_EQ(3 * 6 + 13 + 8, u.in.c.w);
    EXPECT_EQ(13 + 8, u.in.c.h);
    EXPECT_TRUE(events().empty());
}

TEST_F(UpDown, ArrowsStepClampAndPostEvenAtTheLimit) {
    zeUpDownControl u;
    ASSERT_TRUE(zeupdown_create(&u, "%s,min=1,max=31,start=30", kOpts));
    int id = zecontrol_eventid(&u.in.c);
    click(103, 14);   // up
    EXPECT_EQ(31, zeupdown_value(&u));
    click(103, 14);
    EXPECT_EQ(31, zeupdown_value(&u));
    EXPECT_EQ(4, count(id));   // press and release of each
    EXPECT_EQ(31, u.in.c.lastargs[0]);
    click(103, 26);   // down
    EXPECT_EQ(30, zeupdown_value(&u));
    // Step 5 from a typed 12: 17 snapped to 15.
    zelineinput_set_text(&u.in, "12");
    ASSERT_TRUE(zeupdown_create(&u, "%s,step=5,start=12", kOpts));
    EXPECT_STREQ("10", zelineinput_text(&u.in));
    zelineinput_set_text(&u.in, "12");
    click(103, 14);
    EXPECT_STREQ("15", zelineinput_text(&u.in));
}

TEST_F(UpDown, AHeldArrowRepeatsAfter500msEvery100msAndPostsOnRelease) {
    zeUpDownControl u;
    ASSERT_TRUE(zeupdown_create(&u, "%s,start=0", kOpts));
    int id = zecontrol_eventid(&u.in.c);
    press(103, 26);   // down: one step at once
    zetick_stop();    // the test's ticks only, not the wall clock's
    EXPECT_EQ(-1, zeupdown_value(&u));
    EXPECT_EQ(1, count(id));
    EXPECT_TRUE(u.downpressed);
    zetimer_tick(49);
    EXPECT_EQ(-1, zeupdown_value(&u));
    zetimer_tick(1);
    EXPECT_EQ(-2, zeupdown_value(&u));
    zetimer_tick(9);
    EXPECT_EQ(-2, zeupdown_value(&u));
    zetimer_tick(1);
    EXPECT_EQ(-3, zeupdown_value(&u));
    zetimer_tick(50);
    EXPECT_EQ(-8, zeupdown_value(&u));
    EXPECT_EQ(0, count(id));   // nothing while it repeats
    release(103, 26);
    EXPECT_EQ(1, count(id));
    EXPECT_EQ(-8, u.in.c.lastargs[0]);
    zetimer_tick(100);
    EXPECT_EQ(-8, zeupdown_value(&u));
    // The pointer leaving the window releases too.
    press(103, 14);
    zetimer_tick(60);   // the press, then repeats at 500 and 600 ms
    EXPECT_EQ(-5, zeupdown_value(&u));
    send(ZEMSG_LEAVE);
    EXPECT_FALSE(u.uppressed);
    zetimer_tick(100);
    EXPECT_EQ(-5, zeupdown_value(&u));
    EXPECT_EQ(2, count(id));
}

TEST_F(UpDown, WheelKeysAndTyping) {
    zeUpDownControl u;
    ASSERT_TRUE(zeupdown_create(&u, "%s,min=-3,max=3", kOpts));
    int id = zecontrol_eventid(&u.in.c), textid = zeupdown_textid(&u);
    key(ZEKEY_UP);   // not focused: keys go nowhere
    EXPECT_EQ(0, zeupdown_value(&u));
    click(40, 20);   // the text: focus, everything selected
    ASSERT_TRUE(u.in.c.focus);
    key(ZEKEY_UP);
    key(ZEKEY_UP);
    EXPECT_EQ(2, zeupdown_value(&u));
    wheel(40, 20, true);
    wheel(40, 20, true);
    EXPECT_EQ(3, zeupdown_value(&u));
    for (int i = 0; i < 8; i++) key(ZEKEY_DOWN);
    EXPECT_EQ(-3, zeupdown_value(&u));
    EXPECT_EQ(12, count(id));
    // Typed text posts the text event per character, not the main event.
    send(ZEKEY_RELEASE);
    zelineinput_select(&u.in, 0, 2);
    key('1');
    key('7');
    EXPECT_STREQ("17", zelineinput_text(&u.in));
    EXPECT_EQ(17, zeupdown_value(&u));   // as typed
    std::vector<int> ev = events();
    EXPECT_EQ(2, (int)std::count(ev.begin(), ev.end(), textid));
    EXPECT_EQ(0, (int)std::count(ev.begin(), ev.end(), id));
    key(ZEKEY_DOWN);   // read, stepped, clamped
    EXPECT_EQ(3, zeupdown_value(&u));
    // Losing the focus ends editing without a main event.
    events();
    key(ZEKEY_ESCAPE);
    EXPECT_FALSE(u.in.c.focus);
    EXPECT_EQ(0, count(id));
}

TEST_F(UpDown, GreyIgnoresInput) {
    zeUpDownControl u;
    ASSERT_TRUE(zeupdown_create(&u, "%s,grey,start=5", kOpts));
    click(103, 14);
    wheel(40, 20, true);
    EXPECT_EQ(5, zeupdown_value(&u));
    EXPECT_EQ(0, count(zecontrol_eventid(&u.in.c)));
}

TEST_F(UpDown, HostileOptionStringsAreSurvived) {
    std::string wide = "0,digits=10,xs=20," + std::string(400, 'x');
    const char *opts[] = {
        "0,min=99999999999999,max=-99999999999999,step=0",
        "0,min=-2147483648,max=2147483647,step=-2147483648,start=2147483647",
        "0,xs=-50,ys=-9",
        "0,xs=0,ys=0,decimal=99999",
        "0,ys=1,xs=1,digits=-4,decimal=-3",
        "0,x=2147483647,y=-2147483647,minxs=2147483647",
        "0,maxlen=-5,default=123456789012345678901234567890",
        "0,maxlen=2,start=-100000,decimal=9",
        wide.c_str(),
    };
    for (const char *o : opts) {
        SCOPED_TRACE(o);
        zeUpDownControl u;
        ASSERT_TRUE(zeupdown_create(&u, "%s", o));
        zeControl *c = &u.in.c;
        for (int k = 0; k < 3; k++) {
            zecontrol_send(c, ZEMSG_LDOWN, (zearg)u.ax + 1, (zearg)u.ay + 1);
            zetimer_tick(70);
            zecontrol_send(c, ZEMSG_LUP, 0, 0);
            zecontrol_send(c, ZEMSG_WHEELDOWN, 0, 0);
            zecontrol_send(c, ZEMSG_FOCUS);
            zecontrol_send(c, ZEMSG_KEYDOWN, ZEKEY_DOWN);
            zecontrol_send(c, ZEMSG_KEYDOWN, '9');
        }
        zecontrol_send(c, ZEMSG_SIZE, 3, 3);
        EXPECT_LE(zelineinput_length(&u.in), ZELINE_TEXTMAX);
        zeupdown_value(&u);
    }
    EXPECT_EQ(0, zetimer_count());   // no repeat timer left behind
}

}  // namespace

namespace {

// Seeded mutations of option strings from the keys these controls read and
// values at the edges; every kind is created from each and driven a little.
TEST_F(UpDown, MutatedOptionStringsCreateEveryValueControl) {
    const char *keys[] = {"x=", "y=", "xs=", "ys=", "min=", "max=", "step=", "start=", "def=", "default=",
                          "digits=", "decimal=", "maxlen=", "tabs=", "autonumber=", "style=", "minxs=", "minys="};
    const char *values[] = {"0", "-1", "1", "-2147483648", "2147483647", "99999999999999999999", "50%", "1e300",
                            "", "|", "a|b|", "-0.5", ",", "%d", "%s", "  7  "};
    const char *flags[] = {"grey", "vertical", "showpos", "greystyle", "border", "noborder", "nofocus", "password"};
    std::mt19937 rng(20261207);
    for (int round = 0; round < 300; round++) {
        std::string opts = "0";
        int n = 1 + rng() % 8;
        for (int i = 0; i < n; i++) {
            opts += ",";
            if (rng() % 4 == 0) opts += flags[rng() % 8];
            else opts += std::string(keys[rng() % 18]) + values[rng() % 16];
        }
        SCOPED_TRACE(opts);
        zeUpDownControl u;
        zeSlide s;
        zeProgressBar p;
        zeTabBar t;
        ASSERT_TRUE(zeupdown_create(&u, "%s", opts.c_str()));
        ASSERT_TRUE(zeslide_create(&s, "%s", opts.c_str()));
        ASSERT_TRUE(zeprogress_create(&p, "%s", opts.c_str()));
        ASSERT_TRUE(zetabbar_create(&t, "%s", opts.c_str()));
        for (zeControl *c : {&u.in.c, &s.c, &p.c, &t.c}) {
            zearg x = (zearg)c->x + (c->w > 0 ? rng() % c->w : 0), y = (zearg)c->y + (c->h > 0 ? rng() % c->h : 0);
            zecontrol_send(c, ZEMSG_LDOWN, x, y);
            zecontrol_send(c, ZEMSG_MOTION, x + 37, y);
            zecontrol_send(c, ZEMSG_LUP, x + 37, y);
            zecontrol_send(c, ZEMSG_KEYDOWN, rng() % 2 ? ZEKEY_UP : '5');
            zecontrol_send(c, ZEMSG_WHEELDOWN, x, y);
        }
        zetimer_tick(60);
        EXPECT_GE(zeslide_value(&s), 0);
        EXPECT_LE(zeslide_value(&s), 100);
        EXPECT_LE(zetabbar_selected(&t), ZETABBAR_TABS - 1);
    }
}

}  // namespace
