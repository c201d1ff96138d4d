// The option families the controls share: font, border, focus, grey, button
// attributes and hot keys, lists, check box, input line, editor, terminal,
// up-down control, slider, scroll bars and tab bar.
#include "zecfgstr_families.h"
#include "zecolor.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Index of the first entry a family looks at: never before 0 or past the end.
static int first_index(char **entries, int start) {
    int n = zecfgstr_count(entries);
    return start < 0 ? 0 : start > n ? n : start;
}

// ---- font -----------------------------------------------------------------

static int no_font(const char *) { return -1; }

static zeFontResolver font_resolver = no_font;

void zecfgstr_set_font_resolver(zeFontResolver resolver) {
    font_resolver = resolver ? resolver : no_font;
}

struct FontAlias {
    const char *names; // "|"-separated
    const char *font;
};

static const FontAlias font_aliases[] = {
    {"6x13", "builtin 6x13"},
    {"6x13b|6x13bold", "builtin 6x13 bold"},
    {"9x15", "builtin 9x15"},
    {"9x15b|9x15bold", "builtin 9x15 bold"},
    {"8x16", "builtin 8x16"},
    {"8x16b|8x16bold", "builtin 8x16 bold"},
    {"12x24", "builtin 12x24"},
    {"5x7", "builtin 5x7"},
    {"8x8", "builtin 8x8"},
    {"var13|variable13|13var|13variable", "builtin variable 13"},
};

const char *zecfgstr_builtin_font(const char *value) {
    for (const FontAlias &a : font_aliases)
        if (zecfgstr_match_keys(value, a.names)) return a.font;
    return nullptr;
}

bool zecfgstr_font(char **entries, int start, int *fontid) {
    char copy[ZECFGSTR_ENTRYMAX + 1];
    for (int i = first_index(entries, start); entries && entries[i]; i++) {
        if (!entries[i][0]) continue;
        zecfgstr_squeeze(entries[i], copy, sizeof copy);
        const char *id = zecfgstr_key(copy, "fontid=");
        if (id) {
            zecfgstr_consume(entries[i]);
            if (fontid) *fontid = zecfgstr_int(id);
            return true;
        }
        const char *value = zecfgstr_key(copy, "font=");
        if (!value) continue;
        zecfgstr_consume(entries[i]);
        const char *builtin = zecfgstr_builtin_font(value);
        int found = font_resolver(builtin ? builtin : value);
        if (found < 0) {
            printf("font not loaded/found: %s\n", value);
            return false;
        }
        if (fontid) *fontid = found;
        return true;
    }
    return false;
}

// ---- border, focus, grey --------------------------------------------------

bool zecfgstr_border(char **entries, int start, int *border) {
    static const zeCfgKey table[] = {
        {"border=", ZECFG_INT, 0},
        {"border", ZECFG_SET, 0, 2},
        {"noborder", ZECFG_SET, 0, 0},
        {nullptr},
    };
    int b = border ? *border : 0;
    if (!zecfgstr_match(entries, start, table, &b, true)) return false;
    if (border) *border = b;
    return true;
}

bool zecfgstr_nofocus(char **entries, int start, bool *nofocus) {
    // "focus=0" and the like contain "=" but do not end in it: whole words.
    static const zeCfgKey table[] = {
        {"nokeyfocus|nofocus|skip|focus=0|focus=no|keyfocus=0|keyfocus=no", ZECFG_ON, 0},
        {nullptr},
    };
    bool f = false;
    if (!zecfgstr_match(entries, start, table, &f)) return false;
    if (nofocus) *nofocus = true;
    return true;
}

bool zecfgstr_grey(char **entries, int start, bool *grey) {
    static const zeCfgKey table[] = {
        {"grey|greyed", ZECFG_ON, 0},
        {nullptr},
    };
    bool g = false;
    if (!zecfgstr_match(entries, start, table, &g)) return false;
    if (grey) *grey = true;
    return true;
}

// ---- the common control options -----------------------------------------

