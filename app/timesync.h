// Setting the computer's clock from a time service over HTTP.
//
// The service answers a GET with a text carrying
//   datetime_utc=<word> <word> <word> HH:MM:SS ... [y=YYYY] [m=MM] [d=DD]
// e.g. "datetime_utc=Sun Dec  6 17:53:25 2026 y=2026 m=12 d=6".
//
// Where the service is, first match wins:
//   1. the environment variable QUIMO_TIME_URL: the whole URL;
//   2. "timeserver.txt" in the program directory, first line: a whole URL
//      when it contains "://", else the host;
//   3. the registry value HKEY_CURRENT_USER/Software/QUIMO/TimeServer: the host;
//   4. the host "localhost", unless the system keeps its clock synchronised
//      itself: then no request is made and the status says so.
// A host becomes "http://HOST/cgi-bin/datetime_utc_q.pl".
#pragma once

// Synchronises when SyncTime is set (also declared in app.h).
void timesync_run();
// The status text for the settings window: "-", "- (Error)"/"- (Fehler)",
// or the date and time of the last success.
const char *timesync_status();
// The service URL in use. False when none is configured (out then holds the
// built-in localhost address).
bool timesync_url(char *out, int size);

// Without a configured service the system's own synchronisation is used when
// this says the clock is kept synchronised (the kernel's NTP state, or a time
// daemon running); tests replace it.
extern bool (*timesync_system_check)(void);

// The parse of a response: false when it has no "datetime_utc=", when its
// time has no hour digits, or when a number is malformed or overflows. The
// six fields come in holding the current UTC date and time; on success the
// time is replaced (clamped to 0..23, 0..59, 0..59), the date only by y=,
// m=, d=; on failure nothing changes.
bool timesync_parse(const char *response, int *year, int *month, int *day, int *hour, int *minute,
                    int *second);
