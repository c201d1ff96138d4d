// List box and combo box on the in-memory screen: lines that fit, the bar,
// selection by mouse and keys at the edges, very long lists, removal,
// check boxes, hostile option strings, and the combo box's drop-down list.
#include "platform/headless/zeheadless.h"
#include "zebutton.h"
#include "zecombobox.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelistbox.h"
#include "zeplatform.h"
#include "zetimer.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

struct Event {
    int id, a1, a2;
};
std::vector<Event> g_events;
void record(void *, int id, int a1, int a2, int) { g_events.push_back({id, a1, a2}); }

bool any_pixel(int x, int y, int w, int h, unsigned color) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            if (zeheadless_pixel(i, j) == color) return true;
    return false;
}

int count_of(int id) {
    int n = 0;
    for (auto &e : g_events) n += e.id == id;
    return n;
}

zearg dummy_tick(void *, int, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) { return 0; }

void pump() {
    while (zeevent_poll() != 0) {}
}

enum { WX = 0, WY = 0, W = 400, H = 300 };

class Lists : public ::testing::Test {
protected:
    zeWindow win;
    zeView *view = nullptr;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zefont_init();
        zeview_install();
        static int owner;
        zetimer_set(dummy_tick, &owner, 1000, 0);
        zetimer_remove(&owner, 0);
        zetick_stop();
        zeheadless_advance(1000);   // no double click with an earlier test's click
        pump();
        ASSERT_TRUE(zewindow_open(&win, "lists,x=%d,y=%d,xs=%d,ys=%d,noquit", WX, WY, W, H));
        view = zeview_of_window(&win);
        ASSERT_NE(nullptr, view);
        g_events.clear();
    }
    void TearDown() override { zewindow_close(&win); }

    void key(int code) {
        zeheadless_keystroke(code, 0);
        pump();
    }
    void click(int x, int y) {
        zeheadless_advance(1000);   // never a double click
        zeheadless_click(x, y, 0);
        pump();
    }
    bool spare(const zeControl *c) { return view->children[c->handle].spare; }
    // Runs the timer table until the scheduled redraws are done.
    void ticks(int n) {
        for (int i = 0; i < n; i++) zetimer_tick(1);
        pump();
    }
};

// 108 pixels high with the 13-pixel default font: 7 lines.
const char *kBox = "lb,x=10,y=10,xs=150,ys=108";

TEST_F(Lists, SevenLinesFitWithoutABarAndAnEighthBringsIt) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s,entries=a|b|c|d|e|f|g", kBox));
    EXPECT_EQ(7, lb.rows);
    EXPECT_EQ(7, lb.count);
    EXPECT_FALSE(lb.sbshown);
    EXPECT_FALSE(spare(&lb.c));
    zelistbox_add(&lb, "h");
    EXPECT_TRUE(lb.sbshown);
    EXPECT_TRUE(spare(&lb.c));
    EXPECT_EQ(7, lb.visible);
    // The box is white inside a sunken frame.
    EXPECT_EQ(0xFFFFFFu, zeheadless_pixel(12, 112));
    zelistbox_release(&lb);
    EXPECT_EQ(nullptr, lb.items);
}

TEST_F(Lists, MouseSelectsLinesAndReportsSelectionDoubleClickAndRightClick) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s,entries=alpha|beta|gamma", kBox));
    zecontrol_set_eventhook(&lb.c, record, nullptr);
    // Below the last line of a short list: the last line.
    click(50, 100);
    EXPECT_EQ(2, lb.selected);
    EXPECT_TRUE(lb.c.focus);
    ASSERT_EQ(1u, g_events.size());
    EXPECT_EQ(lb.c.ids[ZELB_ID_SELECT], g_events[0].id);
    EXPECT_EQ(2, g_events[0].a1);
    // The same line again: no new selection event.
    click(50, 100);
    EXPECT_EQ(1u, g_events.size());
    // Second line (y = 10 + 4 + 13 + 1), drawn in the selection colour.
    click(50, 28);
    EXPECT_EQ(1, lb.selected);
    EXPECT_EQ((unsigned)zescheme_color(ZECOL_BLUE), zeheadless_pixel(13, 28));
    g_events.clear();
    zeheadless_advance(1000);
    zeheadless_click(50, 16, 0);
    zeheadless_click(50, 16, 0);
    pump();
    EXPECT_EQ(1, count_of(lb.c.ids[0]));
    EXPECT_EQ(0, lb.selected);
    zeheadless_advance(1000);
    zeheadless_click(50, 42, 2);
    pump();
    EXPECT_EQ(1, count_of(lb.c.ids[ZELB_ID_RIGHT]));
    EXPECT_EQ(2, lb.selected);
    // Grey: clicks do nothing.
    zecontrol_set_grey(&lb.c);
    click(50, 16);
    EXPECT_EQ(2, lb.selected);
    zelistbox_release(&lb);
}

