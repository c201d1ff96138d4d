// The combo box: drawing, entries, keys and wheel, and its drop-down list.
#include "zecombobox.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include <cstdio>
#include <cstring>
#include <new>

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                    zearg a7, zearg a8);
static void parse(zeControl *c, char **e);
static void natural(zeControl *c, int *w, int *h);
static void draw(zeControl *c);
static void release_kind(zeControl *c);

static const zeControlKind kComboBox = {"combobox", 0, parse, natural, draw, handle, release_kind};

static zeComboBox *of(zeControl *c) { return (zeComboBox *)c; }

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static void reset_fields(zeComboBox *cb) {
    cb->count = 0, cb->selected = 0, cb->texty = 0;
    cb->pressed = cb->nobutton = cb->right = false;
    cb->boxcolor = -1;
    cb->lineh = 13;
    cb->highlight = -1;
}

void zecombobox_init(zeComboBox *cb) {
    zecontrol_init(&cb->c, &kComboBox);
    reset_fields(cb);
    cb->popup = nullptr;
}

// ----- entries -----

bool zecombobox_add_text(zeComboBox *cb, const char *text) {
    if (cb->count >= ZECB_ENTRIES) return false;
    snprintf(cb->entries[cb->count], sizeof cb->entries[0], "%s", text ? text : "");
    cb->count++;
    if (cb->count == 1) zecontrol_redraw(&cb->c);
    return true;
}

bool zecombobox_add(zeComboBox *cb, const char *fmt, ...) {
    char text[ZECB_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt ? fmt : "", ap);
    va_end(ap);
    return zecombobox_add_text(cb, text);
}

void zecombobox_clear(zeComboBox *cb) {
    zecombobox_close(cb);
    cb->count = 0, cb->selected = 0;
    zecontrol_redraw(&cb->c);
}

void zecombobox_select(zeComboBox *cb, int index) {
    if (cb->count <= 0) return;
    index = clampi(index, 0, cb->count - 1);
    if (index == cb->selected) return;
    cb->selected = index;
    zecontrol_redraw(&cb->c);
}

bool zecombobox_select_text(zeComboBox *cb, const char *text) {
    for (int i = 0; text && i < cb->count; i++)
        if (!strcmp(cb->entries[i], text)) {
            zecombobox_select(cb, i);
            return true;
        }
    return false;
}

int zecombobox_selected(const zeComboBox *cb) { return cb->count > 0 ? cb->selected : -1; }

int zecombobox_selected_text(const zeComboBox *cb, char *out, int outsize) {
    int s = zecombobox_selected(cb);
    if (out && outsize > 0) snprintf(out, (size_t)outsize, "%s", s >= 0 ? cb->entries[s] : "");
    return s;
}

// ----- creation -----

static void parse(zeControl *c, char **e) {
    zeComboBox *cb = of(c);
    cb->boxcolor = c->bgcolor == c->colors[ZECOL_GREY] ? c->colors[ZECOL_WHITE] : c->bgcolor;
    zecfgstr_flag(e, 1, "nobutton", &cb->nobutton);
    zecfgstr_rightalign(e, 1, &cb->right);
    static const zeCfgKey start_key[] = {{"start=", ZECFG_INT, 0}, {nullptr}};
    int start = 0;
    zecfgstr_match(e, 1, start_key, &start);
    char **items = nullptr;
    int n = zecfgstr_list(e, 1, ZECFG_LIST_ENTRIES, &items);
    for (int i = 0; i < n; i++) zecombobox_add_text(cb, items[i]);
    zecfgstr_split_release(items);
    if (n > 0 && cb->count > 0) cb->selected = clampi(start, 0, cb->count - 1);
}

static void natural(zeControl *c, int *w, int *h) {
    int fh = zefont_height(c->font);
    *w = 120;
    *h = (fh > 0 ? fh : 13) + 4;
}

bool zecombobox_vcreate(zeComboBox *cb, const char *fmt, va_list ap) {
    if (cb->c.created) zecombobox_release(cb);
    zeControl *c = &cb->c;
    c->border = 1;
    bool allowed = c->redraw;
    c->redraw = false;   // one drawing, after the text position is known
    bool ok = zecontrol_vcreate(c, fmt, ap);
    c->redraw = allowed;
    if (!ok) return false;
    int fh = zefont_height(c->font);
    cb->lineh = fh > 0 ? fh : 13;
    cb->texty = (c->h - cb->lineh) / 2;
    zecontrol_redraw(c);
    return true;
}

bool zecombobox_create(zeComboBox *cb, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecombobox_vcreate(cb, fmt, ap);
    va_end(ap);
    return ok;
}

static void release_kind(zeControl *c) {
    zeComboBox *cb = of(c);
    zecombobox_close(cb);
    delete cb->popup;
    cb->popup = nullptr;
}

