// The Size/Position/Colors tab: the window's place, offsets, minimum size
// and flags (sub-tab Window), and digit size, colours, contrast and border
// (sub-tab Size/Colors/Border).
#include "settings_internal.h"

#include <cstdio>

#include "background.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zecolorchooser.h"

namespace {

// A slider and its up-down, tied to one setting measured against the
// screen's width or height.
struct Pair {
    const char *slider, *updown;
    int32_t *setting;
    bool vertical;
    enum { MOVE, PLACE_Y, LAYOUT } effect;
};

Pair kPairs[] = {
    {"slX", "udX", &g_settings.windowX, false, Pair::MOVE},
    {"slY", "udY", &g_settings.windowY, true, Pair::PLACE_Y},
    {"slXOffs", "udXOffs", &g_settings.horizontalOffset, false, Pair::LAYOUT},
    {"slXPos", "udXPos", &g_settings.minWidth, false, Pair::LAYOUT},
    {"slYOffs", "udYOffs", &g_settings.verticalOffset, true, Pair::LAYOUT},
    {"slYPos", "udYPos", &g_settings.minHeight, true, Pair::LAYOUT},
};

struct Flag {
    const char *name;
    bool *setting;
    void (*apply)(bool on);
};

const Flag kFlags[] = {
    {"cbAlwaysOnTop", &g_settings.alwaysOnTop, timer_window_set_always_on_top},
    {"cbOnDesktop", &g_settings.stayOnDesktop, timer_window_set_stay_on_desktop},
    {"cbFullScreen", &g_settings.fullscreen, timer_window_set_fullscreen},
    {"cbAlwaysVisible", &g_settings.alwaysVisible, timer_window_set_always_visible},
};

int extent(const Pair &p) {
    int s = p.vertical ? screen_height() : screen_width();
    return s > 0 ? s : 1;
}

void show_pair(const Pair &p) {
    set_int(p.updown, *p.setting);
    set_int(p.slider, *p.setting * 100 / extent(p));
}

void relayout() {
    timer_window_compute_height();
    timer_window_compute_width();
    timer_window_recreate();
}

void pair_changed(const Pair &p) {
    switch (p.effect) {
    case Pair::MOVE: timer_window_move(g_settings.windowX, g_settings.windowY); break;
    case Pair::PLACE_Y:
        // A timer moved away from the screen edge no longer reserves it.
        if (g_app.workAreaShrunk) timer_window_restore_work_area();
        g_settings.resizeDesktop = false;
        timer_window_move(g_settings.windowX, g_settings.windowY);
        break;
    case Pair::LAYOUT: relayout(); break;
    }
}

bool pair_event(int id) {
    for (const Pair &p : kPairs) {
        if (is_event(id, p.slider)) {
            *p.setting = extent(p) * get_int(p.slider) / 100;
            set_int(p.updown, *p.setting);
        } else if (updown_event(id, p.updown)) {
            *p.setting = updown_value(p.updown);
            set_int(p.slider, *p.setting * 100 / extent(p));
        } else {
            continue;
        }
        pair_changed(p);
        return true;
    }
    return false;
}

void show_flags() {
    for (const Flag &f : kFlags) set_int(f.name, *f.setting);
}

int colour_index(uint32_t colour) {
    for (int i = 0; i <= 100; i++)
        if (sevenseg_colour_table(i) == colour) return i;
    return 0;
}

void recolour() {
    compute_colours();
    sevenseg_force_full_redraw();
}

void choose_colour(uint32_t *colour, const char *title) {
    choosers_begin();
    *colour = (uint32_t)zecolorchooser((int32_t)*colour, title) & 0xffffff;
    compute_colours();
    choosers_end();
}

bool colour_event(int id) {
    Settings &s = g_settings;
    if (is_event(id, "slSize")) {
        sevenseg_change_size(get_int("slSize"));
        return true;
    }
    if (is_event(id, "slColor")) {
        s.segmentColour = sevenseg_colour_table(get_int("slColor"));
        recolour();
        set_button_face("btColor", s.segmentColour);
        return true;
    }
    if (is_event(id, "slContrast")) {
        s.contrast = get_int("slContrast");
        recolour();
        return true;
    }
    if (updown_event(id, "udBorder")) {
        s.borderWidth = updown_value("udBorder");
        relayout();
        return true;
    }
    if (is_event(id, "btColor")) return choose_colour(&s.segmentColour, "color"), true;
    if (is_event(id, "btBorderColor")) return choose_colour(&s.borderColour, "border color"), true;
    if (is_event(id, "btBGColor")) return background_colour_button(), true;
    return false;
}

void window_subtab_text() {
    const char *pixel = tr("pixel", "Pixel");
    struct Row {
        const char *en, *de;
        int pair;
    };
    const Row rows[] = {{"X-Position: ", "X-Position: ", 0}, {"Y-Position: ", "Y-Position: ", 1},
                        {"X-Offset: ", "X-Versatz: ", 2},    {"X-Size: ", "X-Größe: ", 3},
                        {"Y-Offset: ", "Y-Versatz: ", 4},    {"Y-Size: ", "Y-Größe: ", 5}};
    for (const Row &r : rows) {
        const Pair &p = kPairs[r.pair];
        page_add("%s<x=100><slide=%s,xs=350,showpos><x=500><updowncontrol=%s,xs=80,min=0,max=3000> %s\n<yinc=6>",
                 tr(r.en, r.de), p.slider, p.updown, pixel);
        if (r.pair == 1)
            page_add("<x=100><button=btFixTop,%s,xs=290>  <button=btFixBottom,%s,xs=290>\n<yinc=6><hline>",
                     tr("Stick timer on top of the screen", "Timer oben am Bildschirm fixieren"),
                     tr("Stick timer on the bottom of the screen", "Timer unten am Bildschirm fixieren"));
    }
    page_add("<hline><b>%s</b>\n", tr("Window flags", "Fenstereigenschaften"));
    page_add("<x=150><checkbox=cbAlwaysOnTop,%s>\n", tr("Always on top of all windows", "Immer über allen Fenstern"));
    page_add("<x=150><checkbox=cbOnDesktop,%s>\n", tr("Always on the Desktop", "Immer auf dem Desktop"));
    page_add("<x=150><checkbox=cbFullScreen,%s>\n", tr("Full screen", "Vollbild"));
    page_add("<x=150><checkbox=cbAlwaysVisible,%s>\n",
             tr("Always visible - even when a full screen application (e.g. a presentation) is active",
                "Immer sichtbar - auch wenn ein Vollbildprogramm (z.B. eine Präsentation) aktiv ist"));
}

void colours_subtab_text() {
    const Settings &s = g_settings;
    page_add("<b>%s</b><x=150><slide=slSize,xs=350,showpos>\n<yinc=10>", tr("Size:", "Größe:"));
    page_add("<b>%s</b><x=150><slide=slColor,xs=350><x=520><button=btColor,%s,xs=150,bgcolor=%06x>\n<yinc=10>",
             tr("Color:", "Farbe:"), tr("Choose color", "Farbe wählen"), s.segmentColour);
    page_add("<b>%s</b><x=150><slide=slContrast,xs=350,showpos>\n<yinc=10><hline>", tr("Contrast:", "Kontrast:"));
    page_add("<x=150><button=btBGColor,%s,xs=200,bgcolor=%06x>\n<yinc=10><hline>",
             tr("Background color", "Hintergrundfarbe"), s.backgroundColour);
    page_add("<b>%s</b><x=150><updowncontrol=udBorder,xs=60,min=0,max=100> %s<x=300>"
             "<button=btBorderColor,%s,xs=200,bgcolor=%06x>\n",
             tr("Border", "Rahmen"), tr("pixel", "Pixel"), tr("Border color", "Rahmenfarbe"), s.borderColour);
}

}  // namespace

