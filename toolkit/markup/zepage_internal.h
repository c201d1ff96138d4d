// What the page modules share: the tokeniser, the word flow, the tag and
// kind tables and the slot registry. Not for users of pages.
#pragma once
#include <cstddef>
#include <cstdint>
#include "zepage.h"

// ---- tokens (zepage_token.cpp) ---------------------------------------------

enum { ZEPAGE_TOK_END, ZEPAGE_TOK_TEXT, ZEPAGE_TOK_TAG };

// Reads the token at text[*pos] into out (ZEPAGE_RUNMAX + 1 bytes), zero-
// terminated, its length in *len; advances *pos. A tag's content is cut at
// ZEPAGE_TAGMAX characters (the rest up to its ">" is skipped), a run longer
// than ZEPAGE_RUNMAX goes on as the next run.
int zepage_token_next(const char *text, size_t *pos, char *out, int *len);

// The first field of a tag value into out (outsize bytes, cut to fit): up to
// a single comma, a line feed or the end; ",," stands for one comma. Returns
// where the rest begins (after the comma), or the end of the value.
const char *zepage_field(const char *value, char *out, int outsize);

// ---- word flow (zepage_flow.cpp) -------------------------------------------

int32_t zepage_clamp(int64_t v);
int zepage_out_width(void);
int zepage_out_height(void);
int zepage_right_limit(const zeGUIScript *p);
// Starts a new line: x = left border, y += font height + extra.
void zepage_newline(zeGUIScript *p, int extra);
// Pulls x back inside the right limit, as after a run.
void zepage_pull_back(zeGUIScript *p);
// One text run (len characters, zero-terminated in a writable buffer).
void zepage_text_run(zeGUIScript *p, char *run, int len);
// A run given as a constant text (notices the page writes itself).
void zepage_text(zeGUIScript *p, const char *text);
// "font" with NAME: sets the pair, the font and the font name.
void zepage_set_font(zeGUIScript *p, const char *name);
// "big" (up) and "small".
void zepage_step_font(zeGUIScript *p, bool up);
void zepage_centre_begin(zeGUIScript *p);
void zepage_centre_end(zeGUIScript *p);

// ---- tags (zepage_tags.cpp) ------------------------------------------------

struct zePageTag {
    const char *name;
    void (*run)(zeGUIScript *p, const char *value, const char *content);
};
// Processes one tag content (len characters, zero-terminated).
void zepage_tag(zeGUIScript *p, const char *content, int len);
// The first number of a value (0 without digits); with pct, a value holding
// "%" is that percentage of whole.
int zepage_number(const char *value, bool pct, int whole);

// The table tags: collecting the text and placing the table.
void zepage_tag_table(zeGUIScript *p, const char *value, const char *content);
void zepage_tag_endtable(zeGUIScript *p, const char *value, const char *content);

// ---- embedded controls (zepage_kinds.cpp) ----------------------------------

enum {
    ZEPK_YOFFS = 1,        // ",yoffs=" moves it
    ZEPK_FONT = 2,         // takes the page's font
    ZEPK_BLOCK = 4,        // text resumes below it, at the left border
    ZEPK_NOSTD = 8,        // made with "nostandardview"
    ZEPK_GAP = 16,         // 5 pixels more below it
    // Operations that handle the kind (beyond its value functions).
    ZEPK_ENABLE = 32,      // zepage_enable, zepage_disable
    ZEPK_FOCUS = 64,       // zepage_focus
    ZEPK_EVENT = 128,      // zepage_event_name: its main event id
    ZEPK_CHANGE = 256,     // zepage_change_name: its change event id
};

// One kind of control a page can embed. A null create means the control is
// not available: its tags are recognised and left out.
struct zePageKind {
    const char *name;      // tag name and slot kind
    int placedy;           // placement y = cursor y - this
    int flags;
    void *(*create)(const char *options);   // the control object, or null
    void (*destroy)(void *control);
    // By-name operations; null: the kind is skipped by that operation.
    bool (*get_int)(void *control, int *value);
    bool (*set_int)(void *control, int value);
    bool (*get_text)(void *control, char *buf, int size);
    bool (*set_text)(void *control, const char *text);
    // Opens a link's target (links only): 1 when it was handed on.
    int (*open)(void *control);
};

// The kind of that tag name (any letter case), or null.
const zePageKind *zepage_kind(const char *name);
// The kinds, null-terminated.
extern const zePageKind *const zepage_kinds[];
// Creates the control of an embedding tag at the cursor.
void zepage_embed(zeGUIScript *p, const zePageKind *k, const char *value);
// The hyperlink of a "link" tag.
void zepage_link(zeGUIScript *p, const char *value);
// The link kind (a button drawn as a link), or null while buttons are missing.
extern const zePageKind zepage_kind_link;

// ---- slots (zepage_slots.cpp) ----------------------------------------------

// Grows the registry when fewer than ZEPAGE_SLOTSPARE slots are free.
void zepage_slots_reserve(zeGUIScript *p);
// Takes the first free slot for name and kind; its index, or -1.
int zepage_slot_take(zeGUIScript *p, const char *name, const char *kind);
// Slots in use.
int zepage_slots_used(const zeGUIScript *p);
// The first slot in use of that name, or -1; slots[i].next leads to the
// next one of the same name.
int zepage_slot_find(const zeGUIScript *p, const char *name);
// Destroys every control and frees the registry.
void zepage_slots_free(zeGUIScript *p);
