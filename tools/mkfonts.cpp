// mkfonts: generates the toolkit's builtin font descriptions (data/fonts/)
// from fonts installed by Debian packages:
//   xfonts-base        the X11 misc-fixed bitmap fonts (fixed builtin sizes)
//   fonts-liberation2  Liberation Sans (variable 13, the Arial set) and
//                      Liberation Mono (the crnew set)
// Everything is rasterised without anti-aliasing. The output is one
// NAME.inc per face (a C array of description items) plus faces.inc and
// table.inc, which toolkit/graphics/zefont_data.cpp compiles in.
//
// usage: mkfonts OUTDIR [MISCDIR [TTFDIR]]
#include "zefont_codes.h"
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { FIRST = 32, NCHARS = 224 };

struct Glyph {
    int w = 0;
    std::vector<uint8_t> px;   // w * h
};

struct Face {
    std::string ident;         // C identifier and file name
    std::string regname;       // registered name
    std::string shortname;     // "name=" item
    bool prop = false;
    int cw = 0, h = 0, asc = 0, desc = 0;
    int chars = NCHARS;
    int weight = 1, pts = 0;
    std::string foundry;
    Glyph g[NCHARS];
};

FT_Library ftlib;
std::string miscdir = "/usr/share/fonts/X11/misc";
std::string ttfdir = "/usr/share/fonts/truetype/liberation2";

FT_Face open_face(const std::string &path) {
    FT_Face f = nullptr;
    if (FT_New_Face(ftlib, path.c_str(), 0, &f)) {
        fprintf(stderr, "mkfonts: cannot open %s\n", path.c_str());
        exit(1);
    }
    if (f->num_fixed_sizes > 0) FT_Select_Size(f, 0);
    return f;
}

// Blits the slot's monochrome bitmap into g (width g.w, h rows) with the
// glyph origin at (penx, baseline).
void blit(Glyph &g, int h, FT_GlyphSlot slot, int penx, int baseline) {
    const FT_Bitmap &bm = slot->bitmap;
    int x0 = penx + slot->bitmap_left, y0 = baseline - slot->bitmap_top;
    for (unsigned r = 0; r < bm.rows; r++) {
        const uint8_t *row = bm.buffer + (long)r * bm.pitch;
        for (unsigned c = 0; c < bm.width; c++) {
            bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1
                                                          : row[c] >= 128;
            int x = x0 + (int)c, y = y0 + (int)r;
            if (on && x >= 0 && x < g.w && y >= 0 && y < h) g.px[y * g.w + x] = 1;
        }
    }
}

