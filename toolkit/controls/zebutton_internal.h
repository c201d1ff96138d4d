// What the button kinds share between their files.
#pragma once
#include "zecontrol.h"

int zebutton_brighter(int c, int delta);
// The caption offset of a push button of c's size.
void zebutton_caption_pos(const zeControl *c, const char *caption, int *x, int *y);
bool zebutton_hotkey_matches(int hotkey, int key);
