// The seven-segment display: digit picture sets, glyphs, colours, drawing.
#include "sevenseg.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "app.h"
#include "app_paths.h"
#include "timer_window.h"
#include "zeimage.h"
#include "zedisplay.h"
#include "zetimer.h"
#include "zewindow.h"

SevenSegmentFont g_timerFont;
SevenSegmentFont g_previewFont;

namespace {

// The critical section of the draw: the deferred draw callback holds it while
// it tests the busy flag and draws; the main thread takes it to set the busy
// flag, to hand over a pending draw and to change the draw state. Recursive:
// a draw's show may run the window's catch-up, which takes it too.
std::recursive_mutex s_drawLock;

std::atomic<uint32_t> s_drawSignal{0};
std::atomic<uint32_t> s_drawCount{0};
std::atomic<bool> s_drawOnSignal{false};
bool s_drawOnMain = false;
std::atomic<int> s_threshold{0};

uint32_t s_colourTable[101];
bool s_colourTableBuilt = false;

// Display update state (main thread).
int s_updateCount = 0;
bool s_forceRedraw = true;
bool s_previewRedraw = true;
// Something besides the digits drew on the timer window since the last full
// check of the digits shown there.
bool s_surfaceTouched = true;
bool s_flipsAllowed = false;
char s_lastDigits[sizeof(DisplayFormat::digitText)] = "";
char s_lastFormat[sizeof(DisplayFormat::formatString)] = "";

const char *const kSetFiles[SEVENSEG_SETS] = {
    "7seg/7seg_003_0100.pcx", "7seg/7seg_001_0300.pcx", "7seg/7seg_001_0400.pcx",
    "7seg/7seg_001_0500.pcx", "7seg/7seg_001_0600.pcx", "7seg/7seg_001_0700.pcx",
    "7seg/7seg_001_0800.pcx", "7seg/7seg_001_0900.pcx", "7seg/7seg_001_1000.pcx",
    "7seg/7seg_001_1200.pcx", "7seg/7seg_001_1400.pcx", "7seg/7seg_001_1600.pcx",
    "7seg/7seg_001_1800.pcx", "7seg/7seg_001_2000.pcx", "7seg/7seg_001_2500.pcx",
    "7seg/7seg_001_3000.pcx",
};

// Highest Size value of each set.
const int kSetLastSize[SEVENSEG_SETS] = {6, 12, 19, 25, 32, 38, 45, 51, 58, 64, 71, 77, 84, 90, 97, 100};

enum { GLYPH_COLON = 13, GLYPH_COLON_OFF = 14, GLYPH_POINT = 15, GLYPH_BLANK = 16 };

// Holds the busy flag while a deferred font's glyphs are rebuilt, and puts
// back what it was (a rebuild inside a window rebuild keeps it set).
struct BusyHold {
    bool held, was;
    explicit BusyHold(bool hold) : held(hold), was(g_app.busy) {
        if (held) sevenseg_set_busy(true);
    }
    ~BusyHold() {
        if (held) sevenseg_set_busy(was);
    }
};

// The digit picture as one byte per pixel: 0 for black, k for the k-th other
// colour met (a set has two). A quarter of the picture in 32-bit colours,
// which is never held whole.
struct Sheet {
    int w = 0, h = 0;
    uint8_t *px = nullptr;
    uint32_t colours[256] = {};
    int n = 0;           // colours[1..n]
    bool full = false;   // more colours than a glyph's palette holds
    uint32_t colour(int x, int y) const { return colours[px[(size_t)y * w + x]]; }
    bool black(int x, int y) const { return px[(size_t)y * w + x] == 0; }
};

// At most 253 colours besides black: with the two segment colours taking
// entries 1 and 2 and the rest from 3 on, 255 stays the transparent one.
enum { SHEET_COLOURS = 253 };

bool sheet_size(void *ctx, int w, int h) {
    Sheet *s = (Sheet *)ctx;
    s->w = w, s->h = h;
    s->px = (uint8_t *)calloc((size_t)w * h, 1);
    return s->px != nullptr;
}

bool sheet_row(void *ctx, int y, const uint32_t *colours) {
    Sheet *s = (Sheet *)ctx;
    uint8_t *d = s->px + (size_t)y * s->w;
    int last = 0;
    for (int x = 0; x < s->w; x++) {
        uint32_t v = colours[x];
        if (v == 0) {
            d[x] = 0;
            continue;
        }
        if (last && s->colours[last] == v) {
            d[x] = (uint8_t)last;
            continue;
        }
        int k = 1;
        while (k <= s->n && s->colours[k] != v) k++;
        if (k > s->n) {
            if (s->n == SHEET_COLOURS) {
                s->full = true;
                return false;
            }
            s->colours[++s->n] = v;
        }
        d[x] = (uint8_t)k;
        last = k;
    }
    return true;
}

// PCX pictures are read row by row; other types through a truecolor pixmap.
bool read_sheet(const char *file, Sheet *s) {
    if (zeimage_filetype(file) == ZEIMG_PCX) {
        FILE *f = app_open_file(file, "rb");
        if (!f) return false;
        bool ok = zepcx_read_rows(f, sheet_size, sheet_row, s);
        fclose(f);
        return ok && s->px && !s->full;
    }
    zeGraphicOutput out;
    bool ok = zepxmapout_create(&out, ",load=%s,truecolor,nostdout", file) && out.pxmap.format == ZEPX_TRUECOLOR &&
              sheet_size(s, out.pxmap.width, out.pxmap.height);
    for (int y = 0; ok && y < s->h; y++) ok = sheet_row(s, y, (const uint32_t *)out.pxmap.pixels + (size_t)y * s->w);
    zepxmapout_release(&out);
    return ok && !s->full;
}

// A change queued for a window the display no longer draws on (another
// window, or none) is no concern of the next draw: it lands there or nowhere.
void forget_flip(SevenSegmentFont *f) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    f->flipQueued = false;
    f->flipStray = false;
}

void release_glyphs(SevenSegmentFont *f) {
    // The pixmap learns what the old glyphs left on the screen while it can.
    sevenseg_catch_up(f);
    sevenseg_drop_images(f);
    for (int i = 0; i < SEVENSEG_GLYPHS; i++) zepxmap_release(&f->glyph[i]);
    memset(f->changeKnown, 0, sizeof f->changeKnown);
}

