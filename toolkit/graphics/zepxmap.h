// Pixmaps: the toolkit's image record. A rectangle of pixels in one of six
// storage formats plus a 256-entry palette that every pixmap carries.
//
// Memory formats (palette8, palette16, truecolor) are flat arrays, row-major,
// stride = width. `server` and `directx` are memory colour arrays too on this
// platform (zePxServer below): the window backend shows them with XPutImage,
// or from shared memory it supplies for a window's own pixmap.
// `screen` holds no pixels; what is drawn on it goes through zeScreenHooks.
//
// Colours are 0x00RRGGBB; -1 means none/default. In palette8 pixmaps index 255
// is transparent; in truecolor pixmaps the colour in palette[255] is.
#pragma once
#include <cstdint>

enum {
    ZEPX_PALETTE8 = 1,
    ZEPX_PALETTE16 = 2,
    ZEPX_TRUECOLOR = 3,
    ZEPX_SERVER = 4,
    ZEPX_SCREEN = 5,
    ZEPX_DIRECTX = 6,
};

struct zePixmap {
    int32_t width;
    int32_t height;
    uint32_t format;     // ZEPX_*
    void *pixels;        // uint8_t* (1), uint16_t* (2), uint32_t* (3), zePxServer* (4, 6), null (5)
    int32_t *palette;    // 256 colours; -1 marks an XPM "None" entry
    int32_t nextfree;    // next palette slot a merge may take (254 at init)
    int32_t curx, cury;  // current point: end of the last line
    bool mirror;         // repeat clear/pixel/rectangle/point batches on the screen
    uint32_t reserved1;  // returned by command 1049
    void *reserved2;     // returned by command 1050
};

// Storage of `server` and `directx` pixmaps: a colour array the backend can
// hand to XPutImage (uint32 0x00RRGGBB, row-major, stride = width) and an
// optional transparency mask (1 = transparent, one byte per pixel).
struct zePxServer {
    uint32_t *colors;
    uint8_t *mask;        // null = no mask
    int32_t brushcolor;   // -1 = none yet
    int32_t pencolor;     // -1 = none yet
    void *native;         // backend cache (e.g. an XImage); freed through native_free
    void (*native_free)(void *native);
};

// What drawing on the `screen` format does. The window backend fills these in;
// until then drawing on the screen does nothing and reads give -1.
struct zeScreenHooks {
    void (*prepare)(void);
    void (*setpixel)(int x, int y, int color);
    void (*points)(const int32_t *xy, int n, int color);      // n (x, y) pairs
    void (*fillrect)(int x, int y, int w, int h, int color);
    void (*clear)(int color);
    // Draw the rectangle (sx, sy, w, h) of a truecolor or server pixmap at (tx, ty).
    void (*drawpxmap)(const zePixmap *src, int tx, int ty, int sx, int sy, int w, int h);
};
void zepxmap_set_screen_hooks(const zeScreenHooks *hooks);   // null restores "do nothing"
const zeScreenHooks *zepxmap_screen_hooks(void);

// The default palette (256 entries) copied into every pixmap on allocation.
extern const int32_t zepxmap_default_palette[256];

// Record life cycle.
void zepxmap_init(zePixmap *p);
bool zepxmap_allocate(zePixmap *p);        // width, height and format set beforehand
bool zepxmap_create(zePixmap *p, int width, int height, int format);   // init + allocate
void zepxmap_release(zePixmap *p);         // frees storage and palette, re-initialises
bool zepxmap_resize(zePixmap *p, int width, int height);

// Pixel access.
void zepxmap_setpixel(zePixmap *p, int x, int y, int value);
int zepxmap_getpixel(const zePixmap *p, int x, int y);
void zepxmap_clear(zePixmap *p, int value);
void zepxmap_fillrect(zePixmap *p, int x, int y, int w, int h, int value);
// What setpixel over every pixel of the rectangle would leave, in runs: for
// the memory formats without mirroring (returns false for the others, which
// need per-pixel calls). Unlike fillrect it keeps a surface's brush colour.
bool zepxmap_setrun(zePixmap *p, int x, int y, int w, int h, int value);
void zepxmap_setpalette(zePixmap *p, int index, int color);
void zepxmap_settransparent(zePixmap *p, int color);   // palette entry 255
// Finds a colour in the palette or adds it at the next free slot (254, 253 ... 1, then 254 again).
int zepxmap_findoradd_color(zePixmap *p, int color);

