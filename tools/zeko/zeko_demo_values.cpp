// zeko demo controls: the values section (up-down controls, sliders, a
// progress bar that follows the horizontal slider, tab bars in both styles).
#include "zeko_demo.h"
#include "zeprogress.h"
#include "zeslide.h"
#include "zetabbar.h"
#include "zeupdown.h"
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

enum { GAP = 8, ROW = 30 };

struct UpDownSpec {
    const char *name;
    const char *options;
};

// "days" reaches its limits in a few steps; "count" has room for a held
// arrow; "five" snaps to its step with three digits; "price" has decimals.
const UpDownSpec kUpDowns[] = {
    {"days", "0,xs=70,min=0,max=20,start=18"},
    {"count", "0,xs=90,min=-1000,max=1000,start=0"},
    {"five", "0,xs=70,min=0,max=995,step=5,digits=3"},
    {"price", "0,xs=90,decimal=2,start=1234"},
};

zeProgressBar *g_progress;

void describe_updown(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeUpDownControl *u = (zeUpDownControl *)obj;
    bool text = index == ZEUPDOWN_ID_TEXT;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : text ? "text" : "other");
    if (text) snprintf(value, valuesize, "%s", zelineinput_text(&u->in));
    else snprintf(value, valuesize, "%d", zeupdown_value(u));
}

void describe_slide(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeSlide *s = (zeSlide *)obj;
    int v = (int)lround(zeslide_value(s));
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    snprintf(value, valuesize, "%d", v);
    if (g_progress && !s->vertical) zeprogress_set_value(g_progress, v);
}

void describe_tabs(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeTabBar *t = (zeTabBar *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    snprintf(value, valuesize, "%d", zetabbar_selected(t));
}

}  // namespace

int zeko_demo_values(zekoDemo *d, int y) {
    y = zeko_demo_title(d, y, "Up-down, slider, progress bar, tab bar");
    static zeUpDownControl updowns[sizeof kUpDowns / sizeof kUpDowns[0]];
    int x = d->margin;
    for (size_t i = 0; i < sizeof kUpDowns / sizeof kUpDowns[0]; i++) {
        zeupdown_create(&updowns[i], "%s,x=%d,y=%d", kUpDowns[i].options, x, y);
        zeko_demo_watch(&updowns[i].in.c, kUpDowns[i].name, describe_updown);
        x += updowns[i].in.c.w + 2 * GAP;
    }
    // The vertical slider stands at the right of the first rows.
    static zeSlide vslide;
    zeslide_create(&vslide, "v,x=%d,y=%d,xs=18,ys=120,vertical,start=25", d->margin + d->width - 18, y);
    zeko_demo_watch(&vslide.c, "vslide", describe_slide);
    y += ROW;

    static zeSlide slide;
    static zeProgressBar progress;
    zeslide_create(&slide, "s,x=%d,y=%d,xs=300,ys=20,showpos,start=50", d->margin, y);
    zeko_demo_watch(&slide.c, "slide", describe_slide);
    zeprogress_create(&progress, "p,x=%d,y=%d,xs=202,ys=14", d->margin + 320, y + 3);
    zeprogress_set_value(&progress, 50);
    zeko_demo_watch(&progress.c, "progress");
    g_progress = &progress;
    y += ROW;
    static zeSlide greyslide;
    zeslide_create(&greyslide, "g,x=%d,y=%d,xs=200,ys=14,start=30,grey", d->margin, y);
    zeko_demo_watch(&greyslide.c, "greyslide", describe_slide);
    y += ROW + 40;   // below the vertical slider

    static zeTabBar tabs, greytabs, manytabs;
    const char *names = "tabs=Window|Size/Colors/Border|Sound|Start";
    zetabbar_create(&tabs, "t,x=%d,y=%d,%s", d->margin, y, names);
    zeko_demo_watch(&tabs.c, "tabs", describe_tabs);
    y += tabs.c.h + GAP;
    zetabbar_create(&greytabs, "t,x=%d,y=%d,%s,greystyle", d->margin, y, names);
    zetabbar_set_color(&greytabs, 3, 0xFFD080);
    zeko_demo_watch(&greytabs.c, "greytabs", describe_tabs);
    y += greytabs.c.h + GAP;
    // More tabs than fit: the bar is cut at its width.
    char many[400] = "tabs=";
    for (int i = 0; i < 30; i++) snprintf(many + strlen(many), sizeof many - strlen(many), "%sPage", i ? "|" : "");
    zetabbar_create(&manytabs, "t,x=%d,y=%d,xs=%d,%s,autonumber=1", d->margin, y, d->width, many);
    zeko_demo_watch(&manytabs.c, "manytabs", describe_tabs);
    return y + manytabs.c.h + GAP;
}