// Segment colours: the smallest and largest non-black value, column by column.
void detect_colours(const Sheet &pic, uint32_t *dark, uint32_t *lit) {
    bool any = false;
    uint32_t lo = 0, hi = 0;
    for (int x = 0; x < pic.w; x++) {
        for (int y = 0; y < pic.h; y++) {
            if (pic.black(x, y)) continue;
            uint32_t v = pic.colour(x, y);
            if (!any || v < lo) lo = v;
            if (!any || v > hi) hi = v;
            any = true;
            if (lo != hi) {
                *dark = lo;
                *lit = hi;
                break;
            }
        }
    }
    // A picture with one segment colour only: everything in it counts as lit,
    // and the dark colour is one no pixel can have.
    if (any && lo == hi) {
        *lit = lo;
        *dark = 0x01000000;
    }
}

int left_margin(const Sheet &pic) {
    int count = 0;
    for (int x = 0; x < pic.w; x++) {
        bool black = true;
        for (int y = 0; y < pic.h && black; y++) black = pic.black(x, y);
        if (!black) break;
        count++;
    }
    return count ? count - 1 : 0;
}

// Cuts the w x h area at (x0, 0) of the picture into a glyph, its colours
// turned into glyph values by map.
bool cut_glyph(zePixmap *g, const Sheet &pic, int x0, int w, int h, const uint8_t *map, const int32_t *palette) {
    if (!zepxmap_create(g, w, h, ZEPX_PALETTE8)) return false;
    uint8_t *d = (uint8_t *)g->pixels;
    for (int y = 0; y < h; y++) {
        const uint8_t *s = pic.px + (size_t)y * pic.w + x0;
        for (int x = 0; x < w; x++) d[(size_t)y * w + x] = map[s[x]];
    }
    memcpy(g->palette, palette, 256 * sizeof(int32_t));
    return true;
}

// Paints the lit segments of a glyph's first columns unlit.
void unlight(zePixmap *g, int columns) {
    uint8_t *d = (uint8_t *)g->pixels;
    for (int y = 0; y < g->height; y++)
        for (int x = 0; x < columns && x < g->width; x++)
            if (d[(size_t)y * g->width + x] == SEVENSEG_LIT) d[(size_t)y * g->width + x] = SEVENSEG_DARK;
}

void copy_state(SevenSegmentFont *to, const SevenSegmentFont &from) {
    to->charWidth = from.charWidth;
    to->charHeight = from.charHeight;
    to->narrowWidth = from.narrowWidth;
    to->charDistance = from.charDistance;
    to->darkColour = from.darkColour;
    to->litColour = from.litColour;
    for (int i = 0; i < SEVENSEG_GLYPHS; i++) to->glyph[i] = from.glyph[i];
}

}  // namespace

const char *sevenseg_set_file(int set) {
    if (set < 1 || set > SEVENSEG_SETS) return nullptr;
    return kSetFiles[set - 1];
}

int sevenseg_set_for_size(int size) {
    if (size < 0) size = 0;
    if (size > 100) size = 100;
    for (int i = 0; i < SEVENSEG_SETS; i++)
        if (size <= kSetLastSize[i]) return i + 1;
    return SEVENSEG_SETS;
}

// ---- loading ----------------------------------------------------------------

bool sevenseg_load_set(SevenSegmentFont *f, const char *name) {
    write_log("dc[%08x] init: %s", (unsigned)(uintptr_t)f, name);
    char path[APP_PATH_MAX + 64];
    const char *file = app_data_path(name, path, sizeof path);
    FILE *probe = app_open_file(file, "rb");
    if (!probe) return false;
    fclose(probe);

    Sheet pic;
    if (!read_sheet(file, &pic)) {
        write_log(pic.full ? "%s: more than %d colours" : "cannot read %s", file, SHEET_COLOURS);
        free(pic.px);
        return false;
    }
    SevenSegmentFont n;
    int cell = pic.w / 15;
    n.charWidth = cell - 5;
    n.charHeight = pic.h;
    if (n.charWidth < 1 || n.charHeight < 1) {
        write_log("%s: picture too small (%dx%d)", file, pic.w, pic.h);
        free(pic.px);
        return false;
    }
    detect_colours(pic, &n.darkColour, &n.litColour);
    int margin = left_margin(pic);
    write_log("xoffs=%d", margin);
    // A margin wider than a cell's spare columns would cut into the next cell.
    if (margin > cell - n.charWidth) margin = cell - n.charWidth;

    // The picture's colours as glyph values, and the palette that draws them.
    uint8_t map[256];
    int32_t palette[256];
    memcpy(palette, zepxmap_default_palette, sizeof palette);
    map[0] = SEVENSEG_CLEAR;
    palette[SEVENSEG_CLEAR] = 0;
    palette[SEVENSEG_DARK] = (int32_t)n.darkColour;
    palette[SEVENSEG_LIT] = (int32_t)n.litColour;
    int next = 3;
    for (int k = 1; k <= pic.n; k++) {
        uint32_t c = pic.colours[k];
        if (c == n.darkColour) map[k] = SEVENSEG_DARK;
        else if (c == n.litColour) map[k] = SEVENSEG_LIT;
        else palette[next] = (int32_t)c, map[k] = (uint8_t)next++;
    }

    bool ok = true;
    n.narrowWidth = 0;
    for (int i = 0; i < 15 && ok; i++) {
        int dst = i == 14 ? GLYPH_POINT : i;  // cell 14 ('.') goes to glyph 15
        ok = cut_glyph(&n.glyph[dst], pic, i * cell + margin, n.charWidth, n.charHeight, map, palette);
        if (ok && i == GLYPH_COLON) {
            while (n.narrowWidth < n.charWidth && pic.black(i * cell + margin + n.narrowWidth, 0)) n.narrowWidth++;
        }
    }
    ok = ok && cut_glyph(&n.glyph[GLYPH_COLON_OFF], pic, GLYPH_COLON * cell + margin, n.charWidth, n.charHeight,
                         map, palette);
    ok = ok && cut_glyph(&n.glyph[GLYPH_BLANK], pic, margin, n.charWidth, n.charHeight, map, palette);
    free(pic.px);
    if (ok) {
        unlight(&n.glyph[GLYPH_COLON_OFF], n.narrowWidth);
        unlight(&n.glyph[GLYPH_BLANK], n.charWidth);
    }
    if (!ok) {
        write_log("%s: cannot cut the glyphs", file);
        release_glyphs(&n);
        return false;
    }
    n.charDistance = n.charWidth / 5;

    BusyHold hold(f->deferred);
    release_glyphs(f);
    copy_state(f, n);
    f->loaded = true;
    f->colonOn = true;
    f->lastColon = false;
    f->forceFull = true;
    f->deferred = true;
    f->pending = false;
    write_log("init ok, charxs=%d charys=%d char_dd_xs=%d chardist=%d  colordark=%06x color=%06x", f->charWidth,
              f->charHeight, f->narrowWidth, f->charDistance, f->darkColour, f->litColour);
    return true;
}

