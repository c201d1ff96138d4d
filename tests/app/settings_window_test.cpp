// The settings window on the in-memory screen: every tab built in both
// languages with the same controls, and the rules at their edges (format
// contiguity, sliders at 0 and 100, up-downs typed past their limits, the
// destination on 29 February, 24h on and off, examples keeping what belongs
// to the user, the time dialog's typed times and squares).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

#include "app.h"
#include "platform/headless/zeheadless.h"
#include "settings.h"
#include "settings_window.h"
#include "sevenseg.h"
#include "timer_window.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zemetrics.h"
#include "zepage.h"
#include "zeplatform.h"
#include "zetime.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zeupdown.h"
#include "zeview.h"
#include "zewindow.h"

namespace {

// The program's files are found in the test's program directory (the log
// returns there): the digit sets, and the example settings without their
// pictures, so that no background picture is left for the other tests.
void program_files() {
    std::string program = getenv("ZE_PROGRAM_DIR"), here = zeprogramdir();
    if (symlink((program + "/7seg").c_str(), (here + "/7seg").c_str()) != 0) {}
    std::string copy = "mkdir -p '" + here + "/examples' && cp '" + program + "'/examples/s*.dbf '" + here + "/examples/'";
    ASSERT_EQ(system(copy.c_str()), 0);
    ASSERT_EQ(chdir(here.c_str()), 0);
}

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zefont_init();
        zeview_install();
        program_files();
        g_settings = Settings();
        g_timer = TimerState();
        g_format = DisplayFormat();
        g_app.language = 0;
        g_app.settingsWindowHeight = 550;
        g_app.workAreaShrunk = false;
        zebackend()->workarea(&g_app.initialWorkArea);
        read_clock();
        sevenseg_select_set_by_size();
        sevenseg_load_preview_font();
        compute_colours();
        build_format_string();
        timer_window_compute_height();
        timer_window_compute_width();
        timer_window_create();
    }
    void TearDown() override {
        settings_window_close();
        timer_window_close();
        sevenseg_set_busy(false);
        sevenseg_free(&g_timerFont);
        sevenseg_free(&g_previewFont);
    }

    zeGUIScript *page() { return settings_window_page(); }
    zeControl *control(const char *name) { return (zeControl *)zepage_find(page(), name); }
    int get(const char *name) { return zepage_get_int(page(), name); }
    std::string text(const char *name) {
        char buf[256] = "";
        zepage_get_text(page(), name, buf, sizeof buf);
        return buf;
    }
    // The user operates a control: its value, then its event.
    void operate(const char *name, int value) {
        ASSERT_NE(control(name), nullptr) << name;
        zepage_set_int(page(), name, value);
        settings_window_handle_event(control(name)->ids[0]);
    }
    void type(const char *name, const char *typed) {
        zeUpDownControl *u = (zeUpDownControl *)zepage_find(page(), name);
        ASSERT_NE(u, nullptr) << name;
        zepage_set_text(page(), name, typed);
        settings_window_handle_event(zeupdown_textid(u));
    }
    std::map<std::string, std::string> controls() {
        std::map<std::string, std::string> out;
        zeGUIScript *p = page();
        for (int i = 0; p && i < p->nused; i++)
            if (p->slots[i].inuse) out[p->slots[i].name] = p->slots[i].kind;
        return out;
    }
};

TEST(FormatRule, ShownFieldsAreMadeContiguous) {
    DisplayFormat f;
    f.showDays = f.showHours = f.showMinutes = f.showSeconds = f.showHundredths = false;
    format_make_contiguous(&f);
    EXPECT_TRUE(f.showSeconds);
    EXPECT_FALSE(f.showDays || f.showHours || f.showMinutes || f.showHundredths);

    f.showDays = true;  // days and seconds: hours and minutes join them
    format_make_contiguous(&f);
    EXPECT_TRUE(f.showDays && f.showHours && f.showMinutes && f.showSeconds);
    EXPECT_FALSE(f.showHundredths);

    f = DisplayFormat();
    f.showDays = f.showHours = f.showMinutes = f.showSeconds = false;
    f.showHundredths = true;  // the last field alone stays alone
    format_make_contiguous(&f);
    EXPECT_TRUE(f.showHundredths);
    EXPECT_FALSE(f.showSeconds);
}

