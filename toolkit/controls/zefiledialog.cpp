// The toolkit's file dialog.
#include "zefiledialog.h"
#include "zebutton.h"
#include "zecfgstr.h"
#include "zecfgstr_families.h"
#include "zecombobox.h"
#include "zedialog.h"
#include "zedialog_internal.h"
#include "zeevent.h"
#include "zefont.h"
#include "zelineinput.h"
#include "zelistbox.h"
#include "zepxmap.h"
#include "zescheme.h"
#include "zeview.h"
#include "zewindow.h"
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

enum { PATHMAX = ZEFILEDIALOG_PATHMAX, PATTERNMAX = 259 };

static const char kParent[] = "[..]";

// ----- the rules -----

static bool match_one(const char *p, size_t n, const char *name) {
    while (n > 0 && *p == ' ') p++, n--;
    while (n > 0 && p[n - 1] == ' ') n--;
    char pattern[PATTERNMAX + 1];
    if (n > PATTERNMAX) n = PATTERNMAX;
    memcpy(pattern, p, n);
    pattern[n] = 0;
    // "*.*" is the usual way of saying every file, names without "." too.
    if (!strcmp(pattern, "*.*")) return true;
    return zelistbox_match(pattern, name);
}

bool zefiledialog_match(const char *patterns, const char *name) {
    if (!patterns || !*patterns) return true;
    for (const char *p = patterns;;) {
        size_t n = strcspn(p, ";");
        if (n > 0 && match_one(p, n, name)) return true;
        if (!p[n]) return false;
        p += n + 1;
    }
}

// Appends one component to an absolute path being built, resolving "." and "..".
static void push_component(std::vector<char> &out, const char *c, size_t n) {
    if (n == 0 || (n == 1 && c[0] == '.')) return;
    if (n == 2 && c[0] == '.' && c[1] == '.') {
        while (!out.empty() && out.back() != '/') out.pop_back();
        if (!out.empty()) out.pop_back();
        return;
    }
    out.push_back('/');
    out.insert(out.end(), c, c + n);
}

static void push_path(std::vector<char> &out, const char *s) {
    while (*s) {
        size_t n = strcspn(s, "/\\");
        push_component(out, s, n);
        s += n;
        while (*s == '/' || *s == '\\') s++;
    }
}

bool zefiledialog_resolve(const char *dir, const char *typed, char *out, int size) {
    if (!out || size <= 0) return false;
    out[0] = 0;
    if (!typed) typed = "";
    std::vector<char> path;
    const char *home = getenv("HOME");
    if (typed[0] == '~' && (typed[1] == 0 || typed[1] == '/' || typed[1] == '\\') && home) {
        push_path(path, home);
        typed++;
    } else if (typed[0] != '/' && typed[0] != '\\') {
        push_path(path, dir ? dir : "/");
    }
    push_path(path, typed);
    if (path.empty()) path.push_back('/');
    if ((int)path.size() >= size) return false;
    memcpy(out, path.data(), path.size());
    out[path.size()] = 0;
    return true;
}

bool zefiledialog_defaultext(char *path, int size, const char *ext) {
    if (!path || !ext) return true;
    while (*ext == '.') ext++;
    if (!*ext) return true;
    const char *slash = strrchr(path, '/');
    if (strchr(slash ? slash + 1 : path, '.')) return true;
    size_t len = strlen(path), n = strlen(ext);
    if (size <= 0 || len + 1 + n >= (size_t)size) return false;
    path[len] = '.';
    memcpy(path + len + 1, ext, n + 1);
    return true;
}

static bool by_name(const char *a, const char *b) {
    int c = strcasecmp(a, b);
    return c != 0 ? c < 0 : strcmp(a, b) < 0;
}

static void fill(zeListBox *lb, std::vector<char *> &names, bool parent) {
    if (!lb) return;
    std::sort(names.begin(), names.end(), by_name);
    zelistbox_clear(lb);
    if (parent) zelistbox_add_text(lb, kParent);
    for (char *n : names) zelistbox_add_text(lb, n);
    zelistbox_end_bulk(lb);
}

