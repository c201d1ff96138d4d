// Numbers for in-memory pictures, so that page texts can name them: an XPM
// picture or a pixmap is entered once and keeps its number.
#include "zepage.h"

enum { HANDLES = 64 };

static const void *g_xpms[HANDLES];
static const void *g_pixmaps[HANDLES];

// Numbers start at 1: 0 is what a page reads from a missing or broken value.
static int enter(const void **table, const void *item) {
    if (!item) return 0;
    for (int i = 0; i < HANDLES; i++)
        if (table[i] == item) return i + 1;
    for (int i = 0; i < HANDLES; i++)
        if (!table[i]) {
            table[i] = item;
            return i + 1;
        }
    return 0;
}

int zepage_xpm_handle(const char *const *xpm) { return enter(g_xpms, xpm); }
int zepage_pixmap_handle(zePixmap *pixmap) { return enter(g_pixmaps, pixmap); }

void zepage_pixmap_forget(zePixmap *pixmap) {
    for (const void *&p : g_pixmaps)
        if (p == pixmap) p = nullptr;
}

static bool valid(int handle) { return handle >= 1 && handle <= HANDLES; }
const char *const *zepage_xpm_of(int handle) { return valid(handle) ? (const char *const *)g_xpms[handle - 1] : nullptr; }
zePixmap *zepage_pixmap_of(int handle) { return valid(handle) ? (zePixmap *)g_pixmaps[handle - 1] : nullptr; }
