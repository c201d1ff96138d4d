// Image files: BMP, PCX, PPM, XPM (read and write), PNG (write), PostScript
// and PDF (write, through a hook of the PostScript module). The type comes
// from the file name's extension. File arguments are one printf-form text:
// "name,x=..,y=..,xs=..,ys=..,transparentcolor=..".
//
// Readers reject truncated, oversized or inconsistent files: they return
// false and leave the pixmap unchanged.
#pragma once
#include <cstdio>
#include "zepxmap.h"

enum {
    ZEIMG_NONE = 0,
    ZEIMG_PNG = 1,
    ZEIMG_BMP = 2,
    ZEIMG_XPM = 3,
    ZEIMG_PPM = 4,
    ZEIMG_PCX = 5,
    ZEIMG_HTML = 6,
    ZEIMG_WMF = 7,
    ZEIMG_PS = 8,
    ZEIMG_PDF = 9,
};

// Largest picture a reader accepts (either side); bigger headers are rejected.
enum { ZEIMG_MAXSIDE = 32768 };

int zeimage_filetype(const char *filename);
// Reads only the header. True when the file could be opened and the header is sane.
bool zegetpicturesizes(const char *filename, int *width, int *height);

// Loads "file,options" (printf form) into an existing pixmap at (x, y); the
// options x=, y=, xs=, ys= override.
bool zegraphic_gloadintern_file(zePixmap *p, int x, int y, const char *fmt, ...) __attribute__((format(printf, 4, 5)));

// Readers: the file into the pixmap at (x, y) (negative counts as 0), taking
// w x h of the picture (-1 or 0 = all). items: null-terminated option entries, may be null.
bool zepxmap_loadfromfile_bmp(zePixmap *p, const char *filename, const char *const *items, int x, int y, int w, int h);
bool zepxmap_loadfromfile_pcx(zePixmap *p, const char *filename, const char *const *items, int x, int y, int w, int h);
bool zepxmap_loadfromfile_ppm(zePixmap *p, const char *filename, const char *const *items, int x, int y, int w, int h);
bool zepxmap_loadfromfile_xpm(zePixmap *p, const char *filename, const char *const *items, int x, int y, int w, int h);
// The same readers on an open stream (fmemopen works), used for memory and fuzzing.
bool zebmp_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h);
bool zepcx_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h);
bool zeppm_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h);
bool zexpm_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h);
// A PCX picture row by row, for readers that keep it in a smaller form than a
// truecolor pixmap: size(w, h) once (false refuses), then row(y, colours) top
// down (false stops early). False for a bad header or truncated data; the
// data are read once, so rows may have come before a truncation shows: the
// reader drops what it kept when false comes back.
bool zepcx_read_rows(FILE *f, bool (*size)(void *ctx, int w, int h),
                     bool (*row)(void *ctx, int y, const uint32_t *colors), void *ctx);

// Loads a picture file into p at (x, y) / saves p whole, by the file's type,
// with the name taken as it is: no option text, so commas and blanks belong
// to the name. False for types that cannot be read / written.
bool zeimage_load_file(zePixmap *p, const char *filename, int x, int y);
bool zeimage_save_file(const zePixmap *p, const char *filename);

// Makes p (released by the caller beforehand) a new palette8 pixmap from an
// in-memory XPM picture: values line, colour lines, pixel rows. The array must
// hold as many texts as the values line announces; a null entry ends it early (failure).
bool zepxmap_createfrommem_xpm(zePixmap *p, const char *const *xpm);
bool zepxmap_createfrommem_xpm_n(zePixmap *p, const char *const *xpm, int count);

// Saves the rectangle chosen by x=, y=, xs=, ys= (default all) by the file's type.
// The pixmap itself is not changed.
bool zepxmap_savetofile(const zePixmap *p, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
bool zepxmap_savetofile_xpm(const zePixmap *p, const char *filename);
// Writers of one format; they take any memory or server pixmap (converted on a copy).
bool zepxmap_savetofile_bmp(const zePixmap *p, const char *filename);
bool zepxmap_savetofile_pcx(const zePixmap *p, const char *filename);
bool zepxmap_savetofile_ppm(const zePixmap *p, const char *filename);
bool zepxmap_savetofile_png(const zePixmap *p, const char *filename);
// A PNG with transparency from width x height pixels 0xAARRGGBB, rows top down.
bool zepng_write_argb(const char *filename, const uint32_t *pixels, int width, int height);

// PostScript and PDF are written by the PostScript module (zepostscript.h)
// unless a hook is set in its place: (pixmap, target file name, type
// ZEIMG_PS or ZEIMG_PDF, option text after the file name, source x, source y)
// -> success. A null hook restores the PostScript module.
typedef bool (*zeImagePostScriptHook)(const zePixmap *p, const char *filename, int type,
                                      const char *options, int xoffset, int yoffset);
void zeimage_set_postscript_hook(zeImagePostScriptHook hook);

// CRC-32 (PNG) and Adler-32 (zlib) running sums.
uint32_t zepng_crc32(uint32_t crc, const uint8_t *data, size_t n);   // start with 0
uint32_t zepng_adler32(uint32_t adler, const uint8_t *data, size_t n); // start with 1
