// The terminal on the in-memory screen: the grid and its colours, escape
// sequences (also cut at every byte), wrapping and scrolling, scroll-back
// bounds, word break, reads, the log, loading files, a child program, a
// flood of random bytes, and how often the screen is redrawn.
#include "platform/headless/zeheadless.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zeprocess.h"
#include "zeterminal.h"
#include "zetimer.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void pump() {
    while (zeevent_poll() != 0) {}
}

// Standard output off while the decoder reports garbage by the thousand.
struct Quiet {
    int saved;
    Quiet() {
        fflush(stdout);
        saved = dup(1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~Quiet() {
        fflush(stdout);
        dup2(saved, 1);
        close(saved);
    }
};

class Terminal : public ::testing::Test {
protected:
    zeWindow win;
    zeTerminal t;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zefont_init();
        zeview_install();
        ASSERT_TRUE(zewindow_open(&win, "term,x=0,y=0,xs=600,ys=400,noquit"));
    }
    void TearDown() override {
        zeterminal_release(&t);
        zewindow_close(&win);
    }
    void make(const char *options) {
        ASSERT_TRUE(zeterminal_create(&t, "%s", options));
        ASSERT_NE(nullptr, t.cells);
    }
    std::string line(int l) {
        char buf[1024];
        zeterminal_line_text(&t, l, buf, sizeof buf);
        return buf;
    }
    // The screen pixel at the middle of a glyph's column stroke, found by
    // looking for any pixel of colour c in the cell.
    bool cell_has(int col, int row, uint32_t c) {
        zeterminal_update(&t);
        zeview_flush();
        for (int y = 0; y < t.charh; y++)
            for (int x = 0; x < t.charw; x++)
                if (zeheadless_pixel(t.c.x + 2 + col * t.charw + x, t.c.y + 2 + row * t.charh + y) == c) return true;
        return false;
    }
    // Pumps until the child has ended (at most 10 s).
    void wait_child() {
        for (int i = 0; i < 10000 && zeterminal_child_running(&t); i++) {
            zepump();
            usleep(1000);
        }
    }
};

TEST_F(Terminal, DefaultSizeColoursAndGeometry) {
    make(",x=10,y=10");
    EXPECT_EQ(80, t.columns);
    EXPECT_EQ(25, t.visible);
    EXPECT_EQ(25, t.lines);
    EXPECT_EQ(80 * 6 + 4, t.c.w);
    EXPECT_EQ(25 * 13 + 4, t.c.h);
    EXPECT_EQ(0xFFFFFF, t.c.bgcolor);
    EXPECT_EQ(0x000040, t.c.textcolor);
    EXPECT_EQ(&t, zeterminal_standard());

    zeTerminal other;
    ASSERT_TRUE(zeterminal_create(&other, ",x=0,y=350,lines=2,columns=10,nostandardview,bgcolor=ff0000"));
    EXPECT_EQ(&other, zeterminal_current());
    EXPECT_EQ(&t, zeterminal_standard());
    EXPECT_EQ(0xFF0000, other.c.bgcolor);
    EXPECT_EQ(10, other.columns);
    zeterminal_release(&other);
    EXPECT_EQ(nullptr, zeterminal_current());
}

TEST_F(Terminal, ColoursFromEscapeSequencesReachTheScreen) {
    make(",x=0,y=0");
    zeterminal_puts(&t, "\033[31mR\033[39mT\033[32;44mG\033[0mN");
    EXPECT_EQ(1, zeterminal_cell(&t, 0, 0).fg);
    EXPECT_EQ(0, zeterminal_cell(&t, 1, 0).fg);
    EXPECT_EQ(2, zeterminal_cell(&t, 2, 0).fg);
    EXPECT_EQ(4, zeterminal_cell(&t, 2, 0).bg);
    // A reset brings the default colours back (ls ends every name with it).
    EXPECT_EQ(0, zeterminal_cell(&t, 3, 0).fg);
    EXPECT_EQ(0, zeterminal_cell(&t, 3, 0).bg);
    EXPECT_TRUE(cell_has(0, 0, 0xC00000));
    EXPECT_TRUE(cell_has(1, 0, 0x000040));
    EXPECT_TRUE(cell_has(2, 0, 0x0000C0));   // the blue background
    EXPECT_TRUE(cell_has(2, 0, 0x00FF00));
    EXPECT_FALSE(cell_has(3, 0, 0xC00000));
}

TEST_F(Terminal, CursorPositionsClearWrapAndScroll) {
    make(",x=0,y=0,lines=5,columns=10");
    zeterminal_puts(&t, "abc\033[5;10H");
    EXPECT_EQ(9, t.cx);
    EXPECT_EQ(4, t.cy);
    zeterminal_puts(&t, "\033[H");
    EXPECT_EQ(0, t.cx);
    EXPECT_EQ(0, t.cy);
    zeterminal_puts(&t, "\033[99;99H");   // limited to the grid
    EXPECT_EQ(9, t.cx);
    EXPECT_EQ(4, t.cy);
    zeterminal_puts(&t, "\033[2J");
    EXPECT_EQ("", line(0));
    EXPECT_EQ(0, t.cx + t.cy);

    // Ten characters fill the line; the eleventh wraps, a line feed after a
    // full line does not leave an empty line.
    zeterminal_puts(&t, "0123456789X");
    EXPECT_EQ("0123456789", line(0));
    EXPECT_EQ("X", line(1));
    zeterminal_puts(&t, "\r012345678Y\nZ");
    EXPECT_EQ("012345678Y", line(1));
    EXPECT_EQ("Z", line(2));
    zeterminal_puts(&t, "\ta\tb");
    EXPECT_EQ("Z   a   b", line(2));

    // Past the last line everything moves up one line.
    zeterminal_clear(&t);
    zeterminal_puts(&t, "1\n2\n3\n4\n5\n6");
    EXPECT_EQ("2", line(0));
    EXPECT_EQ("6", line(4));
    EXPECT_EQ(4, t.cy);

    // Erase to the end of the line, delete and insert characters.
    zeterminal_puts(&t, "\rabcdef\033[3G\033[K");
    EXPECT_EQ("ab", line(4));
    zeterminal_puts(&t, "\rabcdef\033[2G\033[2P");
    EXPECT_EQ("adef", line(4));
    zeterminal_puts(&t, "\033[1@");
    EXPECT_EQ("a def", line(4));
}

TEST_F(Terminal, ScrollBackKeepsTheLastLinesAndScrollsWithinThem) {
    make(",x=0,y=0,lines=10,columns=20,scrollback=50");
    EXPECT_EQ(50, t.lines);
    EXPECT_EQ(10, t.visible);
    EXPECT_TRUE(t.bar.von);
    for (int i = 0; i < 200; i++) zeterminal_printf(&t, "line %d\n", i);
    EXPECT_EQ("line 151", line(0));   // the buffer holds the last 50 (the cursor's line is empty)
    EXPECT_EQ("line 199", line(48));
    EXPECT_EQ(40, t.first);            // the view follows the output
    zeterminal_scroll_to(&t, -5);
    EXPECT_EQ(0, t.first);
    zeterminal_scroll_to(&t, 1000);
    EXPECT_EQ(40, t.first);
    EXPECT_EQ(100, t.bar.vpos);

    // Wheel and bar commands scroll by a line, a page or to a position.
    zeview_flush();
    ASSERT_TRUE(zecontrol_ask_focus(&t.c));   // the view gives the wheel to the focused child
    zeheadless_wheel(t.c.x + 20, t.c.y + 20, true);
    pump();
    EXPECT_EQ(39, t.first);
    zecontrol_send(&t.c, ZESB_PAGEUP);
    EXPECT_EQ(30, t.first);
    zecontrol_send(&t.c, ZESB_VPOS, 50);
    EXPECT_EQ(20, t.first);
    EXPECT_EQ((20 * 100 + 100) / 40, t.bar.vpos);
    // Output scrolls back to the cursor.
    zeterminal_puts(&t, "x");
    EXPECT_EQ(40, t.first);

    // A scroll-back beyond the cell budget is cut, not allocated.
    zeTerminal big;
    ASSERT_TRUE(zeterminal_create(&big, ",x=0,y=0,columns=1000,lines=5,scrollback=2000000000,nostandardview"));
    EXPECT_LE((long)big.lines * big.columns, (long)ZETERM_CELLSMAX);
    zeterminal_release(&big);
}

TEST_F(Terminal, WordBreakMovesAWordThatDoesNotFit) {
    make(",x=0,y=0,lines=5,columns=12,wordbreak");
    zeterminal_puts(&t, "hello big world, again");
    EXPECT_EQ("hello big", line(0));
    EXPECT_EQ("world, again", line(1));
    zeterminal_puts(&t, " x\nend");
    EXPECT_EQ("x", line(2));
    EXPECT_EQ("end", line(3));
    // A word longer than a line is not lost.
    zeterminal_puts(&t, "\nabcdefghijklmnop");
    EXPECT_EQ("abcdefghijkl", line(4 - 1));
}

// Every cut of a stream into two writes (and byte by byte) gives the same grid.
TEST_F(Terminal, EscapeSequencesCutAtEveryByte) {
    make(",x=0,y=0,lines=6,columns=30");
    const std::string stream =
        "\033[31mred\033[0m \033[1;32;44mgreen\033[39;49m\r\n\033[3;5Hat\033[2K\033[Kx\016lqk\017"
        "\033[?25l\033[?1049h\033]0;title\007\033[s\033[10C\033[u\033(B\033[5X\033[!p\033\033end\n\ttab";
    auto grid = [&]() {
        std::string g;
        for (int l = 0; l < t.lines; l++)
            for (int c = 0; c < t.columns; c++) {
                zeTermCell cell = zeterminal_cell(&t, c, l);
                g += (char)cell.ch, g += (char)cell.fg, g += (char)cell.bg;
            }
        return g + std::to_string(t.cx) + "," + std::to_string(t.cy);
    };
    Quiet quiet;
    zeterminal_write(&t, stream.data(), (int)stream.size());
    std::string whole = grid();
    EXPECT_NE(std::string::npos, whole.find("r\001"));
    for (size_t cut = 0; cut <= stream.size(); cut++) {
        zeterminal_clear(&t);
        zeterminal_write(&t, stream.data(), (int)cut);
        zeterminal_write(&t, stream.data() + cut, (int)(stream.size() - cut));
        ASSERT_EQ(whole, grid()) << "cut at " << cut;
    }
    zeterminal_clear(&t);
    for (char ch : stream) zeterminal_write(&t, &ch, 1);
    EXPECT_EQ(whole, grid());
}

TEST_F(Terminal, ReadsKeysAndLinesWithEcho) {
    make(",x=0,y=0,lines=5,columns=20");
    for (int k : std::initializer_list<int>{'a', 'b', 'x', 8, 'c', 10}) zeterminal_key(&t, k);
    EXPECT_TRUE(zeterminal_keyavailable(&t));
    char buf[16];
    ASSERT_NE(nullptr, zeterminal_getline(&t, buf, sizeof buf));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ("abc", line(0));
    EXPECT_EQ(1, t.cy);

    // Beyond the maximum nothing is stored; the shown character is replaced.
    for (int k : std::initializer_list<int>{'1', '2', '3', '4', '5', 10}) zeterminal_key(&t, k);
    ASSERT_NE(nullptr, zeterminal_getline(&t, buf, 4));
    EXPECT_STREQ("123", buf);
    EXPECT_EQ("1235", line(1));   // "4" was shown and then overwritten

    // The key ring holds 32; more are dropped. Keys from 255 up are not kept.
    zeterminal_key(&t, 301);
    for (int i = 0; i < 40; i++) zeterminal_key(&t, 'A' + i % 26);
    int n = 0;
    while (zeterminal_keyavailable(&t)) {
        int key = zeterminal_getkey_echo(&t);
        EXPECT_EQ('A' + n % 26, key);
        n++;
    }
    EXPECT_EQ(32, n);

    // Keys typed into the focused terminal through the window.
    ASSERT_TRUE(zecontrol_ask_focus(&t.c));
    zeheadless_keystroke(0, 'q');
    pump();
    EXPECT_EQ('q', zeterminal_getkey(&t));
}

TEST_F(Terminal, LogFileAndLoadingTheTailOfAFile) {
    char dir[] = "/tmp/zeterm_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    std::string log = std::string(dir) + "/term.log";
    ASSERT_TRUE(zeterminal_create(&t, ",x=0,y=0,lines=4,columns=10,logfile=%s", log.c_str()));
    zeterminal_puts(&t, "hi \033[31mthere\033[0m\n");
    zeterminal_release(&t);
    FILE *f = fopen(log.c_str(), "r");
    ASSERT_NE(nullptr, f);
    char first[64], second[64];
    ASSERT_NE(nullptr, fgets(first, sizeof first, f));
    ASSERT_NE(nullptr, fgets(second, sizeof second, f));
    fclose(f);
    EXPECT_EQ(20u, strlen(first));   // "YYYY-MM-DD hh:mm:ss\n"
    EXPECT_STREQ("hi there\n", second);

    // A name beyond 200 characters or in a missing folder leaves logging off.
    std::string longname = std::string(dir) + "/" + std::string(250, 'n');
    make((",x=0,y=0,logfile=" + longname).c_str());
    EXPECT_EQ(nullptr, t.log);
    make(",x=0,y=0,logfile=/nonexistent/dir/log");
    EXPECT_EQ(nullptr, t.log);

    // Loading shows the tail: at most columns x lines bytes from the end.
    std::string text = std::string(dir) + "/text.txt";
    f = fopen(text.c_str(), "w");
    for (int i = 0; i < 100; i++) fprintf(f, "row%d\n", i);
    fclose(f);
    make(",x=0,y=0,lines=4,columns=10");
    ASSERT_TRUE(zeterminal_loadfile(&t, text.c_str()));
    EXPECT_EQ("row98", line(1));
    EXPECT_EQ("row99", line(2));
    EXPECT_EQ("", line(3));
    EXPECT_FALSE(zeterminal_loadfile(&t, "/nonexistent/file"));
    unlink(log.c_str()), unlink(text.c_str()), rmdir(dir);
}

TEST_F(Terminal, ChildOutputTypedLinesAndTheEnd) {
    make(",x=0,y=0,lines=10,columns=40");
    ASSERT_TRUE(zeterminal_run(&t, "sh -c \"printf '\\033[31mred\\033[0m\\n'; cat\""));
    EXPECT_FALSE(zeterminal_run(&t, "true"));   // one child at a time
    for (int i = 0; i < 2000 && line(0) != "red"; i++) zepump(), usleep(1000);
    EXPECT_EQ("red", line(0));
    EXPECT_EQ(1, zeterminal_cell(&t, 0, 0).fg);
    // A typed line is shown as typed and sent at Enter; cat sends it back.
    for (int k : std::initializer_list<int>{'h', 'i', 'x', 8, '!', 10}) zeterminal_key(&t, k);
    EXPECT_EQ("hi!", line(1));
    for (int i = 0; i < 2000 && line(2) != "hi!"; i++) zepump(), usleep(1000);
    EXPECT_EQ("hi!", line(2));
    // Ctrl-D at the start of a line ends cat's input.
    zeterminal_key(&t, 4);
    wait_child();
    EXPECT_FALSE(zeterminal_child_running(&t));
    EXPECT_EQ(0, t.exitcode);
    bool posted = false;
    for (int id; (id = zeevent_poll()) != 0;) posted |= id == t.c.ids[ZETERM_ID_CHILDEND];
    EXPECT_TRUE(posted);

    ASSERT_TRUE(zeterminal_run(&t, "sh -c \"exit 7\""));
    wait_child();
    EXPECT_EQ(7, t.exitcode);
    EXPECT_FALSE(zeterminal_run(&t, "/nonexistent/program"));
}

TEST_F(Terminal, ReleaseEndsTheChildAndLeavesNoZombie) {
    make(",x=0,y=0,lines=4,columns=20");
    ASSERT_TRUE(zeterminal_run(&t, "sleep 30"));
    ASSERT_EQ(1, zeprocess_count());
    zeterminal_release(&t);
    EXPECT_EQ(0, zeprocess_count());
    EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));   // nothing left to reap
    EXPECT_EQ(ECHILD, errno);
}

