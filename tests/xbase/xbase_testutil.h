// Helpers for the table tests: scratch directories, whole-file access, and a
// way to make root obey file permissions (the tests run as root on CI).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

// A fresh directory under TMPDIR (or /tmp), removed with its files at the end.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        const char *base = getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zexbase.XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back(0);
        if (mkdtemp(buf.data())) path = buf.data();
    }
    ~ScratchDir() {
        if (path.empty()) return;
        chmod(path.c_str(), 0755);
        std::string cmd = "rm -rf '" + path + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", path.c_str());
    }
    std::string operator/(const std::string &name) const { return path + "/" + name; }
};

inline std::vector<unsigned char> read_file(const std::string &name) {
    std::vector<unsigned char> data;
    FILE *f = fopen(name.c_str(), "rb");
    if (!f) return data;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    fclose(f);
    return data;
}

inline bool write_file(const std::string &name, const std::vector<unsigned char> &data) {
    FILE *f = fopen(name.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

// While alive, the process (even root) cannot override file permissions.
struct ObeyFilePermissions {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
    bool active = false;
    ObeyFilePermissions() {
        if (geteuid() != 0) return;
        if (syscall(SYS_capget, &header, saved) != 0) return;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        active = syscall(SYS_capset, &header, reduced) == 0;
    }
    ~ObeyFilePermissions() {
        if (active) syscall(SYS_capset, &header, saved);
    }
    // True when permissions now apply to this process.
    bool works() const { return geteuid() != 0 || active; }
};
