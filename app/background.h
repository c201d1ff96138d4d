// The timer window's background picture. It always lives in one file,
// "quimo_bg_intern.bmp", which the timer window loads whenever it is created;
// these operations replace, erase, export and edit it. File names are relative
// to the program directory (the working directory). Every operation that
// changes the picture holds the busy flag while the window's pixels are
// replaced, and ends with the window showing the new picture.
//
// The settings window's Background tab calls the button functions:
//   btEditBG      background_edit(cbWithDigits)
//   btEditBGWith  background_edit_with_button(cbWithDigits)
//   btRefresh     background_take_back()
//   btErase       background_erase()
//   btSave        background_save_button(cbWithDigits)
//   btLoad        background_load_button()
//   btBGColor     background_colour_button()
// The functions without "_button" do the same with the answer of the
// dialog given as an argument, for scripts and tests.
#pragma once
#include <cstdint>

#define BG_INTERN_FILE "quimo_bg_intern.bmp"
#define BG_EDIT_FILE "quimo_bg.bmp"
#define BG_BACKUP_FILE "quimo_bg_backup.bmp"
#define BG_SUGGESTED_FILE "quimo_background.bmp"

// Writes the timer window's picture to file (BMP, or the type its extension
// names: PNG, PPM, PCX, XPM): the background colour, the internal picture and
// the border at the window's size, and with withDigits the current display
// text over them. The window itself is not touched. False when the file
// cannot be written.
bool background_export(const char *file, bool withDigits);

// Converts source (JPEG, GIF, BMP, PCX, PPM or XPM, by content) into the BMP
// file target at the picture's pixel size, transparency on the background
// colour. Logs "convert SOURCE -> TARGET", then on success "    xs=W ys=H"
// and "    OK: convert SOURCE -> TARGET". On failure target stays as it was.
bool background_import(const char *source, const char *target);

// Load with the file already chosen: imports file into the internal picture
// and shows it. False (picture and window unchanged) when the import fails.
bool background_load(const char *file);
// Take back: imports "quimo_bg.bmp" (the editor's picture) and shows it.
bool background_take_back();
// Erase: keeps the internal picture as "quimo_bg_backup.bmp", then makes it
// the plain background colour. When the backup cannot be written nothing is
// erased (false).
bool background_erase();
// Edit: exports "quimo_bg.bmp", closes the settings window and starts
// GraphicProgram on it. False when the editor could not be started.
bool background_edit(bool withDigits);
// Edit with the chosen editor (program null or "": none chosen, the settings
// window opens again): it becomes GraphicProgram, then as background_edit.
// The timer window is created again in both cases.
bool background_edit_with(const char *program, bool withDigits);
// Save with the name chosen (null: cancelled): exports it; the settings
// window opens again and the timer window is created again.
bool background_save(const char *file, bool withDigits);
// The background colour became colour (from the colour dialog): when it
// differs and the internal picture exists, asks whether to fill the
// background with it (English or German); yes keeps the picture as
// "quimo_bg_backup.bmp" and removes it. Then the inactive segment colour is
// computed again and the timer window created again.
void background_set_colour(uint32_t colour);

// The buttons: close the settings and timer windows, ask through the dialog,
// then do the above and bring the windows back.
void background_load_button();
void background_save_button(bool withDigits);
void background_edit_with_button(bool withDigits);
void background_colour_button();

// The file dialog the buttons use: answer (size bytes) gets the chosen path;
// options are the file-dialog option string ("open,filter=*.bmp|Bitmap
// files,..."). False when nothing was chosen. The default (also after null)
// is the toolkit's file dialog; tests and scripts answer through their own.
typedef bool (*BackgroundFileChooser)(char *answer, int size, const char *options);
void background_set_file_chooser(BackgroundFileChooser chooser);
