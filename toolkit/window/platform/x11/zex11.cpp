// The X11 backend: top-level windows that show the caller's pixels, and the
// translation of X events into toolkit window messages.
//
// Threads: only the main thread calls Xlib. win_show may come from the timer
// thread (the digits are drawn there): it then only marks the rectangle and
// wakes the main thread, whose pump sends it. Xlib used from two threads hung
// for good when the connection broke while both were inside it. The marks and
// every change of the window table hold zex11_lock. Sinks are called without
// the lock.
#include "zex11.h"
#include "../zeinput.h"
#include "zeevent.h"
#include "zeicon.h"
#include "zetimer.h"
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

Display *zex11_dpy;
Window zex11_root;
int zex11_screen;
std::recursive_mutex zex11_lock;

static std::vector<zeX11Win> g_wins(1);   // index = handle; 0 unused
// The two pointer shapes, made on first use; every window of ours shows
// the chosen one (the pointer is over one of them at a time).
static Cursor g_cursors[2];
static bool g_hand;

static GC g_gc;
static Visual *g_visual;
static int g_depth;
static bool g_direct_pixels;   // the visual takes 0x00RRGGBB words as they are
static int g_refresh;

// The connection to the display broke (the server ended or the network
// went): Xlib's own answer is exit(1) from inside whatever call noticed it,
// which would lose the application's unsaved state. Instead the backend goes
// quiet (no descriptor, no events; Xlib turns later calls into no-ops once
// the connection is marked broken) and the program leaves through its normal
// close path, as on SIGHUP. Set from whichever thread noticed it.
static std::atomic<bool> g_lost;
static std::thread::id g_main_thread;
static std::atomic<bool> g_marked;   // some window has a rectangle marked by another thread

static int on_xioerror(Display *) {
    if (!g_lost.exchange(true)) {
        printf("x11: display connection lost\n");
        fflush(stdout);
        zeevent_request_close(SIGHUP);
    }
    return 0;
}

// Called after on_xioerror; returning instead of exiting keeps the process.
static void on_xio_exit(Display *, void *) {}

// Shared pixel segments (MIT-SHM): the server reads a window's pixels from
// our memory, so a show is a request of a few dozen bytes. Used only on a
// local connection; the first failure turns it off for good and the pixels
// go through the connection (XPutImage) as before.
struct ShmPixels {
    XShmSegmentInfo info;
    XImage *img;          // the whole segment for XShmPutImage; points at info
    bool server_attached;
};
static std::vector<ShmPixels *> g_shm;   // the records stay put: images point into them
static int g_shm_state;        // 0 not yet asked, 1 usable, -1 off
static int g_shm_opcode;       // the extension's major opcode, for its errors
static bool g_shm_refused;     // an error answered one of its requests

static int on_xerror(Display *d, XErrorEvent *e) {
    if (g_shm_opcode && e->request_code == g_shm_opcode) g_shm_refused = true;
    // Windows of other programs may vanish while we look at them: not fatal.
    char text[200];
    XGetErrorText(d, e->error_code, text, sizeof text);
    if (getenv("ZE_X11_DEBUG")) printf("x11: %s (request %d)\n", text, e->request_code);
    return 0;
}

Atom zex11_atom(const char *name) { return XInternAtom(zex11_dpy, name, False); }

ZE_HOT zeX11Win *zex11_win(int h) {
    if (h <= 0 || h >= (int)g_wins.size() || !g_wins[h].used) return nullptr;
    return &g_wins[h];
}

ZE_HOT int zex11_win_end(void) { return (int)g_wins.size(); }

zeX11Win *zex11_by_xid(Window w, int *handle) {
    for (size_t i = 1; i < g_wins.size(); i++)
        if (g_wins[i].used && g_wins[i].xwin == w) {
            if (handle) *handle = (int)i;
            return &g_wins[i];
        }
    return nullptr;
}

int zex11_prop32(Window w, Atom prop, Atom type, unsigned long **data) {
    Atom got;
    int fmt;
    unsigned long n, after;
    unsigned char *p = nullptr;
    *data = nullptr;
    if (XGetWindowProperty(zex11_dpy, w, prop, 0, 4096, False, type, &got, &fmt, &n, &after, &p) != Success)
        return 0;
    if (!p || fmt != 32 || n == 0) {
        if (p) XFree(p);
        return 0;
    }
    *data = (unsigned long *)p;
    return (int)n;
}

