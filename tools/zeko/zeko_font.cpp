// zeko font subcommands (not built yet).
#include "zeko.h"

int zeko_font(int, char **) { return zeko_fail("font: not available yet"); }
