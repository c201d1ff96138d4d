// libFuzzer target for times typed into the time entry dialog: the bytes,
// ended by a zero, are read over a selection taken from the first two bytes;
// the answer must be a minute of the day.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "settings_window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int hour = size > 0 ? data[0] % 30 - 3 : -1, minute = size > 1 ? data[1] % 70 - 3 : -1;
    std::string text((const char *)data, size);
    int v = time_entry_parse(text.c_str(), hour, minute);
    if (v < 0 || v >= 24 * 60) abort();
    return 0;
}
