// The table control drawn into a window's view: geometry, lines and
// frames, texts with their alignments and colours, and the controls placed
// in cells (check box, text input, combo box, button) following later texts.
#include "platform/headless/zeheadless.h"
#include "zebutton.h"
#include "zecheckbox.h"
#include "zecombobox.h"
#include "zefont.h"
#include "zegout.h"
#include "zelineinput.h"
#include "zeplatform.h"
#include "zetable.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>
#include <string>

namespace {

class Table : public ::testing::Test {
protected:
    zeWindow win;
    zeTable t;
    zePixmap *px = nullptr;

    void SetUp() override {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        zefont_init();
        zeview_install();
        ASSERT_TRUE(zewindow_open(&win, "table,x=0,y=0,xs=640,ys=400,noquit"));
        px = zeview_pixmap(zeview_of_window(&win));
        zegraphic_clear(0xFFFFFF);
        zetable_init(&t);
    }
    void TearDown() override {
        zetable_release(&t);
        zewindow_close(&win);
    }
    int at(int x, int y) { return zepxmap_getpixel(px, x, y) & 0xFFFFFF; }
    // Leftmost x in [x0, x1) of a pixel of colour c in row band [y0, y1), or -1.
    // Where the ink of a text starts, relative to where it is drawn.
    int ink(const char *text) {
        zegraphic_fillrect(0, 300, 300, 20, 0xFFFFFF);
        zegraphic_text(100, 302, 0x000000, text);
        int x = first_x(100, 300, 300, 320, 0x000000) - 100;
        zegraphic_fillrect(0, 300, 300, 20, 0xFFFFFF);
        return x;
    }
    int first_x(int x0, int x1, int y0, int y1, int c) {
        for (int x = x0; x < x1; x++)
            for (int y = y0; y < y1; y++)
                if (at(x, y) == c) return x;
        return -1;
    }
};

TEST_F(Table, DefaultGridLinesAndSize) {
    ASSERT_TRUE(zetable_create(&t, 3, 2));
    EXPECT_EQ(180, zetable_total_width(&t));
    EXPECT_EQ(50, zetable_draw(&t, 10, 10));
    EXPECT_EQ(ZETABLE_GRIDCOLOR, at(10, 20));    // left line of column 0
    EXPECT_EQ(ZETABLE_GRIDCOLOR, at(70, 20));    // between columns 0 and 1
    EXPECT_EQ(ZETABLE_GRIDCOLOR, at(40, 30));    // between rows
    EXPECT_EQ(ZETABLE_GRIDCOLOR, at(190, 50));   // bottom right corner
    EXPECT_EQ(0xFFFFFF, at(40, 20));

    // Sizes that cannot be made are refused and leave the table empty.
    EXPECT_FALSE(zetable_create(&t, 0, 5));
    EXPECT_FALSE(zetable_create(&t, 10000, 1000));
    EXPECT_EQ(nullptr, t.cells);
    EXPECT_TRUE(zetable_create(&t, 10000, 1));
    EXPECT_EQ(600000, zetable_total_width(&t));
}

TEST_F(Table, TextAlignmentsColoursAndFitting) {
    ASSERT_TRUE(zetable_create(&t, 3, 1));
    zetable_set_text(&t, 0, 0, "ab");
    zetable_set_text(&t, 1, 0, "%s", "cd");
    zetable_set_align(&t, 1, 0, "center");
    zetable_set_text(&t, 2, 0, "a right-aligned text too wide");
    zetable_set_align(&t, 2, 0, "right");
    EXPECT_FALSE(zetable_set_align(&t, 0, 0, "Center"));   // names are case-sensitive
    zetable_set_textcolor(&t, 1, 0, 0xFF0000);
    zetable_set_bgcolor(&t, 1, 0, 0x00FF00);
    int a = ink("ab"), c = ink("cd");
    zetable_draw(&t, 0, 0);
    EXPECT_EQ(4 + a, first_x(0, 60, 1, 19, 0x000000));                     // left: 4 in
    EXPECT_EQ(60 + (60 - 12) / 2 + c, first_x(60, 120, 1, 19, 0xFF0000));  // centred
    EXPECT_EQ(0x00FF00, at(62, 2));
    // Too wide: it starts at the cell's edge (the grid line covers column 120),
    // not 4 in as a left-aligned text would.
    int wide = first_x(121, 180, 1, 19, 0x000000);
    EXPECT_GE(wide, 121);
    EXPECT_LT(wide, 124 + a);

    zetable_fit_columns(&t, 70);
    EXPECT_EQ(70, t.widths[0]);
    EXPECT_EQ(zefont_text_width(ZEFONT_DEFAULT, "a right-aligned text too wide") + 9, t.widths[2]);
    zetable_fit_columns(&t, 20);
    EXPECT_EQ(70, t.widths[0]);   // never narrower

    // After the first draw a new text redraws that cell only.
    zegraphic_fillrect(200, 0, 40, 20, 0x123456);
    zetable_set_text(&t, 0, 0, "x");
    EXPECT_EQ(0x123456, at(210, 10));
    EXPECT_EQ(4 + ink("x"), first_x(0, 60, 1, 19, 0x000000));
}

TEST_F(Table, BordersFramesAndJoins) {
    ASSERT_TRUE(zetable_create(&t, 2, 2));
    zetable_set_border_black(&t, 0, 0, "b");
    zetable_set_border_black(&t, 1, 1, "r");
    zetable_join_below(&t, 1, 0);
    zetable_set_type(&t, 0, 1, "grey");
    zetable_set_frames(&t, true, false, false);
    zetable_draw(&t, 20, 20);
    EXPECT_EQ(0x000000, at(40, 40));                // black bottom of (0, 0) over the grid line
    EXPECT_EQ(0x000000, at(140, 50));               // black right of (1, 1); also the outline
    EXPECT_EQ(0xFFFFFF, at(110, 40));               // joined: no line between (1, 0) and (1, 1)
    EXPECT_EQ(ZETABLE_GREYFILL, at(30, 50));
    EXPECT_EQ(0x000000, at(141, 30));               // two-pixel shadow right
    EXPECT_EQ(0x000000, at(142, 30));
    EXPECT_EQ(0xFFFFFF, at(141, 21));               // it starts at y + 2
    EXPECT_EQ(0x000000, at(30, 62));                // and below

    // A text cell joined to the right hides its neighbour's text.
    zeTable two;
    zetable_init(&two);
    ASSERT_TRUE(zetable_create(&two, 2, 1));
    zetable_set_text(&two, 1, 0, "hidden");
    zetable_join_right(&two, 0, 0);
    zetable_draw(&two, 300, 200);
    EXPECT_EQ(-1, first_x(361, 420, 201, 219, 0x000000));
    EXPECT_EQ(0xFFFFFF, at(360, 210));   // no line between them
    zetable_release(&two);

    zetable_set_frames(&t, false, true, false);
    zegraphic_clear(0xFFFFFF);
    zetable_draw(&t, 20, 20);
    for (int x : {19, 20, 21, 139, 140, 141}) EXPECT_EQ(0x000000, at(x, 30)) << x;
    EXPECT_EQ(0xFFFFFF, at(142, 30));
}

TEST_F(Table, ControlsInCellsFollowTheirTexts) {
    ASSERT_TRUE(zetable_create(&t, 4, 2));
    zetable_set_type(&t, 0, 0, "bool");
    zetable_set_text(&t, 0, 0, "1");
    zetable_set_type(&t, 1, 0, "edit");
    zetable_set_text(&t, 1, 0, "a,b");
    zetable_set_type(&t, 2, 0, "combobox");
    zetable_set_entries(&t, 2, 0, "red|green,light|blue");
    zetable_set_text(&t, 2, 0, "green,light");
    zetable_set_type(&t, 0, 1, "button");
    zetable_set_text(&t, 0, 1, "OK,x=500");
    zetable_set_text(&t, 1, 1, "hidden");
    zetable_join_right(&t, 0, 1);
    zetable_set_column_width(&t, 1, 80);
    zetable_draw(&t, 0, 0);

    zeCheckBox *box = (zeCheckBox *)zetable_cell(&t, 0, 0)->control;
    ASSERT_TRUE(box && box->c.created);
    EXPECT_TRUE(zecheckbox_is_checked(box));
    EXPECT_EQ(1, box->c.x);
    EXPECT_EQ(58, box->c.w);
    zeLineInput *input = (zeLineInput *)zetable_cell(&t, 1, 0)->control;
    char text[64];
    EXPECT_STREQ("a,b", zelineinput_get_text(input, text, sizeof text));
    zeComboBox *combo = (zeComboBox *)zetable_cell(&t, 2, 0)->control;
    EXPECT_EQ(3, combo->count);
    EXPECT_EQ(60 + 80 + 1, combo->c.x);   // in its cell, not taken for its text
    EXPECT_EQ(1, zecombobox_selected(combo));
    // The button spans its column and the next; its caption keeps the comma.
    zeButton *button = (zeButton *)zetable_cell(&t, 0, 1)->control;
    EXPECT_EQ(60 + 80 - 3, button->c.w);
    EXPECT_EQ(2, button->c.x);
    EXPECT_STREQ("OK,x=500", zebutton_caption(button, text, sizeof text));

    EXPECT_EQ(1, zetable_find_column(&t, 0, box->c.ids[0]));
    EXPECT_EQ(3, zetable_find_column(&t, 0, combo->c.ids[0]));
    EXPECT_EQ(1, zetable_find_column(&t, 1, button->c.ids[0]));
    EXPECT_EQ(0, zetable_find_column(&t, 1, box->c.ids[0]));

    zetable_set_text(&t, 0, 0, "0");
    EXPECT_FALSE(zecheckbox_is_checked(box));
    zetable_set_text(&t, 1, 0, "new");
    EXPECT_STREQ("new", zelineinput_get_text(input, text, sizeof text));
    zetable_set_text(&t, 2, 0, "blue");
    EXPECT_EQ(2, zecombobox_selected(combo));
    zetable_set_text(&t, 0, 1, "1");
    EXPECT_TRUE(zebutton_is_pressed(button));

    // Drawing again places the same controls anew.
    zetable_draw(&t, 0, 100);
    EXPECT_EQ(101, box->c.y);
    EXPECT_EQ(box, (zeCheckBox *)zetable_cell(&t, 0, 0)->control);
}

}  // namespace
