// Toolkit windows through the real X11 backend, on Xvfb with openbox, driven
// with xdotool (XTEST) and checked with a connection of the test's own.
#include <gtest/gtest.h>
#include "zeevent.h"
#include "zegout.h"
#include "zeplatform.h"
#include "zewindow.h"
#include "x11_window_check.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <csignal>
#include <unistd.h>
#include <vector>

namespace {

Display *g_dpy;   // the test's own view of the server
std::vector<int> g_ids;
std::vector<std::vector<int>> g_msgs;

zearg view_handler(void *, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_msgs.push_back({msg, (int)a1, (int)a2});
    return 0;
}
bool view_create(zeWindow *, zeWindowView *slot, const char *) {
    slot->handler = view_handler, slot->view = &g_msgs;
    return true;
}
void view_destroy(zeWindowView *slot) { *slot = zeWindowView{}; }
const zeWindowViewHooks g_hooks = {view_create, view_destroy, nullptr, nullptr, nullptr, nullptr};

// Pumps the toolkit, collecting event ids, until done() or the time is up.
bool pump_until(const std::function<bool()> &done, int ms = 3000) {
    return zetest_pump_until(done, ms, [](int id) { g_ids.push_back(id); });
}
void settle(int ms = 200) {
    pump_until([] { return false; }, ms);
}
bool got_id(int id) { return std::find(g_ids.begin(), g_ids.end(), id) != g_ids.end(); }
bool got_msg(int msg, int a1, int a2) {
    for (auto &m : g_msgs)
        if (m[0] == msg && m[1] == a1 && m[2] == a2) return true;
    return false;
}

std::string run(const std::string &cmd) {
    std::string out;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    return out;
}

// Starts a helper program in the background and returns its process id, so
// that it can be ended alone: a name pattern would also end the helpers of
// test runs in other build trees on the same machine.
pid_t start_helper(const std::string &cmd) {
    FILE *p = popen((cmd + " >/dev/null 2>&1 & echo $!").c_str(), "r");
    if (!p) return 0;
    long pid = 0;
    if (fscanf(p, "%ld", &pid) != 1) pid = 0;
    pclose(p);
    return (pid_t)pid;
}
void stop_helper(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100 && kill(pid, 0) == 0; i++) usleep(20000);
}

Window xid(zeWindow *w) { return zetest_xid(w); }
bool viewable(Window w) { return zetest_viewable(g_dpy, w); }

void client_origin(Window w, int *x, int *y) {
    Window child;
    XTranslateCoordinates(g_dpy, w, DefaultRootWindow(g_dpy), 0, 0, x, y, &child);
}

// Sends what a task bar sends to close a window: openbox answers with
// WM_DELETE_WINDOW, as for its close button.
void press_close_button(Window w) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(g_dpy, "_NET_CLOSE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[1] = 2;
    XSendEvent(g_dpy, DefaultRootWindow(g_dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(g_dpy);
}

void fill_pattern(zeWindow *w) {
    zePixmap *p = zewindow_pixmap(w);
    for (int y = 0; y < p->height; y++)
        for (int x = 0; x < p->width; x++) zepxmap_setpixel(p, x, y, (x * 4) << 16 | (y * 3) << 8 | ((x ^ y) & 0xFF));
    zewindow_show(w, 0, 0, 0, 0);
}

class WindowX11 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(nullptr, getenv("DISPLAY"));
        ASSERT_TRUE(zebackend_select("x11"));
        g_dpy = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, g_dpy);
    }
    void SetUp() override {
        zewindow_set_view_hooks(&g_hooks);
        settle(50);
        g_ids.clear(), g_msgs.clear();
    }
};

