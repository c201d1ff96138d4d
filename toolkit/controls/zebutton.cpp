// Push buttons and their variants.
#include "zebutton.h"
#include "zebutton_internal.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap_draw.h"
#include "zeshell.h"
#include <cctype>
#include <cstdio>
#include <cstring>


// ----- shared with the indicator switch button -----

int zebutton_brighter(int c, int delta) {
    int r = ((c >> 16) & 255) + delta, g = ((c >> 8) & 255) + delta, b = (c & 255) + delta;
    return ((r > 255 ? 255 : r) << 16) | ((g > 255 ? 255 : g) << 8) | (b > 255 ? 255 : b);
}

void zebutton_caption_pos(const zeControl *c, const char *caption, int *x, int *y) {
    int half = (c->w - zefont_text_width(c->font, caption)) / 2;
    *x = half < 4 ? 4 : half;
    int ty = (c->h - zefont_height(c->font)) / 2 - 1;
    *y = ty < 1 ? 1 : ty;
}

int zebutton_keycode(int key) { return key < 256 ? tolower(key) : key; }

// Hot keys: letters match in either case.
bool zebutton_hotkey_matches(int hotkey, int key) {
    return hotkey != 0 && zebutton_keycode(hotkey) == zebutton_keycode(key);
}

// ----- options -----

struct LinkColors {
    int highlight, active;
};

static const zeCfgKey kLinkKeys[] = {
    {"highlightcolor=|highlightcol=", ZECFG_COLOR, offsetof(LinkColors, highlight)},
    {"activecolor=|activecol=", ZECFG_COLOR, offsetof(LinkColors, active)},
    {nullptr},
};

static void parse(zeControl *c, char **e) {
    zeButton *b = (zeButton *)c;
    zeBtnAttr a = {};
    zecfgstr_btnattr(e, 1, &a);
    LinkColors lc = {0x0000FF, 0x8000FF};
    zecfgstr_match(e, 1, kLinkKeys, &lc);
    b->highlight = lc.highlight, b->active = lc.active;
    b->arrow = a.arrow;
    b->arrowsize = a.arrowsize == ZEARROW_BIG ? ZEARROWSIZE_BIG
                   : a.arrowsize == ZEARROW_SMALL ? ZEARROWSIZE_SMALL : ZEARROWSIZE_NORMAL;
    b->flat = a.flat, b->skip = a.nofocus || c->nofocus, b->isdefault = a.isdefault;
    b->mouserepeat = a.mouserepeat, b->thinborder = a.thinborder, b->link = a.hyperlink;
    b->isswitch = a.isswitch, b->toolbutton = a.toolbutton, b->pressed = a.pressed;
    b->hotkey = a.hotkey, b->hotkeymod = a.hotkeymod;
    // Whatever no family took may carry the link target.
    char rest[ZECFGSTR_SPLITBUF];
    zecfgstr_leftovers(e, 1, rest, sizeof rest);
    zecfgstr_find_text(rest, "url", b->url, sizeof b->url);
    // A link never takes the keyboard focus.
    if (b->skip || b->link) c->nofocus = true;
    snprintf(b->caption, sizeof b->caption, "%s", c->text);
}

static void natural(zeControl *c, int *w, int *h) {
    zeButton *b = (zeButton *)c;
    int tw = zefont_text_width(c->font, b->caption), fh = zefont_height(c->font);
    if (b->link) *w = tw + 1, *h = fh + 1;
    else *w = tw + 20, *h = fh + 8;
}

// The colours that follow from the face once the options are known.
static void derive_colors(zeButton *b) {
    zeControl *c = &b->c;
    b->textgrey = c->colors[ZECOL_TEXTGREY];
    b->white = c->colors[ZECOL_WHITE], b->dark = c->colors[ZECOL_DARK];
    b->black = c->colors[ZECOL_BLACK], b->verylight = c->colors[ZECOL_VERYLIGHT];
    int bg = c->bgcolor;
    if (bg == c->colors[ZECOL_GREY]) {
        b->hoverface = c->colors[ZECOL_LIGHT];
        return;
    }
    b->hoverface = zebutton_brighter(bg, 32);
    int sum = ((bg >> 16) & 255) + ((bg >> 8) & 255) + (bg & 255);
    if (sum < 384 && !c->textcolorgiven) c->textcolor = 0xFFFFFF;
}

