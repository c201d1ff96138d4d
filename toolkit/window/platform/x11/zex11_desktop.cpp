// The desktop as the window manager describes it: the work area, the other
// programs' windows, the window at a screen point, and reserving screen space.
#include "zex11.h"
#include <X11/Xatom.h>
#include <cstdio>
#include <cstring>

static Window g_strut_win;   // carries our reservation of screen edges

void zex11_frame_extents(Window w, long ext[4]) {
    unsigned long *d;
    int n = zex11_prop32(w, zex11_atom("_NET_FRAME_EXTENTS"), XA_CARDINAL, &d);
    for (int i = 0; i < 4; i++) ext[i] = i < n ? (long)d[i] : 0;
    if (d) XFree(d);
}

static zeRect screen_rect(void) {
    return {0, 0, DisplayWidth(zex11_dpy, zex11_screen), DisplayHeight(zex11_dpy, zex11_screen)};
}

void zex11_workarea(zeRect *r) {
    *r = screen_rect();
    unsigned long *d, *cur;
    int n = zex11_prop32(zex11_root, zex11_atom("_NET_WORKAREA"), XA_CARDINAL, &d);
    int nc = zex11_prop32(zex11_root, zex11_atom("_NET_CURRENT_DESKTOP"), XA_CARDINAL, &cur);
    unsigned long desk = nc > 0 ? cur[0] : 0;
    if (cur) XFree(cur);
    if (n >= (int)(desk * 4 + 4)) {
        unsigned long *a = d + desk * 4;
        *r = {(int)a[0], (int)a[1], (int)a[2], (int)a[3]};
    }
    if (d) XFree(d);
}

static bool has_wm_state(Window w) {
    unsigned long *d;
    Atom a = zex11_atom("WM_STATE");
    int n = zex11_prop32(w, a, a, &d);
    if (d) XFree(d);
    return n > 0;
}

// The client window inside a frame of the window manager (or the frame itself).
static Window client_of(Window w, int depth) {
    if (has_wm_state(w)) return w;
    if (depth == 0) return 0;
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(zex11_dpy, w, &root, &parent, &kids, &n))
        for (unsigned i = n; i-- > 0 && !found;) found = client_of(kids[i], depth - 1);
    if (kids) XFree(kids);
    return found;
}

long zex11_window_at(int x, int y) {
    int dx, dy;
    Window child = None;
    XTranslateCoordinates(zex11_dpy, zex11_root, zex11_root, x, y, &dx, &dy, &child);
    if (child == None) return (long)zex11_root;
    Window c = client_of(child, 3);
    return (long)(c ? c : child);
}

bool zex11_is_desktop(long id) {
    if (id == 0 || (Window)id == zex11_root) return true;
    unsigned long *d;
    int n = zex11_prop32((Window)id, zex11_atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, &d);
    Atom desk = zex11_atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    bool found = false;
    for (int i = 0; i < n; i++) found |= d[i] == desk;
    if (d) XFree(d);
    return found;
}

static void window_title(Window w, char *out, int size) {
    out[0] = 0;
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *p = nullptr;
    if (XGetWindowProperty(zex11_dpy, w, zex11_atom("_NET_WM_NAME"), 0, 1024, False, zex11_atom("UTF8_STRING"),
                           &type, &fmt, &n, &after, &p) == Success && p && n) {
        snprintf(out, size, "%.*s", (int)n, (char *)p);
        XFree(p);
        return;
    }
    if (p) XFree(p);
    char *name = nullptr;
    if (XFetchName(zex11_dpy, w, &name) && name) {
        snprintf(out, size, "%s", name);
        XFree(name);
    }
}

static bool outer_rect(Window w, int *x, int *y, int *width, int *height) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(zex11_dpy, w, &a)) return false;
    int ox, oy;
    Window child;
    XTranslateCoordinates(zex11_dpy, w, zex11_root, 0, 0, &ox, &oy, &child);
    long ext[4];
    zex11_frame_extents(w, ext);
    *x = ox - (int)ext[0], *y = oy - (int)ext[2];
    *width = a.width + (int)(ext[0] + ext[1]), *height = a.height + (int)(ext[2] + ext[3]);
    return true;
}

