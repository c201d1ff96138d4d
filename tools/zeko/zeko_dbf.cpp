// zeko dbf: look into and edit dBASE tables from the shell.
//   dump FILE                       rows=N fields=M, then one TAB-separated line per row
//   create FILE ROWS COLUMNS WIDTH  a blank table of text fields
//   set FILE ROW COLUMN TEXT        write one cell (rows past the end are appended)
#include "zeko.h"
#include "zexbase.h"
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

// What a single "set" may add: a typo in ROW should not fill the disk,
// however long the table's records are.
static const long MAX_GROWTH_ROWS = 100000;
static const long MAX_GROWTH_BYTES = 64L << 20;

static bool parse_int(const char *s, long lo, long hi, long *out) {
    char *end;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (errno || end == s || *end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// Control characters would break the one-line-per-row form.
static void print_cell(const char *s) {
    for (; *s; s++) {
        if (*s == '\t') fputs("\\t", stdout);
        else if (*s == '\n') fputs("\\n", stdout);
        else if (*s == '\r') fputs("\\r", stdout);
        else putchar(*s);
    }
}

static int dbf_dump(int argc, char **argv) {
    if (argc != 1) return zeko_fail("usage: zeko dbf dump FILE");
    zeXBase t;
    if (!zexbase_open(&t, argv[0])) return zeko_fail("dbf: cannot open %s as a table", argv[0]);
    int rows = zexbase_rows(&t), columns = zexbase_columns(&t);
    printf("rows=%d fields=%d\n", rows, columns);
    static char cell[65536];
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            if (c) putchar('\t');
            print_cell(zexbase_read_text(&t, r, c, cell, sizeof cell));
        }
        putchar('\n');
    }
    zexbase_close(&t);
    return fflush(stdout) == 0 ? 0 : zeko_fail("dbf: cannot write the dump");
}

static int dbf_create(int argc, char **argv) {
    if (argc != 4) return zeko_fail("usage: zeko dbf create FILE ROWS COLUMNS WIDTH");
    long rows, columns, width;
    if (!parse_int(argv[1], 0, ZEXBASE_MAX_RECORDS, &rows)) return zeko_fail("dbf: bad ROWS: %s", argv[1]);
    if (!parse_int(argv[2], 0, ZEXBASE_MAX_FIELDS, &columns))
        return zeko_fail("dbf: bad COLUMNS: %s (0 to %d)", argv[2], ZEXBASE_MAX_FIELDS);
    if (!parse_int(argv[3], 0, 65534, &width)) return zeko_fail("dbf: bad WIDTH: %s", argv[3]);
    // The table module writes "NAME.dbf" beside a NAME without the extension:
    // a device or pipe of that name means the user meant something else.
    struct stat st;
    if (stat(argv[0], &st) == 0 && !S_ISREG(st.st_mode)) return zeko_fail("dbf: %s is not a regular file", argv[0]);
    zeXBase t;
    if (!zexbase_create(&t, argv[0], (int)rows, (int)columns, (int)width))
        return zeko_fail("dbf: cannot create %s", argv[0]);
    return zexbase_close(&t) ? 0 : zeko_fail("dbf: cannot write %s", argv[0]);
}

static int dbf_set(int argc, char **argv) {
    if (argc != 4) return zeko_fail("usage: zeko dbf set FILE ROW COLUMN TEXT");
    zeXBase t;
    if (!zexbase_open(&t, argv[0])) return zeko_fail("dbf: cannot open %s as a table", argv[0]);
    if (t.readOnly) return zeko_fail("dbf: %s is read-only", argv[0]);
    long row, column;
    long growth = MAX_GROWTH_BYTES / t.recordLength;
    if (growth > MAX_GROWTH_ROWS) growth = MAX_GROWTH_ROWS;
    if (growth < 1) growth = 1;
    if (!parse_int(argv[1], 0, zexbase_rows(&t) + growth - 1, &row))
        return zeko_fail("dbf: bad ROW: %s", argv[1]);
    if (!parse_int(argv[2], 0, zexbase_columns(&t) - 1, &column))
        return zeko_fail("dbf: bad COLUMN: %s (the table has %d)", argv[2], zexbase_columns(&t));
    bool ok = zexbase_write_text(&t, (int)row, (int)column, "%s", argv[3]);
    ok = zexbase_close(&t) && ok;
    return ok ? 0 : zeko_fail("dbf: cannot write %s", argv[0]);
}

struct DbfCommand {
    const char *name;
    int (*run)(int argc, char **argv);
};

static const DbfCommand dbf_commands[] = {
    {"dump", dbf_dump},
    {"create", dbf_create},
    {"set", dbf_set},
};

int zeko_dbf(int argc, char **argv) {
    if (argc >= 1)
        for (const DbfCommand &c : dbf_commands)
            if (strcmp(argv[0], c.name) == 0) return c.run(argc - 1, argv + 1);
    return zeko_fail("usage: zeko dbf dump FILE | create FILE ROWS COLUMNS WIDTH | set FILE ROW COLUMN TEXT");
}