TEST_F(Lists, KeysMoveTheSelectionWithinTheListAndScrollIt) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s", kBox));
    zecontrol_set_eventhook(&lb.c, record, nullptr);
    const char *names[] = {"apple", "Banana", "cherry", "blueberry", "date", "elder", "fig",
                           "grape", "Apricot", "kiwi", "lemon", "mango"};
    for (const char *n : names) zelistbox_add(&lb, "%s", n);
    ASSERT_TRUE(zeview_focus_child(view, lb.c.handle));
    // Enter in a list without selection still reports.
    key(ZEKEY_ENTER);
    EXPECT_EQ(1, count_of(lb.c.ids[0]));
    key(ZEKEY_UP);   // nothing selected, nothing before it
    EXPECT_EQ(-1, lb.selected);
    key(ZEKEY_DOWN);
    EXPECT_EQ(0, lb.selected);
    key(ZEKEY_END);
    EXPECT_EQ(11, lb.selected);
    EXPECT_EQ(5, lb.top);   // just enough to show it
    key(ZEKEY_DOWN);        // nothing after it
    EXPECT_EQ(11, lb.selected);
    key(ZEKEY_PAGEUP);
    EXPECT_EQ(5, lb.selected);
    key(ZEKEY_PAGEUP);
    EXPECT_EQ(0, lb.selected);
    EXPECT_EQ(0, lb.top);
    key(ZEKEY_PAGEDOWN);
    EXPECT_EQ(6, lb.selected);
    key(ZEKEY_HOME);
    EXPECT_EQ(0, lb.selected);
    // First letters, case ignored, wrapping round.
    key('b');
    EXPECT_EQ(1, lb.selected);
    key('B');
    EXPECT_EQ(3, lb.selected);
    key('b');
    EXPECT_EQ(1, lb.selected);
    key('a');
    EXPECT_EQ(8, lb.selected);
    key('z');
    EXPECT_EQ(8, lb.selected);
    // A letter typed into the list is no button's hot key.
    zeButton kb;
    zebutton_init(&kb);
    ASSERT_TRUE(zebutton_create(&kb, "Kiwi button,x=250,y=10,hotkey=k"));
    zecontrol_set_eventhook(&kb.c, record, nullptr);
    key('k');
    EXPECT_EQ(9, lb.selected);
    EXPECT_EQ(0, count_of(kb.c.ids[0]));
    zebutton_release(&kb);
    int selections = count_of(lb.c.ids[ZELB_ID_SELECT]);
    EXPECT_EQ(11, selections);
    zelistbox_release(&lb);
}

TEST_F(Lists, WheelAndBarScrollWithoutMovingTheSelection) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s", kBox));
    for (int i = 0; i < 20; i++) zelistbox_add(&lb, "line %d", i);
    ASSERT_TRUE(zeview_focus_child(view, lb.c.handle));
    zeheadless_wheel(50, 50, true);
    pump();
    EXPECT_EQ(0, lb.top);
    for (int i = 0; i < 30; i++) zeheadless_wheel(50, 50, false);
    pump();
    EXPECT_EQ(13, lb.top);   // 20 - 7
    EXPECT_EQ(100, lb.sb.vpos);
    // The track above the thumb pages up by the visible lines.
    click(lb.sb.vtrack.x + 5, lb.sb.vtrack.y + 2);
    EXPECT_EQ(6, lb.top);
    // A click on the bar selects nothing.
    EXPECT_EQ(-1, lb.selected);
    zelistbox_set_top_percent(&lb, 50);
    EXPECT_EQ(6, lb.top);
    zelistbox_set_top_percent(&lb, 1000);
    EXPECT_EQ(13, lb.top);
    zelistbox_release(&lb);
}

