// Copies the X server makes by itself at a later moment, so that the program
// sleeps through it (the blinking colon's other phase): Present's
// PresentPixmap in copy mode at a frame count, with no event asked for.
//
// Present counts the frames of the screen (MSC) with their times (UST,
// microseconds of the monotonic clock). A NotifyMSC for frame 0 is answered
// at once with the current frame and its time: a reading. Two readings half
// a second or more apart give the frame length, and from the last one a
// moment of the program's clock maps to the first frame at or after it.
// Readings are taken again every half minute; where the frames did not keep
// to the line (the window went to another screen, a server counts frames
// only while the window shows) nothing is queued until two readings agree.
#include "zex11.h"
#include <X11/Xlib-xcb.h>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <xcb/present.h>
#include <xcb/xfixes.h>

namespace {

struct Reading {
    uint64_t ust, msc;
    int64_t ours;   // the program's monotonic clock when it came, µs
};

constexpr int64_t REREAD_US = 30000000;   // a fresh reading every half minute
constexpr int64_t MIN_SPAN_US = 400000;   // between the two that start a line
constexpr int MAX_DELAY_MS = 2000;

struct PresentState {
    int usable;          // 0 not asked yet, 1 yes, -1 no
    Window xwin;         // the window the readings belong to
    bool have;           // last holds a reading
    Reading last;
    double frameUs;      // 0 unknown
    bool trusted;        // the last reading kept to the line
    int64_t offsetUs;    // our clock minus the server's
    uint32_t serial;
    bool checked;        // a copy went through without an error
};
PresentState g_ps;

int64_t now_us(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

xcb_connection_t *conn(void) { return XGetXCBConnection(zex11_dpy); }

bool present_usable(void) {
    if (g_ps.usable) return g_ps.usable > 0;
    g_ps.usable = -1;
    const char *off = getenv("ZE_LATER_COPIES");
    if (off && *off == '0') return false;
    xcb_connection_t *c = conn();
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_present_id);
    if (!ext || !ext->present) return false;
    xcb_present_query_version_reply_t *v =
        xcb_present_query_version_reply(c, xcb_present_query_version(c, 1, 2), nullptr);
    if (!v) return false;
    free(v);
    // Regions (XFixes 2) name the part a copy changes.
    ext = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!ext || !ext->present) return false;
    xcb_xfixes_query_version_reply_t *fv =
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 2, 0), nullptr);
    bool regions = fv && fv->major_version >= 2;
    free(fv);
    if (!regions) return false;
    g_ps.usable = 1;
    return true;
}

