// Markup pages: a text with embedded tags laid out on the current graphic
// output. Words flow from left to right and wrap between the left border and
// the right margin; tags switch fonts and colours, move the cursor, draw
// rules, rectangles and pictures, and create live controls at the cursor.
// Every control a page creates is registered under the name written in its
// tag, so that the application can read, set, enable, disable and recognise
// it by name without keeping pointers to it.
//
// A page owns no window: the caller makes its window (or view) the standard
// view and current graphic output, then builds. Building again tears the old
// layout down first, so a page is rebuilt by building it again.
#pragma once
#include <cstdint>
#include <initializer_list>

struct zePixmap;
struct zePageKind;

enum {
    ZEPAGE_TAGMAX = 999,         // characters of one tag's content
    ZEPAGE_RUNMAX = 9999,        // characters of one text run
    ZEPAGE_NAMESIZE = 45,        // control and point names: 44 characters + zero
    ZEPAGE_KINDSIZE = 27,
    ZEPAGE_CENTRESIZE = 2000,    // bytes of the centre text, zero included
    ZEPAGE_TABLELINESIZE = 100000,
    ZEPAGE_TABLETEXTSIZE = 50000,
    ZEPAGE_FONTNAMESIZE = 1000,
    ZEPAGE_SLOTSTEP = 100,       // the registry starts with and grows by this many slots
    ZEPAGE_SLOTSPARE = 10,       // slots always free before a tag is processed
    ZEPAGE_COORDMAX = 1 << 24,   // cursor, borders and sizes are kept within +- this
    ZEPAGE_CONTROLMAX = 2000,    // controls one build creates at most
};

// One entry of the slot registry: a control the page created, or a point
// recorded by "save" / "xsave".
struct zePageSlot {
    bool inuse;
    void *control;               // the control object (begins with a zeControl); null for points
    int32_t coordinate;          // the recorded x or y of a point
    char name[ZEPAGE_NAMESIZE];
    char kind[ZEPAGE_KINDSIZE];  // "button", "listbox", ... "ypoint", "xpoint"
    const zePageKind *ops;       // how the kind is driven; null for points
    int32_t next;                // the next slot of the same name, -1
};

// Where the first and last slot of a name are (a hash index over the names,
// so that pages with thousands of points stay fast to build and query).
struct zePageNameIndex {
    int32_t first, last;         // -1 when the entry is empty
};

// Options of the table being collected (read by the table tags).
struct zePageTableOptions {
    bool frame3d, border, thickframe;
    int32_t lineheight;          // 20
    int32_t mincolwidth;         // 0 = none
    int32_t linecolor;           // 0x808080
    int32_t x;                   // the table's x
};

struct zeGUIScript {
    bool destroying;             // only while the page object itself is destroyed
    bool built;                  // holds a layout to tear down
    int32_t x, y;                // the layout cursor
    int32_t leftborder;          // x to which every new line returns
    int32_t rightmargin;         // right limit = output width - right margin
    int32_t bottommargin;
    int32_t font, normalfont, boldfont;
    int32_t textcolor, bgcolor;
    bool centring;
    char *centretext;
    char *tableline;
    char *tabletext;
    char *fontname;              // the current font pair's name; big and small step from it
    int32_t firsty;              // y of the first output of the build, -1 before
    int32_t endy;                // the page height after a build
    int32_t lineoffset;          // extra pixels of every line advance
    int32_t linkcolor, linkbackground, linkhighlight, linkactive;
    bool intable;
    int32_t tableslot;
    zePageTableOptions table;
    zePageSlot *slots;
    int32_t nslots;
    // Beyond the record: fill levels of the collecting buffers, the slots and
    // controls taken, and the name index.
    int32_t centrelen, tablelen;
    int32_t nused, ncontrols;
    zePageNameIndex *names;
    int32_t nnames;              // entries of the index, a power of two

    zeGUIScript();               // zepage_init
    ~zeGUIScript();              // zepage_destroy(page, 0)
    zeGUIScript(const zeGUIScript &) = delete;
    zeGUIScript &operator=(const zeGUIScript &) = delete;
};

// Initial values, the Arial pairs of 14 to 20 pixels loaded; not built.
void zepage_init(zeGUIScript *p);
// Lays out the text as it is and returns the end y (the page height).
int zepage_build(zeGUIScript *p, const char *text);
// Tears the layout down (controls destroyed) and paints its area with the
// background colour.
void zepage_clear(zeGUIScript *p);
// Tears the layout down without painting; frees a heap page (made with new)
// when the lowest bit of flags is set.
void zepage_destroy(zeGUIScript *p, int flags);

