// Clipboard text.
#pragma once

// Replaces the clipboard's content. A text without CR gets CR LF for every
// LF; a text that has a CR is stored as it is. False when the backend refuses.
bool zeclipboard_set(const char *text);
// The clipboard's text, in a buffer of the toolkit that the next call
// replaces; 0 when the clipboard holds no text.
const char *zeclipboard_get(void);
