// The code table of the toolkit's fonts: which Unicode character a byte code
// 32-255 stands for. Shared by the font registry (system fonts) and the font
// generator (tools/mkfonts.cpp), so builtin and system fonts agree.
#pragma once

// 128-138: the line-drawing glyphs of the terminal's extended set.
// 139-159: Windows-1252 (0 where that table has no character).
static const unsigned short zefont_codes_128[32] = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,   // 128-135
    0x253C, 0x2534, 0x252C, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,   // 136-143
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 144-151
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,   // 152-159
};

// Unicode of a byte code; 0 when the code stands for nothing (controls, 127).
static inline int zefont_codepoint(int code) {
    if (code < 32 || code == 127 || code > 255) return 0;
    if (code >= 128 && code < 160) return zefont_codes_128[code - 128];
    return code;
}
