// HTML help pages: the HTML subset converted into page markup.
#include "zehtml.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

struct Out {
    char *buf;
    size_t size, len;
    bool full;
};

struct Html {
    const char *s;
    size_t n, i;
    Out out;
    int fontsize;
    bool pre;
    int textcolor;
    int link, anchor;
    bool inlink;
    char target[ZEHTML_TAGMAX + 1];
    int linktext;                // characters of the open link's text so far
    int linkfont;                // font size when the link opened
    bool linkpre;
    bool bullets;
    int item;
};

// A piece is written whole or not at all, so that a cut never leaves half a
// tag to swallow what follows.
void put(Html *h, const char *text) {
    Out *o = &h->out;
    if (o->full) return;
    size_t n = strlen(text);
    if (o->len + n + 1 > o->size) {
        o->full = true;
        return;
    }
    memcpy(o->buf + o->len, text, n + 1);
    o->len += n;
}

void putc1(Html *h, char c) {
    char t[2] = {c, 0};
    put(h, t);
}

// The size is kept exact (so that every big has its small), but the tag
// names only sizes the toolkit has.
void font_tag(Html *h) {
    int size = h->fontsize < ZEHTML_FONTMIN ? ZEHTML_FONTMIN : h->fontsize > ZEHTML_FONTMAX ? ZEHTML_FONTMAX : h->fontsize;
    char t[40];
    snprintf(t, sizeof t, "<font=%s%d>", h->pre ? "crnew" : "arial", size);
    put(h, t);
}

void colour_tag(Html *h) {
    char t[40];
    snprintf(t, sizeof t, "<textcolor=%06x>", h->textcolor & 0xffffff);
    put(h, t);
}

bool begins(const char *s, const char *prefix) { return strncmp(s, prefix, strlen(prefix)) == 0; }

// ---- links --------------------------------------------------------------------

// A link's text is the label inside its tag: commas would split the tag and
// a lone ">" would end it, so commas go and ">" is doubled.
void link_char(Html *h, char c) {
    if (c == ',' || h->linktext >= ZEHTML_LINKTEXTMAX) return;
    if (c == '>') put(h, ">>");
    else putc1(h, c);
    h->linktext++;
}

void link_text(Html *h, const char *text) {
    for (; *text; text++) link_char(h, *text);
}

void close_link(Html *h) {
    if (!h->inlink) return;
    // An empty label would run the name into the options.
    if (h->linktext == 0) link_text(h, h->target[0] ? h->target : "link");
    if (h->target[0]) {
        put(h, ",url=");
        put(h, h->target);
    }
    put(h, ">");
    h->inlink = false;
    h->target[0] = 0;
    if (h->fontsize != h->linkfont || h->pre != h->linkpre) font_tag(h);
}

// The href value: after the first "=", without an opening quote, up to the
// closing quote (or, unquoted, the next blank). A comma would split the
// link's options, so it is written as "%2C".
void read_target(Html *h, const char *content) {
    const char *v = strstr(content, "href=");
    v = v ? v + 5 : strchr(content, '=') + 1;
    char quote = 0;
    if (*v == '"' || *v == '\'') quote = *v++;
    size_t n = 0;
    for (; *v && n + 3 < sizeof h->target; v++) {
        if (quote ? (*v == '"' || *v == '\'') : (*v == ' ')) break;
        if (*v == ',') {
            memcpy(h->target + n, "%2C", 3);
            n += 3;
        } else {
            h->target[n++] = *v;
        }
    }
    h->target[n] = 0;
}

void open_link(Html *h, const char *content) {
    close_link(h);
    char t[40];
    snprintf(t, sizeof t, "<link=htmllink_%03d,", h->link++);
    put(h, t);
    read_target(h, content);
    h->inlink = true;
    h->linktext = 0;
    h->linkfont = h->fontsize;
    h->linkpre = h->pre;
}

// ---- pictures -----------------------------------------------------------------

bool is_file(const char *name) {
    struct stat st;
    return stat(name, &st) == 0 && S_ISREG(st.st_mode);
}

