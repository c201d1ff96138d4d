// The control model: geometry from option strings, creation and release,
// focus, hiding, the refresh rectangle, event posting with its hooks, the
// colour scheme, and the frame and arrow drawing.
#include "platform/headless/zeheadless.h"
#include "zecontrol.h"
#include "zeevent.h"
#include "zeframe.h"
#include "zeplatform.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zeview.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What the view tells its parent.
std::vector<std::vector<int>> g_parent;
zearg fake_parent(void *, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg, zearg, zearg, zearg) {
    g_parent.push_back({msg, (int)a1, (int)a2, (int)a3, (int)a4});
    return msg == ZEREQ_FOCUS ? 1 : 0;
}

int g_draws;
void plain_draw(zeControl *c) {
    g_draws++;
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, c->focus ? 0x00FF00 : 0x0000FF);
}
void plain_natural(zeControl *, int *w, int *h) { *w = 30, *h = 12; }
const zeControlKind kPlain = {"plain", 0, nullptr, plain_natural, plain_draw, nullptr, nullptr};

class Control : public ::testing::Test {
protected:
    zePixmap parentpx;
    zeView view;
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zescheme_select("standard");
        zepxmap_init(&parentpx);
        ASSERT_TRUE(zepxmap_create(&parentpx, 500, 300, ZEPX_TRUECOLOR));
        ASSERT_TRUE(zeview_create_in(&view, fake_parent, nullptr, &parentpx, false, "v,x=0,y=0,xs=500,ys=300,bgcolor=ffffff,standardview"));
        ASSERT_EQ(&view, zeview_standard());
        g_parent.clear();
        g_draws = 0;
        zeevent_flush();
    }
    void TearDown() override {
        zeview_destroy(&view);
        zepxmap_release(&parentpx);
    }
    void create(zeControl *c, const char *opts) {
        zecontrol_init(c, &kPlain);
        ASSERT_TRUE(zecontrol_create(c, "%s", opts));
    }
    bool parent_got(int msg, int a1, int a2, int a3, int a4) {
        for (auto &m : g_parent)
            if (m[0] == msg && m[1] == a1 && m[2] == a2 && m[3] == a3 && m[4] == a4) return true;
        return false;
    }
};

TEST_F(Control, GeometryFollowsPercentagesAndLimits) {
    zeControl c;
    create(&c, "a,x=50%,y=10,width=40%,height=20");
    EXPECT_EQ(150, c.x);
    EXPECT_EQ(200, c.w);
    create(&c, "a,xs=100,maxxs=80,ys=10");
    EXPECT_EQ(80, c.w);
    create(&c, "a,xs=100,minxs=120,ys=10");
    EXPECT_EQ(120, c.w);
    // Wider than the view: cut to its width before the minimum applies.
    create(&c, "a,xs=900,minxs=600,ys=10");
    EXPECT_EQ(600, c.w);
    create(&c, "a,xs=900,ys=10");
    EXPECT_EQ(500, c.w);
    // No size given: the kind's natural size; no x: 0.
    create(&c, "caption,y=7");
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(7, c.y);
    EXPECT_EQ(30, c.w);
    EXPECT_EQ(12, c.h);
    EXPECT_STREQ("caption", c.text);
    // A new container size moves a percentage control.
    create(&c, "a,x=50%,xs=100,ys=10");
    EXPECT_EQ(200, c.x);
    zecontrol_send(&c, ZEMSG_SIZE, 300, 100);
    EXPECT_EQ(100, c.x);
    zecontrol_release(&c);
}

