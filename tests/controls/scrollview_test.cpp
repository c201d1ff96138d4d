// The scroll view on the in-memory screen: scrolling by every input, what
// reaches the screen, focus order, mouse routing and capture, scheduled
// refreshes, bars and centring.
#include "platform/headless/zeheadless.h"
#include "zecontrol.h"
#include "zeevent.h"
#include "zegout.h"
#include "zeplatform.h"
#include "zetimer.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

// A control that records what it is sent; it captures the mouse while the
// left button is held.
struct Box {
    zeControl c;
    std::vector<std::vector<int>> got;
    bool held = false;
    int count(int msg) const {
        int n = 0;
        for (auto &m : got) n += m[0] == msg;
        return n;
    }
};

zearg box_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                 zearg a8) {
    Box *b = (Box *)owner;
    b->got.push_back({msg, (int)a1, (int)a2});
    if (msg == ZEMSG_LDOWN) {
        b->held = true;
        zecontrol_request(&b->c, ZEREQ_CAPTURE, b->c.handle);
    }
    if (msg == ZEMSG_LUP && b->held) {
        b->held = false;
        zecontrol_request(&b->c, ZEREQ_RELEASE, b->c.handle);
    }
    return zecontrol_default(&b->c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

void box_draw(zeControl *c) { zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, 0x123456); }
const zeControlKind kBox = {"box", 0, nullptr, nullptr, box_draw, box_handle, nullptr};

int row_color(int y) { return 0x400000 | y; }

zearg dummy_tick(void *, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) { return 0; }

void pump() {
    while (zeevent_poll() != 0) {}
}

// Pointer positions of the 200 x 100 window at the screen's origin.
enum { W = 200, H = 100, CH = 400, BAR = 15 };

class ScrollView : public ::testing::Test {
protected:
    zeWindow win;
    zeView *view = nullptr;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        // Timer slots run only when the test says so.
        static int owner;
        zetimer_set(dummy_tick, &owner, 1000, 0);
        zetimer_remove(&owner, 0);
        zetick_stop();
        zeheadless_advance(1000);   // no double click with an earlier test's click
        pump();
        ASSERT_TRUE(zewindow_open(&win, "scroll,x=0,y=0,xs=%d,ys=%d,cys=%d,noquit", W, H, CH));
        view = zeview_of_window(&win);
        ASSERT_NE(nullptr, view);
        ASSERT_EQ(view, zeview_standard());
        for (int y = 0; y < CH; y++) zegraphic_fillrect(0, y, W, 1, row_color(y));
        zeview_flush();
        pump();
    }
    void TearDown() override { zewindow_close(&win); }

    // The content row shown at screen row y.
    int shown_row(int y) { return (int)(zeheadless_pixel(5, y) & 0xFFFF); }
    void key(int code) {
        zeheadless_keystroke(code, 0);
        pump();
    }
    void click(int x, int y) {
        zeheadless_click(x, y, 0);
        pump();
    }
};

TEST_F(ScrollView, ScrollsByWheelKeysArrowsTrackAndThumb) {
    EXPECT_TRUE(view->bars.von);
    EXPECT_FALSE(view->bars.hon);
    EXPECT_EQ(5, shown_row(5));
    EXPECT_EQ(W - BAR, zegraphic_width());   // a page sees the content minus the bar
    EXPECT_EQ(CH, zegraphic_height());

    zeheadless_wheel(50, 50, false);
    pump();
    EXPECT_EQ(20, view->scrolly);            // CH / 20
    EXPECT_EQ(25, shown_row(5));
    key(ZEKEY_DOWN);
    EXPECT_EQ(40, view->scrolly);
    key(ZEKEY_PAGEDOWN);
    EXPECT_EQ(120, view->scrolly);           // CH / 5
    EXPECT_EQ(120 + 99, shown_row(99));
    key(ZEKEY_UP);
    EXPECT_EQ(100, view->scrolly);

    // The down arrow: one command when released over it.
    const zeSBBox down = view->bars.downbox;
    click(down.x + 5, down.y + 5);
    EXPECT_EQ(120, view->scrolly);
    // The track below the thumb pages down; above it pages up.
    const zeSBBox thumb = view->bars.vthumb;
    click(thumb.x + 5, (thumb.y + thumb.h + down.y) / 2);
    EXPECT_EQ(200, view->scrolly);
    const zeSBBox thumb2 = view->bars.vthumb;
    click(thumb2.x + 5, (view->bars.vtrack.y + thumb2.y) / 2 + 1);
    EXPECT_EQ(120, view->scrolly);

    // The thumb dragged far below the window ends at the bottom.
    const zeSBBox t = view->bars.vthumb;
    zeheadless_mouse(t.x + 5, t.y + 3, 0, true);
    pump();
    EXPECT_TRUE(view->bars.vdrag);
    zeheadless_motion(t.x + 5, 500);
    pump();
    zeheadless_mouse(t.x + 5, 500, 0, false);
    pump();
    EXPECT_FALSE(view->bars.vdrag);
    EXPECT_EQ(100, view->bars.vpos);
    EXPECT_EQ(CH - H, view->scrolly);
    EXPECT_EQ(CH - 1, shown_row(H - 1));

    // Down at the end changes nothing; back to the top by wheel.
    key(ZEKEY_DOWN);
    EXPECT_EQ(CH - H, view->scrolly);
    for (int i = 0; i < 20; i++) zeheadless_wheel(50, 50, true);
    pump();
    EXPECT_EQ(0, view->scrolly);
    EXPECT_EQ(0, shown_row(0));
}

