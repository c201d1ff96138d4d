// Tables in pages: between "table" and "/table" the text runs are collected
// instead of drawn; at "/table" the text becomes a table control placed at
// the table's x and the cursor y, and the cursor moves below it.
//
// One line per row, cells separated by commas (",," is a comma in a cell),
// attributes after "#", rule lines starting with "-". The table takes a slot
// of kind "table" under its name; every control in a cell takes a slot of
// its own kind named "TABLE.COLUMN.ROW" (counted from 0), so the page's
// operations by name read, set and recognise it like any other control.
#include "zecfgstr.h"
#include "zecolor.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zepage_internal.h"
#include "zetable.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

enum { LINEHEIGHT = 20, LINECOLOR = 0x808080, MINWIDTH = 20, LENGTHMAX = 100000 };

static void table_destroy(void *control) {
    zeTable *t = (zeTable *)control;
    zetable_release(t);
    delete t;
}

// The table slot: no by-name value of its own (the cells have their slots).
static const zePageKind kTable = {"table", 0, 0, nullptr, table_destroy};

// The cell kinds: the page's own kinds, but the table owns the controls.
static const zePageKind *cell_kind(int type) {
    static const char *const names[] = {nullptr, "checkbox", "lineinput", "combobox", "button"};
    static zePageKind kinds[5];
    static bool made[5];
    if (type < 1 || type > 4) return nullptr;
    if (!made[type]) {
        const zePageKind *k = zepage_kind(names[type]);
        if (!k) return nullptr;
        kinds[type] = *k;
        kinds[type].destroy = nullptr;
        made[type] = true;
    }
    return &kinds[type];
}

