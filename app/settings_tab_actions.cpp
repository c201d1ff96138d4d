// The Background, Settings and Help & Info tabs: picture operations, the
// language, the time-up actions with their choosers and tests, autostart,
// the window at start, synchronisation, the colon, and the help page.
#include "settings_internal.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app_paths.h"
#include "background.h"
#include "zehtml.h"
#include "placeholders.h"
#include "timeup.h"
#include "timesync.h"
#include "zepage.h"
#include "zeshell.h"
#if __has_include("zedatepicker.h")
#include "zedatepicker.h"
#endif
#if __has_include("zefiledialog.h")
#include "zefiledialog.h"
#endif

namespace {

char s_statusShown[512] = "";

const char *base_name(const char *path) {
    const char *b = path;
    for (const char *p = path; *p; p++)
        if (*p == '/' || *p == '\\') b = p + 1;
    return b;
}

bool choose_file(char *path, int size, bool sound) {
#if __has_include("zefiledialog.h")
    char answer[ZEFILEDIALOG_PATHMAX + 1];
    char sounds[APP_PATH_MAX];
    app_data_path("sounds", sounds, sizeof sounds);
    bool ok = sound ? zedialog_file(answer, sizeof answer, "open,filter=*.wav;*.mp3;*.mid,dir=%s", sounds)
                    : zedialog_file(answer, sizeof answer, "open,executable,filter=*|%s,dir=/usr/bin",
                                    german() ? "Programme" : "Programs");
    if (!ok || (int)strlen(answer) >= size) return false;
    snprintf(path, size, "%s", answer);
    return true;
#else
    write_log("file chooser not available: %s unchanged", sound ? "sound file" : "program");
    return false;
#endif
}

void choose(char *path, int size, bool sound) {
    choosers_begin();
    choose_file(path, size, sound);
    choosers_end();
}

void play_test() {
    if (!g_settings.soundFile[0]) return;
    sound_play(g_settings.soundFile);
}

void start_test() {
    if (!g_settings.programPath[0]) return;
    write_log("start program %s", g_settings.programPath);
    if (!zeshell_run("%s", g_settings.programPath)) write_log("cannot start %s", g_settings.programPath);
}

struct Check {
    const char *name;
    bool *setting;
};

const Check kChecks[] = {
    {"cbMessage", &g_settings.actionMessage}, {"cbPlaySound", &g_settings.actionSound},
    {"cbLaunch", &g_settings.actionProgram},  {"cbAutostart", &g_settings.autostart},
    {"cbWindowOnStart", &g_settings.windowOnStart}, {"cbSyncTime", &g_settings.syncTime},
    {"cbBlink", &g_settings.colonBlink},
};

void sync_now() {
    bool was = g_settings.syncTime;
    g_settings.syncTime = true;
    timesync_run();
    g_settings.syncTime = was;
    s_statusShown[0] = 0;
}

void background_button(const char *name) {
    bool digits = get_int("cbWithDigits") != 0;
    if (!strcmp(name, "btEditBG")) background_edit(digits);
    else if (!strcmp(name, "btEditBGWith")) background_edit_with_button(digits);
    else if (!strcmp(name, "btRefresh")) background_take_back();
    else if (!strcmp(name, "btErase")) background_erase();
    else if (!strcmp(name, "btSave")) background_save_button(digits);
    else if (!strcmp(name, "btLoad")) background_load_button();
}

}  // namespace

bool date_picker(int *year, int *month, int *day, const char *title) {
#if __has_include("zedatepicker.h")
    return zedialog_date(year, month, day, "%s", title) == 1;
#else
    write_log("date picker not available: %s", title);
    return false;
#endif
}

// ---- Background -------------------------------------------------------------------