TEST_F(Control, CreationReadsTheCommonOptionsAndReleaseUnregisters) {
    zeControl c;
    create(&c, "a,x=10,y=20,xs=30,ys=40,border,nofocus,grey,bgcolor=ff0000,textcolor=00ff00");
    EXPECT_TRUE(c.created);
    EXPECT_EQ(2, c.border);
    EXPECT_TRUE(c.nofocus);
    EXPECT_TRUE(c.grey);
    EXPECT_EQ(0xFF0000, c.bgcolor);
    EXPECT_EQ(0x00FF00, c.textcolor);
    EXPECT_EQ(0xFFFFFF, c.transcolor);    // the view's background
    EXPECT_EQ(&view.content, c.target);
    ASSERT_EQ(1, view.nchildren);
    EXPECT_TRUE(view.children[0].inuse);
    EXPECT_FALSE(view.children[0].focus);
    EXPECT_EQ(10, view.children[0].x);
    EXPECT_EQ(40, view.children[0].h);
    // Drawn into the content and copied out over the rectangle grown by 2.
    EXPECT_EQ(0x0000FF, zepxmap_getpixel(&view.content, 10, 20));
    EXPECT_TRUE(parent_got(ZEREQ_REFRESH, 8, 18, 34, 44));
    int first = zecontrol_eventid(&c);
    zecontrol_release(&c);
    EXPECT_FALSE(c.created);
    EXPECT_FALSE(view.children[0].inuse);
    EXPECT_NE(first, zecontrol_eventid(&c));
    // A created control's slot is reused.
    create(&c, "b,xs=5,ys=5");
    EXPECT_EQ(1, view.nchildren);
    EXPECT_EQ(0, c.handle);
    zecontrol_release(&c);
}

TEST_F(Control, TheRegistryGrowsPastItsFirstCapacity) {
    static zeControl many[120];
    for (int i = 0; i < 120; i++) create(&many[i], "m,xs=2,ys=2");
    EXPECT_EQ(120, view.nchildren);
    EXPECT_EQ(205, view.capacity);
    for (int i = 0; i < 120; i++) EXPECT_EQ(i, many[i].handle);
    zecontrol_release(&many[7]);
    zeControl again;
    create(&again, "m,xs=2,ys=2");
    EXPECT_EQ(7, again.handle);
    zecontrol_release(&again);
    for (zeControl &c : many) zecontrol_release(&c);
}

TEST_F(Control, FocusIsOfferedAndNofocusRefuses) {
    zeControl a, b;
    create(&a, "a,x=10,y=10,xs=20,ys=20");
    create(&b, "b,x=50,y=10,xs=20,ys=20,nofocus");
    EXPECT_EQ(0, zecontrol_send(&b, ZEMSG_FOCUS));
    EXPECT_FALSE(b.focus);
    EXPECT_EQ(1, zecontrol_send(&a, ZEMSG_FOCUS));
    EXPECT_TRUE(a.focus);
    EXPECT_EQ(0x00FF00, zepxmap_getpixel(&view.content, 10, 10));
    zecontrol_send(&a, ZEMSG_UNFOCUS);
    EXPECT_FALSE(a.focus);
    EXPECT_EQ(0x0000FF, zepxmap_getpixel(&view.content, 10, 10));
    // A press asks the container, which grants it.
    zecontrol_send(&a, ZEMSG_LDOWN, 15, 15);
    EXPECT_TRUE(a.focus);
    EXPECT_EQ(0, zeview_focused(&view));
    // Hiding drops the focus, redrawing first, and leaves the background.
    int draws = g_draws;
    zecontrol_hide(&a);
    EXPECT_FALSE(a.focus);
    EXPECT_FALSE(a.visible);
    EXPECT_EQ(draws + 1, g_draws);
    EXPECT_EQ(0xFFFFFF, zepxmap_getpixel(&view.content, 10, 10));
    zecontrol_redraw(&a);                 // hidden: draws nothing
    EXPECT_EQ(draws + 1, g_draws);
    zecontrol_show(&a);
    EXPECT_EQ(0x0000FF, zepxmap_getpixel(&view.content, 10, 10));
    EXPECT_FALSE(zecontrol_set_grey(&a));
    EXPECT_TRUE(zecontrol_clear_grey(&a));
    EXPECT_TRUE(zecontrol_contains(&a, 10, 10));
    EXPECT_FALSE(zecontrol_contains(&a, 30, 10));
    zecontrol_release(&a);
    zecontrol_release(&b);
}

