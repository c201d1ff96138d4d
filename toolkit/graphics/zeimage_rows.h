// Shared plumbing of the image readers: where decoded rows go and how a
// picture reaches pixmaps of the different formats.
#pragma once
#include <cstdio>
#include "zefile.h"
#include "zepxmap.h"

// Rows of w x h picture pixels placed at (x, y) of a truecolor pixmap;
// what falls outside the pixmap is dropped.
struct zeImgRows {
    zePixmap *p;
    int x, y, w, h;
    void put(int row, const uint32_t *colors) const;
};

// Decodes the whole picture (its header already read) into rows.
typedef bool (*zeImgDecode)(FILE *f, void *state, const zeImgRows &rows);

enum {
    ZEIMG_TO_TRUECOLOR = 1,
    ZEIMG_TO_SERVER = 2,
    ZEIMG_TO_DIRECTX = 4,
    ZEIMG_TO_PALETTE8 = 8,
    ZEIMG_SERVER_REMAKE = 16,   // a full-size load into a server pixmap re-makes it
};

// Reads a picture of W x H into p at (x, y), taking w x h of it (-1/0 = all):
// directly into truecolor pixmaps, through a temporary truecolor pixmap merged
// in for the formats in `targets`. `transparent` (-2 = none) becomes palette
// entry 255 of p. `who` names the reader in the message for other formats.
bool zeimage_place(FILE *f, zeImgDecode decode, void *state, int W, int H, zePixmap *p, int x, int y, int w,
                   int h, unsigned targets, const char *who, int transparent);

// Bytes from the current position to the end of the file; -1 when unknown.
long zeimage_remaining(FILE *f);
// Little/big-endian readers of a byte buffer.
static inline uint32_t zele16(const uint8_t *b) { return b[0] | b[1] << 8; }
static inline uint32_t zele32(const uint8_t *b) { return b[0] | b[1] << 8 | b[2] << 16 | (uint32_t)b[3] << 24; }

// The pixmap as truecolor: p itself when it is one, else a converted copy in
// tmp (released by the caller). Null when it cannot be had or has no pixels.
const zePixmap *zeimage_truecolor(const zePixmap *p, zePixmap *tmp);
// Writers open their target with zefile_out_open (zefile.h): a plain file is
// replaced only once the new picture is complete; a device or a link is
// written in place and never removed.
