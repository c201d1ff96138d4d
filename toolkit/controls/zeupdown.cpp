// The up-down control. Its record begins with a line input: the text field
// is that line input's own behaviour, run over the control's rectangle minus
// the arrow area, and the up-down adds the arrows, the value rules and the
// repeat timer on top.
#include "zeupdown.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecontrol_bounds.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zepxmap.h"
#include "zetimer.h"
#include <cstdio>
#include <cstring>

static void updown_parse(zeControl *c, char **e);
static void updown_natural(zeControl *c, int *w, int *h);
static void updown_draw(zeControl *c);
static zearg updown_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                           zearg a7, zearg a8);
static void updown_release(zeControl *c);

static const zeControlKind kUpDown = {"updowncontrol", 0, updown_parse, updown_natural, updown_draw,
                                      updown_handle, updown_release};

// ----- value rules -----

static long long step_of(const zeUpDownRules *r) {
    // A step of 0 would divide by zero, a negative one turn the arrows round.
    long long s = r->step;
    return s == 0 ? 1 : s < 0 ? -s : s;
}

static int decimals_of(const zeUpDownRules *r) {
    return r->decimals < 0 ? 0 : r->decimals > ZEUPDOWN_DECIMALS_MAX ? ZEUPDOWN_DECIMALS_MAX : r->decimals;
}

void zeupdown_format(const zeUpDownRules *r, long long v, char *out, int size) {
    if (!out || size <= 0) return;
    long long s = step_of(r);
    v = s * (v / s);
    if (v > r->max) v = r->max;
    if (v < r->min) v = r->min;
    int width = r->digits >= 1 && r->digits <= 10 ? r->digits : 0;
    char text[40];
    snprintf(text, sizeof text, "%0*lld", width, v);
    int d = decimals_of(r);
    if (d == 0) {
        snprintf(out, size, "%s", text);
        return;
    }
    // At least one digit before the point: 5 with two decimals is 0.05.
    const char *sign = v < 0 ? "-" : "";
    const char *num = text + (v < 0);
    int n = (int)strlen(num);
    char padded[40];
    snprintf(padded, sizeof padded, "%.*s%s", n < d + 1 ? d + 1 - n : 0, "0000000000", num);
    n = (int)strlen(padded);
    snprintf(out, size, "%s%.*s.%s", sign, n - d, padded, padded + n - d);
}

int zeupdown_read(const zeUpDownRules *r, const char *text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') text++;
    bool neg = *text == '-';
    if (*text == '-' || *text == '+') text++;
    int d = decimals_of(r);
    // The number: digits, with separators where decimals are set.
    auto sep = [d](char ch) { return d > 0 && (ch == '.' || ch == ','); };
    const char *end = text, *last = nullptr;
    for (; (*end >= '0' && *end <= '9') || sep(*end); end++)
        if (sep(*end)) last = end;
    // Digits are taken one by one, so that no length of text can overflow
    // anything; the value saturates at the int range.
    long long v = 0;
    auto add = [&v](int digit) { v = v > 2147483647LL ? v : v * 10 + digit; };
    int after = 0;   // digits taken after the last separator
    for (const char *p = text; p < end; p++) {
        if (sep(*p)) continue;
        if (last && p > last) {
            // More decimals than the setting would scale the value up: cut them.
            if (after == d) continue;
            after++;
        }
        add(*p - '0');
    }
    for (; d > 0 && after < d; after++) add(0);
    if (v > 2147483647LL) v = 2147483647LL;
    return (int)(neg ? -v : v);
}

// ----- record -----

zeUpDownControl::zeUpDownControl() { zeupdown_init(this); }
zeUpDownControl::~zeUpDownControl() { zeupdown_release(this); }

void zeupdown_init(zeUpDownControl *u) {
    zelineinput_init(&u->in);
    u->field = u->in.c.kind;
    u->in.c.kind = &kUpDown;
    u->rules = {ZEUPDOWN_MIN, ZEUPDOWN_MAX, 1, 0, 0};
    u->start = 0;
    u->interval = ZEUPDOWN_REPEAT_MS;
    u->uppressed = u->downpressed = false;
    u->ax = u->ay = u->aw = u->ah = 0;
    u->timer = false;
    u->shrunk = false, u->fullw = 0;
}

static zeUpDownControl *of(zeControl *c) { return (zeUpDownControl *)c; }

static void show_value(zeUpDownControl *u, long long v) {
    char text[48];
    zeupdown_format(&u->rules, v, text, sizeof text);
    zelineinput_set_text(&u->in, text);
}

