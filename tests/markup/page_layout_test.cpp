// Markup pages on an off-screen canvas: word flow and wrapping, the cursor
// and border tags, named points, fonts and colours by their pixels, centred
// text, pictures, formatted builds, and rebuilding.
#include "page_canvas.h"
#include "platform/headless/zeheadless.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zegout.h"
#include "zeimage.h"
#include "zeplatform.h"
#include "zescheme.h"
#include <gtest/gtest.h>
#include <malloc.h>
#include <string>

namespace {

class Page : public ::testing::Test {
protected:
    PageCanvas canvas;
    zeGUIScript page;
    int a16 = -1, a16b = -1;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zeview_install();
        open(740, 600);
        a16 = zefont_load_set("Arial16"), a16b = zefont_load_set("Arial16b");
    }
    void TearDown() override {
        zepage_destroy(&page, 0);
        canvas.close();
    }
    void open(int w, int h) {
        ASSERT_TRUE(canvas.open(w, h));
    }
    int build(const std::string &text) { return zepage_build(&page, text.c_str()); }
    int w16(const char *s) { return zefont_text_width(a16, s); }
    // The ink (non-white pixels) of a rectangle: its bounding box, false when blank.
    bool ink(int x, int y, int w, int h, int box[4]) {
        box[0] = box[1] = 1 << 30, box[2] = box[3] = -1;
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++)
                if (canvas.pixel(i, j) != 0xffffff) {
                    box[0] = std::min(box[0], i), box[1] = std::min(box[1], j);
                    box[2] = std::max(box[2], i), box[3] = std::max(box[3], j);
                }
        return box[2] >= 0;
    }
};

TEST_F(Page, RunsEndAfterBreakCharactersAndEachBlankCounts) {
    // "Hello," and " " and "world": three runs from the left border at 10.
    build("Hello, world");
    EXPECT_EQ(10 + w16("Hello,") + 4 + w16("world"), page.x);
    EXPECT_EQ(10, page.y);
    build("Hello,  world");
    EXPECT_EQ(10 + w16("Hello,") + 8 + w16("world"), page.x);
    // A line feed ends its line after the run; the carriage return before it is dropped.
    build("one\r\ntwo");
    EXPECT_EQ(10 + w16("two"), page.x);
    EXPECT_EQ(10 + 16, page.y);
    int box[4];
    ASSERT_TRUE(ink(10, 26, 100, 16, box));
    EXPECT_LE(box[0], 12);
    // The end y is the cursor's y; first y the line of the first run.
    EXPECT_EQ(56, build("<y=40>a\nb"));
    EXPECT_EQ(72, build("<y=40>a\nb\n"));
    EXPECT_EQ(40, page.firsty);
}

TEST_F(Page, RunsWrapBeforeTheRightLimitAndLongWordsOverhang) {
    // Right limit 740 - 20 = 720. A run that would cross it starts the next line.
    build("<x=700>Hello");
    EXPECT_EQ(10 + 16, page.y);
    EXPECT_EQ(10 + w16("Hello"), page.x);
    build("<x=" + std::to_string(720 - w16("Hello")) + ">Hello");   // ends at 720: fits exactly
    EXPECT_EQ(10, page.y);
    EXPECT_EQ(719, page.x);   // reached the limit: pulled back
    // A word wider than the line is drawn from the left border past the limit.
    std::string word(200, 'W');
    build("<x=100>" + word + " next");
    EXPECT_EQ(10 + 2 * 16, page.y);
    EXPECT_EQ(10 + w16("next"), page.x);
    int box[4];
    ASSERT_TRUE(ink(0, 26, 740, 16, box));
    EXPECT_LE(box[0], 12);
    EXPECT_EQ(739, box[2]);
    // A line of blanks never wraps: the cursor waits at the limit.
    build(std::string(400, ' '));
    EXPECT_EQ(10, page.y);
    EXPECT_EQ(719, page.x);
    build(std::string(400, ' ') + "x");
    EXPECT_EQ(26, page.y);
}

