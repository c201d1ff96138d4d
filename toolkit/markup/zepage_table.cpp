// Tables in pages: between "table" and "/table" the text runs are collected
// instead of drawn. Until pages can place a table control, the collected
// text is left out at "/table", so a page with a table still lays out the
// rest of its text as it will then.
#include "zepage_internal.h"

void zepage_tag_table(zeGUIScript *p, const char *, const char *) {
    p->intable = true;
    p->tablelen = 0;
    if (p->tabletext) p->tabletext[0] = 0;
}

void zepage_tag_endtable(zeGUIScript *p, const char *, const char *) {
    if (p->firsty == -1) p->firsty = p->y;
    p->intable = false;
    p->tablelen = 0;
    if (p->tabletext) p->tabletext[0] = 0;
}
