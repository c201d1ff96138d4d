// Desktop queries, passed to the backend; a backend without a call answers
// as a desktop that has nothing to offer.
#include "zedesktop.h"
#include "zeplatform.h"

void zedesktop_workarea(int rect[4]) { zebackend()->workarea(rect); }

bool zedesktop_set_workarea(const int rect[4]) {
    const zeBackend *b = zebackend();
    return b->workarea_set && b->workarea_set(rect);
}

int zedesktop_windows(zeNativeInfo *out, int max) {
    const zeBackend *b = zebackend();
    return b->list_windows ? b->list_windows(out, max) : 0;
}

bool zedesktop_move_window(long id, int x, int y, int width, int height) {
    const zeBackend *b = zebackend();
    return b->move_window && b->move_window(id, x, y, width, height);
}
