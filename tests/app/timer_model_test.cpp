// The timer model: day numbers, count-up and count-down, stop and restart
// rules, the time-up start and rounding.
#include "app.h"
#include <gtest/gtest.h>
#include <climits>

namespace {

struct TimerModel : ::testing::Test {
    void SetUp() override {
        g_timer = TimerState();
        g_format = DisplayFormat();
        g_app.hundredths = 0;
        g_app.timeUpCountdown = 0;
        g_app.restartPending = false;
    }
    void at(int y, int mo, int d, int h, int mi, int s, int hundredths = 0) {
        g_app.clock = {y, mo, d, h, mi, s};
        g_app.hundredths = hundredths;
        compute();
    }
    void destination(int y, int mo, int d, int h, int mi, int s) {
        g_timer.destinationDay = zedate_daynumber(y, mo, d);
        g_timer.destinationSecond = 3600 * h + 60 * mi + s;
    }
    void countDown(bool stop) {
        g_timer.countUp = false;
        g_timer.stopAfterFinished = stop;
    }
};

TEST(DayNumber, GregorianDaysFromYearOne) {
    EXPECT_EQ(1, zedate_daynumber(1, 1, 1));
    EXPECT_EQ(730120, zedate_daynumber(2000, 1, 1));
    EXPECT_EQ(2, zedate_daynumber(2024, 3, 1) - zedate_daynumber(2024, 2, 28));
    EXPECT_EQ(1, zedate_daynumber(2023, 3, 1) - zedate_daynumber(2023, 2, 28));
    EXPECT_EQ(366, zedate_daynumber(2001, 1, 1) - zedate_daynumber(2000, 1, 1));
    EXPECT_EQ(365, zedate_daynumber(2101, 1, 1) - zedate_daynumber(2100, 1, 1));  // 2100 is no leap year
    EXPECT_EQ(1, zedate_daynumber(2027, 1, 1) - zedate_daynumber(2026, 12, 31));
}

TEST_F(TimerModel, AccessorsSplitTheDestinationAndDurations) {
    destination(2024, 2, 29, 23, 58, 7);
    g_timer.countUpTime = 2 * 86400 + 3 * 3600 + 4 * 60 + 5;
    g_timer.restartAfter = 86400 + 3600 + 60;
    EXPECT_EQ(29, destination_day_of_month());
    EXPECT_EQ(2, destination_month());
    EXPECT_EQ(2024, destination_year());
    EXPECT_EQ(23, destination_hour());
    EXPECT_EQ(58, destination_minute());
    EXPECT_EQ(7, destination_second());
    EXPECT_EQ(2, stop_after_days());
    EXPECT_EQ(3, stop_after_hours());
    EXPECT_EQ(4, stop_after_minutes());
    EXPECT_EQ(5, stop_after_seconds());
    EXPECT_EQ(1, restart_after_days());
    EXPECT_EQ(1, restart_after_hours());
    EXPECT_EQ(1, restart_after_minutes());
}

TEST_F(TimerModel, CountDownRoundsUpTheShownSeconds) {
    countDown(true);
    destination(2026, 12, 6, 12, 0, 0);
    at(2026, 12, 6, 11, 59, 59, 30);
    EXPECT_EQ(1, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
    EXPECT_EQ(69, g_timer.subSecond);
    EXPECT_EQ(2, g_timer.seconds);
    // A sub-second value of 0 shows 99 and is not rounded.
    at(2026, 12, 6, 11, 59, 59, 99);
    EXPECT_EQ(99, g_timer.subSecond);
    EXPECT_EQ(1, g_timer.seconds);
    // Without roundUp, or with the hundredths shown, nothing is rounded.
    g_timer.roundUp = false;
    at(2026, 12, 6, 11, 59, 59, 30);
    EXPECT_EQ(1, g_timer.seconds);
    g_timer.roundUp = true;
    g_format.showHundredths = true;
    at(2026, 12, 6, 11, 59, 59, 30);
    EXPECT_EQ(1, g_timer.seconds);
}

TEST_F(TimerModel, SmallestShownClockFieldIsRoundedUp) {
    countDown(true);
    destination(2026, 12, 6, 12, 0, 0);
    g_format.showSeconds = false;
    at(2026, 12, 6, 11, 58, 30, 50);  // 90 s left: shows 2 minutes
    EXPECT_EQ(2, g_timer.minutes);
    EXPECT_EQ(29, g_timer.seconds);
    g_format.showMinutes = false;
    at(2026, 12, 6, 10, 30, 0);  // 1.5 h left: shows 2 hours
    EXPECT_EQ(2, g_timer.hours);
    g_format.showHours = false;
    at(2026, 12, 5, 12, 0, 1);  // just under a day: shows 1 day
    EXPECT_EQ(1, g_timer.days);
}

TEST_F(TimerModel, DecimalRoundingAddsByUnitAndDecimals) {
    countDown(true);
    g_format.form = 2;
    g_format.unitHours = false;
    g_format.unitDays = true;
    g_format.decimals = 3;
    destination(2026, 12, 6, 12, 0, 0);
    at(2026, 12, 6, 11, 43, 20);  // 1000 s left
    EXPECT_EQ(18, g_timer.minutes);  // 1085 s
    EXPECT_EQ(5, g_timer.seconds);
    g_format.unitHours = true;  // several units add up: 85 + 2
    at(2026, 12, 6, 11, 43, 20);
    EXPECT_EQ(7, g_timer.seconds);
    g_format.decimals = 5;
    at(2026, 12, 6, 11, 43, 20);
    EXPECT_EQ(40, g_timer.seconds);
}

TEST_F(TimerModel, CountDownReachesZeroOnceAndStops) {
    countDown(true);
    destination(2026, 12, 6, 12, 0, 0);
    at(2026, 12, 6, 12, 0, 0, 40);
    EXPECT_EQ(0, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
    EXPECT_EQ(30, g_app.timeUpCountdown);
    g_app.timeUpCountdown = 25;  // a running countdown is not restarted
    at(2026, 12, 6, 12, 0, 0, 41);
    EXPECT_EQ(25, g_app.timeUpCountdown);
    g_app.timeUpCountdown = 0;
    at(2026, 12, 6, 12, 0, 1, 5);
    EXPECT_EQ(0, g_timer.difference);
    EXPECT_FALSE(g_timer.running);
    EXPECT_EQ(99, g_app.hundredths);
    EXPECT_EQ(0, g_app.timeUpCountdown);
}

TEST_F(TimerModel, CountDownWithoutStopGoesNegative) {
    countDown(false);
    destination(2026, 12, 6, 12, 0, 0);
    at(2026, 12, 6, 12, 0, 1, 37);
    EXPECT_EQ(-1, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
    EXPECT_EQ(37, g_timer.subSecond);  // counts up again, not rounded
    EXPECT_EQ(1, g_timer.seconds);
    // Across days and midnight.
    at(2026, 12, 8, 0, 0, 0);
    EXPECT_EQ(-(86400 + 12 * 3600), g_timer.difference);
    EXPECT_EQ(1, g_timer.days);
    EXPECT_EQ(12, g_timer.hours);
}

TEST_F(TimerModel, CountUpBeforeTheDestinationIsNegative) {
    destination(2026, 12, 6, 12, 0, 0);
    at(2026, 12, 6, 11, 0, 0, 12);
    EXPECT_EQ(-3600, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
    EXPECT_EQ(12, g_timer.subSecond);
    EXPECT_EQ(1, g_timer.hours);
    at(2026, 12, 6, 12, 0, 0);
    EXPECT_EQ(30, g_app.timeUpCountdown);  // passing zero is the time-up moment
}

TEST_F(TimerModel, CountUpStopsAtItsTimeAndStaysInMode0) {
    g_timer.countUpTime = 3600;
    destination(2026, 12, 6, 10, 0, 0);
    at(2026, 12, 6, 10, 59, 59, 50);
    EXPECT_EQ(3599, g_timer.difference);
    at(2026, 12, 7, 3, 0, 0, 50);
    EXPECT_EQ(3600, g_timer.difference);
    EXPECT_FALSE(g_timer.running);
    EXPECT_EQ(0, g_app.hundredths);
    EXPECT_FALSE(g_app.restartPending);
    EXPECT_EQ(zedate_daynumber(2026, 12, 6), g_timer.destinationDay);
    // Without stopAfterFinished it never stops.
    g_timer.stopAfterFinished = false;
    at(2026, 12, 7, 3, 0, 0);
    EXPECT_EQ(17 * 3600, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
}

TEST_F(TimerModel, Mode1RestartCrossesMidnight) {
    g_timer.countUpTime = 3600;
    g_timer.countUpStopMode = 1;
    g_timer.restartAfter = 500;  // ignored and cleared in mode 1
    destination(2026, 12, 5, 23, 0, 0);
    at(2026, 12, 6, 0, 30, 0);
    EXPECT_EQ(3600, g_timer.difference);  // this tick still shows the stop value
    EXPECT_FALSE(g_timer.running);
    EXPECT_TRUE(g_app.restartPending);
    EXPECT_EQ(0, g_timer.restartAfter);
    EXPECT_EQ(zedate_daynumber(2026, 12, 6), g_timer.destinationDay);
    EXPECT_EQ(0, g_timer.destinationSecond);
    g_app.restartPending = false;
    at(2026, 12, 6, 0, 30, 0);
    EXPECT_EQ(1800, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
    EXPECT_FALSE(g_app.restartPending);
}

TEST_F(TimerModel, Mode2HoldsForRestartAfterThenCountsAgain) {
    g_timer.countUpTime = 3600;
    g_timer.countUpStopMode = 2;
    g_timer.restartAfter = 600;
    destination(2026, 12, 6, 10, 0, 0);
    at(2026, 12, 6, 11, 9, 59);
    EXPECT_EQ(3600, g_timer.difference);
    EXPECT_FALSE(g_app.restartPending);
    at(2026, 12, 6, 11, 10, 0);
    EXPECT_EQ(3600, g_timer.difference);
    EXPECT_TRUE(g_app.restartPending);
    EXPECT_EQ(11 * 3600 + 600, g_timer.destinationSecond);
    at(2026, 12, 6, 11, 10, 1);
    EXPECT_EQ(1, g_timer.difference);
    EXPECT_TRUE(g_timer.running);
}

// A repeating count-up whose destination lies many cycles back (a year with
// one-minute cycles) goes straight to the current cycle, not one per tick.
TEST_F(TimerModel, RestartJumpsToTheCurrentCycle) {
    g_timer.countUpTime = 60;
    g_timer.countUpStopMode = 1;
    destination(2025, 12, 6, 9, 0, 30);
    at(2026, 12, 6, 10, 0, 15);
    EXPECT_TRUE(g_app.restartPending);
    EXPECT_EQ(zedate_daynumber(2026, 12, 6), g_timer.destinationDay);
    EXPECT_EQ(9 * 3600 + 59 * 60 + 30, g_timer.destinationSecond);
    at(2026, 12, 6, 10, 0, 16);
    EXPECT_TRUE(g_timer.running);
    EXPECT_EQ(46, g_timer.difference);

    // Mode 2 lands in the pause as well as in the running part of a cycle.
    g_timer.countUpStopMode = 2;
    g_timer.restartAfter = 40;  // cycles of 100 s: 60 running, 40 held
    destination(2026, 1, 1, 0, 0, 0);
    at(2026, 1, 2, 0, 0, 80);  // 86480 s: 864 cycles and 80 s into the next
    EXPECT_EQ(zedate_daynumber(2026, 1, 2), g_timer.destinationDay);
    EXPECT_EQ(0, g_timer.destinationSecond);
    at(2026, 1, 2, 0, 0, 80);
    EXPECT_FALSE(g_timer.running);
    EXPECT_EQ(60, g_timer.difference);
}

TEST_F(TimerModel, FarDestinationDoesNotWrapTheSign) {
    g_timer.stopAfterFinished = false;
    destination(1, 1, 1, 0, 0, 0);
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_GT(g_timer.difference, 0);
    EXPECT_EQ(INT_MAX, g_timer.difference);
    countDown(false);
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_LT(g_timer.difference, 0);
    EXPECT_GE(g_timer.days, 0);
}

// The settings file is user data: any 32-bit value may arrive.
TEST_F(TimerModel, DestinationAtTheEdgesOfInt32KeepsTheSign) {
    g_timer.stopAfterFinished = false;
    g_timer.destinationDay = INT32_MIN;
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_EQ(INT_MAX, g_timer.difference);  // long past: counts up, positive
    g_timer.destinationDay = INT32_MAX;
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_EQ(-INT_MAX, g_timer.difference);
    countDown(false);
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_EQ(INT_MAX, g_timer.difference);
    g_timer.destinationDay = INT32_MIN;
    g_timer.destinationSecond = INT32_MIN;
    at(2026, 12, 6, 0, 0, 0);
    EXPECT_EQ(-INT_MAX, g_timer.difference);
}

TEST_F(TimerModel, RestartWithDamagedTimesStaysSane) {
    g_timer.countUpStopMode = 1;
    // A negative running time would move the destination backwards on every tick.
    destination(2026, 12, 6, 10, 0, 0);
    g_timer.countUpTime = -100;
    at(2026, 12, 6, 11, 0, 0);
    EXPECT_FALSE(g_timer.running);
    EXPECT_FALSE(g_app.restartPending);
    EXPECT_EQ(zedate_daynumber(2026, 12, 6), g_timer.destinationDay);
    EXPECT_EQ(10 * 3600, g_timer.destinationSecond);

    // Restart and running time near the int32 limit: the destination moves
    // by their sum, its second stays within the day.
    g_timer.countUpStopMode = 2;
    g_timer.countUpTime = 100;
    g_timer.restartAfter = INT32_MAX - 50;
    g_timer.destinationDay = zedate_daynumber(2026, 12, 6) - 30000;
    g_timer.destinationSecond = 86000;
    at(2026, 12, 6, 0, 0, 0);
    ASSERT_TRUE(g_app.restartPending);
    int64_t moved = 86000 + (int64_t)INT32_MAX - 50 + 100;
    EXPECT_EQ(zedate_daynumber(2026, 12, 6) - 30000 + moved / 86400, g_timer.destinationDay);
    EXPECT_EQ(moved % 86400, g_timer.destinationSecond);
}

}  // namespace
