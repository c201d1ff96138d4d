// The slot registry: every control and named point of a page under its name.
// Slots are taken in order and only released all together at tear-down, so
// the first free slot is always the one after the last taken. A hash index
// leads from a name to its first and last slot; slots of one name are
// chained in registry order.
#include "zepage_internal.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

static uint32_t hash(const char *s) {
    uint32_t h = 2166136261u;
    for (; *s; s++) h = (h ^ (unsigned char)*s) * 16777619u;
    return h;
}

// The index entry of a name: its own or the empty one where it would go.
static zePageNameIndex *entry(const zeGUIScript *p, const char *name) {
    uint32_t mask = (uint32_t)p->nnames - 1;
    for (uint32_t i = hash(name) & mask;; i = (i + 1) & mask) {
        zePageNameIndex *e = &p->names[i];
        if (e->first < 0 || strcmp(p->slots[e->first].name, name) == 0) return e;
    }
}

static void index_slot(zeGUIScript *p, int i) {
    zePageNameIndex *e = entry(p, p->slots[i].name);
    p->slots[i].next = -1;
    if (e->first < 0) e->first = i;
    else p->slots[e->last].next = i;
    e->last = i;
}

// An index of at least twice as many entries as slots, so probes stay short.
static bool reindex(zeGUIScript *p) {
    int n = 16;
    while (n < 2 * p->nslots) n *= 2;
    zePageNameIndex *names = (zePageNameIndex *)malloc(sizeof *names * n);
    if (!names) return false;
    for (int i = 0; i < n; i++) names[i].first = names[i].last = -1;
    free(p->names);
    p->names = names, p->nnames = n;
    for (int i = 0; i < p->nused; i++) index_slot(p, i);
    return true;
}

static bool grow(zeGUIScript *p) {
    int n = p->nslots + ZEPAGE_SLOTSTEP;
    zePageSlot *s = (zePageSlot *)realloc(p->slots, sizeof *s * n);
    if (!s) {
        printf("zepage: no memory for %d slots\n", n);
        return false;
    }
    memset(s + p->nslots, 0, sizeof *s * ZEPAGE_SLOTSTEP);
    p->slots = s, p->nslots = n;
    if (2 * n > p->nnames && !reindex(p)) return false;
    return true;
}

void zepage_slots_reserve(zeGUIScript *p) {
    if (p->nused > p->nslots - ZEPAGE_SLOTSPARE || !p->names) grow(p);
}

int zepage_slot_take(zeGUIScript *p, const char *name, const char *kind) {
    if ((p->nused >= p->nslots || !p->names) && !grow(p)) return -1;
    int i = p->nused++;
    zePageSlot *s = &p->slots[i];
    memset(s, 0, sizeof *s);
    s->inuse = true;
    snprintf(s->name, sizeof s->name, "%s", name);
    snprintf(s->kind, sizeof s->kind, "%s", kind);
    index_slot(p, i);
    return i;
}

int zepage_slots_used(const zeGUIScript *p) { return p->nused; }

int zepage_slot_find(const zeGUIScript *p, const char *name) {
    if (!p->names || !name) return -1;
    return entry(p, name)->first;
}

void zepage_slots_free(zeGUIScript *p) {
    for (int i = 0; i < p->nused; i++) {
        zePageSlot *s = &p->slots[i];
        if (s->inuse && s->control && s->ops && s->ops->destroy) s->ops->destroy(s->control);
        s->control = nullptr;
        s->inuse = false;
    }
    free(p->slots);
    free(p->names);
    p->slots = nullptr, p->names = nullptr;
    p->nslots = p->nnames = p->nused = p->ncontrols = 0;
}
