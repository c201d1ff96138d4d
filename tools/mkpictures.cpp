// mkpictures: draws the example background pictures and the introduction
// picture of the settings window at build time, from the readable
// description in data/pictures.txt.
//
//   mkpictures DESCRIPTION OUTDIR           writes every picture under OUTDIR
//   mkpictures --sheet OUTDIR DESCRIPTION OUT.png
//                                           all pictures of OUTDIR on one sheet
//
// A description line is "FILE WIDTH HEIGHT TOP BOTTOM ACCENT MOTIF TITLE",
// the colours hexadecimal, the title the rest of the line ("" for none). A
// picture is a vertical gradient from TOP to BOTTOM with its motif drawn in
// ACCENT, and its title set in a system font (a bitmap font when there is
// none), smoothed by drawing it twice the size and scaling down.
#include "zefont.h"
#include "zeimage.h"
#include "zepxmap.h"
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Canvas {
    int w, h;
    std::vector<uint32_t> px;
    uint32_t get(int x, int y) const { return px[(size_t)y * w + x]; }
};

struct Spec {
    std::string file, title, motif;
    int w = 0, h = 0;
    uint32_t top = 0, bottom = 0, accent = 0;
};

uint32_t mix(uint32_t a, uint32_t b, double t) {
    if (t <= 0) return a;
    if (t >= 1) return b;
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8) {
        double ca = (a >> s) & 255, cb = (b >> s) & 255;
        out |= (uint32_t)lround(ca + (cb - ca) * t) << s;
    }
    return out;
}

void blend(Canvas *c, int x, int y, uint32_t colour, double alpha) {
    if (x < 0 || y < 0 || x >= c->w || y >= c->h || alpha <= 0) return;
    uint32_t &p = c->px[(size_t)y * c->w + x];
    p = mix(p, colour, alpha);
}

// A soft dot: full inside r, fading over one pixel.
void dot(Canvas *c, double cx, double cy, double r, uint32_t colour, double alpha) {
    for (int y = (int)(cy - r - 2); y <= (int)(cy + r + 2); y++)
        for (int x = (int)(cx - r - 2); x <= (int)(cx + r + 2); x++) {
            double d = hypot(x + 0.5 - cx, y + 0.5 - cy);
            double a = d <= r ? 1 : d >= r + 1 ? 0 : r + 1 - d;
            blend(c, x, y, colour, a * alpha);
        }
}

// A line of soft dots, thinning towards its end.
void stroke(Canvas *c, double x0, double y0, double x1, double y1, double r, uint32_t colour, double alpha) {
    int n = (int)(hypot(x1 - x0, y1 - y0) * 2) + 1;
    for (int i = 0; i <= n; i++) {
        double t = (double)i / n;
        dot(c, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, r * (1 - 0.6 * t), colour, alpha * (1 - 0.5 * t));
    }
}

void gradient(Canvas *c, const Spec &s) {
    for (int y = 0; y < c->h; y++) {
        uint32_t row = mix(s.top, s.bottom, c->h > 1 ? (double)y / (c->h - 1) : 0);
        for (int x = 0; x < c->w; x++) c->px[(size_t)y * c->w + x] = row;
    }
    // A faint glow along the left, where the digits begin.
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w && x < 400; x++) blend(c, x, y, s.accent, 0.10 * (1 - x / 400.0));
}

// ---- motifs -------------------------------------------------------------------

// Where a screen-wide picture's title stands: just right of where the digits
// of its timer end, so that it shows on any screen from 1024 pixels up.
const int kTitleX = 520, kTitleRoom = 420;

uint32_t g_seed;
double rnd() {
    g_seed = g_seed * 1103515245u + 12345u;
    return ((g_seed >> 8) & 0xffff) / 65535.0;
}

void stars(Canvas *c, const Spec &s, int n) {
    for (int i = 0; i < n; i++) {
        double x = rnd() * c->w, y = rnd() * c->h;
        dot(c, x, y, 0.3 + rnd() * 0.8, mix(0xffffff, s.accent, 0.3), 0.35 + rnd() * 0.5);
    }
}

