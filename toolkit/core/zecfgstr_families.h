// The option families of the toolkit's objects. Each family walks the
// entries from a start index, consumes what it recognises and fills a plain
// record (or a single value) that the object's creator reads.
//
// Records are filled, not initialised: set the creator's defaults before the
// call (zero-initialise with "= {}" and then set what differs); fields of keys
// that do not occur keep their value. Matching: see zecfgstr.h.
#pragma once
#include "zecfgstr.h"
#include "zecfgstr_geometry.h"

// ---- font, border, focus, grey --------------------------------------------

// Font names of "font=" resolve to font ids through this hook, which the font
// registry installs: it gets a registered name ("builtin 9x15 bold") or, for
// any other value, the value itself (a short name such as "Arial12b", to be
// looked up and else loaded) and returns the font id or -1. Without a
// resolver every name is "not found". NULL restores the default.
typedef int (*zeFontResolver)(const char *name);
void zecfgstr_set_font_resolver(zeFontResolver resolver);
// Maps a "font=" value to its builtin registered name ("9x15b" ->
// "builtin 9x15 bold"); NULL when it is no builtin alias.
const char *zecfgstr_builtin_font(const char *value);

// The first "font=" entry sets *fontid through the resolver ("font not
// loaded/found: %s\n" and unchanged when it fails); a "fontid=" N met before
// it sets *fontid = N and ends the scan. Returns whether *fontid changed.
bool zecfgstr_font(char **entries, int start, int *fontid);

// "border=" N gives N, "border" 2, "noborder" 0; the first one wins.
bool zecfgstr_border(char **entries, int start, int *border);

// "nokeyfocus", "nofocus", "skip", "focus=0", "focus=no", "keyfocus=0",
// "keyfocus=no": *nofocus = true.
bool zecfgstr_nofocus(char **entries, int start, bool *nofocus);

// "grey", "greyed": *grey = true.
bool zecfgstr_grey(char **entries, int start, bool *grey);

// ---- the common control options, in creation order -----------------------

struct zeCommonAttr {
    int border;         // creator's default, then the border family
    int fontid;         // creator's default font id, then the font family
    bool nofocus;       // focus family
    bool grey;          // grey family
    int bgcolor;        // background family
    int textcolor;      // text colour family
    bool textcolorgiven;
    int transcolor;     // transparent colour family
};
// Runs, from start, the geometry family into g (reset it first with the
// parent size), then border, font, focus, grey, background, text colour and
// transparent colour into a (holding the creator's defaults). The object's
// own families, its natural size and zecfgstr_geometry_resolve follow.
void zecfgstr_common(char **entries, int start, zeGeometry *g, zeCommonAttr *a);

// ---- buttons --------------------------------------------------------------

enum {
    ZEARROW_NORMAL = 0,
    ZEARROW_BIG = 1,
    ZEARROW_SMALL = 2,
};

struct zeBtnAttr {
    bool arrow;       // "arrow", "bigarrow", "smallarrow"
    int arrowsize;    // ZEARROW_*
    bool flat;        // "flat"
    bool nofocus;     // "skip", "nofocus"
    bool isdefault;   // "default", "defaultbutton"
    bool mouserepeat; // "mouserepeat"
    bool thinborder;  // "singleborder", "thinborder", "singleframe", "thinframe"
    bool hyperlink;   // "hyperlink", "hlink", "text", "no3d", "2d", ...
    bool isswitch;    // "switch", "keeppressed"
    bool toolbutton;  // "toolbutton"
    bool pressed;     // "pressed", "checked", "on"
    int hotkey;       // "hotkey=" K; 0 = none
    int hotkeymod;    // always 0
};
void zecfgstr_btnattr(char **entries, int start, zeBtnAttr *a);

// A hot-key name: one character gives its code, "space" 32, "return" 10,
// "f1".."f12" 305..316. Anything else writes the "complex hotkey" message
// and gives 0.
int zecfgstr_hotkey(const char *name);

// ---- lists ----------------------------------------------------------------

enum {
    ZECFG_LIST_ENTRIES = 1, // "entries=", "contents=" (list and combo boxes)
    ZECFG_LIST_MENUS,       // "menus=", "entries=" (menu bars)
    ZECFG_LIST_TABS,        // "tabs=", "tabulators=" (tab bars)
};
// The raw text after the first "=" of the last matching entry, split at every
// "|" (blanks kept) into a heap vector ended by NULL (release with
// zecfgstr_split_release). Returns the item count; 0 and *items = NULL when
// no entry (or an empty value) was given.
int zecfgstr_list(char **entries, int start, int kind, char ***items);
// A menu item that is exactly "-" is a separator.
bool zecfgstr_is_separator(const char *item);

