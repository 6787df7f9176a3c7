#pragma once

namespace kvt {

// Getting what was written out of the page cache onto the disk, so that a
// power cut cannot take it. Both return 0 or the errno value of the failed
// call (EIO also for data the kernel failed to write back since the last
// flush: that error is told only once).
enum class FlushKind { FileData, Folder };

// fdatasync: the file's bytes and its size (any descriptor of it will do,
// one opened for reading included).
int flushFileData(int descriptor);
// fsync of a folder: the names made or removed in it.
int flushFolder(int descriptor);

// Tests: called before every flush with the descriptor; a non-zero result
// is taken as the flush's failure and nothing is flushed. nullptr: none.
using DiskFlushHook = int (*)(int descriptor, FlushKind kind);
void setDiskFlushHook(DiskFlushHook hook);

}  // namespace kvt