void sevenseg_free(SevenSegmentFont *f) {
    release_glyphs(f);
    forget_flip(f);
    f->loaded = false;
    f->set = 0;
}

void sevenseg_select_set_by_size() {
    int set = sevenseg_set_for_size(g_settings.size);
    g_settings.digitSet = set;
    const char *file = sevenseg_set_file(set);
    if (file && sevenseg_load_set(&g_timerFont, file)) g_timerFont.set = set;
    sevenseg_recolour(&g_timerFont, g_settings.inactiveColour, g_settings.activeColour);
}

bool sevenseg_change_size(int size) {
    g_settings.size = size;
    if (sevenseg_set_for_size(size) == g_timerFont.set && g_timerFont.loaded) return false;
    sevenseg_set_busy(true);
    // The old glyphs go only once the new set has loaded: a missing file
    // keeps the digits that were shown.
    sevenseg_select_set_by_size();
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();  // closes the old window first
    sevenseg_set_busy(false);
    return true;
}

void sevenseg_load_preview_font() {
    sevenseg_load_set(&g_previewFont, sevenseg_set_file(1));
    g_previewFont.set = 1;
    g_previewFont.deferred = false;
    sevenseg_recolour(&g_previewFont, g_settings.inactiveColour, g_settings.activeColour);
}

// ---- colours ----------------------------------------------------------------

uint32_t sevenseg_inactive_colour(uint32_t segment, uint32_t background, int contrast) {
    if (segment == 0) segment = 0xff0000;
    if (contrast == 0) contrast = 1;
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        int s = (int)(segment >> shift & 0xff), b = (int)(background >> shift & 0xff);
        int step = (s - b) * contrast / 100;  // C++ division truncates toward zero
        int v = s - step;
        if (v < 0) v = 0;
        if (v > 255) v = 255;
        out |= (uint32_t)v << shift;
    }
    if (out == segment) {
        for (int shift = 16; shift >= 0; shift -= 8)
            if ((out >> shift & 0xff) > 0) out -= 1u << shift;
    }
    if (out == segment) {
        for (int shift = 16; shift >= 0; shift -= 8)
            if ((out >> shift & 0xff) < 255) out += 1u << shift;
    }
    if (out == 0) out = 0x010000;
    return out;
}

void compute_colours() {
    if (g_settings.segmentColour == 0) g_settings.segmentColour = 0xff0000;
    if (g_settings.contrast == 0) g_settings.contrast = 1;
    uint32_t inactive = sevenseg_inactive_colour(g_settings.segmentColour, g_settings.backgroundColour,
                                                 g_settings.contrast);
    g_settings.activeColour = g_settings.segmentColour;
    g_settings.inactiveColour = inactive;
    sevenseg_recolour(&g_timerFont, inactive, g_settings.activeColour);
}

void sevenseg_recolour(SevenSegmentFont *f, uint32_t dark, uint32_t lit) {
    if (!f->loaded) return;
    BusyHold hold(f->deferred);  // the timer thread may be drawing the glyphs
    // Caught up in the old colours: the redraw after it compares the new
    // ones with what the screen shows.
    sevenseg_catch_up(f);
    sevenseg_drop_images(f);
    for (int i = 0; i < SEVENSEG_GLYPHS; i++) {
        zepxmap_setpalette(&f->glyph[i], SEVENSEG_DARK, (int)dark);
        zepxmap_setpalette(&f->glyph[i], SEVENSEG_LIT, (int)lit);
    }
    f->darkColour = dark;
    f->litColour = lit;
    f->forceFull = true;
}

void sevenseg_build_colour_table() {
    for (int i = 0; i <= 100; i++) {
        int r, g, b;
        if (i < 20) r = 8 * i + 95, g = 0, b = 0;
        else if (i < 40) r = 255, g = 12 * i - 240, b = 0;
        else if (i < 60) r = 720 - 12 * i, g = 255, b = 0;
        else if (i < 80) r = 0, g = 255, b = 12 * i - 720;
        else r = 0, g = 1200 - 12 * i, b = 255;
        auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
        s_colourTable[i] = (uint32_t)(clamp(r) << 16 | clamp(g) << 8 | clamp(b));
    }
    s_colourTableBuilt = true;
}

uint32_t sevenseg_colour_table(int i) {
    if (!s_colourTableBuilt) sevenseg_build_colour_table();
    if (i < 0) i = 0;
    if (i > 100) i = 100;
    return s_colourTable[i];
}

// ---- glyphs and advances ----------------------------------------------------

ZE_HOT int sevenseg_glyph_index(char c, bool colonOn) {
    if (c >= '0' && c <= '9') return c - '0';
    switch (c) {
    case 'A': return 10;
    case 'P': return 11;
    case '-': return 12;
    case ':': return colonOn ? GLYPH_COLON : GLYPH_COLON_OFF;
    case '.': return GLYPH_POINT;
    case ' ': return GLYPH_BLANK;
    }
    return -1;
}

ZE_HOT static bool narrow(char c) { return c == ':' || c == '.'; }

// Whether character c, where old was drawn last, needs drawing again: another
// character, or the colon in its other phase.
ZE_HOT static bool char_changed(const SevenSegmentFont *f, char c, char old) {
    return c != old || (c == ':' && f->colonOn != f->lastColon);
}

ZE_HOT int sevenseg_advance(const SevenSegmentFont *f, char c) {
    if (sevenseg_glyph_index(c, true) < 0) return 0;
    return (narrow(c) ? f->narrowWidth : f->charWidth) + f->charDistance;
}

int sevenseg_text_width(const SevenSegmentFont *f, const char *text) {
    int w = 0;
    for (const char *p = text; *p; p++) w += sevenseg_advance(f, *p);
    return w;
}

bool sevenseg_metrics(DigitMetrics *m) {
    if (!g_timerFont.loaded) return false;
    m->charWidth = g_timerFont.charWidth;
    m->narrowWidth = g_timerFont.narrowWidth;
    m->charDistance = g_timerFont.charDistance;
    return true;
}

// ---- drawing ----------------------------------------------------------------