void picture(Html *h, const char *content) {
    const char *v = strstr(content, "src=");
    if (!v) v = strstr(content, "SRC=");
    char name[ZEHTML_TAGMAX + 1] = "";
    size_t n = 0;
    if (v) {
        v += 4;
        if (*v == '"' || *v == '\'') v++;
        for (; *v && *v != '"' && *v != '\'' && *v != '>' && n < sizeof name - 1; v++) name[n++] = *v;
        name[n] = 0;
    }
    // Only the file's own extension goes; a dot in a folder name stays.
    char base[ZEHTML_TAGMAX + 8];
    snprintf(base, sizeof base, "%s", name);
    char *dot = strrchr(base, '.');
    char *slash = strrchr(base, '/');
    if (dot && (!slash || dot > slash)) *dot = 0;
    static const char *const kExt[] = {".pcx", ".bmp", ".xpm"};
    for (const char *ext : kExt) {
        char file[ZEHTML_TAGMAX + 16];
        snprintf(file, sizeof file, "%s%s", base, ext);
        if (!base[0] || !is_file(file)) continue;
        put(h, "<image=");
        put(h, file);
        put(h, ">");
        return;
    }
    put(h, "### Image not displayed: ");
    put(h, name);
    put(h, " ###\n");
}

// ---- tags ---------------------------------------------------------------------

void size_step(Html *h, int step) {
    h->fontsize += step;
    font_tag(h);
}

// The value of a layout comment: after the first "=", up to a blank or the
// comment's closing dashes.
void comment_value(Html *h, const char *content, const char *tag) {
    const char *v = strchr(content, '=') + 1;
    size_t n = 0;
    while (v[n] && v[n] != ' ' && v[n] != '>' && !begins(v + n, "--")) n++;
    char t[ZEHTML_TAGMAX + 20];
    snprintf(t, sizeof t, "%s%.*s>", tag, (int)n, v);
    put(h, t);
}

void comment(Html *h, const char *c) {
    if (begins(c, "!-- ysize=")) {
        char t[40];
        snprintf(t, sizeof t, "<ysize=%d>", atoi(strchr(c, '=') + 1));
        put(h, t);
        return;
    }
    static const char *const kForms[][2] = {
        {"!-- xsave=", "<xsave="}, {"!-- save=", "<save="}, {"!-- xrestore=", "<xrestore="},
        {"!-- restore=", "<restore="}, {"!-- xinc=", "<xinc="}, {"!-- yinc=", "<yinc="},
    };
    for (const auto &f : kForms) {
        if (!strstr(c, f[0])) continue;
        comment_value(h, c, f[1]);
        return;
    }
}

void span(Html *h, const char *c) {
    if (strstr(c, "bold;")) put(h, "<b>");
    const char *rgb = strstr(c, "color: rgb(");
    int r, g, b;
    if (!rgb || sscanf(rgb + 11, "%d,%d,%d", &r, &g, &b) != 3) return;
    auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    char t[40];
    snprintf(t, sizeof t, "<textcolor=%06x>", clamp(r) * 65536 + clamp(g) * 256 + clamp(b));
    put(h, t);
}

void font_colour(Html *h, const char *c) {
    const char *v = c + strlen("font color=") + 2;
    char t[40] = "<textcolor=";
    size_t n = strlen(t);
    for (int k = 0; k < 6 && strchr("0123456789abcdefABCDEF", *v) && *v; k++) t[n++] = *v++;
    t[n++] = '>';
    t[n] = 0;
    put(h, t);
}

void list_item(Html *h) {
    if (h->bullets) {
        put(h, "<bullet=1>    ");
        return;
    }
    char t[24];
    snprintf(t, sizeof t, "%d. ", h->item++);
    put(h, t);
}

// Tags that stand for themselves: content -> output.
struct Plain {
    const char *tag, *out;
};
const Plain kPlain[] = {
    {"br", "\n"},   {"br/", "\n"},  {"b", "<b>"},    {"/b", "</b>"}, {"center", "<center>"},
    {"/center", "</center>"}, {"/li", "\n"}, {"/ul", "\n"}, {"/ol", "\n"}, {"/h3", "\n\n"},
    {"/h4", "\n\n"}, {"/h5", "\n\n"},
};

