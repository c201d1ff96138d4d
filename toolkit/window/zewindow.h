// Toolkit windows: a top-level native window whose client area shows a
// pixmap. Everything the user does to it arrives as event ids (close, resize,
// minimise, move, activation, dropped files, the tray icon, every key); the
// controls inside it live in its views and talk to it through the window
// handler (requests 8001 to 8028).
//
// The window draws only into its pixmap; the screen is updated by copying
// rectangles of it, so the backend repaints exposed parts without asking
// anybody.
#pragma once
#include <atomic>
#include <cstdarg>
#include "zebase.h"
#include "zecfgstr_geometry.h"
#include "zepxmap.h"

// Messages the native layer delivers to a window's handler (arguments in
// brackets).
enum {
    ZEWM_CLOSE = 2001,
    ZEWM_PAINT = 2002,        // [x, y, w, h]
    ZEWM_SIZE = 2003,         // [client width, height]
    ZEWM_LDOWN = 2004, ZEWM_LUP = 2005, ZEWM_LDOUBLE = 2006,   // [x, y] client
    ZEWM_MDOWN = 2007, ZEWM_MUP = 2008, ZEWM_MDOUBLE = 2009,
    ZEWM_RDOWN = 2010, ZEWM_RUP = 2011, ZEWM_RDOUBLE = 2012,
    ZEWM_WHEELUP = 2013, ZEWM_WHEELDOWN = 2014,                // [x, y]
    ZEWM_MOTION = 2015,       // [x, y]
    ZEWM_KEYDOWN = 2016, ZEWM_KEYUP = 2017,                    // [key code]
    ZEWM_FOCUS = 2018, ZEWM_UNFOCUS = 2019,
    ZEWM_PASTE = 2033, ZEWM_COPY = 2034, ZEWM_CUT = 2035,
    ZEWM_MINIMISED = 2055,
    ZEWM_TRAY = 2056,         // [2005 left or 2011 right button released]
    ZEWM_SELCHANGE = 2058,
    ZEWM_MAXIMISED = 2060,
    ZEWM_DROPPED = 2061,
    ZEWM_MOVED = 2062,
    ZEWM_ACTIVATED = 2063, ZEWM_DEACTIVATED = 2064,
    ZEWM_EXPOSE = 2065,       // [x, y, w, h]: the screen lost this part; the window shows it again
};

// Requests of views and controls to their window.
enum {
    ZEWR_REGISTER = 8001, ZEWR_UNREGISTER = 8002,
    ZEWR_CLIENTX = 8006, ZEWR_CLIENTY = 8007,
    ZEWR_REFRESH = 8008,      // [x, y, w, h]: copy this part of the pixmap to the screen
    ZEWR_LAYOUT = 8009,       // initial layout
    ZEWR_FOCUS = 8010,        // answers 1
    ZEWR_POPUPCLOSED = 8014,
    ZEWR_CAPTURE = 8015, ZEWR_RELEASE = 8016,
    ZEWR_VIEW = 8017,         // the current view
    ZEWR_DRAWOFF = 8021,      // whether drawing is off
    ZEWR_ACCEL = 8022,
    ZEWR_NATIVE = 8025,       // the native window id
    ZEWR_SCREENX = 8026, ZEWR_SCREENY = 8027,
    ZEWR_STATUSBAR = 8028,    // redraw the status bar
};

enum {
    ZEWIN_TITLEMAX = 99,
    ZEWIN_VIEWS = 10,
    ZEWIN_MENUS = 20,
};

struct zeWindow;

// A view in one of the window's slots: its handler and object.
struct zeWindowView {
    zeHandler handler;
    void *view;
};

// The scroll-view module tells the window how views are made. Until it does,
// a window has no views: its own pixmap is the graphic output and drawing on
// it refreshes the screen.
struct zeWindowViewHooks {
    // Creates a view inside w from an option string ("server,x=0,y=%d,..."
    // formatted); the view's parent is the window (zewindow_handler, w) and
    // its parent pixmap zewindow_pixmap(w). False when it cannot.
    bool (*create)(zeWindow *w, zeWindowView *slot, const char *options);
    void (*destroy)(zeWindowView *slot);
    // Draws the view and its children into the window's pixmap.
    void (*draw)(zeWindowView *slot);
    // The standard-view list: the window enters it when opened (asking for
    // the initial-layout message 8009) and leaves it when closed.
    void (*standard_add)(zeHandler h, void *owner);
    void (*standard_remove)(zeHandler h, void *owner);
    // The window's event callback is handed to its main view as well.
    void (*set_callback)(zeWindowView *slot, zeHandler callback, void *user);
};
void zewindow_set_view_hooks(const zeWindowViewHooks *hooks);

