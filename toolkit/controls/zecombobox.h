// The combo box: shows the chosen entry with a drop-down button; the list
// opens in a popup below it. While closed, the arrow keys and the wheel step
// through the entries.
#pragma once
#include <cstdarg>
#include "zecontrol.h"
#include "zepopup.h"

enum {
    ZECB_ENTRIES = 100,       // entries at most
    ZECB_TEXTMAX = 59,        // characters of one entry
};

struct zeComboBox {
    zeControl c;
    char entries[ZECB_ENTRIES][ZECB_TEXTMAX + 1];
    int count;
    int selected;             // shown entry
    int texty;                // (h - font height) / 2
    bool pressed;             // the button is held
    bool nobutton;            // the button only while focused
    bool right;               // right-aligned text
    int boxcolor;             // background, default scheme white
    int lineh;                // line height of the list
    int highlight;            // highlighted line of the open list, -1 none
    zePopup *popup;           // made on first opening, kept until release
};

void zecombobox_init(zeComboBox *cb);
// Options: the control options plus "entries=" / "contents=" (separated by
// "|"), "start=" (the entry shown first), "nobutton", "align=right" /
// "right" / "rightaligned". Default height: font height + 4.
bool zecombobox_create(zeComboBox *cb, const char *fmt, ...);
bool zecombobox_vcreate(zeComboBox *cb, const char *fmt, va_list ap);
void zecombobox_release(zeComboBox *cb);

// Appends an entry (printf form, cut at ZECB_TEXTMAX); false when full.
bool zecombobox_add(zeComboBox *cb, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
bool zecombobox_add_text(zeComboBox *cb, const char *text);
// count = 0, selected = 0.
void zecombobox_clear(zeComboBox *cb);
// Clamped to the entries; redraws when it changed. No event.
void zecombobox_select(zeComboBox *cb, int index);
// The first entry equal to text (case counts); no change when none.
bool zecombobox_select_text(zeComboBox *cb, const char *text);
int zecombobox_selected(const zeComboBox *cb);
// Copies the shown entry ("" when there is none); returns its index, -1 none.
int zecombobox_selected_text(const zeComboBox *cb, char *out, int outsize);

// The drop-down list: highlight -1 for none.
bool zecombobox_open(zeComboBox *cb, int highlight);
void zecombobox_close(zeComboBox *cb);
bool zecombobox_is_open(const zeComboBox *cb);
