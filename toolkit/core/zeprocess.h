// Child processes with pipes: their standard input, output and error are
// pipes to the toolkit. Output and the end arrive through the callback from
// the pump (zeprocess_poll runs in every pump step):
//   callback(user, 2050, (zearg)text, length)   text read (stdout, then stderr)
//   callback(user, 2052, exit code)             the process ended; slot freed
// The exit code of a process killed by a signal is 128 + the signal number.
#pragma once
#include "zebase.h"

enum {
    ZEPROCESS_SLOTS = 100,
    ZEMSG_PROCESS_OUTPUT = 2050,
    ZEMSG_PROCESS_END = 2052,
    ZEPROCESS_READ_MAX = 19000,  // bytes reported per poll and process
};

// Starts cmdline (split into words like the command line: blanks separate,
// double quotes group) directly, without a shell; the program is searched in
// PATH. hidden: in a session of its own, away from our terminal. Returns the
// slot number, or -1 when all 100 slots are in use or the program cannot start.
int zeprocess_run(zeHandler callback, void *user, const char *cmdline, bool hidden);
// Writes text to the process's standard input. False when the slot is not
// in use or the process does not take the text within about 2 s.
bool zeprocess_write(int slot, const char *text);
// Closes the process's standard input (it sees end of file).
void zeprocess_closeinput(int slot);
// Sends SIGTERM (to the process group of a hidden child, so what it started
// ends too); the end is reported through the callback as usual.
bool zeprocess_kill(int slot);
bool zeprocess_active(int slot);
int zeprocess_count(void);
// Reads available output and reaps ended processes; the pump calls it.
void zeprocess_poll(void);
// The open output pipes, for the idle wait to wake when a child writes (so
// a busy child is read at once, not every 10 ms). Returns how many of max.
struct pollfd;
int zeprocess_pollfds(struct pollfd *fds, int max);
