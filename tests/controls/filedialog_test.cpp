// The file dialog: its filters, typed paths, default extensions and
// directory listings (hidden, executable, unreadable, 20,000 files), and the
// dialog itself driven by clicks and keys in open and save modes.
#include "dialog_fixture.h"
#include "zefiledialog.h"
#include "zecombobox.h"
#include "zelineinput.h"
#include "zelistbox.h"
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

enum { C_PATH, C_DIRS, C_FILES, C_SEL, C_FILTER, C_OK, C_CANCEL, C_HIDDEN };

TEST(FileDialogRules, FiltersMatchAnyOfTheirPatterns) {
    const struct {
        const char *patterns, *name;
        bool match;
    } cases[] = {
        {"*.wav;*.mp3;*.mid", "beep.WAV", true}, {"*.wav;*.mp3;*.mid", "tune.mid", true},
        {"*.wav;*.mp3;*.mid", "tune.midi", false}, {"*.wav;*.mp3;*.mid", "wav", false},
        {" *.txt ; *.md ", "a.md", true},          {"*.txt;", "a.txt", true},
        {";;", "a.txt", false},                     {"", "anything", true},
        {"*", ".hidden", true},                     {"*.*", "README", true},
        {"?.c", "a.c", true},                       {"?.c", "ab.c", false},
        {"*.bmp", "picture.bmp.gz", false},         {"a*b*c", "aXXbYYc", true},
    };
    for (const auto &k : cases)
        EXPECT_EQ(k.match, zefiledialog_match(k.patterns, k.name)) << '"' << k.patterns << "\" on " << k.name;
}

TEST(FileDialogRules, TypedPathsBecomeAbsoluteAndClean) {
    setenv("HOME", "/home/u", 1);
    const struct {
        const char *dir, *typed, *out;
    } cases[] = {
        {"/home/u", "x.txt", "/home/u/x.txt"},
        {"/home/u", "../a", "/home/a"},
        {"/home/u", "/abs//b/./c/", "/abs/b/c"},
        {"/home/u", "..\\..\\..\\..\\etc", "/etc"},   // never above the root
        {"/tmp", "sub\\name.bmp", "/tmp/sub/name.bmp"},
        {"/tmp", "~", "/home/u"},
        {"/tmp", "~/notes", "/home/u/notes"},
        {"/tmp", "~other", "/tmp/~other"},
        {"/tmp", "", "/tmp"},
        {"/", "..", "/"},
        {"/", "a b/ c", "/a b/ c"},
    };
    char out[256];
    for (const auto &k : cases) {
        EXPECT_TRUE(zefiledialog_resolve(k.dir, k.typed, out, sizeof out)) << k.typed;
        EXPECT_STREQ(k.out, out) << k.dir << " + " << k.typed;
    }
    // A path that does not fit is refused whole, never cut.
    char small[9];
    EXPECT_TRUE(zefiledialog_resolve("/tmp", "abc", small, sizeof small));   // 8 characters
    EXPECT_STREQ("/tmp/abc", small);
    EXPECT_FALSE(zefiledialog_resolve("/tmp", "abcd", small, sizeof small));
    EXPECT_STREQ("", small);
}

// Whatever is typed, the path is absolute and clean or refused, and no
// pattern makes matching fail or take long.
TEST(FileDialogRules, MutatedTypedPathsAndPatterns) {
    const char alphabet[] = "/\\.~*?;ab c\xe4";
    unsigned seed = 16;
    for (int round = 0; round < 3000; round++) {
        char typed[64];
        int n = (int)((seed = seed * 1103515245u + 12345u) >> 16) % 60;
        for (int i = 0; i < n; i++) typed[i] = alphabet[((seed = seed * 1103515245u + 12345u) >> 16) % (sizeof alphabet - 1)];
        typed[n] = 0;
        char out[48];
        if (zefiledialog_resolve("/tmp/x", typed, out, sizeof out)) {
            std::string p = out;
            EXPECT_EQ('/', p[0]) << typed;
            EXPECT_EQ(std::string::npos, p.find("//")) << typed;
            EXPECT_EQ(std::string::npos, (p + "/").find("/./")) << typed;
            EXPECT_EQ(std::string::npos, (p + "/").find("/../")) << typed;
            EXPECT_EQ(std::string::npos, p.find('\\')) << typed;
            EXPECT_TRUE(p == "/" || p.back() != '/') << typed;
        } else {
            EXPECT_STREQ("", out) << typed;
        }
        zefiledialog_match(typed, "abc.txt");
        zefiledialog_match(typed, typed);
    }
    EXPECT_FALSE(zefiledialog_match(std::string(200, '*').append("x").c_str(), std::string(5000, 'a').c_str()));
}

