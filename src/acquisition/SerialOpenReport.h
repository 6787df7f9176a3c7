#pragma once

namespace kvt {

// A COM port that does not open, and opens again, told in the journal.
//
// The link reopens the port after every failed exchange, so a port that
// cannot be opened fails several times a second. The first failure for a
// reason is journaled naming the device tried (and the target of the
// user's ~/.config/kvt936p/comN link when there is one) with the reason; the same
// port failing again for the same reason stays quiet until it has opened.
// The open that ends the failures is journaled with the number of failed
// attempts, and so is the first open of a run. Only the acquisition thread
// calls these; they never allocate.

// COM<commPort + 1> (commPort 0-4) failed to open `devicePath` with
// `error` (an errno value).
void reportSerialOpenFailure(int commPort, const char* devicePath, int error);

// The port opened at `devicePath`.
void noteSerialPortOpened(int commPort, const char* devicePath);

// Forgets every failure told so far; the next open counts as the first of
// a run. Called when a run starts.
void forgetSerialOpenFailures();

}  // namespace kvt
