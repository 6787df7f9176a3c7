#pragma once

namespace kvt {

// Rebuilds the polling plan from the live configuration; true when at least
// one node has a pen to read.
bool planNodes();

// Serves the next planned node: the alarm outputs of every MOD-15 node
// that are due (changed, or unwritten for a second), the node's analog
// blocks and discrete input, and the group trigger states.
// Passing from node 31 back to node 1 sets valuesValid.
void pollNextNode();

// Run start: the current node goes back to before node 1, every node's
// output register count becomes unknown (-1) and no outputs count as written.
void resetPollingForRun();

// Program start: empty polling plan, every output register count unknown.
void resetNodePolling();

// The node the last call served (1-31), 0 before the first.
int currentPolledNode();

}  // namespace kvt