// ---- formatted builds -------------------------------------------------------

// One argument of zepage_buildf: what printf would take, with its type kept,
// so that a conversion without an argument or with one of another type is
// caught instead of reading past the arguments.
struct zePageArg {
    enum Type { NONE, INT, UINT, REAL, TEXT, POINTER } type;
    long long i;
    unsigned long long u;
    double d;
    const char *s;
    const void *p;
    zePageArg() : type(NONE), i(0), u(0), d(0), s(nullptr), p(nullptr) {}
    zePageArg(int v) : zePageArg() { type = INT, i = v; }
    zePageArg(long v) : zePageArg() { type = INT, i = v; }
    zePageArg(long long v) : zePageArg() { type = INT, i = v; }
    zePageArg(unsigned v) : zePageArg() { type = UINT, u = v; }
    zePageArg(unsigned long v) : zePageArg() { type = UINT, u = v; }
    zePageArg(unsigned long long v) : zePageArg() { type = UINT, u = v; }
    zePageArg(double v) : zePageArg() { type = REAL, d = v; }
    zePageArg(const char *v) : zePageArg() { type = TEXT, s = v; }
    zePageArg(const void *v) : zePageArg() { type = POINTER, p = v; }
};

// Formats the markup with the arguments, then lays it out. Every "%" before
// ">", before a character below "0" (end, blank, comma, line feed) or before
// a byte above 127 is a literal percent sign ("xs=100%," needs no escape);
// "%d", "%s", "%06x" and the like are conversions. A conversion without an
// argument prints nothing, one of another type is converted sensibly, and
// "%n" is refused; each such fault writes a line "zepage_buildf: ...". An
// empty format lays out nothing and returns 0.
int zepage_buildf_args(zeGUIScript *p, const char *fmt, const zePageArg *args, int nargs);
template <class... A>
int zepage_buildf(zeGUIScript *p, const char *fmt, A... a) {
    const zePageArg args[] = {zePageArg(a)..., zePageArg()};
    return zepage_buildf_args(p, fmt, args, (int)sizeof...(a));
}
// The formatting alone, into out (outsize bytes, cut to fit): the length.
int zepage_format(char *out, int outsize, const char *fmt, const zePageArg *args, int nargs);

// ---- in-memory pictures -------------------------------------------------------

// Page texts name in-memory pictures by number ("<image_xpm=%d>",
// "<memimage=%d>"). A picture gets its number here; the same picture always
// gets the same number. 0 when the table is full (64 each).
int zepage_xpm_handle(const char *const *xpm);
int zepage_pixmap_handle(zePixmap *pixmap);
// Forgets a pixmap's number (before the pixmap goes away).
void zepage_pixmap_forget(zePixmap *pixmap);
const char *const *zepage_xpm_of(int handle);
zePixmap *zepage_pixmap_of(int handle);

// ---- controls by name -------------------------------------------------------
// A name compares case-sensitively; the first slot in use of that name whose
// kind the operation handles answers, the others are skipped. A name no slot
// has gives 0, false or no effect.

// The control of the first slot of that name (null for points and unknown names).
void *zepage_find(zeGUIScript *p, const char *name);
int zepage_get_int(zeGUIScript *p, const char *name);
bool zepage_set_int(zeGUIScript *p, const char *name, int value);
// Copies the control's text into buf (size bytes, cut to fit).
bool zepage_get_text(zeGUIScript *p, const char *name, char *buf, int size);
bool zepage_set_text(zeGUIScript *p, const char *name, const char *text);
// Every slot of the name, not only the first.
void zepage_disable(zeGUIScript *p, const char *name);
void zepage_enable(zeGUIScript *p, const char *name);
bool zepage_focus(zeGUIScript *p, const char *name);
// The name of the control whose main (change) event id this is, into name
// (ZEPAGE_NAMESIZE bytes).
bool zepage_event_name(zeGUIScript *p, int id, char *name);
bool zepage_change_name(zeGUIScript *p, int id, char *name);
bool zepage_is_event(zeGUIScript *p, int id, const char *name);
bool zepage_is_change(zeGUIScript *p, int id, const char *name);
// Opens the link's target (its "url=" or else its label) with the desktop's
// default handler; 0 when no link has the name.
int zepage_open_link(zeGUIScript *p, const char *name);
