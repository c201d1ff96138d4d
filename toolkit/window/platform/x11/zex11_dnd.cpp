// Files dropped from a file manager (XDND, version 5): the first file of the
// drop becomes the dropped-file text and the window gets 2061.
#include "zex11.h"
#include <X11/Xatom.h>
#include <cstdio>
#include <cstring>
#include <string>

static char g_dropped[260];
static Window g_source;   // the program whose drag is over one of our windows

void zex11_dnd_enable(Window w) {
    long version = 5;
    XChangeProperty(zex11_dpy, w, zex11_atom("XdndAware"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)&version, 1);
}

const char *zex11_dropped_file(void) { return g_dropped; }

static void reply(Window to, Window from, const char *type, long l1, long l2) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = to;
    e.xclient.message_type = zex11_atom(type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)from;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[4] = l2;
    XSendEvent(zex11_dpy, to, False, NoEventMask, &e);
}

static int hex(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// First entry of a text/uri-list: "file://host/path" becomes "/path", %XX decoded.
static void first_file(const char *list, size_t n, char *out, size_t size) {
    std::string line(list, n);
    size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
    const char *p = line.c_str();
    if (strncmp(p, "file://", 7) == 0) {
        p += 7;
        const char *slash = strchr(p, '/');
        p = slash ? slash : p;
    }
    size_t o = 0;
    for (; *p && o + 1 < size; p++) {
        if (p[0] == '%' && hex(p[1]) >= 0 && hex(p[2]) >= 0) {
            out[o++] = (char)(hex(p[1]) * 16 + hex(p[2]));
            p += 2;
        } else {
            out[o++] = *p;
        }
    }
    out[o] = 0;
}

static void on_drop_data(zeX11Win *w, XSelectionEvent *se) {
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *p = nullptr;
    bool ok = false;
    if (se->property != None &&
        XGetWindowProperty(zex11_dpy, w->xwin, se->property, 0, 65536, True, AnyPropertyType, &type, &fmt, &n,
                           &after, &p) == Success && p && fmt == 8) {
        first_file((char *)p, n, g_dropped, sizeof g_dropped);
        ok = g_dropped[0] != 0;
    }
    if (p) XFree(p);
    if (g_source) reply(g_source, w->xwin, "XdndFinished", ok ? 1 : 0, ok ? (long)zex11_atom("XdndActionCopy") : 0);
    g_source = 0;
    if (ok) w->sink(w->owner, 2061, 0, 0, 0, 0);
}

bool zex11_dnd_event(XEvent *ev) {
    int h;
    zeX11Win *w = zex11_by_xid(ev->xany.window, &h);
    if (!w) return false;
    if (ev->type == SelectionNotify && ev->xselection.property == zex11_atom("ZEKO_DROP")) {
        on_drop_data(w, &ev->xselection);
        return true;
    }
    if (ev->type != ClientMessage) return false;
    Atom t = ev->xclient.message_type;
    Window src = (Window)ev->xclient.data.l[0];
    if (t == zex11_atom("XdndEnter")) {
        g_source = src;
    } else if (t == zex11_atom("XdndPosition")) {
        g_source = src;
        reply(src, w->xwin, "XdndStatus", 1, (long)zex11_atom("XdndActionCopy"));
    } else if (t == zex11_atom("XdndLeave")) {
        g_source = 0;
    } else if (t == zex11_atom("XdndDrop")) {
        g_source = src;
        XConvertSelection(zex11_dpy, zex11_atom("XdndSelection"), zex11_atom("text/uri-list"),
                          zex11_atom("ZEKO_DROP"), w->xwin, (Time)ev->xclient.data.l[2]);
    } else {
        return false;
    }
    XFlush(zex11_dpy);
    return true;
}
