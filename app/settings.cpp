// The settings table: load, save, defaults, and example 9 at the first start.
#include "settings.h"
#include "app_paths.h"
#include "sevenseg.h"
#include "zemetrics.h"
#include "zexbase.h"
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

// How a cell's text maps to its setting.
enum CellKind : char {
    CELL_NUMBER,    // int32_t, "%d"
    CELL_FLAG,      // bool, "%d"; any non-zero number reads as set
    CELL_COLOUR,    // uint32_t, "%06x"; a cell without hex digits leaves it unchanged
    CELL_TEXT,      // char[size], as it is
    CELL_LANGUAGE,  // int, 0 English, 1 German
};

// Limits of a number as loaded: the range the program can work with, so a
// damaged or hostile file cannot make its arithmetic overflow.
enum {
    SCREEN_WIDTH = -1,   // as a limit: the screen's width
    SCREEN_HEIGHT = -2,  // the screen's height
    FAR = 100000,        // coordinates beyond this are off any desktop
    LAST_DAY = 3652059,  // 31 December 9999
};

struct SettingCell {
    const char *name;  // the field's name, for generators and tests
    CellKind kind;
    void *field;
    int size;          // CELL_TEXT: the buffer's size
    int32_t lo, hi;    // CELL_NUMBER: the range kept on loading
};

struct SettingRow {
    const char *key;
    SettingCell cells[13];  // columns 1.. in order; unused entries have no name
};

#define NUMBER(f, lo, hi) {#f, CELL_NUMBER, &f, 0, lo, hi}
#define FLAG(f) {#f, CELL_FLAG, &f, 0, 0, 0}
#define COLOUR(f) {#f, CELL_COLOUR, &f, 0, 0, 0}
#define TEXT(f) {#f, CELL_TEXT, f, sizeof f, 0, 0}

// The rows of the file, 0..22, in order. The names are the fields' own.
static const SettingRow g_rows[SETTINGS_ROWS] = {
    {"CountUp", {FLAG(g_timer.countUp), FLAG(g_timer.roundUp)}},
    {"Destination", {NUMBER(g_timer.destinationDay, 1, LAST_DAY), NUMBER(g_timer.destinationSecond, 0, 86399)}},
    {"24h", {FLAG(g_settings.hours24)}},
    {"stop after finished", {FLAG(g_timer.stopAfterFinished)}},
    {"CountUpTime", {NUMBER(g_timer.countUpTime, 0, INT32_MAX)}},
    {"CountUpStopMode", {NUMBER(g_timer.countUpStopMode, 0, 2), NUMBER(g_timer.restartAfter, 0, INT32_MAX)}},
    {"Textcolor", {COLOUR(g_settings.segmentColour), COLOUR(g_settings.backgroundColour)}},
    {"Coordinates",
     {NUMBER(g_settings.windowX, -FAR, FAR), NUMBER(g_settings.windowY, -FAR, FAR),
      NUMBER(g_settings.windowWidth, 0, FAR)}},
    {"Border/Offset",
     {NUMBER(g_settings.borderWidth, 0, SCREEN_HEIGHT), COLOUR(g_settings.borderColour),
      NUMBER(g_settings.verticalOffset, 0, SCREEN_HEIGHT), NUMBER(g_settings.horizontalOffset, 0, SCREEN_WIDTH)}},
    {"WindowOnStart", {FLAG(g_settings.windowOnStart)}},
    {"AlwaysOnTop/Fullscreen",
     {FLAG(g_settings.alwaysOnTop), FLAG(g_settings.fullscreen), FLAG(g_settings.resizeDesktop),
      FLAG(g_settings.alwaysVisible)}},
    {"Autostart", {FLAG(g_settings.autostart)}},
    {"StayOnDesktop", {FLAG(g_settings.stayOnDesktop)}},
    {"Size", {NUMBER(g_settings.size, 0, 100)}},
    {"Colors", {COLOUR(g_settings.activeColour), COLOUR(g_settings.inactiveColour)}},
    {"Contrast", {NUMBER(g_settings.contrast, 0, 100)}},
    {"Format",
     {NUMBER(g_format.form, 1, 2), FLAG(g_format.showDays), FLAG(g_format.showHours),
      FLAG(g_format.showMinutes), FLAG(g_format.showSeconds), FLAG(g_format.showHundredths),
      NUMBER(g_format.leadingWidth, 0, 20), FLAG(g_format.unitDays), FLAG(g_format.unitHours),
      FLAG(g_format.unitMinutes), FLAG(g_format.unitSeconds), NUMBER(g_format.integerWidth, 0, 20),
      NUMBER(g_format.decimals, 0, 8)}},
    {"GraphicProgram", {TEXT(g_settings.graphicProgram)}},
    {"Offset", {NUMBER(g_settings.minWidth, 0, SCREEN_WIDTH), NUMBER(g_settings.minHeight, 0, SCREEN_HEIGHT)}},
    {"Language", {{"g_app.language", CELL_LANGUAGE, &g_app.language, 0, 0, 0}}},
    {"SyncTime", {FLAG(g_settings.syncTime)}},
    {"Action",
     {FLAG(g_settings.actionMessage), FLAG(g_settings.actionSound), FLAG(g_settings.actionProgram),
      TEXT(g_settings.soundFile), TEXT(g_settings.programPath), TEXT(g_settings.messageText)}},
    {"ColonBlink", {FLAG(g_settings.colonBlink)}},
};

