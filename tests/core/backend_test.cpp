#include "zeplatform.h"
#include <gtest/gtest.h>
#include <cstdlib>

TEST(Backend, HeadlessScreenSizeComesFromEnvironment) {
    setenv("ZE_SCREEN", "800x600", 1);
    ASSERT_TRUE(zebackend_select("headless"));
    int w = 0, h = 0;
    zebackend()->screen_size(&w, &h);
    EXPECT_EQ(800, w);
    EXPECT_EQ(600, h);
    EXPECT_FALSE(zebackend_select("nonsense"));
}
