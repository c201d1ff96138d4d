// The rich-text editor: typing and word wrap, the editing keys, format runs
// on a selection and the format read back (mixed runs too), append and the
// plain text, Shift and drag selections with the clipboard, the page kind,
// and hostile options and a megabyte of text.
#include "page_canvas.h"
#include "text_fixture.h"
#include "zertfedit.h"
#include <string>

namespace {

class RTF : public TextWindow {
protected:
    zeRTFEdit ed;
    bool built = false;
    void make(const char *opts) {
        if (built) zertfedit_destroy(&ed);   // a second make replaces the editor
        built = true;
        zertfedit_init(&ed);
        ASSERT_TRUE(zertfedit_create(&ed, "%s", opts));
        pump();
        events.clear();
    }
    void focus() {
        ASSERT_TRUE(zertfedit_focus(&ed));
        pump();
    }
    std::string text() {
        int n = zertfedit_get_text(&ed, nullptr, 0);
        std::string s(n + 1, 0);
        zertfedit_get_text(&ed, s.data(), n + 1);
        s.resize(n);
        return s;
    }
    std::string selection() {
        int a, b;
        zertfedit_selection(&ed, &a, &b);
        return text().substr(a, b - a);
    }
    zeRTFFormat format() {
        zeRTFFormat f;
        zertfedit_get_format(&ed, &f);
        return f;
    }
    // The characters of one display line, its line break left out.
    std::string line(int li) {
        int from = ed.lines[li], to = li + 1 < ed.nlines ? ed.lines[li + 1] : ed.len;
        std::string s = text().substr(from, to - from);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        return s;
    }
    void TearDown() override {
        zertfedit_destroy(&ed);
        TextWindow::TearDown();
    }
};

TEST_F(RTF, TypingWrapsAtBlanksAndTheEditingKeysWork) {
    make("x=10,y=10,xs=160,ys=120");
    focus();
    const std::string words = "the quick brown fox jumps over the lazy dog again and again";
    type(words);
    EXPECT_EQ(words, text());
    ASSERT_GT(zertfedit_lines(&ed), 2);
    for (int li = 1; li < zertfedit_lines(&ed); li++) {   // every break falls after a blank
        EXPECT_EQ(' ', text()[ed.lines[li] - 1]) << li;
        EXPECT_NE(' ', line(li)[0]) << li;
    }
    EXPECT_GE(count(zertfedit_textid(&ed)), 1);   // the queue merges repeats
    EXPECT_EQ(ed.len, ed.caret);

    key(ZEKEY_HOME);   // the start of the caret's display line
    EXPECT_EQ(ed.lines[zertfedit_lines(&ed) - 1], ed.caret);
    zeheadless_key(ZEKEY_CTRL, 0, true);
    key(ZEKEY_HOME);
    zeheadless_key(ZEKEY_CTRL, 0, false);
    EXPECT_EQ(0, ed.caret);
    key(ZEKEY_DELETE);
    key(ZEKEY_DOWN);   // one line down keeps the column roughly
    EXPECT_EQ(1, zertfedit_line_of(&ed, ed.caret));
    key(ZEKEY_END);
    key(ZEKEY_ENTER);
    key(8);
    key(8);
    EXPECT_EQ(words.substr(1, ed.caret) + words.substr(ed.caret + 2), text());

    // A word wider than the area breaks inside it; without wrap it stays one line and scrolls.
    zertfedit_set_text(&ed, std::string(200, 'w').c_str());
    EXPECT_GT(zertfedit_lines(&ed), 1);
    make("x=10,y=10,xs=160,ys=120,nowrap");
    focus();
    zertfedit_set_text(&ed, (std::string(200, 'w') + "\nshort").c_str());
    EXPECT_EQ(2, zertfedit_lines(&ed));
    EXPECT_TRUE(ed.bars.hon);
    key(ZEKEY_END);
    EXPECT_GT(ed.sx, 0);
    key(ZEKEY_DOWN);
    EXPECT_EQ(1, zertfedit_line_of(&ed, ed.caret));
}

TEST_F(RTF, FormatRunsOnTheSelectionReadBackAndMixed) {
    make("x=10,y=10,xs=300,ys=120");
    focus();
    zertfedit_set_text(&ed, "one two three");
    zertfedit_select(&ed, 4, 7);
    zertfedit_set_format(&ed, ZERTF_BOLD | ZERTF_UNDERLINE, true);
    for (int i = 0; i < ed.len; i++)
        EXPECT_EQ(i >= 4 && i < 7 ? ZERTF_BOLD | ZERTF_UNDERLINE : 0, zertfedit_attr_at(&ed, i)) << i;
    zeRTFFormat f = format();
    EXPECT_TRUE(f.bold && f.underline && !f.italic);
    EXPECT_EQ(0, f.mixed);
    EXPECT_STREQ("Arial", f.face);
    EXPECT_EQ(10, f.points);

    zertfedit_select(&ed, 2, 9);   // part plain, part bold: none set, both mixed
    f = format();
    EXPECT_FALSE(f.bold || f.underline);
    EXPECT_EQ(ZERTF_BOLD | ZERTF_UNDERLINE, f.mixed);
    EXPECT_EQ("e two t", selection());

    // Ctrl+B on a mixed selection makes all of it bold; again clears it.
    pump();
    events.clear();
    ctrl('b');
    EXPECT_TRUE(format().bold);
    EXPECT_EQ(1, count(zertfedit_textid(&ed)));
    ctrl('b');
    EXPECT_FALSE(format().bold);
    EXPECT_EQ(ZERTF_UNDERLINE, format().mixed);
    zertfedit_set_format(&ed, ZERTF_ITALIC, true);
    EXPECT_TRUE(format().italic);
    EXPECT_EQ("one two three", text());

    // Typing goes on in the format before the caret; over a selection it replaces it.
    zertfedit_select(&ed, 6, 6);
    type("X");
    EXPECT_EQ("one twXo three", text());
    EXPECT_EQ(ZERTF_ITALIC | ZERTF_UNDERLINE, zertfedit_attr_at(&ed, 6));
    zertfedit_select(&ed, 0, 3);
    type("1");
    EXPECT_EQ("1 twXo three", text());
    EXPECT_EQ(0, zertfedit_attr_at(&ed, 0));
    // Without a selection a format is for what is typed next.
    key(ZEKEY_END);
    zertfedit_set_format(&ed, ZERTF_BOLD, true);
    EXPECT_TRUE(format().bold);
    type("!");
    EXPECT_EQ(ZERTF_BOLD, zertfedit_attr_at(&ed, ed.len - 1));
    EXPECT_EQ(0, zertfedit_attr_at(&ed, ed.len - 2));
}

TEST_F(RTF, AppendCleansTextAndPlainTextComesBackWhole) {
    make("x=10,y=10,xs=300,ys=120,italic");
    zertfedit_append(&ed, "first\r\nsecond\rthird\x01\x7f");
    zertfedit_append(&ed, "\n\xe4\xf6\xfc\xdf");
    zertfedit_append(&ed, nullptr);
    EXPECT_EQ("first\nsecond\nthird\n\xe4\xf6\xfc\xdf", text());
    EXPECT_EQ(ed.len, ed.caret);
    EXPECT_EQ(ZERTF_ITALIC, zertfedit_attr_at(&ed, 0));   // the "italic" option
    EXPECT_EQ(4, zertfedit_lines(&ed));
    pump();
    EXPECT_GE(count(zertfedit_textid(&ed)), 1);
    char small[4];
    EXPECT_EQ(ed.len, zertfedit_get_text(&ed, small, sizeof small));
    EXPECT_STREQ("fir", small);
    zertfedit_set_text(&ed, "");
    EXPECT_EQ("", text());
    EXPECT_EQ(1, zertfedit_lines(&ed));
}

TEST_F(RTF, ShiftAndDragSelectAndTheClipboardCarriesPlainText) {
    make("x=10,y=10,xs=300,ys=120");
    focus();
    zertfedit_set_text(&ed, "alpha beta\ngamma");
    pump();
    events.clear();
    shift_key(ZEKEY_RIGHT, 5);
    EXPECT_EQ("alpha", selection());
    EXPECT_EQ(5, count(zertfedit_changeid(&ed)));   // each move of the selection is told
    EXPECT_EQ(0, count(zertfedit_textid(&ed)));
    shift(true);
    zeheadless_key(ZEKEY_CTRL, 0, true);
    key(ZEKEY_END);
    zeheadless_key(ZEKEY_CTRL, 0, false);
    shift(false);
    EXPECT_EQ("alpha beta\ngamma", selection());
    ctrl('c');
    EXPECT_EQ("alpha beta\r\ngamma", clip());   // the clipboard's own line ends
    key(ZEKEY_LEFT);   // collapses to the start
    EXPECT_EQ(0, ed.caret);
    EXPECT_EQ("", selection());
    key(ZEKEY_END);
    ctrl('v');
    EXPECT_EQ("alpha betaalpha beta\ngamma\ngamma", text());

    zertfedit_set_text(&ed, "drag me along");
    int y = 10 + 3 + 2;
    drag(10 + 3, y, 10 + 3 + 40, y);
    int a, b;
    ASSERT_TRUE(zertfedit_selection(&ed, &a, &b));
    EXPECT_EQ(0, a);
    EXPECT_GT(b, 2);
    ctrl('x');
    EXPECT_EQ(std::string("drag me along").substr(b), text());
    EXPECT_EQ(std::string("drag me along").substr(0, b), clip());
}

TEST_F(RTF, HostileOptionsAndAMegabyteOfText) {
    const char *opts[] = {"xs=-5,ys=-5", "xs=0,ys=0", "x=10,y=10,xs=100000000,ys=100000000,nowrap",
                          "x=,y=,xs=,ys=,bold,italic,underline,bgcolor=zz", ",,,,,=,=,font=nonexistent99"};
    for (const char *o : opts) {
        make(o);
        zertfedit_set_text(&ed, "some text\nand more");
        zertfedit_select(&ed, -100, 1000000);
        zertfedit_set_format(&ed, ~0, true);
        EXPECT_EQ(ZERTF_ATTRS, zertfedit_attr_at(&ed, 0)) << o;
        EXPECT_EQ(ZERTF_ATTRS, format().bold * 1 + format().italic * 2 + format().underline * 4) << o;
        zecontrol_redraw(&ed.c);
    }
    make(std::string(3000, 'x').c_str());   // an option string far past the limit
    make("x=10,y=10,xs=300,ys=200");
    focus();
    std::string mb(1 << 20, 'a');
    for (size_t i = 0; i < mb.size(); i += 7) mb[i] = ' ';
    mb[4096] = '\x02';
    zertfedit_set_text(&ed, mb.c_str());
    EXPECT_EQ((1 << 20) - 1, ed.len);
    zertfedit_append(&ed, mb.c_str());
    EXPECT_EQ(2 * ((1 << 20) - 1), ed.len);
    ctrl('a');
    ctrl('b');
    EXPECT_TRUE(format().bold);
    ctrl('c');
    EXPECT_EQ((size_t)ed.len, clip().size());
    key(ZEKEY_DELETE);
    EXPECT_EQ(0, ed.len);
    ctrl('v');
    EXPECT_EQ(2 * ((1 << 20) - 1), ed.len);
    EXPECT_EQ(ed.len, ed.caret);
    EXPECT_GT(ed.sy, 0);
    key(ZEKEY_PAGEUP);
    key(ZEKEY_PAGEUP);
    EXPECT_LT(ed.caret, ed.len);
    type("z");
    EXPECT_EQ(2 * ((1 << 20) - 1) + 1, ed.len);
}

// The page's rtfeditor tag makes one, sets text by adding it and reads it back.
TEST(RTFPage, TheRtfeditorTagMakesAnEditor) {
    ASSERT_TRUE(zebackend_select("headless"));
    zeheadless_reset();
    zeview_install();
    PageCanvas canvas;
    ASSERT_TRUE(canvas.open(400, 300));
    zeGUIScript page;
    zepage_build(&page, "<x=0><y=0>Notes<br><rtfeditor=reNotes,xs=200,ys=80>after");
    zeRTFEdit *e = (zeRTFEdit *)zepage_find(&page, "reNotes");
    ASSERT_NE(nullptr, e);
    EXPECT_TRUE(e->c.created);
    EXPECT_TRUE(zepage_set_text(&page, "reNotes", "hello "));
    EXPECT_TRUE(zepage_set_text(&page, "reNotes", "world"));
    char buf[64] = "";
    EXPECT_TRUE(zepage_get_text(&page, "reNotes", buf, sizeof buf));
    EXPECT_STREQ("hello world", buf);
    EXPECT_TRUE(zepage_focus(&page, "reNotes"));
    zepage_destroy(&page, 0);
    canvas.close();
}

}  // namespace
