// An off-screen canvas for markup pages: a pixmap with a view that draws
// straight into it, made the standard view and current graphic output, so a
// page built now lays out on it and its controls attach to it.
#pragma once
#include "zepage.h"
#include "zepxmap.h"
#include "zeview.h"

struct PageCanvas {
    zePixmap px;
    zeView view;

    bool open(int w, int h) {
        zepxmap_init(&px);
        if (!zepxmap_create(&px, w, h, ZEPX_TRUECOLOR)) return false;
        zepxmap_clear(&px, 0xffffff);
        return zeview_create_in(&view, nullptr, nullptr, &px, true,
                                "page,x=0,y=0,xs=%d,ys=%d,bgcolor=ffffff,standardview", w, h);
    }
    void close() {
        zeview_destroy(&view);
        zepxmap_release(&px);
    }
    int pixel(int x, int y) const { return zepxmap_getpixel(&px, x, y) & 0xffffff; }
    // Pixels of that colour in the rectangle.
    int count(int x, int y, int w, int h, int color) const {
        int n = 0;
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++) n += pixel(i, j) == color;
        return n;
    }
};
