// libFuzzer target for the drawing commands: the bytes are a list of
// commands (1001-1050) with arguments drawn from a table of small and extreme
// values, run on small pixmaps of every memory format through zepxmap_command
// with the font module's text hooks. Every command must end and stay inside
// the pixmap.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include "zefont.h"
#include "zegout.h"
#include "zepxmap.h"

static const int values[] = {0, 1, 2, 3, 5, 7, -1, -2, -7, 100, -100, 255, 256, 0xFFFFFF, 1 << 20, -(1 << 20),
                             1 << 30, -(1 << 30), INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, 32767, -32768};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int init = [] {
        zefont_init();
        return freopen("/dev/null", "w", stdout) ? 1 : 0;
    }();
    (void)init;
    static const int formats[] = {ZEPX_PALETTE8, ZEPX_TRUECOLOR, ZEPX_SERVER, ZEPX_DIRECTX, ZEPX_PALETTE16};
    if (size < 1) return 0;
    zePixmap p, other;
    if (!zepxmap_create(&p, 13, 9, formats[data[0] % 5])) abort();
    if (!zepxmap_create(&other, 4, 3, formats[(data[0] / 5) % 4])) abort();
    zepxmap_clear(&other, 7);
    int32_t font = -1;
    static const char *texts[] = {"", "abc\n\tx", "\x01\x7f\x80\xff\xe4", "a-b c-d e", "...", "@@@@@@@@@@@@@@"};
    size_t i = 1;
    int commands = 0;
    while (i + 8 <= size && commands++ < 64) {
        int msg = ZEGOUT_SETPIXEL + data[i] % 50;
        intptr_t a[8];
        for (int k = 0; k < 7; k++) a[k] = values[data[i + 1 + k] % (sizeof values / sizeof *values)];
        a[7] = 0;
        i += 8;
        switch (msg) {
        // commands whose arguments are pointers or files: safe stand-ins
        case ZEGOUT_TEXT: a[3] = (intptr_t)texts[(unsigned)a[3] % 6]; break;
        case ZEGOUT_TEXTWRAP: a[5] = (intptr_t)texts[(unsigned)a[5] % 6]; break;
        case ZEGOUT_TEXTCENTER: a[2] = (intptr_t)texts[(unsigned)a[2] % 6]; break;
        case ZEGOUT_TEXTWIDTH: a[0] = (intptr_t)texts[(unsigned)a[0] % 6]; break;
        case ZEGOUT_MERGEOBJECT: a[0] = (intptr_t)&other; break;
        case ZEGOUT_MERGEPXMAP: a[2] = (intptr_t)&other; break;
        case ZEGOUT_SETFONT: a[0] = (unsigned)a[0] % 3 == 0 ? -1 : (unsigned)a[0] % 3 == 1 ? -2 : a[0]; break;
        case ZEGOUT_SAVE:
        case ZEGOUT_LOAD:
        case ZEGOUT_XPM:
        case ZEGOUT_XPM_PALETTE:
        case ZEGOUT_SETFONT_DESC:
        case ZEGOUT_SETFONT_SYSTEM:
        case ZEGOUT_SELF:
        case ZEGOUT_RESERVED2: continue;
        default: break;
        }
        zepxmap_command(&p, &font, nullptr, msg, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    }
    zepxmap_release(&other);
    zepxmap_release(&p);
    return 0;
}
