// Display formats: format string, digit text, merge, overflow growth, widths.
#include "app.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct Format : ::testing::Test {
    void SetUp() override {
        g_timer = TimerState();
        g_format = DisplayFormat();
        g_app.hundredths = 0;
        read_clock();
    }
    // A timer value without going through the clock.
    void value(int d, int h, int m, int s, int sub = 0) {
        g_timer.days = d, g_timer.hours = h, g_timer.minutes = m, g_timer.seconds = s;
        g_timer.subSecond = sub;
        make_digit_text();
    }
    std::string shown(bool negative = false) {
        char out[600];
        merge_display_text(g_format.formatString, g_format.digitText, negative, out, sizeof out);
        return out;
    }
    int32_t today() { return zedate_daynumber(g_app.clock.year, g_app.clock.month, g_app.clock.day); }
};

TEST_F(Format, DefaultClockFormCountingUp) {
    build_format_string();  // counting up since 2000: positive, no sign place
    EXPECT_STREQ("####:##:##:##", g_format.formatString);
    value(1, 2, 3, 4);
    EXPECT_STREQ("0001020304", g_format.digitText);
    EXPECT_EQ("0001:02:03:04", shown());
}

TEST_F(Format, FirstShownFieldCarriesTheLargerUnits) {
    g_format.showDays = false;
    g_format.leadingWidth = 2;
    build_format_string();
    EXPECT_STREQ("##:##:##", g_format.formatString);
    value(2, 2, 5, 6);
    EXPECT_EQ("50:05:06", shown());

    g_format.showHours = g_format.showMinutes = false;
    g_format.showHundredths = true;
    g_format.leadingWidth = 6;
    build_format_string();
    EXPECT_STREQ("######:##", g_format.formatString);
    value(0, 1, 1, 1, 7);
    EXPECT_EQ("003661:07", shown());

    // Hundredths first: 1 day 1 s 5/100.
    g_format.showSeconds = false;
    g_format.leadingWidth = 8;
    build_format_string();
    value(1, 0, 0, 1, 5);
    EXPECT_STREQ("08640105", g_format.digitText);
}

TEST_F(Format, MinusPlaceOnlyWhereTheValueCanBeNegative) {
    g_timer.countUp = false;
    g_timer.stopAfterFinished = false;
    g_timer.destinationDay = today() + 2;
    build_format_string();
    EXPECT_STREQ("-####:##:##:##", g_format.formatString);
    value(0, 1, 0, 0);
    EXPECT_EQ(" 0000:01:00:00", shown(false));
    EXPECT_EQ("-0000:01:00:00", shown(true));

    g_timer.stopAfterFinished = true;  // never negative
    build_format_string();
    EXPECT_STREQ("####:##:##:##", g_format.formatString);

    g_timer.countUp = true;  // before the destination: negative
    build_format_string();
    EXPECT_EQ('-', g_format.formatString[0]);
}

TEST_F(Format, DecimalFormCutsTheFraction) {
    g_format.form = 2;
    build_format_string();
    EXPECT_STREQ("########.###", g_format.formatString);
    value(0, 1, 30, 0);
    EXPECT_EQ("00000001.500", shown());

    g_format.unitHours = false;
    g_format.unitMinutes = true;
    g_format.decimals = 1;
    build_format_string();
    value(0, 0, 0, 59, 99);  // 0.9998 minutes: cut, not rounded up to 1.0
    EXPECT_STREQ("000000009", g_format.digitText);
    EXPECT_EQ("00000000.9", shown());

    // Days with 8 decimals: printed with 7, so the eighth is always 0.
    g_format.unitMinutes = false;
    g_format.unitDays = true;
    g_format.decimals = 8;
    g_format.integerWidth = 1;
    build_format_string();
    value(0, 23, 59, 59, 99);
    EXPECT_STREQ("099999990", g_format.digitText);

    // A later unit replaces an earlier one.
    g_format.unitSeconds = true;
    g_format.decimals = 2;
    g_format.integerWidth = 5;
    build_format_string();
    value(0, 0, 1, 2, 34);
    EXPECT_EQ("00062.34", shown());
}

