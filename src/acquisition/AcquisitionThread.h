#pragma once

namespace kvt {

class SampleClock;

// Thread start: clears the group trigger states and starts the sample clock
// at the current local time (milliseconds 500). False when exit is requested.
bool beginAcquisitionThread();

// One pass of the acquisition loop, without the sleep before it: takes
// over the newest published configuration for the whole pass, makes values
// (demo values or one node poll), starts or stops a run on request, and
// writes one acquisition record per due sample step. False once
// exitRequested is set.
bool acquisitionPass();

// Entry of the acquisition thread: thread start, then a sleep and a pass
// until exitRequested is set; a run still active is stopped on exit so the
// link is released, and alarm events kept from failed writes are tried once
// more. While nodes are polled the passes follow each other
// (at least 10 ms apart); otherwise the thread sleeps until the next
// sample step falls due, or until a start or stop request signals
// acquisitionWake.
void acquisitionThreadMain();

// True while acquisitionThreadMain runs. On exit the recording scheduler
// waits for it to end, so that it takes the last records too.
bool acquisitionThreadRunning();

// The sample clock of the acquisition thread (read-only, for tests and
// diagnostics on that thread).
const SampleClock& acquisitionSampleClock();

}  // namespace kvt
