// Time-up on the in-memory screen with SDL's disk audio: the order of the
// actions in the log, the program started once per time-up, one message
// window however often time-up comes, OK closing it and stopping the sound,
// the sound's own duration and the kind rule.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app.h"
#include "platform/headless/zeheadless.h"
#include "timeup.h"
#include "zebutton.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zepage.h"
#include "zeplatform.h"
#include "zesound.h"
#include "zeview.h"
#include "zewindow.h"

namespace {

std::string slurp(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string log_file() { return std::string(zeprogramdir()) + "/quimo.log"; }

void write_script(const std::string &path, const std::string &body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
}

class Timeup : public ::testing::Test {
protected:
    std::string dir, ran;
    size_t mark = 0;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        dir = "/tmp/ze_timeup_" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        ran = dir + "/ran";
        unlink(ran.c_str());
        // Documents would go to xdg-open: a stand-in records them instead.
        write_script(dir + "/xdg-open", "echo \"$@\" >> " + dir + "/opened");
        write_script(dir + "/prog.sh", "echo ran >> " + ran);
        setenv("PATH", (dir + ":" + getenv("PATH")).c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir + "/audio.raw").c_str(), 1);
        g_settings = Settings();
        g_settings.actionSound = g_settings.actionProgram = g_settings.actionMessage = true;
        snprintf(g_settings.soundFile, sizeof g_settings.soundFile, "%s/sounds/chime.wav", getenv("ZE_PROGRAM_DIR"));
        snprintf(g_settings.programPath, sizeof g_settings.programPath, "%s/prog.sh", dir.c_str());
        sound_reset();
        mark = slurp(log_file()).size();
    }
    void TearDown() override {
        if (timeup_message_open()) press_ok();
        sound_stop();
        zesound_release();
        system(("rm -rf " + dir).c_str());
    }
    std::string log() { return slurp(log_file()).substr(mark); }
    bool press_ok() {
        zeGUIScript *page = timeup_message_page();
        if (!page) return false;
        zeButton *ok = (zeButton *)zepage_find(page, "btOK");
        if (!ok) return false;
        return timeup_message_ok(zebutton_eventid(ok));
    }
    // How often the stand-in program ran, once expected runs were seen (or
    // after a short wait for none).
    int runs(int expected) {
        auto count = [&] {
            std::string s = slurp(ran);
            int n = 0;
            for (size_t p = 0; (p = s.find("ran", p)) != std::string::npos; p++) n++;
            return n;
        };
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (count() < expected && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return count();
    }
};

TEST_F(Timeup, SoundThenProgramThenOneMessageWindow) {
    timeup_run_actions();
    std::string l = log();
    size_t stopped = l.find("stopped"), play = l.find("play " + std::string(g_settings.soundFile) + " volume=100"),
           program = l.find("start program " + std::string(g_settings.programPath));
    ASSERT_NE(std::string::npos, stopped) << l;
    ASSERT_NE(std::string::npos, play) << l;
    ASSERT_NE(std::string::npos, program) << l;
    EXPECT_LT(stopped, play);
    EXPECT_LT(play, program);
    // The tests' ALSA has no mixer: logged, and the sound plays all the same.
    EXPECT_LT(l.find("SetMixerVolume error 1"), play) << l;
    EXPECT_TRUE(timeup_message_open());
    EXPECT_TRUE(zesound_busy());
    EXPECT_EQ(1, runs(1));

    // Time-up again while the message is open: sound and program again, no
    // second window.
    zeGUIScript *page = timeup_message_page();
    timeup_run_actions();
    EXPECT_NE(std::string::npos, log().find("sound still playing, stop sound"));
    EXPECT_EQ(page, timeup_message_page());
    EXPECT_EQ(2, runs(2));

    // OK closes the window; the caller stops the sound at once.
    EXPECT_FALSE(timeup_message_ok(12345));
    ASSERT_TRUE(press_ok());
    EXPECT_FALSE(timeup_message_open());
    sound_stop();
    EXPECT_FALSE(zesound_busy());
}

TEST_F(Timeup, HostileMessageTextAndProgramPathsAreNotFatal) {
    std::string text;
    while (text.size() < 299) text += "%s%n<%<x=%d>100%";
    text.resize(299);
    strcpy(g_settings.messageText, text.c_str());
    g_settings.actionSound = false;
    strcpy(g_settings.programPath, "/nonexistent/program --flag");
    timeup_run_actions();
    EXPECT_NE(std::string::npos, log().find("program failed: /nonexistent/program --flag")) << log();
    EXPECT_TRUE(timeup_message_open());
    EXPECT_NE(nullptr, timeup_message_page() ? zepage_find(timeup_message_page(), "btOK") : nullptr);
    EXPECT_TRUE(press_ok());

    write_script(dir + "/plain.txt", "echo ran >> " + ran);
    chmod((dir + "/plain.txt").c_str(), 0644);
    snprintf(g_settings.programPath, sizeof g_settings.programPath, "%s/plain.txt", dir.c_str());
    g_settings.actionMessage = false;
    timeup_run_actions();
    EXPECT_EQ(0, runs(0));  // not executable: never run
}

TEST_F(Timeup, AnOpenSettingsWindowStaysTheStandardView) {
    zeWindow settings;
    ASSERT_TRUE(zewindow_open(&settings, "settings,xs=400,ys=300"));
    zeView *view = zeview_of_window(&settings);
    ASSERT_NE(nullptr, view);
    zeview_make_standard(view);
    g_app.settingsWindowOpen = true;
    g_settings.actionSound = g_settings.actionProgram = false;
    timeup_run_actions();
    ASSERT_TRUE(timeup_message_open());
    EXPECT_EQ(view, zeview_standard());  // controls made now go to the settings window
    EXPECT_TRUE(press_ok());
    EXPECT_EQ(view, zeview_standard());
    g_app.settingsWindowOpen = false;
}

TEST_F(Timeup, SoundKindDurationAndRefusedNames) {
    EXPECT_EQ(1, sound_kind("a.wav"));
    EXPECT_EQ(2, sound_kind("a.mp3"));
    EXPECT_EQ(3, sound_kind("alarm.mid.wav"));  // ".mid" is tested last
    EXPECT_EQ(0, sound_kind("alarm.ogg"));

    sound_play("/tmp/alarm.ogg");
    EXPECT_NE(std::string::npos, log().find("invalid sound: /tmp/alarm.ogg"));
    EXPECT_FALSE(g_sound.playing);
    EXPECT_FALSE(timeup_active());

    // A missing file is logged; the state still runs its full duration.
    sound_play("/nonexistent/alarm.wav");
    EXPECT_NE(std::string::npos, log().find("sound error: /nonexistent/alarm.wav: cannot open")) << log();
    EXPECT_NE(std::string::npos, log().find("play /nonexistent/alarm.wav volume=100"));
    EXPECT_TRUE(g_sound.playing);
    for (int i = 0; i < 9999; i++) sound_tick();
    EXPECT_TRUE(g_sound.playing);
    EXPECT_TRUE(timeup_active());
    sound_tick();
    EXPECT_FALSE(g_sound.playing);
    EXPECT_FALSE(timeup_active());
    EXPECT_NE(std::string::npos, log().find("sound finished"));

    // No sound device: logged, skipped at once, the state as with one.
    zesound_release();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto t0 = std::chrono::steady_clock::now();
    sound_play(g_settings.soundFile);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    EXPECT_NE(std::string::npos, log().find(std::string("sound error: ") + g_settings.soundFile + ": no audio device"))
        << log();
    EXPECT_TRUE(g_sound.playing);
    sound_stop();
    zesound_release();
    setenv("SDL_AUDIODRIVER", "disk", 1);
}

}  // namespace
