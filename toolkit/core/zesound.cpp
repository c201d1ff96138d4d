#include "zesound.h"
#include "zedl.h"
#include "zeevent.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef ZE_HAVE_SDLMIX
#include <SDL.h>
#include <SDL_mixer.h>
#endif
#ifdef ZE_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace {
std::string g_error;
#ifdef ZE_HAVE_SDLMIX
// SDL and its mixer (with the decoders it pulls in) are opened by the first
// sound, so a timer that never plays one maps none of them.
#define SDL_FNS(X)                                                                                        \
    X(SetHint, SDL_SetHint) X(InitSubSystem, SDL_InitSubSystem) X(QuitSubSystem, SDL_QuitSubSystem)       \
    X(GetError, SDL_GetError)
#define MIX_FNS(X)                                                                                        \
    X(Init, Mix_Init) X(OpenAudio, Mix_OpenAudio) X(CloseAudio, Mix_CloseAudio)                           \
    X(SetSoundFonts, Mix_SetSoundFonts) X(LoadMUS, Mix_LoadMUS) X(FreeMusic, Mix_FreeMusic)               \
    X(PlayMusic, Mix_PlayMusic) X(HaltMusic, Mix_HaltMusic) X(PlayingMusic, Mix_PlayingMusic)
struct SdlFns {
    SDL_FNS(ZEDL_MEMBER)
};
struct MixFns {
    MIX_FNS(ZEDL_MEMBER)
};
SdlFns sdl;
MixFns mix;
const char *const sdl_sonames[] = {"libSDL2-2.0.so.0", nullptr};
const char *const sdl_symbols[] = {SDL_FNS(ZEDL_NAME) nullptr};
zeDlLib sdl_lib = {"libSDL2", sdl_sonames, sdl_symbols, &sdl, sizeof sdl};
const char *const mix_sonames[] = {"libSDL2_mixer-2.0.so.0", nullptr};
const char *const mix_symbols[] = {MIX_FNS(ZEDL_NAME) nullptr};
zeDlLib mix_lib = {"libSDL2_mixer", mix_sonames, mix_symbols, &mix, sizeof mix};

Mix_Music *g_music = nullptr;
int g_audio = 0;  // 0 not tried, 1 open, -1 failed (not retried every sound)
std::string g_deviceError;  // why the device failed, for every later sound

// MIDI needs a General MIDI sound font; Debian installs them here.
const char *const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

void set_sound_font() {
    if (getenv("SDL_SOUNDFONTS")) return;  // the user's choice wins
    for (const char *f : kSoundFonts) {
        FILE *fp = fopen(f, "rb");
        if (!fp) continue;
        fclose(fp);
        mix.SetSoundFonts(f);
        return;
    }
}

unsigned le16(const unsigned char *p) { return p[0] | p[1] << 8; }
unsigned le32(const unsigned char *p) { return le16(p) | (unsigned)le16(p + 2) << 16; }

// A WAV file's format chunk, checked before SDL sees it: a rate in the
// gigahertz or thousands of channels make its converter ask for absurd
// amounts of memory. Other files pass; their decoders judge them.
bool wav_format_sane(FILE *fp, std::string *why) {
    unsigned char head[12], chunk[8], fmt[16];
    if (fread(head, 1, 12, fp) != 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0)
        return true;
    while (fread(chunk, 1, 8, fp) == 8) {
        unsigned size = le32(chunk + 4);
        if (memcmp(chunk, "fmt ", 4) != 0) {
            if (fseek(fp, (long)size + (size & 1), SEEK_CUR) != 0) return true;
            continue;
        }
        if (size < 16 || fread(fmt, 1, 16, fp) != 16) return true;  // the decoder refuses it
        unsigned channels = le16(fmt + 2), rate = le32(fmt + 4), bits = le16(fmt + 14);
        if (channels >= 1 && channels <= 8 && rate >= 1000 && rate <= 384000 && bits <= 64) return true;
        char text[100];
        snprintf(text, sizeof text, "unsupported WAV format (%u Hz, %u channels, %u bits)", rate, channels, bits);
        *why = text;
        return false;
    }
    return true;
}

bool audio_ready() {
    for (zeDlLib *lib : {&sdl_lib, &mix_lib})
        if (!zedl_load(lib)) {
            g_error = std::string("no audio device: ") + zedl_error(lib);
            return false;
        }
    if (g_audio == 1) return true;
    if (g_audio == -1) {
        g_error = g_deviceError;
        return false;
    }
    g_audio = -1;
    // The program's own SIGTERM/SIGINT handling must stay in charge.
    sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl.InitSubSystem(SDL_INIT_AUDIO) != 0) {
        g_error = g_deviceError = std::string("no audio device: ") + sdl.GetError();
        return false;
    }
    mix.Init(MIX_INIT_MP3 | MIX_INIT_MID);
    if (mix.OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
        g_error = g_deviceError = std::string("no audio device: ") + sdl.GetError();
        sdl.QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    set_sound_font();
    g_audio = 1;
    // The mixer's thread must be gone before the process tears down.
    static bool cleanupAdded = false;
    if (!cleanupAdded) zeonexit(zesound_release);
    cleanupAdded = true;
    return true;
}
#endif
}  // namespace

