// Hostile markup: unterminated tags, a "<" at the end, long runs of tags,
// huge numbers, missing pictures, conversions without arguments, a megabyte
// of text, and 20,000 damaged copies of the sample pages. Nothing may crash,
// overrun or hang, and the page must stay usable afterwards.
#include "page_canvas_test.h"
#include "page_feed.h"
#include "platform/headless/zeheadless.h"
#include "zefont.h"
#include "zeplatform.h"
#include <gtest/gtest.h>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string sample(const char *name) {
    const char *src = getenv("ZE_SOURCE_DIR");
    std::ifstream f(std::string(src ? src : ".") + "/data/pages/" + name);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class Hostile : public PageCanvasTest {
protected:
    void SetUp() override { open_canvas(false); }
    // The page still works: a known text lays out as it should.
    void still_sound() {
        int a16 = zefont_load_set("Arial16");
        zepage_build(&page, "<save=p>Hello");
        EXPECT_EQ(10 + zefont_text_width(a16, "Hello"), page.x);
        EXPECT_EQ(10, zepage_get_int(&page, "p"));
        EXPECT_EQ(&canvas.view, zeview_standard());
    }
};

TEST_F(Hostile, UnterminatedAndEmptyTags) {
    const char *texts[] = {"<", "abc<", "<b", "<font=arial20", "<x=5>text<y=", "<<<<>>>>", "<>", "<=>",
                           "<save=", "<restore=", "<center>no end", "<table=t>no end", "<achar=", "<achar=B",
                           "<char=>", "<fillrect=,,>", "<image=>", "<image_xpm=>", "<memimage=>", "</center>",
                           "<link=>", "<link=a>", "<standardview=>", "< b>", "<b >", ">>>"};
    for (const char *t : texts) {
        zepage_build(&page, t);
        EXPECT_TRUE(page.built) << t;
    }
    // The tag runs to the end of the text and its content is cut at 999.
    zepage_build(&page, ("<save=" + std::string(5000, 'n')).c_str());
    EXPECT_EQ(1, page.nused);
    EXPECT_EQ(44, (int)strlen(page.slots[0].name));
    still_sound();
}

// Time limits here only catch a hang (sanitizer builds are slow); the speed
// of long tag runs is measured in bench/page_bench.cpp.
constexpr double HANG_GUARD_S = 30.0;

TEST_F(Hostile, LongRunsOfTagsStayFast) {
    const char *tags[] = {"<b>", "<center>", "<br>", "<x=5>", "<save=a>", "<restore=zz>", "<font=arial20>",
                          "<big>", "<hline>", "<achar=3x>", "<yinc=-1>", "<view=v,xs=10,ys=10>", "<image=none.bmp>",
                          "<table=t>"};
    for (const char *t : tags) {
        std::string text;
        for (int i = 0; i < 100000; i++) text += t;
        auto start = std::chrono::steady_clock::now();
        zepage_build(&page, text.c_str());
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(s, HANG_GUARD_S) << t;
        EXPECT_TRUE(page.built) << t;
    }
    // Controls stop at the page's limit; points do not.
    std::string views;
    for (int i = 0; i < 3000; i++) views += "<view=v,xs=4,ys=4>";
    zepage_build(&page, views.c_str());
    EXPECT_EQ(ZEPAGE_CONTROLMAX, page.nused);
    std::string points;
    for (int i = 0; i < 50000; i++) points += "<save=p" + std::to_string(i % 977) + "><restore=q" + std::to_string(i) + ">";
    auto start = std::chrono::steady_clock::now();
    zepage_build(&page, points.c_str());
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), HANG_GUARD_S);
    EXPECT_EQ(50000, page.nused);
    still_sound();
}

TEST_F(Hostile, HugeNumbersInEveryPositionTag) {
    const char *tags[] = {"x", "y", "xinc", "xoffset", "yinc", "ydec", "offset", "leftborder", "rightborder",
                          "rightborderpos", "lineoffset"};
    const char *values[] = {"2147483647", "-2147483648", "99999999999999999999", "2147483647%", "-2147483647%"};
    for (const char *t : tags)
        for (const char *v : values) {
            std::string text;
            for (int i = 0; i < 3; i++)
                text += std::string("<") + t + "=" + v + ">word <hline><fillrect=0,0,ff><center>c\n</center>" +
                        "<bullet=1><save=s><xsave=t><restore=s><view=vv,xs=5,ys=5>";
            zepage_build(&page, text.c_str());
            EXPECT_LE(page.x, ZEPAGE_COORDMAX);
            EXPECT_GE(page.y, -ZEPAGE_COORDMAX);
            EXPECT_LE(page.y, ZEPAGE_COORDMAX);
        }
    zepage_build(&page, "<fillrect=2147483647,2147483647,ffffff><x=-2147483647><fillrect=0,0,0>");
    still_sound();
}

TEST_F(Hostile, MissingPicturesFormatsWithoutArgumentsAndAMegabyte) {
    zepage_build(&page, "<image=/no/such/dir/x.bmp><image=><image_xpm=77><memimage=-3><bullet=7>");
    EXPECT_TRUE(page.built);
    zepage_buildf(&page, "%s %s %d %n <x=%d> %s", "one");
    zepage_buildf(&page, "%99999999s|%.99999999d", 5, 6);
    EXPECT_TRUE(page.built);
    std::string mb;
    while (mb.size() < (1 << 20)) mb += "Lorem ipsum dolor sit amet, consectetur adipiscing elit.\n";
    mb += std::string(20000, 'W');   // one run longer than a run may be
    auto start = std::chrono::steady_clock::now();
    int end = zepage_build(&page, mb.c_str());
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), HANG_GUARD_S);
    EXPECT_GT(end, 100000);
    std::string fmt = mb + "%d%%%s";
    zepage_buildf(&page, fmt.c_str(), 1);
    still_sound();
}

TEST_F(Hostile, TwentyThousandDamagedPages) {
    std::string seeds[] = {sample("text.page"), sample("layout.page"), sample("controls.page"),
                           sample("timer_tab.page")};
    for (const std::string &s : seeds) ASSERT_GT(s.size(), 100u);
    // A small canvas: the pages' fills and repaints cost by the pixel.
    canvas.close();
    ASSERT_TRUE(canvas.open(320, 200));
    PageFeed feed(20261207);
    for (int i = 0; i < 20000; i++) {
        const std::string &seed = seeds[i % 4];
        // Mostly pieces of a page: drawing text costs by the character.
        std::string base = i % 16 == 0 ? seed : seed.substr(feed.below((uint32_t)seed.size()), 500);
        std::string text = feed.damage(base);
        zepage_build(&page, text.c_str());
        ASSERT_TRUE(page.built) << i;
    }
    canvas.close();
    ASSERT_TRUE(canvas.open(740, 600));
    still_sound();
}

}  // namespace
