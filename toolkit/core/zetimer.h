// Timers: the timer table (100 slots, driven by a 10 ms tick), the tick source,
// periodic callbacks on the platform timer thread, the millisecond clock.
//
// The tick source counts 10 ms ticks on the monotonic clock; the main thread's
// idle wait sleeps until the next tick is due and works the passed ticks off
// (so an idle program wakes once per tick, nothing more). The timer thread,
// the only other thread, runs the periodic callbacks. Everything else here is
// main-thread only.
#pragma once
#include "zebase.h"
#include <cstdint>

enum {
    ZETIMER_SLOTS = 100,
    ZETIMER_TICK_MS = 10,
    ZEMSG_TIMER = 2029,
    ZETICK_PENDING_MAX = 10000,
};

// Registers (or, for an owner and key already present, re-times) a slot:
// callback(owner, 2029, key, 0...) every period ms. The first call of the
// process starts the tick source. False with "too many timers !" when the table is full.
bool zetimer_set(zeHandler callback, void *owner, int period, int key);
// Frees the first slot with this owner and key.
void zetimer_remove(void *owner, int key);
// Sets the period of the first slot with this owner and key; the accumulated
// time stays.
void zetimer_setperiod(int period, void *owner, int key);
// The timer-table tick: count times 10 ms into every slot. The pump calls it
// with the pending ticks; tests may call it directly.
void zetimer_tick(int count);
// Slots in use (for diagnostics and tests).
int zetimer_count(void);

// The tick source: starts (or restarts) counting ticks at frequency Hz
// (1000/frequency ms each); zepump_step calls callback(1) per tick.
void zetick_start(void (*callback)(int count), int frequency);
// Stops counting and drops the pending ticks.
void zetick_stop(void);
// Adds ticks to the pending count, from any thread (tests drive the pump with it).
void zetick_inject(uint32_t ticks);
// True while the tick source runs.
bool zetick_running(void);
// Ticks that have passed and are not yet processed (at most 10000).
uint32_t zetick_pending(void);
// Nanoseconds until the next tick is due (0: due now); -1 without a tick source.
int64_t zetick_wait_ns(void);
// Lets the idle wait sleep past tick boundaries up to the next multiple of
// ms on the wall clock, a moment after it (0 or 10 and below: wake for every
// tick). The ticks are still counted and worked off on waking, so every timer
// keeps its rate, only later by up to ms. A display that changes at whole
// seconds then wakes ten times a second instead of a hundred and still shows
// each change on time. Child processes with pipes keep the 10 ms polling.
void zetick_coalesce(int ms);
int zetick_coalescing(void);  // the ms set, 0 when off
// Works off pending ticks (main thread): clamps a backlog to 10000, then
// calls the tick callback at most 10 times. Returns the ticks processed.
int zetick_process(void);

// Periodic callbacks on the timer thread: callback() every 1000/frequency ms.
// They must touch only counters, flags and work the application keeps apart
// from the main thread by its own exclusion, and may call no zeperiodic_
// function but zeperiodic_arm (the others wait for running callbacks). The _hires variant is the one
// that raised the platform timer resolution elsewhere; here both are the same.
void zeperiodic_start(void (*callback)(void), int frequency);
void zeperiodic_start_hires(void (*callback)(void), int frequency);
// Lets a periodic callback run at a lower actual rate than it asked for
// (e.g. once per display refresh), in microseconds between calls; 0 restores
// the asked rate. The thread sleeps until the next due callback, so a slow
// rate costs no wakeups.
void zeperiodic_set_interval_us(void (*callback)(void), int64_t microseconds);
// On demand: the callback keeps its schedule but runs only after
// zeperiodic_arm, once per arming, at the next point of its schedule (callbacks
// of one rate share a schedule and run in registration order). A callback
// with nothing to do most of the time thus costs no wakeups while idle.
void zeperiodic_on_demand(void (*callback)(void), bool onDemand);
// Arms an on-demand callback (main thread; does not wait for a running callback).
void zeperiodic_arm(void (*callback)(void));
// Stops a periodic callback; when it returns the callback no longer runs.
void zeperiodic_stop(void (*callback)(void));

// The millisecond clock (monotonic, 32-bit, wrapping).
uint32_t zemilliseconds(void);
// Sleeps microseconds / 1000 whole milliseconds.
void zesleep(int microseconds);

// Descriptor that becomes readable when the main thread has something to do
// (injected ticks, close requests, a periodic callback that wants the main
// thread awake); the idle wait blocks on it.
int zetimer_wake_fd(void);
// Makes the wake descriptor readable (async-signal-safe).
void zetimer_wake_main(void);
// Empties the wake descriptor (main thread, after waking).
void zetimer_wake_drain(void);

// A timer that posts its event id every period ms (dropped while more than
// 32 ids are queued or a zeevent_waitfor runs).
class zeTimer {
public:
    int period = 0;
    int id;
    zeTimer();
    explicit zeTimer(int periodMs);
    ~zeTimer();
    zeTimer(const zeTimer &) = delete;
    zeTimer &operator=(const zeTimer &) = delete;
    // (Re)registers the slot with this period.
    void setperiod(int periodMs);
};
