// zeAnsiDecoder: escape sequences into terminal items, on hand-made input
// and on the colour output of real programs.
#include "zeansi.h"
#include "zefont.h"
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<int, int>> Items;

// Feeds all bytes, taking items out whenever the decoder stops taking bytes.
Items decode(const std::string &bytes, bool linechars = false) {
    zeAnsiDecoder d;
    zeansi_init(&d);
    zeansi_set_linechars(&d, linechars);
    Items out;
    size_t pos = 0;
    int cmd, arg;
    while (pos < bytes.size()) {
        pos += zeansi_feed(&d, bytes.data() + pos, (int)(bytes.size() - pos));
        while (zeansi_get(&d, &cmd, &arg)) out.push_back({cmd, arg});
    }
    return out;
}

// The printed text of an item list, and the other items in order.
std::string printed(const Items &items) {
    std::string s;
    for (auto &i : items)
        if (i.first == ZEANSI_PRINT) s += (char)i.second;
    return s;
}

Items controls(const Items &items) {
    Items v;
    for (auto &i : items)
        if (i.first != ZEANSI_PRINT) v.push_back(i);
    return v;
}

std::string run(const std::string &cmd) {
    std::string out;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace

TEST(AnsiDecoder, ControlSequences) {
    struct {
        const char *in;
        Items want;
    } cases[] = {
        {"\x1b[3@", {{28, 3}}},
        {"\x1b[A\x1b[2B\x1b[3C\x1b[4D", {{25, 1}, {26, 2}, {23, 3}, {24, 4}}},
        {"\x1b[7G\x1b[9d", {{15, 7}, {16, 9}}},
        {"\x1b[5;10H", {{15, 10}, {16, 5}}},
        {"\x1b[H", {{15, 1}, {16, 1}}},
        {"\x1b[J\x1b[0J\x1b[2J\x1b[1J", {{13, 0}, {13, 0}, {14, 0}}},
        {"\x1b[K\x1b[1K\x1b[2K", {{10, 0}, {11, 0}, {12, 0}}},
        {"\x1b[2P\x1b[5X", {{29, 2}, {27, 5}}},
        {"\x1b[?1h\x1b[?7l\x1b[?25h\x1b[?1000h\x1b[?47l", {{19, 1}, {17, 0}, {18, 1}}},
        {"\x1b[4h\x1b[4l", {{20, 1}, {20, 0}}},
        {"\x1b[m\x1b[0m", {{2, 0}, {2, 0}}},
        {"\x1b[31m\x1b[42m\x1b[39m\x1b[49m", {{3, 1}, {4, 2}, {7, 39}, {8, 49}}},
        {"\x1b[1;7;27;38m", {{6, 1}, {9, 7}, {9, 27}, {3, 8}}},
        {"\x1b[0;32m", {{2, 0}, {3, 2}}},
        // a run of empty parameters turns attributes off once, so the colour
        // after it still fits the ring
        {"\x1b[;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;31m", {{2, 0}, {3, 1}}},
        {"\x1b[1;0;0;0;4;0;32m", {{6, 1}, {5, 0}, {3, 2}}},
        {"\x1b[38;5;33m\x1b[48;2;1;2;3m", {{3, 8}, {4, 8}}},
        {"\x1b[!p", {{19, 0}, {17, 0}, {18, 1}, {20, 1}}},
        {"\x1b[s\x1b[u\x1b[1;24r\x1b[g", {{21, 0}, {22, 0}}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.in + 1)));
        testing::internal::CaptureStdout();
        Items got = decode(c.in);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(got, c.want);
    }
}

