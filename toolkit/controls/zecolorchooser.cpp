// The colour chooser dialog and the colour arithmetic it runs on.
#include "zecolorchooser.h"
#include "zebutton.h"
#include "zecolorfield.h"
#include "zeevent.h"
#include "zefont.h"
#include "zeframe.h"
#include "zegout.h"
#include "zelineinput.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zetextmenu.h"
#include "zeupdown.h"
#include "zeview.h"
#include "zewindow.h"
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

// The custom colours and the one the next "add" fills, for the whole run.
static int32_t g_custom[ZECOLORCHOOSER_CUSTOM] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};
static int g_nextcustom;

// Eight hues (red, orange, yellow, green, cyan, blue, violet, magenta) in
// light, full, three darker shades, then eight greys.
static const int32_t kBasic[ZECOLORCHOOSER_BASIC] = {
    0xFF8080, 0xFFBF80, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xBF80FF, 0xFF80FF,
    0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0x8000FF, 0xFF00FF,
    0xBF0000, 0xBF6000, 0xBFBF00, 0x00BF00, 0x00BFBF, 0x0000BF, 0x6000BF, 0xBF00BF,
    0x800000, 0x804000, 0x808000, 0x008000, 0x008080, 0x000080, 0x400080, 0x800080,
    0x400000, 0x402000, 0x404000, 0x004000, 0x004040, 0x000040, 0x200040, 0x400040,
    0x000000, 0x242424, 0x494949, 0x6D6D6D, 0x929292, 0xB6B6B6, 0xDBDBDB, 0xFFFFFF,
};

static void (*g_open_hook)(zeWindow *, zeControl *const *, int);

int32_t *zecolorchooser_custom(void) { return g_custom; }
const int32_t *zecolorchooser_basic(void) { return kBasic; }
void zecolorchooser_set_open_hook(void (*hook)(zeWindow *w, zeControl *const *controls, int n)) { g_open_hook = hook; }

// ----- colour arithmetic -----

static double clamp01(double v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; }   // NaN gives 0

zeHSV zecolorchooser_clean_hsv(zeHSV hsv) {
    double h = std::isfinite(hsv.h) ? std::fmod(hsv.h, 360.0) : 0;
    if (h < 0) h += 360;
    if (h >= 360) h = 0;   // a tiny negative hue rounds up to 360
    return {h, clamp01(hsv.s), clamp01(hsv.v)};
}

zeHSV zecolorchooser_to_hsv(int32_t rgb) {
    double r = (rgb >> 16 & 255) / 255.0, g = (rgb >> 8 & 255) / 255.0, b = (rgb & 255) / 255.0;
    double max = std::fmax(r, std::fmax(g, b)), min = std::fmin(r, std::fmin(g, b)), d = max - min;
    zeHSV out = {0, max > 0 ? d / max : 0, max};
    if (d <= 0) return out;
    if (max == r) out.h = 60 * ((g - b) / d);
    else if (max == g) out.h = 60 * ((b - r) / d + 2);
    else out.h = 60 * ((r - g) / d + 4);
    if (out.h < 0) out.h += 360;
    return out;
}

static int channel(double v) { return (int)std::lround(clamp01(v) * 255); }

