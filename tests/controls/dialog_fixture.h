// The standard dialogs driven on the in-memory screen: the user's keys and
// clicks are queued when the dialog is up (its open hook), the dialog's own
// loop delivers them, and the answer and the caller's state are checked.
#pragma once
#include "platform/headless/zeheadless.h"
#include "zecontrol.h"
#include "zedialog.h"
#include "zeevent.h"
#include "zefont.h"
#include "zegout.h"
#include "zeplatform.h"
#include "zescheme.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

struct DialogSeen {
    int rect[4];   // the dialog window on the screen
    int controls;
    std::string title;
};

// What the user does once a dialog is up; a test sets it before the call.
// Nested dialogs (the banner, "File does not exist.") open through the same
// hook, so it is told how many opened before.
inline std::function<void(zeWindow *, zeControl *const *, int opened)> g_user;
inline DialogSeen g_seen;
inline int g_opened;

inline void dialog_on_open(zeWindow *w, zeControl *const *c, int n) {
    int before = g_opened++;
    zeheadless_rect(w->native, g_seen.rect);
    g_seen.controls = n;
    g_seen.title = zeheadless_title(w->native);
    if (g_user) g_user(w, c, before);
}

// A point in the dialog's client area (the in-memory screen has no frames).
inline void click_at(zeWindow *w, int x, int y) {
    int r[4];
    zeheadless_rect(w->native, r);
    zeheadless_click(r[0] + x, r[1] + y, 0);
}

inline void click(zeWindow *w, const zeControl *c) { click_at(w, c->x + c->w / 2, c->y + c->h / 2); }

inline void type(const std::string &s) {
    for (unsigned char ch : s) zeheadless_keystroke(ch == ' ' ? 32 : 0, ch == ' ' ? 0 : ch);
}

inline void key(int code) { zeheadless_keystroke(code, 0); }

class Dialog : public ::testing::Test {
protected:
    zeWindow caller;
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        zefont_init();
        zescheme_select("standard");
        zeheadless_advance(1000);
        ASSERT_TRUE(zewindow_open(&caller, "caller,x=0,y=0,xs=300,ys=200,noquit"));
        while (zeevent_poll() != 0) {}
        zedialog_set_open_hook(dialog_on_open);
        g_user = nullptr, g_opened = 0, g_seen = {};
    }
    void TearDown() override {
        zedialog_set_open_hook(nullptr);
        zewindow_close(&caller);
    }
    // The caller's standard view and output must survive every dialog.
    void expect_caller_restored() {
        EXPECT_EQ(zeview_of_window(&caller), zeview_standard());
        EXPECT_EQ((void *)zeview_of_window(&caller), zegout_owner());
        EXPECT_EQ(1, zewindow_count());
    }
};