TEST_F(WindowX11, CentredAndShowsItsPixmap) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "centred,x=50%,y=50%,xs=300,ys=200,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    fill_pattern(&w);
    int cx = -1, cy = -1;
    pump_until([&] {
        client_origin(x, &cx, &cy);
        return cx == 810 && cy == 440;
    });
    EXPECT_EQ(810, cx);
    EXPECT_EQ(440, cy);
    zewindow_bringtotop(&w);
    settle();
    XImage *img = XGetImage(g_dpy, DefaultRootWindow(g_dpy), cx, cy, 300, 200, AllPlanes, ZPixmap);
    ASSERT_NE(nullptr, img);
    int wrong = 0;
    zePixmap *p = zewindow_pixmap(&w);
    for (int y = 0; y < 200; y++)
        for (int i = 0; i < 300; i++)
            wrong += (XGetPixel(img, i, y) & 0xFFFFFF) != (unsigned long)(zepxmap_getpixel(p, i, y) & 0xFFFFFF);
    XDestroyImage(img);
    EXPECT_EQ(0, wrong);

    // A window with a title bar: the frame's corner goes to the position.
    zeWindow t;
    ASSERT_TRUE(zewindow_open(&t, "titled,x=100,y=120,xs=200,ys=100,noquit"));
    pump_until([&] { return viewable(xid(&t)); });
    int r[4] = {0, 0, 0, 0};
    pump_until([&] {
        zewindow_rect(&t, r);
        return r[0] == 100 && r[1] == 120;
    });
    EXPECT_EQ(100, r[0]);
    EXPECT_EQ(120, r[1]);
    int ox, oy;
    zewindow_client_origin(&t, &ox, &oy);
    EXPECT_GT(oy, 120);   // below the title bar
}

TEST_F(WindowX11, KeysAndClicksFromXtest) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "input,x=200,y=200,xs=200,ys=150,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    zewindow_bringtotop(&w);
    ASSERT_TRUE(pump_until([&] { return got_id(w.activatedid); }));
    g_ids.clear();
    run("xdotool key F5");
    ASSERT_TRUE(pump_until([] { return got_id(821); }));
    auto f5 = std::find(g_ids.begin(), g_ids.end(), 309);
    ASSERT_NE(g_ids.end(), f5);
    EXPECT_EQ(821, *(f5 + 1));

    g_ids.clear(), g_msgs.clear();
    run("xdotool key ctrl+c shift+Insert");
    ASSERT_TRUE(pump_until([] { return got_id(317); }));
    EXPECT_TRUE(got_id(3));
    EXPECT_TRUE(got_msg(2034, 0, 0));
    EXPECT_TRUE(got_msg(2033, 0, 0));

    g_msgs.clear();
    run("xdotool mousemove 230 240 click 1");
    ASSERT_TRUE(pump_until([] { return got_msg(2005, 30, 40); }));
    EXPECT_TRUE(got_msg(2004, 30, 40));
    run("xdotool mousemove 240 250 click --repeat 2 --delay 50 1");
    EXPECT_TRUE(pump_until([] { return got_msg(2006, 40, 50); }));
    run("xdotool click 4");
    EXPECT_TRUE(pump_until([] { return got_msg(2013, 40, 50); }));
}

TEST_F(WindowX11, CloseButtonKeepsANoquitWindow) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "closing,x=300,y=300,xs=120,ys=80,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    int closeid = zewindow_closeid(&w);
    press_close_button(x);
    ASSERT_TRUE(pump_until([&] { return got_id(closeid); }));
    EXPECT_TRUE(w.open);
    EXPECT_TRUE(viewable(x));
    EXPECT_TRUE(zerunning());
    zewindow_close(&w);
    ASSERT_TRUE(zewindow_open(&w, "closing,x=300,y=300,xs=120,ys=80,noquit"));
    EXPECT_NE(closeid, zewindow_closeid(&w));
}

bool has_atom_prop(Window w, const char *prop, const char *value) {
    std::string out = run("xprop -id " + std::to_string(w) + " " + prop);
    return out.find(value) != std::string::npos;
}