int sevenseg_glyph_pixel(const SevenSegmentFont *f, int g, int x, int y) {
    if (g < 0 || g >= SEVENSEG_GLYPHS || !f->loaded) return -1;
    int v = zepxmap_getpixel(&f->glyph[g], x, y);
    if (v < 0 || v == SEVENSEG_CLEAR) return -1;
    // Black is the glyphs' transparent colour, also when a segment is painted black.
    int c = f->glyph[g].palette[v];
    return c == 0 ? -1 : c;
}

// A glyph's pixels as 0x00RRGGBB colours, its transparent ones black.
static void glyph_colours(const zePixmap *src, uint32_t *out) {
    const uint8_t *s = (const uint8_t *)src->pixels;
    for (size_t i = 0; i < (size_t)src->width * src->height; i++)
        out[i] = s[i] == SEVENSEG_CLEAR ? 0 : (uint32_t)src->palette[s[i]] & 0xFFFFFF;
}

// The glyph in 32-bit colours, black transparent: for targets the palette
// glyph does not merge into directly.
static bool full_colour_glyph(const SevenSegmentFont *f, int g, zePixmap *out) {
    const zePixmap *src = &f->glyph[g];
    if (!zepxmap_create(out, src->width, src->height, ZEPX_TRUECOLOR)) return false;
    glyph_colours(src, (uint32_t *)out->pixels);
    zepxmap_settransparent(out, 0x000000);
    return true;
}

static void draw_glyph(SevenSegmentFont *f, zePixmap *target, int x, int y, char c, bool colonOn) {
    int g = sevenseg_glyph_index(c, colonOn);
    if (g < 0 || !f->loaded) return;
    int w = narrow(c) ? f->narrowWidth : f->charWidth;
    // Window pixmaps and truecolor pixmaps take the palette glyph as it is;
    // a segment painted black must stay transparent as black always is.
    bool direct = target->format == ZEPX_SERVER || target->format == ZEPX_TRUECOLOR;
    if (direct && f->darkColour != 0 && f->litColour != 0) {
        zepxmap_merge4(target, &f->glyph[g], x, y, 0, 0, w, f->charHeight, 0, 0);
        return;
    }
    zePixmap full;
    if (!full_colour_glyph(f, g, &full)) return;
    // Other devices take a masked copy.
    bool memory = target->format == ZEPX_TRUECOLOR || target->format == ZEPX_PALETTE8;
    if (memory || zepxmap_convert2server(&full)) zepxmap_merge4(target, &full, x, y, 0, 0, w, f->charHeight, 0, 0);
    zepxmap_release(&full);
}

