// Option strings: how a toolkit object's description is escaped, formatted,
// split into entries and matched.
//
// Every object is created from a printf-style format plus arguments, e.g.
// "%s,x=50%,y=10,xs=80%,default". After formatting, the text is cut at every
// comma: entry 0 is the object's text, entries from 1 on are options. Each
// option family (geometry, colours, font, button attributes, ... see
// zecfgstr_geometry.h, zecolor.h, zecfgstr_families.h) walks the entries from
// a start index, compares a blank-free copy of each entry case-insensitively
// with its keys and consumes what it recognises by emptying the entry, so
// that every entry is taken by one family only. Entries nobody recognises
// (such as "//noredraw") are ignored; zecfgstr_leftovers joins them again.
//
// Flags match the whole entry ("modal"); keys with values ("bgcolor=") match
// a prefix. Values come from the blank-free copy unless a family says "raw".
// The later entry wins, except in the font, border and image families.
//
// Do not give the creators' variadic functions a printf format attribute:
// a literal "x=50%," is valid here and would only draw warnings.
#pragma once
#include <cstdarg>
#include <cstddef>

enum {
    ZECFGSTR_TEXTMAX = 999,   // characters of a formatted option string
    ZECFGSTR_ENTRYMAX = 499,  // characters of one entry
    ZECFGSTR_SPLITBUF = 2000, // bytes of the caller's buffer for zecfgstr_split
};

// ---- escape, format, split ------------------------------------------------

// Copy of fmt in which every "%" followed by a character below '0', by '>',
// by a byte above 127 or by the end of the text is doubled, so "x=50%," keeps
// its percent sign while "%d", "%s", "%06x" stay conversions. malloc'ed;
// release with free(). NULL fmt gives "".
char *zecfgstr_escape(const char *fmt);

// Escapes fmt, formats it with the arguments into out (ZECFGSTR_TEXTMAX + 1
// bytes; longer results are cut) and returns the length written.
int zecfgstr_vformat(char *out, const char *fmt, va_list ap);
int zecfgstr_format(char *out, const char *fmt, ...);

// Cuts text at every comma into buf (ZECFGSTR_SPLITBUF bytes: the pointer
// array followed by the texts) and returns the entry vector, ended by a NULL
// entry. An empty text gives a vector with no entries. Text beyond
// ZECFGSTR_TEXTMAX characters and entry text beyond ZECFGSTR_ENTRYMAX are cut;
// entries that do not fit the buffer are dropped with a message.
char **zecfgstr_split(char *buf, const char *text);
// The same with every entry (and the vector) on the heap.
char **zecfgstr_split_alloc(const char *text);
void zecfgstr_split_release(char **entries);

// Escape + format + split in one step (the creators' usual start).
char **zecfgstr_vparse(char *buf, const char *fmt, va_list ap);
char **zecfgstr_parse(char *buf, const char *fmt, ...);
char **zecfgstr_vparse_alloc(const char *fmt, va_list ap);

// Number of entries before the NULL entry (0 for NULL).
int zecfgstr_count(char **entries);

// Joins the non-empty entries from start on, each preceded by ",", into out
// (outsize bytes, cut to fit). Returns the length. These are the options no
// family consumed; windows pass them on to the view they create.
int zecfgstr_leftovers(char **entries, int start, char *out, int outsize);

// ---- matching helpers -----------------------------------------------------

// Copies entry without blanks and tabs into out (outsize bytes, cut to fit).
void zecfgstr_squeeze(const char *entry, char *out, int outsize);
// Case-insensitive: the text after key when s begins with key, else NULL.
const char *zecfgstr_key(const char *s, const char *key);
// Tries the "|"-separated keys on s in order (a key ending in "=" matches as
// a prefix, any other the whole of s); the text after the first that
// matches ("" for a whole match) or NULL.
const char *zecfgstr_match_keys(const char *s, const char *keys);
// Case-insensitive equality.
bool zecfgstr_is(const char *s, const char *word);
// Consumes an entry (empties it).
inline void zecfgstr_consume(char *entry) {
    if (entry) entry[0] = 0;
}

// Decimal integer from the start of s (optional sign; trailing text ignored;
// no digits give 0; saturates at +-2147483647).
int zecfgstr_int(const char *s);
// Real number from the start of s (sign, digits, optional "." fraction;
// no exponent); no digits give 0; magnitude capped at 1e9.
double zecfgstr_real(const char *s);
// The text after the first "=" of entry, or entry itself when it has none.
const char *zecfgstr_value(const char *entry);

// ---- table-driven matcher -------------------------------------------------

// Kinds of a key table row.
enum {
    ZECFG_ON = 1, // bool field := true
    ZECFG_OFF,    // bool field := false
    ZECFG_SET,    // int field := ival
    ZECFG_INT,    // int field := integer value
    ZECFG_REAL,   // double field := real value
    ZECFG_COLOR,  // int field := colour value (unchanged when not a colour)
    ZECFG_TEXT,   // char[ival] field := value from the blank-free copy
    ZECFG_RAW,    // char[ival] field := raw text after the first "="
    ZECFG_CALL,   // call(record, value from copy, raw entry)
    ZECFG_IGNORE, // known key without effect: consumed only
};
// Row options.
enum {
    ZECFG_PREFIX = 1, // match a key without "=" as a prefix too
};

// One row: synonyms separated by "|"; a key that ends in "=" matches as a
// prefix and its value follows it, any other key must equal the whole entry
// (unless ZECFG_PREFIX). Tables end with a row whose keys are NULL.
struct zeCfgKey {
    const char *keys;
    int kind;
    size_t offset; // offsetof(record, field)
    int ival;      // value for ZECFG_SET, capacity for ZECFG_TEXT/RAW
    void (*call)(void *record, const char *value, const char *raw);
    int options;
};

// Walks the entries from start; for each non-empty entry the first matching
// row (in table order) is applied to record and the entry is consumed.
// firstwins: a field already set by an earlier entry is not set again (the
// later entry is still consumed). Returns the number of entries consumed.
int zecfgstr_match(char **entries, int start, const zeCfgKey *table, void *record,
                   bool firstwins = false);

// ---- generic lookups ------------------------------------------------------

// Sets *flag and consumes the entry when an entry equals word. Returns
// whether one did.
bool zecfgstr_flag(char **entries, int start, const char *word, bool *flag);
// Right alignment: "right", "align=right", "rightaligned".
bool zecfgstr_rightalign(char **entries, int start, bool *right);

// Whole-string lookups on a format text before formatting (window creation):
// case-insensitive substring search.
bool zecfgstr_find_flag(const char *text, const char *key);
// The integer after "key=" anywhere in text; 0 when absent.
int zecfgstr_find_int(const char *text, const char *key);
// The lower-cased text after the first occurrence of key (one "=" after it
// skipped) up to the next comma, into out. False (out = "") when absent.
bool zecfgstr_find_text(const char *text, const char *key, char *out, int outsize);