void zecfgstr_common(char **entries, int start, zeGeometry *g, zeCommonAttr *a) {
    zecfgstr_geometry(entries, start, g);
    zecfgstr_border(entries, start, &a->border);
    zecfgstr_font(entries, start, &a->fontid);
    zecfgstr_nofocus(entries, start, &a->nofocus);
    zecfgstr_grey(entries, start, &a->grey);
    zecfgstr_bgcolor(entries, start, &a->bgcolor);
    if (zecfgstr_textcolor(entries, start, &a->textcolor)) a->textcolorgiven = true;
    zecfgstr_transcolor(entries, start, &a->transcolor);
}

// ---- buttons --------------------------------------------------------------

int zecfgstr_hotkey(const char *name) {
    static const struct {
        const char *name;
        int code;
    } keys[] = {
        {"space", 32}, {"return", 10}, {"f1", 305}, {"f2", 306}, {"f3", 307}, {"f4", 308},
        {"f5", 309}, {"f6", 310}, {"f7", 311}, {"f8", 312}, {"f9", 313}, {"f10", 314},
        {"f11", 315}, {"f12", 316},
    };
    if (!name) name = "";
    if (name[0] && !name[1]) return (unsigned char)name[0];
    for (const auto &k : keys)
        if (zecfgstr_is(name, k.name)) return k.code;
    printf("complex hotkey not fully supported yet ! (zecfgstr_btnattr) \"%s\"\n", name);
    return 0;
}

static void set_hotkey(void *rec, const char *value, const char *) {
    zeBtnAttr *a = (zeBtnAttr *)rec;
    a->hotkey = zecfgstr_hotkey(value);
    a->hotkeymod = 0;
}

static void set_arrow(void *rec, int size) {
    zeBtnAttr *a = (zeBtnAttr *)rec;
    a->arrow = true;
    a->arrowsize = size;
}
static void arrow_normal(void *rec, const char *, const char *) { set_arrow(rec, ZEARROW_NORMAL); }
static void arrow_big(void *rec, const char *, const char *) { set_arrow(rec, ZEARROW_BIG); }
static void arrow_small(void *rec, const char *, const char *) { set_arrow(rec, ZEARROW_SMALL); }

#define BTN(field) offsetof(zeBtnAttr, field)
static const zeCfgKey btn_keys[] = {
    {"arrow", ZECFG_CALL, BTN(arrow), 0, arrow_normal},
    {"bigarrow", ZECFG_CALL, BTN(arrow), 0, arrow_big},
    {"smallarrow", ZECFG_CALL, BTN(arrow), 0, arrow_small},
    {"flat", ZECFG_ON, BTN(flat)},
    {"skip|nofocus", ZECFG_ON, BTN(nofocus)},
    {"default|defaultbutton", ZECFG_ON, BTN(isdefault)},
    {"mouserepeat", ZECFG_ON, BTN(mouserepeat)},
    {"singleborder|thinborder|singleframe|thinframe", ZECFG_ON, BTN(thinborder)},
    {"hyperlink|hyperlinkstyle|hlink|hlinkstyle|text|no3d|2d", ZECFG_ON, BTN(hyperlink)},
    {"switch|keeppressed", ZECFG_ON, BTN(isswitch)},
    {"toolbutton", ZECFG_ON, BTN(toolbutton)},
    {"pressed|checked|on", ZECFG_ON, BTN(pressed)},
    {"hotkey=", ZECFG_CALL, BTN(hotkey), 0, set_hotkey},
    {nullptr},
};
#undef BTN

void zecfgstr_btnattr(char **entries, int start, zeBtnAttr *a) {
    zecfgstr_match(entries, start, btn_keys, a);
}

// ---- lists ----------------------------------------------------------------

// Splits text at every "|" into a heap vector ended by NULL.
static char **split_items(const char *text, int *count) {
    int n = 1;
    for (const char *s = text; *s; s++) n += *s == '|';
    char **v = (char **)calloc(n + 1, sizeof(char *));
    if (!v) return nullptr;
    const char *s = text;
    for (int i = 0; i < n; i++) {
        size_t len = strcspn(s, "|");
        v[i] = (char *)malloc(len + 1);
        if (!v[i]) { // out of memory: the vector ends here
            *count = i;
            return v;
        }
        memcpy(v[i], s, len);
        v[i][len] = 0;
        s += len + (s[len] == '|');
    }
    *count = n;
    return v;
}

