// The media player on SDL's disk audio driver: what a sound file produces
// lands in a raw file (44100 Hz, stereo, 16 bit), so its loudness and length
// can be measured without a sound card. The driver is told to run faster than
// real time, so a three-second melody takes a fraction of that. Bad files
// fail with a reason and never bring the player down.
#include "zedl.h"
#include "zesound.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string g_out;

std::string sounds_dir() {
    const char *d = getenv("ZE_PROGRAM_DIR");
    return std::string(d ? d : ".") + "/sounds";
}

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write(const std::string &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void wait_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// What the device wrote: peak level and the seconds from the first to the
// last sample above a tenth of the peak (a note's faint tail is not counted).
struct Loudness {
    int peak = 0;
    double seconds = 0;
    double total = 0;  // all audio written, silence included
};

Loudness measure() {
    std::string raw = slurp(g_out);
    const int16_t *s = (const int16_t *)raw.data();
    long n = (long)raw.size() / 2, first = -1, last = -1;
    Loudness l;
    l.total = n / 2.0 / 44100.0;
    for (long i = 0; i < n; i++) l.peak = std::max(l.peak, abs((int)s[i]));
    for (long i = 0; i < n; i++)
        if (abs((int)s[i]) * 10 > l.peak) {
            if (first < 0) first = i;
            last = i;
        }
    if (first >= 0) l.seconds = (last - first) / 2.0 / 44100.0;
    return l;
}

class Sound : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_out = "/tmp/ze_sound_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", g_out.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "4", 1);  // one 46 ms buffer every 4 ms
    }
    static void TearDownTestSuite() { unlink(g_out.c_str()); }
    void TearDown() override { zesound_release(); }

    // Plays file to its end and measures what came out.
    Loudness play_through(const std::string &file) {
        if (!zesound_open_play(file.c_str())) {
            ADD_FAILURE() << file << ": " << zesound_error();
            return {};
        }
        auto until = Clock::now() + std::chrono::seconds(20);
        while (zesound_busy() && Clock::now() < until) wait_ms(5);
        EXPECT_FALSE(zesound_busy()) << file << " never ended";
        zesound_release();  // flushes the disk file
        return measure();
    }
};

TEST_F(Sound, StockSoundsAreAudibleForTheirLength) {
    struct {
        const char *name;
        double seconds, slack;
    } cases[] = {
        {"beep.wav", 0.4, 0.05},    // one decaying tone
        {"alarm.mp3", 1.0, 0.08},   // four two-tone calls
        {"melody.mid", 3.0, 0.3},   // six half-second notes through the sound font
        {"chime.wav", 1.35, 0.15},  // three bells; the last falls under a tenth 0.75 s after it starts
    };
    for (auto &c : cases) {
        std::string file = sounds_dir() + "/" + c.name;
        if (access(file.c_str(), R_OK) != 0 && strstr(c.name, ".mp3")) {
            printf("no %s (built without an MP3 encoder)\n", c.name);
            continue;
        }
        Loudness l = play_through(file);
        EXPECT_GT(l.peak, 4000) << c.name << " is (nearly) silent";
        EXPECT_NEAR(c.seconds, l.seconds, c.slack) << c.name;
    }
}

TEST_F(Sound, OneSoundAtATimeAndCloseStopsAtOnce) {
    std::string chime = sounds_dir() + "/chime.wav";
    ASSERT_TRUE(zesound_open_play(chime.c_str())) << zesound_error();
    ASSERT_TRUE(zesound_open_play(chime.c_str())) << zesound_error();
    EXPECT_TRUE(zesound_busy());
    zesound_close();
    EXPECT_FALSE(zesound_busy());
    zesound_close();  // twice is harmless
    // The device goes on for about two seconds of audio: silence, because the
    // chime (two seconds long) was cut when it was closed.
    auto until = Clock::now() + std::chrono::seconds(5);
    while (measure().total < 2.5 && Clock::now() < until) wait_ms(20);
    zesound_release();
    Loudness l = measure();
    EXPECT_GT(l.total, 2.2);
    EXPECT_LT(l.seconds, 0.6) << "the chime went on after close";
}

