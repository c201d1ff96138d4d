// The Format tab: the clock form with its fields and the decimal form with
// its unit and places; the preview shows the result at once.
#include "settings_internal.h"

namespace {

const char *const kFields[] = {"bDays", "bHours", "bMin", "bSec", "bdsec"};
const char *const kUnits[] = {"bcDays", "bcHours", "bcMin", "bcSec"};

bool *field_flag(DisplayFormat *f, int i) {
    bool *flags[] = {&f->showDays, &f->showHours, &f->showMinutes, &f->showSeconds, &f->showHundredths};
    return flags[i];
}

bool *unit_flag(DisplayFormat *f, int i) {
    bool *flags[] = {&f->unitDays, &f->unitHours, &f->unitMinutes, &f->unitSeconds};
    return flags[i];
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// True when the event changed the format.
bool format_event(int id) {
    DisplayFormat &f = g_format;
    if (is_event(id, "cbFormatClock")) return f.form = 1, true;
    if (is_event(id, "cbFormatDec")) return f.form = 2, true;
    for (int i = 0; i < 5; i++) {
        if (!is_event(id, kFields[i])) continue;
        f.form = 1;
        *field_flag(&f, i) = get_int(kFields[i]) != 0;
        format_make_contiguous(&f);
        return true;
    }
    if (is_change(id, "lbdec")) {
        int sel = get_int("lbdec");
        if (sel < 0) return false;
        f.form = 1;
        f.leadingWidth = sel + 1;
        return true;
    }
    for (int i = 0; i < 4; i++) {
        if (!is_event(id, kUnits[i])) continue;
        f.form = 2;
        for (int k = 0; k < 4; k++) *unit_flag(&f, k) = k == i;
        return true;
    }
    if (updown_event(id, "pl1")) {
        f.form = 2;
        f.integerWidth = updown_value("pl1");
        return true;
    }
    if (updown_event(id, "pl2")) {
        f.form = 2;
        f.decimals = updown_value("pl2");
        return true;
    }
    return false;
}

}  // namespace

void format_make_contiguous(DisplayFormat *f) {
    int first = -1, last = -1;
    for (int i = 0; i < 5; i++) {
        if (!*field_flag(f, i)) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) {
        f->showSeconds = true;
        return;
    }
    for (int i = first; i <= last; i++) *field_flag(f, i) = true;
}

void tab_format_text() {
    page_add("<font=arial20><textcolor=0000c0>%s<textcolor=000000><font=arial16>  %s<save=yTimer><xsave=xTimer>\n"
             "<yinc=14><hline>",
             tr("Format of the clock.", "Format der Uhr."), tr("Preview: ", "Vorschau: "));
    page_add("%s\n<yinc=6>", tr("Choose the standard format (a run of days, hours, minutes, seconds and hundredths, "
                                 "separated by colons) or the decimal format (one unit with decimal places).",
                                 "Wählen Sie das Standardformat (Tage, Stunden, Minuten, Sekunden und "
                                 "Hundertstel, durch Doppelpunkte getrennt) oder das Dezimalformat (eine "
                                 "Einheit mit Nachkommastellen)."));
    page_add("<checkbox=cbFormatClock,%s>\n<yinc=6>", tr("Standard format", "Standardformat"));
    page_add("<x=150><switchbutton=bDays,%s,xs=100><b>:</b><switchbutton=bHours,%s,xs=100><b>:</b>"
             "<switchbutton=bMin,%s,xs=100><b>:</b><switchbutton=bSec,%s,xs=100><b>:</b>"
             "<switchbutton=bdsec,%s,xs=100>\n<yinc=8>",
             tr("Days", "Tage"), tr("Hours", "Stunden"), tr("Minutes", "Minuten"), tr("Seconds", "Sekunden"),
             tr("1/100 Sec", "1/100 Sek"));
    page_add("<x=150>%s\n<x=150><listbox=lbdec,xs=100,ys=110,entries=1|2|3|4|5|6|7|8|9|10>\n<hline>",
             tr("Places for first element:", "Stellen für das erste Element:"));
    page_add("<checkbox=cbFormatDec,%s>\n<yinc=6>", tr("Decimal format", "Dezimalformat"));
    page_add("<x=150><switchbutton=bcDays,%s,xs=100><switchbutton=bcHours,%s,xs=100>"
             "<switchbutton=bcMin,%s,xs=100><switchbutton=bcSec,%s,xs=100>\n<yinc=8>",
             tr("Days", "Tage"), tr("Hours", "Stunden"), tr("Minutes", "Minuten"), tr("Seconds", "Sekunden"));
    page_add("<x=150>%s <updowncontrol=pl1,xs=44,min=1,max=10><b> . </b><updowncontrol=pl2,xs=44,min=1,max=7>\n",
             tr("Places:", "Stellen:"));
}

void tab_format_fill() {
    DisplayFormat &f = g_format;
    set_int("cbFormatClock", f.form == 1);
    set_int("cbFormatDec", f.form == 2);
    for (int i = 0; i < 5; i++) set_int(kFields[i], *field_flag(&f, i));
    set_int("lbdec", clamp(f.leadingWidth - 1, 0, 9));
    for (int i = 0; i < 4; i++) set_int(kUnits[i], *unit_flag(&f, i));
    set_int("pl1", f.integerWidth);
    set_int("pl2", f.decimals);
}

void tab_format_event(int id) {
    if (!format_event(id)) return;
    recompute();
    tab_format_fill();
}
