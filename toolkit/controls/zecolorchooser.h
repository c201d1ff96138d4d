// The colour chooser dialog: basic colours, the custom colours of the run, a
// hue/saturation field with a brightness strip, red/green/blue up-downs and a
// hex entry that follow each other, a preview of the old and the new colour,
// OK and Cancel. Modal, with its own nested wait like the standard dialogs;
// the caller's standard view and graphic output are the same afterwards.
#pragma once
#include <cstdint>

enum {
    ZECOLORCHOOSER_CUSTOM = 16,   // custom colours kept for the run
    ZECOLORCHOOSER_BASIC = 48,    // basic colours, 8 columns by 6 rows
    ZECOLORCHOOSER_COLS = 8,
};

// Lets the user choose a colour (0xRRGGBB), starting from colour; returns the
// chosen colour, or colour when the dialog is cancelled (Cancel, Escape, the
// close button, the toolkit stopping). title null or "" gives "Color" (German
// "Farbe"). Custom colours the user adds stay for the whole run, cancelled
// or not. Keys: the hex entry has the focus at first (a colour can be typed
// at once); Tab walks basic colours, custom colours, "add", field, strip,
// red, green, blue, hex, OK, Cancel; the cursor keys move in the grids,
// the field and the strip; Enter is OK unless Cancel or "add" has the focus.
int32_t zecolorchooser(int32_t colour, const char *title);
// The custom colours (16 entries), for the dialog.
int32_t *zecolorchooser_custom(void);
// The basic colours (48 entries, row by row).
const int32_t *zecolorchooser_basic(void);

// Called once the dialog is up, before it waits: scripts and tests drive it
// from here. The controls, in this order: OK, Cancel, add to custom colours,
// the basic colours, the custom colours, the hue/saturation field, the
// brightness strip, red, green, blue, the hex entry. Null removes the hook.
struct zeWindow;
struct zeControl;
enum {
    ZECC_OK, ZECC_CANCEL, ZECC_ADD, ZECC_BASIC, ZECC_CUSTOM, ZECC_FIELD, ZECC_STRIP,
    ZECC_RED, ZECC_GREEN, ZECC_BLUE, ZECC_HEX, ZECC_COUNT,
};
void zecolorchooser_set_open_hook(void (*hook)(zeWindow *w, zeControl *const *controls, int n));

// Hue in degrees [0, 360), saturation and value (brightness) in [0, 1].
struct zeHSV {
    double h, s, v;
};
zeHSV zecolorchooser_to_hsv(int32_t rgb);
// Out-of-range parts are brought back: the hue wrapped, s and v clamped,
// NaN taken as 0.
int32_t zecolorchooser_from_hsv(zeHSV hsv);
// hsv with the hue wrapped into [0, 360), s and v clamped, NaN taken as 0.
zeHSV zecolorchooser_clean_hsv(zeHSV hsv);
// "#RRGGBB", "RRGGBB" or "0xRRGGBB", blanks around allowed, exactly six hex
// digits. True with *rgb set; anything else leaves *rgb and returns false.
bool zecolorchooser_parse_hex(const char *text, int32_t *rgb);
// "#RRGGBB" (upper case) into out (at least 8 bytes).
void zecolorchooser_format_hex(int32_t rgb, char *out);