void zex11_wm_state(Window w, int action, Atom state) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = zex11_atom("_NET_WM_STATE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = action;
    e.xclient.data.l[1] = (long)state;
    e.xclient.data.l[3] = 2;   // a pager-like request: honoured at once
    XSendEvent(zex11_dpy, zex11_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

bool zex11_has_state(Window w, Atom state) {
    unsigned long *d;
    int n = zex11_prop32(w, zex11_atom("_NET_WM_STATE"), XA_ATOM, &d);
    bool found = false;
    for (int i = 0; i < n; i++) found |= d[i] == state;
    if (d) XFree(d);
    return found;
}

// ----- connection -----

enum { OPEN_RETRIES = 5, OPEN_RETRY_US = 100000 };

// The atoms that start-up and window creation ask for, in one round trip
// instead of one each: Xlib keeps them, so zex11_atom finds them without
// asking the server again. The first frame waits for every round trip.
static void intern_start_atoms(void) {
    static const char *const names[] = {
        "_NET_WORKAREA", "_NET_CURRENT_DESKTOP", "_NET_WM_NAME", "UTF8_STRING", "_NET_WM_ICON",
        "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING", "_NET_WM_PID", "_MOTIF_WM_HINTS", "_NET_WM_STATE",
        "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_WINDOW_TYPE",
        "_NET_WM_WINDOW_TYPE_NORMAL", "XdndAware", "_NET_FRAME_EXTENTS", "WM_STATE",
        "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_ACTIVE_WINDOW",
    };
    enum { N = sizeof names / sizeof *names };
    Atom atoms[N];
    XInternAtoms(zex11_dpy, (char **)names, N, False, atoms);
}

static bool x_init(void) {
    if (zex11_dpy) return true;
    static bool threads = XInitThreads() != 0;
    (void)threads;
    g_main_thread = std::this_thread::get_id();
    zex11_dpy = XOpenDisplay(nullptr);
    // A server refuses clients for a moment while it resets (an X server
    // does when its last client leaves): a named display gets a few more tries
    // before the program gives up on it.
    const char *name = getenv("DISPLAY");
    for (int i = 0; !zex11_dpy && name && *name && i < OPEN_RETRIES; i++) {
        usleep(OPEN_RETRY_US);
        zex11_dpy = XOpenDisplay(nullptr);
    }
    if (!zex11_dpy) return false;
    // A write to a connection the server closed raises SIGPIPE, whose default
    // ends the process before on_xioerror can start the close path. Child
    // processes get the default back when they are started.
    struct sigaction pipe_action;
    if (sigaction(SIGPIPE, nullptr, &pipe_action) == 0 && pipe_action.sa_handler == SIG_DFL)
        signal(SIGPIPE, SIG_IGN);
    XSetErrorHandler(on_xerror);
    XSetIOErrorHandler(on_xioerror);
    XSetIOErrorExitHandler(zex11_dpy, on_xio_exit, nullptr);
    g_lost = false;
    zex11_screen = DefaultScreen(zex11_dpy);
    zex11_root = RootWindow(zex11_dpy, zex11_screen);
    g_visual = DefaultVisual(zex11_dpy, zex11_screen);
    g_depth = DefaultDepth(zex11_dpy, zex11_screen);
    g_gc = XCreateGC(zex11_dpy, zex11_root, 0, nullptr);
    g_direct_pixels = g_depth >= 24 && g_visual->red_mask == 0xFF0000 && g_visual->green_mask == 0xFF00 &&
                      g_visual->blue_mask == 0xFF;
    Bool supported;
    // Held keys repeat as presses only, as the toolkit expects.
    XkbSetDetectableAutoRepeat(zex11_dpy, True, &supported);
    intern_start_atoms();
    return true;
}

static void x_shutdown(void) {
    if (!zex11_dpy) return;
    zex11_clip_shutdown();
    zex11_desktop_shutdown();
    zex11_images_shutdown();
    zex11_present_shutdown();
    for (size_t i = 1; i < g_wins.size(); i++)
        if (g_wins[i].used) {
            zex11_tray_remove((int)i);
            XDestroyWindow(zex11_dpy, g_wins[i].xwin);
        }
    g_wins.assign(1, zeX11Win());
    // Our side stays mapped: windows still open keep drawing into it until
    // they give it back (or the process ends, which removes the segments).
    for (ShmPixels *sp : g_shm)
        if (sp->server_attached) XShmDetach(zex11_dpy, &sp->info), sp->server_attached = false;
    g_shm_state = 0, g_shm_opcode = 0;
    for (Cursor &c : g_cursors)
        if (c) XFreeCursor(zex11_dpy, c), c = 0;
    XFreeGC(zex11_dpy, g_gc);
    XCloseDisplay(zex11_dpy);
    zex11_dpy = nullptr;
}

// A broken connection's descriptor stays readable for ever: it must leave the
// pump's wait, or the pump would spin.
ZE_HOT static int x_fd(void) { return zex11_dpy && !g_lost ? ConnectionNumber(zex11_dpy) : -1; }
static void send_marked(void);
static void set_due_icons(void);

// The pump asks this before every sleep: XPending sends what is buffered
// (the shows of this wake) and reads the socket only when no event is queued.
ZE_HOT static bool x_pending(void) {
    if (!zex11_dpy || g_lost) return false;
    send_marked();
    zex11_tray_check();
    if (XPending(zex11_dpy) > 0) return true;
    set_due_icons();
    return false;
}

static void x_screen_size(int *w, int *h) {
    *w = DisplayWidth(zex11_dpy, zex11_screen);
    *h = DisplayHeight(zex11_dpy, zex11_screen);
}

static int x_refresh_hz(void) {
    if (g_refresh) return g_refresh;
    g_refresh = 60;
    int ev, err;
    if (!XRRQueryExtension(zex11_dpy, &ev, &err)) return g_refresh;
    XRRScreenConfiguration *c = XRRGetScreenInfo(zex11_dpy, zex11_root);
    if (!c) return g_refresh;
    short rate = XRRConfigCurrentRate(c);
    XRRFreeScreenConfigInfo(c);
    if (rate > 0) g_refresh = rate;
    return g_refresh;
}

static int x_depth(void) { return g_depth; }

// ----- windows -----

static void set_title(Window w, const char *title) {
    XStoreName(zex11_dpy, w, title);
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_NAME"), zex11_atom("UTF8_STRING"), 8, PropModeReplace,
                    (const unsigned char *)title, (int)strlen(title));
}

static void set_size_hints(Window w, int x, int y, int cw, int ch, unsigned flags) {
    XSizeHints *sh = XAllocSizeHints();
    sh->flags = USPosition | PPosition | PSize | PWinGravity;
    sh->x = x, sh->y = y, sh->width = cw, sh->height = ch;
    sh->win_gravity = NorthWestGravity;
    if (!(flags & ZENW_RESIZE)) {
        sh->flags |= PMinSize | PMaxSize;
        sh->min_width = sh->max_width = cw;
        sh->min_height = sh->max_height = ch;
    }
    XSetWMNormalHints(zex11_dpy, w, sh);
    XFree(sh);
}

// The class names the program ("quimo" gives "Quimo"), so that the desktop
// matches its windows to the program's desktop entry.
static char *window_class(void) {
    static char cls[64];
    if (!cls[0]) {
        snprintf(cls, sizeof cls, "%s", program_invocation_short_name);
        if (cls[0] >= 'a' && cls[0] <= 'z') cls[0] = (char)(cls[0] - 'a' + 'A');
    }
    return cls;
}

// The program's icon in the sizes desktops show (width, height, then the
// pixels of each, as _NET_WM_ICON lists them); drawn once.
static const std::vector<long> &window_icon(void) {
    static std::vector<long> data;
    if (!data.empty()) return data;
    static const int sizes[] = {16, 32, 48, 64};
    std::vector<uint32_t> px;
    for (int size : sizes) {
        px.resize((size_t)size * size);
        if (!zeicon_draw(px.data(), size)) continue;
        data.push_back(size);
        data.push_back(size);
        for (uint32_t p : px) data.push_back((long)p);
    }
    return data;
}

// The icon is drawn and given to a window only once its first frame is on
// the screen, when nothing else waits: drawing it takes longer than the rest
// of the start, and window managers pick up a later icon as they do a new one.
// g_icons_due: some window still waits for its icon. It spares the idle
// wake, which comes here every time, the lock and the walk over the windows.
static bool g_icons_due;

ZE_HOT static void set_due_icons(void) {
    if (!g_icons_due) return;
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    g_icons_due = false;
    for (size_t i = 1; i < g_wins.size(); i++) {
        zeX11Win &w = g_wins[i];
        if (!w.used || !w.icon_due) continue;
        if (!w.mapped) {
            g_icons_due = true;
            continue;
        }
        const std::vector<long> &icon = window_icon();
        XChangeProperty(zex11_dpy, w.xwin, zex11_atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                        (const unsigned char *)icon.data(), (int)icon.size());
        w.icon_due = false;
        XFlush(zex11_dpy);
    }
}

// What the window manager reads when the window is mapped.
static void set_wm_properties(Window w, const zeNativeSpec *s) {
    XWMHints wm = {};
    wm.flags = InputHint | StateHint;
    wm.input = True;
    wm.initial_state = NormalState;
    XSetWMHints(zex11_dpy, w, &wm);
    XClassHint cls = {(char *)program_invocation_short_name, window_class()};
    XSetClassHint(zex11_dpy, w, &cls);
    Atom protocols[2] = {zex11_atom("WM_DELETE_WINDOW"), zex11_atom("_NET_WM_PING")};
    XSetWMProtocols(zex11_dpy, w, protocols, 2);
    long pid = getpid();
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char *)&pid, 1);
    // Motif hints: flags (1 functions, 2 decorations), functions, decorations.
    enum { MWM_FUNCTIONS = 1, MWM_DECORATIONS = 2, MWM_FUNC_RESIZE = 2, MWM_FUNC_MOVE = 4,
};
    long motif[5] = {0, 0, 0, 0, 0};
    bool resize = s->flags & ZENW_RESIZE;
    bool caption = !(s->flags & (ZENW_NOTITLE | ZENW_FULLSCREEN)) && s->title && *s->title;
    if (!caption) motif[0] |= MWM_DECORATIONS;
    if (s->flags & ZENW_NOSYSMENU) {
        // Move (and resize) only: no close, minimise or maximise. The caption
        // stays: a dialog's title says what it asks, and it is where users drag
        // it. Window managers that draw their buttons anyway (openbox) still
        // show them; the window answers a close as its options say.
        motif[0] |= MWM_FUNCTIONS;
        motif[1] = MWM_FUNC_MOVE | (resize ? MWM_FUNC_RESIZE : 0);
    }
    if (motif[0]) {
        Atom a = zex11_atom("_MOTIF_WM_HINTS");
        XChangeProperty(zex11_dpy, w, a, a, 32, PropModeReplace, (unsigned char *)motif, 5);
    }
    Atom states[3];
    int n = 0;
    if (s->flags & ZENW_ABOVE) states[n++] = zex11_atom("_NET_WM_STATE_ABOVE");
    if (s->flags & ZENW_FULLSCREEN) states[n++] = zex11_atom("_NET_WM_STATE_FULLSCREEN");
    if (s->flags & ZENW_NOTITLE) states[n++] = zex11_atom("_NET_WM_STATE_SKIP_TASKBAR");
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)states, n);
    Atom type = zex11_atom("_NET_WM_WINDOW_TYPE_NORMAL");
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)&type, 1);
    // A popup stays with its window: stacked above it, never apart in a task bar.
    zeX11Win *owner = s->owner ? zex11_win(s->owner) : nullptr;
    if (owner) XSetTransientForHint(zex11_dpy, w, owner->xwin);
}