const char *zesound_error() { return g_error.c_str(); }

#ifdef ZE_HAVE_SDLMIX
bool zesound_open_play(const char *file) {
    zesound_close();
    g_error.clear();
    if (!file || !*file) {
        g_error = "no file";
        return false;
    }
    // A missing file is told apart before the device is opened, so the log
    // names the real cause on a machine without sound too.
    FILE *fp = fopen(file, "rb");
    if (!fp) {
        g_error = std::string("cannot open: ") + strerror(errno);
        return false;
    }
    std::string why;
    bool sane = wav_format_sane(fp, &why);
    fclose(fp);
    if (!sane) {
        g_error = "cannot decode: " + why;
        return false;
    }
    if (!audio_ready()) return false;
    g_music = mix.LoadMUS(file);
    if (!g_music) {
        g_error = std::string("cannot decode: ") + sdl.GetError();
        return false;
    }
    if (mix.PlayMusic(g_music, 1) != 0) {
        g_error = std::string("cannot play: ") + sdl.GetError();
        mix.FreeMusic(g_music);
        g_music = nullptr;
        return false;
    }
    return true;
}

void zesound_close() {
    if (!g_music) return;
    mix.HaltMusic();
    mix.FreeMusic(g_music);
    g_music = nullptr;
}

bool zesound_busy() { return g_music && mix.PlayingMusic(); }

void zesound_release() {
    zesound_close();
    if (g_audio == 1) {
        mix.CloseAudio();
        sdl.QuitSubSystem(SDL_INIT_AUDIO);
    }
    g_audio = 0;
}
#else
bool zesound_open_play(const char *) {
    g_error = "built without sound";
    return false;
}
void zesound_close() {}
bool zesound_busy() { return false; }
void zesound_release() {}
#endif

#ifdef ZE_HAVE_ALSA
namespace {
// The sound card's mixer, opened when a volume is first set.
#define ALSA_FNS(X)                                                                                       \
    X(lib_error_set_handler, snd_lib_error_set_handler) X(mixer_open, snd_mixer_open)                     \
    X(mixer_attach, snd_mixer_attach) X(mixer_load, snd_mixer_load) X(mixer_close, snd_mixer_close)       \
    X(mixer_first_elem, snd_mixer_first_elem) X(mixer_elem_next, snd_mixer_elem_next)                     \
    X(mixer_selem_register, snd_mixer_selem_register) X(mixer_selem_is_active, snd_mixer_selem_is_active) \
    X(mixer_selem_has_playback_volume, snd_mixer_selem_has_playback_volume)                               \
    X(mixer_selem_get_name, snd_mixer_selem_get_name)                                                     \
    X(mixer_selem_get_playback_volume_range, snd_mixer_selem_get_playback_volume_range)                   \
    X(mixer_selem_set_playback_volume_all, snd_mixer_selem_set_playback_volume_all)
struct AlsaFns {
    ALSA_FNS(ZEDL_MEMBER)
};
AlsaFns alsa;
const char *const alsa_sonames[] = {"libasound.so.2", nullptr};
const char *const alsa_symbols[] = {ALSA_FNS(ZEDL_NAME) nullptr};
zeDlLib alsa_lib = {"libasound", alsa_sonames, alsa_symbols, &alsa, sizeof alsa};

// Silences ALSA's own stderr chatter on machines without a card.
void quiet_alsa(const char *, int, const char *, int, const char *, ...) {}

snd_mixer_elem_t *volume_element(snd_mixer_t *mixer) {
    snd_mixer_elem_t *first = nullptr;
    for (snd_mixer_elem_t *e = alsa.mixer_first_elem(mixer); e; e = alsa.mixer_elem_next(e)) {
        if (!alsa.mixer_selem_is_active(e) || !alsa.mixer_selem_has_playback_volume(e)) continue;
        if (strcmp(alsa.mixer_selem_get_name(e), "Master") == 0) return e;
        if (!first) first = e;
    }
    return first;
}
}  // namespace

int zemixer_set_volume(int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    if (!zedl_load(&alsa_lib)) return 1;  // as without a mixer
    alsa.lib_error_set_handler(quiet_alsa);
    snd_mixer_t *mixer = nullptr;
    if (alsa.mixer_open(&mixer, 0) < 0) return 1;
    if (alsa.mixer_attach(mixer, "default") < 0 || alsa.mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        alsa.mixer_load(mixer) < 0) {
        alsa.mixer_close(mixer);
        return 1;
    }
    int rc = 0;
    long lo = 0, hi = 0;
    snd_mixer_elem_t *e = volume_element(mixer);
    if (!e)
        rc = 2;
    else if (alsa.mixer_selem_get_playback_volume_range(e, &lo, &hi) < 0 || hi <= lo)
        rc = 3;
    else if (alsa.mixer_selem_set_playback_volume_all(e, lo + (hi - lo) * percent / 100) < 0)
        rc = 4;
    alsa.mixer_close(mixer);
    return rc;
}
#else
int zemixer_set_volume(int) { return 1; }
#endif