void sevenseg_draw_into_pixmap(SevenSegmentFont *f, zePixmap *target, int x, int y, const char *fmt, ...) {
    char text[SEVENSEG_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    for (const char *p = text; *p; p++) {
        draw_glyph(f, target, x, y, *p, f->colonOn);
        x += sevenseg_advance(f, *p);
    }
}

static uint32_t *pixels32(zePixmap *p) {
    if (p->format == ZEPX_TRUECOLOR) return (uint32_t *)p->pixels;
    if (p->format == ZEPX_SERVER && p->pixels) return ((zePxServer *)p->pixels)->colors;
    return nullptr;
}

// The glyph's segment pixels are in the target already: drawing it again
// would change nothing, so a forced redraw leaves it (and sends nothing).
static bool glyph_shown(const SevenSegmentFont *f, zePixmap *target, int x, int y, char c, bool colonOn) {
    int g = sevenseg_glyph_index(c, colonOn);
    uint32_t *px = pixels32(target);
    int w = narrow(c) ? f->narrowWidth : f->charWidth;
    if (g < 0 || !px || x < 0 || y < 0 || x + w > target->width || y + f->charHeight > target->height) return false;
    const zePixmap *src = &f->glyph[g];
    for (int j = 0; j < f->charHeight; j++) {
        const uint8_t *row = (const uint8_t *)src->pixels + (size_t)j * src->width;
        const uint32_t *dst = px + (size_t)(y + j) * target->width + x;
        for (int i = 0; i < w; i++) {
            if (row[i] == SEVENSEG_CLEAR) continue;
            uint32_t want = (uint32_t)src->palette[row[i]];
            if (want != 0 && (want & 0xFFFFFF) != (dst[i] & 0xFFFFFF)) return false;
        }
    }
    return true;
}

// Where glyph `to` differs from glyph `from` (transparent pixels of `to`
// excepted): box, in glyph coordinates, empty when nowhere. Writes those
// pixels to dst (stride pixels a row) when given. True when any differ.
static bool glyph_change(const SevenSegmentFont *f, int from, int to, int w, uint32_t *dst0, int stride,
                         int box[4]) {
    const zePixmap *a = &f->glyph[from], *b = &f->glyph[to];
    uint32_t colour[256];
    for (int k = 0; dst0 && k < 256; k++) colour[k] = (uint32_t)b->palette[k] & 0xFFFFFF;
    int x0 = w, y0 = f->charHeight, x1 = -1, y1 = -1;
    for (int j = 0; j < f->charHeight; j++) {
        const uint8_t *ra = (const uint8_t *)a->pixels + (size_t)j * a->width;
        const uint8_t *rb = (const uint8_t *)b->pixels + (size_t)j * b->width;
        // Most rows of two digits are alike, and where they differ it is in
        // a segment or two: the stretch between the first and the last
        // difference, found eight pixels at a time, is all that is walked.
        int lo = 0, hi = w;
        while (lo + 8 <= hi && memcmp(ra + lo, rb + lo, 8) == 0) lo += 8;
        while (lo < hi && ra[lo] == rb[lo]) lo++;
        while (hi - 8 >= lo && memcmp(ra + hi - 8, rb + hi - 8, 8) == 0) hi -= 8;
        while (hi > lo && ra[hi - 1] == rb[hi - 1]) hi--;
        if (lo == hi) continue;
        uint32_t *dst = dst0 ? dst0 + (size_t)j * stride : nullptr;
        bool wrote = false;
        for (int i = lo; i < hi; i++) {
            uint8_t v = rb[i];
            if (v == SEVENSEG_CLEAR || v == ra[i]) continue;
            if (!dst) {
                wrote = true;
                break;
            }
            dst[i] = colour[v];
            wrote = true;
        }
        if (!wrote) continue;
        // The row's written pixels lie within the stretch.
        if (lo < x0) x0 = lo;
        if (hi - 1 > x1) x1 = hi - 1;
        if (j < y0) y0 = j;
        y1 = j;
    }
    box[0] = x0, box[1] = y0, box[2] = x1 + 1, box[3] = y1 + 1;
    return x1 >= 0;
}

// Over glyph `from`, shown at (x, y) as the last draw left it, writes only
// the pixels where glyph `to` differs (transparent pixels of `to` leave the
// target as a full draw would). box: the rectangle written, empty when none.
// False when the target is not one this can write (then draw it whole).
static bool draw_glyph_change(SevenSegmentFont *f, zePixmap *target, int x, int y, int from, int to, int w,
                              int box[4]) {
    uint32_t *px = pixels32(target);
    if (!px || f->darkColour == 0 || f->litColour == 0 || from < 0 || x < 0 || y < 0 ||
        x + w > target->width || y + f->charHeight > target->height)
        return false;
    bool any = glyph_change(f, from, to, w, px + (size_t)y * target->width + x, target->width, box);
    if (any && target->format == ZEPX_SERVER) {
        // The target's pixels changed: a cached device copy of them is stale.
        zePxServer *s = (zePxServer *)target->pixels;
        if (s->native && s->native_free) s->native_free(s->native);
        s->native = nullptr;
    }
    box[0] += x, box[1] += y, box[2] += x, box[3] += y;
    return true;
}

int sevenseg_draw_changed(SevenSegmentFont *f, zePixmap *target, int x, int y, const char *text,
                          void (*show)(void *ctx, int x, int y, int w, int h), void *ctx) {
    // One copy to the screen per run of neighbouring changed characters: a
    // blinking colon between unchanged digits sends the colons, not the
    // stretch from the first to the last. A character that replaces another
    // of its width where the last draw left it sends only the pixels that
    // differ (the colon's dots, the segments that switched).
    const int startX = x;
    bool sameSpot = !f->forceFull && f->lastSurface == target->pixels && f->lastX == x && f->lastY == y;
    int drawn = 0, box[4] = {0, 0, 0, 0};
    bool inRun = false, lastEnded = false;
    int oldX = x;
    for (int i = 0; text[i] && i < SEVENSEG_TEXTMAX; i++) {
        char c = text[i];
        if (!lastEnded && f->lastText[i] == 0) lastEnded = true;
        char old = lastEnded ? 0 : f->lastText[i];
        bool draw = char_changed(f, c, old) || (f->forceFull && !glyph_shown(f, target, x, y, c, f->colonOn));
        int w = narrow(c) ? f->narrowWidth : f->charWidth;
        if (draw && sevenseg_glyph_index(c, true) >= 0) {
            int r[4] = {x, y, x + w, y + f->charHeight};
            bool same = sameSpot && old && oldX == x && narrow(old) == narrow(c);
            int from = same ? sevenseg_glyph_index(old, f->lastColon) : -1;
            if (!draw_glyph_change(f, target, x, y, from, sevenseg_glyph_index(c, f->colonOn), w, r))
                draw_glyph(f, target, x, y, c, f->colonOn);
            if (r[2] > r[0]) {
                if (!inRun) memcpy(box, r, sizeof box);
                if (r[1] < box[1]) box[1] = r[1];
                if (r[3] > box[3]) box[3] = r[3];
                box[2] = r[2];
                inRun = true;
            }
            drawn++;
        } else if (inRun && sevenseg_advance(f, c) > 0) {
            if (show) show(ctx, box[0], box[1], box[2] - box[0], box[3] - box[1]);
            inRun = false;
        }
        x += sevenseg_advance(f, c);
        if (old) oldX += sevenseg_advance(f, old);
    }
    if (inRun && show) show(ctx, box[0], box[1], box[2] - box[0], box[3] - box[1]);
    zecopy_text(f->lastText, sizeof f->lastText, text);
    f->lastColon = f->colonOn;
    f->forceFull = false;
    f->lastSurface = target->pixels;
    f->lastX = startX;
    f->lastY = y;
    return drawn;
}

static void show_window_rect(void *ctx, int x, int y, int w, int h) {
    // Forced: the settings window's layout may suspend updates on the main thread.
    zewindow_show((zeWindow *)ctx, x, y, w, h, true);
}

// ---- glyph pictures kept by the display --------------------------------------

static bool flip_pending(const SevenSegmentFont *f) {
    return f->flipQueued && (int32_t)(zemilliseconds() - f->flipDue) < 0;
}

// A change still to come lands all the same, over whatever the window shows
// by then: it went astray, and the window is shown whole once it landed.
static void drop_flips(SevenSegmentFont *f) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    for (SevenSegmentFont::ColonFlip &fl : f->flip) {
        if (fl.img > 0) zeimage_server_free(fl.img);
        fl = SevenSegmentFont::ColonFlip();
    }
    if (flip_pending(f)) f->flipStray = true;
}

void sevenseg_drop_images(SevenSegmentFont *f) {
    for (int &img : f->image) {
        if (img > 0) zeimage_server_free(img);
        img = 0;
    }
    drop_flips(f);
}

// The glyph in 32-bit colours with its opaque pixels, as draw_glyph would
// merge it: black stays transparent also where a segment is painted black.
static bool make_image(SevenSegmentFont *f, int g) {
    if (f->image[g] > 0) return true;
    const zePixmap *src = &f->glyph[g];
    size_t n = (size_t)src->width * src->height;
    uint32_t *colors = (uint32_t *)malloc(n * 4);
    uint8_t *opaque = (uint8_t *)malloc(n);
    int img = -1;
    if (colors && opaque) {
        glyph_colours(src, colors);
        for (size_t i = 0; i < n; i++) opaque[i] = colors[i] != 0;
        img = zeimage_server_create(colors, opaque, src->width, src->height);
    }
    free(colors);
    free(opaque);
    if (img <= 0) return false;
    f->image[g] = img;
    return true;
}

// All glyphs at the first change: made one by one as each first appears,
// every new digit of the first ten seconds would cost its wake a round trip
// to the display.
ZE_HOT static bool make_images(SevenSegmentFont *f) {
    for (int g = 0; g < SEVENSEG_GLYPHS; g++)
        if (f->glyph[g].pixels && !make_image(f, g)) return false;
    return true;
}

// Pictures are made for one window; another window (or the same one opened
// again) starts afresh, its pixmap holding no glyphs.
static void catch_up_window(void *ctx);

ZE_HOT static void image_target(SevenSegmentFont *f, zeWindow *target) {
    // A window opened again may get the same handle; opening forgets the
    // catch-up, which tells the new pixmap from the old.
    bool reopened = f->anyCopied && target->catchup != catch_up_window;
    if (f->imageTarget == target && f->imageNative == target->native && !reopened) return;
    sevenseg_drop_images(f);
    forget_flip(f);
    f->imageTarget = target;
    f->imageNative = target->native;
    f->pixValid = false;
    f->anyCopied = false;
}

