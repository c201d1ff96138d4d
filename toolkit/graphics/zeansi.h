// zeAnsiDecoder: turns a byte stream with terminal escape sequences into
// (command, argument) items for the terminal control. Bytes go in one at a
// time; the items wait in a ring of 48 until the terminal takes them out.
#pragma once

enum {
    ZEANSI_RING = 48,     // pending items
    ZEANSI_SEQMAX = 52,   // characters of one escape sequence
    ZEANSI_MAXITEMS = 27, // most items one byte can produce
};

// Items. Arguments: the character for PRINT, the count or position as
// written (1 when absent) for moves and positions, the colour n - 30 or
// n - 40, the number itself for the attribute items, 1 set / 0 reset for modes.
enum {
    ZEANSI_PRINT = 1,
    ZEANSI_RESET = 2,            // "m" with no parameter or 0 first
    ZEANSI_FOREGROUND = 3,       // 30-38
    ZEANSI_BACKGROUND = 4,       // 40-48
    ZEANSI_ATTR_OFF = 5,         // 0 after the first parameter
    ZEANSI_BOLD = 6,             // 1
    ZEANSI_FOREGROUND_DEFAULT = 7,  // 39
    ZEANSI_BACKGROUND_DEFAULT = 8,  // 49
    ZEANSI_REVERSE = 9,          // 7 or 27
    ZEANSI_ERASE_EOL = 10,
    ZEANSI_ERASE_SOL = 11,
    ZEANSI_ERASE_LINE = 12,
    ZEANSI_ERASE_EOS = 13,
    ZEANSI_ERASE_SCREEN = 14,
    ZEANSI_COLUMN = 15,
    ZEANSI_ROW = 16,
    ZEANSI_AUTOWRAP = 17,
    ZEANSI_CURSOR_VISIBLE = 18,
    ZEANSI_CURSOR_KEYS = 19,
    ZEANSI_INSERT_MODE = 20,
    ZEANSI_SAVE_CURSOR = 21,
    ZEANSI_RESTORE_CURSOR = 22,
    ZEANSI_RIGHT = 23,
    ZEANSI_LEFT = 24,
    ZEANSI_UP = 25,
    ZEANSI_DOWN = 26,
    ZEANSI_ERASE_CHARS = 27,
    ZEANSI_INSERT_CHARS = 28,
    ZEANSI_DELETE_CHARS = 29,
};

struct zeAnsiDecoder {
    char seq[ZEANSI_SEQMAX + 1];   // the sequence after ESC being collected
    int seqlen;
    bool collecting;
    bool shiftout;                 // alternate (line-drawing) character set
    bool linechars;                // map to the fonts' line-drawing glyphs 128-138
    bool osc;                      // inside an operating-system command (skipped)
    int cmd[ZEANSI_RING], arg[ZEANSI_RING];
    int head, count;
};

void zeansi_init(zeAnsiDecoder *d);
// With the flag set, line-drawing letters become the glyphs 128-138, else "+", "-", "|".
void zeansi_set_linechars(zeAnsiDecoder *d, bool on);
// Decodes one byte. Items beyond a full ring are dropped.
void zeansi_put(zeAnsiDecoder *d, int byte);
// Decodes bytes while the ring has room for what one byte can produce;
// returns how many were taken (take items out, then feed the rest).
int zeansi_feed(zeAnsiDecoder *d, const char *bytes, int n);
// Takes the oldest item; false when none waits.
bool zeansi_get(zeAnsiDecoder *d, int *cmd, int *arg);
int zeansi_pending(const zeAnsiDecoder *d);
