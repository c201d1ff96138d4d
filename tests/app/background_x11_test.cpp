// The background picture on the real X server: the timer window of the
// application, its picture loaded from a JPEG and a GIF, erased, edited by a
// stand-in editor and taken back, and saved with digits; every check reads
// the pixels the X server shows (or the file written). Screenshots go to
// the build tree's test output folder.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "app.h"
#include "app_folder.h"
#include "background.h"
#include "picture_import.h"
#include "picture_make.h"
#include "sevenseg.h"
#include "sevenseg_check.h"
#include "timer_window.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zeimport.h"
#include "zeplatform.h"
#include "zewindow.h"

namespace {

const int s_copied = app_folder_run_from_copy("background_x11_test");
const uint32_t kGround = 0x203040;
const int W = 320, H = 120;

Display *g_dpy;

void pump(int ms) {
    for (int t = 0; t < ms; t += 10) {
        while (zeevent_poll() != 0) {}
        usleep(10000);
    }
}

// The window's client area as the X server shows it.
struct Screen {
    XImage *img = nullptr;
    explicit Screen(zeWindow *w) {
        int x = 0, y = 0;
        zewindow_client_origin(w, &x, &y);
        img = XGetImage(g_dpy, DefaultRootWindow(g_dpy), x, y, W, H, AllPlanes, ZPixmap);
    }
    ~Screen() {
        if (img) XDestroyImage(img);
    }
    uint32_t at(int x, int y) const { return img ? (uint32_t)XGetPixel(img, x, y) & 0xFFFFFF : 0xFFFFFFFF; }
};

// Waits (pumping) until every point shows what want() says; false after 15 s.
bool shows(const std::function<uint32_t(int, int)> &want) {
    static const int pts[][2] = {{319, 0}, {319, 119}, {0, 119}, {200, 100}, {260, 60}};
    for (int t = 0; t < 15000; t += 50) {
        pump(50);
        Screen s(timer_window());
        bool all = true;
        for (auto &p : pts) all = all && s.at(p[0], p[1]) == want(p[0], p[1]);
        if (all) return true;
    }
    return false;
}

// The picture a file holds, decoded by import over the test's background.
struct Picture : ImportedPicture {
    explicit Picture(const char *file) : ImportedPicture(file, kGround) {}
};

// A file of the test's folder by its full name, as the file dialog answers.
std::string dir_file(const char *name) { return app_folder() + "/" + name; }

std::string s_choice;
bool chooser(char *answer, int size, const char *) {
    snprintf(answer, size, "%s", s_choice.c_str());
    return !s_choice.empty();
}

class BackgroundX11 : public ::testing::Test {
protected:
    int x0 = 0, y0 = 0;
    char text[SEVENSEG_TEXTMAX + 1] = "";
    static void SetUpTestSuite() {
        ASSERT_TRUE(zebackend_select("x11"));
        g_dpy = XOpenDisplay(nullptr);
        ASSERT_NE(g_dpy, nullptr);
    }
    static void TearDownTestSuite() { XCloseDisplay(g_dpy); }
    void SetUp() override {
        std::string dir = zeprogramdir();
        ASSERT_EQ(dir, app_folder()) << "not running from a copy";
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(system(("find " + dir + " -mindepth 1 ! -name background_x11_test -exec rm -rf {} +").c_str()), 0);
        g_settings = Settings();
        std::string program = getenv("ZE_PROGRAM_DIR");
        ASSERT_TRUE(sevenseg_load_set(&g_timerFont, (program + "/" + sevenseg_set_file(4)).c_str()));
        g_timerFont.deferred = false;
        strcpy(g_format.formatString, "##:##:##");
        strcpy(g_format.digitText, "123456");
        merge_display_text(g_format.formatString, g_format.digitText, false, text, sizeof text);
        g_settings.backgroundColour = kGround;
        g_settings.windowX = 60, g_settings.windowY = 80;
        g_settings.alwaysOnTop = true;
        g_settings.minWidth = W, g_settings.minHeight = H;
        timer_window_compute_height();
        timer_window_compute_width();
        timer_window_create();
        ASSERT_NE(timer_window(), nullptr);
        x0 = g_settings.borderWidth + g_settings.horizontalOffset;
        y0 = g_settings.borderWidth + g_settings.verticalOffset;
        background_set_file_chooser(chooser);
        if (!shows([](int, int) { return kGround; })) {
            screenshot("never_shown");
            int x = 0, y = 0;
            zewindow_client_origin(timer_window(), &x, &y);
            FAIL() << "the window never showed at " << x << "," << y << ": " << std::hex << Screen(timer_window()).at(319, 0);
        }
    }
    void TearDown() override {
        background_set_file_chooser(nullptr);
        timer_window_close();
        sevenseg_set_busy(false);
        pump(50);
        sevenseg_free(&g_timerFont);
    }
    void screenshot(const char *name) {
        std::string dir = std::string(getenv("ZE_BUILD_DIR")) + "/test-output/background_x11";
        if (system(("mkdir -p " + dir + " && import -window root " + dir + "/" + name + ".png").c_str()) != 0) {}
    }
    // The digits drawn by the display over the picture, read back from the screen.
    void expect_digits_over(const Picture &pic) {
        sevenseg_force_full_redraw();
        g_timerFont.forceFull = true;
        sevenseg_draw_now(&g_timerFont, timer_window(), x0, y0, text);
        pump(100);
        Screen s(timer_window());
        std::string err;
        long lit = sevenseg_check_text(
            g_timerFont, text, x0, y0, [&](int x, int y) { return s.at(x, y); },
            [&](int x, int y) { return pic.at(x, y); }, &err);
        EXPECT_EQ(err, "");
        EXPECT_GT(lit, 100);
    }
};

TEST_F(BackgroundX11, LoadedJpegAndGifShowBehindTheDigits) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(W, H, JPEG_PROGRESSIVE)));
    s_choice = dir_file("photo.jpg");
    background_load_button();
    ASSERT_NE(timer_window(), nullptr);
    Picture jpeg("photo.jpg");
    EXPECT_TRUE(shows([&](int x, int y) { return jpeg.at(x, y); }));
    expect_digits_over(jpeg);
    screenshot("load_jpeg");

    ASSERT_TRUE(picture_write("logo.gif", make_gif(W, H, true, 3)));
    EXPECT_TRUE(background_load("logo.gif"));
    Picture gif("logo.gif");
    EXPECT_EQ(gif.at(12, 0), kGround);   // the transparent index shows the background colour
    EXPECT_TRUE(shows([&](int x, int y) { return gif.at(x, y); }));
    expect_digits_over(gif);
    screenshot("load_gif");
}