static void updown_parse(zeControl *c, char **e) {
    zeUpDownControl *u = of(c);
    u->field->parse(c, e);
    u->in.alignright = true;
    zeUpDownAttr a = {};
    a.min = ZEUPDOWN_MIN, a.max = ZEUPDOWN_MAX, a.step = 1;
    zecfgstr_updownattr(e, 1, &a);
    u->rules.min = a.min, u->rules.max = a.max, u->rules.step = a.step;
    u->rules.decimals = a.hasdecimals ? a.decimals : 0;
    u->rules.digits = a.hasdigits ? a.digits : 0;
    if (a.hasdecimals && !a.hasdigits) u->rules.digits = decimals_of(&u->rules) + 1;
    u->start = a.start;
    // "default=" went to the text field; without "def=" or "start=" its
    // number is the initial value rather than being replaced by 0.
    if (!a.hasstart && u->in.text[0]) u->start = zeupdown_read(&u->rules, u->in.text);
    char text[48];
    zeupdown_format(&u->rules, u->start, text, sizeof text);
    snprintf(u->in.text, sizeof u->in.text, "%s", text);
}

static void updown_natural(zeControl *c, int *w, int *h) {
    zeUpDownControl *u = of(c);
    char text[48];
    zeupdown_format(&u->rules, u->rules.max, text, sizeof text);
    int fh = zefont_height(c->font);
    *w = zefont_text_width(c->font, text) + fh + 8;
    *h = fh + 8;
}

static int sat(long long v) { return v > 2147483647LL ? 2147483647 : v < -2147483647LL ? -2147483647 : (int)v; }

// One arrow button is h / 2 + 1 wide at the right end, the up button on top.
// Sums in 64 bits: a rectangle from a hostile option string may reach the
// ends of the int range.
static void place_arrows(zeUpDownControl *u) {
    zeControl *c = &u->in.c;
    int b = c->border ? 1 : 0;
    long long right = (long long)c->x + c->w;
    u->ax = sat(right - c->h / 2 - 2 * b);
    u->aw = sat(right - u->ax < c->h / 2 + 1 ? right - u->ax : c->h / 2 + 1);
    u->ay = sat((long long)c->y + 2 * b);
    u->ah = (c->h - 4 * b + 1) / 2;
    if (u->ah < 0) u->ah = 0;
}

// The text field's width: up to the arrows.
static int field_width(const zeUpDownControl *u) {
    long long w = (long long)u->ax - u->in.c.x;
    return w > 0 ? sat(w) : 0;
}

