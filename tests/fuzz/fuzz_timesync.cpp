// libFuzzer target for time-service answers: the bytes, ended by a zero, are
// parsed as an answer; one that is accepted must give a time within the day.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "timesync.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text((const char *)data, size);
    int y = 2026, mo = 12, d = 6, h = 0, mi = 0, s = 0;
    if (!timesync_parse(text.c_str(), &y, &mo, &d, &h, &mi, &s)) return 0;
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) abort();
    return 0;
}
