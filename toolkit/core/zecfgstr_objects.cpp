// The option families of objects that are not controls: font creation,
// images, pixmap formats, views, windows, PostScript pages and file dialogs.
#include "zecfgstr_families.h"
#include "zecolor.h"
#include <cstdio>
#include <cstring>

// ---- font attributes ------------------------------------------------------

#define FNT(field) offsetof(zeFontAttr, field)
static const zeCfgKey font_keys[] = {
    {"bold", ZECFG_ON, FNT(bold)},
    {"italic", ZECFG_ON, FNT(italic)},
    {"underlined|understriked", ZECFG_ON, FNT(underlined)},
    {"xs=|width=", ZECFG_INT, FNT(xs)},
    {"ys=|height=", ZECFG_INT, FNT(ys)},
    {"ascent=", ZECFG_INT, FNT(ascent)},
    {"descent=", ZECFG_INT, FNT(descent)},
    {"points=", ZECFG_INT, FNT(points)},
    {"xsextra=", ZECFG_INT, FNT(xsextra)},
    {nullptr},
};
#undef FNT

void zecfgstr_fontattr(char **entries, int start, zeFontAttr *a) {
    zecfgstr_match(entries, start, font_keys, a);
}

// ---- image attributes -----------------------------------------------------

#define IMG(field) offsetof(zeImageAttr, field)
static const zeCfgKey image_keys[] = {
    {"load=|image=|img=", ZECFG_RAW, IMG(load), sizeof(((zeImageAttr *)0)->load)},
    {"palettecode=", ZECFG_INT, IMG(palettecode)},
    {"xs=|width=", ZECFG_INT, IMG(xs)},
    {"ys=|height=", ZECFG_INT, IMG(ys)},
    {"x=", ZECFG_INT, IMG(x)},
    {"y=", ZECFG_INT, IMG(y)},
    {nullptr},
};
#undef IMG

void zecfgstr_imageattr(char **entries, int start, zeImageAttr *a) {
    zecfgstr_match(entries, start, image_keys, a, true);
    int *geometry[] = {&a->x, &a->y, &a->xs, &a->ys};
    for (int *v : geometry)
        if (*v == 0) *v = -1; // not given
}

// ---- pixmap formats -------------------------------------------------------

struct FormatName {
    const char *names;
    int format;
};

// Format keywords as flags; "directx" only as a flag, not as a "pxmap=" name.
static const FormatName format_names[] = {
    {"palette|palette8|palette_8|indexed", 1},
    {"palette16|palette_16", 2},
    {"truecolor", 3},
    {"server", 4},
    {"screen", 5},
    {"directx", 6},
};

int zecfgstr_formatbyname(const char *name) {
    for (const FormatName &f : format_names)
        if (f.format != 6 && zecfgstr_match_keys(name, f.names)) return f.format;
    return 0;
}

static int format_flag(const char *copy) {
    for (const FormatName &f : format_names)
        if (zecfgstr_match_keys(copy, f.names)) return f.format;
    return 0;
}

int zecfgstr_pxmapformat(char **entries, int start, int def) {
    int format = def;
    char copy[ZECFGSTR_ENTRYMAX + 1];
    int n = zecfgstr_count(entries);
    for (int i = start < 0 ? 0 : start; i < n; i++) {
        if (!entries[i][0]) continue;
        zecfgstr_squeeze(entries[i], copy, sizeof copy);
        int f = format_flag(copy);
        if (!f) continue;
        format = f;
        zecfgstr_consume(entries[i]);
    }
    return format;
}

// ---- views ----------------------------------------------------------------

static void view_format(void *rec, const char *value, const char *) {
    int f = zecfgstr_formatbyname(value);
    if (f) ((zeViewAttr *)rec)->format = f;
}

static void view_format_flag(void *rec, const char *value, const char *raw) {
    char copy[ZECFGSTR_ENTRYMAX + 1];
    zecfgstr_squeeze(raw, copy, sizeof copy);
    int f = format_flag(copy);
    if (f) ((zeViewAttr *)rec)->format = f;
}

