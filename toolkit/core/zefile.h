// Files: temporary names deleted at exit, whole-file read and write, copy,
// and splitting a path into directory, name and extension.
#pragma once
#include <cstdio>

// Temporary files. The directory is the first line of ".zeko_tmp" in the
// current directory when that file exists (created if needed), else $TMPDIR
// or /tmp. Each name is "zetmpXXXXXX" (with ".ext" for the second form), the
// file is created empty and deleted at exit. 0 when no file can be created.
const char *zefile_tmpname(void);
const char *zefile_tmpname_ext(const char *ext);
// Deletes one temporary file now and forgets it; false for a name not made here.
bool zefile_tmpdelete(const char *name);
// Deletes every temporary file made so far; the exit sequence calls it.
void zefile_tmpcleanup(void);
// The temporary directory with a trailing "/".
const char *zefile_tmpdir(void);

// Whole files; 1 on success, 0 on failure.
int zefile_exists(const char *name);
long zefile_size(const char *name);  // -1 when it cannot be opened
// Replaces the file with len bytes of buf (len 0: strlen(buf)). Written to a
// temporary name beside it and renamed, so a failed write never leaves half a file.
int zefile_write(const char *name, const void *buf, long len);
int zefile_writetext(const char *name, const char *text);
// Writing a file as a stream. A plain file, or a name not yet taken, is
// written under a temporary name beside it that zefile_out_close renames over
// it on success and removes on failure, so the old file survives a failed
// write. Anything else (a symbolic link, a device, a pipe) is written in place
// and never removed. Null when nothing can be opened (errno says why).
struct zeFileOut {
    FILE *f;
    char temp[4200];  // the temporary name; "" when writing in place
    char target[4100];
};
FILE *zefile_out_open(zeFileOut *o, const char *name);
// Closes the stream; ok false (or a failed close or rename) discards what
// was written to a temporary name. True when the file is complete.
bool zefile_out_close(zeFileOut *o, bool ok);

// Opens a file by name only when it is a regular file ("rb", "r+b", "ab",
// "wb"). The open itself never blocks, so a FIFO or a device put in place
// of a data file is refused (errno EINVAL) instead of hanging the caller.
FILE *zefile_open_regular(const char *name, const char *mode);

// Reads the whole file and appends a zero; fails (buffer untouched beyond
// buf[0] = 0) when size + 1 exceeds bufsize.
int zefile_read(const char *name, char *buf, long bufsize);

// Copies source to dest, or into dest when dest is a directory. The names
// "." and ".." are refused.
bool zefile_copy(const char *source, const char *dest);

// Splits path (backslashes read as slashes) into the directory without its
// trailing "/", the name without extension and the extension after the last
// ".". Any output may be 0; each is cut to its size.
void zefile_splitpath(const char *path, char *dir, int dirsize, char *name, int namesize,
                      char *ext, int extsize);
