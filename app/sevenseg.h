// The seven-segment display: digit picture sets cut into glyphs, recoloured
// to the user's colours and drawn character by character into the timer
// window (deferred to once per display refresh, on the timer thread) and into
// the settings window's preview (at once).
#pragma once
#include <atomic>
#include <cstdint>

#include "zepxmap.h"

struct DigitMetrics;
struct zeWindow;

enum {
    SEVENSEG_GLYPHS = 17,   // '0'..'9', 'A', 'P', '-', ':' lit, ':' unlit, '.', ' '
    SEVENSEG_TEXTMAX = 99,  // characters of one drawn text
    SEVENSEG_FLIPS = 4,     // colons whose other phase the display can change by itself
    SEVENSEG_SETS = 16,
    SEVENSEG_DARK = 1, SEVENSEG_LIT = 2, SEVENSEG_CLEAR = 255,  // glyph pixel values
};

// One loaded digit picture set.
struct SevenSegmentFont {
    int charWidth = 0, charHeight = 0;
    int narrowWidth = 0;   // drawn width of ':' and '.'
    int charDistance = 0;  // gap added to every advance
    uint32_t darkColour = 0, litColour = 0;
    // One byte per pixel (palette8): SEVENSEG_CLEAR where the picture is
    // black (the background shows through), SEVENSEG_DARK the unlit segments,
    // SEVENSEG_LIT the lit ones, 3.. any further colour of the picture.
    // Recolouring changes two palette entries, not pixels.
    zePixmap glyph[SEVENSEG_GLYPHS] = {};
    bool loaded = false;
    int set = 0;            // 1..16 when loaded by size, 0 otherwise
    // Draw state; with deferred drawing the timer thread reads it under the
    // draw lock (see sevenseg.cpp).
    bool colonOn = true;
    bool lastColon = false;
    char lastText[SEVENSEG_TEXTMAX + 1] = "";
    const void *lastSurface = nullptr;  // the pixels and place of the last draw
    int lastX = 0, lastY = 0;
    bool forceFull = true;
    bool deferred = true;
    bool pending = false;
    zeWindow *pendingTarget = nullptr;
    int pendingX = 0, pendingY = 0;
    char pendingText[SEVENSEG_TEXTMAX + 1] = "";
    // Glyph pictures kept by the display (0 none yet), made on first use for
    // the window they were made for: a changed character is copied from
    // there onto the window's screen, with no pixel written here. The
    // window's pixmap then lags behind its screen (lastText) and holds pixText
    // until the window's catch-up draws the difference into it.
    int image[SEVENSEG_GLYPHS] = {};
    zeWindow *imageTarget = nullptr;
    int imageNative = 0;
    char pixText[SEVENSEG_TEXTMAX + 1] = "";
    bool pixColon = false;
    bool pixValid = false;   // false: the pixmap holds no glyphs (painted over)
    int pixX = 0, pixY = 0;
    // The glyphs copied to each character's place since the pixmap was
    // current, each at its last time only, oldest first: a glyph leaves the
    // pixels its mask does not cover as they were, so the pixmap replays
    // them in that order to hold what the screen shows.
    uint8_t copied[SEVENSEG_TEXTMAX][SEVENSEG_GLYPHS] = {};
    uint8_t copiedCount[SEVENSEG_TEXTMAX] = {};
    bool anyCopied = false;
    // Where glyph `from` and glyph `to` differ (x0, y0, x1, y1 in the glyph),
    // worked out at the first change between the two: the same few changes
    // recur every second, and scanning two 300-row glyphs for them cost more
    // than the wake itself at the largest size. Valid while the glyphs are.
    int16_t changeBox[SEVENSEG_GLYPHS][SEVENSEG_GLYPHS][4] = {};
    bool changeKnown[SEVENSEG_GLYPHS][SEVENSEG_GLYPHS] = {};
    // The colons' other phase, queued with the display for the half second
    // so that the program sleeps through it: per colon place, its changed
    // rectangle as the screen shows it after the change, kept while the
    // place, the two glyphs and the window's pixmap stay.
    struct ColonFlip {
        int img;            // the picture, 0 none
        int x, y;           // the colon's cell
        int from, to;       // its glyphs before and after
        int bx, by;         // where the picture goes on the window
    } flip[SEVENSEG_FLIPS] = {};
    int flipCount = 0;      // colons of the queued change
    bool flipQueued = false;
    uint32_t flipDue = 0;   // zemilliseconds of the queued change
    bool flipStray = false; // it lands where the text no longer has colons
};

extern SevenSegmentFont g_timerFont;
extern SevenSegmentFont g_previewFont;

// The 16 digit picture files and the Size value -> set table (1..16).
const char *sevenseg_set_file(int set);
int sevenseg_set_for_size(int size);

