// Option strings: escape, format, split, leftovers, the matching helpers and
// the table-driven matcher every family uses.
#include "zebase.h"
#include "zecfgstr.h"
#include "zecolor.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- escape, format, split ------------------------------------------------

// A "%" before one of these stays literal: no printf conversion starts so.
static bool literal_percent_before(unsigned char c) {
    return c < '0' || c == '>' || c > 127;
}

char *zecfgstr_escape(const char *fmt) {
    if (!fmt) fmt = "";
    size_t n = strlen(fmt);
    char *out = (char *)malloc(2 * n + 1);
    if (!out) return nullptr;
    size_t o = 0;
    for (size_t i = 0; i < n; i++) {
        out[o++] = fmt[i];
        // "%%" doubles both signs: two percent signs in a row print as two.
        if (fmt[i] == '%' && literal_percent_before((unsigned char)fmt[i + 1])) out[o++] = '%';
    }
    out[o] = 0;
    return out;
}

int zecfgstr_vformat(char *out, const char *fmt, va_list ap) {
    out[0] = 0;
    char *esc = zecfgstr_escape(fmt);
    if (!esc) return 0;
    int n = vsnprintf(out, ZECFGSTR_TEXTMAX + 1, esc, ap);
    free(esc);
    if (n < 0) {
        out[0] = 0;
        return 0;
    }
    return n > ZECFGSTR_TEXTMAX ? ZECFGSTR_TEXTMAX : n;
}

int zecfgstr_format(char *out, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = zecfgstr_vformat(out, fmt, ap);
    va_end(ap);
    return n;
}

// Length of the entry starting at s (up to the next comma or the end).
static size_t entry_len(const char *s, const char *end) {
    const char *c = (const char *)memchr(s, ',', end - s);
    return c ? (size_t)(c - s) : (size_t)(end - s);
}

// Entries in a text of n characters: one more than its commas, none when empty.
static size_t entry_count(const char *text, size_t n) {
    if (n == 0) return 0;
    size_t count = 1;
    for (size_t i = 0; i < n; i++) count += text[i] == ',';
    return count;
}

// The stored length of an entry: longer ones are cut.
static size_t entry_cut(size_t len) {
    return len > ZECFGSTR_ENTRYMAX ? ZECFGSTR_ENTRYMAX : len;
}

static size_t text_len(const char *text) {
    size_t n = 0;
    while (n < ZECFGSTR_TEXTMAX && text[n]) n++;
    return n;
}

char **zecfgstr_split(char *buf, const char *text) {
    // The pointer array must be aligned whatever the caller's buffer is.
    uintptr_t a = ((uintptr_t)buf + alignof(char *) - 1) & ~(uintptr_t)(alignof(char *) - 1);
    char **v = (char **)a;
    size_t room = ZECFGSTR_SPLITBUF - (a - (uintptr_t)buf);
    if (!text) text = "";
    size_t n = text_len(text);
    const char *end = text + n;
    size_t count = entry_count(text, n);
    // Keep as many entries as fit: pointers (plus the NULL entry) and texts.
    size_t keep = 0, textbytes = 0;
    const char *s = text;
    for (size_t i = 0; i < count; i++) {
        size_t len = entry_len(s, end);
        size_t cut = entry_cut(len);
        if ((keep + 2) * sizeof(char *) + textbytes + cut + 1 > room) break;
        textbytes += cut + 1;
        keep++;
        s += len + 1;
    }
    if (keep < count)
        printf("zecfgstr_split: too many entries, %d dropped\n", (int)(count - keep));
    char *t = (char *)(v + keep + 1);
    s = text;
    for (size_t i = 0; i < keep; i++) {
        size_t len = entry_len(s, end);
        size_t cut = entry_cut(len);
        memcpy(t, s, cut);
        t[cut] = 0;
        v[i] = t;
        t += cut + 1;
        s += len + 1;
    }
    v[keep] = nullptr;
    return v;
}

char **zecfgstr_split_alloc(const char *text) {
    if (!text) text = "";
    size_t n = text_len(text);
    const char *end = text + n;
    size_t count = entry_count(text, n);
    char **v = (char **)calloc(count + 1, sizeof(char *));
    if (!v) return nullptr;
    const char *s = text;
    for (size_t i = 0; i < count; i++) {
        size_t len = entry_len(s, end);
        size_t cut = entry_cut(len);
        v[i] = (char *)malloc(cut + 1);
        if (!v[i]) { // out of memory: the vector ends here
            v[i] = nullptr;
            break;
        }
        memcpy(v[i], s, cut);
        v[i][cut] = 0;
        s += len + 1;
    }
    return v;
}