TEST(FileDialogRules, TheDefaultExtensionOnlyGoesOnANameWithoutOne) {
    const struct {
        const char *path, *ext, *out;
    } cases[] = {
        {"/a/b", "bmp", "/a/b.bmp"},      {"/a.d/b", "bmp", "/a.d/b.bmp"},   // a "." of the directory does not count
        {"/a/b.tar", "bmp", "/a/b.tar"},  {"/a/b", ".exe", "/a/b.exe"},
        {"/a/b", "", "/a/b"},             {"/a/.rc", "bmp", "/a/.rc"},
    };
    for (const auto &k : cases) {
        char p[64];
        snprintf(p, sizeof p, "%s", k.path);
        EXPECT_TRUE(zefiledialog_defaultext(p, sizeof p, k.ext));
        EXPECT_STREQ(k.out, p);
    }
    char p[9] = "/tmp/abc";
    EXPECT_FALSE(zefiledialog_defaultext(p, sizeof p, "x"));
    EXPECT_STREQ("/tmp/abc", p);
}

// A scratch directory tree, removed afterwards.
struct Tree {
    std::string root;
    Tree() {
        char t[] = "/tmp/zefiledialog_XXXXXX";
        root = mkdtemp(t);
    }
    ~Tree() {
        chmod(root.c_str(), 0700);
        std::string cmd = "chmod -R u+rwx '" + root + "' && rm -rf '" + root + "'";
        if (system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << root;
    }
    std::string path(const std::string &rel) const { return root + "/" + rel; }
    void dir(const std::string &rel, mode_t mode = 0755) const { mkdir(path(rel).c_str(), mode); }
    void file(const std::string &rel, mode_t mode = 0644) const {
        int fd = open(path(rel).c_str(), O_CREAT | O_WRONLY | O_TRUNC, mode);
        if (fd >= 0) close(fd);
    }
};

// Root reads every directory; the test drops that power for a while so an
// unreadable directory is one.
struct NoOverride {
    __user_cap_header_struct h = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2], d[2];
    NoOverride() {
        syscall(SYS_capget, &h, saved);
        memcpy(d, saved, sizeof d);
        d[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &h, d);
    }
    ~NoOverride() { syscall(SYS_capset, &h, saved); }
};

std::vector<std::string> lines(const zeListBox *lb) {
    std::vector<std::string> v;
    for (int i = 0; i < zelistbox_count(lb); i++) v.push_back(zelistbox_item(lb, i));
    return v;
}

using Lines = std::vector<std::string>;

class FileLists : public Dialog {
protected:
    Tree t;
    zeListBox dirs, files;
    void SetUp() override {
        Dialog::SetUp();
        zelistbox_init(&dirs), zelistbox_init(&files);
        ASSERT_TRUE(zelistbox_create(&dirs, "x=0,y=0,xs=100,ys=100"));
        ASSERT_TRUE(zelistbox_create(&files, "x=100,y=0,xs=100,ys=100"));
        t.dir("Zeta"), t.dir("alpha"), t.dir(".config"), t.dir("_under");
        t.file("b.txt"), t.file("A.TXT"), t.file("c.md"), t.file(".dot.txt"), t.file("run.sh", 0755);
        symlink(t.path("alpha").c_str(), t.path("link").c_str());
        symlink(t.path("gone").c_str(), t.path("dangling.txt").c_str());
    }
    void TearDown() override {
        zelistbox_release(&dirs), zelistbox_release(&files);
        Dialog::TearDown();
    }
};