bool load_mono(FT_Face f, int code) {
    int uc = zefont_codepoint(code);
    if (!uc) return false;
    FT_UInt gi = FT_Get_Char_Index(f, uc);
    if (!gi) return false;
    return FT_Load_Glyph(f, gi, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0;
}

void blank(Face &fc, int code, int w) {
    Glyph &g = fc.g[code - FIRST];
    g.w = w;
    g.px.assign((size_t)w * fc.h, 0);
}

// Fixed-size bitmap font: each source is tried in turn; xoff moves a narrower
// source's glyphs right inside the cell.
struct BitmapSource {
    const char *file;
    int xoff;
};

void from_bitmaps(Face &fc, std::vector<BitmapSource> srcs, bool embolden) {
    std::vector<FT_Face> faces;
    for (auto &s : srcs) faces.push_back(open_face(miscdir + "/" + s.file));
    for (int code = FIRST; code < FIRST + fc.chars; code++) {
        blank(fc, code, fc.cw);
        for (size_t i = 0; i < faces.size(); i++) {
            if (!load_mono(faces[i], code)) continue;
            blit(fc.g[code - FIRST], fc.h, faces[i]->glyph, srcs[i].xoff, fc.asc);
            break;
        }
        if (embolden) {
            Glyph &g = fc.g[code - FIRST];
            for (int y = 0; y < fc.h; y++)
                for (int x = g.w - 1; x > 0; x--) g.px[y * g.w + x] |= g.px[y * g.w + x - 1];
        }
    }
    for (FT_Face f : faces) FT_Done_Face(f);
}

// Scalable font rendered at em pixels. Proportional faces take the hinted
// advance as glyph width; monospace faces centre every glyph in the cell.
void from_outline(Face &fc, const std::string &file, double em) {
    FT_Face f = open_face(ttfdir + "/" + file);
    FT_Set_Char_Size(f, 0, (FT_F26Dot6)lround(em * 64), 72, 72);
    for (int code = FIRST; code < FIRST + fc.chars; code++) {
        if (!load_mono(f, code)) {
            blank(fc, code, fc.prop ? 0 : fc.cw);
            continue;
        }
        FT_GlyphSlot s = f->glyph;
        int adv = (int)((s->advance.x + 32) >> 6);
        // A glyph wholly below the baseline (the underscore) that would fall
        // out of a tight cell is lifted to the cell's bottom row.
        int baseline = fc.asc, bottom = fc.asc - s->bitmap_top + (int)s->bitmap.rows;
        if (s->bitmap_top <= 0 && bottom > fc.h) baseline -= bottom - fc.h;
        if (!fc.prop) {
            blank(fc, code, fc.cw);
            blit(fc.g[code - FIRST], fc.h, s, (fc.cw - adv) / 2, baseline);
            continue;
        }
        blank(fc, code, adv);
        // Keep the ink inside the advance: a glyph that overhangs its cell
        // on the left or right is moved in rather than cut.
        int left = s->bitmap_left, bw = (int)s->bitmap.width;
        int pen = 0;
        if (left < 0) pen = -left;
        else if (left + bw > adv) pen = (adv - bw > 0 ? adv - bw : 0) - left;
        blit(fc.g[code - FIRST], fc.h, s, pen, baseline);
    }
    FT_Done_Face(f);
}

// The line-drawing glyphs 128-138: lines through the centre of the cell out
// to its edges, so that neighbouring cells join. Bits: left, right, up, down.
void line_glyphs(Face &fc, int thickness) {
    static const int arms[11] = {3, 12, 10, 9, 6, 5, 14, 13, 15, 7, 11};
    int w = fc.cw;
    if (fc.prop && FIRST + fc.chars > '0') w = fc.g['0' - FIRST].w;
    for (int i = 0; i < 11; i++) {
        int code = 128 + i;
        if (code >= FIRST + fc.chars) break;
        blank(fc, code, w);
        Glyph &g = fc.g[code - FIRST];
        int cx = (w - thickness) / 2, cy = (fc.h - thickness) / 2;
        auto fill = [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y < y1; y++)
                for (int x = x0; x < x1; x++)
                    if (x >= 0 && x < w && y >= 0 && y < fc.h) g.px[y * w + x] = 1;
        };
        int a = arms[i];
        fill(cx, cy, cx + thickness, cy + thickness);
        if (a & 1) fill(0, cy, cx + thickness, cy + thickness);
        if (a & 2) fill(cx, cy, w, cy + thickness);
        if (a & 4) fill(cx, 0, cx + thickness, cy + thickness);
        if (a & 8) fill(cx, cy, cx + thickness, fc.h);
    }
}

// ---- output ---------------------------------------------------------------

std::string hexrows(const Glyph &g, int h) {
    std::string s;
    static const char hex[] = "0123456789ABCDEF";
    for (int y = 0; y < h; y++)
        for (int x = 0; x < g.w; x += 4) {
            int v = 0;
            for (int b = 0; b < 4; b++)
                if (x + b < g.w && g.px[y * g.w + x + b]) v |= 8 >> b;
            s += hex[v];
        }
    return s;
}

bool write_face(const Face &fc, const std::string &outdir) {
    std::string path = outdir + "/" + fc.ident + ".inc";
    FILE *out = fopen(path.c_str(), "w");
    if (!out) {
        fprintf(stderr, "mkfonts: cannot write %s\n", path.c_str());
        return false;
    }
    std::string propxs, offsets;
    long off = 0;
    for (int i = 0; i < fc.chars; i++) {
        char b[32];
        snprintf(b, sizeof b, "%s%d", i ? " " : "", fc.g[i].w);
        propxs += b;
        snprintf(b, sizeof b, "%s%ld", i ? " " : "", off);
        offsets += b;
        off += (long)fc.g[i].w * fc.h;
    }
    fprintf(out, "// Generated by tools/mkfonts from %s fonts; do not edit.\n", fc.foundry.c_str());
    fprintf(out, "// Glyph rows are hex digits, the leftmost pixel in the top bit, one item per character.\n");
    fprintf(out, "static const char *const zefontdesc_%s[] = {\n", fc.ident.c_str());
    fprintf(out, "\"header:\",\n\"name=%s\",\n\"%s\",\n", fc.shortname.c_str(), fc.prop ? "proportional" : "monospace");
    fprintf(out, "\"xsize=%d\",\n\"ysize=%d\",\n\"colors=2\",\n\"chars=%d\",\n", fc.cw, fc.h, fc.chars);
    fprintf(out, "\"ascent=%d\",\n\"descent=%d\",\n\"slant=0\",\n\"weight=%d\",\n\"width=%d\",\n\"pts=%d\",\n",
            fc.asc, fc.desc, fc.weight, fc.cw, fc.pts);
    fprintf(out, "\"foundry=%s\",\n\"desiredxs=%d\",\n\"desiredys=%d\",\n", fc.foundry.c_str(), fc.cw, fc.h);
    fprintf(out, "\"propxs=%s\",\n\"propdataoffset=%s\",\n\"rowformat=hex\",\n\"data:\",\n", propxs.c_str(),
            offsets.c_str());
    for (int i = 0; i < fc.chars; i++) fprintf(out, "\"%s\",\n", hexrows(fc.g[i], fc.h).c_str());
    fprintf(out, "nullptr};\n");
    fclose(out);
    return true;
}

