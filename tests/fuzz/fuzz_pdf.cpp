// libFuzzer target for the PostScript-to-PDF converter: the bytes are read as
// PostScript text; whatever PDF comes out must end with its cross-reference
// offset and the end-of-file line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "zepostscript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static char empty[1];
    FILE *in = size ? fmemopen((void *)data, size, "rb") : fmemopen(empty, 1, "rb");
    char *buf = nullptr;
    size_t len = 0;
    FILE *out = open_memstream(&buf, &len);
    if (!in || !out) abort();
    if (size == 0) fgetc(in);   // fmemopen wants a buffer; an empty input is one read byte short
    bool ok = zepdf_convert_stream(in, out);
    fclose(in);
    fclose(out);
    if (ok && (len < 20 || memcmp(buf + len - 6, "%%EOF\n", 6) != 0)) abort();
    free(buf);
    return 0;
}
