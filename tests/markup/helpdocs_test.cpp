// The help documents and pictures of the program directory: both help files
// convert with every picture found and every link named, lay out within the
// canvas height they ask for, and every example and introduction picture is
// there at its size, drawn rather than flat. The pages and a contact sheet
// of the pictures go to test-output for a person to look at.
#include "page_canvas.h"
#include "platform/headless/zeheadless.h"
#include "zefont.h"
#include "zegout.h"
#include "zehtml.h"
#include "zeimage.h"
#include "zeplatform.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string env(const char *name) {
    const char *v = getenv(name);
    return v ? v : ".";
}

struct Picture {
    std::string file;
    int w, h;
};

std::vector<Picture> pictures() {
    std::ifstream f(env("ZE_SOURCE_DIR") + "/data/pictures.txt");
    std::vector<Picture> out;
    std::string line;
    while (std::getline(f, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        Picture p;
        in >> p.file >> p.w >> p.h;
        out.push_back(p);
    }
    return out;
}

class HelpDocs : public ::testing::Test {
protected:
    std::string cwd;
    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zefont_init();
        zeview_install();
        char buf[4096];
        ASSERT_TRUE(getcwd(buf, sizeof buf));
        cwd = buf;
        ASSERT_EQ(0, chdir(env("ZE_PROGRAM_DIR").c_str()));
    }
    void TearDown() override { ASSERT_EQ(0, chdir(cwd.c_str())); }
};

TEST_F(HelpDocs, BothConvertWithPicturesLinksAndRoom) {
    std::string out = env("ZE_BUILD_DIR") + "/test-output";
    mkdir(out.c_str(), 0755);
    for (const char *lang : {"eng", "ger"}) {
        std::string file = std::string("helpinfo_") + lang + ".html";
        std::vector<char> buf(1 << 20, 0);
        ASSERT_TRUE(zehtml_append(buf.data(), buf.size(), file.c_str(), 1)) << file;
        std::string m = buf.data();
        EXPECT_EQ(std::string::npos, m.find("### Image not displayed")) << file;
        EXPECT_NE(std::string::npos, m.find("<image=quimo_picture2.bmp>")) << file;
        EXPECT_NE(std::string::npos, m.find(std::string("<image=examples/") + lang + "/bg6.bmp>")) << file;
        const char *other = lang[0] == 'e' ? "helpinfo_ger.html" : "helpinfo_eng.html";
        EXPECT_NE(std::string::npos, m.find(std::string(",url=") + other + ">")) << file;
        // The page asks for its canvas height; the text must fit in it.
        size_t at = m.find("<ysize=");
        ASSERT_NE(std::string::npos, at) << file;
        int ysize = atoi(m.c_str() + at + 7);
        PageCanvas canvas;
        ASSERT_TRUE(canvas.open(740, ysize));
        {
            zeGUIScript page;
            int end = zepage_build(&page, m.c_str());
            EXPECT_GT(end, 1000) << file;
            EXPECT_LT(end, ysize) << file;
            EXPECT_TRUE(zepage_find(&page, "htmllink_001")) << file;
            EXPECT_GE(zepage_get_int(&page, "htmlypos_005"), 500) << file;
            zepxmap_savetofile_png(&canvas.px, (out + "/helpinfo_" + lang + ".png").c_str());
        }
        canvas.close();
    }
}

TEST_F(HelpDocs, PicturesAtTheirSizesAndDrawn) {
    std::vector<Picture> list = pictures();
    ASSERT_EQ(17u, list.size());
    for (const Picture &p : list) {
        int w = 0, h = 0;
        ASSERT_TRUE(zegetpicturesizes(p.file.c_str(), &w, &h)) << p.file;
        EXPECT_EQ(p.w, w) << p.file;
        EXPECT_EQ(p.h, h) << p.file;
        zePixmap px;
        zepxmap_init(&px);
        ASSERT_TRUE(zepxmap_create(&px, w, h, ZEPX_TRUECOLOR));
        ASSERT_TRUE(zeimage_load_file(&px, p.file.c_str(), 0, 0)) << p.file;
        std::set<int> colours;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) colours.insert(zepxmap_getpixel(&px, x, y) & 0xffffff);
        EXPECT_GT(colours.size(), 100u) << p.file;   // a gradient, a motif and a smoothed title
        zepxmap_release(&px);
    }
    // The languages differ by their titles.
    for (int n = 1; n <= 8; n++) {
        std::string e = "examples/eng/bg" + std::to_string(n) + ".bmp", g = "examples/ger/bg" + std::to_string(n) + ".bmp";
        std::ifstream a(e, std::ios::binary), b(g, std::ios::binary);
        std::stringstream sa, sb;
        sa << a.rdbuf(), sb << b.rdbuf();
        EXPECT_NE(sa.str(), sb.str()) << n;
    }
    std::string cmd = env("ZE_TOOLS_DIR") + "/mkpictures --sheet . " + env("ZE_SOURCE_DIR") + "/data/pictures.txt " +
                      env("ZE_BUILD_DIR") + "/test-output/pictures_sheet.png";
    EXPECT_EQ(0, system(cmd.c_str()));
}

}  // namespace