static void place_caption(zeButton *b) {
    zeControl *c = &b->c;
    if (b->link) {
        b->textx = b->texty = 0;
        return;
    }
    zebutton_caption_pos(c, b->caption, &b->textx, &b->texty);
    if (b->toolbutton) b->texty = c->h - zefont_height(c->font) - 4;
}

// ----- drawing -----

static void draw_link(zeButton *b, int p) {
    zeControl *c = &b->c;
    int bg = c->transcolor >= 0 ? c->transcolor : (int)zecontrol_request(c, ZEREQ_BGCOLOR);
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, bg);
    bool grey = c->grey;
    int color = p ? b->active : (c->hover && !grey) ? b->highlight : c->textcolor;
    int x = c->x + p, y = c->y + p, fh = zefont_height(c->font);
    zefont_draw_text(c->target, c->font, x, y, color, grey, false, -1, 0, b->underline, b->caption);
    int tw = zefont_text_width(c->font, b->caption);
    zepxmap_line(c->target, x, y + fh - 1, x + tw - 1, y + fh - 1, grey ? b->textgrey : color);
}

static void draw_icon(zeButton *b, int p) {
    zeControl *c = &b->c;
    zePixmap *icon = c->grey ? &b->icongrey : &b->icon;
    int ix = c->x + (c->w - icon->width) / 2;
    if (b->caption[0] && !b->toolbutton) ix = c->x + 5;
    int iy = b->toolbutton ? c->y + 2 : c->y + (c->h - icon->height) / 2;
    zepxmap_merge4(c->target, icon, ix + p, iy + p, 0, 0, icon->width, icon->height, 0, 0);
}

static void draw(zeControl *c) {
    zeButton *b = (zeButton *)c;
    bool grey = c->grey;
    bool pressed = b->pressed && !grey, hover = c->hover && !grey;
    int p = pressed ? 1 : 0;
    if (b->link) {
        draw_link(b, p);
        return;
    }
    int face = hover && !b->flat && !pressed ? b->hoverface : c->bgcolor;
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, face);
    int color = grey ? b->textgrey : c->textcolor;
    if (b->arrow) {
        zearrow_draw(c->target, b->caption, c->x + p, c->y + p, c->w, c->h, color, b->arrowsize);
    } else {
        if (b->hasicon) draw_icon(b, p);
        if (b->caption[0])
            zefont_draw_text(c->target, c->font, c->x + b->textx + p, c->y + b->texty + p, c->textcolor, grey,
                             false, -1, c->w - b->textx - 4, b->underline, b->caption);
    }
    if (pressed || hover || !b->flat || c->focus) {
        if (b->thinborder) zeframe_draw(c->target, ZEFRAME_SIMPLE, pressed, c->x, c->y, c->w, c->h, b->white, b->black);
        else
            zeframe_draw(c->target, ZEFRAME_BUTTON, pressed, c->x, c->y, c->w, c->h, pressed ? b->white : face,
                         b->dark, b->black, b->verylight);
    }
    if (c->focus && !grey)
        zeframe_draw(c->target, ZEFRAME_FOCUS, false, c->x + 2 + p, c->y + 2 + p, c->w - 6, c->h - 6, c->textcolor);
    if (b->isdefault) zeframe_draw(c->target, ZEFRAME_OUTLINE, false, c->x - 1, c->y - 1, c->w + 2, c->h + 2, b->black);
}

// ----- messages -----

static void set_link_cursor(zeButton *b, const char *name) {
    if (b->link && !b->c.grey) zecontrol_cursor(name);
}

static void press(zeButton *b) {
    b->pressed = true;
    if (b->isswitch) zecontrol_post(&b->c, b->c.ids[0]);
}

// A push button holds the mouse while it is down, so that the release
// reaches it wherever it happens and a release outside is seen as a cancel.
static void hold_mouse(zeButton *b, bool hold) {
    if (b->holding == hold) return;
    b->holding = hold;
    zecontrol_capture(&b->c, hold);
}

// Leaving a pressed push button lets it up without a click.
static void cancel(zeButton *b) {
    zeControl *c = &b->c;
    set_link_cursor(b, "standard");
    if (!b->isswitch) b->pressed = false;
    hold_mouse(b, false);
    c->hover = false;
    zecontrol_redraw(c);
}

