// The standard dialogs driven on the in-memory screen: the user's keys and
// clicks are queued when the dialog is up (its open hook), the dialog's own
// loop delivers them, and the answer and the caller's state are checked.
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

namespace {

struct Seen {
    int rect[4];   // the dialog window on the screen
    int controls;
    std::string title;
};
std::function<void(zeWindow *, zeControl *const *)> g_user;
Seen g_seen;
int g_opened;

void on_open(zeWindow *w, zeControl *const *c, int n) {
    g_opened++;
    zeheadless_rect(w->native, g_seen.rect);
    g_seen.controls = n;
    if (g_user) g_user(w, c);
}

void click(zeWindow *w, const zeControl *c) {
    int r[4];
    zeheadless_rect(w->native, r);
    zeheadless_click(r[0] + c->x + c->w / 2, r[1] + c->y + c->h / 2, 0);
}

void type(const std::string &s) {
    for (unsigned char ch : s) zeheadless_keystroke(ch == ' ' ? 32 : 0, ch == ' ' ? 0 : ch);
}

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
        zedialog_set_open_hook(on_open);
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

TEST_F(Dialog, InfoEndsWithOkEnterOrCloseAndSizesToItsText) {
    g_user = [](zeWindow *w, zeControl *const *c) { click(w, c[0]); };
    zedialog_info("Saved %d files.", 3);
    EXPECT_EQ(1, g_opened);
    EXPECT_EQ(250, g_seen.rect[2]);
    EXPECT_GT(g_seen.rect[3], 80);
    EXPECT_LT(g_seen.rect[3], 120);
    expect_caller_restored();

    g_user = [](zeWindow *, zeControl *const *) { zeheadless_keystroke(ZEKEY_ENTER, 0); };
    zedialog_info("%s", std::string(2000, 'w').append(" end").c_str());   // too high for 190: 500 wide
    EXPECT_EQ(560, g_seen.rect[2]);
    expect_caller_restored();

    g_user = [](zeWindow *w, zeControl *const *) { zeheadless_close(w->native); };
    zedialog_info("100%% <b> %%s");
    EXPECT_EQ(3, g_opened);
    expect_caller_restored();
}

struct YesNoCase {
    bool german;
    const char *what;    // "yes", "no", "enter", "escape", "close"
    bool answer;
};

TEST_F(Dialog, YesNoAnswersInBothLanguages) {
    const YesNoCase cases[] = {
        {false, "yes", true}, {false, "no", false}, {false, "enter", true}, {false, "escape", false},
        {false, "close", false}, {true, "yes", true}, {true, "no", false}, {true, "enter", true},
    };
    for (const YesNoCase &k : cases) {
        g_user = [&k](zeWindow *w, zeControl *const *c) {
            std::string what = k.what;
            if (what == "yes") click(w, c[0]);
            if (what == "no") click(w, c[1]);
            if (what == "enter") zeheadless_keystroke(ZEKEY_ENTER, 0);
            if (what == "escape") zeheadless_keystroke(ZEKEY_ESCAPE, 0);
            if (what == "close") zeheadless_close(w->native);
            EXPECT_STREQ(k.german ? "Ja" : "Yes", c[0]->text);
            EXPECT_STREQ(k.german ? "Nein" : "No", c[1]->text);
        };
        bool r = k.german ? zedialog_janein("Weiter?") : zedialog_yesno("Go on?");
        EXPECT_EQ(k.answer, r) << k.what << (k.german ? " (German)" : "");
        EXPECT_EQ(100, g_seen.rect[3]);
        expect_caller_restored();
    }
}

TEST_F(Dialog, TextInputReturnsTheTypedTextOnlyForOk) {
    char answer[64];
    g_user = [](zeWindow *, zeControl *const *) { type("K\xe4se & M\xfcsli"), zeheadless_keystroke(ZEKEY_ENTER, 0); };
    EXPECT_TRUE(zedialog_input(answer, sizeof answer, "Name:"));
    EXPECT_STREQ("K\xe4se & M\xfcsli", answer);
    expect_caller_restored();

    g_user = [](zeWindow *w, zeControl *const *c) { type("abc"), click(w, c[0]); };
    EXPECT_TRUE(zedialog_input(answer, sizeof answer, "Name:"));
    EXPECT_STREQ("abc", answer);

    for (int how = 0; how < 3; how++) {
        g_user = [how](zeWindow *w, zeControl *const *c) {
            type("lost");
            if (how == 0) click(w, c[1]);
            if (how == 1) zeheadless_keystroke(ZEKEY_ESCAPE, 0);
            if (how == 2) zeheadless_close(w->native);
        };
        strcpy(answer, "old");
        EXPECT_FALSE(zedialog_input(answer, sizeof answer, "Name:")) << how;
        EXPECT_STREQ("", answer) << how;
        expect_caller_restored();
    }
}

TEST_F(Dialog, TextInputKeepsALongTextWholeAndCutsItToTheAnswer) {
    const std::string longtext(300, 'x');   // far wider than the field
    std::string typed = longtext + "END";
    g_user = [&typed](zeWindow *, zeControl *const *) { type(typed), zeheadless_keystroke(ZEKEY_ENTER, 0); };
    char big[1024];
    EXPECT_TRUE(zedialog_input(big, sizeof big, "Long:"));
    EXPECT_EQ(typed, big);
    char small[8];
    EXPECT_TRUE(zedialog_input(small, sizeof small, "Long:"));
    EXPECT_STREQ("xxxxxxx", small);
}

}  // namespace
