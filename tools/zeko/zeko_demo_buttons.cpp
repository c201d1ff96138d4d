// zeko demo controls: the buttons section (push buttons and their variants,
// links, indicator switch buttons, check boxes).
#include "zeko_demo.h"
#include "zebutton.h"
#include "zecheckbox.h"
#include "zeimage.h"
#include <cstdio>

namespace {

struct ButtonSpec {
    const char *name;
    const char *options;
};

// Row after row; "x=" of each row's entries is counted by the section.
const ButtonSpec kButtons[] = {
    {"ok", "OK,hotkey=o"},
    {"default", "Default,default"},
    {"flat", "Flat,flat"},
    {"thin", "Thin,thinborder"},
    {"tool", "Tool,toolbutton,ys=40"},
    {"greytool", "Grey tool,toolbutton,ys=40,grey"},
    {"switch", "Switch,switch"},
    {"grey", "Grey,grey"},
    {"f5", "F5 key,hotkey=f5"},
};
const ButtonSpec kArrows[] = {
    {"up", "up,arrow,xs=24,ys=22"},
    {"down", "down,arrow,xs=24,ys=22"},
    {"left", "left,arrow,xs=24,ys=22"},
    {"right", "right,arrow,xs=24,ys=22"},
    {"dleft", "double left,arrow,xs=30,ys=22"},
    {"dright", "double right,arrow,xs=30,ys=22"},
    {"bigup", "up,bigarrow,xs=30,ys=22"},
    {"smalldown", "down,smallarrow,xs=24,ys=22"},
};
const ButtonSpec kLinks[] = {
    {"link", "zeko home page,hyperlink,url=http://example.com/zeko"},
    {"greylink", "greyed link,hlink,grey,url=http://example.com/grey"},
};
const ButtonSpec kSwitches[] = {
    {"lamp", "Lamp"},
    {"greylamp", "Grey lamp,grey"},
};

const ButtonSpec kChecks[] = {
    {"check", "Square"},
    {"checked", "Checked,checked"},
    {"round", "Round,round"},
    {"round2", "Round 2,round,checked"},
    {"flatcheck", "Flat,2d"},
    {"boxonly", "box only,boxonly,xs=40,ys=20"},
    {"greycheck", "Grey,grey,checked"},
};

// A small clock face for the tool buttons (the greyed one shows its engraved copy).
const char *const kClockXpm[] = {
    "12 12 3 1", "  c None", "# c #000000", ". c #FFFF80",
    "    ####    ", "  ##....##  ", " #...#....# ", " #...#....# ", "#....#.....#", "#....####..#",
    "#..........#", "#..........#", " #........# ", " #........# ", "  ##....##  ", "    ####    ",
};

enum { GAP = 8 };

void describe_check(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeCheckBox *b = (zeCheckBox *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    snprintf(value, valuesize, "%d", zecheckbox_is_checked(b) ? 1 : 0);
}

void describe_button(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeButton *b = (zeButton *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : index == ZEBUTTON_ID_SWITCHUP ? "up" : "other");
    snprintf(value, valuesize, "%d", zebutton_is_pressed(b) ? 1 : 0);
}

// A link's click opens its target, as a page does with its links.
void describe_link(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeButton *b = (zeButton *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    if (index == 0) zebutton_open_link(b);
    snprintf(value, valuesize, "%s", zebutton_link_target(b));
}

void describe_switch(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeSwitchButton *s = (zeSwitchButton *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    snprintf(value, valuesize, "%d", zeswitchbutton_is_on(s) ? 1 : 0);
}

template <int N>
int button_row(zekoDemo *d, int y, const ButtonSpec (&specs)[N], zeButton *out, zekoDemoDescribe describe) {
    int x = d->margin, bottom = y;
    for (int i = 0; i < N; i++) {
        zebutton_create(&out[i], "%s,x=%d,y=%d", specs[i].options, x, y);
        zeko_demo_watch(&out[i].c, specs[i].name, describe);
        x += out[i].c.w + GAP;
        if (y + out[i].c.h > bottom) bottom = y + out[i].c.h;
    }
    return bottom + GAP;
}

}  // namespace

int zeko_demo_buttons(zekoDemo *d, int y) {
    static zeButton buttons[sizeof kButtons / sizeof kButtons[0]];
    static zeButton arrows[sizeof kArrows / sizeof kArrows[0]];
    static zeButton links[sizeof kLinks / sizeof kLinks[0]];
    static zeSwitchButton switches[sizeof kSwitches / sizeof kSwitches[0]];
    y = zeko_demo_title(d, y, "Buttons");
    y = button_row(d, y, kButtons, buttons, describe_button);
    zePixmap icon;
    zepxmap_init(&icon);
    if (zepxmap_createfrommem_xpm(&icon, kClockXpm))
        for (zeButton &b : buttons)
            if (b.toolbutton) zebutton_set_icon(&b, &icon);
    zepxmap_release(&icon);
    y = button_row(d, y, kArrows, arrows, describe_button);
    y = button_row(d, y, kLinks, links, describe_link);
    int x = d->margin, bottom = y;
    for (size_t i = 0; i < sizeof kSwitches / sizeof kSwitches[0]; i++) {
        zeswitchbutton_create(&switches[i], "%s,x=%d,y=%d,xs=110", kSwitches[i].options, x, y);
        zeko_demo_watch(&switches[i].c, kSwitches[i].name, describe_switch);
        x += switches[i].c.w + GAP;
        bottom = y + switches[i].c.h;
    }
    y = bottom + GAP;
    static zeCheckBox checks[sizeof kChecks / sizeof kChecks[0]];
    x = d->margin;
    for (size_t i = 0; i < sizeof kChecks / sizeof kChecks[0]; i++) {
        zecheckbox_create(&checks[i], "%s,x=%d,y=%d", kChecks[i].options, x, y);
        zeko_demo_watch(&checks[i].c, kChecks[i].name, describe_check);
        x += checks[i].c.w + GAP;
        if (y + checks[i].c.h > bottom) bottom = y + checks[i].c.h;
    }
    return bottom + GAP;
}
