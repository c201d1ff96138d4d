// Where an installed or portable copy keeps its files, profile names, and
// the command line.
#include "app_options.h"
#include "app_paths.h"
#include "httpserver.h"
#include "zeentry.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

static void mkdirs(const std::string &path) {
    for (size_t i = 1; i <= path.size(); i++)
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0700);
}

TEST(AppPaths, ModeFollowsWhereTheDigitSetsAre) {
    std::string root = test_tempdir("paths");
    // Installed: bin beside share/quimo with the digit sets.
    mkdirs(root + "/usr/bin");
    mkdirs(root + "/usr/share/quimo/7seg");
    EXPECT_EQ(APP_INSTALLED, app_paths_mode((root + "/usr/bin").c_str()));
    // Portable: the digit sets beside the binary win, even with a share folder.
    mkdirs(root + "/usr/bin/7seg");
    EXPECT_EQ(APP_PORTABLE, app_paths_mode((root + "/usr/bin").c_str()));
    // Neither (a binary copied alone): portable, as it always was.
    mkdirs(root + "/alone/bin");
    EXPECT_EQ(APP_PORTABLE, app_paths_mode((root + "/alone/bin").c_str()));
    // A file named 7seg is no digit set folder.
    mkdirs(root + "/odd/bin");
    mkdirs(root + "/odd/share/quimo");
    fclose(fopen((root + "/odd/share/quimo/7seg").c_str(), "w"));
    EXPECT_EQ(APP_PORTABLE, app_paths_mode((root + "/odd/bin").c_str()));
}

TEST(AppPaths, ProfileNamesStayOneFolderDeep) {
    for (const char *ok : {"work", "a", "Team-2_b.x", "0"}) EXPECT_TRUE(app_profile_name_valid(ok)) << ok;
    std::string longest(APP_PROFILE_MAX, 'p');
    EXPECT_TRUE(app_profile_name_valid(longest.c_str()));
    std::string too_long(APP_PROFILE_MAX + 1, 'p');
    for (const char *bad : {"", ".", "..", ".hidden", "a/b", "../x", "a b", "x\n", "\xc3\xa4", too_long.c_str()})
        EXPECT_FALSE(app_profile_name_valid(bad)) << bad;
    EXPECT_FALSE(app_profile_name_valid(nullptr));
}

TEST(AppPaths, DataFilesOfAPortableCopyAreRelative) {
    // The test binary has no app_paths_init: the portable layout.
    char out[100];
    EXPECT_STREQ("7seg/a.pcx", app_data_path("7seg/a.pcx", out, sizeof out));
    EXPECT_STREQ("/abs/b.pcx", app_data_path("/abs/b.pcx", out, sizeof out));
    EXPECT_STREQ(zeprogramdir(), app_state_dir());
    EXPECT_STREQ("", app_profile());
}

namespace {

struct Parsed {
    AppOptions options;
    std::string out, err;
};

Parsed parse(std::vector<const char *> args, bool german = false) {
    std::vector<char *> argv{(char *)""};
    for (const char *a : args) argv.push_back((char *)a);
    argv.push_back(nullptr);
    char *outbuf = nullptr, *errbuf = nullptr;
    size_t outlen = 0, errlen = 0;
    FILE *out = open_memstream(&outbuf, &outlen), *err = open_memstream(&errbuf, &errlen);
    Parsed p;
    p.options = app_options_parse((int)argv.size() - 1, argv.data(), out, err, german);
    fclose(out);
    fclose(err);
    p.out = outbuf, p.err = errbuf;
    free(outbuf), free(errbuf);
    return p;
}

}  // namespace

TEST(AppOptions, HelpAndVersionEndTheStart) {
    Parsed p = parse({"--help", "--frobnicate"});
    EXPECT_EQ(0, p.options.exitCode);
    EXPECT_EQ(0u, p.out.find("Usage: quimo [OPTION]..."));
    EXPECT_EQ("", p.err);
    EXPECT_EQ(0u, parse({"-h"}, true).out.find("Aufruf: quimo"));
    p = parse({"-minys", "--version"});
    EXPECT_EQ(0, p.options.exitCode);
    EXPECT_EQ("quimo " QUIMO_VERSION "\n", p.out);
}

TEST(AppOptions, ProfileInBothFormsAndUnknownOptionsIgnored) {
    Parsed p = parse({"--profile", "work", "-minys", "+ min ys", "\t-minys"});
    EXPECT_EQ(-1, p.options.exitCode);
    EXPECT_STREQ("work", p.options.profile);
    EXPECT_EQ("", p.err);
    p = parse({"--profile=home", "--frobnicate", "file.txt", "minys"});
    EXPECT_EQ(-1, p.options.exitCode);
    EXPECT_STREQ("home", p.options.profile);
    EXPECT_NE(std::string::npos, p.err.find("unknown option \"--frobnicate\" ignored"));
    EXPECT_NE(std::string::npos, p.err.find("\"file.txt\""));
    EXPECT_NE(std::string::npos, p.err.find("\"minys\""));  // without its sign it is no switch
    EXPECT_EQ(std::string::npos, p.out.find("Usage"));
}

TEST(AppOptions, BadOrMissingProfileNameEndsWithTwo) {
    for (std::vector<const char *> args : {std::vector<const char *>{"--profile"}, {"--profile", "../up"},
                                           {"--profile="}, {"--profile=.x"}}) {
        Parsed p = parse(args);
        EXPECT_EQ(2, p.options.exitCode) << args.back();
        EXPECT_NE(std::string::npos, p.err.find("--profile needs a name")) << args.back();
    }
}

// Mutated command lines: any bytes in any number of arguments end in one of
// the three answers, and a profile taken is always a valid name.
TEST(AppOptions, MutatedArgumentsNeverYieldABadProfile) {
    std::mt19937 rng(20);
    const std::vector<std::string> seeds = {"--profile", "--profile=", "work", "-minys", "+minys", "--help",
                                            "--version", "../x", ".", "-", "--", ""};
    for (int round = 0; round < 3000; round++) {
        std::vector<std::string> words(rng() % 5);
        for (std::string &w : words) {
            w = seeds[rng() % seeds.size()];
            for (int m = rng() % 4; m > 0; m--) {
                size_t at = w.empty() ? 0 : rng() % (w.size() + 1);
                if (rng() % 2 || w.empty()) w.insert(at, 1, (char)(1 + rng() % 255));
                else w.erase(at < w.size() ? at : 0, 1);
            }
        }
        std::vector<const char *> args;
        for (const std::string &w : words) args.push_back(w.c_str());
        Parsed p = parse(args, round % 2);
        ASSERT_TRUE(p.options.exitCode == -1 || p.options.exitCode == 0 || p.options.exitCode == 2);
        if (p.options.profile) ASSERT_TRUE(app_profile_name_valid(p.options.profile)) << p.options.profile;
    }
}
