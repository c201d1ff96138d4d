// The terminal's escape-sequence decoder. Plain bytes become print items;
// ESC [ ... sequences become the items listed in zeansi.h; anything not
// understood is reported once on standard output and dropped.
#include "zeansi.h"
#include "zefont.h"
#include <cstdio>
#include <cstring>

namespace {

void emit(zeAnsiDecoder *d, int cmd, int arg) {
    if (d->count >= ZEANSI_RING) return;
    int slot = (d->head + d->count) % ZEANSI_RING;
    d->cmd[slot] = cmd;
    d->arg[slot] = arg;
    d->count++;
}

void not_recognized(const zeAnsiDecoder *d) {
    char text[ZEANSI_SEQMAX + 1];
    int n = 0;
    for (int i = 0; i < d->seqlen; i++) {
        unsigned char c = (unsigned char)d->seq[i];
        text[n++] = c < 32 || c == 127 ? '?' : (char)c;
    }
    text[n] = 0;
    printf("AnsiDecoder not recognized: %s\n", text);
}

// Letters of the alternate character set.
int line_char(const zeAnsiDecoder *d, int c) {
    if (d->linechars) {
        static const struct {
            char letter;
            int glyph;
        } map[] = {
            {'a', '#'}, {'j', ZEFONT_LINE_BR}, {'k', ZEFONT_LINE_TR}, {'l', ZEFONT_LINE_TL},
            {'m', ZEFONT_LINE_BL}, {'n', ZEFONT_LINE_CROSS}, {'q', ZEFONT_LINE_H}, {'t', ZEFONT_LINE_LT},
            {'u', ZEFONT_LINE_RT}, {'v', ZEFONT_LINE_UT}, {'w', ZEFONT_LINE_DT}, {'x', ZEFONT_LINE_V},
        };
        for (const auto &m : map)
            if (m.letter == c) return m.glyph;
        return c;
    }
    if (c == 'L' || c == 'T' || (c >= 'j' && c <= 'n') || (c >= 't' && c <= 'w')) return '+';
    if (c == 'a') return '#';
    if (c == 'q') return '-';
    if (c == 'x') return '|';
    return c;
}

struct Params {
    int n;                              // parameters written (empty ones count)
    int v[ZEANSI_SEQMAX];               // values, 0 when empty
    bool given[ZEANSI_SEQMAX];
    char marker;                        // '?', '!' or 0
    char final;
};

// "[" marker? digits and ";" ... final. False when other bytes appear.
bool split(const zeAnsiDecoder *d, Params *p) {
    memset(p, 0, sizeof *p);
    int i = 1, end = d->seqlen - 1;
    p->final = d->seq[end];
    if (i < end && (d->seq[i] == '?' || d->seq[i] == '!')) p->marker = d->seq[i++];
    if (i == end) return true;
    p->n = 1;
    for (; i < end; i++) {
        char c = d->seq[i];
        if (c == ';') {
            p->n++;
            continue;
        }
        if (c < '0' || c > '9') return false;
        int k = p->n - 1;
        if (p->v[k] < 100000) p->v[k] = p->v[k] * 10 + (c - '0');
        p->given[k] = true;
    }
    return true;
}

// Parameter k, or def when absent or 0.
int count_param(const Params &p, int k, int def = 1) {
    return k < p.n && p.given[k] && p.v[k] ? p.v[k] : def;
}

bool modes(zeAnsiDecoder *d, const Params &p) {
    int on = p.final == 'h';
    bool ok = p.n > 0;
    for (int k = 0; k < p.n; k++) {
        int v = p.v[k];
        if (p.marker == '?') {
            if (v == 1) emit(d, ZEANSI_CURSOR_KEYS, on);
            else if (v == 7) emit(d, ZEANSI_AUTOWRAP, on);
            else if (v == 25) emit(d, ZEANSI_CURSOR_VISIBLE, on);
            else if (v != 47 && v != 1000 && v != 1047 && v != 1048) ok = false;
        } else if (v == 4) emit(d, ZEANSI_INSERT_MODE, on);
        else ok = false;
    }
    return ok;
}

void attributes(zeAnsiDecoder *d, const Params &p) {
    int k = 0;
    // Set while the last item of this sequence turned the attributes off: a
    // further 0 repeats it. Skipping the repeats keeps a run of empty
    // parameters (";;;;...;31m") within the items one byte may produce, so
    // the colour after them is not dropped from a full ring.
    bool off = false;
    if (p.n == 0 || p.v[0] == 0) {
        emit(d, ZEANSI_RESET, 0);
        k = 1;   // what follows a leading reset still applies ("0;31" is red)
        off = true;
    }
    for (; k < p.n; k++) {
        int v = p.v[k];
        if (v == 0) {
            if (!off) emit(d, ZEANSI_ATTR_OFF, v);
            off = true;
            continue;
        }
        bool known = true;
        if (v >= 30 && v <= 38) emit(d, ZEANSI_FOREGROUND, v - 30);
        else if (v >= 40 && v <= 48) emit(d, ZEANSI_BACKGROUND, v - 40);
        else if (v == 1) emit(d, ZEANSI_BOLD, v);
        else if (v == 39) emit(d, ZEANSI_FOREGROUND_DEFAULT, v);
        else if (v == 49) emit(d, ZEANSI_BACKGROUND_DEFAULT, v);
        else if (v == 7 || v == 27) emit(d, ZEANSI_REVERSE, v);
        else known = false;
        if (known) off = false;
        // 38 and 48 introduce an extended colour: its parameters are not
        // attributes of their own.
        if ((v == 38 || v == 48) && k + 1 < p.n) k += p.v[k + 1] == 5 ? 2 : p.v[k + 1] == 2 ? 4 : 0;
    }
}

bool control_sequence(zeAnsiDecoder *d) {
    Params p;
    if (!split(d, &p)) return false;
    if (p.marker == '?' && p.final != 'h' && p.final != 'l') return false;
    if (p.marker == '!') {
        if (p.final != 'p' || p.n) return false;
        emit(d, ZEANSI_CURSOR_KEYS, 0);
        emit(d, ZEANSI_AUTOWRAP, 0);
        emit(d, ZEANSI_CURSOR_VISIBLE, 1);
        emit(d, ZEANSI_INSERT_MODE, 1);
        return true;
    }
    int first = p.n > 0 ? p.v[0] : 0;
    switch (p.final) {
    case '@': emit(d, ZEANSI_INSERT_CHARS, count_param(p, 0)); return true;
    case 'A': emit(d, ZEANSI_UP, count_param(p, 0)); return true;
    case 'B': emit(d, ZEANSI_DOWN, count_param(p, 0)); return true;
    case 'C': emit(d, ZEANSI_RIGHT, count_param(p, 0)); return true;
    case 'D': emit(d, ZEANSI_LEFT, count_param(p, 0)); return true;
    case 'G': emit(d, ZEANSI_COLUMN, count_param(p, 0)); return true;
    case 'd': emit(d, ZEANSI_ROW, count_param(p, 0)); return true;
    case 'H':
        emit(d, ZEANSI_COLUMN, count_param(p, 1));
        emit(d, ZEANSI_ROW, count_param(p, 0));
        return true;
    case 'J':
        if (first == 0) emit(d, ZEANSI_ERASE_EOS, 0);
        else if (first == 2) emit(d, ZEANSI_ERASE_SCREEN, 0);
        return first <= 2;
    case 'K':
        if (first > 2) return false;
        emit(d, first == 0 ? ZEANSI_ERASE_EOL : first == 1 ? ZEANSI_ERASE_SOL : ZEANSI_ERASE_LINE, 0);
        return true;
    case 'P': emit(d, ZEANSI_DELETE_CHARS, count_param(p, 0)); return true;
    case 'X': emit(d, ZEANSI_ERASE_CHARS, count_param(p, 0)); return true;
    case 'h':
    case 'l': return modes(d, p);
    case 'm': attributes(d, p); return true;
    case 'g':
    case 'r': return true;
    case 's': emit(d, ZEANSI_SAVE_CURSOR, 0); return true;
    case 'u': emit(d, ZEANSI_RESTORE_CURSOR, 0); return true;
    default: return false;
    }
}

bool is_final(char c) { return (c >= '@' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '~'; }

void end_sequence(zeAnsiDecoder *d) {
    d->collecting = false;
    d->seqlen = 0;
}

// One byte of a sequence (d->seq holds what came after ESC so far).
void sequence_byte(zeAnsiDecoder *d, int byte) {
    d->seq[d->seqlen++] = (char)byte;
    d->seq[d->seqlen] = 0;
    char first = d->seq[0];
    if (d->seqlen == 1) {
        if (byte == 27) {
            emit(d, ZEANSI_PRINT, 27);
            end_sequence(d);
        } else if (first == ']') {
            d->osc = true;   // an operating-system command (window title): skipped
            end_sequence(d);
        } else if (first == '\\') {
            end_sequence(d);   // string terminator after a skipped command
        } else if (first != '[' && first != '(' && first != ')') {
            not_recognized(d);
            end_sequence(d);
        }
        return;
    }
    if (first == '(' || first == ')') {
        end_sequence(d);   // character set designation: consumed
        return;
    }
    if (is_final((char)byte)) {
        if (!control_sequence(d)) not_recognized(d);
        end_sequence(d);
        return;
    }
    if (d->seqlen >= ZEANSI_SEQMAX) {
        not_recognized(d);
        end_sequence(d);
    }
}

}  // namespace

void zeansi_init(zeAnsiDecoder *d) { memset(d, 0, sizeof *d); }

void zeansi_set_linechars(zeAnsiDecoder *d, bool on) { d->linechars = on; }

void zeansi_put(zeAnsiDecoder *d, int byte) {
    byte &= 0xFF;
    if (d->osc) {
        if (byte == 7) d->osc = false;
        else if (byte == 27) {
            d->osc = false;
            d->collecting = true;
        }
        return;
    }
    if (d->collecting) {
        sequence_byte(d, byte);
        return;
    }
    if (byte == 14) d->shiftout = true;
    else if (byte == 15) d->shiftout = false;
    else if (byte == 27) {
        d->collecting = true;
        d->seqlen = 0;
    } else
        emit(d, ZEANSI_PRINT, d->shiftout ? line_char(d, byte) : byte);
}

int zeansi_feed(zeAnsiDecoder *d, const char *bytes, int n) {
    int i = 0;
    while (i < n && ZEANSI_RING - d->count >= ZEANSI_MAXITEMS) zeansi_put(d, (unsigned char)bytes[i++]);
    return i;
}

bool zeansi_get(zeAnsiDecoder *d, int *cmd, int *arg) {
    if (d->count == 0) return false;
    *cmd = d->cmd[d->head];
    *arg = d->arg[d->head];
    d->head = (d->head + 1) % ZEANSI_RING;
    d->count--;
    return true;
}

int zeansi_pending(const zeAnsiDecoder *d) { return d->count; }
