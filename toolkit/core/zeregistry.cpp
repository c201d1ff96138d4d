// Registry by path, kept in small text files.
#include "zeregistry.h"
#include "zeentry.h"
#include "zefile.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static const char *const kRoots[] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG",
};
static const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RegPath {
    std::string root, key, name;
};

struct RegEntry {
    std::string key, name, data;
};

static std::string config_home(void) {
    const char *x = getenv("XDG_CONFIG_HOME");
    if (x && x[0] == '/') return x;
    const char *home = getenv("HOME");
    if (!home || !*home) {
        struct passwd *pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config";
}

static bool make_dirs(const std::string &dir) {
    for (size_t i = 1; i <= dir.size(); i++) {
        if (i < dir.size() && dir[i] != '/') continue;
        std::string part = dir.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

const char *zeregistry_config_home(void) {
    static std::string dir;
    dir = config_home();
    return dir.c_str();
}

const char *zeregistry_dir(void) {
    static std::string dir;
    dir = config_home() + "/zeko/registry";
    return dir.c_str();
}

// Splits the path; reading keeps a slash that follows a backslash.
static bool parse_path(const char *path, bool reading, RegPath *out) {
    if (!path) return false;
    std::string p;
    for (const char *c = path; *c; c++) {
        bool keep = reading && *c == '/' && c > path && c[-1] == '\\';
        p += (*c == '/' && !keep) ? '\\' : *c;
    }
    size_t first = p.find('\\'), last = p.rfind('\\');
    if (first == std::string::npos) return false;
    out->root = p.substr(0, first);
    bool known = false;
    for (const char *r : kRoots) known = known || out->root == r;
    if (!known) return false;
    out->key = first == last ? "" : p.substr(first + 1, last - first - 1);
    out->name = p.substr(last + 1);
    return true;
}

// Escapes a field so that tabs, line ends and odd bytes survive the line format.
static std::string escape(const std::string &s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c < 0x20 || c == 0x7f) {
            char hex[5];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else out += (char)c;
    }
    return out;
}

static int hexval(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static std::string unescape(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        if (c == 't') out += '\t';
        else if (c == 'n') out += '\n';
        else if (c == 'r') out += '\r';
        else if (c == 'x' && i + 2 < s.size() + 0 && hexval(s[i + 1]) >= 0 && hexval(s[i + 2]) >= 0) {
            out += (char)(hexval(s[i + 1]) * 16 + hexval(s[i + 2]));
            i += 2;
        } else out += c;
    }
    return out;
}

static std::string store_file(const std::string &root) { return std::string(zeregistry_dir()) + "/" + root; }

// Loads a root's entries; lines that are not key TAB name TAB data are skipped.
static std::vector<RegEntry> load(const std::string &root) {
    std::vector<RegEntry> entries;
    FILE *f = zefile_open_regular(store_file(root).c_str(), "rb");
    if (!f) return entries;
    std::string line;
    int c;
    for (;;) {
        c = fgetc(f);
        if (c != EOF && c != '\n') {
            line += (char)c;
            continue;
        }
        size_t t1 = line.find('\t'), t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (!line.empty() && line[0] != '#' && t2 != std::string::npos)
            entries.push_back({unescape(line.substr(0, t1)), unescape(line.substr(t1 + 1, t2 - t1 - 1)),
                               unescape(line.substr(t2 + 1))});
        line.clear();
        if (c == EOF) break;
    }
    fclose(f);
    return entries;
}

static bool save(const std::string &root, const std::vector<RegEntry> &entries) {
    if (!make_dirs(zeregistry_dir())) return false;
    std::string text = "# zeko registry values: key TAB value name TAB data (escaped)\n";
    for (const RegEntry &e : entries) text += escape(e.key) + "\t" + escape(e.name) + "\t" + escape(e.data) + "\n";
    return zefile_write(store_file(root).c_str(), text.data(), (long)text.size()) == 1;
}

static bool same(const std::string &a, const std::string &b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

bool zeregistry_read(const char *path, char *buf, int bufsize) {
    RegPath p;
    if (!buf || bufsize < 1 || !parse_path(path, true, &p)) return false;
    for (const RegEntry &e : load(p.root)) {
        if (!same(e.key, p.key) || !same(e.name, p.name)) continue;
        if (e.data.size() + 1 > (size_t)bufsize) return false;
        memcpy(buf, e.data.c_str(), e.data.size() + 1);
        return true;
    }
    return false;
}

bool zeregistry_write(const char *path, const char *text) {
    RegPath p;
    if (!text || !parse_path(path, false, &p)) return false;
    std::vector<RegEntry> entries = load(p.root);
    bool found = false;
    for (RegEntry &e : entries) {
        if (!same(e.key, p.key) || !same(e.name, p.name)) continue;
        e.data = text;
        found = true;
        break;
    }
    if (!found) entries.push_back({p.key, p.name, text});
    if (!save(p.root, entries)) return false;
    if (p.root == "HKEY_CURRENT_USER" && same(p.key, kRunKey)) return zeregistry_autostart(p.name.c_str(), text);
    return true;
}

// ---- the autostart entry ----

// One argument of an Exec line: quoted when it holds a reserved character,
// with ", `, $ and \ escaped inside the quotes; % doubled for field codes.
static std::string exec_arg(const std::string &arg) {
    static const char reserved[] = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = arg.empty() || arg.find_first_of(reserved, 0, sizeof reserved - 1) != std::string::npos;
    std::string out = quote ? "\"" : "";
    for (char c : arg) {
        if (c == '%') out += "%%";
        else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += std::string("\\") + c;
        else out += c;
    }
    return quote ? out + "\"" : out;
}

// The escapes of a desktop-entry string value, applied to the whole Exec line.
static std::string entry_string(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

// The value is a command line. A value that names an existing file is one
// program path even with blanks in it; otherwise it is split into words.
static std::vector<std::string> command_words(const char *cmdline) {
    std::vector<std::string> words;
    struct stat st;
    if (stat(cmdline, &st) == 0) {
        words.push_back(cmdline);
        return words;
    }
    return zecmdline_words(cmdline);
}

static std::string desktop_name(const char *name) {
    std::string out;
    for (const char *c = name; *c; c++) {
        bool ok = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                  *c == '-' || *c == '_' || *c == '.';
        out += ok ? *c : '_';
    }
    return out;
}

static std::string g_autostart_icon;

void zeregistry_set_autostart_icon(const char *icon) { g_autostart_icon = icon ? icon : ""; }

bool zeregistry_autostart(const char *name, const char *cmdline) {
    if (!name || !*name || !cmdline) return false;
    std::string dir = config_home() + "/autostart";
    std::string file = dir + "/" + desktop_name(name) + ".desktop";
    std::vector<std::string> words = command_words(cmdline);
    if (words.empty()) {
        unlink(file.c_str());
        return true;
    }
    std::string exec;
    for (const std::string &w : words) exec += (exec.empty() ? "" : " ") + exec_arg(w);
    std::string text = "[Desktop Entry]\nType=Application\nName=" + entry_string(name) +
                       "\nExec=" + entry_string(exec) + "\n";
    if (!g_autostart_icon.empty()) text += "Icon=" + entry_string(g_autostart_icon) + "\n";
    text += "Terminal=false\nX-GNOME-Autostart-enabled=true\n";
    if (!make_dirs(dir)) return false;
    return zefile_write(file.c_str(), text.data(), (long)text.size()) == 1;
}
