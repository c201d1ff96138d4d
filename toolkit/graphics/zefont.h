// Fonts and text: one table of bitmap fonts. The eleven builtin fonts and the
// Arial and crnew sets are compiled into the toolkit as font descriptions;
// system fonts are rasterised once through fontconfig and FreeType into the
// same one-byte-per-pixel form, so drawing a character is a loop over bytes
// and measuring text only sums table entries.
//
// A font argument is resolved the same way by every operation: -1 and -3 mean
// "builtin 6x13", -2 "builtin variable 13" (each loaded on first use), a value
// above 999999 is a font id, anything else a table index. An argument that
// leads to no font measures 0 and draws nothing.
#pragma once
#include <cstdint>

struct zePixmap;

enum {
    ZEFONT_FIRST = 32,          // code of the first described character
    ZEFONT_CHARS = 224,         // codes 32 ... 255
    ZEFONT_MONOSPACE = 1,
    ZEFONT_PROPORTIONAL = 2,
    ZEFONT_BOLD = 2,            // the "weight=" of bold faces
    ZEFONT_DEFAULT = -1,        // "builtin 6x13"
    ZEFONT_VARIABLE = -2,       // "builtin variable 13"
    ZEFONT_DEFAULT2 = -3,       // "builtin 6x13" as well
};

// Line-drawing glyphs every builtin and set font carries (the terminal's
// extended line-drawing set).
enum {
    ZEFONT_LINE_H = 128, ZEFONT_LINE_V = 129,
    ZEFONT_LINE_TL = 130, ZEFONT_LINE_TR = 131, ZEFONT_LINE_BL = 132, ZEFONT_LINE_BR = 133,
    ZEFONT_LINE_LT = 134, ZEFONT_LINE_RT = 135, ZEFONT_LINE_CROSS = 136,
    ZEFONT_LINE_UT = 137, ZEFONT_LINE_DT = 138,
};

struct zeFont {
    uint8_t used;
    char name[64];              // registered name ("builtin 6x13", "system font Arial 12")
    char shortname[67];         // "name=" value ("6x13b") or a system font's face name
    int32_t cellwidth;          // "xsize=" (system fonts: the width of "x")
    int32_t height;             // every glyph has this many rows
    int32_t widths[ZEFONT_CHARS];
    int32_t ascent, descent, slant, weight, width, points;
    char foundry[64];
    int32_t id;
    int32_t spacing;            // ZEFONT_MONOSPACE or ZEFONT_PROPORTIONAL
    uint8_t *data;              // one byte per pixel (1 = set), glyph after glyph, row by row
    int32_t offsets[ZEFONT_CHARS];
    int32_t nchars;             // 224
    int32_t described;          // characters that have a glyph entry, from code 32 on
};

struct zeGlyph {
    const uint8_t *pixels;      // width * height bytes, row by row
    int width, height;
};

// ---- registry (zefont.cpp) -------------------------------------------------

// Loads the builtin fonts, installs the text hooks of the pixmap output and
// the "font=" resolver of option strings, registers the exit cleanup.
// Safe to call more than once.
void zefont_init(void);
// Releases every font (registered as an exit cleanup by zefont_init).
void zefont_cleanup(void);

// Loads a font description (items "header:" ... "data:" and the glyph rows).
// nitems < 0: the list ends with a null item. A font of that registered name
// already in the table is returned as it is; regname null or empty takes the
// "name=" item. Returns the font id, or -1 for a malformed description.
int zefont_load(const char *const *desc, int nitems, const char *regname);
// Stores a record filled elsewhere (a rasterised system font): the table takes
// over its glyph data, gives it a new id and marks it used. Returns the id,
// or -1 (data freed) when the table cannot grow.
int zefont_register(const zeFont *record);
// Loads all builtin fonts in their fixed order; returns how many are loaded.
int zefont_load_builtins(void);
// Loads one builtin font by registered name ("builtin 9x15 bold"); id or -1.
int zefont_load_builtin(const char *regname);
// Loads a face of the Arial or crnew set by short name (case ignored,
// "arial16" works); returns its id (the loaded one if present) or -1.
int zefont_load_set(const char *shortname);
// Short names of every set face in order, null-terminated.
const char *const *zefont_set_names(void);
// Registered names of the builtin fonts in loading order, null-terminated.
const char *const *zefont_builtin_names(void);

