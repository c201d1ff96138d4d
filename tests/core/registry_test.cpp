// Registry values by path and the autostart entry, in a private config home.
#include "httpserver.h"
#include "zeregistry.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

static std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

static std::string exec_line(const std::string &desktop) {
    std::string text = slurp(desktop), line;
    std::istringstream in(text);
    while (std::getline(in, line))
        if (line.rfind("Exec=", 0) == 0) return line;
    return "";
}

class Registry : public ::testing::Test {
protected:
    std::string home;
    void SetUp() override {
        home = test_tempdir("registry");
        ASSERT_FALSE(home.empty());
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    }
};

TEST_F(Registry, ValuesRoundTripWithOddCharacters) {
    const char *odd = "tab\there\nnew line\r\\back\\slash \x01 \xc3\xa4 =;\"'";
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Test/odd", odd));
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Test/plain", "one"));
    EXPECT_TRUE(zeregistry_write("HKEY_LOCAL_MACHINE/Software/Test/plain", "machine"));
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Test/plain", "two"));  // replaces
    char buf[200];
    ASSERT_TRUE(zeregistry_read("HKEY_CURRENT_USER/Software/Test/odd", buf, sizeof buf));
    EXPECT_STREQ(odd, buf);
    // Backslashes separate like slashes; key and value names ignore case.
    ASSERT_TRUE(zeregistry_read("HKEY_CURRENT_USER\\SOFTWARE\\test\\PLAIN", buf, sizeof buf));
    EXPECT_STREQ("two", buf);
    ASSERT_TRUE(zeregistry_read("HKEY_LOCAL_MACHINE/Software/Test/plain", buf, sizeof buf));
    EXPECT_STREQ("machine", buf);
    EXPECT_FALSE(zeregistry_read("HKEY_CURRENT_USER/Software/Test/missing", buf, sizeof buf));
    EXPECT_FALSE(zeregistry_read("HKEY_CURRENT_USER/Software/Other/plain", buf, sizeof buf));
    // Too small a buffer fails instead of overflowing.
    char small[3] = {'x', 'x', 'x'};
    EXPECT_FALSE(zeregistry_read("HKEY_CURRENT_USER/Software/Test/plain", small, sizeof small));
    // The store is a folder of the toolkit's own, with no leftovers of the atomic writes.
    std::string dir = zeregistry_dir();
    EXPECT_EQ(home + "/config/zeko/registry", dir);
    EXPECT_NE(std::string::npos, slurp(dir + "/HKEY_CURRENT_USER").find("Software\\\\Test\tplain\ttwo\n"));
}

TEST_F(Registry, RootMustBeSpelledExactly) {
    EXPECT_FALSE(zeregistry_write("hkey_current_user/Software/Test/v", "x"));
    EXPECT_FALSE(zeregistry_write("HKEY_CURRENT_USERS/Software/Test/v", "x"));
    EXPECT_FALSE(zeregistry_write("HKEY_NOWHERE/Software/Test/v", "x"));
    EXPECT_FALSE(zeregistry_write("HKEY_CURRENT_USER", "x"));
    char buf[10];
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Test/v", "x"));
    EXPECT_FALSE(zeregistry_read("hkey_current_user/Software/Test/v", buf, sizeof buf));
    struct stat st;
    EXPECT_NE(0, stat((home + "/config/zeko/registry/hkey_current_user").c_str(), &st));
}

TEST_F(Registry, SlashAfterBackslashStaysInTheNameWhenReading) {
    // Writing turns every slash into a separator; a value whose name holds a
    // slash can only come from elsewhere, so put one in the store by hand.
    ASSERT_TRUE(zeregistry_write("HKEY_CURRENT_USER/K/seed", "1"));
    std::ofstream(std::string(zeregistry_dir()) + "/HKEY_CURRENT_USER", std::ios::app) << "K\t/b\tslashed\n";
    char buf[20];
    ASSERT_TRUE(zeregistry_read("HKEY_CURRENT_USER/K\\/b", buf, sizeof buf));
    EXPECT_STREQ("slashed", buf);
}

TEST_F(Registry, RunValueWritesTheAutostartEntry) {
    // The program lies in a folder with a blank; HOME decides where the entry goes.
    unsetenv("XDG_CONFIG_HOME");
    std::string saved_home = getenv("HOME");
    setenv("HOME", home.c_str(), 1);
    std::string progdir = home + "/my programs";
    mkdir(progdir.c_str(), 0755);
    std::ofstream(progdir + "/quimo") << "#!/bin/sh\n";
    std::string value = progdir + "/quimo";
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/QUIMO",
                                 value.c_str()));
    std::string desktop = home + "/.config/autostart/QUIMO.desktop";
    EXPECT_EQ("Exec=\"" + value + "\"", exec_line(desktop));
    EXPECT_NE(std::string::npos, slurp(desktop).find("[Desktop Entry]\nType=Application\nName=QUIMO\n"));
    char buf[500];
    ASSERT_TRUE(zeregistry_read("HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/QUIMO", buf,
                                sizeof buf));
    EXPECT_EQ(value, buf);

    // A command line with arguments: words split like a command line, each
    // quoted and escaped for the desktop entry; % doubled, backslashes doubled twice.
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/Tool",
                                 "/usr/bin/tool \"a b\" 50% $HOME c:\\x"));
    EXPECT_EQ("Exec=/usr/bin/tool \"a b\" 50%% \"\\\\$HOME\" \"c:\\\\\\\\x\"",
              exec_line(home + "/.config/autostart/Tool.desktop"));
    // An empty value removes the entry; other keys write none.
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/Tool", ""));
    struct stat st;
    EXPECT_NE(0, stat((home + "/.config/autostart/Tool.desktop").c_str(), &st));
    EXPECT_TRUE(zeregistry_write("HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/RunOnce/X", "/bin/x"));
    EXPECT_NE(0, stat((home + "/.config/autostart/X.desktop").c_str(), &st));
    setenv("HOME", saved_home.c_str(), 1);
}