TEST_F(WindowX11, ModalIsAboveOthers) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, ",x=10,y=10,xs=100,ys=40,notitle,modal,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    EXPECT_TRUE(pump_until([&] { return has_atom_prop(x, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); }));
    zeWindow plain;
    ASSERT_TRUE(zewindow_open(&plain, "plain,x=400,y=10,xs=100,ys=40,noquit"));
    ASSERT_TRUE(pump_until([&] { return viewable(xid(&plain)); }));
    settle();
    EXPECT_FALSE(has_atom_prop(xid(&plain), "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));
}

TEST_F(WindowX11, PopupTakesThePointerAndFullscreenCoversTheScreen) {
    zeWindow p;
    ASSERT_TRUE(zewindow_open(&p, ",x=40,y=50,xs=80,ys=60,popup,modal,noquit"));
    Window x = xid(&p);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(g_dpy, x, &a));
    EXPECT_TRUE(a.override_redirect);
    int cx, cy;
    client_origin(x, &cx, &cy);
    EXPECT_EQ(40, cx);
    EXPECT_EQ(50, cy);
    // A click anywhere goes to the popup (a combo list closes on it).
    run("xdotool mousemove 500 500 click 1");
    EXPECT_TRUE(pump_until([] { return got_msg(2004, 460, 450); }));
    zewindow_close(&p);

    zeWindow f;
    ASSERT_TRUE(zewindow_open(&f, "full,fullscreen,noquit"));
    Window fx = xid(&f);
    int r[4] = {};
    EXPECT_TRUE(pump_until([&] {
        zewindow_rect(&f, r);
        return viewable(fx) && r[0] == 0 && r[1] == 0 && r[2] == 1920 && r[3] == 1080;
    }));
    EXPECT_TRUE(has_atom_prop(fx, "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN"));
}

// The test plays a file manager dragging one file onto the window (XDND).
void xdnd_send(Window to, Window src, const char *type, long l1, long l2, long l3, long l4) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = to;
    e.xclient.message_type = XInternAtom(g_dpy, type, False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)src;
    e.xclient.data.l[1] = l1, e.xclient.data.l[2] = l2, e.xclient.data.l[3] = l3, e.xclient.data.l[4] = l4;
    XSendEvent(g_dpy, to, False, NoEventMask, &e);
    XFlush(g_dpy);
}

// Answers the drop target's request for the dragged data.
bool serve_uri_list(Window src, const char *uris) {
    XEvent ev;
    if (!XCheckTypedWindowEvent(g_dpy, src, SelectionRequest, &ev)) return false;
    XSelectionRequestEvent &rq = ev.xselectionrequest;
    XChangeProperty(g_dpy, rq.requestor, rq.property, rq.target, 8, PropModeReplace, (const unsigned char *)uris,
                    (int)strlen(uris));
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = rq.requestor;
    reply.xselection.selection = rq.selection;
    reply.xselection.target = rq.target;
    reply.xselection.property = rq.property;
    reply.xselection.time = rq.time;
    XSendEvent(g_dpy, rq.requestor, False, 0, &reply);
    XFlush(g_dpy);
    return true;
}

TEST_F(WindowX11, DroppedFile) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "drop,x=300,y=600,xs=200,ys=100,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    EXPECT_TRUE(has_atom_prop(x, "XdndAware", "XdndAware(ATOM)"));
    Window src = XCreateSimpleWindow(g_dpy, DefaultRootWindow(g_dpy), 0, 0, 1, 1, 0, 0, 0);
    Atom uri = XInternAtom(g_dpy, "text/uri-list", False), copy = XInternAtom(g_dpy, "XdndActionCopy", False);
    XSetSelectionOwner(g_dpy, XInternAtom(g_dpy, "XdndSelection", False), src, CurrentTime);
    xdnd_send(x, src, "XdndEnter", 5L << 24, (long)uri, 0, 0);
    xdnd_send(x, src, "XdndPosition", 0, (320L << 16) | 620, CurrentTime, (long)copy);
    XEvent ev;
    ASSERT_TRUE(pump_until([&] { return XCheckTypedWindowEvent(g_dpy, src, ClientMessage, &ev) != 0; }));
    EXPECT_EQ(XInternAtom(g_dpy, "XdndStatus", False), ev.xclient.message_type);
    EXPECT_EQ(1, ev.xclient.data.l[1] & 1);   // accepted
    xdnd_send(x, src, "XdndDrop", 0, CurrentTime, 0, 0);
    ASSERT_TRUE(pump_until([&] { return serve_uri_list(src, "file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n"); }));
    ASSERT_TRUE(pump_until([&] { return got_id(w.droppedid); }));
    EXPECT_STREQ("/tmp/a b.txt", zewindow_dropped_file());
    ASSERT_TRUE(pump_until([&] { return XCheckTypedWindowEvent(g_dpy, src, ClientMessage, &ev) != 0; }));
    EXPECT_EQ(XInternAtom(g_dpy, "XdndFinished", False), ev.xclient.message_type);
    XDestroyWindow(g_dpy, src);
}

