// Clipboard text through the backend.
#include "zeclipboard.h"
#include "zeplatform.h"
#include <cstring>
#include <string>

static std::string g_buffer;

bool zeclipboard_set(const char *text) {
    if (!text) text = "";
    std::string out;
    if (strchr(text, '\r')) {
        out = text;
    } else {
        for (const char *p = text; *p; p++) {
            if (*p == '\n') out += '\r';
            out += *p;
        }
    }
    return zebackend()->clipboard_set(out.c_str());
}

const char *zeclipboard_get(void) {
    const char *t = zebackend()->clipboard_get();
    if (!t) return nullptr;
    g_buffer = t;
    return g_buffer.c_str();
}
