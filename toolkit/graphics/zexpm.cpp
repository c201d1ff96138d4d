// XPM pictures: from a file or from an array of texts in memory into a
// palette8 pixmap, and palette8 / truecolor pixmaps written as XPM files.
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "zeimage.h"
#include "zeimage_rows.h"

enum { XPM_MAXFILE = 64 << 20 };

// The colour names other writers commonly put into XPM files.
static bool xpm_colorname(const char *name, int *color) {
    static const struct {
        const char *name;
        int color;
    } names[] = {{"black", 0x000000}, {"white", 0xFFFFFF},  {"red", 0xFF0000},   {"green", 0x00FF00},
                 {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF},  {"magenta", 0xFF00FF},
                 {"gray", 0xBEBEBE},  {"grey", 0xBEBEBE},   {"orange", 0xFFA500}, {"navy", 0x000080}};
    for (const auto &n : names)
        if (strcasecmp(name, n.name) == 0) return *color = n.color, true;
    // grayN / greyN: N percent
    if ((strncasecmp(name, "gray", 4) == 0 || strncasecmp(name, "grey", 4) == 0) && isdigit((uint8_t)name[4])) {
        int pc = 0, n = 4;
        for (; isdigit((uint8_t)name[n]); n++) {
            pc = pc * 10 + (name[n] - '0');
            if (pc > 100) return false;   // also ends a long digit run before it overflows
        }
        int v = (pc * 255 + 50) / 100;
        return *color = v * 0x010101, true;
    }
    return false;
}

static int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = (char)tolower((uint8_t)c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : 0;
}

// A colour text: "none" -> -1, "#RGB..." -> hex, "#RRRRGGGGBBBB" -> the top
// byte of each group, a known name, anything else black.
static int xpm_color(const char *s) {
    if (strcasecmp(s, "none") == 0) return -1;
    if (s[0] == '#') {
        size_t n = strlen(s + 1);
        if (n <= 7) return (int)(strtoul(s + 1, nullptr, 16) & 0xFFFFFF);
        const char *g = s + 1;
        int r = hexdigit(g[0]) << 4 | hexdigit(g[1]);
        int gr = n >= 6 ? hexdigit(g[4]) << 4 | hexdigit(g[5]) : 0;
        int b = n >= 10 ? hexdigit(g[8]) << 4 | hexdigit(g[9]) : 0;
        return r << 16 | gr << 8 | b;
    }
    int c;
    return xpm_colorname(s, &c) ? c : 0x000000;
}

// The colour text of a colour line: after the first "c" followed by a blank,
// searching from the third character; false when there is none.
static bool xpm_colortext(const char *line, char *out, size_t outsize) {
    size_t len = strlen(line);
    const char *s = nullptr;
    for (size_t i = 2; i + 1 < len; i++)
        if (line[i] == 'c' && (line[i + 1] == ' ' || line[i + 1] == '\t')) {
            s = line + i + 2;
            break;
        }
    if (!s) return false;
    while (*s == ' ' || *s == '\t') s++;
    size_t n = 0;
    while (s[n] && s[n] != ' ' && s[n] != '\t' && n + 1 < outsize) {
        out[n] = s[n];
        n++;
    }
    out[n] = 0;
    return n > 0;
}

// The values line: width, height, colours, characters per pixel (what
// follows them is ignored). Numbers beyond the int range are refused rather
// than wrapped round to small ones.
static bool xpm_values(const char *s, int *w, int *h, int *n, int *cpp) {
    if (!s) return false;
    int *out[4] = {w, h, n, cpp};
    for (int *o : out) {
        char *end;
        long long v = strtoll(s, &end, 10);
        if (end == s || v < INT_MIN || v > INT_MAX) return false;
        *o = (int)v;
        s = end;
    }
    return *w > 0 && *h > 0 && *w <= ZEIMG_MAXSIDE && *h <= ZEIMG_MAXSIDE && *n > 0 && (*cpp == 1 || *cpp == 2);
}

static inline int xpm_key(const char *s, int cpp) {
    return cpp == 1 ? (uint8_t)s[0] : (uint8_t)s[1] * 128 + (uint8_t)s[0];
}

