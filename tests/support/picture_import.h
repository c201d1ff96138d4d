// A picture file as the program's import decodes it (transparent parts over
// a given background colour), for tests that compare it with the screen.
#pragma once
#include <gtest/gtest.h>
#include <cstdint>

#include "zeimport.h"
#include "zepxmap.h"

struct ImportedPicture {
    zePixmap p;
    ImportedPicture(const char *file, uint32_t ground) {
        zepxmap_init(&p);
        EXPECT_TRUE(zeimage_import(&p, file, (int)ground)) << file;
    }
    ~ImportedPicture() { zepxmap_release(&p); }
    ImportedPicture(const ImportedPicture &) = delete;
    ImportedPicture &operator=(const ImportedPicture &) = delete;
    uint32_t at(int x, int y) const { return (uint32_t)zepxmap_getpixel(&p, x, y); }
};