int zecfgstr_list(char **entries, int start, int kind, char ***items) {
    static const char *const keys[] = {
        nullptr,
        "entries=|contents=",
        "menus=|entries=",
        "tabs=|tabulators=",
    };
    if (items) *items = nullptr;
    if (kind < ZECFG_LIST_ENTRIES || kind > ZECFG_LIST_TABS) return 0;
    // The last matching entry wins.
    char raw[ZECFGSTR_ENTRYMAX + 1] = "";
    bool found = false;
    char copy[ZECFGSTR_ENTRYMAX + 1];
    for (int i = first_index(entries, start); entries && entries[i]; i++) {
        if (!entries[i][0]) continue;
        zecfgstr_squeeze(entries[i], copy, sizeof copy);
        if (!zecfgstr_match_keys(copy, keys[kind])) continue;
        snprintf(raw, sizeof raw, "%s", zecfgstr_value(entries[i]));
        zecfgstr_consume(entries[i]);
        found = true;
    }
    if (!found || !raw[0]) return 0;
    int count = 0;
    char **v = split_items(raw, &count);
    if (items) *items = v;
    else zecfgstr_split_release(v);
    return v ? count : 0;
}

bool zecfgstr_is_separator(const char *item) {
    return item && strcmp(item, "-") == 0;
}

// ---- check box, input line, editor, terminal ------------------------------

#define CHK(field) offsetof(zeCheckAttr, field)
static const zeCfgKey check_keys[] = {
    {"checked", ZECFG_ON, CHK(checked)},
    {"round", ZECFG_ON, CHK(round)},
    {"boxonly", ZECFG_ON, CHK(boxonly)},
    {"2d|no3d", ZECFG_ON, CHK(flat)},
    {"lightframe", ZECFG_ON, CHK(lightframe)},
    {nullptr},
};
#undef CHK

void zecfgstr_checkattr(char **entries, int start, zeCheckAttr *a) {
    zecfgstr_match(entries, start, check_keys, a);
}

static void set_deftext(void *rec, const char *value, const char *) {
    zeInputAttr *a = (zeInputAttr *)rec;
    snprintf(a->deftext, sizeof a->deftext, "%s", value);
    a->hasdefault = true;
}

#define INP(field) offsetof(zeInputAttr, field)
static const zeCfgKey input_keys[] = {
    {"maxlen=", ZECFG_INT, INP(maxlen)},
    {"default=", ZECFG_CALL, INP(deftext), 0, set_deftext},
    {"align=right|alignright|rightalign", ZECFG_ON, INP(alignright)},
    {"nofocusswitchwithenter|keepfocus", ZECFG_ON, INP(keepfocus)},
    {"password", ZECFG_ON, INP(password)},
    {nullptr},
};
#undef INP

void zecfgstr_inputattr(char **entries, int start, zeInputAttr *a) {
    zecfgstr_match(entries, start, input_keys, a);
}

#define EDT(field) offsetof(zeEditAttr, field)
static const zeCfgKey edit_keys[] = {
    {"lines=", ZECFG_INT, EDT(lines)},
    {"columns=", ZECFG_INT, EDT(columns)},
    {"tabspace=|tabs=", ZECFG_INT, EDT(tabspace)},
    {"colored", ZECFG_ON, EDT(colored)},
    {"showlinenumbers", ZECFG_ON, EDT(linenumbers)},
    {"autoindent", ZECFG_ON, EDT(autoindent)},
    {"wordbreak", ZECFG_ON, EDT(wordbreak)},
    {nullptr},
};
#undef EDT

void zecfgstr_editattr(char **entries, int start, zeEditAttr *a) {
    zecfgstr_match(entries, start, edit_keys, a);
}

#define TRM(field) offsetof(zeTermAttr, field)
static const zeCfgKey term_keys[] = {
    {"scrollback", ZECFG_SET, TRM(scrollback), 300},
    {"scrollback=", ZECFG_INT, TRM(scrollback)},
    {"lines=", ZECFG_INT, TRM(lines)},
    {"columns=", ZECFG_INT, TRM(columns)},
    {"logfile=", ZECFG_RAW, TRM(logfile), sizeof(((zeTermAttr *)0)->logfile)},
    {"wordbreak", ZECFG_ON, TRM(wordbreak)},
    {"cursor|cursor=on|cursor=1|cursoron", ZECFG_ON, TRM(cursor)},
    {"directdraw|drawdirect", ZECFG_ON, TRM(directdraw)},
    {"nostandardview", ZECFG_ON, TRM(nostandardview)},
    {nullptr},
};
#undef TRM