bool zepxmap_createfrommem_xpm_n(zePixmap *p, const char *const *xpm, int count) {
    int w, h, n, cpp;
    if (!xpm || count < 1 || !xpm_values(xpm[0], &w, &h, &n, &cpp)) return false;
    if (n > 255) {
        printf("zepxmap_createfrommem_xpm: too many colors (%d)\n", n);
        return false;
    }
    if ((int64_t)1 + n + h > count) return false;
    for (int i = 1; i <= n + h; i++)
        if (!xpm[i]) return false;
    std::vector<int16_t> lookup(cpp == 1 ? 256 : 256 * 128 + 256, -1);
    zePixmap t;
    if (!zepxmap_create(&t, w, h, ZEPX_PALETTE8)) return false;
    char ctext[64];
    for (int i = 0; i < n; i++) {
        const char *line = xpm[1 + i];
        if (strlen(line) < (size_t)cpp || !xpm_colortext(line, ctext, sizeof ctext)) {
            zepxmap_release(&t);
            return false;
        }
        int c = xpm_color(ctext);
        lookup[xpm_key(line, cpp)] = (int16_t)(c == -1 ? 255 : i);
        t.palette[i] = c;
    }
    uint8_t *px = (uint8_t *)t.pixels;
    for (int y = 0; y < h; y++) {
        const char *row = xpm[1 + n + y];
        if (strlen(row) < (size_t)w * cpp) {
            zepxmap_release(&t);
            return false;
        }
        for (int x = 0; x < w; x++) {
            int idx = lookup[xpm_key(row + x * cpp, cpp)];
            if (idx < 0) {   // a key without a colour line
                zepxmap_release(&t);
                return false;
            }
            px[(size_t)y * w + x] = (uint8_t)idx;
        }
    }
    *p = t;
    return true;
}

bool zepxmap_createfrommem_xpm(zePixmap *p, const char *const *xpm) {
    return zepxmap_createfrommem_xpm_n(p, xpm, INT_MAX);
}

// ---------------------------------------------------------------------------
// Files: the sequence of double-quoted texts; a comma outside quotes ends one.

struct XpmTexts {
    std::string data;                // the texts, each ended by a zero byte
    std::vector<const char *> ptrs;
};

static bool xpm_texts(FILE *f, XpmTexts *xt) {
    long size = zeimage_remaining(f);
    if (size < 0 || size > XPM_MAXFILE) return false;
    std::string file((size_t)size, 0);
    if (size && fread(&file[0], 1, (size_t)size, f) != (size_t)size) return false;
    xt->data.reserve(file.size() + file.size() / 2 + 1);
    std::vector<size_t> starts;
    size_t i = file.find('"');
    if (i == std::string::npos) return false;
    bool inquote = false, open = false;
    size_t start = 0;
    for (; i < file.size(); i++) {
        char c = file[i];
        if (c == '"') {
            if (!open) start = xt->data.size(), open = true;
            inquote = !inquote;
        } else if (inquote) {
            if (c == 0) return false;
            xt->data.push_back(c);
        } else if (c == ',' && open) {
            xt->data.push_back(0);
            starts.push_back(start);
            open = false;
        }
    }
    if (open) {
        xt->data.push_back(0);
        starts.push_back(start);
    }
    for (size_t s : starts) xt->ptrs.push_back(xt->data.data() + s);
    return !xt->ptrs.empty();
}

bool zexpm_size(FILE *f, int *w, int *h) {
    XpmTexts xt;
    int n, cpp;
    return xpm_texts(f, &xt) && xpm_values(xt.ptrs[0], w, h, &n, &cpp);
}

bool zexpm_read(FILE *f, zePixmap *p, const char *const *items, int x, int y, int w, int h) {
    XpmTexts xt;
    if (!xpm_texts(f, &xt)) return false;
    zePixmap t;
    if (!zepxmap_createfrommem_xpm_n(&t, xt.ptrs.data(), (int)xt.ptrs.size())) return false;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    bool ok = zepxmap_merge4(p, &t, x, y, 0, 0, w, h, 0, 0);
    zepxmap_release(&t);
    return ok;
}

// ---------------------------------------------------------------------------
// Writing.