TEST_F(SettingsWindow, EveryTabHasTheSameControlsInBothLanguages) {
    for (int tab = 0; tab < SETTINGS_TABS; tab++) {
        for (int sub = 0; sub < (tab == SETTINGS_TAB_WINDOW ? 2 : 1); sub++) {
            g_app.language = 0;
            settings_window_show_tab(tab, sub);
            ASSERT_NE(page(), nullptr);
            EXPECT_EQ(get("MainTab"), tab);
            auto english = controls();
            g_app.language = 1;
            settings_window_show_tab(tab, sub);
            EXPECT_EQ(controls(), english) << "tab " << tab << " sub-tab " << sub;
            EXPECT_GT(english.size(), 1u);
        }
    }
    g_app.language = 0;
    settings_window_show_tab(SETTINGS_TAB_TIMER, 0);
    for (const char *name : {"udDay", "cbMonth", "udYear", "cbHour", "udMin", "udSec", "btCalendar", "btTime", "cb24",
                             "cbCountDown", "cbCountUp", "cbNever", "cbAfter", "udRestartCUMinutes", "yTimer", "xTimer"})
        EXPECT_EQ(controls().count(name), 1u) << name;
}

TEST_F(SettingsWindow, TabChangeRebuildsAndTheWindowKeepsItsTab) {
    settings_window_show_tab(SETTINGS_TAB_QUIMO, 0);
    operate("MainTab", SETTINGS_TAB_FORMAT);
    EXPECT_EQ(settings_window_tab(), SETTINGS_TAB_FORMAT);
    EXPECT_NE(control("cbFormatClock"), nullptr);
    EXPECT_EQ(control("btSet1"), nullptr);
    settings_window_close();
    EXPECT_FALSE(g_app.settingsWindowOpen);
    settings_window_open_or_refresh();
    EXPECT_EQ(get("MainTab"), SETTINGS_TAB_FORMAT);
    zeWindow *w = settings_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->width, 740);
}

TEST_F(SettingsWindow, FormatSwitchesKeepTheFieldsContiguous) {
    settings_window_show_tab(SETTINGS_TAB_FORMAT, 0);
    operate("bMin", 0);  // minutes off between hours and seconds: back on
    EXPECT_TRUE(g_format.showMinutes);
    EXPECT_EQ(get("bMin"), 1);
    for (const char *f : {"bDays", "bHours", "bMin", "bSec"}) operate(f, 0);
    EXPECT_TRUE(g_format.showSeconds);  // nothing left: seconds alone
    EXPECT_STREQ(g_format.formatString, "####");
    operate("bdsec", 1);
    EXPECT_STREQ(g_format.formatString, "####:##");
    operate("bcMin", 1);
    EXPECT_EQ(g_format.form, 2);
    EXPECT_TRUE(g_format.unitMinutes && !g_format.unitHours);
    EXPECT_EQ(get("cbFormatDec"), 1);
    EXPECT_EQ(get("cbFormatClock"), 0);
    type("pl2", "9");  // past 7: held at the range's end
    EXPECT_EQ(g_format.decimals, 7);
}

TEST_F(SettingsWindow, SlidersAtTheirEndsAndUpDownsTypedPastTheirLimits) {
    settings_window_show_tab(SETTINGS_TAB_WINDOW, 0);
    int sw = guimetrics("screenxs"), sh = guimetrics("screenys");
    operate("slX", 100);
    EXPECT_EQ(g_settings.windowX, sw);
    EXPECT_EQ(get("udX"), sw);
    operate("slY", 0);
    EXPECT_EQ(g_settings.windowY, 0);
    operate("slYPos", 100);
    EXPECT_EQ(g_settings.minHeight, sh);
    EXPECT_EQ(timer_window_height(), sh);
    type("udX", "99999");
    EXPECT_EQ(g_settings.windowX, 3000);
    type("udY", "-7");
    EXPECT_EQ(g_settings.windowY, 0);
    type("udXOffs", "40");
    EXPECT_EQ(g_settings.horizontalOffset, 40);
    EXPECT_EQ(get("slXOffs"), 40 * 100 / sw);

    operate("tab2", 1);
    EXPECT_EQ(settings_window_subtab(), 1);
    type("udBorder", "250");
    EXPECT_EQ(g_settings.borderWidth, 100);
    operate("slColor", 100);
    EXPECT_EQ(g_settings.segmentColour, sevenseg_colour_table(100));
    EXPECT_EQ(((zeControl *)control("btColor"))->bgcolor, (int)sevenseg_colour_table(100));
    operate("slContrast", 0);
    EXPECT_EQ(g_settings.contrast, 1);  // 0 works as 1
    operate("slSize", 100);
    EXPECT_EQ(g_settings.size, 100);
    EXPECT_EQ(g_timerFont.set, 16);
}

