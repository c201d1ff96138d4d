// The background picture: import into the internal picture, export with or
// without digits, the external editor, take back, erase, save, load and the
// background colour change.
#include "background.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "app.h"
#include "placeholders.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zecolorchooser.h"
#include "zedialog.h"
#include "zefile.h"
#include "zefiledialog.h"
#include "zeimage.h"
#include "zeimport.h"
#include "zemetrics.h"
#include "zeshell.h"
#include "zewindow.h"

namespace {

bool dialog_chooser(char *answer, int size, const char *options) {
    return zedialog_file(answer, size, "%s", options);
}

BackgroundFileChooser s_chooser = dialog_chooser;

bool choose_file(char *answer, int size, const char *options) {
    answer[0] = 0;
    return s_chooser && s_chooser(answer, size, options) && answer[0];
}

bool file_exists(const char *name) {
    struct stat st;
    return stat(name, &st) == 0;
}

// The size the timer window has, or would have when created now.
void window_size(int *w, int *h) {
    if (zeWindow *win = timer_window()) {
        zePixmap *p = zewindow_pixmap(win);
        *w = p->width, *h = p->height;
    } else if (g_settings.fullscreen) {
        *w = guimetrics("screenxs"), *h = guimetrics("screenys");
    } else {
        *w = g_settings.windowWidth, *h = timer_window_height();
    }
}

// Writes by the extension's type where one is written, else as BMP.
bool save_picture(const zePixmap *p, const char *file) {
    int type = zeimage_filetype(file);
    bool other = type == ZEIMG_PNG || type == ZEIMG_PPM || type == ZEIMG_PCX || type == ZEIMG_XPM;
    return other ? zeimage_save_file(p, file) : zepxmap_savetofile_bmp(p, file);
}

// The editor gets the picture's name as its one argument. A GraphicProgram
// that is no file may carry its own words ("gimp -n").
bool start_editor(const char *program) {
    if (!program || !*program) return false;
    struct stat st;
    if (stat(program, &st) == 0) {
        const char *argv[] = {program, BG_EDIT_FILE, nullptr};
        return zeshell_spawn(argv);
    }
    return zeshell_run("%s %s", program, BG_EDIT_FILE);
}

// Imports source into the internal picture and shows it, under the busy flag.
// A closed window keeps the flag until it is created again.
bool replace_and_show(const char *source) {
    bool was = g_app.busy;
    sevenseg_set_busy(true);
    bool ok = background_import(source, BG_INTERN_FILE);
    timer_window_repaint_background();
    sevenseg_set_busy(was);
    return ok;
}

// Brings the two windows back after a dialog.
void reopen_windows() {
    settings_window_open_or_refresh();
    timer_window_create();
}

void close_windows() {
    settings_window_close();
    timer_window_close();
}

}  // namespace

void background_set_file_chooser(BackgroundFileChooser chooser) { s_chooser = chooser ? chooser : dialog_chooser; }

bool background_import(const char *source, const char *target) {
    write_log("convert %s -> %s", source, target);
    zePixmap p;
    zepxmap_init(&p);
    if (!zeimage_import(&p, source, (int)g_settings.backgroundColour)) return false;
    write_log("    xs=%d ys=%d", p.width, p.height);
    bool ok = zepxmap_savetofile_bmp(&p, target);
    zepxmap_release(&p);
    if (ok) write_log("    OK: convert %s -> %s", source, target);
    return ok;
}

// Drawn in a pixmap of its own rather than in the window's: the window's
// pixels carry the live digits, which a picture without digits must not show.
bool background_export(const char *file, bool withDigits) {
    int w = 0, h = 0;
    window_size(&w, &h);
    zePixmap p;
    if (w <= 0 || h <= 0 || !zepxmap_create(&p, w, h, ZEPX_TRUECOLOR)) return false;
    timer_window_paint_into(&p);
    if (withDigits) {
        char text[SEVENSEG_TEXTMAX + 1];
        merge_display_text(g_format.formatString, g_format.digitText, g_timer.difference < 0, text, sizeof text);
        int x = g_settings.borderWidth + g_settings.horizontalOffset;
        int y = g_settings.borderWidth + g_settings.verticalOffset;
        sevenseg_draw_into_pixmap(&g_timerFont, &p, x, y, "%s", text);
    }
    bool ok = save_picture(&p, file);
    zepxmap_release(&p);
    if (!ok) write_log("background not saved: %s", file);
    return ok;
}