bool zeupdown_create(zeUpDownControl *u, const char *fmt, ...) {
    if (u->in.c.kind != &kUpDown) zeupdown_init(u);
    zeupdown_release(u);
    char opts[ZECFGSTR_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    zecfgstr_vformat(opts, fmt ? fmt : "", ap);
    va_end(ap);
    zeControl *c = &u->in.c;
    c->border = 1;
    c->redraw = false;   // drawn once below, with the arrows placed
    bool ok = zecontrol_create(c, "%s", opts);
    c->redraw = true;
    if (!ok) return false;
    // A text field is white unless the options say otherwise.
    if (!zecfgstr_find_flag(opts, "bgcol") && !zecfgstr_find_flag(opts, "background"))
        c->bgcolor = c->colors[ZECOL_WHITE];
    place_arrows(u);
    u->in.cursor = zelineinput_length(&u->in);
    zecontrol_redraw(c);
    return true;
}

static void stop_timer(zeUpDownControl *u) {
    if (u->timer) zetimer_remove(&u->in.c, ZEUPDOWN_TIMER_KEY);
    u->timer = false;
}

static void updown_release(zeControl *c) {
    zeUpDownControl *u = of(c);
    stop_timer(u);
    u->field->release(c);
}

void zeupdown_release(zeUpDownControl *u) {
    if (!u->in.c.created) return;
    zecontrol_release(&u->in.c);
    zeupdown_init(u);
}

void zeupdown_set_value(zeUpDownControl *u, int value) { show_value(u, value); }

int zeupdown_value(const zeUpDownControl *u) { return zeupdown_read(&u->rules, u->in.text); }

static void step_by(zeUpDownControl *u, int k, bool post) {
    long long v = (long long)zeupdown_value(u) + k * step_of(&u->rules);
    show_value(u, v);
    if (post) zecontrol_post(&u->in.c, u->in.c.ids[0], zeupdown_value(u));
}

void zeupdown_step(zeUpDownControl *u, int k) { step_by(u, k < 0 ? -1 : 1, true); }

// ----- drawing -----

static void draw_button(zeControl *c, const char *dir, int x, int y, int w, int h, bool pressed) {
    zeframe_draw(c->target, ZEFRAME_BUTTON, pressed, x, y, w, h, c->colors[ZECOL_GREY], c->colors[ZECOL_DARK],
                 c->colors[ZECOL_BLACK], c->colors[ZECOL_VERYLIGHT]);
    int shift = pressed ? 1 : 0;
    zearrow_draw(c->target, dir, x + shift, y + shift, w, h, c->colors[ZECOL_BLACK], ZEARROWSIZE_SMALL);
}

static void updown_draw(zeControl *c) {
    zeUpDownControl *u = of(c);
    int w = c->w, full = u->shrunk ? u->fullw : c->w;
    c->w = full;
    if (!zecontrol_drawable(c)) {
        c->w = w;
        return;
    }
    c->w = field_width(u);
    if (c->w > 0) u->field->draw(c);
    c->w = full;
    // The field drew its frame round the text only: the whole control has one.
    if (c->border) zeframe_draw(c->target, ZEFRAME_DOUBLE, true, c->x, c->y, c->w, c->h);
    zepxmap_fillrect(c->target, u->ax, u->ay, u->aw, 2 * u->ah, c->colors[ZECOL_GREY]);
    draw_button(c, "up", u->ax, u->ay, u->aw, u->ah, u->uppressed);
    draw_button(c, "down", u->ax, u->ay + u->ah, u->aw, u->ah, u->downpressed);
    c->w = w;
    // A redraw from inside the field's handling refreshes the field's width
    // only: the arrows need their share.
    if (u->shrunk) zecontrol_request(c, ZEREQ_REFRESH, u->ax - 2, c->y - 2, u->aw + 4, c->h + 4);
}

// ----- input -----

// 1 on the up button, -1 on the down button, 0 elsewhere.
static int arrow_at(const zeUpDownControl *u, int px, int py) {
    long long x = px, y = py;
    if (x < u->ax || x >= (long long)u->ax + u->aw || y < u->ay || y >= (long long)u->ay + 2LL * u->ah) return 0;
    return y < (long long)u->ay + u->ah ? 1 : -1;
}

static void press_arrow(zeUpDownControl *u, int k) {
    if ((k > 0 && u->uppressed) || (k < 0 && u->downpressed)) return;
    zecontrol_ask_focus(&u->in.c);
    if (k > 0) u->uppressed = true;
    else u->downpressed = true;
    step_by(u, k, true);
    u->timer = zetimer_set(zecontrol_handler, &u->in.c, ZEUPDOWN_FIRST_DELAY * u->interval, ZEUPDOWN_TIMER_KEY);
}

static void repeat(zeUpDownControl *u) {
    if (!u->uppressed && !u->downpressed) return stop_timer(u);
    step_by(u, u->uppressed ? 1 : -1, false);
    zetimer_setperiod(u->interval, &u->in.c, ZEUPDOWN_TIMER_KEY);
}

static void release_arrows(zeUpDownControl *u) {
    bool was = u->uppressed || u->downpressed;
    stop_timer(u);
    u->uppressed = u->downpressed = false;
    if (!was) return;
    zecontrol_redraw(&u->in.c);
    zecontrol_post(&u->in.c, u->in.c.ids[0], zeupdown_value(u));
}

static void swallow(void *, int, int, int, int) {}

// The text field's own handling, over the field's width only (so that the
// cursor lands on the character clicked and the text scrolls before the
// arrows).
static zearg to_field(zeUpDownControl *u, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                      zearg a7, zearg a8) {
    zeControl *c = &u->in.c;
    // The field ends editing with its main event on losing the focus; here
    // the main event means a stepped value, and typing has its text event.
    zeEventHook hook = c->eventhook;
    void *user = c->eventhookuser;
    if (msg == ZEMSG_UNFOCUS) c->eventhook = swallow;
    zearg r = u->field->handle(c, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    if (msg == ZEMSG_UNFOCUS) c->eventhook = hook, c->eventhookuser = user;
    return r;
}

static zearg updown_handle(void *owner, int msg, zearg a1, zearg a2, zearg a3, zearg a4, zearg a5, zearg a6,
                           zearg a7, zearg a8) {
    zeUpDownControl *u = of((zeControl *)owner);
    zeControl *c = &u->in.c;
    bool live = !c->grey && c->visible;
    switch (msg) {
    case ZEMSG_LDOWN:
    case ZEMSG_LDOUBLE: {
        if (!live) return 0;
        int k = arrow_at(u, (int)a1, (int)a2);
        if (k) {
            press_arrow(u, k);
            return 0;
        }
        break;
    }
    case ZEMSG_LUP:
        release_arrows(u);
        break;
    case ZEMSG_LEAVE:
        release_arrows(u);
        break;
    case ZEMSG_TIMER:
        if (a1 == ZEUPDOWN_TIMER_KEY) repeat(u);
        return 0;
    case ZEMSG_WHEELUP:
    case ZEMSG_WHEELDOWN:
        if (live) step_by(u, msg == ZEMSG_WHEELUP ? 1 : -1, true);
        return 0;
    case ZEMSG_KEYDOWN:
        if ((a1 == ZEKEY_UP || a1 == ZEKEY_DOWN) && c->focus && live) {
            step_by(u, a1 == ZEKEY_UP ? 1 : -1, true);
            return 0;
        }
        break;
    case ZEMSG_SIZE:
        if (a1 > 0 && a2 > 0) {
            zecontrol_layout(c, (int)a1, (int)a2);
            place_arrows(u);
            zecontrol_redraw(c);
        }
        return 0;
    case ZEMSG_RELEASE: zeupdown_release(u); return 0;
    }
    if (u->shrunk) return to_field(u, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    u->fullw = c->w, u->shrunk = true;
    c->w = field_width(u);
    zearg r = to_field(u, msg, a1, a2, a3, a4, a5, a6, a7, a8);
    // The field may have released the control (2001): its width is then 0.
    if (u->shrunk) c->w = u->fullw;
    u->shrunk = false;
    return r;
}
