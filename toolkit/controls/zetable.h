// The table: a grid of cells with lines, texts and colours drawn into the
// current graphic output, with live controls in the cells that ask for one
// (a check box, a one-line text input, a combo box or a button). It is not
// a control itself: whoever uses it draws it at a position; the controls in
// its cells are ordinary controls of the standard view posting their own
// events.
#pragma once
#include <cstdarg>

struct zeControl;

enum {
    ZETABLE_TEXT = 0, ZETABLE_BOOL = 1, ZETABLE_EDIT = 2, ZETABLE_COMBO = 3, ZETABLE_BUTTON = 4,
    ZETABLE_LEFT = 0, ZETABLE_CENTER = 1, ZETABLE_RIGHT = 2,
    ZETABLE_NOLINE = 0, ZETABLE_GRIDLINE = 1, ZETABLE_BLACKLINE = 2,
    ZETABLE_WIDTH = 60,             // default column width
    ZETABLE_ROWHEIGHT = 20,
    ZETABLE_GRIDCOLOR = 0xD0D0D0,
    ZETABLE_GREYFILL = 0xE8E8E8,
    ZETABLE_CELLSMAX = 1000000,     // larger grids are refused
    ZETABLE_TEXTMAX = 100000,       // characters of one cell text
};

struct zeTableCell {
    int type;                      // ZETABLE_TEXT ... ZETABLE_BUTTON
    int align;                     // ZETABLE_LEFT, CENTER, RIGHT
    bool grey;
    char *text;                    // owned; null for empty
    int left, right, top, bottom;  // ZETABLE_NOLINE, GRIDLINE, BLACKLINE
    zeControl *control;            // the embedded control of types 1-4, or null
    int font;
    int x;                         // left edge when last drawn
    char *entries;                 // combo box entries, "|" between them; owned
    int textcolor, bgcolor;
    bool joinright;                // a button spans the next column too
};

struct zeTable {
    int columns, rows;
    zeTableCell *cells;            // column c, row r at c + r * columns
    int *widths;
    int rowheight;
    int gridcolor;
    int x, y;                      // origin of the last draw
    bool shadowframe, frame3d, plainframe;
    bool drawn;
};

void zetable_init(zeTable *t);
// All cells with their defaults, columns 60 wide. False (and the table
// empty) for a size below 1 or above ZETABLE_CELLSMAX cells.
bool zetable_create(zeTable *t, int columns, int rows);
// Releases every embedded control and the cells.
void zetable_release(zeTable *t);

void zetable_set_column_width(zeTable *t, int column, int pixels);
void zetable_set_row_height(zeTable *t, int pixels);
void zetable_set_grid_color(zeTable *t, int color);
// "bool", "edit", "combobox", "button" make the cell hold that control;
// "grey" greys it. Names are compared case-sensitively; false when unknown.
bool zetable_set_type(zeTable *t, int column, int row, const char *name);
// "left", "center", "right"; false when unknown.
bool zetable_set_align(zeTable *t, int column, int row, const char *name);
// After the first draw the cell follows at once: a text cell is redrawn, a
// check box checked by "1", a text input given the text, a combo box set to
// the equal entry, a button pressed by "1".
void zetable_set_text(zeTable *t, int column, int row, const char *fmt, ...) __attribute__((format(printf, 4, 5)));
void zetable_set_text_raw(zeTable *t, int column, int row, const char *text);
const char *zetable_text(const zeTable *t, int column, int row);   // "" when empty or outside
void zetable_set_font(zeTable *t, int column, int row, int font);
void zetable_set_font_all(zeTable *t, int font);
void zetable_set_textcolor(zeTable *t, int column, int row, int color);
void zetable_set_bgcolor(zeTable *t, int column, int row, int color);
void zetable_set_entries(zeTable *t, int column, int row, const char *entries);
// side "b", "l", "r" or "t": that border becomes a black line.
void zetable_set_border_black(zeTable *t, int column, int row, const char *side);
void zetable_join_below(zeTable *t, int column, int row);
void zetable_join_right(zeTable *t, int column, int row);
void zetable_set_frames(zeTable *t, bool shadow, bool frame3d, bool plain);
// Every column at least minimum and at least the widest non-empty text + 9.
void zetable_fit_columns(zeTable *t, int minimum);
int zetable_total_width(const zeTable *t);
// Draws at (x, y) into the current graphic output and places the embedded
// controls; returns y + rows x row height.
int zetable_draw(zeTable *t, int x, int y);
// The 1-based column of the cell in row whose control has this main event
// id; 0 when none.
int zetable_find_column(const zeTable *t, int row, int id);
// The cell, or null outside the grid.
zeTableCell *zetable_cell(const zeTable *t, int column, int row);