void zecfgstr_split_release(char **entries) {
    if (!entries) return;
    for (char **e = entries; *e; e++) free(*e);
    free(entries);
}

char **zecfgstr_vparse(char *buf, const char *fmt, va_list ap) {
    char text[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(text, fmt, ap);
    return zecfgstr_split(buf, text);
}

char **zecfgstr_parse(char *buf, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char **v = zecfgstr_vparse(buf, fmt, ap);
    va_end(ap);
    return v;
}

char **zecfgstr_vparse_alloc(const char *fmt, va_list ap) {
    char text[ZECFGSTR_TEXTMAX + 1];
    zecfgstr_vformat(text, fmt, ap);
    return zecfgstr_split_alloc(text);
}

int zecfgstr_count(char **entries) {
    int n = 0;
    while (entries && entries[n]) n++;
    return n;
}

// Index of the first entry a family looks at: never before 0, never past the end.
static int first_index(char **entries, int start) {
    int n = zecfgstr_count(entries);
    if (start < 0) return 0;
    return start > n ? n : start;
}

int zecfgstr_leftovers(char **entries, int start, char *out, int outsize) {
    if (!out || outsize <= 0) return 0;
    out[0] = 0;
    int o = 0;
    for (int i = first_index(entries, start); entries && entries[i]; i++) {
        if (!entries[i][0]) continue;
        int room = outsize - 1 - o;
        if (room <= 0) break;
        int len = snprintf(out + o, room + 1, ",%s", entries[i]);
        o += len > room ? room : len;
    }
    return o;
}

// ---- matching helpers -----------------------------------------------------

static char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

void zecfgstr_squeeze(const char *entry, char *out, int outsize) {
    if (!out || outsize <= 0) return;
    int o = 0;
    for (const char *s = entry ? entry : ""; *s && o < outsize - 1; s++)
        if (*s != ' ' && *s != '\t') out[o++] = *s;
    out[o] = 0;
}

const char *zecfgstr_key(const char *s, const char *key) {
    if (!s || !key) return nullptr;
    for (; *key; s++, key++)
        if (lower(*s) != lower(*key)) return nullptr; // also stops at the end of s
    return s;
}

bool zecfgstr_is(const char *s, const char *word) {
    const char *rest = zecfgstr_key(s, word);
    return rest && !*rest;
}

int zecfgstr_int(const char *s) {
    if (!s) return 0;
    bool neg = false;
    if (*s == '+' || *s == '-') neg = *s++ == '-';
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        v = v * 10 + (*s - '0');
        if (v > 2147483647LL) v = 2147483647LL; // saturate, keep reading digits
    }
    return (int)(neg ? -v : v);
}

double zecfgstr_real(const char *s) {
    if (!s) return 0;
    const double cap = 1e9;
    bool neg = false;
    if (*s == '+' || *s == '-') neg = *s++ == '-';
    double v = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        v = v * 10 + (*s - '0');
        if (v > cap) v = cap;
    }
    if (*s == '.') {
        double f = 0.1;
        for (s++; *s >= '0' && *s <= '9'; s++, f /= 10) v += (*s - '0') * f;
        if (v > cap) v = cap;
    }
    return neg ? -v : v;
}

const char *zecfgstr_value(const char *entry) {
    if (!entry) return "";
    const char *eq = strchr(entry, '=');
    return eq ? eq + 1 : entry;
}

// ---- table-driven matcher -------------------------------------------------

// Tries the "|"-separated synonyms of keys on copy. Returns the value (the
// text after the key, "" for a whole match) or NULL.
static const char *match_row(const char *copy, const char *keys, int options) {
    char key[64];
    const char *k = keys;
    while (*k) {
        size_t len = strcspn(k, "|");
        if (len < sizeof key) {
            memcpy(key, k, len);
            key[len] = 0;
            const char *rest = zecfgstr_key(copy, key);
            bool prefix = (len > 0 && key[len - 1] == '=') || (options & ZECFG_PREFIX);
            if (rest && (prefix || !*rest)) return rest;
        }
        k += len;
        if (*k == '|') k++;
    }
    return nullptr;
}

