// The table: cells, lines, frames, and the controls placed in cells.
#include "zetable.h"
#include "zebutton.h"
#include "zebutton_internal.h"
#include "zecheckbox.h"
#include "zecombobox.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zegout.h"
#include "zelineinput.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { TEXT_INSET = 4, FIT_EXTRA = 9, EDIT_MAXLEN = 100, COMBO_MAXLEN = 40 };

void zetable_init(zeTable *t) {
    memset(t, 0, sizeof *t);
    t->rowheight = ZETABLE_ROWHEIGHT;
    t->gridcolor = ZETABLE_GRIDCOLOR;
}

static void cell_defaults(zeTableCell *c) {
    memset(c, 0, sizeof *c);
    c->left = c->right = c->top = c->bottom = ZETABLE_GRIDLINE;
    c->font = zefont_find("builtin 6x13");
    if (c->font < 0) c->font = ZEFONT_DEFAULT;
    c->textcolor = 0x000000;
    c->bgcolor = 0xFFFFFF;
}

bool zetable_create(zeTable *t, int columns, int rows) {
    zetable_release(t);
    if (columns < 1 || rows < 1 || columns > ZETABLE_CELLSMAX / rows) {
        printf("zetable_create: %d x %d cells refused\n", columns, rows);
        return false;
    }
    t->cells = (zeTableCell *)malloc((size_t)columns * rows * sizeof(zeTableCell));
    t->widths = (int *)malloc((size_t)columns * sizeof(int));
    if (!t->cells || !t->widths) {
        free(t->cells), free(t->widths);
        zetable_init(t);
        return false;
    }
    t->columns = columns, t->rows = rows;
    for (int i = 0; i < columns * rows; i++) cell_defaults(&t->cells[i]);
    for (int c = 0; c < columns; c++) t->widths[c] = ZETABLE_WIDTH;
    return true;
}

zeTableCell *zetable_cell(const zeTable *t, int column, int row) {
    if (!t->cells || column < 0 || column >= t->columns || row < 0 || row >= t->rows) return nullptr;
    return &t->cells[column + (size_t)row * t->columns];
}

// ----- embedded controls -----

static void release_control(zeTableCell *c) {
    if (!c->control) return;
    switch (c->type) {
    case ZETABLE_BOOL: delete (zeCheckBox *)c->control; break;
    case ZETABLE_EDIT: {
        zeLineInput *l = (zeLineInput *)c->control;
        zelineinput_destroy(l);
        delete l;
        break;
    }
    case ZETABLE_COMBO: {
        zeComboBox *cb = (zeComboBox *)c->control;
        zecombobox_release(cb);
        delete cb;
        break;
    }
    case ZETABLE_BUTTON: delete (zeButton *)c->control; break;
    }
    c->control = nullptr;
}

static zeControl *new_control(int type) {
    switch (type) {
    case ZETABLE_BOOL: return &(new zeCheckBox)->c;
    case ZETABLE_EDIT: {
        zeLineInput *l = new zeLineInput;
        zelineinput_init(l);
        return &l->c;
    }
    case ZETABLE_COMBO: {
        zeComboBox *cb = new zeComboBox;
        zecombobox_init(cb);
        return &cb->c;
    }
    case ZETABLE_BUTTON: return &(new zeButton)->c;
    }
    return nullptr;
}

void zetable_release(zeTable *t) {
    if (t->cells)
        for (int i = 0; i < t->columns * t->rows; i++) {
            zeTableCell *c = &t->cells[i];
            release_control(c);
            free(c->text), free(c->entries);
        }
    free(t->cells), free(t->widths);
    zetable_init(t);
}

// ----- setting cells -----

void zetable_set_column_width(zeTable *t, int column, int pixels) {
    if (column >= 0 && column < t->columns) t->widths[column] = pixels < 0 ? 0 : pixels;
}

void zetable_set_row_height(zeTable *t, int pixels) { t->rowheight = pixels < 0 ? 0 : pixels; }
void zetable_set_grid_color(zeTable *t, int color) { t->gridcolor = color; }

void zetable_set_frames(zeTable *t, bool shadow, bool frame3d, bool plain) {
    t->shadowframe = shadow, t->frame3d = frame3d, t->plainframe = plain;
}

bool zetable_set_type(zeTable *t, int column, int row, const char *name) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (!c || !name) return false;
    if (strcmp(name, "grey") == 0) {
        c->grey = true;
        return true;
    }
    static const char *const names[] = {"bool", "edit", "combobox", "button"};
    for (int i = 0; i < 4; i++)
        if (strcmp(name, names[i]) == 0) {
            if (c->type == i + 1 && c->control) return true;
            release_control(c);
            c->type = i + 1;
            c->control = new_control(c->type);
            return true;
        }
    return false;
}

