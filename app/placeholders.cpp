// Stand-ins until the real modules exist (see placeholders.h). They do the
// least that keeps the program running: nothing, or a plain default.
#include "app.h"
#include "placeholders.h"
