// Tables in pages: the grid read from the table text (columns, doubled
// commas, rule lines, "|" borders, cell attributes), the options of the tag,
// the cursor after the table, the controls in cells reached by name, and
// hostile tables (texts at and past their limits, 10,000 columns, garbage
// attributes, seeded mutations).
#include "page_canvas_test.h"
#include "platform/headless/zeheadless.h"
#include "zecheckbox.h"
#include "zecombobox.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelineinput.h"
#include "zeplatform.h"
#include "zetable.h"
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

class PageTable : public PageCanvasTest {
protected:
    zeTable *build(const std::string &text, const char *name = "ta") {
        zepage_build(&page, text.c_str());
        return (zeTable *)zepage_find(&page, name);
    }
    std::string cell(zeTable *t, int c, int r) { return zetable_text(t, c, r); }
};

TEST_F(PageTable, GridFromTheText) {
    zeTable *t = build("<x=10><y=30><table=ta>\na,b\nc\n</table>after");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(2, t->columns);
    EXPECT_EQ(2, t->rows);
    EXPECT_EQ("", cell(t, 1, 1));
    EXPECT_EQ(10, t->x);
    EXPECT_EQ(30, t->y);
    EXPECT_EQ(30 + 2 * 20, page.y);   // the cursor goes below the table

    t = build("<table=ta>x,,y,z\n,lead\n</table>");
    EXPECT_EQ(2, t->columns);
    EXPECT_EQ("x,y", cell(t, 0, 0));
    EXPECT_EQ("z", cell(t, 1, 0));

    // Rule lines before and after the first row; they are not rows.
    t = build("<table=ta>-,-\na,b\n-,-\nc,d\n</table>");
    EXPECT_EQ(2, t->rows);
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 0, 0)->top);
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 1, 0)->top);
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 1, 0)->bottom);
    EXPECT_EQ(ZETABLE_GRIDLINE, zetable_cell(t, 1, 1)->bottom);

    t = build("<table=ta>|left,right|,|both|\n</table>");
    EXPECT_EQ("left", cell(t, 0, 0));
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 0, 0)->left);
    EXPECT_EQ("right", cell(t, 1, 0));
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 1, 0)->right);
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 2, 0)->left);
    EXPECT_EQ(ZETABLE_BLACKLINE, zetable_cell(t, 2, 0)->right);
}

TEST_F(PageTable, AttributesAndTagOptions) {
    zeTable *t = build(
        "<x=5><table=ta,lineheight=25,3dframe,linecolor=ff0000,mincolwidth=70>\n"
        "Bold#bold right,Mid#center width=90,Grey#grey,Red#textcolor=ff0000 bgcolor=00ff00 bold\n"
        "Join#colspan,hidden,Down#rowspan,x\n"
        "a,b,c,d\n</table>");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(25, t->rowheight);
    EXPECT_TRUE(t->shadowframe);
    EXPECT_FALSE(t->plainframe);
    EXPECT_EQ(0xFF0000, t->gridcolor);
    EXPECT_EQ(page.boldfont, zetable_cell(t, 0, 0)->font);
    EXPECT_EQ(ZETABLE_RIGHT, zetable_cell(t, 0, 0)->align);
    EXPECT_EQ(ZETABLE_CENTER, zetable_cell(t, 1, 0)->align);
    EXPECT_EQ(90, t->widths[1]);
    EXPECT_EQ(70, t->widths[0]);   // the minimum
    EXPECT_TRUE(zetable_cell(t, 2, 0)->grey);
    EXPECT_EQ(0xFF0000, zetable_cell(t, 3, 0)->textcolor);
    EXPECT_EQ(0x00FF00, zetable_cell(t, 3, 0)->bgcolor);
    EXPECT_EQ(page.boldfont, zetable_cell(t, 3, 0)->font);   // a value does not hide what follows
    EXPECT_TRUE(zetable_cell(t, 0, 1)->joinright);
    EXPECT_EQ(ZETABLE_NOLINE, zetable_cell(t, 1, 1)->left);
    EXPECT_EQ(ZETABLE_NOLINE, zetable_cell(t, 2, 2)->top);
    // Pixels: the red grid, the green cell, the shadow right of the table.
    EXPECT_EQ(0xFF0000, canvas.pixel(5 + 70, t->y + 60));   // row 2: row 1 is joined there
    EXPECT_NE(0xFF0000, canvas.pixel(5 + 70, t->y + 30));
    EXPECT_EQ(0x00FF00, canvas.pixel(t->cells[3].x + 3, t->y + 3));
    int right = 5 + zetable_total_width(t);
    EXPECT_EQ(0x000000, canvas.pixel(right + 2, t->y + 40));
    EXPECT_EQ(t->y + 3 * 25, page.y);

    // A text wider than its column widens it to its width + 9.
    t = build("<table=ta>a fairly long cell text\n</table>");
    EXPECT_EQ(zefont_text_width(page.font, "a fairly long cell text") + 9, t->widths[0]);
    t = build("<table=ta,border,thickframe>a\n</table>");
    EXPECT_TRUE(t->plainframe);
    EXPECT_TRUE(t->frame3d);
    EXPECT_EQ(60, t->widths[0]);   // columns start at 60
}