bool zetable_set_align(zeTable *t, int column, int row, const char *name) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (!c || !name) return false;
    static const char *const names[] = {"left", "center", "right"};
    for (int i = 0; i < 3; i++)
        if (strcmp(name, names[i]) == 0) {
            c->align = i;
            return true;
        }
    return false;
}

const char *zetable_text(const zeTable *t, int column, int row) {
    zeTableCell *c = zetable_cell(t, column, row);
    return c && c->text ? c->text : "";
}

static void draw_text_cell(zeTable *t, int column, int row, bool refresh);

// A drawn table shows a new text at once.
static void follow_text(zeTable *t, zeTableCell *c, int column, int row) {
    if (!t->drawn) return;
    const char *text = c->text ? c->text : "";
    bool one = strcmp(text, "1") == 0;
    switch (c->type) {
    case ZETABLE_TEXT: draw_text_cell(t, column, row, true); break;
    case ZETABLE_BOOL:
        if (c->control && c->control->created) zecheckbox_set_checked((zeCheckBox *)c->control, one);
        break;
    case ZETABLE_EDIT:
        if (c->control && c->control->created) zelineinput_set_text((zeLineInput *)c->control, text);
        break;
    case ZETABLE_COMBO:
        if (c->control && c->control->created) zecombobox_select_text((zeComboBox *)c->control, text);
        break;
    case ZETABLE_BUTTON:
        if (c->control && c->control->created) zebutton_set_pressed((zeButton *)c->control, one);
        break;
    }
}

void zetable_set_text_raw(zeTable *t, int column, int row, const char *text) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (!c) return;
    free(c->text);
    c->text = nullptr;
    if (text && *text) {
        size_t n = strnlen(text, ZETABLE_TEXTMAX);
        c->text = (char *)malloc(n + 1);
        if (c->text) memcpy(c->text, text, n), c->text[n] = 0;
    }
    follow_text(t, c, column, row);
}

void zetable_set_text(zeTable *t, int column, int row, const char *fmt, ...) {
    if (!zetable_cell(t, column, row) || !fmt) return;
    va_list ap;
    va_start(ap, fmt);
    char *text = nullptr;
    int n = vasprintf(&text, fmt, ap);
    va_end(ap);
    zetable_set_text_raw(t, column, row, n < 0 ? "" : text);
    free(text);
}

void zetable_set_font(zeTable *t, int column, int row, int font) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (c) c->font = font;
}

void zetable_set_font_all(zeTable *t, int font) {
    for (int i = 0; t->cells && i < t->columns * t->rows; i++) t->cells[i].font = font;
}

void zetable_set_textcolor(zeTable *t, int column, int row, int color) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (c) c->textcolor = color;
}

void zetable_set_bgcolor(zeTable *t, int column, int row, int color) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (c) c->bgcolor = color;
}

void zetable_set_entries(zeTable *t, int column, int row, const char *entries) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (!c) return;
    free(c->entries);
    c->entries = entries ? strndup(entries, ZETABLE_TEXTMAX) : nullptr;
}

void zetable_set_border_black(zeTable *t, int column, int row, const char *side) {
    zeTableCell *c = zetable_cell(t, column, row);
    if (!c || !side) return;
    switch (side[0]) {
    case 'b': c->bottom = ZETABLE_BLACKLINE; break;
    case 'l': c->left = ZETABLE_BLACKLINE; break;
    case 'r': c->right = ZETABLE_BLACKLINE; break;
    case 't': c->top = ZETABLE_BLACKLINE; break;
    }
}

void zetable_join_below(zeTable *t, int column, int row) {
    zeTableCell *c = zetable_cell(t, column, row), *below = zetable_cell(t, column, row + 1);
    if (c) c->bottom = ZETABLE_NOLINE;
    if (below) below->top = ZETABLE_NOLINE;
}

void zetable_join_right(zeTable *t, int column, int row) {
    zeTableCell *c = zetable_cell(t, column, row), *right = zetable_cell(t, column + 1, row);
    if (!c) return;
    c->right = ZETABLE_NOLINE;
    c->joinright = true;
    if (right) right->left = ZETABLE_NOLINE;
}

void zetable_fit_columns(zeTable *t, int minimum) {
    for (int col = 0; col < t->columns; col++) {
        int w = t->widths[col] > minimum ? t->widths[col] : minimum;
        for (int row = 0; row < t->rows; row++) {
            const zeTableCell *c = zetable_cell(t, col, row);
            if (!c->text) continue;
            int tw = zefont_text_width(c->font, c->text) + FIT_EXTRA;
            if (tw > w) w = tw;
        }
        t->widths[col] = w;
    }
}