TEST_F(Page, TheRightMarginHoldsAtEveryWidth) {
    std::string text;
    for (int i = 0; i < 60; i++) text += "words of several lengths, lorem ipsum dolor sit amet. ";
    for (int width = 100; width <= 2000; width += 95) {
        canvas.close();
        open(width, 1400);
        int end = build(text);
        int box[4];
        ASSERT_TRUE(ink(0, 0, width, 1400, box)) << width;
        EXPECT_LE(box[2], width - 20) << width;   // no ink beyond the limit
        EXPECT_GE(box[2], width - 20 - w16("lengths,") - 8) << width;   // lines are filled
        EXPECT_EQ(box[3] < end + 16, true) << width;
        EXPECT_GT(end, 10) << width;
    }
}

TEST_F(Page, CursorAndBorderTags) {
    build("<yinc=-5>");
    EXPECT_EQ(5, page.y);
    build("<x=50%>");
    EXPECT_EQ(370, page.x);
    build("<y=50%><ydec=7><xinc=3><xoffset=4>");
    EXPECT_EQ(293, page.y);
    EXPECT_EQ(17, page.x);
    build("<leftborder=100><x=300><offset=20>");
    EXPECT_EQ(100, page.x);
    EXPECT_EQ(30, page.y);
    build("<leftborder=10%>ab\ncd");
    EXPECT_EQ(74 + w16("cd"), page.x);
    build("<x=500><setxleftborder><rightborder=600>Hello");   // limit 140
    EXPECT_EQ(10 + w16("Hello"), page.x);
    build("<rightborderpos=60><x=30>Hello");   // limit 60: the run wraps
    EXPECT_EQ(26, page.y);
    // Letter case of the name does not matter; "br /" is "br".
    build("<BR /><Br><lineoffset=4>a\nb");
    EXPECT_EQ(10 + 2 * 16 + 20, page.y);
    // Unknown tags, commented-out tags and ysize pass through.
    build("<ysize=1200><//button=b1,x><frobnicate=1><none>x");
    EXPECT_EQ(10 + w16("x"), page.x);
}

TEST_F(Page, NamedPointsAndDoubledGreaterSigns) {
    build("<y=77><save=yA><y=300><restore=yA>");
    EXPECT_EQ(77, page.y);
    build("<y=50><restore=nobody>");
    EXPECT_EQ(50, page.y);
    build("<x=123><xsave=xP><x=5><xrestore=xP>");
    EXPECT_EQ(123, page.x);
    EXPECT_EQ(123, zepage_get_int(&page, "xP"));
    // ">>" is a literal ">" inside a tag; ",," a literal comma in a name.
    build("<y=60><save=a>>b><save=c,,d,ignored>");
    EXPECT_EQ(60, zepage_get_int(&page, "a>b"));
    EXPECT_EQ(60, zepage_get_int(&page, "c,d"));
    // A recorded 0 reads like a missing name: the cursor stays.
    build("<y=0><save=zero><y=40><restore=zero>");
    EXPECT_EQ(40, page.y);
    // More than 90 points grow the registry in steps of 100, none lost.
    std::string many;
    for (int i = 0; i < 250; i++) many += "<yinc=1><save=p" + std::to_string(i) + ">";
    build(many);
    EXPECT_EQ(300, page.nslots);
    for (int i = 0; i < 250; i++) EXPECT_EQ(11 + i, zepage_get_int(&page, ("p" + std::to_string(i)).c_str()));
}

TEST_F(Page, FontPairsAndTheirSteps) {
    build("<b>");
    EXPECT_EQ(a16b, page.font);
    build("<b></b>");
    EXPECT_EQ(a16, page.font);
    build("<font=var13><b>");
    EXPECT_EQ(page.normalfont, page.boldfont);
    EXPECT_EQ(zefont_from_name("var13"), page.font);
    build("<font=arial26><big>");
    EXPECT_EQ(zefont_load_set("Arial26"), page.font);
    build("<b><small>");
    EXPECT_EQ(zefont_load_set("Arial14"), page.font);
    build("<font=crnew14><big><big>");
    EXPECT_EQ(zefont_load_set("crnew18"), page.font);
    EXPECT_EQ(zefont_load_set("crnew18b"), page.boldfont);
    build("<font=6x13><small>");
    EXPECT_EQ(zefont_from_name("6x13"), page.font);
    // A face without a bold form keeps its normal face for "b".
    build("<font=12x24><b>");
    EXPECT_EQ(zefont_from_name("12x24"), page.font);
    // Every build starts again from Arial16 in black.
    build("<font=arial20><textcolor=ff0000>");
    build("");
    EXPECT_EQ(a16, page.font);
    EXPECT_EQ(0, page.textcolor);
}