TEST_F(Format, MergeFillsFromTheRightAndWidensForLongDigits) {
    char out[64];
    merge_display_text("##:##", "123", false, out, sizeof out);
    EXPECT_STREQ("01:23", out);
    merge_display_text("##:##", "123456", false, out, sizeof out);
    EXPECT_STREQ("1234:56", out);  // grown places go in front; separators keep their place
    merge_display_text("-#.#", "75", true, out, sizeof out);
    EXPECT_STREQ("-7.5", out);
    merge_display_text("####", "123456789", false, out, 6);  // never past the buffer
    EXPECT_EQ(5u, strlen(out));
}

TEST_F(Format, TooManyDigitsWidenTheFormat) {
    g_timer.destinationDay = today() - 10000;
    g_timer.stopAfterFinished = false;
    build_format_string();
    EXPECT_STREQ("####:##:##:##", g_format.formatString);
    g_app.clock.second = 0;
    compute();
    make_digit_text();  // 10000 days need five digits
    EXPECT_EQ(5, g_format.leadingWidth);
    EXPECT_STREQ("#####:##:##:##", g_format.formatString);

    g_format.form = 2;
    g_format.unitHours = false;
    g_format.unitDays = true;
    g_format.integerWidth = 2;
    build_format_string();
    compute();
    make_digit_text();
    EXPECT_EQ(3, g_format.integerWidth);  // the integer part grows, the decimals stay
    EXPECT_EQ(3, g_format.decimals);
    EXPECT_STREQ("###.###", g_format.formatString);
}

// Widths and decimals come from the settings file, which is user data: any
// value gives a bounded format string and digit text, never a crash or a
// growth loop.
TEST_F(Format, WidthCodesPrintLikePrintf) {
    g_format.showHours = g_format.showMinutes = g_format.showSeconds = false;
    for (int w = 1; w <= 10; w++) {
        g_format.leadingWidth = w;
        for (uint32_t v : {0u, 7u, 10u, 99u, 12345u, 999999999u, 1000000000u, 4294967295u}) {
            char expect[32];
            snprintf(expect, sizeof expect, "%0*u", w, v);
            strcpy(g_format.formatString, "?");  // no growth
            value((int)v, 0, 0, 0);
            EXPECT_STREQ(expect, g_format.digitText) << "width " << w;
        }
    }
}

TEST_F(Format, DamagedWidthsStayWithinTheBuffers) {
    const int32_t values[] = {INT32_MIN, -1, 0, 1, 8, 10, 11, 499, 500, 501, INT32_MAX};
    for (int form : {0, 1, 2, 3}) {
        for (int32_t a : values) {
            for (int32_t b : values) {
                g_format = DisplayFormat();
                g_format.form = form;
                g_format.showHundredths = true;
                g_format.leadingWidth = a;
                g_format.integerWidth = a;
                g_format.decimals = b;
                g_timer.destinationDay = today() - 3000;
                g_timer.stopAfterFinished = false;
                build_format_string();
                compute();
                make_digit_text();
                ASSERT_LE(strlen(g_format.formatString), 500u);
                ASSERT_LT(strlen(g_format.digitText), sizeof g_format.digitText);
                std::string text = shown(true);
                ASSERT_LT(text.size(), 600u);
                // Growth only ever takes a width into the range it prints.
                if (form == 1 && a >= 1 && a <= 10) {
                    ASSERT_LE(g_format.leadingWidth, 10);
                }
                if (form == 2 && a >= 1 && a <= 10) {
                    ASSERT_LE(g_format.integerWidth, 10);
                }
            }
        }
    }
}

TEST_F(Format, TextWidthCountsDigitsAndNarrowSeparators) {
    DigitMetrics m = {20, 8, 3};
    EXPECT_EQ(4 * 23 + 11, text_width("####:", m));
    EXPECT_EQ(3 * 23 + 11, text_width("-1.5", m));
    EXPECT_EQ(2 * 23, text_width("AP?x", m));
    EXPECT_EQ(0, text_width("", m));
}

}  // namespace
