// Display formats: the format string (a template rebuilt when settings
// change), the digit text (every tick), their merge, and text widths.
#include "app.h"
#include "placeholders.h"
#include <cstdio>
#include <cstring>

// Appends value printed with width code w (1..10), as "%u", "%02u" ... "%010u"
// would; other widths print nothing. Done by hand: it runs for every field on
// every display tick, and printf was the largest part of an idle tick's work.
ZE_HOT static void append_width(char *text, int size, int w, uint32_t value) {
    if (w < 1 || w > 10) return;
    char digits[10];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    int len = (int)strlen(text);
    for (int i = n; i < w && len < size - 1; i++) text[len++] = '0';
    while (n > 0 && len < size - 1) text[len++] = digits[--n];
    text[len] = 0;
}

static void append_chars(char *text, int size, char c, int count) {
    int len = (int)strlen(text);
    for (int i = 0; i < count && len < size - 1; i++) text[len++] = c;
    text[len] = 0;
}

static void append_text(char *text, int size, const char *more) {
    int len = (int)strlen(text);
    snprintf(text + len, size - len, "%s", more);
}

void build_format_string() {
    DisplayFormat &f = g_format;
    const int size = (int)sizeof f.formatString;
    strcpy(f.formatString, "?");
    read_clock();
    compute();
    make_digit_text();

    strcpy(f.formatString, "-");
    if ((!g_timer.countUp && g_timer.stopAfterFinished) || (g_timer.countUp && g_timer.difference > 0))
        f.formatString[0] = 0;

    if (f.form == 1) {
        append_chars(f.formatString, size, '#', f.leadingWidth);
        const bool shown[5] = {f.showDays, f.showHours, f.showMinutes, f.showSeconds, f.showHundredths};
        bool first = true;
        for (bool s : shown) {
            if (!s) continue;
            if (!first) append_text(f.formatString, size, ":##");
            first = false;
        }
    } else if (f.form == 2) {
        append_chars(f.formatString, size, '#', f.integerWidth);
        append_text(f.formatString, size, ".");
        append_chars(f.formatString, size, '#', f.decimals);
    }
    write_log("formatstring=%s", f.formatString);

    sevenseg_force_full_redraw();
    timer_window_compute_width();
    timer_window_recreate();
}

// The first shown clock field carries every larger unit.
ZE_HOT static uint32_t first_field_value(int field, const TimerState &t) {
    uint32_t d = (uint32_t)t.days, h = (uint32_t)t.hours, m = (uint32_t)t.minutes,
             s = (uint32_t)t.seconds, c = (uint32_t)t.subSecond;
    switch (field) {
    case 0: return d;
    case 1: return h + 24 * d;
    case 2: return m + 1440 * d + 60 * h;
    case 3: return s + 86400 * d + 3600 * h + 60 * m;
    default: return c + 100 * s + 6000 * m + 360000 * h + 8640000 * d;
    }
}

ZE_HOT static void clock_digits(const DisplayFormat &f, const TimerState &t, char *out, int size) {
    out[0] = 0;
    const bool shown[5] = {f.showDays, f.showHours, f.showMinutes, f.showSeconds, f.showHundredths};
    const int32_t values[5] = {t.days, t.hours, t.minutes, t.seconds, t.subSecond};
    bool first = true;
    for (int field = 0; field < 5; field++) {
        if (!shown[field]) continue;
        if (first) append_width(out, size, f.leadingWidth, first_field_value(field, t));
        else append_width(out, size, 2, (uint32_t)values[field]);
        first = false;
    }
}

static void decimal_digits(const DisplayFormat &f, const TimerState &t, char *out, int size) {
    // Unsigned 32-bit like the clock form: a huge value wraps, never traps.
    const uint32_t D = (uint32_t)t.days, H = (uint32_t)t.hours, M = (uint32_t)t.minutes,
                   S = (uint32_t)t.seconds;
    const double h = t.hours, m = t.minutes, s = t.seconds, c = t.subSecond;
    struct Unit {
        bool set;
        uint32_t integer;
        double fraction;
        const char *print;
    };
    const Unit units[4] = {
        {f.unitDays, D, h / 24 + m / 1440 + s / 86400 + c / 8640000, "%.7f"},
        {f.unitHours, 24 * D + H, m / 60 + s / 3600 + c / 360000, "%.6f"},
        {f.unitMinutes, 1440 * D + 60 * H + M, s / 60 + c / 6000, "%.4f"},
        {f.unitSeconds, 86400 * D + 3600 * H + 60 * M + S, c * 0.01, "%.2f"},
    };
    out[0] = 0;
    for (const Unit &u : units) {
        if (!u.set) continue;
        out[0] = 0;
        append_width(out, size, f.integerWidth, u.integer);
        if (f.decimals < 1 || f.decimals > 8) continue;
        // Printed, padded with zeros and cut: the fraction is cut, not rounded.
        char scratch[64];
        snprintf(scratch, sizeof scratch, u.print, u.fraction);
        strcat(scratch, "00000000000000000000");
        scratch[2 + f.decimals] = 0;
        append_text(out, size, scratch + 2);
    }
}

ZE_HOT static int count_places(const char *format) {
    int n = 0;
    for (const char *p = format; *p; p++) n += *p == '#';
    return n;
}

// A value that needs more digits than the format has widens the format.
ZE_HOT static void grow_on_overflow() {
    DisplayFormat &f = g_format;
    if (f.formatString[0] == '?') return;
    if (count_places(f.formatString) >= (int)strlen(f.digitText)) return;
    if (f.form == 1) f.leadingWidth += 1;
    else if (f.digitText[0] == '0') f.decimals += 1;
    else f.integerWidth += 1;
    build_format_string();
    settings_window_open_or_refresh();
}

ZE_HOT void make_digit_text() {
    DisplayFormat &f = g_format;
    if (f.form == 1) clock_digits(f, g_timer, f.digitText, sizeof f.digitText);
    else if (f.form == 2) decimal_digits(f, g_timer, f.digitText, sizeof f.digitText);
    else f.digitText[0] = 0;
    grow_on_overflow();
}

ZE_HOT void merge_display_text(const char *format, const char *digits, bool negative, char *out, int outsize) {
    if (outsize < 1) return;
    int flen = (int)strlen(format), dlen = (int)strlen(digits);
    int places = 0;
    for (int i = 0; i < flen; i++) places += format[i] == '#' || format[i] == ' ';
    int pad = dlen > places ? dlen - places : 0;
    if (pad + flen > outsize - 1) pad = outsize - 1 - flen;
    if (pad < 0) pad = 0;
    int len = 0;
    for (int i = 0; i < pad; i++) out[len++] = '0';
    for (int i = 0; i < flen && len < outsize - 1; i++) out[len++] = format[i] == '#' ? '0' : format[i];
    out[len] = 0;
    int next = dlen - 1;
    for (int i = len - 1; i >= 0; i--) {
        char &ch = out[i];
        if (ch == '0' || ch == ' ') {
            if (next >= 0) ch = digits[next--];
        } else if (ch == '-') {
            if (!negative) ch = ' ';
        }
    }
}

int text_width(const char *text, const DigitMetrics &m) {
    int width = 0;
    for (const char *p = text; *p; p++) {
        if (strchr(" #-0123456789AP", *p)) width += m.charWidth + m.charDistance;
        else if (*p == '.' || *p == ':') width += m.narrowWidth + m.charDistance;
    }
    return width;
}