TEST_F(Page, ColoursAndFontsByTheirPixels) {
    build("<textcolor=0000c0>MMMM<textcolor=lightred>MMMM");
    int blue = canvas.count(10, 10, w16("MMMM"), 16, 0x0000c0);
    EXPECT_GT(blue, 40);
    EXPECT_EQ(0, canvas.count(10 + w16("MMMM"), 10, w16("MMMM"), 16, 0x0000c0));
    EXPECT_GT(canvas.count(10 + w16("MMMM"), 10, w16("MMMM"), 16, 0xff0000), 40);
    // Bold ink is heavier than normal ink of the same text.
    build("<textcolor=000000>MMMM<br><b>MMMM");
    EXPECT_GT(canvas.count(10, 26, 100, 16, 0), canvas.count(10, 10, 100, 16, 0));
    // Attributed characters: B for bold, a digit for the colour, which stays.
    build("<achar=C!><achar=B9W>x");
    EXPECT_GT(canvas.count(10, 10, 5, 16, 0xff0000), 0);
    int xw = 10 + zefont_char_width(a16, '!');
    EXPECT_GT(canvas.count(xw, 10, 13, 16, 0x0000ff), 10);
    EXPECT_EQ(0x0000ff, page.textcolor);
    EXPECT_EQ(xw + zefont_char_width(a16b, 'W') + zefont_char_width(a16, 'x'), page.x);
    build("<char=Qrest>");
    EXPECT_EQ(10 + zefont_char_width(a16, 'Q'), page.x);
}

TEST_F(Page, RulesRectanglesAndTheBackground) {
    build("<y=100><hline>");
    EXPECT_EQ(0xd0d0d0, canvas.pixel(10, 105));
    EXPECT_EQ(0xf0f0f0, canvas.pixel(720, 106));
    EXPECT_EQ(0xffffff, canvas.pixel(721, 105));
    EXPECT_EQ(112, page.y);
    build("<x=30><y=40><fillrect=20,10,00ff00>");
    EXPECT_EQ(200, canvas.count(20, 30, 50, 30, 0x00ff00));
    EXPECT_EQ(0x00ff00, canvas.pixel(30, 40));
    EXPECT_EQ(30, page.x);
    // Width 0 runs to the right limit, height 0 down to the bottom margin.
    build("<x=700><y=580><fillrect=0,0,1234567>");
    EXPECT_EQ(20 * 10, canvas.count(690, 570, 50, 30, 0x123456));
    build("<y=300>a<backgroundcolor=ffff00>");
    EXPECT_EQ(0xffff00, canvas.pixel(0, 300));
    EXPECT_EQ(0xffff00, canvas.pixel(739, 599));
    EXPECT_EQ(0xffffff, canvas.pixel(5, 299));
}

TEST_F(Page, CentredTextAndItsBufferLimit) {
    // (740 - 20 - 10 - w) / 2 + 10
    build("<y=50><center>Hello, world</center>after");
    int w = w16("Hello, world"), box[4];
    int after = 10 + w16("after") + 2;   // "after" follows on the same line, from x
    ASSERT_TRUE(ink(after, 50, 740 - after, 16, box));
    int expected = (740 - 30 - w) / 2 + 10;
    EXPECT_NEAR(expected, box[0], 2);
    EXPECT_EQ(50, page.y);   // no line feed: the line stays
    build("<center>a<br>b</center>");
    EXPECT_EQ(26, page.y);
    // The buffer keeps 1999 characters; more is cut, nothing overruns.
    std::string big(5000, 'i');
    build("<center>" + big + "</center>");
    EXPECT_EQ(1999, (int)strlen(page.centretext));
    std::string words;
    for (int i = 0; i < 700; i++) words += "ab ";
    build("<center>" + words + "</center>z");
    EXPECT_EQ(1999, page.centrelen);
}

