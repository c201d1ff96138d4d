// QUIMO's main function, called once by the toolkit.
#include "app.h"
#include "zeentry.h"

void zemain(void) {
    app_start();
    app_loop();
}
