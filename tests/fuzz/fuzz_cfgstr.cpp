// libFuzzer target for option strings: the bytes are one option text (the
// first two bytes pick the parent size), formatted through "%s", split both
// ways and handed to every family; the whole-string lookups and the colour
// and hot-key parsers get it too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "../support/cfgstr_feed.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecfgstr_geometry.h"
#include "zecolor.h"

static int resolver(const char *name) {
    return strlen(name) % 3 == 0 ? 1000000 + (int)strlen(name) : -1;
}

static void check(bool ok) {
    if (!ok) abort();
}

static void run_families(char **e, int pxs, int pys) {
    zeGeometry g;
    zecfgstr_geometry_reset(&g, pxs, pys);
    zeCommonAttr c = {};
    zecfgstr_common(e, 1, &g, &c);
    zeBtnAttr b = {};
    zecfgstr_btnattr(e, 1, &b);
    zeInputAttr in = {};
    zecfgstr_inputattr(e, 1, &in);
    check(strlen(in.deftext) <= (size_t)ZECFGSTR_ENTRYMAX);
    for (int kind = 1; kind <= 3; kind++) {
        char **items = nullptr;
        int n = zecfgstr_list(e, 1, kind, &items);
        check(zecfgstr_count(items) == n);
        for (int i = 0; i < n; i++) zecfgstr_is_separator(items[i]);
        zecfgstr_split_release(items);
    }
    zeFileDlgAttr da = cfgstr_feed_families(e);
    check(da.nfilters <= ZEFILEDLG_MAXFILTERS);
    zecfgstr_geometry_natural(&g, pxs / 3, pys / 3);
    zecfgstr_geometry_resolve(&g);
    char out[300];
    check(zecfgstr_leftovers(e, 0, out, sizeof out) < (int)sizeof out);
    check(strlen(out) < sizeof out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int quiet = [] {
        zecfgstr_set_font_resolver(resolver);
        return freopen("/dev/null", "w", stdout) ? 1 : 0;
    }();
    (void)quiet;
    if (size < 2) return 0;
    int pxs = data[0] * 13, pys = data[1] * 7;
    std::string s((const char *)data + 2, size - 2);
    s = s.c_str(); // a C text ends at its first NUL

    char *esc = zecfgstr_escape(s.c_str());
    check(esc != nullptr);
    free(esc);

    alignas(char *) char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_parse(buf, "%s", s.c_str());
    int n = zecfgstr_count(e);
    for (int i = 0; i < n; i++) {
        check(strlen(e[i]) <= (size_t)ZECFGSTR_ENTRYMAX);
        check(e[i] >= buf && e[i] + strlen(e[i]) <= buf + ZECFGSTR_SPLITBUF - 1);
    }
    run_families(e, pxs, pys);

    char **heap = zecfgstr_split_alloc(s.c_str());
    run_families(heap, pys, pxs);
    zecfgstr_split_release(heap);

    char text[ZECFGSTR_TEXTMAX + 1];
    check(zecfgstr_format(text, "%s", s.c_str()) <= ZECFGSTR_TEXTMAX);
    zecfgstr_find_flag(s.c_str(), "noclose");
    zecfgstr_find_int(s.c_str(), "maxxs");
    zecfgstr_find_text(s.c_str(), "url", text, sizeof text);
    char small[8];
    zecfgstr_find_text(s.c_str(), "u", small, sizeof small);
    zecfgstr_squeeze(s.c_str(), small, sizeof small);
    int color = 0;
    zecfgstr_color(s.c_str(), &color);
    zecolor_byname(s.c_str(), &color);
    zecfgstr_hotkey(s.c_str());
    zecfgstr_builtin_font(s.c_str());
    zecfgstr_formatbyname(s.c_str());
    zecfgstr_int(s.c_str());
    zecfgstr_real(s.c_str());
    return 0;
}