TEST_F(Lists, AHundredThousandLinesSelectScrollAndRemoveAtTheEdges) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s", kBox));
    zelistbox_clear(&lb);
    for (int i = 0; i < 100000; i++) zelistbox_add(&lb, "entry %06d", i);
    zelistbox_end_bulk(&lb);
    EXPECT_EQ(100000, lb.count);
    EXPECT_EQ(-1, lb.selected);
    ASSERT_TRUE(zeview_focus_child(view, lb.c.handle));
    key(ZEKEY_END);
    EXPECT_EQ(99999, lb.selected);
    EXPECT_EQ(100000 - 7, lb.top);
    EXPECT_EQ(100, lb.sb.vpos);
    // The selected last line goes: its predecessor takes the selection.
    ASSERT_TRUE(zelistbox_remove(&lb, 99999));
    EXPECT_EQ(99998, lb.selected);
    EXPECT_EQ(99999 - 7, lb.top);
    // A line before the selection goes: the selection stays on its text.
    ASSERT_TRUE(zelistbox_remove(&lb, 10));
    EXPECT_EQ(99997, lb.selected);
    EXPECT_STREQ("entry 099998", zelistbox_item(&lb, lb.selected));
    zelistbox_select(&lb, 5);
    ASSERT_TRUE(zelistbox_remove(&lb, 5));
    EXPECT_EQ(5, lb.selected);
    EXPECT_STREQ("entry 000006", zelistbox_item(&lb, 5));
    EXPECT_FALSE(zelistbox_remove(&lb, -1));
    EXPECT_FALSE(zelistbox_remove(&lb, lb.count));
    zelistbox_set_top_percent(&lb, 50);
    EXPECT_EQ((lb.count - 7) / 2, lb.top);
    char out[32];
    EXPECT_EQ(5, zelistbox_selected_item(&lb, out, sizeof out));
    EXPECT_STREQ("entry 000006", out);
    zelistbox_release(&lb);
}

TEST_F(Lists, RemovingEveryLineLeavesNoSelectionAndNoBar) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s,entries=a|b|c|d|e|f|g|h|i", kBox));
    zelistbox_select(&lb, 8);
    EXPECT_EQ(2, lb.top);
    while (lb.count > 0) ASSERT_TRUE(zelistbox_remove(&lb, 0));
    EXPECT_EQ(-1, zelistbox_selected(&lb));
    EXPECT_FALSE(lb.sbshown);
    EXPECT_EQ(0, lb.top);
    zecontrol_set_eventhook(&lb.c, record, nullptr);
    ASSERT_TRUE(zeview_focus_child(view, lb.c.handle));
    click(50, 30);
    key(ZEKEY_END);
    key('a');
    EXPECT_EQ(0u, g_events.size());
    char out[8] = "x";
    EXPECT_EQ(-1, zelistbox_selected_item(&lb, out, sizeof out));
    EXPECT_STREQ("x", out);
    zelistbox_release(&lb);
}

TEST_F(Lists, CheckBoxColumnTogglesMarksAndSortKeepsThem) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s,choosebox,markedlines,entries=pear|Apple|fig", kBox));
    zecontrol_set_eventhook(&lb.c, record, nullptr);
    click(10 + 27, 16);   // px = 27: the check box
    EXPECT_TRUE(zelistbox_marked(&lb, 0));
    EXPECT_EQ(-1, lb.selected);
    EXPECT_EQ(0, lb.lasttoggled);
    EXPECT_EQ(1, count_of(lb.c.ids[ZELB_ID_MARK]));
    click(10 + 28, 16);   // px = 28: the text
    EXPECT_EQ(0, lb.selected);
    EXPECT_TRUE(zelistbox_marked(&lb, 0));
    // The marked line's check mark is black on the box colour.
    EXPECT_EQ(0u, zeheadless_pixel(10 + 3 + 2 + 7, 14 + 1 + 2 + 1));
    key(ZEKEY_DOWN);
    key(ZEKEY_SPACE);
    EXPECT_TRUE(zelistbox_marked(&lb, 1));
    zelistbox_sort(&lb);
    EXPECT_STREQ("Apple", zelistbox_item(&lb, 0));
    EXPECT_TRUE(zelistbox_marked(&lb, 0));
    EXPECT_STREQ("pear", zelistbox_item(&lb, 2));
    EXPECT_TRUE(zelistbox_marked(&lb, 2));
    EXPECT_FALSE(zelistbox_marked(&lb, 1));
    zelistbox_release(&lb);
}

TEST_F(Lists, AddingOneByOneCostsOneRedrawPerTick) {
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s", kBox));
    long before = zeheadless_copies(win.native);
    for (int i = 0; i < 500; i++) zelistbox_add(&lb, "n%d", i);
    EXPECT_EQ(before, zeheadless_copies(win.native));
    ticks(2);
    EXPECT_EQ(before + 1, zeheadless_copies(win.native));
    EXPECT_TRUE(any_pixel(14, 14, 40, 13, 0x000000));   // the first line's text
    zelistbox_release(&lb);
    ticks(2);   // the released box's slot is gone: nothing runs on freed lines
}

