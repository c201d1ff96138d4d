// UTF-8 <-> Latin-1.
#include "zeutf8.h"

// Length of the sequence a lead byte starts, and the bounds its second byte
// must keep so that the sequence is neither overlong, a surrogate nor beyond
// U+10FFFF; 0 for a byte that starts none.
static int sequence(unsigned char b, unsigned char *lo, unsigned char *hi) {
    *lo = 0x80, *hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0) *lo = 0xA0;
        if (b == 0xED) *hi = 0x9F;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0) *lo = 0x90;
        if (b == 0xF4) *hi = 0x8F;
        return 4;
    }
    return 0;
}

std::string zeutf8_to_latin1(const char *in, size_t n) {
    std::string out;
    if (!in) return out;
    const unsigned char *p = (const unsigned char *)in;
    out.reserve(n);
    size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0x80) {
            if (b) out += (char)b;
            i++;
            continue;
        }
        unsigned char lo, hi;
        int len = sequence(b, &lo, &hi);
        bool ok = len > 0 && i + len <= n && p[i + 1] >= lo && p[i + 1] <= hi;
        for (int k = 2; ok && k < len; k++) ok = p[i + k] >= 0x80 && p[i + k] <= 0xBF;
        if (!ok) {
            out += '?';
            i++;
            continue;
        }
        unsigned cp = b & (0x7F >> len);
        for (int k = 1; k < len; k++) cp = (cp << 6) | (p[i + k] & 0x3F);
        out += cp <= 0xFF ? (char)cp : '?';
        i += len;
    }
    return out;
}

std::string zeutf8_from_latin1(const char *in, size_t n) {
    std::string out;
    if (!in) return out;
    out.reserve(n + n / 4);
    for (size_t i = 0; i < n; i++) {
        unsigned char b = (unsigned char)in[i];
        if (b < 0x80) {
            out += (char)b;
        } else {
            out += (char)(0xC0 | (b >> 6));
            out += (char)(0x80 | (b & 0x3F));
        }
    }
    return out;
}
