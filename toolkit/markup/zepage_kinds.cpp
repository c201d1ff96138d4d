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
#include "zeview.h"
#include <cstdio>
#include <cstring>
#include <strings.h>

// ---- views -----------------------------------------------------------------------

// A page's tag holds no caption: the view's own text stays empty.
static void *view_create(const char *options) {
    zeView *v = new zeView;
    if (zeview_create(v, ",%s", options)) return v;
    delete v;
    return nullptr;
}

static void view_destroy(void *c) { delete (zeView *)c; }

static const zePageKind kView = {.name = "view",
                                 .placedy = 2,
                                 .flags = ZEPK_FONT | ZEPK_BLOCK | ZEPK_NOSTD | ZEPK_EVENT,
                                 .create = view_create,
                                 .destroy = view_destroy};

// ---- kinds whose controls are not there yet ----------------------------------------

#define ZEPAGE_MISSING(var, kindname, dy, kindflags) \
    static const zePageKind var = {.name = kindname, .placedy = dy, .flags = kindflags}

ZEPAGE_MISSING(kButton, "button", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT);
ZEPAGE_MISSING(kSwitchButton, "switchbutton", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_EVENT);
ZEPAGE_MISSING(kCheckBox, "checkbox", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_EVENT);
ZEPAGE_MISSING(kComboBox, "combobox", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT);
ZEPAGE_MISSING(kSlide, "slide", 2, ZEPK_YOFFS | ZEPK_FONT | ZEPK_EVENT);
ZEPAGE_MISSING(kLineInput, "lineinput", 4, ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT | ZEPK_CHANGE);
ZEPAGE_MISSING(kUpDown, "updowncontrol", 4, ZEPK_FONT | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT);
ZEPAGE_MISSING(kProgressBar, "progressbar", 4, 0);
ZEPAGE_MISSING(kListBox, "listbox", 2, ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_EVENT | ZEPK_CHANGE);
ZEPAGE_MISSING(kEditor, "editor", 4, ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_CHANGE);
ZEPAGE_MISSING(kRtfEditor, "rtfeditor", 4, ZEPK_FONT | ZEPK_BLOCK | ZEPK_ENABLE | ZEPK_FOCUS | ZEPK_CHANGE);
ZEPAGE_MISSING(kTabBar, "tabbar", 2, ZEPK_FONT | ZEPK_BLOCK | ZEPK_EVENT);
ZEPAGE_MISSING(kTerminal, "terminal", 2, ZEPK_BLOCK | ZEPK_NOSTD | ZEPK_GAP | ZEPK_EVENT);
const zePageKind zepage_kind_link = {.name = "link", .placedy = 0, .flags = ZEPK_ENABLE | ZEPK_EVENT};

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
