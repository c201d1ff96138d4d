// Runs tests/support/httpserver.py on 127.0.0.1 for the length of a test.
#pragma once
#include <string>
#include <sys/types.h>

struct TestHttpServer {
    std::string dir;   // served files; requests.log lists the paths asked for
    int port = 0;
    pid_t pid = -1;

    // Starts the server on a fresh directory; false when it does not come up.
    bool start();
    void stop();
    ~TestHttpServer() { stop(); }
    std::string url(const std::string &path) const;
    // Writes a file into the served directory.
    void put(const std::string &name, const std::string &content) const;
    // Number of requests served so far.
    int requests() const;
};

// A port on 127.0.0.1 where nothing listens (just released).
int test_free_port();
// A fresh directory under the build tree's test home.
std::string test_tempdir(const char *prefix);