void burst(Canvas *c, double cx, double cy, double r, uint32_t colour) {
    int rays = 14;
    for (int i = 0; i < rays; i++) {
        double a = i * 2 * M_PI / rays + rnd() * 0.2;
        double len = r * (0.7 + 0.3 * rnd());
        stroke(c, cx + cos(a) * r * 0.15, cy + sin(a) * r * 0.15, cx + cos(a) * len, cy + sin(a) * len,
               r / 30 + 0.4, colour, 0.75);
        dot(c, cx + cos(a) * (len + r * 0.08), cy + sin(a) * (len + r * 0.08), r / 24 + 0.5, colour, 0.9);
    }
    dot(c, cx, cy, r / 10 + 0.5, 0xffffff, 0.6);
}

void fireworks(Canvas *c, const Spec &s) {
    stars(c, s, c->w * c->h / 300);
    uint32_t colours[] = {s.accent, 0xff5a8c, 0x7ad0ff, 0xfff3a0};
    double r = c->h * 0.42;
    // A wide picture (a screen-wide window) keeps the room of its title free;
    // a narrow one keeps its bursts in the upper part, above the title.
    bool wide = c->w > 12 * c->h;
    int n = (int)(c->w / (c->h * 2.2)) + 1;
    for (int i = 0; i < n; i++) {
        double x = (i + 0.5 + (rnd() - 0.5) * 0.4) * c->w / n;
        if (wide && x > kTitleX - 2 * c->h && x < kTitleX + kTitleRoom) continue;
        double y = wide ? c->h * (0.35 + 0.3 * rnd()) : c->h * (0.25 + 0.1 * rnd());
        burst(c, x, y, r * (wide ? 0.7 + 0.4 * rnd() : 0.55 + 0.2 * rnd()), colours[i % 4]);
    }
}

// Rising rays from the lower left: a new year's dawn.
void sunrise(Canvas *c, const Spec &s) {
    double cx = c->w * 0.08, cy = c->h * 1.1, R = c->w + c->h;
    for (int y = 0; y < c->h; y++)
        for (int x = 0; x < c->w; x++) {
            double a = atan2(cy - y, x - cx);
            double band = 0.5 + 0.5 * cos(a * 36);
            double fade = 1 - hypot(x - cx, y - cy) / R;
            blend(c, x, y, s.accent, 0.18 * band * fade);
        }
    dot(c, cx, cy, c->h * 0.55, mix(s.accent, 0xffffff, 0.4), 0.8);
}

// A calendar: a grid of day squares, the last days lit.
void calendar(Canvas *c, const Spec &s) {
    int cell = c->h / 4 > 6 ? c->h / 4 : 6;
    int cols = c->w / cell, rows = c->h / cell;
    for (int j = 0; j < rows; j++)
        for (int i = 0; i < cols; i++) {
            int day = j * cols + i;
            bool lit = day > cols * rows * 0.7;
            for (int y = 1; y < cell - 1; y++)
                for (int x = 1; x < cell - 1; x++)
                    blend(c, i * cell + x + (c->w - cols * cell) / 2, j * cell + y + (c->h - rows * cell) / 2,
                          s.accent, lit ? 0.30 : 0.09);
        }
}

// Concentric rings of ticks, like a stopwatch's dial.
void dial(Canvas *c, const Spec &s) {
    double cx = c->w * 0.78, cy = c->h * 0.5;
    for (int ring = 1; ring <= 3; ring++) {
        double r = c->h * 0.9 * ring;
        int ticks = 60;
        for (int i = 0; i < ticks; i++) {
            double a = i * 2 * M_PI / ticks;
            double len = i % 5 == 0 ? c->h * 0.22 : c->h * 0.1;
            stroke(c, cx + cos(a) * r, cy + sin(a) * r, cx + cos(a) * (r - len), cy + sin(a) * (r - len), 0.6,
                   s.accent, 0.35 / ring);
        }
    }
}

// Soft horizontal waves: time flowing past.
void waves(Canvas *c, const Spec &s) {
    for (int k = 0; k < 5; k++) {
        double phase = k * 1.3, amp = c->h * (0.12 + 0.04 * k), mid = c->h * (0.2 + 0.15 * k);
        for (int x = 0; x < c->w; x++) {
            double y = mid + amp * sin(x / (18.0 + 6 * k) + phase);
            dot(c, x, y, 0.9, s.accent, 0.20 + 0.05 * k);
        }
    }
}

