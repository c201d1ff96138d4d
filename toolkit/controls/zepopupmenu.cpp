// The popup menu.
#include "zepopupmenu.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zemetrics.h"
#include "zepopup.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zeview.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

enum { SEPARATOR_H = 4, TEXT_X = 12, EDGE = 2, MIN_W = 80, MIN_H = 15, EXTRA_W = 25, EXTRA_H = 8 };

static char g_chosen[ZEPOPUPMENU_TEXTMAX + 1];

const char *zepopupmenu_text(void) { return g_chosen; }

struct Menu {
    zePopup popup;
    char **items;
    int n;
    int font;
    int hot;                   // highlighted entry, -1 none
    zeHandler owner;           // told of a click outside
    void *ownerobj;
    int doneid;
    int result;                // 1-based, 0 cancelled
    bool done;
};

static int item_h(const Menu *m, int i) {
    return zecfgstr_is_separator(m->items[i]) ? SEPARATOR_H : zefont_height(m->font) + EXTRA_H;
}

void zepopupmenu_size(const char *const *items, int n, int font, int *w, int *h) {
    int width = 0, height = 2;
    for (int i = 0; i < n; i++) {
        bool sep = zecfgstr_is_separator(items[i]);
        height += sep ? SEPARATOR_H : zefont_height(font) + EXTRA_H;
        int tw = sep ? 0 : zefont_text_width(font, items[i]);
        if (tw > width) width = tw;
    }
    *w = width + EXTRA_W < MIN_W ? MIN_W : width + EXTRA_W;
    *h = height < MIN_H ? MIN_H : height;
}

// The entry at a client point more than EDGE pixels inside the border, or -1.
static int item_at(const Menu *m, int x, int y) {
    const zePopup *p = &m->popup;
    if (x <= EDGE || x >= p->w - 1 - EDGE || y <= EDGE || y >= p->h - 1 - EDGE) return -1;
    int top = 1;
    for (int i = 0; i < m->n; i++) {
        int ih = item_h(m, i);
        if (y >= top && y < top + ih) return zecfgstr_is_separator(m->items[i]) ? -1 : i;
        top += ih;
    }
    return -1;
}

static void draw(Menu *m) {
    zePopup *p = &m->popup;
    zePixmap *px = zepopup_pixmap(p);
    zepxmap_fillrect(px, 0, 0, p->w, p->h, zescheme_color(ZECOL_GREY));
    zeframe_draw(px, ZEFRAME_SIMPLE, false, 0, 0, p->w, p->h);
    int top = 1, fh = zefont_height(m->font);
    for (int i = 0; i < m->n; i++) {
        int ih = item_h(m, i);
        if (zecfgstr_is_separator(m->items[i])) {
            zepxmap_fillrect(px, 3, top + 1, p->w - 6, 1, zescheme_color(ZECOL_DARK));
            zepxmap_fillrect(px, 3, top + 2, p->w - 6, 1, zescheme_color(ZECOL_WHITE));
        } else {
            if (i == m->hot) {
                zepxmap_fillrect(px, 2, top, p->w - 4, ih, zescheme_color(ZECOL_LIGHT));
                zeframe_draw(px, ZEFRAME_SIMPLE, true, 2, top, p->w - 4, ih);
            }
            zefont_draw_text(px, m->font, TEXT_X, top + (ih - fh) / 2, zescheme_color(ZECOL_TEXT), false, false, -1,
                             p->w - TEXT_X - 2, -1, m->items[i]);
        }
        top += ih;
    }
    zepopup_show(p);
}

static void finish(Menu *m, int result) {
    if (m->done) return;
    m->done = true;
    m->result = result;
    zeevent_post(m->doneid);
}

static void hot(Menu *m, int i) {
    if (m->hot == i) return;
    m->hot = i;
    draw(m);
}

static bool is_press(int msg) { return msg == 2004 || msg == 2006 || msg == 2007 || msg == 2009 || msg == 2010 || msg == 2012; }

// Every pointer message of the popup, also those outside it: the popup holds
// the pointer, so a click anywhere on the screen arrives here.
static zearg pointer(void *owner, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    Menu *m = (Menu *)owner;
    int x = (int)a1, y = (int)a2;
    if (m->done) return 0;
    if (!zepopup_inside(&m->popup, x, y)) {
        if (!is_press(msg)) return 0;
        if (m->owner) m->owner(m->ownerobj, ZEPOPUPMENU_OUTSIDE, m->popup.x + x, m->popup.y + y, 0, 0, 0, 0, 0, 0);
        finish(m, 0);
        return 0;
    }
    int i = item_at(m, x, y);
    if (msg == 2015) hot(m, i);
    // A release chooses: the press that opened the menu may end over an entry.
    if ((msg == 2005 || msg == 2011) && i >= 0) finish(m, i + 1);
    return 0;
}

