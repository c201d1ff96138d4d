// The settings table: what save writes, load → save → load for every field,
// defaults, short and damaged files, and saves that cannot complete.
// Paths are absolute: write_log moves the working directory to the program's.
#include "../xbase/xbase_testutil.h"
#include "settings.h"
#include "sevenseg.h"
#include "zemetrics.h"
#include "zexbase.h"
#include <cstring>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <random>
#include <string>

static std::string cell(const std::string &file, int row, int column) {
    zeXBase t;
    char buf[400];
    if (!zexbase_open(&t, file.c_str())) return "<no table>";
    return zexbase_read_text(&t, row, column, buf, sizeof buf);
}

static void set_cell(const std::string &file, int row, int column, const char *text) {
    zeXBase t;
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    ASSERT_TRUE(zexbase_write_text(&t, row, column, "%s", text));
    ASSERT_TRUE(zexbase_close(&t));
}

// Every stored cell as save would write it.
static std::vector<std::string> snapshot() {
    std::vector<std::string> cells;
    char buf[400];
    for (int r = 0; r < SETTINGS_ROWS; r++)
        for (int c = 0; c < SETTINGS_TABLE_COLUMNS; c++) cells.push_back(settings_cell_text(r, c, buf, sizeof buf));
    return cells;
}

// Every stored setting set away from its default.
static void unusual_settings() {
    TimerState &t = g_timer;
    Settings &s = g_settings;
    DisplayFormat &f = g_format;
    t.countUp = false, t.roundUp = false;
    t.destinationDay = 740000, t.destinationSecond = 86399;
    s.hours24 = true;
    t.stopAfterFinished = false;
    t.countUpTime = 123456;
    t.countUpStopMode = 2, t.restartAfter = 93780;
    s.segmentColour = 0x00ff7f, s.backgroundColour = 0x102030;
    s.windowX = -40, s.windowY = 1500, s.windowWidth = 777;
    s.borderWidth = 3, s.borderColour = 0xabcdef;
    s.verticalOffset = 11, s.horizontalOffset = 13;
    s.windowOnStart = false;
    s.alwaysOnTop = true, s.fullscreen = true, s.resizeDesktop = true, s.alwaysVisible = true;
    s.autostart = true, s.stayOnDesktop = true;
    s.size = 77;
    s.activeColour = 0x00ff7f, s.inactiveColour = 0x000001;
    s.contrast = 33;
    f.form = 2;
    f.showDays = false, f.showHours = false, f.showMinutes = false, f.showSeconds = false, f.showHundredths = true;
    f.leadingWidth = 10;
    f.unitDays = true, f.unitHours = false, f.unitMinutes = true, f.unitSeconds = true;
    f.integerWidth = 1, f.decimals = 8;
    snprintf(s.graphicProgram, sizeof s.graphicProgram, "/opt/paint programs/bin/paint --new");
    s.minWidth = 640, s.minHeight = 48;
    g_app.language = 1;
    s.syncTime = true;
    s.actionMessage = true, s.actionSound = true, s.actionProgram = true;
    snprintf(s.soundFile, sizeof s.soundFile, "sounds/gong, loud.wav");
    snprintf(s.programPath, sizeof s.programPath, "C:\\Programs\\notify.exe");
    snprintf(s.messageText, sizeof s.messageText, "Time's up: 100%% done!");
    s.colonBlink = false;
}

struct Settings_ : ::testing::Test {
    ScratchDir dir;
    std::string file = dir / "quimo_settings.dbf";
    void SetUp() override {
        g_app.language = 0;
        settings_defaults();
    }
};

