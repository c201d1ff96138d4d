// Internet time synchronisation.
#include "timesync.h"
#include "app.h"
#include "app_paths.h"
#include "zeentry.h"
#include "zehttp.h"
#include "zeregistry.h"
#include "zetime.h"
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/timex.h>

enum { RESPONSE_MAX = 2000, STATUS_MAX = 500 };

static char g_status[STATUS_MAX + 1] = "-";

static const char kPath[] = "/cgi-bin/datetime_utc_q.pl";
static const char kDefaultHost[] = "localhost";
static const char kHostSetting[] = "HKEY_CURRENT_USER/Software/QUIMO/TimeServer";

// The month names in the toolkit's character set (Latin-1).
static const char *const kMonthsEnglish[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
static const char *const kMonthsGerman[12] = {"Januar", "Februar", "M\xe4rz",     "April",   "Mai",      "Juni",
                                              "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

const char *timesync_status() { return g_status; }

static void first_line(const char *file, char *out, int size) {
    out[0] = 0;
    FILE *f = app_open_file(file, "rb");
    if (!f) return;
    if (!fgets(out, size, f)) out[0] = 0;
    fclose(f);
    out[strcspn(out, "\r\n")] = 0;
    // Surrounding blanks are typing slips, not part of a URL.
    char *p = out;
    while (*p == ' ' || *p == '\t') p++;
    memmove(out, p, strlen(p) + 1);
    for (int n = (int)strlen(out); n > 0 && (out[n - 1] == ' ' || out[n - 1] == '\t'); n--) out[n - 1] = 0;
}

bool timesync_url(char *out, int size) {
    const char *env = getenv("QUIMO_TIME_URL");
    if (env && *env) {
        snprintf(out, (size_t)size, "%s", env);
        return true;
    }
    char file[1000], line[1000];
    snprintf(file, sizeof file, "%s/timeserver.txt", app_state_dir());
    first_line(file, line, sizeof line);
    if (strstr(line, "://")) {
        snprintf(out, (size_t)size, "%s", line);
        return true;
    }
    if (!line[0] && !zeregistry_read(kHostSetting, line, sizeof line)) line[0] = 0;
    snprintf(out, (size_t)size, "http://%s%s", line[0] ? line : kDefaultHost, kPath);
    return line[0] != 0;
}

// ---- the system's own synchronisation ----

// The kernel clock counts as synchronised as timedatectl's NTPSynchronized
// reads it: a time daemon has cleared the unsynchronised flag and keeps the
// estimated error below 16 seconds.
static bool kernel_clock_synchronised() {
    struct timex t = {};
    int state = ntp_adjtime(&t);
    return state != -1 && state != TIME_ERROR && !(t.status & STA_UNSYNC) && t.maxerror < 16000000;
}

// A time daemon that runs keeps the clock right, even before its first
// correction reached the kernel.
static bool time_daemon_runs() {
    static const char *const kDaemons[] = {"chronyd", "systemd-timesyn", "ntpd", "openntpd"};
    DIR *d = opendir("/proc");
    if (!d) return false;
    bool found = false;
    while (struct dirent *e = readdir(d)) {
        if (found || e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        char path[300], comm[64] = "";
        snprintf(path, sizeof path, "/proc/%s/comm", e->d_name);
        FILE *f = fopen(path, "rb");
        if (!f) continue;
        if (fgets(comm, sizeof comm, f)) comm[strcspn(comm, "\n")] = 0;
        fclose(f);
        for (const char *name : kDaemons)
            if (strcmp(comm, name) == 0) found = true;
    }
    closedir(d);
    return found;
}

static bool system_synchronised() { return kernel_clock_synchronised() || time_daemon_runs(); }

bool (*timesync_system_check)(void) = system_synchronised;

static int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Unsigned decimal digits at *p into *out; false when there are none or the
// number does not fit an int (it is refused, never wrapped round).
static bool read_digits(const char **p, int *out) {
    const char *s = *p;
    if (*s < '0' || *s > '9') return false;
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        v = v * 10 + (*s - '0');
        if (v > INT_MAX) return false;
    }
    *out = (int)v;
    *p = s;
    return true;
}

// The number after the first occurrence of key, if the key is there. False
// when the key is followed by no number or by one that does not fit.
static bool read_field(const char *response, const char *key, int *value) {
    const char *p = strstr(response, key);
    if (!p) return true;
    p += strlen(key);
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    int v;
    if (!read_digits(&p, &v)) return false;
    *value = negative ? -v : v;
    return true;
}

// "HH[:MM[:SS]]": the hour must be there; missing minutes and seconds are 0.
// Signs, stray bytes after a colon and overflowing numbers refuse the answer.
static bool read_time(const char *p, int *h, int *m, int *s) {
    *h = *m = *s = 0;
    if (!read_digits(&p, h)) return false;
    if (*p != ':') return true;
    p++;
    if (!read_digits(&p, m)) return false;
    if (*p != ':') return true;
    p++;
    return read_digits(&p, s);
}

bool timesync_parse(const char *response, int *year, int *month, int *day, int *hour, int *minute,
                    int *second) {
    const char *p = strstr(response, "datetime_utc=");
    if (!p) return false;
    p += 9;
    // Three blank-separated words (weekday, month, day) come before the time.
    for (int i = 0; i < 3; i++) {
        const char *blank = strchr(p, ' ');
        if (!blank) continue;
        p = blank + 1;
        while (*p == ' ') p++;
    }
    // A garbled time must not set the clock to midnight: it is refused.
    int h, m, s, y = *year, mo = *month, d = *day;
    if (!read_time(p, &h, &m, &s)) return false;
    if (!read_field(response, "y=", &y) || !read_field(response, "m=", &mo) || !read_field(response, "d=", &d))
        return false;
    *hour = clamp(h, 0, 23);
    *minute = clamp(m, 0, 59);
    *second = clamp(s, 0, 59);
    *year = y, *month = mo, *day = d;
    return true;
}

// The date and time of the clock record, after prefix and ": " when given.
static void set_status_from_clock(const char *prefix = nullptr) {
    const ClockRecord &c = g_app.clock;
    int month = clamp(c.month, 1, 12) - 1;
    char when[100];
    if (g_app.language == 1)
        snprintf(when, sizeof when, "%02u.%s %04u %02d:%02d:%02d", (unsigned)c.day, kMonthsGerman[month],
                 (unsigned)c.year, c.hour, c.minute, c.second);
    else
        snprintf(when, sizeof when, "%02u %s %04u %02d:%02d:%02d", (unsigned)c.day, kMonthsEnglish[month],
                 (unsigned)c.year, c.hour, c.minute, c.second);
    snprintf(g_status, sizeof g_status, "%s%s%s", prefix ? prefix : "", prefix ? ": " : "", when);
}

// One synchronisation may take this long in all; a server that trickles its
// answer would otherwise keep the request open as long as it likes.
enum { SYNC_LIMIT_SECONDS = 30 };

static bool fetch(const char *url, char *response, int size) {
    int oldLimit = zehttp_set_total_timeout(SYNC_LIMIT_SECONDS);
    zeHttpIdle oldIdle = zehttp_set_idle(app_wait_idle);
    bool ok = zehttp_getmem(response, size, url);
    zehttp_set_idle(oldIdle);
    zehttp_set_total_timeout(oldLimit);
    return ok;
}

static void synchronise();

void timesync_run() {
    // The display keeps ticking while a request waits, and a tick at a day
    // change asks for a synchronisation: one at a time is enough.
    static bool running;
    if (running) return;
    running = true;
    synchronise();
    running = false;
}

static void synchronise() {
    strcpy(g_status, "-");
    if (!g_settings.syncTime) return;
    strcpy(g_status, g_app.language == 1 ? "- (Fehler)" : "- (Error)");
    int year, month, day, hour, minute, second;
    zetime_getutc(&year, &month, &day, &hour, &minute, &second);
    write_log("get UTC, currently: %02d:%02d:%02d", hour, minute, second);
    char url[1000];
    if (!timesync_url(url, sizeof url)) {
        // Without a service of its own the system's synchronisation is the
        // better one: nothing to ask, and no right to set the clock needed.
        if (timesync_system_check && timesync_system_check()) {
            write_log("    no time service configured; the system keeps its clock synchronised, no request made");
            set_status_from_clock(g_app.language == 1 ? "vom System synchronisiert" : "synchronised by the system");
            return;
        }
        write_log("    no time service configured: set QUIMO_TIME_URL, or write its URL or host into %s/timeserver.txt",
                  app_state_dir());
    }
    write_log("%s", url);
    static char response[RESPONSE_MAX];
    if (!fetch(url, response, sizeof response)) {
        write_log("    error(3)");
        return;
    }
    write_log("    got UTC");
    if (!timesync_parse(response, &year, &month, &day, &hour, &minute, &second)) {
        write_log("    error(2)");
        return;
    }
    if (!zetime_setutc(year, month, day, hour, minute, second)) {
        write_log("    error(1) setting to %02d.%02d.%04d %02d:%02d:%02d", day, month, year, hour, minute, second);
        return;
    }
    write_log("    ok, set to %02d.%02d.%04d %02d:%02d:%02d", day, month, year, hour, minute, second);
    set_status_from_clock();
}