// Hostile option strings (10,000 items, empty items, negative and huge
// sizes, an unknown font) as they are and in broken variants, each list and
// combo box driven by a few clicks and keys: nothing may crash or overrun,
// and selection and top stay inside the lines.
TEST_F(Lists, HostileAndMutatedOptionStringsKeepSelectionAndTopInsideTheLines) {
    std::string many = "lb,x=10,y=10,xs=150,ys=108,entries=";
    for (int i = 0; i < 10000; i++) many += "x|";
    const std::vector<std::string> seeds = {
        many,
        "lb,entries=|||a||,xs=-50,ys=-9999",
        "lb,x=-100000,y=-2147483648,xs=2147483647,ys=2147483647,entries=a|b,start=-7",
        "lb,contents=,entries=",
        "lb,ys=3,entries=a|b|c",
        "lb,font=nosuchfont,ys=0,xs=0,entries=" + std::string(600, 'q'),
        "lb,x=10,y=10,xs=150,ys=108,entries=a|b|c|d|e|f|g|h|i,markedlines,choosebox",
        "cb,x=20,y=200,xs=120,entries=red|green|blue,start=2,nobutton,align=right",
    };
    const char alphabet[] = ",,||||==-0123456789%xsySystart";
    std::mt19937 rng(20261208);
    testing::internal::CaptureStdout();   // the parsers' messages
    for (size_t round = 0; round < 300; round++) {
        std::string o = seeds[round % seeds.size()];
        for (int k = round < seeds.size() ? 0 : 1 + rng() % 5; k > 0; k--) {
            size_t at = rng() % (o.size() + 1);
            switch (rng() % 4) {
            case 0: o.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]); break;
            case 1: if (at < o.size()) o.erase(at, 1 + rng() % 8); break;
            case 2: o.insert(at, std::string(1 + rng() % 12, '9')); break;
            case 3: o.insert(at, std::string(1 + rng() % 300, '|')); break;
            }
        }
        zeListBox lb;
        zelistbox_init(&lb);
        zelistbox_create(&lb, "%s", o.c_str());
        zeview_focus_child(view, lb.c.handle);
        zeview_handler(view, ZEMSG_LDOWN, 15 + rng() % 150, 15 + rng() % 100, 0, 0, 0, 0, 0, 0);
        zeview_handler(view, ZEMSG_WHEELDOWN, 20, 20, 0, 0, 0, 0, 0, 0);
        for (int code : {(int)ZEKEY_END, (int)ZEKEY_PAGEUP, (int)ZEKEY_DOWN, (int)'a', (int)ZEKEY_SPACE})
            zeview_handler(view, ZEMSG_KEYDOWN, code, 0, 0, 0, 0, 0, 0, 0);
        zelistbox_remove(&lb, lb.count - 1);
        ASSERT_LT(lb.selected, lb.count == 0 ? 1 : lb.count) << o;
        ASSERT_TRUE(lb.top >= 0 && lb.top <= (lb.count > lb.rows ? lb.count - lb.rows : 0)) << o;
        zelistbox_release(&lb);

        zeComboBox cb;
        zecombobox_init(&cb);
        zecombobox_create(&cb, "%s", o.c_str());
        ASSERT_TRUE(cb.count <= ZECB_ENTRIES && cb.selected >= 0 && (cb.count == 0 || cb.selected < cb.count)) << o;
        zeview_focus_child(view, cb.c.handle);
        for (int code : {ZEKEY_ENTER, ZEKEY_DOWN, ZEKEY_ENTER, ZEKEY_UP, ZEKEY_ENTER, ZEKEY_ESCAPE})
            zeview_handler(view, ZEMSG_KEYDOWN, code, 0, 0, 0, 0, 0, 0, 0);
        zecombobox_release(&cb);
        pump();
    }
    testing::internal::GetCapturedStdout();
    // Empty items are kept as empty lines.
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "lb,entries=|||a||"));
    EXPECT_EQ(6, lb.count);
    EXPECT_STREQ("a", zelistbox_item(&lb, 3));
    zelistbox_release(&lb);
}