TEST_F(PageTable, ControlsInCellsAreReachedByName) {
    zeTable *t = build("<table=tc>\n1#bool,text#edit,m#combobox entries=s|m|h,Go#button\n</table>", "tc");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(1, zepage_get_int(&page, "tc.0.0"));
    char buf[64];
    ASSERT_TRUE(zepage_get_text(&page, "tc.1.0", buf, sizeof buf));
    EXPECT_STREQ("text", buf);
    ASSERT_TRUE(zepage_set_text(&page, "tc.1.0", "hello"));
    zeLineInput *input = (zeLineInput *)zetable_cell(t, 1, 0)->control;
    EXPECT_STREQ("hello", zelineinput_get_text(input, buf, sizeof buf));
    EXPECT_EQ(1, zepage_get_int(&page, "tc.2.0"));
    ASSERT_TRUE(zepage_set_int(&page, "tc.0.0", 0));
    EXPECT_FALSE(zecheckbox_is_checked((zeCheckBox *)zetable_cell(t, 0, 0)->control));

    zeControl *combo = zetable_cell(t, 2, 0)->control, *button = zetable_cell(t, 3, 0)->control;
    char name[ZEPAGE_NAMESIZE];
    ASSERT_TRUE(zepage_event_name(&page, combo->ids[0], name));
    EXPECT_STREQ("tc.2.0", name);
    EXPECT_TRUE(zepage_is_event(&page, button->ids[0], "tc.3.0"));
    EXPECT_EQ(4, zetable_find_column(t, 0, button->ids[0]));
    // The table's own slot answers no values; the page destroys the table.
    EXPECT_EQ(0, zepage_get_int(&page, "tc"));
    zepage_build(&page, "plain");
    EXPECT_EQ(nullptr, zepage_find(&page, "tc.0.0"));
}

TEST_F(PageTable, HostileTables) {
    // A table text of 50 KB: the text is cut at its limit, the page goes on.
    std::string rows;
    while (rows.size() < 60000) rows += "cell,cell,cell\n";
    zeTable *t = build("<table=ta>" + rows.substr(0, ZEPAGE_TABLETEXTSIZE - 1) + "</table>end");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(3, t->columns);
    EXPECT_EQ((ZEPAGE_TABLETEXTSIZE - 1 + 14) / 15, t->rows);
    t = build("<table=ta>" + rows + "</table>");
    EXPECT_EQ((ZEPAGE_TABLETEXTSIZE - 1 + 14) / 15, t->rows);

    // One line of 100 KB, and 10,000 columns.
    t = build("<table=ta>" + std::string(100000, 'x') + "\n</table>");
    EXPECT_EQ(1, t->columns);
    EXPECT_EQ(ZEPAGE_TABLETEXTSIZE - 1, (int)strlen(zetable_text(t, 0, 0)));
    std::string wide;
    for (int i = 0; i < 10000; i++) wide += i ? ",c" : "c";
    t = build("<table=ta>" + wide + "\n" + wide + "\n</table>");
    EXPECT_EQ(10000, t->columns);
    EXPECT_EQ(2, t->rows);

    // Garbage in attributes and options, joins on the last row and column,
    // thousands of controls (the page makes at most its limit).
    t = build("<table=ta,lineheight=-5,x=99999999999,linecolor=#zz,mincolwidth=2147483647>"
              "a#width=-7 font=@@@@ bgcolor=qq textcolor= entries= rowspan colspan,b#\x01\xff#font=\n"
              "c#combobox entries=,d#button bgcolor=000000 rowspan colspan\n</table>");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0, t->rowheight);
    std::string many;
    for (int i = 0; i < 3000; i++) many += i ? ",#bool" : "#bool";
    t = build("<table=ta>" + many + "\n</table>");
    EXPECT_LE(page.ncontrols, ZEPAGE_CONTROLMAX + 1);
}

// Seeded mutations of a page with every table form: building never fails
// the checks of the sanitizer build and the cursor stays in range.
TEST_F(PageTable, MutatedTablePages) {
    const std::string seed =
        "<table=ta,border,3dframe,thickframe,lineheight=22,mincolwidth=30,linecolor=00ff00,x=4>\n"
        "-,-,-\n|a#bold right,b,,c#center width=80|,d#bgcolor=ffff00 textcolor=0000ff\n"
        "-,-\n1#bool,t#edit,x#combobox entries=x|y,Go#button colspan,e#grey rowspan\n"
        "f#font=arial14,g,h\n</table><br>after";
    std::mt19937 rng(77);
    for (int round = 0; round < 400; round++) {
        std::string s = seed;
        for (int e = 0, n = 1 + rng() % 6; e < n; e++) {
            size_t pos = rng() % (s.size() + 1);
            switch (rng() % 3) {
            case 0: s.insert(pos, 1, ",#|-\n=<>"[rng() % 8]); break;
            case 1: if (pos < s.size()) s.erase(pos, 1 + rng() % 4); break;
            default: if (pos < s.size()) s[pos] = (char)(rng() % 256); break;
            }
        }
        zepage_build(&page, s.c_str());
        ASSERT_GE(page.y, -ZEPAGE_COORDMAX);
        ASSERT_LE(page.y, ZEPAGE_COORDMAX);
    }
}

}  // namespace