TEST_F(Settings_, SaveWritesEveryRowInItsPlace) {
    ASSERT_TRUE(settings_save_to(file.c_str()));
    EXPECT_EQ(read_file(file).size(), 91303u);
    zeXBase t;
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_rows(&t), 30);
    EXPECT_EQ(zexbase_columns(&t), 20);
    const char *keys[SETTINGS_ROWS] = {"CountUp", "Destination", "24h", "stop after finished", "CountUpTime",
                                       "CountUpStopMode", "Textcolor", "Coordinates", "Border/Offset",
                                       "WindowOnStart", "AlwaysOnTop/Fullscreen", "Autostart", "StayOnDesktop",
                                       "Size", "Colors", "Contrast", "Format", "GraphicProgram", "Offset",
                                       "Language", "SyncTime", "Action", "ColonBlink"};
    const int columns[SETTINGS_ROWS] = {2, 2, 1, 1, 1, 2, 2, 3, 4, 1, 4, 1, 1, 1, 2, 1, 13, 1, 2, 1, 1, 6, 1};
    char buf[400];
    for (int r = 0; r < 30; r++)
        for (int c = 0; c < 20; c++) {
            std::string text = zexbase_read_text(&t, r, c, buf, sizeof buf);
            if (r < SETTINGS_ROWS && c == 0) {
                EXPECT_EQ(text, keys[r]);
            } else if (r >= SETTINGS_ROWS || c > columns[r]) {
                EXPECT_EQ(text, "") << r << "," << c;
            }
        }
    // A few cells by their written form.
    EXPECT_EQ(std::string(zexbase_read_text(&t, 6, 1, buf, sizeof buf)), "ff0000");
    EXPECT_EQ(std::string(zexbase_read_text(&t, 6, 2, buf, sizeof buf)), "000000");
    EXPECT_EQ(std::string(zexbase_read_text(&t, 1, 1, buf, sizeof buf)), "730120");
    EXPECT_EQ(std::string(zexbase_read_text(&t, 14, 2, buf, sizeof buf)), "330000");
    EXPECT_EQ(std::string(zexbase_read_text(&t, 16, 1, buf, sizeof buf)), "1");   // form
    EXPECT_EQ(std::string(zexbase_read_text(&t, 16, 13, buf, sizeof buf)), "3");  // decimals
    EXPECT_EQ(std::string(zexbase_read_text(&t, 21, 6, buf, sizeof buf)), "QUIMO");
}

TEST_F(Settings_, EveryFieldSurvivesLoadSaveLoad) {
    unusual_settings();
    const std::vector<std::string> saved = snapshot();
    ASSERT_TRUE(settings_save_to(file.c_str()));
    g_app.language = 0;
    settings_defaults();
    ASSERT_NE(snapshot(), saved);
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_EQ(snapshot(), saved);
    // Spot checks on the records themselves, beyond the cell texts.
    EXPECT_FALSE(g_timer.countUp);
    EXPECT_EQ(g_timer.restartAfter, 93780);
    EXPECT_EQ(g_settings.windowX, -40);
    EXPECT_EQ(g_settings.inactiveColour, 0x000001u);
    EXPECT_EQ(g_format.decimals, 8);
    EXPECT_TRUE(g_format.unitSeconds);
    EXPECT_EQ(g_app.language, 1);
    EXPECT_STREQ(g_settings.programPath, "C:\\Programs\\notify.exe");
    EXPECT_STREQ(g_settings.messageText, "Time's up: 100% done!");
    EXPECT_EQ(g_settings.digitSet, 12);  // size 77

    // The defaults survive as well.
    settings_defaults();
    const std::vector<std::string> defaults = snapshot();
    ASSERT_TRUE(settings_save_to(file.c_str()));
    unusual_settings();
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_EQ(snapshot(), defaults);
}

TEST_F(Settings_, ExampleFilesSurviveLoadSaveLoad) {
    const char *program = getenv("ZE_PROGRAM_DIR");
    ASSERT_NE(program, nullptr);
    for (int n = 1; n <= 10; n++) {
        std::string example = std::string(program) + "/examples/s" + std::to_string(n) + ".dbf";
        ASSERT_TRUE(settings_load(example.c_str())) << example;
        const std::vector<std::string> loaded = snapshot();
        ASSERT_TRUE(settings_save_to(file.c_str()));
        settings_defaults();
        ASSERT_TRUE(settings_load(file.c_str()));
        EXPECT_EQ(snapshot(), loaded) << example;
        // What the example files were written from: no machine's paths.
        EXPECT_STREQ(g_settings.graphicProgram, "") << example;
    }
}

TEST_F(Settings_, ExamplesKeepTheUsersOwnChoices) {
    const char *program = getenv("ZE_PROGRAM_DIR");
    ASSERT_NE(program, nullptr);
    unusual_settings();
    const KeptSettings kept = settings_keep();
    ASSERT_TRUE(settings_load((std::string(program) + "/examples/s1.dbf").c_str()));
    settings_restore(kept);
    // The user's own ...
    EXPECT_EQ(g_app.language, 1);
    EXPECT_FALSE(g_timer.roundUp);
    EXPECT_TRUE(g_settings.hours24 && g_settings.syncTime && g_settings.autostart);
    EXPECT_TRUE(g_settings.actionMessage && g_settings.actionSound && g_settings.actionProgram);
    EXPECT_FALSE(g_settings.windowOnStart);
    EXPECT_STREQ(g_settings.soundFile, "sounds/gong, loud.wav");
    EXPECT_STREQ(g_settings.messageText, "Time's up: 100% done!");
    EXPECT_STREQ(g_settings.graphicProgram, "/opt/paint programs/bin/paint --new");
    // ... and the example's.
    EXPECT_FALSE(g_timer.countUp);
    EXPECT_EQ(g_settings.segmentColour, 0xff2a2au);
    EXPECT_EQ(g_format.leadingWidth, 3);
    EXPECT_FALSE(g_settings.fullscreen);
}