void zecfgstr_termattr(char **entries, int start, zeTermAttr *a) {
    zecfgstr_match(entries, start, term_keys, a);
}

// ---- up-down, slider, scroll bars, tab bar --------------------------------

static void updown_start(void *rec, const char *value, const char *) {
    zeUpDownAttr *a = (zeUpDownAttr *)rec;
    a->start = zecfgstr_int(value);
    a->hasstart = true;
}
static void updown_digits(void *rec, const char *value, const char *) {
    zeUpDownAttr *a = (zeUpDownAttr *)rec;
    a->digits = zecfgstr_int(value);
    a->hasdigits = true;
}
static void updown_decimals(void *rec, const char *value, const char *) {
    zeUpDownAttr *a = (zeUpDownAttr *)rec;
    a->decimals = zecfgstr_int(value);
    a->hasdecimals = true;
}

#define UPD(field) offsetof(zeUpDownAttr, field)
static const zeCfgKey updown_keys[] = {
    {"min=", ZECFG_INT, UPD(min)},
    {"max=", ZECFG_INT, UPD(max)},
    {"step=", ZECFG_INT, UPD(step)},
    {"default=|def=|start=", ZECFG_CALL, UPD(start), 0, updown_start},
    {"digits=", ZECFG_CALL, UPD(digits), 0, updown_digits},
    {"decimal=", ZECFG_CALL, UPD(decimals), 0, updown_decimals},
    {nullptr},
};
#undef UPD

void zecfgstr_updownattr(char **entries, int start, zeUpDownAttr *a) {
    zecfgstr_match(entries, start, updown_keys, a);
}

static void slider_start(void *rec, const char *value, const char *) {
    zeSliderAttr *a = (zeSliderAttr *)rec;
    a->start = zecfgstr_real(value);
    a->hasstart = true;
}

#define SLD(field) offsetof(zeSliderAttr, field)
static const zeCfgKey slider_keys[] = {
    {"min=", ZECFG_INT, SLD(min)},
    {"max=", ZECFG_INT, SLD(max)},
    {"step=", ZECFG_INT, SLD(step)},
    {"default=|def=|start=", ZECFG_CALL, SLD(start), 0, slider_start},
    {"digits=", ZECFG_INT, SLD(digits)},
    {"decimal=", ZECFG_INT, SLD(decimals)},
    {"showpos", ZECFG_ON, SLD(showpos), 0, nullptr, ZECFG_PREFIX},
    {nullptr},
};
#undef SLD

void zecfgstr_sliderattr(char **entries, int start, zeSliderAttr *a) {
    zecfgstr_match(entries, start, slider_keys, a);
}

struct ScrollFlags {
    bool vertical, horizontal;
};

void zecfgstr_scrollbars(char **entries, int start, bool *vertical, bool *horizontal) {
    static const zeCfgKey table[] = {
        {"noverticalscrollbar", ZECFG_OFF, offsetof(ScrollFlags, vertical)},
        {"nohorizontalscrollbar", ZECFG_OFF, offsetof(ScrollFlags, horizontal)},
        {nullptr},
    };
    ScrollFlags f = {true, true};
    zecfgstr_match(entries, start, table, &f);
    if (!f.vertical && vertical) *vertical = false;
    if (!f.horizontal && horizontal) *horizontal = false;
}

#define TAB(field) offsetof(zeTabAttr, field)
static const zeCfgKey tab_keys[] = {
    {"greystyle|graystyle|style=2|style2", ZECFG_SET, TAB(style), 2},
    {"autonumber=", ZECFG_INT, TAB(autonumber)},
    {nullptr},
};
#undef TAB

void zecfgstr_tabattr(char **entries, int start, zeTabAttr *a) {
    zecfgstr_match(entries, start, tab_keys, a);
}
