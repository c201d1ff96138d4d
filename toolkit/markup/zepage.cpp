// The page's life: initialisation, building from a text or a format, and
// tearing the layout down again.
#include "zecontrol.h"
#include "zefont.h"
#include "zegout.h"
#include "zepage_internal.h"
#include "zescheme.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char *const kPagePairs[] = {"Arial14", "Arial14b", "Arial16", "Arial16b",
                                         "Arial18", "Arial18b", "Arial20", "Arial20b"};

zeGUIScript::zeGUIScript() {
    memset((void *)this, 0, sizeof *this);
    zepage_init(this);
}

zeGUIScript::~zeGUIScript() { zepage_destroy(this, 0); }

// The initial values of every build.
static void reset(zeGUIScript *p) {
    p->destroying = false;
    p->x = p->y = 10;
    p->leftborder = 10;
    p->rightmargin = 20;
    p->bottommargin = 10;
    p->normalfont = p->font = zefont_load_set("Arial16");
    p->boldfont = zefont_load_set("Arial16b");
    p->textcolor = 0x000000;
    p->bgcolor = 0xffffff;
    p->centring = false;
    p->firsty = -1;
    p->endy = 0;
    p->lineoffset = 0;
    p->linkcolor = 0x000080;
    p->linkbackground = 0xffffff;
    p->linkhighlight = 0x0000ff;
    p->linkactive = 0x800080;
    p->intable = false;
    p->tableslot = -1;
    p->table = zePageTableOptions{false, false, false, 20, 0, 0x808080, 10};
    p->centrelen = p->tablelen = 0;
}

void zepage_init(zeGUIScript *p) {
    zefont_init();
    for (const char *name : kPagePairs) zefont_load_set(name);
    p->built = false;
    p->centretext = p->tableline = p->tabletext = p->fontname = nullptr;
    p->slots = nullptr, p->nslots = 0, p->nused = p->ncontrols = 0;
    p->names = nullptr, p->nnames = 0;
    reset(p);
}

// ---- tear-down ----------------------------------------------------------------

static void free_buffers(zeGUIScript *p) {
    free(p->centretext);
    free(p->tableline);
    free(p->tabletext);
    free(p->fontname);
    p->centretext = p->tableline = p->tabletext = p->fontname = nullptr;
}

static void teardown(zeGUIScript *p, bool repaint) {
    if (!p->built) return;
    zepage_slots_free(p);
    free_buffers(p);
    if (repaint)
        zegraphic_fillrect(0, p->firsty, zepage_out_width(), zepage_clamp((int64_t)p->endy - p->firsty + 21),
                           p->bgcolor);
    p->built = false;
}

void zepage_clear(zeGUIScript *p) { teardown(p, true); }

void zepage_destroy(zeGUIScript *p, int flags) {
    if (!p) return;
    // Unlike a clear, the page's area is left as it is: its output may be
    // going away with it.
    p->destroying = true;
    teardown(p, false);
    p->destroying = false;
    if (flags & 1) delete p;
}

// ---- building -------------------------------------------------------------------

// What a build changes outside the page and puts back when it ends.
struct Surroundings {
    zeView *standard;
    zeHandler output;
    void *outputowner;
};

static bool begin(zeGUIScript *p, Surroundings *s) {
    zeview_set_building(true);
    zewindow_suspend_updates(true);
    teardown(p, true);
    reset(p);
    p->centretext = (char *)malloc(ZEPAGE_CENTRESIZE);
    p->tableline = (char *)malloc(ZEPAGE_TABLELINESIZE);
    p->tabletext = (char *)malloc(ZEPAGE_TABLETEXTSIZE);
    p->fontname = (char *)malloc(ZEPAGE_FONTNAMESIZE);
    if (!p->centretext || !p->tableline || !p->tabletext || !p->fontname) {
        printf("zepage_build: no memory for the page's buffers\n");
        free_buffers(p);
        return false;
    }
    p->centretext[0] = p->tableline[0] = p->tabletext[0] = 0;
    snprintf(p->fontname, ZEPAGE_FONTNAMESIZE, "Arial16");
    p->built = true;
    zepage_slots_reserve(p);
    s->standard = zeview_standard();
    s->output = zegout_handler();
    s->outputowner = zegout_owner();
    return true;
}

// The page becomes visible complete now: refreshes were held back.
static int end(zeGUIScript *p, const Surroundings *s) {
    p->endy = p->y;
    zecontrol_set_default_font(ZEFONT_DEFAULT);
    // A page that moved into one of its views ("standardview") leaves the
    // caller's view and output as they were.
    if (s->standard && zeview_standard() != s->standard) zeview_make_standard(s->standard);
    if (s->output) zegout_set(s->output, s->outputowner);
    zeview_set_building(false);
    zewindow_suspend_updates(false);
    zeview_flush();
    zegraphic_flush();
    return p->endy;
}

static void lay_out(zeGUIScript *p, const char *text) {
    char *token = (char *)malloc(ZEPAGE_RUNMAX + 1);
    if (!token) return;
    size_t pos = 0;
    int len, type;
    while ((type = zepage_token_next(text, &pos, token, &len)) != ZEPAGE_TOK_END) {
        if (type == ZEPAGE_TOK_TAG) zepage_tag(p, token, len);
        else zepage_text_run(p, token, len);
    }
    free(token);
}

int zepage_build(zeGUIScript *p, const char *text) {
    Surroundings s;
    if (!begin(p, &s)) return end(p, &s);
    zescheme_save();
    zescheme_select("grey");
    lay_out(p, text ? text : "");
    zescheme_restore();
    return end(p, &s);
}

int zepage_buildf_args(zeGUIScript *p, const char *fmt, const zePageArg *args, int nargs) {
    Surroundings s;
    if (!begin(p, &s)) return end(p, &s);
    // Nothing to lay out: the page holds nothing, so it is not built.
    if (!fmt || !*fmt) {
        teardown(p, false);
        end(p, &s);
        return 0;
    }
    size_t size = strlen(fmt) * 10 + 1000;
    if (size > (size_t)1 << 30) size = (size_t)1 << 30;
    char *text = (char *)malloc(size);
    if (text) {
        zescheme_save();
        zepage_format(text, (int)size, fmt, args, nargs);
        lay_out(p, text);
        zescheme_restore();
    }
    free(text);
    return end(p, &s);
}
