// zeko: the toolkit's command-line tool. Each group of subcommands lives in
// its own file and takes the arguments after its name.
#pragma once

int zeko_dbf(int argc, char **argv);       // zeko_dbf.cpp
int zeko_convert(int argc, char **argv);   // zeko_image.cpp
int zeko_import(int argc, char **argv);    // zeko_import.cpp
int zeko_geometry(int argc, char **argv);  // zeko_geometry.cpp
int zeko_font(int argc, char **argv);      // zeko_font.cpp
int zeko_demo(int argc, char **argv);      // zeko_demo.cpp
int zeko_page(int argc, char **argv);      // zeko_page.cpp
int zeko_demo_terminal(int argc, char **argv);   // zeko_terminal.cpp
int zeko_demo_dialogs(int argc, char **argv);    // zeko_dialogs.cpp
int zeko_demo_colour(int argc, char **argv);     // zeko_colour.cpp

// Starts the toolkit for zeko's own windows (program name "zeko", the
// standard views); with close_on_signal, SIGTERM and SIGINT close them.
void zeko_start_toolkit(bool close_on_signal);

// Prints "zeko: MESSAGE" on standard error and returns 1.
int zeko_fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
