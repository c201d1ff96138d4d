// libFuzzer target for sound files and names: the first byte picks the
// name's ending, the rest is the file, opened and played for a moment on
// SDL's dummy audio driver. The bytes also go through the kind rule as a name.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include "timeup.h"
#include "zesound.h"

namespace {
std::string g_dir;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_dir = "/tmp/ze_fuzz_sound_" + std::to_string(getpid());
    std::string mk = "mkdir -p " + g_dir;
    return system(mk.c_str()) == 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string name((const char *)data, size);
    int kind = sound_kind(name.c_str());
    if (kind < 0 || kind > 3) abort();
    if (size == 0) return 0;
    // A MIDI synthesizer takes most of a second to start for each file, so
    // MIDI content stops at the name here; the sound test plays mutated MIDI.
    if (size >= 5 && memcmp(data + 1, "MThd", 4) == 0) return 0;
    if (size >= 13 && memcmp(data + 9, "RMID", 4) == 0) return 0;
    static const char *const kEndings[] = {".wav", ".mp3", ".mid", ".ogg"};
    std::string file = g_dir + "/sound" + kEndings[data[0] % 4];
    FILE *f = fopen(file.c_str(), "wb");
    if (!f) return 0;
    fwrite(data + 1, 1, size - 1, f);
    fclose(f);
    if (zesound_open_play(file.c_str())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the decoder runs on the mixer's thread
        zesound_close();
    } else if (!zesound_error()[0]) {
        abort();  // a refusal always says why
    }
    return 0;
}
