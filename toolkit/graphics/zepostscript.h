// PostScript and PDF output. zePostScript writes a page description into a
// temporary PostScript file: a prolog that re-encodes fonts to ISO Latin-1,
// a page size from a paper format, text, colours, lines, filled shapes and
// pictures as hexadecimal image data, on as many pages as asked for. Finish
// copies it to a ".ps" target, or converts it into a PDF document of our own
// making (zepdf_convert), so no outside program is needed.
//
// Positions given to the zepostscript_ functions are points (1/72 inch)
// from the top-left corner of the area inside the borders. As a graphic
// output (zepostscript_handler) the writer takes the drawing commands of
// zegout.h in pixels at its resolution, so drawing code that fills a pixmap
// of the page's pixel size draws the same page here.
#pragma once
#include <cstdint>
#include <cstdio>

struct zePixmap;

enum {
    ZEPS_A4 = 1, ZEPS_A3, ZEPS_A2, ZEPS_A1, ZEPS_A0, ZEPS_A5, ZEPS_A6, ZEPS_A7, ZEPS_A8, ZEPS_A9,
    ZEPS_LETTER = 11, ZEPS_LEGAL = 12,
};

struct zePostScript {
    double xdpi, ydpi;            // resolution, dots per inch
    int32_t format;               // paper ZEPS_*; 0 = none given (A4 is used)
    bool landscape;
    double topborder, bottomborder, leftborder, rightborder;   // points
    bool truecolor;               // PDF pictures with 8 bits per component instead of 4
    double inchw, inchh;          // the page (landscape: swapped) in inches
    int32_t pixw, pixh;           // ... in pixels at the resolution
    double ptw, pth;              // ... in points
    double xppp, yppp;            // pixels per point (resolution / 72)
    char fontname[64];            // current PostScript font
    int32_t fontsize;             // points
    char tmpname[4200];           // the temporary PostScript file
    FILE *f;                      // open while the page description grows
    int32_t pages;                // page counter
    bool finished;                // finish has appended the end; nothing more is written
    bool failed;                  // a write failed: finish reports it
    // graphic output state
    int32_t color;                // colour last written, -1 none yet
    int32_t curx, cury;           // current point in pixels (line to)
    int32_t font;                 // toolkit font id of the last font command, -1 none
};

// Creates the writer from an option string (printf form): "dpi=", "xdpi=",
// "ydpi=", the four "...border=" (points), "portrait"/"landscape", "a0".."a9",
// "letter", "legal", "truecolor". Opens the temporary file and writes the
// header, the prolog and the first page's start. False (nothing kept) when
// the temporary file cannot be made.
bool zepostscript_create(zePostScript *ps, const char *fmt, ...);
// Closes and deletes the temporary file; forgets the writer as graphic output.
void zepostscript_release(zePostScript *ps);

// Selects a PostScript font ("Helvetica", "Times-Bold" ...) in points.
void zepostscript_setfont(zePostScript *ps, const char *name, int size);
// Colour 0x00RRGGBB for the text, lines and shapes that follow.
void zepostscript_setcolor(zePostScript *ps, int color);
// Text with its baseline starting at (x, y); bytes are ISO Latin-1.
void zepostscript_text(zePostScript *ps, double x, double y, const char *text);
// A straight line of the given width, both in points.
void zepostscript_line(zePostScript *ps, double x1, double y1, double x2, double y2, double width);
void zepostscript_fillrect(zePostScript *ps, double x, double y, double w, double h);
// A path through n points (x, y pairs), stroked with the width or filled.
void zepostscript_poly(zePostScript *ps, const double *xy, int n, bool fill, double width);
// The pixmap region (sx, sy, w, h; -1 = to the right / bottom edge) with its
// top-left corner at (x, y), one pixel per device pixel of the resolution.
// rotate: turned a quarter counter-clockwise (its top edge on the left).
bool zepostscript_picture(zePostScript *ps, const zePixmap *p, double x, double y, int sx, int sy, int w, int h,
                          bool rotate = false);
// Ends the page and begins the next one.
void zepostscript_newpage(zePostScript *ps);
// Ends the document and writes it to target: PostScript for ".ps", PDF for
// ".pdf" (by the name's extension; anything else fails). True when the whole
// file was written. The writer takes nothing more afterwards.
bool zepostscript_finish(zePostScript *ps, const char *target);

// The writer as graphic output (a zeHandler; owner = the zePostScript*).
intptr_t zepostscript_handler(void *owner, int msg, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                              intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);

// What zepxmap_savetofile does for ".ps" and ".pdf": the pixmap from (xoffset,
// yoffset) to its edges, at the "x=", "y=" of the options (points), on a page
// made from the options.
bool zepostscript_savepixmap(const zePixmap *p, const char *filename, int type, const char *options, int xoffset,
                             int yoffset);

// Converts PostScript text as this module writes it into a PDF document:
// text, fonts, colours, lines, shapes and pictures, page by page. Lines it
// does not know are skipped. True when the PDF was written whole.
bool zepdf_convert(const char *psname, const char *pdfname);
// The same from an open stream into an open stream (for tests and fuzzing).
bool zepdf_convert_stream(FILE *in, FILE *out);