TEST_F(Sound, BadFilesFailWithAReason) {
    std::string dir = "/tmp/ze_sound_bad_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    write(dir + "/empty.wav", "");
    write(dir + "/empty.mp3", "");
    write(dir + "/corrupt.wav", std::string("RIFF\xff\xff\xff\x7fWAVEfmt \x10\0\0\0", 20) + std::string(300, '\x5a'));
    write(dir + "/text.mp3", "just some words, no frames at all");
    // A rate of 1.8 GHz: SDL's converter would ask for memory beyond size_t.
    std::string fast = slurp(sounds_dir() + "/beep.wav");
    fast.replace(24, 4, std::string("\x00\x22\x2e\x6d", 4));
    write(dir + "/fast.wav", fast);
    struct {
        std::string file;
        const char *reason;
    } cases[] = {
        {dir + "/missing.wav", "cannot open"},
        {dir + "/empty.wav", "cannot decode"},
        {dir + "/empty.mp3", "cannot decode"},
        {dir + "/corrupt.wav", "cannot decode"},
        {dir + "/text.mp3", "cannot decode"},
        {dir + "/fast.wav", "unsupported WAV format (1831739904 Hz, 1 channels, 16 bits)"},
        {dir, "cannot decode"},  // a folder
        {"", "no file"},
    };
    for (auto &c : cases) {
        EXPECT_FALSE(zesound_open_play(c.file.c_str())) << c.file;
        EXPECT_NE(nullptr, strstr(zesound_error(), c.reason)) << c.file << ": " << zesound_error();
        EXPECT_FALSE(zesound_busy());
    }
    system(("rm -rf " + dir).c_str());
}

// Stock files with bytes flipped, cut short or repeated: each is opened and
// played for a moment. Whatever the decoder makes of it, nothing crashes,
// and a refusal says why.
TEST_F(Sound, MutatedSoundFilesNeverCrashThePlayer) {
    std::string dir = "/tmp/ze_sound_mut_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    std::mt19937 rng(16);
    // MIDI sparingly: every MIDI file loads the whole sound font.
    std::vector<std::string> names = {"beep.wav", "alarm.mp3", "beep.wav", "alarm.mp3", "beep.wav",
                                      "alarm.mp3", "beep.wav", "alarm.mp3", "melody.mid"};
    int opened = 0, refused = 0;
    for (int round = 0; round < 108; round++) {
        const std::string &name = names[round % names.size()];
        std::string bytes = slurp(sounds_dir() + "/" + name);
        if (bytes.empty()) continue;  // no stock MP3 in this build
        if (name == "beep.wav") bytes.resize(4000);  // the header and a bit of audio are enough
        int edits = 1 + (int)(rng() % 8);
        for (int e = 0; e < edits && !bytes.empty(); e++) {
            size_t at = rng() % std::min<size_t>(bytes.size(), 200);  // headers live at the front
            switch (rng() % 4) {
            case 0: bytes[at] = (char)rng(); break;
            case 1: bytes.resize(at); break;
            case 2: bytes.insert(at, bytes.substr(at, rng() % 64)); break;
            default: bytes[at] = (char)0xff; break;
            }
        }
        std::string file = dir + "/m" + name;
        write(file, bytes);
        if (zesound_open_play(file.c_str())) {
            opened++;
            wait_ms(3);  // the decoder runs on the mixer's thread
            zesound_close();
        } else {
            refused++;
            EXPECT_NE('\0', zesound_error()[0]);
        }
    }
    printf("mutated sounds: %d played, %d refused\n", opened, refused);
    EXPECT_GT(opened + refused, 0);
    system(("rm -rf " + dir).c_str());
}

TEST_F(Sound, NoAudioDeviceIsAQuickFailureEveryTime) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::string beep = sounds_dir() + "/beep.wav";
    auto t0 = Clock::now();
    for (int i = 0; i < 3; i++) {
        EXPECT_FALSE(zesound_open_play(beep.c_str()));
        EXPECT_NE(nullptr, strstr(zesound_error(), "no audio device")) << i << ": " << zesound_error();
    }
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(2));
    setenv("SDL_AUDIODRIVER", "disk", 1);
}

TEST_F(Sound, WithoutSdlOrItsMixerSoundsFailUntilTheLibraryIsBack) {
    std::string beep = sounds_dir() + "/beep.wav";
    for (const char *lib : {"libSDL2_mixer", "libSDL2"}) {
        zedl_forbid(lib);
        EXPECT_FALSE(zesound_open_play(beep.c_str())) << lib;
        EXPECT_EQ("no audio device: " + std::string(lib) + " not available (switched off)", zesound_error());
        EXPECT_FALSE(zesound_busy());
        zesound_close();
        zesound_release();
        zedl_forbid(nullptr);
        EXPECT_GT(play_through(beep).peak, 1000) << "after " << lib;
    }
}

TEST(Mixer, NoMixerIsStepOne) {
    // The tests' ALSA configuration has no devices: a machine without a
    // sound card (and a real card's volume is left alone).
    ASSERT_NE(nullptr, getenv("ALSA_CONFIG_PATH"));
    EXPECT_EQ(1, zemixer_set_volume(100));
    EXPECT_EQ(1, zemixer_set_volume(-5));
    zedl_forbid("libasound");   // as without a sound card, not a crash
    EXPECT_EQ(1, zemixer_set_volume(50));
    zedl_forbid(nullptr);
}

}  // namespace
