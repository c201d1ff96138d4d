// Check boxes.
#include "zecheckbox.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"

static const char *const kMark =
    "         "
    "       * "
    "      ** "
    " *   *** "
    " ** ***  "
    " *****   "
    "  ***    "
    "   *     "
    "         ";

static const char *const kRound =
    "    1111    "
    "  11222211  "
    " 1223333226 "
    " 1233333346 "
    "123335533346"
    "123355553346"
    "123355553346"
    "123335533346"
    " 1233333346 "
    " 1443333446 "
    "  66444466  "
    "    6666    ";

static void parse(zeControl *c, char **e) {
    zeCheckBox *b = (zeCheckBox *)c;
    zeCheckAttr a = {};
    zecfgstr_checkattr(e, 1, &a);
    b->checked = a.checked, b->round = a.round, b->boxonly = a.boxonly;
    b->flat = a.flat, b->lightframe = a.lightframe;
}

static void natural(zeControl *c, int *w, int *h) {
    *w = zefont_text_width(c->font, c->text) + 25;
    *h = zefont_height(c->font) + 8;
}

static void place(zeCheckBox *b) {
    zeControl *c = &b->c;
    b->boxx = b->boxonly ? c->x + (c->w - ZECHECKBOX_BOX) / 2 : c->x;
    b->boxy = c->y + (c->h - ZECHECKBOX_BOX) / 2;
}

static void draw_square(zeCheckBox *b) {
    zeControl *c = &b->c;
    int x = b->boxx, y = b->boxy;
    zepxmap_fillrect(c->target, x + 2, y + 2, 10, 10, c->grey ? c->colors[ZECOL_GREY] : b->boxcolor);
    if (b->flat)
        zeframe_draw(c->target, ZEFRAME_OUTLINE, false, x, y, ZECHECKBOX_BOX, ZECHECKBOX_BOX,
                     b->lightframe ? c->colors[ZECOL_DARK] : c->colors[ZECOL_BLACK]);
    else
        zeframe_draw(c->target, ZEFRAME_BUTTON, true, x, y, ZECHECKBOX_BOX, ZECHECKBOX_BOX,
                     c->colors[ZECOL_VERYLIGHT], c->colors[ZECOL_DARK], c->colors[ZECOL_BLACK],
                     c->colors[ZECOL_VERYLIGHT]);
    if (b->checked)
        zeglyph_draw(c->target, kMark, 9, 9, x + 2, y + 2, c->grey ? c->colors[ZECOL_TEXTGREY] : b->markcolor);
}

static void draw_round(zeCheckBox *b) {
    zeControl *c = &b->c;
    int box = c->grey ? c->colors[ZECOL_GREY] : b->boxcolor;
    int dot = b->checked ? (c->grey ? c->colors[ZECOL_DARK] : b->markcolor)
                         : (c->grey ? c->colors[ZECOL_GREY] : b->boxcolor);
    const int colors[6] = {c->colors[ZECOL_BLACK], c->colors[ZECOL_LIGHT], box, c->colors[ZECOL_DARKC0], dot, box};
    zeglyph_draw(c->target, kRound, 12, 12, b->boxx, b->boxy, 0, colors);
}

static void draw(zeControl *c) {
    zeCheckBox *b = (zeCheckBox *)c;
    int bg = c->transcolor >= 0 ? c->transcolor : (int)zecontrol_request(c, ZEREQ_BGCOLOR);
    if (!b->boxonly) zepxmap_fillrect(c->target, c->x, c->y, c->w, c->h, bg);
    // Only the focus outline's ring: a lost focus must not leave it behind.
    else zeframe_draw(c->target, ZEFRAME_OUTLINE, false, b->boxx - 2, b->boxy - 2, ZECHECKBOX_BOX + 4,
                      ZECHECKBOX_BOX + 4, bg);
    if (b->round) draw_round(b);
    else draw_square(b);
    if (b->boxonly) {
        if (c->focus)
            zeframe_draw(c->target, ZEFRAME_OUTLINE, false, b->boxx - 2, b->boxy - 2, ZECHECKBOX_BOX + 4,
                         ZECHECKBOX_BOX + 4, c->colors[ZECOL_BLACK]);
        return;
    }
    int ty = c->y + (c->h - zefont_height(c->font)) / 2 - 2;
    zefont_draw_text(c->target, c->font, b->boxx + 16, ty, b->captioncolor, c->grey, false, -1, c->w - 17, -1,
                     c->text);
    if (c->focus) zeframe_draw(c->target, ZEFRAME_FOCUS, false, b->boxx + 14, ty, c->w - 21, c->h - 8);
}

