// Temporary names, whole files, copy and split path.
#include "zefile.h"
#include "zeentry.h"
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static std::string g_tmpdir;
static std::vector<std::string> g_tmpfiles;
static bool g_cleanup_registered;

// mkdir -p; existing directories are fine.
static bool make_dirs(const std::string &dir) {
    std::string part;
    for (size_t i = 0; i <= dir.size(); i++) {
        if (i == dir.size() || dir[i] == '/') {
            if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
        if (i < dir.size()) part += dir[i];
    }
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static std::string absolute(const std::string &p) {
    if (!p.empty() && p[0] == '/') return p;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return p;
    return std::string(cwd) + "/" + p;
}

// The ".zeko_tmp" override: its first line names the directory.
static std::string tmpdir_from_override(void) {
    FILE *f = fopen(".zeko_tmp", "rb");
    if (!f) return "";
    char line[1000] = "";
    if (!fgets(line, sizeof line, f)) line[0] = 0;
    fclose(f);
    line[strcspn(line, "\r\n")] = 0;
    std::string d = line;
    for (char &c : d)
        if (c == '\\') c = '/';
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    if (d.empty()) return "";
    d = absolute(d);
    if (!make_dirs(d)) {
        printf("zefile_tmpdir: cannot create %s\n", d.c_str());
        return "";
    }
    return d + "/";
}

const char *zefile_tmpdir(void) {
    if (!g_tmpdir.empty()) return g_tmpdir.c_str();
    g_tmpdir = tmpdir_from_override();
    if (g_tmpdir.empty()) {
        const char *t = getenv("TMPDIR");
        std::string d = (t && *t) ? t : "/tmp";
        while (d.size() > 1 && d.back() == '/') d.pop_back();
        g_tmpdir = d + "/";
    }
    return g_tmpdir.c_str();
}

static const char *record_tmp(const std::string &name) {
    if (!g_cleanup_registered) {
        // The exit sequence deletes them last; atexit covers a plain exit().
        zeentry_tempfile_hook = zefile_tmpcleanup;
        atexit(zefile_tmpcleanup);
        g_cleanup_registered = true;
    }
    g_tmpfiles.push_back(name);
    return g_tmpfiles.back().c_str();
}

static const char *make_tmp(const char *ext) {
    std::string pattern = std::string(zefile_tmpdir()) + "zetmpXXXXXX";
    int suffix = 0;
    if (ext && *ext) {
        pattern += ".";
        pattern += ext;
        suffix = (int)strlen(ext) + 1;
    }
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back(0);
    int fd = mkstemps(buf.data(), suffix);
    if (fd < 0) {
        printf("zefile_tmpname: cannot create %s\n", pattern.c_str());
        return nullptr;
    }
    close(fd);
    return record_tmp(buf.data());
}

const char *zefile_tmpname(void) { return make_tmp(nullptr); }
const char *zefile_tmpname_ext(const char *ext) { return make_tmp(ext); }

bool zefile_tmpdelete(const char *name) {
    if (!name) return false;
    for (size_t i = 0; i < g_tmpfiles.size(); i++) {
        if (g_tmpfiles[i] != name) continue;
        unlink(g_tmpfiles[i].c_str());
        g_tmpfiles.erase(g_tmpfiles.begin() + (long)i);
        return true;
    }
    return false;
}

void zefile_tmpcleanup(void) {
    for (const std::string &n : g_tmpfiles) unlink(n.c_str());
    g_tmpfiles.clear();
}

int zefile_exists(const char *name) {
    if (!name) return 0;
    FILE *f = fopen(name, "rb");
    if (!f) return 0;
    fclose(f);
    return 1;
}

long zefile_size(const char *name) {
    if (!name) return -1;
    FILE *f = fopen(name, "rb");
    if (!f) return -1;
    struct stat st;
    long n = (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode)) ? (long)st.st_size : -1;
    if (n < 0 && fseek(f, 0, SEEK_END) == 0) n = ftell(f);
    fclose(f);
    return n;
}

FILE *zefile_out_open(zeFileOut *o, const char *name) {
    o->f = nullptr;
    o->temp[0] = o->target[0] = 0;
    if (!name || !*name || strlen(name) >= sizeof o->target) {
        errno = EINVAL;
        return nullptr;
    }
    snprintf(o->target, sizeof o->target, "%s", name);
    struct stat st;
    bool exists = lstat(name, &st) == 0;
    // Through a symbolic link, or over something that is not a plain file,
    // write in place: a rename would replace the link or the device node.
    if (exists && !S_ISREG(st.st_mode)) {
        o->f = fopen(name, "wb");
        return o->f;
    }
    snprintf(o->temp, sizeof o->temp, "%s.zewrite-XXXXXX", name);
    int fd = mkstemp(o->temp);
    if (fd < 0) {
        o->temp[0] = 0;
        return nullptr;
    }
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~mask));
    o->f = fdopen(fd, "wb");
    if (!o->f) {
        close(fd);
        unlink(o->temp);
        o->temp[0] = 0;
    }
    return o->f;
}

