// The line input at the edges of its editing rules: the maximum length and
// the full buffer, focus selecting all, Shift and mouse selection, the
// clipboard (a password never reaches it, pasted junk is cleaned and cut),
// scrolling with the cursor, Enter, grey, hostile options and the
// right-button menu.
#include "text_fixture.h"
#include "zefont.h"
#include "zelineinput.h"
#include "zepopupmenu.h"
#include "zetextmenu.h"

namespace {

class LineInput : public TextWindow {
protected:
    zeLineInput in{};
    void make(const char *opts) {
        zelineinput_destroy(&in);   // a control made before goes first
        zelineinput_init(&in);
        ASSERT_TRUE(zelineinput_create(&in, "%s", opts));
        pump();
        events.clear();
    }
    void focus() {
        ASSERT_TRUE(zelineinput_focus(&in));
        pump();
    }
    std::string text() { return zelineinput_text(&in); }
    std::string selected() {
        int a, b;
        if (!zelineinput_selection(&in, &a, &b)) return "";
        return text().substr(a, b - a);
    }
    // Screen x of the character boundary before index i (the view is at the origin).
    int char_x(int i) { return in.c.x + 4 + zefont_text_width_n(in.c.font, in.text, i); }
    void TearDown() override {
        zelineinput_destroy(&in);
        TextWindow::TearDown();
    }
};

TEST_F(LineInput, MaxLengthStopsTypingButEveryKeyRaisesChange) {
    make("x=10,y=10,xs=200,maxlen=3");
    focus();
    type("abcde");
    EXPECT_EQ("abc", text());
    EXPECT_EQ(5, count(zelineinput_changeid(&in)));
    // A full buffer (1023 characters) takes no more, whatever maxlen says.
    make("x=10,y=10,xs=200,maxlen=5000");
    EXPECT_EQ(ZELINE_TEXTMAX, in.maxlen);
    zelineinput_set_text(&in, std::string(1500, 'q').c_str());
    EXPECT_EQ(ZELINE_TEXTMAX, zelineinput_length(&in));
    focus();
    key(ZEKEY_END);
    type("z");
    EXPECT_EQ(std::string(ZELINE_TEXTMAX, 'q'), text());
}

TEST_F(LineInput, FocusSelectsAllSoTheFirstKeyReplacesIt) {
    make("x=10,y=10,xs=200,default=hello");
    EXPECT_EQ("hello", text());
    focus();
    EXPECT_EQ("hello", selected());
    EXPECT_EQ(5, in.cursor);
    type("x");
    EXPECT_EQ("x", text());
}

TEST_F(LineInput, BackspaceDeleteHomeEndAtTheEdges) {
    make("x=10,y=10,xs=200");
    zelineinput_set_text(&in, "abc");
    focus();
    key(ZEKEY_HOME);
    EXPECT_EQ("", selected());
    type("\b");
    EXPECT_EQ("abc", text());
    EXPECT_EQ(0, in.cursor);
    EXPECT_EQ(1, count(zelineinput_changeid(&in)));   // raised although nothing changed
    key(ZEKEY_DELETE);
    EXPECT_EQ("bc", text());
    key(ZEKEY_END);
    key(ZEKEY_DELETE);
    EXPECT_EQ("bc", text());
    type("\b");
    EXPECT_EQ("b", text());
    key(ZEKEY_LEFT);
    key(ZEKEY_LEFT);   // stops at 0
    type("X");
    EXPECT_EQ("Xb", text());
}

TEST_F(LineInput, ShiftSelectionCopyCutAndPaste) {
    make("x=10,y=10,xs=200");
    zelineinput_set_text(&in, "abcdef");
    focus();
    key(ZEKEY_END);
    shift_key(ZEKEY_LEFT, 2);
    EXPECT_EQ("ef", selected());
    // Shift let go and pressed again: the selection grows from its anchor.
    shift_key(ZEKEY_LEFT);
    shift_key(ZEKEY_RIGHT, 2);
    EXPECT_EQ("f", selected());
    shift_key(ZEKEY_LEFT);
    EXPECT_EQ("ef", selected());
    ctrl('c');
    EXPECT_EQ("ef", clip());
    EXPECT_EQ("abcdef", text());
    // Left without Shift puts the cursor at the selection's start.
    key(ZEKEY_LEFT);
    EXPECT_EQ(4, in.cursor);
    EXPECT_EQ("", selected());
    // Shift+Home selects to the start; Cut takes only the selection.
    shift_key(ZEKEY_HOME);
    EXPECT_EQ("abcd", selected());
    ctrl('x');
    EXPECT_EQ("abcd", clip());
    EXPECT_EQ("ef", text());
    EXPECT_EQ(0, in.cursor);
    // Paste replaces a selection; Delete of a selection keeps the cursor there.
    key(ZEKEY_RIGHT);
    shift_key(ZEKEY_RIGHT);
    ctrl('v');
    EXPECT_EQ("eabcd", text());
    EXPECT_EQ(5, in.cursor);
    shift_key(ZEKEY_LEFT, 3);
    key(ZEKEY_DELETE);
    EXPECT_EQ("ea", text());
    EXPECT_EQ(2, in.cursor);
    // Selection past the end is cut to the text.
    zelineinput_select(&in, 1, 99);
    EXPECT_EQ("a", selected());
    ctrl('a');
    EXPECT_EQ("ea", selected());
}

TEST_F(LineInput, PasswordNeverReachesTheClipboard) {
    make("x=10,y=10,xs=200,password");
    zeclipboard_set("before");
    zelineinput_set_text(&in, "secret");
    focus();
    ctrl('c');
    ctrl('x');
    zeheadless_key(ZEKEY_CTRL, 0, true);
    key(ZEKEY_INSERT);   // Ctrl+Insert copies too
    zeheadless_key(ZEKEY_CTRL, 0, false);
    pump();
    EXPECT_EQ("before", clip());
    EXPECT_EQ("secret", text());
    // Drawn as stars: no pixel differs between two texts of the same length.
    zelineinput_set_text(&in, "iiiiii");
    uint32_t a = zeheadless_pixel(char_x(1) + 1, 10 + in.c.h / 2);
    zelineinput_set_text(&in, "WWWWWW");
    EXPECT_EQ(a, zeheadless_pixel(char_x(1) + 1, 10 + in.c.h / 2));
}

TEST_F(LineInput, PastedTextIsCleanedAndCut) {
    make("x=10,y=10,xs=200");
    focus();
    zeclipboard_set("a\tb\r\nc\x01\x7f" "d\xe4");
    ctrl('v');
    EXPECT_EQ("a b cd\xe4", text());
    // A megabyte: the maximum length holds, nothing is overrun.
    std::string big(1 << 20, 'm');
    big[5000] = '\n';
    zeclipboard_set(big.c_str());
    ctrl('a');
    ctrl('v');
    EXPECT_EQ(ZELINE_MAXLEN, zelineinput_length(&in));
    make("x=10,y=10,xs=200,maxlen=4");
    focus();
    zeclipboard_set("123456");
    ctrl('v');
    EXPECT_EQ("1234", text());
}

TEST_F(LineInput, LongTextScrollsWithTheCursor) {
    make("x=10,y=10,xs=100");
    std::string long_text;
    for (int i = 0; i < 100; i++) long_text += (char)('a' + i % 26);
    zelineinput_set_text(&in, long_text.c_str());
    focus();
    EXPECT_GT(in.scroll, 0);
    EXPECT_GE(in.cursorx, in.c.x);
    EXPECT_LT(in.cursorx, in.c.x + in.c.w);
    key(ZEKEY_HOME);
    EXPECT_EQ(0, in.scroll);
    for (int i = 0; i < 60; i++) key(ZEKEY_RIGHT);
    EXPECT_EQ(60, in.cursor);
    EXPECT_GT(in.scroll, 0);
    EXPECT_LT(in.cursorx, in.c.x + in.c.w);
    // Losing the focus scrolls back to the start.
    zeview_focus_child(zeview_of_window(&win), -1);
    zewindow_handler(&win, ZEWM_KEYDOWN, ZEKEY_ESCAPE, 0, 0, 0, 0, 0, 0, 0);
    pump();
    EXPECT_FALSE(in.c.focus);
    EXPECT_EQ(0, in.scroll);
}

TEST_F(LineInput, MouseDragSelectsAndDoubleClickSelectsAll) {
    make("x=10,y=10,xs=200");
    zelineinput_set_text(&in, "hello world");
    int y = 10 + in.c.h / 2;
    click(char_x(2) + 1, y);
    EXPECT_TRUE(in.c.focus);
    EXPECT_EQ(2, in.cursor);
    EXPECT_EQ("", selected());
    drag(char_x(6) + 1, y, char_x(11) + 1, y);
    EXPECT_EQ("world", selected());
    // Beyond the text: the end.
    drag(char_x(0) + 1, y, 300, y);
    EXPECT_EQ("hello world", selected());
    click(char_x(1), y);
    zeheadless_advance(50);
    zeheadless_click(char_x(1), y, 0);
    pump();
    EXPECT_EQ("hello world", selected());
}

TEST_F(LineInput, EnterMovesOnOrKeepsTheFocus) {
    make("x=10,y=10,xs=200");
    zeLineInput other;
    zelineinput_init(&other);
    ASSERT_TRUE(zelineinput_create(&other, "x=10,y=50,xs=200,keepfocus"));
    focus();
    type("a");
    key(ZEKEY_ENTER);
    EXPECT_FALSE(in.c.focus);
    EXPECT_TRUE(other.c.focus);
    EXPECT_EQ(1, count(zelineinput_eventid(&in)));   // editing ended
    events.clear();
    key(ZEKEY_ENTER);
    EXPECT_TRUE(other.c.focus);
    EXPECT_EQ(1, count(zelineinput_eventid(&other)));
    zelineinput_destroy(&other);
}

TEST_F(LineInput, GreyTakesNeitherFocusNorKeys) {
    make("x=10,y=10,xs=200,grey,default=abc");
    EXPECT_FALSE(zelineinput_focus(&in));
    click(char_x(1), 10 + in.c.h / 2);
    type("zz");
    EXPECT_EQ("abc", text());
    EXPECT_FALSE(in.c.focus);
}

TEST_F(LineInput, HostileOptionsAreBounded) {
    make("x=10,y=10,maxlen=-5");
    EXPECT_EQ(0, in.maxlen);
    focus();
    type("abc");
    EXPECT_EQ("", text());
    std::string opts = "xs=100000,ys=0,maxlen=2147483647,default=" + std::string(600, 'd');
    make(opts.c_str());
    EXPECT_LE(in.c.w, W);
    EXPECT_LE(zelineinput_length(&in), ZELINE_TEXTMAX);
    focus();
    type("e");
    EXPECT_EQ("e", text());
}

TEST_F(LineInput, RightButtonMenuPastesAndCancels) {
    make("x=10,y=10,xs=200");
    zelineinput_set_text(&in, "abc");
    focus();
    key(ZEKEY_END);
    zeclipboard_set("XY");
    // No selection: Paste, separator, Select All. The menu opens centred on
    // the click, at its height; the click's release chooses nothing.
    int cx = 100, cy = 10 + in.c.h / 2;
    int mw, mh;
    const char *items[] = {"Paste", "-", "Select All"};
    zepopupmenu_size(items, 3, in.c.font, &mw, &mh);
    int ih = zefont_height(in.c.font) + 8;
    zeheadless_advance(1000);
    zeheadless_click(cx, cy, 2);
    zeheadless_motion(cx, cy + 1 + ih / 2);
    zeheadless_click(cx, cy + 1 + ih / 2, 0);   // on "Paste"
    pump();
    EXPECT_EQ("abcXY", text());
    EXPECT_EQ(0, zeheadless_capture());
    // Escape cancels; a click outside too.
    zeheadless_advance(1000);
    zeheadless_click(cx, cy, 2);
    zeheadless_keystroke(ZEKEY_ESCAPE, 0);
    zeheadless_advance(1000);
    zeheadless_click(cx, cy, 2);
    zeheadless_click(cx + mw, cy + mh + 30, 0);
    pump();
    EXPECT_EQ("abcXY", text());
    EXPECT_TRUE(in.c.focus);
    // Keyboard choice: Up from nothing lands on the last entry (Select All).
    zeheadless_advance(1000);
    zeheadless_click(cx, cy, 2);
    zeheadless_keystroke(ZEKEY_UP, 0);
    zeheadless_keystroke(ZEKEY_ENTER, 0);
    pump();
    EXPECT_EQ("abcXY", selected());
    // German texts, same meaning: with a selection Cut is the first entry.
    zelanguage_set(1);
    zeheadless_advance(1000);
    zeheadless_click(cx, cy, 2);
    zeheadless_keystroke(ZEKEY_DOWN, 0);
    zeheadless_keystroke(ZEKEY_ENTER, 0);
    pump();
    zelanguage_set(0);
    EXPECT_EQ("", text());
    EXPECT_EQ("abcXY", clip());
    EXPECT_STREQ("Ausschneiden", zepopupmenu_text());
}

TEST(PopupMenu, ReturnsTheEntryNumberCountingSeparators) {
    ASSERT_TRUE(zebackend_select("headless"));
    zeheadless_reset();
    zeview_install();
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "owner,x=0,y=0,xs=300,ys=200,noquit"));
    zeheadless_keystroke(ZEKEY_UP, 0);
    zeheadless_keystroke(ZEKEY_ENTER, 0);
    EXPECT_EQ(5, zepopupmenu("entries=Cut|Copy|Paste|-|Select All,x=10,y=10"));
    EXPECT_STREQ("Select All", zepopupmenu_text());
    zeheadless_keystroke(ZEKEY_ESCAPE, 0);
    EXPECT_EQ(0, zepopupmenu("entries=Cut|Copy|Paste|-|Select All,x=10,y=10"));
    EXPECT_STREQ("", zepopupmenu_text());
    EXPECT_EQ(0, zepopupmenu("nothing,x=10"));
    // Separators are skipped by the arrows and by the mouse.
    zeheadless_keystroke(ZEKEY_DOWN, 0);
    zeheadless_keystroke(ZEKEY_DOWN, 0);
    zeheadless_keystroke(ZEKEY_ENTER, 0);
    EXPECT_EQ(3, zepopupmenu("entries=a|-|b,x=10,y=10"));
    zewindow_close(&w);
}

}  // namespace
