// The CLIPBOARD selection: we own it after a set and answer requests for it;
// reading another program's selection waits at most half a second. The
// toolkit's text is Latin-1: we offer it as UTF8_STRING (converted) and as
// STRING (Latin-1 as it is), and read UTF8_STRING, else STRING.
#include "zex11.h"
#include "zeutf8.h"
#include <X11/Xatom.h>
#include <unistd.h>
#include <cstdio>
#include <string>

static Window g_clip_win;     // owner window of our selection, never mapped
static std::string g_text;    // what we offer
static bool g_owner;
static std::string g_got;     // the last text read from another program

static Window clip_window(void) {
    if (!g_clip_win)
        g_clip_win = XCreateSimpleWindow(zex11_dpy, zex11_root, 0, 0, 1, 1, 0, 0, 0);
    return g_clip_win;
}

bool zex11_clipboard_set(const char *text) {
    g_text = text ? text : "";
    Window w = clip_window();
    XSetSelectionOwner(zex11_dpy, zex11_atom("CLIPBOARD"), w, CurrentTime);
    g_owner = XGetSelectionOwner(zex11_dpy, zex11_atom("CLIPBOARD")) == w;
    XFlush(zex11_dpy);
    return g_owner;
}

// Asks the owner for the selection in one target; true with the bytes in
// *data when it answered with 8-bit text.
static bool request(Atom clip, Atom target, std::string *data) {
    Window w = clip_window();
    // An owner that answered too late for an earlier paste still answers:
    // each request names a property of its own (in turn from a few), and a
    // reply naming another one is not ours.
    static unsigned serial;
    char name[32];
    snprintf(name, sizeof name, "ZEKO_CLIP%u", serial++ % 8);
    Atom prop = zex11_atom(name);
    XDeleteProperty(zex11_dpy, w, prop);
    XConvertSelection(zex11_dpy, clip, target, prop, w, CurrentTime);
    XFlush(zex11_dpy);
    XEvent ev;
    bool got = false;
    for (int i = 0; i < 500 && !got; i++) {
        if (!XCheckTypedWindowEvent(zex11_dpy, w, SelectionNotify, &ev)) usleep(1000);
        else got = ev.xselection.property == prop || ev.xselection.property == None;
    }
    if (!got || ev.xselection.property == None) return false;
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *p = nullptr;
    bool ok = XGetWindowProperty(zex11_dpy, w, prop, 0, 1 << 22, True, AnyPropertyType, &type, &fmt, &n, &after,
                                 &p) == Success && p && fmt == 8 && type != zex11_atom("INCR");
    if (ok) data->assign((char *)p, n);
    if (p) XFree(p);
    return ok;
}

const char *zex11_clipboard_get(void) {
    if (g_owner) return g_text.c_str();
    Atom clip = zex11_atom("CLIPBOARD");
    if (XGetSelectionOwner(zex11_dpy, clip) == None) return nullptr;
    std::string raw;
    if (request(clip, zex11_atom("UTF8_STRING"), &raw)) {
        g_got = zeutf8_to_latin1(raw.data(), raw.size());
    } else if (request(clip, XA_STRING, &raw)) {
        g_got.assign(raw.c_str());   // Latin-1 already; up to a NUL
    } else {
        return nullptr;
    }
    return g_got.c_str();
}

static void answer(XSelectionRequestEvent *rq) {
    XSelectionEvent reply = {};
    reply.type = SelectionNotify;
    reply.display = rq->display;
    reply.requestor = rq->requestor;
    reply.selection = rq->selection;
    reply.target = rq->target;
    reply.time = rq->time;
    reply.property = rq->property ? rq->property : rq->target;   // old clients name no property
    Atom utf8 = zex11_atom("UTF8_STRING"), targets = zex11_atom("TARGETS");
    if (rq->target == targets) {
        Atom list[4] = {targets, utf8, XA_STRING, zex11_atom("TEXT")};
        XChangeProperty(zex11_dpy, rq->requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                        (unsigned char *)list, 4);
    } else if (rq->target == utf8 || rq->target == XA_STRING || rq->target == zex11_atom("TEXT")) {
        bool wide = rq->target == utf8;
        std::string out = wide ? zeutf8_from_latin1(g_text.data(), g_text.size()) : g_text;
        XChangeProperty(zex11_dpy, rq->requestor, reply.property, wide ? utf8 : XA_STRING, 8, PropModeReplace,
                        (const unsigned char *)out.data(), (int)out.size());
    } else {
        reply.property = None;
    }
    XSendEvent(zex11_dpy, rq->requestor, False, 0, (XEvent *)&reply);
}

bool zex11_clip_event(XEvent *ev) {
    if (!g_clip_win || ev->xany.window != g_clip_win) return false;
    if (ev->type == SelectionRequest) answer(&ev->xselectionrequest);
    if (ev->type == SelectionClear) g_owner = false;
    return true;
}

void zex11_clip_shutdown(void) {
    if (g_clip_win) XDestroyWindow(zex11_dpy, g_clip_win);
    g_clip_win = 0;
    g_owner = false;
}
