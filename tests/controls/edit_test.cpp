// The editor's grid at its edges: a full line losing its last character,
// typing wrapping at the line's end, Enter at the bottom, joins, auto-indent
// and word break, selections across lines with the clipboard, pasting more
// than the grid holds, scroll bars and the cursor kept in view, and grids
// asked for by hostile options.
#include "text_fixture.h"
#include "zeedit.h"
#include "zefont.h"
#include <algorithm>

namespace {

class Edit : public TextWindow {
protected:
    zeEdit ed{};
    void make(const char *opts) {
        zeedit_destroy(&ed);   // a control made before goes first
        zeedit_init(&ed);
        ASSERT_TRUE(zeedit_create(&ed, "%s", opts));
        pump();
        events.clear();
    }
    void focus() {
        ASSERT_TRUE(zeedit_focus(&ed));
        pump();
    }
    std::string line(int y) {
        std::string s(zeedit_line(&ed, y), ed.columns);
        return s.substr(0, s.find_last_not_of(' ') + 1);
    }
    std::string text() {
        int n = zeedit_get_text(&ed, nullptr, 0);
        std::string s(n + 1, 0);
        zeedit_get_text(&ed, s.data(), n + 1);
        s.resize(n);
        return s;
    }
    std::string selection() {
        char buf[4096];
        zeedit_get_selection(&ed, buf, sizeof buf);
        return buf;
    }
    void TearDown() override {
        zeedit_destroy(&ed);
        TextWindow::TearDown();
    }
};

TEST_F(Edit, FullLinesDropTheirLastCharacterAndTypingWraps) {
    make("x=10,y=10,xs=300,ys=150,lines=3,columns=5");
    focus();
    type("abcdefg");
    EXPECT_EQ("abcde", line(0));
    EXPECT_EQ("fg", line(1));
    EXPECT_EQ(1, ed.cy);
    EXPECT_EQ(2, ed.cx);
    key(ZEKEY_HOME);
    key(ZEKEY_UP);
    type("X");   // full line: "e" falls off the end
    EXPECT_EQ("Xabcd", line(0));
    EXPECT_EQ(7, count(zeedit_changeid(&ed)) - 1);
    // Enter on the last line, or with text on the last line, changes nothing.
    key(ZEKEY_DOWN);
    key(ZEKEY_DOWN);
    type("z");
    key(ZEKEY_ENTER);
    EXPECT_EQ("Xabcd\nfg\n z", text());
    key(ZEKEY_UP);
    key(ZEKEY_ENTER);
    EXPECT_EQ("Xabcd\nfg\n z", text());
}

TEST_F(Edit, EnterBackspaceDeleteJoinAndIndent) {
    make("x=10,y=10,xs=300,ys=150,lines=10,columns=20,autoindent");
    focus();
    type("  if x");
    key(ZEKEY_ENTER);
    type("y");
    EXPECT_EQ("  if x\n  y", text());
    key(ZEKEY_HOME);
    type("\b");   // joins with the line above
    EXPECT_EQ("  if x  y", text());
    EXPECT_EQ(6, ed.cx);
    key(ZEKEY_LEFT);
    key(ZEKEY_ENTER);
    EXPECT_EQ("  if\n  x  y", text());   // trailing blanks are not text
    key(ZEKEY_UP);
    key(ZEKEY_END);
    key(ZEKEY_DELETE);
    EXPECT_EQ("  if  x  y", text());
    // Tab goes to the next multiple of the tab width.
    key(ZEKEY_HOME);
    key(ZEKEY_TAB);
    EXPECT_EQ(8, ed.cx);
}

TEST_F(Edit, SelectionAcrossLinesCopyCutAndPaste) {
    make("x=10,y=10,xs=300,ys=150,lines=10,columns=20");
    zeedit_set_text(&ed, "one\ntwo\nthree");
    focus();
    key(ZEKEY_RIGHT);
    shift(true);
    key(ZEKEY_DOWN);
    key(ZEKEY_DOWN);
    shift(false);
    EXPECT_EQ("ne\ntwo\nt", selection());
    ctrl('c');
    EXPECT_EQ("ne\r\ntwo\r\nt", clip());
    ctrl('x');
    EXPECT_EQ("ohree", text());
    EXPECT_EQ(1, ed.cx);
    ctrl('v');   // CR LF come back as line ends
    EXPECT_EQ("one\ntwo\nthree", text());
    ctrl('a');
    EXPECT_EQ("one\ntwo\nthree", selection());
    // Mouse: drag from "w" of "two" to the end of "three"; a double click selects a word.
    int fh = zefont_height(ed.c.font), cw = zefont_char_width(ed.c.font, 'w');
    int x0 = 10 + 2 + 2 * cw + 1, y1 = 10 + 2 + fh + 2;
    drag(x0, y1, 10 + 2 + 5 * cw + 1, y1 + fh);
    EXPECT_EQ("o\nthree", selection());
    zeheadless_advance(1000);
    zeheadless_click(x0, y1, 0);
    zeheadless_advance(50);
    zeheadless_click(x0, y1, 0);
    pump();
    EXPECT_EQ("two", selection());
}

TEST_F(Edit, PastingMoreThanTheGridHoldsStaysInIt) {
    make("x=10,y=10,xs=300,ys=150,lines=4,columns=6");
    focus();
    std::string big;
    for (int i = 0; i < 100000; i++) big += (i % 7 == 6) ? '\n' : (char)('a' + i % 26);
    big += "\x01\x02\xff\t";
    zeclipboard_set(big.c_str());
    ctrl('v');
    std::string t = text();
    EXPECT_EQ(4, (int)std::count(t.begin(), t.end(), '\n') + 1);
    for (int y = 0; y < 4; y++) EXPECT_EQ(6u, line(y).size()) << y;
    // A long line continues on the next lines.
    zeedit_set_text(&ed, "abcdefghijklm");
    EXPECT_EQ("abcdef", line(0));
    EXPECT_EQ("ghijkl", line(1));
    EXPECT_EQ("m", line(2));
}

TEST_F(Edit, ScrollBarsAndTheCursorInView) {
    make("x=10,y=10,xs=200,ys=100,lines=200,columns=80");
    EXPECT_TRUE(ed.bars.von);
    EXPECT_TRUE(ed.bars.hon);
    focus();
    int vl = zeedit_visible_lines(&ed);
    key(ZEKEY_PAGEDOWN);
    key(ZEKEY_PAGEDOWN);
    EXPECT_EQ(2 * vl, ed.cy);
    EXPECT_LE(ed.sy, ed.cy);
    EXPECT_GT(ed.sy + vl, ed.cy);
    for (int i = 0; i < 60; i++) key(ZEKEY_RIGHT);
    EXPECT_GT(ed.sx, 0);
    zeheadless_key(ZEKEY_CTRL, 0, true);
    key(ZEKEY_HOME);
    zeheadless_key(ZEKEY_CTRL, 0, false);
    pump();
    EXPECT_EQ(0, ed.sx);
    EXPECT_EQ(0, ed.sy);
    // The wheel scrolls three lines; the bar's down arrow one.
    zeheadless_wheel(50, 50, false);
    pump();
    EXPECT_EQ(3, ed.sy);
    click(ed.bars.downbox.x + 5, ed.bars.downbox.y + 5);
    EXPECT_EQ(4, ed.sy);
    // No bars when the grid is the visible area.
    make("x=10,y=10,xs=200,ys=100");
    EXPECT_FALSE(ed.bars.von);
    EXPECT_FALSE(ed.bars.hon);
    EXPECT_EQ(zeedit_visible_lines(&ed), ed.lines);
}

TEST_F(Edit, WordBreakMovesTheLastWordOn) {
    make("x=10,y=10,xs=200,ys=150,lines=10,columns=80,wordbreak");
    int vc = zeedit_visible_columns(&ed);
    ASSERT_LT(vc, 80);
    focus();
    std::string words;
    while ((int)words.size() < vc + 5) words += "word ";
    type(words);
    EXPECT_LT((int)line(0).size(), vc);
    EXPECT_EQ(0u, line(1).find("word"));
}

TEST_F(Edit, HostileGridOptionsAreBounded) {
    make("x=10,y=10,xs=200,ys=100,lines=100000000,columns=0");
    EXPECT_LE(ed.lines, ZEEDIT_MAXLINES);
    EXPECT_GE(ed.columns, 1);
    make("x=10,y=10,xs=200,ys=100,lines=-3,columns=-7,tabs=-1");
    EXPECT_GE(ed.lines, 1);
    EXPECT_GE(ed.columns, 1);
    focus();
    key(ZEKEY_TAB);
    type("ok");
    EXPECT_NE(std::string::npos, text().find("ok"));
    make("x=10,y=10,xs=5,ys=5,lines=1,columns=1");
    focus();
    type("abc\b\b");
    key(ZEKEY_ENTER);
    key(ZEKEY_DELETE);
    EXPECT_LE(text().size(), 1u);
}

}  // namespace
