// The program's icon, drawn by coverage: every pixel samples a 4 x 4 grid
// of points against the shapes, so small sizes come out smooth.
#include "zeicon.h"
#include <cmath>

namespace {

// The picture is laid out on a 32 x 32 grid.
const float kGrid = 32.0f;
const float kCorner = 6.0f;          // radius of the face's corners
const float kThick = 3.2f;           // segment thickness
const float kGap = 0.45f;            // free space at each segment end
const float kSlant = 0.12f;          // italic slant of the digits
const uint32_t kFace = 0x1c1c1c, kRim = 0x3a3a3a, kLit = 0xff2a1a, kUnlit = 0x3c0c08;

struct Segment {
    float x0, y0, x1, y1;
};

// Segments a..g of a digit in the box (x, y, w, h), on their centre lines.
void digit_segments(float x, float y, float w, float h, Segment out[7]) {
    float t = kThick / 2, mid = y + h / 2;
    out[0] = {x + t, y + t, x + w - t, y + t};              // a
    out[1] = {x + w - t, y + t, x + w - t, mid};            // b
    out[2] = {x + w - t, mid, x + w - t, y + h - t};        // c
    out[3] = {x + t, y + h - t, x + w - t, y + h - t};      // d
    out[4] = {x + t, mid, x + t, y + h - t};                // e
    out[5] = {x + t, y + t, x + t, mid};                    // f
    out[6] = {x + t, mid, x + w - t, mid};                  // g
}

// Bit n set: segment n lit. The digits shown read "12".
const int kDigitLit[2] = {0x06, 0x5b};

// A segment is a hexagon: a bar with pointed ends. Its centre, direction and
// half length are worked out once, not at every sample point.
struct SegmentShape {
    bool valid;
    float ux, uy, cx, cy, half;
};

struct Shapes {
    SegmentShape seg[2][7];
    Shapes() {
        for (int d = 0; d < 2; d++) {
            Segment line[7];
            digit_segments(5.0f + d * 12.0f, 6.0f, 10.0f, 20.0f, line);
            for (int i = 0; i < 7; i++) {
                const Segment &s = line[i];
                float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
                float len = std::sqrt(dx * dx + dy * dy);
                SegmentShape &o = seg[d][i];
                o.valid = len > 0;
                if (!o.valid) continue;
                o.ux = dx / len, o.uy = dy / len;
                o.cx = (s.x0 + s.x1) / 2, o.cy = (s.y0 + s.y1) / 2;
                o.half = len / 2 + kThick / 2 - kGap;
            }
        }
    }
};

const Shapes &shapes() {
    static const Shapes s;
    return s;
}

bool in_segment(const SegmentShape &s, float px, float py) {
    if (!s.valid) return false;
    float along = std::fabs((px - s.cx) * s.ux + (py - s.cy) * s.uy);
    float across = std::fabs((px - s.cx) * -s.uy + (py - s.cy) * s.ux);
    return across <= kThick / 2 && across <= s.half - along;
}

// Inside the rounded square (inset: how far inside its edge).
bool in_face(float px, float py, float inset) {
    float lo = 1.0f + inset, hi = kGrid - 1.0f - inset, r = kCorner - inset;
    if (px < lo || px > hi || py < lo || py > hi) return false;
    float cx = px < lo + r ? lo + r : px > hi - r ? hi - r : px;
    float cy = py < lo + r ? lo + r : py > hi - r ? hi - r : py;
    float dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= r * r;
}

// The colour at one point of the grid, and whether the face covers it.
// Small icons leave the unlit segments out: they would blur into the lit.
bool sample(float px, float py, bool unlit, uint32_t *colour) {
    if (!in_face(px, py, 0)) return false;
    *colour = in_face(px, py, 0.9f) ? kFace : kRim;
    // Undo the slant around the middle line so the digits lean right.
    float sx = px + (py - kGrid / 2) * kSlant;
    // Nothing of a digit lies outside its box (x from 5 + 12 d, 10 wide;
    // y from 6, 20 high): a point a pixel off it is in none of its segments.
    if (py < 5.0f || py > 27.0f) return true;
    const Shapes &sh = shapes();
    for (int d = 0; d < 2; d++) {
        if (sx < 4.0f + d * 12.0f || sx > 16.0f + d * 12.0f) continue;
        for (int i = 0; i < 7; i++)
            if (in_segment(sh.seg[d][i], sx, py)) {
                if (kDigitLit[d] >> i & 1) *colour = kLit;
                else if (unlit) *colour = kUnlit;
            }
    }
    return true;
}

}  // namespace

bool zeicon_draw(uint32_t *pixels, int size) {
    if (!pixels || size < ZEICON_MIN || size > ZEICON_MAX) return false;
    const int n = 4;
    float scale = kGrid / (float)size;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            unsigned r = 0, g = 0, b = 0, covered = 0;
            for (int sy = 0; sy < n; sy++)
                for (int sx = 0; sx < n; sx++) {
                    uint32_t c;
                    if (!sample((x + (sx + 0.5f) / n) * scale, (y + (sy + 0.5f) / n) * scale, size >= 32, &c))
                        continue;
                    r += c >> 16 & 0xff, g += c >> 8 & 0xff, b += c & 0xff;
                    covered++;
                }
            uint32_t p = 0;
            // Colour averaged over the covered samples, alpha their share.
            if (covered)
                p = (255 * covered / (n * n)) << 24 | (r / covered) << 16 | (g / covered) << 8 | (b / covered);
            pixels[(size_t)y * size + x] = p;
        }
    }
    return true;
}

bool zeicon_draw_over(uint32_t *pixels, int size, uint32_t background) {
    if (!zeicon_draw(pixels, size)) return false;
    for (int i = 0; i < size * size; i++) {
        uint32_t p = pixels[i], a = p >> 24;
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t f = p >> shift & 0xff, bg = background >> shift & 0xff;
            out |= ((f * a + bg * (255 - a) + 127) / 255) << shift;
        }
        pixels[i] = 0xff000000u | out;
    }
    return true;
}