// The kind of an entry without a stat call where the directory says it
// (20,000 files must list within a second); links are followed.
static bool entry_is_dir(int fd, const struct dirent *e) {
    if (e->d_type != DT_UNKNOWN && e->d_type != DT_LNK) return e->d_type == DT_DIR;
    struct stat st;
    return fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool zefiledialog_list(const char *dir, const char *patterns, bool hidden, bool executable, zeListBox *dirs,
                       zeListBox *files) {
    std::vector<char *> dn, fn;
    DIR *d = dir ? opendir(dir) : nullptr;
    if (d) {
        int fd = dirfd(d);
        while (struct dirent *e = readdir(d)) {
            const char *name = e->d_name;
            if (!strcmp(name, ".") || !strcmp(name, "..") || (!hidden && name[0] == '.')) continue;
            if (entry_is_dir(fd, e)) {
                if (dirs) dn.push_back(strdup(name));
                continue;
            }
            if (!files || !zefiledialog_match(patterns, name)) continue;
            if (executable && faccessat(fd, name, X_OK, 0) != 0) continue;
            fn.push_back(strdup(name));
        }
        closedir(d);
    }
    fill(dirs, dn, !dir || strcmp(dir, "/") != 0);
    fill(files, fn, false);
    for (char *s : dn) free(s);
    for (char *s : fn) free(s);
    return d != nullptr;
}

// ----- the dialog -----

// The controls in the order the open hook gets them.
enum { C_PATH, C_DIRS, C_FILES, C_SEL, C_FILTER, C_OK, C_CANCEL, C_HIDDEN, C_COUNT };

struct FileDialog {
    zeFileDlgAttr a;
    bool executable;
    char dir[PATHMAX + 1];         // the directory listed, absolute
    char pattern[PATTERNMAX + 1];  // the filter in use
    int background;
    zeWindow *win;
    zeView *view;
    zeLineInput path, sel;
    zeListBox dirs, files;
    zeComboBox filter;
    zeButton ok, cancel, hidden;
};

static bool is_dir(const char *p) {
    struct stat st;
    return stat(p, &st) == 0 && S_ISDIR(st.st_mode);
}

static bool exists(const char *p) {
    struct stat st;
    return stat(p, &st) == 0;
}

static void label(FileDialog *f, const zeControl *c, const char *text) {
    zePixmap *px = zeview_pixmap(f->view);
    int fh = zefont_height(ZEFONT_DEFAULT), y = c->y - 4 - fh;
    zepxmap_fillrect(px, c->x, y, c->w, fh, f->background);
    zefont_draw_text(px, ZEFONT_DEFAULT, c->x, y, zescheme_color(ZECOL_TEXT), false, false, -1, c->w, -1, text);
}

static void relist(FileDialog *f) {
    bool hidden = zelistbox_show_hidden();
    bool ok = zefiledialog_list(f->dir, f->pattern, hidden, f->executable, &f->dirs, &f->files);
    if (!ok) printf("zedialog_file: cannot read %s\n", f->dir);
    label(f, &f->files.c, ok ? "Files" : "Files (cannot read this directory)");
    zebutton_set_pressed(&f->hidden, hidden);
    zeview_refresh(f->view);
}

static void go(FileDialog *f, const char *dir) {
    if (dir != f->dir) snprintf(f->dir, sizeof f->dir, "%s", dir);
    zelineinput_set_text(&f->path, f->dir);
    // A name typed for saving stays for the new directory; a file chosen for
    // opening belonged to the old one.
    if (!f->a.save) zelineinput_set_text(&f->sel, "");
    relist(f);
}

// The path field: a directory is listed, a file's directory is listed with
// the file as the selection.
static void go_typed(FileDialog *f) {
    char p[PATHMAX + 1];
    if (!zefiledialog_resolve(f->dir, zelineinput_text(&f->path), p, sizeof p)) return;
    if (is_dir(p)) return go(f, p);
    char *slash = strrchr(p, '/');
    char name[PATHMAX + 1];
    snprintf(name, sizeof name, "%s", slash + 1);
    *slash = 0;
    if (!p[0]) snprintf(p, sizeof p, "/");
    if (!is_dir(p)) {
        printf("zedialog_file: no such directory: %s\n", p);
        zelineinput_set_text(&f->path, f->dir);
        return;
    }
    go(f, p);
    zelineinput_set_text(&f->sel, name);
}

static void enter_dir(FileDialog *f) {
    const char *name = zelistbox_item(&f->dirs, zelistbox_selected(&f->dirs));
    char p[PATHMAX + 1];
    if (name && zefiledialog_resolve(f->dir, strcmp(name, kParent) ? name : "..", p, sizeof p) && is_dir(p)) go(f, p);
}

static void use_filter(FileDialog *f, int i) {
    if (i < 0 || i >= f->a.nfilters) return;
    snprintf(f->pattern, sizeof f->pattern, "%s", f->a.filters[i].pattern);
    relist(f);
}

enum Outcome { STAY, CHOSEN, REFUSED };

// OK: the selection (typed or picked) becomes the answer, or says where to go.
static Outcome accept(FileDialog *f, char *answer, int size) {
    char text[PATHMAX + 1];
    zelineinput_get_text(&f->sel, text, sizeof text);
    if (!text[0]) zelistbox_selected_item(&f->files, text, sizeof text);
    if (!text[0]) return STAY;
    if (strpbrk(text, "*?") && !strpbrk(text, "/\\")) {   // a typed filter
        snprintf(f->pattern, sizeof f->pattern, "%s", text);
        zelineinput_set_text(&f->sel, "");
        relist(f);
        return STAY;
    }
    char p[PATHMAX + 1];
    if (!zefiledialog_resolve(f->dir, text, p, sizeof p)) return STAY;
    if (is_dir(p)) {
        zelineinput_set_text(&f->sel, "");
        go(f, p);
        return STAY;
    }
    // A name without extension gets the default one; for opening only when
    // the name as typed is no file.
    if ((f->a.save || !exists(p)) && !zefiledialog_defaultext(p, sizeof p, f->a.defaultext)) return STAY;
    if (!f->a.save && !f->a.mustnotexist && !exists(p)) {
        zedialog_info("File does not exist.");
        zewindow_bringtotop(f->win);   // the keys belong to this dialog again
        return STAY;
    }
    if (f->a.save && exists(p) && !zedialog_yesno("File exists !\nOverwrite ?")) return REFUSED;
    if ((int)strlen(p) >= size) {
        printf("zedialog_file: the path does not fit in %d bytes: %s\n", size, p);
        return REFUSED;
    }
    snprintf(answer, (size_t)size, "%s", p);
    return CHOSEN;
}

static void start_dir(FileDialog *f) {
    char cwd[PATHMAX + 1];
    if (!getcwd(cwd, sizeof cwd)) snprintf(cwd, sizeof cwd, "/");
    if (!f->a.dir[0] || !zefiledialog_resolve(cwd, f->a.dir, f->dir, sizeof f->dir) || !is_dir(f->dir))
        zefiledialog_resolve("/", cwd, f->dir, sizeof f->dir);
}

static void create_controls(FileDialog *f) {
    zelineinput_create(&f->path, "x=50%%,y=12%%,xs=90%%,font=8x16,NoFocusSwitchWithEnter");
    zelistbox_create(&f->dirs, "Directories,x=26%%,y=45%%,xs=42%%,ys=40%%,font=8x16");
    zelistbox_create(&f->files, "Files,x=74%%,y=45%%,xs=42%%,ys=40%%,font=8x16");
    zelineinput_create(&f->sel, "x=50%%,y=76%%,xs=90%%,font=8x16,NoFocusSwitchWithEnter");
    zecombobox_create(&f->filter, "Filter,x=50%%,y=91%%,xs=30%%");
    zebutton_create(&f->ok, "OK,x=20%%,y=91%%,xs=10%%");
    zebutton_create(&f->cancel, "Cancel,x=80%%,y=91%%,xs=10%%,font=var13");
    zebutton_create(&f->hidden, "Show hidden,x=80%%,y=5%%,xs=20%%,font=var13");
    for (int i = 0; i < f->a.nfilters; i++) {
        const zeFileFilter &k = f->a.filters[i];
        zecombobox_add_text(&f->filter, k.description[0] ? k.description : k.pattern);
    }
    if (f->a.nfilters == 0) zecombobox_add_text(&f->filter, "*");
    snprintf(f->pattern, sizeof f->pattern, "%s", f->a.nfilters ? f->a.filters[0].pattern : "*");

    f->background = zepxmap_getpixel(zeview_pixmap(f->view), 1, 1);
    label(f, &f->dirs.c, "Directories");
    label(f, &f->sel.c, "Selection");
    zePixmap *px = zeview_pixmap(f->view);
    int fh = zefont_height(ZEFONT_DEFAULT);
    zefont_draw_text(px, ZEFONT_DEFAULT, f->filter.c.x - 6 - zefont_text_width(ZEFONT_DEFAULT, "Filter"),
                     f->filter.c.y + (f->filter.c.h - fh) / 2, zescheme_color(ZECOL_TEXT), false, false, -1, 0, -1,
                     "Filter");
    zelineinput_set_text(&f->sel, f->a.suggestion);
    go(f, f->dir);
    zelineinput_set_text(&f->sel, f->a.suggestion);
}

static void release_controls(FileDialog *f) {
    zelineinput_destroy(&f->path);
    zelineinput_destroy(&f->sel);
    zelistbox_release(&f->dirs);
    zelistbox_release(&f->files);
    zecombobox_release(&f->filter);
    zebutton_release(&f->ok);
    zebutton_release(&f->cancel);
    zebutton_release(&f->hidden);
}

// Enter belongs to the control that has the focus: the lists and buttons
// answer it with their own events, the path field goes there, and the
// selection field (or no focus at all) means OK.
enum EnterMeans { ENTER_NOTHING, ENTER_PATH, ENTER_OK };

static EnterMeans enter_means(FileDialog *f) {
    if (f->path.c.focus) return ENTER_PATH;
    if (f->sel.c.focus || zeview_focused(f->view) < 0) return ENTER_OK;
    return ENTER_NOTHING;
}

static bool run(FileDialog *f, zeWindow *w, char *answer, int size) {
    const int ids[] = {zewindow_closeid(w), zebutton_eventid(&f->cancel), zebutton_eventid(&f->ok),
                       zebutton_eventid(&f->hidden), f->dirs.c.ids[0], f->files.c.ids[0],
                       f->files.c.ids[ZELB_ID_SELECT], f->filter.c.ids[0], ZEKEY_ENTER, ZEKEY_ESCAPE};
    enum { CLOSE, CANCEL, OK, HIDDEN, DIR, FILE_CHOSEN, FILE_PICKED, FILTER, ENTER, ESCAPE };
    for (;;) {
        int id = zeevent_waitfor_list((int)(sizeof ids / sizeof ids[0]), ids);
        if (id == 0 || id == ids[CLOSE] || id == ids[CANCEL]) return false;
        if (id == ZEKEY_ESCAPE) {
            if (!zecombobox_is_open(&f->filter)) return false;
            zecombobox_close(&f->filter);
            continue;
        }
        bool ok = id == ids[OK];
        if (id == ids[HIDDEN]) zelistbox_set_show_hidden(!zelistbox_show_hidden()), relist(f);
        if (id == ids[DIR]) enter_dir(f);
        if (id == ids[FILE_PICKED] || id == ids[FILE_CHOSEN]) {
            const char *name = zelistbox_item(&f->files, zelistbox_selected(&f->files));
            if (name) zelineinput_set_text(&f->sel, name);
            ok = id == ids[FILE_CHOSEN] && name;
        }
        if (id == ids[FILTER]) use_filter(f, zecombobox_selected(&f->filter));
        if (id == ZEKEY_ENTER) {
            EnterMeans m = enter_means(f);
            if (m == ENTER_PATH) go_typed(f);
            ok = m == ENTER_OK;
        }
        if (!ok) continue;
        Outcome r = accept(f, answer, size);
        if (r != STAY) return r == CHOSEN;
    }
}

static bool file_dialog(char *answer, int size, const char *options) {
    FileDialog *f = new (std::nothrow) FileDialog();
    if (!f) return false;
    zelineinput_init(&f->path), zelineinput_init(&f->sel);
    zelistbox_init(&f->dirs), zelistbox_init(&f->files);
    zecombobox_init(&f->filter);
    char buf[ZECFGSTR_SPLITBUF];
    char **e = zecfgstr_split(buf, options);
    zecfgstr_flag(e, 0, "executable", &f->executable);
    zecfgstr_filedlgattr(e, 0, &f->a);
    start_dir(f);
    char title[ZEWIN_TITLEMAX + 1];
    snprintf(title, sizeof title, "%s", f->a.title[0] ? f->a.title : f->a.save ? "Save as..." : "Open file...");
    // The title is entry 0 of the window's options: a comma would end it.
    for (char *c = title; *c; c++)
        if (*c == ',') *c = ' ';

    zeDialogCaller s = zedialog_save_caller();
    zeWindow w;
    bool chosen = false;
    f->win = &w;
    f->view = zedialog_open_window(&w, "%s,x=50%%,y=50%%,xs=500,ys=360,NoSysMenu,noquit,modal,noresize", title);
    if (f->view) {
        create_controls(f);
        zelineinput_focus(&f->sel);
        zeControl *c[C_COUNT] = {&f->path.c, &f->dirs.c, &f->files.c, &f->sel.c,
                                 &f->filter.c, &f->ok.c, &f->cancel.c, &f->hidden.c};
        zedialog_opened(&w, c, C_COUNT);
        chosen = run(f, &w, answer, size);
        release_controls(f);
        zewindow_close(&w);
    }
    zedialog_restore_caller(s);
    delete f;
    return chosen;
}

bool zedialog_file(char *answer, int size, const char *fmt, ...) {
    if (!answer || size <= 0) return false;
    answer[0] = 0;
    char options[ZECFGSTR_TEXTMAX + 1];
    va_list ap;
    va_start(ap, fmt);
    zecfgstr_vformat(options, fmt ? fmt : "", ap);
    va_end(ap);
    bool chosen = file_dialog(answer, size, options);
    if (!chosen) answer[0] = 0;
    return chosen;
}
