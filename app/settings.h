// The settings table "quimo_settings.dbf": one row per setting group, column
// 0 the group's key (for readers of the file only: rows are found by number),
// columns 1 and up its values as text. settings_load(), settings_save(),
// settings_defaults() are declared in app.h; the digit set of a size comes
// from sevenseg_set_for_size().
#pragma once
#include "app.h"

enum {
    SETTINGS_ROWS = 23,          // rows 0..22 hold settings
    SETTINGS_TABLE_ROWS = 30,    // rows 23..29 stay blank
    SETTINGS_TABLE_COLUMNS = 20,
    SETTINGS_TABLE_WIDTH = 150,  // every cell holds 151 characters
};

#define SETTINGS_FILE "quimo_settings.dbf"
#define SETTINGS_FIRST_EXAMPLE "examples/s9.dbf"

// settings_load(file): reads every setting from the table by row and column.
// When the table cannot be read the defaults are set; when that happens to
// the user's own settings file (file null or SETTINGS_FILE), example 9 is
// applied on top (settings_apply_first_start). True when the file was read.

// Writes the settings to a table file: a new table beside it, renamed over
// the old one once it is complete, so the old file survives a failed save.
// A failure is logged and returns false.
bool settings_save_to(const char *file);

// What applying an example leaves as the user had it: Language, SyncTime,
// the three actions, the sound and program files, the message text,
// GraphicProgram, Autostart, WindowOnStart, 24h and roundUp.
struct KeptSettings {
    Settings settings;
    int language;
    bool roundUp;
};
KeptSettings settings_keep();
void settings_restore(const KeptSettings &kept);

// Example 9 at the first start, before any window exists: the example file's
// settings, keeping the user's language, actions, programs and flags; the
// destination 1 January of next year; the window at x 50, y 5.
void settings_apply_first_start();

// The first picture editor found on PATH (gimp, kolourpaint, pinta, mtpaint)
// as a full path, or "".
const char *settings_find_picture_editor(char *buf, int size);

// For generators and tests: the row's key ("" past the last), and the text
// that save writes into a cell ("" for a cell that holds no setting).
const char *settings_row_key(int row);
const char *settings_cell_text(int row, int column, char *buf, int size);
// Sets one setting by its field name ("countUp", "segmentColour",
// "messageText", ...): numbers in decimal, flags 0/1, colours as RRGGBB.
// False for an unknown name or a value that does not parse.
bool settings_set_by_name(const char *name, const char *value);
