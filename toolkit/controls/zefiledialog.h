// The file chooser: the toolkit's own file dialog, with a directories list
// ("[..]" is the parent), a files list, filter entries, hidden files on
// demand, the current directory as an editable path and the chosen name as
// an editable selection, in "open" and "save" modes.
#pragma once

struct zeListBox;

enum {
    ZEFILEDIALOG_PATHMAX = 4095,
};

// Options (printf form), scanned from entry 0: "save" / "savedialog" (the
// save dialog, which asks before it overwrites), "title=" / "caption=",
// "filter=" PATTERN "|" DESCRIPTION (repeatable; a pattern may list several
// with ";", as in *.wav;*.mp3), "dir=" / "directory=" (the start directory,
// else the current one), "defaultext=" (appended to a name without "."),
// "suggestion=" (the name proposed), "mustnotexist" (open accepts a file that
// does not exist), and "executable" (the files list shows only files the
// user may run: program choosers).
// True with the chosen absolute path (forward slashes) in answer; false with
// answer empty for Cancel, Escape, closing, "no" to overwriting, a path that
// does not fit in size bytes, a window that cannot open, or the toolkit
// stopping while it waits.
bool zedialog_file(char *answer, int size, const char *fmt, ...) __attribute__((format(printf, 3, 4)));

// The dialog's rules, for the dialog and its tests.
// Whether name matches one of the ";"-separated patterns ("*", "?", case
// ignored; blanks around a pattern do not count; an empty list matches all).
bool zefiledialog_match(const char *patterns, const char *name);
// A typed path made absolute against dir ("~" is the home directory), with
// backslashes turned into "/", "." and ".." resolved and "/" doubled or
// trailing removed. False (out empty) when it does not fit.
bool zefiledialog_resolve(const char *dir, const char *typed, char *out, int size);
// Appends "." and ext (a leading "." of ext ignored) when the name after
// the last "/" has no "."; false, path unchanged, when it would not fit.
bool zefiledialog_defaultext(char *path, int size, const char *ext);
// Fills the lists with the subdirectories ("[..]" first unless dir is "/")
// and the matching files of dir, sorted; names beginning with "." only when
// hidden is set, files only when executable by the user when executable is
// set. Either list may be null. False when dir cannot be read (the lists
// then hold only "[..]").
bool zefiledialog_list(const char *dir, const char *patterns, bool hidden, bool executable, zeListBox *dirs,
                       zeListBox *files);
