// The background picture operations on the in-memory screen, in a folder of
// their own: what each leaves in the files ("quimo_bg_intern.bmp", the backup,
// the editor's picture, exports) and on the timer window's pixels.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app.h"
#include "background.h"
#include "app_folder.h"
#include "picture_import.h"
#include "picture_make.h"
#include "sevenseg_check.h"
#include "platform/headless/zeheadless.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zecontrol.h"
#include "zedialog.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zescheme.h"
#include "zeview.h"
#include "zeimage.h"
#include "zeimport.h"
#include "zeplatform.h"
#include "zewindow.h"

namespace {

const int s_copied = app_folder_run_from_copy("background_test");

const uint32_t kGround = 0x102030;

std::string slurp(const char *name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool exists(const char *name) { return access(name, F_OK) == 0; }

// The picture a file holds, decoded by import over the test's background.
struct Picture : ImportedPicture {
    explicit Picture(const char *file) : ImportedPicture(file, kGround) {}
};

// The dialogs' answers: the file chooser returns s_choice (none when empty),
// the yes/no question presses s_answer (0 yes, 1 no) and records its buttons.
std::string s_choice, s_options;
int s_answer = 1, s_questions = 0;
std::string s_yesText;

bool chooser(char *answer, int size, const char *options) {
    s_options = options;
    snprintf(answer, size, "%s", s_choice.c_str());
    return !s_choice.empty();
}

void on_dialog(zeWindow *w, zeControl *const *c, int n) {
    s_questions++;
    if (n >= 2) s_yesText = c[0]->text;
    if (n >= 2) zeheadless_keystroke(s_answer == 0 ? 10 : 27, 0);
}

class Background : public ::testing::Test {
protected:
    std::string dir;
    int textWidth = 0;
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        zefont_init();
        zescheme_select("standard");
        g_settings = Settings();
        g_app.language = 0;
        std::string program = getenv("ZE_PROGRAM_DIR");
        ASSERT_TRUE(sevenseg_load_set(&g_timerFont, (program + "/" + sevenseg_set_file(4)).c_str()));
        strcpy(g_format.formatString, "##:##:##");
        strcpy(g_format.digitText, "123456");
        dir = zeprogramdir();
        ASSERT_EQ(dir, app_folder()) << "not running from a copy";
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(system(("find " + dir + " -mindepth 1 ! -name background_test -exec rm -rf {} +").c_str()), 0);
        g_settings.backgroundColour = kGround;
        g_settings.windowX = 10, g_settings.windowY = 20;
        g_settings.minWidth = 320, g_settings.minHeight = 120;
        timer_window_compute_height();
        timer_window_compute_width();
        timer_window_create();
        ASSERT_NE(timer_window(), nullptr);
        textWidth = 2 + sevenseg_text_width(&g_timerFont, "12:34:56");
        background_set_file_chooser(chooser);
        zedialog_set_open_hook(on_dialog);
        s_choice.clear(), s_answer = 1, s_questions = 0, s_yesText.clear();
    }
    void TearDown() override {
        zedialog_set_open_hook(nullptr);
        background_set_file_chooser(nullptr);
        timer_window_close();
        sevenseg_set_busy(false);
        sevenseg_free(&g_timerFont);
    }
    // A pixel of the window on the screen, at window coordinates.
    uint32_t shown(int x, int y) {
        int r[4];
        zeheadless_rect(timer_window()->native, r);
        return zeheadless_pixel(r[0] + x, r[1] + y);
    }
    // Window points the digits never cover.
    static constexpr int kFree[][2] = {{319, 0}, {319, 119}, {0, 119}, {200, 100}};
    void expect_shows(const Picture &pic, const char *what) {
        for (auto &pt : kFree) EXPECT_EQ(shown(pt[0], pt[1]), pic.at(pt[0], pt[1])) << what << " at " << pt[0];
    }
    void expect_plain(uint32_t colour) {
        for (auto &pt : kFree) EXPECT_EQ(shown(pt[0], pt[1]), colour) << pt[0] << "," << pt[1];
    }
    std::string last_log_line() {
        std::string log = slurp("quimo.log");
        size_t end = log.find_last_not_of("\r\n");
        size_t start = log.rfind('\n', end);
        return log.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
    }
};

TEST_F(Background, LoadTurnsJpegAndGifIntoTheInternalBmpAndShowsIt) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(400, 150)));
    EXPECT_TRUE(background_load("photo.jpg"));
    int w = 0, h = 0;
    ASSERT_TRUE(zegetpicturesizes(BG_INTERN_FILE, &w, &h));
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 150);
    Picture jpeg("photo.jpg"), intern(BG_INTERN_FILE);
    for (int y = 0; y < 150; y += 7)
        for (int x = 0; x < 400; x += 13) ASSERT_EQ(intern.at(x, y), jpeg.at(x, y)) << x << "," << y;
    expect_shows(jpeg, "jpeg");
    EXPECT_FALSE(g_app.busy);
    std::string log = slurp("quimo.log");
    EXPECT_NE(log.find("convert photo.jpg -> quimo_bg_intern.bmp"), std::string::npos);
    EXPECT_NE(log.find("    xs=400 ys=150"), std::string::npos);
    EXPECT_NE(log.find("    OK: convert photo.jpg -> quimo_bg_intern.bmp"), std::string::npos);

    // transparency of a GIF becomes the background colour
    ASSERT_TRUE(picture_write("anim.gif", make_gif(330, 130, true, 3, 2)));
    EXPECT_TRUE(background_load("anim.gif"));
    Picture gif(BG_INTERN_FILE);
    EXPECT_EQ(gif.at(12, 0), kGround);   // index 3 there
    EXPECT_EQ(gif.at(0, 0), picture_gif_color(0));
    EXPECT_EQ(shown(319, 119), gif.at(319, 119));
}

