// libFuzzer target for the terminal's escape-sequence decoder: bytes are fed
// the way the terminal does (feed, take the items out, feed the rest) and one
// by one; no byte produces more items than zeansi_feed leaves room for.
#include <cstdint>
#include <cstdlib>
#include "zeansi.h"

static void drain(zeAnsiDecoder *d) {
    int cmd, arg;
    while (zeansi_get(d, &cmd, &arg))
        if (cmd < ZEANSI_PRINT || cmd > ZEANSI_DELETE_CHARS) abort();
    if (zeansi_pending(d) != 0) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    zeAnsiDecoder d;
    zeansi_init(&d);
    zeansi_set_linechars(&d, size & 1);
    const char *p = (const char *)data;
    int left = (int)size;
    while (left > 0) {
        int took = zeansi_feed(&d, p, left);
        if (took < 0 || took > left) abort();
        if (d.count > ZEANSI_RING || d.seqlen > ZEANSI_SEQMAX) abort();
        p += took;
        left -= took;
        drain(&d);
    }
    zeansi_init(&d);
    for (size_t i = 0; i < size; i++) {
        drain(&d);
        zeansi_put(&d, data[i]);
        // one byte never produces more items than the feed leaves room for
        if (d.count > ZEANSI_MAXITEMS || d.seqlen > ZEANSI_SEQMAX) abort();
    }
    drain(&d);
    return 0;
}
