// The colour scheme. Entries the platform does not provide take the default.
#include "zescheme.h"
#include "zemetrics.h"
#include <cstring>
#include <strings.h>

static const char *const kNames[ZECOL_COUNT] = {"grey", "light", "dark", "white", "black", "textsel",
                                                "text", "textgrey", "darkc0", "blue", "verylight"};
static const int kDefaults[ZECOL_COUNT] = {0xD0D0D0, 0xE0E0E0, 0x808080, 0xFFFFFF, 0x000000, 0x000000,
                                           0x000000, 0x787878, 0xC0C0C0, 0xC0D8FF, 0xF0F0F0};

static int g_scheme[ZECOL_COUNT];
static int g_saved[ZECOL_COUNT];
static bool g_loaded, g_hassaved;

static int platform_or(const char *name, int def) {
    int c = zesyscolor(name);
    return c < 0 ? def : c;
}

static int brighter(int c, int delta) {
    int r = ((c >> 16) & 255) + delta, g = ((c >> 8) & 255) + delta, b = (c & 255) + delta;
    if (r > 255) r = 255;
    if (g > 255) g = 255;
    if (b > 255) b = 255;
    return (r << 16) | (g << 8) | b;
}

static void load_standard(void) {
    int face = zesyscolor("grey");
    memcpy(g_scheme, kDefaults, sizeof g_scheme);
    if (face >= 0) {
        g_scheme[ZECOL_GREY] = face;
        g_scheme[ZECOL_LIGHT] = brighter(face, 16);
        g_scheme[ZECOL_VERYLIGHT] = brighter(face, 32);
    }
    g_scheme[ZECOL_DARK] = platform_or("dark", kDefaults[ZECOL_DARK]);
    g_scheme[ZECOL_TEXTSEL] = platform_or("textsel", kDefaults[ZECOL_TEXTSEL]);
    g_scheme[ZECOL_TEXT] = platform_or("text", kDefaults[ZECOL_TEXT]);
    g_scheme[ZECOL_TEXTGREY] = platform_or("textgrey", kDefaults[ZECOL_TEXTGREY]);
    g_scheme[ZECOL_BLUE] = platform_or("blue", kDefaults[ZECOL_BLUE]);
    g_loaded = true;
}

static void ensure(void) {
    if (!g_loaded) load_standard();
}

bool zescheme_select(const char *name) {
    if (!name) return false;
    if (strcasecmp(name, "standard") == 0) {
        load_standard();
        return true;
    }
    if (strcasecmp(name, "grey") != 0 && strcasecmp(name, "gray") != 0) return false;
    memcpy(g_scheme, kDefaults, sizeof g_scheme);
    g_scheme[ZECOL_TEXTSEL] = platform_or("textsel", kDefaults[ZECOL_TEXTSEL]);
    g_scheme[ZECOL_BLUE] = platform_or("blue", kDefaults[ZECOL_BLUE]);
    g_loaded = true;
    return true;
}

int zescheme_color(int index) {
    if (index < 0 || index >= ZECOL_COUNT) return -1;
    ensure();
    return g_scheme[index];
}

int zescheme_index(const char *name) {
    if (!name) return -1;
    for (int i = 0; i < ZECOL_COUNT; i++)
        if (strcasecmp(kNames[i], name) == 0) return i;
    return -1;
}

int zescheme_byname(const char *name) { return zescheme_color(zescheme_index(name)); }

void zescheme_set(int index, int color) {
    if (index < 0 || index >= ZECOL_COUNT) return;
    ensure();
    g_scheme[index] = color;
}

void zescheme_copy(int *out) {
    ensure();
    memcpy(out, g_scheme, sizeof g_scheme);
}

void zescheme_save(void) {
    ensure();
    memcpy(g_saved, g_scheme, sizeof g_saved);
    g_hassaved = true;
}

void zescheme_restore(void) {
    if (g_hassaved) memcpy(g_scheme, g_saved, sizeof g_scheme);
}
