// Time synchronisation end to end: a local time service, libcurl, the parse
// and the clock setter. The setter is replaced, except in one test that runs
// this binary again without the privilege to set the clock.
#include "app.h"
#include "httpserver.h"
#include "timesync.h"
#include "zeentry.h"
#include "zeregistry.h"
#include "zetime.h"
#include "zetimer.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

static std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

static std::string log_file() { return std::string(zeprogramdir()) + "/quimo.log"; }

static std::vector<int> g_set;
static bool g_setter_result = true;
static bool record_setter(int y, int mo, int d, int h, int mi, int s) {
    g_set = {y, mo, d, h, mi, s};
    return g_setter_result;
}

class Timesync : public ::testing::Test {
protected:
    static TestHttpServer server;
    zeTimeSetter old_setter = nullptr;
    size_t mark = 0;

    static void SetUpTestSuite() {
        unsetenv("http_proxy"), unsetenv("HTTP_PROXY"), unsetenv("all_proxy"), unsetenv("ALL_PROXY");
        ASSERT_TRUE(server.start());
    }
    static void TearDownTestSuite() { server.stop(); }
    void SetUp() override {
        old_setter = zetime_sethook(record_setter);
        g_set.clear();
        g_setter_result = true;
        g_settings.syncTime = true;
        g_app.language = 0;
        g_app.clock = {2026, 12, 6, 7, 5, 9};
        setenv("QUIMO_TIME_URL", server.url("/cgi-bin/datetime_utc_q.pl").c_str(), 1);
        mark = slurp(log_file()).size();
    }
    void TearDown() override { zetime_sethook(old_setter); }
    // The log written by this test.
    std::string log() { return slurp(log_file()).substr(mark); }
    void serve(const std::string &response) { server.put("datetime_utc_q.pl", response); }
};
TestHttpServer Timesync::server;

static const char kExample[] = "datetime_utc=Sun Dec  6 17:53:25 2026 y=2026 m=12 d=6\n";

TEST_F(Timesync, ExampleResponseSetsDateAndTime) {
    serve(kExample);
    timesync_run();
    EXPECT_EQ((std::vector<int>{2026, 12, 6, 17, 53, 25}), g_set);
    std::string lines = log();
    EXPECT_NE(std::string::npos, lines.find(" get UTC, currently: ")) << lines;
    EXPECT_NE(std::string::npos, lines.find(" " + server.url("/cgi-bin/datetime_utc_q.pl") + "\r\n"));
    EXPECT_NE(std::string::npos, lines.find("     got UTC\r\n"));
    EXPECT_NE(std::string::npos, lines.find("     ok, set to 06.12.2026 17:53:25\r\n"));
    // The status shows the clock record as last read, not the time set.
    EXPECT_STREQ("06 Dec 2026 07:05:09", timesync_status());
    g_app.language = 1;
    g_app.clock.month = 3;
    timesync_run();
    EXPECT_STREQ("06.M\xe4rz 2026 07:05:09", timesync_status());
}

TEST_F(Timesync, TimeIsClampedAndDateDefaultsToTodayUtc) {
    serve("datetime_utc=Sun Dec 6 25:61:70 2026\n");
    int y0, m0, d0, y1, m1, d1;
    zetime_getutc(&y0, &m0, &d0, nullptr, nullptr, nullptr);
    timesync_run();
    zetime_getutc(&y1, &m1, &d1, nullptr, nullptr, nullptr);
    ASSERT_EQ(6u, g_set.size());
    EXPECT_EQ((std::vector<int>{23, 59, 59}), std::vector<int>(g_set.begin() + 3, g_set.end()));
    std::vector<int> date(g_set.begin(), g_set.begin() + 3);
    EXPECT_TRUE(date == (std::vector<int>{y0, m0, d0}) || date == (std::vector<int>{y1, m1, d1}));
    // Only some of the date keys: the others stay today's.
    serve("datetime_utc=a b c 1:2 m=2 d=29 y=2024");
    timesync_run();
    EXPECT_EQ((std::vector<int>{2024, 2, 29, 1, 2, 0}), g_set);
}

TEST_F(Timesync, FailuresLeaveTheErrorStatus) {
    serve("no time here\n");
    timesync_run();
    EXPECT_STREQ("- (Error)", timesync_status());
    EXPECT_NE(std::string::npos, log().find("     error(2)\r\n"));
    EXPECT_TRUE(g_set.empty());

    g_app.language = 1;
    setenv("QUIMO_TIME_URL", ("http://127.0.0.1:" + std::to_string(test_free_port()) + "/datetime_utc_q.pl").c_str(), 1);
    timesync_run();
    EXPECT_STREQ("- (Fehler)", timesync_status());
    EXPECT_NE(std::string::npos, log().find("     error(3)\r\n"));

    // The clock refuses: error(1) with what would have been set.
    g_app.language = 0;
    setenv("QUIMO_TIME_URL", server.url("/datetime_utc_q.pl").c_str(), 1);
    serve(kExample);
    g_setter_result = false;
    timesync_run();
    EXPECT_STREQ("- (Error)", timesync_status());
    EXPECT_NE(std::string::npos, log().find("     error(1) setting to 06.12.2026 17:53:25\r\n"));
    // A date that does not exist never reaches the setter.
    g_set.clear();
    serve("datetime_utc=x y z 10:00:00 y=2026 m=13 d=40");
    timesync_run();
    EXPECT_TRUE(g_set.empty());
    EXPECT_NE(std::string::npos, log().find("     error(1) setting to 40.13.2026 10:00:00\r\n"));
}

