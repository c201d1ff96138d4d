// Embedded controls: the table of control kinds a page can create, how a
// control tag places its control at the cursor, and links.
//
// A kind's record may live in any file; the table below only lists them. A
// kind whose create function is null (its control is not part of the
// toolkit yet) is recognised and left out.
#include "zecfgstr.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zepage_internal.h"
#include "zebutton.h"
#include "zecheckbox.h"
#include "zecombobox.h"
#include "zeedit.h"
#include "zelineinput.h"
#include "zelistbox.h"
#include "zeprogress.h"
#include "zertfedit.h"
#include "zeslide.h"
#include "zetabbar.h"
#include "zeterminal.h"
#include "zeupdown.h"
#include "zeview.h"
#include <cstdio>
#include <cstring>
#include <strings.h>

// ---- the adapters: make, destroy and the by-name values of each kind ----------------
// Tags hold the options of controls that take no caption without one, so
// those controls get an empty text entry in front of them.

template <class T>
static T *made(T *control, bool ok) {
    if (ok) return control;
    delete control;
    return nullptr;
}

static void *button_create(const char *o) { zeButton *b = new zeButton; return made(b, zebutton_create(b, "%s", o)); }
static void button_destroy(void *c) { delete (zeButton *)c; }
static bool button_get(void *c, int *v) { *v = zebutton_is_pressed((zeButton *)c); return true; }
static bool button_set(void *c, int v) { zebutton_set_pressed((zeButton *)c, v != 0); return true; }
static int link_open(void *c) { return zebutton_open_link((zeButton *)c) ? 1 : 0; }

static void *switch_create(const char *o) {
    zeSwitchButton *b = new zeSwitchButton;
    return made(b, zeswitchbutton_create(b, "%s", o));
}
static void switch_destroy(void *c) { delete (zeSwitchButton *)c; }
static bool switch_get(void *c, int *v) { *v = zeswitchbutton_is_on((zeSwitchButton *)c); return true; }
static bool switch_set(void *c, int v) { zeswitchbutton_set_on((zeSwitchButton *)c, v != 0); return true; }

static void *check_create(const char *o) { zeCheckBox *b = new zeCheckBox; return made(b, zecheckbox_create(b, "%s", o)); }
static void check_destroy(void *c) { delete (zeCheckBox *)c; }
static bool check_get(void *c, int *v) { *v = zecheckbox_is_checked((zeCheckBox *)c); return true; }
static bool check_set(void *c, int v) { zecheckbox_set_checked((zeCheckBox *)c, v != 0); return true; }

static void *combo_create(const char *o) {
    zeComboBox *b = new zeComboBox();
    zecombobox_init(b);
    if (zecombobox_create(b, ",%s", o)) return b;
    zecombobox_release(b);
    delete b;
    return nullptr;
}
static void combo_destroy(void *c) {
    zecombobox_release((zeComboBox *)c);
    delete (zeComboBox *)c;
}
static bool combo_get(void *c, int *v) { *v = zecombobox_selected((zeComboBox *)c); return true; }
static bool combo_set(void *c, int v) { zecombobox_select((zeComboBox *)c, v); return true; }
static bool combo_text(void *c, char *buf, int size) { zecombobox_selected_text((zeComboBox *)c, buf, size); return true; }
static bool combo_select(void *c, const char *t) { zecombobox_select_text((zeComboBox *)c, t); return true; }

static void *list_create(const char *o) {
    zeListBox *b = new zeListBox();
    zelistbox_init(b);
    if (zelistbox_create(b, ",%s", o)) return b;
    zelistbox_release(b);
    delete b;
    return nullptr;
}
static void list_destroy(void *c) {
    zelistbox_release((zeListBox *)c);
    delete (zeListBox *)c;
}
static bool list_get(void *c, int *v) { *v = zelistbox_selected((zeListBox *)c); return true; }
static bool list_set(void *c, int v) { zelistbox_select((zeListBox *)c, v); return true; }
static bool list_text(void *c, char *buf, int size) {
    buf[0] = 0;
    zelistbox_selected_item((zeListBox *)c, buf, size);
    return true;
}