// A child flooding the terminal with random bytes: everything is taken, the
// buffer keeps its size, and the screen is redrawn once per frame at most.
TEST_F(Terminal, RandomFloodFromAChildStaysBounded) {
    make(",x=0,y=0,lines=25,columns=80,scrollback=500");
    zeTermCell *cells = t.cells;
    long before = t.updates;
    Quiet quiet;
    uint32_t start = zemilliseconds();
    ASSERT_TRUE(zeterminal_run(&t, "head -c 4000000 /dev/urandom"));
    while (zeterminal_child_running(&t) && zemilliseconds() - start < 20000) zepump_step();
    uint32_t took = zemilliseconds() - start;
    EXPECT_FALSE(zeterminal_child_running(&t));
    EXPECT_EQ(cells, t.cells);
    EXPECT_EQ(500, t.lines);
    EXPECT_GE(t.cx, 0);
    EXPECT_LE(t.cx, t.columns);
    EXPECT_LT(t.cy, t.lines);
    // Frames of 20 ms: at most one redraw each (and a few for the start).
    EXPECT_LE(t.updates - before, (long)took / 20 + 5);
}

// Seeded mutations of a stream with every kind of sequence: the cursor and
// the view stay inside the grid whatever arrives.
TEST_F(Terminal, MutatedStreamsKeepTheCursorInTheGrid) {
    make(",x=0,y=0,lines=6,columns=12,scrollback=20");
    const std::string seed =
        "\033[31;42mab\033[5;7Hc\033[2J\033[K\033[1K\033[2K\033[J\033[3A\033[9B\033[4C\033[20D\033[s\033[u"
        "\033[7@\033[3P\033[9X\033[?7h\033[4l\033[99G\033[99d\016xqa\017\t\r\n\b\033]2;t\033\\x";
    std::mt19937 rng(1234);
    Quiet quiet;
    for (int round = 0; round < 3000; round++) {
        std::string s = seed;
        int edits = 1 + rng() % 8;
        for (int e = 0; e < edits; e++) {
            size_t pos = rng() % (s.size() + 1);
            switch (rng() % 3) {
            case 0: s.insert(pos, 1, (char)(rng() % 256)); break;
            case 1: if (pos < s.size()) s.erase(pos, 1); break;
            default: if (pos < s.size()) s[pos] = (char)("0123456789;[?!\033mHJK"[rng() % 20]); break;
            }
        }
        if (round % 7 == 0) t.wordbreak = !t.wordbreak;
        zeterminal_write(&t, s.data(), (int)s.size());
        ASSERT_GE(t.cx, 0);
        ASSERT_LE(t.cx, t.columns);
        ASSERT_GE(t.cy, 0);
        ASSERT_LT(t.cy, t.lines);
        ASSERT_GE(t.first, 0);
        ASSERT_LE(t.first, t.lines - t.visible);
        if (round % 50 == 0) zeterminal_update(&t);
    }
}

}  // namespace
