#pragma once

namespace kvt {

// The recording flag of a group's recording ring (1 while the group is
// inside a recording span), for the "Data" lamp. Reads 0 until the
// recording rings are connected here.
int groupRecordingFlag(int group);

}  // namespace kvt