// Inside a link only text may be written: the other tags keep their effect
// on the state but write nothing (a line break becomes a blank).
bool link_tag(Html *h, const char *c) {
    if (strcmp(c, "/a") == 0) {
        close_link(h);
        return true;
    }
    if (begins(c, "a ") && (strstr(c, "href=") || strstr(c, "name="))) return false;
    if (strcmp(c, "br") == 0 || begins(c, "br ") || strcmp(c, "br/") == 0) link_char(h, ' ');
    struct { const char *tag; int step; } steps[] = {{"big", 2}, {"small", -2}, {"h1", 4}, {"h2", 2}, {"/h1", -4}, {"/h2", -2}};
    for (const auto &s : steps)
        if (strcmp(c, s.tag) == 0) h->fontsize += s.step;
    if (strcmp(c, "pre") == 0) h->pre = true;
    if (strcmp(c, "/pre") == 0) h->pre = false;
    return true;
}

void tag(Html *h, const char *c) {
    if (h->inlink && link_tag(h, c)) return;
    for (const Plain &p : kPlain) {
        if (strcmp(c, p.tag) == 0) {
            put(h, p.out);
            return;
        }
    }
    if (begins(c, "br ")) put(h, "\n");
    else if (strstr(c, "!--")) comment(h, c);
    else if (begins(c, "span ")) span(h, c);
    else if (strcmp(c, "/span") == 0) put(h, "</b>"), colour_tag(h);
    else if (strcmp(c, "big") == 0) size_step(h, 2);
    else if (strcmp(c, "small") == 0) size_step(h, -2);
    else if (begins(c, "hr")) put(h, "<hline>");
    else if (strcmp(c, "pre") == 0) h->pre = true, font_tag(h);
    else if (strcmp(c, "/pre") == 0) h->pre = false, font_tag(h);
    else if (begins(c, "img ")) picture(h, c);
    else if (strcmp(c, "ul") == 0) put(h, "\n"), h->bullets = true;
    else if (strcmp(c, "ol") == 0) put(h, "\n"), h->bullets = false, h->item = 1;
    else if (strcmp(c, "li") == 0) list_item(h);
    else if (strcmp(c, "h1") == 0) size_step(h, 4), put(h, "<b>");
    else if (strcmp(c, "h2") == 0) size_step(h, 2), put(h, "<b>");
    else if (strcmp(c, "/h1") == 0) size_step(h, -4), put(h, "</b>\n\n");
    else if (strcmp(c, "/h2") == 0) size_step(h, -2), put(h, "</b>\n\n");
    else if (begins(c, "font color=\"#") || begins(c, "font color='#")) font_colour(h, c);
    else if (strcmp(c, "/font") == 0) colour_tag(h), put(h, "</b>");
    else if (begins(c, "a ") && strstr(c, "href=")) open_link(h, c);
    else if (begins(c, "a ") && strstr(c, "name=")) {
        close_link(h);
        char t[40];
        snprintf(t, sizeof t, "<save=htmlypos_%03d>", h->anchor++);
        put(h, t);
    }
}

// ---- reading ------------------------------------------------------------------

// After "<": the content up to ">", characters below 32 dropped (line feeds
// and tabs count as blanks, so that a tag written over two lines still
// reads). A comment runs to its "-->", so that a ">" inside it does not end
// it. Content beyond the limit is read but dropped.
void read_tag(Html *h, char *out) {
    size_t n = 0, all = 0;
    bool comment = false;
    char last = 0, before = 0;   // the last two characters read, kept or not
    while (h->i < h->n) {
        unsigned char c = (unsigned char)h->s[h->i++];
        if (c == '>' && (!comment || (all >= 5 && last == '-' && before == '-'))) break;
        if (c == '\n' || c == '\t') c = ' ';
        if (c < 32) continue;
        if (n < ZEHTML_TAGMAX) out[n++] = (char)c;
        before = last, last = (char)c;
        if (++all == 3) comment = memcmp(out, "!--", 3) == 0;
    }
    out[n] = 0;
}

struct Entity {
    const char *name, *out;
};
const Entity kEntities[] = {
    {"auml", "\xe4"}, {"ouml", "\xf6"}, {"uuml", "\xfc"}, {"Auml", "\xc4"}, {"Ouml", "\xd6"},
    {"Uuml", "\xdc"}, {"szlig", "\xdf"}, {"sect", "\xa7"}, {"amp", "&"},   {"micro", "\xb5"},
    {"lt", "<char=<>"}, {"gt", "<char=>>>"}, {"nbsp", " "},
};

