// The font table: loading font descriptions, the builtin fonts and sets,
// resolving font arguments and names, metrics and glyphs.
#include "zefont.h"
#include "zebase.h"
#include "zefont_codes.h"
#include "zefont_data.h"
#include "zecfgstr_families.h"
#include "zeevent.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Records are allocated one by one and never move, so a pointer from
// zefont_get stays valid while its font is loaded.
zeFont **table;
int ntable, captable;
int last_id = -1, last_index = -1;   // the last id resolved
int index_default = -1, index_variable = -1;
bool initialised;

const char *const builtin_order[] = {
    "builtin 6x13", "builtin 6x13 bold", "builtin 12x24", "builtin 5x7",
    "builtin 8x8", "builtin 6x8", "builtin 8x16", "builtin 8x16 bold",
    "builtin 9x15", "builtin 9x15 bold", "builtin variable 13", nullptr,
};

// Limits that keep a malformed description from asking for absurd memory.
const int MAX_GLYPH_SIDE = 2048;
const long MAX_GLYPH_BYTES = 64L << 20;

zeFont *new_record(void) {
    for (int i = 0; i < ntable; i++)
        if (!table[i]->used) return table[i];
    if (ntable == captable) {
        int cap = captable ? captable * 2 : 32;
        zeFont **t = (zeFont **)realloc(table, cap * sizeof *t);
        if (!t) return nullptr;
        table = t;
        captable = cap;
    }
    zeFont *f = (zeFont *)calloc(1, sizeof *f);
    if (!f) return nullptr;
    table[ntable++] = f;
    return f;
}

bool starts(const char *s, const char *key) { return strncmp(s, key, strlen(key)) == 0; }

// A decimal number, saturated at the int range: a huge value must not wrap
// round to a small plausible one ("ysize=4294967298" is not 2).
int32_t number(const char *s) {
    long long v = strtoll(s, nullptr, 10);
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v;
}

// Reads n numbers: the first after "=", each further one after the next space.
void read_numbers(const char *item, int32_t *out, int n) {
    const char *p = strchr(item, '=');
    p = p ? p + 1 : item;
    for (int i = 0; i < n; i++) {
        out[i] = number(p);
        p = strchr(p, ' ');
        if (!p) {
            for (int j = i + 1; j < n; j++) out[j] = 0;
            return;
        }
        p++;
    }
}

int value(const char *item) { return number(strchr(item, '=') + 1); }

struct Header {
    zeFont f;
    bool hexrows;
    const char *propxs, *propoffsets;
    int data;   // index of the "data:" item
};

// The header items up to "data:"; each recognised key sets its field.
bool parse_header(const char *const *desc, int n, Header *h) {
    memset(h, 0, sizeof *h);
    h->data = -1;
    for (int i = 0; i < n; i++) {
        const char *s = desc[i];
        if (!s) break;
        if (starts(s, "data:")) {
            h->data = i;
            break;
        }
        zeFont &f = h->f;
        if (starts(s, "name=")) zecopy_text(f.shortname, sizeof f.shortname, s + 5);
        else if (starts(s, "monospace")) f.spacing = ZEFONT_MONOSPACE;
        else if (starts(s, "proportional")) f.spacing = ZEFONT_PROPORTIONAL;
        else if (starts(s, "xsize=")) f.cellwidth = value(s);
        else if (starts(s, "ysize=")) f.height = value(s);
        else if (starts(s, "chars=")) f.described = value(s);
        else if (starts(s, "ascent=")) f.ascent = value(s);
        else if (starts(s, "descent=")) f.descent = value(s);
        else if (starts(s, "slant=")) f.slant = value(s);
        else if (starts(s, "weight=")) f.weight = value(s);
        else if (starts(s, "width=")) f.width = value(s);
        else if (starts(s, "pts=")) f.points = value(s);
        else if (starts(s, "foundry=")) zecopy_text(f.foundry, sizeof f.foundry, s + 8);
        else if (starts(s, "propxs=")) h->propxs = s;
        else if (starts(s, "propdataoffset=")) h->propoffsets = s;
        else if (starts(s, "rowformat=hex")) h->hexrows = true;
    }
    return h->data >= 0;
}

