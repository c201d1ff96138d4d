// The markup tokeniser: tags, text runs and the fields of tag values.
#include "zepage_internal.h"
#include <cstring>

// A run ends after one of these (the character stays in the run).
static bool breaks_run(unsigned char c) {
    switch (c) {
    case '\n': case '\r': case ' ': case '!': case ',': case '-': case '.': case ':': case ';': case '?':
        return true;
    }
    return false;
}

// After "<": everything up to the first ">" that no second ">" follows;
// ">>" is one literal ">". Content beyond the limit is read but dropped.
static void read_tag(const char *text, size_t *pos, char *out, int *len) {
    size_t i = *pos;
    int n = 0;
    for (;;) {
        char c = text[i];
        if (!c) break;
        if (c == '>') {
            if (text[i + 1] != '>') {
                i++;
                break;
            }
            i++;   // ">>": keep one
        }
        if (n < ZEPAGE_TAGMAX) out[n++] = c;
        i++;
    }
    out[n] = 0;
    *len = n;
    *pos = i;
}

static void read_run(const char *text, size_t *pos, char *out, int *len) {
    size_t i = *pos;
    int n = 0;
    while (text[i] && text[i] != '<' && n < ZEPAGE_RUNMAX) {
        char c = text[i++];
        out[n++] = c;
        if (breaks_run((unsigned char)c)) break;
    }
    out[n] = 0;
    *len = n;
    *pos = i;
}

int zepage_token_next(const char *text, size_t *pos, char *out, int *len) {
    *len = 0;
    out[0] = 0;
    if (!text || !text[*pos]) return ZEPAGE_TOK_END;
    if (text[*pos] == '<') {
        (*pos)++;
        read_tag(text, pos, out, len);
        return ZEPAGE_TOK_TAG;
    }
    read_run(text, pos, out, len);
    return ZEPAGE_TOK_TEXT;
}

const char *zepage_field(const char *value, char *out, int outsize) {
    const char *s = value;
    int n = 0;
    while (*s && *s != '\n') {
        if (*s == ',') {
            if (s[1] != ',') break;
            s++;   // ",,": one literal comma
        }
        if (n < outsize - 1) out[n++] = *s;
        s++;
    }
    if (outsize > 0) out[n] = 0;
    if (*s == ',' || *s == '\n') s++;
    return s;
}