static Cursor cursor_for(bool hand) {
    Cursor &c = g_cursors[hand ? 1 : 0];
    if (!c) c = XCreateFontCursor(zex11_dpy, hand ? XC_hand2 : XC_left_ptr);
    return c;
}

static void x_cursor_set(bool hand) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    g_hand = hand;
    if (!zex11_dpy) return;
    Cursor c = cursor_for(hand);
    for (size_t i = 1; i < g_wins.size(); i++)
        if (g_wins[i].used) XDefineCursor(zex11_dpy, g_wins[i].xwin, c);
    XFlush(zex11_dpy);
}

static int new_handle(void) {
    for (size_t i = 1; i < g_wins.size(); i++)
        if (!g_wins[i].used) return (int)i;
    if (g_wins.size() > 1000) return 0;
    g_wins.push_back(zeX11Win());
    return (int)g_wins.size() - 1;
}

static int x_win_create(const zeNativeSpec *s, zeNativeSink sink, void *owner) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    int h = new_handle();
    if (!h) return 0;
    int x = s->x, y = s->y, cw = s->width > 0 ? s->width : 100, ch = s->height > 0 ? s->height : 100;
    if (x < 0) {
        zeRect wa;
        zex11_workarea(&wa);
        x = wa.x, y = wa.y;
    }
    if (s->flags & ZENW_FULLSCREEN) x = 0, y = 0;
    bool popup = s->flags & ZENW_POPUP;
    XSetWindowAttributes a = {};
    a.background_pixmap = None;   // exposed parts are painted from the pixels, no flash
    a.bit_gravity = NorthWestGravity;
    a.override_redirect = popup;
    a.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | StructureNotifyMask | FocusChangeMask | PropertyChangeMask;
    Window w = XCreateWindow(zex11_dpy, zex11_root, x, y, cw, ch, 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask, &a);
    if (!w) return 0;
    set_title(w, s->title ? s->title : "");
    set_size_hints(w, x, y, cw, ch, s->flags);
    set_wm_properties(w, s);
    zex11_dnd_enable(w);
    if (g_hand) XDefineCursor(zex11_dpy, w, cursor_for(true));
    zeX11Win &r = g_wins[h];
    r = zeX11Win();
    r.used = true, r.xwin = w, r.sink = sink, r.owner = owner, r.flags = s->flags;
    r.icon_due = true;
    g_icons_due = true;
    r.cw = cw, r.ch = ch, r.rx = x, r.ry = y;
    // A popup without a named owner belongs to the window that has the focus
    // (the one it opened from).
    if (popup && !s->owner) {
        Window focus = 0;
        int revert;
        XGetInputFocus(zex11_dpy, &focus, &revert);
        if (focus && zex11_by_xid(focus, nullptr)) XSetTransientForHint(zex11_dpy, w, focus);
    }
    XMapRaised(zex11_dpy, w);
    // A popup is mapped at once (no window manager in between); make it
    // viewable now so that it can take the pointer.
    if (popup) XSync(zex11_dpy, False), r.mapped = true;
    XFlush(zex11_dpy);
    return h;
}

