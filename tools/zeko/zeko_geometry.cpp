// zeko geometry (not built yet).
#include "zeko.h"

int zeko_geometry(int, char **) { return zeko_fail("geometry: not available yet"); }
