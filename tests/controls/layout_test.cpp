// The first wait lets every open window lay out its main view: content drawn
// before it (without a refresh) reaches the screen then. Its own program, so
// that nothing has waited before.
#include "platform/headless/zeheadless.h"
#include "zeevent.h"
#include "zeplatform.h"
#include "zepxmap.h"
#include "zeview.h"
#include "zewindow.h"
#include <gtest/gtest.h>

TEST(InitialLayout, TheFirstWaitShowsWhatWasDrawnBefore) {
    ASSERT_TRUE(zebackend_select("headless"));
    zeheadless_reset();
    ASSERT_FALSE(zeevent_waited());
    zeWindow w;
    ASSERT_TRUE(zewindow_open(&w, "layout,x=0,y=0,xs=60,ys=40,cys=80,noquit"));
    zeView *v = zeview_of_window(&w);
    ASSERT_NE(nullptr, v);
    EXPECT_FALSE(v->direct);   // the content is taller than the window
    zepxmap_fillrect(zeview_pixmap(v), 0, 0, 60, 80, 0xABCDEF);   // behind the view's back
    EXPECT_NE(0xABCDEFu, zeheadless_pixel(5, 5));
    zeevent_poll();
    EXPECT_EQ(0xABCDEFu, zeheadless_pixel(5, 5));
    zewindow_close(&w);
    EXPECT_EQ(nullptr, zeview_standard());

    // A window whose content is its own size draws straight into its pixmap.
    zeWindow d;
    ASSERT_TRUE(zewindow_open(&d, "direct,x=0,y=0,xs=60,ys=40,noquit"));
    zeView *dv = zeview_of_window(&d);
    ASSERT_NE(nullptr, dv);
    EXPECT_TRUE(dv->direct);
    EXPECT_EQ(zewindow_pixmap(&d), zeview_pixmap(dv));
    zewindow_clear(&d, 0x00FF00);
    EXPECT_EQ(0x00FF00u, zeheadless_pixel(5, 5));
    zewindow_close(&d);
}
