// GUI metrics, system colours, mouse cursor.
#include "zemetrics.h"
#include "zedisplay.h"
#include "zedesktop.h"
#include "zeplatform.h"
#include "zewindow.h"
#include <cstdio>
#include <cstring>

// The toolkit draws its own controls and the desktop has no button colours
// to offer, so its "platform" colours are the colour scheme's own defaults.
enum : int32_t {
    kButtonFace = 0xD0D0D0,
    kButtonShadow = 0x808080,
    kButtonText = 0x000000,
    kGreyText = 0x787878,
};
// The default font of the toolkit is "builtin 6x13".
static const int kDefaultFontHeight = 13;

static int work_width(void) { return zedesktop_workarea().width; }
static int work_height(void) { return zedesktop_workarea().height; }
static int screen_w(void) {
    int w = 0, h = 0;
    zebackend()->screen_size(&w, &h);
    return w;
}
static int screen_h(void) {
    int w = 0, h = 0;
    zebackend()->screen_size(&w, &h);
    return h;
}
static int maxwindow_xs(void) { return work_width() - 2 * zeget_setting("windowbordersize"); }
static int maxwindow_ys(void) {
    return work_height() - zeget_setting("windowcaptionheight") - zeget_setting("windowbordersize");
}

struct Metric {
    const char *name;
    int fixed;            // used when fn is 0
    int (*fn)(void);
};

static const Metric kMetrics[] = {
    {"menuheight", 20, nullptr},
    {"toolbarheight", 20, nullptr},
    {"statusbarheight", kDefaultFontHeight + 8, nullptr},
    {"scrollbarwidth", 15, nullptr},
    {"scrollbarheight", 15, nullptr},
    {"screenwidth", 0, screen_w},
    {"screenxs", 0, screen_w},
    {"screenheight", 0, screen_h},
    {"screenys", 0, screen_h},
    {"maxwindowxs", 0, maxwindow_xs},
    {"maxwindowys", 0, maxwindow_ys},
};

int guimetrics(const char *name) {
    if (!name) name = "";
    for (const Metric &m : kMetrics)
        if (strcmp(m.name, name) == 0) return m.fn ? m.fn() : m.fixed;
    printf("guimetrics: %s\n", name);
    return 0;
}

int zeget_setting(const char *name) {
    if (!name) name = "";
    if (strcmp(name, "windowbordersize") == 0) return 0;
    if (strcmp(name, "windowcaptionheight") == 0) return 0;
    printf("get setting: %s\n", name);
    return 0;
}

static int32_t shifted(int32_t c, int delta) {
    int32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int v = ((c >> shift) & 0xFF) + delta;
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        out |= v << shift;
    }
    return out;
}

int32_t zesyscolor(const char *name) {
    if (!name) return -1;
    bool lowdepth = zedisplay_depth() < 9;
    struct Entry {
        const char *name;
        int32_t value;
    };
    const Entry table[] = {
        {"grey", kButtonFace},
        {"light", shifted(kButtonFace, 16)},
        {"verylight", shifted(kButtonFace, 32)},
        {"darkc0c0c0", shifted(kButtonFace, -32)},
        {"dark", kButtonShadow},
        {"text", kButtonText},
        {"textgrey", kGreyText},
        {"textsel", lowdepth ? 0xFFFFFF : -1},
        {"blue", lowdepth ? 0x000080 : -1},
    };
    for (const Entry &e : table)
        if (strcmp(e.name, name) == 0) return e.value;
    return -1;
}

static const char *g_cursor = "standard";

void zecursor_set(const char *name) {
    const char *shape = (name && strcmp(name, "hand") == 0) ? "hand" : "standard";
    if (shape == g_cursor) return;
    g_cursor = shape;
    // Only a program with windows has a pointer shape to show.
    if (zewindow_count() > 0 && zebackend()->cursor_set) zebackend()->cursor_set(shape[0] == 'h');
}

const char *zecursor_get(void) { return g_cursor; }