// After "&". A name that is not letters and digits closed by ";" within a
// few characters is no entity: the "&" stays as text, as browsers show it,
// instead of swallowing the text (and tags) up to some later ";".
void entity(Html *h) {
    char name[12];
    size_t n = 0, i = h->i;
    while (i < h->n && n < sizeof name - 1) {
        char c = h->s[i];
        if (!(c == '#' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) break;
        name[n++] = c;
        i++;
    }
    name[n] = 0;
    if (i >= h->n || h->s[i] != ';') {
        h->inlink ? link_char(h, '&') : putc1(h, '&');
        return;
    }
    h->i = i + 1;
    for (const Entity &e : kEntities) {
        if (strcmp(name, e.name) != 0) continue;
        if (!h->inlink) put(h, e.out);
        else if (strcmp(name, "lt") == 0) link_char(h, '<');
        else if (strcmp(name, "gt") == 0) link_char(h, '>');
        else link_text(h, e.out);
        return;
    }
}

// Text up to the next "<".
void text(Html *h) {
    char prev = 0;   // the last character written in this piece
    while (h->i < h->n && h->s[h->i] != '<' && !h->out.full) {
        char c = h->s[h->i++];
        if (c == '&') {
            entity(h);
            prev = '&';
            continue;
        }
        if (c == '\n' && !(h->pre && !h->inlink)) {
            if (prev == 0 || prev == ' ') continue;
            c = ' ';
        } else if ((unsigned char)c < 32 && c != '\n') {
            continue;
        }
        prev = c;
        if (h->inlink) link_char(h, c);
        // A bare ">" right after a tag would join that tag's end.
        else if (c == '>') put(h, "<char=>>>");
        else putc1(h, c);
    }
}

// Skips to the body tag; takes the default text colour from it.
bool find_body(Html *h) {
    char c[ZEHTML_TAGMAX + 1];
    while (h->i < h->n) {
        if (h->s[h->i++] != '<') continue;
        read_tag(h, c);
        if (!begins(c, "body")) continue;
        const char *t = strstr(c, "text=");
        unsigned colour;
        if (t && (t[5] == '"' || t[5] == '\'') && t[6] == '#' && sscanf(t + 7, "%06x", &colour) == 1)
            h->textcolor = (int)(colour & 0xffffff);
        return true;
    }
    return false;
}

}  // namespace

bool zehtml_append_text(char *buf, size_t size, const char *html, size_t len, int first) {
    if (!buf || size == 0) return false;
    Html *h = (Html *)calloc(1, sizeof(Html));
    if (!h) return false;
    h->s = html ? html : "";
    h->n = html ? len : 0;
    size_t start = strnlen(buf, size);
    if (start == size) start = size - 1, buf[start] = 0;
    h->out = {buf, size, start, false};
    h->fontsize = 16;
    h->link = h->anchor = first;
    h->bullets = true;
    h->item = 1;
    font_tag(h);
    bool found = find_body(h);
    char c[ZEHTML_TAGMAX + 1];
    while (found && h->i < h->n && !h->out.full) {
        text(h);
        if (h->i >= h->n || h->out.full) break;
        h->i++;   // "<"
        read_tag(h, c);
        if (strcmp(c, "/body") == 0) break;
        tag(h, c);
    }
    bool cut = h->out.full;
    // A link left open is closed, so that it does not swallow the rest of the page.
    if (h->inlink) {
        h->out.full = false;
        close_link(h);
    }
    if (cut) printf("zehtml_append: the page buffer of %zu bytes is full, the help text is cut\n", size);
    free(h);
    return found;
}

bool zehtml_append(char *buf, size_t size, const char *filename, int first) {
    FILE *f = filename ? fopen(filename, "rb") : nullptr;
    if (!f) {
        printf("zehtml_append: cannot open %s\n", filename ? filename : "(null)");
        return false;
    }
    size_t cap = 1 << 16, len = 0;
    char *text = (char *)malloc(cap);
    size_t got;
    while (text && (got = fread(text + len, 1, cap - len, f)) > 0) {
        len += got;
        if (len < cap) continue;
        char *more = (char *)realloc(text, cap * 2);
        if (!more) break;
        text = more;
        cap *= 2;
    }
    fclose(f);
    if (!text) return false;
    bool ok = zehtml_append_text(buf, size, text, len, first);
    free(text);
    return ok;
}