static const SettingCell *cell_at(int row, int column) {
    if (row < 0 || row >= SETTINGS_ROWS || column < 1 || column > 13) return nullptr;
    const SettingCell *c = &g_rows[row].cells[column - 1];
    return c->name ? c : nullptr;
}

// The field name without its record ("g_timer.countUp" -> "countUp").
static const char *short_name(const char *name) {
    const char *dot = strrchr(name, '.');
    return dot ? dot + 1 : name;
}

// "%x" reading: blanks, an optional 0x, hex digits. False when there are none.
static bool parse_hex(const char *s, uint32_t *out) {
    while (*s == ' ' || *s == '\t') s++;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && isxdigit((unsigned char)s[2])) s += 2;
    if (!isxdigit((unsigned char)*s)) return false;
    // Colours are RRGGBB: more is held at white rather than carried into
    // bits that every drawing routine would misread.
    unsigned long v = strtoul(s, nullptr, 16);
    *out = v > 0xffffff ? 0xffffff : (uint32_t)v;
    return true;
}

// ---- load ----

static void default_values();

static int32_t limit(int32_t v) {
    if (v == SCREEN_WIDTH) return guimetrics("screenxs");
    if (v == SCREEN_HEIGHT) return guimetrics("screenys");
    return v;
}

static int32_t bounded(const SettingCell *c, int64_t v) {
    int32_t lo = limit(c->lo), hi = limit(c->hi);
    return (int32_t)(v < lo ? lo : v > hi ? hi : v);
}

// A cell's text read the table's way: leading blanks, a sign, digits up to
// the first other character; 0 when there are none.
static int64_t cell_number(const char *p) {
    while (*p == ' ' || *p == '\t') p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (v <= INT32_MAX) v = v * 10 + (*p - '0');
    return negative ? -v : v;
}

static void set_cell(const SettingCell *c, const char *text) {
    switch (c->kind) {
    case CELL_NUMBER: *(int32_t *)c->field = bounded(c, cell_number(text)); break;
    case CELL_FLAG: *(bool *)c->field = cell_number(text) != 0; break;
    case CELL_LANGUAGE: *(int *)c->field = cell_number(text) != 0; break;
    case CELL_COLOUR: parse_hex(text, (uint32_t *)c->field); break;
    case CELL_TEXT: snprintf((char *)c->field, c->size, "%s", text); break;
    }
}

// Rows the table has are read; rows it lacks (a short file) take the
// defaults, not zeros: a blank Size or Format row would give an unusable timer.
static void read_rows(zeXBase *t) {
    static char defaults[SETTINGS_ROWS][13][SETTINGS_TABLE_WIDTH + 2];
    const int present = zexbase_rows(t);
    if (present < SETTINGS_ROWS) {
        const TimerState timer = g_timer;
        const DisplayFormat format = g_format;
        const Settings settings = g_settings;
        default_values();
        for (int row = present; row < SETTINGS_ROWS; row++)
            for (int column = 1; cell_at(row, column); column++)
                settings_cell_text(row, column, defaults[row][column - 1], sizeof defaults[row][column - 1]);
        g_timer = timer, g_format = format, g_settings = settings;
    }
    char text[SETTINGS_TABLE_WIDTH + 2];
    for (int row = 0; row < SETTINGS_ROWS; row++)
        for (int column = 1; cell_at(row, column); column++) {
            const char *value = row < present ? zexbase_read_text(t, row, column, text, sizeof text)
                                              : defaults[row][column - 1];
            set_cell(cell_at(row, column), value);
        }
}

