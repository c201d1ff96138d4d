// The process entry. Kept alone in its file so that programs with their own
// main() (tests, tools) do not pull it in.
#include "zeentry.h"
#include "zetoolkit.h"

int main(int argc, char **argv) {
    zetoolkit_init(argc, argv);
    zemain();
    return zeentry_finish();
}