TEST_F(ScrollView, StepsStopExactlyAtTheEndAndSetScrollStopsOneShort) {
    for (int i = 0; i < 30; i++) zesend(zeview_handler, view, ZESB_DOWN);
    EXPECT_EQ(CH - H, view->scrolly);
    zeview_set_scroll_y(view, 10000);
    EXPECT_EQ(CH - H - 1, view->scrolly);
    zeview_set_scroll_y(view, -5);
    EXPECT_EQ(0, view->scrolly);
}

TEST_F(ScrollView, HeldArrowRepeatsAfterHalfASecondThenEveryTenthOfASecond) {
    const zeSBBox down = view->bars.downbox;
    zeheadless_mouse(down.x + 5, down.y + 5, 0, true);
    pump();
    int step = CH / 20;
    zetimer_tick(49);
    EXPECT_EQ(0, view->scrolly);
    zetimer_tick(1);
    EXPECT_EQ(step, view->scrolly);          // after 500 ms
    zetimer_tick(50);
    EXPECT_EQ(6 * step, view->scrolly);      // then 600, 700, 800, 900, 1000 ms
    zeheadless_mouse(down.x + 5, down.y + 5, 0, false);
    pump();
    EXPECT_EQ(7 * step, view->scrolly);      // and once on release
    zetimer_tick(100);
    EXPECT_EQ(7 * step, view->scrolly);
}

TEST_F(ScrollView, ABurstOfDrawingCostsOneCopy) {
    long before = view->refreshes, copies = zeheadless_copies(win.native);
    for (int i = 0; i < 1000; i++) zegraphic_setpixel(i % 150, 10 + i / 150, 0xFF0000);
    EXPECT_EQ(before, view->refreshes);
    EXPECT_EQ(copies, zeheadless_copies(win.native));
    EXPECT_NE(0xFF0000u, zeheadless_pixel(3, 10));   // not on the screen yet
    zetimer_tick(1);
    EXPECT_EQ(before + 1, view->refreshes);
    EXPECT_EQ(copies + 1, zeheadless_copies(win.native));
    EXPECT_EQ(0xFF0000u, zeheadless_pixel(3, 10));
    zetimer_tick(10);
    EXPECT_EQ(before + 1, view->refreshes);
    // The same through the pump's own tick path.
    for (int i = 0; i < 1000; i++) zegraphic_setpixel(i % 150, 30, 0x00FF00);
    zetick_inject(1);
    pump();
    EXPECT_EQ(before + 2, view->refreshes);
    EXPECT_EQ(0x00FF00u, zeheadless_pixel(7, 30));
}

// A direct main view copies nothing of its own: only the screen copies show
// whether a burst of drawing reached the screen once.
TEST_F(ScrollView, ABurstOnADirectMainViewCostsOneScreenCopy) {
    zeWindow direct;
    ASSERT_TRUE(zewindow_open(&direct, "direct,x=300,y=0,xs=120,ys=80,noquit"));
    zeView *dv = zeview_of_window(&direct);
    ASSERT_NE(nullptr, dv);
    ASSERT_TRUE(dv->direct);
    zeview_flush();
    long copies = zeheadless_copies(direct.native);
    for (int i = 0; i < 1000; i++) zegraphic_setpixel(i % 100, i / 100, 0x0000FF);
    EXPECT_EQ(copies, zeheadless_copies(direct.native));
    zetimer_tick(1);
    EXPECT_EQ(copies + 1, zeheadless_copies(direct.native));
    EXPECT_EQ(0x0000FFu, zeheadless_pixel(300 + 5, 5));
    zetimer_tick(10);
    EXPECT_EQ(copies + 1, zeheadless_copies(direct.native));
    zewindow_close(&direct);
}

