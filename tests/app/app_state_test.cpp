// The application's small rules: hundredths counter, settings window height,
// language detection, the scan-line offset file and the log line format.
#include "app.h"
#include "zeentry.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string read_file(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(Hundredths, CountWithinASecondAndHoldAt99) {
    g_app.lastSecond = 99;
    g_app.hundredths = 57;
    g_app.clock.second = 10;
    advance_hundredths();  // a new second starts at 0
    EXPECT_EQ(0, g_app.hundredths);
    for (int i = 1; i <= 99; i++) {
        advance_hundredths();
        EXPECT_EQ(i, g_app.hundredths);
    }
    // A second longer than 100 ticks holds at 99 and never shows 0 again.
    for (int i = 0; i < 30; i++) {
        advance_hundredths();
        EXPECT_EQ(99, g_app.hundredths);
    }
    g_app.clock.second = 11;
    advance_hundredths();
    EXPECT_EQ(0, g_app.hundredths);
    advance_hundredths();
    EXPECT_EQ(1, g_app.hundredths);
}

TEST(SettingsWindowHeight, EightTenthsBetween550And750) {
    EXPECT_EQ(550, settings_window_height(600, false));
    EXPECT_EQ(750, settings_window_height(1080, false));
    EXPECT_EQ(720, settings_window_height(900, false));
    EXPECT_EQ(550, settings_window_height(1080, true));
}

struct InTempDir : ::testing::Test {
    char dir[64] = "/tmp/quimo_app_XXXXXX";
    char old[4096];
    void SetUp() override {
        ASSERT_TRUE(getcwd(old, sizeof old));
        ASSERT_TRUE(mkdtemp(dir));
        ASSERT_EQ(0, chdir(dir));
    }
    void TearDown() override {
        if (chdir(old) != 0) {}
        std::string cmd = std::string("rm -rf ") + dir;
        if (system(cmd.c_str()) != 0) {}
    }
};

TEST_F(InTempDir, GermanNeedsTheLocaleAndTheMarkerFile) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_FALSE(detect_language());  // no "detectlanguage" file
    fclose(fopen("detectlanguage", "w"));
    EXPECT_TRUE(detect_language());
    setenv("LC_ALL", "C", 1);  // the first non-empty one decides
    EXPECT_FALSE(detect_language());
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "de_AT", 1);
    EXPECT_TRUE(detect_language());
}

TEST_F(InTempDir, ScanlineOffsetFileIsCreatedOnceWithItsExactText) {
    create_scanline_offset_file();
    EXPECT_EQ("0\r\nOffset to retrace detection, to avoid flickering under special circumstances.\r\n",
              read_file("scanlineoffset.txt"));
    FILE *f = fopen("scanlineoffset.txt", "w");
    fputs("12\r\n", f);
    fclose(f);
    create_scanline_offset_file();  // an existing file is the user's: kept
    EXPECT_EQ("12\r\n", read_file("scanlineoffset.txt"));
}

static std::string stamp(time_t t) {
    struct tm tm;
    localtime_r(&t, &tm);
    char buf[32];
    snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d ", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900,
             tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// The stamp is the time the line is written, even when the clock record is
// from long ago (a tick that waited on a slow server); the record is kept.
TEST(Log, LineCarriesTheTimeOfWritingAndEndsInCrLf) {
    // Other tests of the same directory may log at the same time: look for
    // this test's own lines only.
    std::string log = std::string(zeprogramdir()) + "/quimo.log";
    int token = (int)getpid();
    g_app.clock = {2001, 2, 3, 4, 5, 6};
    time_t before = time(nullptr);
    write_log("formatstring=%s %d", "####:##", token);
    time_t after = time(nullptr);
    EXPECT_EQ(2001, g_app.clock.year);
    std::string text = read_file(log);
    std::string line = "formatstring=####:## " + std::to_string(token) + "\r\n";
    size_t at = text.find(line);
    ASSERT_NE(std::string::npos, at) << "missing: " << line;
    ASSERT_GE(at, 20u);
    std::string got = text.substr(at - 20, 20);
    EXPECT_TRUE(got == stamp(before) || got == stamp(after)) << got;
    EXPECT_TRUE(at == 20 || text[at - 21] == '\n');
}

}  // namespace
