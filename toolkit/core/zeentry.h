// The toolkit owns the process entry: main() (in the window layer) prepares
// the toolkit (zetoolkit_init), calls the application's zemain() once and
// runs the exit sequence. Programs with their own main() (the zeko tool,
// tests) call zetoolkit_init() or, for core alone, zeentry_init(), and at the
// end zeexit() or zeentry_exit_sequence() themselves.
#pragma once
#include <string>
#include <vector>

// Defined by the application.
void zemain(void);

// Start-up before zemain: records the millisecond clock, builds the argument
// vector (entry 0 empty, then argv[1..]), empties the exit cleanup list,
// computes the program directory, clears the waited flag and installs the
// close-request signal handlers (SIGTERM, SIGINT, SIGHUP). The layers above
// add their own steps (fonts) in zetoolkit_init.
void zeentry_init(int argc, char **argv);
// What the entry does after zemain returns: the discard loop when windows are
// still open and nobody ever waited, then the exit sequence with code 0.
// Returns the process exit code.
int zeentry_finish(void);
// The exit sequence without ending the process: stores the code, clears the
// running flag, runs the exit cleanups in registration order and empties the
// list, then the temporary-file hook. A cleanup that calls it again (through
// zeexit) does not restart it: the sequence goes on from the next cleanup
// and the first code is the one the process ends with.
void zeentry_exit_sequence(int code);
// The exit code stored by the exit sequence (0 before it ran).
int zeentry_exit_code(void);

// The argument vector: count including entry 0, entries, a null after the last.
int zeargc(void);
char **zeargv(void);

// Splits a command-line text into words. Blanks separate words; a word that
// begins with a double quote runs to the next double quote (quotes dropped);
// any other word runs to the next blank outside double quotes, its quotes
// dropped. out[0] is "", the words follow, out[count] is null; at most maxout
// entries including entry 0 and the null. buf holds the texts.
// Returns the count including entry 0.
int zecmdline_split(const char *line, char **out, int maxout, char *buf, int bufsize);
// The words of a command line of any length (zecmdline_split without entry 0).
std::vector<std::string> zecmdline_words(const char *line);

// -1 for an argument "-name", +1 for "+name" (blanks and tabs inside the
// argument ignored, name matched exactly), 0 when absent. First match wins.
int zecmdline_switch(const char *name);

// Directory of the running program file, without the trailing slash
// (at most 299 characters), computed once.
const char *zeprogramdir(void);

// Open toolkit windows; the window module counts them (the entry keeps
// a program with open windows alive after zemain returns).
void zeentry_windows_add(int delta);
int zeentry_windows_open(void);

// Set by the services module: deletes the toolkit's temporary files. Runs at
// the very end of the exit sequence, after the cleanups.
extern void (*zeentry_tempfile_hook)(void);