// A resizable window's main view takes the new client size: drawing reaches
// the grown area, controls placed in percent move with it and clicks there
// reach them; content of its own size keeps it and loses its bar.
TEST_F(ScrollView, AResizableWindowsMainViewFollowsTheWindow) {
    zeWindow rw;
    ASSERT_TRUE(zewindow_open(&rw, "rs,x=300,y=0,xs=100,ys=80,resize,noquit"));
    zeView *rv = zeview_of_window(&rw);
    ASSERT_NE(nullptr, rv);
    ASSERT_TRUE(rv->direct);
    Box corner;
    zecontrol_init(&corner.c, &kBox);
    ASSERT_TRUE(zecontrol_create(&corner.c, "c,x=80%,y=80%,xs=10,ys=10"));
    EXPECT_EQ(75, corner.c.x);   // centred on 80 %
    zeview_flush();
    pump();
    zeheadless_user_resize(rw.native, 300, 200);
    pump();
    EXPECT_EQ(300, rv->c.w);
    EXPECT_EQ(200, rv->c.h);
    EXPECT_EQ(235, corner.c.x);
    EXPECT_EQ(155, corner.c.y);
    EXPECT_EQ(0x123456u, zeheadless_pixel(300 + 240, 160));
    zegraphic_fillrect(280, 180, 10, 10, 0xFF0000);
    zegraphic_fillrect(2, 2, 4, 4, 0x00FF00);   // the old pixels are gone: no drawing there
    zeview_flush();
    EXPECT_EQ(0xFF0000u, zeheadless_pixel(300 + 285, 185));
    EXPECT_EQ(0x00FF00u, zeheadless_pixel(300 + 3, 3));
    click(300 + 240, 160);
    EXPECT_EQ(1, corner.count(ZEMSG_LDOWN));
    zecontrol_release(&corner.c);
    zewindow_close(&rw);

    ASSERT_TRUE(zewindow_open(&rw, "rs,x=300,y=0,xs=100,ys=80,cys=400,resize,noquit"));
    rv = zeview_of_window(&rw);
    ASSERT_TRUE(rv->bars.von);
    zeheadless_user_resize(rw.native, 100, 500);
    pump();
    EXPECT_EQ(500, rv->c.h);
    EXPECT_EQ(400, zeview_pixmap(rv)->height);
    EXPECT_FALSE(rv->bars.von);
    EXPECT_EQ(50, rv->centrey);
    zewindow_close(&rw);
}

class ScrollViewControls : public ScrollView {
protected:
    Box boxes[4];
    void SetUp() override {
        ScrollView::SetUp();
        const char *opts[4] = {"a,x=10,y=10,xs=50,ys=20", "b,x=80,y=10,xs=50,ys=20", "c,x=10,y=50,xs=50,ys=20,nofocus",
                               "d,x=10,y=300,xs=50,ys=20"};
        for (int i = 0; i < 4; i++) {
            zecontrol_init(&boxes[i].c, &kBox);
            ASSERT_TRUE(zecontrol_create(&boxes[i].c, "%s", opts[i]));
        }
        pump();
    }
    void TearDown() override {
        for (Box &b : boxes) zecontrol_release(&b.c);
        ScrollView::TearDown();
    }
    int focused() {
        for (int i = 0; i < 4; i++)
            if (boxes[i].c.focus) return i;
        return -1;
    }
};

