// dBASE III tables as grids of text cells; see zexbase.h.
#include "zexbase.h"
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

// Builds records and fields; a field is at most 65535 bytes (16-bit length).
static char g_scratch[65536];

static uint32_t get16(const uint8_t *p) { return p[0] | p[1] << 8; }
static uint32_t get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
static void put16(uint8_t *p, uint32_t v) { p[0] = v & 0xff, p[1] = v >> 8 & 0xff; }
static void put32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = v >> (8 * i) & 0xff;
}

// Header bytes 1..3: the year as years since 1900, less 100 past 2000.
static void stamp_date(uint8_t *h) {
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    int year = tm.tm_year;
    if (year > 100) year -= 100;
    h[1] = (uint8_t)year;
    h[2] = (uint8_t)(tm.tm_mon + 1);
    h[3] = (uint8_t)tm.tm_mday;
}

static bool read_at(FILE *f, int64_t pos, void *buf, size_t n) {
    if (fseeko(f, pos, SEEK_SET) != 0) return false;
    return fread(buf, 1, n, f) == n;
}

static bool write_at(zeXBase *t, int64_t pos, const void *buf, size_t n) {
    if (fseeko(t->file, pos, SEEK_SET) != 0 || fwrite(buf, 1, n, t->file) != n) {
        t->failed = true;
        return false;
    }
    return true;
}

static int64_t record_pos(const zeXBase *t, uint32_t record) {
    return (int64_t)t->headerLength + (int64_t)record * t->recordLength;
}

// Field length by type: 'C' has 16 bits, 'N' and 'L' one byte, others none.
static int32_t descriptor_length(const uint8_t *d) {
    if (d[11] == 'C') return (int32_t)get16(d + 16);
    if (d[11] == 'N' || d[11] == 'L') return d[16];
    return 0;
}

// Reads and checks the header and descriptors. A header that does not fit the
// file, or fields that do not fit the record, mean the file is no table.
static bool read_header(zeXBase *t, int64_t fileSize) {
    uint8_t b[2];
    if (!read_at(t->file, 8, b, 2)) return false;
    int32_t hl = (int32_t)get16(b);
    if (hl > ZEXBASE_MAX_HEADER || hl < 33) return false;
    if (!read_at(t->file, 0, t->header, hl)) return false;
    t->headerLength = hl;
    t->recordLength = (int32_t)get16(t->header + 10);
    t->recordCount = get32(t->header + 4);
    if (t->recordCount > ZEXBASE_MAX_RECORDS) return false;
    if (t->recordLength < 1) return false;

    // Descriptors end at the 0x0D terminator even where the header is longer.
    int32_t n = (hl - 33) / 32, offset = 1;
    t->fieldCount = 0;
    for (int32_t i = 0; i < n; i++) {
        const uint8_t *d = t->header + 32 + 32 * i;
        if (d[0] == 0x0D) break;
        t->fieldOffset[i] = offset;
        t->fieldLength[i] = descriptor_length(d);
        offset += t->fieldLength[i];
        t->fieldCount++;
    }
    if (offset > t->recordLength) return false;

    // A header may promise more records than the file holds (a truncated
    // copy); count those that at least begin.
    int64_t body = fileSize - hl;
    int64_t present = body > 0 ? (body + t->recordLength - 1) / t->recordLength : 0;
    if ((int64_t)t->recordCount > present) t->recordCount = (uint32_t)present;
    return true;
}

static void build_live_index(zeXBase *t) {
    t->live.clear();
    t->live.reserve(std::min<uint32_t>(t->recordCount, 1 << 16));
    for (uint32_t r = 0; r < t->recordCount; r++) {
        if (fseeko(t->file, record_pos(t, r), SEEK_SET) != 0) break;
        int c = fgetc(t->file);
        if (c == EOF) {
            t->recordCount = r;
            break;
        }
        if (c != '*') t->live.push_back(r);
    }
}

