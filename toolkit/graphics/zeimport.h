// Importing pictures: JPEG (through libjpeg-turbo), GIF (through giflib) and
// the toolkit's own BMP, PCX, PPM and XPM readers, recognised by the file's
// first bytes (the extension decides only when they say nothing). The result
// is always a truecolor pixmap at the picture's own pixel size.
//
// Every import is bounded: a picture wider or higher than ZEIMPORT_MAXSIDE or
// larger than ZEIMPORT_MAXPIXELS in all, and a JPEG or GIF file longer than
// ZEIMPORT_MAXFILE, is refused before its pixels are allocated. A refused,
// missing, empty, truncated or broken file prints one line beginning with
// "zeimage_import:" that says why, returns false and leaves the pixmap as it was.
#pragma once
#include <cstddef>
#include <cstdint>
#include "zepxmap.h"

enum {
    ZEIMPORT_MAXSIDE = 16384,        // pixels of either side
    ZEIMPORT_MAXPIXELS = 40000000,   // width x height: 160 MB as truecolor (8K UHD fits)
    ZEIMPORT_MAXFILE = 256 << 20,    // bytes of a compressed file, read whole
    ZEIMPORT_MAXSCANS = 500,         // scans of a progressive JPEG (each one re-reads the picture)
};

// Kinds of pictures import reads; BMP, PCX, PPM and XPM are zeimage.h's
// numbers, the others lie beyond the extension types.
enum {
    ZEIMPORT_UNKNOWN = 0,
    ZEIMPORT_JPEG = 20,
    ZEIMPORT_GIF = 21,
};

// Makes p a new truecolor pixmap holding the picture in filename at its pixel
// size. JPEG: baseline and progressive, greyscale and CMYK/YCCK become RGB,
// the EXIF orientation is applied. GIF: the first frame on its logical screen.
// Transparent pixels (GIF, XPM "None") and what a GIF frame leaves of its
// screen become background (0xRRGGBB; -1 = black). p must be initialised; on
// success its old storage is released, on failure it is untouched.
bool zeimage_import(zePixmap *p, const char *filename, int background);
// The same from bytes in memory; name is used in messages only (may be null).
bool zeimage_import_mem(zePixmap *p, const uint8_t *data, size_t size, int background, const char *name);

// The kind of picture by its first bytes, else by the extension of filename
// (may be null): ZEIMPORT_JPEG, ZEIMPORT_GIF, ZEIMG_BMP, ZEIMG_PCX, ZEIMG_PPM,
// ZEIMG_XPM or ZEIMPORT_UNKNOWN.
int zeimage_sniff(const uint8_t *head, size_t n, const char *filename);

// True when a picture of w x h lies inside the bounds; else prints why.
bool zeimport_size_ok(int w, int h, const char *name);

// The decoders on their own (p is made a new truecolor pixmap; untouched on failure).
bool zejpeg_decode(zePixmap *p, const uint8_t *data, size_t size, const char *name);
bool zegif_decode(zePixmap *p, const uint8_t *data, size_t size, int background, const char *name);
// The EXIF orientation (1-8) in a JPEG APP1 payload ("Exif\0\0" + TIFF); 1 when absent or broken.
int zejpeg_exif_orientation(const uint8_t *app1, size_t n);
// Turns p as an EXIF orientation says (2-8; 1 and others leave it). False when
// memory for the turned copy is lacking (p unchanged).
bool zeimage_orient(zePixmap *p, int orientation);