static bool is_users_file(const char *file) {
    return !file || strcmp(file, SETTINGS_FILE) == 0;
}

// Set when the user's unreadable file could not be moved aside: saving would
// overwrite it, so the settings of this run are not saved.
static char s_notSavedOver[PATH_MAX];

// A file that is there but cannot be read is the user's data all the same:
// the save at quit would overwrite it, so it is kept under another name.
static void keep_rejected(const char *file) {
    char kept[PATH_MAX + 8];
    snprintf(kept, sizeof kept, "%s.bad", file);
    if (rename(file, kept) == 0) {
        write_log("settings: %s is not a readable table, kept as %s", file, kept);
        return;
    }
    write_log("settings: %s is not a readable table and cannot be kept as %s (%s): it will not be saved over",
              file, kept, strerror(errno));
    snprintf(s_notSavedOver, sizeof s_notSavedOver, "%s", file);
}

// A table without a single row, or without value columns, holds no settings.
static bool open_settings_table(zeXBase *t, const char *file) {
    if (!zexbase_open(t, file)) return false;
    if (zexbase_rows(t) > 0 && zexbase_columns(t) >= 2) return true;
    zexbase_close(t);
    return false;
}

static bool load_table(const char *file, bool keepRejected) {
    zeXBase t;
    if (!open_settings_table(&t, file)) {
        struct stat st;
        if (lstat(file, &st) == 0) {
            if (keepRejected) keep_rejected(file);
            else write_log("settings: %s is not a readable table, defaults used", file);
        }
        settings_defaults();
        return false;
    }
    read_rows(&t);
    zexbase_close(&t);
    return true;
}

// A save ended by a kill leaves its temporary table ("NAME.PID.tmp", with
// ".dbf" added where the name lacks it); those of processes that are gone
// are removed.
static void remove_stale_temporaries(const char *file) {
    char real[PATH_MAX];
    if (!realpath(file, real)) snprintf(real, sizeof real, "%s", file);
    char dir[PATH_MAX];
    snprintf(dir, sizeof dir, "%s", real);
    char *slash = strrchr(dir, '/');
    const char *base = slash ? slash + 1 : dir;
    char name[PATH_MAX];
    snprintf(name, sizeof name, "%s", base);
    if (slash) *slash = 0;
    else snprintf(dir, sizeof dir, ".");
    DIR *d = opendir(slash && !dir[0] ? "/" : dir);
    if (!d) return;
    size_t n = strlen(name);
    while (struct dirent *e = readdir(d)) {
        const char *p = e->d_name;
        if (strncmp(p, name, n) != 0 || p[n] != '.') continue;
        char *end;
        long pid = strtol(p + n + 1, &end, 10);
        if (end == p + n + 1 || pid <= 0 || (strcmp(end, ".tmp") != 0 && strcmp(end, ".tmp.dbf") != 0)) continue;
        if (pid == getpid() || kill((pid_t)pid, 0) == 0 || errno != ESRCH) continue;
        char path[2 * PATH_MAX + 2];
        snprintf(path, sizeof path, "%s/%s", slash && !dir[0] ? "" : dir, p);
        struct stat st;
        if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (unlink(path) == 0) write_log("settings: removed %s, left by an ended save", path);
    }
    closedir(d);
}

bool settings_load(const char *file) {
    const char *name = file ? file : SETTINGS_FILE;
    if (is_users_file(file)) {
        s_notSavedOver[0] = 0;
        remove_stale_temporaries(name);
    }
    bool read = load_table(name, is_users_file(file));
    g_settings.digitSet = sevenseg_set_for_size(g_settings.size);
    // Only the user's own file starts with example 9: an example that is
    // missing must not apply another example (which would load itself again).
    if (!read && is_users_file(file)) settings_apply_first_start();
    return read;
}

// ---- example 9 ----

KeptSettings settings_keep() { return {g_settings, g_app.language, g_timer.roundUp}; }

void settings_restore(const KeptSettings &k) {
    g_app.language = k.language;
    g_timer.roundUp = k.roundUp;
    Settings &s = g_settings;
    s.syncTime = k.settings.syncTime;
    s.actionMessage = k.settings.actionMessage;
    s.actionSound = k.settings.actionSound;
    s.actionProgram = k.settings.actionProgram;
    memcpy(s.soundFile, k.settings.soundFile, sizeof s.soundFile);
    memcpy(s.programPath, k.settings.programPath, sizeof s.programPath);
    memcpy(s.messageText, k.settings.messageText, sizeof s.messageText);
    memcpy(s.graphicProgram, k.settings.graphicProgram, sizeof s.graphicProgram);
    s.autostart = k.settings.autostart;
    s.windowOnStart = k.settings.windowOnStart;
    s.hours24 = k.settings.hours24;
}

