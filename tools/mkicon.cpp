// mkicon: draws the program's icon at build time.
//   mkicon THEMEDIR NAME        THEMEDIR/SIZExSIZE/apps/NAME.png for the
//                               hicolor sizes 16 ... 256
//   mkicon --file OUT.png SIZE  one picture
#include "zeicon.h"
#include "zeimage.h"
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

static const int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

static bool write_icon(const std::string &file, int size) {
    std::vector<uint32_t> px((size_t)size * size);
    if (!zeicon_draw(px.data(), size) || !zepng_write_argb(file.c_str(), px.data(), size, size)) {
        fprintf(stderr, "mkicon: cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}

static bool make_dir(const std::string &dir) {
    for (size_t i = 1; i <= dir.size(); i++) {
        if (i < dir.size() && dir[i] != '/') continue;
        if (mkdir(dir.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

int main(int argc, char **argv) {
    if (argc == 4 && !strcmp(argv[1], "--file")) return write_icon(argv[2], atoi(argv[3])) ? 0 : 1;
    if (argc != 3) {
        fprintf(stderr, "usage: mkicon THEMEDIR NAME | mkicon --file OUT.png SIZE\n");
        return 2;
    }
    for (int size : kSizes) {
        std::string dir = std::string(argv[1]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!make_dir(dir) || !write_icon(dir + "/" + argv[2] + ".png", size)) return 1;
    }
    return 0;
}