TEST_F(FileLists, DirectoriesAndMatchingFilesInNameOrder) {
    EXPECT_TRUE(zefiledialog_list(t.root.c_str(), "*.txt", false, false, &dirs, &files));
    EXPECT_EQ((Lines{"[..]", "_under", "alpha", "link", "Zeta"}), lines(&dirs));
    EXPECT_EQ((Lines{"A.TXT", "b.txt", "dangling.txt"}), lines(&files));

    EXPECT_TRUE(zefiledialog_list(t.root.c_str(), "*", true, false, &dirs, &files));
    EXPECT_EQ((Lines{"[..]", ".config", "_under", "alpha", "link", "Zeta"}), lines(&dirs));
    EXPECT_EQ((Lines{".dot.txt", "A.TXT", "b.txt", "c.md", "dangling.txt", "run.sh"}), lines(&files));

    EXPECT_TRUE(zefiledialog_list(t.root.c_str(), "*", false, true, &dirs, &files));   // programs only
    EXPECT_EQ((Lines{"run.sh"}), lines(&files));

    EXPECT_TRUE(zefiledialog_list("/", "*", false, false, &dirs, nullptr));
    EXPECT_NE("[..]", lines(&dirs).at(0));
}

TEST_F(FileLists, AnUnreadableOrMissingDirectoryListsOnlyTheParent) {
    t.dir("locked", 0);
    t.file("locked-not-a-dir");
    NoOverride nocaps;
    for (const char *d : {"locked", "missing", "locked-not-a-dir"}) {
        EXPECT_FALSE(zefiledialog_list(t.path(d).c_str(), "*", true, false, &dirs, &files)) << d;
        EXPECT_EQ((Lines{"[..]"}), lines(&dirs)) << d;
        EXPECT_EQ(0, zelistbox_count(&files)) << d;
    }
}

// ----- the dialog -----

// Line i of a list box, where a click selects it.
void click_line(zeWindow *w, const zeControl *c, int i) {
    const zeListBox *lb = (const zeListBox *)c;
    click_at(w, c->x + 10, c->y + 4 + (i - lb->top) * lb->lineh + lb->lineh / 2);
}

void double_click_line(zeWindow *w, const zeControl *c, int i) {
    click_line(w, c, i);
    zeheadless_advance(50);
    click_line(w, c, i);
}

int line_of(const zeControl *c, const char *text) {
    const zeListBox *lb = (const zeListBox *)c;
    for (int i = 0; i < zelistbox_count(lb); i++)
        if (!strcmp(zelistbox_item(lb, i), text)) return i;
    ADD_FAILURE() << text << " is not listed";
    return 0;
}

class FileDialog : public Dialog {
protected:
    Tree t;
    char answer[512];
    void SetUp() override {
        Dialog::SetUp();
        t.dir("docs"), t.dir("docs/old"), t.dir("empty");
        t.file("top.txt"), t.file("docs/a.txt"), t.file("docs/b.md"), t.file("docs/c.txt"), t.file("docs/.hidden.txt");
        strcpy(answer, "stale");
    }
    void TearDown() override {
        zelistbox_set_show_hidden(false);
        Dialog::TearDown();
    }
    // Counts the dialogs of this call only: the user's hook tells nested ones apart.
    bool choose(const char *fmt) {
        g_opened = 0;
        return zedialog_file(answer, sizeof answer, fmt, t.root.c_str());
    }
};

