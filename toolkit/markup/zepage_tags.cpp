// The tags: one table from tag name to what it does. Text and fonts, the
// cursor and named points, rules, rectangles and pictures, link colours;
// control tags go to the kind table (zepage_kinds.cpp).
#include "zecfgstr.h"
#include "zecolor.h"
#include "zefont.h"
#include "zegout.h"
#include "zeimage.h"
#include "zepage_internal.h"
#include "zepxmap.h"
#include "zeview.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

int zepage_number(const char *value, bool pct, int whole) {
    int64_t n = zecfgstr_int(value);
    if (pct && strchr(value, '%')) n = n * whole / 100;
    return zepage_clamp(n);
}

static int num(const char *v) { return zepage_number(v, false, 0); }

// ---- text, fonts and colour ---------------------------------------------------

static void tag_none(zeGUIScript *, const char *, const char *) {}
static void tag_b(zeGUIScript *p, const char *, const char *) { p->font = p->boldfont; }
static void tag_unb(zeGUIScript *p, const char *, const char *) { p->font = p->normalfont; }
static void tag_font(zeGUIScript *p, const char *v, const char *) { zepage_set_font(p, v); }
static void tag_big(zeGUIScript *p, const char *, const char *) { zepage_step_font(p, true); }
static void tag_small(zeGUIScript *p, const char *, const char *) { zepage_step_font(p, false); }
static void tag_textcolor(zeGUIScript *p, const char *v, const char *) { zecfgstr_color(v, &p->textcolor); }
static void tag_center(zeGUIScript *p, const char *, const char *) { zepage_centre_begin(p); }
static void tag_uncenter(zeGUIScript *p, const char *, const char *) { zepage_centre_end(p); }
static void tag_lineoffset(zeGUIScript *p, const char *v, const char *) { p->lineoffset = num(v); }

static void tag_br(zeGUIScript *p, const char *, const char *) {
    char run[2] = "\n";
    zepage_text_run(p, run, 1);
}

static void draw_char(zeGUIScript *p, int font, unsigned char ch) {
    if (!ch) return;
    zegraphic_setfont(font);
    zegraphic_char(p->x, p->y, p->textcolor, ch);
    p->x = zepage_clamp((int64_t)p->x + zefont_char_width(font, ch));
    zegraphic_setfont(p->font);
}

static void tag_char(zeGUIScript *p, const char *v, const char *) { draw_char(p, p->font, (unsigned char)v[0]); }

// The sixteen colours of an attributed character, by digit 0-9, A-F.
static const int kCharColors[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                    0x808000, 0x808080, 0xc0c0c0, 0x0000ff, 0x00ff00, 0x00ffff,
                                    0xff0000, 0xff00ff, 0xffff00, 0xffffff};

static int colour_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

static void tag_achar(zeGUIScript *p, const char *v, const char *) {
    bool bold = v[0] == 'B';
    const char *s = bold ? v + 1 : v;
    if (!s[0]) return;
    int d = colour_digit(s[0]);
    if (d >= 0) p->textcolor = kCharColors[d];
    draw_char(p, bold ? p->boldfont : p->normalfont, (unsigned char)s[1]);
}

// ---- cursor, borders and named points -------------------------------------------

static void tag_x(zeGUIScript *p, const char *v, const char *) { p->x = zepage_number(v, true, zepage_out_width()); }
static void tag_y(zeGUIScript *p, const char *v, const char *) { p->y = zepage_number(v, true, zepage_out_height()); }
static void tag_xinc(zeGUIScript *p, const char *v, const char *) { p->x = zepage_clamp((int64_t)p->x + num(v)); }
static void tag_yinc(zeGUIScript *p, const char *v, const char *) { p->y = zepage_clamp((int64_t)p->y + num(v)); }
static void tag_ydec(zeGUIScript *p, const char *v, const char *) { p->y = zepage_clamp((int64_t)p->y - num(v)); }
static void tag_setxleftborder(zeGUIScript *p, const char *, const char *) { p->x = p->leftborder; }
static void tag_rightborder(zeGUIScript *p, const char *v, const char *) { p->rightmargin = num(v); }

static void tag_offset(zeGUIScript *p, const char *v, const char *) {
    p->x = p->leftborder;
    p->y = zepage_clamp((int64_t)p->y + num(v));
}

static void tag_leftborder(zeGUIScript *p, const char *v, const char *) {
    p->leftborder = p->x = zepage_number(v, true, zepage_out_width());
}

static void tag_rightborderpos(zeGUIScript *p, const char *v, const char *) {
    p->rightmargin = zepage_clamp((int64_t)zepage_out_width() - num(v));
}

static void save_point(zeGUIScript *p, const char *v, const char *kind, int coordinate) {
    char name[ZEPAGE_NAMESIZE];
    zepage_field(v, name, sizeof name);
    int i = zepage_slot_take(p, name, kind);
    if (i >= 0) p->slots[i].coordinate = coordinate;
}

