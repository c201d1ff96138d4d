// Each layer's start-up step, called in layer order.
#include "zetoolkit.h"
#include "zeentry.h"
#include "zefont.h"

void zetoolkit_init(int argc, char **argv) {
    zeentry_init(argc, argv);
    zefont_init();
}
