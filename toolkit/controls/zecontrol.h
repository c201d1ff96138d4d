// The control model: the record every control begins with, its creation from
// an option string, the messages between a control and its container (the
// standard view it lives in), redrawing, keyboard focus and event posting.
//
// A control kind is a record whose first member is a zeControl, plus a
// zeControlKind table that says how the kind parses its own options, how
// large it is by default, how it draws and which messages it handles itself.
// The kind's handler calls zecontrol_default for every message it leaves to
// the common behaviour.
#pragma once
#include <cstdarg>
#include "zebase.h"
#include "zecfgstr_geometry.h"
#include "zescheme.h"

struct zePixmap;
struct zeControl;

// Messages from the container to a control.
enum {
    ZEMSG_RELEASE = 2001,
    ZEMSG_SIZE = 2003,          // [container width, height]
    ZEMSG_LDOWN = 2004, ZEMSG_LUP = 2005, ZEMSG_LDOUBLE = 2006,   // [x, y] content coordinates
    ZEMSG_MDOWN = 2007, ZEMSG_MUP = 2008,
    ZEMSG_RDOWN = 2010, ZEMSG_RUP = 2011, ZEMSG_RDOUBLE = 2012,
    ZEMSG_WHEELUP = 2013, ZEMSG_WHEELDOWN = 2014,                 // [x, y]
    ZEMSG_MOTION = 2015,        // [x, y]
    ZEMSG_KEYDOWN = 2016, ZEMSG_KEYUP = 2017,                     // [key code]
    ZEMSG_FOCUS = 2018,         // offered: answer 1 when taken
    ZEMSG_UNFOCUS = 2019,
    ZEMSG_FOCUSNEXT = 2020,     // Tab inside a control that holds several parts: 1 when it moved within
    ZEMSG_LEAVE = 2024, ZEMSG_ENTER = 2025,
    ZEMSG_REDRAW = 2026,
    ZEMSG_REFRESHTICK = 2028,
    ZEMSG_PASTE = 2033, ZEMSG_COPY = 2034, ZEMSG_CUT = 2035,
    ZEMSG_SHOW = 2039, ZEMSG_HIDE = 2040,
    ZEMSG_HIDDEN = 2042, ZEMSG_SHOWN = 2048,
    ZEMSG_DRAWCONTENT = 2049,   // draw yourself into the content (before it is saved)
    ZEMSG_SCROLLED = 2059,      // [scroll x, scroll y] of the container
    ZEMSG_HOTKEY = 2070,        // [key code] offered to every child: 1 when it acted on it
};

// Requests from a control to its container.
enum {
    ZEREQ_REGISTER = 8001,      // handler, owner, x, y, w, h, flags -> handle
    ZEREQ_UNREGISTER = 8002,    // owner
    ZEREQ_MOVE = 8003,          // handle, x, y, w, h
    ZEREQ_WIDTH = 8004, ZEREQ_HEIGHT = 8005,
    ZEREQ_ORIGINX = 8006, ZEREQ_ORIGINY = 8007,   // screen position of content (0, 0)
    ZEREQ_REFRESH = 8008,       // x, y, w, h
    ZEREQ_REFRESHALL = 8009,
    ZEREQ_FOCUS = 8010,         // handle -> granted
    ZEREQ_FOCUSNEXT = 8011,
    ZEREQ_SHOWME = 8012,        // handle: bring into view
    ZEREQ_SPARE = 8013,         // handle, flag
    ZEREQ_POPUPCLOSED = 8014,
    ZEREQ_CAPTURE = 8015, ZEREQ_RELEASE = 8016,   // handle
    ZEREQ_VIEW = 8017,
    ZEREQ_NOAUTOREFRESH = 8018,
    ZEREQ_BGCOLOR = 8019,
    ZEREQ_TOSERVER = 8020,
    ZEREQ_DRAWOFF = 8021,
    ZEREQ_ACCEL = 8022,
    ZEREQ_NATIVE = 8025,
    ZEREQ_SCREENX = 8026, ZEREQ_SCREENY = 8027,
    ZEREQ_SCROLLED = 8028,
};

// Registration flags (8001).
enum {
    ZECHILD_MOUSE = 1,          // always set
    ZECHILD_FOCUS = 2,          // may take the keyboard focus
    ZECHILD_HOVER = 4,          // tracks hovering (buttons)
    ZECHILD_TAB = 8,            // handles Tab itself
};

enum {
    ZECONTROL_IDS = 16,
    ZECONTROL_TEXTMAX = 499,
};

