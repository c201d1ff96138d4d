// The scroll view: a rectangle of its parent (a window or another view) that
// shows part of a larger content pixmap. It is a graphic output (drawing
// commands go to the content), a container (controls register with it and
// get the mouse, key and focus messages that concern them) and a control of
// its own (it reports mouse activity under its event ids).
//
// Every window's client area is such a view: the window makes it through
// the hooks this module installs (zeview_install), and it becomes the
// standard view, the one new controls attach to.
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zepxmap.h"
#include "zescrollbar.h"

struct zeViewChild {
    bool inuse;
    int x, y, w, h;            // content coordinates
    zeHandler handler;
    void *owner;
    bool mouse, focus, hover, spare, tab;
};

// The view's own event ids (after ids[0], its main event).
enum {
    ZEVIEW_ID_LDOWN = 1, ZEVIEW_ID_LUP, ZEVIEW_ID_LDOUBLE, ZEVIEW_ID_MDOWN, ZEVIEW_ID_MUP,
    ZEVIEW_ID_RDOWN, ZEVIEW_ID_RUP, ZEVIEW_ID_WHEELUP, ZEVIEW_ID_WHEELDOWN, ZEVIEW_ID_MOTION,
};

struct zeView {
    zeControl c;               // the common record: ids, rectangle, colours, parent, flags
    zeViewChild *children;
    int nchildren, capacity;
    int focused, captured, hoverchild;
    int pointerx, pointery;    // content coordinates
    bool direct;               // draws straight into the parent's pixmap
    bool autorefresh;
    bool accelerated;
    zeScrollBar bars;
    int scrollx, scrolly;
    int centrex, centrey;
    bool vallowed, hallowed, vannounced, nokeyscroll;
    zePixmap content;
    // Beyond the record of the common part.
    zePixmap *px;              // &content, or the parent's pixmap when direct
    zePixmap *parentpx;
    zeGraphicOutput gout;      // px as a graphic output
    bool scheduled;            // a refresh is due
    bool destroying;
    zeHandler callback;        // the window's event callback (8030), or null
    void *callbackuser;
    long refreshes;            // copies to the parent so far

    zeView();
    ~zeView();
    zeView(const zeView &) = delete;
    zeView &operator=(const zeView &) = delete;
};

void zeview_init(zeView *v);
// Creates the view inside the standard view from an option string. The new
// view becomes the current graphic output (unless "nostandardview"); it
// becomes the standard view, where new controls attach, only with
// "standardview". The options: the control options ("x=", "y=", "xs=", "ys=", "bgcolor=", "border",
// "nofocus", ...) and "pxs=", "pys=", a format keyword, "noredraw",
// "nostandardview", "standardview", "opengl", "noverticalscrollbar",
// "nohorizontalscrollbar", "nokeyscroll".
bool zeview_create(zeView *v, const char *fmt, ...);
bool zeview_vcreate(zeView *v, const char *fmt, va_list ap);
// The same inside a given parent: its handler and object and the pixmap the
// view copies into. allowdirect lets a view that covers the whole parent
// pixmap with content of its own size draw straight into it.
bool zeview_create_in(zeView *v, zeHandler parent, void *parentowner, zePixmap *parentpx, bool allowdirect,
                      const char *fmt, ...);
void zeview_destroy(zeView *v);

// Width or height 0 keeps that one; bars and centring are set up again.
void zeview_resize_content(zeView *v, int width, int height, bool hallowed, bool vallowed);
void zeview_make_standard(zeView *v);
void zeview_set_scroll_y(zeView *v, int y);
int zeview_get_scroll_y(const zeView *v);
void zeview_set_scroll_x(zeView *v, int x);
int zeview_get_scroll_x(const zeView *v);
// Scroll by n pixels (negative: up or left), as the bars and keys do.
void zeview_scroll_by(zeView *v, int dx, int dy);
// Copies the visible part to the parent at once and draws the bars.
void zeview_refresh(zeView *v);
// A refresh later, at the next timer tick: drawing bursts cost one copy.
void zeview_schedule(zeView *v);
// Refreshes every view that has one due now.
void zeview_flush(void);

// A plain copy (no transparency) of a rectangle between pixmaps, clipped
// on both sides; controls with a picture of their own show it with it.
void zeview_blit(zePixmap *dst, int dx, int dy, const zePixmap *src, int sx, int sy, int w, int h);

// The content pixmap (the parent's when direct) and its output size as a
// page sees it (content minus a shown bar).
zePixmap *zeview_pixmap(zeView *v);
int zeview_output_width(const zeView *v);
int zeview_output_height(const zeView *v);
// The child that has the keyboard focus, or -1; gives child i the focus as
// a click would (false when refused).
int zeview_focused(const zeView *v);
bool zeview_focus_child(zeView *v, int index);
// The view's message handler (graphic output, container and control).
zearg zeview_handler(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                     zearg a7, zearg a8);

// The standard view (where new controls attach), or null.
zeView *zeview_standard(void);
// The main view of an open window, or null.
struct zeWindow;
zeView *zeview_of_window(zeWindow *w);

// While a page is built, bring-into-view requests are ignored.
void zeview_set_building(bool building);
// Installs the window's view hooks and the initial-layout hook (also done
// when the module is loaded; calling again is harmless).
void zeview_install(void);