int zex11_list_windows(zeNativeInfo *out, int max) {
    unsigned long *list;
    int n = zex11_prop32(zex11_root, zex11_atom("_NET_CLIENT_LIST"), XA_WINDOW, &list);
    int count = 0;
    Atom hidden = zex11_atom("_NET_WM_STATE_HIDDEN");
    for (int i = 0; i < n && count < max; i++) {
        Window w = (Window)list[i];
        zeNativeInfo &info = out[count];
        if (!outer_rect(w, &info.x, &info.y, &info.width, &info.height)) continue;
        info.id = (long)w;
        window_title(w, info.title, sizeof info.title);
        unsigned long *st;
        Atom wms = zex11_atom("WM_STATE");
        int ns = zex11_prop32(w, wms, wms, &st);
        info.minimised = (ns > 0 && st[0] == IconicState) || zex11_has_state(w, hidden);
        if (st) XFree(st);
        count++;
    }
    if (list) XFree(list);
    return count;
}

static bool wm_supports(const char *name) {
    unsigned long *d;
    int n = zex11_prop32(zex11_root, zex11_atom("_NET_SUPPORTED"), XA_ATOM, &d);
    Atom a = zex11_atom(name);
    bool found = false;
    for (int i = 0; i < n; i++) found |= d[i] == a;
    if (d) XFree(d);
    return found;
}

bool zex11_move_window(long id, int x, int y, int width, int height) {
    Window w = (Window)id;
    XWindowAttributes a;
    if (!w || !XGetWindowAttributes(zex11_dpy, w, &a)) return false;
    long ext[4];
    zex11_frame_extents(w, ext);
    int cw = width - (int)(ext[0] + ext[1]), ch = height - (int)(ext[2] + ext[3]);
    if (cw <= 0 || ch <= 0) return false;
    if (wm_supports("_NET_MOVERESIZE_WINDOW")) {
        // Outer position with north-west gravity, from a pager (source 2).
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = zex11_atom("_NET_MOVERESIZE_WINDOW");
        e.xclient.format = 32;
        e.xclient.data.l[0] = NorthWestGravity | (0xF << 8) | (2 << 12);
        e.xclient.data.l[1] = x, e.xclient.data.l[2] = y;
        e.xclient.data.l[3] = cw, e.xclient.data.l[4] = ch;
        XSendEvent(zex11_dpy, zex11_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else {
        XMoveResizeWindow(zex11_dpy, w, x, y, cw, ch);
    }
    XFlush(zex11_dpy);
    return true;
}

// The reservation lives on a small dock window of our own: the window manager
// takes its _NET_WM_STRUT_PARTIAL out of every desktop's work area.
static Window strut_window(void) {
    if (g_strut_win) return g_strut_win;
    XSetWindowAttributes a = {};
    g_strut_win = XCreateWindow(zex11_dpy, zex11_root, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                                0, &a);
    Atom dock = zex11_atom("_NET_WM_WINDOW_TYPE_DOCK");
    XChangeProperty(zex11_dpy, g_strut_win, zex11_atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)&dock, 1);
    Atom states[3] = {zex11_atom("_NET_WM_STATE_SKIP_TASKBAR"), zex11_atom("_NET_WM_STATE_SKIP_PAGER"),
                      zex11_atom("_NET_WM_STATE_BELOW")};
    XChangeProperty(zex11_dpy, g_strut_win, zex11_atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)states, 3);
    XStoreName(zex11_dpy, g_strut_win, "zeko work area");
    return g_strut_win;
}

bool zex11_workarea_set(const zeRect *r) {
    zeRect s = screen_rect();
    if (r->x < 0 || r->y < 0 || r->width <= 0 || r->height <= 0) return false;
    if (r->width > s.width - r->x || r->height > s.height - r->y) return false;
    long left = r->x, right = s.width - r->x - r->width, top = r->y, bottom = s.height - r->y - r->height;
    if (!left && !right && !top && !bottom) {
        // Nothing reserved: the window goes, and the work area is the desktop's own.
        if (g_strut_win) XDestroyWindow(zex11_dpy, g_strut_win);
        g_strut_win = 0;
        XFlush(zex11_dpy);
        return true;
    }
    Window w = strut_window();
    // left, right, top, bottom, then the start and end of each edge's range.
    long partial[12] = {left, right, top, bottom, 0, s.height - 1, 0, s.height - 1, 0, s.width - 1, 0, s.width - 1};
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_STRUT_PARTIAL"), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char *)partial, 12);
    XChangeProperty(zex11_dpy, w, zex11_atom("_NET_WM_STRUT"), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char *)partial, 4);
    XMapWindow(zex11_dpy, w);
    XFlush(zex11_dpy);
    return true;
}

void zex11_desktop_shutdown(void) {
    if (g_strut_win) XDestroyWindow(zex11_dpy, g_strut_win);
    g_strut_win = 0;
}
