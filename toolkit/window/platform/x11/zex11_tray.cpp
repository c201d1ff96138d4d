// The tray icon through the freedesktop system tray protocol: a small window
// of ours (the XEmbed plug) asks the tray manager to dock it. Without a tray
// manager tray_add answers false and the caller keeps the window reachable.
#include "zex11.h"
#include "zeicon.h"
#include <X11/Xatom.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

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

// The program's icon, scaled to the size the tray gave us, over the face
// colour where its corners are transparent.
static void draw_icon(Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(zex11_dpy, w, &a)) return;
    int size = a.width < a.height ? a.width : a.height;
    if (size < ZEICON_MIN) size = ZEICON_MIN;
    if (size > 256) size = 256;
    std::vector<uint32_t> px((size_t)size * size);
    if (!zeicon_draw_over(px.data(), size, 0x1c1c1c)) return;
    XImage *img = XCreateImage(zex11_dpy, a.visual, (unsigned)a.depth, ZPixmap, 0, nullptr, (unsigned)size,
                               (unsigned)size, 32, 0);
    if (!img) return;
    img->data = (char *)malloc((size_t)img->bytes_per_line * size);
    if (!img->data) {
        XDestroyImage(img);
        return;
    }
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) XPutPixel(img, x, y, zex11_pixel(px[(size_t)y * size + x] & 0xFFFFFF));
    GC gc = XCreateGC(zex11_dpy, w, 0, nullptr);
    XSetForeground(zex11_dpy, gc, zex11_pixel(0x1c1c1c));
    XFillRectangle(zex11_dpy, w, gc, 0, 0, (unsigned)a.width, (unsigned)a.height);
    XPutImage(zex11_dpy, w, gc, img, 0, 0, (a.width - size) / 2, (a.height - size) / 2, (unsigned)size,
              (unsigned)size);
    XFreeGC(zex11_dpy, gc);
    XDestroyImage(img);
}

bool zex11_tray_add(int h, const char *tip) {
    zeX11Win *w = zex11_win(h);
    if (!w) return false;
    if (w->tray_icon) return true;
    Window mgr = tray_manager();
    if (mgr == None) return false;
    XSetWindowAttributes a = {};
    a.event_mask = ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask;
    a.background_pixel = zex11_pixel(0x1c1c1c);
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

ZE_HOT void zex11_tray_check(void) {
    long now = 0;
    for (int h = 1; h < zex11_win_end(); h++) {
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
    for (int h = 1; h < zex11_win_end(); h++) {
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
