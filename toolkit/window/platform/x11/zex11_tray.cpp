// The tray icon through the freedesktop system tray protocol: a small window
// of ours (the XEmbed plug) asks the tray manager to dock it. Without a tray
// manager tray_add answers false and the caller keeps the window reachable.
#include "zex11.h"
#include <X11/Xatom.h>
#include <cstdio>
#include <cstring>
#include <ctime>

// A tray that owns its selection but never takes the icon in (hung, or gone
// before it got to our request) would leave the window hidden for good.
enum { DOCK_WAIT_MS = 5000 };

static long now_ms(void) {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000;
}

static Window tray_manager(void) {
    char name[64];
    snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", zex11_screen);
    return XGetSelectionOwner(zex11_dpy, zex11_atom(name));
}

static unsigned long rgb(uint32_t c) {
    XColor x = {};
    x.red = (unsigned short)(((c >> 16) & 0xFF) * 257);
    x.green = (unsigned short)(((c >> 8) & 0xFF) * 257);
    x.blue = (unsigned short)((c & 0xFF) * 257);
    XAllocColor(zex11_dpy, DefaultColormap(zex11_dpy, zex11_screen), &x);
    return x.pixel;
}

// The icon: a dark face with two red seven-segment eights, scaled to the
// size the tray gave us.
static void draw_icon(Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(zex11_dpy, w, &a)) return;
    GC gc = XCreateGC(zex11_dpy, w, 0, nullptr);
    XSetForeground(zex11_dpy, gc, rgb(0x202020));
    XFillRectangle(zex11_dpy, w, gc, 0, 0, a.width, a.height);
    XSetForeground(zex11_dpy, gc, rgb(0xFF2020));
    int s = (a.width < a.height ? a.width : a.height) / 16;
    if (s < 1) s = 1;
    for (int d = 0; d < 2; d++) {
        int x0 = (2 + d * 7) * s, y0 = 2 * s, wd = 5 * s, ht = 12 * s;
        XDrawRectangle(zex11_dpy, w, gc, x0, y0, wd - 1, ht - 1);
        XDrawLine(zex11_dpy, w, gc, x0, y0 + ht / 2, x0 + wd - 1, y0 + ht / 2);
    }
    XFreeGC(zex11_dpy, gc);
}

bool zex11_tray_add(int h, const char *tip) {
    zeX11Win *w = zex11_win(h);
    if (!w) return false;
    if (w->tray_icon) return true;
    Window mgr = tray_manager();
    if (mgr == None) return false;
    XSetWindowAttributes a = {};
    a.event_mask = ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask;
    a.background_pixel = rgb(0x202020);
    Window icon = XCreateWindow(zex11_dpy, zex11_root, 0, 0, 16, 16, 0, CopyFromParent, InputOutput,
                                CopyFromParent, CWEventMask | CWBackPixel, &a);
    XStoreName(zex11_dpy, icon, tip && *tip ? tip : "zeko");
    // Trays size the socket from the plug's size hints.
    XSizeHints *sh = XAllocSizeHints();
    sh->flags = PSize | PMinSize | PBaseSize;
    sh->width = sh->min_width = sh->base_width = 16;
    sh->height = sh->min_height = sh->base_height = 16;
    XSetWMNormalHints(zex11_dpy, icon, sh);
    XFree(sh);
    XClassHint cls = {(char *)"zeko-tray", (char *)"Zeko"};
    XSetClassHint(zex11_dpy, icon, &cls);
    long info[2] = {0, 1};   // XEmbed version 0, mapped
    Atom xi = zex11_atom("_XEMBED_INFO");
    XChangeProperty(zex11_dpy, icon, xi, xi, 32, PropModeReplace, (unsigned char *)info, 2);
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = mgr;
    e.xclient.message_type = zex11_atom("_NET_SYSTEM_TRAY_OPCODE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = 0;   // SYSTEM_TRAY_REQUEST_DOCK
    e.xclient.data.l[2] = (long)icon;
    XSendEvent(zex11_dpy, mgr, False, NoEventMask, &e);
    XFlush(zex11_dpy);
    w->tray_icon = icon;
    w->tray_docked = false;
    w->tray_asked = now_ms();
    return true;
}

void zex11_tray_check(void) {
    long now = 0;
    for (int h = 1; h <= 1000; h++) {
        zeX11Win *w = zex11_win(h);
        if (!w || !w->tray_icon || w->tray_docked) continue;
        if (!now) now = now_ms();
        if (now - w->tray_asked < DOCK_WAIT_MS) continue;
        printf("x11: the tray did not take the icon in; the window comes back\n");
        w->tray_docked = true;   // once
        XEvent e = {};
        e.xreparent.type = ReparentNotify;
        e.xreparent.display = zex11_dpy;
        e.xreparent.event = e.xreparent.window = w->tray_icon;
        e.xreparent.parent = zex11_root;
        XPutBackEvent(zex11_dpy, &e);
    }
}

void zex11_tray_remove(int h) {
    zeX11Win *w = zex11_win(h);
    if (!w || !w->tray_icon) return;
    XDestroyWindow(zex11_dpy, w->tray_icon);
    w->tray_icon = 0;
    XFlush(zex11_dpy);
}

static zeX11Win *owner_of_icon(Window icon) {
    for (int h = 1; h <= 1000; h++) {
        zeX11Win *w = zex11_win(h);
        if (w && w->tray_icon == icon) return w;
    }
    return nullptr;
}

bool zex11_tray_event(XEvent *ev) {
    zeX11Win *w = owner_of_icon(ev->xany.window);
    if (!w) return false;
    zeNativeSink sink = w->sink;
    void *owner = w->owner;
    switch (ev->type) {
    case Expose:
        if (ev->xexpose.count == 0) draw_icon(ev->xany.window);
        break;
    case ButtonRelease:
        if (ev->xbutton.button == 1) sink(owner, 2056, 2005, 0, 0, 0);
        if (ev->xbutton.button == 3) sink(owner, 2056, 2011, 0, 0, 0);
        break;
    case ReparentNotify:
        if (ev->xreparent.parent != zex11_root) w->tray_docked = true;
        // Back on the root: the tray went away. The window must not stay
        // hidden with nothing to bring it back, so this counts as a click.
        if (ev->xreparent.parent == zex11_root) {
            XDestroyWindow(zex11_dpy, w->tray_icon);
            w->tray_icon = 0;
            sink(owner, 2056, 2005, 0, 0, 0);
        }
        break;
    }
    return true;
}
