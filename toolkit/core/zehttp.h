// HTTP GET into a file or into memory (libcurl).
//
// Every request is logged, appended to "zeko_http.log" in the current
// directory (the program directory for QUIMO). Receive time-out 30 s, no
// cookies, no cache, redirects followed, the proxy from the environment.
// A body over 5 MB (5242880 bytes) fails. While the transfer runs the
// toolkit keeps pumping (ticks, child processes, platform messages), so the
// windows stay alive.
#pragma once

enum { ZEHTTP_MAXBODY = 5242880 };

// True when the whole response body has been written to file (replaced).
// An HTTP status of 400 or more is a failure and writes nothing.
bool zehttp_get(const char *url, const char *file);
// Fetches url into buf (at most bufsize - 1 bytes plus a zero), through a
// temporary file. False when the request fails or the body does not fit.
bool zehttp_getmem(char *buf, int bufsize, const char *url);

// What runs between waits of at most 10 ms during a transfer; 0 restores
// the default (zepump). Returns the previous function.
typedef void (*zeHttpIdle)(void);
zeHttpIdle zehttp_set_idle(zeHttpIdle fn);
// A limit on the whole of each request (connecting, waiting and receiving),
// in seconds; 0 (the default) leaves only the receive time-out, so a server
// that trickles a byte now and then can hold a request for ever. Returns the
// previous limit.
int zehttp_set_total_timeout(int seconds);
// The request log's file name.
const char *zehttp_logname(void);