TEST_F(WindowX11, ClipboardBothWays) {
    ASSERT_TRUE(zebackend()->clipboard_set("hello clip"));
    Atom clip = XInternAtom(g_dpy, "CLIPBOARD", False), utf8 = XInternAtom(g_dpy, "UTF8_STRING", False);
    Atom prop = XInternAtom(g_dpy, "TEST_CLIP", False);
    Window me = XCreateSimpleWindow(g_dpy, DefaultRootWindow(g_dpy), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(g_dpy, clip, utf8, prop, me, CurrentTime);
    XFlush(g_dpy);
    XEvent ev;
    ASSERT_TRUE(pump_until([&] { return XCheckTypedWindowEvent(g_dpy, me, SelectionNotify, &ev) != 0; }));
    ASSERT_EQ(prop, ev.xselection.property);
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *data = nullptr;
    XGetWindowProperty(g_dpy, me, prop, 0, 1000, True, AnyPropertyType, &type, &fmt, &n, &after, &data);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(std::string("hello clip"), std::string((char *)data, n));
    XFree(data);

    // Another program owns it now: the toolkit reads its text.
    static std::atomic<bool> taken{false};
    std::thread owner([] {
        Display *d = XOpenDisplay(nullptr);
        Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        Atom c = XInternAtom(d, "CLIPBOARD", False);
        XSetSelectionOwner(d, c, w, CurrentTime);
        XSync(d, False);
        taken = true;
        for (int i = 0; i < 300; i++) {
            XEvent e;
            if (XCheckTypedWindowEvent(d, w, SelectionRequest, &e)) {
                XSelectionRequestEvent &rq = e.xselectionrequest;
                const char *text = "from elsewhere";
                XChangeProperty(d, rq.requestor, rq.property, rq.target, 8, PropModeReplace,
                                (const unsigned char *)text, (int)strlen(text));
                XEvent r = {};
                r.xselection.type = SelectionNotify;
                r.xselection.requestor = rq.requestor, r.xselection.selection = rq.selection;
                r.xselection.target = rq.target, r.xselection.property = rq.property, r.xselection.time = rq.time;
                XSendEvent(d, rq.requestor, False, 0, &r);
                XFlush(d);
                break;
            }
            usleep(5000);
        }
        XSync(d, False);
        XCloseDisplay(d);
    });
    // The other program took the selection: we hear of it (SelectionClear).
    pump_until([] { return taken.load(); });
    settle(100);
    const char *got = zebackend()->clipboard_get();
    owner.join();
    ASSERT_NE(nullptr, got);
    EXPECT_STREQ("from elsewhere", got);
    XDestroyWindow(g_dpy, me);
}

// Answers one conversion request with a text, as a selection owner does.
void answer_selection(Display *d, const XSelectionRequestEvent &rq, const char *text) {
    XChangeProperty(d, rq.requestor, rq.property, rq.target, 8, PropModeReplace, (const unsigned char *)text,
                    (int)strlen(text));
    XEvent r = {};
    r.xselection.type = SelectionNotify;
    r.xselection.requestor = rq.requestor, r.xselection.selection = rq.selection;
    r.xselection.target = rq.target, r.xselection.property = rq.property, r.xselection.time = rq.time;
    XSendEvent(d, rq.requestor, False, 0, &r);
    XSync(d, False);
}

// Programs that vanish or never answer: the windows of other programs are
// looked at after they are gone (BadWindow must not end the program), a drag
// comes from a source that quit, and a clipboard owner does not answer (the
// wait is bounded, and its late answer is not taken for the next paste).
TEST_F(WindowX11, VanishedWindowsAndSilentOwnersAreNotFatal) {
    Window root = DefaultRootWindow(g_dpy);
    Window gone = XCreateSimpleWindow(g_dpy, root, 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(g_dpy, gone);
    XSync(g_dpy, False);
    EXPECT_FALSE(zebackend()->move_window((long)gone, 10, 10, 100, 100));
    EXPECT_FALSE(zebackend()->is_desktop((long)gone));
    zeNativeInfo list[64];
    EXPECT_GE(zebackend()->list_windows(list, 64), 0);

    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "vanish,x=300,y=300,xs=100,ys=80,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    Atom uri = XInternAtom(g_dpy, "text/uri-list", False), copy = XInternAtom(g_dpy, "XdndActionCopy", False);
    xdnd_send(x, gone, "XdndEnter", 5L << 24, (long)uri, 0, 0);
    xdnd_send(x, gone, "XdndPosition", 0, (320L << 16) | 320, CurrentTime, (long)copy);
    xdnd_send(x, gone, "XdndDrop", 0, CurrentTime, 0, 0);
    settle(300);
    EXPECT_FALSE(got_id(w.droppedid));
    zewindow_move(&w, 320, 310);
    EXPECT_TRUE(pump_until([&] { return got_id(w.movedid); }));

    Atom clip = XInternAtom(g_dpy, "CLIPBOARD", False);
    Window silent = XCreateSimpleWindow(g_dpy, root, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(g_dpy, clip, silent, CurrentTime);
    XSync(g_dpy, False);
    settle(100);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, zebackend()->clipboard_get());
    long ms = (long)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(ms, 30000);  // a hang guard: the silent owner is given up on, not waited for
    // The silent owner wakes up and answers the old request; then another
    // program takes the clipboard and answers at once.
    XEvent e;
    ASSERT_TRUE(pump_until([&] {
        XSync(g_dpy, False);
        return XCheckTypedWindowEvent(g_dpy, silent, SelectionRequest, &e) != 0;
    }));
    answer_selection(g_dpy, e.xselectionrequest, "too late");
    std::atomic<bool> taken{false};
    std::thread owner([&] {
        Display *d = XOpenDisplay(nullptr);
        Window ow = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), ow, CurrentTime);
        XSync(d, False);
        taken = true;
        for (int i = 0; i < 400; i++) {
            XEvent r;
            if (XCheckTypedWindowEvent(d, ow, SelectionRequest, &r)) {
                answer_selection(d, r.xselectionrequest, "fresh text");
                break;
            }
            usleep(5000);
        }
        XCloseDisplay(d);
    });
    while (!taken) usleep(1000);
    const char *got = zebackend()->clipboard_get();   // no pump in between: the late answer waits in the queue
    owner.join();
    ASSERT_NE(nullptr, got);
    EXPECT_STREQ("fresh text", got);
    XDestroyWindow(g_dpy, silent);
    XSync(g_dpy, False);
}

