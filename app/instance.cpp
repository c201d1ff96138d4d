// One running copy per state directory.
#include "instance.h"
#include "zebase.h"
#include "zeevent.h"
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static const char kLockName[] = "quimo.lock";

static void lock_path(const char *dir, char *out, int size) { snprintf(out, (size_t)size, "%s/%s", dir, kLockName); }

// Only a plain file (no link, FIFO or device put there) is used: the open
// and the read must never block.
static int open_regular(const char *path, int flags) {
    int fd = open(path, flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

ZE_HOT int instance_show_request_id(void) {
    static int id;
    if (id) return id;
    id = zeevent_newid();
    zeevent_post_on_signal(SIGUSR1, id);
    return id;
}

InstanceClaim instance_claim(const char *dir) {
    instance_show_request_id();
    char path[1100];
    lock_path(dir, path, sizeof path);
    // Close-on-exec: a program started at time-up must not inherit the lock
    // and keep it after we end.
    int fd = open_regular(path, O_RDWR | O_CREAT);
    if (fd < 0) return INSTANCE_UNLOCKED;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        close(fd);
        return e == EWOULDBLOCK ? INSTANCE_RUNNING : INSTANCE_UNLOCKED;
    }
    // The descriptor stays open (and locked) until the process ends.
    char text[32];
    int n = snprintf(text, sizeof text, "%d\n", (int)getpid());
    if (ftruncate(fd, 0) != 0 || pwrite(fd, text, (size_t)n, 0) != n) {}
    return INSTANCE_FIRST;
}

static long read_pid(const char *path) {
    int fd = open_regular(path, O_RDONLY);
    if (fd < 0) return -1;
    char text[32] = "";
    ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) return -1;
    text[n] = 0;
    char *end;
    long pid = strtol(text, &end, 10);
    return pid > 1 && *end == '\n' ? pid : -1;
}

bool instance_ask_running(const char *dir) {
    char path[1100];
    lock_path(dir, path, sizeof path);
    // The running copy writes its id just after taking the lock: give it a
    // moment when we came in between.
    for (int tries = 0; tries < 100; tries++) {
        long pid = read_pid(path);
        if (pid > 0) return kill((pid_t)pid, SIGUSR1) == 0;
        struct timespec t = {0, 20 * 1000 * 1000};
        nanosleep(&t, nullptr);
    }
    return false;
}
