// The page tests' fixture: the in-memory screen with the standard view and a
// 740 x 600 page canvas; the page built on it is destroyed after each test.
#pragma once
#include <gtest/gtest.h>

#include "page_canvas.h"
#include "platform/headless/zeheadless.h"
#include "zefont.h"
#include "zeplatform.h"

class PageCanvasTest : public ::testing::Test {
protected:
    PageCanvas canvas;
    zeGUIScript page;
    void SetUp() override { open_canvas(true); }
    // fonts: load the toolkit's fonts first (a page with text measures it).
    void open_canvas(bool fonts) {
        ASSERT_TRUE(zebackend_select("headless"));
        zeheadless_reset();
        if (fonts) zefont_init();
        zeview_install();
        ASSERT_TRUE(canvas.open(740, 600));
    }
    void TearDown() override {
        zepage_destroy(&page, 0);
        canvas.close();
    }
};
