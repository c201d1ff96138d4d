// System fonts: a face found through fontconfig is rasterised once with
// FreeType, without anti-aliasing, into the same bitmap form as the builtin
// fonts. Each glyph is cut to its ink and widened to its advance with the ink
// kept in the middle; characters the face lacks take the glyph of "@".
#include "zefont.h"
#include "zefont_codes.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zedl.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <strings.h>

namespace {

// fontconfig and FreeType are opened by the first system font asked for:
// the builtin fonts need neither.
#define FC_FNS(X)                                                                                         \
    X(Init, FcInit) X(PatternCreate, FcPatternCreate) X(PatternDestroy, FcPatternDestroy)                 \
    X(PatternAddString, FcPatternAddString) X(PatternAddInteger, FcPatternAddInteger)                     \
    X(PatternGetString, FcPatternGetString) X(PatternGetInteger, FcPatternGetInteger)                     \
    X(ConfigSubstitute, FcConfigSubstitute) X(DefaultSubstitute, FcDefaultSubstitute)                     \
    X(FontMatch, FcFontMatch)
#define FT_FNS(X)                                                                                         \
    X(Init_FreeType, FT_Init_FreeType) X(New_Face, FT_New_Face) X(Done_Face, FT_Done_Face)                \
    X(Get_Sfnt_Table, FT_Get_Sfnt_Table) X(Set_Pixel_Sizes, FT_Set_Pixel_Sizes)                           \
    X(Select_Size, FT_Select_Size) X(Get_Char_Index, FT_Get_Char_Index) X(Load_Glyph, FT_Load_Glyph)      \
    X(Render_Glyph, FT_Render_Glyph) X(GlyphSlot_Embolden, FT_GlyphSlot_Embolden)                        \
    X(GlyphSlot_Oblique, FT_GlyphSlot_Oblique) X(MulFix, FT_MulFix) X(Get_First_Char, FT_Get_First_Char)  \
    X(Get_Next_Char, FT_Get_Next_Char)
struct FcFns {
    FC_FNS(ZEDL_MEMBER)
};
struct FtFns {
    FT_FNS(ZEDL_MEMBER)
};
FcFns fontconfig;
FtFns freetype;
const char *const fc_sonames[] = {"libfontconfig.so.1", nullptr};
const char *const fc_symbols[] = {FC_FNS(ZEDL_NAME) nullptr};
zeDlLib fc_lib = {"libfontconfig", fc_sonames, fc_symbols, &fontconfig, sizeof fontconfig};
const char *const ft_sonames[] = {"libfreetype.so.6", nullptr};
const char *const ft_symbols[] = {FT_FNS(ZEDL_NAME) nullptr};
zeDlLib ft_lib = {"libfreetype", ft_sonames, ft_symbols, &freetype, sizeof freetype};

FT_Library ftlib;
bool reload_system;
int dpi = 96;

const int MAX_CHARS = 223;
// Sizes beyond these only ask for absurd memory (and overflow the arithmetic).
const int MAX_EXTRA = 1024;
const int MAX_PIXELS = 1024;   // em height

// Loaded system fonts by their whole request, so that the same request gives
// the same font and a different size or style gives a new one.
struct CacheEntry {
    int id;
    char key[160];
};
CacheEntry *cache;
int ncache, capcache;

struct Request {
    char face[64];
    zeFontAttr attr;
};

struct Face {
    FT_Face ft;
    bool embolden, oblique;
    char family[64];
};

bool ft_ready(void) {
    for (zeDlLib *lib : {&fc_lib, &ft_lib})
        if (!zedl_load(lib)) {
            printf("zefont_load_system: %s\n", zedl_error(lib));
            return false;
        }
    if (ftlib) return true;
    if (freetype.Init_FreeType(&ftlib)) {
        printf("zefont_load_system: FreeType cannot start\n");
        ftlib = nullptr;
        return false;
    }
    return true;
}

void make_key(const Request &r, char *key, size_t size) {
    const zeFontAttr &a = r.attr;
    snprintf(key, size, "%s|%d|%d|%d|%d|%d|%d|%d", r.face, a.points, a.xs, a.ys, a.bold, a.italic, a.underlined,
             a.xsextra);
    for (char *p = key; *p; p++)
        if (*p >= 'A' && *p <= 'Z') *p += 'a' - 'A';
}

int cached(const char *key) {
    for (int i = 0; i < ncache; i++)
        if (strcmp(cache[i].key, key) == 0 && zefont_get(cache[i].id)) return cache[i].id;
    return -1;
}

void remember(const char *key, int id) {
    for (int i = 0; i < ncache; i++)
        if (strcmp(cache[i].key, key) == 0) {
            cache[i].id = id;
            return;
        }
    if (ncache == capcache) {
        int cap = capcache ? capcache * 2 : 16;
        CacheEntry *c = (CacheEntry *)realloc(cache, cap * sizeof *c);
        if (!c) return;
        cache = c;
        capcache = cap;
    }
    cache[ncache].id = id;
    snprintf(cache[ncache].key, sizeof cache[ncache].key, "%s", key);
    ncache++;
}

// The face file through fontconfig ("Arial" finds its metric-compatible
// substitute); bold and italic are synthesised when the face has neither.
bool open_face(const Request &r, Face *out) {
    memset(out, 0, sizeof *out);
    if (!fontconfig.Init()) return false;
    FcPattern *pat = fontconfig.PatternCreate();
    fontconfig.PatternAddString(pat, FC_FAMILY, (const FcChar8 *)r.face);
    fontconfig.PatternAddInteger(pat, FC_WEIGHT, r.attr.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    fontconfig.PatternAddInteger(pat, FC_SLANT, r.attr.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    fontconfig.ConfigSubstitute(nullptr, pat, FcMatchPattern);
    fontconfig.DefaultSubstitute(pat);
    FcResult res;
    FcPattern *m = fontconfig.FontMatch(nullptr, pat, &res);
    fontconfig.PatternDestroy(pat);
    if (!m) return false;
    FcChar8 *file = nullptr, *family = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    fontconfig.PatternGetString(m, FC_FILE, 0, &file);
    fontconfig.PatternGetString(m, FC_FAMILY, 0, &family);
    fontconfig.PatternGetInteger(m, FC_INDEX, 0, &index);
    fontconfig.PatternGetInteger(m, FC_WEIGHT, 0, &weight);
    fontconfig.PatternGetInteger(m, FC_SLANT, 0, &slant);
    bool ok = file && freetype.New_Face(ftlib, (const char *)file, index, &out->ft) == 0;
    if (ok) {
        out->embolden = r.attr.bold && weight < FC_WEIGHT_DEMIBOLD;
        out->oblique = r.attr.italic && slant == FC_SLANT_ROMAN;
        snprintf(out->family, sizeof out->family, "%s", family ? (const char *)family : "");
    }
    fontconfig.PatternDestroy(m);
    return ok;
}

// Pixel sizes: "ys=" is the cell height (ascent + descent), else points at
// the display's dots per inch; "xs=" is the average character width.
void set_size(const Request &r, FT_Face f, int *points) {
    long long em;
    if (r.attr.ys > 0 && FT_IS_SCALABLE(f) && f->ascender - f->descender > 0) {
        em = (long long)r.attr.ys * f->units_per_EM / (f->ascender - f->descender);
        if (em > MAX_PIXELS) em = MAX_PIXELS;
        *points = (int)((em * 72 + dpi / 2) / dpi);
    } else {
        *points = r.attr.points > 0 ? r.attr.points : 12;
        em = ((long long)*points * dpi + 36) / 72;
    }
    if (em < 1) em = 1;
    if (em > MAX_PIXELS) em = MAX_PIXELS;
    int xem = (int)em;
    TT_OS2 *os2 = (TT_OS2 *)freetype.Get_Sfnt_Table(f, FT_SFNT_OS2);
    if (r.attr.xs > 0 && os2 && os2->xAvgCharWidth > 0) {
        double avg = (double)os2->xAvgCharWidth * em / f->units_per_EM;
        double x = em * r.attr.xs / avg + 0.5;
        xem = x < 1 ? 1 : x > MAX_PIXELS ? MAX_PIXELS : (int)x;
    }
    if (FT_IS_SCALABLE(f)) {
        freetype.Set_Pixel_Sizes(f, xem, (FT_UInt)em);
        return;
    }
    // A bitmap-only face: the strike nearest to the height asked for.
    int best = 0;
    for (int i = 1; i < f->num_fixed_sizes; i++)
        if (abs(f->available_sizes[i].height - em) < abs(f->available_sizes[best].height - em)) best = i;
    if (f->num_fixed_sizes > 0) freetype.Select_Size(f, best);
}

// One rendered character: black on white into a buffer twice the cell wide,
// the pen at half the cell width.
struct Canvas {
    uint8_t *px;
    int w, h;
};

bool render(const Face &fc, int code, const Canvas &cv, int pen, int ascent, bool underline, int *advance) {
    memset(cv.px, 0, (size_t)cv.w * cv.h);
    int uc = zefont_codepoint(code);
    FT_UInt gi = uc ? freetype.Get_Char_Index(fc.ft, uc) : 0;
    if (!gi) return false;
    int flags = FT_LOAD_TARGET_MONO | (fc.embolden || fc.oblique ? FT_LOAD_NO_BITMAP : 0);
    if (freetype.Load_Glyph(fc.ft, gi, flags)) return false;
    FT_GlyphSlot s = fc.ft->glyph;
    if (fc.embolden) freetype.GlyphSlot_Embolden(s);
    if (fc.oblique) freetype.GlyphSlot_Oblique(s);
    if (s->format != FT_GLYPH_FORMAT_BITMAP && freetype.Render_Glyph(s, FT_RENDER_MODE_MONO)) return false;
    *advance = (int)((s->advance.x + 32) >> 6);
    const FT_Bitmap &bm = s->bitmap;
    int x0 = pen + s->bitmap_left, y0 = ascent - s->bitmap_top;
    for (unsigned r = 0; r < bm.rows; r++) {
        const uint8_t *row = bm.buffer + (long)r * bm.pitch;
        for (unsigned c = 0; c < bm.width; c++) {
            bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1 : row[c] >= 128;
            int x = x0 + (int)c, y = y0 + (int)r;
            if (on && x >= 0 && x < cv.w && y >= 0 && y < cv.h) cv.px[y * cv.w + x] = 1;
        }
    }
    if (underline && FT_IS_SCALABLE(fc.ft)) {
        FT_Fixed ys = fc.ft->size->metrics.y_scale;
        int thick = (int)((freetype.MulFix(fc.ft->underline_thickness, ys) + 32) >> 6);
        int row = ascent - (int)((freetype.MulFix(fc.ft->underline_position, ys) + 32) >> 6) - thick / 2;
        if (thick < 1) thick = 1;
        for (int y = row; y < row + thick && y < cv.h; y++)
            for (int x = pen; x < pen + *advance && x < cv.w; x++)
                if (y >= 0) cv.px[y * cv.w + x] = 1;
    }
    return true;
}

struct Cut {
    int left, width;
};

// The ink box, widened to the advance with the ink kept centred.
Cut ink_box(const Canvas &cv, int advance, int space_advance) {
    int first = -1, last = -1;
    for (int x = 0; x < cv.w; x++)
        for (int y = 0; y < cv.h; y++)
            if (cv.px[y * cv.w + x]) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    Cut cut = {0, space_advance};
    if (first >= 0) cut = {first, last - first + 1};
    // never wider than the buffer: the glyph data are sized by it
    if (advance > cv.w) advance = cv.w;
    if (cut.width > cv.w) cut.width = cv.w;
    if (cut.width < 0) cut.width = 0;
    for (int step = 1; cut.width < advance; step++) {
        cut.width++;
        if (step % 2 == 0 && cut.left > 0) cut.left--;
    }
    return cut;
}

void copy_columns(const Canvas &cv, Cut cut, uint8_t *dst) {
    for (int y = 0; y < cv.h; y++)
        for (int x = 0; x < cut.width; x++) {
            int sx = cut.left + x;
            *dst++ = sx < cv.w ? cv.px[y * cv.w + sx] : 0;
        }
}

int char_count(FT_Face f) {
    FT_UInt gi;
    FT_ULong first = freetype.Get_First_Char(f, &gi), last = first;
    for (FT_ULong c = first; gi; c = freetype.Get_Next_Char(f, c, &gi)) last = c;
    long n = (long)last - (long)first;
    return n > MAX_CHARS ? MAX_CHARS : n < 1 ? 1 : (int)n;
}

int rasterise(const Request &r, const char *key) {
    Face fc;
    if (!ft_ready() || !open_face(r, &fc)) {
        printf("zefont_load_system: no font for %s\n", r.face);
        return -1;
    }
    int points = 0;
    set_size(r, fc.ft, &points);
    const FT_Size_Metrics &m = fc.ft->size->metrics;
    int ascent = (int)((m.ascender + 63) >> 6), descent = (int)(-(m.descender >> 6));
    int height = ascent + descent;
    int em = m.y_ppem;
    int overhang = (fc.embolden ? em / 24 + 1 : 0) + (fc.oblique ? ascent / 4 + 1 : 0);
    int maxw = (int)(m.max_advance >> 6);
    if (maxw < 1 || maxw > 4 * em + 4) maxw = 4 * em + 4;   // some faces claim huge advances
    // A negative "xsextra=" would make the buffer narrower than the glyphs.
    int extra = r.attr.xsextra < 0 ? 0 : r.attr.xsextra > MAX_EXTRA ? MAX_EXTRA : r.attr.xsextra;
    int cw = extra + maxw + overhang;
    if (cw < 1) cw = 1;
    if (height < 1) {
        freetype.Done_Face(fc.ft);
        printf("zefont_load_system: %s has no height\n", r.face);
        return -1;
    }

    int n = char_count(fc.ft);
    Canvas cv = {(uint8_t *)calloc((size_t)2 * cw * height, 1), 2 * cw, height};
    zeFont *f = (zeFont *)calloc(1, sizeof *f);
    // Glyph data grow as glyphs are cut (their widths are only known then);
    // room for the widest possible glyph would be far too much for big sizes.
    size_t cap = (size_t)cw * height * 16 + 1;
    uint8_t *data = (uint8_t *)malloc(cap);
    if (!cv.px || !f || !data) {
        free(cv.px), free(f), free(data);
        freetype.Done_Face(fc.ft);
        return -1;
    }
    int space_adv = 0;
    if (render(fc, ' ', cv, cw / 2, ascent, false, &space_adv) == false) space_adv = em / 4;
    bool missing[MAX_CHARS] = {};
    long pos = 0;
    for (int i = 0; i < n; i++) {
        int adv = 0;
        if (!render(fc, ZEFONT_FIRST + i, cv, cw / 2, ascent, r.attr.underlined, &adv)) {
            missing[i] = true;
            continue;
        }
        Cut cut = ink_box(cv, adv, space_adv);
        size_t need = (size_t)pos + (size_t)cut.width * height;
        if (need > cap) {
            size_t more = need > 2 * cap ? need : 2 * cap;
            uint8_t *d = (uint8_t *)realloc(data, more);
            if (!d || more > INT32_MAX) {
                free(d ? d : data), free(cv.px), free(f);
                freetype.Done_Face(fc.ft);
                printf("zefont_load_system: %s is too large\n", r.face);
                return -1;
            }
            data = d, cap = more;
        }
        f->offsets[i] = (int32_t)pos;
        f->widths[i] = cut.width;
        copy_columns(cv, cut, data + pos);
        pos += (long)cut.width * height;
    }
    int at = '@' - ZEFONT_FIRST;
    for (int i = 0; i < n; i++)
        if (missing[i]) {
            f->offsets[i] = missing[at] ? 0 : f->offsets[at];
            f->widths[i] = missing[at] ? 0 : f->widths[at];
        }
    free(cv.px);
    freetype.Done_Face(fc.ft);

    snprintf(f->name, sizeof f->name, "system font %s %d", r.face, points);
    snprintf(f->shortname, sizeof f->shortname, "%s", r.face);
    snprintf(f->foundry, sizeof f->foundry, "%s", fc.family);
    f->height = height;
    f->ascent = ascent;
    f->descent = descent;
    f->weight = r.attr.bold ? ZEFONT_BOLD : 1;
    f->slant = r.attr.italic ? 1 : 0;
    f->points = points;
    f->width = r.attr.xs;
    f->cellwidth = 'x' - ZEFONT_FIRST < n ? f->widths['x' - ZEFONT_FIRST] : cw;
    f->described = n;
    f->spacing = ZEFONT_MONOSPACE;
    for (int i = 1; i < n; i++)
        if (f->widths[i] != f->widths[0]) f->spacing = ZEFONT_PROPORTIONAL;
    f->data = data;
    int id = zefont_register(f);
    free(f);
    if (id >= 0) remember(key, id);
    return id;
}

int load(char **entries) {
    if (!entries || !entries[0]) return -1;
    Request r = {};
    // The face name is entry 0 without surrounding blanks.
    const char *s = entries[0];
    while (*s == ' ' || *s == '\t') s++;
    snprintf(r.face, sizeof r.face, "%s", s);
    for (int k = (int)strlen(r.face) - 1; k >= 0 && (r.face[k] == ' ' || r.face[k] == '\t'); k--) r.face[k] = 0;
    if (!r.face[0]) {
        printf("zefont_load_system: no face name\n");
        return -1;
    }
    zecfgstr_fontattr(entries, 1, &r.attr);
    char key[160];
    make_key(r, key, sizeof key);
    int id = reload_system ? -1 : cached(key);
    return id >= 0 ? id : rasterise(r, key);
}

}  // namespace

int zefont_load_system(const char *fmt, ...) {
    char buf[ZECFGSTR_SPLITBUF];
    va_list ap;
    va_start(ap, fmt);
    char **entries = zecfgstr_vparse(buf, fmt, ap);
    va_end(ap);
    return load(entries);
}

int zefont_load_system_text(const char *desc) {
    if (!desc) return -1;
    return zefont_load_system("%s", desc);
}

void zefont_set_reload_system(bool reload) { reload_system = reload; }

void zefont_set_dpi(int d) { dpi = d > 0 ? d : 96; }
