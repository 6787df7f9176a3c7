#pragma once
#include <sys/types.h>

namespace kvt {

// Opening files and folders whose names anyone with access to a folder
// could have changed: never waiting on a pipe or device that stands where a
// file belongs, never following a link where the name must be the file
// itself. Every function returns a descriptor (close-on-exec) or -1 with
// errno saying why: ELOOP for a link (ENOTDIR where a folder belongs),
// EISDIR for a folder, EINVAL for any other kind of file that is no plain
// file, EPERM for another account's file.

// Opens `path` with `flags` (O_RDONLY, say) without blocking, and keeps it
// only when it is a plain file. Links on the way are followed.
int openPlainFile(const char* path, int flags, mode_t mode = 0);

// Opens `name` in the folder open as `folder` (or AT_FDCWD) without
// blocking and never following a link in its place; kept only when it is a
// plain file.
int openPlainFileAt(int folder, const char* name, int flags, mode_t mode = 0);

// The same, kept only when the file is also this account's own: a file
// that may be cut short or appended to.
int openOwnPlainFileAt(int folder, const char* name, int flags, mode_t mode = 0);

// Opens the folder `name` in the folder open as `folder`, never following
// a link in its place; with `create`, makes it first when it is missing.
int openFolderAt(int folder, const char* name, bool create);

}  // namespace kvt
