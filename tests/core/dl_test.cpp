// Libraries opened on first use: all or nothing, once, from any thread, and
// each feature's failure when its library is missing.
#include "zedl.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

#define LIBC_FNS(X) X(length, strlen) X(number, atoi)
struct LibcFns {
    LIBC_FNS(ZEDL_MEMBER)
};
const char *const libc_sonames[] = {"libzeko-no-such-library.so.9", "libc.so.6", nullptr};
const char *const libc_symbols[] = {LIBC_FNS(ZEDL_NAME) nullptr};

TEST(Dl, FirstFoundFileFillsTheTableOnceAndFromEveryThread) {
    LibcFns m = {};
    zeDlLib lib = {"libc", libc_sonames, libc_symbols, &m, sizeof m};
    // Two threads at the first use: both see the whole table.
    bool ok[2] = {};
    std::thread a([&] { ok[0] = zedl_load(&lib); }), b([&] { ok[1] = zedl_load(&lib); });
    a.join(), b.join();
    ASSERT_TRUE(ok[0] && ok[1]) << zedl_error(&lib);
    ASSERT_TRUE(m.length && m.number);
    EXPECT_EQ(3u, m.length("abc"));
    EXPECT_EQ(42, m.number("42"));
    // Later uses keep the first opening.
    void *handle = lib.handle;
    auto length = m.length;
    ASSERT_TRUE(zedl_load(&lib));
    EXPECT_EQ(handle, lib.handle);
    EXPECT_EQ(length, m.length);
}

TEST(Dl, MissingLibraryOrSymbolLeavesTheTableEmpty) {
    LibcFns m = {};
    const char *const nowhere[] = {"libzeko-no-such-library.so.9", nullptr};
    zeDlLib missing = {"libnothing", nowhere, libc_symbols, &m, sizeof m};
    EXPECT_FALSE(zedl_load(&missing));
    EXPECT_NE(nullptr, strstr(zedl_error(&missing), "libnothing not available (libzeko-no-such-library.so.9"))
        << zedl_error(&missing);
    EXPECT_FALSE(zedl_load(&missing)) << "a failure is kept";

    // The first symbol resolves, the second does not: nothing is filled.
    struct {
        decltype(&::strlen) length;
        void (*absent)(void);
    } half = {};
    const char *const names[] = {"strlen", "zeko_no_such_function", nullptr};
    zeDlLib lacking = {"libc", libc_sonames, names, &half, sizeof half};
    EXPECT_FALSE(zedl_load(&lacking));
    EXPECT_EQ(nullptr, (void *)half.length);
    EXPECT_STREQ("libc not available (no symbol zeko_no_such_function)", zedl_error(&lacking));

    // A table that does not match its names is refused, not overrun.
    double small = 0;
    zeDlLib wrong = {"libc", libc_sonames, libc_symbols, &small, sizeof small};
    EXPECT_FALSE(zedl_load(&wrong));
    EXPECT_EQ(0.0, small);
}

TEST(Dl, ForbiddenLibraryFailsUntilAllowedAgain) {
    LibcFns m = {};
    zeDlLib lib = {"libc", libc_sonames, libc_symbols, &m, sizeof m};
    zedl_forbid("libc");
    EXPECT_FALSE(zedl_load(&lib));
    EXPECT_STREQ("libc not available (switched off)", zedl_error(&lib));
    EXPECT_EQ(nullptr, (void *)m.length);
    zedl_forbid(nullptr);
    ASSERT_TRUE(zedl_load(&lib)) << "the refusal was not kept as the library's outcome";
    // Forbidden after its first use: later uses fail, the table stays valid.
    zedl_forbid("libc");
    EXPECT_FALSE(zedl_load(&lib));
    EXPECT_EQ(3u, m.length("abc"));
    zedl_forbid(nullptr);
}

}  // namespace