// The current frame and its time, asked of the window. Its answer comes
// before the answer to a round trip sent after it, so no wait can hang: no
// answer by then means none will come.
bool read_msc(Window xwin, Reading *r) {
    xcb_connection_t *c = conn();
    uint32_t eid = xcb_generate_id(c);
    xcb_special_event_t *se = xcb_register_for_special_xge(c, &xcb_present_id, eid, nullptr);
    if (!se) return false;
    XFlush(zex11_dpy);
    xcb_present_select_input(c, eid, xwin, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
    uint32_t serial = ++g_ps.serial;
    xcb_present_notify_msc(c, xwin, serial, 0, 0, 0);
    // Asked for no more: completions of the copies must not wake the program.
    xcb_present_select_input(c, eid, xwin, XCB_PRESENT_EVENT_MASK_NO_EVENT);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    r->ours = now_us();
    bool ok = false;
    while (xcb_generic_event_t *e = xcb_poll_for_special_event(c, se)) {
        auto *ce = (xcb_present_complete_notify_event_t *)e;
        if (ce->event_type == XCB_PRESENT_COMPLETE_NOTIFY && ce->kind == XCB_PRESENT_COMPLETE_KIND_NOTIFY_MSC &&
            ce->serial == serial)
            r->ust = ce->ust, r->msc = ce->msc, ok = true;
        free(e);
    }
    xcb_unregister_for_special_event(c, se);
    return ok;
}

// Where the line through the last reading puts frame msc's time.
double line_msc(const Reading &from, double frameUs, uint64_t ust) {
    return (double)from.msc + ((double)ust - (double)from.ust) / frameUs;
}

// A new reading against the line so far: it keeps to it within two frames,
// or the line starts afresh from the last two readings, trusted only once a
// later reading keeps to it.
void take_reading(const Reading &r) {
    if (!g_ps.have || r.msc <= g_ps.last.msc || r.ust <= g_ps.last.ust) {
        g_ps.have = true, g_ps.last = r, g_ps.frameUs = 0, g_ps.trusted = false;
        return;
    }
    double span = (double)(r.ust - g_ps.last.ust);
    double slope = span / (double)(r.msc - g_ps.last.msc);
    bool keeps = g_ps.frameUs > 0 && std::fabs(line_msc(g_ps.last, g_ps.frameUs, r.ust) - (double)r.msc) <= 2;
    // Between 20 and 500 frames a second; anything else is not a screen.
    bool sane = slope >= 2000 && slope <= 50000;
    g_ps.trusted = sane && (keeps || (g_ps.frameUs == 0 && span >= (double)MIN_SPAN_US));
    g_ps.frameUs = sane ? slope : 0;
    g_ps.last = r;
    // The server's clock is the program's, unless a reading is far off it
    // (a program under a time-faking preload): then the difference counts.
    int64_t off = r.ours - (int64_t)r.ust;
    g_ps.offsetUs = off > 100000 || off < -100000 ? off : 0;
}

void reset(Window xwin) {
    g_ps.xwin = xwin;
    g_ps.have = false, g_ps.frameUs = 0, g_ps.trusted = false;
}

// The frame the copies go out at: the first at or after the moment, one
// later where the clocks differ (the reading's time may be up to a frame old).
bool target_msc(int delayMs, uint64_t *msc) {
    int64_t now = now_us();
    int64_t age = now - g_ps.last.ours;
    bool due = age >= REREAD_US || (!g_ps.trusted && age >= MIN_SPAN_US) || !g_ps.have;
    if (due) {
        Reading r;
        if (!read_msc(g_ps.xwin, &r)) {
            reset(g_ps.xwin);
            return false;
        }
        take_reading(r);
        now = r.ours;
    }
    if (!g_ps.trusted || g_ps.frameUs <= 0) return false;
    double when = (double)(now + (int64_t)delayMs * 1000 - g_ps.offsetUs);
    double m = std::ceil(line_msc(g_ps.last, g_ps.frameUs, (uint64_t)when));
    if (g_ps.offsetUs) m += 1;
    double current = line_msc(g_ps.last, g_ps.frameUs, (uint64_t)(now - g_ps.offsetUs));
    if (m <= current || m > current + MAX_DELAY_MS * 1000.0 / g_ps.frameUs + 2) return false;
    *msc = (uint64_t)m;
    return true;
}

}  // namespace

bool zex11_win_copy_imgs_later(int win, const zeImageCopy *copies, int n, int delayMs) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    zeX11Win *w = zex11_win(win);
    if (!w || n <= 0 || delayMs < 0 || delayMs > MAX_DELAY_MS || !zex11_dpy || zex11_lost() ||
        !zex11_main_thread() || !present_usable())
        return false;
    for (int i = 0; i < n; i++)
        if (zex11_img_pixmap(copies[i].img, nullptr, nullptr) == None) return false;
    if (g_ps.xwin != w->xwin) reset(w->xwin);
    zex11_send_queued();
    uint64_t msc;
    if (!target_msc(delayMs, &msc)) return false;
    xcb_connection_t *c = conn();
    XFlush(zex11_dpy);
    // Each copy names the part it changes: copies for the same frame that
    // changed the whole window would be dropped for the last one.
    for (int i = 0; i < n; i++) {
        int pw, ph;
        xcb_pixmap_t pm = (xcb_pixmap_t)zex11_img_pixmap(copies[i].img, &pw, &ph);
        xcb_rectangle_t all = {0, 0, (uint16_t)pw, (uint16_t)ph};
        xcb_xfixes_region_t part = xcb_generate_id(c);
        xcb_xfixes_create_region(c, part, 1, &all);
        int16_t x = (int16_t)copies[i].dx, y = (int16_t)copies[i].dy;
        uint32_t serial = ++g_ps.serial;
        xcb_void_cookie_t ck = xcb_present_pixmap_checked(c, w->xwin, pm, serial, 0, part, x, y, 0, 0, 0,
                                                          XCB_PRESENT_OPTION_COPY, msc, 0, 0, 0, nullptr);
        // The copy keeps its own copy of the region.
        xcb_xfixes_destroy_region(c, part);
        // The first copy is waited for: a server that refuses them (a
        // picture of another depth, say) is not asked again.
        if (g_ps.checked) {
            xcb_discard_reply(c, ck.sequence);
            continue;
        }
        xcb_generic_error_t *err = xcb_request_check(c, ck);
        if (err) {
            free(err);
            g_ps.usable = -1;
            return false;
        }
        g_ps.checked = true;
    }
    xcb_flush(c);
    return true;
}

void zex11_present_shutdown(void) { g_ps = PresentState(); }
