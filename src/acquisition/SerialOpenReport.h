#pragma once

namespace kvt {

// Why a COM port does not open, told once on standard error.
//
// The link reopens the port after every failed exchange, so a port that
// cannot be opened fails several times a second. The first failure for a
// reason gets one line naming the device tried (the target of the user's
// ~/.kvt936p/comN link when there is one) and the reason with a hint; the
// same port failing again for the same reason stays quiet until it has
// opened once. Only the acquisition thread calls these; they write from
// fixed buffers and never allocate.

// COM<commPort + 1> (commPort 0-4) failed to open `devicePath` with
// `error` (an errno value).
void reportSerialOpenFailure(int commPort, const char* devicePath, int error);

// The port opened: its next failures are told again.
void noteSerialPortOpened(int commPort);

// Forgets every failure told so far.
void forgetSerialOpenFailures();

// The line for such a failure, with its line feed, cut to `size` - 1
// bytes; returns its length.
int formatSerialOpenFailure(char* line, int size, int commPort, const char* devicePath,
                            int error);

}  // namespace kvt
