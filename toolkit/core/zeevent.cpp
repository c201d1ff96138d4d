// The event queue, event ids, the wait operations and the idle wait.
#include "zeevent.h"
#include "zeentry.h"
#include "zeprocess.h"
#include "zetimer.h"
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <poll.h>

enum { TIMER_POST_LIMIT = 32, BANNER_PRESSES = 5 };

static const char BANNER[] =
    "This program uses the zeko library,\nan easy-to-use toolkit for developping programs "
    "running on several platforms.\nYet supported: Linux / MacOS X / FreeBSD / MS-Windows / "
    "QNX\nC/C++\n\nzeko version: %s%s";

static int g_next_id = ZEEVENT_FIRST_ID;
static int g_queue[ZEEVENT_QUEUE_SIZE];
static int g_count, g_read, g_write;
static bool g_waited;
static bool g_layout_done;
static int g_waitfor_depth;
static const int *g_waitfor_ids;  // what the innermost zeevent_waitfor listens for
static int g_waitfor_n;
static int g_f12_presses;
static void (*g_layout_hook)(void);
static void (*g_child_poll_hook)(void);
static void (*g_close_handler)(int);
static volatile sig_atomic_t g_close_signal;
static volatile sig_atomic_t g_close_handling;

void (*zeevent_banner_hook)(const char *text);

static int no_fd(void) { return -1; }
static bool no_message(void) { return false; }
static const zeEventSource g_no_source = {no_fd, no_message, no_message};
static const zeEventSource *g_source = &g_no_source;

void zeevent_set_source(const zeEventSource *source) { g_source = source ? source : &g_no_source; }

int zeevent_newid(void) { return g_next_id++; }

ZE_HOT static void count_f12(int id) {
    if (id > ZEKEY_F12) return;
    if (id != ZEKEY_F12) {
        g_f12_presses = 0;
        return;
    }
    if (++g_f12_presses < BANNER_PRESSES) return;
    g_f12_presses = 0;
    char text[512];
    snprintf(text, sizeof text, BANNER, "2.40.907.02", "\n---------------------------------------");
    if (zeevent_banner_hook) zeevent_banner_hook(text);
}

ZE_HOT void zeevent_post(int id) {
    if (g_count >= ZEEVENT_QUEUE_SIZE) return;
    g_queue[g_write] = id;
    g_write = (g_write + 1) % ZEEVENT_QUEUE_SIZE;
    g_count++;
    count_f12(id);
}

ZE_HOT static int take(void) {
    if (g_count == 0) return 0;
    int id = g_queue[g_read];
    g_read = (g_read + 1) % ZEEVENT_QUEUE_SIZE;
    g_count--;
    return id;
}

ZE_HOT int zeevent_queued(void) { return g_count; }

ZE_HOT int zeevent_remove(int id) {
    int kept = 0, removed = 0;
    for (int i = 0; i < g_count; i++) {
        int v = g_queue[(g_read + i) % ZEEVENT_QUEUE_SIZE];
        if (v == id) removed++;
        else g_queue[(g_read + kept++) % ZEEVENT_QUEUE_SIZE] = v;
    }
    g_count = kept;
    g_write = (g_read + kept) % ZEEVENT_QUEUE_SIZE;
    return removed;
}
void zeevent_flush(void) { g_count = g_read = g_write = 0; }
bool zeevent_waited(void) { return g_waited; }
ZE_HOT bool zeevent_waitfor_active(void) { return g_waitfor_depth > 0; }

void zeevent_set_layout_hook(void (*fn)(void)) { g_layout_hook = fn; }
void zeevent_set_child_poll_hook(void (*fn)(void)) { g_child_poll_hook = fn; }
void zeevent_set_close_request_handler(void (*fn)(int sig)) { g_close_handler = fn; }

// The first wait, poll or runloop lets the views lay themselves out. It is
// sent even when ids were posted earlier: a view that never got its layout
// would stay empty.
ZE_HOT static void first_wait(void) {
    g_waited = true;
    if (g_layout_done) return;
    g_layout_done = true;
    if (g_layout_hook) g_layout_hook();
}

// ---- close requests from signals ----