std::vector<long> root_workarea() {
    std::string out = run("xprop -root _NET_WORKAREA");
    std::vector<long> v;
    size_t eq = out.find('=');
    if (eq == std::string::npos) return v;
    const char *p = out.c_str() + eq + 1;
    char *end;
    for (long n; (n = strtol(p, &end, 10)), end != p; p = end + (*end == ',' ? 1 : 0)) v.push_back(n);
    return v;
}

TEST_F(WindowX11, StrutReservationShrinksTheWorkArea) {
    zeRect r = {0, 100, 1920, 900};
    ASSERT_TRUE(zebackend()->workarea_set(&r));
    EXPECT_TRUE(pump_until([] {
        auto v = root_workarea();
        return v.size() >= 4 && v[1] == 100 && v[3] == 900;
    }));
    zeRect got;
    zebackend()->workarea(&got);
    EXPECT_EQ(100, got.y);
    EXPECT_EQ(1000, got.y + got.height);
    zeRect full = {0, 0, 1920, 1080};
    ASSERT_TRUE(zebackend()->workarea_set(&full));
    EXPECT_TRUE(pump_until([] {
        auto v = root_workarea();
        return v.size() >= 4 && v[1] == 0 && v[3] == 1080;
    }));
}

TEST_F(WindowX11, FindsAndMovesAnotherProgramsWindow) {
    pid_t clock = start_helper("xclock -title quimo-test-clock -geometry 120x120+50+60");
    ASSERT_GT(clock, 0);
    zeNativeInfo list[64];
    long id = 0;
    ASSERT_TRUE(pump_until([&] {
        int n = zebackend()->list_windows(list, 64);
        for (int i = 0; i < n; i++)
            if (strcmp(list[i].title, "quimo-test-clock") == 0) id = list[i].id;
        return id != 0;
    }));
    ASSERT_TRUE(zebackend()->move_window(id, 600, 500, 200, 220));
    bool moved = pump_until([&] {
        int n = zebackend()->list_windows(list, 64);
        for (int i = 0; i < n; i++)
            if (list[i].id == id) return list[i].x == 600 && list[i].y == 500 && list[i].width == 200 &&
                                         list[i].height == 220;
        return false;
    });
    EXPECT_TRUE(moved);
    EXPECT_EQ(id, zebackend()->window_at(650, 550));
    EXPECT_FALSE(zebackend()->is_desktop(id));
    EXPECT_TRUE(zebackend()->is_desktop(zebackend()->window_at(1900, 1070)));
    stop_helper(clock);
}

