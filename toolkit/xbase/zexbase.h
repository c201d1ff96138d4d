// dBASE III tables (version 3, no memo) used as a grid of text cells.
//
// The table works on the open file: every cell read or write is one seek and
// one read or write of exactly that field. Only the header and the index of
// live records are held in memory. Rows and columns are 0-based; a row is an
// index into the live records (deleted records are not rows), a column is a
// field number.
//
// Files from elsewhere are treated as untrusted: a header that does not
// describe a table, or one that does not fit the file, makes open fail; a
// truncated last record reads as far as it goes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

enum {
    ZEXBASE_MAX_HEADER = 10000,            // longer headers are not tables
    ZEXBASE_MAX_RECORDS = 100000000,       // a record count above this is rejected
    ZEXBASE_MAX_FIELDS = (ZEXBASE_MAX_HEADER - 33) / 32,
    ZEXBASE_MAX_NAME = 1000,
    ZEXBASE_TEXT_MAX = 2000,               // longest text one write formats
};

struct zeXBase {
    FILE *file = nullptr;
    bool open = false;
    bool readOnly = false;     // the file could only be opened for reading
    bool appendOnly = false;   // new records go to the end; else deleted ones are reused
    bool dirty = false;        // written since open: close stamps the update date
    bool failed = false;       // a seek or write failed since open
    int32_t headerLength = 0, recordLength = 0;
    uint32_t recordCount = 0;  // records in the file, deleted ones included
    int32_t fieldCount = 0;
    int32_t currentRecord = -1;  // the record number the last append produced
    char fileName[ZEXBASE_MAX_NAME + 1] = "";
    uint8_t header[ZEXBASE_MAX_HEADER];
    int32_t fieldOffset[ZEXBASE_MAX_FIELDS];  // from the record's start (status byte is 0)
    int32_t fieldLength[ZEXBASE_MAX_FIELDS];
    std::vector<uint32_t> live;  // record numbers whose status byte is not '*', in file order

    zeXBase() = default;
    zeXBase(const zeXBase &) = delete;
    zeXBase &operator=(const zeXBase &) = delete;
    ~zeXBase();
};

// Opens a table for reading and writing, or for reading only when that is all
// the file allows. Closes an open table first. False when the file cannot be
// opened or is not a table.
bool zexbase_open(zeXBase *t, const char *name);
// Writes the record count and, after writes, today's date into the header,
// then closes. Nothing happens for a table that is not open. False when any
// write since open did not reach the file.
bool zexbase_close(zeXBase *t);
// Creates (or truncates) a table of rows blank records, columns text fields
// "C0", "C1", ... each width + 1 characters, and leaves it open. ".dbf" is
// added to a name that has neither ".dbf" nor ".DBF" in it.
bool zexbase_create(zeXBase *t, const char *name, int rows, int columns, int width);
// The name create gives the file: name, with ".dbf" added when it has
// neither ".dbf" nor ".DBF" in it. False when it does not fit size.
bool zexbase_table_name(const char *name, char *out, int size);

// The cell's text without trailing spaces, cut to size - 1 characters. An
// empty text for a row or column that does not exist.
const char *zexbase_read_text(zeXBase *t, int row, int column, char *buf, int size);
// The cell read as a signed decimal number: leading blanks, a sign, digits up
// to the first other character. 0 for an empty or non-numeric text.
int32_t zexbase_read_number(zeXBase *t, int row, int column);
// Formats printf-style (up to 2000 characters) into the cell, cut or padded
// with spaces to the field length. Rows past the last are appended first.
// False on a read-only table, a column that does not exist or a failed write.
bool zexbase_write_text(zeXBase *t, int row, int column, const char *fmt, ...)
    __attribute__((format(printf, 4, 5)));
bool zexbase_write_number(zeXBase *t, int row, int column, int32_t value);
// Adds a blank live record (reusing the first deleted one unless the table is
// append-only) and returns its row, or -1.
int zexbase_append(zeXBase *t);

int zexbase_rows(const zeXBase *t);
int zexbase_columns(const zeXBase *t);
int zexbase_field_length(const zeXBase *t, int column);  // 0 for a column that does not exist