TEST_F(Settings_, RowsCountNotKeys) {
    unusual_settings();
    const std::vector<std::string> saved = snapshot();
    ASSERT_TRUE(settings_save_to(file.c_str()));
    set_cell(file, 0, 0, "Destination");
    set_cell(file, 1, 0, "CountUp");
    set_cell(file, 16, 0, "");
    settings_defaults();
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_EQ(snapshot().size(), saved.size());
    for (size_t i = 0; i < saved.size(); i++)
        if (i % SETTINGS_TABLE_COLUMNS) {
            EXPECT_EQ(snapshot()[i], saved[i]) << "cell " << i;
        }
}

TEST_F(Settings_, CellValuesAreReadLeniently) {
    ASSERT_TRUE(settings_save_to(file.c_str()));
    set_cell(file, 0, 1, "7");        // countUp: any non-zero number is set
    set_cell(file, 9, 1, "-3");       // WindowOnStart
    set_cell(file, 22, 1, "yes");     // ColonBlink: no number reads as 0
    set_cell(file, 6, 1, "zz");       // segment colour: no hex digits, unchanged
    set_cell(file, 6, 2, " 0x00ff00");
    set_cell(file, 8, 2, "ABC");      // border colour, upper case
    set_cell(file, 19, 1, "2");       // language: anything non-zero is German
    set_cell(file, 13, 1, "250");     // size beyond 100: the largest digit set
    g_settings.segmentColour = 0x123456;
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_TRUE(g_timer.countUp);
    EXPECT_TRUE(g_settings.windowOnStart);
    EXPECT_FALSE(g_settings.colonBlink);
    EXPECT_EQ(g_settings.segmentColour, 0x123456u);
    EXPECT_EQ(g_settings.backgroundColour, 0x00ff00u);
    EXPECT_EQ(g_settings.borderColour, 0xabcu);
    EXPECT_EQ(g_app.language, 1);
    EXPECT_EQ(g_settings.digitSet, 16);
}

// Rows a short table lacks take their defaults (zeros would give a blank
// 13-pixel timer); a table without rows holds no settings at all.
TEST_F(Settings_, ShortTablesGiveDefaultsForMissingRows) {
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, file.c_str(), 10, 20, 150));
    zexbase_write_text(&t, 0, 1, "0");
    zexbase_write_text(&t, 6, 1, "00ff00");
    zexbase_write_text(&t, 9, 1, "1");
    ASSERT_TRUE(zexbase_close(&t));
    unusual_settings();
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_FALSE(g_timer.countUp);
    EXPECT_EQ(g_settings.segmentColour, 0x00ff00u);
    EXPECT_TRUE(g_settings.windowOnStart);
    EXPECT_EQ(g_settings.size, 25);
    EXPECT_EQ(g_settings.contrast, 80);
    EXPECT_EQ(g_format.form, 1);
    EXPECT_EQ(g_format.leadingWidth, 4);
    EXPECT_TRUE(g_settings.colonBlink);
    EXPECT_STREQ(g_settings.messageText, "QUIMO");
    EXPECT_EQ(g_settings.activeColour, 0xff0000u);
    EXPECT_EQ(g_settings.digitSet, 4);

    // No rows at all: a header cut off after its descriptors, and a table
    // whose every record is deleted.
    ASSERT_TRUE(zexbase_create(&t, file.c_str(), 0, 20, 150));
    ASSERT_TRUE(zexbase_close(&t));
    ASSERT_EQ(read_file(file).size(), 673u);
    unusual_settings();
    EXPECT_FALSE(settings_load(file.c_str()));
    EXPECT_EQ(g_settings.size, 25);
    EXPECT_EQ(g_format.form, 1);

    ASSERT_TRUE(settings_save_to(file.c_str()));
    std::vector<unsigned char> data = read_file(file);
    for (size_t r = 0; r < 30; r++) data[673 + r * 3021] = '*';
    write_file(file, data);
    unusual_settings();
    EXPECT_FALSE(settings_load(file.c_str()));
    EXPECT_EQ(g_settings.contrast, 80);
}

