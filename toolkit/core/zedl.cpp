#include "zedl.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <mutex>

namespace {

std::mutex g_lock;  // one first use at a time, for every library
const int MAX_FORBIDDEN = 16;
const int MAX_SYMBOLS = 64;
char g_forbidden[MAX_FORBIDDEN][32];
std::atomic<int> g_nforbidden;

bool forbidden(const char *name) {
    for (int i = 0; i < g_nforbidden.load(); i++)
        if (strcmp(g_forbidden[i], name) == 0) return true;
    return false;
}

int count(const char *const *list) {
    int n = 0;
    while (list && list[n]) n++;
    return n;
}

bool fail(zeDlLib *lib, const char *why, const char *what) {
    snprintf(lib->error, sizeof lib->error, "%s not available (%s%s)", lib->name, why, what);
    if (lib->handle) dlclose(lib->handle);
    lib->handle = nullptr;
    lib->state.store(-1, std::memory_order_release);
    return false;
}

bool open_and_resolve(zeDlLib *lib) {
    int n = count(lib->symbols);
    if (n > MAX_SYMBOLS || lib->table_size != n * sizeof(void *))
        return fail(lib, "its table does not match its symbols", "");
    char last[200] = "no file name";
    for (const char *const *so = lib->sonames; so && *so && !lib->handle; so++) {
        lib->handle = dlopen(*so, RTLD_NOW | RTLD_LOCAL);
        if (!lib->handle) snprintf(last, sizeof last, "%s", dlerror());
    }
    if (!lib->handle) return fail(lib, last, "");
    // All or nothing: the table is written only when every symbol is there.
    void *found[MAX_SYMBOLS];
    for (int i = 0; i < n; i++) {
        found[i] = dlsym(lib->handle, lib->symbols[i]);
        if (!found[i]) return fail(lib, "no symbol ", lib->symbols[i]);
    }
    memcpy(lib->table, found, n * sizeof(void *));
    lib->state.store(1, std::memory_order_release);
    return true;
}

}  // namespace

bool zedl_load(zeDlLib *lib) {
    if (g_nforbidden.load(std::memory_order_acquire) > 0) {
        std::lock_guard<std::mutex> hold(g_lock);
        if (forbidden(lib->name)) {
            snprintf(lib->error, sizeof lib->error, "%s not available (switched off)", lib->name);
            return false;
        }
    }
    int state = lib->state.load(std::memory_order_acquire);
    if (state != 0) return state > 0;
    std::lock_guard<std::mutex> hold(g_lock);
    state = lib->state.load(std::memory_order_acquire);
    if (state != 0) return state > 0;
    return open_and_resolve(lib);
}

const char *zedl_error(const zeDlLib *lib) { return lib->error; }

void zedl_forbid(const char *name) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!name) {
        g_nforbidden.store(0);
        return;
    }
    int n = g_nforbidden.load();
    if (forbidden(name) || n == MAX_FORBIDDEN) return;
    snprintf(g_forbidden[n], sizeof g_forbidden[n], "%s", name);
    g_nforbidden.store(n + 1, std::memory_order_release);
}