int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// Glyph rows after "data:": height items of "*" (set) and "." per character,
// or, with "rowformat=hex", one item per character holding all its rows as
// hex digits (leftmost pixel in the top bit).
bool read_rows(const char *const *desc, int n, int first, zeFont *f, bool hexrows) {
    int item = first;
    long pos = 0;
    for (int c = 0; c < f->described; c++) {
        int w = f->widths[c];
        if (hexrows) {
            if (item >= n || !desc[item]) return false;
            const char *s = desc[item++];
            size_t len = strlen(s);
            int digits = (w + 3) / 4;
            for (int y = 0; y < f->height; y++)
                for (int x = 0; x < w; x++) {
                    size_t k = (size_t)y * digits + x / 4;
                    int v = k < len ? hexdigit(s[k]) : 0;
                    f->data[pos++] = (v >> (3 - (x & 3))) & 1;
                }
            continue;
        }
        for (int y = 0; y < f->height; y++) {
            if (item >= n || !desc[item]) return false;
            const char *s = desc[item++];
            size_t len = strlen(s);
            for (int x = 0; x < w; x++) f->data[pos++] = (size_t)x < len && s[x] == '*';
        }
    }
    return true;
}

// Checks what a description promises before any memory is sized from it.
bool plausible(const Header &h, long *size) {
    const zeFont &f = h.f;
    if (f.height <= 0 || f.height > MAX_GLYPH_SIDE || f.described <= 0 || !h.propxs) return false;
    long total = 0;
    for (int c = 0; c < f.described; c++) {
        if (f.widths[c] < 0 || f.widths[c] > MAX_GLYPH_SIDE) return false;
        total += (long)f.widths[c] * f.height;
    }
    if (total > MAX_GLYPH_BYTES) return false;
    *size = total;
    return true;
}

int count_items(const char *const *desc, int nitems) {
    if (nitems >= 0) return nitems;
    int n = 0;
    while (desc[n]) n++;
    return n;
}

int find_index(const char *regname) {
    for (int i = 0; i < ntable; i++)
        if (table[i]->used && strcmp(table[i]->name, regname) == 0) return i;
    return -1;
}

const zeFontData *builtin_data(const char *regname) {
    for (const zeFontData *d = zefont_builtin_data; d->desc; d++)
        if (strcmp(d->name, regname) == 0) return d;
    return nullptr;
}

// Index of a builtin font, loaded on first use; the cache survives as long
// as the record still holds that font.
int builtin_index(int *cache, const char *regname) {
    if (*cache >= 0 && *cache < ntable && table[*cache]->used && strcmp(table[*cache]->name, regname) == 0)
        return *cache;
    *cache = find_index(regname);
    if (*cache < 0 && zefont_load_builtin(regname) >= 0) *cache = find_index(regname);
    return *cache;
}

struct Alias {
    const char *value, *regname;
};
// The builtin names of "font=".
const Alias aliases[] = {
    {"6x13", "builtin 6x13"}, {"6x13b", "builtin 6x13 bold"}, {"6x13bold", "builtin 6x13 bold"},
    {"9x15", "builtin 9x15"}, {"9x15b", "builtin 9x15 bold"}, {"9x15bold", "builtin 9x15 bold"},
    {"8x16", "builtin 8x16"}, {"8x16b", "builtin 8x16 bold"}, {"8x16bold", "builtin 8x16 bold"},
    {"12x24", "builtin 12x24"}, {"5x7", "builtin 5x7"}, {"8x8", "builtin 8x8"},
    {"6x8", "builtin 6x8"}, {"var13", "builtin variable 13"}, {"variable13", "builtin variable 13"},
    {"13var", "builtin variable 13"}, {"13variable", "builtin variable 13"},
};

}  // namespace

// ---- loading ----------------------------------------------------------------

