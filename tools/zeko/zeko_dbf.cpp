// zeko dbf subcommands (not built yet).
#include "zeko.h"

int zeko_dbf(int, char **) { return zeko_fail("dbf: not available yet"); }
