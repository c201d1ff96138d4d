// Check boxes, square or round (radio look). A click or Space flips the
// state and posts the main event; "1", "j", "y" check and "0", "n" uncheck
// (posting even when nothing changed); Enter moves the focus on.
#pragma once
#include <cstdarg>
#include "zecontrol.h"

enum { ZECHECKBOX_BOX = 13 };

struct zeCheckBox {
    zeControl c;
    bool checked, round, boxonly, flat, lightframe;
    int boxcolor, markcolor, captioncolor;
    int boxx, boxy;             // the box's top-left corner

    zeCheckBox();   // zecheckbox_init
    ~zeCheckBox();  // zecheckbox_release
    zeCheckBox(const zeCheckBox &) = delete;
    zeCheckBox &operator=(const zeCheckBox &) = delete;
};

void zecheckbox_init(zeCheckBox *b);
// "caption,x=,y=,checked,round,boxonly,2d,lightframe,bgcolor=,..."
bool zecheckbox_create(zeCheckBox *b, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
bool zecheckbox_vcreate(zeCheckBox *b, const char *fmt, va_list ap);
void zecheckbox_release(zeCheckBox *b);
bool zecheckbox_set_grey(zeCheckBox *b);
bool zecheckbox_clear_grey(zeCheckBox *b);
void zecheckbox_show(zeCheckBox *b);
void zecheckbox_hide(zeCheckBox *b);
void zecheckbox_redraw(zeCheckBox *b);
inline int zecheckbox_eventid(const zeCheckBox *b) { return b->c.ids[0]; }
// Redraws only when the value changes.
void zecheckbox_set_checked(zeCheckBox *b, bool checked);
bool zecheckbox_is_checked(const zeCheckBox *b);
