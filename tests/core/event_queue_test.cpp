// The event queue, ids, the F12 banner, waitfor, close requests and the
// command line.
#include "zeentry.h"
#include "zeevent.h"
#include "zetimer.h"
#include <gtest/gtest.h>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

struct EventQueue : ::testing::Test {
    void SetUp() override {
        zetick_stop();
        zeevent_flush();
        zeevent_post(ZEKEY_ESCAPE);  // resets the F12 counter
        zeevent_flush();
    }
};

std::vector<int> drain() {
    std::vector<int> ids;
    while (int id = zeevent_poll()) ids.push_back(id);
    return ids;
}

std::string g_banner;
int g_banners;
void on_banner(const char *text) {
    g_banner = text;
    g_banners++;
}

TEST_F(EventQueue, IdsStartAtOneMillionAndNeverRepeat) {
    // Nothing in this binary allocates before this test's first call.
    int a = zeevent_newid(), b = zeevent_newid();
    EXPECT_GE(a, ZEEVENT_FIRST_ID);
    EXPECT_EQ(a + 1, b);
}

TEST_F(EventQueue, SixtyFifthIdIsDroppedAndOrderIsKept) {
    for (int i = 0; i < 65; i++) zeevent_post(5000 + i);
    EXPECT_EQ(64, zeevent_queued());
    std::vector<int> ids = drain();
    ASSERT_EQ(64u, ids.size());
    for (int i = 0; i < 64; i++) EXPECT_EQ(5000 + i, ids[i]);
    // The ring wraps around: the next ids come out in order too.
    for (int i = 0; i < 40; i++) zeevent_post(7000 + i);
    ids = drain();
    ASSERT_EQ(40u, ids.size());
    EXPECT_EQ(7039, ids.back());
}

TEST_F(EventQueue, RemoveTakesEveryCopyAndKeepsTheOthersInOrder) {
    // Start the ring near its end so that the queue wraps round.
    for (int i = 0; i < ZEEVENT_QUEUE_SIZE - 3; i++) zeevent_post(7);
    EXPECT_EQ(ZEEVENT_QUEUE_SIZE - 3, zeevent_remove(7));
    const int ids[] = {5, 6, 5, 8, 5, 9, 6, 5};
    for (int id : ids) zeevent_post(id);
    EXPECT_EQ(4, zeevent_remove(5));
    EXPECT_EQ(0, zeevent_remove(5));
    EXPECT_EQ(4, zeevent_queued());
    zeevent_post(10);  // posting goes on behind what was kept
    EXPECT_EQ((std::vector<int>{6, 8, 9, 6, 10}), drain());
    EXPECT_EQ(0, zeevent_remove(6));
}

TEST_F(EventQueue, FiveF12InARowShowTheBanner) {
    zeevent_banner_hook = on_banner;
    g_banners = 0;
    for (int i = 0; i < 4; i++) zeevent_post(ZEKEY_F12);
    EXPECT_EQ(0, g_banners);
    zeevent_post(ZEKEY_F12);
    EXPECT_EQ(1, g_banners);
    EXPECT_NE(std::string::npos, g_banner.find("zeko version: 2.40.907.02\n-----"));
    EXPECT_EQ(0u, g_banner.find("This program uses the zeko library,\n"));

    // Shift (319) and allocated ids do not break the run; a typed 'a' does.
    zeevent_flush();
    for (int i = 0; i < 4; i++) zeevent_post(ZEKEY_F12), zeevent_post(ZEKEY_SHIFT), zeevent_post(1000123);
    zeevent_flush();
    zeevent_post(ZEKEY_F12);
    EXPECT_EQ(2, g_banners);
    for (int i = 0; i < 4; i++) zeevent_post(ZEKEY_F12);
    zeevent_post('a');
    zeevent_post(ZEKEY_F12);
    EXPECT_EQ(2, g_banners);
    zeevent_banner_hook = nullptr;
    zeevent_flush();
}

TEST_F(EventQueue, WaitforDiscardsOtherIdsUntilOneOfItsOwn) {
    zeevent_post(11);
    zeevent_post(12);
    zeevent_post(13);
    zeevent_post(14);
    EXPECT_EQ(13, zeevent_waitfor(2, 99, 13));
    EXPECT_EQ(1, zeevent_queued());
    EXPECT_EQ(14, zeevent_poll());
    EXPECT_FALSE(zeevent_waitfor_active());
}