static void x_win_destroy(int h) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    zex11_tray_remove(h);
    XDestroyWindow(zex11_dpy, w->xwin);
    XFlush(zex11_dpy);
    *w = zeX11Win();
}

static void x_win_set_pixels(int h, const uint32_t *px, int pw, int ph) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    if (zeX11Win *w = zex11_win(h)) w->px = px, w->pw = pw, w->ph = ph;
}

// Visuals that do not take 0x00RRGGBB words directly get each pixel converted.
static unsigned long to_visual(uint32_t c) {
    auto place = [](uint32_t v8, unsigned long mask) -> unsigned long {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1)) shift++;
        while ((mask >> (shift + bits)) & 1) bits++;
        return ((unsigned long)(v8 >> (8 - (bits < 8 ? bits : 8))) << shift) & mask;
    };
    return place((c >> 16) & 0xFF, g_visual->red_mask) | place((c >> 8) & 0xFF, g_visual->green_mask) |
           place(c & 0xFF, g_visual->blue_mask);
}

unsigned long zex11_pixel(uint32_t colour) { return to_visual(colour); }

// ----- shared pixels -----

static void shm_off(const char *why) {
    g_shm_state = -1;
    if (getenv("ZE_X11_DEBUG")) printf("x11: MIT-SHM not used (%s): pixels go through the connection\n", why);
}

static bool local_connection(void) {
    struct sockaddr_storage a;
    socklen_t n = sizeof a;
    if (getsockname(ConnectionNumber(zex11_dpy), (struct sockaddr *)&a, &n) != 0) return false;
    return a.ss_family == AF_UNIX;
}

// Asked once per connection. The colours are shared as they are, so the
// server must take 0x00RRGGBB words in this machine's byte order.
static bool shm_usable(void) {
    if (g_shm_state) return g_shm_state > 0;
    int event, error;
    bool native_lsb = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    if (!g_direct_pixels) shm_off("the visual needs converted pixels");
    else if (!local_connection()) shm_off("not a local connection");
    else if (!XShmQueryExtension(zex11_dpy)) shm_off("the server does not offer it");
    else if (!XQueryExtension(zex11_dpy, "MIT-SHM", &g_shm_opcode, &event, &error)) shm_off("no opcode");
    else if ((ImageByteOrder(zex11_dpy) == LSBFirst) != native_lsb) shm_off("another byte order");
    else g_shm_state = 1;
    return g_shm_state > 0;
}

static void shm_drop_image(XImage *img) {
    img->data = nullptr;   // the segment is not Xlib's to free
    XDestroyImage(img);
}

// A failed step gives back what the earlier ones took.
static uint32_t *shm_fail(ShmPixels *sp, const char *why) {
    if (sp->img) shm_drop_image(sp->img);
    delete sp;
    shm_off(why);
    return nullptr;
}

