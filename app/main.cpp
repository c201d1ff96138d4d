// QUIMO's main function, called once by the toolkit.
#include "app.h"
#include "app_options.h"
#include "app_paths.h"
#include "instance.h"
#include "zeentry.h"
#include "zeevent.h"
#include <cerrno>
#include <cstdio>
#include <cstring>

void zemain(void) {
    // Help, version and the single-copy check need no display: they come
    // before anything opens one.
    AppOptions o = app_options_parse(zeargc(), zeargv(), stdout, stderr, app_locale_german());
    if (o.exitCode >= 0) zeexit(o.exitCode);
    // Without its folder the files would land in whatever directory the
    // program was started from.
    if (!app_paths_init(o.profile)) {
        fprintf(stderr, "quimo: cannot create %s: %s\n", app_state_dir(), strerror(errno));
        zeexit(1);
    }
    if (instance_claim(app_state_dir()) == INSTANCE_RUNNING) {
        if (instance_ask_running(app_state_dir())) zeexit(0);
        fprintf(stderr, "quimo: another copy holds %s/quimo.lock but does not answer\n", app_state_dir());
        zeexit(1);
    }
    app_start();
    app_loop();
}
