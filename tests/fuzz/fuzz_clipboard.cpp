// libFuzzer target: bytes another program offers on the clipboard, through
// the UTF-8 conversion and pasted into a line input and an editor on the
// in-memory screen (the paste path of the text controls).
#include "platform/headless/zeheadless.h"
#include "zeclipboard.h"
#include "zeedit.h"
#include "zeevent.h"
#include "zelineinput.h"
#include "zeplatform.h"
#include "zeutf8.h"
#include "zeview.h"
#include "zewindow.h"
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static zeWindow *win;
    static zeLineInput in;
    static zeEdit ed;
    if (!win) {
        zebackend_select("headless");
        zeview_install();
        win = new zeWindow();
        zewindow_open(win, "fuzz,x=0,y=0,xs=400,ys=300,noquit");
        zelineinput_init(&in);
        zelineinput_create(&in, "x=10,y=10,xs=200,maxlen=60");
        zeedit_init(&ed);
        zeedit_create(&ed, "x=10,y=50,xs=300,ys=200,lines=10,columns=16,wordbreak,autoindent");
    }
    std::string latin = zeutf8_to_latin1((const char *)data, size);
    std::string back = zeutf8_from_latin1(latin.data(), latin.size());
    if (zeutf8_to_latin1(back.data(), back.size()) != latin) abort();
    zeclipboard_set(latin.c_str());
    zeControl *controls[2] = {&in.c, &ed.c};
    for (zeControl *c : controls) {
        zecontrol_ask_focus(c);
        zecontrol_send(c, ZEMSG_KEYDOWN, size % 2 ? 1 : ZEKEY_END);
        zecontrol_send(c, ZEMSG_PASTE);
        zecontrol_send(c, ZEMSG_KEYDOWN, ZEKEY_ENTER);
        zecontrol_send(c, ZEMSG_KEYDOWN, 8);
    }
    if (zelineinput_length(&in) > 60) abort();
    zeevent_flush();
    return 0;
}
