// Input rules both backends share: the key messages that a key press becomes
// (modifiers, clipboard shortcuts, Alt+F4) and double-click detection.
#pragma once
#include "zeevent.h"
#include "zeplatform.h"

// Delivers one key event to a window: code is the key code (0 when the key has
// none), ch the character it types (0 none; only looked at on a press).
void zeinput_key(zeNativeSink sink, void *owner, int code, int ch, bool down);
// Focus moved: modifiers held so far no longer count.
void zeinput_reset_modifiers(void);
int zeinput_modifiers(void);   // ZEMOD_* bits

// Double clicks: a press of the same button within 500 ms and 4 pixels of the
// previous press is a double click (the one after it is a plain press again).
// button 0 left, 1 middle, 2 right; returns the message to send
// (2004/2007/2010 press, 2006/2009/2012 double click).
int zeinput_press(int button, unsigned time_ms, int screen_x, int screen_y);
