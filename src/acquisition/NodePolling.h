#pragma once

namespace kvt {

// Rebuilds the polling plan from the live configuration; true when at least
// one node has a pen to read.
bool planNodes();

// Serves the next planned node: analog blocks, discrete input, alarm
// outputs and group trigger states.
void pollNextNode();

// Run start: the current node goes back to before node 1 and every node's
// output register count becomes unknown (-1).
void resetPollingForRun();

// Program start: empty polling plan, every output register count unknown.
void resetNodePolling();

}  // namespace kvt