int zetable_total_width(const zeTable *t) {
    long sum = 0;
    for (int c = 0; c < t->columns; c++) sum += t->widths[c];
    return sum > 0x3FFFFFFF ? 0x3FFFFFFF : (int)sum;
}

int zetable_find_column(const zeTable *t, int row, int id) {
    for (int col = 0; col < t->columns; col++) {
        const zeTableCell *c = zetable_cell(t, col, row);
        if (c && c->control && c->control->created && c->control->ids[0] == id) return col + 1;
    }
    return 0;
}

// ----- drawing -----

static int cell_y(const zeTable *t, int row) { return t->y + row * t->rowheight; }

// refresh: ask the output to show the cell at once (a single changed cell;
// a whole table is shown by the output's own scheduled refresh).
static void draw_text_cell(zeTable *t, int column, int row, bool refresh) {
    zeTableCell *c = zetable_cell(t, column, row);
    const zeTableCell *left = zetable_cell(t, column - 1, row);
    if (!c || (left && left->joinright)) return;
    int cx = c->x, cy = cell_y(t, row), w = t->widths[column], rh = t->rowheight;
    if (c->grey) zegraphic_fillrect(cx + 1, cy + 1, w - 1, c->bottom == ZETABLE_NOLINE ? rh : rh - 1, ZETABLE_GREYFILL);
    else zegraphic_fillrect(cx + 1, cy + 1, w - 2, rh - 2, c->bgcolor);
    if (c->text) {
        int tw = zefont_text_width(c->font, c->text);
        int off = c->align == ZETABLE_CENTER ? (w - tw) / 2 : c->align == ZETABLE_RIGHT ? w - tw - TEXT_INSET : TEXT_INSET;
        if (off < 0) off = 0;
        zegraphic_setfont(c->font);
        zegraphic_text(cx + off, cy + (rh - zefont_height(c->font)) / 2, c->textcolor, c->text);
    }
    if (refresh) zegout_send(ZEREQ_REFRESH, cx, cy, w, rh);
}

// Commas split option strings: texts go into the controls after creation.
static void place_checkbox(zeTableCell *c, int cx, int cy, int w, int rh) {
    zeCheckBox *b = (zeCheckBox *)c->control;
    zegraphic_fillrect(cx + 1, cy + 1, w - 2, rh - 2, c->bgcolor);
    zecheckbox_create(b, ",x=%d,y=%d,xs=%d,ys=%d,boxonly,lightframe", cx + 1, cy + 1, w - 2, rh - 2);
    zecheckbox_set_checked(b, c->text && strcmp(c->text, "1") == 0);
}

static void place_input(zeTableCell *c, int cx, int cy, int w, int rh) {
    zeLineInput *l = (zeLineInput *)c->control;
    zelineinput_destroy(l);
    zelineinput_create(l, "x=%d,y=%d,xs=%d,ys=%d,noborder,maxlen=%d,fontid=%d,%s", cx + 1, cy + 1, w - 2, rh - 2,
                       EDIT_MAXLEN, c->font, c->align == ZETABLE_RIGHT ? "align=right" : "");
    zelineinput_set_text(l, c->text ? c->text : "");
}

static void place_combo(zeTableCell *c, int cx, int cy, int w, int rh) {
    zeComboBox *cb = (zeComboBox *)c->control;
    // Entry 0 of a combo box's options is its text: the options follow a comma.
    zecombobox_create(cb, ",x=%d,y=%d,xs=%d,ys=%d,noborder,maxlen=%d,nobutton,fontid=%d,%s", cx + 1, cy + 1, w - 2,
                      rh - 2, COMBO_MAXLEN, c->font, c->align == ZETABLE_RIGHT ? "align=right" : "");
    for (const char *p = c->entries; p && *p;) {
        const char *bar = strchr(p, '|');
        int n = bar ? (int)(bar - p) : (int)strlen(p);
        char entry[ZECB_TEXTMAX + 1];
        snprintf(entry, sizeof entry, "%.*s", n < ZECB_TEXTMAX ? n : ZECB_TEXTMAX, p);
        if (!zecombobox_add_text(cb, entry)) break;
        p = bar ? bar + 1 : p + n;
    }
    zecombobox_select_text(cb, c->text ? c->text : "");
    zecontrol_redraw(&cb->c);
}

