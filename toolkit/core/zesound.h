// The media player: one sound at a time under one handle, and the master
// output volume. Sounds go through SDL2_mixer, the volume through the ALSA
// mixer. A machine without a sound device gets failures back, never a hang.
#pragma once

// Opens file and starts playing it (WAV, MP3 or MIDI, told apart by content).
// Whatever played before is closed first. False when there is no audio device
// or the file cannot be read or decoded; zesound_error() then says why.
bool zesound_open_play(const char *file);
// Stops and forgets the sound at once; nothing when none is open.
void zesound_close();
// True while the open sound still produces audio.
bool zesound_busy();
// Closes the sound and the audio device (at exit; the next sound opens it
// again).
void zesound_release();
// Why the last zesound_open_play failed (never null).
const char *zesound_error();

// Sets the master playback volume (all channels) to percent 0..100: the
// "Master" control, else the first playback volume control of the default
// card. 0 on success, else the failed step: 1 no mixer, 2 no playback
// control, 3 no volume range, 4 setting refused.
int zemixer_set_volume(int percent);