static void catch_up_window(void *ctx) { sevenseg_catch_up((SevenSegmentFont *)ctx); }

void sevenseg_catch_up(SevenSegmentFont *f) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    zeWindow *win = f->imageTarget;
    // A pixmap painted over holds no glyphs, and whoever painted it shows it
    // whole: the screen's glyphs go with that, and the next draw puts them
    // back the pixmap's way (drawing the old text here could leave glyphs
    // where the new text no longer has them).
    if (!f->anyCopied || !win || !win->open || win->native != f->imageNative || win->catchup != catch_up_window ||
        !f->loaded || !f->pixValid)
        return;
    zePixmap *surface = zewindow_pixmap(win);
    int x = f->pixX;
    for (int i = 0; f->pixText[i] && i < SEVENSEG_TEXTMAX; i++) {
        char c = f->pixText[i];
        int w = narrow(c) ? f->narrowWidth : f->charWidth;
        int prev = sevenseg_glyph_index(c, f->pixColon);
        for (int k = 0; k < f->copiedCount[i]; k++) {
            int g = f->copied[i][k], box[4];
            if (prev < 0 || !draw_glyph_change(f, surface, x, f->pixY, prev, g, w, box))
                zepxmap_merge4(surface, &f->glyph[g], x, f->pixY, 0, 0, w, f->charHeight, 0, 0);
            prev = g;
        }
        f->copiedCount[i] = 0;
        x += sevenseg_advance(f, c);
    }
    f->anyCopied = false;
    zecopy_text(f->pixText, sizeof f->pixText, f->lastText);
    f->pixColon = f->lastColon;
}

// The pixmap holds what the screen shows (drawn there, or caught up).
static void pixmap_current(SevenSegmentFont *f) {
    zecopy_text(f->pixText, sizeof f->pixText, f->lastText);
    f->pixColon = f->lastColon;
    f->pixX = f->lastX, f->pixY = f->lastY;
    f->pixValid = true;
    f->anyCopied = false;
    memset(f->copiedCount, 0, sizeof f->copiedCount);
}

ZE_HOT static void note_copied(SevenSegmentFont *f, int i, int g) {
    uint8_t *list = f->copied[i], &n = f->copiedCount[i];
    int k = 0;
    while (k < n && list[k] != g) k++;
    if (k < n) memmove(list + k, list + k + 1, (size_t)(n - k - 1)), n--;
    list[n++] = (uint8_t)g;
    f->anyCopied = true;
}

// Where glyphs from and to differ (glyph_change's box), worked out at the
// first change between the two and kept with the font.
ZE_HOT static void change_box(SevenSegmentFont *f, int from, int to, int w, int box[4]) {
    int16_t *known = f->changeBox[from][to];
    if (!f->changeKnown[from][to]) {
        glyph_change(f, from, to, w, nullptr, 0, box);
        for (int k = 0; k < 4; k++) known[k] = (int16_t)box[k];
        f->changeKnown[from][to] = true;
    }
    for (int k = 0; k < 4; k++) box[k] = known[k];
}

// The changed characters copied from their glyph pictures onto the window's
// screen: only where the screen holds the last draw's glyphs at this spot
// (no forced redraw, nothing painted over them) and every character keeps
// its place. -1 when that is not so or a picture cannot be had (then the
// pixmap takes the draw).
ZE_HOT static int draw_images(SevenSegmentFont *f, zeWindow *win, int x, int y, const char *text) {
    zePixmap *surface = zewindow_pixmap(win);
    bool sameSpot = !f->forceFull && f->lastSurface == surface->pixels && f->lastX == x && f->lastY == y;
    if (!sameSpot || f->darkColour == 0 || f->litColour == 0 || !f->loaded || !f->pixValid) return -1;
    size_t len = strlen(text);
    if (len != strlen(f->lastText) || len > SEVENSEG_TEXTMAX) return -1;
    for (size_t i = 0; i < len; i++) {
        char c = text[i], old = f->lastText[i];
        if (!char_changed(f, c, old)) continue;
        int g = sevenseg_glyph_index(c, f->colonOn);
        if (g < 0 || sevenseg_glyph_index(old, true) < 0 || narrow(old) != narrow(c)) return -1;
    }
    if (!make_images(f)) return -1;
    zewindow_set_catch_up(win, catch_up_window, f);
    int drawn = 0;
    for (size_t i = 0; i < len; i++) {
        char c = text[i], old = f->lastText[i];
        if (char_changed(f, c, old)) {
            int to = sevenseg_glyph_index(c, f->colonOn);
            int box[4];
            change_box(f, sevenseg_glyph_index(old, f->lastColon), to, narrow(c) ? f->narrowWidth : f->charWidth, box);
            if (box[2] > box[0])
                zewindow_copy_image(win, f->image[to], box[0], box[1], box[2] - box[0], box[3] - box[1], x + box[0],
                                    y + box[1]);
            note_copied(f, (int)i, to);
            drawn++;
        }
        x += sevenseg_advance(f, c);
    }
    zecopy_text(f->lastText, sizeof f->lastText, text);
    f->lastColon = f->colonOn;
    return drawn;
}

ZE_HOT int sevenseg_draw_now(SevenSegmentFont *f, zeWindow *target, int x, int y, const char *text) {
    if (!target || !target->open) return 0;
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    zePixmap *surface = zewindow_pixmap(target);
    image_target(f, target);
    int drawn = draw_images(f, target, x, y, text);
    if (drawn >= 0) return drawn;
    // The pixmap path draws over what the pixmap holds: brought up to the
    // screen first, unless painted over (then its glyphs are drawn whole).
    sevenseg_catch_up(f);
    drawn = sevenseg_draw_changed(f, surface, x, y, text, show_window_rect, target);
    pixmap_current(f);
    return drawn;
}

ZE_HOT void sevenseg_defer_draw(SevenSegmentFont *f, zeWindow *target, int x, int y, const char *text) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    f->pendingTarget = target;
    f->pendingX = x;
    f->pendingY = y;
    zecopy_text(f->pendingText, sizeof f->pendingText, text);
    f->pending = true;
    if (s_drawOnMain) {
        // No beam to wait for: drawn in the same wakeup that changed it. While
        // busy it waits for the flag to clear.
        if (g_app.busy) return;
        f->pending = false;
        sevenseg_draw_now(f, target, x, y, f->pendingText);
        s_drawCount.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    // While busy (rebuilding, hidden in the tray) clearing the flag arms it.
    if (!g_app.busy) zeperiodic_arm(sevenseg_retrace_sampler);
}

