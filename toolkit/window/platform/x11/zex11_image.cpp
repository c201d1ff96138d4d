// Pictures kept by the X server: a pixmap of the screen's depth with a 1-bit
// mask of its opaque pixels, uploaded once. Showing a rectangle of one is a
// CopyArea of a few dozen bytes, however large the rectangle.
//
// A copy from another thread is queued, as win_show's marks are, and sent by
// the main thread's pump in the order it was made. While copies wait, the
// other thread's shows join the same queue, so that none overtakes a copy.
#include "zex11.h"
#include "zetimer.h"
#include <vector>

namespace {

struct XImg {
    bool used;
    Pixmap pm, mask;   // mask None: every pixel opaque
    int w, h;
    // A masked picture's own GC, its clip mask set once: a copy then changes
    // at most the clip origin, and none when it lands where the last did.
    GC gc;
    int clipx, clipy;
};

// One waiting operation: a copy of a picture, or a show of pixels (img 0).
struct Op {
    int win, img;
    int sx, sy, w, h, dx, dy;
};

std::vector<XImg> g_imgs(1);   // index = handle; 0 unused
std::vector<Op> g_queue;       // under zex11_lock
GC g_copygc;                   // unclipped: uploads and pictures without a mask

ZE_HOT XImg *img_of(int h) {
    if (h <= 0 || h >= (int)g_imgs.size() || !g_imgs[h].used) return nullptr;
    return &g_imgs[h];
}

// Completion events (GraphicsExpose, NoExpose) would wake the pump for nothing.
GC new_copy_gc(Pixmap mask) {
    XGCValues v;
    v.graphics_exposures = False;
    v.clip_mask = mask;
    return XCreateGC(zex11_dpy, zex11_root, GCGraphicsExposures | (mask != None ? GCClipMask : 0), &v);
}

ZE_HOT GC copy_gc(void) {
    if (!g_copygc) g_copygc = new_copy_gc(None);
    return g_copygc;
}

// The colours in the screen's pixel format, uploaded to a fresh pixmap.
bool upload(Pixmap pm, const uint32_t *colors, int w, int h) {
    GC gc = copy_gc();
    return zex11_shm_put(pm, gc, colors, w, h) || zex11_put_colors(pm, gc, colors, w, h, 0, 0, w, h);
}

// The mask as bitmap data: rows padded to whole bytes, first pixel in the
// lowest bit. None when every pixel is opaque.
Pixmap make_mask(const uint8_t *opaque, int w, int h) {
    if (!opaque) return None;
    int stride = (w + 7) / 8;
    std::vector<char> bits((size_t)stride * h, 0);
    bool all = true;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (opaque[(size_t)y * w + x]) bits[(size_t)y * stride + x / 8] |= (char)(1 << (x % 8));
            else all = false;
        }
    if (all) return None;
    return XCreateBitmapFromData(zex11_dpy, zex11_root, bits.data(), (unsigned)w, (unsigned)h);
}

ZE_HOT void copy_now(const Op &op) {
    zeX11Win *w = zex11_win(op.win);
    if (!w) return;
    if (!op.img) {
        zex11_show_pixels(w, op.sx, op.sy, op.w, op.h);
        return;
    }
    XImg *im = img_of(op.img);
    if (!im) return;
    GC gc = im->gc ? im->gc : copy_gc();
    // The mask lies on the picture, which lies at (dx - sx, dy - sy).
    int ox = op.dx - op.sx, oy = op.dy - op.sy;
    if (im->gc && (ox != im->clipx || oy != im->clipy)) {
        XSetClipOrigin(zex11_dpy, gc, ox, oy);
        im->clipx = ox, im->clipy = oy;
    }
    XCopyArea(zex11_dpy, im->pm, w->xwin, gc, op.sx, op.sy, (unsigned)op.w, (unsigned)op.h, op.dx, op.dy);
}

}  // namespace

int zex11_img_create(const uint32_t *colors, const uint8_t *opaque, int w, int h) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    // Xlib belongs to the main thread; a draw elsewhere takes the pixels' way.
    if (!zex11_dpy || zex11_lost() || !zex11_main_thread() || w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return -1;
    int depth = DefaultDepth(zex11_dpy, zex11_screen);
    XImg im = {true, XCreatePixmap(zex11_dpy, zex11_root, (unsigned)w, (unsigned)h, (unsigned)depth), None, w, h,
               nullptr, 0, 0};
    if (!upload(im.pm, colors, w, h)) {
        XFreePixmap(zex11_dpy, im.pm);
        return -1;
    }
    im.mask = make_mask(opaque, w, h);
    if (im.mask != None) im.gc = new_copy_gc(im.mask);
    size_t slot = 1;
    while (slot < g_imgs.size() && g_imgs[slot].used) slot++;
    if (slot == g_imgs.size()) g_imgs.push_back(XImg());
    g_imgs[slot] = im;
    return (int)slot;
}

void zex11_img_destroy(int h) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    XImg *im = img_of(h);
    if (!im) return;
    zex11_send_queued();   // copies of it that still wait go first
    if (zex11_dpy) {
        if (im->gc) XFreeGC(zex11_dpy, im->gc);
        XFreePixmap(zex11_dpy, im->pm);
        if (im->mask != None) XFreePixmap(zex11_dpy, im->mask);
    }
    *im = XImg();
}

ZE_HOT void zex11_win_copy_img(int win, int img, int sx, int sy, int cw, int ch, int dx, int dy) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    XImg *im = img_of(img);
    if (!im || !zex11_win(win) || zex11_lost()) return;
    if (sx < 0) cw += sx, dx -= sx, sx = 0;
    if (sy < 0) ch += sy, dy -= sy, sy = 0;
    if (sx + cw > im->w) cw = im->w - sx;
    if (sy + ch > im->h) ch = im->h - sy;
    if (cw <= 0 || ch <= 0) return;
    Op op = {win, img, sx, sy, cw, ch, dx, dy};
    if (!zex11_main_thread()) {
        g_queue.push_back(op);
        zex11_wake_main();
        return;
    }
    // Sent with the rest of this wake when the pump next looks for events.
    zex11_send_queued();
    copy_now(op);
}

bool zex11_queue_show(int win, int x, int y, int cw, int ch) {
    if (g_queue.empty()) return false;
    g_queue.push_back({win, 0, x, y, cw, ch, x, y});
    zex11_wake_main();
    return true;
}

ZE_HOT void zex11_send_queued(void) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    if (g_queue.empty() || !zex11_dpy) return;
    std::vector<Op> ops;
    ops.swap(g_queue);
    for (const Op &op : ops) copy_now(op);
}

void zex11_images_shutdown(void) {
    g_queue.clear();
    for (XImg &im : g_imgs) {
        if (!im.used) continue;
        if (im.gc) XFreeGC(zex11_dpy, im.gc);
        XFreePixmap(zex11_dpy, im.pm);
        if (im.mask != None) XFreePixmap(zex11_dpy, im.mask);
    }
    g_imgs.assign(1, XImg());
    if (g_copygc) XFreeGC(zex11_dpy, g_copygc);
    g_copygc = nullptr;
}

Pixmap zex11_img_pixmap(int h, int *w, int *ht) {
    std::lock_guard<std::recursive_mutex> lock(zex11_lock);
    XImg *im = img_of(h);
    if (!im || im->mask != None) return None;
    if (w) *w = im->w;
    if (ht) *ht = im->h;
    return im->pm;
}

int zex11_images_live(void) {
    int n = 0;
    for (const XImg &im : g_imgs) n += im.used;
    return n;
}
