// Opening documents and programs, printing, internet shortcuts.
//
// Programs are started directly (fork and exec, no shell) in a session of
// their own and are not waited for; nothing of them stays behind as a zombie.
// Documents and addresses go to xdg-open, printing to lp.
#pragma once

// Opens file: made a full path (addresses like "http://..." stay as they
// are). When it contains ".exe" (or ".EXE"), the path ends there and the text
// after one separating character is the parameter string, split into words.
// An executable file is run, anything else is handed to xdg-open. True when
// the program started.
bool zeshell_open(const char *file);
// The program launcher: formats a command line (at most 5000 bytes) and
// starts it. A text that names an existing file, or whose first word
// contains ".exe", goes to zeshell_open; otherwise the first word is the
// program (searched in PATH) and the other words its arguments; a first word
// that is no program makes the whole text a document for zeshell_open.
bool zeshell_run(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Prints file with lp. True when lp started.
bool zeshell_print(const char *file);
// Opens a web or mail address: writes the internet-shortcut text to a new
// temporary ".url" file and opens the address with xdg-open (a mail address
// with one "@" gets "mailto:"). Other texts are opened as files. Returns 1
// when the address was handed on, else 0 (for files: zeshell_open's result).
int zeshell_internet(const char *text);

// Splits file at ".exe" as zeshell_open does: false when there is no ".exe".
bool zeshell_split_exe(const char *file, char *program, int programsize, char *params, int paramsize);
// Starts argv[0] (a path, or a name searched in PATH) with argv, detached.
bool zeshell_spawn(const char *const *argv);
