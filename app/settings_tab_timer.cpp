// The Timer tab: mode, destination date and time, 24h, the stop and restart
// rules of a count-up and the end of a countdown.
#include "settings_internal.h"

#include <cstdio>

#include "zetime.h"

namespace {

const char *const kStopUpDowns[] = {"udStopCUDays", "udStopCUHours", "udStopCUMinutes", "udStopCUSeconds"};
const char *const kRestartUpDowns[] = {"udRestartCUDays", "udRestartCUHours", "udRestartCUMinutes"};

void enable_all(const char *const *names, int n, bool on) {
    for (int i = 0; i < n; i++) set_enabled(names[i], on);
}

void stop_updowns(bool on) { enable_all(kStopUpDowns, 4, on); }
void restart_updowns(bool on) { enable_all(kRestartUpDowns, 3, on); }

// The hour list: "12 AM", "  1 AM" ... "11 PM", or "00" ... "23".
void add_hour_entries() {
    for (int h = 0; h < 24; h++) {
        if (g_settings.hours24) {
            page_add("%s%02u", h ? "|" : "", (unsigned)h);
            continue;
        }
        int shown = h % 12 == 0 ? 12 : h % 12;
        page_add("%s%s%d %s", h ? "|" : "", shown < 10 ? "  " : "", shown, h < 12 ? "AM" : "PM");
    }
}

void date_row() {
    page_add("<b>%s</b>\n", g_timer.countUp ? tr("Count up since:", "Hochzählen seit:")
                                            : tr("Count down until:", "Herunterzählen bis:"));
    page_add("<x=250>%s<x=300>%s<x=365>%s<x=425>%s<x=500>%s<x=550>%s\n", tr("Day", "Tag"), tr("Month", "Monat"),
             tr("Year", "Jahr"), tr("Hour", "Stunde"), tr("Minute", "Minute"), tr("Second", "Sekunde"));
    page_add("<x=250><updowncontrol=udDay,width=45,min=1,max=31><x=300><combobox=cbMonth,width=60,entries=%s>",
             tr("Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec", "Jan|Feb|Mär|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez"));
    // The start value is set by the fill: the text is not formatted.
    page_add("<x=365><updowncontrol=udYear,min=1500,max=3000,width=55,start=%%d><x=425><xsave=xh><combobox=cbHour,xs=70,entries=");
    add_hour_entries();
    page_add("><x=500><updowncontrol=udMin,min=0,max=59,width=45,digits=2>"
             "<x=550><updowncontrol=udSec,min=0,max=59,width=45,digits=2>\n<yinc=8>");
    page_add("<x=250><button=btCalendar,%s,xs=150><xrestore=xh><button=btTime,%s,xs=150>\n<yinc=6>",
             tr("Calendar", "Kalender"), tr("Set time", "Zeit setzen"));
    page_add("<xrestore=xh><checkbox=cb24,%s>\n", tr("24h-format", "24h-Format"));
}

void count_up_rules() {
    bool de = german();
    page_add("<hline><b>%s</b>\n", tr("Stop counting up:", "Hochzählen beenden:"));
    page_add("<x=30><checkbox=cbNever,%s>\n<x=30><checkbox=cbAfter,%s>  ", tr("Never", "Nie"),
             tr("After", "Nach"));
    int small = de ? 40 : 45;
    page_add("<updowncontrol=udStopCUDays,xs=70,min=0,max=9999> %s  ", tr("Days", "Tagen"));
    page_add("<updowncontrol=udStopCUHours,xs=%d,min=0,max=23> %s  ", small, tr("Hours", "Std."));
    page_add("<updowncontrol=udStopCUMinutes,xs=%d,min=0,max=59,digits=2> %s  ", small, tr("Minutes", "Min."));
    page_add("<updowncontrol=udStopCUSeconds,xs=%d,min=0,max=59,digits=2> %s\n<yinc=6>", small,
             tr("Seconds", "Sek."));
    page_add("<hline><b>%s</b>\n",
             tr("When counting up is finished:", "Wenn das Hochzählen beendet ist:"));
    page_add("<x=30><checkbox=cbStop,%s>\n<x=30><checkbox=cbRestart,%s>\n<x=30><checkbox=cbRestartAfter,%s>  ",
             tr("Stop", "Anhalten"), tr("Restart", "Neu starten"), tr("Restart after", "Neu starten nach"));
    if (de) page_add("\n<x=250>");
    page_add("<updowncontrol=udRestartCUDays,xs=70,min=0,max=999> %s  ", tr("Days", "Tagen"));
    page_add("<updowncontrol=udRestartCUHours,xs=45,min=0,max=23> %s  ", tr("Hours", "Std."));
    page_add("<updowncontrol=udRestartCUMinutes,xs=45,min=0,max=59,digits=2> %s\n", tr("Minutes", "Min."));
}

void count_down_rules() {
    page_add("<hline><b>%s</b>\n", tr("When countdown is finished:", "Wenn der Countdown abgelaufen ist:"));
    page_add("<x=30><checkbox=cbStop,%s>\n<x=30><checkbox=cbContinue,%s> %s\n", tr("Stop", "Anhalten"),
             tr("Continue counting", "Weiterzählen"), tr("(negative value)", "(negativer Wert)"));
    page_add("<hline><b>%s</b>\n", tr("Rounding", "Runden"));
    page_add("<x=30><checkbox=cbRound,%s>\n<leftborder=250>%s<leftborder=10>\n",
             tr("Round countdown up", "Countdown aufrunden"),
             tr("If active, the countdown is always finished with a change to 0.",
                "Wenn aktiv, endet der Countdown immer mit dem Wechsel auf 0."));
}

// A count-up whose destination moves into the future shows negative
// values: its format needs the minus place it lacked, and the reverse.
void recompute_if_sign_changed() {
    compute();
    const TimerState &t = g_timer;
    bool minus = !((!t.countUp && t.stopAfterFinished) || (t.countUp && t.difference > 0));
    if (minus != (g_format.formatString[0] == '-')) recompute();
}

void set_destination_second() {
    g_timer.destinationSecond = updown_value("udSec") + updown_value("udMin") * 60 + get_int("cbHour") * 3600;
    recompute_if_sign_changed();
}

// A day past the month's end (31 February) is held at its last day, so the
// date shown is the date counted to.
void set_destination_day() {
    int year = updown_value("udYear"), month = get_int("cbMonth") + 1, day = updown_value("udDay");
    if (month < 1 || month > 12) month = 1;
    int last = zedate_daysinmonth(year, month);
    if (day > last) {
        day = last;
        set_int("udDay", day);
    }
    g_timer.destinationDay = zedate_daynumber(year, month, day);
    recompute_if_sign_changed();
}

void set_date(int year, int month, int day) {
    set_int("udDay", day);
    set_int("cbMonth", month - 1);
    set_int("udYear", year);
    set_destination_day();
}

bool count_up_event(int id) {
    TimerState &t = g_timer;
    if (is_event(id, "cbNever") || is_event(id, "cbAfter")) {
        t.stopAfterFinished = is_event(id, "cbAfter");
        set_int("cbNever", !t.stopAfterFinished);
        set_int("cbAfter", t.stopAfterFinished);
        stop_updowns(t.stopAfterFinished);
        recompute();
        return true;
    }
    for (const char *name : kStopUpDowns) {
        if (!updown_event(id, name)) continue;
        t.countUpTime = updown_value("udStopCUDays") * 86400 + updown_value("udStopCUHours") * 3600 +
                        updown_value("udStopCUMinutes") * 60 + updown_value("udStopCUSeconds");
        return true;
    }
    const char *modes[] = {"cbStop", "cbRestart", "cbRestartAfter"};
    for (int m = 0; m < 3; m++) {
        if (!is_event(id, modes[m])) continue;
        t.countUpStopMode = m;
        for (int k = 0; k < 3; k++) set_int(modes[k], k == m);
        restart_updowns(m == 2);
        return true;
    }
    for (const char *name : kRestartUpDowns) {
        if (!updown_event(id, name)) continue;
        t.restartAfter = updown_value("udRestartCUDays") * 86400 + updown_value("udRestartCUHours") * 3600 +
                         updown_value("udRestartCUMinutes") * 60;
        return true;
    }
    return false;
}

bool count_down_event(int id) {
    TimerState &t = g_timer;
    if (is_event(id, "cbStop") || is_event(id, "cbContinue")) {
        t.stopAfterFinished = is_event(id, "cbStop");
        set_int("cbStop", t.stopAfterFinished);
        set_int("cbContinue", !t.stopAfterFinished);
        recompute();
        return true;
    }
    if (is_event(id, "cbRound")) {
        t.roundUp = get_int("cbRound") != 0;
        return true;
    }
    return false;
}

void time_button() {
    int minutes = time_entry_dialog(destination_hour() * 60 + destination_minute());
    if (minutes < 0 || !settings_window()) return;
    set_int("cbHour", minutes / 60);
    set_int("udMin", minutes % 60);
    set_int("udSec", 0);
    set_destination_second();
}

void calendar_button() {
    int y = destination_year(), m = destination_month(), d = destination_day_of_month();
    if (!date_picker(&y, &m, &d, tr("Enter date", "Datum eingeben")) || !settings_window()) return;
    set_date(y, m, d);
}

}  // namespace