void zecombobox_release(zeComboBox *cb) {
    if (cb->c.created) zecontrol_release(&cb->c);
    else release_kind(&cb->c);
    reset_fields(cb);
}

// ----- drawing -----

static bool button_shown(const zeComboBox *cb) { return !cb->nobutton || cb->c.focus; }

// How many characters of s fit into width pixels.
static int fitting(int font, const char *s, int width) {
    int n = 0, used = 0;
    for (; s[n]; n++) {
        used += zefont_char_width(font, (unsigned char)s[n]);
        if (used > width) break;
    }
    return n;
}

static void draw_text(zeComboBox *cb) {
    zeControl *c = &cb->c;
    if (cb->count <= 0) return;
    const char *s = cb->entries[clampi(cb->selected, 0, cb->count - 1)];
    int right = button_shown(cb) ? c->w - c->h : c->w;
    int tx = 2;
    if (cb->right) tx = right - zefont_text_width(c->font, s) - 2;
    if (tx < 2) tx = 2;
    char cut[ZECB_TEXTMAX + 1];
    int n = fitting(c->font, s, right - tx);
    snprintf(cut, sizeof cut, "%.*s", n, s);
    int color = c->focus ? c->colors[ZECOL_TEXTSEL] : c->textcolor;
    zefont_draw_text(c->target, c->font, c->x + tx, c->y + cb->texty, color, c->grey, false, -1, 0, -1, cut);
}

