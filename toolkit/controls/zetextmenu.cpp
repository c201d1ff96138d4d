// The text controls' shared parts: language, right-button menu, clipboard text.
#include "zetextmenu.h"
#include "zecontrol.h"
#include "zepopupmenu.h"

static int g_language;

void zelanguage_set(int language) {
    if (language == 0 || language == 1) g_language = language;
}
int zelanguage_get(void) { return g_language; }

// The entries by language, with and without Cut and Copy, and what each means.
static const char *const kEntries[2][2][5] = {
    {{"Cut", "Copy", "Paste", "-", "Select All"}, {"Paste", "-", "Select All"}},
    {{"Ausschneiden", "Kopieren", "Einf\xfcgen", "-", "Alles markieren"}, {"Einf\xfcgen", "-", "Alles markieren"}},
};
static const int kCount[2] = {5, 3};
static const int kMeaning[2][5] = {
    {ZETEXTMENU_CUT, ZETEXTMENU_COPY, ZETEXTMENU_PASTE, ZETEXTMENU_NONE, ZETEXTMENU_SELECTALL},
    {ZETEXTMENU_PASTE, ZETEXTMENU_NONE, ZETEXTMENU_SELECTALL},
};

int zetextmenu_run(zeControl *c, int x, int y, bool cancopy) {
    int v = cancopy ? 0 : 1, n = kCount[v];
    const char *const *items = kEntries[g_language][v];
    std::string opts = "entries=";
    for (int i = 0; i < n; i++) opts += (i ? "|" : "") + std::string(items[i]);
    int w, h;
    zepopupmenu_size(items, n, c->font, &w, &h);
    // Centred on the click, at its height.
    int sx = (int)zecontrol_request(c, ZEREQ_ORIGINX) + x - w / 2;
    int sy = (int)zecontrol_request(c, ZEREQ_ORIGINY) + y;
    int r = zepopupmenu_owned(nullptr, nullptr, sx < 0 ? 0 : sx, sy < 0 ? 0 : sy, "%s,fontid=%d", opts.c_str(),
                              c->font);
    return r > 0 && r <= n ? kMeaning[v][r - 1] : ZETEXTMENU_NONE;
}

std::string zetext_clean(const char *text, size_t max, bool oneline) {
    std::string out;
    if (!text) return out;
    for (const unsigned char *p = (const unsigned char *)text; *p && out.size() < max; p++) {
        int ch = *p;
        if (ch == '\r') {
            if (p[1] == '\n') continue;
            ch = '\n';
        }
        if (ch == '\n' || ch == '\t') {
            out += oneline ? ' ' : (char)ch;
            continue;
        }
        if (ch < 32 || ch == 127) continue;
        out += (char)ch;
    }
    return out;
}
