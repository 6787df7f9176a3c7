#pragma once

namespace kvt {

// Entry of the recording scheduler thread: runs until exitRequested is set.
void recordingSchedulerMain();

// Program start: zero every group recording ring, recorded-samples ring and
// the write queue; word 0 of groups 1-10 holds the group's storing cycle.
void resetRecordingBuffers();

}  // namespace kvt