TEST_F(ScrollViewControls, TabAndShiftTabFollowTheOrderAndSkipNofocus) {
    EXPECT_EQ(0x123456u, zeheadless_pixel(20, 20));
    key(ZEKEY_TAB);                         // nobody focused among several: nothing
    EXPECT_EQ(-1, focused());
    click(20, 20);
    EXPECT_EQ(0, focused());
    key(ZEKEY_TAB);
    EXPECT_EQ(1, focused());
    EXPECT_EQ(1, boxes[0].count(ZEMSG_UNFOCUS));
    key(ZEKEY_TAB);                         // skips "c"; "d" lies below: scrolled into view
    EXPECT_EQ(3, focused());
    EXPECT_GT(view->scrolly, 0);
    EXPECT_LE(view->scrolly, 300);
    EXPECT_GT(300 + 20, view->scrolly);
    key(ZEKEY_TAB);                         // wraps around
    EXPECT_EQ(0, focused());
    zeheadless_key(ZEKEY_SHIFT, 0, true);
    key(ZEKEY_TAB);
    EXPECT_EQ(3, focused());
    key(ZEKEY_TAB);
    EXPECT_EQ(1, focused());
    zeheadless_key(ZEKEY_SHIFT, 0, false);
    pump();
    // Enter in a control moves on as Tab does.
    zecontrol_request(&boxes[1].c, ZEREQ_FOCUSNEXT);
    EXPECT_EQ(3, focused());
    key(ZEKEY_ESCAPE);
    EXPECT_EQ(-1, focused());
    EXPECT_EQ(-1, zeview_focused(view));
    // A nofocus control refuses the focus.
    EXPECT_EQ(0, zecontrol_send(&boxes[2].c, ZEMSG_FOCUS));
}

TEST_F(ScrollViewControls, AClickReachesOnlyTheControlUnderIt) {
    click(20, 20);
    EXPECT_EQ(1, boxes[0].count(ZEMSG_LDOWN));
    EXPECT_EQ(1, boxes[0].count(ZEMSG_LUP));
    for (int i = 1; i < 4; i++) EXPECT_EQ(0, boxes[i].count(ZEMSG_LDOWN)) << i;
    EXPECT_EQ(0, focused());
    // The edge itself is outside (strictly inside only): an empty place,
    // and a press there takes the focus away.
    click(80, 15);
    EXPECT_EQ(0, boxes[1].count(ZEMSG_LDOWN));
    EXPECT_EQ(-1, focused());
    click(20, 20);
    EXPECT_EQ(0, focused());
    click(150, 80);
    EXPECT_EQ(-1, focused());
    // Content coordinates follow the scroll position.
    zeview_set_scroll_y(view, 250);
    pump();
    click(20, 310 - 250);
    ASSERT_EQ(1, boxes[3].count(ZEMSG_LDOWN));
    for (auto &m : boxes[3].got)
        if (m[0] == ZEMSG_LDOWN) EXPECT_EQ(310, m[2]);
}

TEST_F(ScrollViewControls, CaptureKeepsMovesWithTheDraggingControl) {
    zeheadless_mouse(20, 20, 0, true);
    pump();
    ASSERT_TRUE(boxes[0].held);
    EXPECT_EQ(0, view->captured);
    zeheadless_motion(100, 20);             // over "b", outside "a"
    zeheadless_motion(300, 400);            // outside the window
    pump();
    EXPECT_EQ(2, boxes[0].count(ZEMSG_MOTION));
    EXPECT_EQ(0, boxes[1].count(ZEMSG_MOTION));
    zeheadless_mouse(300, 400, 0, false);
    pump();
    EXPECT_EQ(1, boxes[0].count(ZEMSG_LUP));
    EXPECT_EQ(-1, view->captured);
    zeheadless_motion(100, 20);
    pump();
    EXPECT_EQ(2, boxes[0].count(ZEMSG_MOTION));
    EXPECT_EQ(1, boxes[1].count(ZEMSG_MOTION));
}

TEST_F(ScrollViewControls, WheelGoesToTheFocusedControlAndHiddenOnesVanish) {
    click(20, 20);
    zeheadless_wheel(50, 50, false);
    pump();
    EXPECT_EQ(1, boxes[0].count(ZEMSG_WHEELDOWN));
    EXPECT_EQ(0, view->scrolly);
    // Hiding the focused control drops its focus and leaves the background.
    zecontrol_hide(&boxes[0].c);
    EXPECT_FALSE(boxes[0].c.focus);
    EXPECT_EQ((unsigned)view->c.bgcolor, zeheadless_pixel(20, 20));
    zecontrol_show(&boxes[0].c);
    EXPECT_EQ(0x123456u, zeheadless_pixel(20, 20));
}

