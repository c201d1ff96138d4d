// What the text controls share: the toolkit language that chooses the texts
// of their right-button menu, the menu itself, and the cleaning of text that
// comes from the clipboard.
#pragma once
#include <string>

struct zeControl;

// 0 English (the default), 1 German; other values are ignored.
void zelanguage_set(int language);
int zelanguage_get(void);

enum {
    ZETEXTMENU_NONE = 0,
    ZETEXTMENU_CUT,
    ZETEXTMENU_COPY,
    ZETEXTMENU_PASTE,
    ZETEXTMENU_SELECTALL,
};
// Opens the right-button menu of a text control at the content point
// (x, y) of the control's container: Cut, Copy, Paste, Select All when
// cancopy, else Paste and Select All. Returns ZETEXTMENU_*.
int zetextmenu_run(zeControl *c, int x, int y, bool cancopy);

// Clipboard text made fit for a text control: CR LF and CR become LF, Tab
// stays, every other byte below 32 and 127 are dropped. With oneline, LF and
// Tab become blanks. At most max characters are kept.
std::string zetext_clean(const char *text, size_t max, bool oneline);