// ---- the colon's other phase, changed by the display itself ------------------

// The colon cell at (x, y) of the pixmap (current: it holds glyph `from`
// there) as the screen shows it once glyph `to` replaced it: the changed
// rectangle as a picture without a mask. 0 when nothing differs, -1 when it
// cannot be had.
static int flip_picture(SevenSegmentFont *f, zePixmap *surface, int x, int y, int from, int to, int box[4]) {
    uint32_t *px = pixels32(surface);
    int w = f->narrowWidth, h = f->charHeight;
    if (!px || w <= 0 || x < 0 || y < 0 || x + w > surface->width || y + h > surface->height) return -1;
    uint32_t *cell = (uint32_t *)malloc((size_t)w * h * 4);
    if (!cell) return -1;
    for (int j = 0; j < h; j++) memcpy(cell + (size_t)j * w, px + (size_t)(y + j) * surface->width + x, (size_t)w * 4);
    int img = 0;
    if (glyph_change(f, from, to, w, cell, w, box)) {
        int bw = box[2] - box[0], bh = box[3] - box[1];
        for (int j = 0; j < bh; j++)
            memmove(cell + (size_t)j * bw, cell + (size_t)(box[1] + j) * w + box[0], (size_t)bw * 4);
        img = zeimage_server_create(cell, nullptr, bw, bh);
    }
    free(cell);
    return img;
}

// The flip kept for the k-th colon, made again where its place or glyphs
// changed. False when no picture can be had.
static bool colon_flip(SevenSegmentFont *f, zeWindow *win, int k, int x, int y, int from, int to) {
    SevenSegmentFont::ColonFlip &fl = f->flip[k];
    if (fl.img != 0 && fl.x == x && fl.y == y && fl.from == from && fl.to == to) return fl.img > 0;
    if (fl.img > 0) zeimage_server_free(fl.img);
    // Made from the pixmap, so it must hold what the screen shows.
    sevenseg_catch_up(f);
    int box[4] = {0, 0, 0, 0};
    int img = f->pixValid ? flip_picture(f, zewindow_pixmap(win), x, y, from, to, box) : -1;
    fl = {img < 0 ? 0 : img, x, y, from, to, x + box[0], y + box[1]};
    // A colon whose phases look alike needs no copy (img stays 0, and -1
    // marks it done).
    if (img == 0) fl.img = -1;
    return img >= 0;
}

// The colons of text as drawn at (x, y): their cells, in order.
static int colon_cells(const SevenSegmentFont *f, int x, const char *text, int *xs, int max) {
    int n = 0;
    for (int i = 0; text[i] && i < SEVENSEG_TEXTMAX; i++) {
        if (text[i] == ':') {
            if (n == max) return -1;
            xs[n++] = x;
        }
        x += sevenseg_advance(f, text[i]);
    }
    return n;
}

// The screen is taken to show the colons' other phase (the change queued
// for them lands before the next draw): that draw puts this phase back, and
// the pixmap replays the other one when it catches up.
static void take_as_flipped(SevenSegmentFont *f, zeWindow *win, const char *text) {
    zewindow_set_catch_up(win, catch_up_window, f);
    int to = sevenseg_glyph_index(':', !f->colonOn);
    for (int i = 0; text[i] && i < SEVENSEG_TEXTMAX; i++)
        if (text[i] == ':') note_copied(f, i, to);
    f->lastColon = !f->colonOn;
}

// After a draw at a whole second: the colons' other phase goes to the
// display for delayMs later, and the program need not wake for it.
static bool queue_colon_flip(SevenSegmentFont *f, zeWindow *win, int x0, int y0, const char *text, int delayMs) {
    int xs[SEVENSEG_FLIPS];
    int n = colon_cells(f, x0, text, xs, SEVENSEG_FLIPS);
    int from = sevenseg_glyph_index(':', f->colonOn), to = sevenseg_glyph_index(':', !f->colonOn);
    if (n <= 0) return false;
    zeImageCopy copies[SEVENSEG_FLIPS];
    int m = 0;
    for (int k = 0; k < n; k++) {
        if (!colon_flip(f, win, k, xs[k], y0, from, to)) return false;
        if (f->flip[k].img > 0) copies[m++] = {f->flip[k].img, f->flip[k].bx, f->flip[k].by};
    }
    if (m > 0 && !zewindow_copy_images_later(win, copies, m, delayMs)) return false;
    take_as_flipped(f, win, text);
    f->flipCount = n;
    f->flipQueued = true;
    f->flipDue = zemilliseconds() + (uint32_t)delayMs;
    f->flipStray = false;
    return true;
}

static int wall_ms_into_second() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (int)(now.tv_nsec / 1000000);
}

// A draw while the change is still to come: the screen still takes it, so
// the draw state says so again. Where the colons moved, the change lands
// on other characters, and the window is shown whole once it has.
static void draw_before_flip(SevenSegmentFont *f, zeWindow *win, int x0, const char *text) {
    int xs[SEVENSEG_FLIPS];
    int n = colon_cells(f, x0, text, xs, SEVENSEG_FLIPS);
    bool same = n == f->flipCount && f->lastY == f->flip[0].y;
    for (int k = 0; same && k < n; k++) same = xs[k] == f->flip[k].x;
    if (!same || f->flipStray) {
        f->flipStray = true;
        return;
    }
    take_as_flipped(f, win, text);
}

void sevenseg_allow_colon_flips(bool allow) { s_flipsAllowed = allow; }

// The flip state is also written where the timer thread draws: read under
// the draw lock.
ZE_HOT bool sevenseg_colon_flip_queued() {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    return flip_pending(&g_timerFont);
}

// Once a change that went astray has landed, the window shows its pixmap.
static void repair_stray_flip(SevenSegmentFont *f, zeWindow *win) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    if (!f->flipStray || flip_pending(f)) return;
    f->flipStray = false;
    f->flipQueued = false;
    if (win && win->open) zewindow_show(win, 0, 0, 0, 0, true);
}

void sevenseg_draw_on_main(bool on) { s_drawOnMain = on; }

void sevenseg_force_full_redraw() {
    s_forceRedraw = true;
    s_previewRedraw = true;
}

ZE_HOT void sevenseg_periodic_redraw() {
    s_previewRedraw = true;
    if (s_surfaceTouched) s_forceRedraw = true;
}

