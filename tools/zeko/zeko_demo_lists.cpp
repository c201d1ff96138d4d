// zeko demo controls: the lists section (a list box of fruit, one of a
// hundred thousand lines, one with check boxes and shaded lines, a combo box
// and an empty combo box).
#include "zeko_demo.h"
#include "zecombobox.h"
#include "zelistbox.h"
#include <cstdio>

namespace {

const char *const kFruit[] = {"apple", "apricot", "banana", "blackberry", "blueberry", "cherry", "coconut",
                              "date", "elderberry", "fig", "grape", "guava", "kiwi", "lemon", "lime",
                              "mango", "melon", "nectarine", "orange", "papaya", "peach", "pear", "plum",
                              "quince", "raspberry", "strawberry", "tangerine", "watermelon"};

enum { LONG_LIST = 100000, LIST_W = 180, LIST_H = 108, GAP = 24, COMBO_W = 140 };

zeListBox g_fruit, g_long, g_checks;
zeComboBox g_colours, g_empty;

// "INDEX:TEXT" of the selection, "-1:" when there is none.
void describe_list(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeListBox *lb = (zeListBox *)obj;
    const char *k = index == 0 ? "main" : index == ZELB_ID_SELECT ? "select" : index == ZELB_ID_MARK ? "mark"
                  : index == ZELB_ID_RIGHT ? "right" : "other";
    snprintf(kind, kindsize, "%s", k);
    if (index == ZELB_ID_MARK) {
        int line = lb->lasttoggled;
        snprintf(value, valuesize, "%d:%d", line, zelistbox_marked(lb, line) ? 1 : 0);
        return;
    }
    int s = zelistbox_selected(lb);
    snprintf(value, valuesize, "%d:%s", s, s >= 0 ? zelistbox_item(lb, s) : "");
}

void describe_combo(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeComboBox *cb = (zeComboBox *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : "other");
    char text[ZECB_TEXTMAX + 1];
    int s = zecombobox_selected_text(cb, text, sizeof text);
    snprintf(value, valuesize, "%d:%s", s, text);
}

}  // namespace

int zeko_demo_lists(zekoDemo *d, int y) {
    y = zeko_demo_title(d, y, "List box and combo box");
    int x = d->margin + 2;
    y += 2;   // room for the sunken frame

    zelistbox_init(&g_fruit);
    zelistbox_create(&g_fruit, "fruit,x=%d,y=%d,xs=%d,ys=%d", x, y, LIST_W, LIST_H);
    zelistbox_clear(&g_fruit);
    for (const char *f : kFruit) zelistbox_add_text(&g_fruit, f);
    zelistbox_end_bulk(&g_fruit);
    zeko_demo_watch(&g_fruit.c, "list", describe_list);

    zelistbox_init(&g_long);
    zelistbox_create(&g_long, "long,x=%d,y=%d,xs=%d,ys=%d", x + LIST_W + GAP, y, LIST_W, LIST_H);
    zelistbox_clear(&g_long);
    for (int i = 0; i < LONG_LIST; i++) zelistbox_add(&g_long, "entry %06d", i);
    zelistbox_end_bulk(&g_long);
    zeko_demo_watch(&g_long.c, "longlist", describe_list);

    zelistbox_init(&g_checks);
    zelistbox_create(&g_checks, "checks,x=%d,y=%d,xs=%d,ys=%d,choosebox,markedlines,"
                     "entries=seconds|minutes|hours|days|hundredths|colon|border|shadow|on top",
                     x + 2 * (LIST_W + GAP), y, d->width - 2 * (LIST_W + GAP) - 4, LIST_H);
    zeko_demo_watch(&g_checks.c, "checks", describe_list);

    y += LIST_H + GAP;
    zecombobox_init(&g_colours);
    zecombobox_create(&g_colours, "colours,x=%d,y=%d,xs=%d,entries=red|green|blue|yellow|cyan|magenta,start=0", x, y,
                      COMBO_W);
    zeko_demo_watch(&g_colours.c, "combo", describe_combo);

    zecombobox_init(&g_empty);
    zecombobox_create(&g_empty, "empty,x=%d,y=%d,xs=%d,nobutton", x + COMBO_W + GAP, y, COMBO_W);
    zeko_demo_watch(&g_empty.c, "emptycombo", describe_combo);
    return y + g_colours.c.h + 4;
}
