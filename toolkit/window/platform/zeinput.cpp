// Key and click translation shared by the backends.
#include "zeinput.h"
#include <cstdlib>

static int g_mods;

static int modifier_bit(int code) {
    if (code == ZEKEY_SHIFT) return ZEMOD_SHIFT;
    if (code == ZEKEY_ALT) return ZEMOD_ALT;
    if (code == ZEKEY_CTRL) return ZEMOD_CTRL;
    return 0;
}

void zeinput_reset_modifiers(void) { g_mods = 0; }
int zeinput_modifiers(void) { return g_mods; }

// A press of a key with a code: Insert and Delete carry the clipboard
// shortcuts, Alt+F4 asks to close before F4 itself arrives.
static void key_down(zeNativeSink sink, void *owner, int code) {
    if (code == ZEKEY_INSERT) {
        sink(owner, 2016, code, 0, 0, 0);
        if (g_mods == ZEMOD_SHIFT) sink(owner, 2033, 0, 0, 0, 0);
        if (g_mods == ZEMOD_CTRL) sink(owner, 2034, 0, 0, 0, 0);
        return;
    }
    if (code == ZEKEY_DELETE && g_mods == ZEMOD_SHIFT) {
        sink(owner, 2035, 0, 0, 0, 0);
        return;
    }
    if (code == ZEKEY_F4 && (g_mods & ZEMOD_ALT)) sink(owner, 2001, 0, 0, 0, 0);
    sink(owner, 2016, code, 0, 0, 0);
}

// A typed character. Tab, Enter, Escape and Space came as keys already.
static void character(zeNativeSink sink, void *owner, int ch) {
    if (ch == 9 || ch == 10 || ch == 13 || ch == 27 || ch == 32) return;
    if (ch == 22) sink(owner, 2033, 0, 0, 0, 0);
    if (ch == 24) sink(owner, 2035, 0, 0, 0, 0);
    if (ch == 3) sink(owner, 2034, 0, 0, 0, 0);
    sink(owner, 2016, ch, 0, 0, 0);
}

void zeinput_key(zeNativeSink sink, void *owner, int code, int ch, bool down) {
    int bit = modifier_bit(code);
    if (bit) g_mods = down ? (g_mods | bit) : (g_mods & ~bit);
    if (!sink) return;
    if (!down) {
        if (code) sink(owner, 2017, code, 0, 0, 0);
        return;
    }
    if (code) key_down(sink, owner, code);
    if (ch) character(sink, owner, ch);
}

static struct {
    int button = -1;
    unsigned time;
    int x, y;
} g_last;

int zeinput_press(int button, unsigned time_ms, int sx, int sy) {
    static const int press[3] = {2004, 2007, 2010};
    if (button < 0 || button > 2) return 0;
    bool dbl = g_last.button == button && time_ms - g_last.time < 500 &&
               abs(sx - g_last.x) <= 4 && abs(sy - g_last.y) <= 4;
    if (dbl) {
        g_last.button = -1;
        return press[button] + 2;
    }
    g_last.button = button, g_last.time = time_ms, g_last.x = sx, g_last.y = sy;
    return press[button];
}