TEST_F(Page, PicturesFromFilesAndMemory) {
    zePixmap pic;
    zepxmap_init(&pic);
    ASSERT_TRUE(zepxmap_create(&pic, 30, 20, ZEPX_TRUECOLOR));
    zepxmap_clear(&pic, 0xff00ff);
    std::string file = std::string(::testing::TempDir()) + "page_pic.bmp";
    ASSERT_TRUE(zeimage_save_file(&pic, file.c_str()));
    build("<y=40>a<image=" + file + ">b");
    EXPECT_EQ(0xff00ff, canvas.pixel(10 + w16("a") + 1, 41));
    EXPECT_EQ(60, page.y);
    EXPECT_EQ(10 + w16("b"), page.x);
    build("<x=5><image=" + file + ",x=200>");
    EXPECT_EQ(0xff00ff, canvas.pixel(205, 15));
    build("<center><image=" + file + "></center>");
    EXPECT_EQ(0xff00ff, canvas.pixel(356, 15));
    // A missing picture says so and the page goes on below it.
    build("<image=no/such/picture.bmp>after");
    EXPECT_EQ(26, page.y);
    EXPECT_EQ(10 + w16("after"), page.x);
    int box[4];
    ASSERT_TRUE(ink(0, 10, 740, 16, box));
    EXPECT_GT(box[2], 10 + w16("#### IMAGE NOT FOUND: no/such/picture.bmp ") - 4);

    int ph = zepage_pixmap_handle(&pic);
    ASSERT_GT(ph, 0);
    EXPECT_EQ(ph, zepage_pixmap_handle(&pic));
    zepage_buildf(&page, "<x=100><y=100><memimage=%d>", ph);
    EXPECT_EQ(0xff00ff, canvas.pixel(100, 100));
    EXPECT_EQ(130, page.x);
    EXPECT_EQ(120, page.y);
    zepage_pixmap_forget(&pic);
    build("<memimage=" + std::to_string(ph) + ">");   // forgotten: nothing drawn
    EXPECT_EQ(0xffffff, canvas.pixel(10, 10));

    static const char *const xpm[] = {"4 3 2 1", ". c None", "# c #0000ff", "####", "#..#", "####"};
    int xh = zepage_xpm_handle(xpm);
    zepage_buildf(&page, "<x=50><y=50><image_xpm=%d>z", xh);
    EXPECT_EQ(0x0000ff, canvas.pixel(50, 50));
    EXPECT_EQ(0xffffff, canvas.pixel(51, 51));
    EXPECT_EQ(53, page.y);
    // The bullet: 4 pixels down, black, the cursor back on its line.
    build("<y=200><bullet=1>text");
    EXPECT_EQ(0x000000, canvas.pixel(10 + 4, 200 + 4 + 2));
    EXPECT_EQ(200, page.y);
    EXPECT_EQ(22 + w16("text"), page.x);
    zepxmap_release(&pic);
    remove(file.c_str());
}

TEST_F(Page, FormattedBuildsKeepLiteralPercentSigns) {
    char out[200];
    zePageArg args[] = {zePageArg(42), zePageArg("txt")};
    zepage_format(out, sizeof out, "xs=100%,y=%d%>,x=50%%s", args, 2);
    EXPECT_STREQ("xs=100%,y=42%>,x=50%txt", out);
    zePageArg more[] = {zePageArg(255), zePageArg("ab"), zePageArg(2.5), zePageArg('Q')};
    zepage_format(out, sizeof out, "%06x|%4s|%5.1f|%c|%%|100%", more, 4);
    EXPECT_STREQ("0000ff|  ab|  2.5|Q|%%|100%", out);
    // A sign below "0" after "%" makes it literal, flags included.
    zepage_format(out, sizeof out, "%-4s|% d|%*d", more, 4);
    EXPECT_STREQ("%-4s|% d|%*d", out);
    // Missing arguments, wrong types and %n: nothing read that was not passed.
    zepage_format(out, sizeof out, "a%sb%dc%n", nullptr, 0);
    EXPECT_STREQ("abc", out);
    zePageArg wrong[] = {zePageArg(7), zePageArg("x"), zePageArg(1.9)};
    zepage_format(out, sizeof out, "%s|%d|%d|%i|%q", wrong, 3);
    EXPECT_STREQ("7||1||%q", out);
    // Cut at the buffer's size.
    zepage_format(out, 8, "%s", more + 1, 1);
    EXPECT_STREQ("ab", out);
    zepage_format(out, 5, "%020d", more, 1);
    EXPECT_STREQ("0000", out);

    EXPECT_EQ(0, zepage_buildf(&page, ""));
    EXPECT_FALSE(page.built);
    zepage_buildf(&page, "<x=%d%><y=%d>%s", 50, 77, "Hello");
    EXPECT_EQ(370 + w16("Hello"), page.x);
    EXPECT_EQ(77, page.y);
    zepage_buildf(&page, "<y=%d>%s and %s", 5);   // no crash, no garbage
    EXPECT_EQ(5, page.y);
    EXPECT_EQ(10 + w16(" and "), page.x);
}

