// zeko demo controls: the text section (line inputs: plain, password,
// maximum length, right-aligned, and an editor).
#include "zeko_demo.h"
#include "zeedit.h"
#include "zefont.h"
#include "zegout.h"
#include "zelineinput.h"
#include <cstdio>
#include <string>

namespace {

struct InputSpec {
    const char *name;
    const char *options;
};

const InputSpec kInputs[] = {
    {"input", "xs=260,default=hello"},
    {"input2", "xs=260"},
    {"password", "xs=160,password"},
    {"maxlen", "xs=160,maxlen=5"},
    {"right", "xs=160,alignright,keepfocus,default=42"},
};
enum { NINPUTS = sizeof kInputs / sizeof kInputs[0], GAP = 8, LABEL_W = 80 };

// The value after an event: the text (a password as stars).
void describe_input(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeLineInput *l = (zeLineInput *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : index == ZELINE_ID_CHANGE ? "change" : "other");
    if (l->password) snprintf(value, valuesize, "%s", std::string(zelineinput_length(l), '*').c_str());
    else snprintf(value, valuesize, "%s", zelineinput_text(l));
}

// The editor's text with its line ends written as "\n".
void describe_edit(void *obj, int index, char *kind, int kindsize, char *value, int valuesize) {
    zeEdit *e = (zeEdit *)obj;
    snprintf(kind, kindsize, "%s", index == 0 ? "main" : index == ZEEDIT_ID_CHANGE ? "change" : "other");
    int n = zeedit_get_text(e, nullptr, 0);
    std::string t(n + 1, 0), out;
    zeedit_get_text(e, t.data(), n + 1);
    t.resize(n);
    for (char ch : t) out += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    snprintf(value, valuesize, "%s", out.c_str());
}

}  // namespace

int zeko_demo_text(zekoDemo *d, int y) {
    y = zeko_demo_title(d, y, "Line inputs and editor");
    static zeLineInput inputs[NINPUTS];
    for (int i = 0; i < NINPUTS; i++) {
        zegraphic_text(d->margin, y + 4, 0x000000, kInputs[i].name);
        zelineinput_init(&inputs[i]);
        zelineinput_create(&inputs[i], "x=%d,y=%d,%s", d->margin + LABEL_W, y, kInputs[i].options);
        zeko_demo_watch(&inputs[i].c, kInputs[i].name, describe_input);
        y += inputs[i].c.h + GAP;
    }
    static zeEdit editor;
    zeedit_init(&editor);
    zegraphic_text(d->margin, y + 4, 0x000000, "editor");
    zeedit_create(&editor, "x=%d,y=%d,xs=300,ys=120,lines=40,columns=80,autoindent", d->margin + LABEL_W, y);
    zeedit_set_text(&editor, "first line\n  second line\nthird");
    zeko_demo_watch(&editor.c, "editor", describe_edit);
    return y + editor.c.h + GAP;
}