bool zefile_out_close(zeFileOut *o, bool ok) {
    if (!o->f) return false;
    ok = fclose(o->f) == 0 && ok;
    o->f = nullptr;
    if (!o->temp[0]) return ok;
    if (ok && rename(o->temp, o->target) == 0) return true;
    unlink(o->temp);
    return false;
}

FILE *zefile_open_regular(const char *name, const char *mode) {
    if (!name || !mode) return nullptr;
    int flags = O_RDONLY;
    if (mode[0] == 'a') flags = O_WRONLY | O_CREAT | O_APPEND;
    else if (mode[0] == 'w') flags = O_WRONLY | O_CREAT;
    if (strchr(mode, '+')) flags = (flags & ~(O_RDONLY | O_WRONLY)) | O_RDWR;
    int fd = open(name, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Truncated only once it is known to be a plain file.
    if (mode[0] == 'w' && ftruncate(fd, 0) != 0) {
        close(fd);
        return nullptr;
    }
    FILE *f = fdopen(fd, mode);
    if (!f) close(fd);
    return f;
}

int zefile_write(const char *name, const void *buf, long len) {
    if (!name || !*name || !buf || len < 0) return 0;
    if (len == 0) len = (long)strlen((const char *)buf);
    zeFileOut o;
    if (!zefile_out_open(&o, name)) return 0;
    bool ok = len == 0 || fwrite(buf, 1, (size_t)len, o.f) == (size_t)len;
    return zefile_out_close(&o, ok) ? 1 : 0;
}

int zefile_writetext(const char *name, const char *text) {
    if (!text) return 0;
    if (!*text) return zefile_write(name, "", 0) ? 1 : 0;
    return zefile_write(name, text, (long)strlen(text));
}

int zefile_read(const char *name, char *buf, long bufsize) {
    if (!buf || bufsize < 1) return 0;
    buf[0] = 0;
    if (!name) return 0;
    FILE *f = fopen(name, "rb");
    if (!f) return 0;
    long n = 0;
    bool ok = true;
    for (;;) {
        size_t r = fread(buf + n, 1, (size_t)(bufsize - 1 - n), f);
        n += (long)r;
        if (n < bufsize - 1) {
            ok = !ferror(f);
            break;
        }
        // Buffer full: only fine when the file ends exactly here.
        ok = fgetc(f) == EOF && !ferror(f);
        break;
    }
    fclose(f);
    if (!ok) {
        buf[0] = 0;
        return 0;
    }
    buf[n] = 0;
    return 1;
}

bool zefile_copy(const char *source, const char *dest) {
    if (!source || !dest || !*source || !*dest) return false;
    const char *slash = strrchr(source, '/');
    const char *base = slash ? slash + 1 : source;
    if (strcmp(base, ".") == 0 || strcmp(base, "..") == 0 || !*base) return false;
    std::string target = dest;
    struct stat st;
    if (stat(dest, &st) == 0 && S_ISDIR(st.st_mode)) target += std::string("/") + base;
    FILE *in = fopen(source, "rb");
    if (!in) return false;
    if (fstat(fileno(in), &st) != 0 || S_ISDIR(st.st_mode)) {
        fclose(in);
        return false;
    }
    std::string data;
    char chunk[65536];
    size_t r;
    while ((r = fread(chunk, 1, sizeof chunk, in)) > 0) data.append(chunk, r);
    bool ok = !ferror(in);
    fclose(in);
    if (!ok) return false;
    if (data.empty()) {
        FILE *out = fopen(target.c_str(), "wb");
        return out && fclose(out) == 0;
    }
    return zefile_write(target.c_str(), data.data(), (long)data.size()) == 1;
}

static void put(char *out, int size, const char *from, size_t len) {
    if (!out || size < 1) return;
    if (len > (size_t)size - 1) len = (size_t)size - 1;
    memcpy(out, from, len);
    out[len] = 0;
}

void zefile_splitpath(const char *path, char *dir, int dirsize, char *name, int namesize,
                      char *ext, int extsize) {
    std::string p = path ? path : "";
    for (char &c : p)
        if (c == '\\') c = '/';
    size_t slash = p.rfind('/');
    std::string d = slash == std::string::npos ? "" : p.substr(0, slash);
    std::string base = slash == std::string::npos ? p : p.substr(slash + 1);
    size_t dot = base.rfind('.');
    std::string n = dot == std::string::npos ? base : base.substr(0, dot);
    std::string e = dot == std::string::npos ? "" : base.substr(dot + 1);
    put(dir, dirsize, d.data(), d.size());
    put(name, namesize, n.data(), n.size());
    put(ext, extsize, e.data(), e.size());
}