static void *line_create(const char *o) {
    zeLineInput *l = new zeLineInput();
    zelineinput_init(l);
    if (zelineinput_create(l, ",%s", o)) return l;
    zelineinput_destroy(l);
    delete l;
    return nullptr;
}
static void line_destroy(void *c) {
    zelineinput_destroy((zeLineInput *)c);
    delete (zeLineInput *)c;
}
static bool line_get(void *c, int *v) { *v = zecfgstr_int(zelineinput_text((zeLineInput *)c)); return true; }
static bool line_set(void *c, int v) { zelineinput_set_int((zeLineInput *)c, v); return true; }
static bool line_text(void *c, char *buf, int size) { zelineinput_get_text((zeLineInput *)c, buf, size); return true; }
static bool line_set_text(void *c, const char *t) { zelineinput_set_text((zeLineInput *)c, t); return true; }

static void *updown_create(const char *o) {
    zeUpDownControl *u = new zeUpDownControl;
    return made(u, zeupdown_create(u, ",%s", o));
}
static void updown_destroy(void *c) { delete (zeUpDownControl *)c; }
static bool updown_get(void *c, int *v) { *v = zecfgstr_int(zelineinput_text(&((zeUpDownControl *)c)->in)); return true; }
static bool updown_set(void *c, int v) { zeupdown_set_value((zeUpDownControl *)c, v); return true; }
static bool updown_text(void *c, char *buf, int size) { return line_text(&((zeUpDownControl *)c)->in, buf, size); }
static bool updown_set_text(void *c, const char *t) { return line_set_text(&((zeUpDownControl *)c)->in, t); }

static void *edit_create(const char *o) {
    zeEdit *e = new zeEdit();
    zeedit_init(e);
    if (zeedit_create(e, ",%s", o)) return e;
    zeedit_destroy(e);
    delete e;
    return nullptr;
}
static void edit_destroy(void *c) {
    zeedit_destroy((zeEdit *)c);
    delete (zeEdit *)c;
}
static bool edit_text(void *c, char *buf, int size) {
    buf[0] = 0;
    zeedit_get_text((zeEdit *)c, buf, size);
    return true;
}
static bool edit_set_text(void *c, const char *t) { zeedit_set_text((zeEdit *)c, t); return true; }

static void *slide_create(const char *o) { zeSlide *s = new zeSlide; return made(s, zeslide_create(s, ",%s", o)); }
static void slide_destroy(void *c) { delete (zeSlide *)c; }
static bool slide_get(void *c, int *v) { *v = (int)zeslide_value((zeSlide *)c); return true; }
static bool slide_set(void *c, int v) { zeslide_set_value((zeSlide *)c, v < 0 ? 0 : v > 100 ? 100 : v); return true; }
static bool slide_set_text(void *c, const char *t) { return slide_set(c, zecfgstr_int(t)); }

static void *progress_create(const char *o) {
    zeProgressBar *b = new zeProgressBar;
    return made(b, zeprogress_create(b, ",%s", o));
}
static void progress_destroy(void *c) { delete (zeProgressBar *)c; }
static bool progress_get(void *c, int *v) { *v = zeprogress_value((zeProgressBar *)c); return true; }
static bool progress_set(void *c, int v) { zeprogress_set_value((zeProgressBar *)c, v); return true; }

static void *tabbar_create(const char *o) { zeTabBar *b = new zeTabBar; return made(b, zetabbar_create(b, ",%s", o)); }
static void tabbar_destroy(void *c) { delete (zeTabBar *)c; }
static bool tabbar_get(void *c, int *v) { *v = zetabbar_selected((zeTabBar *)c); return true; }
static bool tabbar_set(void *c, int v) { zetabbar_select((zeTabBar *)c, v); return true; }

static void *rtf_create(const char *o) {
    zeRTFEdit *e = new zeRTFEdit();
    zertfedit_init(e);
    if (zertfedit_create(e, "%s", o)) return e;
    zertfedit_destroy(e);
    delete e;
    return nullptr;
}
static void rtf_destroy(void *c) {
    zertfedit_destroy((zeRTFEdit *)c);
    delete (zeRTFEdit *)c;
}
static bool rtf_text(void *c, char *buf, int size) { zertfedit_get_text((zeRTFEdit *)c, buf, size); return true; }
// Setting a rich-text editor's text adds it at the end, as its window did.
static bool rtf_set_text(void *c, const char *t) { zertfedit_append((zeRTFEdit *)c, t); return true; }

