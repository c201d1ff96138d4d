// The table module: exact file layout, cells, rows over live records, the
// update stamp, read-only files, and files that are not tables.
#include "xbase_testutil.h"
#include "zexbase.h"
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>

static std::string cell(zeXBase *t, int row, int column) {
    char buf[70000];
    return zexbase_read_text(t, row, column, buf, sizeof buf);
}

static uint32_t u16(const std::vector<unsigned char> &d, size_t at) { return d[at] | d[at + 1] << 8; }
static uint32_t u32(const std::vector<unsigned char> &d, size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | (uint32_t)d[at + 3] << 24;
}

static void expect_today(const std::vector<unsigned char> &d) {
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    int year = tm.tm_year > 100 ? tm.tm_year - 100 : tm.tm_year;
    EXPECT_EQ(d[1], year);
    EXPECT_EQ(d[2], tm.tm_mon + 1);
    EXPECT_EQ(d[3], tm.tm_mday);
}

TEST(XBaseCreate, SettingsSizedTableHasExactLayout) {
    ScratchDir dir;
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, (dir / "x").c_str(), 30, 20, 150));
    EXPECT_EQ(zexbase_rows(&t), 30);
    EXPECT_EQ(zexbase_columns(&t), 20);
    EXPECT_EQ(zexbase_field_length(&t, 19), 151);
    ASSERT_TRUE(zexbase_close(&t));

    std::vector<unsigned char> d = read_file(dir / "x.dbf");
    ASSERT_EQ(d.size(), 91303u);  // 673 header bytes + 30 records of 3021, no end-of-file byte
    EXPECT_EQ(d[0], 3);
    expect_today(d);
    EXPECT_EQ(u32(d, 4), 30u);
    EXPECT_EQ(u16(d, 8), 673u);
    EXPECT_EQ(u16(d, 10), 3021u);
    for (int i = 12; i < 32; i++) EXPECT_EQ(d[i], i == 29 ? 3 : 0) << "header byte " << i;
    for (int f = 0; f < 20; f++) {
        const unsigned char *desc = &d[32 + 32 * f];
        std::string name = "C" + std::to_string(f);
        EXPECT_EQ(std::string((const char *)desc), name);
        for (size_t k = name.size(); k < 11; k++) EXPECT_EQ(desc[k], 0);
        EXPECT_EQ(desc[11], 'C');
        EXPECT_EQ(desc[16] | desc[17] << 8, 151);
        for (int k : {12, 13, 14, 15}) EXPECT_EQ(desc[k], 0);
        for (int k = 18; k < 32; k++) EXPECT_EQ(desc[k], 0);
    }
    EXPECT_EQ(d[672], 0x0D);
    for (size_t i = 673; i < d.size(); i++)
        if (d[i] != ' ') FAIL() << "record byte " << i << " is " << (int)d[i];
}

TEST(XBaseCreate, WideFieldsKeepTheirFullLength) {
    ScratchDir dir;
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, (dir / "wide").c_str(), 2, 3, 299));
    ASSERT_TRUE(zexbase_close(&t));
    std::vector<unsigned char> d = read_file(dir / "wide.dbf");
    EXPECT_EQ(d[32 + 16], 300 & 0xff);
    EXPECT_EQ(d[32 + 17], 300 >> 8);
    ASSERT_TRUE(zexbase_open(&t, (dir / "wide.dbf").c_str()));
    EXPECT_EQ(zexbase_field_length(&t, 2), 300);
    std::string long_text(300, 'w');
    ASSERT_TRUE(zexbase_write_text(&t, 1, 2, "%s", long_text.c_str()));
    EXPECT_EQ(cell(&t, 1, 2), long_text);
}

TEST(XBaseCreate, ExtensionIsAddedOnlyWithoutDbfAnywhere) {
    ScratchDir dir;
    zeXBase t;
    struct Case {
        const char *given, *made;
    } cases[] = {
        {"plain", "plain.dbf"}, {"name.DBF", "name.DBF"}, {"a.dbf.bak", "a.dbf.bak"}, {"mixed.Dbf", "mixed.Dbf.dbf"}};
    for (const Case &c : cases) {
        ASSERT_TRUE(zexbase_create(&t, (dir / c.given).c_str(), 1, 1, 10)) << c.given;
        zexbase_close(&t);
        EXPECT_EQ(access((dir / c.made).c_str(), F_OK), 0) << c.given;
    }
    EXPECT_NE(access((dir / "name.DBF.dbf").c_str(), F_OK), 0);
}

