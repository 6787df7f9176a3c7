#pragma once

namespace kvt {

enum class RunStart {
    Started,         // acquisition is active; steps follow in this pass
    StartedOverTcp,  // active after connecting: restart the sample clock
    Withdrawn,       // nothing to poll: the request was cleared silently
    Failed,          // connect or probe failed: reported to the window
    Abandoned,       // exit was requested while connecting or probing
};

// Starts an acquisition run on the acquisition thread: current values to
// no-data, valuesValid and the group stored flags to 0, alarm states
// cleared, polling reset; in normal mode plans the nodes and opens the
// link (over TCP/IP: connects to the gateway and probes every enabled node,
// two attempts each, reporting failures with the socket connect error or
// node error command and the start-failed flag).
RunStart startAcquisitionRun();

// Ends the run: closes the link (and the gateway connection) and clears
// acquisitionActive.
void stopAcquisitionRun();

// The operating mode the run in progress was started in (the mode cannot
// change under a running acquisition).
int acquisitionRunMode();

}  // namespace kvt
