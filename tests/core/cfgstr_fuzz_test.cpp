// Malformed option strings: a seeded mutator feeds broken variants of real
// option strings through formatting, both split variants and every family.
// Nothing may crash, overflow or break the limits.
#include "cfgstr_feed.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecfgstr_geometry.h"
#include "zecolor.h"
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>

namespace {

const char *const seeds[] = {
    "OK,x=50%,y=10,xs=80%,default,hotkey=F5",
    "QUIMO,x=50%,y=50%,xs=740,ys=600,bgcolor=white,,noclose,noquit,//norepaint,//noredraw,modal",
    "l,entries=One|Two|Three,font=9x15bold,border=3,textcolor=0xff8000,maxlen=20",
    ",default=hello world,align=right,password,minxs=10,maxys=40,XS = 50 %",
    "load=pic.pcx,palette,colors=300,pxs=640,pys=480,x=10pix,width=20percent",
    "title=Open,filter=*.txt|Text,dir=/tmp,save,dpi=300,a4,landscape,leftborder=1.5",
    "t,scrollback=200,logfile=x.log,cursor=on,tabs=a|b,autonumber=3,min=-4,def=2.5,showpos",
};

// Characters that stress the parsers: separators, units, signs, blanks.
const char alphabet[] = ",,,===%%%||| \t-+.0123456789xXsSyY#>pPfFaA\xe4";

std::string mutate(std::mt19937 &rng, std::string s) {
    std::uniform_int_distribution<int> op(0, 6), len(1, 40);
    int steps = 1 + rng() % 6;
    for (int k = 0; k < steps; k++) {
        size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (op(rng)) {
        case 0: s.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]); break;
        case 1: if (at < s.size()) s.erase(at, len(rng)); break;
        case 2: s.insert(at, std::string(len(rng) * 20, '9')); break;  // huge number
        case 3: s.insert(at, std::string(len(rng) * 25, 'q')); break;  // over-long entry
        case 4: if (!s.empty()) s.insert(at, s.substr(rng() % s.size(), len(rng))); break;
        case 5: s.insert(at, seeds[rng() % (sizeof seeds / sizeof *seeds)]); break;
        case 6: if (at < s.size()) s[at] = alphabet[rng() % (sizeof alphabet - 1)]; break;
        }
    }
    return s;
}

// After escaping, every "%" that is not half of a "%%" pair starts with a
// character printf may treat as a conversion.
void expect_escaped(const std::string &in) {
    char *esc = zecfgstr_escape(in.c_str());
    ASSERT_NE(esc, nullptr);
    for (const char *p = esc; *p; p++) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            p++;
            continue;
        }
        unsigned char c = (unsigned char)p[1];
        EXPECT_TRUE(c >= '0' && c != '>' && c <= 127) << in;
    }
    free(esc);
}

int resolver(const char *name) {
    return strlen(name) % 3 == 0 ? 1000000 + (int)strlen(name) : -1;
}

void run_families(char **e, std::mt19937 &rng) {
    zeGeometry g;
    zecfgstr_geometry_reset(&g, rng() % 3000, rng() % 3000);
    zeCommonAttr c = {};
    zecfgstr_common(e, 1, &g, &c);
    zeBtnAttr b = {};
    zecfgstr_btnattr(e, 1, &b);
    zeInputAttr in = {};
    zecfgstr_inputattr(e, 1, &in);
    EXPECT_LE(strlen(in.deftext), (size_t)ZECFGSTR_ENTRYMAX);
    char **items = nullptr;
    int n = zecfgstr_list(e, 1, 1 + rng() % 3, &items);
    EXPECT_EQ(zecfgstr_count(items), n);
    zecfgstr_split_release(items);
    zeFileDlgAttr da = cfgstr_feed_families(e);
    EXPECT_LE(da.nfilters, ZEFILEDLG_MAXFILTERS);
    zecfgstr_geometry_resolve(&g);
    EXPECT_LE(g.rxs, g.parentxs > g.minxs ? g.parentxs : g.minxs);
    char out[300];
    EXPECT_LT(zecfgstr_leftovers(e, rng() % 5, out, sizeof out), (int)sizeof out);
}

} // namespace

TEST(CfgstrFuzz, MutatedOptionStringsStayWithinLimits) {
    std::mt19937 rng(20261207);
    zecfgstr_set_font_resolver(resolver);
    testing::internal::CaptureStdout(); // the parsers' messages
    for (int round = 0; round < 3000; round++) {
        std::string s = mutate(rng, seeds[round % (sizeof seeds / sizeof *seeds)]);
        expect_escaped(s);

        alignas(char *) char buf[ZECFGSTR_SPLITBUF];
        char **e = zecfgstr_parse(buf, "%s", s.c_str());
        int n = zecfgstr_count(e);
        for (int i = 0; i < n; i++) {
            ASSERT_LE(strlen(e[i]), (size_t)ZECFGSTR_ENTRYMAX);
            ASSERT_GE(e[i], buf);
            ASSERT_LE(e[i] + strlen(e[i]), buf + ZECFGSTR_SPLITBUF - 1);
        }
        run_families(e, rng);

        char **heap = zecfgstr_split_alloc(s.c_str());
        run_families(heap, rng);
        zecfgstr_split_release(heap);

        char text[ZECFGSTR_TEXTMAX + 1];
        zecfgstr_find_int(s.c_str(), "maxxs");
        zecfgstr_find_text(s.c_str(), "url", text, sizeof text);
        int color = 0;
        zecfgstr_color(s.c_str(), &color);
    }
    testing::internal::GetCapturedStdout();
    zecfgstr_set_font_resolver(nullptr);
}
