// The timer table, zeTimer, the pump's tick batches and the real tick source.
#include "zeevent.h"
#include "zetimer.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <ctime>
#include <vector>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TimerTable : ::testing::Test {
    void SetUp() override {
        // Deterministic: no ticks from the thread, only injected or direct ones.
        static zeTimer starter(1000);  // the first set starts the tick source
        zetick_stop();
        zeevent_flush();
    }
};

std::vector<int> drain() {
    std::vector<int> ids;
    while (int id = zeevent_poll()) ids.push_back(id);
    return ids;
}

std::vector<int> g_calls;
zearg record(void *owner, int msg, zearg key, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    EXPECT_EQ(ZEMSG_TIMER, msg);
    g_calls.push_back((int)key);
    return 0;
}

zearg remove_self(void *owner, int msg, zearg key, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_calls.push_back((int)key);
    zetimer_remove(owner, (int)key);
    return 0;
}

TEST_F(TimerTable, PeriodAccumulatesTensOfMilliseconds) {
    int owner;
    g_calls.clear();
    ASSERT_TRUE(zetimer_set(record, &owner, 30, 7));
    zetimer_tick(2);
    EXPECT_TRUE(g_calls.empty());
    zetimer_tick(1);
    EXPECT_EQ(1u, g_calls.size());
    EXPECT_EQ(7, g_calls[0]);
    // A period below the tick fires several times per tick.
    zetimer_setperiod(5, &owner, 7);
    g_calls.clear();
    zetimer_tick(1);
    EXPECT_EQ(2u, g_calls.size());
    zetimer_remove(&owner, 7);
}

TEST_F(TimerTable, SameOwnerAndKeyRetimesInsteadOfTakingASlot) {
    int owner;
    int before = zetimer_count();
    zetimer_set(record, &owner, 50, 1);
    zetimer_set(record, &owner, 50, 2);
    zetimer_tick(4);
    g_calls.clear();
    zetimer_set(record, &owner, 50, 1);  // restarts key 1's accumulated time
    EXPECT_EQ(before + 2, zetimer_count());
    zetimer_tick(1);
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(2, g_calls[0]);
    // setperiod keeps the accumulated time: key 1 has 10 ms, now needs 20.
    zetimer_setperiod(20, &owner, 1);
    zetimer_tick(1);
    ASSERT_EQ(2u, g_calls.size());
    EXPECT_EQ(1, g_calls[1]);
    zetimer_remove(&owner, 1);
    zetimer_remove(&owner, 2);
    EXPECT_EQ(before, zetimer_count());
}

TEST_F(TimerTable, CallbackMayRemoveItsOwnSlot) {
    int owner;
    g_calls.clear();
    zetimer_set(remove_self, &owner, 1, 3);  // would fire 10 times in one tick
    zetimer_tick(3);
    EXPECT_EQ(1u, g_calls.size());
}

