// Input rules both backends share: the key messages that a key press becomes
// (modifiers, clipboard shortcuts, Alt+F4) and double-click detection.
#pragma once
#include "zeplatform.h"

// Key codes of the keys that have one (typed characters use their own code).
enum {
    ZEK_TAB = 9, ZEK_ENTER = 10, ZEK_ESCAPE = 27, ZEK_SPACE = 32,
    ZEK_LEFT = 301, ZEK_RIGHT, ZEK_UP, ZEK_DOWN,
    ZEK_F1 = 305, ZEK_F4 = 308, ZEK_F5 = 309, ZEK_F12 = 316,
    ZEK_INSERT = 317, ZEK_CTRL, ZEK_SHIFT, ZEK_HOME, ZEK_END, ZEK_DELETE,
    ZEK_PAGEUP, ZEK_PAGEDOWN, ZEK_ALT,
};

// Modifier bits of the shared modifier state.
enum { ZEMOD_SHIFT = 1, ZEMOD_ALT = 2, ZEMOD_CTRL = 4 };

// Delivers one key event to a window: code is the key code (0 when the key has
// none), ch the character it types (0 none; only looked at on a press).
void zeinput_key(zeNativeSink sink, void *owner, int code, int ch, bool down);
// Focus moved: modifiers held so far no longer count.
void zeinput_reset_modifiers(void);
int zeinput_modifiers(void);

// Double clicks: a press of the same button within 500 ms and 4 pixels of the
// previous press is a double click (the one after it is a plain press again).
// button 0 left, 1 middle, 2 right; returns the message to send
// (2004/2007/2010 press, 2006/2009/2012 double click).
int zeinput_press(int button, unsigned time_ms, int screen_x, int screen_y);