int zefont_load(const char *const *desc, int nitems, const char *regname) {
    if (!desc) return -1;
    int n = count_items(desc, nitems);
    if (regname && *regname && zefont_find(regname) >= 0) return zefont_find(regname);
    Header *h = (Header *)calloc(1, sizeof *h);
    if (!h) return -1;
    long size = 0;
    bool ok = parse_header(desc, n, h);
    if (ok) {
        int described = h->f.described;
        if (described > ZEFONT_CHARS) described = h->f.described = ZEFONT_CHARS;
        if (h->propxs && described > 0) read_numbers(h->propxs, h->f.widths, described);
        ok = plausible(*h, &size);
    }
    const char *name = regname && *regname ? regname : h->f.shortname;
    if (!ok || !*name) {
        printf("zefont_load: malformed font description %s\n", name);
        free(h);
        return -1;
    }
    int existing = zefont_find(name);
    if (existing >= 0) {
        free(h);
        return existing;
    }
    uint8_t *data = (uint8_t *)malloc(size > 0 ? size : 1);
    h->f.data = data;
    if (!data || !read_rows(desc, n, h->data + 1, &h->f, h->hexrows)) {
        printf("zefont_load: incomplete font description %s\n", name);
        free(data);
        free(h);
        return -1;
    }
    // Offsets must describe the data just read; they are recomputed when a
    // description gives none or ones that point outside the glyph data.
    bool offsets_ok = h->propoffsets != nullptr;
    if (offsets_ok) read_numbers(h->propoffsets, h->f.offsets, h->f.described);
    for (int c = 0; offsets_ok && c < h->f.described; c++)
        offsets_ok = h->f.offsets[c] >= 0 && (long)h->f.offsets[c] + (long)h->f.widths[c] * h->f.height <= size;
    if (!offsets_ok) {
        long pos = 0;
        for (int c = 0; c < h->f.described; c++) {
            h->f.offsets[c] = (int32_t)pos;
            pos += (long)h->f.widths[c] * h->f.height;
        }
    }
    zecopy_text(h->f.name, sizeof h->f.name, name);
    if (!h->f.spacing) h->f.spacing = ZEFONT_MONOSPACE;
    int id = zefont_register(&h->f);
    free(h);
    return id;
}

int zefont_register(const zeFont *record) {
    zeFont *f = new_record();
    if (!f) {
        free(record->data);
        return -1;
    }
    *f = *record;
    f->nchars = ZEFONT_CHARS;
    f->id = zeevent_newid();
    f->used = 1;
    return f->id;
}

int zefont_load_builtin(const char *regname) {
    int id = zefont_find(regname);
    if (id >= 0) return id;
    const zeFontData *d = regname ? builtin_data(regname) : nullptr;
    if (!d) return -1;
    return zefont_load(d->desc, -1, d->name);
}

int zefont_load_builtins(void) {
    int loaded = 0;
    for (int i = 0; builtin_order[i]; i++)
        if (zefont_load_builtin(builtin_order[i]) >= 0) loaded++;
    return loaded;
}

int zefont_load_set(const char *shortname) {
    if (!shortname) return -1;
    for (const zeFontData *d = zefont_set_data; d->desc; d++) {
        if (strcasecmp(d->name, shortname) != 0) continue;
        int id = zefont_find(d->name);
        return id >= 0 ? id : zefont_load(d->desc, -1, d->name);
    }
    return -1;
}

const char *const *zefont_set_names(void) {
    static const char *names[128];
    if (!names[0]) {
        int n = 0;
        for (const zeFontData *d = zefont_set_data; d->desc && n < 127; d++) names[n++] = d->name;
    }
    return names;
}

const char *const *zefont_builtin_names(void) { return builtin_order; }

// ---- finding ----------------------------------------------------------------

int zefont_resolve(int font) {
    if (font == ZEFONT_DEFAULT || font == ZEFONT_DEFAULT2) return builtin_index(&index_default, "builtin 6x13");
    if (font == ZEFONT_VARIABLE) return builtin_index(&index_variable, "builtin variable 13");
    if (font > 999999) {
        if (font == last_id && last_index < ntable && table[last_index]->used && table[last_index]->id == font)
            return last_index;
        for (int i = 0; i < ntable; i++)
            if (table[i]->used && table[i]->id == font) {
                last_id = font;
                last_index = i;
                return i;
            }
        return -1;
    }
    if (font >= 0 && font < ntable && table[font]->used) return font;
    return -1;
}

