// The program's icon: two seven-segment digits, lit red over their dim
// unlit segments, on a dark rounded face. One picture for every use (the
// icon files of the desktop, the windows' icon, the tray icon), drawn at any
// size so that each is sharp.
#pragma once
#include <cstdint>

enum { ZEICON_MIN = 8, ZEICON_MAX = 1024 };

// Draws the icon into size x size pixels 0xAARRGGBB (rows top down; the
// rounded corners transparent). False for a size outside 8..1024.
bool zeicon_draw(uint32_t *pixels, int size);
// The same over an opaque background colour 0x00RRGGBB (for targets without
// transparency); the alpha byte of every pixel is 0xFF.
bool zeicon_draw_over(uint32_t *pixels, int size, uint32_t background);