TEST_F(EventQueue, WaitforFindsItsIdAnywhereInALongList) {
    std::vector<int> ids;
    for (int i = 0; i < 1500; i++) ids.push_back(20000 + i);
    zeevent_post(5);
    zeevent_post(21499);  // the last of the list
    zeevent_post(20000);  // the first, later
    EXPECT_EQ(21499, zeevent_waitfor_list((int)ids.size(), ids.data()));
    EXPECT_EQ(20000, zeevent_waitfor_list(1000, ids.data()));
    zeevent_post(20999);
    EXPECT_EQ(20999, zeevent_waitfor(3, 1, 20999, 2));
    EXPECT_EQ(0, zeevent_queued());
}

int g_close_sig;
void on_close(int sig) { g_close_sig = sig; }

TEST_F(EventQueue, SignalBecomesCloseRequestOnTheMainThread) {
    zeevent_install_signal_handlers();
    zeevent_set_close_request_handler(on_close);
    g_close_sig = 0;
    raise(SIGTERM);
    EXPECT_EQ(0, g_close_sig);  // nothing happens inside the handler
    zeevent_poll();
    EXPECT_EQ(SIGTERM, g_close_sig);
    g_close_sig = 0;
    zeevent_poll();
    EXPECT_EQ(0, g_close_sig);  // handled once
    zeevent_set_close_request_handler(nullptr);
}

// A signal that posts an id: nothing happens in the handler, the id comes
// out of the queue once per raise, and a raise wakes a waiting loop.
TEST_F(EventQueue, SignalPostsItsIdOnTheMainThread) {
    int id = zeevent_newid();
    ASSERT_TRUE(zeevent_post_on_signal(SIGUSR2, id));
    raise(SIGUSR2);
    EXPECT_EQ(0, zeevent_queued());
    EXPECT_EQ(std::vector<int>{id}, drain());
    EXPECT_TRUE(drain().empty());
    raise(SIGUSR2);
    raise(SIGUSR2);  // raised twice before the pump: one event
    EXPECT_EQ(id, zeevent_wait());
    EXPECT_TRUE(drain().empty());
}

// A request arriving while a dialog waits is not lost among the ids the
// wait discards: it comes after the wait, or ends the wait that asks for it.
int g_answer_id;
void post_answer_once() {
    if (g_answer_id) zeevent_post(g_answer_id);
    g_answer_id = 0;
}

TEST_F(EventQueue, SignalDuringWaitforIsKeptForAfterTheWait) {
    int id = zeevent_newid(), ok = zeevent_newid();
    ASSERT_TRUE(zeevent_post_on_signal(SIGUSR1, id));
    zeevent_set_child_poll_hook(post_answer_once);
    raise(SIGUSR1);
    g_answer_id = ok;
    EXPECT_EQ(ok, zeevent_waitfor(1, ok));
    EXPECT_EQ(std::vector<int>{id}, drain());

    raise(SIGUSR1);
    g_answer_id = ok;
    EXPECT_EQ(id, zeevent_waitfor(2, ok, id));
    zeevent_set_child_poll_hook(nullptr);
    EXPECT_EQ(std::vector<int>{ok}, drain());
}

// A close handler that pumps (a "save?" dialog, a download) is called once,
// not again from its own pump.
int g_pumping_calls;
void on_close_pumping(int) {
    if (++g_pumping_calls > 3) return;  // keeps a regression from recursing to death
    zeevent_poll();
    zeevent_request_close(SIGTERM);  // a request while handling waits its turn
    zeevent_poll();
}

TEST_F(EventQueue, CloseHandlerThatPumpsRunsOnce) {
    zeevent_set_close_request_handler(on_close_pumping);
    g_pumping_calls = 0;
    zeevent_request_close(SIGTERM);
    zeevent_poll();
    EXPECT_EQ(1, g_pumping_calls);
    zeevent_poll();  // the request made while handling comes next
    EXPECT_EQ(2, g_pumping_calls);
    zeevent_set_close_request_handler([](int) {});
    zeevent_poll();  // takes the one left by the second call
    zeevent_set_close_request_handler(nullptr);
    EXPECT_TRUE(zerunning());
}