TEST_F(Background, FailedLoadLeavesPictureAndWindowAsTheyWere) {
    ASSERT_TRUE(picture_write("good.gif", make_gif(320, 120)));
    ASSERT_TRUE(background_load("good.gif"));
    std::string before = slurp(BG_INTERN_FILE);
    Picture good(BG_INTERN_FILE);

    std::vector<uint8_t> jpeg = make_jpeg(64, 64);
    picture_write("truncated.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2));
    picture_write("empty.jpg", {});
    std::vector<uint8_t> huge = jpeg;   // the frame header says 30000 x 30000
    for (size_t i = 0; i + 8 < huge.size(); i++)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 30000 >> 8, huge[i + 6] = 30000 & 255, huge[i + 7] = 30000 >> 8, huge[i + 8] = 30000 & 255;
            break;
        }
    picture_write("huge.jpg", huge);
    std::vector<uint8_t> bomb = make_gif(8, 8);   // a logical screen of 65535 x 65535
    bomb[6] = bomb[7] = bomb[8] = bomb[9] = 0xFF;
    picture_write("bomb.gif", bomb);
    picture_write("text.jpg", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    mkdir("folder.jpg", 0700);
    testing::internal::CaptureStdout();
    for (const char *bad : {"truncated.jpg", "empty.jpg", "huge.jpg", "bomb.gif", "text.jpg", "folder.jpg", "missing.gif"}) {
        EXPECT_FALSE(background_load(bad)) << bad;
        EXPECT_EQ(slurp(BG_INTERN_FILE), before) << bad;
        expect_shows(good, bad);
        EXPECT_EQ(last_log_line().substr(20), std::string("convert ") + bad + " -> quimo_bg_intern.bmp") << bad;
        EXPECT_FALSE(g_app.busy);
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("zeimage_import: picture too large (huge.jpg): 30000 x 30000"), std::string::npos) << out;
    EXPECT_NE(out.find("zeimage_import: picture too large (bomb.gif): 65535 x 65535"), std::string::npos) << out;
    EXPECT_NE(out.find("zeimage_import: broken JPEG (truncated.jpg)"), std::string::npos) << out;
}

TEST_F(Background, EraseKeepsTheBackupAndLeavesThePlainColour) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(500, 200)));
    ASSERT_TRUE(background_load("photo.jpg"));
    std::string before = slurp(BG_INTERN_FILE);
    EXPECT_TRUE(background_erase());
    EXPECT_EQ(slurp(BG_BACKUP_FILE), before);
    Picture plain(BG_INTERN_FILE);
    EXPECT_EQ(plain.p.width, 320);
    EXPECT_EQ(plain.p.height, 120);
    EXPECT_EQ(plain.at(0, 0), kGround);
    EXPECT_EQ(plain.at(319, 119), kGround);
    expect_plain(kGround);
    EXPECT_FALSE(g_app.busy);

    // Without a place for the backup nothing is erased.
    ASSERT_TRUE(background_load("photo.jpg"));
    before = slurp(BG_INTERN_FILE);
    unlink(BG_BACKUP_FILE);
    ASSERT_EQ(mkdir(BG_BACKUP_FILE, 0700), 0);
    ASSERT_EQ(mkdir(BG_BACKUP_FILE "/" BG_INTERN_FILE, 0700), 0);
    EXPECT_FALSE(background_erase());
    EXPECT_EQ(slurp(BG_INTERN_FILE), before);
    expect_shows(Picture("photo.jpg"), "kept");
}

