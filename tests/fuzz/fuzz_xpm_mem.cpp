// libFuzzer target for XPM pictures held in memory: the bytes are split at
// newlines into the text array a program would compile in.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>
#include "zeimage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; i++) {
        if (data[i] == '\n') lines.emplace_back();
        else lines.back() += (char)data[i];
    }
    std::vector<const char *> texts;
    for (auto &l : lines) texts.push_back(l.c_str());
    zePixmap p;
    // With the count: exactly the texts there are.
    if (zepxmap_createfrommem_xpm_n(&p, texts.data(), (int)texts.size())) zepxmap_release(&p);
    // Without it: a null text ends the array.
    texts.push_back(nullptr);
    if (zepxmap_createfrommem_xpm(&p, texts.data())) zepxmap_release(&p);
    return 0;
}