void sevenseg_surface_touched() {
    s_surfaceTouched = true;
    // What the last draw left there is gone: the next one draws whole glyphs.
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    drop_flips(&g_timerFont);
    g_timerFont.lastSurface = nullptr;
    g_timerFont.pixValid = false;
    g_timerFont.anyCopied = false;
}

bool sevenseg_take_preview_redraw() {
    bool r = s_previewRedraw;
    s_previewRedraw = false;
    return r;
}

ZE_HOT void sevenseg_display_update(int ticks) {
    // Every 50 ticks the colon changes phase; a wake after a whole second
    // (the display changed the half second by itself) counts two.
    s_updateCount += ticks > 0 ? ticks : 1;
    int phases = s_updateCount / 50;
    bool toggle = phases > 0;
    repair_stray_flip(&g_timerFont, timer_window());
    bool changed = strcmp(s_lastDigits, g_format.digitText) != 0 || strcmp(s_lastFormat, g_format.formatString) != 0;
    if (!toggle && !s_forceRedraw && !changed) return;

    char text[SEVENSEG_TEXTMAX + 1];
    merge_display_text(g_format.formatString, g_format.digitText, g_timer.difference < 0, text, sizeof text);
    zecopy_text(s_lastDigits, sizeof s_lastDigits, g_format.digitText);
    zecopy_text(s_lastFormat, sizeof s_lastFormat, g_format.formatString);
    int x = g_settings.borderWidth + g_settings.horizontalOffset;
    int y = g_settings.borderWidth + g_settings.verticalOffset;
    zeWindow *win = timer_window();
    SevenSegmentFont *f = &g_timerFont;
    {
        std::lock_guard<std::recursive_mutex> lock(s_drawLock);
        if (toggle) {
            f->colonOn = g_settings.colonBlink ? f->colonOn != (phases % 2 == 1) : true;
            s_updateCount %= 50;
        }
        if (s_forceRedraw) f->forceFull = true;
    }
    if (s_forceRedraw) s_surfaceTouched = false;
    bool drawn = !g_app.busy && (!f->deferred || s_drawOnMain);
    if (f->deferred) sevenseg_defer_draw(f, win, x, y, text);
    else if (!g_app.busy) sevenseg_draw_now(f, win, x, y, text);
    s_forceRedraw = false;
    if (!drawn || !win || !win->open) return;
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    if (flip_pending(f)) {
        draw_before_flip(f, win, x, text);
        return;
    }
    f->flipQueued = false;
    // A draw early in a second hands the half second's change ahead, whether
    // or not its own ticks changed the colon: ticks worked off one by one
    // (while a request waits) may change it at a draw of their own.
    int into = wall_ms_into_second();
    if (s_flipsAllowed && g_settings.colonBlink && into < 250)
        queue_colon_flip(f, win, x, y, text, 500 - into);
}

// ---- busy flag and draw timing ---------------------------------------------

void sevenseg_set_busy(bool busy) {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    g_app.busy = busy;
    // A draw skipped while busy goes out at the next refresh (or now).
    SevenSegmentFont *f = &g_timerFont;
    if (busy || !f->pending) return;
    if (!s_drawOnMain) {
        zeperiodic_arm(sevenseg_retrace_sampler);
        return;
    }
    f->pending = false;
    sevenseg_draw_now(f, f->pendingTarget, f->pendingX, f->pendingY, f->pendingText);
    s_drawCount.fetch_add(1, std::memory_order_relaxed);
}

bool sevenseg_retrace_step(RetraceState *s, int line) {
    if (line < 0 || line > 100000) return false;
    bool raised = false;
    if (line > s->highestLine) s->highestLine = line;
    if (line < s->lastLine) {
        s->frames++;
        if (s->armed) s->armed = false;
        else raised = true;
    }
    if (line >= s->threshold && !s->armed) {
        raised = true;
        s->armed = true;
    }
    s->lastLine = line;
    return raised;
}

// X11 and the in-memory screen report no beam position: the sampler runs on
// the refresh schedule and raises the draw signal each time, which keeps the
// one draw per refresh; the threshold has nothing to time against there. It
// runs on demand only, armed by each pending draw, so an unchanged display
// costs no wakeups. Once the deferred draw is started it runs right here,
// when the signal rises, instead of on a schedule of its own.
void sevenseg_retrace_sampler() {
    s_drawSignal.fetch_add(1, std::memory_order_relaxed);
    if (s_drawOnSignal.load(std::memory_order_relaxed)) sevenseg_deferred_draw_callback();
}

void sevenseg_deferred_draw_callback() {
    if (s_drawSignal.exchange(0, std::memory_order_relaxed) == 0) return;
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    SevenSegmentFont *f = &g_timerFont;
    // Busy first: a rebuild writes the font's fields while it holds busy.
    if (g_app.busy || !f->pending) return;
    f->pending = false;
    sevenseg_draw_now(f, f->pendingTarget, f->pendingX, f->pendingY, f->pendingText);
    s_drawCount.fetch_add(1, std::memory_order_relaxed);
}

uint32_t sevenseg_draw_count() { return s_drawCount.load(); }

bool sevenseg_draw_pending() {
    std::lock_guard<std::recursive_mutex> lock(s_drawLock);
    return g_timerFont.pending;
}

static int64_t refresh_interval_us() {
    return 1000000 / zedisplay_refresh_hz();
}

void sevenseg_start_retrace_sampler() {
    zeperiodic_start_hires(sevenseg_retrace_sampler, 1000);
    zeperiodic_set_interval_us(sevenseg_retrace_sampler, refresh_interval_us());
    zeperiodic_on_demand(sevenseg_retrace_sampler, true);
}

void sevenseg_start_deferred_draw() {
    s_drawOnSignal.store(true);
}

void sevenseg_set_threshold(int windowY) {
    int offset = 0;
    if (FILE *f = app_open_file("scanlineoffset.txt", "rb")) {
        char line[64] = "";
        long v = fgets(line, sizeof line, f) ? strtol(line, nullptr, 10) : 0;
        fclose(f);
        // A line offset beyond any screen is a damaged file, not a setting
        // (and would overflow the sum below).
        offset = v < -100000 || v > 100000 ? 0 : (int)v;
    }
    int t = offset + windowY + g_settings.verticalOffset + 2 * g_settings.borderWidth + g_timerFont.charHeight;
    s_threshold.store(t);
}

int sevenseg_threshold() { return s_threshold.load(); }
