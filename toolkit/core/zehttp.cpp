// HTTP GET with libcurl's multi interface, so that the pump runs between
// network waits.
#include "zehttp.h"
#include "zedl.h"
#include "zeevent.h"
#include "zefile.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <string>
#include <strings.h>

// libcurl and its TLS stack are opened on the first request.
#define CURL_FNS(X)                                                                                       \
    X(global_init, curl_global_init) X(easy_init, curl_easy_init) X(easy_cleanup, curl_easy_cleanup)       \
    X(easy_reset, curl_easy_reset) X(easy_setopt, curl_easy_setopt) X(easy_getinfo, curl_easy_getinfo)    \
    X(multi_init, curl_multi_init) X(multi_cleanup, curl_multi_cleanup)                                   \
    X(multi_add_handle, curl_multi_add_handle) X(multi_remove_handle, curl_multi_remove_handle)           \
    X(multi_perform, curl_multi_perform) X(multi_poll, curl_multi_poll)                                   \
    X(multi_info_read, curl_multi_info_read) X(slist_append, curl_slist_append)
struct CurlFns {
    CURL_FNS(ZEDL_MEMBER)
};
static CurlFns curl;
static const char *const curl_sonames[] = {"libcurl.so.4", nullptr};
static const char *const curl_symbols[] = {CURL_FNS(ZEDL_NAME) nullptr};
static zeDlLib curl_lib = {"libcurl", curl_sonames, curl_symbols, &curl, sizeof curl};

static CURL *g_easy;
static CURLM *g_multi;
static zeHttpIdle g_idle = zepump;
static bool g_busy;
static int g_total_timeout;

int zehttp_set_total_timeout(int seconds) {
    int old = g_total_timeout;
    g_total_timeout = seconds > 0 ? seconds : 0;
    return old;
}

const char *zehttp_logname(void) { return "zeko_http.log"; }

zeHttpIdle zehttp_set_idle(zeHttpIdle fn) {
    zeHttpIdle old = g_idle;
    g_idle = fn ? fn : zepump;
    return old;
}

static void logf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
static void logf(const char *fmt, ...) {
    // Only a plain file: a FIFO in its place would block every request.
    FILE *f = zefile_open_regular(zehttp_logname(), "ab");
    if (!f) return;
    va_list ap;
    va_start(ap, fmt);
    vfprintf(f, fmt, ap);
    va_end(ap);
    fclose(f);
}

struct Transfer {
    std::string body;
    bool overflow = false;
    bool responded = false;  // the server answered with a status line
};

static size_t on_body(char *data, size_t size, size_t n, void *user) {
    Transfer *t = (Transfer *)user;
    size_t len = size * n;
    if (t->body.size() + len > (size_t)ZEHTTP_MAXBODY) {
        t->overflow = true;
        return 0;  // aborts the transfer
    }
    t->body.append(data, len);
    return len;
}

static size_t on_header(char *data, size_t size, size_t n, void *user) {
    Transfer *t = (Transfer *)user;
    if (!t->responded) {
        t->responded = true;
        logf("InternetOpenUrl ok\r\n");
    }
    return size * n;
}

