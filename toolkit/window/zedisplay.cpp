// Display queries.
#include "zedisplay.h"
#include "zeplatform.h"
#include <atomic>
#include <ctime>

// Cached so that the scan-line query, which runs on the timer thread, never
// calls into the backend.
static std::atomic<int> g_hz{0}, g_height{0};

int zedisplay_depth(void) {
    static int depth = 0;
    if (!depth) depth = zebackend()->depth();
    return depth;
}

int zedisplay_count(void) { return 1; }

int zedisplay_refresh_hz(void) {
    int hz = g_hz.load();
    if (hz) return hz;
    hz = zebackend()->refresh_hz();
    // Rates outside what monitors do come from a broken mode line.
    if (hz < 20 || hz > 500) hz = 60;
    int w = 0, h = 0;
    zebackend()->screen_size(&w, &h);
    g_height.store(h < 1 ? 1 : h);
    g_hz.store(hz);
    return hz;
}

static int64_t now_us(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

static int64_t period_us(void) { return 1000000 / zedisplay_refresh_hz(); }

int64_t zedisplay_phase_us(void) { return now_us() % period_us(); }

int zedisplay_scanline(void) {
    zedisplay_refresh_hz();
    return (int)(zedisplay_phase_us() * g_height.load() / period_us());
}

void zedisplay_wait_vblank(void) {
    int64_t left = period_us() - zedisplay_phase_us();
    struct timespec ts = {0, (long)(left * 1000)};
    nanosleep(&ts, nullptr);
}