// Answers whose time is garbled or whose numbers overflow never reach the
// clock: each is error(2) with the clock untouched.
TEST_F(Timesync, MalformedAnswersNeverSetTheClock) {
    const std::string bad[] = {
        "datetime_utc=garbage",
        "datetime_utc=",
        "datetime_utc=Sun Dec 6 -5:-5:-5 2026",
        "datetime_utc=Sun Dec 6 \x01\x02\xff\x80 2026",
        "datetime_utc=Sun Dec 6 :30:00 2026",
        "datetime_utc=Sun Dec 6 12:x:00 2026",
        "datetime_utc=Sun Dec 6 4294967306:00:00 2026",
        "datetime_utc=Sun Dec 6 12:00:00 2026 y=4294969322 m=12 d=6",
        "datetime_utc=Sun Dec 6 12:00:00 2026 y=2026 m=99999999999 d=6",
        "datetime_utc=Sun Dec 6 12:00:00 2026 y= m=12 d=6",
    };
    for (const std::string &answer : bad) {
        serve(answer);
        g_set.clear();
        size_t before = slurp(log_file()).size();
        timesync_run();
        std::string lines = slurp(log_file()).substr(before);
        EXPECT_TRUE(g_set.empty()) << answer;
        EXPECT_NE(std::string::npos, lines.find("     error(2)\r\n")) << answer;
        EXPECT_STREQ("- (Error)", timesync_status()) << answer;
    }
    int y = 1, mo = 2, d = 3, h = 4, mi = 5, sec = 6;
    EXPECT_FALSE(timesync_parse("datetime_utc=a b c 7:8:x9", &y, &mo, &d, &h, &mi, &sec));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), (std::vector<int>{y, mo, d, h, mi, sec}));
}

// Mutated answers (bytes changed, cut, repeated): the parse never reads
// past the text, and an answer it accepts gives a time within the day.
TEST(TimesyncParse, MutatedAnswersStayWithinTheDay) {
    std::mt19937 rng(2126);
    const std::string seed = kExample;
    for (int i = 0; i < 20000; i++) {
        std::string t = seed;
        for (int k = rng() % 6; k >= 0; k--) {
            size_t at = rng() % t.size();
            switch (rng() % 4) {
            case 0: t[at] = (char)rng(); break;
            case 1: t.insert(at, 1, "0123456789:- y=m=d"[rng() % 18]); break;
            case 2: t.erase(at, 1 + rng() % 4); break;
            case 3: t.insert(at, t.substr(at, rng() % 12)); break;
            }
            if (t.empty()) t = "d";
        }
        int y = 2026, mo = 12, d = 6, h = 1, mi = 2, s = 3;
        if (!timesync_parse(t.c_str(), &y, &mo, &d, &h, &mi, &s)) continue;
        ASSERT_TRUE(h >= 0 && h <= 23 && mi >= 0 && mi <= 59 && s >= 0 && s <= 59) << t;
    }
}

TEST_F(Timesync, SwitchedOffMakesNoRequest) {
    serve(kExample);
    g_settings.syncTime = false;
    int before = server.requests();
    timesync_run();
    EXPECT_STREQ("-", timesync_status());
    EXPECT_EQ(before, server.requests());
    EXPECT_TRUE(g_set.empty());
}

static int g_ticks;
static zearg count_tick(void *, int msg, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_ticks += msg == ZEMSG_TIMER;
    return 0;
}

TEST_F(Timesync, SlowServerKeepsTheTimersRunning) {
    serve(kExample);
    setenv("QUIMO_TIME_URL", server.url("/slow/800/datetime_utc_q.pl").c_str(), 1);
    static int owner;
    ASSERT_TRUE(zetimer_set(count_tick, &owner, 10, 0));
    g_ticks = 0;
    timesync_run();
    zetimer_remove(&owner, 0);
    EXPECT_EQ(6u, g_set.size());
    // About 80 ticks of 10 ms pass while the server waits; the pump works them off.
    EXPECT_GE(g_ticks, 30);
}