const zeFont *zefont_get(int font) {
    int i = zefont_resolve(font);
    return i >= 0 ? table[i] : nullptr;
}

int zefont_find(const char *regname) {
    if (!regname) return -1;
    int i = find_index(regname);
    return i >= 0 ? table[i]->id : -1;
}

int zefont_find_short(const char *shortname) {
    if (!shortname) return -1;
    for (int i = 0; i < ntable; i++)
        if (table[i]->used && strcasecmp(table[i]->shortname, shortname) == 0) return table[i]->id;
    return -1;
}

int zefont_resolve_name(const char *name) {
    if (!name || !*name) return -1;
    int id = zefont_find(name);
    if (id < 0) id = zefont_load_builtin(name);
    if (id < 0) id = zefont_find_short(name);
    if (id < 0) id = zefont_load_set(name);
    if (id < 0)
        for (int i = 0; i < ntable && id < 0; i++)
            if (table[i]->used && strcasecmp(table[i]->name, name) == 0) id = table[i]->id;
    return id;
}

int zefont_from_name(const char *value) {
    if (!value) value = "";
    const char *name = value;
    for (const Alias &a : aliases)
        if (strcasecmp(a.value, value) == 0) name = a.regname;
    int id = zefont_resolve_name(name);
    if (id < 0) printf("font not loaded/found: %s\n", value);
    return id;
}

// ---- release ----------------------------------------------------------------

void zefont_release(int font) {
    int i = zefont_resolve(font);
    if (i < 0) return;
    free(table[i]->data);
    memset(table[i], 0, sizeof *table[i]);
}

void zefont_cleanup(void) {
    for (int i = 0; i < ntable; i++) {
        free(table[i]->data);
        free(table[i]);
    }
    free(table);
    table = nullptr;
    ntable = captable = 0;
    last_id = last_index = index_default = index_variable = -1;
}

int zefont_table_size(void) { return ntable; }

void zefont_init(void) {
    zefont_load_builtins();
    zefont_draw_install_hooks();
    zecfgstr_set_font_resolver(zefont_resolve_name);
    if (!initialised) zeonexit(zefont_cleanup);
    initialised = true;
}

// ---- metrics ----------------------------------------------------------------

int zefont_text_width_n(int font, const char *text, int n) {
    int i = zefont_resolve(font);
    if (i < 0 || !text) return 0;
    const int32_t *w = table[i]->widths;
    int sum = 0;
    for (int k = 0; k < n && text[k]; k++) {
        unsigned c = (unsigned char)text[k];
        if (c >= ZEFONT_FIRST) sum += w[c - ZEFONT_FIRST];
    }
    return sum;
}

int zefont_text_width(int font, const char *text) {
    int i = zefont_resolve(font);
    if (i < 0 || !text) return 0;
    const int32_t *w = table[i]->widths;
    int sum = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (*p >= ZEFONT_FIRST) sum += w[*p - ZEFONT_FIRST];
    return sum;
}

int zefont_height(int font) {
    const zeFont *f = zefont_get(font);
    return f ? f->height : 0;
}

int zefont_ascent(int font) {
    const zeFont *f = zefont_get(font);
    return f ? f->ascent : 0;
}

int zefont_descent(int font) {
    const zeFont *f = zefont_get(font);
    return f ? f->descent : 0;
}

int zefont_char_width(int font, int ch) {
    const zeFont *f = zefont_get(font);
    ch &= 0xFF;
    if (!f || ch < ZEFONT_FIRST) return 0;
    return f->widths[ch - ZEFONT_FIRST];
}

bool zefont_glyph(int font, int ch, zeGlyph *g) {
    *g = {nullptr, 0, 0};
    const zeFont *f = zefont_get(font);
    if (!f || ch < ZEFONT_FIRST || ch >= 255 || ch - ZEFONT_FIRST >= f->described) return false;
    int c = ch - ZEFONT_FIRST;
    g->pixels = f->data + f->offsets[c];
    g->width = f->widths[c];
    g->height = f->height;
    return true;
}

int zefont_unicode(int code) { return zefont_codepoint(code); }