static void draw_button(zeComboBox *cb) {
    zeControl *c = &cb->c;
    int bx = c->x + c->w - c->h, shift = cb->pressed ? 1 : 0;
    zepxmap_fillrect(c->target, bx, c->y, c->h, c->h, c->colors[ZECOL_GREY]);
    zeframe_draw(c->target, ZEFRAME_BUTTON, cb->pressed, bx, c->y, c->h, c->h, c->colors[ZECOL_GREY],
                 c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    zearrow_draw(c->target, "down", bx + shift, c->y + shift, c->h, c->h, c->colors[ZECOL_BLACK]);
}

static void draw(zeControl *c) {
    zeComboBox *cb = of(c);
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, c->focus ? c->colors[ZECOL_BLUE] : cb->boxcolor);
    if (c->border)
        zeframe_draw(c->target, ZEFRAME_BUTTON, true, c->x - 2, c->y - 2, c->w + 4, c->h + 4, c->colors[ZECOL_LIGHT],
                     c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    draw_text(cb);
    if (button_shown(cb) && c->h > 0 && c->h <= c->w) draw_button(cb);
}

// ----- the drop-down list -----

static void draw_popup(zeComboBox *cb) {
    zePopup *p = cb->popup;
    zePixmap *px = zepopup_pixmap(p);
    if (!px) return;
    zeControl *c = &cb->c;
    zepxmap_fillrect(px, 0, 0, p->w, p->h, c->colors[ZECOL_WHITE]);
    for (int i = 0; i < cb->count; i++) {
        int ly = i * cb->lineh + 2, color = c->textcolor;
        if (i == cb->highlight) {
            zepxmap_fillrect(px, 0, ly, p->w, cb->lineh, c->colors[ZECOL_BLUE]);
            color = c->colors[ZECOL_TEXTSEL];
        }
        zefont_draw_text(px, c->font, 2, ly, color, false, false, -1, 0, -1, cb->entries[i]);
    }
    zepopup_show(p);
}

static zearg popup_pointer(void *owner, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg);

bool zecombobox_open(zeComboBox *cb, int highlight) {
    zeControl *c = &cb->c;
    if (!c->created || cb->count <= 0) return false;   // nothing to choose from
    if (!cb->popup) cb->popup = new (std::nothrow) zePopup();
    if (!cb->popup) return false;
    int width = c->w;
    for (int i = 0; i < cb->count; i++) {
        int tw = zefont_text_width(c->font, cb->entries[i]) + 2;
        if (tw > width) width = tw;
    }
    int ox = (int)zecontrol_request(c, ZEREQ_ORIGINX), oy = (int)zecontrol_request(c, ZEREQ_ORIGINY);
    cb->highlight = highlight >= 0 && highlight < cb->count ? highlight : -1;
    if (!zepopup_open(cb->popup, ox + c->x, oy + c->y + c->h, width, cb->lineh * cb->count + 4, oy + c->y,
                      c->colors[ZECOL_WHITE], popup_pointer, cb))
        return false;
    draw_popup(cb);
    return true;
}

void zecombobox_close(zeComboBox *cb) {
    if (!cb->popup || !zepopup_is_open(cb->popup)) return;
    zepopup_close(cb->popup);
    cb->highlight = -1;
    zecontrol_request(&cb->c, ZEREQ_POPUPCLOSED);
}

bool zecombobox_is_open(const zeComboBox *cb) { return cb->popup && zepopup_is_open(cb->popup); }

// Takes a line of the list as the selection and closes it.
static void choose(zeComboBox *cb, int line, bool report) {
    zecombobox_close(cb);
    cb->pressed = false;
    if (line >= 0 && line < cb->count) cb->selected = line;
    zecontrol_redraw(&cb->c);
    if (report) zecontrol_post(&cb->c, cb->c.ids[0], cb->selected);
}

static int line_at(const zeComboBox *cb, int py) {
    if (py < 2) return -1;
    int line = (py - 2) / cb->lineh;
    return line < cb->count ? line : -1;
}

// Pointer messages of the open list, in its coordinates; a press outside
// closes it.
static zearg popup_pointer(void *owner, int msg, zearg a1, zearg a2, zearg, zearg, zearg, zearg, zearg, zearg) {
    zeComboBox *cb = (zeComboBox *)owner;
    zePopup *p = cb->popup;
    int px = (int)a1, py = (int)a2;
    bool inside = zepopup_inside(p, px, py);
    switch (msg) {
    case ZEMSG_MOTION: {
        int line = inside ? line_at(cb, py) : -1;
        if (line >= 0 && line != cb->highlight) {
            cb->highlight = line;
            draw_popup(cb);
        }
        return 0;
    }
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
    case ZEMSG_RDOWN:
        if (!inside) {
            zecombobox_close(cb);
            cb->pressed = false;
            zecontrol_redraw(&cb->c);
            return 0;
        }
        if (msg != ZEMSG_RDOWN && line_at(cb, py) >= 0) choose(cb, line_at(cb, py), true);
        return 0;
    case ZEMSG_LUP:
        if (cb->pressed) {
            cb->pressed = false;
            zecontrol_redraw(&cb->c);
        }
        return 0;
    }
    return 0;
}

// ----- input -----

static void step(zeComboBox *cb, int delta) {
    if (cb->count <= 0) return;
    zecombobox_select(cb, cb->selected + delta);
    zecontrol_post(&cb->c, cb->c.ids[0], cb->selected);
}

static void move_highlight(zeComboBox *cb, int delta) {
    int h = cb->highlight < 0 ? (delta > 0 ? 0 : cb->count - 1) : cb->highlight + delta;
    h = clampi(h, 0, cb->count - 1);
    if (h == cb->highlight) return;
    cb->highlight = h;
    draw_popup(cb);
}

static void key(zeComboBox *cb, int code) {
    bool open = zecombobox_is_open(cb);
    switch (code) {
    case ZEKEY_UP: open ? move_highlight(cb, -1) : step(cb, -1); return;
    case ZEKEY_DOWN: open ? move_highlight(cb, 1) : step(cb, 1); return;
    case ZEKEY_ENTER:
        if (open) choose(cb, cb->highlight, false);
        else zecombobox_open(cb, cb->selected);
        return;
    case ZEKEY_ESCAPE:
        if (!open) return;
        zecombobox_close(cb);
        cb->pressed = false;
        zecontrol_redraw(&cb->c);
        return;
    }
}

static zearg take_focus(zeComboBox *cb) {
    zeControl *c = &cb->c;
    if (c->grey || c->nofocus || !c->created || !c->visible) return 0;
    bool had = c->focus;
    c->focus = true;
    zecontrol_request(c, ZEREQ_SHOWME, c->handle);
    if (!had) zecontrol_redraw(c);
    return 1;
}

static void press(zeComboBox *cb, int px) {
    zeControl *c = &cb->c;
    if (c->grey) return;
    zecontrol_ask_focus(c);
    if (button_shown(cb) && px >= c->w - c->h) cb->pressed = true;
    zecontrol_redraw(c);
    if (zecombobox_is_open(cb)) zecombobox_close(cb);
    else zecombobox_open(cb, -1);
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                    zearg a7, zearg a8) {
    zeComboBox *cb = (zeComboBox *)owner;
    zeControl *c = &cb->c;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE:
        press(cb, (int)a1 - c->x);
        return 0;
    case ZEMSG_LUP:
    case ZEMSG_LEAVE:
        if (cb->pressed) {
            cb->pressed = false;
            zecontrol_redraw(c);
        }
        if (msg == ZEMSG_LEAVE) break;
        return 0;
    case ZEMSG_WHEELUP: if (!c->grey) step(cb, -1); return 0;
    case ZEMSG_WHEELDOWN: if (!c->grey) step(cb, 1); return 0;
    case ZEMSG_KEYDOWN:
        if (!c->grey) key(cb, (int)a1);
        return 0;
    case ZEMSG_FOCUS: return take_focus(cb);
    case ZEMSG_UNFOCUS:
        zecombobox_close(cb);
        break;
    case ZEMSG_SIZE:
        if (a1 <= 0 || a2 <= 0) return 0;
        zecontrol_layout(c, (int)a1, (int)a2);
        cb->texty = (c->h - cb->lineh) / 2;
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_HIDE:
        zecombobox_close(cb);
        break;
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}