// Numbers are held to what the program can draw and count with: extreme
// values from a hostile file must not reach the arithmetic.
TEST_F(Settings_, ExtremeNumbersAreBoundedOnLoading) {
    ASSERT_TRUE(settings_save_to(file.c_str()));
    const int screenW = guimetrics("screenxs"), screenH = guimetrics("screenys");
    for (const char *extreme : {"2147483647", "-2147483648", "99999999999999"}) {
        zeXBase t;
        ASSERT_TRUE(zexbase_open(&t, file.c_str()));
        for (int r = 0; r < SETTINGS_ROWS; r++)
            for (int c = 1; c <= 13; c++)
                if (r != 17 && r != 21) zexbase_write_text(&t, r, c, "%s", extreme);
        ASSERT_TRUE(zexbase_close(&t));
        ASSERT_TRUE(settings_load(file.c_str())) << extreme;
        const Settings &s = g_settings;
        const TimerState &tm = g_timer;
        const DisplayFormat &f = g_format;
        bool negative = extreme[0] == '-';
        EXPECT_EQ(s.windowX, negative ? -100000 : 100000);
        EXPECT_EQ(s.windowY, negative ? -100000 : 100000);
        EXPECT_EQ(s.borderWidth, negative ? 0 : screenH);
        EXPECT_EQ(s.verticalOffset, negative ? 0 : screenH);
        EXPECT_EQ(s.horizontalOffset, negative ? 0 : screenW);
        EXPECT_EQ(s.minWidth, negative ? 0 : screenW);
        EXPECT_EQ(s.minHeight, negative ? 0 : screenH);
        EXPECT_EQ(s.size, negative ? 0 : 100);
        EXPECT_EQ(s.contrast, negative ? 0 : 100);
        EXPECT_EQ(f.form, negative ? 1 : 2);
        EXPECT_LE(f.leadingWidth, 20);
        EXPECT_LE(f.decimals, 8);
        EXPECT_GE(f.integerWidth, 0);
        EXPECT_EQ(tm.destinationSecond, negative ? 0 : 86399);
        EXPECT_EQ(tm.destinationDay, negative ? 1 : zedate_daynumber(9999, 12, 31));
        EXPECT_EQ(tm.countUpStopMode, negative ? 0 : 2);
        EXPECT_GE(tm.countUpTime, 0);
        EXPECT_GE(tm.restartAfter, 0);
        // Colour cells read as hex: every one within RRGGBB, saved as six digits.
        EXPECT_LE(s.segmentColour, 0xffffffu);
        EXPECT_LE(s.borderColour, 0xffffffu);
        EXPECT_LE(s.inactiveColour, 0xffffffu);
        ASSERT_TRUE(settings_save_to(file.c_str()));
        if (!negative) {
            EXPECT_EQ(cell(file, 6, 1), "ffffff");
        }
    }
}

// Saving through a link to a name without ".dbf": the temporary table gets
// that extension from the table module, and the rename must use it too.
TEST_F(Settings_, SaveThroughALinkToANameWithoutDbf) {
    std::string real = dir / "mysettings", link = dir / "quimo_settings.dbf";
    ASSERT_TRUE(settings_save_to((real + ".dbf").c_str()));
    ASSERT_EQ(rename((real + ".dbf").c_str(), real.c_str()), 0);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    g_settings.size = 61;
    ASSERT_TRUE(settings_save_to(link.c_str()));
    EXPECT_EQ(cell(real, 13, 1), "61");
    std::string listing = "ls '" + dir.path + "' | grep -c tmp";
    FILE *p = popen(listing.c_str(), "r");
    char count[16] = "";
    fgets(count, sizeof count, p);
    pclose(p);
    EXPECT_STREQ(count, "0\n");
}

