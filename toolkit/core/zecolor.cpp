// Colour values of option strings and the colour families.
#include "zecolor.h"
#include "zecfgstr.h"
#include <cstdint>
#include <cstring>

struct ColorName {
    const char *name;
    int value;
};

static const ColorName color_names[] = {
    {"none", -1},           {"off", -1},
    {"black", 0x000000},    {"blue", 0x000080},
    {"green", 0x008000},    {"cyan", 0x008080},
    {"red", 0x800000},      {"magenta", 0x800080},
    {"brown", 0x808000},    {"lightgrey", 0xC0C0C0},
    {"darkgrey", 0x808080}, {"lightblue", 0x0000FF},
    {"lightgreen", 0x00FF00}, {"lightcyan", 0x00FFFF},
    {"lightred", 0xFF0000}, {"lightmagenta", 0xFF00FF},
    {"yellow", 0xFFFF00},   {"white", 0xFFFFFF},
    {"transparent", 0x0000FF}, {"grey", 0xD0D0D0},
};

bool zecolor_byname(const char *name, int *color) {
    for (const ColorName &c : color_names) {
        if (!zecfgstr_is(name, c.name)) continue;
        if (color) *color = c.value;
        return true;
    }
    return false;
}

static int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads up to 8 hex digits from s. whole: the text must end after them.
// Returns false when there is no digit, more than 8, or (whole) other text.
static bool read_hex(const char *s, bool whole, int *color) {
    uint32_t v = 0;
    int n = 0;
    for (; hexdigit(*s) >= 0; s++, n++) {
        if (n == 8) return false; // no 32-bit colour has more digits
        v = v * 16 + (uint32_t)hexdigit(*s);
    }
    if (n == 0 || (whole && *s)) return false;
    *color = (int)v;
    return true;
}

bool zecfgstr_color(const char *text, int *color) {
    if (!text || !color) return false;
    const char *v = strchr(text, '=') ? strchr(text, '=') + 1 : text;
    char value[ZECFGSTR_ENTRYMAX + 1];
    zecfgstr_squeeze(v, value, sizeof value);
    if (!value[0]) return false;
    if (zecfgstr_key(value, "0x")) return read_hex(value + 2, false, color);
    if (zecolor_byname(value, color)) return true;
    return read_hex(value, true, color);
}

// A colour family: the keys of one table row; the last valid value wins.
struct ColorFamily {
    int color;
    bool given;
};

static void set_family_color(void *rec, const char *value, const char *) {
    ColorFamily *f = (ColorFamily *)rec;
    if (zecfgstr_color(value, &f->color)) f->given = true;
}

static bool color_family(char **entries, int start, const char *keys, int *color) {
    const zeCfgKey table[] = {
        {keys, ZECFG_CALL, 0, 0, set_family_color},
        {nullptr},
    };
    ColorFamily f = {color ? *color : -1, false};
    zecfgstr_match(entries, start, table, &f);
    if (f.given && color) *color = f.color;
    return f.given;
}

bool zecfgstr_bgcolor(char **entries, int start, int *color) {
    return color_family(entries, start, "bgcol=|bgcolor=|backgroundcolor=|background=", color);
}

bool zecfgstr_textcolor(char **entries, int start, int *color) {
    return color_family(entries, start, "color=|col=|txtcol=|textcol=|textcolor=", color);
}

bool zecfgstr_transcolor(char **entries, int start, int *color) {
    return color_family(entries, start, "transcolor=|transparentcol=|transparentcolor=", color);
}

bool zecfgstr_highlightcolor(char **entries, int start, int *color) {
    return color_family(entries, start, "highlightcolor=", color);
}

bool zecfgstr_activecolor(char **entries, int start, int *color) {
    return color_family(entries, start, "activecolor=", color);
}
