// zeko demo subcommands (not built yet).
#include "zeko.h"

int zeko_demo(int, char **) { return zeko_fail("demo: not available yet"); }