#define VIEW(field) offsetof(zeViewAttr, field)
static const zeCfgKey view_keys[] = {
    {"palette|palette8|palette_8|indexed|palette16|palette_16|truecolor|server|screen|directx",
     ZECFG_CALL, VIEW(format), 0, view_format_flag},
    {"pxmapxs=|pxmap_xs=|pixmapxs=|pixmap_xs=|bitmapxs=|bitmap_xs=|bmpxs=|bmp_xs=|pxs=",
     ZECFG_INT, VIEW(pxs)},
    {"pxmapys=|pxmap_ys=|pixmapys=|pixmap_ys=|bitmapys=|bitmap_ys=|bmpys=|bmp_ys=|pys=",
     ZECFG_INT, VIEW(pys)},
    {"colors=|pxmapcolors=|pixmapcolors=|pxmap_colors=|pixmap_colors=|bitmapcolors=|"
     "bitmap_colors=|bmpcolors=|bmp_colors=",
     ZECFG_INT, VIEW(colors)},
    {"pxmap=|pixmap=|bmp=|bitmap=|pxmaptype=|pixmaptype=|bmptype=|bitmaptype=", ZECFG_CALL,
     VIEW(format), 0, view_format},
    {"drawoff|noredraw|norefresh|redraw=0|refresh=0|redraw=off|refresh=off", ZECFG_ON,
     VIEW(drawoff)},
    {"directdraw", ZECFG_ON, VIEW(directdraw)},
    {"nostandardview", ZECFG_ON, VIEW(nostandardview)},
    {"standardview", ZECFG_ON, VIEW(standardview)},
    {"opengl", ZECFG_ON, VIEW(opengl)},
    {"nokeyscroll", ZECFG_ON, VIEW(nokeyscroll)},
    {"noverticalscrollbar", ZECFG_ON, VIEW(novscroll)},
    {"nohorizontalscrollbar", ZECFG_ON, VIEW(nohscroll)},
    {"stretch=|xstretch=|x_stretch=|stretchx=|stretch_x=|ystretch=|y_stretch=|stretchy=|"
     "stretch_y=|scrollwheelalways|autofocus",
     ZECFG_IGNORE, 0},
    {nullptr},
};
#undef VIEW

void zecfgstr_viewattr(char **entries, int start, zeViewAttr *a) {
    // Entry by entry, so that the palette rule applies after each one.
    int n = zecfgstr_count(entries);
    for (int i = start < 0 ? 0 : start; i < n; i++) {
        char *one[2] = {entries[i], nullptr};
        zecfgstr_match(one, 0, view_keys, a);
        if (a->format == 1 && a->colors > 256) a->format = 2;
    }
}

// ---- windows --------------------------------------------------------------

void zecfgstr_window_defaults(zeWindowAttr *a) {
    memset(a, 0, sizeof *a);
    a->sysmenu = true;
    a->bgcolor = -1;
}

static void window_toolbar(void *rec, const char *value, const char *) {
    zeWindowAttr *a = (zeWindowAttr *)rec;
    a->toolbar = true;
    a->toolbarys = zecfgstr_int(value);
}

static void window_statusbar(void *rec, const char *value, const char *) {
    zeWindowAttr *a = (zeWindowAttr *)rec;
    a->statusbar = true;
    a->statusbarys = zecfgstr_int(value);
}

#define WIN(field) offsetof(zeWindowAttr, field)
static const zeCfgKey window_keys[] = {
    {"fullscreen", ZECFG_ON, WIN(fullscreen)},
    {"modal", ZECFG_ON, WIN(modal)},
    {"nosysmenu|sysmenu=0|nosystemmenu|systemmenu=0", ZECFG_OFF, WIN(sysmenu)},
    {"sysmenu|sysmenu=1|systemmenu|systemmenu=1", ZECFG_ON, WIN(sysmenu)},
    {"noresize", ZECFG_OFF, WIN(resize)},
    {"resize", ZECFG_ON, WIN(resize)},
    {"maximized|max|maximal", ZECFG_ON, WIN(maximized)},
    {"noquit", ZECFG_ON, WIN(noquit)},
    {"noclose", ZECFG_ON, WIN(noclose)},
    {"popup", ZECFG_ON, WIN(popup)},
    {"notitle", ZECFG_ON, WIN(notitle)},
    {"noredraw|drawoff|norepaint|paintoff|nopaint", ZECFG_ON, WIN(noredraw)},
    {"bgcol=|bgcolor=|backgroundcolor=|background=", ZECFG_COLOR, WIN(bgcolor)},
    {"nostandardview", ZECFG_IGNORE, 0},
    {"menu", ZECFG_ON, WIN(menu)},
    {"toolbar|toolbar=", ZECFG_CALL, WIN(toolbar), 0, window_toolbar},
    {"statusbar|statusbar=", ZECFG_CALL, WIN(statusbar), 0, window_statusbar},
    {"cxs=|pxs=|contentxs=|contentwidth=|cwidth=", ZECFG_INT, WIN(cxs)},
    {"cys=|pys=|contentys=|contentheight=|cheight=", ZECFG_INT, WIN(cys)},
    {nullptr},
};
#undef WIN

void zecfgstr_windowattr(char **entries, int start, zeWindowAttr *a) {
    zecfgstr_match(entries, start, window_keys, a);
}

// ---- PostScript pages -----------------------------------------------------

static void ps_dpi(void *rec, const char *value, const char *) {
    zePsAttr *a = (zePsAttr *)rec;
    a->xdpi = a->ydpi = zecfgstr_int(value);
}