void tab_window_text() {
    page_add("<yinc=-4><x=0><tabbar=tab2,xs=100%%,greystyle,tabs=%s>\n<yinc=10>",
             tr("Window|Size/Colors/Border", "Fenster|Größe/Farben/Rahmen"));
    if (settings_window_subtab() == 0) window_subtab_text();
    else colours_subtab_text();
}

void tab_window_fill() {
    set_int("tab2", settings_window_subtab());
    if (settings_window_subtab() == 1) {
        set_int("udBorder", g_settings.borderWidth);
        set_int("slSize", g_settings.size);
        set_int("slColor", colour_index(g_settings.segmentColour));
        set_int("slContrast", g_settings.contrast);
        return;
    }
    for (const Pair &p : kPairs) show_pair(p);
    show_flags();
}

void tab_window_show_position() {
    show_pair(kPairs[0]);
    show_pair(kPairs[1]);
}

void tab_window_event(int id) {
    if (settings_window_subtab() == 1) {
        colour_event(id);
        return;
    }
    if (pair_event(id)) return;
    if (is_event(id, "btFixTop")) return timer_window_fix_to_top();
    if (is_event(id, "btFixBottom")) return timer_window_fix_to_bottom();
    for (const Flag &f : kFlags) {
        if (!is_event(id, f.name)) continue;
        f.apply(get_int(f.name) != 0);
        // The flags exclude each other: show what the rules left.
        if (settings_window()) show_flags();
        return;
    }
}