TEST_F(Lists, DirectoryFillsListSubdirectoriesAndMatchingFiles) {
    EXPECT_TRUE(zelistbox_match("*", "anything"));
    EXPECT_TRUE(zelistbox_match("*.TXT", "notes.txt"));
    EXPECT_TRUE(zelistbox_match("a?c*", "abcdef"));
    EXPECT_FALSE(zelistbox_match("a?c", "ac"));
    EXPECT_TRUE(zelistbox_match("**a*b**", "xxaxxbxx"));
    EXPECT_FALSE(zelistbox_match(std::string(60, '*').append("b").c_str(), std::string(5000, 'a').c_str()));
    char tmpl[] = "/tmp/zelistboxXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(tmpl));
    std::string dir = tmpl;
    for (const char *d : {"/zeta", "/Alpha", "/.hidden"}) ASSERT_EQ(0, mkdir((dir + d).c_str(), 0700));
    for (const char *f : {"/b.txt", "/A.TXT", "/c.dat", "/.h.txt"}) fclose(fopen((dir + f).c_str(), "w"));
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(dir.c_str()));
    zeListBox lb;
    zelistbox_init(&lb);
    ASSERT_TRUE(zelistbox_create(&lb, "%s", kBox));
    zelistbox_fill_dirs(&lb, dir.c_str());
    ASSERT_EQ(3, lb.count);
    EXPECT_STREQ("[..]", zelistbox_item(&lb, 0));
    EXPECT_STREQ("Alpha", zelistbox_item(&lb, 1));
    EXPECT_STREQ("zeta", zelistbox_item(&lb, 2));
    zelistbox_fill_files(&lb, "*.txt");
    ASSERT_EQ(2, lb.count);
    EXPECT_STREQ("A.TXT", zelistbox_item(&lb, 0));
    zelistbox_set_show_hidden(true);
    zelistbox_fill_files(&lb, "*");
    EXPECT_EQ(4, lb.count);
    zelistbox_set_show_hidden(false);
    zelistbox_fill_dirs(&lb, "/");
    EXPECT_EQ(2, lb.count);   // no "[..]" at the root
    zelistbox_release(&lb);
    ASSERT_EQ(0, chdir(cwd));
    std::string rm = "rm -rf " + dir;
    ASSERT_EQ(0, system(rm.c_str()));
}

// ----- combo box -----

const char *kCombo = "cb,x=20,y=200,xs=120,entries=red|green|blue";

TEST_F(Lists, ComboStartsAtItsStartEntryAndStepsWhileClosed) {
    zeComboBox cb;
    zecombobox_init(&cb);
    ASSERT_TRUE(zecombobox_create(&cb, "%s,start=2", kCombo));
    char text[64];
    EXPECT_EQ(2, zecombobox_selected_text(&cb, text, sizeof text));
    EXPECT_STREQ("blue", text);
    EXPECT_EQ(zefont_height(-1) + 4, cb.c.h);
    zecontrol_set_eventhook(&cb.c, record, nullptr);
    ASSERT_TRUE(zeview_focus_child(view, cb.c.handle));
    key(ZEKEY_DOWN);   // already last: still reported
    EXPECT_EQ(2, cb.selected);
    EXPECT_EQ(1, count_of(cb.c.ids[0]));
    key(ZEKEY_UP);
    EXPECT_EQ(1, cb.selected);
    zeheadless_wheel(30, 205, true);
    pump();
    EXPECT_EQ(0, cb.selected);
    EXPECT_EQ(3, count_of(cb.c.ids[0]));
    EXPECT_TRUE(zecombobox_select_text(&cb, "green"));
    EXPECT_FALSE(zecombobox_select_text(&cb, "Green"));
    EXPECT_EQ(1, cb.selected);
    EXPECT_EQ(3, count_of(cb.c.ids[0]));
    zecombobox_release(&cb);
}