struct zeWindow {
    // The 24 event ids: the sixteen of the common control record (the window
    // raises only ids[0], the close id), the menu id, then minimised, tray,
    // resized, files dropped, moved, activated, deactivated.
    int ids[16];
    int menuid;
    int minimisedid, trayid, resizedid, droppedid, movedid, activatedid, deactivatedid;

    zeHandler callback;       // when set, events go to callback(user, id, msg, key, extra) instead of the queue
    void *callbackuser;
    void (*closehook)(void);  // called after the close id was raised
    // Sees every pointer message (2004 to 2015, client coordinates) before the views do.
    void (*pointerhook)(zeWindow *w, int msg, int x, int y);
    bool eventsenabled;

    zeGeometry geometry;
    char title[ZEWIN_TITLEMAX + 1];
    int bgcolor;
    bool quitonclose, closeonclose, redraw;
    bool modal, popup, notitle, fullscreen, resizable;
    int menuys, toolbarys, statusbarys;
    int cxs, cys;             // content size of the main view

    zeWindowView views[ZEWIN_VIEWS];
    int mainview;             // slot of the main view (0)
    zeWindowView menubar, toolbar;

    char menutitles[ZEWIN_MENUS][ZEWIN_TITLEMAX + 1];
    char *menuentries[ZEWIN_MENUS];
    int nmenus, openmenu;
    char menutitle[ZEWIN_TITLEMAX + 1], menuentry[ZEWIN_TITLEMAX + 1];

    // The native part.
    int native;               // backend handle, 0 when closed
    zePixmap pxmap;           // client area, server format
    uint32_t *sharedpx;       // its colours when the backend holds them (shared with the display), else 0
    zeGraphicOutput gout;     // the pixmap as a graphic output when there are no views
    int x, y, width, height;  // position (outer) and client size of the canvas
    bool open, intray, trayfallback;
    // Pictures the display keeps were copied onto the screen: the pixmap
    // lags behind it until catchup brings it up to date.
    void (*catchup)(void *ctx);
    void *catchupctx;
    std::atomic<bool> behind;
    std::atomic<unsigned> copygen;   // counts the copies
    bool catchingup;

    // Keep above desktop.
    int keepcalls;
    long lastcover, desktop;

    zeWindow();               // zewindow_init
    ~zeWindow();              // zewindow_destroy
    zeWindow(const zeWindow &) = delete;
    zeWindow &operator=(const zeWindow &) = delete;
};

// Construct: fresh ids and the defaults. Destruct: close if open, free views.
void zewindow_init(zeWindow *w);
void zewindow_destroy(zeWindow *w);
// Opens the window from an option string ("title,x=50%,y=50%,xs=300,ys=200,
// noquit,..."). False when the native window cannot be made.
bool zewindow_open(zeWindow *w, const char *fmt, ...);
bool zewindow_vopen(zeWindow *w, const char *fmt, va_list ap);
void zewindow_close(zeWindow *w);

// The window handler: native messages (2001...) and requests (8001...).
zearg zewindow_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                       zearg a7, zearg a8);

// Raises a window event: id 0 means the close id.
void zewindow_raise(zeWindow *w, int id, int msg, int key, int extra);
void zewindow_set_callback(zeWindow *w, zeHandler callback, void *user);
void zewindow_set_closehook(zeWindow *w, void (*hook)(void));
// The pointer messages of the window whether or not it has views (the timer
// window drags itself with them).
void zewindow_set_pointer_hook(zeWindow *w, void (*hook)(zeWindow *w, int msg, int x, int y));
inline int zewindow_closeid(const zeWindow *w) { return w->ids[0]; }