static uint32_t *x_win_alloc_pixels(int pw, int ph) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    if (!zex11_dpy || g_lost || pw <= 0 || ph <= 0 || !shm_usable()) return nullptr;
    ShmPixels *sp = new ShmPixels();
    sp->img = XShmCreateImage(zex11_dpy, g_visual, g_depth, ZPixmap, nullptr, &sp->info, pw, ph);
    if (!sp->img || sp->img->bits_per_pixel != 32 || sp->img->bytes_per_line != pw * 4)
        return shm_fail(sp, "no 32-bit image");
    sp->info.shmid = shmget(IPC_PRIVATE, (size_t)pw * ph * 4, IPC_CREAT | 0600);
    if (sp->info.shmid < 0) return shm_fail(sp, strerror(errno));
    sp->info.shmaddr = (char *)shmat(sp->info.shmid, nullptr, 0);
    if (sp->info.shmaddr == (char *)-1) {
        const char *why = strerror(errno);
        shmctl(sp->info.shmid, IPC_RMID, nullptr);
        return shm_fail(sp, why);
    }
    sp->img->data = sp->info.shmaddr;
    sp->info.readOnly = True;
    // The one round trip: a remote server, or one that may not read our
    // segment, answers the attach with an error.
    g_shm_refused = false;
    XShmAttach(zex11_dpy, &sp->info);
    XSync(zex11_dpy, False);
    // Both sides hold it now: removed as soon as both let go, even when the
    // program is killed.
    shmctl(sp->info.shmid, IPC_RMID, nullptr);
    if (g_shm_refused || g_lost) {
        shmdt(sp->info.shmaddr);
        return shm_fail(sp, "the server refused the segment");
    }
    sp->server_attached = true;
    g_shm.push_back(sp);
    return (uint32_t *)sp->info.shmaddr;
}

static void x_win_free_pixels(uint32_t *px) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    for (size_t i = 0; i < g_shm.size(); i++) {
        ShmPixels *sp = g_shm[i];
        if ((uint32_t *)sp->info.shmaddr != px) continue;
        // The server works off earlier puts from the segment before the detach.
        if (sp->server_attached && zex11_dpy) XShmDetach(zex11_dpy, &sp->info);
        shm_drop_image(sp->img);
        shmdt(sp->info.shmaddr);
        delete sp;
        g_shm.erase(g_shm.begin() + (long)i);
        return;
    }
}

static const ShmPixels *shm_of(const uint32_t *px) {
    for (const ShmPixels *sp : g_shm)
        if ((const uint32_t *)sp->info.shmaddr == px && sp->server_attached) return sp;
    return nullptr;
}

// A picture for a server pixmap through a segment of its own: a picture of
// Size 100 digits is 200 KB, which would otherwise go through the socket.
bool zex11_shm_put(Drawable d, GC gc, const uint32_t *colors, int w, int h) {
    uint32_t *mem = x_win_alloc_pixels(w, h);
    const ShmPixels *sp = mem ? shm_of(mem) : nullptr;
    if (!sp) {
        if (mem) x_win_free_pixels(mem);
        return false;
    }
    memcpy(mem, colors, (size_t)w * h * 4);
    XShmPutImage(zex11_dpy, d, gc, sp->img, 0, 0, 0, 0, w, h, False);
    x_win_free_pixels(mem);
    return true;
}

bool zex11_put_colors(Drawable d, GC gc, const uint32_t *colors, int pw, int ph, int x, int y, int cw, int ch) {
    if (g_direct_pixels) {
        XImage *img = XCreateImage(zex11_dpy, g_visual, g_depth, ZPixmap, 0, (char *)colors, pw, ph, 32, pw * 4);
        if (!img) return false;
        // The words are in this machine's order; Xlib swaps for the server.
        img->byte_order = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? MSBFirst : LSBFirst;
        XPutImage(zex11_dpy, d, gc, img, x, y, x, y, cw, ch);
        img->data = nullptr;
        XDestroyImage(img);
        return true;
    }
    XImage *img = XCreateImage(zex11_dpy, g_visual, g_depth, ZPixmap, 0, nullptr, cw, ch, 32, 0);
    if (!img) return false;
    img->data = (char *)malloc((size_t)img->bytes_per_line * ch);
    if (!img->data) {
        XDestroyImage(img);
        return false;
    }
    for (int j = 0; j < ch; j++)
        for (int i = 0; i < cw; i++) XPutPixel(img, i, j, to_visual(colors[(size_t)(y + j) * pw + x + i]));
    XPutImage(zex11_dpy, d, gc, img, 0, 0, x, y, cw, ch);
    XDestroyImage(img);
    return true;
}

static void put_pixels(const zeX11Win *w, int x, int y, int cw, int ch) {
    // No completion event is asked for: the segment always holds the newest
    // pixels and every change is followed by a put, so a server that reads
    // late shows newer pixels, never older ones.
    if (const ShmPixels *sp = shm_of(w->px)) {
        XShmPutImage(zex11_dpy, w->xwin, g_gc, sp->img, x, y, x, y, cw, ch, False);
        return;
    }
    zex11_put_colors(w->xwin, g_gc, w->px, w->pw, w->ph, x, y, cw, ch);
}

// A rectangle of the pixels, clipped to them: the window may be larger than
// its pixmap (another client or the window manager resized it), and an
// exposed part beyond the pixmap has nothing to show. Under zex11_lock.
static void show_clipped(const zeX11Win *w, int x, int y, int cw, int ch) {
    if (!w->px) return;
    if (x < 0) cw += x, x = 0;
    if (y < 0) ch += y, y = 0;
    if (x + cw > w->pw) cw = w->pw - x;
    if (y + ch > w->ph) ch = w->ph - y;
    if (cw <= 0 || ch <= 0) return;
    put_pixels(w, x, y, cw, ch);
}

// Another thread's show: the union of its rectangles waits for the main thread.
static void mark(zeX11Win *w, int x, int y, int cw, int ch) {
    if (cw <= 0 || ch <= 0) return;
    if (!w->dirty) w->dx0 = x, w->dy0 = y, w->dx1 = x + cw, w->dy1 = y + ch;
    w->dx0 = std::min(w->dx0, x), w->dy0 = std::min(w->dy0, y);
    w->dx1 = std::max(w->dx1, x + cw), w->dy1 = std::max(w->dy1, y + ch);
    w->dirty = true;
    g_marked = true;
}