TEST_F(ScrollViewControls, AHiddenControlTakesNeitherClicksNorTheFocus) {
    zecontrol_hide(&boxes[1].c);
    click(100, 20);                         // where "b" was
    EXPECT_EQ(0, boxes[1].count(ZEMSG_LDOWN));
    zeheadless_motion(100, 21);
    pump();
    EXPECT_EQ(0, boxes[1].count(ZEMSG_MOTION));
    EXPECT_EQ(-1, view->hoverchild);
    click(20, 20);
    EXPECT_EQ(0, focused());
    key(ZEKEY_TAB);                         // past the hidden "b" and the nofocus "c"
    EXPECT_EQ(3, focused());
    EXPECT_FALSE(boxes[1].c.focus);
    EXPECT_FALSE(zecontrol_ask_focus(&boxes[1].c));
    zecontrol_show(&boxes[1].c);
    zeview_set_scroll_y(view, 0);           // "d" was brought into view
    zeheadless_advance(1000);               // not a double click with the first one
    click(100, 20);
    EXPECT_EQ(1, boxes[1].count(ZEMSG_LDOWN));
    EXPECT_EQ(1, focused());
}

TEST_F(ScrollViewControls, AControlOrViewGoingAwayMidDragReleasesThePointer) {
    zeheadless_mouse(20, 20, 0, true);
    pump();
    ASSERT_TRUE(boxes[0].held);
    EXPECT_EQ(win.native, zeheadless_capture());
    zecontrol_release(&boxes[0].c);         // gone before the button comes up
    EXPECT_EQ(-1, view->captured);
    EXPECT_EQ(0, zeheadless_capture());
    zeheadless_mouse(20, 20, 0, false);
    pump();

    // A nested view whose child holds the pointer, and a dragged thumb.
    zeView inner;
    ASSERT_TRUE(zeview_create(&inner, "in,x=100,y=40,xs=80,ys=40,pys=200,standardview"));
    Box box;
    zecontrol_init(&box.c, &kBox);
    ASSERT_TRUE(zecontrol_create(&box.c, "b,x=5,y=5,xs=30,ys=20"));
    zeview_make_standard(view);
    zeheadless_mouse(100 + 10, 40 + 10, 0, true);
    pump();
    ASSERT_TRUE(box.held);
    EXPECT_EQ(win.native, zeheadless_capture());
    zeview_destroy(&inner);
    EXPECT_EQ(0, zeheadless_capture());
    EXPECT_EQ(-1, view->captured);
    zeheadless_mouse(100 + 10, 40 + 10, 0, false);
    pump();
    zecontrol_release(&box.c);

    ASSERT_TRUE(zeview_create(&inner, "in,x=100,y=40,xs=80,ys=40,pys=200,nostandardview"));
    ASSERT_TRUE(inner.bars.von);
    const zeSBBox &t = inner.bars.vthumb;
    zeheadless_mouse(t.x + t.w / 2, t.y + t.h / 2, 0, true);
    pump();
    ASSERT_TRUE(inner.bars.vdrag);
    EXPECT_EQ(win.native, zeheadless_capture());
    zeview_destroy(&inner);
    EXPECT_EQ(0, zeheadless_capture());
}