// Conversion in place (size kept). Key: colour that becomes / came from transparency, -1 none.
bool zepxmap_convert(zePixmap *p, int format, int key);
bool zepxmap_convert_name(zePixmap *p, const char *name, int key);   // "truecolor", "server", "palette", "indexed", "directx"
bool zepxmap_convert2truecolor(zePixmap *p, int key);
bool zepxmap_convert2palette8(zePixmap *p, int key);
bool zepxmap_convert2server(zePixmap *p);
bool zepxmap_convert2directx(zePixmap *p);

// Copying and merging. duplicate re-initialises target (release it first).
// x, y = -1 mean 0; w, h = -1 mean up to the right/bottom edge.
bool zepxmap_duplicate(zePixmap *target, const zePixmap *source, int x, int y, int w, int h);
// Draws source rectangle (sx, sy, w, h) at (tx, ty) in target, skipping transparent
// source pixels. w/h of 0 or -1 = source size. palettecode: 0 remap, 1 same palette,
// 3 take over the palette (palette8 -> palette8 only). flag is unused.
bool zepxmap_merge4(zePixmap *target, zePixmap *source, int tx, int ty, int sx, int sy,
                    int w, int h, int palettecode, int flag);
bool zepxmap_merge1(zePixmap *target, const zePixmap *source, int tx, int ty, int sx, int sy, int w, int h, int palettecode);
bool zepxmap_merge2(zePixmap *target, const zePixmap *source, int tx, int ty, int sx, int sy, int w, int h);
bool zepxmap_merge3(zePixmap *target, const zePixmap *source, int tx, int ty, int sx, int sy, int w, int h);
bool zepxmap_merge_pal8topal8(zePixmap *target, const zePixmap *source, int tx, int ty, int sx, int sy,
                              int w, int h, int palettecode);

// ---------------------------------------------------------------------------
// Graphic output: a pixmap that executes the numbered drawing commands
// (see zegout.h for the numbers and the current-output functions).
struct zeGraphicOutput {
    zePixmap pxmap;      // first, so the output can be used as a pixmap
    int32_t font;        // font id; -1 = default font
    bool ownspxmap;      // release frees the pixels
};

// Creates a pixmap output from an option string: "load=/image=/img=" picture,
// "x=", "y=", "xs="/"width=", "ys="/"height=", format keyword (default
// truecolor), "bgcolor=" family, "nostdout"/"nostandardout".
bool zepxmapout_create(zeGraphicOutput *out, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Wraps an existing pixmap (not owned) as an output. The record is copied:
// after the pixmap is resized or re-made, wrap it again (or use zepxmap_command).
void zepxmapout_wrap(zeGraphicOutput *out, const zePixmap *p);
void zepxmapout_release(zeGraphicOutput *out);   // unsets it when current; frees pixels when owned
// The output's command handler (a zeHandler): owner is the zeGraphicOutput*.
intptr_t zepxmapout_handler(void *owner, int msg, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                            intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);

// Executes one drawing command on any pixmap: what zepxmapout_handler does
// for its output. font is the caller's current-font slot (may be null: the
// default font); self is returned by command 1041. Windows and views that
// keep their own pixmap call this instead of copying it into an output.
intptr_t zepxmap_command(zePixmap *p, int32_t *font, void *self, int msg, intptr_t a1, intptr_t a2,
                         intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);

// Text drawing lives in the font module; it installs these hooks. Until it
// does, text commands draw nothing and measure 0. font is a font id or -1.
struct zeTextHooks {
    void (*draw_text)(zePixmap *p, int font, int x, int y, int color, const char *text);        // 1019
    void (*draw_char)(zePixmap *p, int font, int x, int y, int color, int ch);                  // 1048
    // 1020: wrapped text in the box (x, y, w, h); returns the height used.
    int (*draw_wrapped)(zePixmap *p, int font, int x, int y, int w, int h, int color,
                        const char *text, bool measureonly);
    int (*text_width)(int font, const char *text);   // 1036, 1021
    int (*font_height)(int font);                    // 1037
    int (*char_width)(int font, int ch);             // 1038
    int (*font_from_desc)(const char *const *desc);  // 1028: font description list -> font id, -1 on failure
    int (*font_from_system)(const char *desc);       // 1029: system font description -> font id, -1 on failure
};
void zepxmap_set_text_hooks(const zeTextHooks *hooks);   // null removes them
const zeTextHooks *zepxmap_text_hooks(void);