// An unreadable file that cannot be moved aside (the program folder is not
// the user's to write) stays as it is: this run's settings are not saved over it.
TEST_F(Settings_, UnreadableFileThatCannotBeSetAsideIsNotSavedOver) {
    ScratchDir own;
    std::string text = own / "notes.txt";
    const std::vector<unsigned char> mine = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's', '\n'};
    write_file(text, mine);
    ASSERT_EQ(symlink(text.c_str(), file.c_str()), 0);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    chmod(dir.path.c_str(), 0555);
    {
        ObeyFilePermissions obey;
        if (!obey.works()) GTEST_SKIP() << "cannot drop the file-permission override";
        EXPECT_FALSE(settings_load(nullptr));
        EXPECT_FALSE(settings_save());
    }
    chmod(dir.path.c_str(), 0755);
    EXPECT_EQ(read_file(text), mine);
    EXPECT_NE(access((file + ".bad").c_str(), F_OK), 0);
}

// Temporary tables of saves that were killed are removed at the next start,
// those of a save still running elsewhere are not.
TEST_F(Settings_, StaleTemporaryTablesAreRemoved) {
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    std::string stale = file + "." + std::to_string(gone) + ".tmp";
    std::string live = file + "." + std::to_string(getppid()) + ".tmp";
    std::string other = file + ".notes.tmp";
    for (const std::string &f : {stale, live, other}) write_file(f, {'x'});
    settings_load(nullptr);
    EXPECT_NE(access(stale.c_str(), F_OK), 0);
    EXPECT_EQ(access(live.c_str(), F_OK), 0);
    EXPECT_EQ(access(other.c_str(), F_OK), 0);
}

TEST_F(Settings_, LongTextsAreCutAt151) {
    std::string text(200, 'm');
    snprintf(g_settings.messageText, sizeof g_settings.messageText, "%s", text.c_str());
    ASSERT_TRUE(settings_save_to(file.c_str()));
    ASSERT_TRUE(settings_load(file.c_str()));
    EXPECT_EQ(std::string(g_settings.messageText), text.substr(0, 151));
}

TEST_F(Settings_, UnreadableFilesGiveTheDefaults) {
    unusual_settings();
    g_app.language = 0;
    write_file(file, std::vector<unsigned char>(500, 'x'));
    EXPECT_FALSE(settings_load(file.c_str()));
    const std::vector<std::string> got = snapshot();
    settings_defaults();
    EXPECT_EQ(got, snapshot());
    EXPECT_EQ(g_settings.digitSet, 4);  // size 25

    unusual_settings();
    g_app.language = 0;
    EXPECT_FALSE(settings_load((dir / "missing.dbf").c_str()));
    EXPECT_EQ(snapshot(), got);
}

TEST_F(Settings_, UnreadableUserFileIsKeptAndTheFirstStartApplied) {
    const std::vector<unsigned char> junk(500, 'x');
    write_file(file, junk);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    EXPECT_FALSE(settings_load(nullptr));
    EXPECT_EQ(read_file(file + ".bad"), junk);
    EXPECT_NE(access(file.c_str(), F_OK), 0);
    // Example 9's placement and destination (its file is not beside this test).
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(tm.tm_year + 1900 + 1, 1, 1));
    EXPECT_EQ(g_settings.windowX, 50);
    EXPECT_EQ(g_settings.windowY, 5);
}

// Corrupted copies of a saved file load or fall back to the defaults; never
// a crash. (The table reader has its own, larger fuzz test.)
TEST_F(Settings_, CorruptedFilesLoadOrFallBack) {
    unusual_settings();
    ASSERT_TRUE(settings_save_to(file.c_str()));
    const std::vector<unsigned char> good = read_file(file);
    std::mt19937 rng(4242);
    for (int i = 0; i < 300; i++) {
        std::vector<unsigned char> d = good;
        for (int k = 0; k < 4; k++) d[rng() % (k < 2 ? 700 : d.size())] = (unsigned char)rng();
        if (i % 5 == 0) d.resize(rng() % d.size());
        write_file(file, d);
        settings_load(file.c_str());
        EXPECT_LT(strlen(g_settings.messageText), sizeof g_settings.messageText);
        EXPECT_GE(g_settings.digitSet, 1);
        EXPECT_LE(g_settings.digitSet, 16);
    }
}

TEST_F(Settings_, FailedSaveKeepsTheOldFile) {
    unusual_settings();
    ASSERT_TRUE(settings_save_to(file.c_str()));
    const std::vector<unsigned char> before = read_file(file);
    settings_defaults();
    {
        chmod(dir.path.c_str(), 0555);
        ObeyFilePermissions obey;
        if (!obey.works()) GTEST_SKIP() << "cannot drop the file-permission override";
        EXPECT_FALSE(settings_save_to(file.c_str()));
    }
    chmod(dir.path.c_str(), 0755);
    EXPECT_EQ(read_file(file), before);

    // A directory in the way: the new table is removed again.
    std::string blocked = dir / "blocked.dbf";
    ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);
    EXPECT_FALSE(settings_save_to(blocked.c_str()));
    std::string listing = "ls '" + dir.path + "' | grep -c tmp";
    FILE *p = popen(listing.c_str(), "r");
    char count[16] = "";
    fgets(count, sizeof count, p);
    pclose(p);
    EXPECT_STREQ(count, "0\n");
}