TEST(AnsiDecoder, PlainBytesAndOtherEscapes) {
    EXPECT_EQ(decode("ab\n\xe4"), (Items{{1, 'a'}, {1, 'b'}, {1, '\n'}, {1, 0xe4}}));
    EXPECT_EQ(decode("\x1b\x1bx"), (Items{{1, 27}, {1, 'x'}}));
    EXPECT_EQ(decode("\x1b(Bx\x1b)0y"), (Items{{1, 'x'}, {1, 'y'}})) << "character sets are consumed";
    EXPECT_EQ(decode("\x1b]0;title\x07z\x1b]2;t\x1b\\w"), (Items{{1, 'z'}, {1, 'w'}})) << "titles are skipped";

    testing::internal::CaptureStdout();
    Items got = decode("\x1b[5n\x1b[?1049h\x1b=\x1b[3~a");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "AnsiDecoder not recognized: [5n\n"
              "AnsiDecoder not recognized: [?1049h\n"
              "AnsiDecoder not recognized: =\n"
              "AnsiDecoder not recognized: [3~\n");
    EXPECT_EQ(got, (Items{{1, 'a'}})) << "unknown sequences are dropped";

    // A sequence that never ends is cut at 52 characters.
    testing::internal::CaptureStdout();
    got = decode("\x1b[" + std::string(60, '1') + "mb");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("not recognized"), std::string::npos);
    EXPECT_EQ(printed(got).back(), 'b');
}

TEST(AnsiDecoder, LineDrawing) {
    EXPECT_EQ(printed(decode("\x0eqxlkmjtuvwnaLTz\x0fq")), "-|+++++++++#++zq");
    std::string ext = printed(decode("\x0eqxlkmjtuvwna\x0fq", true));
    std::string want = {(char)128, (char)129, (char)130, (char)131, (char)132, (char)133, (char)134,
                        (char)135, (char)137, (char)138, (char)136, '#', 'q'};
    EXPECT_EQ(ext, want);
    // The glyphs exist in the default font.
    for (unsigned char c : ext) EXPECT_GT(zefont_char_width(-1, c), 0);
}

TEST(AnsiDecoder, RingHoldsWhatIsNotTakenOut) {
    zeAnsiDecoder d;
    zeansi_init(&d);
    std::string text(100, 'x');
    int taken = zeansi_feed(&d, text.data(), (int)text.size());
    EXPECT_LT(taken, 100);
    EXPECT_LE(zeansi_pending(&d), ZEANSI_RING);
    // A full ring drops what comes on top instead of overwriting.
    for (int i = 0; i < 60; i++) zeansi_put(&d, 'y');
    EXPECT_EQ(zeansi_pending(&d), ZEANSI_RING);
    int cmd, arg, n = 0;
    while (zeansi_get(&d, &cmd, &arg)) n += arg == 'x';
    EXPECT_EQ(n, taken);
    // And the long text arrives whole when it is taken out in between.
    EXPECT_EQ(printed(decode(text)), text);
}

TEST(AnsiDecoder, ColourOutputOfRealPrograms) {
    char dir[] = "/tmp/ansi_testXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string d = dir;
    run("mkdir " + d + "/subdir && touch " + d + "/plain && cp /bin/true " + d + "/tool");
    std::string env = "env -u LS_COLORS -u GREP_COLORS LC_ALL=C ";
    std::string colour = run(env + "ls --color=always " + d);
    std::string plain = run(env + "ls --color=never " + d);
    ASSERT_NE(colour.find('\x1b'), std::string::npos) << "ls wrote no colours";
    testing::internal::CaptureStdout();
    Items items = decode(colour);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "every sequence understood";
    EXPECT_EQ(printed(items), plain);
    Items ctl = controls(items);
    auto has = [&](int cmd, int arg) {
        for (auto &i : ctl)
            if (i.first == cmd && i.second == arg) return true;
        return false;
    };
    EXPECT_TRUE(has(ZEANSI_FOREGROUND, 4)) << "directories in blue";
    EXPECT_TRUE(has(ZEANSI_FOREGROUND, 2)) << "programs in green";
    EXPECT_TRUE(has(ZEANSI_BOLD, 1));
    EXPECT_TRUE(has(ZEANSI_RESET, 0));

    std::string grep = run("printf 'one two\\nthree two four\\n' | " + env + "grep --color=always two");
    ASSERT_NE(grep.find('\x1b'), std::string::npos);
    testing::internal::CaptureStdout();
    items = decode(grep);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(printed(items), "one two\nthree two four\n");
    ctl = controls(items);
    EXPECT_TRUE(has(ZEANSI_BOLD, 1));
    EXPECT_TRUE(has(ZEANSI_FOREGROUND, 1)) << "matches in red";
    EXPECT_TRUE(has(ZEANSI_ERASE_EOL, 0));
    run("rm -rf " + d);
}
