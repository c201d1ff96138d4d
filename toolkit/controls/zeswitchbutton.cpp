// The indicator switch button: a button with a small lamp that flips
// between on and off with every click.
#include "zebutton.h"
#include "zebutton_internal.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include <cstdio>

enum { LAMP_W = 10, LAMP_H = 8 };

static void parse(zeControl *c, char **e) {
    zeSwitchButton *s = (zeSwitchButton *)c;
    zeBtnAttr a = {};
    zecfgstr_btnattr(e, 1, &a);
    s->flat = a.flat, s->thinborder = a.thinborder, s->hotkey = a.hotkey;
    if (a.nofocus) c->nofocus = true;
    snprintf(s->caption, sizeof s->caption, "%s", c->text);
}

static void natural(zeControl *c, int *w, int *h) {
    zeSwitchButton *s = (zeSwitchButton *)c;
    *w = zefont_text_width(c->font, s->caption) + 20 + LAMP_W + 4;
    *h = zefont_height(c->font) + 8;
}

static void place(zeSwitchButton *s) {
    zeControl *c = &s->c;
    int half = (c->w - zefont_text_width(c->font, s->caption)) / 2;
    s->textx = half < 4 ? 14 : half + 10;
    int x;
    zebutton_caption_pos(c, s->caption, &x, &s->texty);
    s->lampx = c->x + 5, s->lampy = c->y + c->h / 2 - 4, s->lampw = LAMP_W, s->lamph = LAMP_H;
}

static void draw(zeControl *c) {
    zeSwitchButton *s = (zeSwitchButton *)c;
    bool grey = c->grey, pressed = s->pressed && !grey, hover = c->hover && !grey;
    int p = pressed ? 1 : 0;
    int face = hover && !s->flat && !pressed ? c->colors[ZECOL_LIGHT] : c->colors[ZECOL_GREY];
    zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, face);
    zefont_draw_text(c->target, c->font, c->x + s->textx + p, c->y + s->texty + p, c->colors[ZECOL_TEXT], grey,
                     false, -1, c->w - s->textx - 4, -1, s->caption);
    if (pressed || hover || !s->flat || c->focus) {
        if (s->thinborder) zeframe_draw(c->target, ZEFRAME_SIMPLE, pressed, c->x, c->y, c->w, c->h);
        else
            zeframe_draw(c->target, ZEFRAME_BUTTON, pressed, c->x, c->y, c->w, c->h, pressed ? c->colors[ZECOL_WHITE] : face,
                         c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    }
    if (c->focus && !grey)
        zeframe_draw(c->target, ZEFRAME_FOCUS, false, c->x + 2 + p, c->y + 2 + p, c->w - 6, c->h - 6,
                     c->colors[ZECOL_TEXT]);
    int lx = s->lampx + p, ly = s->lampy + p;
    if (s->on) zepxmap_fillrect(c->target, lx, ly, s->lampw, s->lamph, s->lampcolor);
    zeframe_draw(c->target, ZEFRAME_SIMPLE, true, lx, ly, s->lampw, s->lamph, c->colors[ZECOL_WHITE],
                 c->colors[ZECOL_BLACK]);
}

static void flip(zeSwitchButton *s) {
    s->on = !s->on;
    zecontrol_redraw(&s->c);
    zecontrol_post(&s->c, s->c.ids[0], s->on);
}

static bool is_activation_key(int key) { return key == ZEKEY_ENTER || key == 13 || key == ZEKEY_SPACE; }

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeSwitchButton *s = (zeSwitchButton *)owner;
    zeControl *c = &s->c;
    switch (msg) {
    case ZEMSG_LDOWN: case ZEMSG_LDOUBLE:
    case ZEMSG_KEYDOWN:
        if (c->grey || s->pressed) return 0;
        if (msg == ZEMSG_KEYDOWN && !is_activation_key((int)a1)) return 0;
        s->pressed = true;
        if (msg != ZEMSG_KEYDOWN) zecontrol_ask_focus(c);
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_LUP:
    case ZEMSG_KEYUP:
        if (c->grey || !s->pressed) return 0;
        if (msg == ZEMSG_KEYUP && !is_activation_key((int)a1)) return 0;
        s->pressed = false;
        flip(s);
        return 0;
    case ZEMSG_HOTKEY:
        if (c->grey || !c->visible || !zebutton_hotkey_matches(s->hotkey, (int)a1)) return 0;
        flip(s);
        return 1;
    case ZEMSG_ENTER:
        if (c->grey) return 0;
        c->hover = true;
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_LEAVE:
        if (!c->hover && !s->pressed) return 0;
        s->pressed = false;   // leaving cancels the click without flipping
        c->hover = false;
        zecontrol_redraw(c);
        return 0;
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        place(s);
        zecontrol_redraw(c);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

static const zeControlKind kSwitch = {"switchbutton", ZECHILD_HOVER, parse, natural, draw, handle, nullptr};

void zeswitchbutton_init(zeSwitchButton *s) {
    zecontrol_init(&s->c, &kSwitch);
    s->caption[0] = 0;
    s->textx = s->texty = 0;
    s->pressed = s->on = s->flat = s->thinborder = false;
    s->hotkey = 0;
    s->lampx = s->lampy = 0, s->lampw = LAMP_W, s->lamph = LAMP_H;
    s->lampcolor = 0x00FF00;
}

zeSwitchButton::zeSwitchButton() { zeswitchbutton_init(this); }
zeSwitchButton::~zeSwitchButton() { zeswitchbutton_release(this); }

bool zeswitchbutton_vcreate(zeSwitchButton *s, const char *fmt, va_list ap) {
    s->c.redraw = false;
    bool ok = zecontrol_vcreate(&s->c, fmt, ap);
    s->c.redraw = true;
    if (!ok) return false;
    place(s);
    zecontrol_redraw(&s->c);
    return true;
}

bool zeswitchbutton_create(zeSwitchButton *s, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zeswitchbutton_vcreate(s, fmt, ap);
    va_end(ap);
    return ok;
}

void zeswitchbutton_release(zeSwitchButton *s) { zecontrol_release(&s->c); }
bool zeswitchbutton_set_grey(zeSwitchButton *s) { return zecontrol_set_grey(&s->c); }
bool zeswitchbutton_clear_grey(zeSwitchButton *s) { return zecontrol_clear_grey(&s->c); }
void zeswitchbutton_show(zeSwitchButton *s) { zecontrol_show(&s->c); }
void zeswitchbutton_hide(zeSwitchButton *s) { zecontrol_hide(&s->c); }
void zeswitchbutton_redraw(zeSwitchButton *s) { zecontrol_redraw(&s->c); }

void zeswitchbutton_set_on(zeSwitchButton *s, bool on) {
    s->on = on;
    zecontrol_redraw(&s->c);
}

bool zeswitchbutton_is_on(const zeSwitchButton *s) { return s->on; }