void tab_background_text() {
    char editor[300];
    snprintf(editor, sizeof editor, "%s", g_settings.graphicProgram[0] ? base_name(g_settings.graphicProgram) : "-");
    page_add("%s\n<hline>",
             tr("The timer window shows its digits over a background picture. Edit it with a picture editor, "
                "draw it again from the current settings, or keep and load your own pictures.",
                "Das Timer-Fenster zeigt seine Ziffern über einem Hintergrundbild. Bearbeiten Sie es mit einem "
                "Bildprogramm, zeichnen Sie es aus den aktuellen Einstellungen neu, oder speichern und laden "
                "Sie eigene Bilder."));
    struct Row {
        const char *button, *en, *de, *helpen, *helpde;
    };
    const Row rows[] = {
        {"btEditBG", "Edit background", "Hintergrund bearbeiten", "Opens the picture in %s.", "Öffnet das Bild in %s."},
        {"btEditBGWith", "Edit background with...", "Bearbeiten mit...", "Choose the picture editor first.",
         "Zuerst das Bildprogramm wählen."},
        {"btRefresh", "<b>Actualize Background</b>", "<b>Hintergrund aktualisieren</b>",
         "Reads the edited picture back into the timer window.", "Liest das bearbeitete Bild in das Timer-Fenster."},
        {"btErase", "Erase background", "Hintergrund löschen",
         "Removes the picture; a copy stays as quimo_bg_backup.bmp.",
         "Entfernt das Bild; eine Kopie bleibt als quimo_bg_backup.bmp."},
        {"btSave", "Save background as...", "Hintergrund speichern unter...", "Keeps the picture in a file of your choice.",
         "Speichert das Bild in einer Datei Ihrer Wahl."},
        {"btLoad", "Load background", "Hintergrund laden", "Takes a picture file (BMP, PNG, JPEG, GIF) as background.",
         "Nimmt eine Bilddatei (BMP, PNG, JPEG, GIF) als Hintergrund."},
    };
    for (const Row &r : rows) {
        page_add("<button=%s,%s,xs=160><x=200>", r.button, tr(r.en, r.de));
        page_add(tr(r.helpen, r.helpde), editor);
        page_add("\n<yinc=8>");
        if (strcmp(r.button, "btEditBGWith") == 0)
            page_add("<x=200><checkbox=cbWithDigits,%s>\n<yinc=8>", tr("Edit with digits", "Mit Ziffern bearbeiten"));
    }
}

void tab_background_event(int id) {
    const char *buttons[] = {"btEditBG", "btEditBGWith", "btRefresh", "btErase", "btSave", "btLoad"};
    for (const char *b : buttons)
        if (is_event(id, b)) return background_button(b);
}

// ---- Settings -----------------------------------------------------------------------

void tab_settings_text() {
    set_canvas_height(900);
    page_add("<b>%s</b>\n<listbox=lbLanguage,xs=200,ys=50,entries=%s>\n<hline>", tr("Language", "Sprache"),
             tr("English|German", "Englisch|Deutsch"));
    page_add("<b>%s</b>\n", tr("Action", "Aktion"));
    page_add("<checkbox=cbMessage,%s><x=170><lineinput=liActionMessageText,x=170,xs=250>\n<yinc=8>",
             tr("Show a message box", "Nachricht zeigen"));
    int bx = german() ? 490 : 500, bw = german() ? 115 : 100;
    page_add("<checkbox=cbPlaySound,%s><save=ySoundFile><x=%d><button=btChooseSound,%s,xs=%d>"
             "<button=btTestSound,%s,xs=80>\n<yinc=8>",
             tr("Play sound", "Klang abspielen"), bx, tr("Choose file", "Datei wählen"), bw, tr("Play", "Abspielen"));
    page_add("<checkbox=cbLaunch,%s><save=yLaunchFile><x=%d><button=btChooseProgram,%s,xs=%d>"
             "<button=btTestProgram,%s,xs=80>\n<yinc=8><hline>",
             tr("Start program", "Programm starten"), bx, tr("Choose file", "Datei wählen"), bw,
             tr("Start", "Starten"));
    page_add("<b>%s</b>\n<checkbox=cbAutostart,%s>\n<hline>", tr("Auto start", "Autostart"),
             tr("Start automatically", "Automatisch starten"));
    page_add("<b>%s</b>\n<checkbox=cbWindowOnStart,%s>\n<hline>", tr("Settings window", "Einstellungsfenster"),
             tr("Display this window on program start", "Dieses Fenster beim Programmstart anzeigen"));
    page_add("<b>%s</b>\n<checkbox=cbSyncTime,%s>  <button=btSync,%s,xs=150>\n<yinc=6>%s<save=yGetTimeStatus>\n<hline>",
             tr("Synchronization", "Synchronisation"), tr("Synchronize via internet.", "Über das Internet synchronisieren."),
             tr("Synchronize now", "Jetzt synchronisieren"), tr("Last actualized: ", "Zuletzt aktualisiert: "));
    page_add("<b>%s</b>\n<checkbox=cbBlink,%s>\n<hline>", tr("Flash", "Blinken"),
             tr("Colon flashing.", "Doppelpunkt blinkt."));
}

