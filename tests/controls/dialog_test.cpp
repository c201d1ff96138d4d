// The standard dialogs driven on the in-memory screen: the user's keys and
// clicks are queued when the dialog is up (its open hook), the dialog's own
// loop delivers them, and the answer and the caller's state are checked.
#include "dialog_fixture.h"
#include <cstring>

namespace {

TEST_F(Dialog, InfoEndsWithOkEnterOrCloseAndSizesToItsText) {
    g_user = [](zeWindow *w, zeControl *const *c, int) { click(w, c[0]); };
    zedialog_info("Saved %d files.", 3);
    EXPECT_EQ(1, g_opened);
    EXPECT_EQ(250, g_seen.rect[2]);
    EXPECT_GT(g_seen.rect[3], 80);
    EXPECT_LT(g_seen.rect[3], 120);
    expect_caller_restored();

    g_user = [](zeWindow *, zeControl *const *, int) { zeheadless_keystroke(ZEKEY_ENTER, 0); };
    zedialog_info("%s", std::string(2000, 'w').append(" end").c_str());   // too high for 190: 500 wide
    EXPECT_EQ(560, g_seen.rect[2]);
    expect_caller_restored();

    g_user = [](zeWindow *w, zeControl *const *, int) { zeheadless_close(w->native); };
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
        g_user = [&k](zeWindow *w, zeControl *const *c, int) {
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
    g_user = [](zeWindow *, zeControl *const *, int) { type("K\xe4se & M\xfcsli"), zeheadless_keystroke(ZEKEY_ENTER, 0); };
    EXPECT_TRUE(zedialog_input(answer, sizeof answer, "Name:"));
    EXPECT_STREQ("K\xe4se & M\xfcsli", answer);
    expect_caller_restored();

    g_user = [](zeWindow *w, zeControl *const *c, int) { type("abc"), click(w, c[0]); };
    EXPECT_TRUE(zedialog_input(answer, sizeof answer, "Name:"));
    EXPECT_STREQ("abc", answer);

    for (int how = 0; how < 3; how++) {
        g_user = [how](zeWindow *w, zeControl *const *c, int) {
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
    g_user = [&typed](zeWindow *, zeControl *const *, int) { type(typed), zeheadless_keystroke(ZEKEY_ENTER, 0); };
    char big[1024];
    EXPECT_TRUE(zedialog_input(big, sizeof big, "Long:"));
    EXPECT_EQ(typed, big);
    char small[8];
    EXPECT_TRUE(zedialog_input(small, sizeof small, "Long:"));
    EXPECT_STREQ("xxxxxxx", small);
}

// Five F12 presses in a row show the toolkit's banner on top of whatever
// dialog is open; the dialog below still gets its answer afterwards.
TEST_F(Dialog, FiveF12PressesShowTheBannerOverAnOpenDialog) {
    std::string banner_title;
    int below = 0;
    g_user = [&](zeWindow *w, zeControl *const *, int before) {
        if (before == 0) {
            below = w->native;
            for (int i = 0; i < 5; i++) key(ZEKEY_F12);
            return;
        }
        banner_title = zeheadless_title(w->native);
        EXPECT_GT(g_seen.rect[3], 200);   // the banner's eight lines, wrapped
        key(ZEKEY_ENTER);                 // closes the banner
        zeheadless_close(below);          // and then the dialog below
    };
    EXPECT_FALSE(zedialog_yesno("Go on?"));
    EXPECT_EQ(2, g_opened);
    EXPECT_EQ("info", banner_title);
    expect_caller_restored();

    // Four presses and another key: no banner.
    g_user = [](zeWindow *, zeControl *const *, int) {
        for (int i = 0; i < 4; i++) key(ZEKEY_F12);
        type("a");
        key(ZEKEY_F12);
        key(ZEKEY_ENTER);
    };
    g_opened = 0;
    zedialog_info("x");
    EXPECT_EQ(1, g_opened);
}

}  // namespace
