// GUI metrics and system colours by name, and the mouse cursor choice.
#pragma once
#include <cstdint>

// "menuheight", "toolbarheight", "statusbarheight", "scrollbarwidth",
// "scrollbarheight", "screenwidth"/"screenxs", "screenheight"/"screenys",
// "maxwindowxs", "maxwindowys". Other names: "guimetrics: NAME" on stdout, 0.
int guimetrics(const char *name);

// Lower-level values for windows: "windowbordersize" and
// "windowcaptionheight". Both are 0: a toolkit window is its client area, the
// window manager draws any frame outside it. Other names: "get setting: NAME", 0.
int zeget_setting(const char *name);

// System colours as 0xRRGGBB; -1 for "not provided" ("white", "black",
// unknown names, and "textsel"/"blue" on displays of 9 bits or more).
int32_t zesyscolor(const char *name);

// The mouse cursor: "hand" or "standard" (anything else: standard), shown
// over the program's windows.
void zecursor_set(const char *name);
const char *zecursor_get(void);  // "hand" or "standard"