TEST_F(FileDialog, OpenWalksIntoADirectoryAndPicksAFile) {
    Lines dirs_seen, files_seen;
    g_user = [&](zeWindow *w, zeControl *const *c, int) {
        dirs_seen = lines((const zeListBox *)c[C_DIRS]);
        files_seen = lines((const zeListBox *)c[C_FILES]);
        double_click_line(w, c[C_DIRS], line_of(c[C_DIRS], "docs"));
        // The listing of docs is not there yet: its second file is c.txt.
        click_line(w, c[C_FILES], 1);
        click(w, c[C_OK]);
    };
    EXPECT_TRUE(choose("open,dir=%s,filter=*.txt|Text,filter=*.md"));
    EXPECT_EQ(t.path("docs/c.txt"), answer);
    EXPECT_EQ("Open file...", g_seen.title);
    EXPECT_EQ(500, g_seen.rect[2]);
    EXPECT_EQ(8, g_seen.controls);
    EXPECT_EQ((Lines{"[..]", "docs", "empty"}), dirs_seen);
    EXPECT_EQ((Lines{"top.txt"}), files_seen);
    expect_caller_restored();

    // The parent entry, then a double click on a file chooses it at once.
    g_user = [&](zeWindow *w, zeControl *const *c, int) {
        double_click_line(w, c[C_DIRS], 0);
        zeheadless_advance(1000);
        double_click_line(w, c[C_FILES], 0);
    };
    EXPECT_TRUE(choose("open,dir=%s/docs/old"));
    EXPECT_EQ(t.path("docs/a.txt"), answer);
}

TEST_F(FileDialog, TypedNamesPathsAndFilters) {
    // A relative path typed into the selection, Enter.
    g_user = [](zeWindow *, zeControl *const *, int) { type("docs/../docs/b.md"), key(ZEKEY_ENTER); };
    EXPECT_TRUE(choose("open,dir=%s"));
    EXPECT_EQ(t.path("docs/b.md"), answer);

    // A directory typed into the path field, then a typed filter: the first
    // line is the only .md file.
    g_user = [](zeWindow *w, zeControl *const *c, int) {
        click(w, c[C_PATH]);
        zelineinput_set_text((zeLineInput *)c[C_PATH], "docs");   // relative to the directory shown
        key(ZEKEY_ENTER);
        click(w, c[C_SEL]);
        type("*.MD"), key(ZEKEY_ENTER);
        click_line(w, c[C_FILES], 0);
        key(ZEKEY_ENTER);
    };
    EXPECT_TRUE(choose("open,dir=%s"));
    EXPECT_EQ(t.path("docs/b.md"), answer);

    // The second filter entry, picked in the combo box's list.
    g_user = [](zeWindow *w, zeControl *const *c, int) {
        const zeControl *f = c[C_FILTER];
        click(w, f);
        click_at(w, f->x + 10, f->y + f->h + 2 + ((const zeComboBox *)f)->lineh * 3 / 2);
        click_line(w, c[C_FILES], 0);
        click(w, c[C_OK]);
    };
    EXPECT_TRUE(choose("open,dir=%s/docs,filter=*.txt,filter=*.md|Markdown"));
    EXPECT_EQ(t.path("docs/b.md"), answer);

    // Hidden files on demand.
    g_user = [](zeWindow *w, zeControl *const *c, int) {
        click(w, c[C_HIDDEN]);
        click_line(w, c[C_FILES], 0);
        click(w, c[C_OK]);
    };
    EXPECT_TRUE(choose("open,dir=%s/docs,filter=*.txt"));
    EXPECT_EQ(t.path("docs/.hidden.txt"), answer);
    expect_caller_restored();
}

TEST_F(FileDialog, OpenInsistsOnAFileThatExists) {
    Lines said;
    g_user = [&](zeWindow *, zeControl *const *, int before) {
        if (before == 0) {
            type("nothere"), key(ZEKEY_ENTER);
            return;
        }
        said.push_back(g_seen.title);   // "File does not exist."
        key(ZEKEY_ENTER);
        for (int i = 0; i < 7; i++) zeheadless_keystroke(0, 8);
        type("top"), key(ZEKEY_ENTER);   // the default extension makes it top.txt
    };
    EXPECT_TRUE(choose("open,dir=%s,defaultext=txt"));
    EXPECT_EQ(t.path("top.txt"), answer);
    EXPECT_EQ((Lines{"info"}), said);

    g_user = [](zeWindow *, zeControl *const *, int) { type("new"), key(ZEKEY_ENTER); };
    EXPECT_TRUE(choose("open,mustnotexist,dir=%s"));
    EXPECT_EQ(t.path("new"), answer);
}