// Evening: a crescent moon over a darkening sky with stars.
void night(Canvas *c, const Spec &s) {
    stars(c, s, c->w * c->h / 250);
    double cx = c->w * 0.82, cy = c->h * 0.45, r = c->h * 0.32;
    for (int y = (int)(cy - r - 2); y <= (int)(cy + r + 2); y++)
        for (int x = (int)(cx - r - 2); x <= (int)(cx + r + 2); x++) {
            double in = r + 0.5 - hypot(x + 0.5 - cx, y + 0.5 - cy);
            double out = hypot(x + 0.5 - cx - r * 0.45, y + 0.5 - cy + r * 0.2) - r * 0.85;
            double a = fmin(fmax(in, 0), 1) * fmin(fmax(out, 0), 1);
            blend(c, x, y, mix(s.accent, 0xffffff, 0.5), a * 0.85);
        }
}

// Falling sand: an hourglass's stream of grains.
void grains(Canvas *c, const Spec &s) {
    for (int i = 0; i < c->w * c->h / 40; i++) {
        double x = rnd() * c->w, y = rnd() * c->h;
        double t = 1 - fabs(x / c->w - 0.75) * 3;
        if (t > 0 || rnd() < 0.15) dot(c, x, y, 0.5 + rnd() * 0.6, s.accent, 0.15 + 0.45 * fmax(t, 0));
    }
}

// The introduction picture: a stopwatch and seven-segment digits.
void segment(Canvas *c, double x, double y, double len, bool vertical, uint32_t colour, double alpha) {
    double t = len * 0.16;
    for (double k = -t / 2; k <= t / 2; k += 0.5) {
        double shrink = t / 2 - fabs(k);
        if (vertical) stroke(c, x + k, y + shrink, x + k, y + len - shrink, 0.7, colour, alpha);
        else stroke(c, x + shrink, y + k, x + len - shrink, y + k, 0.7, colour, alpha);
    }
}