TEST_F(BackgroundX11, EraseEditTakeBackAndSaveWithDigits) {
    ASSERT_TRUE(picture_write("photo.jpg", make_jpeg(W, H)));
    ASSERT_TRUE(background_load("photo.jpg"));
    EXPECT_TRUE(background_erase());
    EXPECT_EQ(access(BG_BACKUP_FILE, F_OK), 0);
    EXPECT_TRUE(shows([](int, int) { return kGround; }));
    screenshot("erased");

    // The stand-in editor paints a red block into the picture it is given.
    FILE *f = fopen("editor.py", "w");
    ASSERT_TRUE(f);
    fprintf(f, "#!/usr/bin/python3\nimport sys\nfrom PIL import Image, ImageDraw\n"
               "im = Image.open(sys.argv[1]).convert('RGB')\n"
               "ImageDraw.Draw(im).rectangle((240, 50, 319, 119), fill=(255, 0, 0))\n"
               "im.save(sys.argv[1] + '.tmp', 'BMP')\nimport os\nos.rename(sys.argv[1] + '.tmp', sys.argv[1])\n"
               "open('edited.done', 'w').write('ok')\n");
    fclose(f);
    chmod("editor.py", 0755);
    snprintf(g_settings.graphicProgram, sizeof g_settings.graphicProgram, "%s", dir_file("editor.py").c_str());
    ASSERT_TRUE(background_edit(false));
    for (int i = 0; i < 600 && access("edited.done", F_OK) != 0; i++) pump(25);
    ASSERT_EQ(access("edited.done", F_OK), 0);
    EXPECT_TRUE(background_take_back());
    EXPECT_TRUE(shows([](int x, int y) { return x >= 240 && y >= 50 ? 0xFF0000u : kGround; }));
    screenshot("taken_back");

    s_choice = dir_file("saved.bmp");
    background_save_button(true);
    Picture saved("saved.bmp"), behind(BG_INTERN_FILE);
    std::string err;
    long lit = sevenseg_check_text(
        g_timerFont, text, x0, y0, [&](int x, int y) { return saved.at(x, y); },
        [&](int x, int y) { return behind.at(x, y); }, &err);
    EXPECT_EQ(err, "");
    EXPECT_GT(lit, 100);
    EXPECT_EQ(saved.at(300, 100), 0xFF0000u);
}

}  // namespace