static void *view_create(const char *o) { zeView *v = new zeView; return made(v, zeview_create(v, ",%s", o)); }
static void view_destroy(void *c) { delete (zeView *)c; }

// ---- the kinds ----------------------------------------------------------------------

static const zePageKind kButton = {"button", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT,
                                   button_create, button_destroy, button_get, button_set};
static const zePageKind kSwitchButton = {"switchbutton", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_EVENT,
                                         switch_create, switch_destroy, switch_get, switch_set};
static const zePageKind kCheckBox = {"checkbox", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_EVENT,
                                     check_create, check_destroy, check_get, check_set};
static const zePageKind kComboBox = {"combobox", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT,
                                     combo_create, combo_destroy, combo_get, combo_set, combo_text, combo_select};
static const zePageKind kSlide = {"slide", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_EVENT, slide_create, slide_destroy,
                                  slide_get, slide_set, nullptr, slide_set_text};
static const zePageKind kLineInput = {"lineinput", 4, ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT | ZEPK_CHANGE,
                                      line_create, line_destroy, line_get, line_set, line_text, line_set_text};
static const zePageKind kUpDown = {"updowncontrol", 4, ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT,
                                   updown_create, updown_destroy, updown_get, updown_set, updown_text,
                                   updown_set_text};
static const zePageKind kEditor = {"editor", 4, ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_CHANGE,
                                   edit_create, edit_destroy, nullptr, nullptr, edit_text, edit_set_text};
static const zePageKind kProgressBar = {"progressbar", 4, 0, progress_create, progress_destroy, progress_get,
                                        progress_set};
static const zePageKind kListBox = {"listbox", 2,
                                    ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT | ZEPK_CHANGE,
                                    list_create, list_destroy, list_get, list_set, list_text};
static const zePageKind kTabBar = {"tabbar", 2, ZEPK_FONT | ZEPK_BLOCK | ZEPK_EVENT, tabbar_create, tabbar_destroy,
                                   tabbar_get, tabbar_set};
static const zePageKind kView = {"view", 2, ZEPK_FONT | ZEPK_BLOCK | ZEPK_NOSTD | ZEPK_EVENT, view_create,
                                 view_destroy};
static const zePageKind kRtfEditor = {"rtfeditor", 4, ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_CHANGE,
                                      rtf_create, rtf_destroy, nullptr, nullptr, rtf_text, rtf_set_text};
const zePageKind zepage_kind_link = {.name = "link",
                                     .placedy = 0,
                                     .flags = ZEPK_ENABLE | ZEPK_EVENT,
                                     .create = button_create,
                                     .destroy = button_destroy,
                                     .open = link_open};

// Kinds whose controls are not there yet.
#define ZEPAGE_MISSING(var, kindname, dy, kindflags) \
    static const zePageKind var = {.name = kindname, .placedy = dy, .flags = kindflags}

// A terminal in a page: its text is what is printed into it.
static void *terminal_create(const char *o) {
    zeTerminal *t = new zeTerminal;
    return made(t, zeterminal_create(t, ",%s", o));
}
static void terminal_destroy(void *c) { delete (zeTerminal *)c; }
static bool terminal_put(void *c, const char *text) {
    zeterminal_puts((zeTerminal *)c, text);
    return true;
}
static const zePageKind kTerminal = {"terminal", 2, ZEPK_BLOCK | ZEPK_NOSTD | ZEPK_GAP | ZEPK_EVENT, terminal_create,
                                     terminal_destroy, nullptr, nullptr, nullptr, terminal_put};

const zePageKind *const zepage_kinds[] = {
    &kButton, &kSwitchButton, &kCheckBox, &kComboBox, &kSlide,  &kLineInput, &kUpDown, &kProgressBar,
    &kListBox, &kEditor, &kRtfEditor, &kTabBar, &kView, &kTerminal, nullptr,
};