TEST_F(Control, ScrollingUpAtTheTopStillTellsTheParent) {
    zeView tall;
    ASSERT_TRUE(zeview_create_in(&tall, fake_parent, nullptr, &parentpx, false, "t,x=0,y=0,xs=100,ys=50,pys=200"));
    EXPECT_TRUE(parent_got(ZEREQ_SPARE, tall.c.handle, 1, 0, 0));   // the vertical bar was announced
    g_parent.clear();
    zesend(zeview_handler, &tall, ZESB_UP);
    EXPECT_EQ(0, tall.scrolly);
    ASSERT_EQ(1u, g_parent.size());
    EXPECT_EQ(ZEREQ_SCROLLED, g_parent[0][0]);
    zesend(zeview_handler, &tall, ZESB_PAGEDOWN);
    EXPECT_EQ(40, tall.scrolly);
    // A smaller content drops the bar and says so.
    g_parent.clear();
    zeview_resize_content(&tall, 100, 50, true, true);
    EXPECT_FALSE(tall.bars.von);
    EXPECT_EQ(0, tall.scrolly);
    EXPECT_TRUE(parent_got(ZEREQ_SPARE, tall.c.handle, 0, 0, 0));
    zeview_destroy(&tall);
}

struct Hooked {
    std::vector<std::vector<int>> events;
    int changes = 0;
};
Hooked g_hooked;
void event_hook(void *user, int id, int a1, int a2, int a3) {
    ((Hooked *)user)->events.push_back({id, a1, a2, a3});
}
void change_hook(zeControl *) { g_hooked.changes++; }

TEST_F(Control, PostingGoesToTheQueueOrTheHookAndTheChangeHookFollowsTheMainEvent) {
    zeControl c;
    create(&c, "a,xs=5,ys=5");
    zecontrol_post(&c, c.ids[0], 1, 2, 3);
    zecontrol_post(&c, c.ids[3]);
    EXPECT_EQ(c.ids[0], zeevent_poll());
    EXPECT_EQ(c.ids[3], zeevent_poll());
    g_hooked = Hooked{};
    zecontrol_set_eventhook(&c, event_hook, &g_hooked);
    zecontrol_set_changehook(&c, change_hook);
    zecontrol_post(&c, c.ids[0], 4, 5, 6);
    zecontrol_post(&c, c.ids[1], 7);
    EXPECT_EQ(0, zeevent_queued());
    ASSERT_EQ(2u, g_hooked.events.size());
    EXPECT_EQ((std::vector<int>{c.ids[0], 4, 5, 6}), g_hooked.events[0]);
    EXPECT_EQ(1, g_hooked.changes);
    EXPECT_EQ(7, c.lastargs[0]);
    // Sixteen consecutive ids.
    for (int i = 1; i < ZECONTROL_IDS; i++) EXPECT_EQ(c.ids[0] + i, c.ids[i]);
    zecontrol_release(&c);
}

TEST(Scheme, StandardGreySaveRestoreAndIndices) {
    ASSERT_TRUE(zebackend_select("headless"));
    ASSERT_TRUE(zescheme_select("grey"));
    EXPECT_EQ(0xD0D0D0, zescheme_color(ZECOL_GREY));
    EXPECT_EQ(0x787878, zescheme_color(ZECOL_TEXTGREY));
    EXPECT_EQ(0xC0D8FF, zescheme_color(ZECOL_BLUE));    // 24-bit display
    EXPECT_EQ(-1, zescheme_color(11));
    EXPECT_EQ(-1, zescheme_color(-1));
    int grey[ZECOL_COUNT];
    zescheme_copy(grey);
    // The desktop offers no button colours: the standard scheme is the
    // default one, so windows and controls agree on their grey.
    ASSERT_TRUE(zescheme_select("standard"));
    for (int i = 0; i < ZECOL_COUNT; i++) EXPECT_EQ(grey[i], zescheme_color(i)) << "entry " << i;
    int face = zescheme_color(ZECOL_GREY);
    zescheme_save();
    zescheme_set(ZECOL_GREY, 0x123456);
    EXPECT_EQ(0x123456, zescheme_byname("grey"));
    zescheme_restore();
    EXPECT_EQ(face, zescheme_byname("grey"));
    EXPECT_FALSE(zescheme_select("purple"));
    EXPECT_EQ(face, zescheme_color(ZECOL_GREY));
}

