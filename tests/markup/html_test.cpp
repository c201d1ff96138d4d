// HTML help pages: the conversion of each part of the subset into markup,
// pages built from it, and hostile HTML (unclosed tags, tags inside links,
// deep nesting, megabytes of text, damaged copies of the help files).
#include "page_canvas_test.h"
#include "page_feed.h"
#include "platform/headless/zeheadless.h"
#include "zebutton.h"
#include "zecontrol.h"
#include "zefont.h"
#include "zehtml.h"
#include "zeplatform.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The markup of a body, without the initial font tag.
std::string body(const std::string &inner, int first = 1) {
    std::string html = "<html><head><title>t</title></head><body>" + inner + "</body></html>";
    std::string buf(inner.size() * 10 + 4096, '\0');
    EXPECT_TRUE(zehtml_append_text(buf.data(), buf.size(), html.data(), html.size(), first));
    std::string out = buf.c_str();
    EXPECT_EQ(0u, out.find("<font=arial16>"));
    return out.substr(14);
}

std::string read(const std::string &name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(Html, TextEntitiesAndLineBreaks) {
    EXPECT_EQ("Stra\xdf" "e &lt;", body("Stra&szlig;e &amp;lt;"));
    EXPECT_EQ("<char=<>b<char=>>>", body("&lt;b&gt;"));
    EXPECT_EQ("\xe4\xf6\xfc\xc4\xd6\xdc\xa7\xb5 x", body("&auml;&ouml;&uuml;&Auml;&Ouml;&Uuml;&sect;&micro;&nbsp;x&copy;"));
    // A line feed inside a paragraph is one blank, two are one, the first of a piece none.
    EXPECT_EQ("one two", body("one\ntwo"));
    EXPECT_EQ("one two", body("one\n\ntwo"));
    EXPECT_EQ("<b>bold</b>", body("<b>\nbold</b>"));
    EXPECT_EQ("a  b", body("a  b\r\t"));
    EXPECT_EQ("<font=crnew16>a\n\nb<font=arial16>", body("<pre>a\n\nb</pre>"));
    // A stray "&" is text, and does not swallow what follows up to a ";".
    EXPECT_EQ("Tom & Jerry<b>x</b>;", body("Tom & Jerry<b>x</b>;"));
    EXPECT_EQ("a <char=>>> b<b><char=>>></b>", body("a > b<b>></b>"));
}

TEST(Html, HeadingsFontsListsAndColours) {
    EXPECT_EQ("<font=arial20><b>Title<font=arial16></b>\n\nx", body("<h1>Title</h1>x"));
    EXPECT_EQ("<font=arial18><b>T<font=arial16></b>\n\nT\n\n", body("<h2>T</h2><h3>T</h3>"));
    EXPECT_EQ("<font=arial18><font=arial20><font=arial18>", body("<big><big><small>"));
    EXPECT_EQ("\n1. a\n2. b\n3. c\n\n", body("<ol><li>a</li><li>b</li><li>c</li></ol>"));
    EXPECT_EQ("\n<bullet=1>    a\n\n", body("<ul><li>a</li></ul>"));
    EXPECT_EQ("<hline><center>c</center>\n\n\n", body("<hr size=1><center>c</center><br><br /><br/>"));
    std::string html = "<body text=\"#123456\"><span style=\"font-weight:bold; color: rgb(10,20,999);\">x</span>"
                       "<font color=\"#ff0000\">red</font><font color=\"#12'>q</font>";
    char buf[512] = "";
    ASSERT_TRUE(zehtml_append_text(buf, sizeof buf, html.data(), html.size(), 1));
    EXPECT_STREQ("<font=arial16><b><textcolor=0a14ff>x</b><textcolor=123456><textcolor=ff0000>red"
                 "<textcolor=123456></b><textcolor=12>q<textcolor=123456></b>", buf);
    EXPECT_EQ("<ysize=1200><save=p1><xsave=p2><restore=p1><xrestore=p2><xinc=5><yinc=-3>",
              body("<!-- ysize=1200 --><!-- save=p1 --><!-- xsave=p2--><!-- restore=p1 --><!-- xrestore=p2 -->"
                   "<!-- xinc=5 --><!-- yinc=-3 -->"));
    // A comment ends at its "-->", not at a ">" inside it; unknown tags vanish.
    EXPECT_EQ("ab", body("a<!-- <b> x > y --><p><div class=\"x\">b</div></p>"));
}

TEST(Html, LinksAnchorsAndPictures) {
    EXPECT_EQ("<link=htmllink_001,one,url=http://a/>, <link=htmllink_002,two,url=b.html#x>",
              body("<a href=\"http://a/\">one</a>, <a href='b.html#x'>two</a>"));
    EXPECT_EQ("<save=htmlypos_007>x<link=htmllink_007,y,url=z>", body("<a name=\"top\">x</a><a href=z>y</a>", 7));
    // A tag or a comma inside a link stays out of the link tag; a link left
    // open is closed at the end, one opened inside another closes the first.
    EXPECT_EQ("<link=htmllink_001,bold text>> end,url=u>", body("<a href=\"u\"><b>bold</b>,\ntext&gt; end</a>"));
    EXPECT_EQ("<link=htmllink_001,a,url=u><link=htmllink_002,b,url=v>", body("<a href=u>a<a href=\"v\">b"));
    EXPECT_EQ("<link=htmllink_001,u%2Cv,url=u%2Cv>", body("<a href=\"u,v\"></a>"));
    EXPECT_EQ("<link=htmllink_001,t,url=x.html>", body("<a href=x.html target=_blank>t</a>"));

    char dir[] = "/tmp/zehtml_XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    std::string d = dir;
    for (const char *f : {"/logo.bmp", "/logo.xpm", "/pic.xpm", "/a.b"})
        fclose(fopen((d + f).c_str(), "w"));
    mkdir((d + "/v1.2").c_str(), 0700);
    fclose(fopen((d + "/v1.2/c.pcx").c_str(), "w"));
    fclose(fopen((d + "/logo.pcx").c_str(), "w"));
    EXPECT_EQ("<image=" + d + "/logo.pcx><image=" + d + "/pic.xpm><image=" + d + "/v1.2/c.pcx>",
              body("<img src=\"" + d + "/logo.gif\"><img alt=x SRC='" + d + "/pic.png'><img src=\"" + d + "/v1.2/c\">"));
    EXPECT_EQ("### Image not displayed: nowhere.gif ###\n", body("<img src=\"nowhere.gif\" width=3>"));
    EXPECT_EQ("### Image not displayed: " + d + "/a ###\n", body("<img src=\"" + d + "/a\">"));
    std::string cmd = "rm -rf " + d;
    EXPECT_EQ(0, system(cmd.c_str()));
}

TEST(Html, FilesBodiesAndFullBuffers) {
    char buf[64] = "keep";
    EXPECT_FALSE(zehtml_append(buf, sizeof buf, "/no/such/help.html", 1));
    EXPECT_STREQ("keep", buf);
    const char nobody[] = "<html><p>text</p></html>";
    EXPECT_FALSE(zehtml_append_text(buf, sizeof buf, nobody, sizeof nobody - 1, 1));
    EXPECT_STREQ("keep<font=arial16>", buf);
    // The conversion ends at "/body".
    buf[0] = 0;
    const char two[] = "<body>a</body>b<body>c";
    EXPECT_TRUE(zehtml_append_text(buf, sizeof buf, two, sizeof two - 1, 1));
    EXPECT_STREQ("<font=arial16>a", buf);
    // A full buffer cuts between pieces and is never overrun.
    std::string text = "<body>" + std::string(100, 'x') + "<h1>" + std::string(100, 'y');
    char small[40];
    memset(small, '#', sizeof small);
    small[0] = 0;
    EXPECT_TRUE(zehtml_append_text(small, 32, text.data(), text.size(), 1));
    EXPECT_EQ(31u, strlen(small));
    EXPECT_EQ('#', small[32]);
}

class HtmlPage : public PageCanvasTest {
protected:
    std::string convert(const std::string &html) {
        std::string buf(html.size() * 10 + 4096, '\0');
        zehtml_append_text(buf.data(), buf.size(), html.data(), html.size(), 1);
        return buf.c_str();
    }
};

// Links and anchors of a converted page answer by name.
TEST_F(HtmlPage, LinksAndAnchorsByName) {
    std::string m = convert("<body>Intro<br><a name=\"one\"></a>A <a href=\"http://127.0.0.1/x,y\"><b>home</b>, page</a>"
                            " and <a href=\"b.html\">second</a>");
    zepage_build(&page, m.c_str());
    const zeButton *link = (const zeButton *)zepage_find(&page, "htmllink_001");
    ASSERT_TRUE(link);
    EXPECT_STREQ("home page", ((const zeControl *)link)->text);
    EXPECT_STREQ("http://127.0.0.1/x%2cy", link->url);
    ASSERT_TRUE(zepage_find(&page, "htmllink_002"));
    EXPECT_GT(zepage_get_int(&page, "htmlypos_001"), 10);
}

// Hostile HTML never crashes, hangs or overruns, and the page still builds.
TEST_F(HtmlPage, HostileHtml) {
    std::string nested = "<body>";
    for (int i = 0; i < 10000; i++) nested += "<big>";
    nested += "deep";
    std::string cases[] = {
        "<body><b><i><a href=\"x\">open <b", "<body><a href=\"u\"><b>bold</b><img src=\"q.gif\"></a>", nested,
        "<body><img src=\"unterminated.gif>after", "<body><img src='", "<body><a href=\"", "<body><!-- never closed",
        "<body>&", "<body>&auml", "<body><font color=\"#", "<body text=\"#", "<", "<body", "<body><span style=\"color: rgb(",
        "<body><ol><li><li><li><li></ol><ul><li>", "<body><!-- ysize=99999999999999999999 -->",
        "<body><!-- save=" + std::string(5000, 'n') + " -->", "<body><a name=" + std::string(5000, 'a') + ">",
    };
    for (const std::string &c : cases) {
        std::string m = convert(c);
        zepage_build(&page, m.c_str());
        EXPECT_TRUE(page.built) << c.substr(0, 40);
    }
    std::string big = "<body>";
    while (big.size() < (2u << 20)) big += "Plain help text with &auml; and <b>bold</b> words,\nover lines. ";
    auto start = std::chrono::steady_clock::now();
    std::string m = convert(big);
    EXPECT_GT(m.size(), 1u << 20);
    zepage_build(&page, m.c_str());
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

// Damaged copies of both help files, each converted into a small buffer and
// built: the buffer holds and the page builds.
TEST_F(HtmlPage, DamagedHelpFiles) {
    const char *src = getenv("ZE_SOURCE_DIR");
    std::string seeds[] = {read(std::string(src ? src : ".") + "/data/helpinfo_eng.html"),
                           read(std::string(src ? src : ".") + "/data/helpinfo_ger.html")};
    for (const std::string &s : seeds) ASSERT_GT(s.size(), 1000u);
    canvas.close();
    ASSERT_TRUE(canvas.open(320, 200));
    PageFeed feed(20261208);
    static const char *const bits[] = {"<a href=\"", "</a>", "<a name=x>", "<img src=\"", "&", ";", "<!--", "-->",
                                       "<big>", "<pre>", "<li>", "<ol>", "<body>", "</body>", ">", "\"", ","};
    for (int i = 0; i < 400; i++) {
        std::string s = feed.damage(seeds[i % 2].substr(feed.below(2000), 800 + feed.below(3000)));
        for (int k = feed.below(6); k > 0; k--) s.insert(feed.below((uint32_t)s.size() + 1), bits[feed.below(17)]);
        if (i % 3) s = "<body>" + s;
        std::string buf(2000 + feed.below(20000), '\x7f');
        buf[0] = 0;
        size_t size = buf.size() - 16;
        zehtml_append_text(buf.data(), size, s.data(), s.size(), 1 + (int)feed.below(998));
        ASSERT_LT(strlen(buf.c_str()), size);
        for (size_t k = size; k < buf.size(); k++) ASSERT_EQ('\x7f', buf[k]);
        zepage_build(&page, buf.c_str());
        ASSERT_TRUE(page.built);
    }
}

}  // namespace