// Loading a set: false (font unchanged) when the file is missing or unusable.
bool sevenseg_load_set(SevenSegmentFont *f, const char *file);
void sevenseg_free(SevenSegmentFont *f);
// The timer font from the Size setting, recoloured with the active and
// inactive colours; a set outside 1..16 only recolours.
void sevenseg_select_set_by_size();
// A new Size: reloads the timer font and re-creates the timer window when
// the set changes. True when it did.
bool sevenseg_change_size(int size);

// Colours. compute_colours() is declared in app.h.
uint32_t sevenseg_inactive_colour(uint32_t segment, uint32_t background, int contrast);
void sevenseg_recolour(SevenSegmentFont *f, uint32_t dark, uint32_t lit);
void sevenseg_build_colour_table();
uint32_t sevenseg_colour_table(int i);  // i clamped to 0..100

// The colour glyph g draws at (x, y), or -1 where it lets the background show.
int sevenseg_glyph_pixel(const SevenSegmentFont *f, int g, int x, int y);

// Glyph index of a character, -1 for characters outside the set.
int sevenseg_glyph_index(char c, bool colonOn);
int sevenseg_advance(const SevenSegmentFont *f, char c);  // 0 for unknown characters
int sevenseg_text_width(const SevenSegmentFont *f, const char *text);

// Draws (printf form, up to 99 characters) into a pixmap at once.
void sevenseg_draw_into_pixmap(SevenSegmentFont *f, zePixmap *target, int x, int y, const char *fmt, ...)
    __attribute__((format(printf, 5, 6)));
// Stores a draw for the deferred draw callback.
void sevenseg_defer_draw(SevenSegmentFont *f, zeWindow *target, int x, int y, const char *text);
// Draws the characters that changed since the last draw into the window's
// pixmap and shows them. Returns how many characters it drew.
int sevenseg_draw_now(SevenSegmentFont *f, zeWindow *target, int x, int y, const char *text);
// Brings the target window's pixmap up to what its screen shows (the glyph
// pictures copied there), without showing anything.
void sevenseg_catch_up(SevenSegmentFont *f);
// Gives back the glyph pictures (a reload, a recolour, another window).
void sevenseg_drop_images(SevenSegmentFont *f);
// Same into a plain pixmap (the window-less core of draw now); the changed
// rectangles are reported through show when it is given.
int sevenseg_draw_changed(SevenSegmentFont *f, zePixmap *target, int x, int y, const char *text,
                          void (*show)(void *ctx, int x, int y, int w, int h), void *ctx);

// The display tick's draw, the forced full redraw and the timer font metrics.
// ticks: display ticks since the previous update (the colon blinks every 50
// ticks, also when ticks are worked off several at a time).
void sevenseg_display_update(int ticks = 1);
// Whether the display may hand the colon's other phase to the display at a
// whole second (the program then sleeps through the half second), and
// whether such a change is still to come.
void sevenseg_allow_colon_flips(bool allow);
bool sevenseg_colon_flip_queued();
void sevenseg_force_full_redraw();
// The periodic redraw: compares the shown digits with the glyphs only when
// something else drew on the timer window since the last draw (the
// background, a new window), so an untouched display costs nothing.
void sevenseg_periodic_redraw();
// Everything that draws on the timer window besides the digits calls this.
void sevenseg_surface_touched();
bool sevenseg_take_preview_redraw();  // the settings window's preview asks whether to redraw all
bool sevenseg_metrics(DigitMetrics *m);
// The preview font is loaded when the settings window first shows it.
void sevenseg_load_preview_font();

// The busy flag with the draw lock: a draw under way finishes before a
// rebuild starts, and none starts while busy is set.
void sevenseg_set_busy(bool busy);

// Draw timing. The sampler raises the draw signal once per display refresh;
// the deferred draw callback draws the pending text when it sees the signal.
void sevenseg_start_retrace_sampler();
void sevenseg_start_deferred_draw();
// Where the platform reports no beam position there is nothing to wait for:
// the main thread draws a change at once, in the wakeup that made it, and
// the timer thread stays asleep.
void sevenseg_draw_on_main(bool on);
void sevenseg_retrace_sampler();
void sevenseg_deferred_draw_callback();
// The retrace threshold of a window at screen y; reads "scanlineoffset.txt".
void sevenseg_set_threshold(int windowY);
int sevenseg_threshold();
uint32_t sevenseg_draw_count();  // draws made by the deferred draw callback
bool sevenseg_draw_pending();    // the timer font waits for the deferred draw

// The retrace state machine on scan-line samples (where a platform reports
// the beam). Returns true when the draw signal rose.
struct RetraceState {
    int threshold = 0;
    int lastLine = 0;
    int highestLine = 0;
    uint32_t frames = 0;
    bool armed = false;
};
bool sevenseg_retrace_step(RetraceState *s, int line);