// Font argument -> table index, or -1 when it leads to no used record.
int zefont_resolve(int font);
// The record behind a font argument, or null. Records never move; the
// pointer stays valid until that font is released.
const zeFont *zefont_get(int font);
// Id of the font with that registered name (exact), or -1.
int zefont_find(const char *regname);
// Id of the font with that short name (case ignored), or -1.
int zefont_find_short(const char *shortname);
// A "font=" value: the builtin aliases ("6x13b", "var13" ...), then a
// registered or short name, then a set face to load. Id, or -1 after the
// line "font not loaded/found: %s\n".
int zefont_from_name(const char *value);
// The resolver given to option strings: a registered name or any other
// value; id or -1, silent (the option parser writes the message).
int zefont_resolve_name(const char *name);

// Releases a font: frees its glyph data and clears its record.
void zefont_release(int font);
// Number of records in the table (used or free).
int zefont_table_size(void);

// ---- metrics ---------------------------------------------------------------

int zefont_text_width(int font, const char *text);            // codes below 32 count 0
int zefont_text_width_n(int font, const char *text, int n);   // the first n bytes
int zefont_height(int font);
int zefont_ascent(int font);
int zefont_descent(int font);
int zefont_char_width(int font, int ch);
// The glyph of a character; false (and an empty glyph) for codes below 32,
// for 255 and for codes beyond the described characters.
bool zefont_glyph(int font, int ch, zeGlyph *g);
// Unicode character that a byte code stands for in the toolkit's fonts:
// ASCII, the line-drawing glyphs at 128-138, Windows-1252 at 139-159 and
// Latin-1 from 160 on; 0 for codes that stand for nothing.
int zefont_unicode(int code);

// ---- drawing into pixmaps (zefont_draw.cpp) -------------------------------

// The toolkit-wide text outline colour; -1 (the default) for none.
void zefont_set_outline(int color);
int zefont_outline(void);

// Draws one character with its top-left corner at (x, y). bg -1: only the set
// pixels are drawn. greylight/greydark -1: white and dark grey.
void zefont_draw_char(zePixmap *p, int font, int x, int y, int color, bool greyed, bool underline,
                      int bg, int ch, int greylight = -1, int greydark = -1);
// Draws a text; newline returns to x one line down. maxwidth > 0 cuts a wider
// text and ends it with "..."; underlineidx is the index of the one underlined
// character (-1 none). Returns the pen's x after the last character.
int zefont_draw_text(zePixmap *p, int font, int x, int y, int color, bool greyed, bool underlineall,
                     int bg, int maxwidth, int underlineidx, const char *text, int greylight = -1,
                     int greydark = -1);
// Gives the pixmap output's text commands to this module (zefont_init does it).
void zefont_draw_install_hooks(void);
// Word-wrapped text in the box (x, y, w, h). Returns the height used.
int zefont_draw_wrapped(zePixmap *p, int font, int x, int y, int w, int h, int color, const char *text,
                        bool measureonly);

// ---- system fonts (zefont_system.cpp) -------------------------------------

// Loads a system font: "Face,points=12,bold,italic,underlined,xs=,ys=,xsextra="
// in printf form. Returns the font id or -1.
int zefont_load_system(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
int zefont_load_system_text(const char *desc);
// When set, zefont_load_system renders again instead of returning a loaded
// font of the same face and size.
void zefont_set_reload_system(bool reload);
// Dots per inch used to turn points into pixels (96 unless set).
void zefont_set_dpi(int dpi);
