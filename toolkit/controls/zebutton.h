// Buttons: the push button and its variants (arrow, flat, tool, switch,
// link), and the indicator switch button that carries an on/off lamp.
//
// A button posts its main event when it is released after a press (mouse
// or Enter/Space); a press that leaves the button before the release is
// cancelled. A switch button stays pressed and posts at the press; only the
// programming interface releases it. A link is underlined text that shows
// the hand cursor and never takes the keyboard focus; its "url=" target is
// opened by whoever owns it (zebutton_open_link).
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zepxmap.h"

enum {
    ZEBUTTON_CAPTIONMAX = 131,
    ZEBUTTON_URLMAX = 499,
};

// Event ids after the main one (ids[0]).
enum {
    ZEBUTTON_ID_SWITCHUP = 1,   // a switch button saw the mouse released
};

struct zeButton {
    zeControl c;
    char caption[ZEBUTTON_CAPTIONMAX + 1];
    int textx, texty;           // caption offset inside the rectangle
    bool pressed;
    bool holding;               // the mouse is captured between press and release
    bool arrow;
    int arrowsize;              // ZEARROWSIZE_*
    bool flat, skip, isdefault, mouserepeat, thinborder, link, isswitch, toolbutton;
    int hotkey, hotkeymod;
    char url[ZEBUTTON_URLMAX + 1];   // the link target, lower case; "" none
    bool hasicon;
    zePixmap icon, icongrey;
    int underline;              // index of the underlined caption character, -1 none
    int textgrey, hoverface, highlight, active, white, dark, black, verylight;

    zeButton();   // zebutton_init
    ~zeButton();  // zebutton_release
    zeButton(const zeButton &) = delete;
    zeButton &operator=(const zeButton &) = delete;
};

void zebutton_init(zeButton *b);
// "caption,x=,y=,xs=,ys=,arrow,flat,switch,hyperlink,toolbutton,default,
// pressed,thinborder,hotkey=K,url=TARGET,highlightcolor=,activecolor=,..."
bool zebutton_create(zeButton *b, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
bool zebutton_vcreate(zeButton *b, const char *fmt, va_list ap);
void zebutton_release(zeButton *b);
bool zebutton_set_grey(zeButton *b);      // previous value
bool zebutton_clear_grey(zeButton *b);
void zebutton_show(zeButton *b);
void zebutton_hide(zeButton *b);
void zebutton_redraw(zeButton *b);
inline int zebutton_eventid(const zeButton *b) { return b->c.ids[0]; }
// Redraws only when the state changes.
void zebutton_set_pressed(zeButton *b, bool pressed);
bool zebutton_is_pressed(const zeButton *b);
// Copies the caption out; returns out.
char *zebutton_caption(const zeButton *b, char *out, int outsize);
// A copy of icon is kept (any format; transparency as the pixmap has it),
// with its greyed copy. Null removes the icon. False when it cannot be copied.
bool zebutton_set_icon(zeButton *b, const zePixmap *icon);
// The link target: the "url=" text, or the caption when there is none.
const char *zebutton_link_target(const zeButton *b);
// Opens the link target with the system's handler (web and mail addresses
// included). False when nothing was started.
bool zebutton_open_link(const zeButton *b);

// The greyed copy of a palette8 icon: truecolor, one pixel wider and higher,
// transparent parts in face. Exposed for tests.
bool zebutton_grey_icon(zePixmap *out, const zePixmap *icon, int face);

// Indicator switch button: a button with a lamp that flips on every click.
struct zeSwitchButton {
    zeControl c;
    char caption[ZEBUTTON_CAPTIONMAX + 1];
    int textx, texty;
    bool pressed;               // shown pressed while the mouse is held
    bool on;
    bool flat, thinborder;
    int hotkey;
    int lampx, lampy, lampw, lamph;
    int lampcolor;

    zeSwitchButton();   // zeswitchbutton_init
    ~zeSwitchButton();  // zeswitchbutton_release
    zeSwitchButton(const zeSwitchButton &) = delete;
    zeSwitchButton &operator=(const zeSwitchButton &) = delete;
};

void zeswitchbutton_init(zeSwitchButton *s);
bool zeswitchbutton_create(zeSwitchButton *s, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
bool zeswitchbutton_vcreate(zeSwitchButton *s, const char *fmt, va_list ap);
void zeswitchbutton_release(zeSwitchButton *s);
bool zeswitchbutton_set_grey(zeSwitchButton *s);
bool zeswitchbutton_clear_grey(zeSwitchButton *s);
void zeswitchbutton_show(zeSwitchButton *s);
void zeswitchbutton_hide(zeSwitchButton *s);
void zeswitchbutton_redraw(zeSwitchButton *s);
inline int zeswitchbutton_eventid(const zeSwitchButton *s) { return s->c.ids[0]; }
void zeswitchbutton_set_on(zeSwitchButton *s, bool on);
bool zeswitchbutton_is_on(const zeSwitchButton *s);