// The pixmap as rows of '.' and '#' (pixels of colour c).
std::string picture(const zePixmap *p, int c) {
    std::string s;
    for (int y = 0; y < p->height; y++) {
        for (int x = 0; x < p->width; x++) s += zepxmap_getpixel(p, x, y) == c ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(Frame, ArrowsAreCentredTrianglesAndUnknownNamesDrawNothing) {
    zePixmap p;
    zepxmap_init(&p);
    ASSERT_TRUE(zepxmap_create(&p, 9, 6, ZEPX_TRUECOLOR));
    zepxmap_clear(&p, 0);
    EXPECT_TRUE(zearrow_draw(&p, "up", 0, 0, 9, 6, 1));
    EXPECT_EQ(".........\n"
              "....#....\n"
              "...###...\n"
              "..#####..\n"
              ".#######.\n"
              ".........\n",
              picture(&p, 1));
    zepxmap_clear(&p, 0);
    EXPECT_TRUE(zearrow_draw(&p, "right", 0, 0, 9, 6, 1, ZEARROWSIZE_SMALL));
    EXPECT_EQ("...#.....\n"      // 3 x 5 in 9 x 6: the half row rounds toward zero
              "...##....\n"
              "...###...\n"
              "...##....\n"
              "...#.....\n"
              ".........\n",
              picture(&p, 1));
    zepxmap_clear(&p, 0);
    EXPECT_FALSE(zearrow_draw(&p, "sideways", 0, 0, 9, 6, 1));
    EXPECT_FALSE(zearrow_draw(&p, "double left", 0, 0, 9, 6, 1, ZEARROWSIZE_BIG));
    EXPECT_EQ(std::string::npos, picture(&p, 1).find('#'));
    int w, h;
    ASSERT_NE(nullptr, zearrow_glyph("double right", ZEARROWSIZE_NORMAL, &w, &h));
    EXPECT_EQ(9, w);
    EXPECT_EQ(7, h);
    EXPECT_STREQ("*    *   ", std::string(zearrow_glyph("double right", 0, &w, &h), 9).c_str());
    ASSERT_NE(nullptr, zearrow_glyph("left", ZEARROWSIZE_BIG, &w, &h));
    EXPECT_EQ(8, w);
    EXPECT_EQ(15, h);
    ASSERT_NE(nullptr, zearrow_glyph("down", ZEARROWSIZE_BIG, &w, &h));
    EXPECT_EQ(11, w);
    EXPECT_EQ(6, h);
    zepxmap_release(&p);
}

TEST(Frame, StylesDrawTheirLines) {
    zePixmap p;
    zepxmap_init(&p);
    ASSERT_TRUE(zepxmap_create(&p, 5, 4, ZEPX_TRUECOLOR));
    zepxmap_clear(&p, 0);
    zeframe_draw(&p, ZEFRAME_SIMPLE, false, 0, 0, 5, 4, 1, 2);
    EXPECT_EQ("####.\n#....\n#....\n.....\n", picture(&p, 1));
    EXPECT_EQ("....#\n....#\n....#\n#####\n", picture(&p, 2));
    zeframe_draw(&p, ZEFRAME_SIMPLE, true, 0, 0, 5, 4, 1, 2);   // pressed swaps
    EXPECT_EQ("....#\n....#\n....#\n#####\n", picture(&p, 1));
    zepxmap_clear(&p, 0);
    zeframe_draw(&p, 99, false, 0, 0, 5, 4, 1, 2);               // unknown: style 0
    EXPECT_EQ("####.\n#....\n#....\n.....\n", picture(&p, 1));
    zepxmap_clear(&p, 0);
    zeframe_draw(&p, ZEFRAME_OUTLINE, false, 0, 0, 5, 4, 3);
    EXPECT_EQ("#####\n#...#\n#...#\n#####\n", picture(&p, 3));
    zepxmap_clear(&p, 0);
    zeframe_draw(&p, ZEFRAME_FOCUS, false, 0, 0, 4, 3, 3);       // w even, h odd: starts at (0, 1)
    EXPECT_EQ(".....\n#.#.#\n.....\n#.#.#\n", picture(&p, 3));
    zepxmap_clear(&p, 0);
    zeframe_draw(&p, ZEFRAME_DOUBLE, false, 0, 0, 5, 4, 1, 2, 3, 4);
    EXPECT_EQ("####.\n#....\n#....\n.....\n", picture(&p, 4));   // outer top-left light
    EXPECT_EQ(".....\n.##..\n.....\n.....\n", picture(&p, 2));   // inner top-left white
    zepxmap_release(&p);
}

}  // namespace
