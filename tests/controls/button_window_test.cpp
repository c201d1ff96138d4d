// Buttons in real windows on the in-memory screen, and the window-layer
// behaviour they meet: the pointer shape, the window's event callback
// reaching its main view, "ownpxmap", popups' owner windows and the grey
// that windows and controls share.
#include "platform/headless/zeheadless.h"
#include "zebutton.h"
#include "zeevent.h"
#include "zemetrics.h"
#include "zeplatform.h"
#include "zescheme.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int> g_callback;   // ids handed to the window's callback
zearg record(void *, int id, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_callback.push_back(id);
    return 0;
}

std::vector<int> drain() {
    std::vector<int> ids;
    for (int id; (id = zeevent_poll()) != 0;) ids.push_back(id);
    return ids;
}

class ButtonWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        zescheme_select("standard");
        zeheadless_advance(1000);
        g_callback.clear();
        drain();
    }
};

TEST_F(ButtonWindow, TheHandFollowsThePointerOverALinkOnTheScreen) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "links,x=0,y=0,xs=200,ys=100,noquit"));
    zeButton link, button;
    ASSERT_TRUE(zebutton_create(&link, "a link,x=10,y=10,hlink,url=http://x.test/"));
    ASSERT_TRUE(zebutton_create(&button, "button,x=10,y=50"));
    drain();
    zeheadless_motion(12, 12);
    drain();
    EXPECT_STREQ("hand", zeheadless_cursor());
    zeheadless_motion(15, 55);   // a plain button keeps the arrow
    drain();
    EXPECT_STREQ("standard", zeheadless_cursor());
    zeheadless_motion(12, 12);
    drain();
    zewindow_close(&w);   // the pointer leaves with the window
    EXPECT_STREQ("standard", zecursor_get());
}

TEST_F(ButtonWindow, AReleaseOutsideTheWindowCancelsTheClick) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "press,x=0,y=0,xs=200,ys=100,noquit"));
    zeButton b;
    ASSERT_TRUE(zebutton_create(&b, "OK,x=10,y=10,xs=60,ys=20"));
    zeheadless_motion(20, 20);
    zeheadless_mouse(20, 20, 0, true);
    zeheadless_motion(400, 400);
    zeheadless_mouse(400, 400, 0, false);
    std::vector<int> ids = drain();
    EXPECT_EQ(0, std::count(ids.begin(), ids.end(), zebutton_eventid(&b)));
    EXPECT_FALSE(zebutton_is_pressed(&b));
    zeheadless_click(20, 20, 0);
    ids = drain();
    EXPECT_EQ(1, std::count(ids.begin(), ids.end(), zebutton_eventid(&b)));
    zewindow_close(&w);
}

TEST_F(ButtonWindow, TheWindowsCallbackGetsTheMainViewsMouseEvents) {
    zeWindow before, after;
    zewindow_set_callback(&before, record, nullptr);   // set before opening
    ASSERT_TRUE(zewindow_open(&before, "before,x=0,y=0,xs=100,ys=100,noquit"));
    ASSERT_TRUE(zewindow_open(&after, "after,x=200,y=0,xs=100,ys=100,noquit"));
    zewindow_set_callback(&after, record, nullptr);
    drain();
    for (zeWindow *w : {&before, &after}) {
        g_callback.clear();
        zeheadless_click(w->x + 50, 50, 0);
        std::vector<int> queued = drain();
        zeView *v = zeview_of_window(w);
        int down = v->c.ids[ZEVIEW_ID_LDOWN];
        EXPECT_EQ(1, std::count(g_callback.begin(), g_callback.end(), down)) << w->title;
        EXPECT_EQ(0, std::count(queued.begin(), queued.end(), down)) << w->title;
    }
    zewindow_close(&before);
    zewindow_close(&after);
}

TEST_F(ButtonWindow, OwnPixmapKeepsTheMainViewsContentAndPopupsKnowTheirOwner) {
    zeWindow plain, own, popup;
    ASSERT_TRUE(zewindow_open(&plain, "plain,x=0,y=0,xs=100,ys=80,noquit"));
    ASSERT_TRUE(zewindow_open(&own, "own,x=200,y=0,xs=100,ys=80,noquit,ownpxmap"));
    EXPECT_TRUE(zeview_of_window(&plain)->direct);
    zeView *ov = zeview_of_window(&own);
    EXPECT_FALSE(ov->direct);
    EXPECT_EQ(100, ov->content.width);
    EXPECT_EQ(80, ov->content.height);
    ASSERT_TRUE(zewindow_open(&popup, "menu,x=20,y=20,xs=50,ys=50,popup,noquit"));
    EXPECT_EQ(own.native, zeheadless_owner(popup.native));
    EXPECT_EQ(0, zeheadless_owner(own.native));
    zewindow_close(&popup);
    zewindow_close(&own);
    zewindow_close(&plain);
}

TEST_F(ButtonWindow, WindowsAndControlsShareTheSchemesGrey) {
    EXPECT_EQ(0xD0D0D0, zesyscolor("grey"));
    EXPECT_EQ(0x787878, zesyscolor("textgrey"));
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "grey,x=0,y=0,xs=100,ys=80,noquit"));
    EXPECT_EQ(zescheme_color(ZECOL_GREY), w.bgcolor);
    zeButton b;
    ASSERT_TRUE(zebutton_create(&b, "B,x=10,y=10,xs=50,ys=20"));
    EXPECT_EQ(w.bgcolor, b.c.bgcolor);
    zewindow_close(&w);
}

}  // namespace
