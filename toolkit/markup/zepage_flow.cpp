// Word flow: text runs placed between the left border and the right limit,
// the font pair and its steps, and centred text.
#include "zefont.h"
#include "zegout.h"
#include "zepage_internal.h"
#include <cctype>
#include <cstdio>
#include <cstring>

int32_t zepage_clamp(int64_t v) {
    if (v > ZEPAGE_COORDMAX) return ZEPAGE_COORDMAX;
    if (v < -ZEPAGE_COORDMAX) return -ZEPAGE_COORDMAX;
    return (int32_t)v;
}

int zepage_out_width(void) { return zepage_clamp(zegraphic_width()); }
int zepage_out_height(void) { return zepage_clamp(zegraphic_height()); }
int zepage_right_limit(const zeGUIScript *p) { return zepage_clamp((int64_t)zepage_out_width() - p->rightmargin); }

void zepage_newline(zeGUIScript *p, int extra) {
    p->x = p->leftborder;
    p->y = zepage_clamp((int64_t)p->y + zefont_height(p->font) + extra);
}

void zepage_pull_back(zeGUIScript *p) {
    int limit = zepage_right_limit(p);
    if (p->x >= limit) p->x = limit - 1;
}

// Appends to a collecting buffer of size bytes; what does not fit is cut.
static void collect(char *buf, int32_t *len, int size, const char *run, int n) {
    if (!buf) return;
    int room = size - 1 - *len;
    if (n > room) n = room;
    if (n <= 0) return;
    memcpy(buf + *len, run, n);
    *len += n;
    buf[*len] = 0;
}

void zepage_text_run(zeGUIScript *p, char *run, int len) {
    if (p->firsty == -1) p->firsty = p->y;
    zegraphic_setfont(p->font);
    if (p->centring) return collect(p->centretext, &p->centrelen, ZEPAGE_CENTRESIZE, run, len);
    if (p->intable) return collect(p->tabletext, &p->tablelen, ZEPAGE_TABLETEXTSIZE, run, len);
    bool space = false, linebreak = false;
    if (len > 0) {
        char last = run[len - 1];
        if (last == ' ' || last == '\n' || last == '\r') run[--len] = 0;
        space = last == ' ', linebreak = last == '\n';
    }
    int w = zefont_text_width_n(p->font, run, len);
    if ((int64_t)p->x + w > zepage_right_limit(p)) zepage_newline(p, p->lineoffset);
    if (len > 0) zegraphic_text(p->x, p->y, p->textcolor, run);
    p->x = zepage_clamp((int64_t)p->x + w);
    if (space) p->x = zepage_clamp((int64_t)p->x + zefont_char_width(p->font, ' '));
    if (linebreak) zepage_newline(p, p->lineoffset);
    zepage_pull_back(p);
}

void zepage_text(zeGUIScript *p, const char *text) {
    char run[ZEPAGE_RUNMAX + 1];
    int n = snprintf(run, sizeof run, "%s", text);
    if (n > ZEPAGE_RUNMAX) n = ZEPAGE_RUNMAX;
    zepage_text_run(p, run, n);
}

// ---- fonts -------------------------------------------------------------------

void zepage_set_font(zeGUIScript *p, const char *name) {
    p->normalfont = zefont_from_name(name);
    char bold[ZEPAGE_FONTNAMESIZE];
    bool appended = !strstr(name, "var13");
    snprintf(bold, sizeof bold, "%s%s", name, appended ? "b" : "");
    // A face without a bold form keeps its normal one for "b".
    p->boldfont = appended ? zefont_resolve_name(bold) : p->normalfont;
    if (p->boldfont < 0) p->boldfont = p->normalfont;
    p->font = p->normalfont;
    if (p->fontname) snprintf(p->fontname, ZEPAGE_FONTNAMESIZE, "%s", bold);
}

struct FontStep {
    const char *contains, *big, *small;   // null: no change
};

static const FontStep kSteps[] = {
    {"arial12", "Arial14", nullptr},   {"arial14", "Arial16", "Arial12"}, {"arial16", "Arial18", "Arial14"},
    {"arial18", "Arial20", "Arial16"}, {"arial20", "Arial22", "Arial18"}, {"arial22", "Arial24", "Arial20"},
    {"arial24", "Arial26", "Arial22"}, {"arial26", nullptr, "Arial24"},   {"crnew12", "crnew14", nullptr},
    {"crnew14", "crnew16", "crnew12"}, {"crnew16", "crnew18", "crnew14"}, {"crnew18", "crnew20", "crnew16"},
    {"crnew20", "crnew22", "crnew18"}, {"crnew22", "crnew24", "crnew20"}, {"crnew24", "crnew26", "crnew22"},
    {"crnew26", nullptr, "crnew24"},
};

void zepage_step_font(zeGUIScript *p, bool up) {
    if (!p->fontname) return;
    char lower[ZEPAGE_FONTNAMESIZE];
    int i = 0;
    for (; p->fontname[i] && i < ZEPAGE_FONTNAMESIZE - 1; i++) lower[i] = (char)tolower((unsigned char)p->fontname[i]);
    lower[i] = 0;
    for (const FontStep &s : kSteps) {
        if (!strstr(lower, s.contains)) continue;
        const char *to = up ? s.big : s.small;
        if (to) zepage_set_font(p, to);
        return;
    }
}

// ---- centred text ------------------------------------------------------------

void zepage_centre_begin(zeGUIScript *p) {
    p->centring = true;
    p->centrelen = 0;
    if (p->centretext) p->centretext[0] = 0;
}

void zepage_centre_end(zeGUIScript *p) {
    p->centring = false;
    zegraphic_setfont(p->font);
    if (!p->centretext) return;
    const char *text = p->centretext;
    int w = zefont_text_width(p->font, text);
    int64_t x = ((int64_t)zepage_out_width() - p->rightmargin - p->leftborder - w) / 2 + p->leftborder;
    if (*text) zegraphic_text(zepage_clamp(x), p->y, p->textcolor, text);
    if (strchr(text, '\n')) p->y = zepage_clamp((int64_t)p->y + zefont_height(p->font) + p->lineoffset);
}
