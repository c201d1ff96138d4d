// Child processes with pipes, observed through the pump.
#include "zeevent.h"
#include "zeprocess.h"
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

struct Child {
    std::string output;
    int code = -999;
    int ends = 0;
};

static zearg on_child(void *owner, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    Child *c = (Child *)owner;
    if (msg == ZEMSG_PROCESS_OUTPUT) c->output.append((const char *)a1, (size_t)a2);
    if (msg == ZEMSG_PROCESS_END) c->code = (int)a1, c->ends++;
    return 0;
}

// Pumps until every child has reported its end (at most 10 s).
static void pump_until_done(Child *children, int n) {
    for (int i = 0; i < 10000; i++) {
        bool all = true;
        for (int k = 0; k < n; k++) all = all && children[k].ends > 0;
        if (all) return;
        zepump();
        usleep(1000);
    }
}

TEST(Process, OutputAndExitCodeArriveThroughThePump) {
    Child c;
    int slot = zeprocess_run(on_child, &c, "sh -c \"echo a; echo b >&2; exit 3\"", true);
    ASSERT_GE(slot, 0);
    pump_until_done(&c, 1);
    EXPECT_EQ(3, c.code);
    EXPECT_EQ(1, c.ends);
    // Each stream keeps its order; stdout is read before stderr in each poll.
    EXPECT_TRUE(c.output == "a\nb\n" || c.output == "b\na\n") << c.output;
    EXPECT_FALSE(zeprocess_active(slot));
    EXPECT_EQ(0, zeprocess_count());
}

// A child that ends while a process it started keeps writing into the
// inherited pipe: the end is reported, the main thread does not read forever.
static zearg on_child_slowly(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                             zearg a7, zearg a8) {
    if (msg == ZEMSG_PROCESS_OUTPUT) usleep(10000);  // the writer refills the pipe meanwhile
    return on_child(owner, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

TEST(Process, EndIsReportedWhileAGrandchildKeepsWriting) {
    alarm(20);  // a regression would read forever
    Child c;
    int slot = zeprocess_run(on_child_slowly, &c, "sh -c \"yes & sleep 0.1\"", true);
    ASSERT_GE(slot, 0);
    pump_until_done(&c, 1);
    alarm(0);
    EXPECT_EQ(1, c.ends);
    EXPECT_EQ(0, c.code);
    EXPECT_EQ(0u, c.output.find("y\ny\n"));
}

TEST(Process, WritesReachTheChildAndLargeOutputIsComplete) {
    Child echo;
    int slot = zeprocess_run(on_child, &echo, "cat", true);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(zeprocess_write(slot, "hello child\n"));
    zeprocess_closeinput(slot);
    Child big;
    // 100000 bytes: several reports of at most 19000 bytes, nothing lost.
    ASSERT_GE(zeprocess_run(on_child, &big, "head -c 100000 /dev/zero", false), 0);
    pump_until_done(&echo, 1);
    pump_until_done(&big, 1);
    EXPECT_EQ("hello child\n", echo.output);
    EXPECT_EQ(0, echo.code);
    EXPECT_EQ(100000u, big.output.size());
    EXPECT_FALSE(zeprocess_write(slot, "too late"));
}

TEST(Process, WordsAreNotInterpretedByAShell) {
    Child c;
    ASSERT_GE(zeprocess_run(on_child, &c, "printf \"%s|\" \"a b\" $HOME ; x", true), 0);
    pump_until_done(&c, 1);
    EXPECT_EQ("a b|$HOME|;|x|", c.output);
}

TEST(Process, TableHoldsAHundredAndRefusesTheNext) {
    static Child children[ZEPROCESS_SLOTS];
    int slots[ZEPROCESS_SLOTS];
    for (int i = 0; i < ZEPROCESS_SLOTS; i++) {
        slots[i] = zeprocess_run(on_child, &children[i], "cat", true);
        ASSERT_GE(slots[i], 0) << i;
    }
    Child extra;
    EXPECT_EQ(-1, zeprocess_run(on_child, &extra, "true", true));
    // A killed child reports 128 + SIGTERM; closing input ends the others.
    EXPECT_TRUE(zeprocess_kill(slots[0]));
    for (int i = 1; i < ZEPROCESS_SLOTS; i++) zeprocess_closeinput(slots[i]);
    pump_until_done(children, ZEPROCESS_SLOTS);
    EXPECT_EQ(128 + 15, children[0].code);
    EXPECT_EQ(0, children[1].code);
    EXPECT_EQ(0, zeprocess_count());
    EXPECT_GE(zeprocess_run(on_child, &extra, "true", true), 0);
    pump_until_done(&extra, 1);
}

TEST(Process, UnknownProgramIsRefused) {
    Child c;
    EXPECT_EQ(-1, zeprocess_run(on_child, &c, "no-such-program-anywhere --x", true));
    EXPECT_EQ(-1, zeprocess_run(on_child, &c, "   ", true));
    EXPECT_EQ(0, zeprocess_count());
}
