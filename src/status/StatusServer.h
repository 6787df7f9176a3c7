#pragma once

namespace kvt {

// The recorder's side of the status socket (StatusProtocol.h): a thread of
// its own that sleeps in the kernel until a client connects, so neither a
// busy window nor an idle recorder is touched. Answers only the user the
// recorder runs as.

// Binds the socket in the first runtime folder that can be had (taking over
// a socket file that nobody answers on) and starts the thread. False when
// no folder can be had or another recorder answers there already.
// `windowless` is what the status says of the holder.
bool startStatusServer(bool windowless);

// Ends the thread and removes the socket file it made.
void stopStatusServer();

// The socket path in use; "" while the server is not running.
const char* statusSocketPath();

}  // namespace kvt