const char *zecfgstr_match_keys(const char *s, const char *keys) {
    return s && keys ? match_row(s, keys, 0) : nullptr;
}

static void apply_row(const zeCfgKey *row, void *record, const char *value, const char *raw) {
    char *field = (char *)record + row->offset;
    switch (row->kind) {
    case ZECFG_ON: *(bool *)field = true; break;
    case ZECFG_OFF: *(bool *)field = false; break;
    case ZECFG_SET: *(int *)field = row->ival; break;
    case ZECFG_INT: *(int *)field = zecfgstr_int(value); break;
    case ZECFG_REAL: *(double *)field = zecfgstr_real(value); break;
    case ZECFG_COLOR: zecfgstr_color(value, (int *)field); break;
    case ZECFG_TEXT: zecopy_text(field, row->ival > 0 ? (size_t)row->ival : 0, value); break;
    case ZECFG_RAW: zecopy_text(field, row->ival > 0 ? (size_t)row->ival : 0, zecfgstr_value(raw)); break;
    case ZECFG_CALL:
        if (row->call) row->call(record, value, raw);
        break;
    default: break;
    }
}

int zecfgstr_match(char **entries, int start, const zeCfgKey *table, void *record,
                   bool firstwins) {
    if (!entries || !table) return 0;
    enum { MAXSET = 64 };
    size_t set[MAXSET];
    int nset = 0, consumed = 0;
    char copy[ZECFGSTR_ENTRYMAX + 1];
    for (int i = first_index(entries, start); entries[i]; i++) {
        if (!entries[i][0]) continue;
        zecfgstr_squeeze(entries[i], copy, sizeof copy);
        for (const zeCfgKey *row = table; row->keys; row++) {
            const char *value = match_row(copy, row->keys, row->options);
            if (!value) continue;
            bool already = false;
            for (int j = 0; j < nset; j++) already |= set[j] == row->offset;
            if (!(firstwins && already)) apply_row(row, record, value, entries[i]);
            if (firstwins && !already && nset < MAXSET) set[nset++] = row->offset;
            zecfgstr_consume(entries[i]);
            consumed++;
            break;
        }
    }
    return consumed;
}

// ---- generic lookups ------------------------------------------------------

bool zecfgstr_flag(char **entries, int start, const char *word, bool *flag) {
    if (!entries || !word) return false;
    bool found = false;
    char copy[ZECFGSTR_ENTRYMAX + 1];
    for (int i = first_index(entries, start); entries[i]; i++) {
        if (!entries[i][0]) continue;
        zecfgstr_squeeze(entries[i], copy, sizeof copy);
        if (!zecfgstr_is(copy, word)) continue;
        if (flag) *flag = true;
        zecfgstr_consume(entries[i]);
        found = true;
    }
    return found;
}

bool zecfgstr_rightalign(char **entries, int start, bool *right) {
    static const zeCfgKey table[] = {
        {"right|align=right|rightaligned", ZECFG_ON, 0},
        {nullptr},
    };
    bool r = false;
    if (!zecfgstr_match(entries, start, table, &r)) return false;
    if (right) *right = true;
    return true;
}

// Case-insensitive substring search.
static const char *find_ci(const char *text, const char *key) {
    if (!text || !key || !*key) return nullptr;
    for (const char *s = text; *s; s++)
        if (zecfgstr_key(s, key)) return s;
    return nullptr;
}

bool zecfgstr_find_flag(const char *text, const char *key) {
    return find_ci(text, key) != nullptr;
}

int zecfgstr_find_int(const char *text, const char *key) {
    char k[64];
    if (!key || strlen(key) > sizeof k - 2) return 0;
    snprintf(k, sizeof k, "%s=", key);
    const char *s = find_ci(text, k);
    return s ? zecfgstr_int(s + strlen(k)) : 0;
}

bool zecfgstr_find_text(const char *text, const char *key, char *out, int outsize) {
    if (out && outsize > 0) out[0] = 0;
    const char *s = find_ci(text, key);
    if (!s) return false;
    s += strlen(key);
    if (*s == '=') s++;
    int o = 0;
    for (; *s && *s != ','; s++)
        if (out && o < outsize - 1) out[o++] = lower(*s);
    if (out && outsize > 0) out[o] = 0;
    return true;
}
