// What the standard dialogs share (private to the dialog modules): the
// caller's standard view and graphic output saved and given back, the dialog
// window opened as the place its controls attach to, and the open hook.
#pragma once
#include "zebase.h"

struct zeView;
struct zeWindow;
struct zeControl;

struct zeDialogCaller {
    zeView *view;
    zeHandler out;
    void *outowner;
};

zeDialogCaller zedialog_save_caller(void);
void zedialog_restore_caller(const zeDialogCaller &s);
// Opens the window and makes its main view the standard view; null when the
// window cannot be made.
zeView *zedialog_open_window(zeWindow *w, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
// Tells the open hook (zedialog_set_open_hook) that a dialog waits now.
void zedialog_opened(zeWindow *w, zeControl *const *controls, int n);
