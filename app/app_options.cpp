// QUIMO's command line.
#include "app_options.h"
#include "app_paths.h"
#include <cstdlib>
#include <cstring>

static const char *const kUsage[2] = {
    "Usage: quimo [OPTION]...\n"
    "A count-up / count-down timer: seven-segment digits over a background picture.\n"
    "\n"
    "  --profile NAME   run the independent timer NAME, with its own settings,\n"
    "                   log, window position and autostart entry\n"
    "  -minys, +minys   open the settings window at its smallest height\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "A second start for the same profile shows the running timer's settings.\n",
    "Aufruf: quimo [OPTION]...\n"
    "Ein Vorw\xc3\xa4rts-/R\xc3\xbc" "ckw\xc3\xa4rtsz\xc3\xa4hler: Siebensegmentziffern \xc3\xbc" "ber einem Hintergrundbild.\n"
    "\n"
    "  --profile NAME   startet den unabh\xc3\xa4ngigen Z\xc3\xa4hler NAME mit eigenen\n"
    "                   Einstellungen, Log, Fensterposition und Autostart-Eintrag\n"
    "  -minys, +minys   \xc3\xb6" "ffnet das Einstellungsfenster in kleinster H\xc3\xb6he\n"
    "  --help           zeigt diese Hilfe und endet\n"
    "  --version        zeigt die Version und endet\n"
    "\n"
    "Ein zweiter Start f\xc3\xbcr dasselbe Profil zeigt die Einstellungen des laufenden Z\xc3\xa4hlers.\n",
};

// "-minys" and "+minys", blanks and tabs anywhere ignored, as the switch
// lookup reads them.
static bool is_minys(const char *arg) {
    const char *name = "minys";
    while (*arg == ' ' || *arg == '\t') arg++;
    if (*arg != '-' && *arg != '+') return false;
    for (arg++;; arg++) {
        while (*arg == ' ' || *arg == '\t') arg++;
        if (*arg != *name) return false;
        if (!*arg) return true;
        name++;
    }
}

static bool bad_profile(AppOptions *o, const char *name, FILE *err, bool german) {
    if (name && app_profile_name_valid(name)) {
        o->profile = name;
        return false;
    }
    fprintf(err,
            german ? "quimo: --profile braucht einen Namen aus Buchstaben, Ziffern, '-', '_' und '.' (h\xc3\xb6" "chstens %d, nicht mit '.' beginnend)\n"
                   : "quimo: --profile needs a name of letters, digits, '-', '_' and '.' (at most %d, not beginning with '.')\n",
            APP_PROFILE_MAX);
    o->exitCode = 2;
    return true;
}

AppOptions app_options_parse(int argc, char **argv, FILE *out, FILE *err, bool german) {
    AppOptions o;
    for (int i = 1; i < argc && argv[i]; i++) {
        const char *a = argv[i];
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            fputs(kUsage[german ? 1 : 0], out);
            o.exitCode = 0;
            return o;
        }
        if (!strcmp(a, "--version")) {
            fprintf(out, "quimo %s\n", QUIMO_VERSION);
            o.exitCode = 0;
            return o;
        }
        if (!strcmp(a, "--profile")) {
            if (bad_profile(&o, i + 1 < argc ? argv[i + 1] : nullptr, err, german)) return o;
            i++;
            continue;
        }
        if (!strncmp(a, "--profile=", 10)) {
            if (bad_profile(&o, a + 10, err, german)) return o;
            continue;
        }
        if (is_minys(a)) continue;
        fprintf(err, german ? "quimo: unbekannte Option \"%s\" wird \xc3\xbc" "bergangen (--help zeigt die Optionen)\n"
                            : "quimo: unknown option \"%s\" ignored (--help lists the options)\n",
                a);
    }
    return o;
}

bool app_locale_german(void) {
    const char *names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char *n : names) {
        const char *v = getenv(n);
        if (v && *v) return strncmp(v, "de", 2) == 0;
    }
    return false;
}
