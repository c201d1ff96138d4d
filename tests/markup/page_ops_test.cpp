// Page controls by name: every operation on every kind a page embeds, names
// that no slot has, two slots with one name, event ids of the controls, the
// placement of embedded controls and rebuilds that replace them.
#include "page_canvas_test.h"
#include "platform/headless/zeheadless.h"
#include "zebutton.h"
#include "zecheckbox.h"
#include "zecombobox.h"
#include "zecontrol.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelineinput.h"
#include "zelistbox.h"
#include "zeplatform.h"
#include "zeprogress.h"
#include "zeslide.h"
#include "zetabbar.h"
#include <gtest/gtest.h>
#include <string>

namespace {

const char *kPage =
    "<x=0><y=0><tabbar=tab,xs=100%,tabs=One|Two|Three>"
    "Press <button=btGo,Go,xs=60> and <checkbox=cbOn,Check,xs=90> <switchbutton=swUp,Up,xs=50><br>"
    "<combobox=coUnit,entries=Seconds|Minutes|Hours,start=1,xs=120,yoffs=3> <slide=slLevel,xs=120,start=40>"
    " <progressbar=pbDone,xs=100><br>"
    "Name <lineinput=liName,xs=150,default=42abc> <updowncontrol=udDay,min=1,max=31,start=5,xs=60><br>"
    "<listbox=lbList,xs=150,ys=80,entries=Bell|Gong|Horn>"
    "<link=liHome,Home page,url=http://127.0.0.1:9/> <link=liPlain,plain text><br>"
    "<view=vw,xs=100,ys=40><editor=edNote,xs=200,ys=60><save=yEnd><xsave=xEnd>";

class PageOps : public PageCanvasTest {
protected:
    void SetUp() override {
        open_canvas(false);
        if (HasFatalFailure()) return;
        zepage_build(&page, kPage);
        zeevent_flush();
    }
    zeControl *control(const char *name) { return (zeControl *)zepage_find(&page, name); }
    std::string text(const char *name) {
        char buf[600] = "unset";
        if (!zepage_get_text(&page, name, buf, sizeof buf)) return "(none)";
        return buf;
    }
};

TEST_F(PageOps, EveryKindIsMadeAndPlacedAtTheCursor) {
    const char *names[] = {"tab", "btGo", "cbOn", "swUp", "coUnit", "slLevel", "pbDone", "liName", "udDay",
                           "lbList", "liHome", "liPlain", "vw"};
    for (const char *n : names) {
        zeControl *c = control(n);
        ASSERT_NE(nullptr, c) << n;
        EXPECT_TRUE(c->created) << n;
        EXPECT_EQ(&canvas.view, (zeView *)c->parentowner) << n;
    }
    // The tab bar spans the page at x 0; the text starts below it.
    zeControl *tab = control("tab");
    EXPECT_EQ(0, tab->x);
    EXPECT_EQ(740, tab->w);
    EXPECT_EQ(-2, tab->y);
    zeControl *go = control("btGo"), *cb = control("cbOn");
    int a16 = zefont_load_set("Arial16");
    int line = tab->y + tab->h;
    EXPECT_EQ(10 + zefont_text_width(a16, "Press "), go->x);
    EXPECT_EQ(line - 2, go->y);
    EXPECT_EQ(go->x + go->w + zefont_text_width(a16, " and "), cb->x);
    EXPECT_EQ(a16, go->font);   // controls take the page's font
    // ",yoffs=" moves a combo box down; list boxes are blocks.
    zeControl *co = control("coUnit"), *lb = control("lbList"), *li = control("liName");
    EXPECT_EQ(line + 16 - 2 + 3, co->y);
    EXPECT_EQ(10, lb->x);
    EXPECT_EQ(li->y + 4 + 16 - 2, lb->y);
    EXPECT_EQ(zefont_text_width(a16, "Name ") + 10, li->x);
    EXPECT_EQ(150, li->w);   // the tag's options reach the control whole
    zeControl *ud = control("udDay");
    EXPECT_EQ(li->y, ud->y);   // both 4 above the line
    EXPECT_EQ(li->x + li->w + zefont_text_width(a16, " "), ud->x);
    zeControl *vw = control("vw");   // one line of links below the list, then the view
    EXPECT_EQ(lb->y + lb->h + 16 - 2, vw->y);
    zeControl *ed = control("edNote");   // a block: the text goes on below it
    EXPECT_EQ(vw->y + vw->h - 4, ed->y);
    EXPECT_EQ(ed->y + ed->h, zepage_get_int(&page, "yEnd"));
    // After the build controls take the toolkit's default font again.
    EXPECT_EQ(ZEFONT_DEFAULT, zecontrol_default_font());
}

TEST_F(PageOps, ValuesByKind) {
    EXPECT_EQ(0, zepage_get_int(&page, "btGo"));
    EXPECT_TRUE(zepage_set_int(&page, "btGo", 5));
    EXPECT_EQ(1, zepage_get_int(&page, "btGo"));
    EXPECT_TRUE(zepage_set_int(&page, "cbOn", 1));
    EXPECT_EQ(1, zepage_get_int(&page, "cbOn"));
    EXPECT_TRUE(zecheckbox_is_checked((zeCheckBox *)control("cbOn")));
    EXPECT_TRUE(zepage_set_int(&page, "swUp", 1));
    EXPECT_EQ(1, zepage_get_int(&page, "swUp"));
    zepage_set_int(&page, "swUp", 0);
    EXPECT_EQ(0, zepage_get_int(&page, "swUp"));

    EXPECT_EQ(1, zepage_get_int(&page, "coUnit"));
    EXPECT_EQ("Minutes", text("coUnit"));
    EXPECT_TRUE(zepage_set_text(&page, "coUnit", "Hours"));
    EXPECT_EQ(2, zepage_get_int(&page, "coUnit"));
    zepage_set_text(&page, "coUnit", "Fortnights");   // no such entry: unchanged
    EXPECT_EQ(2, zepage_get_int(&page, "coUnit"));
    zepage_set_int(&page, "coUnit", 0);
    EXPECT_EQ("Seconds", text("coUnit"));

    EXPECT_EQ(40, zepage_get_int(&page, "slLevel"));
    zepage_set_int(&page, "slLevel", 250);
    EXPECT_EQ(100, zepage_get_int(&page, "slLevel"));
    EXPECT_TRUE(zepage_set_text(&page, "slLevel", "17 percent"));
    EXPECT_EQ(17, zepage_get_int(&page, "slLevel"));
    EXPECT_EQ("(none)", text("slLevel"));

    zepage_set_int(&page, "pbDone", 60);
    EXPECT_EQ(60, zepage_get_int(&page, "pbDone"));
    EXPECT_FALSE(zepage_set_text(&page, "pbDone", "1"));

    EXPECT_EQ(42, zepage_get_int(&page, "liName"));
    EXPECT_EQ("42abc", text("liName"));
    zepage_set_int(&page, "liName", -17);
    EXPECT_EQ("-17", text("liName"));
    zepage_set_text(&page, "liName", "Kitchen");
    EXPECT_EQ(0, zepage_get_int(&page, "liName"));

    EXPECT_EQ(5, zepage_get_int(&page, "udDay"));
    EXPECT_EQ("5", text("udDay"));
    zepage_set_int(&page, "udDay", 45);   // clamped by the control
    EXPECT_EQ(31, zepage_get_int(&page, "udDay"));
    EXPECT_TRUE(zepage_set_text(&page, "udDay", "12"));
    EXPECT_EQ(12, zepage_get_int(&page, "udDay"));

    EXPECT_EQ(-1, zepage_get_int(&page, "lbList"));   // no selection yet
    zepage_set_int(&page, "lbList", 2);
    EXPECT_EQ(2, zepage_get_int(&page, "lbList"));
    EXPECT_EQ("Horn", text("lbList"));
    EXPECT_FALSE(zepage_set_text(&page, "lbList", "Bell"));

    EXPECT_EQ(0, zepage_get_int(&page, "tab"));
    zepage_set_int(&page, "tab", 2);
    EXPECT_EQ(2, zepage_get_int(&page, "tab"));
    EXPECT_EQ(2, zetabbar_selected((zeTabBar *)control("tab")));

    EXPECT_TRUE(zepage_set_text(&page, "edNote", "first line\nsecond"));
    EXPECT_EQ("first line\nsecond", text("edNote").substr(0, 17));
    EXPECT_EQ(0, zepage_get_int(&page, "edNote"));
    EXPECT_FALSE(zepage_set_int(&page, "edNote", 3));

    // Links and views hold no values.
    EXPECT_EQ(0, zepage_get_int(&page, "liHome"));
    EXPECT_FALSE(zepage_set_int(&page, "liHome", 1));
    EXPECT_EQ("(none)", text("liHome"));
    EXPECT_EQ(0, zepage_get_int(&page, "vw"));
    // Points read as their coordinate.
    EXPECT_EQ(10, zepage_get_int(&page, "xEnd"));
}

TEST_F(PageOps, NamesNobodyHasAndNamesTwoSlotsShare) {
    EXPECT_EQ(nullptr, zepage_find(&page, "nobody"));
    EXPECT_EQ(0, zepage_get_int(&page, "nobody"));
    EXPECT_FALSE(zepage_set_int(&page, "nobody", 1));
    EXPECT_FALSE(zepage_set_text(&page, "nobody", "x"));
    EXPECT_EQ("(none)", text("nobody"));
    EXPECT_FALSE(zepage_focus(&page, "nobody"));
    zepage_disable(&page, "nobody");
    EXPECT_EQ(0, zepage_open_link(&page, "nobody"));
    EXPECT_EQ(nullptr, zepage_find(&page, "btgo"));   // names are case-sensitive

    // A check box and a line input named alike: each operation takes the
    // first slot of a kind it handles.
    zepage_build(&page, "<checkbox=cb24,Hours,xs=80><lineinput=cb24,xs=80,default=7><progressbar=cb24,xs=50>"
                        "<link=cb24,link>");
    EXPECT_TRUE(zepage_set_int(&page, "cb24", 1));
    EXPECT_EQ(1, zepage_get_int(&page, "cb24"));
    EXPECT_EQ("7", text("cb24"));   // the check box has no text: the line input answers
    zepage_set_text(&page, "cb24", "99");
    EXPECT_EQ(1, zepage_get_int(&page, "cb24"));
    // Disabling greys every slot of the name that can be greyed.
    zepage_disable(&page, "cb24");
    int grey = 0;
    for (int i = 0; i < page.nused; i++) grey += ((zeControl *)page.slots[i].control)->grey;
    EXPECT_EQ(3, grey);   // not the progress bar
    zepage_enable(&page, "cb24");
    grey = 0;
    for (int i = 0; i < page.nused; i++) grey += ((zeControl *)page.slots[i].control)->grey;
    EXPECT_EQ(0, grey);
    EXPECT_TRUE(zepage_focus(&page, "cb24"));   // the check box takes no focus by name: the line input does
    EXPECT_EQ(((zeControl *)page.slots[1].control)->handle, canvas.view.focused);
}

TEST_F(PageOps, EventIdsFindTheirNames) {
    char name[ZEPAGE_NAMESIZE];
    const char *events[] = {"tab", "btGo", "cbOn", "swUp", "coUnit", "slLevel", "liName", "udDay", "lbList",
                            "liHome", "vw"};
    for (const char *n : events) {
        int id = control(n)->ids[0];
        ASSERT_TRUE(zepage_event_name(&page, id, name)) << n;
        EXPECT_STREQ(n, name);
        EXPECT_TRUE(zepage_is_event(&page, id, n));
        EXPECT_FALSE(zepage_is_event(&page, id, "btOther"));
        EXPECT_FALSE(zepage_is_change(&page, id, n));
    }
    EXPECT_FALSE(zepage_event_name(&page, control("pbDone")->ids[0], name));   // passive
    EXPECT_TRUE(zepage_is_change(&page, control("liName")->ids[14], "liName"));
    EXPECT_TRUE(zepage_is_change(&page, control("lbList")->ids[14], "lbList"));
    EXPECT_FALSE(zepage_change_name(&page, control("coUnit")->ids[14], name));
    EXPECT_TRUE(zepage_is_change(&page, control("edNote")->ids[14], "edNote"));
    EXPECT_FALSE(zepage_event_name(&page, control("edNote")->ids[0], name));
    EXPECT_FALSE(zepage_event_name(&page, 12345, name));
    EXPECT_FALSE(zepage_is_event(&page, control("btGo")->ids[0], "cbOn"));

    // A click on the button reaches the page's name through the event queue.
    zeControl *go = control("btGo");
    zecontrol_send(go, ZEMSG_LDOWN, go->x + 5, go->y + 5);
    zecontrol_send(go, ZEMSG_LUP, go->x + 5, go->y + 5);
    int id, hits = 0;
    while ((id = zeevent_poll()) != 0) hits += zepage_is_event(&page, id, "btGo");
    EXPECT_EQ(1, hits);
}

TEST_F(PageOps, ARebuiltPageAnswersWithItsNewControls) {
    int oldid = control("btGo")->ids[0];
    zepage_build(&page, kPage);
    EXPECT_NE(oldid, control("btGo")->ids[0]);
    EXPECT_FALSE(zepage_is_event(&page, oldid, "btGo"));
    EXPECT_TRUE(zepage_is_event(&page, control("btGo")->ids[0], "btGo"));
    int inuse = 0;
    for (int i = 0; i < canvas.view.nchildren; i++) inuse += canvas.view.children[i].inuse;
    EXPECT_EQ(14, inuse);   // the new controls only
    zepage_clear(&page);
    inuse = 0;
    for (int i = 0; i < canvas.view.nchildren; i++) inuse += canvas.view.children[i].inuse;
    EXPECT_EQ(0, inuse);
    EXPECT_EQ(0, zepage_get_int(&page, "coUnit"));
}

}  // namespace