TEST(XBaseCreate, RefusesTablesTheFormatCannotHold) {
    ScratchDir dir;
    zeXBase t;
    EXPECT_FALSE(zexbase_create(&t, (dir / "a").c_str(), 1, 312, 1));     // header over 10000 bytes
    EXPECT_FALSE(zexbase_create(&t, (dir / "b").c_str(), 1, 2, 40000));   // record over 65535 bytes
    EXPECT_FALSE(zexbase_create(&t, (dir / "c").c_str(), -1, 2, 10));
    EXPECT_FALSE(zexbase_create(&t, (dir / "nodir/d").c_str(), 1, 2, 10));
    EXPECT_FALSE(t.open);
}

TEST(XBaseCells, TextsAndNumbersReadBack) {
    ScratchDir dir;
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, (dir / "x").c_str(), 30, 20, 150));
    ASSERT_TRUE(zexbase_write_text(&t, 6, 1, "%06x", 0xff0000));
    EXPECT_EQ(cell(&t, 6, 1), "ff0000");
    EXPECT_EQ(zexbase_read_number(&t, 6, 1), 0);

    struct Case {
        const char *text;
        int32_t number;
    } numbers[] = {{"-42", -42},   {"  +17abc", 17},           {"", 0},         {"12 34", 12},
                   {"- 5", 0},     {"99999999999", INT32_MAX}, {"-2147483648", INT32_MIN},
                   {"\t7", 7}};
    for (const Case &c : numbers) {
        ASSERT_TRUE(zexbase_write_text(&t, 2, 3, "%s", c.text));
        EXPECT_EQ(zexbase_read_number(&t, 2, 3), c.number) << "'" << c.text << "'";
    }
    ASSERT_TRUE(zexbase_write_number(&t, 2, 4, -123456));
    EXPECT_EQ(cell(&t, 2, 4), "-123456");

    // Trailing blanks go, leading ones stay; a shorter write leaves no tail.
    ASSERT_TRUE(zexbase_write_text(&t, 0, 0, "  key with blanks   "));
    EXPECT_EQ(cell(&t, 0, 0), "  key with blanks");
    ASSERT_TRUE(zexbase_write_text(&t, 0, 0, "k"));
    EXPECT_EQ(cell(&t, 0, 0), "k");

    // 200 characters in a 151-character field keep the first 151, and the
    // neighbouring cells are untouched.
    ASSERT_TRUE(zexbase_write_text(&t, 5, 0, "left"));
    ASSERT_TRUE(zexbase_write_text(&t, 5, 2, "right"));
    std::string text;
    for (int i = 0; i < 200; i++) text += (char)('a' + i % 26);
    ASSERT_TRUE(zexbase_write_text(&t, 5, 1, "%s", text.c_str()));
    EXPECT_EQ(cell(&t, 5, 1), text.substr(0, 151));
    EXPECT_EQ(cell(&t, 5, 0), "left");
    EXPECT_EQ(cell(&t, 5, 2), "right");

    // A small buffer cuts; cells that do not exist read empty.
    char small[5];
    EXPECT_STREQ(zexbase_read_text(&t, 5, 1, small, sizeof small), "abcd");
    EXPECT_EQ(cell(&t, 30, 0), "");
    EXPECT_EQ(cell(&t, -1, 0), "");
    EXPECT_EQ(cell(&t, 0, 20), "");
    EXPECT_FALSE(zexbase_write_text(&t, 0, 20, "x"));
    EXPECT_FALSE(zexbase_write_text(&t, -1, 0, "x"));
    ASSERT_TRUE(zexbase_close(&t));

    ASSERT_TRUE(zexbase_open(&t, (dir / "x.dbf").c_str()));
    EXPECT_EQ(cell(&t, 6, 1), "ff0000");
    EXPECT_EQ(cell(&t, 5, 1), text.substr(0, 151));
}

TEST(XBaseRows, WritingPastTheLastRowAppends) {
    ScratchDir dir;
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, (dir / "x").c_str(), 20, 2, 10));
    ASSERT_TRUE(zexbase_write_text(&t, 25, 1, "far"));
    EXPECT_EQ(zexbase_rows(&t), 26);
    for (int r = 20; r < 25; r++) EXPECT_EQ(cell(&t, r, 1), "");
    EXPECT_EQ(cell(&t, 25, 1), "far");
    ASSERT_TRUE(zexbase_close(&t));

    std::vector<unsigned char> d = read_file(dir / "x.dbf");
    EXPECT_EQ(u32(d, 4), 26u);
    EXPECT_EQ(d.size(), 32u * 2 + 33 + 26u * 23);
    ASSERT_TRUE(zexbase_open(&t, (dir / "x.dbf").c_str()));
    EXPECT_EQ(zexbase_rows(&t), 26);
    EXPECT_EQ(cell(&t, 25, 1), "far");
}

