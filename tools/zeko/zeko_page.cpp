// zeko page: markup pages from files.
//
// "page render FILE OUT.png [WIDTH]" lays the page out on an off-screen
// canvas (default 740 wide, the settings window's width) as tall as the page
// and writes the picture. "page show FILE [WIDTH]" opens the page in a
// window titled "zeko page", prints "control NAME KIND X Y W H" for each of
// its controls, then one line "event NAME KIND VALUE" for every event of its
// controls (KIND-change for a text or selection change). A FILE ending in
// ".html" is an HTML help file, converted first. Picture names in the page are found beside
// the page file; "<image_xpm=1>" and "<memimage=1>" show a small built-in
// picture (an XPM image and the same as a pixmap).
#include "zeko.h"
#include "zecontrol.h"
#include "zeentry.h"
#include "zeevent.h"
#include "zefont.h"
#include "zegout.h"
#include "zehtml.h"
#include "zepage.h"
#include "zepxmap.h"
#include "zeimage.h"
#include "zeview.h"
#include "zewindow.h"
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <unistd.h>

namespace {

enum { DEFAULT_WIDTH = 740, MAX_FILE = 16 << 20, MAX_HEIGHT = 32000, FIRST_HEIGHT = 2000, SHOW_HEIGHT = 600 };

bool read_file(const char *name, std::string *text) {
    FILE *f = fopen(name, "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0 && text->size() < MAX_FILE) text->append(buf, n);
    fclose(f);
    return true;
}

// A help file in HTML (".html" or ".htm") is shown as the page it converts
// to, its links numbered from 1.
void convert_html(const char *file, std::string *text) {
    const char *dot = strrchr(file, '.');
    if (!dot || (strcasecmp(dot, ".html") != 0 && strcasecmp(dot, ".htm") != 0)) return;
    size_t size = text->size() * 10 + 65536;
    char *buf = (char *)calloc(size, 1);
    if (!buf) return;
    if (!zehtml_append_text(buf, size, text->data(), text->size(), 1)) printf("page: %s has no body\n", file);
    *text = buf;
    free(buf);
}

// Relative picture names in a page are the page's neighbours.
void enter_page_dir(const char *file) {
    std::string dir(file);
    size_t slash = dir.rfind('/');
    if (slash == std::string::npos) return;
    if (chdir(dir.substr(0, slash + 1).c_str()) != 0) perror("zeko: page directory");
}

std::string absolute(const char *name) {
    if (name[0] == '/') return name;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return name;
    return std::string(cwd) + "/" + name;
}

// An off-screen canvas: a pixmap with a view drawing straight into it.
struct Canvas {
    zePixmap px;
    zeView view;
};

bool canvas_open(Canvas *c, int w, int h) {
    zepxmap_init(&c->px);
    if (!zepxmap_create(&c->px, w, h, ZEPX_TRUECOLOR)) return false;
    zepxmap_clear(&c->px, 0xffffff);
    return zeview_create_in(&c->view, nullptr, nullptr, &c->px, true,
                            "page,x=0,y=0,xs=%d,ys=%d,bgcolor=ffffff,standardview", w, h);
}

void canvas_close(Canvas *c) {
    zeview_destroy(&c->view);
    zepxmap_release(&c->px);
}

const char *const kSample[] = {
    "16 12 3 1", ". c None", "o c #C04020", "+ c #F0D060",
    "......oooo......", "....oo++++oo....", "...o++++++++o...", "..o++++oo+++o...", "..o+++o++o++o...",
    "..o++++oo+++o...", "..o++++++++o....", "...o++++++o.....", "....oo++oo......", "......oo........",
    ".....oooo.......", "................",
};

zePixmap g_sample;

// Handle 1 of both kinds of in-memory picture, for sample pages.
void enter_samples(void) {
    zepxmap_init(&g_sample);
    if (zepxmap_createfrommem_xpm(&g_sample, kSample)) zepage_pixmap_handle(&g_sample);
    zepage_xpm_handle(kSample);
}

void start_toolkit(void) {
    zeko_start_toolkit(false);
    enter_samples();
}

// Where the page ends: its end y, or lower when a control on the canvas
// reaches further (a page that went on inside one of its views).
int page_bottom(zeGUIScript *page, int endy, zeView *canvas) {
    int bottom = endy;
    for (int i = 0; i < page->nused; i++) {
        const zeControl *c = (const zeControl *)page->slots[i].control;
        if (page->slots[i].inuse && c && c->parentowner == canvas && c->y + c->h > bottom) bottom = c->y + c->h;
    }
    return bottom;
}

// The page's height on a canvas of that width: built once on a tall one.
int measure(const std::string &text, int width) {
    Canvas c;
    if (!canvas_open(&c, width, FIRST_HEIGHT)) return FIRST_HEIGHT;
    zeGUIScript page;
    int h = page_bottom(&page, zepage_build(&page, text.c_str()), &c.view);
    zepage_destroy(&page, 0);
    canvas_close(&c);
    return h;
}

int page_width(int argc, char **argv, int index) {
    int w = argc > index ? atoi(argv[index]) : DEFAULT_WIDTH;
    return w >= 50 && w <= 8000 ? w : -1;
}

int render(int argc, char **argv) {
    if (argc < 2 || argc > 3) return zeko_fail("page: usage: zeko page render FILE OUT.png [WIDTH]");
    int width = page_width(argc, argv, 2);
    if (width < 0) return zeko_fail("page: the width must be 50 to 8000");
    std::string text, out = absolute(argv[1]);
    if (!read_file(argv[0], &text)) return zeko_fail("page: cannot read %s", argv[0]);
    start_toolkit();
    enter_page_dir(argv[0]);
    convert_html(argv[0], &text);
    int height = measure(text, width) + 20;
    if (height < FIRST_HEIGHT) height = FIRST_HEIGHT;
    if (height > MAX_HEIGHT) height = MAX_HEIGHT;
    Canvas c;
    if (!canvas_open(&c, width, height)) return zeko_fail("page: no canvas of %d x %d", width, height);
    zeGUIScript page;
    int end = page_bottom(&page, zepage_build(&page, text.c_str()), &c.view);
    int shown = end + 10 < 20 ? 20 : end + 10 > height ? height : end + 10;
    bool ok = zegraphic_save("%s,xs=%d,ys=%d", out.c_str(), width, shown) != 0;
    zepage_destroy(&page, 0);
    canvas_close(&c);
    if (!ok) return zeko_fail("page: cannot write %s", out.c_str());
    printf("%s: %d x %d\n", out.c_str(), width, shown);
    return 0;
}

// "event NAME KIND VALUE": the value as text for the kinds that have one,
// else as a number.
void report(zeGUIScript *page, int id) {
    char name[ZEPAGE_NAMESIZE];
    bool change = false;
    if (!zepage_event_name(page, id, name)) {
        if (!zepage_change_name(page, id, name)) return;
        change = true;
    }
    const char *kind = "?";
    for (int i = 0; i < page->nused; i++) {
        const zePageSlot &s = page->slots[i];
        const zeControl *c = (const zeControl *)s.control;
        if (s.inuse && c && c->ids[change ? 14 : 0] == id) {
            kind = s.kind;
            break;
        }
    }
    char value[1000];
    if (!zepage_get_text(page, name, value, sizeof value)) snprintf(value, sizeof value, "%d", zepage_get_int(page, name));
    printf("event %s %s%s %s\n", name, kind, change ? "-change" : "", value);
    fflush(stdout);
}

int show(int argc, char **argv) {
    if (argc < 1 || argc > 2) return zeko_fail("page: usage: zeko page show FILE [WIDTH]");
    int width = page_width(argc, argv, 1);
    if (width < 0) return zeko_fail("page: the width must be 50 to 8000");
    std::string text;
    if (!read_file(argv[0], &text)) return zeko_fail("page: cannot read %s", argv[0]);
    start_toolkit();
    enter_page_dir(argv[0]);
    convert_html(argv[0], &text);
    int content = measure(text, width) + 20;
    if (content > MAX_HEIGHT) content = MAX_HEIGHT;
    int height = content < SHOW_HEIGHT ? content : SHOW_HEIGHT;
    zeWindow win;
    if (!zewindow_open(&win, "zeko page,xs=%d,ys=%d,cys=%d,bgcolor=ffffff,noresize", width, height, content))
        return zeko_fail("page: cannot open the window");
    zeGUIScript page;
    zepage_build(&page, text.c_str());
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // Where each control is, in the window's content: scripts click there.
    for (int i = 0; i < page.nused; i++) {
        const zePageSlot &s = page.slots[i];
        const zeControl *c = (const zeControl *)s.control;
        if (s.inuse && c) printf("control %s %s %d %d %d %d\n", s.name, s.kind, c->x, c->y, c->w, c->h);
    }
    printf("page ready\n");
    int closeid = zewindow_closeid(&win);
    while (zerunning()) {
        int id = zeevent_wait();
        if (id == 0 || id == closeid) break;
        report(&page, id);
    }
    zepage_destroy(&page, 0);
    zewindow_close(&win);
    zeentry_exit_sequence(0);
    return 0;
}

}  // namespace

int zeko_page(int argc, char **argv) {
    if (argc >= 1 && strcmp(argv[0], "render") == 0) return render(argc - 1, argv + 1);
    if (argc >= 1 && strcmp(argv[0], "show") == 0) return show(argc - 1, argv + 1);
    return zeko_fail("page: usage: zeko page render FILE OUT.png [WIDTH] | page show FILE [WIDTH]");
}