TEST_F(Settings_, SaveThroughALinkKeepsTheLink) {
    std::string real = dir / "real.dbf", link = dir / "link.dbf";
    ASSERT_TRUE(settings_save_to(real.c_str()));
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    g_settings.size = 61;
    ASSERT_TRUE(settings_save_to(link.c_str()));
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(cell(real, 13, 1), "61");
}

TEST_F(Settings_, DefaultsForThisPlatform) {
    int w = 0;
    EXPECT_EQ(g_settings.windowWidth, (w = guimetrics("screenxs")));
    EXPECT_GT(w, 0);
    EXPECT_EQ(g_timer.destinationDay, 730120);
    EXPECT_EQ(g_settings.inactiveColour, 0x330000u);
    EXPECT_FALSE(g_settings.hours24);
    g_app.language = 1;
    settings_defaults();
    EXPECT_TRUE(g_settings.hours24);
    EXPECT_EQ(g_app.language, 1);  // the language is not a default
}

TEST_F(Settings_, PictureEditorIsTheFirstOfTheListOnPath) {
    std::string bin1 = dir / "bin1", bin2 = dir / "bin2";
    mkdir(bin1.c_str(), 0755);
    mkdir(bin2.c_str(), 0755);
    mkdir((bin1 + "/gimp").c_str(), 0755);  // a directory is no program
    write_file(bin1 + "/mtpaint", {'#', '!'});
    write_file(bin2 + "/kolourpaint", {'#', '!'});
    write_file(bin2 + "/pinta", {'#', '!'});
    chmod((bin1 + "/mtpaint").c_str(), 0755);
    chmod((bin2 + "/kolourpaint").c_str(), 0644);  // not executable
    chmod((bin2 + "/pinta").c_str(), 0755);
    std::string old = getenv("PATH") ? getenv("PATH") : "";
    char buf[300];
    setenv("PATH", (bin1 + ":" + bin2).c_str(), 1);
    ObeyFilePermissions obey;  // root may run anything; the search must not think so
    EXPECT_EQ(std::string(settings_find_picture_editor(buf, sizeof buf)), bin2 + "/pinta");
    setenv("PATH", bin1.c_str(), 1);
    EXPECT_EQ(std::string(settings_find_picture_editor(buf, sizeof buf)), bin1 + "/mtpaint");
    setenv("PATH", "/nonexistent", 1);
    EXPECT_STREQ(settings_find_picture_editor(buf, sizeof buf), "");
    setenv("PATH", old.c_str(), 1);
}

TEST(SettingsDigitSet, SizeRangesMapToSets) {
    struct Case {
        int size, set;
    } cases[] = {{-5, 1}, {0, 1}, {6, 1}, {7, 2}, {12, 2}, {13, 3}, {20, 4}, {25, 4}, {26, 5}, {58, 9},
                 {59, 10}, {76, 12}, {77, 12}, {78, 13}, {97, 15}, {98, 16}, {100, 16}, {250, 16}};
    for (const Case &c : cases) EXPECT_EQ(sevenseg_set_for_size(c.size), c.set) << c.size;
}

TEST(SettingsByName, NamesAndValuesAreChecked) {
    EXPECT_TRUE(settings_set_by_name("segmentColour", "#00ff80"));
    EXPECT_EQ(g_settings.segmentColour, 0x00ff80u);
    EXPECT_TRUE(settings_set_by_name("COUNTUP", "0"));
    EXPECT_FALSE(g_timer.countUp);
    EXPECT_TRUE(settings_set_by_name("messageText", ""));
    EXPECT_STREQ(g_settings.messageText, "");
    EXPECT_FALSE(settings_set_by_name("countUp", "2"));
    EXPECT_FALSE(settings_set_by_name("size", "12x"));
    EXPECT_FALSE(settings_set_by_name("segmentColour", "red"));
    EXPECT_FALSE(settings_set_by_name("noSuchSetting", "1"));
    EXPECT_FALSE(settings_set_by_name("messageText", std::string(152, 'x').c_str()));
}
