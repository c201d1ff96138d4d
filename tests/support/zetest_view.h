// A headless view for control tests: a 500 x 300 view over a parent pixmap,
// made the standard view, with a parent that grants the focus and records
// what it is told. Mouse, wheel and key helpers go through the view, so the
// routing to the control is tested along with it.
#pragma once
#include "platform/headless/zeheadless.h"
#include "zecontrol.h"
#include "zeevent.h"
#include "zeplatform.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zeview.h"
#include <gtest/gtest.h>
#include <vector>

class ViewTest : public ::testing::Test {
public:
    static inline std::vector<std::vector<int>> told;   // [msg, a1..a4] sent to the parent
    zePixmap parentpx;
    zeView view;

    static zearg parent(void *, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg, zearg, zearg, zearg) {
        told.push_back({msg, (int)a1, (int)a2, (int)a3, (int)a4});
        return msg == ZEREQ_FOCUS ? 1 : 0;
    }
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zescheme_select("standard");
        zepxmap_init(&parentpx);
        ASSERT_TRUE(zepxmap_create(&parentpx, 500, 300, ZEPX_TRUECOLOR));
        ASSERT_TRUE(zeview_create_in(&view, parent, nullptr, &parentpx, false, "v,x=0,y=0,xs=500,ys=300,bgcolor=ffffff,standardview"));
        told.clear();
        zeevent_flush();
    }
    void TearDown() override {
        zeview_destroy(&view);
        zepxmap_release(&parentpx);
    }
    zearg send(int msg, int a1 = 0, int a2 = 0) { return zeview_handler(&view, msg, a1, a2, 0, 0, 0, 0, 0, 0); }
    void press(int x, int y) { send(ZEMSG_LDOWN, x, y); }
    void release(int x, int y) { send(ZEMSG_LUP, x, y); }
    void click(int x, int y) { press(x, y), release(x, y); }
    void move(int x, int y) { send(ZEMSG_MOTION, x, y); }
    void key(int code) { send(ZEMSG_KEYDOWN, code), send(ZEMSG_KEYUP, code); }
    void wheel(int x, int y, bool up) { send(up ? ZEMSG_WHEELUP : ZEMSG_WHEELDOWN, x, y); }
    // The queued ids, emptying the queue.
    std::vector<int> events() {
        std::vector<int> ids;
        while (zeevent_queued() > 0) ids.push_back(zeevent_poll());
        return ids;
    }
    int count(int id) {
        int n = 0;
        for (int e : events()) n += e == id;
        return n;
    }
    bool parent_told(int msg) {
        for (auto &m : told)
            if (m[0] == msg) return true;
        return false;
    }
    int pixel(int x, int y) { return zepxmap_getpixel(zeview_pixmap(&view), x, y); }
    // Pixels of a colour in a rectangle of the view's content.
    int pixels(int x, int y, int w, int h, int color) {
        int n = 0;
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++) n += pixel(i, j) == color;
        return n;
    }
};