void tab_settings_fill() {
    set_int("lbLanguage", g_app.language == 1 ? 1 : 0);
    for (const Check &c : kChecks) set_int(c.name, *c.setting);
    if (page()) zepage_set_text(page(), "liActionMessageText", g_settings.messageText);
    // The file names sit between the check boxes and the Choose buttons.
    int w = (german() ? 490 : 500) - 175;
    draw_canvas_text(170, point("ySoundFile"), w, 20, 0x000080, base_name(g_settings.soundFile));
    draw_canvas_text(170, point("yLaunchFile"), w, 20, 0x000080, base_name(g_settings.programPath));
    s_statusShown[0] = 0;
    tab_settings_tick();
}

void tab_settings_tick() {
    const char *status = timesync_status();
    if (strcmp(status, s_statusShown) == 0) return;
    snprintf(s_statusShown, sizeof s_statusShown, "%s", status);
    draw_canvas_text(150, point("yGetTimeStatus"), 400, 20, 0x000000, status);
}

void tab_settings_event(int id) {
    Settings &s = g_settings;
    if (is_change(id, "lbLanguage")) {
        int sel = get_int("lbLanguage");
        if (sel < 0 || sel == g_app.language) return;
        g_app.language = sel;
        settings_rebuild();
        return;
    }
    if (is_change(id, "liActionMessageText")) {
        zepage_get_text(page(), "liActionMessageText", s.messageText, sizeof s.messageText);
        return;
    }
    if (is_event(id, "btSync")) return sync_now();
    if (is_event(id, "btChooseSound")) return choose(s.soundFile, sizeof s.soundFile, true);
    if (is_event(id, "btChooseProgram")) return choose(s.programPath, sizeof s.programPath, false);
    if (is_event(id, "btTestSound")) return play_test();
    if (is_event(id, "btTestProgram")) return start_test();
    for (const Check &c : kChecks) {
        if (!is_event(id, c.name)) continue;
        *c.setting = get_int(c.name) != 0;
        if (c.setting == &s.syncTime && s.syncTime) sync_now();
        // Nothing to play or start yet: the user is asked for it at once.
        if (c.setting == &s.actionSound && s.actionSound && !s.soundFile[0])
            choose(s.soundFile, sizeof s.soundFile, true);
        if (c.setting == &s.actionProgram && s.actionProgram && !s.programPath[0])
            choose(s.programPath, sizeof s.programPath, false);
        return;
    }
}

// ---- Help & Info ---------------------------------------------------------------------

namespace {

// The application's print icon: a small printer.
const char *const kPrintIcon[] = {
    "16 14 4 1", ". c None", "k c #303030", "w c #FFFFFF", "g c #A0A0A0",
    "....kkkkkkkk....", "....kwwwwwwk....", "....kwkkkkwk....", "....kwwwwwwk....",
    "..kkkkkkkkkkkk..", ".kggggggggggggk.", ".kggggggggggggk.", ".kgggggggggg.gk.",
    ".kggggggggggggk.", ".kkkkkkkkkkkkkk.", "...kwwwwwwwwk...", "...kwkkkkkkwk...",
    "...kwwwwwwwwk...", "...kkkkkkkkkk...",
};

const char *help_file() {
    static char path[APP_PATH_MAX];
    return app_data_path(german() ? "helpinfo_ger.html" : "helpinfo_eng.html", path, sizeof path);
}

}  // namespace

void tab_help_text() {
    // The help document converted into the page; its links count from 1.
    std::string help(1 << 20, '\0');
    if (zehtml_append(&help[0], help.size(), help_file(), 1)) page_add_latin1(help.c_str());
    else page_add("%s %s\n", tr("No help document:", "Kein Hilfedokument:"), help_file());
    page_add("\n\n<save=yPrintCommand><image_xpm=%d><restore=yPrintCommand>       ", zepage_xpm_handle(kPrintIcon));
    page_add("<link=liPrintHelp,%s><x=300>Version %s<ysize=%d>", tr("Print page", "Seite drucken"), "2.0",
             german() ? 1100 : 1200);
}

void tab_help_event(int id) {
    if (is_event(id, "liPrintHelp")) {
        settings_window_close();
        if (!zeshell_open(help_file())) write_log("cannot open %s", help_file());
        return;
    }
    char name[ZEPAGE_NAMESIZE];
    if (!page() || !zepage_event_name(page(), id, name) || strncmp(name, "htmllink_", 9) != 0) return;
    zepage_open_link(page(), name);
    settings_window_close();
}
