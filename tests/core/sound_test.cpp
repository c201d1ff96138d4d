// The media player on SDL's disk audio driver: what a sound file produces
// lands in a raw file (44100 Hz, stereo, 16 bit), so its loudness and length
// can be measured without a sound card. Bad files fail with a reason.
#include "zesound.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string g_out;

std::string sounds_dir() {
    const char *d = getenv("ZE_PROGRAM_DIR");
    return std::string(d ? d : ".") + "/sounds";
}

void write(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class Sound : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_out = "/tmp/ze_sound_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", g_out.c_str(), 1);
    }
    static void TearDownTestSuite() { unlink(g_out.c_str()); }
    void TearDown() override { zesound_release(); }

    // Plays file to its end (or for at most limit seconds) and returns the seconds from the first to the
    // last audible sample, or -1 when it did not play.
    double audible_seconds(const std::string &file, int limit = 8) {
        if (!zesound_open_play(file.c_str())) {
            ADD_FAILURE() << file << ": " << zesound_error();
            return -1;
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(limit);
        while (zesound_busy() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (limit == 8) EXPECT_FALSE(zesound_busy()) << file << " still playing after 8 s";
        zesound_release();  // flushes the disk file
        std::ifstream in(g_out, std::ios::binary);
        std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int16_t *s = (const int16_t *)raw.data();
        long n = (long)raw.size() / 2, first = -1, last = -1;
        for (long i = 0; i < n; i++)
            if (abs(s[i]) > 64) {
                if (first < 0) first = i;
                last = i;
            }
        if (first < 0) return 0;
        return (last - first) / 2.0 / 44100.0;
    }
};

TEST_F(Sound, StockWaveAndMidiPlayAudibleForTheirLength) {
    // beep.wav: 0.4 s; melody.mid: notes from the start, still sounding after
    // the first two of its six half-second notes.
    EXPECT_NEAR(0.4, audible_seconds(sounds_dir() + "/beep.wav"), 0.06);
    EXPECT_GT(audible_seconds(sounds_dir() + "/melody.mid", 2), 1.0);
}

TEST_F(Sound, ASecondSoundReplacesTheFirstAndCloseStopsAtOnce) {
    std::string chime = sounds_dir() + "/chime.wav";
    ASSERT_TRUE(zesound_open_play(chime.c_str())) << zesound_error();
    ASSERT_TRUE(zesound_open_play(chime.c_str())) << zesound_error();
    EXPECT_TRUE(zesound_busy());
    zesound_close();
    EXPECT_FALSE(zesound_busy());
    zesound_close();  // twice is harmless
}

TEST_F(Sound, BadFilesFailWithAReason) {
    std::string dir = "/tmp/ze_sound_bad_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    write(dir + "/empty.wav", "");
    write(dir + "/corrupt.wav", std::string("RIFF\xff\xff\xff\x7fWAVEfmt \x10\0\0\0", 20) + std::string(300, '\x5a'));
    write(dir + "/noise.mid", std::string(4000, '\x90'));
    struct {
        std::string file;
        const char *reason;
    } cases[] = {
        {dir + "/missing.wav", "cannot open"},
        {dir + "/empty.wav", "cannot decode"},
        {dir + "/corrupt.wav", "cannot decode"},
        {dir, "cannot decode"},  // a folder
        {"", "no file"},
    };
    for (auto &c : cases) {
        EXPECT_FALSE(zesound_open_play(c.file.c_str())) << c.file;
        EXPECT_NE(nullptr, strstr(zesound_error(), c.reason)) << c.file << ": " << zesound_error();
        EXPECT_FALSE(zesound_busy());
    }
    for (const char *f : {"/empty.wav", "/corrupt.wav", "/noise.mid"}) unlink((dir + f).c_str());
    rmdir(dir.c_str());
}

TEST_F(Sound, NoAudioDeviceIsAFailureNotAHang) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto t0 = std::chrono::steady_clock::now();
    std::string beep = sounds_dir() + "/beep.wav";
    EXPECT_FALSE(zesound_open_play(beep.c_str()));
    EXPECT_NE(nullptr, strstr(zesound_error(), "no audio device")) << zesound_error();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    setenv("SDL_AUDIODRIVER", "disk", 1);
}

}  // namespace