ZE_HOT bool zex11_main_thread(void) { return std::this_thread::get_id() == g_main_thread; }
ZE_HOT bool zex11_lost(void) { return g_lost; }
void zex11_wake_main(void) {
    g_marked = true;
    zetimer_wake_main();
}
void zex11_show_pixels(const zeX11Win *w, int x, int y, int cw, int ch) { show_clipped(w, x, y, cw, ch); }

// The marked shows come before the queued operations: those were made
// after the first of them (see zex11_queue_show).
ZE_HOT static void send_marked(void) {
    if (!g_marked.exchange(false)) return;
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    for (size_t i = 1; i < g_wins.size(); i++) {
        zeX11Win &w = g_wins[i];
        if (!w.used || !w.dirty) continue;
        w.dirty = false;
        show_clipped(&w, w.dx0, w.dy0, w.dx1 - w.dx0, w.dy1 - w.dy0);
    }
    zex11_send_queued();
    XFlush(zex11_dpy);
}

static void x_win_show(int h, int x, int y, int cw, int ch) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    zeX11Win *w = zex11_win(h);
    if (!w || g_lost) return;
    if (std::this_thread::get_id() != g_main_thread) {
        if (zex11_queue_show(h, x, y, cw, ch)) return;
        mark(w, x, y, cw, ch);
        zetimer_wake_main();
        return;
    }
    // Sent with everything else of this wake when the pump next looks for
    // events (x_pending flushes before it sleeps): one write, not one per
    // rectangle.
    show_clipped(w, x, y, cw, ch);
}

static void x_win_move(int h, int x, int y) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    XMoveWindow(zex11_dpy, w->xwin, x, y);
    XFlush(zex11_dpy);
}

static void x_win_resize(int h, int cw, int ch) {
    zeX11Win *w = zex11_win(h);
    if (!w || cw <= 0 || ch <= 0) return;
    int ox, oy;
    Window child;
    XTranslateCoordinates(zex11_dpy, w->xwin, zex11_root, 0, 0, &ox, &oy, &child);
    set_size_hints(w->xwin, ox, oy, cw, ch, w->flags);
    XResizeWindow(zex11_dpy, w->xwin, cw, ch);
    XFlush(zex11_dpy);
}

static void x_win_client_origin(int h, int *x, int *y) {
    zeX11Win *w = zex11_win(h);
    *x = 0, *y = 0;
    if (!w) return;
    Window child;
    XTranslateCoordinates(zex11_dpy, w->xwin, zex11_root, 0, 0, x, y, &child);
}

static void x_win_rect(int h, zeRect *r) {
    zeX11Win *w = zex11_win(h);
    *r = {0, 0, 0, 0};
    if (!w) return;
    XWindowAttributes a;
    if (!XGetWindowAttributes(zex11_dpy, w->xwin, &a)) return;
    long ext[4] = {0, 0, 0, 0};
    if (!(w->flags & ZENW_POPUP)) zex11_frame_extents(w->xwin, ext);
    int ox, oy;
    x_win_client_origin(h, &ox, &oy);
    *r = {ox - (int)ext[0], oy - (int)ext[2], a.width + (int)(ext[0] + ext[1]), a.height + (int)(ext[2] + ext[3])};
}

static void x_win_raise(int h);

static void x_win_set_visible(int h, bool visible) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    bool was_hidden = w->hidden;
    w->hidden = !visible;
    if (visible) {
        // A withdrawn window is placed anew when mapped: where it was.
        if (was_hidden && !(w->flags & ZENW_POPUP)) {
            set_size_hints(w->xwin, w->hx, w->hy, w->cw, w->ch, w->flags);
            XMoveWindow(zex11_dpy, w->xwin, w->hx, w->hy);
        }
        XMapRaised(zex11_dpy, w->xwin);
        // Not viewable: minimised, or its frame hidden by the window
        // manager ("show desktop"); mapping alone may not bring it back,
        // activating it does.
        XWindowAttributes a;
        if (!(w->flags & ZENW_POPUP) && XGetWindowAttributes(zex11_dpy, w->xwin, &a) && a.map_state != IsViewable)
            x_win_raise(h);
    } else if (w->flags & ZENW_POPUP) {
        XUnmapWindow(zex11_dpy, w->xwin);
    } else if (!was_hidden) {
        zeRect r;
        x_win_rect(h, &r);
        w->hx = r.x, w->hy = r.y;
        XWithdrawWindow(zex11_dpy, w->xwin, zex11_screen);
    }
    XFlush(zex11_dpy);
}

static void x_win_minimise(int h) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    // A minimised window must stay reachable: into the task bar with it.
    if (w->flags & ZENW_NOTITLE) zex11_wm_state(w->xwin, 0, zex11_atom("_NET_WM_STATE_SKIP_TASKBAR"));
    XIconifyWindow(zex11_dpy, w->xwin, zex11_screen);
    XFlush(zex11_dpy);
}

static void x_win_set_title(int h, const char *t) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    set_title(w->xwin, t ? t : "");
    XFlush(zex11_dpy);
}

static void x_win_raise(int h) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    XRaiseWindow(zex11_dpy, w->xwin);
    if (w->flags & ZENW_POPUP) {
        XSetInputFocus(zex11_dpy, w->xwin, RevertToParent, CurrentTime);
    } else {
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w->xwin;
        e.xclient.message_type = zex11_atom("_NET_ACTIVE_WINDOW");
        e.xclient.format = 32;
        e.xclient.data.l[0] = 2;   // from a pager: the window manager does not refuse it
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(zex11_dpy, zex11_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }
    XFlush(zex11_dpy);
}