TEST_F(SettingsWindow, DestinationOnTwentyNinthOfFebruary) {
    g_timer.destinationDay = zedate_daynumber(2028, 2, 29);
    g_timer.destinationSecond = 13 * 3600 + 5 * 60 + 9;
    settings_window_show_tab(SETTINGS_TAB_TIMER, 0);
    EXPECT_EQ(get("udDay"), 29);
    EXPECT_EQ(get("cbMonth"), 1);
    EXPECT_EQ(get("udYear"), 2028);
    EXPECT_EQ(get("cbHour"), 13);
    EXPECT_EQ(get("udMin"), 5);
    EXPECT_EQ(get("udSec"), 9);
    type("udYear", "2027");  // no 29 February: the month's last day
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(2027, 2, 28));
    EXPECT_EQ(get("udDay"), 28);
    type("udDay", "45");
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(2027, 2, 28));
    operate("cbMonth", 2);
    type("udDay", "31");
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(2027, 3, 31));
    type("udYear", "1200");
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(1500, 3, 31));
    operate("udMin", 59);
    EXPECT_EQ(g_timer.destinationSecond, 13 * 3600 + 59 * 60 + 9);
}

TEST_F(SettingsWindow, TwentyFourHourListOnAndOff) {
    settings_window_show_tab(SETTINGS_TAB_TIMER, 0);
    zepage_set_int(page(), "cbHour", 13);
    EXPECT_EQ(text("cbHour"), "  1 PM");
    zepage_set_int(page(), "cbHour", 0);
    EXPECT_EQ(text("cbHour"), "12 AM");
    operate("cb24", 1);
    EXPECT_TRUE(g_settings.hours24);
    EXPECT_EQ(get("cb24"), 1);  // built again, checked
    zepage_set_int(page(), "cbHour", 0);
    EXPECT_EQ(text("cbHour"), "00");
    zepage_set_int(page(), "cbHour", 23);
    EXPECT_EQ(text("cbHour"), "23");
    operate("cb24", 0);
    EXPECT_FALSE(g_settings.hours24);
    zepage_set_int(page(), "cbHour", 12);
    EXPECT_EQ(text("cbHour"), "12 PM");
}

TEST_F(SettingsWindow, ModeChangeRebuildsWithTheCountUpRules) {
    g_timer.countUp = false;
    g_timer.stopAfterFinished = true;
    settings_window_show_tab(SETTINGS_TAB_TIMER, 0);
    EXPECT_NE(control("cbRound"), nullptr);
    EXPECT_EQ(control("cbNever"), nullptr);
    operate("cbContinue", 1);
    EXPECT_FALSE(g_timer.stopAfterFinished);
    EXPECT_EQ(g_format.formatString[0], '-');  // negative values get their sign place
    operate("cbCountUp", 1);
    EXPECT_TRUE(g_timer.countUp);
    ASSERT_NE(control("cbNever"), nullptr);
    EXPECT_EQ(get("cbNever"), 1);  // not stopping: the stop-after time is greyed
    EXPECT_TRUE(control("udStopCUDays")->grey);
    operate("cbAfter", 1);
    EXPECT_FALSE(control("udStopCUDays")->grey);
    EXPECT_EQ(get("cbNever"), 0);
    operate("cbRestartAfter", 1);
    EXPECT_EQ(g_timer.countUpStopMode, 2);
    EXPECT_FALSE(control("udRestartCUDays")->grey);
    type("udRestartCUDays", "1");
    type("udRestartCUHours", "2");
    type("udRestartCUMinutes", "3");
    EXPECT_EQ(g_timer.restartAfter, 93780);
    operate("cbStop", 1);
    EXPECT_EQ(g_timer.countUpStopMode, 0);
    EXPECT_EQ(get("cbRestartAfter"), 0);
    EXPECT_TRUE(control("udRestartCUDays")->grey);
}

void keep_these(void) {
    g_settings.actionSound = true;
    strcpy(g_settings.soundFile, "sounds/gong.wav");
    strcpy(g_settings.messageText, "Tea!");
    g_settings.hours24 = true;
    g_settings.autostart = true;
    g_settings.windowOnStart = false;
    g_timer.roundUp = false;
}

void expect_kept(int language) {
    EXPECT_EQ(g_app.language, language);
    EXPECT_TRUE(g_settings.actionSound);
    EXPECT_STREQ(g_settings.soundFile, "sounds/gong.wav");
    EXPECT_STREQ(g_settings.messageText, "Tea!");
    EXPECT_TRUE(g_settings.hours24);
    EXPECT_TRUE(g_settings.autostart);
    EXPECT_FALSE(g_settings.windowOnStart);
    EXPECT_FALSE(g_timer.roundUp);
}

