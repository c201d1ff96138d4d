// Formatting page texts: printf conversions over a list of typed arguments,
// so that a conversion without an argument, or with an argument of another
// type, cannot read what the caller never passed. Literal percent signs
// follow the option-string rule (zecfgstr_escape).
#include "zecfgstr.h"
#include "zepage.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { SPEC_MAX = 40, NUMBER_MAX = 10000 };

struct Out {
    char *buf;
    int size, len;
};

static void put(Out *o, const char *s, int n) {
    int room = o->size - 1 - o->len;
    if (n > room) n = room;
    if (n <= 0) return;
    memcpy(o->buf + o->len, s, n);
    o->len += n;
    o->buf[o->len] = 0;
}

// One conversion as written: flags, width, precision, length, letter.
struct Spec {
    char flags[8];
    int width, precision;     // -1: none
    bool widtharg, precarg;   // given by "*"
    char letter;
};

static int read_number(const char **s) {
    int v = 0;
    for (; **s >= '0' && **s <= '9'; (*s)++)
        if (v < NUMBER_MAX) v = v * 10 + (**s - '0');
    return v < NUMBER_MAX ? v : NUMBER_MAX;
}

// Parses after "%"; false when it is no conversion printf knows.
static bool parse_spec(const char **at, Spec *sp) {
    const char *s = *at;
    int nf = 0;
    while (*s && strchr("-+ #0'", *s) && nf < 7) sp->flags[nf++] = *s++;
    sp->flags[nf] = 0;
    sp->width = sp->precision = -1;
    sp->widtharg = sp->precarg = false;
    if (*s == '*') sp->widtharg = true, s++;
    else if (*s >= '0' && *s <= '9') sp->width = read_number(&s);
    if (*s == '.') {
        s++;
        if (*s == '*') sp->precarg = true, s++;
        else sp->precision = read_number(&s);
    }
    while (*s && strchr("hlqLjzt", *s)) s++;   // the argument's own type decides
    if (!*s || !strchr("diouxXeEfFgGaAcspn%", *s)) return false;
    sp->letter = *s++;
    *at = s;
    return true;
}

// A printf spec for one value: the written flags, width and precision with
// the given length and letter.
static void build_spec(char *out, const Spec *sp, const char *length, char letter) {
    int n = snprintf(out, SPEC_MAX, "%%%s", sp->flags);
    if (sp->width >= 0) n += snprintf(out + n, SPEC_MAX - n, "%d", sp->width);
    if (sp->precision >= 0) n += snprintf(out + n, SPEC_MAX - n, ".%d", sp->precision);
    snprintf(out + n, SPEC_MAX - n, "%s%c", length, letter);
}

static void fault(bool *told, const char *what, char letter) {
    if (*told) return;
    *told = true;
    printf("zepage_buildf: %%%c %s\n", letter, what);
}

static const zePageArg *next_arg(const zePageArg *args, int nargs, int *used) {
    return *used < nargs ? &args[(*used)++] : nullptr;
}

static long long as_signed(const zePageArg *a) {
    switch (a->type) {
    case zePageArg::INT: return a->i;
    case zePageArg::UINT: return (long long)a->u;
    case zePageArg::REAL: return a->d > 9e18 ? (long long)9e18 : a->d < -9e18 ? (long long)-9e18 : (long long)a->d;
    default: return 0;
    }
}

static double as_real(const zePageArg *a) {
    switch (a->type) {
    case zePageArg::INT: return (double)a->i;
    case zePageArg::UINT: return (double)a->u;
    case zePageArg::REAL: return a->d;
    default: return 0;
    }
}

// The value of one conversion into tmp; the argument is there.
static void convert(char *tmp, int size, const Spec *sp, const zePageArg *a, bool *told) {
    char spec[SPEC_MAX];
    char l = sp->letter;
    if (l == 's') {
        char number[64];
        const char *text = a->s ? a->s : "(null)";
        if (a->type == zePageArg::INT || a->type == zePageArg::UINT) {
            snprintf(number, sizeof number, "%lld", as_signed(a));
            text = number;
        } else if (a->type == zePageArg::REAL) {
            snprintf(number, sizeof number, "%g", a->d);
            text = number;
        } else if (a->type != zePageArg::TEXT) {
            fault(told, "given something that is no text", l);
            text = "";
        }
        build_spec(spec, sp, "", 's');
        snprintf(tmp, size, spec, text);
        return;
    }
    if (a->type == zePageArg::TEXT || a->type == zePageArg::POINTER) {
        if (l != 'p') {
            fault(told, "given a text or pointer", l);
            tmp[0] = 0;
            return;
        }
    }
    if (l == 'p') {
        build_spec(spec, sp, "", 'p');
        snprintf(tmp, size, spec, a->type == zePageArg::TEXT ? (const void *)a->s : a->p);
    } else if (strchr("di", l)) {
        build_spec(spec, sp, "ll", l);
        snprintf(tmp, size, spec, as_signed(a));
    } else if (strchr("ouxX", l)) {
        build_spec(spec, sp, "ll", l);
        snprintf(tmp, size, spec, (unsigned long long)as_signed(a));
    } else if (l == 'c') {
        build_spec(spec, sp, "", 'c');
        snprintf(tmp, size, spec, (int)(unsigned char)as_signed(a));
    } else {
        build_spec(spec, sp, "", l);
        snprintf(tmp, size, spec, as_real(a));
    }
}

int zepage_format(char *out, int outsize, const char *fmt, const zePageArg *args, int nargs) {
    if (outsize <= 0) return 0;
    out[0] = 0;
    char *esc = zecfgstr_escape(fmt);
    if (!esc) return 0;
    Out o = {out, outsize, 0};
    int used = 0;
    bool told = false;
    char tmp[NUMBER_MAX + 400];
    for (const char *s = esc; *s;) {
        const char *pct = strchr(s, '%');
        if (!pct) {
            put(&o, s, (int)strlen(s));
            break;
        }
        put(&o, s, (int)(pct - s));
        s = pct + 1;
        Spec sp;
        if (!parse_spec(&s, &sp)) {
            put(&o, "%", 1);   // not a conversion: as written
            continue;
        }
        if (sp.letter == '%') {
            put(&o, "%", 1);
            continue;
        }
        if (sp.widtharg) {
            const zePageArg *w = next_arg(args, nargs, &used);
            long long v = w ? as_signed(w) : 0;
            if (v < 0) v = -v, strncat(sp.flags, "-", sizeof sp.flags - strlen(sp.flags) - 1);
            sp.width = v > NUMBER_MAX ? NUMBER_MAX : (int)v;
        }
        if (sp.precarg) {
            const zePageArg *w = next_arg(args, nargs, &used);
            long long v = w ? as_signed(w) : -1;
            sp.precision = v < 0 ? -1 : v > NUMBER_MAX ? NUMBER_MAX : (int)v;
        }
        const zePageArg *a = next_arg(args, nargs, &used);
        if (sp.letter == 'n') {
            fault(&told, "is not allowed in a page text", 'n');
            continue;
        }
        if (!a) {
            fault(&told, "has no argument", sp.letter);
            continue;
        }
        convert(tmp, sizeof tmp, &sp, a, &told);
        put(&o, tmp, (int)strlen(tmp));
    }
    free(esc);
    return o.len;
}
