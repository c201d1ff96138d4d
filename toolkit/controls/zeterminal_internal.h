// What the two halves of the terminal module share.
#pragma once
#include "zeterminal.h"

// The child's reports reach the terminal through this record: it stays
// behind when the terminal goes away before the child has ended.
struct zeTermLink {
    zeTerminal *t;
};

zeTermCell *zeterm_row(const zeTerminal *t, int line);   // buffer line 0 is the oldest
void zeterm_mark(zeTerminal *t, int line);               // a buffer line needs drawing
void zeterm_mark_all(zeTerminal *t);
void zeterm_character(zeTerminal *t, int ch, bool fromchild);
void zeterm_output(zeTerminal *t, const char *bytes, int n, bool fromchild);
void zeterm_flush_word(zeTerminal *t);
void zeterm_clear_buffer(zeTerminal *t);
// Copies a rectangle of the terminal's picture into the view and refreshes it.
void zeterm_copy(zeTerminal *t, int x, int y, int w, int h);
void zeterm_resized(zeTerminal *t);

// zeterminal_io.cpp
void zeterm_forward(zeTerminal *t, int ch);              // a printed character to the child
bool zeterm_open_log(zeTerminal *t, const char *name);
void zeterm_end_io(zeTerminal *t);                       // child ended, log closed
