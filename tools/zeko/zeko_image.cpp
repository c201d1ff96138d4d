// zeko image subcommands (not built yet).
#include "zeko.h"

int zeko_convert(int, char **) { return zeko_fail("image: not available yet"); }
int zeko_geometry(int, char **) { return zeko_fail("image: not available yet"); }
