// The clock record and the log file "quimo.log".
#include "app.h"
#include "zeentry.h"
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <unistd.h>

// Called on every display tick: the conversion to local time is done once
// per second of the system clock and reused in between.
void read_clock() {
    static time_t last = -1;
    static ClockRecord cached;
    time_t t = time(nullptr);
    if (t != last) {
        struct tm tm;
        if (!localtime_r(&t, &tm)) return;
        cached = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
        last = t;
    }
    g_app.clock = cached;
}

// The time stamp is the clock record as last read, not a fresh reading, so a
// tick's lines all carry the time that tick computed with.
void write_log(const char *fmt, ...) {
    static char message[8192];
    static char line[8300];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(message, sizeof message, fmt, ap);
    va_end(ap);
    const ClockRecord &c = g_app.clock;
    snprintf(line, sizeof line, "%02d.%02d.%02d %02d:%02d:%02d %s", c.day, c.month, c.year, c.hour,
             c.minute, c.second, message);
    if (chdir(zeprogramdir()) != 0) return;
    FILE *f = fopen("quimo.log", "ab");
    if (!f) return;
    fprintf(f, "%s\r\n", line);
    fclose(f);
}