static bool reject(zeXBase *t) {
    fclose(t->file);
    t->file = nullptr;
    t->readOnly = false;
    return false;
}

bool zexbase_open(zeXBase *t, const char *name) {
    if (!t) return false;
    zexbase_close(t);
    if (!name || strlen(name) > ZEXBASE_MAX_NAME) return false;
    // Only regular files: a FIFO would block the reader, a directory is no table.
    struct stat st;
    if (stat(name, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    t->readOnly = false;
    t->file = fopen(name, "r+b");
    if (!t->file) {
        t->file = fopen(name, "rb");
        t->readOnly = true;
    }
    if (!t->file) {
        t->readOnly = false;
        return false;
    }
    if (fstat(fileno(t->file), &st) != 0 || !S_ISREG(st.st_mode)) return reject(t);
    if (!read_header(t, st.st_size)) return reject(t);
    snprintf(t->fileName, sizeof t->fileName, "%s", name);
    build_live_index(t);
    t->appendOnly = false;
    t->dirty = false;
    t->failed = false;
    t->currentRecord = -1;
    t->open = true;
    return true;
}

bool zexbase_close(zeXBase *t) {
    if (!t || !t->open) return true;
    bool ok = !t->failed;
    if (t->dirty && !t->readOnly) {
        put32(t->header + 4, t->recordCount);
        stamp_date(t->header);
        ok = write_at(t, 0, t->header, t->headerLength) && ok;
        ok = fflush(t->file) == 0 && ok;
    }
    if (fclose(t->file) != 0 && !t->readOnly) ok = false;
    t->file = nullptr;
    t->open = false;
    t->readOnly = false;
    t->dirty = false;
    t->failed = false;
    t->live.clear();
    t->live.shrink_to_fit();
    return ok;
}

zeXBase::~zeXBase() { zexbase_close(this); }

int zexbase_append(zeXBase *t) {
    if (!t || !t->open || t->readOnly) return -1;
    // The live index is sorted, so the first deleted record is its first gap.
    uint32_t record = t->recordCount;
    size_t row = t->live.size();
    if (!t->appendOnly) {
        size_t i = 0;
        while (i < t->live.size() && t->live[i] == i) i++;
        if (i < t->recordCount) record = (uint32_t)i, row = i;
    }
    if (record == t->recordCount) {
        if (t->recordCount >= ZEXBASE_MAX_RECORDS) return -1;
        t->recordCount++;
    }
    t->currentRecord = (int32_t)record;
    int64_t pos = record_pos(t, record);
    int32_t left = t->recordLength;
    memset(g_scratch, ' ', std::min<size_t>(left, sizeof g_scratch));
    while (left > 0) {
        int32_t n = std::min<int32_t>(left, sizeof g_scratch);
        write_at(t, pos, g_scratch, n);
        pos += n, left -= n;
    }
    t->dirty = true;
    t->live.insert(t->live.begin() + row, record);
    return (int)row;
}

bool zexbase_create(zeXBase *t, const char *name, int rows, int columns, int width) {
    if (!t || !name) return false;
    if (rows < 0 || rows > ZEXBASE_MAX_RECORDS || columns < 0 || columns > ZEXBASE_MAX_FIELDS)
        return false;
    if (width < 0 || (int64_t)columns * (width + 1) + 1 > 65535) return false;
    char fileName[ZEXBASE_MAX_NAME + 1];
    if (!zexbase_table_name(name, fileName, sizeof fileName)) return false;
    zexbase_close(t);

    // A table is read back by seeking: a device or a pipe cannot hold one,
    // and must not be truncated before that is known.
    struct stat st;
    if (stat(fileName, &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    FILE *f = fopen(fileName, "w+b");
    if (!f) return false;
    int32_t hl = 32 * columns + 33, rl = 1 + columns * (width + 1);
    uint8_t *h = t->header;
    memset(h, 0, hl);
    h[0] = 3;
    stamp_date(h);
    put16(h + 8, hl);
    put16(h + 10, rl);
    h[29] = 3;
    for (int i = 0; i < columns; i++) {
        uint8_t *d = h + 32 + 32 * i;
        char fieldName[16];
        snprintf(fieldName, sizeof fieldName, "c%d", i);
        for (int k = 0; fieldName[k] && k < 10; k++) d[k] = (uint8_t)toupper((unsigned char)fieldName[k]);
        d[11] = 'C';
        put16(d + 16, width + 1);
    }
    h[hl - 1] = 0x0D;
    bool ok = fwrite(h, 1, hl, f) == (size_t)hl;
    ok = fclose(f) == 0 && ok;
    if (!ok || !zexbase_open(t, fileName)) return false;

    t->appendOnly = true;
    for (int r = 0; r < rows; r++)
        if (zexbase_append(t) < 0) return false;
    return !t->failed;
}

bool zexbase_table_name(const char *name, char *out, int size) {
    if (!name || !out || size <= 0) return false;
    const char *ext = strstr(name, ".dbf") || strstr(name, ".DBF") ? "" : ".dbf";
    return snprintf(out, size, "%s%s", name, ext) < size;
}

static bool cell_exists(const zeXBase *t, int row, int column) {
    return t && t->open && row >= 0 && (size_t)row < t->live.size() && column >= 0 &&
           column < t->fieldCount;
}

static int64_t cell_pos(const zeXBase *t, int row, int column) {
    return record_pos(t, t->live[row]) + t->fieldOffset[column];
}

const char *zexbase_read_text(zeXBase *t, int row, int column, char *buf, int size) {
    if (!buf || size <= 0) return "";
    buf[0] = 0;
    if (!cell_exists(t, row, column)) return buf;
    int32_t n = std::min(t->fieldLength[column], size - 1);
    if (fseeko(t->file, cell_pos(t, row, column), SEEK_SET) != 0) return buf;
    size_t got = fread(buf, 1, n, t->file);
    buf[got] = 0;
    size_t len = strlen(buf);
    while (len > 0 && buf[len - 1] == ' ') buf[--len] = 0;
    return buf;
}

int32_t zexbase_read_number(zeXBase *t, int row, int column) {
    char buf[1000];
    const char *p = zexbase_read_text(t, row, column, buf, sizeof buf);
    while (*p == ' ' || *p == '\t') p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (v <= INT32_MAX) v = v * 10 + (*p - '0');
    if (negative) v = -v;
    return (int32_t)std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
}

bool zexbase_write_text(zeXBase *t, int row, int column, const char *fmt, ...) {
    if (!t || !t->open || t->readOnly || !fmt) return false;
    if (row < 0 || row >= ZEXBASE_MAX_RECORDS || column < 0 || column >= t->fieldCount) return false;
    char text[ZEXBASE_TEXT_MAX + 1];
    va_list ap;
    va_start(ap, fmt);
    if (vsnprintf(text, sizeof text, fmt, ap) < 0) text[0] = 0;
    va_end(ap);
    while ((size_t)row >= t->live.size())
        if (zexbase_append(t) < 0) return false;

    int32_t len = t->fieldLength[column];
    memset(g_scratch, ' ', len);
    memcpy(g_scratch, text, std::min<size_t>(strlen(text), len));
    t->dirty = true;
    return write_at(t, cell_pos(t, row, column), g_scratch, len);
}

bool zexbase_write_number(zeXBase *t, int row, int column, int32_t value) {
    return zexbase_write_text(t, row, column, "%d", value);
}

int zexbase_rows(const zeXBase *t) { return t && t->open ? (int)t->live.size() : 0; }
int zexbase_columns(const zeXBase *t) { return t && t->open ? t->fieldCount : 0; }
int zexbase_field_length(const zeXBase *t, int column) {
    if (!t || !t->open || column < 0 || column >= t->fieldCount) return 0;
    return t->fieldLength[column];
}