int32_t zecolorchooser_from_hsv(zeHSV hsv) {
    hsv = zecolorchooser_clean_hsv(hsv);
    double c = hsv.v * hsv.s, hp = hsv.h / 60, x = c * (1 - std::fabs(std::fmod(hp, 2) - 1)), m = hsv.v - c;
    int sector = (int)hp;
    // Per sector: which of (c, x, 0) goes to red, green and blue.
    static const int kOrder[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
    const int *o = kOrder[sector < 0 ? 0 : sector > 5 ? 5 : sector];
    double part[3] = {c, x, 0};
    return channel(part[o[0]] + m) << 16 | channel(part[o[1]] + m) << 8 | channel(part[o[2]] + m);
}

static int hexdigit(int ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    ch = tolower(ch);
    return ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

bool zecolorchooser_parse_hex(const char *text, int32_t *rgb) {
    if (!text) return false;
    while (*text == ' ' || *text == '\t') text++;
    if (*text == '#') text++;
    else if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    int32_t v = 0;
    for (int i = 0; i < 6; i++) {
        int d = hexdigit((unsigned char)text[i]);
        if (d < 0) return false;   // also the end of a short text
        v = v << 4 | d;
    }
    for (text += 6; *text; text++)
        if (*text != ' ' && *text != '\t') return false;
    *rgb = v;
    return true;
}

void zecolorchooser_format_hex(int32_t rgb, char *out) { snprintf(out, 8, "#%06X", (unsigned)rgb & 0xFFFFFFu); }

// ----- the dialog -----

enum {
    WIN_W = 460, WIN_H = 300,
    LEFT = 10, CELL_W = 22, CELL_H = 18, BASIC_Y = 24, CUSTOM_Y = 156, ADD_Y = 200,
    RIGHT = 200, FIELD_Y = 10, FIELD_W = 204, FIELD_H = 154, STRIP_X = 412,
    PREVIEW_Y = 172, PREVIEW_W = 100, PREVIEW_H = 40,
    VALUE_LABEL_X = 320, VALUE_X = 370, VALUE_W = 70, ROW_H = 24, VALUE_H = 20,
    BUTTON_Y = 266, BUTTON_W = 85, BUTTON_H = 24,
};

// Captions, English then German.
enum { T_TITLE, T_BASIC, T_CUSTOM, T_ADD, T_OLD, T_NEW, T_RED, T_GREEN, T_BLUE, T_HEX, T_CANCEL, T_COUNT };
static const char *const kText[2][T_COUNT] = {
    {"Color", "Basic colors:", "Custom colors:", "Add to custom colors", "Old", "New", "Red:", "Green:", "Blue:",
     "Hex:", "Cancel"},
    {"Farbe", "Grundfarben:", "Eigene Farben:", "Zu eigenen Farben", "Alt", "Neu", "Rot:", "Gr\xfcn:", "Blau:",
     "Hex:", "Abbrechen"},
};

static const char *text(int which) { return kText[zelanguage_get() == 1 ? 1 : 0][which]; }

struct Chooser {
    zeView *view;
    zeButton ok, cancel, add;
    zeColorSwatches basic, custom;
    zeColorField field, strip;
    zeUpDownControl rgb[3];
    zeLineInput hex;
    int32_t original, colour;
    zeHSV hsv;
};

// The hue and saturation a colour cannot tell (of a grey, of black) stay
// as they were, so that the field and strip do not jump.
static zeHSV follow(zeHSV old, int32_t rgb) {
    zeHSV n = zecolorchooser_to_hsv(rgb);
    if (n.v == 0) n.h = old.h, n.s = old.s;
    else if (n.s == 0) n.h = old.h;
    return n;
}

static void label(zePixmap *px, int x, int y, const char *s) {
    zefont_draw_text(px, ZEFONT_DEFAULT, x, y, zescheme_color(ZECOL_TEXT), false, false, -1, 0, -1, s);
}

static void draw_preview(Chooser *k) {
    zePixmap *px = zeview_pixmap(k->view);
    int half = (PREVIEW_W - 4) / 2;
    zeframe_draw(px, ZEFRAME_DOUBLE, true, RIGHT, PREVIEW_Y, PREVIEW_W, PREVIEW_H);
    zepxmap_fillrect(px, RIGHT + 2, PREVIEW_Y + 2, half, PREVIEW_H - 4, k->original & 0xFFFFFF);
    zepxmap_fillrect(px, RIGHT + 2 + half, PREVIEW_Y + 2, PREVIEW_W - 4 - half, PREVIEW_H - 4, k->colour);
    zeview_refresh(k->view);
}

static void draw_labels(Chooser *k) {
    zePixmap *px = zeview_pixmap(k->view);
    label(px, LEFT, BASIC_Y - 16, text(T_BASIC));
    label(px, LEFT, CUSTOM_Y - 16, text(T_CUSTOM));
    int half = (PREVIEW_W - 4) / 2;
    label(px, RIGHT + 2 + (half - zefont_text_width(ZEFONT_DEFAULT, text(T_OLD))) / 2, PREVIEW_Y + PREVIEW_H + 4, text(T_OLD));
    label(px, RIGHT + 2 + half + (half - zefont_text_width(ZEFONT_DEFAULT, text(T_NEW))) / 2, PREVIEW_Y + PREVIEW_H + 4,
          text(T_NEW));
    for (int i = 0; i < 4; i++) label(px, VALUE_LABEL_X, PREVIEW_Y + 3 + i * ROW_H, text(T_RED + i));
}

static int index_of(const int32_t *table, int n, int32_t colour) {
    for (int i = 0; i < n; i++)
        if ((table[i] & 0xFFFFFF) == colour) return i;
    return -1;
}

static void show_hex(Chooser *k) {
    char hex[8];
    zecolorchooser_format_hex(k->colour, hex);
    if (strcmp(hex, zelineinput_text(&k->hex)) != 0) zelineinput_set_text(&k->hex, hex);
}

// Brings every part in step with k->colour and k->hsv, except the one the
// change came from (the user may be typing in it).
static void show(Chooser *k, int from) {
    // The field has drawn its own pick, and its picture does not depend on
    // the brightness the strip sets.
    if (from == ZECC_FIELD || from == ZECC_STRIP) k->field.hsv = k->hsv;
    else zecolorfield_set(&k->field, k->hsv);
    if (from != ZECC_STRIP) zecolorfield_set(&k->strip, k->hsv);
    for (int i = 0; i < 3; i++)
        if (from != ZECC_RED + i) zeupdown_set_value(&k->rgb[i], k->colour >> (16 - 8 * i) & 255);
    if (from != ZECC_HEX) show_hex(k);
    if (from != ZECC_BASIC) zecolorswatches_select(&k->basic, index_of(kBasic, ZECOLORCHOOSER_BASIC, k->colour));
    draw_preview(k);
}

static void set_rgb(Chooser *k, int32_t rgb, int from) {
    if ((rgb & 0xFFFFFF) == k->colour && from != ZECC_BASIC && from != ZECC_CUSTOM) return;
    k->colour = rgb & 0xFFFFFF;
    k->hsv = follow(k->hsv, k->colour);
    show(k, from);
}

static void set_hsv(Chooser *k, zeHSV hsv, int from) {
    k->hsv = zecolorchooser_clean_hsv(hsv);
    k->colour = zecolorchooser_from_hsv(k->hsv);
    show(k, from);
}

static int channel_of(zeUpDownControl *u) {
    int v = zeupdown_value(u);
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// A red, green or blue value typed or stepped. Once the field is left, its
// text shows the value that counts.
static void channel_changed(Chooser *k, int i) {
    int v = channel_of(&k->rgb[i]), shift = 16 - 8 * i;
    set_rgb(k, (k->colour & ~(255 << shift)) | v << shift, ZECC_RED + i);
    if (!k->rgb[i].in.c.focus) zeupdown_set_value(&k->rgb[i], v);
}

static void add_custom(Chooser *k) {
    int slot = k->custom.selected >= 0 ? k->custom.selected : g_nextcustom;
    g_custom[slot] = k->colour;
    g_nextcustom = (slot + 1) % ZECOLORCHOOSER_CUSTOM;
    zecolorswatches_select(&k->custom, -1);
}

// Created in the order Tab walks: the colours, the values, then the buttons.
static bool create_controls(Chooser *k) {
    int gridw = (int)ZECOLORCHOOSER_COLS * CELL_W;
    bool ok = zecolorswatches_create(&k->basic, kBasic, ZECOLORCHOOSER_COLS,
                                     (int)ZECOLORCHOOSER_BASIC / ZECOLORCHOOSER_COLS, ",x=%d,y=%d,xs=%d,ys=%d", LEFT,
                                     BASIC_Y, gridw, CELL_H * 6);
    ok &= zecolorswatches_create(&k->custom, g_custom, ZECOLORCHOOSER_COLS,
                                 (int)ZECOLORCHOOSER_CUSTOM / ZECOLORCHOOSER_COLS, ",x=%d,y=%d,xs=%d,ys=%d", LEFT,
                                 CUSTOM_Y, gridw, CELL_H * 2);
    ok &= zebutton_create(&k->add, "%s,x=%d,y=%d,xs=%d,ys=%d", text(T_ADD), LEFT, ADD_Y, gridw, BUTTON_H);
    ok &= zecolorfield_create(&k->field, ",x=%d,y=%d,xs=%d,ys=%d", RIGHT, FIELD_Y, FIELD_W, FIELD_H);
    ok &= zecolorfield_create(&k->strip, ",x=%d,y=%d,xs=%d,ys=%d,strip", STRIP_X, FIELD_Y, 18 + ZECOLORFIELD_MARK,
                              FIELD_H);
    for (int i = 0; i < 3; i++)
        ok &= zeupdown_create(&k->rgb[i], "0,x=%d,y=%d,xs=%d,ys=%d,min=0,max=255", VALUE_X, PREVIEW_Y + i * ROW_H,
                              VALUE_W, VALUE_H);
    ok &= zelineinput_create(&k->hex, "x=%d,y=%d,xs=%d,ys=%d,maxlen=12", VALUE_X, PREVIEW_Y + 3 * ROW_H, VALUE_W,
                             VALUE_H);
    ok &= zebutton_create(&k->ok, "OK,x=%d,y=%d,xs=%d,ys=%d,default", WIN_W - 2 * BUTTON_W - 20, BUTTON_Y, BUTTON_W,
                          BUTTON_H);
    ok &= zebutton_create(&k->cancel, "%s,x=%d,y=%d,xs=%d,ys=%d", text(T_CANCEL), WIN_W - BUTTON_W - 12, BUTTON_Y,
                          BUTTON_W, BUTTON_H);
    return ok;
}

static void release_controls(Chooser *k) {
    zebutton_release(&k->ok);
    zebutton_release(&k->cancel);
    zebutton_release(&k->add);
    zecolorswatches_release(&k->basic);
    zecolorswatches_release(&k->custom);
    zecolorfield_release(&k->field);
    zecolorfield_release(&k->strip);
    for (zeUpDownControl &u : k->rgb) zeupdown_release(&u);
    zelineinput_destroy(&k->hex);
}

// Handles one event id; true when the dialog ends (*chosen says how).
static bool handle(Chooser *k, int id, bool *chosen) {
    if (id == zebutton_eventid(&k->ok)) return *chosen = true;
    if (id == zebutton_eventid(&k->cancel) || id == ZEKEY_ESCAPE) return true;
    if (id == ZEKEY_ENTER) {
        // A focused button acts on Enter itself: Cancel cancels, "add" adds.
        if (k->cancel.c.focus) return true;
        if (k->add.c.focus) return false;
        return *chosen = true;
    }
    // What a control picked is read from its event, not from the control:
    // events queue up, and bringing the parts in step sets the controls.
    int cell = 0;
    if (id == zebutton_eventid(&k->add)) add_custom(k);
    else if (id == zecontrol_eventid(&k->basic.c) && (cell = k->basic.c.lastargs[0]) >= 0 && cell < ZECOLORCHOOSER_BASIC)
        set_rgb(k, kBasic[cell], ZECC_BASIC);
    else if (id == zecontrol_eventid(&k->custom.c) && (cell = k->custom.c.lastargs[0]) >= 0 &&
             cell < ZECOLORCHOOSER_CUSTOM)
        set_rgb(k, g_custom[cell], ZECC_CUSTOM);
    else if (id == zecontrol_eventid(&k->field.c)) {
        // The field shows its colours at full brightness: picking one from
        // black would otherwise still give black.
        zeHSV hsv = zecolorfield_posted(&k->field);
        if (hsv.v == 0) hsv.v = 1;
        set_hsv(k, hsv, ZECC_FIELD);
    } else if (id == zecontrol_eventid(&k->strip.c))
        set_hsv(k, zecolorfield_posted(&k->strip), ZECC_STRIP);
    else if (id == zelineinput_changeid(&k->hex)) {
        int32_t v;
        if (zecolorchooser_parse_hex(zelineinput_text(&k->hex), &v)) set_rgb(k, v, ZECC_HEX);
    } else if (id == zelineinput_eventid(&k->hex))
        show_hex(k);   // editing ended: what does not parse gives way to the colour
    for (int i = 0; i < 3; i++)
        if (id == zecontrol_eventid(&k->rgb[i].in.c) || id == zeupdown_textid(&k->rgb[i])) channel_changed(k, i);
    return false;
}

static void window_title(const char *title, char *out, int size) {
    snprintf(out, size, "%s", title && *title ? title : text(T_TITLE));
    // A comma would end the window's text and start an option.
    for (char *p = out; *p; p++)
        if (*p == ',') *p = ' ';
}

int32_t zecolorchooser(int32_t colour, const char *title) {
    zeView *caller = zeview_standard();
    zeHandler out = zegout_handler();
    void *outowner = zegout_owner();
    char name[ZEWIN_TITLEMAX + 1];
    window_title(title, name, sizeof name);
    int32_t result = colour;
    zeWindow w;
    if (zewindow_open(&w, "%s,x=50%%,y=50%%,xs=%d,ys=%d,NoSysMenu,noquit,modal,noresize,nosizemenu", name, WIN_W,
                      WIN_H)) {
        Chooser k;
        k.view = zeview_of_window(&w);
        if (k.view) {
            zeview_make_standard(k.view);
            k.original = colour, k.colour = colour & 0xFFFFFF, k.hsv = zecolorchooser_to_hsv(k.colour);
            if (create_controls(&k)) {
                draw_labels(&k);
                show(&k, -1);
                // A colour can be typed at once: the hex entry has the focus, its text selected.
                zelineinput_focus(&k.hex);
                zeControl *c[ZECC_COUNT] = {&k.ok.c,    &k.cancel.c, &k.add.c,      &k.basic.c,    &k.custom.c, &k.field.c,
                                            &k.strip.c, &k.rgb[0].in.c, &k.rgb[1].in.c, &k.rgb[2].in.c, &k.hex.c};
                if (g_open_hook) g_open_hook(&w, c, ZECC_COUNT);
                int closeid = zewindow_closeid(&w);
                bool chosen = false;
                while (zerunning()) {
                    int id = zeevent_wait();
                    if (id == 0 || id == closeid || handle(&k, id, &chosen)) break;
                }
                if (chosen) result = k.colour;
            }
            release_controls(&k);
        }
        zewindow_close(&w);
    }
    if (caller) zeview_make_standard(caller);
    zegout_set(out, outowner);
    return result;
}
