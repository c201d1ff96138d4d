// zeko image subcommands (not built yet).
#include "zeko.h"

int zeko_convert(int, char **) { return zeko_fail("convert: not available yet"); }