TEST_F(FileDialog, SaveAsksBeforeOverwriting) {
    // A new name with the default extension.
    g_user = [](zeWindow *, zeControl *const *c, int) {
        EXPECT_STREQ("quimo_background.bmp", ((const zeLineInput *)c[C_SEL])->text);
        type("new picture"), key(ZEKEY_ENTER);
    };
    EXPECT_TRUE(choose("save,dir=%s,filter=*.bmp,defaultext=bmp,suggestion=quimo_background.bmp"));
    EXPECT_EQ(t.path("new picture.bmp"), answer);
    EXPECT_EQ("Save as...", g_seen.title);

    // An existing file: yes keeps it, no clears the answer.
    for (bool yes : {true, false}) {
        std::string title, question;
        g_user = [&](zeWindow *w, zeControl *const *c, int before) {
            if (before == 1) {
                question = zeheadless_title(w->native);
                click(w, c[yes ? 0 : 1]);
                return;
            }
            title = g_seen.title;
            type("top"), key(ZEKEY_ENTER);
        };
        EXPECT_EQ(yes, choose("save,dir=%s,defaultext=txt,title=Export as text"));
        EXPECT_EQ(yes ? t.path("top.txt") : "", answer);
        EXPECT_EQ("Export as text", title);
        EXPECT_EQ(" ", question);   // the yes/no window
    }
    expect_caller_restored();
}

TEST_F(FileDialog, UnreadableDirectoriesTooSmallAnswersAndCancel) {
    t.dir("locked", 0300);   // may be written, not listed
    NoOverride nocaps;
    Lines files_seen;
    g_user = [&](zeWindow *, zeControl *const *c, int) {
        files_seen = lines((const zeListBox *)c[C_FILES]);
        type("report"), key(ZEKEY_ENTER);
    };
    EXPECT_TRUE(choose("save,dir=%s/locked,defaultext=txt"));
    EXPECT_EQ(t.path("locked/report.txt"), answer);
    EXPECT_TRUE(files_seen.empty());

    // A path that does not fit the caller's buffer is no answer.
    g_user = [](zeWindow *, zeControl *const *, int) { type("top.txt"), key(ZEKEY_ENTER); };
    char small[8] = "stale";
    EXPECT_FALSE(zedialog_file(small, sizeof small, "open,dir=%s", t.root.c_str()));
    EXPECT_STREQ("", small);

    for (int how = 0; how < 3; how++) {
        g_user = [how](zeWindow *w, zeControl *const *c, int) {
            type("top.txt");
            if (how == 0) click(w, c[C_CANCEL]);
            if (how == 1) key(ZEKEY_ESCAPE);
            if (how == 2) zeheadless_close(w->native);
        };
        EXPECT_FALSE(choose("open,dir=%s")) << how;
        EXPECT_STREQ("", answer) << how;
        expect_caller_restored();
    }
}

TEST_F(FileDialog, TwentyThousandFilesAreAllListed) {
    t.dir("many");
    for (int i = 0; i < 20000; i++) t.file("many/f" + std::to_string(i) + ".dat");
    int listed = 0;
    std::string first;
    g_user = [&](zeWindow *, zeControl *const *c, int) {
        const zeListBox *lb = (const zeListBox *)c[C_FILES];
        listed = zelistbox_count(lb), first = zelistbox_item(lb, 0);
        key(ZEKEY_ESCAPE);
    };
    EXPECT_FALSE(choose("open,dir=%s/many,filter=*.dat"));
    EXPECT_EQ(20000, listed);
    EXPECT_EQ("f0.dat", first);
}

}  // namespace