TEST(CommandLine, QuotedWordsAndQuotedParts) {
    char *out[16];
    char buf[256];
    int n = zecmdline_split("  one \"two words\"  x\"y z\"w  ", out, 16, buf, sizeof buf);
    ASSERT_EQ(4, n);
    EXPECT_STREQ("", out[0]);
    EXPECT_STREQ("one", out[1]);
    EXPECT_STREQ("two words", out[2]);
    EXPECT_STREQ("xy zw", out[3]);
    EXPECT_EQ(nullptr, out[4]);

    // An unclosed quote runs to the end; the entry count is capped.
    n = zecmdline_split("\"open ended", out, 16, buf, sizeof buf);
    ASSERT_EQ(2, n);
    EXPECT_STREQ("open ended", out[1]);
    n = zecmdline_split("a b c d e", out, 4, buf, sizeof buf);
    EXPECT_EQ(3, n);
    EXPECT_EQ(nullptr, out[3]);
    // A buffer too small for the text never overflows.
    char tiny[6];
    n = zecmdline_split("abcdef ghijk", out, 16, tiny, sizeof tiny);
    EXPECT_LE(n, 2);
    EXPECT_LT(strlen(out[n - 1]), sizeof tiny);
}

TEST(CommandLine, SwitchNeedsASignAndTheExactName) {
    char a0[] = "prog", a1[] = "minys", a2[] = "+ min ys", a3[] = "-minys";
    char *plain[] = {a0, a1, nullptr};
    zeentry_init(2, plain);
    EXPECT_EQ(0, zecmdline_switch("minys"));
    char *plus[] = {a0, a1, a2, a3, nullptr};
    zeentry_init(4, plus);
    EXPECT_EQ(1, zecmdline_switch("minys"));  // first match wins
    EXPECT_EQ(0, zecmdline_switch("MINYS"));
    char *minus[] = {a0, a3, nullptr};
    zeentry_init(2, minus);
    EXPECT_EQ(-1, zecmdline_switch("minys"));
    EXPECT_STREQ("", zeargv()[0]);
    EXPECT_EQ(2, zeargc());
}

TEST(CommandLine, OnlyBlanksSeparateWords) {
    char *out[16];
    char buf[256];
    int n = zecmdline_split("a\tb c\t \"d\te\"", out, 16, buf, sizeof buf);
    ASSERT_EQ(4, n);
    EXPECT_STREQ("a\tb", out[1]);
    EXPECT_STREQ("c\t", out[2]);
    EXPECT_STREQ("d\te", out[3]);
}

TEST(CommandLine, SwitchComparesLongArgumentsWhole) {
    // A name as long as a fixed copy buffer must not match an argument that
    // only begins with it.
    std::string name(1022, 'n');
    std::string longer = "-" + name + "x", tabbed = "\t+ " + name.substr(0, 500) + "\t" + name.substr(500);
    char a0[] = "prog";
    char *args[] = {a0, longer.data(), nullptr};
    zeentry_init(2, args);
    EXPECT_EQ(0, zecmdline_switch(name.c_str()));
    char *args2[] = {a0, longer.data(), tabbed.data(), nullptr};
    zeentry_init(3, args2);
    EXPECT_EQ(1, zecmdline_switch(name.c_str()));
    zeentry_init(0, nullptr);
}

TEST(ProgramDir, IsTheDirectoryOfThisBinary) {
    const char *dir = zeprogramdir();
    ASSERT_TRUE(dir[0] == '/');
    EXPECT_NE('/', dir[strlen(dir) - 1]);
    std::string self = std::string(dir) + "/event_queue_test";
    EXPECT_EQ(0, access(self.c_str(), X_OK)) << self;
}

int g_cleanup_order[3], g_cleanups;
void cleanup_a() { g_cleanup_order[g_cleanups++] = 1; }
void cleanup_b() { g_cleanup_order[g_cleanups++] = 2; }

TEST(ExitSequence, CleanupsRunInOrderAndTheLoopStops) {
    g_cleanups = 0;
    zeonexit(cleanup_a);
    zeonexit(cleanup_b);
    zeentry_exit_sequence(3);
    EXPECT_EQ(2, g_cleanups);
    EXPECT_EQ(1, g_cleanup_order[0]);
    EXPECT_EQ(2, g_cleanup_order[1]);
    EXPECT_EQ(3, zeentry_exit_code());
    EXPECT_FALSE(zerunning());
    EXPECT_EQ(0, zeevent_wait());
    zeentry_init(0, nullptr);  // running again for whatever runs next
    EXPECT_TRUE(zerunning());
}

void cleanup_exits() { zeexit(0); }
void cleanup_reports() { fprintf(stderr, "later cleanup ran\n"); }

// A cleanup that ends the program itself neither restarts the sequence nor
// cuts it short, and the code asked for first stays.
TEST(ExitSequence, CleanupThatExitsKeepsTheCodeAndTheRest) {
    EXPECT_EXIT(
        {
            zeonexit(cleanup_exits);
            zeonexit(cleanup_reports);
            zeexit(3);
        },
        ::testing::ExitedWithCode(3), "later cleanup ran");
}

}  // namespace
