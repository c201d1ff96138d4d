// zeko demo controls: the rich-text section (an editor with bold, italic and
// underlined runs; Ctrl+B, Ctrl+I and Ctrl+U switch them on the selection).
#include "zeko_demo.h"
#include "zegout.h"
#include "zertfedit.h"
#include <cstdio>
#include <string>

namespace {

enum { GAP = 8, LABEL_W = 80 };

// The text (line ends as "\n") after a text change or focus loss; after a
// selection change the selection and its format.
void describe_rtf(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeRTFEdit *e = (zeRTFEdit *)obj;
    if (index == ZERTF_ID_CHANGE) {
        int a, b;
        zeRTFFormat f;
        zertfedit_selection(e, &a, &b);
        zertfedit_get_format(e, &f);
        snprintf(kind, kindsize, "change");
        snprintf(value, valuesize, "%d-%d bold=%d italic=%d underline=%d mixed=%d %s %d", a, b, f.bold, f.italic,
                 f.underline, f.mixed, f.face, f.points);
        return;
    }
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : index == ZERTF_ID_TEXT ? "text" : "other");
    std::string out;
    for (int i = 0; i < e->len && out.size() < (size_t)valuesize; i++)
        out += e->text[i] == '\n' ? std::string("\\n") : std::string(1, e->text[i]);
    snprintf(value, valuesize, "%s", out.c_str());
}

}  // namespace

int zeko_demo_rtf(zekoDemo *d, int y) {
    y = zeko_demo_title(d, y, "Rich-text editor");
    static zeRTFEdit rtf;
    zertfedit_init(&rtf);
    zegraphic_text(d->margin, y + 4, 0x000000, "rtf");
    zertfedit_create(&rtf, "x=%d,y=%d,xs=320,ys=120", d->margin + LABEL_W, y);
    zertfedit_set_text(&rtf, "Plain, ");
    zertfedit_set_format(&rtf, ZERTF_BOLD, true);
    zertfedit_append(&rtf, "bold, ");
    zertfedit_set_format(&rtf, ZERTF_BOLD, false);
    zertfedit_set_format(&rtf, ZERTF_ITALIC, true);
    zertfedit_append(&rtf, "italic");
    zertfedit_set_format(&rtf, ZERTF_ITALIC, false);
    zertfedit_append(&rtf, " and ");
    zertfedit_set_format(&rtf, ZERTF_UNDERLINE, true);
    zertfedit_append(&rtf, "underlined");
    zertfedit_set_format(&rtf, ZERTF_UNDERLINE, false);
    zertfedit_append(&rtf, " text that wraps at the right edge of the editor.\nSecond paragraph.");
    zertfedit_select(&rtf, 0, 0);
    zeko_demo_watch(&rtf.c, "rtf", describe_rtf);
    return y + rtf.c.h + GAP;
}