// The next entry that is no separator, stepping by dir and wrapping round.
static int step(const Menu *m, int from, int dir) {
    int i = from;
    for (int k = 0; k < m->n; k++) {
        i = i < 0 ? (dir > 0 ? 0 : m->n - 1) : (i + dir + m->n) % m->n;
        if (!zecfgstr_is_separator(m->items[i])) return i;
    }
    return -1;
}

// Keys (taken from every window while the menu is open) and the close request.
static zearg window_event(void *user, int id, zearg wmsg, zearg code, zearg, zearg, zearg, zearg, zearg, zearg) {
    (void)id;
    Menu *m = (Menu *)user;
    if (m->done) return 0;
    if (wmsg == 2001) finish(m, 0);
    if (wmsg != 2016) return 0;
    if (code == ZEKEY_ESCAPE) finish(m, 0);
    else if (code == ZEKEY_DOWN) hot(m, step(m, m->hot, 1));
    else if (code == ZEKEY_UP) hot(m, step(m, m->hot, -1));
    else if ((code == ZEKEY_ENTER || code == 13) && m->hot >= 0) finish(m, m->hot + 1);
    return 0;
}

// Opens the menu and waits for the answer. Ids taken meanwhile are discarded,
// as in every dialog's loop; the flag ends it even if a full queue dropped
// the done id.
static int show(Menu *m, int x, int y, int w, int h) {
    m->doneid = zeevent_newid();
    m->done = false, m->result = 0;
    if (!zepopup_open(&m->popup, x, y, w, h, -1, zescheme_color(ZECOL_GREY), pointer, m)) return 0;
    zewindow_set_callback(&m->popup.win, window_event, m);
    zewindow_take_keys(&m->popup.win);
    draw(m);
    while (zepopup_is_open(&m->popup) && !m->done && zerunning())
        if (zeevent_wait() == 0) break;
    zewindow_take_keys(nullptr);
    zewindow_set_callback(&m->popup.win, nullptr, nullptr);
    zepopup_close(&m->popup);
    return m->done ? m->result : 0;
}

// Reads "x=" and "y=" (integers; the last one wins).
static void position(char **e, int *x, int *y) {
    for (int i = 0; e[i]; i++) {
        char s[ZECFGSTR_ENTRYMAX + 1];
        zecfgstr_squeeze(e[i], s, sizeof s);
        if (const char *v = zecfgstr_key(s, "x=")) *x = zecfgstr_int(v);
        if (const char *v = zecfgstr_key(s, "y=")) *y = zecfgstr_int(v);
    }
}

static int run(zeHandler owner, void *ownerobj, int x, int y, bool takexy, const char *fmt, va_list ap) {
    g_chosen[0] = 0;
    char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_vparse(buf, fmt ? fmt : "", ap);
    Menu *m = new (std::nothrow) Menu();
    if (!m) return 0;
    m->font = ZEFONT_DEFAULT, m->hot = -1, m->owner = owner, m->ownerobj = ownerobj;
    zecfgstr_font(e, 0, &m->font);
    if (takexy) position(e, &x, &y);
    m->n = zecfgstr_list(e, 0, ZECFG_LIST_MENUS, &m->items);
    if (m->n > ZEPOPUPMENU_ITEMS) m->n = ZEPOPUPMENU_ITEMS;
    int r = 0;
    if (m->n > 0) {
        int w, h;
        zepopupmenu_size(m->items, m->n, m->font, &w, &h);
        if (x == -1 || y == -1) {
            int px, py;
            zewindow_pointer(&px, &py);
            x = px - w / 2, y = py;
        }
        int sw = guimetrics("screenxs"), sh = guimetrics("screenys");
        if (sw > 0 && x + w > sw) x = sw - w;
        if (sh > 0 && y + h > sh) y = sh - h;
        r = show(m, x < 0 ? 0 : x, y < 0 ? 0 : y, w, h);
        if (r > 0 && r <= m->n) snprintf(g_chosen, sizeof g_chosen, "%s", m->items[r - 1]);
    }
    zecfgstr_split_release(m->items);
    delete m;
    return r;
}

int zepopupmenu(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int r = run(nullptr, nullptr, -1, -1, true, fmt, ap);
    va_end(ap);
    return r;
}

int zepopupmenu_owned(zeHandler owner, void *ownerobj, int x, int y, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int r = run(owner, ownerobj, x, y, false, fmt, ap);
    va_end(ap);
    return r;
}
