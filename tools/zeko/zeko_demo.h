// zeko demo controls: one window ("zeko controls demo") whose scroll view
// holds every control family, one section below the other. Each control is
// named, and every event it raises is printed on standard output as one line
// "event NAME KIND VALUE" (flushed), so that a script can drive the demo.
//
// Adding a section:
//   1. Write tools/zeko/zeko_demo_FAMILY.cpp with
//        int zeko_demo_FAMILY(zekoDemo *d, int y);
//      It creates its controls in the standard view (the demo's scroll
//      view) from content row y down, calls zeko_demo_watch for each one,
//      and returns the first free row below them.
//   2. Declare it below and add one line to kSections in
//      zeko_demo_controls.cpp.
// "zeko demo controls FAMILY..." builds only the named sections, at the top.
#pragma once

struct zeControl;

struct zekoDemo {
    int width;      // content width the sections lay out in
    int margin;     // left edge of the controls
};

// How an event of a watched object reads: index is the position of the
// event id among the object's ids (0: its main event). Writes KIND (one
// word, e.g. "main", "change") and VALUE (the object's value after the
// event: a text, 0/1, an index...).
typedef void (*zekoDemoDescribe)(void *obj, int index, char *kind, int kindsize, char *value, int valuesize);

// Prints "event NAME KIND VALUE" whenever one of the control's sixteen ids
// comes out of the queue. Without describe: "main" for the main event,
// "idN" for the others, and the first argument of the last post as value.
// Also prints "control NAME X Y W H" (content coordinates) at once.
void zeko_demo_watch(zeControl *c, const char *name, zekoDemoDescribe describe = nullptr);
// The same for any object with its own range of event ids.
void zeko_demo_watch_ids(const int *ids, int count, void *obj, const char *name, zekoDemoDescribe describe);
// For events that do not pass the queue (hooks): prints the line itself.
void zeko_demo_event(const char *name, const char *kind, const char *value);
// A section title at row y; returns the row below it.
int zeko_demo_title(zekoDemo *d, int y, const char *title);

// The sections.
int zeko_demo_buttons(zekoDemo *d, int y);   // zeko_demo_buttons.cpp
int zeko_demo_lists(zekoDemo *d, int y);     // zeko_demo_lists.cpp
int zeko_demo_values(zekoDemo *d, int y);    // zeko_demo_values.cpp
int zeko_demo_text(zekoDemo *d, int y);      // zeko_demo_text.cpp
int zeko_demo_rtf(zekoDemo *d, int y);       // zeko_demo_rtf.cpp

int zeko_demo_controls(int argc, char **argv);
