// HTTP GET through libcurl against a local server.
#include "httpserver.h"
#include "zedl.h"
#include "zefile.h"
#include "zehttp.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <cstring>
#include <sys/socket.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

static std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Http : public ::testing::Test {
protected:
    static TestHttpServer server;
    static std::string work;
    static void SetUpTestSuite() {
        unsetenv("http_proxy"), unsetenv("HTTP_PROXY"), unsetenv("all_proxy"), unsetenv("ALL_PROXY");
        ASSERT_TRUE(server.start());
        work = test_tempdir("http");
        ASSERT_EQ(0, chdir(work.c_str()));  // the request log goes to the working directory
    }
    static void TearDownTestSuite() { server.stop(); }
    // The request log written since the mark.
    size_t mark = 0;
    void SetUp() override { mark = slurp(zehttp_logname()).size(); }
    std::string log() { return slurp(zehttp_logname()).substr(mark); }
};
TestHttpServer Http::server;
std::string Http::work;

TEST_F(Http, GetWritesTheBodyAndLogsTheRequest) {
    server.put("page.txt", std::string("line one\r\nline two\0 with zero", 29));
    std::string url = server.url("/page.txt"), file = work + "/out.txt";
    ASSERT_TRUE(zehttp_get(url.c_str(), file.c_str()));
    EXPECT_EQ(std::string("line one\r\nline two\0 with zero", 29), slurp(file));
    std::string lines = log();
    size_t at = lines.find("get " + url + " -> " + file + "\r\n");
    ASSERT_NE(std::string::npos, at) << lines;
    std::string rest = lines.substr(at);
    EXPECT_TRUE(rest.find("InternetOpen ok\r\n") != std::string::npos ||
                rest.find("already open\r\n") != std::string::npos);
    EXPECT_NE(std::string::npos,
              rest.find("InternetOpenUrl ok\r\nInternetReadFile ok, read=29\r\nStatusCode=200\r\nok\r\n"))
        << rest;
    // The handle stays open for the next request.
    ASSERT_TRUE(zehttp_get(url.c_str(), file.c_str()));
    EXPECT_NE(std::string::npos, log().rfind("already open\r\n"));
}

static int open_fds() {
    int n = 0;
    for (int fd = 0; fd < 1024; fd++) n += fcntl(fd, F_GETFD) != -1;
    return n;
}

// Every request uses a fresh connection; none may stay open afterwards.
TEST_F(Http, RequestsLeaveNoConnectionOpen) {
    server.put("small.txt", "x");
    std::string url = server.url("/small.txt"), file = work + "/small.txt";
    ASSERT_TRUE(zehttp_get(url.c_str(), file.c_str()));  // the handles exist
    int before = open_fds();
    for (int i = 0; i < 5; i++) {
        ASSERT_TRUE(zehttp_get(url.c_str(), file.c_str()));
        EXPECT_EQ(before, open_fds()) << "after request " << i;
    }
    // No connection from the first request either: a test server (or a
    // time service) that counts connections sees them end.
    char path[64], target[256];
    for (int fd = 0; fd < 1024; fd++) {
        snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
        ssize_t n = readlink(path, target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = 0;
        if (strncmp(target, "socket:", 7) != 0) continue;
        int type = 0;
        socklen_t len = sizeof type;
        struct sockaddr_storage peer;
        socklen_t plen = sizeof peer;
        // A connected TCP socket left behind by a request.
        if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &len) == 0 && type == SOCK_STREAM &&
            getpeername(fd, (struct sockaddr *)&peer, &plen) == 0 && peer.ss_family != AF_UNIX)
            ADD_FAILURE() << "connected socket fd " << fd << " left open";
    }
}