static void tag_save(zeGUIScript *p, const char *v, const char *) { save_point(p, v, "ypoint", p->y); }
static void tag_xsave(zeGUIScript *p, const char *v, const char *) { save_point(p, v, "xpoint", p->x); }

// A recorded 0 and a name nobody has look the same: the cursor stays.
static void tag_restore(zeGUIScript *p, const char *v, const char *) {
    char name[ZEPAGE_NAMESIZE];
    zepage_field(v, name, sizeof name);
    int n = zepage_get_int(p, name);
    if (n) p->y = zepage_clamp(n);
}

static void tag_xrestore(zeGUIScript *p, const char *v, const char *) {
    char name[ZEPAGE_NAMESIZE];
    zepage_field(v, name, sizeof name);
    int n = zepage_get_int(p, name);
    if (n) p->x = zepage_clamp(n);
}

// ---- rules, rectangles and the background -----------------------------------------

static void tag_hline(zeGUIScript *p, const char *, const char *) {
    int right = zepage_right_limit(p);
    p->x = p->leftborder;
    zegraphic_line(p->leftborder, p->y + 5, right, p->y + 5, 0xd0d0d0);
    zegraphic_line(p->leftborder, p->y + 6, right, p->y + 6, 0xf0f0f0);
    p->y = zepage_clamp((int64_t)p->y + 12);
}

// At most six hexadecimal digits, as "%06x" reads them.
static int hex6(const char *s) {
    int v = 0;
    for (int i = 0; i < 6; i++) {
        int d = colour_digit(s[i]);
        if (d < 0) break;
        v = v * 16 + d;
    }
    return v;
}

// "width,height,colour": decimal, decimal, hexadecimal; 0 fills to the
// right limit (bottom margin).
static void tag_fillrect(zeGUIScript *p, const char *v, const char *) {
    int w = num(v), h = 0, colour = 0;
    const char *c = strchr(v, ',');
    if (c) {
        h = num(c + 1);
        c = strchr(c + 1, ',');
        if (c) colour = hex6(c + 1);
    }
    if (w == 0) w = zepage_right_limit(p) - p->x;
    if (h == 0) h = zepage_clamp((int64_t)zepage_out_height() - p->bottommargin - p->y);
    zegraphic_fillrect(p->x, p->y, w, h, colour);
}

static void tag_backgroundcolor(zeGUIScript *p, const char *v, const char *) {
    zecfgstr_color(v, &p->bgcolor);
    int top = p->firsty;
    zegraphic_fillrect(0, top, zepage_out_width(), zepage_out_height() - top, p->bgcolor);
}

// ---- pictures --------------------------------------------------------------------

// Whether options place the picture or control horizontally themselves.
static bool places_x(const char *options) {
    return strncasecmp(options, "x=", 2) == 0 || strcasestr(options, ",x=");
}

static int x_item(const char *options, int fallback) {
    if (strncasecmp(options, "x=", 2) == 0) return num(options + 2);
    const char *s = strcasestr(options, ",x=");
    return s ? num(s + 3) : fallback;
}

static void tag_image(zeGUIScript *p, const char *v, const char *) {
    char name[ZEPAGE_TAGMAX + 1];
    zepage_field(v, name, sizeof name);
    int w = 0, h = 0;
    if (!zegetpicturesizes(name, &w, &h)) {
        zepage_text(p, "#### IMAGE NOT FOUND: ");
        zepage_text(p, name);
        zepage_text(p, " ####\n");
        return;
    }
    if (p->centring) p->x = zepage_clamp(((int64_t)zepage_out_width() - w) / 2);
    if (places_x(v)) zegraphic_load(x_item(v, p->x), p->y, "%s,y=%d", v, p->y);
    else zegraphic_load(p->x, p->y, "%s,x=%d,y=%d", v, p->x, p->y);
    p->y = zepage_clamp((int64_t)p->y + h);
    p->x = p->leftborder;
}

// Width and height from an XPM values line ("w h colours chars").
static bool xpm_size(const char *const *xpm, int *w, int *h) {
    if (!xpm || !xpm[0]) return false;
    const char *s = xpm[0];
    while (*s == ' ') s++;
    *w = zecfgstr_int(s);
    while (*s && *s != ' ') s++;
    while (*s == ' ') s++;
    *h = zecfgstr_int(s);
    return *w > 0 && *h > 0;
}

static void draw_xpm(zeGUIScript *p, const char *const *xpm, const char *rest, int dy) {
    int w, h;
    if (!xpm_size(xpm, &w, &h)) return;
    zegraphic_xpm(x_item(rest, p->x), p->y + dy, xpm, "%s", rest);
    p->y = zepage_clamp((int64_t)p->y + h);
    p->x = p->leftborder;
}

