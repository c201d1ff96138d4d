// Tests of the application run from a copy of their binary in a fresh
// folder: the program keeps its files (log, pictures, settings) in its own
// directory, which the other tests' binaries share.
#pragma once
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string &app_folder() {
    static std::string folder;
    return folder;
}

inline void app_folder_remove() {
    if (!app_folder().empty() && system(("rm -rf " + app_folder()).c_str()) != 0) {}
}

// Called from a static initializer: re-executes the binary from a copy named
// name in a new folder under /tmp (removed when that copy exits); in the copy
// it only notes the folder. Returns 0.
inline int app_folder_run_from_copy(const char *name) {
    if (const char *folder = getenv("QUIMO_TEST_FOLDER")) {
        app_folder() = folder;
        atexit(app_folder_remove);
        return 0;
    }
    char tmpl[] = "/tmp/quimo_test_XXXXXX";
    if (!mkdtemp(tmpl)) return 0;
    std::string copy = std::string(tmpl) + "/" + name;
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 0;
    self[n] = 0;
    if (system(("cp '" + std::string(self) + "' " + copy).c_str()) != 0) return 0;
    std::ifstream f("/proc/self/cmdline", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    std::string cmdline = s.str();
    std::vector<char *> argv;
    for (size_t i = 0; i < cmdline.size(); i += strlen(&cmdline[i]) + 1) argv.push_back(&cmdline[i]);
    argv.push_back(nullptr);
    setenv("QUIMO_TEST_FOLDER", tmpl, 1);
    execv(copy.c_str(), argv.data());
    return 0;
}
