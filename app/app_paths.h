// Where QUIMO finds its data files and keeps the user's files.
//
// A portable copy has its digit sets beside the binary (the build tree, an
// unpacked folder): everything lives in the program directory, as it always
// has. An installed copy finds them in ../share/quimo from the binary and
// keeps the user's files in the configuration folder ($XDG_CONFIG_HOME/quimo),
// since the program directory is not the user's to write.
//
// A profile is an independent timer with a state directory of its own:
// quimo/NAME in the configuration folder, or profiles/NAME beside a
// portable binary.
#pragma once

enum AppMode { APP_PORTABLE, APP_INSTALLED };

enum { APP_PATH_MAX = 1024, APP_PROFILE_MAX = 64 };

// The mode of a binary in programDir: installed when programDir/../share/quimo
// holds the digit sets and programDir does not, else portable.
AppMode app_paths_mode(const char *programDir);

// Chooses the mode for this binary and the state directory for profile
// (null or "" for none) and creates that directory. False when it cannot be
// created (errno says why); the directories are set all the same.
bool app_paths_init(const char *profile);

AppMode app_mode(void);
// The user's files: the working directory of the running program.
const char *app_state_dir(void);
// The data files: digit sets, examples, pictures, help documents.
const char *app_data_dir(void);
// "" without a profile.
const char *app_profile(void);

// The name of data file name (e.g. "7seg/7seg_003_0100.pcx") to open from
// the state directory: name itself when the data lie there, else its full
// path in the data directory. Returns out.
const char *app_data_path(const char *name, char *out, int size);

// A file the user named (a sound, say): name when it exists as given (an
// absolute path, or relative to the state directory), else its place among
// the data files ("sounds/beep.wav" of an installed copy). Returns out.
const char *app_user_or_data_path(const char *name, char *out, int size);

// A profile name is 1 to 64 letters, digits, "-", "_" or "." and does not
// begin with "." (it becomes a directory name and must stay one level deep).
bool app_profile_name_valid(const char *name);

// The autostart value for this copy: the binary's path (quoted, followed by
// "--profile NAME", for a profile) into cmd, and the registry path of its
// value (".../Run/QUIMO", ".../Run/QUIMO-NAME" for a profile) into key. Also
// names the icon of the entry: the theme's "quimo" when installed, else the
// picture beside the binary.
void app_autostart_entry(char *cmd, int cmdsize, char *key, int keysize);
