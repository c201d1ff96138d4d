// Registry values by path: ROOT/key/subkey/.../valuename.
//
// ROOT is one of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
// HKEY_USERS, HKEY_CURRENT_CONFIG, spelled exactly so. Slashes count as
// backslashes; when reading, a slash right after a backslash stays a slash
// (so a value name may hold one). The key is the text between the first and
// the last separator, the value name the text after the last one. Key and
// value names are matched case-insensitively, as the registry does.
//
// The values live in one text file per root under
// $XDG_CONFIG_HOME/zeko/registry (default ~/.config), replaced atomically on
// every write. The value ROOT-independent autostart key
// HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run also writes
// $XDG_CONFIG_HOME/autostart/<valuename>.desktop, whose Exec line runs the
// value's command line; an empty value removes that entry.
#pragma once

// Reads a string value into buf (at most bufsize bytes with the zero).
// False when the root, key or value does not exist or buf is too small.
bool zeregistry_read(const char *path, char *buf, int bufsize);
// Stores text as a string value, creating the key. True on success.
bool zeregistry_write(const char *path, const char *text);

// The store's folder ($XDG_CONFIG_HOME/zeko/registry).
const char *zeregistry_dir(void);
// Writes the autostart entry for name with the command line cmdline (used by
// the Run key; exposed for tests). An empty cmdline removes the entry.
bool zeregistry_autostart(const char *name, const char *cmdline);
// The Icon line of the autostart entries written from now on: an icon name
// of the desktop's icon theme or an absolute picture path; null or "" for none.
void zeregistry_set_autostart_icon(const char *icon);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else $HOME/.config (the password entry's home without HOME).
const char *zeregistry_config_home(void);