// Called instead of posting: user data, event id, three arguments.
typedef void (*zeEventHook)(void *user, int id, int a1, int a2, int a3);
// Called after the main event was posted.
typedef void (*zeChangeHook)(zeControl *c);

struct zeControlKind {
    const char *name;
    int regflags;                                    // ZECHILD_HOVER, ZECHILD_TAB
    void (*parse)(zeControl *c, char **entries);     // the kind's own families; may be null
    void (*natural)(zeControl *c, int *w, int *h);   // default size; may be null
    void (*draw)(zeControl *c);                      // into c->target; may be null
    zeHandler handle;                                // owner = the control; null: zecontrol_default
    void (*release)(zeControl *c);                   // frees the kind's resources; may be null
};

struct zeControl {
    int ids[ZECONTROL_IDS];    // ids[0]: the main event
    int font;
    int colors[ZECOL_COUNT];   // scheme copy, ZECOL_* order
    int border;
    int bgcolor;
    int transcolor;
    int textcolor;
    zeEventHook eventhook;
    void *eventhookuser;
    zeChangeHook changehook;
    zeHandler parent;          // the container's handler and object
    void *parentowner;
    zearg handle;              // what the container returned at registration
    int lastargs[3];
    bool redraw, hover, grey, created, focus, visible, nofocus;
    bool textcolorgiven;       // the options named a text colour
    zeGeometry geometry;       // the specifications and limits
    int x, y, w, h;            // the computed rectangle, container content coordinates
    zePixmap *target;          // the container's content pixmap
    // Beyond the common fields.
    const zeControlKind *kind;
    char text[ZECONTROL_TEXTMAX + 1];   // entry 0 of the option string
};

// Fresh ids and the defaults; flags cleared except redraw-allowed and visible.
void zecontrol_init(zeControl *c, const zeControlKind *kind);
// The font a control takes when its options name none (ZEFONT_DEFAULT unless
// set): pages set their current font so that controls match their text.
void zecontrol_set_default_font(int font);
int zecontrol_default_font(void);
// Creates the control in the standard view from an option string (printf
// form). False (and "zecontrol_create: ..." on stdout) when there is no view.
bool zecontrol_create(zeControl *c, const char *fmt, ...);
bool zecontrol_vcreate(zeControl *c, const char *fmt, va_list ap);
// Unregisters and re-initialises a created control.
void zecontrol_release(zeControl *c);

// The handler every control registers with: the kind's handler or the default.
zearg zecontrol_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                        zearg a7, zearg a8);
// The common answer to a message.
zearg zecontrol_default(zeControl *c, int msg, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0,
                        zearg a5 = 0, zearg a6 = 0, zearg a7 = 0, zearg a8 = 0);
// Sends a message to a control through its handler.
zearg zecontrol_send(zeControl *c, int msg, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0);
// A request to the container.
zearg zecontrol_request(zeControl *c, int msg, zearg a1 = 0, zearg a2 = 0, zearg a3 = 0, zearg a4 = 0,
                        zearg a5 = 0, zearg a6 = 0, zearg a7 = 0);

bool zecontrol_set_grey(zeControl *c);     // returns the previous value
bool zecontrol_clear_grey(zeControl *c);
void zecontrol_show(zeControl *c);
void zecontrol_hide(zeControl *c);
// Draws into the target when created, visible and allowed, then asks the
// container to refresh the rectangle grown by 2 pixels on every side.
void zecontrol_redraw(zeControl *c);
// Asks the container to copy the control's area (grown by 2) to the screen.
void zecontrol_refresh(zeControl *c);
bool zecontrol_contains(const zeControl *c, int px, int py);
inline int zecontrol_eventid(const zeControl *c) { return c->ids[0]; }
// Recomputes the rectangle for a container of this size and tells it (8003).
void zecontrol_layout(zeControl *c, int parentw, int parenth);
// Asks the container for the keyboard focus; sets the flag when granted.
bool zecontrol_ask_focus(zeControl *c);
// Mouse capture while the control drags (8015) and its release (8016).
void zecontrol_capture(zeControl *c, bool capture);
// The mouse cursor while over the control: "hand" or "standard".
void zecontrol_cursor(const char *name);
// Colour of the control's set; -1 outside 0-10.
int zecontrol_color(const zeControl *c, int index);

// Posts an event id (or hands it to the event hook); the change hook follows
// the main event. The arguments are remembered.
void zecontrol_post(zeControl *c, int id, int a1 = 0, int a2 = 0, int a3 = 0);
void zecontrol_set_eventhook(zeControl *c, zeEventHook hook, void *user);
void zecontrol_set_changehook(zeControl *c, zeChangeHook hook);