void digit(Canvas *c, double x, double y, double s, int d, uint32_t lit, uint32_t dark) {
    static const int kSegs[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    double g = s * 0.08;
    struct { double x, y; bool v; } seg[7] = {{x + g, y, false},         {x + s, y + g, true},
                                               {x + s, y + s + 2 * g, true}, {x + g, y + 2 * s + 2 * g, false},
                                               {x, y + s + 2 * g, true},     {x, y + g, true},
                                               {x + g, y + s + g, false}};
    for (int i = 0; i < 7; i++) {
        bool on = kSegs[d] >> i & 1;
        segment(c, seg[i].x, seg[i].y, s - g, seg[i].v, on ? lit : dark, on ? 1 : 0.6);
    }
}

void intro(Canvas *c, const Spec &s) {
    stars(c, s, c->w * c->h / 500);
    double cx = c->h * 0.62, cy = c->h * 0.55, r = c->h * 0.38;
    for (int i = 0; i < 60; i++) {
        double a = i * 2 * M_PI / 60, len = i % 5 ? r * 0.08 : r * 0.18;
        stroke(c, cx + cos(a) * r, cy + sin(a) * r, cx + cos(a) * (r - len), cy + sin(a) * (r - len), 0.8,
               0xdfe8ff, 0.8);
    }
    for (double a = 0; a < 2 * M_PI; a += 0.004) dot(c, cx + cos(a) * (r + 4), cy + sin(a) * (r + 4), 1.6, 0xdfe8ff, 0.9);
    dot(c, cx, cy - r - 10, r * 0.1, 0xdfe8ff, 1);
    stroke(c, cx, cy, cx + r * 0.55, cy - r * 0.5, 2.2, s.accent, 1);
    stroke(c, cx, cy, cx - r * 0.15, cy - r * 0.75, 1.6, 0xffffff, 1);
    dot(c, cx, cy, 4, s.accent, 1);
    double ds = c->h * 0.2, x = c->w - 5 * ds * 1.45 - c->h * 0.25, y = c->h * 0.5 - ds;
    const int shown[4] = {1, 2, 5, 9};
    uint32_t dark = mix(s.bottom, s.accent, 0.18);
    for (int i = 0; i < 4; i++) {
        digit(c, x, y, ds, shown[i], s.accent, dark);
        x += ds * 1.45;
        if (i == 1) {
            dot(c, x + ds * 0.1, y + ds * 0.6, ds * 0.09, s.accent, 1);
            dot(c, x + ds * 0.1, y + ds * 1.5, ds * 0.09, s.accent, 1);
            x += ds * 0.45;
        }
    }
}

struct Motif {
    const char *name;
    void (*draw)(Canvas *, const Spec &);
};
const Motif kMotifs[] = {{"fireworks", fireworks}, {"sunrise", sunrise}, {"calendar", calendar},
                         {"dial", dial},           {"waves", waves},     {"night", night},
                         {"grains", grains},       {"intro", intro}};

// ---- the title ----------------------------------------------------------------

// A font whose capital height fits the picture: a system face when one is
// there, else the largest bitmap Arial.
int title_font(int pixels) {
    static const char *const kFaces[] = {"DejaVu Sans", "Liberation Sans", "FreeSans"};
    for (const char *face : kFaces) {
        int f = zefont_load_system("%s,points=%d,bold", face, pixels * 72 / 96);
        if (f >= 0) return f;
    }
    return zefont_load_set("Arial26");
}

// Drawn at twice the size in white on black, then scaled down: the grey
// levels become the title's coverage, so its edges are smooth.
void title(Canvas *c, const Spec &s) {
    if (s.title.empty()) return;
    bool wide = c->w > 4 * c->h * 3;
    int target = (int)(c->h * (wide ? 0.55 : 0.42));
    if (s.motif == "intro") target = (int)(c->h * 0.26);
    if (target < 9) target = 9;
    // Smaller until it fits beside the picture's edges.
    int font = -1, room = wide ? kTitleRoom - 20 : c->w - 12;
    for (; target >= 9; target -= 2) {
        font = title_font(target * 2);
        if (font >= 0 && zefont_text_width(font, s.title.c_str()) / 2 <= room) break;
    }
    if (font < 0) return;
    int tw = zefont_text_width(font, s.title.c_str()) + 8, th = zefont_height(font) + 8;
    zePixmap big;
    zepxmap_init(&big);
    if (!zepxmap_create(&big, tw, th, ZEPX_TRUECOLOR)) return;
    zepxmap_clear(&big, 0);
    zefont_draw_text(&big, font, 4, 4, 0xffffff, false, false, -1, 0, -1, s.title.c_str());
    int w = tw / 2, h = th / 2;
    // Wide pictures carry the title beside the digits; the others in the lower
    // right corner, quieter, so the digits stay legible over it.
    int x = wide ? kTitleX : c->w - w - 6, y = (c->h - h) / 2;
    if (s.motif == "intro") x = (int)(c->h * 1.2), y = c->h / 10;
    else if (!wide) y = c->h - h + 2;
    double strength = wide || s.motif == "intro" ? 1.0 : 0.55;
    uint32_t ink = s.motif == "intro" ? 0xffffff : mix(s.accent, 0xffffff, 0.35);
    std::vector<double> cov((size_t)w * h);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int sum = 0;
            for (int k = 0; k < 4; k++) sum += zepxmap_getpixel(&big, 2 * i + (k & 1), 2 * j + (k >> 1)) & 0xff;
            cov[(size_t)j * w + i] = sum / (4.0 * 255);
        }
    auto at = [&](int i, int j) { return i < 0 || j < 0 || i >= w || j >= h ? 0.0 : cov[(size_t)j * w + i]; };
    // A soft dark halo first, so the letters stand off the motif.
    for (int j = -2; j < h + 2; j++)
        for (int i = -2; i < w + 2; i++) {
            double m = 0;
            for (int dj = -2; dj <= 2; dj++)
                for (int di = -2; di <= 2; di++) m = fmax(m, at(i + di, j + dj) * (abs(di) + abs(dj) > 2 ? 0.5 : 1));
            blend(c, x + i, y + j, 0x000000, m * 0.55 * strength);
        }
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) blend(c, x + i, y + j, ink, at(i, j) * strength);
    zepxmap_release(&big);
}

// ---- files --------------------------------------------------------------------