static void place_button(zeTable *t, zeTableCell *c, int column, int cx, int cy, int w, int rh) {
    zeButton *b = (zeButton *)c->control;
    if (c->joinright && column + 1 < t->columns) w += t->widths[column + 1];
    char colour[32] = "";
    if ((c->bgcolor & 0xFFFFFF) != 0xFFFFFF) snprintf(colour, sizeof colour, "bgcolor=%06x", c->bgcolor & 0xFFFFFF);
    zebutton_create(b, ",x=%d,y=%d,xs=%d,ys=%d,fontid=%d,%s", cx + 2, cy + 1, w - 3, rh - 2, c->font, colour);
    snprintf(b->caption, sizeof b->caption, "%s", c->text ? c->text : "");
    snprintf(b->c.text, sizeof b->c.text, "%s", b->caption);
    zebutton_caption_pos(&b->c, b->caption, &b->textx, &b->texty);
    zebutton_set_pressed(b, c->text && strcmp(c->text, "1") == 0);
    zebutton_redraw(b);
}

static void border_lines(const zeTable *t, const zeTableCell *c, int cx, int cy, int w, int value, int colour) {
    int rh = t->rowheight;
    if (c->left == value) zegraphic_line(cx, cy, cx, cy + rh, colour);
    if (c->right == value) zegraphic_line(cx + w, cy, cx + w, cy + rh, colour);
    if (c->top == value) zegraphic_line(cx, cy, cx + w, cy, colour);
    if (c->bottom == value) zegraphic_line(cx, cy + rh, cx + w, cy + rh, colour);
}

static void outline(int x, int y, int w, int h) {
    zegraphic_line(x, y, x + w, y, 0);
    zegraphic_line(x, y, x, y + h, 0);
    zegraphic_line(x + w, y, x + w, y + h, 0);
    zegraphic_line(x, y + h, x + w, y + h, 0);
}

static void frames(const zeTable *t) {
    int x = t->x, y = t->y, W = zetable_total_width(t), H = t->rows * t->rowheight;
    if (t->shadowframe && !t->frame3d) {
        outline(x, y, W, H);
        for (int i = 1; i <= 2; i++) {
            zegraphic_line(x + W + i, y + 2, x + W + i, y + H + 2, 0);
            zegraphic_line(x + 2, y + H + i, x + W, y + H + i, 0);
        }
    }
    if (t->frame3d) {
        for (int i = -1; i <= 1; i++) {
            int longer = i != 0 ? 1 : 0;
            zegraphic_line(x + W + i, y - longer, x + W + i, y + H + longer, 0);
            zegraphic_line(x + i, y - longer, x + i, y + H + longer, 0);
            zegraphic_line(x - longer, y + i, x + W + longer, y + i, 0);
            zegraphic_line(x - longer, y + H + i, x + W + longer, y + H + i, 0);
        }
        if (t->shadowframe)
            for (int i = 0; i <= 4; i++) {
                zegraphic_line(x + W + i, y + 5, x + W + i, y + H + i, 0);
                zegraphic_line(x + 5, y + H + i, x + W + i, y + H + i, 0);
            }
    }
    if (t->plainframe) outline(x, y, W, H);
}

int zetable_draw(zeTable *t, int x, int y) {
    t->x = x, t->y = y;
    int rh = t->rowheight;
    int cx = x;
    for (int col = 0; col < t->columns; col++) {
        int w = t->widths[col];
        for (int row = 0; row < t->rows; row++) {
            zeTableCell *c = zetable_cell(t, col, row);
            int cy = cell_y(t, row);
            zegraphic_setfont(c->font);
            c->x = cx;
            switch (c->type) {
            case ZETABLE_TEXT: draw_text_cell(t, col, row, false); break;
            case ZETABLE_BOOL: place_checkbox(c, cx, cy, w, rh); break;
            case ZETABLE_EDIT: place_input(c, cx, cy, w, rh); break;
            case ZETABLE_COMBO: place_combo(c, cx, cy, w, rh); break;
            case ZETABLE_BUTTON: place_button(t, c, col, cx, cy, w, rh); break;
            }
            border_lines(t, c, cx, cy, w, ZETABLE_GRIDLINE, t->gridcolor);
        }
        cx += w;
    }
    // Black lines lie over the grid lines.
    for (int col = 0; col < t->columns; col++)
        for (int row = 0; row < t->rows; row++) {
            const zeTableCell *c = zetable_cell(t, col, row);
            border_lines(t, c, c->x, cell_y(t, row), t->widths[col], ZETABLE_BLACKLINE, 0x000000);
        }
    frames(t);
    t->drawn = true;
    return y + t->rows * rh;
}