TEST_F(WindowX11, RaiseIfCoveredByAnotherProgram) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, ",x=100,y=700,xs=100,ys=50,notitle,noquit"));
    ASSERT_TRUE(pump_until([&] { return viewable(xid(&w)); }));
    ASSERT_TRUE(pump_until([&] { return !zewindow_covered(&w); }));
    pid_t clock = start_helper("xclock -title quimo-cover-clock -geometry 200x200+60+650");
    ASSERT_GT(clock, 0);
    EXPECT_TRUE(pump_until([&] { return zewindow_covered(&w); }));
    zewindow_raise_if_covered(&w);
    EXPECT_TRUE(pump_until([&] { return !zewindow_covered(&w); }));
    stop_helper(clock);
}

TEST_F(WindowX11, StaysAboveTheDesktopWhenTheDesktopIsShown) {
    // A desktop window as file managers make one.
    Window desk = XCreateSimpleWindow(g_dpy, DefaultRootWindow(g_dpy), 0, 0, 1920, 1080, 0, 0, 0x204060);
    Atom type = XInternAtom(g_dpy, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    XChangeProperty(g_dpy, desk, XInternAtom(g_dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    (unsigned char *)&type, 1);
    XMapWindow(g_dpy, desk);
    XFlush(g_dpy);
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, ",x=900,y=500,xs=100,ys=40,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x) && viewable(desk); }));
    EXPECT_TRUE(zebackend()->is_desktop(zebackend()->window_at(5, 5)));
    // Show the desktop: the window manager hides every window.
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = DefaultRootWindow(g_dpy);
    e.xclient.message_type = XInternAtom(g_dpy, "_NET_SHOWING_DESKTOP", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1;
    XSendEvent(g_dpy, DefaultRootWindow(g_dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(g_dpy);
    bool hidden = pump_until([&] { return !viewable(x); });
    bool back = hidden && pump_until([&] {
        zewindow_keep_above_desktop(&w, false);
        return viewable(x) && !zewindow_covered(&w);
    });
    e.xclient.data.l[0] = 0;   // whatever happened, the next tests want windows
    XSendEvent(g_dpy, DefaultRootWindow(g_dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XDestroyWindow(g_dpy, desk);
    XFlush(g_dpy);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(back);
}

Window tray_owner() {
    return XGetSelectionOwner(g_dpy, XInternAtom(g_dpy, "_NET_SYSTEM_TRAY_S0", False));
}

// The icon window docked for w: a window named after w's title whose parent is not the root.
Window find_icon(const char *name) {
    std::string out = run(std::string("xdotool search --name '^") + name + "$' 2>/dev/null");
    for (size_t p = 0; p < out.size();) {
        Window c = strtoul(out.c_str() + p, nullptr, 10);
        Window root, parent, *kids = nullptr;
        unsigned n;
        if (c && XQueryTree(g_dpy, c, &root, &parent, &kids, &n)) {
            if (kids) XFree(kids);
            XClassHint cls;
            if (parent != root && XGetClassHint(g_dpy, c, &cls)) {
                bool icon = strcmp(cls.res_name, "zeko-tray") == 0;
                XFree(cls.res_name), XFree(cls.res_class);
                if (icon) return c;
            }
        }
        size_t nl = out.find('\n', p);
        if (nl == std::string::npos) break;
        p = nl + 1;
    }
    return 0;
}

// A window that closes itself when it is deactivated (as a popup list
// does): the focus-out that closes it must not use its record afterwards.
zeWindow *g_closing;
zearg close_on_deactivate(void *, int id, zearg, zearg, zearg, zearg, zearg, zearg, zearg, zearg) {
    g_ids.push_back(id);
    if (g_closing && g_closing->open && id == g_closing->deactivatedid) zewindow_close(g_closing);
    return 0;
}

TEST_F(WindowX11, AWindowClosingItselfOnDeactivation) {
    zeWindow a, b;
    ASSERT_TRUE(zewindow_open(&a, "closes-on-deactivate,x=100,y=600,xs=120,ys=60,noquit"));
    Window ax = xid(&a);
    ASSERT_TRUE(pump_until([&] { return viewable(ax); }));
    zewindow_bringtotop(&a);
    ASSERT_TRUE(pump_until([&] { return got_id(a.activatedid); }));
    int deact = a.deactivatedid;
    g_closing = &a;
    zewindow_set_callback(&a, close_on_deactivate, nullptr);
    ASSERT_TRUE(zewindow_open(&b, "takes-the-focus,x=400,y=600,xs=120,ys=60,noquit"));
    Window bx = xid(&b);
    ASSERT_TRUE(pump_until([&] { return viewable(bx); }));
    zewindow_bringtotop(&b);
    EXPECT_TRUE(pump_until([&] { return got_id(deact) && !a.open; }));
    settle(200);
    g_closing = nullptr;
    zewindow_close(&b);
}

// A tray that owns the tray selection but never takes the icon in (hung,
// or gone before it read the request): the window comes back by itself.
TEST_F(WindowX11, ATrayThatNeverDocksGivesTheWindowBack) {
    char name[64];
    snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", DefaultScreen(g_dpy));
    Window fake = XCreateSimpleWindow(g_dpy, DefaultRootWindow(g_dpy), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(g_dpy, XInternAtom(g_dpy, name, False), fake, CurrentTime);
    XSync(g_dpy, False);
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "quimo-hung-tray,x=500,y=400,xs=120,ys=60,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    zewindow_totray(&w);
    EXPECT_TRUE(w.intray);
    EXPECT_TRUE(pump_until([&] { return !viewable(x); }));
    EXPECT_TRUE(pump_until([&] { return got_id(w.trayid) && viewable(x); }, 9000));
    EXPECT_FALSE(w.intray);
    XDestroyWindow(g_dpy, fake);   // the selection goes with it
    XSync(g_dpy, False);
    zewindow_close(&w);
    settle(500);   // the window manager is done with it before the next test
}

TEST_F(WindowX11, TrayIconHidesAndRestores) {
    pid_t tray = start_helper("trayer --edge top --align right --widthtype request --height 24 --SetDockType true");
    ASSERT_GT(tray, 0);
    ASSERT_TRUE(pump_until([] { return tray_owner() != None; }, 5000));
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "quimo-tray-test,x=500,y=400,xs=120,ys=60,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    zewindow_move(&w, 530, 410);   // dragged before it goes to the tray
    int cx = 0, cy = 0;
    ASSERT_TRUE(pump_until([&] { return client_origin(x, &cx, &cy), cx == 530 && cy == 410; }));
    zewindow_totray(&w);
    Window icon = 0;
    ASSERT_TRUE(pump_until([&] { return (icon = find_icon("quimo-tray-test")) != 0 && viewable(icon); }));
    EXPECT_TRUE(pump_until([&] { return !viewable(x); }));
    int ix, iy;
    client_origin(icon, &ix, &iy);
    XWindowAttributes ia;
    ASSERT_TRUE(XGetWindowAttributes(g_dpy, icon, &ia));
    EXPECT_GE(ia.width, 8);   // the tray gave the icon room
    run("xdotool mousemove " + std::to_string(ix + ia.width / 2) + " " + std::to_string(iy + ia.height / 2) +
        " click 1");
    EXPECT_TRUE(pump_until([&] { return got_id(w.trayid); }));
    EXPECT_TRUE(pump_until([&] { return viewable(x); }));
    EXPECT_FALSE(w.intray);
    client_origin(x, &cx, &cy);
    EXPECT_EQ(530, cx);   // back where it was
    EXPECT_EQ(410, cy);

    // The tray goes away while the icon is docked: the window comes back.
    zewindow_totray(&w);
    ASSERT_TRUE(pump_until([&] { return (icon = find_icon("quimo-tray-test")) != 0 && !viewable(x); }));
    g_ids.clear();
    stop_helper(tray);
    ASSERT_TRUE(pump_until([] { return tray_owner() == None; }));
    EXPECT_TRUE(pump_until([&] { return got_id(w.trayid) && viewable(x); }));
    EXPECT_FALSE(w.intray);

    // No tray at all: the window is not lost either. (Openbox sometimes
    // ignores an iconify that comes right after the window was mapped again:
    // let it finish with the window first.)
    settle(500);
    g_ids.clear();
    zewindow_totray(&w);
    settle(300);
    // Still there: minimised, and in the task bar although it has no title.
    EXPECT_TRUE(pump_until([&] { return has_atom_prop(x, "WM_STATE", "Iconic"); }));
    EXPECT_FALSE(has_atom_prop(x, "_NET_WM_STATE", "SKIP_TASKBAR"));
    zewindow_bringtotop(&w);
    EXPECT_TRUE(pump_until([&] { return got_id(w.trayid); }));
    EXPECT_TRUE(pump_until([&] { return viewable(x); }));
    EXPECT_TRUE(pump_until([&] { return has_atom_prop(x, "_NET_WM_STATE", "SKIP_TASKBAR"); }));
}

// The digits are drawn from the timer thread while the main thread pumps
// and moves the window: neither side may break the display connection.
TEST_F(WindowX11, ShowFromAnotherThread) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, ",x=700,y=100,xs=200,ys=60,notitle,noquit"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    std::atomic<bool> stop{false};
    std::atomic<int> shown{0};
    std::thread drawer([&] {
        for (int i = 0; !stop; i++, shown++) {
            zePixmap *p = zewindow_pixmap(&w);
            zepxmap_fillrect(p, (i * 7) % 180, 10, 20, 40, (i * 0x10101) & 0xFFFFFF);
            zewindow_show_rect(&w, (i * 7) % 180, 10, 20, 40);
            usleep(500);
        }
    });
    for (int i = 0; i < 30; i++) {
        zewindow_move(&w, 700 + i, 100 + i);
        settle(10);
    }
    stop = true;
    drawer.join();
    EXPECT_GT(shown.load(), 20);
    zepxmap_clear(zewindow_pixmap(&w), 0x123456);
    zewindow_show(&w, 0, 0, 0, 0);
    int cx, cy;
    ASSERT_TRUE(pump_until([&] {
        client_origin(x, &cx, &cy);
        return cx == 729 && cy == 129;
    }));
    settle(100);
    XImage *img = XGetImage(g_dpy, DefaultRootWindow(g_dpy), cx + 100, cy + 30, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(nullptr, img);
    EXPECT_EQ(0x123456u, XGetPixel(img, 0, 0) & 0xFFFFFF);
    XDestroyImage(img);
}

// Quits the toolkit: runs last.
TEST_F(WindowX11, ZZCloseButtonQuits) {
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "quitting,x=300,y=300,xs=120,ys=80"));
    Window x = xid(&w);
    ASSERT_TRUE(pump_until([&] { return viewable(x); }));
    int closeid = zewindow_closeid(&w);
    press_close_button(x);
    ASSERT_TRUE(pump_until([&] { return got_id(closeid) || !zerunning(); }));
    EXPECT_FALSE(zerunning());
    EXPECT_FALSE(w.open);
}

}  // namespace
