// JPEG and GIF files made in memory with libjpeg-turbo's and giflib's own
// encoders, for the import tests, the mutator seeds and the bench.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

// The test pattern's colour at (x, y): gradients with sharp steps.
inline uint32_t picture_pattern(int x, int y) {
    uint32_t r = (x * 255 / 97) & 255, g = (y * 3) & 255, b = ((x / 8 + y / 8) & 1) ? 230 : 20;
    return r << 16 | g << 8 | b;
}

enum PictureJpegKind { JPEG_BASELINE, JPEG_PROGRESSIVE, JPEG_GREY, JPEG_CMYK };

inline std::vector<uint8_t> make_jpeg(int w, int h, PictureJpegKind kind = JPEG_BASELINE, int quality = 85) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = w, c.image_height = h;
    int comps = kind == JPEG_GREY ? 1 : kind == JPEG_CMYK ? 4 : 3;
    c.input_components = comps;
    c.in_color_space = kind == JPEG_GREY ? JCS_GRAYSCALE : kind == JPEG_CMYK ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (kind == JPEG_PROGRESSIVE) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row((size_t)w * comps);
    while (c.next_scanline < c.image_height) {
        int y = (int)c.next_scanline;
        for (int x = 0; x < w; x++) {
            uint32_t v = picture_pattern(x, y);
            uint8_t r = v >> 16, g = v >> 8, b = v;
            uint8_t *o = &row[(size_t)x * comps];
            if (comps == 1) o[0] = g;
            else if (comps == 3) o[0] = r, o[1] = g, o[2] = b;
            else o[0] = 255 - r, o[1] = 255 - g, o[2] = 255 - b, o[3] = 255;   // inverted, as Adobe writes
        }
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&c, &rp, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buf, buf + size);
    jpeg_destroy_compress(&c);
    free(buf);
    return out;
}

struct PictureGifSink {
    std::vector<uint8_t> data;
};

inline int picture_gif_write(GifFileType *g, const GifByteType *b, int n) {
    PictureGifSink *s = (PictureGifSink *)g->UserData;
    s->data.insert(s->data.end(), b, b + n);
    return n;
}

// A GIF of w x h with a 16-colour table (index = (x / 4 + y / 3) % 16); one
// frame, or frames more repeating it. transparent: index or -1.
inline std::vector<uint8_t> make_gif(int w, int h, bool interlace = false, int transparent = -1, int frames = 1) {
    PictureGifSink sink;
    int err = 0;
    GifFileType *g = EGifOpen(&sink, picture_gif_write, &err);
    if (!g) return {};
    GifColorType colors[16];
    for (int i = 0; i < 16; i++) colors[i] = {(GifByteType)(i * 16), (GifByteType)(255 - i * 9), (GifByteType)(i * 5)};
    ColorMapObject *map = GifMakeMapObject(16, colors);
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, w, h, 4, 0, map);
    for (int f = 0; f < frames; f++) {
        if (transparent >= 0) {
            GifByteType ext[4] = {1, 0, 0, (GifByteType)transparent};
            EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        }
        EGifPutImageDesc(g, 0, 0, w, h, interlace, nullptr);
        std::vector<GifPixelType> line(w);
        // giflib writes rows in the order given: an interlaced frame's passes
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (interlace ? 4 : 1); pass++)
            for (int y = interlace ? start[pass] : 0; y < h; y += interlace ? step[pass] : 1) {
                for (int x = 0; x < w; x++) line[x] = (GifPixelType)((x / 4 + y / 3 + f) % 16);
                EGifPutLine(g, line.data(), w);
            }
    }
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return sink.data;
}

// The colour of index i in make_gif's table.
inline uint32_t picture_gif_color(int i) {
    return (uint32_t)(i * 16) << 16 | (uint32_t)(255 - i * 9) << 8 | (uint32_t)(i * 5);
}

inline bool picture_write(const char *path, const std::vector<uint8_t> &data) {
    FILE *f = fopen(path, "wb");
    if (!f) return false;
    bool ok = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}
