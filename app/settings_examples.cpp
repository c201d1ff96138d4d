// The QUIMO tab: the introduction and the examples, and applying an example
// (its settings file and picture, its destination and placement, keeping
// what belongs to the user).
#include "settings_internal.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "app_paths.h"
#include "settings.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zetime.h"

namespace {

struct Example {
    int number;
    const char *button;
    const char *en, *de;
};

// In the order shown; the tenth (the full-screen clock) sits among them.
const Example kExamples[] = {
    {1, "btSet1", "Count down until January 1st.", "Herunterzählen bis zum 1. Januar."},
    {2, "btSet2", "Count up since January 1st.", "Hochzählen seit dem 1. Januar."},
    {3, "btSet3", "Count down the days of this month decimal.", "Die Tage dieses Monats dezimal herunterzählen."},
    {4, "btSet4", "Seconds left this year.", "Verbleibende Sekunden in diesem Jahr."},
    {5, "btSet5", "Minutes since January 1st.", "Minuten seit dem 1. Januar."},
    {10, "btSet10", "Fullscreen clock", "Vollbild-Uhr"},
    {6, "btSet6", "Time left today.", "Verbleibende Zeit heute."},
    {7, "btSet7", "Seconds left today.", "Verbleibende Sekunden heute."},
    {8, "btSet8", "Count down until January 1st.", "Herunterzählen bis zum 1. Januar."},
};

// Example 10: the largest digits that suit the screen, centred.
void full_screen_clock(int sw, int sh) {
    g_settings.size = sw < 1024 ? 56 : sw >= 1280 ? 76 : 62;
    sevenseg_select_set_by_size();
    strcpy(g_format.formatString, "?");
    build_format_string();
    DigitMetrics m = {0, 0, 0};
    int w = sevenseg_metrics(&m) ? text_width(g_format.formatString, m) : 0;
    int x = (sw - w) / 2;
    g_settings.horizontalOffset = x > 0 ? x : 0;
    g_settings.verticalOffset = (sh - g_timerFont.charHeight) / 2;
}

void place(int n) {
    Settings &s = g_settings;
    const ClockRecord &c = g_app.clock;
    int sw = screen_width(), sh = screen_height();
    int32_t today = zedate_daynumber(c.year, c.month, c.day);
    int32_t nextYear = zedate_daynumber(c.year + 1, 1, 1), thisYear = zedate_daynumber(c.year, 1, 1);
    int32_t &dest = g_timer.destinationDay;
    switch (n) {
    case 1: dest = nextYear, s.minWidth = sw; break;
    case 2: dest = thisYear, s.minWidth = sw; break;
    case 3:
        dest = c.month == 12 ? nextYear : zedate_daynumber(c.year, c.month + 1, 1);
        s.windowX = sw / 5, s.windowY = sh / 5;
        break;
    case 4: dest = nextYear; break;
    case 5: dest = thisYear; break;
    case 6:
    case 7: dest = today + 1, s.windowX = 50, s.windowY = 50; break;
    case 8:
    case 9: dest = nextYear, s.windowX = 50, s.windowY = 5; break;
    case 10: dest = today, full_screen_clock(sw, sh); break;
    }
}

}  // namespace

void apply_example(int n) {
    if (n < 1 || n > 10) return;
    if (german()) write_log("set example #%d (ger)", n);
    else write_log("set example #%d", n);
    sevenseg_set_busy(true);
    timer_window_close();
    settings_window_close();
    if (g_app.workAreaShrunk) timer_window_restore_work_area();
    unlink("quimo_bg_intern.bmp");

    const KeptSettings kept = settings_keep();
    char name[64], path[APP_PATH_MAX];
    snprintf(name, sizeof name, "examples/s%d.dbf", n);
    settings_load(app_data_path(name, path, sizeof path));
    if (n <= 8) {
        snprintf(name, sizeof name, "examples/%s/bg%d.bmp", german() ? "ger" : "eng", n);
        app_data_path(name, path, sizeof path);
        if (have_file(path)) copy_file(path, "quimo_bg_intern.bmp");
    }
    read_clock();
    place(n);

    settings_restore(kept);
    strcpy(g_format.formatString, "?");
    sevenseg_select_set_by_size();
    compute_colours();
    if (g_settings.resizeDesktop) {
        timer_window_compute_height();
        timer_window_shrink_work_area();
    }
    build_format_string();
    sevenseg_force_full_redraw();
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_create();
}

void tab_quimo_text() {
    set_canvas_height(1000);
    page_add("<b><font=arial20><textcolor=0000c0>QUIMO </b><textcolor=000000><font=arial16>%s<save=yTimer><xsave=xTimer>\n<yinc=6>",
             tr("- universal count-up or count-down timer", "- universeller Vorwärts- und Rückwärtszähler"));
    page_add("%s\n<yinc=6>",
             tr("QUIMO shows the time since or until a moment of your choice in seven-segment digits over a "
                "background picture. Choose the moment on the Timer tab, the form of the display on the Format "
                "tab, and where and how large the timer appears on the Size/Position/Colors tab. When a countdown "
                "ends, QUIMO can show a message, play a sound and start a program (Settings tab).",
                "QUIMO zeigt die Zeit seit oder bis zu einem Zeitpunkt Ihrer Wahl in Sieben-Segment-Ziffern über "
                "einem Hintergrundbild. Den Zeitpunkt wählen Sie auf der Seite Zeit, die Darstellung auf der "
                "Seite Format, Ort und Größe des Timers auf der Seite Größe/Position/Farben. Wenn ein Countdown "
                "abläuft, kann QUIMO eine Nachricht zeigen, einen Klang abspielen und ein Programm starten "
                "(Seite Einstellungen)."));
    char picture[APP_PATH_MAX];
    app_data_path("quimo_picture2.bmp", picture, sizeof picture);
    if (have_file(picture)) page_add("<center><image=%s></center>\n", picture);
    page_add("<hline><b><font=arial18>%s</b><font=arial16>%s\n<yinc=6>", tr("Examples ", "Beispiele "),
             tr("To get this settings window back: click on the timer window.",
                "Um dieses Fenster wieder zu öffnen: auf das Timer-Fenster klicken."));
    for (const Example &e : kExamples)
        page_add("%s<x=500><button=%s,%s,xs=120>\n<yinc=8>", tr(e.en, e.de), e.button,
                 tr("Set example", "Beispiel setzen"));
}

void tab_quimo_event(int id) {
    for (const Example &e : kExamples) {
        if (!is_event(id, e.button)) continue;
        apply_example(e.number);
        return;
    }
}
