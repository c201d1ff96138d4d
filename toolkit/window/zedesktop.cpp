// Desktop queries, passed to the backend; a backend without a call answers
// as a desktop that has nothing to offer.
#include "zedesktop.h"
#include "zeplatform.h"

zeRect zedesktop_workarea(void) {
    zeRect area;
    zebackend()->workarea(&area);
    return area;
}

bool zedesktop_set_workarea(const zeRect &area) {
    const zeBackend *b = zebackend();
    return b->workarea_set && b->workarea_set(&area);
}

int zedesktop_windows(zeNativeInfo *out, int max) {
    const zeBackend *b = zebackend();
    return b->list_windows ? b->list_windows(out, max) : 0;
}

bool zedesktop_move_window(long id, int x, int y, int width, int height) {
    const zeBackend *b = zebackend();
    return b->move_window && b->move_window(id, x, y, width, height);
}