bool background_load(const char *file) {
    if (!file || !*file) return false;
    return replace_and_show(file);
}

bool background_take_back() { return replace_and_show(BG_EDIT_FILE); }

bool background_erase() {
    // The picture is gone once erased: without its copy nothing is erased.
    if (file_exists(BG_INTERN_FILE) && !zefile_copy(BG_INTERN_FILE, BG_BACKUP_FILE)) {
        write_log("background not erased: no copy as %s", BG_BACKUP_FILE);
        return false;
    }
    bool was = g_app.busy;
    sevenseg_set_busy(true);
    int w = 0, h = 0;
    window_size(&w, &h);
    zePixmap p;
    bool ok = w > 0 && h > 0 && zepxmap_create(&p, w, h, ZEPX_TRUECOLOR);
    if (ok) {
        zepxmap_clear(&p, (int)g_settings.backgroundColour);
        ok = zepxmap_savetofile_bmp(&p, BG_INTERN_FILE);
        zepxmap_release(&p);
    }
    timer_window_repaint_background();
    sevenseg_set_busy(was);
    return ok;
}

bool background_edit(bool withDigits) {
    background_export(BG_EDIT_FILE, withDigits);
    settings_window_close();
    return start_editor(g_settings.graphicProgram);
}

bool background_edit_with(const char *program, bool withDigits) {
    bool ok = false;
    if (program && *program) {
        snprintf(g_settings.graphicProgram, sizeof g_settings.graphicProgram, "%s", program);
        background_export(BG_EDIT_FILE, withDigits);
        ok = start_editor(g_settings.graphicProgram);
    } else {
        settings_window_open_or_refresh();
    }
    timer_window_create();
    return ok;
}

bool background_save(const char *file, bool withDigits) {
    bool ok = file && *file && background_export(file, withDigits);
    reopen_windows();
    return ok;
}

void background_set_colour(uint32_t colour) {
    uint32_t old = g_settings.backgroundColour;
    g_settings.backgroundColour = colour & 0xFFFFFF;
    if (g_settings.backgroundColour != old && file_exists(BG_INTERN_FILE)) {
        bool yes = g_app.language == 1
                       ? zedialog_janein("Soll der Hintergrund mit der neuen Farbe gel\xc3\xb6scht werden?\n\n"
                                         "(Nein: Hintergrund bleibt erhalten, nur die inaktiven Segmente "
                                         "werden neu berechnet.)")
                       : zedialog_yesno("Fill background with the new color?");
        if (yes) {
            // The picture survives as the backup or not at all.
            if (zefile_copy(BG_INTERN_FILE, BG_BACKUP_FILE)) unlink(BG_INTERN_FILE);
            else write_log("background not erased: no copy as %s", BG_BACKUP_FILE);
        }
    }
    compute_colours();
    timer_window_create();
}

void background_load_button() {
    close_windows();
    char file[4096];
    if (choose_file(file, sizeof file, "open,filter=*.bmp|Bitmap files,filter=*.jpg;*.jpeg|JPEG,filter=*.gif|GIF,defaultext=bmp"))
        background_load(file);
    reopen_windows();
}

void background_save_button(bool withDigits) {
    close_windows();
    char file[4096];
    bool chosen = choose_file(file, sizeof file, "save,filter=*.bmp,defaultext=bmp,suggestion=" BG_SUGGESTED_FILE);
    background_save(chosen ? file : nullptr, withDigits);
}

void background_edit_with_button(bool withDigits) {
    close_windows();
    char program[4096];
    bool chosen = choose_file(program, sizeof program, "open,dir=/usr/bin,executable,filter=*|Programs");
    background_edit_with(chosen ? program : nullptr, withDigits);
}

void background_colour_button() {
    close_windows();
    const char *title = g_app.language == 1 ? "Hintergrundfarbe" : "background color";
    int32_t colour = zecolorchooser((int32_t)g_settings.backgroundColour, title);
    background_set_colour((uint32_t)colour);
}
