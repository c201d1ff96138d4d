// Process start-up and shut-down: the argument vector, the program directory,
// the running flag, the exit cleanup list and the exit sequence.
#include "zeentry.h"
#include "zeevent.h"
#include "zetimer.h"
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

enum { ARGS_MAX = 500, CLEANUPS_MAX = 100, PROGRAMDIR_MAX = 299 };

static char g_empty[1] = "";
static char *g_argv[ARGS_MAX + 1] = {g_empty, nullptr};
static int g_argc = 1;

static void (*g_cleanups[CLEANUPS_MAX])(void);
static int g_cleanup_count;
static bool g_running = true;
static bool g_in_exit;
static int g_next_cleanup;  // the exit sequence's place in the cleanup list
static int g_exit_code;
static int g_windows_open;

void (*zeentry_tempfile_hook)(void);

int zeargc(void) { return g_argc; }
char **zeargv(void) { return g_argv; }

// Words of a command line are separated by blanks only; the switch lookup
// also ignores tabs.
static bool is_blank(char c) { return c == ' '; }
static bool is_blank_or_tab(char c) { return c == ' ' || c == '\t'; }

int zecmdline_split(const char *line, char **out, int maxout, char *buf, int bufsize) {
    if (maxout < 2 || bufsize < 1) return 0;
    int count = 0, pos = 0;
    buf[pos++] = 0;
    out[count++] = buf;
    const char *p = line ? line : "";
    // Each word needs at most its own length plus a terminator in buf.
    while (count < maxout - 1) {
        while (is_blank(*p)) p++;
        if (!*p) break;
        int start = pos;
        if (*p == '"') {
            for (p++; *p && *p != '"'; p++)
                if (pos < bufsize - 1) buf[pos++] = *p;
            if (*p == '"') p++;
        } else {
            bool quoted = false;
            for (; *p && (quoted || !is_blank(*p)); p++) {
                if (*p == '"') quoted = !quoted;
                else if (pos < bufsize - 1) buf[pos++] = *p;
            }
        }
        if (pos >= bufsize) break;
        buf[pos++] = 0;
        out[count++] = buf + start;
        if (pos >= bufsize) break;
    }
    out[count] = nullptr;
    return count;
}

std::vector<std::string> zecmdline_words(const char *line) {
    std::vector<std::string> words;
    if (!line) return words;
    // A text of len characters has at most (len + 1) / 2 words, each needing
    // its length plus a terminator.
    size_t len = strlen(line);
    std::vector<char *> argv(len / 2 + 3);
    std::vector<char> buf(len * 2 + 2);
    int n = zecmdline_split(line, argv.data(), (int)argv.size(), buf.data(), (int)buf.size());
    for (int i = 1; i < n; i++) words.push_back(argv[i]);
    return words;
}

// True when text without its blanks and tabs equals name; no copy, so an
// argument of any length is compared whole.
static bool equal_without_blanks(const char *text, const char *name) {
    for (;; text++) {
        while (is_blank_or_tab(*text)) text++;
        if (*text != *name) return false;
        if (!*text) return true;
        name++;
    }
}

int zecmdline_switch(const char *name) {
    if (!name) return 0;
    for (int i = 0; i < g_argc && g_argv[i]; i++) {
        const char *p = g_argv[i];
        while (is_blank_or_tab(*p)) p++;
        if ((*p == '-' || *p == '+') && equal_without_blanks(p + 1, name)) return *p == '-' ? -1 : 1;
    }
    return 0;
}

const char *zeprogramdir(void) {
    static char dir[PROGRAMDIR_MAX + 1];
    static bool done;
    if (done) return dir;
    done = true;
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        if (!getcwd(path, sizeof path)) strcpy(path, ".");
        n = strlen(path);
        path[n++] = '/';
    }
    path[n] = 0;
    char *slash = strrchr(path, '/');
    if (slash) *slash = 0;
    for (char *p = path; *p; p++)
        if (*p == '\\') *p = '/';
    if (!path[0]) strcpy(path, "/");  // a program in the root directory
    snprintf(dir, sizeof dir, "%s", path);
    return dir;
}

void zeentry_init(int argc, char **argv) {
    zemilliseconds();
    g_argc = 1;
    for (int i = 1; i < argc && g_argc < ARGS_MAX; i++) g_argv[g_argc++] = argv[i];
    g_argv[g_argc] = nullptr;
    g_cleanup_count = 0;
    g_running = true;
    zeprogramdir();
    zeevent_install_signal_handlers();
}

void zeentry_windows_add(int delta) { g_windows_open += delta; }
int zeentry_windows_open(void) { return g_windows_open; }

ZE_HOT bool zerunning(void) { return g_running; }

void zeonexit(void (*fn)(void)) {
    if (g_cleanup_count < CLEANUPS_MAX) g_cleanups[g_cleanup_count++] = fn;
}

// A cleanup that ends the program itself (zeexit, zequit) goes on with the
// same sequence from the next cleanup, and the first code stays: nothing
// runs twice and nothing is skipped.
void zeentry_exit_sequence(int code) {
    if (!g_in_exit) {
        g_in_exit = true;
        g_exit_code = code;
        g_next_cleanup = 0;
    }
    g_running = false;
    // A cleanup may register another; it runs too.
    while (g_next_cleanup < g_cleanup_count) {
        void (*fn)(void) = g_cleanups[g_next_cleanup++];
        if (fn) fn();
    }
    g_cleanup_count = g_next_cleanup = 0;
    if (zeentry_tempfile_hook) zeentry_tempfile_hook();
    fflush(stdout);
    g_in_exit = false;
}

int zeentry_exit_code(void) { return g_exit_code; }

void zeexit(int code) {
    zeentry_exit_sequence(code);
    fflush(nullptr);
    exit(g_exit_code);
}

void zequit(void) {
    g_running = false;
    if (!zeevent_waited()) zeexit(0);
}

int zeentry_finish(void) {
    if (!zeevent_waited() && zeentry_windows_open() > 0 && zerunning()) zeevent_runloop();
    zeentry_exit_sequence(0);
    return 0;
}
