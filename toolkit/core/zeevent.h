// The event queue, event ids, key codes, the wait operations and the
// toolkit's lifetime (running flag, quit, exit, exit cleanups).
//
// Everything that happens to the application reaches it as one integer:
// allocated ids (from 1000000, never reused) for windows, controls and
// timers; key codes below 1000 for key presses, code + 512 for releases.
// All of it runs on the main thread.
#pragma once
#include <cstdint>

// Key codes: key presses are posted as these, releases as code + ZEKEY_RELEASE.
// Typed characters are posted with their character code.
enum {
    ZEKEY_TAB = 9,
    ZEKEY_ENTER = 10,
    ZEKEY_ESCAPE = 27,
    ZEKEY_SPACE = 32,
    ZEKEY_LEFT = 301,
    ZEKEY_RIGHT = 302,
    ZEKEY_UP = 303,
    ZEKEY_DOWN = 304,
    ZEKEY_F1 = 305, ZEKEY_F2, ZEKEY_F3, ZEKEY_F4, ZEKEY_F5, ZEKEY_F6,
    ZEKEY_F7, ZEKEY_F8, ZEKEY_F9, ZEKEY_F10, ZEKEY_F11, ZEKEY_F12,
    ZEKEY_INSERT = 317,
    ZEKEY_CTRL = 318,
    ZEKEY_SHIFT = 319,
    ZEKEY_HOME = 320,
    ZEKEY_END = 321,
    ZEKEY_DELETE = 322,
    ZEKEY_PAGEUP = 323,
    ZEKEY_PAGEDOWN = 324,
    ZEKEY_ALT = 325,
    ZEKEY_RELEASE = 512,
};

// Modifier keys held (zewindow_modifiers).
enum { ZEMOD_SHIFT = 1, ZEMOD_ALT = 2, ZEMOD_CTRL = 4 };

enum {
    ZEEVENT_QUEUE_SIZE = 64,
    ZEEVENT_FIRST_ID = 1000000,
    ZEEVENT_WAITFOR_MAX = 1000,
    ZEMSG_INITIAL_LAYOUT = 8009,
};

// A fresh event id (1000000, 1000001, ...).
int zeevent_newid(void);
// Appends id to the queue; dropped when 64 ids are queued.
void zeevent_post(int id);
// The next event id, waiting as long as needed; 0 once the toolkit stops.
int zeevent_wait(void);
// Dispatches pending platform messages, then the next queued id or 0; never waits.
int zeevent_poll(void);
// Waits until one of the n ids is taken from the queue and returns it;
// other ids taken meanwhile are discarded; 0 when the toolkit stops first.
// Timer ids are not posted while it runs.
// The variable form takes up to 1000 ids; the list form any number.
int zeevent_waitfor(int n, ...);
int zeevent_waitfor_list(int n, const int *ids);
// True while a zeevent_waitfor runs (zeTimer expiries are dropped then).
bool zeevent_waitfor_active(void);
// While running: pump steps, every event discarded.
void zeevent_runloop(void);
// Ids now queued.
int zeevent_queued(void);
// Takes every queued copy of this id out of the queue (the others keep
// their order); returns how many there were.
int zeevent_remove(int id);
// Discards every queued id.
void zeevent_flush(void);
// True once the application has waited or polled.
bool zeevent_waited(void);

// Where platform messages come from. The window layer installs its backend
// here when the backend starts; until then the loop runs ticks and child
// processes only.
struct zeEventSource {
    int (*fd)(void);             // readable when messages arrive, or -1
    bool (*pending)(void);       // a message is waiting
    bool (*dispatch_one)(void);  // delivers one message; false when none
};
void zeevent_set_source(const zeEventSource *source);

// Processes ticks, child processes and every pending platform message; never waits.
void zepump(void);
// One idle wait: returns when an id is queued or a platform message was
// dispatched; blocks (no busy polling) while nothing happens.
void zepump_step(void);

// The running flag (two names: the toolkit's and the application's).
bool zerunning(void);
inline bool zeisrunning(void) { return zerunning(); }
// Clears the running flag; before the first wait or poll it ends the process
// at once (exit sequence, code 0).
void zequit(void);
// Runs the exit sequence and ends the process with code.
[[noreturn]] void zeexit(int code);
// Appends a cleanup to the exit cleanup list (100 entries, run in order).
void zeonexit(void (*fn)(void));

// Hooks for modules built above the event loop.
// The info dialog shows the banner after five F12 presses in a row.
extern void (*zeevent_banner_hook)(const char *text);
// The scroll-view module sends the initial-layout message (8009) to its
// standard-view list; called once, at the first wait, poll or runloop.
void zeevent_set_layout_hook(void (*fn)(void));
// Polls the child processes with pipes (services module); called by every
// pump step.
void zeevent_set_child_poll_hook(void (*fn)(void));

// Close requests from the system: SIGTERM, SIGINT and SIGHUP only set a flag
// (and wake the idle wait); the next pump step, on the main thread, calls
// this handler with the signal number. Without a handler the toolkit quits
// (zequit). The application sets a handler that saves and quits. Signals
// while the handler runs are ignored; a second signal before the first was
// picked up (a stuck main thread) takes the signal's default action.
void zeevent_set_close_request_handler(void (*fn)(int sig));
// Installs the signal handlers (zeentry_init does it).
void zeevent_install_signal_handlers(void);
// Same path as a signal, for tests and for the window module: the close
// request is handled by the next pump step.
void zeevent_request_close(int sig);
// Makes signal sig post id: the handler only marks it and wakes the idle
// wait, the next pump step posts id on the main thread. At most 4 signals;
// false when the table is full or the handler cannot be installed.
bool zeevent_post_on_signal(int sig, int id);