bool read_specs(const char *file, std::vector<Spec> *specs) {
    FILE *f = fopen(file, "r");
    if (!f) {
        fprintf(stderr, "mkpictures: cannot open %s\n", file);
        return false;
    }
    char line[1000];
    int number = 0;
    bool ok = true;
    while (fgets(line, sizeof line, f)) {
        number++;
        if (line[0] == '#' || strspn(line, " \t\r\n") == strlen(line)) continue;
        Spec s;
        char file_[300], motif[40];
        int used = 0;
        if (sscanf(line, "%299s %d %d %x %x %x %39s %n", file_, &s.w, &s.h, &s.top, &s.bottom, &s.accent, motif,
                   &used) < 7 || s.w < 8 || s.h < 8 || s.w > 4000 || s.h > 2000) {
            fprintf(stderr, "%s:%d: expected FILE WIDTH HEIGHT TOP BOTTOM ACCENT MOTIF TITLE\n", file, number);
            ok = false;
            continue;
        }
        s.file = file_, s.motif = motif;
        s.title = line + used;
        while (!s.title.empty() && strchr("\r\n ", s.title.back())) s.title.pop_back();
        if (s.title == "\"\"") s.title.clear();
        specs->push_back(s);
    }
    fclose(f);
    return ok;
}

bool make_dirs(const std::string &file) {
    for (size_t i = 1; i < file.size(); i++)
        if (file[i] == '/' && mkdir(file.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
    return true;
}

bool draw(const Spec &s, const std::string &out) {
    Canvas c{s.w, s.h, std::vector<uint32_t>((size_t)s.w * s.h)};
    g_seed = 0;
    for (char ch : s.file) g_seed = g_seed * 31 + (unsigned char)ch;
    gradient(&c, s);
    for (const Motif &m : kMotifs)
        if (s.motif == m.name) m.draw(&c, s);
    title(&c, s);
    zePixmap p;
    zepxmap_init(&p);
    if (!zepxmap_create(&p, s.w, s.h, ZEPX_TRUECOLOR)) return false;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++) zepxmap_setpixel(&p, x, y, (int)c.get(x, y));
    bool ok = make_dirs(out) && zepxmap_savetofile_bmp(&p, out.c_str());
    zepxmap_release(&p);
    if (!ok) fprintf(stderr, "mkpictures: cannot write %s\n", out.c_str());
    return ok;
}

// Every picture of the description, read back from OUTDIR, one per row on a
// grey sheet.
int sheet(const char *dir, const std::vector<Spec> &specs, const char *out) {
    const int gap = 12;
    int W = 2 * gap, H = gap;
    for (const Spec &s : specs) {
        H += s.h + gap;
        if (s.w + 2 * gap > W) W = s.w + 2 * gap;
    }
    zePixmap p;
    zepxmap_init(&p);
    if (!zepxmap_create(&p, W, H, ZEPX_TRUECOLOR)) return 1;
    zepxmap_clear(&p, 0x808080);
    int y = gap;
    for (const Spec &s : specs) {
        zePixmap pic;
        zepxmap_init(&pic);
        std::string file = std::string(dir) + "/" + s.file;
        int w = 0, h = 0;
        if (!zegetpicturesizes(file.c_str(), &w, &h) || !zepxmap_create(&pic, w, h, ZEPX_TRUECOLOR) ||
            !zeimage_load_file(&pic, file.c_str(), 0, 0)) {
            fprintf(stderr, "mkpictures: cannot read %s\n", file.c_str());
            return 1;
        }
        for (int j = 0; j < pic.height; j++)
            for (int i = 0; i < pic.width && gap + i < W; i++)
                zepxmap_setpixel(&p, gap + i, y + j, zepxmap_getpixel(&pic, i, j));
        y += s.h + gap;
        zepxmap_release(&pic);
    }
    bool ok = zepxmap_savetofile_png(&p, out);
    zepxmap_release(&p);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    zefont_init();
    std::vector<Spec> specs;
    if (argc == 5 && strcmp(argv[1], "--sheet") == 0)
        return read_specs(argv[3], &specs) ? sheet(argv[2], specs, argv[4]) : 1;
    if (argc != 3) {
        fprintf(stderr, "usage: mkpictures DESCRIPTION OUTDIR | mkpictures --sheet OUTDIR DESCRIPTION OUT.png\n");
        return 2;
    }
    if (!read_specs(argv[1], &specs)) return 1;
    for (const Spec &s : specs)
        if (!draw(s, std::string(argv[2]) + "/" + s.file)) return 1;
    return 0;
}