Face base(const char *ident, const char *reg, const char *shortname, bool prop, int cw, int h, int asc,
          int chars, int weight, int pts, const char *foundry) {
    Face fc;
    fc.ident = ident;
    fc.regname = reg;
    fc.shortname = shortname;
    fc.prop = prop;
    fc.cw = cw;
    fc.h = h;
    fc.asc = asc;
    fc.desc = h - asc;
    fc.chars = chars;
    fc.weight = weight;
    fc.pts = pts;
    fc.foundry = foundry;
    return fc;
}

int maxwidth(const Face &fc) {
    int m = 0;
    for (int i = 0; i < fc.chars; i++) m = fc.g[i].w > m ? fc.g[i].w : m;
    return m;
}

// ---- the fonts ------------------------------------------------------------

std::vector<Face> builtin_faces() {
    std::vector<Face> v;
    Face f;
    f = base("b_12x24", "builtin 12x24", "12x24", false, 12, 24, 22, 223, 1, 17, "sony");
    from_bitmaps(f, {{"12x24.pcf.gz", 0}}, false);
    line_glyphs(f, 2);
    v.push_back(std::move(f));
    f = base("b_5x7", "builtin 5x7", "5x7", false, 5, 7, 6, 224, 1, 7, "misc");
    from_bitmaps(f, {{"5x7.pcf.gz", 0}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_6x13b", "builtin 6x13 bold", "6x13b", false, 6, 13, 11, 224, 2, 12, "misc");
    from_bitmaps(f, {{"6x13B.pcf.gz", 0}}, false);
    line_glyphs(f, 2);
    v.push_back(std::move(f));
    f = base("b_6x13", "builtin 6x13", "6x13", false, 6, 13, 11, 224, 1, 12, "misc");
    from_bitmaps(f, {{"6x13.pcf.gz", 0}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_6x8", "builtin 6x8", "6x8", false, 6, 8, 7, 224, 1, 8, "schumacher");
    from_bitmaps(f, {{"clR6x8.pcf.gz", 0}, {"5x8.pcf.gz", 0}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_8x16b", "builtin 8x16 bold", "8x16b", false, 8, 16, 14, 223, 2, 12, "sony");
    from_bitmaps(f, {{"8x16.pcf.gz", 0}}, true);
    line_glyphs(f, 2);
    v.push_back(std::move(f));
    f = base("b_8x16", "builtin 8x16", "8x16", false, 8, 16, 14, 223, 1, 12, "sony");
    from_bitmaps(f, {{"8x16.pcf.gz", 0}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_8x8", "builtin 8x8", "8x8", false, 8, 8, 7, 224, 1, 8, "schumacher");
    from_bitmaps(f, {{"clR8x8.pcf.gz", 0}, {"5x8.pcf.gz", 1}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_9x15b", "builtin 9x15 bold", "9x15b", false, 9, 15, 12, 224, 2, 14, "misc");
    from_bitmaps(f, {{"9x15B.pcf.gz", 0}}, false);
    line_glyphs(f, 2);
    v.push_back(std::move(f));
    f = base("b_9x15", "builtin 9x15", "9x15", false, 9, 15, 12, 224, 1, 14, "misc");
    from_bitmaps(f, {{"9x15.pcf.gz", 0}}, false);
    line_glyphs(f, 1);
    v.push_back(std::move(f));
    f = base("b_var13", "builtin variable 13", "var13", true, 0, 13, 11, 223, 1, 10, "liberation");
    from_outline(f, "LiberationSans-Regular.ttf", 12);
    line_glyphs(f, 1);
    f.cw = maxwidth(f);
    v.push_back(std::move(f));
    return v;
}

// Arial NN: the em is 7/8 of NN pixels; ascent and descent follow the face's
// own vertical metrics (ascent rounded, descent rounded up).
void arial_faces(std::vector<Face> &v) {
    static const int sizes[] = {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 40, 44, 48};
    FT_Face probe = open_face(ttfdir + "/LiberationSans-Regular.ttf");
    double ra = (double)probe->ascender / probe->units_per_EM;
    double rd = (double)-probe->descender / probe->units_per_EM;
    FT_Done_Face(probe);
    for (int n : sizes)
        for (int bold = 0; bold < 2; bold++) {
            if (n == 10 && !bold) continue;   // the set has only the bold face at 10
            int em = (int)floor(n * 7.0 / 8.0 + 0.5);
            int asc = (int)floor(ra * em + 0.5), desc = (int)ceil(rd * em - 1e-9);
            char ident[32], name[32];
            snprintf(name, sizeof name, "Arial%d%s", n, bold ? "b" : "");
            snprintf(ident, sizeof ident, "arial%d%s", n, bold ? "b" : "");
            Face f = base(ident, name, name, true, 0, asc + desc, asc, 224, bold ? 2 : 1, n, "liberation");
            from_outline(f, bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf", em);
            line_glyphs(f, bold ? 2 : 1 + em / 24);
            f.cw = maxwidth(f);
            v.push_back(std::move(f));
        }
}

// crnew NN: cells interpolated between the three sizes the toolkit has
// always had (10: 5 x 8, 14: 7 x 14, 72: 44 x 71).
void crnew_faces(std::vector<Face> &v) {
    static const int sizes[] = {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    for (int n : sizes)
        for (int bold = 0; bold < 2; bold++) {
            int w, h, asc;
            if (n == 10) w = 5, h = 8, asc = 6;
            else if (n == 12) w = 6, h = 11, asc = 8;
            else {
                w = (int)floor(7 + (n - 14) * 37.0 / 58.0 + 0.5);
                h = (int)floor(14 + (n - 14) * 57.0 / 58.0 + 0.5);
                asc = (int)floor(11 + (n - 14) * 42.0 / 58.0 + 0.5);
            }
            char ident[32], name[32];
            snprintf(name, sizeof name, "crnew%d%s", n, bold ? "b" : "");
            snprintf(ident, sizeof ident, "crnew%d%s", n, bold ? "b" : "");
            Face f = base(ident, name, name, false, w, h, asc, 224, bold ? 2 : 1, n, "liberation");
            if (n == 10) {
                // Too small for outlines to stay legible: the 5x7 bitmap font.
                f.foundry = "misc";
                from_bitmaps(f, {{"5x7.pcf.gz", 0}}, bold);
            } else {
                // Liberation Mono: advance 0.6 em, ascent + descent 1.133 em.
                double em = std::min(h / 1.133, w / 0.6);
                from_outline(f, bold ? "LiberationMono-Bold.ttf" : "LiberationMono-Regular.ttf", em);
            }
            line_glyphs(f, bold ? 2 : 1 + n / 24);
            v.push_back(std::move(f));
        }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: mkfonts OUTDIR [MISCDIR [TTFDIR]]\n");
        return 1;
    }
    std::string outdir = argv[1];
    if (argc > 2) miscdir = argv[2];
    if (argc > 3) ttfdir = argv[3];
    if (FT_Init_FreeType(&ftlib)) return 1;

    std::vector<Face> builtins = builtin_faces();
    std::vector<Face> sets;
    arial_faces(sets);
    crnew_faces(sets);

    FILE *faces = fopen((outdir + "/faces.inc").c_str(), "w");
    FILE *table = fopen((outdir + "/table.inc").c_str(), "w");
    if (!faces || !table) {
        fprintf(stderr, "mkfonts: cannot write into %s\n", outdir.c_str());
        return 1;
    }
    fprintf(faces, "// Generated by tools/mkfonts; do not edit.\n");
    fprintf(table, "// Generated by tools/mkfonts; do not edit.\n"
                   "// ZEFONT_BUILTIN(description, registered name), ZEFONT_SET(description, short name)\n");
    for (const Face &f : builtins) {
        if (!write_face(f, outdir)) return 1;
        fprintf(faces, "#include \"%s.inc\"\n", f.ident.c_str());
        fprintf(table, "ZEFONT_BUILTIN(zefontdesc_%s, \"%s\")\n", f.ident.c_str(), f.regname.c_str());
    }
    for (const Face &f : sets) {
        if (!write_face(f, outdir)) return 1;
        fprintf(faces, "#include \"%s.inc\"\n", f.ident.c_str());
        fprintf(table, "ZEFONT_SET(zefontdesc_%s, \"%s\")\n", f.ident.c_str(), f.shortname.c_str());
    }
    fclose(faces);
    fclose(table);
    printf("mkfonts: %zu builtin fonts and %zu set faces written to %s\n", builtins.size(), sets.size(),
           outdir.c_str());
    FT_Done_FreeType(ftlib);
    return 0;
}