static void tag_image_xpm(zeGUIScript *p, const char *v, const char *) {
    char handle[ZEPAGE_TAGMAX + 1];
    const char *rest = zepage_field(v, handle, sizeof handle);
    const char *const *xpm = zepage_xpm_of(zecfgstr_int(handle));
    if (!xpm) {
        printf("zepage: no in-memory picture %s\n", handle);
        return;
    }
    draw_xpm(p, xpm, rest, 0);
}

static void tag_memimage(zeGUIScript *p, const char *v, const char *) {
    zePixmap *px = zepage_pixmap_of(zecfgstr_int(v));
    if (!px) {
        printf("zepage: no in-memory picture %d\n", zecfgstr_int(v));
        return;
    }
    if (p->centring)
        p->x = zepage_clamp(((int64_t)zepage_out_width() - p->leftborder - p->rightmargin - px->width) / 2 +
                            p->leftborder);
    zegraphic_mergepxmap(p->x, p->y, px);
    p->x = zepage_clamp((int64_t)p->x + px->width);
    p->y = zepage_clamp((int64_t)p->y + px->height);
}

static const char *const kBullet[] = {
    "10 10 2 1", ". c None", "+ c #000000", "..........", "....+++...", "...+++++..", "..+++++++.",
    "..+++++++.", "..+++++++.", "...+++++..", "....+++...", "..........", "..........",
};

static void tag_bullet(zeGUIScript *p, const char *, const char *) {
    int y = p->y;
    draw_xpm(p, kBullet, "", 4);
    p->y = y;
    p->x = p->leftborder + 12;
}

// ---- links and the standard view -------------------------------------------------

static void tag_link(zeGUIScript *p, const char *v, const char *) { zepage_link(p, v); }
static void tag_linkcolor(zeGUIScript *p, const char *v, const char *) { zecfgstr_color(v, &p->linkcolor); }
static void tag_linkbackground(zeGUIScript *p, const char *v, const char *) { zecfgstr_color(v, &p->linkbackground); }
static void tag_linkhighlight(zeGUIScript *p, const char *v, const char *) { zecfgstr_color(v, &p->linkhighlight); }
static void tag_linkactive(zeGUIScript *p, const char *v, const char *) { zecfgstr_color(v, &p->linkactive); }

static void tag_standardview(zeGUIScript *p, const char *v, const char *) {
    char name[ZEPAGE_NAMESIZE];
    zepage_field(v, name, sizeof name);
    int i = zepage_slot_find(p, name);
    if (i < 0 || strcmp(p->slots[i].kind, "view") != 0 || !p->slots[i].control) return;
    zeview_make_standard((zeView *)p->slots[i].control);
}

static const zePageTag kTags[] = {
    {"none", tag_none},
    {"b", tag_b},
    {"/b", tag_unb},
    {"font", tag_font},
    {"big", tag_big},
    {"small", tag_small},
    {"textcolor", tag_textcolor},
    {"center", tag_center},
    {"/center", tag_uncenter},
    {"br", tag_br},
    {"char", tag_char},
    {"achar", tag_achar},
    {"lineoffset", tag_lineoffset},
    {"x", tag_x},
    {"y", tag_y},
    {"xinc", tag_xinc},
    {"xoffset", tag_xinc},
    {"yinc", tag_yinc},
    {"ydec", tag_ydec},
    {"offset", tag_offset},
    {"setxleftborder", tag_setxleftborder},
    {"leftborder", tag_leftborder},
    {"rightborder", tag_rightborder},
    {"rightborderpos", tag_rightborderpos},
    {"save", tag_save},
    {"xsave", tag_xsave},
    {"restore", tag_restore},
    {"xrestore", tag_xrestore},
    {"hline", tag_hline},
    {"fillrect", tag_fillrect},
    {"backgroundcolor", tag_backgroundcolor},
    {"image", tag_image},
    {"image_xpm", tag_image_xpm},
    {"memimage", tag_memimage},
    {"bullet", tag_bullet},
    {"link", tag_link},
    {"linkcolor", tag_linkcolor},
    {"linkbackground", tag_linkbackground},
    {"linkhighlight", tag_linkhighlight},
    {"linkactive", tag_linkactive},
    {"standardview", tag_standardview},
    {"table", zepage_tag_table},
    {"/table", zepage_tag_endtable},
    {nullptr, nullptr},
};

void zepage_tag(zeGUIScript *p, const char *content, int len) {
    char name[ZEPAGE_TAGMAX + 1];
    int n = 0;
    while (n < len && content[n] != ' ' && content[n] != '=') name[n] = content[n], n++;
    name[n] = 0;
    const char *eq = strchr(content, '=');
    const char *value = eq ? eq + 1 : "";
    zepage_slots_reserve(p);
    for (const zePageTag *t = kTags; t->name; t++)
        if (strcasecmp(t->name, name) == 0) return t->run(p, value, content);
    const zePageKind *k = zepage_kind(name);
    if (k) zepage_embed(p, k, value);
}
