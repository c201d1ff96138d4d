#include "timeup.h"

#include <cstring>

#include "app.h"
#include "app_paths.h"
#include "zepage.h"
#include "zeshell.h"
#include "zesound.h"
#include "zeview.h"
#include "zewindow.h"

SoundState g_sound;

namespace {
zeWindow *g_messageWindow = nullptr;
zeGUIScript *g_messagePage = nullptr;

const char *const kMessageWindow =
    "QUIMO,x=50%,y=50%,xs=300,ys=200,bgcolor=40b800,nosysmenu,nosizemenu,noclose,noquit,modal";
// The message text goes in as an argument, so a "%" in it is shown as typed.
const char *const kMessagePage =
    "<font=arial18>%s\n<y=140><hline><yinc=8><button=btOK,OK,x=50%%,xs=100,default>";

void close_audio() {
    zesound_close();
    set_master_volume(g_sound.volume);
}

void open_message_window() {
    zeView *previous = zeview_standard();
    g_messageWindow = new zeWindow;
    if (!zewindow_open(g_messageWindow, "%s", kMessageWindow)) {
        write_log("message window failed");
        delete g_messageWindow;
        g_messageWindow = nullptr;
        return;
    }
    // The page lays out into the message window, whatever was standard before.
    if (zeView *own = zeview_of_window(g_messageWindow)) zeview_make_standard(own);
    g_messagePage = new zeGUIScript;
    zepage_buildf(g_messagePage, kMessagePage, (const char *)g_settings.messageText);
    // Controls made later (the settings window's) belong where they did before.
    if (g_app.settingsWindowOpen && previous) zeview_make_standard(previous);
}

void close_message_window() {
    if (g_messagePage) {
        zepage_clear(g_messagePage);
        zepage_destroy(g_messagePage, 1);
        g_messagePage = nullptr;
    }
    delete g_messageWindow;  // closes it
    g_messageWindow = nullptr;
}

void start_program() {
    write_log("start program %s", g_settings.programPath);
    if (!zeshell_run("%s", g_settings.programPath)) write_log("program failed: %s", g_settings.programPath);
}
}  // namespace

ZE_HOT bool timeup_active() { return g_app.timeUpCountdown != 0 || g_sound.playing; }
bool timeup_message_open() { return g_messageWindow != nullptr; }
zeGUIScript *timeup_message_page() { return g_messagePage; }

void timeup_run_actions() {
    write_log("stopped");
    if (g_settings.actionSound && g_settings.soundFile[0]) sound_play(g_settings.soundFile);
    if (g_settings.actionProgram && g_settings.programPath[0]) start_program();
    if (g_settings.actionMessage && !g_messageWindow) open_message_window();
}

ZE_HOT bool timeup_message_ok(int id) {
    if (!g_messagePage || !zepage_is_event(g_messagePage, id, "btOK")) return false;
    close_message_window();
    return true;
}

int sound_kind(const char *path) {
    static const char *const kExtensions[] = {".wav", ".mp3", ".mid"};
    int kind = 0;
    if (!path) return 0;
    for (int i = 0; i < 3; i++)
        if (strstr(path, kExtensions[i])) kind = i + 1;
    return kind;
}

void sound_play(const char *name) {
    char found[APP_PATH_MAX + 300];
    const char *path = app_user_or_data_path(name, found, sizeof found);
    if (g_sound.playing) {
        write_log("sound still playing, stop sound");
        close_audio();
    }
    g_sound.kind = sound_kind(path);
    if (g_sound.kind == 0) {
        write_log("invalid sound: %s", path);
        return;
    }
    g_sound.volume = 100;
    g_sound.playing = true;
    set_master_volume(100);
    // A sound that cannot be played still counts down its duration, so the
    // state is the same with or without a sound device.
    if (!zesound_open_play(path)) write_log("sound error: %s: %s", path, zesound_error());
    g_sound.ticks = 0;
    g_sound.duration = 10000;
    write_log("play %s volume=%d", path, g_sound.volume);
    // Pending events are kept: opening a sound does not block here, so there
    // is no backlog to throw away, and a click or close request must not be lost.
}

void sound_stop() {
    if (g_sound.playing) close_audio();
}

ZE_HOT void sound_tick() {
    if (!g_sound.playing) return;
    g_sound.ticks += 1;
    if (g_sound.ticks < g_sound.duration) return;
    close_audio();
    g_sound.playing = false;
    write_log("sound finished");
}

void sound_reset() {
    write_log("PlaySoundInit");
    g_sound.playing = false;
}

void set_master_volume(int percent) {
    int rc = zemixer_set_volume(percent);
    if (rc) write_log("SetMixerVolume error %d", rc);
}