// A control that makes more controls when the pointer first moves over it
// (a tooltip, a menu): the registry grows and moves while it is told.
std::vector<Box> *g_made;
zearg spawner_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                     zearg a8) {
    Box *b = (Box *)owner;
    if (msg == ZEMSG_MOTION && g_made->empty()) {
        g_made->resize(300);
        for (Box &m : *g_made) {
            zecontrol_init(&m.c, &kBox);
            zecontrol_create(&m.c, "m,x=150,y=250,xs=5,ys=5");
        }
    }
    return box_handle(b, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
const zeControlKind kSpawner = {"spawner", ZECHILD_HOVER, nullptr, nullptr, box_draw, spawner_handle, nullptr};

TEST_F(ScrollView, AChildRegisteringOthersWhileThePointerMovesKeepsTheHover) {
    std::vector<Box> made;
    g_made = &made;
    Box s;
    zecontrol_init(&s.c, &kSpawner);
    ASSERT_TRUE(zecontrol_create(&s.c, "s,x=10,y=10,xs=50,ys=20"));
    zeheadless_motion(20, 20);
    pump();
    EXPECT_EQ(300u, made.size());
    EXPECT_GE(view->capacity, 300);
    EXPECT_EQ(s.c.handle, view->hoverchild);
    EXPECT_EQ(1, s.count(ZEMSG_ENTER));
    for (Box &m : made) zecontrol_release(&m.c);
    zecontrol_release(&s.c);
}

TEST_F(ScrollView, BarsNeedMoreThan21PixelsAndSmallContentIsCentred) {
    zeView inner, inner2, small;
    ASSERT_TRUE(zeview_create(&inner, "in,x=10,y=10,xs=100,ys=50,pys=71,nostandardview"));
    EXPECT_FALSE(inner.bars.von);
    ASSERT_TRUE(zeview_create(&inner2, "in,x=10,y=10,xs=100,ys=50,pys=72,nostandardview"));
    EXPECT_TRUE(inner2.bars.von);
    zeview_destroy(&inner2);
    zeview_destroy(&inner);
    EXPECT_EQ(view, zeview_standard());

    ASSERT_TRUE(zeview_create(&small, "sm,x=20,y=20,xs=60,ys=40,pxs=20,pys=10,bgcolor=0000ff,standardview"));
    EXPECT_EQ(&small, zeview_standard());
    EXPECT_EQ(20, small.centrex);
    EXPECT_EQ(15, small.centrey);
    zegraphic_clear(0xFF0000);               // goes to the small view now
    zeview_flush();
    EXPECT_EQ(0x0000FFu, zeheadless_pixel(21, 21));
    EXPECT_EQ(0xFF0000u, zeheadless_pixel(20 + 20 + 5, 20 + 15 + 5));
    EXPECT_EQ(0x0000FFu, zeheadless_pixel(20 + 20 + 25, 20 + 15 + 5));
    zeview_destroy(&small);
    EXPECT_EQ(view, zeview_standard());
}

// A new view takes the drawing but not the controls unless asked to: a view
// embedded in a page must leave the page's later controls where they were.
TEST_F(ScrollView, ANewViewBecomesStandardOnlyWhenAsked) {
    zeView inner;
    ASSERT_TRUE(zeview_create(&inner, "in,x=20,y=20,xs=60,ys=40,pys=100,bgcolor=00ff00"));
    EXPECT_EQ(view, zeview_standard());
    EXPECT_EQ(&inner, (zeView *)zegraphic_output());
    Box box;
    zecontrol_init(&box.c, &kBox);
    ASSERT_TRUE(zecontrol_create(&box.c, "b,x=5,y=5,xs=10,ys=10"));
    EXPECT_EQ(view, (zeView *)box.c.parentowner);
    // Going away, it hands the drawing back to the standard view.
    zeview_destroy(&inner);
    EXPECT_EQ(view, (zeView *)zegraphic_output());
    zecontrol_release(&box.c);

    ASSERT_TRUE(zeview_create(&inner, "in,x=20,y=20,xs=60,ys=40,nostandardview"));
    EXPECT_EQ(view, (zeView *)zegraphic_output());
    zeview_destroy(&inner);
    ASSERT_TRUE(zeview_create(&inner, "in,x=20,y=20,xs=60,ys=40,standardview"));
    EXPECT_EQ(&inner, zeview_standard());
    EXPECT_EQ(&inner, (zeView *)zegraphic_output());
    zeview_destroy(&inner);
    EXPECT_EQ(view, zeview_standard());
    EXPECT_EQ(view, (zeView *)zegraphic_output());
}

TEST_F(ScrollView, NestedViewRoutesClicksAndCopiesThroughBothLevels) {
    zeview_set_scroll_y(view, 50);
    pump();
    zeView inner;
    ASSERT_TRUE(zeview_create(&inner, "in,x=20,y=60,xs=100,ys=30,pys=120,bgcolor=00ff00,standardview"));
    EXPECT_TRUE(inner.bars.von);
    Box box;
    zecontrol_init(&box.c, &kBox);
    ASSERT_TRUE(zecontrol_create(&box.c, "b,x=10,y=40,xs=30,ys=10"));   // in the inner view
    zeview_make_standard(view);
    zeview_set_scroll_y(&inner, 35);
    // Inner content y 40 is inner row 5, outer content y 65, screen y 15.
    EXPECT_EQ(0x123456u, zeheadless_pixel(20 + 10 + 2, 15 + 2));
    EXPECT_EQ(0x00FF00u, zeheadless_pixel(20 + 50, 12));
    click(20 + 15, 15 + 3);
    ASSERT_EQ(1, box.count(ZEMSG_LDOWN));
    for (auto &m : box.got)
        if (m[0] == ZEMSG_LDOWN) EXPECT_EQ((std::vector<int>{ZEMSG_LDOWN, 15, 43}), m);
    // The outer view reports the click under its own ids.
    zeheadless_click(150, 80, 0);
    std::vector<int> ids;
    for (int id; (id = zeevent_poll()) != 0;) ids.push_back(id);
    EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), view->c.ids[ZEVIEW_ID_LDOWN]));
    EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), view->c.ids[ZEVIEW_ID_LUP]));
    zecontrol_release(&box.c);
    zeview_destroy(&inner);
}

}  // namespace