TEST_F(Http, FailuresWriteNothing) {
    std::string file = work + "/never.txt";
    EXPECT_FALSE(zehttp_get(server.url("/missing.txt").c_str(), file.c_str()));
    EXPECT_NE(std::string::npos, log().find("StatusCode=404\r\n"));
    EXPECT_FALSE(zehttp_get(server.url("/status/500").c_str(), file.c_str()));
    // Nobody listening: the open fails with curl's "could not connect".
    std::string down = "http://127.0.0.1:" + std::to_string(test_free_port()) + "/x";
    EXPECT_FALSE(zehttp_get(down.c_str(), file.c_str()));
    EXPECT_NE(std::string::npos, log().find("InternetOpenUrl failed (7)\r\n"));
    EXPECT_FALSE(zehttp_get("notaprotocol://x", file.c_str()));
    struct stat st;
    EXPECT_NE(0, stat(file.c_str(), &st));
}

TEST_F(Http, WithoutLibcurlARequestFailsAndSaysWhy) {
    server.put("here.txt", "here");
    std::string url = server.url("/here.txt"), file = work + "/here.txt";
    zedl_forbid("libcurl");
    EXPECT_FALSE(zehttp_get(url.c_str(), file.c_str()));
    char buf[16] = "x";
    EXPECT_FALSE(zehttp_getmem(buf, sizeof buf, url.c_str()));
    EXPECT_STREQ("", buf);
    zedl_forbid(nullptr);
    EXPECT_NE(std::string::npos, log().find("InternetOpen failed: libcurl not available (switched off)\r\n"))
        << log();
    struct stat st;
    EXPECT_NE(0, stat(file.c_str(), &st));
    ASSERT_TRUE(zehttp_get(url.c_str(), file.c_str())) << "the library is opened when it is back";
    EXPECT_EQ("here", slurp(file));
}

TEST_F(Http, BodyIsBoundedAtFiveMegabytes) {
    std::string file = work + "/big.txt";
    std::string exact = "/big/" + std::to_string(ZEHTTP_MAXBODY);
    ASSERT_TRUE(zehttp_get(server.url(exact).c_str(), file.c_str()));
    EXPECT_EQ(ZEHTTP_MAXBODY, zefile_size(file.c_str()));
    std::string over = "/big/" + std::to_string(ZEHTTP_MAXBODY + 1);
    std::string file2 = work + "/bigger.txt";
    EXPECT_FALSE(zehttp_get(server.url(over).c_str(), file2.c_str()));
    EXPECT_NE(std::string::npos, log().find("file not read\r\n"));
    EXPECT_EQ(-1, zefile_size(file2.c_str()));
}

TEST_F(Http, ToMemoryFitsTheBufferOrFails) {
    server.put("short.txt", "datetime_utc=x");
    char buf[15];
    memset(buf, '#', sizeof buf);
    ASSERT_TRUE(zehttp_getmem(buf, sizeof buf, server.url("/short.txt").c_str()));
    EXPECT_STREQ("datetime_utc=x", buf);
    char small[14];
    memset(small, '#', sizeof small);
    // One byte short of the text and its zero: refused, not cut.
    EXPECT_FALSE(zehttp_getmem(small, sizeof small, server.url("/short.txt").c_str()));
    EXPECT_EQ(0, small[0]);
}

static int g_idle_calls;
static void count_idle(void) { g_idle_calls++; }

TEST_F(Http, SlowServerKeepsThePumpRunning) {
    server.put("late.txt", "late");
    zeHttpIdle old = zehttp_set_idle(count_idle);
    g_idle_calls = 0;
    char buf[100];
    EXPECT_TRUE(zehttp_getmem(buf, sizeof buf, server.url("/slow/1000/late.txt").c_str()));
    zehttp_set_idle(old);
    EXPECT_STREQ("late", buf);
    // The wait is cut into pieces of at most 10 ms with the pump between them.
    EXPECT_GE(g_idle_calls, 30);
}

// A server that trickles its answer (a byte every half second) never trips
// the receive time-out; a limit on the whole request ends it all the same.
TEST_F(Http, TotalTimeoutEndsATricklingAnswer) {
    server.put("trickle.txt", std::string(40, 't'));
    int old = zehttp_set_total_timeout(2);
    char buf[100];
    time_t start = time(nullptr);
    EXPECT_FALSE(zehttp_getmem(buf, sizeof buf, server.url("/drip/500/trickle.txt").c_str()));
    EXPECT_LE(time(nullptr) - start, 4);
    EXPECT_EQ(2, zehttp_set_total_timeout(old));
}
