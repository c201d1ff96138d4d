// Page controls by name: find, read, set, enable, disable and focus the
// controls of a page through their names, and tell which control an event
// id belongs to. Every operation forwards to the kind's own function; a kind
// without that function is skipped and the search goes on.
#include "zecfgstr.h"
#include "zecontrol.h"
#include "zepage_internal.h"
#include <cstdio>
#include <cstring>

// The slots of a name in registry order: for (int i = first(p, name); i >= 0; i = next(p, i)).
static int first(const zeGUIScript *p, const char *name) {
    int i = zepage_slot_find(p, name);
    while (i >= 0 && !p->slots[i].inuse) i = p->slots[i].next;
    return i;
}

static int next(const zeGUIScript *p, int i) {
    i = p->slots[i].next;
    while (i >= 0 && !p->slots[i].inuse) i = p->slots[i].next;
    return i;
}

static bool is_point(const zePageSlot *s) { return !s->ops && (!strcmp(s->kind, "ypoint") || !strcmp(s->kind, "xpoint")); }

static zeControl *control(const zePageSlot *s) { return s->ops ? (zeControl *)s->control : nullptr; }

void *zepage_find(zeGUIScript *p, const char *name) {
    int i = first(p, name);
    return i >= 0 ? p->slots[i].control : nullptr;
}

int zepage_get_int(zeGUIScript *p, const char *name) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        const zePageSlot *s = &p->slots[i];
        if (is_point(s)) return s->coordinate;
        int v = 0;
        if (control(s) && s->ops->get_int && s->ops->get_int(s->control, &v)) return v;
    }
    return 0;
}

bool zepage_set_int(zeGUIScript *p, const char *name, int value) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        const zePageSlot *s = &p->slots[i];
        if (control(s) && s->ops->set_int && s->ops->set_int(s->control, value)) return true;
    }
    return false;
}

bool zepage_get_text(zeGUIScript *p, const char *name, char *buf, int size) {
    if (!buf || size <= 0) return false;
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        const zePageSlot *s = &p->slots[i];
        if (control(s) && s->ops->get_text && s->ops->get_text(s->control, buf, size)) return true;
    }
    return false;
}

bool zepage_set_text(zeGUIScript *p, const char *name, const char *text) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        const zePageSlot *s = &p->slots[i];
        if (control(s) && s->ops->set_text && s->ops->set_text(s->control, text ? text : "")) return true;
    }
    return false;
}

static void set_grey(zeGUIScript *p, const char *name, bool grey) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        zeControl *c = control(&p->slots[i]);
        if (!c || !(p->slots[i].ops->flags & ZEPK_ENABLE)) continue;
        if (grey) zecontrol_set_grey(c);
        else zecontrol_clear_grey(c);
    }
}

void zepage_disable(zeGUIScript *p, const char *name) { set_grey(p, name, true); }
void zepage_enable(zeGUIScript *p, const char *name) { set_grey(p, name, false); }

bool zepage_focus(zeGUIScript *p, const char *name) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        zeControl *c = control(&p->slots[i]);
        if (!c || !(p->slots[i].ops->flags & ZEPK_FOCUS)) continue;
        zecontrol_ask_focus(c);
        return true;
    }
    return false;
}

// The first slot of the kinds marked so whose event id at index idx is id.
static const zePageSlot *by_event(const zeGUIScript *p, int id, int flag, int idx) {
    for (int i = 0; i < p->nused; i++) {
        const zePageSlot *s = &p->slots[i];
        zeControl *c = s->inuse ? control(s) : nullptr;
        if (c && (s->ops->flags & flag) && c->ids[idx] == id) return s;
    }
    return nullptr;
}

static bool copy_name(const zePageSlot *s, char *name) {
    if (!s) return false;
    if (name) memcpy(name, s->name, ZEPAGE_NAMESIZE);
    return true;
}

// The change event is the fifteenth id of a control.
enum { CHANGE_ID = 14 };

bool zepage_event_name(zeGUIScript *p, int id, char *name) { return copy_name(by_event(p, id, ZEPK_EVENT, 0), name); }
bool zepage_change_name(zeGUIScript *p, int id, char *name) {
    return copy_name(by_event(p, id, ZEPK_CHANGE, CHANGE_ID), name);
}

bool zepage_is_event(zeGUIScript *p, int id, const char *name) {
    const zePageSlot *s = by_event(p, id, ZEPK_EVENT, 0);
    return s && name && strcmp(s->name, name) == 0;
}

bool zepage_is_change(zeGUIScript *p, int id, const char *name) {
    const zePageSlot *s = by_event(p, id, ZEPK_CHANGE, CHANGE_ID);
    return s && name && strcmp(s->name, name) == 0;
}

int zepage_open_link(zeGUIScript *p, const char *name) {
    for (int i = first(p, name); i >= 0; i = next(p, i)) {
        const zePageSlot *s = &p->slots[i];
        if (!control(s) || strcmp(s->kind, "link") != 0) continue;
        return s->ops->open ? s->ops->open(s->control) : 0;
    }
    return 0;
}
