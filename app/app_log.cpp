// The clock record and the log file "quimo.log".
#include "app.h"
#include "app_paths.h"
#include "zeentry.h"
#include "zefile.h"
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <unistd.h>

// Called on every display tick: the conversion to local time is done once
// per second of the system clock and reused in between.
ZE_HOT void read_clock() {
    static time_t last = -1;
    static ClockRecord cached;
    // Not time(): it reads the kernel's coarse clock, which may still show the
    // last second a few milliseconds into the next one, just when the idle
    // program wakes to show it.
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    time_t t = now.tv_sec;
    if (t != last) {
        struct tm tm;
        if (!localtime_r(&t, &tm)) return;
        cached = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
        last = t;
    }
    g_app.clock = cached;
}

// A FIFO or device put in place of one of our files would block the open
// (and with it start-up): only plain files are opened, others are logged.
FILE *app_open_file(const char *name, const char *mode) {
    FILE *f = zefile_open_regular(name, mode);
    if (!f && errno == EINVAL) write_log("%s: not a regular file, ignored", name);
    return f;
}

// The time stamp is read when the line is written: the clock record may be
// from before a long wait (a slow time server), and a log that puts a line
// at the wrong time misleads whoever reads it. The record itself is left
// alone, so the tick that is computing keeps its time.
void write_log(const char *fmt, ...) {
    static char message[8192];
    static char line[8300];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(message, sizeof message, fmt, ap);
    va_end(ap);
    time_t t = time(nullptr);
    struct tm tm;
    if (!localtime_r(&t, &tm)) tm = {};
    snprintf(line, sizeof line, "%02d.%02d.%02d %02d:%02d:%02d %s", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900,
             tm.tm_hour, tm.tm_min, tm.tm_sec, message);
    if (chdir(app_state_dir()) != 0) return;
    // A FIFO in place of the log would block every line: only a plain file.
    FILE *f = zefile_open_regular("quimo.log", "ab");
    if (!f) return;
    fprintf(f, "%s\r\n", line);
    fclose(f);
}