// Drawing on the main view's pixmap (or the window's own when it has no
// view); the screen follows unless the window was opened with "drawoff".
void zewindow_clear(zeWindow *w, int color);
void zewindow_text(zeWindow *w, int x, int y, int color, const char *text);
void zewindow_printf(zeWindow *w, int x, int y, int color, const char *fmt, ...) __attribute__((format(printf, 5, 6)));
int zewindow_getpixel(zeWindow *w, int x, int y);
bool zewindow_merge(zeWindow *w, int x, int y, zePixmap *p);
bool zewindow_load(zeWindow *w, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Saves the main view's picture ("screen.bmp" on F5).
bool zewindow_save(zeWindow *w, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Whether a drawing command (1001-1050) may change pixels, so that the
// screen has to follow; questions and settings (sizes, fonts, the current
// point, flush) do not. Windows and views refresh by the same rule.
bool zewindow_draws(int cmd);
// The graphic output that drawing on this window goes to.
void zewindow_output(zeWindow *w, zeHandler *h, void **owner);
zePixmap *zewindow_pixmap(zeWindow *w);

// The screen.
void zewindow_redraw(zeWindow *w);
// Copies a rectangle of the pixmap to the screen (w or h 0: all). Nothing
// while updates are suspended, unless forced.
void zewindow_show(zeWindow *w, int x, int y, int width, int height, bool force = false);
void zewindow_suspend_updates(bool suspend);   // nests
// The same copy for the display's timer thread (the digits are drawn from
// there). The caller keeps it apart from closing or re-opening the window.
void zewindow_show_rect(zeWindow *w, int x, int y, int width, int height);
void zewindow_move(zeWindow *w, int x, int y);

// Pictures kept by the display (glyphs drawn over and over): a positive
// handle, or -1 where the display offers none (draw into the pixmap then).
// opaque: one byte per pixel, nonzero where the picture covers what is under
// it (null: everywhere).
int zeimage_server_create(const uint32_t *colors, const uint8_t *opaque, int width, int height);
void zeimage_server_free(int img);
// Copies a rectangle of the picture onto the window's screen through its
// mask, forced like the digits' shows; the timer thread may call it. The
// pixmap is then behind the screen: set a catch-up first, which the window
// calls (once) before it shows any part of its pixmap again, and which
// brings the pixmap up to date without showing anything.
void zewindow_copy_image(zeWindow *w, int img, int sx, int sy, int width, int height, int dx, int dy);
// The same for whole pictures made without a mask, all at one later moment
// (delayMs from now, up to a frame late, never early) that the display keeps
// by itself while the program sleeps: the blinking colon's other phase. True
// when all are queued; false, with none queued, where the display cannot
// promise the moment (then copy them when it comes).
bool zewindow_copy_images_later(zeWindow *w, const zeImageCopy *copies, int n, int delayMs);
void zewindow_set_catch_up(zeWindow *w, void (*fn)(void *ctx), void *ctx);
// Runs the catch-up now when the pixmap is behind (before reading it).
void zewindow_catch_up(zeWindow *w);
// Shows a part of the pixmap again after the screen lost it (another window
// covered it): the backend's expose, caught up first. Not held back while
// updates are suspended, as the backend's own repaint never was.
void zewindow_expose(zeWindow *w, int x, int y, int width, int height);
void zewindow_set_title(zeWindow *w, const char *title);
void zewindow_client_origin(zeWindow *w, int *x, int *y);
void zewindow_rect(zeWindow *w, int rect[4]);  // outer x, y, width, height on the screen

// Tray and z-order.
void zewindow_totray(zeWindow *w);
void zewindow_fromtray(zeWindow *w);
void zewindow_bringtotop(zeWindow *w);
void zewindow_raise_if_covered(zeWindow *w);
bool zewindow_covered(zeWindow *w);   // another window at the top-left corner + 1
void zewindow_keep_above_desktop(zeWindow *w, bool redraw);
void zewindow_capture(zeWindow *w);
void zewindow_release(zeWindow *w);

// Global window state.
bool zewindow_leftdown(void);           // the left button is held (2004 ... 2005)
zeWindow *zewindow_last_main(void);     // the last opened window that is neither popup nor modal
const char *zewindow_dropped_file(void);
int zewindow_modifiers(void);           // ZEMOD_* keys held now
// The pointer's last position on the screen, as the windows saw it (popups
// open there); false before any window saw the pointer.
bool zewindow_pointer(int *x, int *y);
// While a popup takes the keys, every key message of every window goes to
// it instead (a popup menu is never focused, its owner window is). Null ends it.
void zewindow_take_keys(zeWindow *popup);
int zewindow_count(void);               // open windows
// A close request from the system (log-off, SIGTERM): every open window gets
// 2001 as if its close button was pressed; with no window open the toolkit
// quits. Give it to zeevent_set_close_request_handler.
void zewindow_close_request(int sig);