static void changed(zeCheckBox *b, bool checked) {
    b->checked = checked;
    zecontrol_redraw(&b->c);
    zecontrol_post(&b->c, b->c.ids[0], checked);
}

static zearg key_down(zeCheckBox *b, int key) {
    switch (key) {
    case ZEKEY_SPACE: changed(b, !b->checked); return 0;
    case ZEKEY_ENTER: case 13: zecontrol_request(&b->c, ZEREQ_FOCUSNEXT); return 0;
    case '1': case 'j': case 'y': changed(b, true); return 0;
    case '0': case 'n': changed(b, false); return 0;
    }
    return 0;
}

static zearg handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6, zearg a7,
                    zearg a8) {
    zeCheckBox *b = (zeCheckBox *)owner;
    zeControl *c = &b->c;
    switch (msg) {
    case ZEMSG_LDOWN: case ZEMSG_LDOUBLE:
        if (c->grey) return 0;
        b->checked = !b->checked;
        zecontrol_ask_focus(c);
        zecontrol_redraw(c);
        zecontrol_post(c, c->ids[0], b->checked);
        return 0;
    case ZEMSG_KEYDOWN: return c->grey ? 0 : key_down(b, (int)a1);
    case ZEMSG_ENTER: case ZEMSG_LEAVE: return 0;   // no hover look
    case ZEMSG_SIZE: {
        zearg r = zecontrol_default(c, msg, a1, a2);
        place(b);
        zecontrol_redraw(c);
        return r;
    }
    }
    return zecontrol_default(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
}

static const zeControlKind kCheckBox = {"checkbox", 0, parse, natural, draw, handle, nullptr};

void zecheckbox_init(zeCheckBox *b) {
    zecontrol_init(&b->c, &kCheckBox);
    b->checked = b->round = b->boxonly = b->flat = b->lightframe = false;
    b->boxcolor = b->c.colors[ZECOL_WHITE];
    b->markcolor = b->c.colors[ZECOL_BLACK];
    b->captioncolor = b->c.colors[ZECOL_TEXT];
    b->boxx = b->boxy = 0;
}

zeCheckBox::zeCheckBox() { zecheckbox_init(this); }
zeCheckBox::~zeCheckBox() { zecheckbox_release(this); }

bool zecheckbox_vcreate(zeCheckBox *b, const char *fmt, va_list ap) {
    b->c.redraw = false;
    bool ok = zecontrol_vcreate(&b->c, fmt, ap);
    b->c.redraw = true;
    if (!ok) return false;
    zeControl *c = &b->c;
    // The background items colour the box; without them the box is white.
    b->boxcolor = c->bgcolor == c->colors[ZECOL_GREY] ? c->colors[ZECOL_WHITE] : c->bgcolor;
    b->markcolor = c->colors[ZECOL_BLACK];
    b->captioncolor = c->colors[ZECOL_TEXT];
    place(b);
    zecontrol_redraw(c);
    return true;
}

bool zecheckbox_create(zeCheckBox *b, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    bool ok = zecheckbox_vcreate(b, fmt, ap);
    va_end(ap);
    return ok;
}

void zecheckbox_release(zeCheckBox *b) { zecontrol_release(&b->c); }
bool zecheckbox_set_grey(zeCheckBox *b) { return zecontrol_set_grey(&b->c); }
bool zecheckbox_clear_grey(zeCheckBox *b) { return zecontrol_clear_grey(&b->c); }
void zecheckbox_show(zeCheckBox *b) { zecontrol_show(&b->c); }
void zecheckbox_hide(zeCheckBox *b) { zecontrol_hide(&b->c); }
void zecheckbox_redraw(zeCheckBox *b) { zecontrol_redraw(&b->c); }

void zecheckbox_set_checked(zeCheckBox *b, bool checked) {
    if (b->checked == checked) return;
    b->checked = checked;
    zecontrol_redraw(&b->c);
}

bool zecheckbox_is_checked(const zeCheckBox *b) { return b->checked; }
