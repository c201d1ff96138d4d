// The toolkit's colour scheme: eleven colours every control copies at
// creation. "standard" takes them from the platform where it has them;
// "grey" uses fixed values. One saved copy lets a dialog borrow the scheme.
#pragma once

enum {
    ZECOL_GREY = 0,
    ZECOL_LIGHT = 1,
    ZECOL_DARK = 2,
    ZECOL_WHITE = 3,
    ZECOL_BLACK = 4,
    ZECOL_TEXTSEL = 5,
    ZECOL_TEXT = 6,
    ZECOL_TEXTGREY = 7,
    ZECOL_DARKC0 = 8,
    ZECOL_BLUE = 9,
    ZECOL_VERYLIGHT = 10,
    ZECOL_COUNT = 11,
};

// "standard" (reload from the platform) or "grey" (fixed values; textsel and
// blue keep their platform rule). False for another name, scheme unchanged.
bool zescheme_select(const char *name);
// A scheme colour; -1 for an index outside 0-10.
int zescheme_color(int index);
// A scheme colour by name ("grey", "light", ... "verylight"); -1 when unknown.
int zescheme_byname(const char *name);
// Index of a scheme colour name, -1 when unknown.
int zescheme_index(const char *name);
void zescheme_set(int index, int color);
// Copies the whole scheme (ZECOL_COUNT entries).
void zescheme_copy(int *out);
// One saved copy.
void zescheme_save(void);
void zescheme_restore(void);