const zePageKind *zepage_kind(const char *name) {
    for (int i = 0; zepage_kinds[i]; i++)
        if (strcasecmp(zepage_kinds[i]->name, name) == 0) return zepage_kinds[i];
    return nullptr;
}

// ---- embedding ---------------------------------------------------------------------

static bool places_x(const char *rest) { return strncasecmp(rest, "x=", 2) == 0 || strcasestr(rest, ",x="); }

// A slot and a control for it, or -1 (the control could not be made: the
// slot is given back, which is safe because nothing was taken after it).
static int make(zeGUIScript *p, const zePageKind *k, const char *name, const char *options) {
    if (p->ncontrols >= ZEPAGE_CONTROLMAX) {
        if (p->ncontrols++ == ZEPAGE_CONTROLMAX)
            printf("zepage_build: more than %d controls, the rest are left out\n", ZEPAGE_CONTROLMAX);
        return -1;
    }
    int i = zepage_slot_take(p, name, k->name);
    if (i < 0) return -1;
    void *c = k->create(options);
    if (!c) {
        zePageSlot *s = &p->slots[i];
        s->inuse = false;
        return i;   // stays unused; lookups skip it
    }
    p->slots[i].control = c;
    p->slots[i].ops = k;
    p->ncontrols++;
    return i;
}

void zepage_embed(zeGUIScript *p, const zePageKind *k, const char *value) {
    if (!k->create) return;
    if (p->firsty == -1) p->firsty = p->y;
    char name[ZEPAGE_NAMESIZE];
    const char *rest = zepage_field(value, name, sizeof name);
    if (k->flags & ZEPK_FONT) zecontrol_set_default_font(p->font);
    int64_t y = (int64_t)p->y - k->placedy;
    const char *yoffs = (k->flags & ZEPK_YOFFS) ? strcasestr(rest, ",yoffs=") : nullptr;
    if (yoffs) y += zecfgstr_int(yoffs + 7);
    const char *nostd = (k->flags & ZEPK_NOSTD) ? ",nostandardview" : "";
    char options[ZECFGSTR_TEXTMAX + 1];
    if (places_x(rest)) snprintf(options, sizeof options, "%s,y=%d%s", rest, zepage_clamp(y), nostd);
    else snprintf(options, sizeof options, "%s,x=%d,y=%d%s", rest, p->x, zepage_clamp(y), nostd);
    int i = make(p, k, name, options);
    if (i < 0 || !p->slots[i].control) return;
    zeControl *c = (zeControl *)p->slots[i].control;
    if (!(k->flags & ZEPK_BLOCK)) {
        p->x = zepage_clamp((int64_t)c->x + c->w);
        return;
    }
    p->x = p->leftborder;
    p->y = zepage_clamp((int64_t)c->y + c->h + ((k->flags & ZEPK_GAP) ? 5 : 0));
}

void zepage_link(zeGUIScript *p, const char *value) {
    const zePageKind *k = &zepage_kind_link;
    if (!k->create) return;
    if (p->firsty == -1) p->firsty = p->y;
    char name[ZEPAGE_NAMESIZE], label[ZEPAGE_TAGMAX + 1];
    const char *rest = zepage_field(zepage_field(value, name, sizeof name), label, sizeof label);
    int w = zefont_text_width(p->font, label);
    if ((int64_t)p->x + w > zepage_right_limit(p)) zepage_newline(p, 0);
    char options[ZECFGSTR_TEXTMAX + 1];
    snprintf(options, sizeof options,
             "%s,x=%d,y=%d,hlink,fontid=%d,textcolor=%06x,transparentcolor=%06x,highlightcolor=%06x,"
             "activecolor=%06x,%s",
             label, p->x, p->y, p->font, p->linkcolor & 0xffffff, p->linkbackground & 0xffffff,
             p->linkhighlight & 0xffffff, p->linkactive & 0xffffff, rest);
    if (make(p, k, name, options) < 0) return;
    p->x = zepage_clamp((int64_t)p->x + w);
    zepage_pull_back(p);
}