void tab_timer_text() {
    page_add("<font=arial20><textcolor=0000c0>%s<textcolor=000000><font=arial16>\n",
             tr("Set start or destination time point on this page.", "Start- oder Zielzeitpunkt auf dieser Seite einstellen."));
    page_add("%s<save=yTimer><xsave=xTimer>\n<yinc=12><hline>", tr("Preview: ", "Vorschau: "));
    page_add("<b>%s</b>  <checkbox=cbCountDown,%s>  <checkbox=cbCountUp,%s>\n<hline>", tr("Mode:", "Modus:"),
             tr("Count down", "Herunterzählen"), tr("Count up", "Hochzählen"));
    date_row();
    if (g_timer.countUp) count_up_rules();
    else count_down_rules();
}

void tab_timer_fill() {
    const TimerState &t = g_timer;
    if (t.countUp) {
        set_int("cbCountUp", 1);
        set_int("udStopCUDays", stop_after_days());
        set_int("udStopCUHours", stop_after_hours());
        set_int("udStopCUMinutes", stop_after_minutes());
        set_int("udStopCUSeconds", stop_after_seconds());
        set_int(t.stopAfterFinished ? "cbAfter" : "cbNever", 1);
        stop_updowns(t.stopAfterFinished);
        const char *modes[] = {"cbStop", "cbRestart", "cbRestartAfter"};
        int m = t.countUpStopMode >= 0 && t.countUpStopMode <= 2 ? t.countUpStopMode : 0;
        set_int(modes[m], 1);
        restart_updowns(m == 2);
        set_int("udRestartCUDays", restart_after_days());
        set_int("udRestartCUHours", restart_after_hours());
        set_int("udRestartCUMinutes", restart_after_minutes());
    } else {
        set_int("cbCountDown", 1);
        set_int(t.stopAfterFinished ? "cbStop" : "cbContinue", 1);
        set_int("cbRound", t.roundUp);
    }
    set_int("cb24", g_settings.hours24);
    set_int("udDay", destination_day_of_month());
    set_int("cbMonth", destination_month() - 1);
    set_int("udYear", destination_year());
    set_int("cbHour", destination_hour());
    set_int("udMin", destination_minute());
    set_int("udSec", destination_second());
}

void tab_timer_event(int id) {
    TimerState &t = g_timer;
    if (is_event(id, "cbCountUp") || is_event(id, "cbCountDown")) {
        bool up = is_event(id, "cbCountUp");
        if (up == t.countUp) {
            set_int(up ? "cbCountUp" : "cbCountDown", 1);
            recompute();
            return;
        }
        t.countUp = up;
        recompute();
        settings_rebuild();
        return;
    }
    if (t.countUp ? count_up_event(id) : count_down_event(id)) return;
    if (updown_event(id, "udDay") || is_event(id, "cbMonth") || updown_event(id, "udYear")) {
        set_destination_day();
        return;
    }
    if (is_event(id, "cbHour") || updown_event(id, "udMin") || updown_event(id, "udSec")) {
        set_destination_second();
        return;
    }
    if (is_event(id, "btTime")) return time_button();
    if (is_event(id, "btCalendar")) return calendar_button();
    if (is_event(id, "cb24")) {
        g_settings.hours24 = get_int("cb24") != 0;
        settings_rebuild();
    }
}
