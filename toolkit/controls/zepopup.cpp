// Popups: borderless windows that hold the pointer.
#include "zepopup.h"
#include "zegout.h"
#include "zemetrics.h"
#include "zeview.h"

static void pointer(zeWindow *w, int msg, int x, int y) {
    // The window is the popup's first member.
    zePopup *p = (zePopup *)w;
    zesend(p->target, p->targetowner, msg, x, y);
}

bool zepopup_open(zePopup *p, int x, int y, int w, int h, int y0, int bgcolor, zeHandler target, void *owner) {
    zepopup_close(p);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    int sh = guimetrics("screenys");
    if (y0 >= 0 && sh > 0 && y + h > sh && y0 - h >= 0) y = y0 - h;
    p->target = target, p->targetowner = owner;
    p->x = x, p->y = y, p->w = w, p->h = h;
    zeView *standard = zeview_standard();
    zegout_save();
    bool ok = zewindow_open(&p->win, ",x=%d,y=%d,xs=%d,ys=%d,bgcolor=%06x,popup,modal", x, y, w, h,
                            bgcolor < 0 ? 0xFFFFFF : bgcolor);
    zegout_restore();
    if (!ok) return false;
    // Controls made while the popup is open still go to the owner's window.
    if (standard) zeview_make_standard(standard);
    zewindow_set_pointer_hook(&p->win, pointer);
    return true;
}

void zepopup_close(zePopup *p) {
    if (!p->win.open) return;
    zegout_save();
    zewindow_close(&p->win);
    zegout_restore();
}

bool zepopup_is_open(const zePopup *p) { return p->win.open; }

zePixmap *zepopup_pixmap(zePopup *p) { return zewindow_pixmap(&p->win); }

void zepopup_show(zePopup *p) {
    if (p->win.open) zewindow_show(&p->win, 0, 0, 0, 0);
}

bool zepopup_inside(const zePopup *p, int px, int py) { return px >= 0 && py >= 0 && px < p->w && py < p->h; }
