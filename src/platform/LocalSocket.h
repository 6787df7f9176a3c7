#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvt {

// Unix stream sockets between programs of the same user (the recorder's
// status socket). Descriptors are non-blocking and close on exec; every
// wait has a deadline in monotonic milliseconds.

// Listens at `path` (a new socket file, readable and writable by the owner
// only; put it in a folder of the user's own). -1 with errno set when it
// cannot (EADDRINUSE: the file exists).
int listenLocal(const char* path);

// Connects to `path`; -1 with errno set (ENOENT: no file, ECONNREFUSED:
// nobody listens).
int connectLocal(const char* path, int64_t deadlineMs);

// Takes a waiting connection; -1 when none.
int acceptLocal(int listening);

// Whether the process at the other end runs as this process's user.
bool peerIsSameUser(int descriptor);

// Sends all bytes; false on error or when the deadline passes.
bool sendAllBefore(int descriptor, const char* data, size_t length, int64_t deadlineMs);

// Appends what arrives to `data` until the peer closes (true), or after
// `stopAfter` arrives when it is not '\0' (true), or `most` bytes have come,
// an error or the deadline (false).
bool receiveBefore(int descriptor, std::string& data, size_t most, char stopAfter,
                   int64_t deadlineMs);

}  // namespace kvt
