// The terminal tag of pages: the terminal is placed in the page, takes text
// through the page's set-text by name and goes with the page.
#include "page_canvas.h"
#include "platform/headless/zeheadless.h"
#include "zefont.h"
#include "zeplatform.h"
#include "zeterminal.h"
#include <gtest/gtest.h>

TEST(PageTerminal, PlacedWrittenByNameAndDestroyed) {
    ASSERT_TRUE(zebackend_select("headless"));
    zeheadless_reset();
    zefont_init();
    zeview_install();
    PageCanvas canvas;
    ASSERT_TRUE(canvas.open(400, 300));
    {
        zeGUIScript page;
        zepage_build(&page, "<x=0><y=0>Log:<br><terminal=teLog,xs=300,ys=60,lines=3>after");
        zeTerminal *t = (zeTerminal *)zepage_find(&page, "teLog");
        ASSERT_NE(nullptr, t);
        EXPECT_EQ(300, t->c.w);
        EXPECT_GT(page.y, t->c.y + 60 - 1);   // the text goes on below it
        ASSERT_TRUE(zepage_set_text(&page, "teLog", "\033[31mred\033[0m ok"));
        char line[64];
        zeterminal_line_text(t, 0, line, sizeof line);
        EXPECT_STREQ("red ok", line);
        EXPECT_EQ(1, zeterminal_cell(t, 0, 0).fg);
        zepage_build(&page, "plain");
        EXPECT_EQ(nullptr, zepage_find(&page, "teLog"));
    }
    canvas.close();
}