#define PS(field) offsetof(zePsAttr, field)
static const zeCfgKey ps_keys[] = {
    {"dpi=", ZECFG_CALL, PS(xdpi), 0, ps_dpi},
    {"xdpi=|x-dpi=", ZECFG_INT, PS(xdpi)},
    {"ydpi=|y-dpi=", ZECFG_INT, PS(ydpi)},
    {"topborder=", ZECFG_REAL, PS(topborder)},
    {"bottomborder=", ZECFG_REAL, PS(bottomborder)},
    {"leftborder=", ZECFG_REAL, PS(leftborder)},
    {"rightborder=", ZECFG_REAL, PS(rightborder)},
    {"portrait", ZECFG_SET, PS(landscape), 0},
    {"landscape", ZECFG_SET, PS(landscape), 1},
    {"a4", ZECFG_SET, PS(paper), ZEPAPER_A4},
    {"a3", ZECFG_SET, PS(paper), ZEPAPER_A3},
    {"a2", ZECFG_SET, PS(paper), ZEPAPER_A2},
    {"a1", ZECFG_SET, PS(paper), ZEPAPER_A1},
    {"a0", ZECFG_SET, PS(paper), ZEPAPER_A0},
    {"a5", ZECFG_SET, PS(paper), ZEPAPER_A5},
    {"a6", ZECFG_SET, PS(paper), ZEPAPER_A6},
    {"a7", ZECFG_SET, PS(paper), ZEPAPER_A7},
    {"a8", ZECFG_SET, PS(paper), ZEPAPER_A8},
    {"a9", ZECFG_SET, PS(paper), ZEPAPER_A9},
    {"letter", ZECFG_SET, PS(paper), ZEPAPER_LETTER},
    {"legal", ZECFG_SET, PS(paper), ZEPAPER_LEGAL},
    {"truecolor|truecolors|hicolor|highcolor", ZECFG_ON, PS(truecolor)},
    {nullptr},
};
#undef PS

void zecfgstr_psattr(char **entries, int start, zePsAttr *a) {
    zecfgstr_match(entries, start, ps_keys, a);
}

// ---- file dialogs ---------------------------------------------------------

static void text_after_eq(char *dst, size_t cap, const char *raw) {
    snprintf(dst, cap, "%s", zecfgstr_value(raw));
}

static void dlg_title(void *rec, const char *, const char *raw) {
    zeFileDlgAttr *a = (zeFileDlgAttr *)rec;
    text_after_eq(a->title, sizeof a->title, raw);
}

static void dlg_dir(void *rec, const char *, const char *raw) {
    zeFileDlgAttr *a = (zeFileDlgAttr *)rec;
    text_after_eq(a->dir, sizeof a->dir, raw);
}

static void dlg_suggestion(void *rec, const char *, const char *raw) {
    zeFileDlgAttr *a = (zeFileDlgAttr *)rec;
    text_after_eq(a->suggestion, sizeof a->suggestion, raw);
}

// "filter=PATTERN|DESCRIPTION": each entry adds one filter.
static void dlg_filter(void *rec, const char *, const char *raw) {
    zeFileDlgAttr *a = (zeFileDlgAttr *)rec;
    if (a->nfilters >= ZEFILEDLG_MAXFILTERS) {
        printf("zecfgstr_filedlgattr: too many filters, \"%s\" dropped\n", raw);
        return;
    }
    zeFileFilter *f = &a->filters[a->nfilters++];
    const char *v = zecfgstr_value(raw);
    size_t len = strcspn(v, "|");
    snprintf(f->pattern, sizeof f->pattern, "%.*s", (int)len, v);
    snprintf(f->description, sizeof f->description, "%s", v[len] ? v + len + 1 : "");
}

#define DLG(field) offsetof(zeFileDlgAttr, field)
static const zeCfgKey dialog_keys[] = {
    {"title=|caption=", ZECFG_CALL, DLG(title), 0, dlg_title},
    {"filter=", ZECFG_CALL, DLG(filters), 0, dlg_filter},
    {"dir=|directory=", ZECFG_CALL, DLG(dir), 0, dlg_dir},
    {"defaultext=|defaultextension=|extension=|ext=", ZECFG_TEXT, DLG(defaultext),
     sizeof(((zeFileDlgAttr *)0)->defaultext)},
    {"suggestion=", ZECFG_CALL, DLG(suggestion), 0, dlg_suggestion},
    {"save|savedialog", ZECFG_ON, DLG(save)},
    {"mustnotexist", ZECFG_ON, DLG(mustnotexist)},
    {nullptr},
};
#undef DLG

void zecfgstr_filedlgattr(char **entries, int start, zeFileDlgAttr *a) {
    zecfgstr_match(entries, start, dialog_keys, a);
}