TEST_F(TimerTable, FullTableRefusesAndLeavesOthersRunning) {
    static char owners[ZETIMER_SLOTS + 1];
    int added = 0;
    testing::internal::CaptureStdout();
    for (int i = 0; i <= ZETIMER_SLOTS; i++) added += zetimer_set(record, &owners[i], 10, 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_LT(added, ZETIMER_SLOTS + 1);
    EXPECT_NE(std::string::npos, out.find("too many timers !\n"));
    EXPECT_EQ(ZETIMER_SLOTS, zetimer_count());
    g_calls.clear();
    zetimer_tick(1);
    EXPECT_EQ((size_t)added, g_calls.size());
    for (int i = 0; i <= ZETIMER_SLOTS; i++) zetimer_remove(&owners[i], 0);
}

TEST_F(TimerTable, ZeTimerPostsOnItsPeriod) {
    zeTimer t(250), fast(10);
    for (int i = 0; i < 24; i++) zetimer_tick(1);
    std::vector<int> ids = drain();
    EXPECT_EQ(24, std::count(ids.begin(), ids.end(), fast.id));
    EXPECT_EQ(0, std::count(ids.begin(), ids.end(), t.id));
    zetimer_tick(1);
    ids = drain();
    EXPECT_EQ(1, std::count(ids.begin(), ids.end(), t.id));
    EXPECT_NE(t.id, fast.id);
}

TEST_F(TimerTable, ExpiriesDropWhileMoreThan32IdsAreQueued) {
    zeTimer t(10);
    for (int i = 0; i < 32; i++) zeevent_post(100 + i);
    zetimer_tick(1);  // 32 queued: still posts
    EXPECT_EQ(33, zeevent_queued());
    zetimer_tick(5);  // 33 queued: dropped
    EXPECT_EQ(33, zeevent_queued());
    zeevent_flush();
}

TEST_F(TimerTable, PumpWorksOffTenTicksPerStep) {
    zeTimer t(10);
    zetick_inject(25);
    zepump();  // one batch
    EXPECT_EQ(10, zeevent_queued());
    EXPECT_EQ(15u, zetick_pending());
    zeevent_flush();
    zetick_inject(20000);  // a backlog beyond 100 s is cut to 10000
    zepump();
    EXPECT_EQ(10000u - 10, zetick_pending());
    zetick_stop();
    zeevent_flush();
}

zeTimer *g_during;
int g_seen_during;
zearg finish_waitfor(void *owner, int, zearg key, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    // Runs in the same tick batch after g_during's slot: its id would be queued.
    g_seen_during += zeevent_queued();
    zeevent_post((int)key);
    zetimer_remove(owner, (int)key);
    return 0;
}

TEST_F(TimerTable, NoTimerIdsWhileWaitforRuns) {
    zeTimer during(10);
    g_during = &during;
    int owner, done = zeevent_newid();
    g_seen_during = 0;
    zetimer_set(finish_waitfor, &owner, 50, done);
    zetick_inject(5);
    EXPECT_EQ(done, zeevent_waitfor(1, done));
    EXPECT_EQ(0, g_seen_during);
    zetick_inject(1);
    EXPECT_EQ(during.id, zeevent_poll());
}

TEST(TickSource, RealTicksReachTheTimers) {
    zetick_start(zetimer_tick, 100);
    zeevent_flush();
    zeTimer t(50);
    uint32_t start = zemilliseconds();
    int got = 0;
    while (got < 6) got += zeevent_wait() == t.id;
    uint32_t took = zemilliseconds() - start;
    EXPECT_GE(took, 290u);
    EXPECT_LT(took, 2000u);  // generous: the machine may be busy
    zetick_stop();
}

// Coalesced idle waits end just after the wall clock's next boundary, the
// ticks in between are still counted (all timers keep their rates), and
// turning it off returns to one wake per tick.
TEST(TickSource, CoalescedWaitsEndAtWallClockBoundariesAndKeepTheTicks) {
    zetick_start(zetimer_tick, 100);
    zetick_coalesce(100);
    EXPECT_EQ(100, zetick_coalescing());
    struct timespec wall;
    clock_gettime(CLOCK_REALTIME, &wall);
    int64_t left = 100000000 - wall.tv_nsec % 100000000;  // to the next tenth of a second
    // The wait ends at the first tick after the boundary: a display changes only on a tick.
    int64_t wait = zetick_wait_ns();
    EXPECT_GE(wait, left - 2000000);
    EXPECT_LE(wait, left + 10000000 + 3000000);

    zeevent_flush();
    zeTimer t(50);
    uint32_t start = zemilliseconds();
    int got = 0;
    while (got < 6) got += zeevent_wait() == t.id;  // the pump sleeps in coalesced waits
    uint32_t took = zemilliseconds() - start;
    EXPECT_GE(took, 200u);   // six 50 ms expiries, two per 100 ms wake at the most
    EXPECT_LT(took, 2000u);

    zetick_coalesce(0);
    EXPECT_EQ(0, zetick_coalescing());
    EXPECT_LE(zetick_wait_ns(), 10000000);
    zetick_coalesce(10);  // a tick's length is no coalescing
    EXPECT_EQ(0, zetick_coalescing());
    zetick_stop();
}

// Under a time-faking preload the monotonic clock moves with the faked
// time. The test runs itself again under libfaketime and steps the clock two
// hours back, then forward again; ticks and periodic calls must go on at
// their rate, without a stall and without a burst.
const char kFaketime[] = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";  // two threads read the clock

std::atomic<int> g_jump_calls;
void jump_periodic() { g_jump_calls++; }

// Replaced in one step: the preload reads the file on every clock call, from
// both threads, and must never see it half written.
void set_fake_offset(const char *file, const char *offset) {
    std::string tmp = std::string(file) + ".new";
    FILE *f = fopen(tmp.c_str(), "w");
    ASSERT_TRUE(f);
    fprintf(f, "%s\n", offset);
    fclose(f);
    ASSERT_EQ(0, rename(tmp.c_str(), file));
}

// Ticks and periodic calls during 30 idle waits of 5 ms; *ms: how long that
// took (a busy machine stretches it).
void run_phase(int *ticks, int *calls, int *ms) {
    int t = 0, before = g_jump_calls;
    uint32_t start = zemilliseconds();
    for (int i = 0; i < 30; i++) {
        t += zetick_process();
        zesleep(5000);
    }
    t += zetick_process();
    *ticks = t, *calls = g_jump_calls - before, *ms = (int)(zemilliseconds() - start);
}

TEST(TickSource, ClockStepsNeitherStallNorBurst) {
    const char *file = getenv("FAKETIME_TIMESTAMP_FILE");
    if (!file) {
        if (access(kFaketime, R_OK) != 0) GTEST_SKIP() << "libfaketime is not installed";
        char self[4096], offsets[] = "/tmp/ze_faketime_XXXXXX";
        ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        ASSERT_GT(n, 0);
        self[n] = 0;
        int fd = mkstemp(offsets);
        ASSERT_GE(fd, 0);
        close(fd);
        set_fake_offset(offsets, "+0");
        // Built before the fork: the child may only exec.
        std::vector<std::string> env = {std::string("LD_PRELOAD=") + kFaketime,
                                        std::string("FAKETIME_TIMESTAMP_FILE=") + offsets, "FAKETIME_NO_CACHE=1",
                                        // sanitizer builds: the preload comes before their runtime
                                        "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"};
        std::vector<char *> envp;
        for (std::string &e : env) envp.push_back(e.data());
        for (char **e = environ; *e; e++) envp.push_back(*e);
        envp.push_back(nullptr);
        char filter[] = "--gtest_filter=TickSource.ClockStepsNeitherStallNorBurst";
        char *argv[] = {self, filter, nullptr};
        pid_t pid = fork();
        if (pid == 0) {
            execve(self, argv, envp.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        unlink(offsets);
        unlink((std::string(offsets) + ".new").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        return;
    }
    zetick_start(zetimer_tick, 100);
    g_jump_calls = 0;
    zeperiodic_start(jump_periodic, 200);
    int ticks, calls, ms;
    run_phase(&ticks, &calls, &ms);
    EXPECT_GE(ticks, 5) << ms << " ms";
    EXPECT_GE(calls, 5) << ms << " ms";
    set_fake_offset(file, "-7200");  // two hours back
    run_phase(&ticks, &calls, &ms);
    EXPECT_GE(ticks, 5) << "ticks stalled after the clock went back, " << ms << " ms";
    EXPECT_GE(calls, 5) << "periodic calls stalled after the clock went back, " << ms << " ms";
    for (const char *forward : {"+0", "+7200"}) {  // two hours forward, twice
        set_fake_offset(file, forward);
        run_phase(&ticks, &calls, &ms);
        EXPECT_LE(ticks, ms / 10 + 20) << "a burst of ticks after the clock went forward to " << forward;
        EXPECT_GE(ticks, 5) << ms << " ms";
        EXPECT_LE(calls, ms / 5 + 20) << ms << " ms";
    }
    zeperiodic_stop(jump_periodic);
    zetick_stop();
}

std::atomic<int> g_periodic_calls;
void periodic() { g_periodic_calls++; }

TEST(TickSource, PeriodicCallbackRunsAtItsRateAndStops) {
    g_periodic_calls = 0;
    zeperiodic_start(periodic, 1000);
    zeperiodic_set_interval_us(periodic, 20000);  // slowed to 50 per second
    zesleep(300000);
    zeperiodic_stop(periodic);
    int calls = g_periodic_calls;
    EXPECT_GE(calls, 5);
    EXPECT_LE(calls, 20);
    zesleep(50000);
    EXPECT_EQ(calls, g_periodic_calls.load());
}

std::atomic<int> g_demand_calls;
void on_demand() { g_demand_calls++; }

void fast_periodic() {}

TEST(TickSource, HugeFrequencyDoesNotDivideByZero) {
    zeperiodic_start(fast_periodic, 2000000000);
    zesleep(20000);
    zeperiodic_stop(fast_periodic);
    SUCCEED();
}

TEST(TickSource, OnDemandCallbackRunsOncePerArming) {
    g_demand_calls = 0;
    zeperiodic_start(on_demand, 100);
    zeperiodic_on_demand(on_demand, true);
    zesleep(100000);
    EXPECT_EQ(0, g_demand_calls.load());
    zeperiodic_arm(on_demand);
    zeperiodic_arm(on_demand);  // armed already: still one run
    zesleep(100000);
    EXPECT_EQ(1, g_demand_calls.load());
    zeperiodic_arm(on_demand);
    zesleep(100000);
    EXPECT_EQ(2, g_demand_calls.load());
    zeperiodic_stop(on_demand);
}

}  // namespace
