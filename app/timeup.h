// What happens at time-up: the sound, the program and the message window,
// and the sound player state shared with the settings window's sound test.
#pragma once

// Sound state: one sound at a time; playing lasts until duration action
// ticks have passed (or OK/close stops the audio earlier).
struct SoundState {
    bool playing = false;
    int kind = 0;        // 1 ".wav", 2 ".mp3", 3 ".mid" (the last match wins); 0 not playable
    int volume = 100;    // percent, full at every start
    int ticks = 0;       // action ticks since the start
    int duration = 10000;
};
extern SoundState g_sound;

// True while the action tick has work: a time-up countdown runs or a sound
// is playing (up to its 1000-second duration, whether or not it is still
// audible). Otherwise the action tick may be left out.
bool timeup_active();
// Runs the enabled actions: sound, then program, then the message window
// (one at a time).
void timeup_run_actions();
// True when id is the message window's "btOK": the window is closed then
// (the caller stops the sound).
bool timeup_message_ok(int id);
// True while the message window is open.
bool timeup_message_open();
// The message window's page while it is open, else null.
struct zeGUIScript;
zeGUIScript *timeup_message_page();

int sound_kind(const char *path);
void sound_play(const char *path);
void sound_stop();
void sound_tick();
void sound_reset();          // writes log "PlaySoundInit"
void set_master_volume(int percent);
