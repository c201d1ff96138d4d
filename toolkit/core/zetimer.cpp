// The timer table, the tick source, the platform timer thread and the
// millisecond clock.
//
// The tick source counts on the main thread's own monotonic clock: the idle
// wait sleeps exactly until the next 10 ms boundary, and the ticks that have
// passed are worked off when it wakes. An idle timer thus costs one wakeup per
// tick and no cross-thread signalling. The timer thread starts with the first
// periodic callback: it keeps an absolute due time per callback and sleeps
// until the earliest one, so its cost follows the rates actually asked for.
#include "zetimer.h"
#include "zeentry.h"
#include "zeevent.h"
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

enum { TICK_BATCH = 10, PERIODIC_MAX = 16, TIMER_POST_LIMIT = 32, INITIAL_HIGH_WATER = 10 };

static const int64_t MS = 1000000;
static const int64_t MAX_SLEEP = 1000 * MS;  // the idle thread's longest sleep

// ---- the timer table (main thread) ----

struct TimerSlot {
    zeHandler callback;
    void *owner;
    int period;
    int accumulated;
    int key;
};

static TimerSlot g_slots[ZETIMER_SLOTS];
static int g_high_water = INITIAL_HIGH_WATER;

static TimerSlot *find_slot(void *owner, int key) {
    for (int i = 0; i < g_high_water; i++)
        if (g_slots[i].owner && g_slots[i].owner == owner && g_slots[i].key == key) return &g_slots[i];
    return nullptr;
}

bool zetimer_set(zeHandler callback, void *owner, int period, int key) {
    if (!owner) return false;
    if (period < 1) period = 1;  // a zero period would call the callback forever
    static bool started;
    if (!started) {
        started = true;
        zetick_start(zetimer_tick, 100);
    }
    TimerSlot *s = find_slot(owner, key);
    if (s) {
        s->period = period;
        s->accumulated = 0;
        return true;
    }
    for (int i = 0; i < ZETIMER_SLOTS; i++) {
        if (g_slots[i].owner) continue;
        g_slots[i] = {callback, owner, period, 0, key};
        if (i + 1 > g_high_water) g_high_water = i + 1;
        return true;
    }
    printf("too many timers !\n");
    return false;
}

void zetimer_remove(void *owner, int key) {
    TimerSlot *s = find_slot(owner, key);
    if (s) s->owner = nullptr;
}

void zetimer_setperiod(int period, void *owner, int key) {
    TimerSlot *s = find_slot(owner, key);
    if (s) s->period = period < 1 ? 1 : period;
}

int zetimer_count(void) {
    int n = 0;
    for (int i = 0; i < g_high_water; i++) n += g_slots[i].owner != nullptr;
    return n;
}

ZE_HOT void zetimer_tick(int count) {
    for (int c = 0; c < count; c++) {
        for (int i = 0; i < g_high_water; i++) {
            TimerSlot *s = &g_slots[i];
            if (!s->owner) continue;
            s->accumulated += ZETIMER_TICK_MS;
            // The callback may free or re-time its own slot.
            while (s->owner && s->accumulated >= s->period) {
                s->accumulated -= s->period;
                s->callback(s->owner, ZEMSG_TIMER, s->key, 0, 0, 0, 0, 0, 0, 0);
            }
        }
    }
}

// ---- zeTimer ----

ZE_HOT static zearg timer_post(void *owner, int msg, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeTimer *t = (zeTimer *)owner;
    if (!zeevent_waitfor_active() && zeevent_queued() <= TIMER_POST_LIMIT) zeevent_post(t->id);
    return 0;
}

zeTimer::zeTimer() : id(zeevent_newid()) {}
zeTimer::zeTimer(int periodMs) : id(zeevent_newid()) { setperiod(periodMs); }
zeTimer::~zeTimer() { zetimer_remove(this, 0); }

void zeTimer::setperiod(int periodMs) {
    period = periodMs;
    zetimer_set(timer_post, this, periodMs, 0);
}

// ---- clocks ----