static void on_signal(int sig) {
    // Already saving and quitting: let it finish.
    if (g_close_handling) return;
    // A second request while the first is still unhandled means the main
    // thread is stuck: let the signal's default action end the process.
    if (g_close_signal) {
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    int saved = errno;  // the interrupted code may be about to read it
    g_close_signal = sig;
    zetimer_wake_main();
    errno = saved;
}

void zeevent_install_signal_handlers(void) {
    zetimer_wake_fd();  // created here, never inside the handler
    struct sigaction sa = {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

void zeevent_request_close(int sig) {
    g_close_signal = sig;
    zetimer_wake_main();
}

// ---- signals that post an event ----

enum { SIGNAL_EVENTS_MAX = 4 };
static struct {
    int sig, id;
    volatile sig_atomic_t raised;
} g_signal_events[SIGNAL_EVENTS_MAX];
static int g_signal_event_count;

static void on_event_signal(int sig) {
    int saved = errno;
    for (int i = 0; i < g_signal_event_count; i++)
        if (g_signal_events[i].sig == sig) g_signal_events[i].raised = 1;
    zetimer_wake_main();
    errno = saved;
}

bool zeevent_post_on_signal(int sig, int id) {
    if (g_signal_event_count >= SIGNAL_EVENTS_MAX) return false;
    zetimer_wake_fd();
    // Entered before the handler exists, so a signal arriving at once finds it.
    g_signal_events[g_signal_event_count] = {sig, id, 0};
    g_signal_event_count++;
    struct sigaction sa = {};
    sa.sa_handler = on_event_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    if (sigaction(sig, &sa, nullptr) == 0) return true;
    g_signal_event_count--;
    return false;
}

static bool waited_for(int id) {
    for (int i = 0; i < g_waitfor_n; i++)
        if (g_waitfor_ids[i] == id) return true;
    return false;
}

// A signal is a request from outside (another start of the program): a modal
// wait would discard it, so it stays raised until the wait ends, unless the
// wait listens for it.
ZE_HOT static void post_signal_events(void) {
    for (int i = 0; i < g_signal_event_count; i++) {
        if (!g_signal_events[i].raised) continue;
        if (g_waitfor_depth > 0 && !waited_for(g_signal_events[i].id)) continue;
        g_signal_events[i].raised = 0;
        zeevent_post(g_signal_events[i].id);
    }
}

// The request is taken before the handler runs: a handler that pumps (a
// dialog, a download) must not see it again and recurse.
ZE_HOT static void handle_close_request(void) {
    if (!g_close_signal || g_close_handling) return;
    g_close_handling = 1;
    int sig = g_close_signal;
    g_close_signal = 0;
    if (g_close_handler) g_close_handler(sig);
    else zequit();
    g_close_handling = 0;
}

// ---- pumping ----

ZE_HOT static void pump_ticks_and_children(void) {
    handle_close_request();
    post_signal_events();
    zetick_process();
    if (g_child_poll_hook) g_child_poll_hook();
}

void zepump(void) {
    pump_ticks_and_children();
    const zeEventSource *b = g_source;
    while (b->pending() && b->dispatch_one()) {}
}

// Blocks until the display connection has input, the wake descriptor is
// signalled (close requests, injected ticks) or the next tick is due; without
// a tick source at most 10 ms, so child processes are still polled.
ZE_HOT static void idle_wait(void) {
    int wake = zetimer_wake_fd();
    enum { CHILD_FDS = 16 };
    struct pollfd fds[2 + CHILD_FDS];
    int n = 0;
    int display = g_source->fd();
    if (display >= 0) fds[n++] = {display, POLLIN, 0};
    if (wake >= 0) fds[n++] = {wake, POLLIN, 0};
    int wakeslot = n - 1;
    // A child's output wakes us too: a busy child is read as fast as it writes.
    n += zeprocess_pollfds(fds + n, CHILD_FDS);
    int64_t ns = zetick_wait_ns();
    int64_t longest = 10000000;
    if (zetick_coalescing() && zeprocess_count() == 0) longest = (int64_t)zetick_coalescing() * 1000000 + 2000000;
    if (ns < 0 || ns > longest) ns = longest;
    if (wake < 0 && ns > 1000000) ns = 1000000;  // nothing can wake us: poll every 1 ms
    struct timespec timeout = {(time_t)(ns / 1000000000), (long)(ns % 1000000000)};
    if (ppoll(fds, n, &timeout, nullptr) <= 0) return;
    if (wake >= 0 && (fds[wakeslot].revents & POLLIN)) zetimer_wake_drain();
}

ZE_HOT void zepump_step(void) {
    for (;;) {
        pump_ticks_and_children();
        const zeEventSource *b = g_source;
        if (g_count) return;
        if (b->pending() && b->dispatch_one()) return;
        if (g_count) return;
        if (!zerunning()) return;
        // Ticks still pending after a batch of 10: work them off before sleeping.
        if (zetick_pending() || (g_close_signal && !g_close_handling)) continue;
        idle_wait();
    }
}

ZE_HOT int zeevent_wait(void) {
    first_wait();
    for (;;) {
        if (!zerunning()) return 0;
        if (!g_count) zepump_step();
        if (g_count) return take();
    }
}

int zeevent_poll(void) {
    first_wait();
    zepump();
    return take();
}

// The list form has no limit of its own: the caller's array holds all n.
int zeevent_waitfor_list(int n, const int *ids) {
    if (!ids) n = 0;
    const int *outer_ids = g_waitfor_ids;
    int outer_n = g_waitfor_n;
    g_waitfor_ids = ids, g_waitfor_n = n;
    g_waitfor_depth++;
    int found = 0;
    while (!found) {
        int id = zeevent_wait();
        if (id == 0) break;
        for (int i = 0; i < n; i++)
            if (ids[i] == id) found = id;
    }
    g_waitfor_depth--;
    g_waitfor_ids = outer_ids, g_waitfor_n = outer_n;
    // A request held back during the wait is queued now, for the caller's loop.
    if (!g_waitfor_depth) post_signal_events();
    return found;
}

int zeevent_waitfor(int n, ...) {
    int ids[ZEEVENT_WAITFOR_MAX];
    if (n > ZEEVENT_WAITFOR_MAX) n = ZEEVENT_WAITFOR_MAX;
    if (n < 0) n = 0;
    va_list ap;
    va_start(ap, n);
    for (int i = 0; i < n; i++) ids[i] = va_arg(ap, int);
    va_end(ap);
    return zeevent_waitfor_list(n, ids);
}

void zeevent_runloop(void) {
    first_wait();
    while (zerunning()) {
        zepump_step();
        zepump();
        take();
    }
}