static bool open_handles(void) {
    if (!zedl_load(&curl_lib)) {
        logf("InternetOpen failed: %s\r\n", zedl_error(&curl_lib));
        return false;
    }
    if (g_easy) {
        logf("already open\r\n");
        return true;
    }
    if (curl.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {
        g_easy = curl.easy_init();
        g_multi = curl.multi_init();
    }
    if (!g_easy || !g_multi) {
        if (g_easy) curl.easy_cleanup(g_easy);
        if (g_multi) curl.multi_cleanup(g_multi);
        g_easy = nullptr, g_multi = nullptr;
        logf("InternetOpen failed\r\n");
        return false;
    }
    logf("InternetOpen ok\r\n");
    return true;
}

static struct curl_slist *no_cache_headers(void) {
    static struct curl_slist *headers;
    if (!headers) {
        headers = curl.slist_append(headers, "Pragma: no-cache");
        headers = curl.slist_append(headers, "Cache-Control: no-cache");
    }
    return headers;
}

static void set_options(const char *url, Transfer *t) {
    curl.easy_reset(g_easy);
    curl.easy_setopt(g_easy, CURLOPT_URL, url);
    curl.easy_setopt(g_easy, CURLOPT_USERAGENT, "zeko");
    curl.easy_setopt(g_easy, CURLOPT_HTTPHEADER, no_cache_headers());
    curl.easy_setopt(g_easy, CURLOPT_FRESH_CONNECT, 1L);
    // Fresh every time, so a kept connection would only hold a descriptor
    // (and the server's slot) until the process ends.
    curl.easy_setopt(g_easy, CURLOPT_FORBID_REUSE, 1L);
    curl.easy_setopt(g_easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl.easy_setopt(g_easy, CURLOPT_MAXREDIRS, 10L);
    curl.easy_setopt(g_easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl.easy_setopt(g_easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl.easy_setopt(g_easy, CURLOPT_NOSIGNAL, 1L);
    // The receive time-out: give up when nothing arrives for 30 s.
    curl.easy_setopt(g_easy, CURLOPT_CONNECTTIMEOUT, 30L);
    curl.easy_setopt(g_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl.easy_setopt(g_easy, CURLOPT_LOW_SPEED_TIME, 30L);
    if (g_total_timeout) curl.easy_setopt(g_easy, CURLOPT_TIMEOUT, (long)g_total_timeout);
    curl.easy_setopt(g_easy, CURLOPT_WRITEFUNCTION, on_body);
    curl.easy_setopt(g_easy, CURLOPT_WRITEDATA, t);
    curl.easy_setopt(g_easy, CURLOPT_HEADERFUNCTION, on_header);
    curl.easy_setopt(g_easy, CURLOPT_HEADERDATA, t);
}

// Runs the transfer to its end, pumping the toolkit between waits.
static CURLcode run_transfer(void) {
    curl.multi_add_handle(g_multi, g_easy);
    int running = 1;
    CURLcode result = CURLE_OK;
    while (running) {
        if (curl.multi_perform(g_multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (!running) break;
        curl.multi_poll(g_multi, nullptr, 0, 10, nullptr);
        g_idle();
    }
    int left;
    while (CURLMsg *m = curl.multi_info_read(g_multi, &left))
        if (m->msg == CURLMSG_DONE && m->easy_handle == g_easy) result = m->data.result;
    curl.multi_remove_handle(g_multi, g_easy);
    return result;
}

static bool is_http(void) {
    const char *scheme = nullptr;
    curl.easy_getinfo(g_easy, CURLINFO_SCHEME, &scheme);
    return scheme && strncasecmp(scheme, "http", 4) == 0;
}

bool zehttp_get(const char *url, const char *file) {
    if (!url || !file) return false;
    logf("get %s -> %s\r\n", url, file);
    if (g_busy) {
        logf("busy\r\n");
        return false;
    }
    if (!open_handles()) return false;
    g_busy = true;
    Transfer t;
    set_options(url, &t);
    CURLcode rc = run_transfer();
    g_busy = false;
    if (rc != CURLE_OK && !t.responded) {
        logf("InternetOpenUrl failed (%d)\r\n", (int)rc);
        return false;
    }
    if (rc != CURLE_OK) {
        if (t.overflow) logf("body over %d bytes\r\n", (int)ZEHTTP_MAXBODY);
        logf("file not read\r\n");
        return false;
    }
    long status = 0;
    curl.easy_getinfo(g_easy, CURLINFO_RESPONSE_CODE, &status);
    logf("InternetReadFile ok, read=%d\r\n", (int)t.body.size());
    logf("StatusCode=%ld\r\n", status);
    if (is_http() && status >= 400) {
        logf("http error\r\n");
        return false;
    }
    const char *data = t.body.empty() ? "" : t.body.data();
    if (!zefile_write(file, data, (long)t.body.size())) {
        logf("file not written\r\n");
        return false;
    }
    logf("ok\r\n");
    return true;
}

bool zehttp_getmem(char *buf, int bufsize, const char *url) {
    if (!buf || bufsize < 1) return false;
    buf[0] = 0;
    const char *tmp = zefile_tmpname();
    if (!tmp) return false;
    bool ok = zehttp_get(url, tmp);
    if (ok && !zefile_read(tmp, buf, bufsize)) {
        logf("body larger than the buffer (%d bytes)\r\n", bufsize);
        ok = false;
    }
    zefile_tmpdelete(tmp);
    return ok;
}
