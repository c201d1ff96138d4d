// Colour values of option strings: 0xRRGGBB, -1 for none, named colours, and
// the colour families (background, text, transparent, highlight, active).
#pragma once

enum {
    ZECOLOR_NONE = -1,
};

// Looks a colour name up (case-insensitive): "black", "white", "lightgrey",
// "none", ... True with *color set when the name is known.
bool zecolor_byname(const char *name, int *color);

// Reads a colour value. When text contains "=", the part after the first "="
// is used. Empty: unchanged. "0x" + hex digits: hexadecimal. Then the name
// table; then plain hex digits ("ff8000", at most 8). Anything else leaves
// *color unchanged. Returns whether *color was set.
bool zecfgstr_color(const char *text, int *color);

// The colour families: the last matching entry from start sets *color (an
// invalid value leaves it). Entries are consumed. Each returns whether a
// valid colour was given.
// "bgcol=", "bgcolor=", "backgroundcolor=", "background="
bool zecfgstr_bgcolor(char **entries, int start, int *color);
// "color=", "col=", "txtcol=", "textcol=", "textcolor="
bool zecfgstr_textcolor(char **entries, int start, int *color);
// "transcolor=", "transparentcol=", "transparentcolor="
bool zecfgstr_transcolor(char **entries, int start, int *color);
// "highlightcolor=" (hyperlink under the mouse)
bool zecfgstr_highlightcolor(char **entries, int start, int *color);
// "activecolor=" (hyperlink while pressed)
bool zecfgstr_activecolor(char **entries, int start, int *color);
