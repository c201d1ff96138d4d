// Damaged markup for the page tests and the page fuzz target: a small
// seeded generator that cuts, repeats and flips pieces of a page and mixes
// in fragments of every tag with hostile values.
#pragma once
#include <cstdint>
#include <string>

struct PageFeed {
    uint64_t state;
    explicit PageFeed(uint64_t seed) : state(seed * 2654435761u + 1) {}

    uint32_t next() {   // xorshift64*
        state ^= state >> 12, state ^= state << 25, state ^= state >> 27;
        return (uint32_t)((state * 2685821657736338717ull) >> 32);
    }
    uint32_t below(uint32_t n) { return n ? next() % n : 0; }

    // A tag fragment, often with a value that is huge, negative, empty,
    // unterminated or full of separators.
    std::string fragment() {
        static const char *const names[] = {
            "b", "/b", "font", "big", "small", "textcolor", "center", "/center", "br", "br /", "char",
            "achar", "lineoffset", "x", "y", "xinc", "xoffset", "yinc", "ydec", "offset", "setxleftborder",
            "leftborder", "rightborder", "rightborderpos", "save", "xsave", "restore", "xrestore", "hline",
            "fillrect", "backgroundcolor", "image", "image_xpm", "memimage", "bullet", "link", "linkcolor",
            "linkbackground", "linkhighlight", "linkactive", "button", "switchbutton", "checkbox", "combobox",
            "slide", "lineinput", "updowncontrol", "progressbar", "listbox", "editor", "rtfeditor", "tabbar",
            "view", "terminal", "table", "/table", "standardview", "none", "ysize", "BR", "Font", "",
        };
        static const char *const values[] = {
            "", "0", "1", "-1", "50%", "100%", "-100%", "2147483647", "-2147483648", "99999999999999999999",
            "4294967296%", "arial20", "arial26", "crnew12", "var13", "nosuchfont", "ff0000", "0xzz", "red",
            "a", "a,b,c", ",,,,", "p1", "p1,Caption,xs=60", "p1,xs=2147483647,ys=-5", "x=5,y=5", "B9W", "Z",
            "no/such.bmp", "1,x=10", "%s%n%d", "0,0,ffffff", "100,0,0", "1000000000,1000000000,123456",
            "v1,xs=100,ys=40", "v1", "t1,border,lineheight=99999999", ">>>>", "a\nb", "%", "=", "==x",
        };
        const int nn = sizeof names / sizeof *names, nv = sizeof values / sizeof *values;
        std::string f = "<";
        f += names[below(nn)];
        if (below(3)) f += std::string("=") + values[below(nv)];
        if (below(10)) f += ">";
        return f;
    }

    // One damaged copy of a page.
    std::string damage(const std::string &page) {
        std::string s = page;
        int edits = 1 + below(8);
        for (int e = 0; e < edits; e++) {
            size_t at = s.empty() ? 0 : below((uint32_t)s.size());
            switch (below(7)) {
            case 0: s.insert(at, fragment()); break;
            case 1: if (!s.empty()) s[at] = (char)(next() & 0xff); break;
            case 2: s.erase(at, below(200)); break;
            case 3: s.insert(at, s.substr(at, below(100))); break;
            case 4: s.insert(at, below(2) ? "<" : ">"); break;
            case 5: s.resize(at); break;
            case 6: s.insert(at, std::string(below(300), " \n-,<>%"[below(7)])); break;
            }
        }
        return s;
    }
};