static int bounded(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// The number after key anywhere in text; false when absent.
static bool find_number(const char *text, const char *key, int *value) {
    const char *at = strcasestr(text, key);
    if (!at) return false;
    *value = zecfgstr_int(at + strlen(key));
    return true;
}

void zepage_tag_table(zeGUIScript *p, const char *value, const char *) {
    char name[ZEPAGE_NAMESIZE];
    const char *rest = zepage_field(value ? value : "", name, sizeof name);
    zePageTableOptions *o = &p->table;
    o->frame3d = strcasestr(rest, "3dframe") != nullptr;
    o->border = strcasestr(rest, "border") != nullptr;
    o->thickframe = strcasestr(rest, "thickframe") != nullptr;
    o->lineheight = LINEHEIGHT, o->mincolwidth = 0, o->linecolor = LINECOLOR, o->x = p->x;
    int v;
    if (find_number(rest, "lineheight=", &v)) o->lineheight = bounded(v, 0, 1000);
    if (find_number(rest, "mincolwidth=", &v)) o->mincolwidth = bounded(v, 0, 10000);
    if (find_number(rest, "x=", &v)) o->x = zepage_clamp(v);
    const char *colour = strcasestr(rest, "linecolor=");
    if (colour) {
        char text[64];
        zepage_field(colour, text, sizeof text);
        zecfgstr_color(text, &o->linecolor);
    }
    p->tableslot = -1;
    zeTable *t = new zeTable;
    zetable_init(t);
    int slot = zepage_slot_take(p, name, "table");
    if (slot < 0) {
        delete t;
    } else {
        p->slots[slot].control = t;
        p->slots[slot].ops = &kTable;
        p->tableslot = slot;
    }
    p->intable = true;
    p->tablelen = 0;
    if (p->tabletext) p->tabletext[0] = 0;
}

// ----- reading the text -----

// The next line of the text into the page's line buffer (cut to fit);
// false at the end.
static bool next_line(zeGUIScript *p, const char **pos, char **line) {
    const char *s = *pos;
    if (!*s) return false;
    const char *end = strchr(s, '\n');
    size_t n = end ? (size_t)(end - s) : strlen(s);
    size_t keep = n < ZEPAGE_TABLELINESIZE - 1 ? n : ZEPAGE_TABLELINESIZE - 1;
    memcpy(p->tableline, s, keep);
    if (keep > 0 && p->tableline[keep - 1] == '\r') keep--;
    p->tableline[keep] = 0;
    *line = p->tableline;
    *pos = end ? end + 1 : s + n;
    return true;
}

// 1 + the commas that are neither first nor beside another comma.
static int count_columns(const char *line) {
    int n = 1;
    for (int i = 1; line[i]; i++)
        if (line[i] == ',' && line[i - 1] != ',' && line[i + 1] != ',') n++;
    return n;
}

// Cuts the next field off *s in place (",," becomes ","); null at the end.
static char *next_field(char **s) {
    char *start = *s;
    if (!start) return nullptr;
    char *out = start, *in = start;
    for (;;) {
        if (*in == ',' && in[1] == ',') {
            *out++ = ',', in += 2;
            continue;
        }
        if (*in == ',' || !*in) break;
        *out++ = *in++;
    }
    *s = *in == ',' ? in + 1 : nullptr;
    *out = 0;
    return start;
}

// ----- one cell -----

// A colour value after key, up to the next blank.
static bool colour_at(const char *a, const char *key, int *colour) {
    const char *at = strstr(a, key);
    if (!at) return false;
    char text[64];
    size_t n = strcspn(at, " ");
    snprintf(text, sizeof text, "%.*s", (int)(n < sizeof text - 1 ? n : sizeof text - 1), at);
    return zecfgstr_color(text, colour);
}

static void attributes(zeGUIScript *p, zeTable *t, int j, int row, const char *a) {
    int v;
    if (strstr(a, "center")) zetable_set_align(t, j, row, "center");
    if (strstr(a, "right")) zetable_set_align(t, j, row, "right");
    if (find_number(a, "width=", &v)) zetable_set_column_width(t, j, bounded(v, 0, ZEPAGE_COORDMAX));
    bool controls = p->ncontrols < ZEPAGE_CONTROLMAX;
    if (controls && strstr(a, "edit")) zetable_set_type(t, j, row, "edit");
    if (controls && strstr(a, "bool")) zetable_set_type(t, j, row, "bool");
    const char *font = strstr(a, "font=");
    if (font) {
        int id = zefont_from_name(font + 5);
        if (id >= 0) zetable_set_font(t, j, row, id);
    }
    if (strstr(a, "grey")) zetable_set_type(t, j, row, "grey");
    if (controls && strstr(a, "combobox")) zetable_set_type(t, j, row, "combobox");
    if (strstr(a, "bold")) zetable_set_font(t, j, row, p->boldfont);
    if (strstr(a, "entries=")) zetable_set_entries(t, j, row, strchr(a, '=') + 1);
    if (strstr(a, "rowspan")) zetable_join_below(t, j, row);
    if (strstr(a, "colspan")) zetable_join_right(t, j, row);
    if (controls && strstr(a, "button")) zetable_set_type(t, j, row, "button");
    int colour;
    if (colour_at(a, "textcolor=", &colour)) zetable_set_textcolor(t, j, row, colour);
    if (colour_at(a, "bgcolor=", &colour)) zetable_set_bgcolor(t, j, row, colour);
    if (zetable_cell(t, j, row)->control) p->ncontrols++;
}

// A field of a row; returns whether it made the line a rule line.
static bool field(zeGUIScript *p, zeTable *t, int j, int row, char *f) {
    if (f[0] == '-') {
        if (row > 0) zetable_set_border_black(t, j, row - 1, "b");
        else zetable_set_border_black(t, j, 0, "t");
        return true;
    }
    // A line that only the fields show to be a rule line lets rows run short.
    if (j >= t->columns || row >= t->rows) return false;
    if (f[0] == '|') {
        zetable_set_border_black(t, j, row, "l");
        f++;
    }
    char *hash = strchr(f, '#');
    char *end = hash ? hash : f + strlen(f);
    if (end > f && end[-1] == '|') {
        zetable_set_border_black(t, j, row, "r");
        *--end = 0;
    }
    if (hash) *hash = 0;
    zetable_set_text_raw(t, j, row, f);
    if (hash) {
        attributes(p, t, j, row, hash + 1);
    }
    return false;
}

// ----- the end of the table -----

static void name_cells(zeGUIScript *p, const char *name, zeTable *t) {
    for (int row = 0; row < t->rows; row++)
        for (int col = 0; col < t->columns; col++) {
            zeTableCell *c = zetable_cell(t, col, row);
            const zePageKind *k = cell_kind(c->type);
            if (!c->control || !c->control->created || !k) continue;
            char cellname[ZEPAGE_NAMESIZE];
            snprintf(cellname, sizeof cellname, "%s.%d.%d", name, col, row);
            int slot = zepage_slot_take(p, cellname, k->name);
            if (slot < 0) return;
            p->slots[slot].control = c->control;
            p->slots[slot].ops = k;
        }
}

static void end_table(zeGUIScript *p) {
    p->intable = false;
    p->tablelen = 0;
    if (p->tabletext) p->tabletext[0] = 0;
    p->tableslot = -1;
}

void zepage_tag_endtable(zeGUIScript *p, const char *, const char *) {
    if (p->firsty == -1) p->firsty = p->y;
    int slot = p->tableslot;
    if (!p->intable || slot < 0 || !p->tabletext || !p->tableline) return end_table(p);
    zeTable *t = (zeTable *)p->slots[slot].control;
    char tablename[ZEPAGE_NAMESIZE];
    memcpy(tablename, p->slots[slot].name, sizeof tablename);

    const char *pos = p->tabletext;
    char *line;
    int rows = 0, columns = 0;
    while (next_line(p, &pos, &line)) {
        // An empty line holds no cell: the line feed after the tag is not a row.
        if (line[0] == '-' || !line[0]) continue;
        rows++;
        int n = count_columns(line);
        if (n > columns) columns = n;
    }
    const zePageTableOptions *o = &p->table;
    if (rows == 0 || !zetable_create(t, columns, rows)) return end_table(p);
    zetable_set_font_all(t, p->font);
    zetable_set_row_height(t, o->lineheight);
    zetable_set_grid_color(t, o->linecolor);
    zetable_set_frames(t, o->frame3d, o->thickframe, o->border);

    pos = p->tabletext;
    int row = 0;
    while (next_line(p, &pos, &line)) {
        if (!line[0]) continue;
        bool rule = false;
        char *rest = line;
        for (int j = 0; char *f = next_field(&rest); j++) rule |= field(p, t, j, row, f);
        if (!rule) row++;
    }

    zetable_fit_columns(t, o->mincolwidth ? o->mincolwidth : MINWIDTH);
    p->y = zepage_clamp(zetable_draw(t, o->x, p->y));
    name_cells(p, tablename, t);
    end_table(p);
}