ZE_HOT static int64_t now_ns(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

ZE_HOT uint32_t zemilliseconds(void) { return (uint32_t)(now_ns() / MS); }

void zesleep(int microseconds) {
    int ms = microseconds / 1000;
    if (ms <= 0) return;
    struct timespec ts = {ms / 1000, (long)(ms % 1000) * MS};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {}
}

// ---- waking the main thread ----

static int g_wake_fd = -2;  // -2: not yet created, -1: unavailable

ZE_HOT int zetimer_wake_fd(void) {
    if (g_wake_fd == -2) g_wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return g_wake_fd;
}

void zetimer_wake_main(void) {
    if (g_wake_fd < 0) return;
    uint64_t one = 1;
    ssize_t r = write(g_wake_fd, &one, sizeof one);
    (void)r;
}

void zetimer_wake_drain(void) {
    if (g_wake_fd < 0) return;
    uint64_t v;
    ssize_t r = read(g_wake_fd, &v, sizeof v);
    (void)r;
}

// ---- the timer thread ----

struct Periodic {
    void (*callback)(void);
    int64_t period;    // asked for
    int64_t interval;  // actual, 0: the asked period
    int64_t due;       // next point of its schedule
    bool onDemand;     // runs only when armed, once per arming
    bool waiting;      // armed and seen armed by the thread
};

static int64_t step_of(const Periodic &p) { return p.interval ? p.interval : p.period; }

static std::mutex g_lock;  // guards the sources below; held while callbacks run
static Periodic g_periodic[PERIODIC_MAX];
static std::atomic<bool> g_armed[PERIODIC_MAX];
static std::thread g_thread;
static std::atomic<bool> g_thread_stop;
static bool g_thread_started;
static int g_thread_wake = -1;  // eventfd: arming and stopping interrupt the sleep

// The tick source (main thread only, apart from the injected count).
static void (*g_tick_callback)(int);
static int64_t g_tick_period;  // 0: tick source stopped
static int64_t g_tick_due;     // the next tick boundary
static uint32_t g_backlog;     // ticks passed and not yet processed
static int64_t g_coalesce;     // idle wakes at multiples of this on the wall clock; 0: every tick
static const int64_t COALESCE_LATE = MS;
static std::atomic<uint32_t> g_injected;

static void wake_thread(void) {
    uint64_t one = 1;
    if (g_thread_wake >= 0 && write(g_thread_wake, &one, sizeof one) < 0) {}
}

// Sleeps until the monotonic time target or until woken. The timeout is
// relative, recomputed from the absolute target on every pass, so nothing
// drifts; relative waits also behave under time-faking preloads, where
// absolute monotonic sleeps can fail or return at once. Without a target
// passed it always sleeps, never spins.
static void sleep_until(int64_t target) {
    int64_t left = target - now_ns();
    if (left <= 0) return;
    if (target == INT64_MAX && g_thread_wake >= 0) {
        struct pollfd fd = {g_thread_wake, POLLIN, 0};
        if (poll(&fd, 1, -1) > 0) {
            uint64_t v;
            if (read(g_thread_wake, &v, sizeof v) < 0) {}
        }
        return;
    }
    if (left > MAX_SLEEP) left = MAX_SLEEP;
    struct timespec rel = {(time_t)(left / 1000000000), (long)(left % 1000000000)};
    struct pollfd fd = {g_thread_wake, POLLIN, 0};
    if (g_thread_wake < 0) {
        nanosleep(&rel, nullptr);
        return;
    }
    if (ppoll(&fd, 1, &rel, nullptr) > 0) {
        uint64_t v;
        if (read(g_thread_wake, &v, sizeof v) < 0) {}
    }
}

// The first point of p's schedule after now.
static int64_t next_on_schedule(const Periodic &p, int64_t now) {
    int64_t step = step_of(p);
    if (p.due > now) return p.due;
    return p.due + ((now - p.due) / step + 1) * step;
}

// The next due time, or INT64_MAX when nothing is due: on-demand callbacks
// not armed cost no wakeups at all (arming wakes the thread).
static int64_t run_due_callbacks(int64_t now) {
    int64_t next = INT64_MAX;
    for (int i = 0; i < PERIODIC_MAX; i++) {
        Periodic &p = g_periodic[i];
        if (!p.callback) continue;
        // The clock stepped back: keep the rate instead of waiting for the old schedule.
        if (p.due - now > step_of(p)) p.due = now + step_of(p);
        if (p.onDemand) {
            if (!g_armed[i].load()) {
                p.waiting = false;
                continue;
            }
            // Freshly armed: wait for the next point of the schedule, so a
            // callback kept in step with the display stays in step.
            if (!p.waiting) p.due = next_on_schedule(p, now);
            p.waiting = true;
        }
        if (now >= p.due) {
            if (p.onDemand) g_armed[i].store(false), p.waiting = false;
            p.callback();
            p.due = next_on_schedule(p, now);  // late: skip, never burst
            if (p.onDemand && !g_armed[i].load()) continue;
        }
        if (p.due < next) next = p.due;
    }
    return next;
}

static void thread_main(void) {
    while (!g_thread_stop.load()) {
        int64_t next;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            next = run_due_callbacks(now_ns());
        }
        sleep_until(next);
    }
}