static zearg mouse_down(zeButton *b) {
    zeControl *c = &b->c;
    if (c->grey) return 0;
    bool changed = false;
    if (!b->pressed) {
        press(b);
        if (!b->isswitch) hold_mouse(b, true);
        changed = true;
    }
    if (!c->focus && zecontrol_ask_focus(c)) changed = true;
    if (changed) zecontrol_redraw(c);
    return 0;
}

static zearg mouse_up(zeButton *b, int x, int y) {
    zeControl *c = &b->c;
    hold_mouse(b, false);
    if (!b->pressed || c->grey) return 0;
    if (b->isswitch) {
        zecontrol_post(c, c->ids[ZEBUTTON_ID_SWITCHUP]);
        return 0;
    }
    b->pressed = false;
    zecontrol_redraw(c);
    // A release that reaches us outside the rectangle (a captured mouse) is a cancel.
    if (zecontrol_contains(c, x, y)) zecontrol_post(c, c->ids[0]);
    return 0;
}

static bool is_activation_key(int key) { return key == ZEKEY_ENTER || key == 13 || key == ZEKEY_SPACE; }

static zearg key_down(zeButton *b, int key) {
    if (b->c.grey || b->pressed || !is_activation_key(key)) return 0;
    press(b);
    zecontrol_redraw(&b->c);
    return 0;
}

// Only the release of Enter or Space ends a key press: letting go of a
// modifier while the mouse holds the button must not click it.
static zearg key_up(zeButton *b, int key) {
    if (b->c.grey || !b->pressed || b->isswitch || !is_activation_key(key)) return 0;
    b->pressed = false;
    zecontrol_redraw(&b->c);
    zecontrol_post(&b->c, b->c.ids[0]);
    return 0;
}

