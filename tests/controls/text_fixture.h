// A window on the in-memory screen for the text controls' tests, and the
// user's hands: typing, keys with Shift, clicks, drags, the events raised.
#pragma once
#include "platform/headless/zeheadless.h"
#include "zeclipboard.h"
#include "zeevent.h"
#include "zeplatform.h"
#include "zetimer.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

class TextWindow : public ::testing::Test {
protected:
    enum { W = 400, H = 300 };
    zeWindow win;
    std::vector<int> events;   // ids taken from the queue, in order

    static zearg no_tick(void *, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) { return 0; }

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        static int owner;
        zetimer_set(no_tick, &owner, 1000, 0);   // starts the timer table; the test drives it
        zetimer_remove(&owner, 0);
        zetick_stop();
        zeheadless_advance(1000);
        pump();
        ASSERT_TRUE(zewindow_open(&win, "text,x=0,y=0,xs=%d,ys=%d,noquit,bgcolor=ffffff", W, H));
        pump();
        events.clear();
    }
    void TearDown() override { zewindow_close(&win); }

    void pump() {
        for (int id; (id = zeevent_poll()) != 0;) events.push_back(id);
    }
    int count(int id) const {
        int n = 0;
        for (int e : events) n += e == id;
        return n;
    }
    void type(const std::string &s) {
        for (unsigned char ch : s) zeheadless_keystroke(ch == ' ' ? 32 : 0, ch == ' ' ? 0 : ch);
        pump();
    }
    void key(int code) {
        zeheadless_keystroke(code, 0);
        pump();
    }
    void shift(bool down) {
        zeheadless_key(ZEKEY_SHIFT, 0, down);
        pump();
    }
    void shift_key(int code, int times = 1) {
        shift(true);
        for (int i = 0; i < times; i++) key(code);
        shift(false);
    }
    void ctrl(char letter) {   // what Ctrl+letter types
        zeheadless_key(ZEKEY_CTRL, 0, true);
        zeheadless_keystroke(0, letter - 'a' + 1);
        zeheadless_key(ZEKEY_CTRL, 0, false);
        pump();
    }
    void click(int x, int y, int button = 0) {
        zeheadless_advance(1000);   // never a double click
        zeheadless_click(x, y, button);
        pump();
    }
    void drag(int x0, int y0, int x1, int y1) {
        zeheadless_advance(1000);
        zeheadless_mouse(x0, y0, 0, true);
        zeheadless_motion((x0 + x1) / 2, y1);
        zeheadless_motion(x1, y1);
        zeheadless_mouse(x1, y1, 0, false);
        pump();
    }
    std::string clip() {
        const char *t = zeclipboard_get();
        return t ? t : "<none>";
    }
};