// ---- check box, input line, editor, terminal ------------------------------

struct zeCheckAttr {
    bool checked;    // "checked"
    bool round;      // "round"
    bool boxonly;    // "boxonly"
    bool flat;       // "2d", "no3d"
    bool lightframe; // "lightframe"
};
void zecfgstr_checkattr(char **entries, int start, zeCheckAttr *a);

struct zeInputAttr {
    int maxlen;             // "maxlen=" N
    bool hasdefault;        // a "default=" was given
    char deftext[ZECFGSTR_ENTRYMAX + 1]; // "default=" TEXT (blanks removed)
    bool alignright;        // "align=right", "alignright", "rightalign"
    bool keepfocus;         // "nofocusswitchwithenter", "keepfocus"
    bool password;          // "password"
};
void zecfgstr_inputattr(char **entries, int start, zeInputAttr *a);

struct zeEditAttr {
    int lines, columns;    // "lines=", "columns="
    int tabspace;          // "tabspace=", "tabs="
    bool colored;          // "colored"
    bool linenumbers;      // "showlinenumbers"
    bool autoindent;       // "autoindent"
    bool wordbreak;        // "wordbreak"
};
void zecfgstr_editattr(char **entries, int start, zeEditAttr *a);

struct zeTermAttr {
    int scrollback;        // "scrollback" 300, "scrollback=" N
    int lines, columns;    // "lines=", "columns="
    char logfile[ZECFGSTR_ENTRYMAX + 1]; // "logfile=" NAME (raw)
    bool wordbreak;        // "wordbreak"
    bool cursor;           // "cursor", "cursor=on", "cursor=1", "cursoron"
    bool directdraw;       // "directdraw", "drawdirect"
    bool nostandardview;   // "nostandardview"
};
void zecfgstr_termattr(char **entries, int start, zeTermAttr *a);

// ---- up-down, slider, scroll bars, tab bar --------------------------------

struct zeUpDownAttr {
    int min, max, step;    // "min=", "max=", "step="
    int start;             // "default=", "def=", "start="
    bool hasstart;
    int digits;            // "digits="
    int decimals;          // "decimal="
    bool hasdigits, hasdecimals;
};
void zecfgstr_updownattr(char **entries, int start, zeUpDownAttr *a);

struct zeSliderAttr {
    int min, max, step, digits, decimals;
    double start;          // "default=", "def=", "start=" (real)
    bool hasstart;
    bool showpos;          // "showpos..." (first 7 characters)
};
void zecfgstr_sliderattr(char **entries, int start, zeSliderAttr *a);

// "noverticalscrollbar", "nohorizontalscrollbar" clear the flags.
void zecfgstr_scrollbars(char **entries, int start, bool *vertical, bool *horizontal);

struct zeTabAttr {
    int style;             // "greystyle", "graystyle", "style=2", "style2": 2
    int autonumber;        // "autonumber=" N
};
// The tab names come from zecfgstr_list(..., ZECFG_LIST_TABS, ...).
void zecfgstr_tabattr(char **entries, int start, zeTabAttr *a);

// ---- fonts, images, pixmaps, views ----------------------------------------

struct zeFontAttr {
    bool bold, italic, underlined;  // "bold", "italic", "underlined"/"understriked"
    int xs, ys;                     // "xs="/"width=", "ys="/"height="
    int ascent, descent, points;    // "ascent=", "descent=", "points="
    int xsextra;                    // "xsextra="
};
void zecfgstr_fontattr(char **entries, int start, zeFontAttr *a);

struct zeImageAttr {
    char load[ZECFGSTR_ENTRYMAX + 1]; // "load=", "image=", "img=" (raw)
    int palettecode;                  // "palettecode="
    int x, y, xs, ys;                 // integers, units ignored; 0 -> -1
};
// First entry of each key wins.
void zecfgstr_imageattr(char **entries, int start, zeImageAttr *a);

// Format keywords ("palette", "palette8", "indexed", "palette16",
// "truecolor", "server", "screen", "directx") give the pixmap formats 1..6
// (ZEPX_* of zepxmap.h); def when none.
int zecfgstr_pxmapformat(char **entries, int start, int def);
// A format name as "pxmap=" takes it; 0 when unknown.
int zecfgstr_formatbyname(const char *name);

