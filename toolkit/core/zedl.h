// Libraries opened on first use (dlopen), so that a program that never plays
// a sound, fetches a URL, imports a JPEG or asks for a system font maps none
// of them and pays neither their start-up nor their memory.
//
// A library's functions are listed once as X(member, symbol) entries; the
// list makes both the struct of function pointers and the symbol names:
//
//   #define CURL_FNS(X) X(easy_init, curl_easy_init) X(easy_cleanup, curl_easy_cleanup)
//   struct CurlFns { CURL_FNS(ZEDL_MEMBER) };
//   CurlFns curl;
//   const char *const curl_sonames[] = {"libcurl.so.4", nullptr};
//   const char *const curl_symbols[] = {CURL_FNS(ZEDL_NAME) nullptr};
//   zeDlLib curl_lib = {"libcurl", curl_sonames, curl_symbols, &curl, sizeof curl};
//   ...
//   if (!zedl_load(&curl_lib)) report(zedl_error(&curl_lib));
//
// The library's own headers still give the types and constants.
#pragma once
#include <atomic>
#include <cstddef>

#define ZEDL_MEMBER(member, symbol) decltype(&::symbol) member;
#define ZEDL_NAME(member, symbol) #symbol,

struct zeDlLib {
    const char *name;             // for messages and zedl_forbid: "libcurl"
    const char *const *sonames;   // tried in order; ends with nullptr
    const char *const *symbols;   // one per pointer of the table, in order; ends with nullptr
    void *table;                  // a struct of function pointers
    size_t table_size;            // its size, checked against the symbols
    // The loader's own; zero at first.
    std::atomic<int> state;       // 0 not tried, 1 loaded, -1 failed (not retried)
    void *handle;
    char error[300];
};

// Opens the library and fills the whole table, or leaves it untouched and
// fails; the outcome is kept, so later calls cost an atomic read. Safe to
// call from several threads at once. Never prints.
bool zedl_load(zeDlLib *lib);
// Why the last zedl_load failed: "libcurl not available (...)".
const char *zedl_error(const zeDlLib *lib);
// Tests: zedl_load of the library with this name fails from now on, as if it
// were not installed (a table already filled stays valid for code still
// running). nullptr allows every library again.
void zedl_forbid(const char *name);