static void thread_stop(void) {
    if (!g_thread_started) return;
    g_thread_stop.store(true);
    wake_thread();
    if (g_thread.joinable()) g_thread.join();
    g_thread_started = false;
    std::lock_guard<std::mutex> hold(g_lock);
    for (Periodic &p : g_periodic) p.callback = nullptr;
}

static void thread_ensure(void) {
    if (g_thread_started) return;
    if (g_thread_wake < 0) g_thread_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    g_thread_started = true;
    g_thread_stop.store(false);
    g_thread = std::thread(thread_main);
    zeonexit(thread_stop);  // ends the thread; a later zeperiodic_start makes a new one
    // Programs that end without the exit sequence (tests, tools) must not
    // leave the thread running into the static destructors.
    static bool registered;
    if (!registered) atexit(thread_stop);
    registered = true;
}

// ---- the tick source ----

static void tick_stop(void) { g_tick_period = 0; }

void zetick_start(void (*callback)(int count), int frequency) {
    static bool registered;
    if (!registered) zeonexit(tick_stop);
    registered = true;
    if (frequency < 1) frequency = 1;
    int64_t period = (1000 / frequency) * MS;
    if (period < MS) period = MS;
    g_tick_callback = callback;
    g_tick_period = period;
    g_tick_due = now_ns() + period;
    g_backlog = 0;
    g_injected.store(0);
}

void zetick_stop(void) {
    g_tick_period = 0;
    g_backlog = 0;
    g_injected.store(0);
}

void zetick_inject(uint32_t ticks) {
    g_injected.fetch_add(ticks);
    zetimer_wake_main();
}

bool zetick_running(void) { return g_tick_period != 0; }

// Moves the ticks that have passed (and the injected ones) into the backlog.
// The monotonic clock only jumps under a time-faking preload or when the
// whole process was stopped: a step back restarts the count from now (instead
// of no ticks until the old boundary comes round again), and a gap beyond
// the backlog limit counts as one tick (instead of a burst of 10000).
ZE_HOT static void collect_ticks(void) {
    if (g_tick_period) {
        int64_t now = now_ns();
        if (g_tick_due - now > g_tick_period) g_tick_due = now + g_tick_period;
        if (now >= g_tick_due) {
            int64_t n = (now - g_tick_due) / g_tick_period + 1;
            g_tick_due += n * g_tick_period;
            g_backlog += n > ZETICK_PENDING_MAX ? 1 : (uint32_t)n;
        }
    }
    g_backlog += g_injected.exchange(0);
    if (g_backlog > ZETICK_PENDING_MAX) g_backlog = ZETICK_PENDING_MAX;
}

ZE_HOT uint32_t zetick_pending(void) {
    collect_ticks();
    return g_backlog;
}

