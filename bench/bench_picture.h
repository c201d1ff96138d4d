// The benches' photo-like 1920 x 1080 picture: smooth gradients with some
// noise, so that runs are short as in real pictures.
#pragma once
#include "zeimage.h"

const int W = 1920, H = 1080;

struct Picture {
    zePixmap p;
    Picture() {
        zepxmap_create(&p, W, H, ZEPX_TRUECOLOR);
        uint32_t seed = 1;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                seed = seed * 1103515245 + 12345;
                int n = seed >> 28;
                zepxmap_setpixel(&p, x, y, ((x / 8 + n) & 255) << 16 | ((y / 5) & 255) << 8 | ((x + y) / 16 & 255));
            }
    }
    ~Picture() { zepxmap_release(&p); }
};

inline Picture &picture() {
    static Picture pic;
    return pic;
}
