// QUIMO's command line: --help, --version, --profile NAME and the switch
// "minys" (-minys or +minys); anything else is reported and ignored.
#pragma once
#include <cstdio>

#define QUIMO_VERSION "2.0"

struct AppOptions {
    int exitCode = -1;        // >= 0: end now with this code (help, version, a bad profile)
    const char *profile = nullptr;  // points into the argument vector
};

// Reads argv[1..argc-1]; help and version go to out, complaints to err.
// german chooses the language of the texts.
AppOptions app_options_parse(int argc, char **argv, FILE *out, FILE *err, bool german);

// True when the user's language (the first set of LC_ALL, LC_MESSAGES,
// LANG) is German.
bool app_locale_german(void);