void settings_apply_first_start() {
    write_log(g_app.language == 1 ? "set example #%d (ger)" : "set example #%d", 9);
    const KeptSettings kept = settings_keep();
    char example[APP_PATH_MAX + 64];
    load_table(app_data_path(SETTINGS_FIRST_EXAMPLE, example, sizeof example), false);
    settings_restore(kept);
    Settings &s = g_settings;
    read_clock();
    g_timer.destinationDay = zedate_daynumber(g_app.clock.year + 1, 1, 1);
    s.windowX = 50, s.windowY = 5;
    s.digitSet = sevenseg_set_for_size(s.size);
}

// ---- save ----

const char *settings_row_key(int row) {
    return row >= 0 && row < SETTINGS_ROWS ? g_rows[row].key : "";
}

const char *settings_cell_text(int row, int column, char *buf, int size) {
    if (!buf || size <= 0) return "";
    buf[0] = 0;
    if (column == 0) {
        snprintf(buf, size, "%s", settings_row_key(row));
        return buf;
    }
    const SettingCell *c = cell_at(row, column);
    if (!c) return buf;
    switch (c->kind) {
    case CELL_NUMBER: snprintf(buf, size, "%d", *(int32_t *)c->field); break;
    case CELL_FLAG: snprintf(buf, size, "%d", *(bool *)c->field ? 1 : 0); break;
    case CELL_LANGUAGE: snprintf(buf, size, "%d", *(int *)c->field); break;
    case CELL_COLOUR: snprintf(buf, size, "%06x", *(uint32_t *)c->field); break;
    case CELL_TEXT: snprintf(buf, size, "%s", (const char *)c->field); break;
    }
    return buf;
}

static bool write_rows(zeXBase *t) {
    char text[400];
    bool ok = true;
    for (int row = 0; row < SETTINGS_ROWS; row++) {
        ok = zexbase_write_text(t, row, 0, "%s", g_rows[row].key) && ok;
        for (int column = 1; cell_at(row, column); column++)
            ok = zexbase_write_text(t, row, column, "%s", settings_cell_text(row, column, text, sizeof text)) && ok;
    }
    return ok;
}