TEST_F(Page, RebuildingStartsAfreshAndRepaintsTheOldArea) {
    const char *text = "<textcolor=ff0000><font=arial20>Red words<br><view=v,xs=100,ys=40,bgcolor=00ff00>below";
    int first = build(text);
    std::vector<int> before(canvas.px.width * 200);
    for (int i = 0; i < (int)before.size(); i++) before[i] = canvas.pixel(i % 740, i / 740);
    int children = canvas.view.nchildren;
    for (int round = 0; round < 3; round++) {
        EXPECT_EQ(first, build(text));
        int diff = 0;
        for (int i = 0; i < (int)before.size(); i++) diff += before[i] != canvas.pixel(i % 740, i / 740);
        EXPECT_EQ(0, diff);
        int inuse = 0;
        for (int i = 0; i < canvas.view.nchildren; i++) inuse += canvas.view.children[i].inuse;
        EXPECT_EQ(1, inuse);
        EXPECT_LE(canvas.view.nchildren, children);
    }
    // A clear paints from first y over the page's height + 21 in the background.
    zepage_clear(&page);
    EXPECT_EQ(0, canvas.count(0, 0, 740, first + 21, 0xff0000));
    EXPECT_EQ(0, canvas.view.children[0].inuse);
    EXPECT_FALSE(page.built);
    EXPECT_EQ(nullptr, zepage_find(&page, "v"));
}

TEST_F(Page, AViewTakesTheRestOfTheBuildOnlyWhenNamed) {
    build("<view=v,xs=200,ys=50,pys=300,bgcolor=c0c0ff>after<standardview=v><x=0><y=0>inside");
    zeView *v = (zeView *)zepage_find(&page, "v");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(8, v->c.y);   // y - 2
    EXPECT_GT(canvas.count(10, 8 + 50, 100, 16, 0), 0);                  // "after" below the view
    int inside = 0;   // "inside" in its content
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 40; x++) inside += (zepxmap_getpixel(&v->content, x, y) & 0xffffff) == 0;
    EXPECT_GT(inside, 20);
    // Afterwards the caller's view is the standard view and output again.
    EXPECT_EQ(&canvas.view, zeview_standard());
    EXPECT_EQ(&canvas.view, (zeView *)zegraphic_output());
    build("<standardview=nothing>x");
    EXPECT_EQ(10 + w16("x"), page.x);
}

TEST_F(Page, TenThousandRebuildsLeakNothing) {
    const char *text = "<font=arial14><b>Title</b><br><view=v,xs=60,ys=20>x<save=p><center>c</center><hline>";
    for (int i = 0; i < 200; i++) build(text);
    struct mallinfo2 before = mallinfo2();
    int fonts = zefont_table_size();
    for (int i = 0; i < 10000; i++) build(text);
    struct mallinfo2 after = mallinfo2();
    EXPECT_LT((long)after.uordblks - (long)before.uordblks, 64 * 1024);
    EXPECT_EQ(fonts, zefont_table_size());
    EXPECT_LE(canvas.view.nchildren, 2);
}

}  // namespace
