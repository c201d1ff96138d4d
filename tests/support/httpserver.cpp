// The test HTTP server and temporary directories.
#include "httpserver.h"
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

std::string test_tempdir(const char *prefix) {
    const char *home = getenv("HOME");
    std::string pattern = std::string(home && *home ? home : "/tmp") + "/" + prefix + "-XXXXXX";
    char buf[4096];
    snprintf(buf, sizeof buf, "%s", pattern.c_str());
    return mkdtemp(buf) ? buf : "";
}

int test_free_port() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(s, (sockaddr *)&a, sizeof a);
    getsockname(s, (sockaddr *)&a, &len);
    close(s);
    return ntohs(a.sin_port);
}

bool TestHttpServer::start() {
    dir = test_tempdir("httpserver");
    const char *src = getenv("ZE_SOURCE_DIR");
    std::string script = std::string(src ? src : ".") + "/tests/support/httpserver.py";
    int out[2];
    if (dir.empty() || pipe(out) != 0) return false;
    pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl("/usr/bin/python3", "python3", script.c_str(), dir.c_str(), (char *)nullptr);
        _exit(127);
    }
    close(out[1]);
    char line[32] = "";
    FILE *f = fdopen(out[0], "r");
    if (!f || !fgets(line, sizeof line, f)) {
        if (f) fclose(f);
        stop();
        return false;
    }
    fclose(f);
    port = atoi(line);
    return port > 0;
}

void TestHttpServer::stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string TestHttpServer::url(const std::string &path) const {
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

void TestHttpServer::put(const std::string &name, const std::string &content) const {
    std::ofstream(dir + "/" + name, std::ios::binary) << content;
}

int TestHttpServer::requests() const {
    std::ifstream in(dir + "/requests.log");
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n++;
    return n;
}