TEST_F(Background, EditorPictureIsTakenBack) {
    // A stand-in editor: paints the picture it is given green and says so.
    zePixmap green;
    ASSERT_TRUE(zepxmap_create(&green, 330, 125, ZEPX_TRUECOLOR));
    zepxmap_clear(&green, 0x00AA55);
    ASSERT_TRUE(zepxmap_savetofile_bmp(&green, "green.bmp"));
    zepxmap_release(&green);
    FILE *f = fopen("editor.sh", "w");
    ASSERT_TRUE(f);
    fprintf(f, "#!/bin/sh\ncp \"$1\" exported.bmp\ncp green.bmp \"$1\"\necho \"$1\" > edited.tmp\nmv edited.tmp edited.done\n");
    fclose(f);
    chmod("editor.sh", 0755);
    std::string editor = dir + "/editor.sh";
    snprintf(g_settings.graphicProgram, sizeof g_settings.graphicProgram, "%s", editor.c_str());

    EXPECT_TRUE(background_edit(false));
    for (int i = 0; i < 400 && !exists("edited.done"); i++) usleep(25000);
    ASSERT_TRUE(exists("edited.done"));
    EXPECT_EQ(slurp("edited.done"), "quimo_bg.bmp\n");
    Picture exported("exported.bmp");   // what the editor was given: the window's size
    EXPECT_EQ(exported.p.width, 320);
    EXPECT_EQ(exported.p.height, 120);
    EXPECT_EQ(exported.at(319, 119), kGround);
    EXPECT_TRUE(background_take_back());
    expect_plain(0x00AA55);
    EXPECT_EQ(Picture(BG_INTERN_FILE).p.width, 330);

    // Edit with: the chosen program becomes GraphicProgram; none chosen keeps it.
    unlink("edited.done");
    s_choice.clear();
    background_edit_with_button(false);
    EXPECT_STREQ(g_settings.graphicProgram, editor.c_str());
    EXPECT_NE(s_options.find("dir=/usr/bin"), std::string::npos);
    EXPECT_NE(timer_window(), nullptr);
    g_settings.graphicProgram[0] = 0;
    s_choice = editor;
    background_edit_with_button(false);
    EXPECT_STREQ(g_settings.graphicProgram, editor.c_str());
    for (int i = 0; i < 400 && !exists("edited.done"); i++) usleep(25000);
    EXPECT_TRUE(exists("edited.done"));
    EXPECT_NE(timer_window(), nullptr);
}

// The digits in an export are the glyphs of the timer font at the display's
// place; without digits the picture shows even where the window has digits.
TEST_F(Background, ExportWithAndWithoutDigits) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(320, 120)));
    ASSERT_TRUE(background_load("photo.jpg"));
    Picture pic("photo.jpg");
    char text[SEVENSEG_TEXTMAX + 1];
    merge_display_text(g_format.formatString, g_format.digitText, false, text, sizeof text);
    const int x0 = g_settings.borderWidth + g_settings.horizontalOffset;
    const int y0 = g_settings.borderWidth + g_settings.verticalOffset;
    sevenseg_draw_now(&g_timerFont, timer_window(), x0, y0, text);   // live digits in the window
    uint32_t liveDigit = shown(x0 + 5, y0 + 5);

    EXPECT_TRUE(background_export("plain.bmp", false));
    Picture plain("plain.bmp");
    ASSERT_EQ(plain.p.width, 320);
    for (int y = 0; y < 120; y++)
        for (int x = 0; x < 320; x++) ASSERT_EQ(plain.at(x, y), pic.at(x, y)) << x << "," << y;

    EXPECT_TRUE(background_export("digits.bmp", true));
    Picture digits("digits.bmp");
    std::string err;
    long checked = sevenseg_check_text(
        g_timerFont, text, x0, y0, [&](int x, int y) { return digits.at(x, y); },
        [&](int x, int y) { return pic.at(x, y); }, &err);
    EXPECT_EQ(err, "");
    EXPECT_GT(checked, 100);
    EXPECT_EQ(digits.at(319, 119), pic.at(319, 119));
    EXPECT_EQ(shown(x0 + 5, y0 + 5), liveDigit);   // the window keeps its live digits

    // Save through the dialog: the chosen name gets the export, the windows come back.
    s_choice = "saved.bmp";
    background_save_button(true);
    EXPECT_EQ(slurp("saved.bmp"), slurp("digits.bmp"));
    EXPECT_NE(s_options.find("suggestion=quimo_background.bmp"), std::string::npos);
    EXPECT_NE(timer_window(), nullptr);
}

TEST_F(Background, ColourChangeAsksBeforeFilling) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(320, 120)));
    s_choice = "photo.jpg";
    background_load_button();
    ASSERT_NE(timer_window(), nullptr);
    std::string before = slurp(BG_INTERN_FILE);
    uint32_t inactive = g_settings.inactiveColour;

    s_answer = 1;   // No: the picture stays, only the inactive segments change
    background_set_colour(0xFFFFFF);
    EXPECT_EQ(s_questions, 1);
    EXPECT_EQ(s_yesText, "Yes");
    EXPECT_EQ(g_settings.backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(slurp(BG_INTERN_FILE), before);
    EXPECT_NE(g_settings.inactiveColour, inactive);
    expect_shows(Picture("photo.jpg"), "kept");

    background_set_colour(0xFFFFFF);   // the same colour: no question
    EXPECT_EQ(s_questions, 1);

    g_app.language = 1;   // Ja: the picture goes to the backup, the window turns plain
    s_answer = 0;
    background_set_colour(0x0000C0);
    EXPECT_EQ(s_questions, 2);
    EXPECT_EQ(s_yesText, "Ja");
    EXPECT_FALSE(exists(BG_INTERN_FILE));
    EXPECT_EQ(slurp(BG_BACKUP_FILE), before);
    ASSERT_NE(timer_window(), nullptr);
    expect_plain(0x0000C0);
}

}  // namespace