// The window offers unclaimed keys: our hot key, or Enter for the default
// button, acts as a click.
static zearg hotkey(zeButton *b, int key) {
    zeControl *c = &b->c;
    if (c->grey || !c->visible || !c->created) return 0;
    bool enter = (key == ZEKEY_ENTER || key == 13) && b->isdefault;
    if (!enter && !zebutton_hotkey_matches(b->hotkey, key)) return 0;
    if (b->isswitch) {
        if (!b->pressed) {
            press(b);
            zecontrol_redraw(c);
        }
        return 1;
    }
    zecontrol_post(c, c->ids[0]);
    return 1;
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeButton *b = (zeButton *)owner;
    zeControl *c = &b->c;
    switch (msg) {
    case ZEMSG_LDOWN: case ZEMSG_LDOUBLE: return mouse_down(b);
    case ZEMSG_LUP: return mouse_up(b, (int)a1, (int)a2);
    case ZEMSG_KEYDOWN: return key_down(b, (int)a1);
    case ZEMSG_KEYUP: return key_up(b, (int)a1);
    case ZEMSG_HOTKEY: return hotkey(b, (int)a1);
    case ZEMSG_MOTION:
        // While the mouse is held, movement outside arrives here too.
        if (b->holding && !zecontrol_contains(c, (int)a1, (int)a2)) {
            cancel(b);
            return 0;
        }
        set_link_cursor(b, "hand");
        if (!c->hover && !c->grey && !b->holding) {   // back in after a cancel
            c->hover = true;
            zecontrol_redraw(c);
        }
        return 0;
    case ZEMSG_ENTER:
        if (c->grey) return 0;
        c->hover = true;
        set_link_cursor(b, "hand");
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_LEAVE:
        if (c->hover || b->pressed) cancel(b);
        return 0;
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        place_caption(b);
        zecontrol_redraw(c);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

static void release(zeControl *c) {
    zeButton *b = (zeButton *)c;
    if (c->hover) set_link_cursor(b, "standard");
    hold_mouse(b, false);
    zepxmap_release(&b->icon);
    zepxmap_release(&b->icongrey);
    b->hasicon = false;
}

static const zeControlKind kButton = {"button", ZECHILD_HOVER, parse, natural, draw, handle, release};

// ----- interface -----

void zebutton_init(zeButton *b) {
    zecontrol_init(&b->c, &kButton);
    b->caption[0] = 0;
    b->textx = b->texty = 0;
    b->pressed = b->arrow = b->holding = false;
    b->arrowsize = ZEARROWSIZE_NORMAL;
    b->flat = b->skip = b->isdefault = b->mouserepeat = b->thinborder = false;
    b->link = b->isswitch = b->toolbutton = false;
    b->hotkey = b->hotkeymod = 0;
    b->url[0] = 0;
    zepxmap_init(&b->icon);
    zepxmap_init(&b->icongrey);
    b->hasicon = false;
    b->underline = -1;
    b->highlight = 0x0000FF, b->active = 0x8000FF;
    b->textgrey = b->hoverface = b->white = b->dark = b->black = b->verylight = 0;
}

zeButton::zeButton() { zebutton_init(this); }
zeButton::~zeButton() { zebutton_release(this); }

bool zebutton_vcreate(zeButton *b, const char *fmt, va_list ap) {
    // The geometry is resolved inside create; caption and colours need the
    // parsed options, so the control is drawn once more afterwards.
    b->c.redraw = false;
    bool ok = zecontrol_vcreate(&b->c, fmt, ap);
    b->c.redraw = true;
    if (!ok) return false;
    derive_colors(b);
    place_caption(b);
    zecontrol_redraw(&b->c);
    return true;
}

bool zebutton_create(zeButton *b, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zebutton_vcreate(b, fmt, ap);
    va_end(ap);
    return ok;
}

void zebutton_release(zeButton *b) { zecontrol_release(&b->c); }
bool zebutton_set_grey(zeButton *b) { return zecontrol_set_grey(&b->c); }
bool zebutton_clear_grey(zeButton *b) { return zecontrol_clear_grey(&b->c); }
void zebutton_show(zeButton *b) { zecontrol_show(&b->c); }
void zebutton_hide(zeButton *b) { zecontrol_hide(&b->c); }
void zebutton_redraw(zeButton *b) { zecontrol_redraw(&b->c); }

void zebutton_set_pressed(zeButton *b, bool pressed) {
    if (b->pressed == pressed) return;
    b->pressed = pressed;
    zecontrol_redraw(&b->c);
}

bool zebutton_is_pressed(const zeButton *b) { return b->pressed; }

char *zebutton_caption(const zeButton *b, char *out, int outsize) {
    if (out && outsize > 0) snprintf(out, outsize, "%s", b->caption);
    return out;
}

const char *zebutton_link_target(const zeButton *b) { return b->url[0] ? b->url : b->caption; }

bool zebutton_open_link(const zeButton *b) {
    const char *target = zebutton_link_target(b);
    if (!target[0]) return false;
    return zeshell_internet(target) != 0;
}

// ----- icons -----

bool zebutton_grey_icon(zePixmap *out, const zePixmap *icon, int face) {
    int w = icon->width, h = icon->height;
    if (icon->format != ZEPX_PALETTE8 || w < 1 || h < 1) return false;
    if (!zepxmap_create(out, w + 1, h + 1, ZEPX_TRUECOLOR)) return false;
    const uint8_t *src = (const uint8_t *)icon->pixels;
    auto transparent = [&](int x, int y) { return x >= w || y >= h || src[y * w + x] == 255; };
    for (int y = 0; y <= h; y++)
        for (int x = 0; x <= w; x++) {
            int v = face;
            if (!transparent(x, y)) {
                int c = icon->palette[src[y * w + x]];
                int avg = (((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255)) / 3;
                v = avg <= 128 ? 0x808080 : face;
            }
            zepxmap_setpixel(out, x, y, v);
        }
    // Engraved look: each dark pixel casts white down-right onto free space
    // of the icon or the added column.
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool free = x + 1 >= w || (y + 1 < h && src[(y + 1) * w + x + 1] == 255);
            if (zepxmap_getpixel(out, x, y) == 0x808080 && free) zepxmap_setpixel(out, x + 1, y + 1, 0xFFFFFF);
        }
    zepxmap_settransparent(out, face);
    return true;
}

bool zebutton_set_icon(zeButton *b, const zePixmap *icon) {
    if (b->hasicon) {
        zepxmap_release(&b->icon);
        zepxmap_release(&b->icongrey);
        b->hasicon = false;
    }
    if (icon && icon->width > 0 && icon->height > 0) {
        if (!zepxmap_duplicate(&b->icon, icon, 0, 0, -1, -1)) return false;
        if (b->icon.format != ZEPX_PALETTE8) zepxmap_convert2palette8(&b->icon, -1);
        if (!zebutton_grey_icon(&b->icongrey, &b->icon, b->c.bgcolor)) {
            zepxmap_release(&b->icon);
            return false;
        }
        b->hasicon = true;
    }
    zecontrol_redraw(&b->c);
    return true;
}