ZE_HOT int zetick_process(void) {
    collect_ticks();
    int n = g_backlog < TICK_BATCH ? (int)g_backlog : TICK_BATCH;
    g_backlog -= n;
    for (int i = 0; i < n; i++)
        if (g_tick_callback) g_tick_callback(1);
    return n;
}

ZE_HOT void zetick_coalesce(int ms) { g_coalesce = ms > ZETIMER_TICK_MS ? (int64_t)ms * MS : 0; }

ZE_HOT int zetick_coalescing(void) { return (int)(g_coalesce / MS); }

ZE_HOT int64_t zetick_wait_ns(void) {
    if (!g_tick_period) return -1;
    int64_t left = g_tick_due - now_ns();
    if (g_coalesce) {
        // Wake just after the wall clock's next boundary, so that a second
        // that changes there is read as changed.
        struct timespec wall;
        clock_gettime(CLOCK_REALTIME, &wall);
        int64_t into = ((int64_t)wall.tv_sec * 1000000000 + wall.tv_nsec) % g_coalesce;
        int64_t boundary = g_coalesce - into + COALESCE_LATE;
        // On a tick boundary: a late wake then still finds the same number
        // of ticks passed (a colon counted in ticks blinks evenly).
        if (boundary > left) left += (boundary - left + g_tick_period - 1) / g_tick_period * g_tick_period;
    }
    return left < 0 ? 0 : left;
}

// ---- periodic callbacks ----

static Periodic *find_periodic(void (*callback)(void)) {
    for (Periodic &p : g_periodic)
        if (p.callback == callback) return &p;
    return nullptr;
}

// Callbacks of the same rate share their wakeups: they run in registration
// order at the same moment instead of on two interleaved schedules.
static void share_schedule(Periodic *p) {
    for (Periodic &q : g_periodic) {
        if (&q == p || !q.callback || step_of(q) != step_of(*p)) continue;
        p->due = q.due;
        return;
    }
}

void zeperiodic_start(void (*callback)(void), int frequency) {
    if (!callback) return;
    if (frequency < 1) frequency = 1;
    int64_t period = 1000000000 / frequency;
    if (period < 1000) period = 1000;  // at most a million calls per second; never 0
    {
        std::lock_guard<std::mutex> hold(g_lock);
        Periodic *p = find_periodic(callback);
        if (!p) p = find_periodic(nullptr);
        if (!p) {
            printf("zeperiodic_start: too many periodic callbacks\n");
            return;
        }
        *p = {callback, period, 0, now_ns() + period, false, false};
        g_armed[p - g_periodic].store(false);
        share_schedule(p);
    }
    thread_ensure();
    wake_thread();
}

void zeperiodic_start_hires(void (*callback)(void), int frequency) { zeperiodic_start(callback, frequency); }

void zeperiodic_set_interval_us(void (*callback)(void), int64_t microseconds) {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        Periodic *p = find_periodic(callback);
        if (!p) return;
        p->interval = microseconds > 0 ? microseconds * 1000 : 0;
        int64_t soonest = now_ns() + step_of(*p);
        if (p->due > soonest) p->due = soonest;
        share_schedule(p);
    }
    wake_thread();
}

void zeperiodic_on_demand(void (*callback)(void), bool onDemand) {
    std::lock_guard<std::mutex> hold(g_lock);
    Periodic *p = find_periodic(callback);
    if (p) p->onDemand = onDemand;
}

void zeperiodic_arm(void (*callback)(void)) {
    // The list changes on the main thread only, so the main thread may look
    // it up without the lock (which a running draw may hold).
    for (int i = 0; i < PERIODIC_MAX; i++) {
        if (g_periodic[i].callback != callback) continue;
        if (!g_armed[i].exchange(true)) wake_thread();
        return;
    }
}

void zeperiodic_stop(void (*callback)(void)) {
    std::lock_guard<std::mutex> hold(g_lock);
    Periodic *p = find_periodic(callback);
    if (p) p->callback = nullptr;
}