// The new table must be on the disk before it replaces the old one.
static bool sync_file(const char *file) {
    int fd = open(file, O_RDONLY);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

bool settings_save() { return settings_save_to(SETTINGS_FILE); }

bool settings_save_to(const char *file) {
    if (s_notSavedOver[0] && strcmp(file, s_notSavedOver) == 0) {
        write_log("settings not saved to %s: the unreadable file there could not be set aside", file);
        return false;
    }
    // The table module adds ".dbf" to a name without it; so must the rename.
    char target[PATH_MAX], temp[PATH_MAX + 32], name[PATH_MAX + 40];
    if (!zexbase_table_name(file, target, sizeof target)) return false;
    // Through a symbolic link: replace the file it points to, keep the link.
    struct stat st;
    char real[PATH_MAX];
    if (lstat(target, &st) == 0 && S_ISLNK(st.st_mode) && realpath(target, real))
        snprintf(target, sizeof target, "%s", real);
    snprintf(name, sizeof name, "%s.%d.tmp", target, (int)getpid());
    if (!zexbase_table_name(name, temp, sizeof temp)) return false;

    zeXBase t;
    bool ok = zexbase_create(&t, temp, SETTINGS_TABLE_ROWS, SETTINGS_TABLE_COLUMNS, SETTINGS_TABLE_WIDTH);
    ok = ok && write_rows(&t);
    ok = zexbase_close(&t) && ok;
    ok = ok && sync_file(temp);
    int err = errno;
    if (ok && stat(target, &st) == 0) chmod(temp, st.st_mode & 07777);
    if (ok && rename(temp, target) != 0) ok = false, err = errno;
    if (!ok) {
        unlink(temp);
        write_log("settings not saved to %s: %s", target, strerror(err));
    }
    return ok;
}

// ---- defaults ----

const char *settings_find_picture_editor(char *buf, int size) {
    static const char *const editors[] = {"gimp", "kolourpaint", "pinta", "mtpaint"};
    buf[0] = 0;
    const char *path = getenv("PATH");
    if (!path) return buf;
    for (const char *editor : editors) {
        for (const char *p = path; *p;) {
            const char *end = strchr(p, ':');
            int len = end ? (int)(end - p) : (int)strlen(p);
            char candidate[PATH_MAX];
            // An empty entry means the working directory.
            snprintf(candidate, sizeof candidate, "%.*s/%s", len ? len : 1, len ? p : ".", editor);
            struct stat st;
            if (stat(candidate, &st) == 0 && S_ISREG(st.st_mode) && access(candidate, X_OK) == 0) {
                snprintf(buf, size, "%s", candidate);
                return buf;
            }
            p += len;
            if (*p == ':') p++;
        }
    }
    return buf;
}

// In the order of the settings table; Language stays as detected at start.
// Only the values: the timer font is not touched.
static void default_values() {
    TimerState &t = g_timer;
    Settings &s = g_settings;
    DisplayFormat &f = g_format;
    t.countUp = true, t.roundUp = true;
    t.destinationDay = zedate_daynumber(2000, 1, 1), t.destinationSecond = 0;
    s.hours24 = g_app.language == 1;
    t.stopAfterFinished = true;
    t.countUpTime = 43200;
    t.countUpStopMode = 0, t.restartAfter = 0;
    s.segmentColour = 0xff0000, s.backgroundColour = 0x000000;
    s.windowX = 0, s.windowY = 0, s.windowWidth = guimetrics("screenxs");
    s.borderWidth = 0, s.borderColour = 0x000000;
    s.verticalOffset = 2, s.horizontalOffset = 2;
    s.windowOnStart = true;
    s.alwaysOnTop = false, s.fullscreen = false, s.resizeDesktop = false, s.alwaysVisible = false;
    s.autostart = false, s.stayOnDesktop = false;
    s.size = 25;
    s.contrast = 80;
    s.activeColour = s.segmentColour;
    s.inactiveColour = sevenseg_inactive_colour(s.segmentColour, s.backgroundColour, s.contrast);
    f.form = 1;
    f.showDays = true, f.showHours = true, f.showMinutes = true, f.showSeconds = true, f.showHundredths = false;
    f.leadingWidth = 4;
    f.unitDays = false, f.unitHours = true, f.unitMinutes = false, f.unitSeconds = false;
    f.integerWidth = 8;
    f.decimals = 3;
    settings_find_picture_editor(s.graphicProgram, sizeof s.graphicProgram);
    s.minWidth = 0, s.minHeight = 0;
    s.syncTime = false;
    s.actionMessage = false, s.actionSound = false, s.actionProgram = false;
    s.soundFile[0] = 0, s.programPath[0] = 0;
    snprintf(s.messageText, sizeof s.messageText, "QUIMO");
    s.colonBlink = true;
}

void settings_defaults() {
    default_values();
    compute_colours();
}

// ---- by name ----

static bool parse_number(const char *s, long lo, long hi, long *out) {
    char *end;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (errno || end == s || *end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

static const SettingCell *cell_by_name(const char *name) {
    for (int row = 0; row < SETTINGS_ROWS; row++)
        for (int column = 1; cell_at(row, column); column++)
            if (strcasecmp(short_name(cell_at(row, column)->name), name) == 0) return cell_at(row, column);
    return nullptr;
}

bool settings_set_by_name(const char *name, const char *value) {
    const SettingCell *c = cell_by_name(name);
    if (!c || !value) return false;
    long v;
    uint32_t colour;
    switch (c->kind) {
    case CELL_NUMBER:
        if (!parse_number(value, INT32_MIN, INT32_MAX, &v)) return false;
        *(int32_t *)c->field = bounded(c, v);
        return true;
    case CELL_FLAG:
    case CELL_LANGUAGE:
        if (!parse_number(value, 0, 1, &v)) return false;
        if (c->kind == CELL_FLAG) *(bool *)c->field = v;
        else *(int *)c->field = (int)v;
        return true;
    case CELL_COLOUR:
        if (*value == '#') value++;
        if (strlen(value) != 6 || strspn(value, "0123456789abcdefABCDEF") != 6 || !parse_hex(value, &colour))
            return false;
        *(uint32_t *)c->field = colour;
        return true;
    case CELL_TEXT:
        if ((int)strlen(value) > SETTINGS_TABLE_WIDTH) return false;
        snprintf((char *)c->field, c->size, "%s", value);
        return true;
    }
    return false;
}
