// Where QUIMO finds its data files and keeps the user's files.
#include "app_paths.h"
#include "zeentry.h"
#include "zeregistry.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

static struct {
    bool done;
    AppMode mode;
    char dataDir[APP_PATH_MAX];
    char stateDir[APP_PATH_MAX];
    char profile[APP_PROFILE_MAX + 1];
} g_paths;

static bool is_dir(const char *path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

static bool has_digit_sets(const char *dir) {
    char path[APP_PATH_MAX + 16];
    snprintf(path, sizeof path, "%s/7seg", dir);
    return is_dir(path);
}

// The share directory of a binary in dir (its parent's share/quimo).
static void share_dir(const char *dir, char *out, int size) {
    char parent[APP_PATH_MAX];
    snprintf(parent, sizeof parent, "%s", dir);
    char *slash = strrchr(parent, '/');
    if (slash) *slash = 0;
    snprintf(out, (size_t)size, "%s/share/quimo", parent);
}

AppMode app_paths_mode(const char *programDir) {
    if (has_digit_sets(programDir)) return APP_PORTABLE;
    char share[APP_PATH_MAX + 16];
    share_dir(programDir, share, sizeof share);
    return has_digit_sets(share) ? APP_INSTALLED : APP_PORTABLE;
}

// Before app_paths_init (tests, generators): the portable layout.
static void ensure_defaults(void) {
    if (g_paths.done) return;
    g_paths.done = true;
    g_paths.mode = APP_PORTABLE;
    snprintf(g_paths.dataDir, sizeof g_paths.dataDir, "%s", zeprogramdir());
    snprintf(g_paths.stateDir, sizeof g_paths.stateDir, "%s", zeprogramdir());
}

const char *app_user_or_data_path(const char *name, char *out, int size) {
    if (!name) name = "";
    struct stat st;
    if (name[0] == '/' || stat(name, &st) == 0) {
        snprintf(out, (size_t)size, "%s", name);
        return out;
    }
    return app_data_path(name, out, size);
}

bool app_profile_name_valid(const char *name) {
    if (!name || !*name || *name == '.' || strlen(name) > APP_PROFILE_MAX) return false;
    for (const char *c = name; *c; c++) {
        bool ok = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                  *c == '-' || *c == '_' || *c == '.';
        if (!ok) return false;
    }
    return true;
}

// Creates every missing directory of path, private to the user.
static bool make_dirs(const char *path) {
    char part[APP_PATH_MAX];
    size_t n = strlen(path);
    if (n >= sizeof part) {
        errno = ENAMETOOLONG;
        return false;
    }
    for (size_t i = 1; i <= n; i++) {
        if (i < n && path[i] != '/') continue;
        memcpy(part, path, i);
        part[i] = 0;
        if (mkdir(part, 0700) != 0 && errno != EEXIST) return false;
    }
    if (!is_dir(path)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool app_paths_init(const char *profile) {
    g_paths.done = true;
    const char *program = zeprogramdir();
    g_paths.mode = app_paths_mode(program);
    snprintf(g_paths.profile, sizeof g_paths.profile, "%s", profile && app_profile_name_valid(profile) ? profile : "");
    const char *p = g_paths.profile;
    if (g_paths.mode == APP_INSTALLED) {
        share_dir(program, g_paths.dataDir, sizeof g_paths.dataDir);
        snprintf(g_paths.stateDir, sizeof g_paths.stateDir, "%s/quimo%s%s", zeregistry_config_home(), *p ? "/" : "", p);
    } else {
        snprintf(g_paths.dataDir, sizeof g_paths.dataDir, "%s", program);
        snprintf(g_paths.stateDir, sizeof g_paths.stateDir, "%s%s%s", program, *p ? "/profiles/" : "", p);
    }
    // The program directory of a portable copy is there already (and may be
    // read-only, which the program copes with).
    if (g_paths.mode == APP_PORTABLE && !*p) return true;
    return make_dirs(g_paths.stateDir);
}

AppMode app_mode(void) {
    ensure_defaults();
    return g_paths.mode;
}

const char *app_state_dir(void) {
    ensure_defaults();
    return g_paths.stateDir;
}

const char *app_data_dir(void) {
    ensure_defaults();
    return g_paths.dataDir;
}

const char *app_profile(void) {
    ensure_defaults();
    return g_paths.profile;
}

const char *app_data_path(const char *name, char *out, int size) {
    ensure_defaults();
    if (!name) name = "";
    if (name[0] == '/' || strcmp(g_paths.dataDir, g_paths.stateDir) == 0) snprintf(out, (size_t)size, "%s", name);
    else snprintf(out, (size_t)size, "%s/%s", g_paths.dataDir, name);
    return out;
}

void app_autostart_entry(char *cmd, int cmdsize, char *key, int keysize) {
    ensure_defaults();
    const char *program = zeprogramdir();
    const char *p = g_paths.profile;
    if (*p) snprintf(cmd, (size_t)cmdsize, "\"%s/quimo\" --profile %s", program, p);
    else snprintf(cmd, (size_t)cmdsize, "%s/quimo", program);
    snprintf(key, (size_t)keysize, "HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/QUIMO%s%s",
             *p ? "-" : "", p);
    char icon[APP_PATH_MAX + 16];
    if (g_paths.mode == APP_INSTALLED) snprintf(icon, sizeof icon, "quimo");
    else snprintf(icon, sizeof icon, "%s/quimo.png", g_paths.dataDir);
    zeregistry_set_autostart_icon(icon);
}