// Marks record n deleted in the file.
static void delete_record(const std::string &file, int n) {
    std::vector<unsigned char> d = read_file(file);
    d[u16(d, 8) + n * u16(d, 10)] = '*';
    write_file(file, d);
}

TEST(XBaseRows, DeletedRecordsAreNotRowsAndGetReused) {
    ScratchDir dir;
    std::string file = dir / "x.dbf";
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, file.c_str(), 5, 2, 10));
    for (int r = 0; r < 5; r++) zexbase_write_text(&t, r, 0, "r%d", r);
    ASSERT_TRUE(zexbase_close(&t));
    delete_record(file, 1);

    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_FALSE(t.appendOnly);
    EXPECT_EQ(zexbase_rows(&t), 4);
    EXPECT_EQ(cell(&t, 1, 0), "r2");
    EXPECT_EQ(cell(&t, 3, 0), "r4");
    // The first deleted record comes back as a blank row in its place.
    EXPECT_EQ(zexbase_append(&t), 1);
    EXPECT_EQ(t.currentRecord, 1);
    EXPECT_EQ(cell(&t, 1, 0), "");
    EXPECT_EQ(cell(&t, 2, 0), "r2");
    ASSERT_TRUE(zexbase_close(&t));
    std::vector<unsigned char> d = read_file(file);
    EXPECT_EQ(u32(d, 4), 5u);
    EXPECT_EQ(d.size(), 97u + 5 * 23);

    // Append-only tables always grow at the end.
    delete_record(file, 3);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    t.appendOnly = true;
    EXPECT_EQ(zexbase_append(&t), 4);
    EXPECT_EQ(t.currentRecord, 5);
    EXPECT_EQ(zexbase_rows(&t), 5);
    ASSERT_TRUE(zexbase_close(&t));
    EXPECT_EQ(u32(read_file(file), 4), 6u);
}

TEST(XBaseClose, OnlyWritesStampTheDate) {
    ScratchDir dir;
    std::string file = dir / "x.dbf";
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, file.c_str(), 3, 2, 10));
    ASSERT_TRUE(zexbase_close(&t));
    std::vector<unsigned char> d = read_file(file);
    d[1] = 99, d[2] = 1, d[3] = 2;
    write_file(file, d);

    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_FALSE(t.dirty);
    cell(&t, 0, 0);
    ASSERT_TRUE(zexbase_close(&t));
    EXPECT_EQ(read_file(file), d);

    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    ASSERT_TRUE(zexbase_write_text(&t, 0, 0, "x"));
    EXPECT_TRUE(t.dirty);
    ASSERT_TRUE(zexbase_close(&t));
    expect_today(read_file(file));
    EXPECT_TRUE(zexbase_close(&t));  // closing a closed table does nothing
}

TEST(XBaseOpen, ReadOnlyFileReadsButNeverChanges) {
    ScratchDir dir;
    std::string file = dir / "ro.dbf";
    zeXBase t;
    ASSERT_TRUE(zexbase_create(&t, file.c_str(), 3, 2, 10));
    zexbase_write_text(&t, 1, 1, "kept");
    ASSERT_TRUE(zexbase_close(&t));
    chmod(file.c_str(), 0444);
    std::vector<unsigned char> before = read_file(file);

    ObeyFilePermissions obey;
    if (!obey.works()) GTEST_SKIP() << "cannot drop the file-permission override";
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_TRUE(t.readOnly);
    EXPECT_EQ(cell(&t, 1, 1), "kept");
    EXPECT_FALSE(zexbase_write_text(&t, 1, 1, "changed"));
    EXPECT_FALSE(zexbase_write_text(&t, 7, 1, "appended"));
    EXPECT_EQ(zexbase_append(&t), -1);
    EXPECT_EQ(zexbase_rows(&t), 3);
    EXPECT_EQ(cell(&t, 1, 1), "kept");
    zexbase_close(&t);
    EXPECT_EQ(read_file(file), before);
}

// A valid 3-row, 2-field table's bytes to break in different ways.
static std::vector<unsigned char> good_table(const ScratchDir &dir) {
    zeXBase t;
    std::string file = dir / "good.dbf";
    zexbase_create(&t, file.c_str(), 3, 2, 10);
    for (int r = 0; r < 3; r++) zexbase_write_text(&t, r, 0, "row%d", r), zexbase_write_text(&t, r, 1, "value%d", r);
    zexbase_close(&t);
    return read_file(file);
}

static void put(std::vector<unsigned char> &d, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) d[at + i] = v >> (8 * i) & 0xff;
}

