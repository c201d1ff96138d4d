// The timer's arithmetic: difference to the destination, stop and restart
// rules, the time-up start, rounding and the split into fields.
#include "app.h"
#include "zetime.h"
#include <climits>

// Seconds added before the split when a decimal count-down rounds up,
// by unit (days, hours, minutes, seconds) and decimals 1..4.
static const int32_t DECIMAL_ROUNDING[4][4] = {
    {8639, 863, 85, 7},
    {359, 35, 2, 0},
    {5, 0, 0, 0},
    {0, 0, 0, 0},
};

static int64_t clock_rounding(int32_t &subSecond) {
    const DisplayFormat &f = g_format;
    if (f.showHundredths) return 0;
    if (f.showSeconds) {
        if (subSecond >= 1) return 1;
        subSecond = 99;
        return 0;
    }
    if (f.showMinutes) return 59;
    if (f.showHours) return 3599;
    if (f.showDays) return 86399;
    return 0;
}

static int64_t decimal_rounding() {
    const DisplayFormat &f = g_format;
    if (f.decimals < 1 || f.decimals > 4) return 0;
    const bool units[4] = {f.unitDays, f.unitHours, f.unitMinutes, f.unitSeconds};
    int64_t add = 0;
    for (int u = 0; u < 4; u++)
        if (units[u]) add += DECIMAL_ROUNDING[u][f.decimals - 1];
    return add;
}

// A destination centuries away does not fit 32 bits of seconds; hold the
// value at the edge instead of wrapping into a wrong sign.
static int32_t saturate(int64_t v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < -INT_MAX) return -INT_MAX;
    return (int32_t)v;
}

static void compute_count_up(TimerState &t, int32_t today, int32_t now) {
    int64_t elapsed = ((int64_t)today - t.destinationDay) * 86400 + now - t.destinationSecond;
    t.difference = saturate(elapsed);
    t.running = true;
    if (t.stopAfterFinished && elapsed >= t.countUpTime) {
        t.difference = t.countUpTime;
        g_app.hundredths = 0;
        t.running = false;
    }
    if (t.running || t.countUpStopMode == 0) return;
    if (t.countUpStopMode == 1) t.restartAfter = 0;
    if (elapsed - t.restartAfter < t.countUpTime) return;
    // A step that does not move the destination forward (negative times from
    // a damaged settings file) would restart on every tick.
    int64_t step = (int64_t)t.restartAfter + t.countUpTime;
    if (step <= 0) return;
    // Straight to the current cycle: a destination many cycles back (the
    // program was not running) would otherwise catch up one cycle per tick.
    int64_t cycles = elapsed / step;
    int64_t second = t.destinationSecond + cycles * step;
    int64_t day = t.destinationDay + second / 86400;
    t.destinationSecond = (int32_t)(second % 86400);
    t.destinationDay = day > INT32_MAX ? INT32_MAX : (int32_t)day;
    g_app.restartPending = true;
}

static void compute_count_down(TimerState &t, int32_t today, int32_t now) {
    int64_t diff = ((int64_t)t.destinationDay - today) * 86400 + t.destinationSecond - now;
    t.difference = saturate(diff);
    t.running = true;
    if (t.stopAfterFinished && t.difference < 0) {
        t.difference = 0;
        t.running = false;
        g_app.hundredths = 99;
    }
}

ZE_HOT void compute() {
    TimerState &t = g_timer;
    const ClockRecord &c = g_app.clock;
    int32_t today = zedate_daynumber(c.year, c.month, c.day);
    int32_t now = 3600 * c.hour + 60 * c.minute + c.second;
    if (t.countUp) compute_count_up(t, today, now);
    else compute_count_down(t, today, now);

    bool countingDown = !t.countUp && t.difference >= 0;
    t.subSecond = countingDown ? 99 - g_app.hundredths : g_app.hundredths;

    if (t.running && t.difference == 0 && g_app.timeUpCountdown == 0) g_app.timeUpCountdown = 30;

    int64_t magnitude = t.difference < 0 ? -(int64_t)t.difference : t.difference;
    if (countingDown && t.roundUp) {
        if (g_format.form == 1) magnitude += clock_rounding(t.subSecond);
        else if (g_format.form == 2) magnitude += decimal_rounding();
    }

    t.seconds = (int32_t)(magnitude % 60);
    t.minutes = (int32_t)(magnitude / 60 % 60);
    t.hours = (int32_t)(magnitude / 3600 % 24);
    t.days = (int32_t)(magnitude / 86400);
}

int destination_day_of_month() { return zedate_day(g_timer.destinationDay); }
int destination_month() { return zedate_month(g_timer.destinationDay); }
int destination_year() { return zedate_year(g_timer.destinationDay); }
int destination_hour() { return g_timer.destinationSecond / 3600; }
int destination_minute() { return g_timer.destinationSecond % 3600 / 60; }
int destination_second() { return g_timer.destinationSecond % 60; }
int stop_after_days() { return g_timer.countUpTime / 86400; }
int stop_after_hours() { return g_timer.countUpTime % 86400 / 3600; }
int stop_after_minutes() { return g_timer.countUpTime % 3600 / 60; }
int stop_after_seconds() { return g_timer.countUpTime % 60; }
int restart_after_days() { return g_timer.restartAfter / 86400; }
int restart_after_hours() { return g_timer.restartAfter % 86400 / 3600; }
int restart_after_minutes() { return g_timer.restartAfter % 3600 / 60; }
