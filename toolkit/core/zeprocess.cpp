// Child processes with pipes, polled from the pump.
#include "zeprocess.h"
#include "zeentry.h"
#include "zeevent.h"
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

// Reports of the rest of the output after the end: more than a full pipe
// (64 KiB by default, 1 MiB at most) needs.
enum { FINISH_REPORTS = 64 };

struct ProcessSlot {
    bool used;
    pid_t pid;
    zeHandler callback;
    void *user;
    int in, out, err;  // our ends: -1 when closed
    bool group;        // leads a process group of its own (hidden)
};

static ProcessSlot g_slots[ZEPROCESS_SLOTS];
static int g_active;  // slots in use; the poll returns at once at 0
static bool g_hooked;

static void close_fd(int *fd) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
}

// Starts argv with the three pipe ends as its standard files.
static pid_t spawn(const std::vector<std::string> &words, int child_in, int child_out, int child_err,
                   bool hidden) {
    std::vector<char *> argv;
    for (const std::string &w : words) argv.push_back((char *)w.c_str());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, child_in, 0);
    posix_spawn_file_actions_adddup2(&fa, child_out, 1);
    posix_spawn_file_actions_adddup2(&fa, child_err, 2);
    posix_spawn_file_actions_addclosefrom_np(&fa, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Default dispositions and an empty mask: the child must not inherit an
    // ignored SIGPIPE or the blocked signals of whatever thread spawns it.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | (hidden ? POSIX_SPAWN_SETSID : 0);
    posix_spawnattr_setflags(&attr, flags);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], &fa, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : -1;
}