TEST(XBaseOpen, RejectsWhatIsNotATable) {
    ScratchDir dir;
    const std::vector<unsigned char> good = good_table(dir);
    ASSERT_EQ(good.size(), 97u + 3 * 23);
    struct Case {
        const char *what;
        void (*breakIt)(std::vector<unsigned char> &d);
    } cases[] = {
        {"header of 400 fields", [](auto &d) { put(d, 8, 32 * 400 + 33, 2); }},
        {"header length 10001", [](auto &d) { put(d, 8, 10001, 2); }},
        {"header length 0xffff", [](auto &d) { put(d, 8, 0xffff, 2); }},
        {"header length 20", [](auto &d) { put(d, 8, 20, 2); }},
        {"record count 100000001", [](auto &d) { put(d, 4, 100000001, 4); }},
        {"record count 0xffffffff", [](auto &d) { put(d, 4, 0xffffffff, 4); }},
        {"record length 0", [](auto &d) { put(d, 10, 0, 2); }},
        {"fields longer than the record", [](auto &d) { put(d, 10, 12, 2); }},
        {"field length 0xffff", [](auto &d) { put(d, 32 + 16, 0xffff, 2); }},
        {"file shorter than its header", [](auto &d) { d.resize(80); }},
        {"header only half there", [](auto &d) { put(d, 8, 9000, 2); }},
        {"empty file", [](auto &d) { d.clear(); }},
        {"five bytes", [](auto &d) { d.resize(5); }},
    };
    for (const Case &c : cases) {
        std::vector<unsigned char> d = good;
        c.breakIt(d);
        std::string file = dir / "bad.dbf";
        write_file(file, d);
        zeXBase t;
        EXPECT_FALSE(zexbase_open(&t, file.c_str())) << c.what;
        EXPECT_FALSE(t.open) << c.what;
        EXPECT_EQ(t.file, nullptr) << c.what;
        EXPECT_EQ(zexbase_rows(&t), 0) << c.what;
        EXPECT_EQ(cell(&t, 0, 0), "") << c.what;
    }

    zeXBase t;
    EXPECT_FALSE(zexbase_open(&t, (dir / "missing.dbf").c_str()));
    EXPECT_FALSE(zexbase_open(&t, dir.path.c_str()));  // a directory
    std::string fifo = dir / "fifo.dbf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(zexbase_open(&t, fifo.c_str()));  // and does not wait for a writer
    EXPECT_FALSE(zexbase_open(&t, std::string(1200, 'n').c_str()));
}

TEST(XBaseOpen, TruncatedFilesReadAsFarAsTheyGo) {
    ScratchDir dir;
    const std::vector<unsigned char> good = good_table(dir);
    std::string file = dir / "cut.dbf";
    zeXBase t;

    // Cut inside the last record's second field: its first field is whole.
    std::vector<unsigned char> d(good.begin(), good.begin() + 97 + 2 * 23 + 1 + 11 + 3);
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_rows(&t), 3);
    EXPECT_EQ(cell(&t, 2, 0), "row2");
    EXPECT_EQ(cell(&t, 2, 1), "val");
    EXPECT_EQ(zexbase_read_number(&t, 2, 1), 0);
    zexbase_close(&t);

    // A count far beyond the records present counts what is there.
    d = good;
    put(d, 4, 100000000, 4);
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_rows(&t), 3);
    EXPECT_EQ(cell(&t, 1, 1), "value1");
    zexbase_close(&t);

    // An end-of-file byte from another writer is no record.
    d = good;
    d.push_back(0x1A);
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_rows(&t), 3);
}

TEST(XBaseOpen, ForeignFieldTypesAndTerminators) {
    ScratchDir dir;
    std::vector<unsigned char> d = good_table(dir);
    std::string file = dir / "types.dbf";
    zeXBase t;

    // An 'N' field's length is one byte: 11 of 0x000b; the record still fits.
    d[32 + 11] = 'N';
    d[32 + 17] = 0x7f;
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_field_length(&t, 0), 11);
    EXPECT_EQ(cell(&t, 0, 0), "row0");
    zexbase_close(&t);

    // A field of unknown type has no bytes; the next starts where it would.
    d = good_table(dir);
    d[32 + 11] = 'M';
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_field_length(&t, 0), 0);
    EXPECT_EQ(cell(&t, 0, 0), "");
    EXPECT_EQ(cell(&t, 0, 1), "row0");  // read from the first field's bytes
    zexbase_close(&t);

    // The terminator ends the field list even where the header is longer.
    d = good_table(dir);
    d[64] = 0x0D;
    write_file(file, d);
    ASSERT_TRUE(zexbase_open(&t, file.c_str()));
    EXPECT_EQ(zexbase_columns(&t), 1);
    EXPECT_EQ(cell(&t, 2, 0), "row2");
}