TEST_F(Lists, ComboListChosenByMouseReportsAndByEnterDoesNot) {
    zeComboBox cb;
    zecombobox_init(&cb);
    ASSERT_TRUE(zecombobox_create(&cb, "%s", kCombo));
    zecontrol_set_eventhook(&cb.c, record, nullptr);
    int lh = zefont_height(-1);
    // A press on the button opens the list below the box.
    click(20 + 115, 205);
    ASSERT_TRUE(zecombobox_is_open(&cb));
    EXPECT_EQ(20, cb.popup->x);
    EXPECT_EQ(200 + cb.c.h, cb.popup->y);
    EXPECT_EQ(3 * lh + 4, cb.popup->h);
    EXPECT_FALSE(cb.pressed);   // the release reached the box through the popup
    EXPECT_NE(0, zeheadless_capture());
    // Moving over the second line highlights it.
    zeheadless_motion(30, cb.popup->y + 2 + lh + 3);
    pump();
    EXPECT_EQ(1, cb.highlight);
    EXPECT_EQ((unsigned)zescheme_color(ZECOL_BLUE), zeheadless_pixel(25, cb.popup->y + 2 + lh + 1));
    click(30, cb.popup->y + 2 + 2 * lh + 3);
    EXPECT_FALSE(zecombobox_is_open(&cb));
    EXPECT_EQ(0, zeheadless_capture());
    EXPECT_EQ(2, cb.selected);
    EXPECT_EQ(1, count_of(cb.c.ids[0]));
    // Enter opens with the shown entry highlighted; Up, Enter takes it silently.
    ASSERT_TRUE(cb.c.focus);
    key(ZEKEY_ENTER);
    ASSERT_TRUE(zecombobox_is_open(&cb));
    EXPECT_EQ(2, cb.highlight);
    key(ZEKEY_UP);
    key(ZEKEY_UP);
    key(ZEKEY_UP);
    EXPECT_EQ(0, cb.highlight);
    key(ZEKEY_ENTER);
    EXPECT_FALSE(zecombobox_is_open(&cb));
    EXPECT_EQ(0, cb.selected);
    EXPECT_EQ(1, count_of(cb.c.ids[0]));
    zecombobox_release(&cb);
}

TEST_F(Lists, ComboListClosesOnEscapeAndOnAClickOutsideWithoutChoosing) {
    zeComboBox cb;
    zecombobox_init(&cb);
    ASSERT_TRUE(zecombobox_create(&cb, "%s,start=1", kCombo));
    zecontrol_set_eventhook(&cb.c, record, nullptr);
    click(40, 205);
    ASSERT_TRUE(zecombobox_is_open(&cb));
    EXPECT_EQ(-1, cb.highlight);
    key(ZEKEY_DOWN);
    key(ZEKEY_ESCAPE);
    EXPECT_FALSE(zecombobox_is_open(&cb));
    EXPECT_EQ(1, cb.selected);
    click(40, 205);
    ASSERT_TRUE(zecombobox_is_open(&cb));
    click(300, 20);   // outside: the popup holds the pointer and closes
    EXPECT_FALSE(zecombobox_is_open(&cb));
    EXPECT_EQ(1, cb.selected);
    EXPECT_EQ(0u, g_events.size());
    // The window below shows the box again where the list was.
    EXPECT_EQ(0, zeheadless_capture());
    // Another click on the box opens it again, a click on the box closes it.
    click(40, 205);
    EXPECT_TRUE(zecombobox_is_open(&cb));
    click(40, 205);
    EXPECT_FALSE(zecombobox_is_open(&cb));
    zecombobox_release(&cb);
}

TEST_F(Lists, EmptyComboAndNobuttonCombo) {
    zeComboBox cb;
    zecombobox_init(&cb);
    ASSERT_TRUE(zecombobox_create(&cb, "cb,x=20,y=200,xs=120,nobutton,start=3"));
    zecontrol_set_eventhook(&cb.c, record, nullptr);
    EXPECT_EQ(-1, zecombobox_selected(&cb));
    char text[8] = "x";
    EXPECT_EQ(-1, zecombobox_selected_text(&cb, text, sizeof text));
    EXPECT_STREQ("", text);
    int bx = 20 + 120 - cb.c.h + 2;
    // Not focused: no button, the box colour runs to the right edge.
    EXPECT_EQ(0xFFFFFFu, zeheadless_pixel(bx + 3, 205));
    click(40, 205);
    EXPECT_FALSE(zecombobox_is_open(&cb));   // nothing to choose from
    EXPECT_TRUE(cb.c.focus);
    EXPECT_EQ((unsigned)zescheme_color(ZECOL_GREY), zeheadless_pixel(bx + 3, 205));
    key(ZEKEY_DOWN);
    key(ZEKEY_ENTER);
    zeheadless_wheel(40, 205, false);
    pump();
    EXPECT_EQ(0u, g_events.size());
    for (int i = 0; i < 150; i++) zecombobox_add(&cb, "entry %d with a rather long name that goes on and on and on and on", i);
    EXPECT_EQ(ZECB_ENTRIES, cb.count);
    EXPECT_EQ(ZECB_TEXTMAX, (int)strlen(cb.entries[99]));
    zecombobox_clear(&cb);
    EXPECT_EQ(0, cb.count);
    zecombobox_release(&cb);
}

}  // namespace
