// PostScript text to PDF: reads the page description that the PostScript
// writer makes (or any PostScript text, skipping what it does not know) and
// writes a PDF document with the same pages: text in the thirteen standard
// fonts, colours, lines, shapes and pictures, drawn in the order met.
//
// The text is read twice: a dry run counts the pages (the page tree and the
// picture objects are numbered from that count), the second run writes. Both
// runs take the same steps, so they agree on the pages whatever the input.
//
// Object numbers: 1 catalogue, 2 outlines, 3 page tree, 4-16 the fonts, for
// page p (from 1) the page 3p + 14, its content 3p + 15 and the content's
// length 3p + 16, then the pictures from 3n + 17 on in the order met.
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "zefile.h"
#include "zepostscript.h"

namespace {

// A growable byte buffer; a failed allocation marks it and drops the rest.
struct Buf {
    uint8_t *p;
    size_t n, cap;
    bool oom;
};

void buf_free(Buf *b) {
    free(b->p);
    *b = Buf{};
}

bool buf_reserve(Buf *b, size_t more) {
    if (b->oom) return false;
    if (b->n + more <= b->cap) return true;
    size_t cap = b->cap ? b->cap : 4096;
    while (cap < b->n + more) cap *= 2;
    uint8_t *p = (uint8_t *)realloc(b->p, cap);
    if (!p) {
        b->oom = true;
        return false;
    }
    b->p = p;
    b->cap = cap;
    return true;
}

void buf_add(Buf *b, const void *d, size_t n) {
    if (n == 0 || !buf_reserve(b, n)) return;
    memcpy(b->p + b->n, d, n);
    b->n += n;
}

void buf_byte(Buf *b, uint8_t c) {
    if (b->n < b->cap || buf_reserve(b, 1)) b->p[b->n++] = c;
}

void buf_printf(Buf *b, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void buf_printf(Buf *b, const char *fmt, ...) {
    char tmp[512];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(tmp, sizeof tmp, fmt, ap);
    va_end(ap);
    if (n > 0) buf_add(b, tmp, (size_t)n < sizeof tmp ? n : sizeof tmp - 1);
}

// Buffered input: lines for the commands, single bytes for picture data.
struct Reader {
    FILE *f;
    uint8_t buf[1 << 16];
    size_t pos, len;
    char line[8192];
};

bool rd_fill(Reader *r) {
    r->pos = 0;
    r->len = fread(r->buf, 1, sizeof r->buf, r->f);
    return r->len > 0;
}

int rd_peek(Reader *r) {
    if (r->pos == r->len && !rd_fill(r)) return EOF;
    return r->buf[r->pos];
}

// One line without its end (LF, CR or CR LF) into line, cut at cap - 1
// characters (the rest is skipped). False at the end of the input.
bool rd_line(Reader *r, char *line, size_t cap) {
    size_t n = 0;
    bool any = false;
    for (;;) {
        if (r->pos == r->len && !rd_fill(r)) break;
        any = true;
        uint8_t *s = r->buf + r->pos, *e = r->buf + r->len;
        uint8_t *nl = s;
        while (nl < e && *nl != '\n' && *nl != '\r') nl++;
        size_t k = nl - s;
        if (n + k > cap - 1) k = cap - 1 - n;
        memcpy(line + n, s, k);
        n += k;
        r->pos = nl - r->buf;
        if (nl == e) continue;
        r->pos++;
        if (*nl == '\r' && rd_peek(r) == '\n') r->pos++;
        break;
    }
    line[n] = 0;
    return any;
}

// Output with the position of every byte counted (the cross-reference table
// needs object offsets, and the target may be a pipe).
struct Out {
    FILE *f;
    long pos;
    bool failed;
};

void out_write(Out *o, const void *d, size_t n) {
    if (!o->f || o->failed || n == 0) return;   // an empty page has no buffer at all
    if (fwrite(d, 1, n, o->f) != n) o->failed = true;
    o->pos += (long)n;
}

void out_printf(Out *o, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void out_printf(Out *o, const char *fmt, ...) {
    char tmp[1024];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(tmp, sizeof tmp, fmt, ap);
    va_end(ap);
    if (n > 0) out_write(o, tmp, (size_t)n < sizeof tmp ? n : sizeof tmp - 1);
}

const char *const font_names[13] = {
    "Courier", "Courier-Bold", "Courier-BoldOblique", "Courier-Oblique", "Helvetica", "Helvetica-Bold",
    "Helvetica-BoldOblique", "Helvetica-Oblique", "Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic",
    "Symbol",
};

int font_number(const char *name) {
    if (strcmp(name, "Times") == 0) return 9;
    for (int i = 0; i < 13; i++)
        if (strcmp(name, font_names[i]) == 0) return i + 1;
    printf("zepdf: unsupported font (%s)\n", name);
    return 1;
}

// An affine matrix as PostScript writes it: x' = a x + c y + e, y' = b x + d y + f.
struct Matrix {
    double a, b, c, d, e, f;
};

Matrix mul(const Matrix &m, const Matrix &n) {   // m after n
    return {m.a * n.a + m.c * n.b, m.b * n.a + m.d * n.b, m.a * n.c + m.c * n.d, m.b * n.c + m.d * n.d,
            m.a * n.e + m.c * n.f + m.e, m.b * n.e + m.d * n.f + m.f};
}

bool invert(const Matrix &m, Matrix *r) {
    double det = m.a * m.d - m.b * m.c;
    if (!std::isfinite(det) || fabs(det) < 1e-12) return false;
    *r = {m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.f - m.d * m.e) / det, (m.b * m.e - m.a * m.f) / det};
    return true;
}

bool finite(const Matrix &m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.e) && std::isfinite(m.f) && fabs(m.e) < 1e7 && fabs(m.f) < 1e7;
}

// Numbers read from the text: finite and bounded, so what is written stays
// a plain PDF real.
double clampnum(double v) {
    if (!std::isfinite(v)) return 0;
    return v > 1e6 ? 1e6 : v < -1e6 ? -1e6 : v;
}

bool parse_num(const char *s, double *v) {
    char *end;
    double d = strtod(s, &end);
    if (end == s || *end || !std::isfinite(d)) return false;
    *v = clampnum(d);
    return true;
}

// Splits a line at blanks into at most max tokens; returns the count
// (0 when the line has more).
int tokens(char *line, char **tok, int max) {
    int n = 0;
    for (char *s = strtok(line, " \t"); s; s = strtok(nullptr, " \t")) {
        if (n == max) return 0;
        tok[n++] = s;
    }
    return n;
}

// "name(n1,n2,...)" comment arguments: up to max numbers.
int comment_numbers(const char *s, double *v, int max) {
    const char *p = strchr(s, '(');
    if (!p) return 0;
    int n = 0;
    while (n < max) {
        char *end;
        double d = strtod(p + 1, &end);
        if (end == p + 1 || !std::isfinite(d)) return n;
        v[n++] = clampnum(d);
        p = end;
        if (*p != ',') break;
    }
    return n;
}

int hexval(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

enum { LINEMAX = 8192, TEXTMAX = 4096 };

struct Page {
    Buf content;
    int *images;          // object numbers of the page's pictures
    int nimages, capimages;
    bool landscape;
    bool dirty;           // something was drawn
};

struct Conv {
    Reader *in;
    Out *out;             // null in the dry run
    bool dry;
    int npages;           // pages of the document (from the dry run)
    int pagesdone;
    int nextimage;        // next picture object number
    long *offsets;        // by object number
    int capoffsets;
    bool oom;
    double box[4];
    Page page;
    // text and path state
    int font;
    double fontsize;
    char pendingfont[64];
    double pendingsize;
    double curx, cury;
    bool inpath, pathfill;
    double pathwidth;
    int pathpoints;
    // picture being set up between gsave and its data
    bool inblock;
    Matrix ctm, imgmatrix;
    int imgw, imgh, imgbits;
    bool truecolor;
};

void set_offset(Conv *c, int obj) {
    if (c->dry || !c->out) return;
    if (obj >= c->capoffsets) {
        int cap = c->capoffsets ? c->capoffsets : 64;
        while (cap <= obj) cap *= 2;
        long *p = (long *)realloc(c->offsets, sizeof(long) * cap);
        if (!p) {
            c->oom = true;
            return;
        }
        for (int i = c->capoffsets; i < cap; i++) p[i] = -1;
        c->offsets = p;
        c->capoffsets = cap;
    }
    c->offsets[obj] = c->out->pos;
}

void page_reset(Conv *c) {
    c->page.content.n = 0;
    c->page.nimages = 0;
    c->page.landscape = false;
    c->page.dirty = false;
    c->font = 5;
    c->fontsize = 10;
    c->inpath = false;
    c->inblock = false;
    c->curx = c->cury = 0;
}

void write_page(Conv *c) {
    int p = ++c->pagesdone;
    if (c->dry) return;
    Out *o = c->out;
    double w = c->box[2] - c->box[0], h = c->box[3] - c->box[1];
    if (c->page.landscape) {
        double t = w;
        w = h;
        h = t;
    }
    set_offset(c, 3 * p + 14);
    out_printf(o, "%d 0 obj\n<<\n/Type /Page\n/Parent 3 0 R\n/Resources <<\n/ProcSet [/PDF /ImageB /ImageC /Text]\n/Font <<",
               3 * p + 14);
    for (int i = 0; i < 13; i++) out_printf(o, " /F%d %d 0 R", i + 1, i + 4);
    out_printf(o, " >>\n");
    if (c->page.nimages) {
        out_printf(o, "/XObject <<");
        for (int i = 0; i < c->page.nimages; i++) out_printf(o, " /XO%d %d 0 R", i + 1, c->page.images[i]);
        out_printf(o, " >>\n");
    }
    out_printf(o, ">>\n/MediaBox [0 0 %.3f %.3f]\n/Contents %d 0 R\n>>\nendobj\n", w, h, 3 * p + 15);
    set_offset(c, 3 * p + 15);
    out_printf(o, "%d 0 obj\n<< /Length %d 0 R >>\nstream\n", 3 * p + 15, 3 * p + 16);
    long start = o->pos;
    out_write(o, c->page.content.p, c->page.content.n);
    long len = o->pos - start;
    out_printf(o, "\nendstream\nendobj\n");
    set_offset(c, 3 * p + 16);
    out_printf(o, "%d 0 obj\n%ld\nendobj\n", 3 * p + 16, len);
    if (c->page.content.oom) c->oom = true;
}

void end_page(Conv *c) {
    // the last page takes whatever follows; the page tree is numbered already
    if (c->pagesdone >= c->npages - 1 && !c->dry) return;
    write_page(c);
    page_reset(c);
}

// ---- text ---------------------------------------------------------------------

// A PostScript string from the "(" at s: its bytes into t (at most TEXTMAX).
// Returns the character after the closing ")" or null when it is malformed.
const char *ps_string(const char *s, uint8_t *t, int *n) {
    *n = 0;
    int depth = 0;
    for (s++;; s++) {
        int ch = (uint8_t)*s;
        if (!ch) return nullptr;
        if (ch == ')' && depth == 0) return s + 1;
        if (ch == '(') depth++;
        if (ch == ')') depth--;
        if (ch == '\\') {
            ch = (uint8_t)*++s;
            if (!ch) return nullptr;
            static const char from[] = "nrtbf", to[] = "\n\r\t\b\f";
            const char *k = strchr(from, ch);
            if (k) ch = to[k - from];
            else if (ch >= '0' && ch <= '7') {
                int v = ch - '0';
                for (int i = 0; i < 2 && s[1] >= '0' && s[1] <= '7'; i++) v = v * 8 + (*++s - '0');
                ch = v & 255;
            }
        }
        if (*n < TEXTMAX) t[(*n)++] = (uint8_t)ch;
    }
}

void text_show(Conv *c, const char *line) {
    uint8_t t[TEXTMAX];
    int n;
    const char *rest = ps_string(line, t, &n);
    if (!rest) return;
    while (*rest == ' ' || *rest == '\t') rest++;
    if (strcmp(rest, "show") != 0) return;
    c->page.dirty = true;
    if (c->dry) return;
    Buf *b = &c->page.content;
    buf_printf(b, "BT\n/F%d %.3f Tf\n%.3f %.3f Td\n(", c->font, c->fontsize, c->curx, c->cury);
    for (int i = 0; i < n; i++) {
        if (t[i] == '(' || t[i] == ')' || t[i] == '\\')
            buf_printf(b, "\\%c", t[i]);
        else if (t[i] < 32 || t[i] > 126)
            buf_printf(b, "\\%03o", t[i]);
        else
            buf_byte(b, t[i]);
    }
    buf_printf(b, ") Tj\nET\n");
}

// ---- pictures -------------------------------------------------------------------

// PDF RunLengthDecode: literal runs of up to 128 bytes, repeats of 2-128.
void rle(const uint8_t *d, size_t n, Buf *o) {
    size_t i = 0;
    while (i < n) {
        size_t r = 1;
        while (i + r < n && r < 128 && d[i + r] == d[i]) r++;
        if (r >= 2) {
            buf_byte(o, (uint8_t)(257 - r));
            buf_byte(o, d[i]);
            i += r;
            continue;
        }
        size_t s = i, len = 0;
        while (i < n && len < 128 && !(i + 1 < n && d[i + 1] == d[i])) i++, len++;
        buf_byte(o, (uint8_t)(len - 1));
        buf_add(o, d + s, len);
    }
    buf_byte(o, 128);
}

// Reads the hexadecimal data of a w x h picture of ncomp components and
// packs it into rows: 8 bits per component, or the nearest of 16 levels
// packed two to a byte (each row starts on a byte). Stops at the first
// character that is neither a hex digit nor white space; returns the rows
// read, a partial last row completed with zeros.
int read_picture(Conv *c, int w, int h, int ncomp, bool eight, Buf *rows) {
    size_t comps = (size_t)w * ncomp;
    size_t rowbytes = eight ? comps : (comps + 1) / 2;
    size_t need = comps * h, got = 0;
    int hi = -1;
    uint8_t *row = (uint8_t *)calloc(rowbytes, 1);
    if (!row) return 0;
    size_t k = 0;   // component within the row
    int rowsdone = 0;
    Reader *r = c->in;
    while (got < need) {
        if (r->pos == r->len && !rd_fill(r)) break;
        int ch = r->buf[r->pos];
        int v = hexval(ch);
        if (v < 0) {
            if (ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r') {
                r->pos++;
                continue;
            }
            break;
        }
        r->pos++;
        if (hi < 0) {
            hi = v;
            continue;
        }
        int byte = hi << 4 | v;
        hi = -1;
        got++;
        if (c->dry) continue;
        if (eight)
            row[k] = (uint8_t)byte;
        else {
            int level = (byte * 15 + 127) / 255;
            row[k / 2] |= k & 1 ? level : level << 4;
        }
        if (++k == comps) {
            buf_add(rows, row, rowbytes);
            memset(row, 0, rowbytes);
            k = 0;
            rowsdone++;
        }
    }
    if (c->dry) rowsdone = (int)((got + comps - 1) / comps);
    else if (k) {
        buf_add(rows, row, rowbytes);
        rowsdone++;
    }
    free(row);
    return rowsdone;
}

void picture(Conv *c, int ncomp) {
    c->inblock = false;
    int w = c->imgw, h = c->imgh;
    bool usable = w > 0 && h > 0 && w <= 65536 && h <= 65536 && c->imgbits == 8;
    Buf rows = {};
    bool eight = c->truecolor;
    int nrows = usable ? read_picture(c, w, h, ncomp, eight, &rows) : 0;
    Matrix inv;
    bool placed = nrows > 0 && finite(c->imgmatrix) && invert(c->imgmatrix, &inv) && finite(c->ctm);
    if (!placed || rows.oom) {
        if (rows.oom) c->oom = true;
        buf_free(&rows);
        return;
    }
    // the unit square as PDF maps it onto the picture (row 0 at the top),
    // then back through the picture's matrix into page space
    Matrix unit = {(double)w, 0, 0, -(double)nrows, 0, (double)nrows};
    Matrix cm = mul(c->ctm, mul(inv, unit));
    int obj = c->nextimage++;
    c->page.dirty = true;
    if (c->page.nimages == c->page.capimages) {
        int cap = c->page.capimages ? 2 * c->page.capimages : 8;
        int *p = (int *)realloc(c->page.images, sizeof(int) * cap);
        if (!p) {
            c->oom = true;
            buf_free(&rows);
            return;
        }
        c->page.images = p;
        c->page.capimages = cap;
    }
    c->page.images[c->page.nimages++] = obj;
    if (c->dry) {
        buf_free(&rows);
        return;
    }
    buf_printf(&c->page.content, "q\n%.4f %.4f %.4f %.4f %.4f %.4f cm\n/XO%d Do\nQ\n", clampnum(cm.a), clampnum(cm.b),
               clampnum(cm.c), clampnum(cm.d), clampnum(cm.e), clampnum(cm.f), c->page.nimages);
    Buf packed = {};
    rle(rows.p, rows.n, &packed);
    buf_free(&rows);
    if (packed.oom) c->oom = true;
    Out *o = c->out;
    set_offset(c, obj);
    out_printf(o, "%d 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Name /XO%d\n/Width %d\n/Height %d\n", obj,
               c->page.nimages, w, nrows);
    out_printf(o, "/ColorSpace /%s\n/BitsPerComponent %d\n/Filter /RunLengthDecode\n/Length %zu\n>>\nstream\n",
               ncomp == 3 ? "DeviceRGB" : "DeviceGray", eight ? 8 : 4, packed.n);
    out_write(o, packed.p, packed.n);
    out_printf(o, "\nendstream\nendobj\n");
    buf_free(&packed);
}

// ---- lines of the text -------------------------------------------------------

void comment(Conv *c, const char *s) {
    double v[6];
    Buf *b = &c->page.content;
    if (strncmp(s, "%%BoundingBox:", 14) == 0) {
        double box[4];
        char copy[LINEMAX], *tok[5];
        snprintf(copy, sizeof copy, "%s", s + 14);
        if (tokens(copy, tok, 5) != 4) return;
        for (int i = 0; i < 4; i++)
            if (!parse_num(tok[i], &box[i])) return;
        double w = box[2] - box[0], h = box[3] - box[1];
        if (w >= 1 && h >= 1 && w <= 14400 && h <= 14400) box[0] = box[1] = 0, box[2] = w, box[3] = h;
        else return;
        memcpy(c->box, box, sizeof box);
    } else if (strncmp(s, "%%ze landscape", 14) == 0) {
        c->page.landscape = true;
    } else if (strncmp(s, "%%ze truecolor", 14) == 0) {
        c->truecolor = true;
    } else if (strncmp(s, "%%drawline(", 11) == 0) {
        if (comment_numbers(s, v, 5) != 5) return;
        c->page.dirty = true;
        if (!c->dry)
            buf_printf(b, "q\n%.3f w\n2 J\n%.3f %.3f m\n%.3f %.3f l\nS\nQ\n", v[4], v[0], v[1], v[2], v[3]);
    } else if (strncmp(s, "%%fillrect(", 11) == 0) {
        if (comment_numbers(s, v, 4) != 4) return;
        c->page.dirty = true;
        if (!c->dry) buf_printf(b, "%.3f %.3f %.3f %.3f re\nf\n", v[0], v[1], v[2], v[3]);
    } else if (strncmp(s, "%%drawpoly(", 11) == 0) {
        if (comment_numbers(s, v, 2) != 2) return;
        c->inpath = true;
        c->pathfill = v[0] != 0;
        c->pathwidth = v[1];
        c->pathpoints = 0;
        if (!c->dry) buf_printf(b, "q\n%.3f w\n1 j\n1 J\n", v[1]);
    }
}

void path_end(Conv *c, bool fill) {
    c->inpath = false;
    if (c->dry) return;
    Buf *b = &c->page.content;
    if (c->pathpoints == 0) buf_printf(b, "Q\n");
    else buf_printf(b, fill ? "h\nf\nQ\n" : "S\nQ\n");
    c->page.dirty = true;
}

void command(Conv *c, char *line) {
    char *s = line;
    while (*s == ' ' || *s == '\t') s++;
    if (*s == '%') return comment(c, s);
    if (*s == '(') return text_show(c, s);
    char copy[LINEMAX];
    snprintf(copy, sizeof copy, "%s", s);
    char *tok[8];
    int n = tokens(copy, tok, 8);
    if (n == 0) return;
    const char *op = tok[n - 1];
    double v[4];
    Buf *b = &c->page.content;
    if (c->inpath) {
        if (n == 3 && (strcmp(op, "moveto") == 0 || strcmp(op, "lineto") == 0) && parse_num(tok[0], &v[0]) &&
            parse_num(tok[1], &v[1])) {
            if (!c->dry) buf_printf(b, "%.3f %.3f %s\n", v[0], v[1], c->pathpoints ? "l" : "m");
            c->pathpoints++;
        } else if (strcmp(op, "stroke") == 0 || strcmp(op, "fill") == 0) {
            path_end(c, strcmp(op, "fill") == 0 && c->pathfill);
        }
        return;
    }
    if (strcmp(tok[0], "showpage") == 0) return end_page(c);
    if (n == 1 && strcmp(op, "gsave") == 0) {
        c->inblock = true;
        c->ctm = {1, 0, 0, 1, 0, 0};
        c->imgmatrix = {1, 0, 0, 1, 0, 0};
        c->imgw = c->imgh = c->imgbits = 0;
        return;
    }
    if (n == 1 && strcmp(op, "grestore") == 0) {
        c->inblock = false;
        return;
    }
    if (c->inblock) {
        if (n == 3 && (strcmp(op, "translate") == 0 || strcmp(op, "scale") == 0) && parse_num(tok[0], &v[0]) &&
            parse_num(tok[1], &v[1])) {
            Matrix m = op[0] == 't' ? Matrix{1, 0, 0, 1, v[0], v[1]} : Matrix{v[0], 0, 0, v[1], 0, 0};
            c->ctm = mul(c->ctm, m);
        } else if (n == 3 && parse_num(tok[0], &v[0]) && parse_num(tok[1], &v[1]) && parse_num(tok[2], &v[2])) {
            c->imgw = (int)v[0];
            c->imgh = (int)v[1];
            c->imgbits = (int)v[2];
        } else if (s[0] == '[') {
            double m[6];
            char *p = s + 1;
            for (int i = 0; i < 6; i++) {
                char *end;
                m[i] = strtod(p, &end);
                if (end == p || !std::isfinite(m[i])) return;
                p = end;
            }
            c->imgmatrix = {m[0], m[1], m[2], m[3], m[4], m[5]};
        } else if (strcmp(op, "colorimage") == 0 && n >= 2 && strcmp(tok[n - 2], "3") == 0) {
            picture(c, 3);
        } else if (strcmp(op, "image") == 0) {
            picture(c, 1);
        }
        return;
    }
    if (n == 4 && strcmp(op, "setrgbcolor") == 0) {
        for (int i = 0; i < 3; i++) {
            if (!parse_num(tok[i], &v[i])) return;
            v[i] = v[i] < 0 ? 0 : v[i] > 1 ? 1 : v[i];
        }
        if (!c->dry) buf_printf(b, "%.4f %.4f %.4f RG\n%.4f %.4f %.4f rg\n", v[0], v[1], v[2], v[0], v[1], v[2]);
    } else if (n == 3 && strcmp(op, "moveto") == 0 && parse_num(tok[0], &v[0]) && parse_num(tok[1], &v[1])) {
        c->curx = v[0];
        c->cury = v[1];
    } else if (n == 2 && strcmp(op, "scalefont") == 0 && parse_num(tok[0], &v[0])) {
        c->pendingsize = v[0] < 0 ? 0 : v[0] > 10000 ? 10000 : v[0];
    } else if (tok[0][0] == '/' && n >= 3 && strcmp(tok[2], "ReEncode") == 0) {
        snprintf(c->pendingfont, sizeof c->pendingfont, "%s", tok[0] + 1);
    } else if (n == 1 && strcmp(op, "setfont") == 0 && c->pendingfont[0]) {
        c->font = c->dry ? 1 : font_number(c->pendingfont);
        c->fontsize = c->pendingsize;
    }
}

bool run(Conv *c) {
    page_reset(c);
    while (!c->oom) {
        if (!rd_line(c->in, c->in->line, sizeof c->in->line)) break;
        command(c, c->in->line);
    }
    // the last page, drawn on but not shown, still counts; and there is always one
    if (c->page.dirty || c->pagesdone == 0 || (!c->dry && c->pagesdone < c->npages)) write_page(c);
    while (!c->dry && c->pagesdone < c->npages) {
        page_reset(c);
        write_page(c);
    }
    return !c->oom;
}

void write_head(Conv *c) {
    Out *o = c->out;
    out_printf(o, "%%PDF-1.0\n%%\xe2\xe3\xcf\xd3\n");
    set_offset(c, 1);
    out_printf(o, "1 0 obj\n<<\n/Type /Catalog\n/Pages 3 0 R\n/Outlines 2 0 R\n>>\nendobj\n");
    set_offset(c, 2);
    out_printf(o, "2 0 obj\n<<\n/Type /Outlines\n/Count 0\n>>\nendobj\n");
    set_offset(c, 3);
    out_printf(o, "3 0 obj\n<<\n/Type /Pages\n/Count %d\n/Kids [", c->npages);
    for (int p = 1; p <= c->npages; p++) out_printf(o, "%s%d 0 R", p % 10 == 1 ? "\n" : " ", 3 * p + 14);
    out_printf(o, "\n]\n>>\nendobj\n");
    for (int i = 0; i < 13; i++) {
        set_offset(c, i + 4);
        out_printf(o, "%d 0 obj\n<<\n/Type /Font\n/Subtype /Type1\n/Name /F%d\n/BaseFont /%s\n/Encoding /WinAnsiEncoding\n>>\nendobj\n",
                   i + 4, i + 1, font_names[i]);
    }
}

void write_tail(Conv *c) {
    Out *o = c->out;
    int size = c->nextimage;
    long xref = o->pos;
    out_printf(o, "xref\n0 %d\n0000000000 65535 f \n", size);
    for (int i = 1; i < size; i++) {
        long off = i < c->capoffsets ? c->offsets[i] : -1;
        if (off < 0) c->oom = true;   // every object must have been written
        out_printf(o, "%010ld 00000 n \n", off < 0 ? 0 : off);
    }
    out_printf(o, "trailer\n<<\n/Size %d\n/Root 1 0 R\n>>\nstartxref\n%ld\n%%%%EOF\n", size, xref);
}

void conv_free(Conv *c) {
    buf_free(&c->page.content);
    free(c->page.images);
    c->page.images = nullptr;
    c->page.nimages = c->page.capimages = 0;
}

}   // namespace

bool zepdf_convert_stream(FILE *in, FILE *outf) {
    if (!in || !outf) return false;
    Reader *r = (Reader *)malloc(sizeof(Reader));
    if (!r) return false;
    r->f = in;
    r->pos = r->len = 0;
    Conv c = {};
    c.in = r;
    c.dry = true;
    c.box[2] = 595;
    c.box[3] = 842;
    bool ok = run(&c);
    // pictures are 8 bits per component when the writer's options asked for it
    bool truecolor = c.truecolor;
    conv_free(&c);
    if (ok && fseek(in, 0, SEEK_SET) != 0) ok = false;
    Out o = {outf, 0, false};
    if (ok) {
        int npages = c.pagesdone;
        c = Conv{};
        c.in = r;
        r->pos = r->len = 0;
        c.out = &o;
        c.npages = npages;
        c.nextimage = 3 * npages + 17;
        c.truecolor = truecolor;
        c.box[2] = 595;
        c.box[3] = 842;
        write_head(&c);
        ok = run(&c);
        if (ok) write_tail(&c);
        ok = ok && !c.oom && !o.failed;
        free(c.offsets);
        conv_free(&c);
    }
    free(r);
    return ok;
}

bool zepdf_convert(const char *psname, const char *pdfname) {
    FILE *in = psname ? zefile_open_regular(psname, "rb") : nullptr;
    if (!in) return false;
    zeFileOut o;
    FILE *f = pdfname ? zefile_out_open(&o, pdfname) : nullptr;
    if (!f) {
        fclose(in);
        return false;
    }
    bool ok = zepdf_convert_stream(in, f);
    fclose(in);
    return zefile_out_close(&o, ok);
}
