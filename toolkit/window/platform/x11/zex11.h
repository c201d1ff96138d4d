// Internals shared by the files of the X11 backend.
#pragma once
#include "zeplatform.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <mutex>

struct zeX11Win {
    bool used;
    Window xwin;
    zeNativeSink sink;
    void *owner;
    unsigned flags;
    const uint32_t *px;     // the pixels shown (caller's buffer)
    int pw, ph;
    int cw, ch;             // client size last known
    int rx, ry;             // client origin on the root last known
    bool mapped, hidden, iconic, maximised;
    int hx, hy;             // outer position when it was hidden
    Window tray_icon;       // icon window docked in the tray, 0 none
    bool tray_docked;       // the tray took the icon in (reparented it)
    long tray_asked;        // when docking was asked for, ms (monotonic)
    int dx0, dy0, dx1, dy1; // shown from another thread, to be sent by the main thread
    bool dirty;
    bool icon_due;          // _NET_WM_ICON not yet set (see set_due_icons)
};

extern Display *zex11_dpy;
extern Window zex11_root;
extern int zex11_screen;
// Guards the window table and the drawing calls against the timer thread.
extern std::recursive_mutex zex11_lock;

zeX11Win *zex11_win(int h);
// One past the highest handle given out: the bound of a walk over the windows.
int zex11_win_end(void);
zeX11Win *zex11_by_xid(Window w, int *handle);
Atom zex11_atom(const char *name);

// Reads a property of 32-bit items; returns the count (0 on failure), *data to XFree.
int zex11_prop32(Window w, Atom prop, Atom type, unsigned long **data);
// Sends a _NET_WM_STATE change for one state (action 1 add, 0 remove).
void zex11_wm_state(Window w, int action, Atom state);
bool zex11_has_state(Window w, Atom state);

// tray (zex11_tray.cpp)
bool zex11_tray_add(int h, const char *tip);
void zex11_tray_remove(int h);
bool zex11_tray_event(XEvent *ev);      // true when the event belonged to a tray icon
// An icon the tray never took in counts as a tray that went away (queued as
// such for the next dispatch).
void zex11_tray_check(void);

// desktop (zex11_desktop.cpp)
void zex11_workarea(zeRect *area);
long zex11_window_at(int x, int y);
bool zex11_is_desktop(long id);
int zex11_list_windows(zeNativeInfo *out, int max);
bool zex11_move_window(long id, int x, int y, int w, int h);
bool zex11_workarea_set(const zeRect *area);
void zex11_frame_extents(Window w, long ext[4]);   // left, right, top, bottom
void zex11_desktop_shutdown(void);

// clipboard (zex11_clip.cpp)
bool zex11_clipboard_set(const char *text);
const char *zex11_clipboard_get(void);
bool zex11_clip_event(XEvent *ev);
void zex11_clip_shutdown(void);

// dropped files (zex11_dnd.cpp)
void zex11_dnd_enable(Window w);
bool zex11_dnd_event(XEvent *ev);
const char *zex11_dropped_file(void);

// The pixel value of colour 0x00RRGGBB in the default visual.
unsigned long zex11_pixel(uint32_t colour);

// shared by the backend's files (zex11.cpp)
bool zex11_main_thread(void);
bool zex11_lost(void);                 // the connection broke
void zex11_wake_main(void);            // the pump sends what waits (zex11_send_queued) at its next look
void zex11_show_pixels(const zeX11Win *w, int x, int y, int cw, int ch);   // under zex11_lock, main thread
// Puts 0x00RRGGBB colours (w x h) at (0, 0) of d through a shared segment;
// false when segments are not used (then XPutImage).
bool zex11_shm_put(Drawable d, GC gc, const uint32_t *colors, int w, int h);
// Puts the rectangle (x, y, cw, ch) of pw x ph colours at the same place in d
// through the connection, converted to the visual where it needs that.
bool zex11_put_colors(Drawable d, GC gc, const uint32_t *colors, int pw, int ph, int x, int y, int cw, int ch);

// pictures kept by the server (zex11_image.cpp)
int zex11_img_create(const uint32_t *colors, const uint8_t *opaque, int w, int h);
void zex11_img_destroy(int img);
void zex11_win_copy_img(int win, int img, int sx, int sy, int cw, int ch, int dx, int dy);
// Another thread's show joins the queue while copies wait in it (false: none waits).
bool zex11_queue_show(int win, int x, int y, int cw, int ch);
void zex11_send_queued(void);
void zex11_images_shutdown(void);
int zex11_images_live(void);
// The picture's pixmap and size where it has no mask, else None.
Pixmap zex11_img_pixmap(int img, int *w, int *h);

// copies the server makes later by itself (zex11_present.cpp)
bool zex11_win_copy_imgs_later(int win, const zeImageCopy *copies, int n, int delayMs);
void zex11_present_shutdown(void);
