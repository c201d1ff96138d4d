// The standard dialogs: an information message, a yes/no question (English
// and German captions) and a text input. Each is one call that opens a
// modal toolkit window, waits in its own nested loop (the caller's windows
// keep being served) and returns the answer. The caller's standard view and
// current graphic output are the same again when the call returns.
//
// When the toolkit stops while a dialog waits, the dialog gives its negative
// answer (no, cancel, empty text).
#pragma once

enum {
    ZEDIALOG_TEXTWIDTH = 190,    // message texts are wrapped in this width
    ZEDIALOG_WIDETEXT = 500,     // ... or this one when they would be too high
    ZEDIALOG_MESSAGEMAX = 4095,  // formatted message length
    ZEDIALOG_INPUTMAX = 1023,    // the text input's longest answer
};

void zedialog_info(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// True for yes (the Yes button or Enter); closing or Escape answers no.
bool zedialog_yesno(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
bool zedialog_janein(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// OK or Enter copies the typed text into answer (size bytes, cut to fit) and
// returns true; Cancel, Escape or closing leave answer empty and return false.
bool zedialog_input(char *answer, int size, const char *fmt, ...) __attribute__((format(printf, 3, 4)));

// Lets five presses of F12 in a row show the toolkit's banner in the info
// dialog (zeview_install does it, so every program with windows has it).
void zedialog_install_banner(void);

// The height of a message wrapped into the dialog text width, and the width
// it is laid out in (190, or 500 when that would exceed 300 pixels).
void zedialog_text_size(const char *text, int *width, int *height);

// Called once a dialog's window and controls are up, before it waits:
// scripts and tests drive the dialog from here. The controls in order:
// OK; Yes, No; OK, Cancel, the line input. Null removes the hook.
struct zeWindow;
struct zeControl;
void zedialog_set_open_hook(void (*hook)(zeWindow *w, zeControl *const *controls, int n));