struct zeViewAttr {
    int format;            // format keywords and "pxmap=" NAME (default truecolor)
    int pxs, pys;          // "pxs=", "pixmapxs=", ... / "pys=", ...
    int colors;            // "colors=", "pixmapcolors=", ...
    bool drawoff;          // "drawoff", "noredraw", "norefresh", "redraw=0", ...
    bool directdraw;       // "directdraw"
    bool nostandardview;   // "nostandardview"
    bool standardview;     // "standardview"
    bool opengl;           // "opengl"
    bool nokeyscroll;      // "nokeyscroll"
    bool novscroll, nohscroll; // "noverticalscrollbar", "nohorizontalscrollbar"
};
// Also consumes the stretch keys, "scrollwheelalways" and "autofocus"
// (known, no effect). A palette format with more than 256 colours becomes
// format 2 (palette16).
void zecfgstr_viewattr(char **entries, int start, zeViewAttr *a);

// ---- windows, PostScript pages, file dialogs ------------------------------

struct zeWindowAttr {
    bool fullscreen;       // "fullscreen"
    bool modal;            // "modal"
    bool sysmenu;          // "sysmenu"... (default on), "nosysmenu"...
    bool resize;           // "resize" / "noresize" (default fixed)
    bool maximized;        // "maximized", "max", "maximal"
    bool noquit;           // "noquit"
    bool noclose;          // "noclose"
    bool popup;            // "popup"
    bool notitle;          // "notitle"
    bool noredraw;         // "noredraw", "drawoff", "norepaint", "paintoff", "nopaint"
    int bgcolor;           // "bgcol=", "bgcolor=", ...
    bool menu;             // "menu"
    bool toolbar;          // "toolbar", "toolbar=" N
    int toolbarys;         // N; 0 = the metric "toolbarheight"
    bool statusbar;        // "statusbar", "statusbar=" N
    int statusbarys;       // N; 0 = the metric "statusbarheight"
    int cxs, cys;          // "cxs=", "contentwidth=", ... / "cys=", ...
};
// Fills the defaults of the fields above (sysmenu on, the rest off or 0,
// bgcolor -1).
void zecfgstr_window_defaults(zeWindowAttr *a);
// Also consumes "nostandardview" (no effect on a window).
void zecfgstr_windowattr(char **entries, int start, zeWindowAttr *a);

enum {
    ZEPAPER_A4 = 1, ZEPAPER_A3, ZEPAPER_A2, ZEPAPER_A1, ZEPAPER_A0, ZEPAPER_A5,
    ZEPAPER_A6, ZEPAPER_A7, ZEPAPER_A8, ZEPAPER_A9, ZEPAPER_LETTER, ZEPAPER_LEGAL,
};
struct zePsAttr {
    int xdpi, ydpi;        // "dpi=" both, "xdpi="/"x-dpi=", "ydpi="/"y-dpi="
    double topborder, bottomborder, leftborder, rightborder; // reals
    int landscape;         // "portrait" 0, "landscape" 1
    int paper;             // ZEPAPER_*; 0 none
    bool truecolor;        // "truecolor", "truecolors", "hicolor", "highcolor"
};
void zecfgstr_psattr(char **entries, int start, zePsAttr *a);

enum {
    ZEFILEDLG_MAXFILTERS = 10,
    ZEFILEDLG_TEXT = 260,
};
struct zeFileFilter {
    char pattern[ZEFILEDLG_TEXT];
    char description[ZEFILEDLG_TEXT]; // "" when none was given
};
struct zeFileDlgAttr {
    char title[ZEFILEDLG_TEXT];       // "title=", "caption=" (raw)
    int nfilters;
    zeFileFilter filters[ZEFILEDLG_MAXFILTERS]; // "filter=" PATTERN "|" DESCRIPTION
    char dir[ZEFILEDLG_TEXT];         // "dir=", "directory=" (raw)
    char defaultext[ZEFILEDLG_TEXT];  // "defaultext=", "defaultextension=", "extension=", "ext="
    char suggestion[ZEFILEDLG_TEXT];  // "suggestion=" (raw)
    bool save;                        // "save", "savedialog"
    bool mustnotexist;                // "mustnotexist"
};
// Usually from entry 0. Filters beyond ZEFILEDLG_MAXFILTERS are dropped.
void zecfgstr_filedlgattr(char **entries, int start, zeFileDlgAttr *a);
