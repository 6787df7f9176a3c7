#pragma once
#include <cstdint>

namespace kvt {

// The measurement as the journal and the status see it. The acquisition
// thread reports a run that started, did not start or stopped; any thread
// may ask whether one is going and since when.

// Program start (run-time state cleared): not measuring, since now.
void resetRunReport();

// Acquisition thread. A run has started in the mode, on the port and
// (over TCP/IP) with the gateway of the thread's configuration.
void reportRunStarted();
// A start failed: `silentNode` (1-31) did not answer, or (0) the gateway
// did not connect.
void reportRunStartFailed(int silentNode);
// The run that was going has stopped.
void reportRunStopped();

bool measuring();
// Calendar seconds since the measurement started or stopped (or since
// program start, before any run).
int64_t measuringChangedAt();

}  // namespace kvt