TEST_F(SettingsWindow, ExamplesInBothLanguagesKeepTheRememberedItems) {
    for (int language : {0, 1}) {
        g_app.language = language;
        keep_these();
        settings_window_show_tab(SETTINGS_TAB_QUIMO, 0);
        settings_window_handle_event(control("btSet4")->ids[0]);
        expect_kept(language);
        EXPECT_FALSE(g_app.settingsWindowOpen);  // the timer window brings it back
        EXPECT_NE(timer_window(), nullptr);
        EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(g_app.clock.year + 1, 1, 1));
    }
    apply_example(3);
    EXPECT_EQ(g_settings.windowX, guimetrics("screenxs") / 5);
    const ClockRecord &c = g_app.clock;
    EXPECT_EQ(g_timer.destinationDay, c.month == 12 ? zedate_daynumber(c.year + 1, 1, 1)
                                                     : zedate_daynumber(c.year, c.month + 1, 1));
    apply_example(7);
    EXPECT_EQ(g_timer.destinationDay, zedate_daynumber(c.year, c.month, c.day) + 1);
    apply_example(10);  // centred digits
    int sw = guimetrics("screenxs");
    EXPECT_EQ(g_settings.size, sw < 1024 ? 56 : sw >= 1280 ? 76 : 62);
    expect_kept(1);
}

TEST(TimeEntry, TypedTimes) {
    EXPECT_EQ(time_entry_parse("12 AM", 5, 30), 0 * 60 + 30);  // the typed hour, the minute kept
    EXPECT_EQ(time_entry_parse("12:00 AM", -1, -1), 0);
    EXPECT_EQ(time_entry_parse("12 PM", 1, 0), 12 * 60);
    EXPECT_EQ(time_entry_parse("1:30 pm", -1, -1), 13 * 60 + 30);
    EXPECT_EQ(time_entry_parse("7.15", -1, -1), 7 * 60 + 15);
    EXPECT_EQ(time_entry_parse("14", 9, 25), 14 * 60 + 25);
    EXPECT_EQ(time_entry_parse("25:75", -1, -1), 23 * 60 + 59);
    EXPECT_EQ(time_entry_parse("", 8, 10), 8 * 60 + 10);
    EXPECT_EQ(time_entry_parse("-3", 8, 10), 8 * 60 + 10);  // ":3" reads no hour: the selection stays
}

TEST_F(SettingsWindow, TimeDialogEndsWithEnterOrEscape) {
    zeevent_post(ZEKEY_ENTER);
    EXPECT_EQ(time_entry_dialog(13 * 60 + 25), 13 * 60 + 25);
    zeevent_post(ZEKEY_ESCAPE);
    EXPECT_EQ(time_entry_dialog(7 * 60), 7 * 60);
    zeevent_post(ZEKEY_ENTER);
    EXPECT_EQ(time_entry_dialog(-1), -1);  // nothing chosen
    EXPECT_EQ(zewindow_count(), 1);        // the dialog's window is gone, the timer's stays
}

// Typed text is the user's: whatever it holds, the answer is a time of day.
TEST(TimeEntry, MutatedTypedTimesStayWithinTheDay) {
    const char *seeds[] = {"10:45 AM", "14.25", "12 pm", "7", "99999999999:-99999999999", "%n%s", "a p : ; - + * = / \\"};
    unsigned seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7fff; };
    for (int round = 0; round < 3000; round++) {
        std::string t = seeds[round % 7];
        for (int k = next() % 6; k > 0; k--) {
            size_t at = t.empty() ? 0 : next() % (t.size() + 1);
            if (next() % 2 && !t.empty() && at < t.size()) t[at] = (char)(next() % 256);
            else t.insert(at, 1, (char)(next() % 256));
        }
        int v = time_entry_parse(t.c_str(), (int)(next() % 30) - 3, (int)(next() % 70) - 3);
        ASSERT_GE(v, 0) << t;
        ASSERT_LT(v, 24 * 60) << t;
    }
}

TEST(TimeEntry, SquaresUnderThePointer) {
    int hour = -1, minute = -1;
    // Minute square in the second row, third column: 40.
    ASSERT_TRUE(time_entry_hit(260 + 2 * 37 + 5, 25 + 5, &hour, &minute));
    EXPECT_EQ(minute, 40);
    EXPECT_EQ(hour, 0);  // made 0 while unset
    ASSERT_TRUE(time_entry_hit(11, 3 * 25 + 1, &hour, &minute));
    EXPECT_EQ(hour, 18);
    EXPECT_EQ(minute, 40);
    ASSERT_TRUE(time_entry_hit(231, 0, &hour, &minute));
    EXPECT_EQ(hour, 5);
    EXPECT_FALSE(time_entry_hit(10, 10, &hour, &minute));
    EXPECT_FALSE(time_entry_hit(300, 60, &hour, &minute));  // below the minutes' two rows
    EXPECT_FALSE(time_entry_hit(50, 100, &hour, &minute));
}

}  // namespace
