// Metrics, colours, clipboard, files, temporary names and the shell services.
#include "httpserver.h"
#include "zeclipboard.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zedisplay.h"
#include "zefile.h"
#include "zemetrics.h"
#include "zeplatform.h"
#include "zeshell.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits up to 5 s for a file that a started program writes.
static std::string wait_for(const std::string &file) {
    for (int i = 0; i < 500; i++) {
        std::string s = slurp(file);
        if (!s.empty() && s.back() == '\n') return s;
        usleep(10000);
    }
    return "";
}

TEST(Metrics, ScreenValuesComeFromTheBackendAndUnknownNamesSayso) {
    setenv("ZE_SCREEN", "800x600", 1);
    ASSERT_TRUE(zebackend_select("headless"));
    EXPECT_EQ(800, guimetrics("screenwidth"));
    EXPECT_EQ(guimetrics("screenwidth"), guimetrics("screenxs"));
    EXPECT_EQ(600, guimetrics("screenys"));
    EXPECT_EQ(600, guimetrics("maxwindowys"));  // borderless windows: the whole work area
    EXPECT_EQ(15, guimetrics("scrollbarwidth"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, guimetrics("bogus"));
    EXPECT_EQ(0, zeget_setting("screenwidth"));
    EXPECT_EQ("guimetrics: bogus\nget setting: screenwidth\n", testing::internal::GetCapturedStdout());
    // Shades of the button face, each channel limited to 0..255.
    int32_t face = zesyscolor("grey");
    EXPECT_EQ(face + 0x101010, zesyscolor("light"));
    EXPECT_EQ(face - 0x202020, zesyscolor("darkc0c0c0"));
    EXPECT_EQ(-1, zesyscolor("white"));
    EXPECT_EQ(-1, zesyscolor("textsel"));  // 24-bit screen
    // The scan-line stand-in runs through the screen once per refresh.
    EXPECT_EQ(60, zedisplay_refresh_hz());
    EXPECT_LT(zedisplay_phase_us(), 1000000 / 60);
    int lowest = 600, highest = -1;
    for (int i = 0; i < 40; i++, usleep(1000)) {
        int line = zedisplay_scanline();
        ASSERT_GE(line, 0);
        ASSERT_LT(line, 600);
        lowest = std::min(lowest, line), highest = std::max(highest, line);
    }
    EXPECT_GT(highest - lowest, 100);
    zecursor_set("hand");
    EXPECT_STREQ("hand", zecursor_get());
    zecursor_set("nonsense");
    EXPECT_STREQ("standard", zecursor_get());
}

TEST(Clipboard, BareLineFeedsBecomeCrLf) {
    ASSERT_TRUE(zebackend_select("headless"));
    EXPECT_TRUE(zeclipboard_set("a\nb\n"));
    EXPECT_STREQ("a\r\nb\r\n", zeclipboard_get());
    EXPECT_TRUE(zeclipboard_set("c\r\nd\n"));  // has a CR: stored as it is
    EXPECT_STREQ("c\r\nd\n", zeclipboard_get());
}

TEST(Files, WholeFileCopyAndSplit) {
    std::string dir = test_tempdir("files");
    std::string f = dir + "/a.txt";
    EXPECT_EQ(0, zefile_exists(f.c_str()));
    EXPECT_EQ(-1, zefile_size(f.c_str()));
    EXPECT_EQ(1, zefile_write(f.c_str(), "ab\0cd", 5));
    EXPECT_EQ(5, zefile_size(f.c_str()));
    EXPECT_EQ(1, zefile_writetext(f.c_str(), "hello"));
    char buf[6];
    EXPECT_EQ(1, zefile_read(f.c_str(), buf, sizeof buf));
    EXPECT_STREQ("hello", buf);
    char small[5];
    EXPECT_EQ(0, zefile_read(f.c_str(), small, sizeof small));  // no room for the zero
    // Copy into a directory keeps the name; onto a file replaces it.
    std::string sub = dir + "/sub";
    mkdir(sub.c_str(), 0755);
    EXPECT_TRUE(zefile_copy(f.c_str(), sub.c_str()));
    EXPECT_EQ("hello", slurp(sub + "/a.txt"));
    EXPECT_TRUE(zefile_copy(f.c_str(), (dir + "/b.bin").c_str()));
    EXPECT_EQ("hello", slurp(dir + "/b.bin"));
    EXPECT_FALSE(zefile_copy((dir + "/.").c_str(), sub.c_str()));
    EXPECT_FALSE(zefile_copy((dir + "/missing").c_str(), sub.c_str()));
    char d[100], n[100], e[100];
    zefile_splitpath("C:\\prog\\data.v2/tool.tar.gz", d, sizeof d, n, sizeof n, e, sizeof e);
    EXPECT_STREQ("C:/prog/data.v2", d);
    EXPECT_STREQ("tool.tar", n);
    EXPECT_STREQ("gz", e);
    zefile_splitpath("plain", d, sizeof d, n, sizeof n, nullptr, 0);
    EXPECT_STREQ("", d);
    EXPECT_STREQ("plain", n);
}

// Runs in a child process: the temporary directory is chosen once per
// process, and the exit must delete the files.
static void make_temporaries(const std::string &dir, const std::string &list) {
    if (chdir(dir.c_str()) != 0) exit(2);
    std::ofstream(".zeko_tmp") << "made here/tmp\r\n";
    const char *a = zefile_tmpname();
    const char *b = zefile_tmpname_ext("url");
    bool ok = a && b && zefile_exists(a) && zefile_size(b) == 0 &&
              std::string(a).rfind(dir + "/made here/tmp/zetmp", 0) == 0 &&
              std::string(b).size() == dir.size() + strlen("/made here/tmp/zetmpXXXXXX.url");
    std::ofstream(list) << a << "\n" << b << "\n";
    zeexit(ok ? 0 : 1);
}

TEST(Files, TemporaryNamesFollowTheOverrideAndGoAtExit) {
    std::string dir = test_tempdir("tmpnames");
    std::string list = dir + "/names";
    EXPECT_EXIT(make_temporaries(dir, list), ::testing::ExitedWithCode(0), "");
    std::istringstream names(slurp(list));
    std::string name;
    int count = 0;
    while (std::getline(names, name)) {
        count++;
        EXPECT_EQ(0, zefile_exists(name.c_str())) << name;
    }
    EXPECT_EQ(2, count);
}

class Shell : public ::testing::Test {
protected:
    std::string dir, saved_path;
    void SetUp() override {
        dir = test_tempdir("shell");
        // Stand-ins for xdg-open and lp record what they were given.
        for (const char *tool : {"xdg-open", "lp"})
            script(tool, std::string("printf '%s\\n' \"$1\" > '") + dir + "/" + tool + ".out'");
        saved_path = getenv("PATH");
        setenv("PATH", (dir + ":" + saved_path).c_str(), 1);
        ASSERT_EQ(0, chdir(dir.c_str()));
    }
    void TearDown() override { setenv("PATH", saved_path.c_str(), 1); }
    void script(const std::string &name, const std::string &body) {
        std::string file = dir + "/" + name;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        chmod(file.c_str(), 0755);
    }
};

TEST_F(Shell, ExeParametersAreSplitOff) {
    char prog[100], params[100];
    ASSERT_TRUE(zeshell_split_exe("C:/prog/tool.exe -x 1", prog, sizeof prog, params, sizeof params));
    EXPECT_STREQ("C:/prog/tool.exe", prog);
    EXPECT_STREQ("-x 1", params);
    ASSERT_TRUE(zeshell_split_exe("TOOL.EXE", prog, sizeof prog, params, sizeof params));
    EXPECT_STREQ("", params);
    EXPECT_FALSE(zeshell_split_exe("readme.txt", prog, sizeof prog, params, sizeof params));
    // Run for real: a relative name becomes a full path, the rest its arguments.
    script("tool.exe", "IFS='|'; echo \"$0|$*\" > '" + dir + "/tool.out'");
    EXPECT_TRUE(zeshell_open("tool.exe -x 1"));
    EXPECT_EQ(dir + "/tool.exe|-x|1\n", wait_for(dir + "/tool.out"));
}

TEST_F(Shell, LauncherStartsWordsWithoutAShellAndLeavesNoZombie) {
    script("tool", "IFS='|'; echo \"$*\" > '" + dir + "/tool.out'");
    EXPECT_TRUE(zeshell_run("%s/tool \"a b\" $HOME;x `id`", dir.c_str()));
    EXPECT_EQ("a b|$HOME;x|`id`\n", wait_for(dir + "/tool.out"));
    // The program runs detached; no child of ours is left to reap.
    DIR *proc = opendir("/proc");
    int zombies = 0;
    while (struct dirent *e = readdir(proc)) {
        std::string stat = slurp(std::string("/proc/") + e->d_name + "/stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state;
        int ppid;
        if (sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid() && state == 'Z')
            zombies++;
    }
    closedir(proc);
    EXPECT_EQ(0, zombies);
    EXPECT_FALSE(zeshell_run("%s", ""));
    // Not a program: the text is a document for xdg-open.
    std::ofstream(dir + "/notes.txt") << "x";
    EXPECT_TRUE(zeshell_run("notes.txt"));
    EXPECT_EQ(dir + "/notes.txt\n", wait_for(dir + "/xdg-open.out"));
    // Neither a program nor a file: nothing to open, and the caller hears so.
    EXPECT_FALSE(zeshell_run("%s/missing/tool --flag", dir.c_str()));
    EXPECT_FALSE(zeshell_open("missing.txt"));
}

// The program runs in a grandchild: when that second fork fails, nothing
// runs and the start must be reported as failed.
TEST(ShellSpawn, FailedSecondForkIsAFailure) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to run as a user of its own";
    pid_t pid = fork();
    if (pid == 0) {
        // A user id nobody else uses, allowed this process and one child:
        // the first fork works, the second fails.
        if (setresgid(54321, 54321, 54321) != 0 || setresuid(54321, 54321, 54321) != 0) _exit(2);
        struct rlimit one_more = {2, 2};
        if (setrlimit(RLIMIT_NPROC, &one_more) != 0) _exit(3);
        const char *argv[] = {"/bin/true", nullptr};
        _exit(zeshell_spawn(argv) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "1: reported as started, 2/3: setup failed";
}

TEST_F(Shell, PrintHandsTheFullPathToLp) {
    EXPECT_TRUE(zeshell_print("page.ps"));
    EXPECT_EQ(dir + "/page.ps\n", wait_for(dir + "/lp.out"));
}

TEST_F(Shell, InternetShortcutsForMailAndWeb) {
    std::string out = dir + "/xdg-open.out";
    EXPECT_EQ(1, zeshell_internet("someone@example.org"));
    EXPECT_EQ("mailto:someone@example.org\n", wait_for(out));
    unlink(out.c_str());
    EXPECT_EQ(1, zeshell_internet("mailto:someone@example.org"));
    EXPECT_EQ("mailto:someone@example.org\n", wait_for(out));
    unlink(out.c_str());
    EXPECT_EQ(1, zeshell_internet("http://example.org/a?b=1"));
    EXPECT_EQ("http://example.org/a?b=1\n", wait_for(out));
    unlink(out.c_str());
    EXPECT_EQ(1, zeshell_internet("www.example.org"));
    EXPECT_EQ("http://www.example.org\n", wait_for(out));
    // The shortcut file is written as well.
    int urls = 0;
    bool mail_shortcut = false;
    DIR *d = opendir(zefile_tmpdir());
    while (struct dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name.rfind("zetmp", 0) != 0 || name.size() < 4 || name.substr(name.size() - 4) != ".url") continue;
        std::string text = slurp(std::string(zefile_tmpdir()) + name);
        urls++;
        mail_shortcut |= text == "[InternetShortcut]\r\nURL=mailto:someone@example.org\r\n";
    }
    closedir(d);
    EXPECT_GE(urls, 4);
    EXPECT_TRUE(mail_shortcut);
}