TEST_F(Timesync, EndpointComesFromEnvironmentFileOrSetting) {
    char url[1000];
    timesync_url(url, sizeof url);
    EXPECT_EQ(server.url("/cgi-bin/datetime_utc_q.pl"), url);
    unsetenv("QUIMO_TIME_URL");
    std::string home = test_tempdir("timesync");
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    std::string file = std::string(zeprogramdir()) + "/timeserver.txt";
    unlink(file.c_str());
    timesync_url(url, sizeof url);
    EXPECT_STREQ("http://localhost/cgi-bin/datetime_utc_q.pl", url);
    ASSERT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/QUIMO/TimeServer", "time.example.net"));
    timesync_url(url, sizeof url);
    EXPECT_STREQ("http://time.example.net/cgi-bin/datetime_utc_q.pl", url);
    std::ofstream(file) << " 127.0.0.1:8080 \r\n";
    timesync_url(url, sizeof url);
    EXPECT_STREQ("http://127.0.0.1:8080/cgi-bin/datetime_utc_q.pl", url);
    std::ofstream(file) << "https://elsewhere.example.net/q/datetime_utc_q.pl\n";
    timesync_url(url, sizeof url);
    EXPECT_STREQ("https://elsewhere.example.net/q/datetime_utc_q.pl", url);
    unlink(file.c_str());
}

// ---- the real clock setter, without the privilege ----

// True when this process holds CAP_SYS_TIME (bit 25) in its effective set.
static bool can_set_clock() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("CapEff:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> 25) & 1;
    return true;  // unknown: assume the worst
}

TEST(TimesyncRealClock, WithoutThePrivilegeTheSetterFails) {
    if (getenv("TIMESYNC_CHILD")) {
        // The child: the real setter must fail. Refuse to go on if it could succeed.
        ASSERT_FALSE(can_set_clock()) << "CAP_SYS_TIME still held; not touching the clock";
        g_settings.syncTime = true;
        size_t mark = slurp(log_file()).size();
        timesync_run();
        std::string lines = slurp(log_file()).substr(mark);
        EXPECT_NE(std::string::npos, lines.find(getenv("TIMESYNC_CHILD"))) << lines;
        EXPECT_STREQ("- (Error)", timesync_status());
        return;
    }
    unsetenv("http_proxy"), unsetenv("HTTP_PROXY");
    TestHttpServer server;
    ASSERT_TRUE(server.start());
    // Serve the current time: even a setter that worked would change nothing.
    int y, mo, d, h, mi, s;
    zetime_getutc(&y, &mo, &d, &h, &mi, &s);
    char response[200], expect[100];
    snprintf(response, sizeof response, "datetime_utc=Mon Jan 1 %02d:%02d:%02d %d y=%d m=%d d=%d\n", h, mi, s, y, y, mo, d);
    snprintf(expect, sizeof expect, "    error(1) setting to %02d.%02d.%04d %02d:%02d:%02d\r\n", d, mo, y, h, mi, s);
    server.put("datetime_utc_q.pl", response);
    setenv("QUIMO_TIME_URL", server.url("/datetime_utc_q.pl").c_str(), 1);
    setenv("TIMESYNC_CHILD", expect, 1);
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = 0;
    const char *filter = "--gtest_filter=TimesyncRealClock.*";
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0)
            execl("/usr/bin/setpriv", "setpriv", "--bounding-set=-sys_time", "--inh-caps=-all", self, filter,
                  (char *)nullptr);
        else
            execl(self, self, filter, (char *)nullptr);
        _exit(127);
    }
    unsetenv("TIMESYNC_CHILD");
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}

// Without a service of its own QUIMO leaves the clock to the system when the
// system keeps it synchronised, and asks nobody; otherwise it says how to
// configure one and keeps the built-in address.
static bool g_system_synchronised;
static bool fake_system_check() { return g_system_synchronised; }

TEST_F(Timesync, WithoutAServiceTheSystemsSynchronisationCounts) {
    unsetenv("QUIMO_TIME_URL");
    setenv("XDG_CONFIG_HOME", test_tempdir("timesync-none").c_str(), 1);
    unlink((std::string(zeprogramdir()) + "/timeserver.txt").c_str());
    bool (*old_check)(void) = timesync_system_check;
    timesync_system_check = fake_system_check;
    int requests = server.requests();

    g_system_synchronised = true;
    timesync_run();
    EXPECT_STREQ("synchronised by the system: 06 Dec 2026 07:05:09", timesync_status());
    g_app.language = 1;
    timesync_run();
    EXPECT_STREQ("vom System synchronisiert: 06.Dezember 2026 07:05:09", timesync_status());
    EXPECT_TRUE(g_set.empty());
    EXPECT_NE(std::string::npos, log().find("the system keeps its clock synchronised, no request made"));
    EXPECT_EQ(std::string::npos, log().find("datetime_utc_q.pl"));

    // A configured service is asked even so.
    setenv("QUIMO_TIME_URL", server.url("/cgi-bin/datetime_utc_q.pl").c_str(), 1);
    serve(kExample);
    timesync_run();
    EXPECT_EQ(requests + 1, server.requests());
    EXPECT_EQ(6u, g_set.size());

    unsetenv("QUIMO_TIME_URL");
    g_system_synchronised = false;
    g_app.language = 0;
    mark = slurp(log_file()).size();
    timesync_run();
    EXPECT_NE(std::string::npos, log().find("no time service configured: set QUIMO_TIME_URL, or write its URL or host into "));
    EXPECT_NE(std::string::npos, log().find("http://localhost/cgi-bin/datetime_utc_q.pl\r\n"));
    timesync_system_check = old_check;
}
