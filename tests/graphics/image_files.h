// Helpers of the picture file tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The bytes of a file; empty when it cannot be read.
inline std::vector<uint8_t> slurp(const std::string &name) {
    std::vector<uint8_t> v;
    FILE *f = fopen(name.c_str(), "rb");
    if (!f) return v;
    int c;
    while ((c = getc(f)) != EOF) v.push_back((uint8_t)c);
    fclose(f);
    return v;
}
