#pragma once
#include <csignal>

namespace kvt {

// SIGTERM, SIGINT and SIGHUP turned into a request the window's event loop
// takes: the handler only writes the signal's number into a pipe (nothing
// else is safe in a handler), and the window, watching the pipe's read end,
// ends the program as its exit command does. The first signal of a kind is
// caught; the same signal again ends the process at once, for a program
// whose end does not come. A signal that was ignored when the program
// started (nohup, say) stays ignored.

// Installs the handlers; false when the pipe cannot be made (the signals
// then keep their default action). Once per process.
bool catchTerminationSignals();

// Read end of the pipe, or -1 before catchTerminationSignals().
int terminationSignalDescriptor();

// The number of a signal caught and not yet taken, or 0.
int takeTerminationSignal();

// Keeps the signals away from the calling thread (for worker threads, whose
// slow calls must not be cut short by them; the window's thread gets them).
void blockTerminationSignals();

}  // namespace kvt