static const char xpm_alphabet[] =
    " .+@*-()[]!#$%&'_/:;<>=?,{}0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ|^";

static void xpm_code(std::string &out, int k, int cpp) {
    if (cpp == 1) {
        out.push_back(xpm_alphabet[k]);
        return;
    }
    if (k >= 90 * 90) {
        printf("xpm save: too many colors !\n");
        k = 0;
    }
    out.push_back(xpm_alphabet[k / 90]);
    out.push_back(xpm_alphabet[k % 90]);
}

// Whether a truecolor pixmap has 256 or more distinct colours.
static bool too_many_colors(const zePixmap *p) {
    std::vector<uint32_t> seen;
    const uint32_t *px = (const uint32_t *)p->pixels;
    size_t n = (size_t)p->width * p->height;
    uint32_t table[1024];
    bool used[1024] = {};
    int count = 0;
    for (size_t i = 0; i < n; i++) {
        unsigned hsh = (px[i] * 2654435761u) >> 22;
        while (used[hsh] && table[hsh] != px[i]) hsh = (hsh + 1) & 1023;
        if (used[hsh]) continue;
        used[hsh] = true;
        table[hsh] = px[i];
        if (++count >= 256) return true;
    }
    return false;
}

static std::string xpm_name(const char *filename) {
    std::string s(filename);
    for (char &c : s) {
        if (c == '\\') c = '/';
        if (c == '.') c = '_';
    }
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? s : s.substr(slash + 1);
}

bool zepxmap_savetofile_xpm(const zePixmap *p, const char *filename) {
    if (p->format != ZEPX_PALETTE8 && p->format != ZEPX_TRUECOLOR) {
        printf("zepxmap_savetofile_xpm: unsupported format %d\n", p->format);
        return false;
    }
    if (p->width <= 0 || p->height <= 0) {   // readers refuse such a values line
        printf("zepxmap_savetofile: empty picture (%d x %d)\n", p->width, p->height);
        return false;
    }
    zePixmap t;
    if (!zepxmap_duplicate(&t, p, 0, 0, -1, -1)) return false;
    if (t.format == ZEPX_TRUECOLOR) {
        if (too_many_colors(&t)) {
            printf("zepxmap_savetofile_xpm warning: too many colors in truecolor-pixmap, reducing to 64\n");
            uint32_t *px = (uint32_t *)t.pixels;
            for (size_t i = 0; i < (size_t)t.width * t.height; i++) px[i] &= 0xC0C0C0;
        }
        if (!zepxmap_convert2palette8(&t, -1)) {
            zepxmap_release(&t);
            return false;
        }
    }
    const uint8_t *px = (const uint8_t *)t.pixels;
    size_t npx = (size_t)t.width * t.height;
    int n = 0;   // colour lines: every index that occurs
    for (size_t i = 0; i < npx; i++)
        if (px[i] != 255 && px[i] + 1 > n) n = px[i] + 1;
    int cpp = n <= 90 ? 1 : 2;
    std::string out = "/* XPM */\nstatic char * " + xpm_name(filename) + "[] = {\n";
    char line[128];
    snprintf(line, sizeof line, "\"%d %d %d %d\",\n", t.width, t.height, n + 1, cpp);
    out += line;
    out += '"';
    xpm_code(out, 0, cpp);
    out += "\tc None\",\n";
    for (int i = 0; i < n; i++) {
        out += '"';
        xpm_code(out, i + 1, cpp);
        if (t.palette[i] == -1)
            out += "\tc None\",\n";
        else {
            snprintf(line, sizeof line, "\tc #%06X\",\n", t.palette[i] & 0xFFFFFF);
            out += line;
        }
    }
    for (int y = 0; y < t.height; y++) {
        out += '"';
        for (int x = 0; x < t.width; x++) {
            uint8_t v = px[(size_t)y * t.width + x];
            xpm_code(out, v == 255 ? 0 : v + 1, cpp);
        }
        out += y + 1 < t.height ? "\",\n" : "\"};\n";
    }
    if (t.height == 0) out += "};\n";
    zepxmap_release(&t);
    zeFileOut target;
    FILE *f = zefile_out_open(&target, filename);
    if (!f) return false;
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return zefile_out_close(&target, ok);
}
