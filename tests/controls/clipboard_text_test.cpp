// Clipboard text from other programs: UTF-8 into the toolkit's Latin-1 and
// back, and whatever bytes arrive pasted into both text controls. A seeded
// mutator feeds broken sequences, control bytes and long texts; nothing may
// overrun, and what lands in a control holds only characters it can show.
#include "text_fixture.h"
#include "zeedit.h"
#include "zelineinput.h"
#include "zetextmenu.h"
#include "zeutf8.h"
#include <random>

namespace {

std::string to_latin1(const std::string &s) { return zeutf8_to_latin1(s.data(), s.size()); }

TEST(Utf8, WellFormedTextAndEveryKindOfDamage) {
    EXPECT_EQ("Gr\xfc\xdf" "e \xe4\xf6", to_latin1("Grüße äö"));
    EXPECT_EQ("? ? ?", to_latin1("€ ✓ \xf0\x9f\x98\x80"));        // beyond Latin-1
    EXPECT_EQ("a?b", to_latin1("a\xc3" "b"));                      // cut-off sequence
    EXPECT_EQ("??", to_latin1("\xc0\xaf"));                        // overlong
    EXPECT_EQ("???", to_latin1("\xed\xa0\x80"));                   // surrogate
    EXPECT_EQ("????", to_latin1("\xf4\x90\x80\x80"));              // beyond U+10FFFF
    EXPECT_EQ("?x", to_latin1("\x80x"));                           // stray continuation
    EXPECT_EQ("ab", to_latin1(std::string("a\0b", 3)));            // NUL dropped
    EXPECT_EQ("??", to_latin1("\xe2\x82"));                        // cut at the end
    EXPECT_EQ("Gr\xc3\xbc\xc3\x9f" "e", zeutf8_from_latin1("Gr\xfc\xdf" "e", 5));
}

TEST(Utf8, SeededBytesRoundTripAndNeverGrow) {
    std::mt19937 rng(1234);
    const std::string pieces[] = {"\xc3\xa4", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xc3", "\x80", "\xff", "a",
                                  "\r\n", "\t", std::string(1, '\0'), "\x1b[31m", "\xed\xa0\x80"};
    for (int round = 0; round < 3000; round++) {
        std::string s;
        int n = rng() % 40;
        for (int i = 0; i < n; i++) s += rng() % 3 ? pieces[rng() % 12] : std::string(1, (char)(rng() % 256));
        std::string latin = to_latin1(s);
        ASSERT_LE(latin.size(), s.size());
        ASSERT_EQ(std::string::npos, latin.find('\0'));
        std::string back = zeutf8_from_latin1(latin.data(), latin.size());
        ASSERT_EQ(latin, to_latin1(back)) << round;
    }
}

class PasteJunk : public TextWindow {};

bool showable(unsigned char ch, bool newline) { return ch >= 32 || (newline && ch == '\n'); }

TEST_F(PasteJunk, SeededClipboardsIntoBothControls) {
    zeLineInput in;
    zelineinput_init(&in);
    ASSERT_TRUE(zelineinput_create(&in, "x=10,y=10,xs=200,maxlen=50"));
    zeEdit ed;
    zeedit_init(&ed);
    ASSERT_TRUE(zeedit_create(&ed, "x=10,y=50,xs=300,ys=200,lines=12,columns=20,wordbreak,autoindent"));
    std::mt19937 rng(99);
    for (int round = 0; round < 400; round++) {
        std::string raw;
        int n = round % 50 == 0 ? 70000 : (int)(rng() % 300);
        for (int i = 0; i < n; i++) raw += (char)(rng() % 5 ? 'a' + rng() % 26 : rng() % 256);
        std::string clip = to_latin1(raw);
        zeclipboard_set(clip.c_str());
        zeControl *c = round % 2 ? &ed.c : &in.c;
        ASSERT_TRUE(zecontrol_ask_focus(c));
        zecontrol_send(c, ZEMSG_KEYDOWN, rng() % 2 ? 1 : ZEKEY_END);
        zecontrol_send(c, ZEMSG_PASTE);
        zecontrol_send(c, ZEMSG_KEYDOWN, rng() % 2 ? 8 : 'z');
        pump();
        ASSERT_LE(zelineinput_length(&in), 50);
        for (const char *p = zelineinput_text(&in); *p; p++) ASSERT_TRUE(showable(*p, false));
        char buf[4096];
        int len = zeedit_get_text(&ed, buf, sizeof buf);
        ASSERT_LT(len, (int)sizeof buf);
        for (int i = 0; i < len; i++) ASSERT_TRUE(showable(buf[i], true)) << round;
        ASSERT_GE(ed.cx, 0);
        ASSERT_LT(ed.cx, ed.columns);
        ASSERT_LT(ed.cy, ed.lines);
    }
    zeedit_destroy(&ed);
    zelineinput_destroy(&in);
}

}  // namespace
