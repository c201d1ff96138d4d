// Shell services: open, launch, print, internet shortcuts.
#include "zeshell.h"
#include "zeentry.h"
#include "zefile.h"
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

enum { LAUNCH_MAX = 5000 };

static bool is_executable_file(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's path: names with a slash as they are, others from PATH.
static std::string resolve(const char *name) {
    if (!name || !*name) return "";
    if (strchr(name, '/')) return is_executable_file(name) ? name : "";
    const char *path = getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::string full = (dir.empty() ? "." : dir) + "/" + name;
        if (is_executable_file(full)) return full;
        start = end + 1;
    }
    return "";
}

// Double fork: the grandchild runs the program in a session of its own and
// is adopted by init, the child ends at once and is reaped here. A pipe
// closed on exec tells whether the exec worked.
static bool spawn_detached(const std::string &program, const char *const *argv) {
    int status_pipe[2];
    if (pipe2(status_pipe, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(status_pipe[0]), close(status_pipe[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        setsid();
        pid_t grandchild = fork();
        if (grandchild > 0) _exit(0);
        if (grandchild < 0) {  // nothing will run: say so through the pipe
            int err = errno;
            ssize_t ignored = write(status_pipe[1], &err, sizeof err);
            (void)ignored;
            _exit(127);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        // Descriptors of ours (the display connection, pipes) close on exec.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        execve(program.c_str(), (char *const *)argv, environ);
        int err = errno;
        ssize_t ignored = write(status_pipe[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(status_pipe[1]);
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    int err = 0;
    ssize_t r;
    while ((r = read(status_pipe[0], &err, sizeof err)) < 0 && errno == EINTR) {}
    close(status_pipe[0]);
    return r == 0;  // end of file: the exec closed the pipe
}

bool zeshell_spawn(const char *const *argv) {
    if (!argv || !argv[0]) return false;
    std::string program = resolve(argv[0]);
    if (program.empty()) {
        printf("zeshell_spawn: no program %s\n", argv[0]);
        return false;
    }
    return spawn_detached(program, argv);
}

static bool spawn_words(const std::vector<std::string> &words) {
    std::vector<const char *> argv;
    for (const std::string &w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    return zeshell_spawn(argv.data());
}

static bool is_address(const char *text) { return strstr(text, "://") || strncmp(text, "mailto:", 7) == 0; }

static std::string full_path(const char *file) {
    std::string f = file;
    for (char &c : f)
        if (c == '\\') c = '/';
    if (f.empty() || f[0] == '/' || is_address(file)) return f;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return f;
    return std::string(cwd) + "/" + f;
}

static void copy_out(char *out, int size, const std::string &s) {
    if (!out || size < 1) return;
    snprintf(out, (size_t)size, "%s", s.c_str());
}

bool zeshell_split_exe(const char *file, char *program, int programsize, char *params, int paramsize) {
    if (!file) return false;
    const char *lower = strstr(file, ".exe"), *upper = strstr(file, ".EXE");
    const char *at = !lower ? upper : !upper ? lower : (lower < upper ? lower : upper);
    if (!at) return false;
    std::string prog(file, (size_t)(at + 4 - file));
    const char *rest = at + 4;
    if (*rest) rest++;  // the one separating character
    copy_out(program, programsize, prog);
    copy_out(params, paramsize, rest);
    return true;
}

static bool xdg_open(const std::string &target) {
    const char *argv[] = {"xdg-open", target.c_str(), nullptr};
    return zeshell_spawn(argv);
}

bool zeshell_open(const char *file) {
    if (!file || !*file) return false;
    std::string path = full_path(file);
    std::vector<char> prog(path.size() + 1), params(path.size() + 1);
    if (zeshell_split_exe(path.c_str(), prog.data(), (int)prog.size(), params.data(), (int)params.size())) {
        std::vector<std::string> words = zecmdline_words(params.data());
        words.insert(words.begin(), prog.data());
        return spawn_words(words);
    }
    if (is_executable_file(path)) return spawn_words({path});
    // xdg-open would fail out of sight on a file that is not there; the
    // caller must learn that nothing was opened.
    struct stat st;
    if (!is_address(path.c_str()) && stat(path.c_str(), &st) != 0) {
        printf("zeshell_open: no file %s\n", path.c_str());
        return false;
    }
    return xdg_open(path);
}

bool zeshell_run(const char *fmt, ...) {
    if (!fmt) return false;
    char line[LAUNCH_MAX];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    struct stat st;
    if (stat(line, &st) == 0) return zeshell_open(line);
    std::vector<std::string> words = zecmdline_words(line);
    if (words.empty()) return false;
    if (strstr(words[0].c_str(), ".exe") || strstr(words[0].c_str(), ".EXE")) return zeshell_open(line);
    if (resolve(words[0].c_str()).empty()) return zeshell_open(line);
    return spawn_words(words);
}

bool zeshell_print(const char *file) {
    if (!file || !*file) return false;
    std::string path = full_path(file);
    const char *argv[] = {"lp", path.c_str(), nullptr};
    return zeshell_spawn(argv);
}

static int count_char(const char *s, char c) {
    int n = 0;
    for (; *s; s++) n += *s == c;
    return n;
}

int zeshell_internet(const char *text) {
    if (!text || !*text) return 0;
    std::string url;
    if (count_char(text, '@') == 1) url = strstr(text, "mailto:") ? text : std::string("mailto:") + text;
    else if (strstr(text, "www") || strstr(text, "http:") || strstr(text, "ftp:")) url = text;
    else return zeshell_open(text) ? 1 : 0;
    std::string shortcut = "[InternetShortcut]\r\nURL=" + url + "\r\n";
    const char *tmp = zefile_tmpname_ext("url");
    if (tmp) zefile_writetext(tmp, shortcut.c_str());
    // xdg-open needs a scheme to tell an address from a file name.
    if (url.find(':') == std::string::npos || url.compare(0, 4, "www.") == 0) url = "http://" + url;
    return xdg_open(url) ? 1 : 0;
}