static void x_win_set_above(int h, bool above) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    if (above) w->flags |= ZENW_ABOVE;
    else w->flags &= ~ZENW_ABOVE;
    Atom a = zex11_atom("_NET_WM_STATE_ABOVE");
    if (w->mapped) {
        zex11_wm_state(w->xwin, above ? 1 : 0, a);
    } else if (above) {
        XChangeProperty(zex11_dpy, w->xwin, zex11_atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeAppend,
                        (unsigned char *)&a, 1);
    }
    XFlush(zex11_dpy);
}

static long x_win_native(int h) {
    zeX11Win *w = zex11_win(h);
    return w ? (long)w->xwin : 0;
}

static void x_win_capture(int h) {
    zeX11Win *w = zex11_win(h);
    if (!w) return;
    XGrabPointer(zex11_dpy, w->xwin, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XFlush(zex11_dpy);
}

static void x_win_release(void) {
    XUngrabPointer(zex11_dpy, CurrentTime);
    XFlush(zex11_dpy);
}

// ----- events -----

struct KeyMap {
    KeySym sym;
    int code;
};
static const KeyMap g_keys[] = {
    {XK_Tab, 9}, {XK_ISO_Left_Tab, 9}, {XK_Return, 10}, {XK_KP_Enter, 10}, {XK_Escape, 27},
    {XK_space, 32}, {XK_Left, 301}, {XK_KP_Left, 301}, {XK_Right, 302}, {XK_KP_Right, 302},
    {XK_Up, 303}, {XK_KP_Up, 303}, {XK_Down, 304}, {XK_KP_Down, 304}, {XK_F1, 305}, {XK_F2, 306},
    {XK_F3, 307}, {XK_F4, 308}, {XK_F5, 309}, {XK_F6, 310}, {XK_F7, 311}, {XK_F8, 312}, {XK_F9, 313},
    {XK_F10, 314}, {XK_F11, 315}, {XK_F12, 316}, {XK_Insert, 317}, {XK_KP_Insert, 317},
    {XK_Control_L, 318}, {XK_Control_R, 318}, {XK_Shift_L, 319}, {XK_Shift_R, 319}, {XK_Home, 320},
    {XK_KP_Home, 320}, {XK_End, 321}, {XK_KP_End, 321}, {XK_Delete, 322}, {XK_KP_Delete, 322},
    {XK_Page_Up, 323}, {XK_KP_Page_Up, 323}, {XK_Page_Down, 324}, {XK_KP_Page_Down, 324},
    {XK_Alt_L, 325}, {XK_Alt_R, 325}, {XK_Meta_L, 325}, {XK_Meta_R, 325}, {XK_ISO_Level3_Shift, 325},
};

static int key_code(KeySym ks) {
    for (const KeyMap &k : g_keys)
        if (k.sym == ks) return k.code;
    return 0;
}

static void on_key(const zeX11Win *w, XKeyEvent *ke, bool down) {
    char buf[8];
    KeySym ks = 0;
    int n = XLookupString(ke, buf, sizeof buf, &ks, nullptr);
    int code = key_code(ks);
    // Keys with a code of their own (cursor, Delete ...) type no character.
    int ch = (down && n == 1 && (code == 0 || code < 300)) ? (unsigned char)buf[0] : 0;
    if (ch == 127) ch = 0;
    if (!code && !ch) {
        // A key without a code: the release of a character key, or a dead key.
        if (!down) return;
    }
    zeinput_key(w->sink, w->owner, code, ch, down);
}

static void on_button(const zeX11Win *w, XButtonEvent *be, bool down) {
    int b = be->button;
    if (b == 4 || b == 5) {
        if (down) w->sink(w->owner, b == 4 ? 2013 : 2014, be->x, be->y, 0, 0);
        return;
    }
    int idx = b == 1 ? 0 : b == 2 ? 1 : b == 3 ? 2 : -1;
    if (idx < 0) return;
    static const int up[3] = {2005, 2008, 2011};
    int msg = down ? zeinput_press(idx, (unsigned)be->time, be->x_root, be->y_root) : up[idx];
    w->sink(w->owner, msg, (int16_t)be->x, (int16_t)be->y, 0, 0);
}

static void on_configure(int h, XConfigureEvent *ce) {
    zeX11Win *w = zex11_win(h);
    zeNativeSink sink = w->sink;
    void *owner = w->owner;
    int rx, ry;
    Window child;
    XTranslateCoordinates(zex11_dpy, w->xwin, zex11_root, 0, 0, &rx, &ry, &child);
    bool moved = rx != w->rx || ry != w->ry;
    bool sized = ce->width != w->cw || ce->height != w->ch;
    w->rx = rx, w->ry = ry, w->cw = ce->width, w->ch = ce->height;
    if (moved) sink(owner, 2062, rx, ry, 0, 0);
    if (sized && ce->width > 0 && ce->height > 0) sink(owner, 2003, ce->width, ce->height, 0, 0);
}

// WM_STATE tells minimised and restored; _NET_WM_STATE tells maximised.
static void on_property(int h, XPropertyEvent *pe) {
    zeX11Win *w = zex11_win(h);
    zeNativeSink sink = w->sink;
    void *owner = w->owner;
    if (pe->atom == zex11_atom("WM_STATE")) {
        unsigned long *d;
        Atom wms = zex11_atom("WM_STATE");
        int n = zex11_prop32(w->xwin, wms, wms, &d);
        bool iconic = n > 0 && d[0] == IconicState;
        bool normal = n > 0 && d[0] == NormalState;
        if (d) XFree(d);
        if (iconic && !w->iconic) {
            w->iconic = true;
            sink(owner, 2055, 0, 0, 0, 0);
            sink(owner, 2060, 0, 0, 0, 0);   // the size report is 0 by 0
        } else if (normal && w->iconic) {
            w->iconic = false;
            if (w->flags & ZENW_NOTITLE) zex11_wm_state(w->xwin, 1, zex11_atom("_NET_WM_STATE_SKIP_TASKBAR"));
            sink(owner, 2003, w->cw, w->ch, 0, 0);   // restored to its size
        }
        return;
    }
    if (pe->atom == zex11_atom("_NET_WM_STATE")) {
        bool maxed = zex11_has_state(w->xwin, zex11_atom("_NET_WM_STATE_MAXIMIZED_VERT")) &&
                     zex11_has_state(w->xwin, zex11_atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
        if (maxed && !w->maximised) sink(owner, 2060, 0, 0, 0, 0);
        w->maximised = maxed;
    }
}

static void on_client_message(zeX11Win *w, XClientMessageEvent *cm) {
    if (cm->message_type != zex11_atom("WM_PROTOCOLS")) return;
    Atom what = (Atom)cm->data.l[0];
    if (what == zex11_atom("WM_DELETE_WINDOW")) {
        w->sink(w->owner, 2001, 0, 0, 0, 0);
    } else if (what == zex11_atom("_NET_WM_PING")) {
        XEvent reply = *(XEvent *)cm;
        reply.xclient.window = zex11_root;
        XSendEvent(zex11_dpy, zex11_root, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
    }
}

static void on_focus(const zeX11Win *w, XFocusChangeEvent *fe, bool in) {
    if (fe->detail == NotifyInferior || fe->detail == NotifyPointer) return;
    if (fe->mode == NotifyGrab || fe->mode == NotifyUngrab) return;
    zeinput_reset_modifiers();
    // The first message may close the window (a popup that goes when it
    // loses the focus), which clears its record: keep what the second needs.
    zeNativeSink sink = w->sink;
    void *owner = w->owner;
    sink(owner, in ? 2063 : 2064, 0, 0, 0, 0);
    sink(owner, in ? 2018 : 2019, 0, 0, 0, 0);
}

static void handle_event(XEvent *ev) {
    if (zex11_clip_event(ev) || zex11_tray_event(ev) || zex11_dnd_event(ev)) return;
    int h = 0;
    zeX11Win *w = zex11_by_xid(ev->xany.window, &h);
    if (!w || !w->sink) return;
    switch (ev->type) {
    // The window shows the part again: its pixmap may be behind the screen
    // (pictures copied onto it) and be brought up to date first.
    case Expose: w->sink(w->owner, 2065, ev->xexpose.x, ev->xexpose.y, ev->xexpose.width, ev->xexpose.height); break;
    case KeyPress: on_key(w, &ev->xkey, true); break;
    case KeyRelease: on_key(w, &ev->xkey, false); break;
    case ButtonPress: on_button(w, &ev->xbutton, true); break;
    case ButtonRelease: on_button(w, &ev->xbutton, false); break;
    case MotionNotify: {
        // Only the latest position of a burst matters.
        while (XCheckTypedWindowEvent(zex11_dpy, w->xwin, MotionNotify, ev)) {}
        w->sink(w->owner, 2015, (int16_t)ev->xmotion.x, (int16_t)ev->xmotion.y, 0, 0);
        break;
    }
    case FocusIn: on_focus(w, &ev->xfocus, true); break;
    case FocusOut: on_focus(w, &ev->xfocus, false); break;
    case ConfigureNotify: on_configure(h, &ev->xconfigure); break;
    case MapNotify: w->mapped = true; break;
    case UnmapNotify: w->mapped = false; break;
    case PropertyNotify: on_property(h, &ev->xproperty); break;
    case ClientMessage: on_client_message(w, &ev->xclient); break;
    }
}

static bool x_dispatch_one(void) {
    if (!x_pending()) return false;
    XEvent ev;
    XNextEvent(zex11_dpy, &ev);
    handle_event(&ev);
    XFlush(zex11_dpy);
    return true;
}

const zeBackend zebackend_x11 = {
    .name = "x11",
    .init = x_init,
    .shutdown = x_shutdown,
    .fd = x_fd,
    .pending = x_pending,
    .dispatch_one = x_dispatch_one,
    .screen_size = x_screen_size,
    .workarea = zex11_workarea,
    .refresh_hz = x_refresh_hz,
    .depth = x_depth,
    .clipboard_set = zex11_clipboard_set,
    .clipboard_get = zex11_clipboard_get,
    .win_create = x_win_create,
    .win_destroy = x_win_destroy,
    .win_set_pixels = x_win_set_pixels,
    .win_show = x_win_show,
    .win_alloc_pixels = x_win_alloc_pixels,
    .win_free_pixels = x_win_free_pixels,
    .img_create = zex11_img_create,
    .img_destroy = zex11_img_destroy,
    .win_copy_img = zex11_win_copy_img,
    .win_copy_imgs_later = zex11_win_copy_imgs_later,
    .win_move = x_win_move,
    .win_resize = x_win_resize,
    .win_rect = x_win_rect,
    .win_client_origin = x_win_client_origin,
    .win_set_visible = x_win_set_visible,
    .win_minimise = x_win_minimise,
    .win_set_title = x_win_set_title,
    .win_raise = x_win_raise,
    .win_set_above = x_win_set_above,
    .win_native = x_win_native,
    .win_capture = x_win_capture,
    .win_release = x_win_release,
    .tray_add = zex11_tray_add,
    .tray_remove = zex11_tray_remove,
    .dropped_file = zex11_dropped_file,
    .window_at = zex11_window_at,
    .is_desktop = zex11_is_desktop,
    .list_windows = zex11_list_windows,
    .move_window = zex11_move_window,
    .workarea_set = zex11_workarea_set,
    .cursor_set = x_cursor_set,
};