int zeprocess_run(zeHandler callback, void *user, const char *cmdline, bool hidden) {
    if (!cmdline) return -1;
    int slot = -1;
    for (int i = 0; i < ZEPROCESS_SLOTS && slot < 0; i++)
        if (!g_slots[i].used) slot = i;
    if (slot < 0) return -1;
    std::vector<std::string> words = zecmdline_words(cmdline);
    if (words.empty()) return -1;
    int pin[2], pout[2], perr[2];
    if (pipe2(pin, O_CLOEXEC) != 0) return -1;
    if (pipe2(pout, O_CLOEXEC) != 0) {
        close(pin[0]), close(pin[1]);
        return -1;
    }
    if (pipe2(perr, O_CLOEXEC) != 0) {
        close(pin[0]), close(pin[1]), close(pout[0]), close(pout[1]);
        return -1;
    }
    pid_t pid = spawn(words, pin[0], pout[1], perr[1], hidden);
    close(pin[0]), close(pout[1]), close(perr[1]);
    if (pid < 0) {
        close(pin[1]), close(pout[0]), close(perr[0]);
        return -1;
    }
    for (int fd : {pin[1], pout[0], perr[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_slots[slot] = {true, pid, callback, user, pin[1], pout[0], perr[0], hidden};
    g_active++;
    if (!g_hooked) {
        zeevent_set_child_poll_hook(zeprocess_poll);
        g_hooked = true;
    }
    return slot;
}

static bool valid(int slot) { return slot >= 0 && slot < ZEPROCESS_SLOTS && g_slots[slot].used; }

bool zeprocess_active(int slot) { return valid(slot); }
ZE_HOT int zeprocess_count(void) { return g_active; }

// A write to a pipe whose reader has gone raises SIGPIPE; keep it from
// killing us without changing the process-wide disposition.
static ssize_t write_nosigpipe(int fd, const char *p, size_t len) {
    sigset_t pipeset, old;
    sigemptyset(&pipeset);
    sigaddset(&pipeset, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeset, &old);
    ssize_t w = write(fd, p, len);
    int saved = errno;
    if (w < 0 && errno == EPIPE) {
        struct timespec zero = {0, 0};
        sigtimedwait(&pipeset, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = saved;
    return w;
}

bool zeprocess_write(int slot, const char *text) {
    if (!valid(slot) || !text || g_slots[slot].in < 0) return false;
    const char *p = text;
    size_t left = strlen(text);
    for (int waits = 0; left > 0 && waits < 20;) {
        ssize_t w = write_nosigpipe(g_slots[slot].in, p, left);
        if (w > 0) {
            p += w, left -= (size_t)w;
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) return false;
        struct pollfd pfd = {g_slots[slot].in, POLLOUT, 0};
        poll(&pfd, 1, 100);
        waits++;
    }
    return left == 0;
}

void zeprocess_closeinput(int slot) {
    if (valid(slot)) close_fd(&g_slots[slot].in);
}

// A hidden child leads a session of its own: the whole group is ended, so
// a shell does not leave behind what it started.
bool zeprocess_kill(int slot) {
    if (!valid(slot)) return false;
    pid_t pid = g_slots[slot].pid;
    if (g_slots[slot].group && kill(-pid, SIGTERM) == 0) return true;
    return kill(pid, SIGTERM) == 0;
}

// Reads what is available from fd into out, up to max bytes in all; closes
// fd at end of file.
static void read_available(int *fd, std::string *out, size_t max) {
    char chunk[4096];
    while (*fd >= 0 && out->size() < max) {
        size_t want = max - out->size();
        ssize_t r = read(*fd, chunk, want < sizeof chunk ? want : sizeof chunk);
        if (r > 0) {
            out->append(chunk, (size_t)r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) close_fd(fd);
        break;
    }
}

// One report of output; returns false when nothing was read.
static bool report_output(int slot) {
    std::string text;
    read_available(&g_slots[slot].out, &text, ZEPROCESS_READ_MAX);
    read_available(&g_slots[slot].err, &text, ZEPROCESS_READ_MAX);
    if (text.empty()) return false;
    zesend(g_slots[slot].callback, g_slots[slot].user, ZEMSG_PROCESS_OUTPUT, (zearg)text.c_str(),
           (zearg)text.size());
    return true;
}

// status < 0: the exit status is lost (someone else reaped the process).
static void finish(int slot, int status) {
    // The rest of the output, in reports of at most 19000 bytes. A process
    // that left children behind may keep the pipes open and keep writing:
    // take what a full pipe holds, then close (a writer left gets SIGPIPE).
    for (int i = 0; i < FINISH_REPORTS && valid(slot) && report_output(slot); i++) {}
    if (!valid(slot)) return;
    ProcessSlot s = g_slots[slot];
    close_fd(&g_slots[slot].in), close_fd(&g_slots[slot].out), close_fd(&g_slots[slot].err);
    g_slots[slot].used = false;
    g_active--;
    int code = status < 0 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
    zesend(s.callback, s.user, ZEMSG_PROCESS_END, code);
}

ZE_HOT int zeprocess_pollfds(struct pollfd *fds, int max) {
    int n = 0;
    for (int slot = 0; slot < ZEPROCESS_SLOTS && g_active && n < max; slot++) {
        if (!g_slots[slot].used) continue;
        for (int fd : {g_slots[slot].out, g_slots[slot].err})
            if (fd >= 0 && n < max) fds[n++] = {fd, POLLIN, 0};
    }
    return n;
}

void zeprocess_poll(void) {
    // A callback that pumps would come back here; the outer call goes on.
    static bool polling;
    if (!g_active || polling) return;
    polling = true;
    for (int slot = 0; slot < ZEPROCESS_SLOTS; slot++) {
        if (!g_slots[slot].used) continue;
        report_output(slot);
        if (!g_slots[slot].used) continue;  // the callback may not free it, but be safe
        int status = 0;
        pid_t r = waitpid(g_slots[slot].pid, &status, WNOHANG);
        if (r == g_slots[slot].pid) finish(slot, status);
        else if (r < 0 && errno == ECHILD) finish(slot, -1);
    }
    polling = false;
}
